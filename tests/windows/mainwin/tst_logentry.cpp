// Logging from the keyboard: the Enter walk, the checks before each Enter, the save
// into base0.mdb with what it clears and keeps, the Ctrl keys, the paging keys and F5.
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QSqlRecord>
#include <QTreeWidget>

#include "entrystripfixture.h"
#include "mainwin/form1.h"
#include "platform/textfile.h"
#include "setup/form2.h"
#include "store/gridbackfill.h"
#include "store/logpage.h"
#include "support/logfixture.h"

using namespace vz;
using vz::test::focused;
using vz::test::pressEnter;
using vz::test::settle;
using vz::test::typeInto;
using vz::test::typeText;

namespace {

QString col(const QSqlRecord& r, const char* name) { return r.value(QString::fromLatin1(name)).toString(); }

QLineEdit* boxNumbered(int n) {
  Form1& f = form1();
  QLineEdit* boxes[] = {nullptr, f.Corresponsal, f.Fecha, f.Hora, f.RSE, f.RSR, f.Text1, f.Text2, f.Obs};
  return n >= 1 && n <= 8 ? boxes[n] : nullptr;
}

void showTestLog() {
  form1().ListView2->clear();
  LoadLogPage(test::kTestLog, 1);
}

}  // namespace

class TstLogEntry : public QObject {
  Q_OBJECT

  test::EntryStripFixture* env_ = nullptr;
  test::ScriptedDialogs& dialogs() { return env_->dialogs; }

 private slots:
  void init() { env_ = new test::EntryStripFixture; }
  void cleanup() {
    delete env_;
    env_ = nullptr;
  }

  void operatorLogsAQsoFromTheKeyboard() {
    Form1& f = form1();
    showTestLog();
    QCOMPARE(f.Label6->text(), QString("Log: Mi log, con 0 QSOs"));
    typeInto(f.Corresponsal, "ea8xyz");
    QCOMPARE(f.Label18->text(), QString("Islas Canarias"));
    pressEnter();
    QCOMPARE(focused(), f.RSE);
    typeText(f.RSE, "57");
    pressEnter();
    QCOMPARE(focused(), f.RSR);
    typeText(f.RSR, "58");
    pressEnter();
    QCOMPARE(focused(), f.Text1);
    typeText(f.Text1, "12");
    pressEnter();  // completed to 120, which jumps to the remarks
    QCOMPARE(focused(), f.Obs);
    typeText(f.Obs, "Buena señal, O'Higgins");
    pressEnter();

    QVERIFY(dialogs().messages.isEmpty());
    const QList<QSqlRecord> rows = test::storedQsos();
    QCOMPARE(rows.size(), 1);
    const QSqlRecord& r = rows.first();
    const std::pair<const char*, QString> expected[] = {
        {"Modo", "SSB"},          {"Banda", "40m"},     {"MyCall", test::kStation}, {"Estacion", "EA8XYZ"},
        {"Fecha", "12/05/2024"},  {"Hora", "21:30:00"}, {"RSE", "57"},              {"RSR", "58"},
        {"Obs", "Buena señal, O'Higgins"}, {"Operador", test::kOperator},           {"Nombre Log", test::kTestLog},
        {"Frecuencia", "7.120"},  {"MiGrid", "GF05"},   {"SuGrid", ""},             {"Ruk", "1"},
        {"Nombre_Sat", ""},       {"Argento", ""},
    };
    for (const auto& [column, value] : expected) QCOMPARE(col(r, column), value);

    // Listed at the top, the id kept, the strip ready for the next QSO.
    QCOMPARE(f.ListView2->topLevelItem(0)->text(kQsoListEstacion), QString("EA8XYZ"));
    QCOMPARE(f.Label4->text(), col(r, "id"));
    QCOMPARE(state().LastInsertedQsoId, col(r, "id"));
    QCOMPARE(f.Label6->text(), QString("Log: Mi log, con 1 QSOs"));
    QCOMPARE(focused(), f.Corresponsal);
    QCOMPARE(f.Corresponsal->text(), QString());
    QCOMPARE(f.Obs->text(), QString());
    QCOMPARE(f.Label18->text(), QString());
    const QStringList kept = {f.Fecha->text(), f.Hora->text(), f.RSE->text(), f.RSR->text(), f.Combo1->currentText(),
                              f.mhz->currentText(), f.Text1->text(), f.Label7->text()};
    QCOMPARE(kept, (QStringList{"12/05/2024", "21:30", "57", "58", "SSB", "7", "120", "40m"}));
    QCOMPARE(env_->folder.readLines("mem.ini"), (QStringList{"7.120", "40m", " 0 ", ""}));

    // An Argentine call gets its province; the next QSO goes on top.
    typeInto(f.Corresponsal, "lu1aab");
    for (int i = 0; i < 6; ++i) pressEnter();
    QCOMPARE(test::storedQsos().size(), 2);
    QCOMPARE(col(test::storedQsos().last(), "Argento"), QString("Capital"));
    QCOMPARE(f.ListView2->topLevelItem(0)->text(kQsoListEstacion), QString("LU1AAB"));
  }

  void enterWalk_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("manualTime");
    QTest::addColumn<bool>("satelliteMode");
    QTest::addColumn<int>("to");  // 0: saved
    const struct {
      int from;
      bool manual, satellite;
      int to;
    } rows[] = {
        {1, false, false, 4}, {1, true, false, 2}, {1, false, true, 4}, {1, true, true, 2}, {2, true, false, 3},
        {3, true, false, 4},  {4, false, false, 5}, {4, false, true, 5}, {5, false, false, 6}, {5, false, true, 7},
        {5, true, true, 7},   {6, false, false, 7}, {7, false, false, 8}, {7, true, true, 8}, {8, false, false, 0},
        {8, true, true, 0},
    };
    for (const auto& r : rows)
      QTest::addRow("from %d manual %d satellite %d", r.from, r.manual, r.satellite)
          << r.from << r.manual << r.satellite << r.to;
  }
  void enterWalk() {
    QFETCH(int, from);
    QFETCH(bool, manualTime);
    QFETCH(bool, satelliteMode);
    QFETCH(int, to);
    Form1& f = form1();
    f.Check1->setChecked(manualTime);
    f.Check2->setChecked(satelliteMode);
    f.Combo3->addItem("AO-91");
    f.Combo3->setCurrentText("AO-91");
    f.Corresponsal->setText("EA8XYZ");
    f.Text2->setText("IL18");
    boxNumbered(from)->setFocus();
    settle();
    pressEnter();
    QVERIFY2(dialogs().messages.isEmpty(), qPrintable(dialogs().texts().join(" | ")));
    if (to == 0) {
      QCOMPARE(test::storedQsos().size(), 1);
      QCOMPARE(focused(), f.Corresponsal);
    } else {
      QVERIFY(test::storedQsos().isEmpty());
      QCOMPARE(focused(), boxNumbered(to));
      QCOMPARE(state().FocusedEntryField, to);
    }
  }

  void enterActsOnTheLastEntryBoxWhereverTheFocusIs() {
    Form1& f = form1();
    f.Corresponsal->setText("EA8XYZ");
    f.Obs->setFocus();
    settle();
    f.ListView2->setFocus();
    settle();
    pressEnter();
    QCOMPARE(test::storedQsos().size(), 1);
    f.Corresponsal->setText("EA8XYY");
    f.RSE->setFocus();
    settle();
    f.mhz->setFocus();
    settle();
    pressEnter();
    QCOMPARE(focused(), f.RSR);
  }

  void entryCheckRefusesInOrder_data() {
    QTest::addColumn<bool>("button");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("received");
    QTest::addColumn<bool>("satelliteMode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("focus");
    const int excl = int(MsgIcon::Exclamation), crit = int(MsgIcon::Critical);
    // From the remarks Enter would save; the button checks the same.
    for (bool button : {false, true}) {
      const auto row = [button](const char* name) -> QTestData& {
        return QTest::addRow("%s, %s", button ? "button" : "Enter", name) << button;
      };
      row("no call before bad reports") << "" << "SSB" << "69" << "0" << true << "Falta el Corresponsal!" << excl << "Corresponsal";
      row("received before sent") << "EA8XYZ" << "SSB" << "69" << "0" << true << "Reporte Recibido no válido!" << excl << "RSR";
      row("sent") << "EA8XYZ" << "SSB" << "69" << "59" << true << "Reporte Enviado no válido!" << excl << "RSE";
      row("CW wants three") << "EA8XYZ" << "CW" << "599" << "59" << false << "Reporte Recibido no válido!" << excl << "RSR";
      row("CW first digit") << "EA8XYZ" << "CW" << "099" << "599" << false << "Reporte Enviado no válido!" << excl << "RSE";
      row("no satellite chosen") << "EA8XYZ" << "SSB" << "59" << "59" << true << "Elija un satélite!" << excl << "Combo3";
      row("own station") << "LU9STA" << "SSB" << "59" << "59" << false << "QSO con la propia estación???" << crit << "Corresponsal";
      row("operator") << "LU9OPR" << "SSB" << "59" << "59" << false << "QSO con el Operador???" << crit << "Corresponsal";
    }
  }
  void entryCheckRefusesInOrder() {
    QFETCH(bool, button);
    QFETCH(QString, call);
    QFETCH(QString, mode);
    QFETCH(QString, sent);
    QFETCH(QString, received);
    QFETCH(bool, satelliteMode);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(QString, focus);
    Form1& f = form1();
    f.Combo1->setCurrentText(mode);
    f.Check2->setChecked(satelliteMode);
    f.Combo3->clear();
    f.Corresponsal->setText(call);
    f.RSE->setText(sent);
    f.RSR->setText(received);
    f.Obs->setFocus();
    settle();
    dialogs().clear();
    if (button) QTest::mouseClick(f.Command2, Qt::LeftButton);
    else test::pressEnter();
    settle();
    QCOMPARE(dialogs().texts().value(0), message);
    QCOMPARE(int(dialogs().messages.first().icon), icon);
    QCOMPARE(focused()->objectName(), focus);
    QVERIFY(test::storedQsos().isEmpty());
    QCOMPARE(f.Corresponsal->text(), call);
  }

  void saveRefusesADateOrTimeThatIsNoDateOrTime_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("empty date") << "" << "21:30" << "la Fecha  no es válida!\r\n\r\nFormato: dd/mm/aaaa" << "Fecha";
    QTest::newRow("no such day") << "30/02/2024" << "21:30" << "la Fecha 30/02/2024 no es válida!\r\n\r\nFormato: dd/mm/aaaa" << "Fecha";
    QTest::newRow("digits only") << "12/05/2024" << "2130" << "la Hora 2130 no es válida!\r\n\r\nFormato: hh:mm" << "Hora";
    QTest::newRow("empty time") << "12/05/2024" << "" << "la Hora  no es válida!\r\n\r\nFormato: hh:mm" << "Hora";
  }
  void saveRefusesADateOrTimeThatIsNoDateOrTime() {
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    Form1& f = form1();
    f.Check1->setChecked(true);
    f.Fecha->setText(date);
    f.Hora->setText(time);
    f.Corresponsal->setText("EA8XYZ");
    f.Obs->setText("keep me");
    f.Obs->setFocus();
    settle();
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    settle();
    QCOMPARE(dialogs().texts(), QStringList{message});
    QCOMPARE(focused()->objectName(), focus);
    QVERIFY(test::storedQsos().isEmpty());
    QCOMPARE(f.Corresponsal->text(), QString("EA8XYZ"));
    QCOMPARE(f.Obs->text(), QString("keep me"));
  }

  // Clicking "Ingresar QSO" leaves the box being typed in: a value its leave check
  // refuses is said once and not stored.
  void aValueRefusedOnLeavingForTheButtonIsNotSaved_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("mended");
    QTest::newRow("call without a digit") << "Corresponsal" << "abc" << "ABC NO Parece ser una Señal distintiva Válida!"
                                          << "EA8XYZ";
    QTest::newRow("grid of three") << "Text2" << "gf0" << "Grilla incorrecta!" << "GF05";
    QTest::newRow("no such day") << "Fecha" << "30/02/2024"
                                 << "la Fecha 30/02/2024 no es válida!\r\n\r\nFormato: dd/mm/aaaa" << "29/02/2024";
    QTest::newRow("no such hour") << "Hora" << "25:10" << "la Hora 25:10 no es válida!\r\n\r\nFormato: hh:mm"
                                  << "23:10";
  }
  void aValueRefusedOnLeavingForTheButtonIsNotSaved() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, mended);
    Form1& f = form1();
    f.Check1->setChecked(true);
    f.Label11->setText("UTC");  // the boxes stored as typed
    f.Corresponsal->setText("EA8XYZ");
    auto* edit = f.findChild<QLineEdit*>(box);
    edit->clear();
    typeInto(edit, typed);
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    settle();
    QCOMPARE(dialogs().texts(), QStringList{message});
    QVERIFY(test::storedQsos().isEmpty());
    QCOMPARE(focused(), edit);

    // Mended, the next click saves it.
    dialogs().clear();
    edit->selectAll();
    typeText(edit, mended);
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    settle();
    QVERIFY(dialogs().messages.isEmpty());
    const QList<QSqlRecord> rows = test::storedQsos();
    QCOMPARE(rows.size(), 1);
    const QString column = box == "Corresponsal" ? "Estacion" : box == "Text2" ? "SuGrid" : box;
    QVERIFY(col(rows.first(), column.toUtf8().constData()).startsWith(mended));
  }

  // A box left refused earlier is checked again by the save: said again while it
  // stays refused, saved once its value passes.
  void theSaveChecksABoxRefusedEarlierAgain() {
    Form1& f = form1();
    f.Corresponsal->setText("EA8XYZ");
    typeInto(f.Text2, "gf0");
    f.Obs->setFocus();
    settle();
    QCOMPARE(focused(), f.Text2);
    QCOMPARE(dialogs().texts(), QStringList{"Grilla incorrecta!"});
    f.Command2_Click();
    settle();
    QCOMPARE(dialogs().texts(), (QStringList{"Grilla incorrecta!", "Grilla incorrecta!"}));
    QVERIFY(test::storedQsos().isEmpty());
    f.Text2->setText("GF05");
    f.Command2_Click();
    QCOMPARE(dialogs().messages.size(), 2);
    QCOMPARE(test::storedQsos().size(), 1);
  }

  void saveStoresUtc_data() {
    QTest::addColumn<bool>("manualTime");
    QTest::addColumn<QString>("toggle");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("storedDate");
    QTest::addColumn<QString>("storedTime");
    QTest::newRow("local, new year") << true << "LU" << "-3" << "31/12/2023" << "22:30" << "01/01/2024" << "01:30:00";
    QTest::newRow("local, east of UTC") << true << "LU" << "2" << "01/03/2024" << "01:15" << "29/02/2024" << "23:15:00";
    QTest::newRow("local, offset rounded") << true << "LU" << "-3.4" << "12/05/2024" << "20:00" << "12/05/2024" << "23:00:00";
    QTest::newRow("typed as UTC") << true << "UTC" << "-3" << "31/12/2023" << "22:30" << "31/12/2023" << "22:30:00";
    QTest::newRow("clock's UTC") << false << "LU" << "-3" << "31/12/2023" << "22:30" << "31/12/2023" << "22:30:00";
  }
  void saveStoresUtc() {
    QFETCH(bool, manualTime);
    QFETCH(QString, toggle);
    QFETCH(QString, offset);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, storedDate);
    QFETCH(QString, storedTime);
    Form1& f = form1();
    form2().Text3->setText(offset);
    f.Label11->setText(toggle);
    f.Check1->setChecked(manualTime);
    f.Fecha->setText(date);
    f.Hora->setText(time);
    f.Corresponsal->setText("EA8XYZ");
    f.Obs->setFocus();
    settle();
    pressEnter();
    QVERIFY2(dialogs().messages.isEmpty(), qPrintable(dialogs().texts().join(" | ")));
    const QSqlRecord r = test::storedQsos().last();
    QCOMPARE(col(r, "Fecha"), storedDate);
    QCOMPARE(col(r, "Hora"), storedTime);
    // The boxes keep what was typed for the next QSO.
    QCOMPARE(f.Fecha->text(), date);
    QCOMPARE(f.Hora->text(), time);
  }

  void saveClearsCallAndGridAndKeepsRemarksWithNoBorrar() {
    Form1& f = form1();
    for (bool keep : {false, true}) {
      f.Check3->setChecked(keep);
      f.Corresponsal->setText("EA8XYZ");
      f.Text2->setText("IL18");
      f.Obs->setText("QSL via buró");
      f.Obs->setFocus();
      settle();
      pressEnter();
      QCOMPARE(col(test::storedQsos().last(), "Obs"), QString("QSL via buró"));
      QCOMPARE(col(test::storedQsos().last(), "SuGrid"), QString("IL18"));
      QCOMPARE(f.Corresponsal->text(), QString());
      QCOMPARE(f.Text2->text(), QString());
      QCOMPARE(f.Obs->text(), keep ? QString("QSL via buró") : QString());
    }
  }

  void savedGridFillsEarlierQsosOfTheCall() {
    Form1& f = form1();
    test::addEarlierQso("EA8XYZ", "");
    f.Corresponsal->setText("EA8XYZ");
    f.Text2->setText("IL18");
    f.Obs->setFocus();
    settle();
    pressEnter();
    // The earlier QSO gets the grid from the event loop, after the save.
    QTRY_VERIFY(!GridBackFillPending());
    for (const QSqlRecord& r : test::storedQsos()) QCOMPARE(col(r, "SuGrid"), QString("IL18"));
  }

  // More earlier QSOs lacking a grid than one back-fill step writes: the save hands
  // the window back at once, keys are handled between the steps, and the list on
  // show gets the grid once the back-fill has ended.
  void aLongBackFillLetsTheOperatorTypeOnAndEndsInTheList() {
    Form1& f = form1();
    for (int i = 0; i < 2 * kGridBackFillStep + 1; ++i) test::addEarlierQso("EA8XYZ", "");
    LoadLogPage(test::kTestLog, 1);
    f.Corresponsal->setText("EA8XYZ");
    f.Text2->setText("IL18");
    f.Obs->setFocus();
    settle();
    QTest::keyClick(focused(), Qt::Key_Return);  // no settling after it: each turn of the loop is counted below
    QCOMPARE(f.Corresponsal->text(), QString());
    QCOMPARE(focused(), f.Corresponsal);
    QString typed;
    while (GridBackFillPending() && typed.size() < 10) {
      typed += QLatin1Char('A' + typed.size());
      typeText(focused(), typed.right(1));
      QApplication::processEvents();
    }
    QVERIFY2(typed.size() >= 3, "the back-fill ran in one go");  // 257 QSOs in steps of 128
    QVERIFY(!GridBackFillPending());
    QCOMPARE(f.Corresponsal->text(), typed);
    for (const QSqlRecord& r : test::storedQsos()) QCOMPARE(col(r, "SuGrid"), QString("IL18"));
    int gridColumn = -1;
    for (int c = 0; c < f.ListView2->columnCount(); ++c)
      if (f.ListView2->headerItem()->text(c) == u"Su Grilla") gridColumn = c;
    QVERIFY(gridColumn >= 0);
    QVERIFY(f.ListView2->topLevelItemCount() > 1);
    for (int i = 0; i < f.ListView2->topLevelItemCount(); ++i)
      QCOMPARE(f.ListView2->topLevelItem(i)->text(gridColumn), QString("IL18"));
  }

  void aGridThatCannotReachEarlierQsosIsShownAndTheQsoStaysSaved() {
    Form1& f = form1();
    test::addEarlierQso("EA8XYZ", "");
    QVERIFY(db::exec("CREATE TRIGGER lleno BEFORE UPDATE ON Tabla1 BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    f.Corresponsal->setText("EA8XYZ");
    f.Text2->setText("IL18");
    f.Obs->setFocus();
    settle();
    pressEnter();
    QCOMPARE(test::storedQsos().size(), 2);
    QTRY_COMPARE(dialogs().messages.size(), 1);
    QVERIFY(dialogs().lastText().contains("disco lleno"));
    QCOMPARE(f.Corresponsal->text(), QString());  // saved, so the strip is cleared as usual
  }

  void satellitePanelGivesTheSatelliteAndItsMode() {
    Form1& f = form1();
    f.Check2->setChecked(true);
    f.Combo3->addItem("SO-50");
    f.Combo3->setCurrentText("SO-50");
    f.Frame2->show();
    f.Modo->setText("Modo: FM");
    f.Corresponsal->setText("PY2XYZ");
    f.Obs->setFocus();
    settle();
    pressEnter();
    const QSqlRecord r = test::storedQsos().last();
    QCOMPARE(col(r, "Nombre_Sat"), QString("SO-50"));
    QCOMPARE(col(r, "Modo"), QString("FM"));
    QCOMPARE(env_->folder.readLines("mem.ini").value(0), f.mhz->currentText() + "." + f.Text1->text());
  }

  void aFailedInsertKeepsEverythingTyped() {
    Form1& f = form1();
    QVERIFY(db::exec("CREATE TRIGGER lleno BEFORE INSERT ON Tabla1 BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    f.Corresponsal->setText("EA8XYZ");
    f.Text2->setText("IL18");
    f.Obs->setText("no se pierde");
    f.Obs->setFocus();
    settle();
    pressEnter();
    QCOMPARE(dialogs().messages.size(), 1);
    QVERIFY(dialogs().lastText().contains("disco lleno"));
    QCOMPARE(dialogs().messages.last().icon, MsgIcon::Critical);
    const QStringList typed = {f.Corresponsal->text(), f.Text2->text(), f.Obs->text()};
    QCOMPARE(typed, (QStringList{"EA8XYZ", "IL18", "no se pierde"}));
    QCOMPARE(f.Label4->text(), QString());

    // Once the store takes it again, the same Enter saves it.
    QVERIFY(db::exec("DROP TRIGGER lleno"));
    dialogs().clear();
    pressEnter();
    QCOMPARE(test::storedQsos().size(), 1);
    QVERIFY(dialogs().messages.isEmpty());
  }

  void aMemoryFileThatCannotBeWrittenDoesNotStopTheSave() {
    Form1& f = form1();
    QVERIFY(QDir(env_->folder.path()).mkdir("mem.ini"));  // a folder where the file would go
    f.Corresponsal->setText("EA8XYZ");
    f.Obs->setFocus();
    settle();
    pressEnter();
    QCOMPARE(test::storedQsos().size(), 1);
    QCOMPARE(f.Corresponsal->text(), QString());
  }

  void ctrlWEmptiesCallAndGridAndReadsCtrlFromTheKey() {
    Form1& f = form1();
    f.Text2->setText("IL18");
    f.Obs->setText("73");
    typeInto(f.Obs, "");
    f.Corresponsal->setText("EA8XYZ");
    test::press(Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(f.Corresponsal->text(), QString());
    QCOMPARE(f.Text2->text(), QString());
    QCOMPARE(f.Obs->text(), QString("73"));
    QCOMPARE(focused(), f.Corresponsal);

    // Ctrl went down here and up in another window: a plain W is a W.
    QTest::keyPress(f.Corresponsal, Qt::Key_Control);
    QVERIFY(state().CtrlDown);
    typeText(f.Corresponsal, "ea8xyz");
    QVERIFY(!state().CtrlDown);
    f.Text2->setText("IL18");
    state().CtrlDown = true;
    typeText(f.Corresponsal, "w");
    QCOMPARE(f.Corresponsal->text(), QString("EA8XYZW"));
    QCOMPARE(f.Text2->text(), QString("IL18"));
    QTest::keyPress(f.Corresponsal, Qt::Key_Control);
    QTest::keyRelease(f.Corresponsal, Qt::Key_Control);
    QVERIFY(!state().CtrlDown);
  }

  void pagingKeysFollowTheirButtons() {
    Form1& f = form1();
    test::addGeneratedLog(test::kTestLog, 45);
    showTestLog();
    const auto page = [&f] { return f.txt_pagina->text().toInt(); };
    QCOMPARE(page(), 1);
    test::press(Qt::Key_PageUp);  // first page: nothing
    QCOMPARE(page(), 1);
    test::press(Qt::Key_PageDown);
    QCOMPARE(page(), 2);
    test::press(Qt::Key_End);
    QCOMPARE(page(), 3);
    QCOMPARE(f.ListView2->topLevelItem(0)->text(kQsoListEstacion), test::generatedCall(5));
    test::press(Qt::Key_PageDown);  // last page: nothing
    QCOMPARE(page(), 3);
    test::press(Qt::Key_PageUp);
    QCOMPARE(page(), 2);
    test::press(Qt::Key_Home);
    QCOMPARE(page(), 1);
    QCOMPARE(focused(), f.Corresponsal);
  }

  void f5OpensTheQsoJustSaved() {
    Form1& f = form1();
    showTestLog();
    test::press(Qt::Key_F5);
    QCOMPARE(dialogs().texts(), QStringList{"No hay QSOs para Editar!"});
    QCOMPARE(dialogs().messages.last().icon, MsgIcon::Exclamation);

    test::addEarlierQso("CE3ABC", "FF78");
    typeInto(f.Corresponsal, "ea8xyz");
    f.Obs->setFocus();
    settle();
    pressEnter();
    const QString id = f.Label4->text();
    QVERIFY(!id.isEmpty());
    QString call, caption;
    QTimer::singleShot(0, [&] {
      call = form5().Text2->text();
      caption = form5().windowTitle();
      form5().reject();
    });
    test::press(Qt::Key_F5);
    QCOMPARE(call, QString("EA8XYZ"));
    QCOMPARE(caption, "Edición de QSO #" + id);
  }

  void ctrlXListsEarlierQsosFromTheFourthCharacter() {
    Form1& f = form1();
    test::addEarlierQso("EA8XYZ", "IL18");
    typeInto(f.Corresponsal, "ea8");
    test::press(Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!FormInstance<Form17>::loaded());
    QCOMPARE(f.Corresponsal->text(), QString("EA8"));  // Ctrl+X cuts nothing in the call box
    typeText(f.Corresponsal, "x");
    QString caption;
    QTimer::singleShot(0, [&] {
      caption = form17().windowTitle();
      form17().hide();
    });
    test::press(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(caption, QString("EA8X"));
    QVERIFY(dialogs().messages.isEmpty());
  }
};

QTEST_MAIN(TstLogEntry)
#include "tst_logentry.moc"
