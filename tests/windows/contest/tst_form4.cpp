// Contest operation from the main window's menu: the chooser, creating and opening a
// contest, logging QSOs with Enter, the window's activation and the deletion.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QTimer>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "contest/form8.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"
#include "support/quietmainwindow.h"

using namespace vz;

namespace {

void addContest(const QString& name, const QString& type = kSerialIncremental) {
  QVERIFY(InsertContestQso("", "", "", "", "", "", "", "", name, "", "", name, type).ok());
}

void addQso(const QString& contest, const QString& call, const QString& band, const QString& mode,
            const QString& sent, const QString& type = kSerialIncremental) {
  QVERIFY(InsertContestQso(call, band, mode, sent, "5", "20240315", "1200", "LU9ZZ", contest, "", "14025", contest,
                           type)
              .ok());
}

QList<ContestQso> storedQsos(const QString& contest) {
  QList<ContestQso> rows;
  QSqlQuery q(db::connection());
  q.prepare("SELECT * FROM Tabla2 WHERE [Nombre Log] = ? ORDER BY id");
  q.addBindValue(contest);
  q.exec();
  while (q.next()) {
    ContestQso row = readContestQso(q);
    if (row.isQso()) rows << row;
  }
  return rows;
}

int rowsNamed(const QString& contest) {
  QSqlQuery q(db::connection());
  q.prepare("SELECT COUNT(*) FROM Tabla2 WHERE [Nombre Log] = ?");
  q.addBindValue(contest);
  q.exec();
  q.next();
  return q.value(0).toInt();
}

QStringList chooserRow(int i) {
  QTreeWidgetItem* item = form8().ListView1->topLevelItem(i);
  return {item->text(1), item->text(2), item->text(3)};
}

QStringList listColumn(QTreeWidget* list, int c) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(c);
  return texts;
}

// The chooser's "Aceptar" for a new contest.
void createContest(const QString& name, bool incremental = true) {
  form1().cabro_Click();
  form8().Text1->setText(name);
  (incremental ? form8().Option1 : form8().Option2)->setChecked(true);
  form8().Command1_Click();
}

// The QSO on screen, with manual time so that the clock leaves the boxes alone.
void fillEntry(const QString& call, const QString& received, const QString& date = "08/12/2024",
               const QString& time = "21:05") {
  Form4& f = form4();
  if (!f.Check2->isChecked()) f.Check2->click();
  f.Fecha->setText(date);
  f.Hora->setText(time);
  f.Corresponsal->setText(call);
  f.RSR->setText(received);
}

void pressEnter() { QTest::keyClick(form4().Corresponsal, Qt::Key_Return); }

}  // namespace

class TstForm4 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;
  FixedClock fixed{QDateTime(QDate(2024, 3, 15), QTime(9, 41, 20))};

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    setClock(&fixed);
    form1().Label2->setText("LU9ZZ");
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    setClock(nullptr);
    dialogs.reset();
    folder.reset();
  }

  // ---- The menu entry --------------------------------------------------------------

  void menuListsEachContestWithItsTypeAndCount() {
    addContest("SOLO CABECERA", kSerialFija);
    addContest("CAMPEONATO");
    for (int i = 1; i <= 25; ++i) addQso("CAMPEONATO", QString("LU%1AA").arg(i), "20m", "CW", QString::number(i));

    // Twice, as an operator who closed the chooser and chose the menu again.
    form1().cabro_Click();
    form1().cabro_Click();

    Form8& chooser = form8();
    QVERIFY(chooser.isVisible());
    QVERIFY(!form4().isVisible());
    QCOMPARE(chooser.ListView1->topLevelItemCount(), 2);
    QCOMPARE(chooser.ListView1->topLevelItem(0)->text(0), QString("nombre2"));
    QCOMPARE(chooserRow(0), (QStringList{"SOLO CABECERA", "Fija", "0"}));
    QCOMPARE(chooserRow(1), (QStringList{"CAMPEONATO", "Incremental", "25"}));
    QCOMPARE(chooser.ListView1->headerItem()->text(3), QString("QSOSs"));
    QVERIFY(chooser.Text1->text().isEmpty());

    Form4& f = form4();
    QVERIFY(state().ContestFormBusy);
    QCOMPARE(f.Combo1->count(), 3);
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));
    QCOMPARE(f.mhz->count(), 8);
    QCOMPARE(f.mhz->currentText(), QString("3"));
    QCOMPARE(f.Text1->text(), QString("650"));
    QCOMPARE(f.Text2->text(), QString("LU9ZZ"));
    QCOMPARE(f.ListView2->columnCount(), 12);
    QCOMPARE(f.ListView2->headerItem()->text(9), QString("Corresponsal"));
    QVERIFY(f.ListView2->isColumnHidden(1));
  }

  void noContestGivesAnEmptyChooser() {
    form1().cabro_Click();
    QCOMPARE(form8().ListView1->topLevelItemCount(), 0);
    QCOMPARE(form8().ListView1->columnCount(), 4);
  }

  // ---- Creating a contest ---------------------------------------------------------------

  void creatingOpensTheNewContest_data() {
    QTest::addColumn<bool>("incremental");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("exchange");
    QTest::newRow("Incremental") << true << "Incremental" << "1" << "0";
    QTest::newRow("Fija") << false << "Fija" << "" << "";
  }
  void creatingOpensTheNewContest() {
    QFETCH(bool, incremental);
    QFETCH(QString, type);
    QFETCH(QString, sent);
    QFETCH(QString, exchange);
    createContest("DIA D'E LA RADIO", incremental);

    QCOMPARE(form8().Text1->text(), QString("DIA DE LA RADIO"));
    QVERIFY(!form8().isVisible());
    Form4& f = form4();
    QVERIFY(f.isVisible());
    QCOMPARE(f.Label2->text(), QString("DIA DE LA RADIO"));
    QCOMPARE(f.Label3->text(), type);
    QCOMPARE(f.RSE->text(), sent);
    QCOMPARE(f.Label4->text(), exchange);
    QVERIFY(!state().ContestFormBusy);
    QCOMPARE(rowsNamed("DIA DE LA RADIO"), 1);
    QCOMPARE(f.Combo2->currentText(), QString("80m"));
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));
  }

  void nameTypedInLowerCaseBecomesUpperCase() {
    form1().cabro_Click();
    QTest::keyClicks(form8().Text1, "copa 1");
    QCOMPARE(form8().Text1->text(), QString("COPA 1"));
  }

  void aNameInUseOrEmptyCreatesNothing() {
    addContest("COPA");
    form1().cabro_Click();
    form8().Text1->setText("copa");  // pasted: letter case kept, still the same contest
    form8().Command1_Click();
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->lastText(), QString("Ya existe un concurso creado con el nombre copa\r\n\r\nElija otro nombre!"));
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Exclamation);
    QCOMPARE(rowsNamed("COPA"), 1);
    QVERIFY(form8().isVisible());

    form8().Text1->setText("'''");
    form8().Command1_Click();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(form8().Text1->text().isEmpty());
    QVERIFY(form8().isVisible());
  }

  // ---- Opening a listed contest ------------------------------------------------------------

  void openingListsItsQsosNewestFirstAndContinuesTheSerial() {
    addContest("COPA");
    addQso("COPA", "LU1AA", "40m", "SSB", "3");
    addQso("COPA", "LU2BB", "20m", "CW", "13");
    addQso("COPA", "LU3CC", "40m", "SSB", "4");
    addQso("COPA", "LU4DD", "20m", "CW", "14");
    addContest("OTRA");
    addQso("OTRA", "LU5EE", "20m", "CW", "99");
    form1().cabro_Click();
    form8().ListView1->setCurrentItem(form8().ListView1->topLevelItem(0));
    form8().ListView1_DblClick();

    Form4& f = form4();
    QVERIFY(f.isVisible());
    QCOMPARE(listColumn(f.ListView2, 9), (QStringList{"LU4DD", "LU3CC", "LU2BB", "LU1AA"}));
    QCOMPARE(f.Label9->text(), QString("4 QSOs "));
    QCOMPARE(f.Combo2->currentText(), QString("20m"));
    QCOMPARE(f.Combo1->currentText(), QString("CW"));
    QCOMPARE(f.RSE->text(), QString("15"));
    QCOMPARE(f.Fecha->text(), QString("15/03/2024"));
    QCOMPARE(f.Hora->text(), QString("09:41"));

    // 20m CW goes on from its own last serial, not from the contest's highest.
    QVERIFY(f.RSE->text() != QString("5"));
  }

  void doubleClickWithoutASelectedRowOpensNothing() {
    form1().cabro_Click();
    form8().ListView1_DblClick();
    QVERIFY(form8().isVisible());
    QVERIFY(!form4().isVisible());
  }

  // ---- Activation -------------------------------------------------------------------------

  void activationSetsThePortFromTheSavedSettings_data() {
    QTest::addColumn<QStringList>("varCW");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("dtr");
    QTest::newRow("no file") << QStringList{} << "COM1" << true;
    QTest::newRow("COM3 with RTS") << QStringList{"COM3", " 0 "} << "COM3" << false;
    QTest::newRow("COM12 with DTR") << QStringList{"COM12", " 1 "} << "COM12" << true;
    QTest::newRow("unknown port") << QStringList{"LPT1", " 1 "} << "COM1" << true;
  }
  void activationSetsThePortFromTheSavedSettings() {
    QFETCH(QStringList, varCW);
    QFETCH(QString, port);
    QFETCH(bool, dtr);
    if (!varCW.isEmpty()) folder->writeLines("varCW.cfg", varCW);
    createContest("COPA");
    Form4& f = form4();
    f.Form_Activate();  // a return from another window
    QCOMPARE(f.Combo3->count(), 20);
    QCOMPARE(f.Combo3->itemData(0).toString(), QString("COM1"));
    QCOMPARE(f.Combo3->itemData(19).toString(), QString("COM20"));
    QCOMPARE(f.Combo3->currentData().toString(), port);
    QCOMPARE(f.Check3->isChecked(), dtr);
    QCOMPARE(f.Check4->isChecked(), !dtr);
  }

  void activationKeepsWhatTheOperatorTyped() {
    folder->writeLines("varOsc.cfg", {" 1 "});
    createContest("COPA");
    Form4& f = form4();
    QVERIFY(f.Check7->isChecked());
    fillEntry("LU1ABC", "12");
    f.Form_Activate();
    QCOMPARE(f.Corresponsal->text(), QString("LU1ABC"));
    QCOMPARE(f.RSR->text(), QString("12"));
    QCOMPARE(f.Fecha->text(), QString("08/12/2024"));
  }

  // ---- Logging with Enter -------------------------------------------------------------------

  void enterStoresTheQsoAndCountsTheSerialUp() {
    createContest("COPA");
    Form4& f = form4();
    f.Combo2->setCurrentText("20m");
    f.Combo1->setCurrentText("CW");
    f.RSE->setText("007");
    fillEntry("LU1ABC", "0042");
    pressEnter();

    QVERIFY(dialogs->messages.isEmpty());
    const QList<ContestQso> rows = storedQsos("COPA");
    QCOMPARE(rows.size(), 1);
    const ContestQso& q = rows[0];
    QCOMPARE(q.Estacion, QString("LU1ABC"));
    QCOMPARE(q.RSE, QString("007"));
    QCOMPARE(q.RSR, QString("0042"));
    QCOMPARE(q.Fecha, QString("20241208"));
    QCOMPARE(q.Hora, QString("2105"));
    QCOMPARE(q.Banda, QString("20m"));
    QCOMPARE(q.Modo, QString("CW"));
    QCOMPARE(q.MyCall, QString("LU9ZZ"));
    QCOMPARE(q.Frecuencia, QString("3650"));
    QCOMPARE(q.Ruk, QString("COPA"));
    QCOMPARE(q.Nombre_Sat, QString("Incremental"));

    QCOMPARE(f.RSE->text(), QString("8"));
    QVERIFY(f.Corresponsal->text().isEmpty());
    QVERIFY(f.RSR->text().isEmpty());
    QCOMPARE(listColumn(f.ListView2, 9), QStringList{"LU1ABC"});
    QCOMPARE(f.Label9->text(), QString("1 QSOs "));

    fillEntry("LU2XYZ", "43");
    pressEnter();
    QCOMPARE(storedQsos("COPA").last().RSE, QString("8"));
    QCOMPARE(f.RSE->text(), QString("9"));
    QCOMPARE(listColumn(f.ListView2, 9), (QStringList{"LU2XYZ", "LU1ABC"}));
  }

  void aFixedExchangeStaysFromQsoToQso() {
    createContest("FIJO", false);
    Form4& f = form4();
    f.RSE->setText("BA");
    for (const QString call : {"LU1ABC", "LU2XYZ"}) {
      fillEntry(call, "CF");
      pressEnter();
      QCOMPARE(f.RSE->text(), QString("BA"));
    }
    const auto rows = storedQsos("FIJO");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[1].RSE, QString("BA"));
    QCOMPARE(rows[1].Nombre_Sat, QString("Fija"));
  }

  void enterNamesTheFirstEmptyBox_data() {
    QTest::addColumn<QString>("emptied");
    QTest::addColumn<QString>("message");
    QTest::newRow("own call, before all others") << "Text2" << "Falta su Señal Distintiva!";
    QTest::newRow("date") << "Fecha" << "Falta la Fecha!";
    QTest::newRow("time") << "Hora" << "Falta el QTR!";
    QTest::newRow("call") << "Corresponsal" << "Falta el Corresponsal!";
    QTest::newRow("sent") << "RSE" << "Falta la Serie Enviada";
    QTest::newRow("received") << "RSR" << "Falta la Serie Recibida";
  }
  void enterNamesTheFirstEmptyBox() {
    QFETCH(QString, emptied);
    QFETCH(QString, message);
    createContest("COPA");
    Form4& f = form4();
    fillEntry("LU1ABC", "5");
    QLineEdit* box = f.findChild<QLineEdit*>(emptied);
    QVERIFY(box);
    box->clear();
    if (emptied == "Text2") f.Corresponsal->clear();  // reported first all the same
    pressEnter();
    QCOMPARE(dialogs->texts(), QStringList{message});
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Exclamation);
    QVERIFY(storedQsos("COPA").isEmpty());
    QCOMPARE(f.focusWidget(), box);
  }

  // With the program's own message box and keys sent to whatever holds the focus, as an
  // operator types: after the message the named box takes the keys.
  void afterTheMessageTheNamedBoxTakesTheKeys() {
    dialogs.reset();
    createContest("COPA");
    Form4& f = form4();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    fillEntry("", "");  // manual time: the focus goes back to the time box after logging
    f.Corresponsal->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "LU1ABC");
    QString shown;
    QTimer::singleShot(0, [&shown] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown = box->text();
        box->accept();
      }
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(shown, QString("Falta la Serie Recibida"));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.RSR));

    QTest::keyClicks(QApplication::focusWidget(), "5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    const QList<ContestQso> rows = storedQsos("COPA");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].Estacion, QString("LU1ABC"));
    QCOMPARE(rows[0].RSR, QString("5"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Hora));
  }

  void aTimeThatDoesNotExistIsNotStored_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("message");
    QTest::newRow("time") << "08/12/2024" << "25:99"
                          << "la Hora 25:99 no es válida!\r\n\r\nFormato: hh:mm";
    QTest::newRow("date") << "31/02/2024" << "10:00"
                          << "la Fecha 31/02/2024 no es válida!\r\n\r\nFormato: dd/mm/aaaa";
  }
  void aTimeThatDoesNotExistIsNotStored() {
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, message);
    createContest("COPA");
    fillEntry("LU1ABC", "5", date, time);
    pressEnter();
    QCOMPARE(dialogs->texts(), QStringList{message});
    QVERIFY(storedQsos("COPA").isEmpty());
    QCOMPARE(form4().Corresponsal->text(), QString("LU1ABC"));
  }

  void aDuplicateIsFlaggedAndStillLogged() {
    addContest("COPA");
    addQso("COPA", "LU1ABC", "20m", "CW", "1");
    form1().cabro_Click();
    form8().ListView1->setCurrentItem(form8().ListView1->topLevelItem(0));
    form8().ListView1_DblClick();
    Form4& f = form4();
    QCOMPARE(f.Combo2->currentText(), QString("20m"));

    fillEntry("lu1abc", "2");
    QVERIFY(!f.Label7->isHidden());
    QVERIFY(!f.Frame4->isHidden());
    QCOMPARE(f.ListView1->topLevelItemCount(), 1);

    // The earlier contact, column by column: heading, width (twips / 15; 0 hides the
    // column) and what the row shows.
    const ContestQso earlier = storedQsos("COPA").first();
    const struct {
      const char* heading;
      int width;
      QString text;
    } columns[] = {{"Indice", 0, "nombre2"},       {"ID", 0, QString::number(earlier.id)},
                   {"Frec", 50, "20m"},            {"Modo", 50, "CW"},
                   {"Fecha", 100, "20240315"},     {"Hora", 50, "1200"},
                   {"Estación", 66, "LU9ZZ"},      {"SerieE", 50, "1"},
                   {"Corresponsal", 133, "LU1ABC"}, {"SerieR", 50, "5"}};
    QCOMPARE(f.ListView1->columnCount(), int(std::size(columns)));
    const QTreeWidgetItem* row = f.ListView1->topLevelItem(0);
    for (int c = 0; c < int(std::size(columns)); ++c) {
      QCOMPARE(f.ListView1->headerItem()->text(c), QString::fromUtf8(columns[c].heading));
      QCOMPARE(f.ListView1->isColumnHidden(c), columns[c].width == 0);
      if (columns[c].width) QCOMPARE(f.ListView1->columnWidth(c), columns[c].width);
      QCOMPARE(row->text(c), columns[c].text);
    }
    // The id cell in dark green (&H4000), the others in the list's own colour.
    const QColor darkGreen(0, 64, 0);
    QCOMPARE(row->foreground(1).color(), darkGreen);
    QCOMPARE(row->foreground(8).style(), Qt::NoBrush);
    // The contest list: every cell after the item text in dark green.
    const QTreeWidgetItem* logged = f.ListView2->topLevelItem(0);
    QCOMPARE(logged->foreground(0).style(), Qt::NoBrush);
    for (int c = 1; c < f.ListView2->columnCount(); ++c) QCOMPARE(logged->foreground(c).color(), darkGreen);

    f.Combo2->setCurrentText("40m");
    f.Corresponsal->setText("LU1AB");
    f.Corresponsal->setText("LU1ABC");
    QVERIFY(f.Label7->isHidden());
    QVERIFY(f.Frame4->isHidden());

    f.Combo2->setCurrentText("20m");
    f.Corresponsal->setText("LU1ABC ");
    f.Corresponsal->setText("LU1ABC");
    QVERIFY(!f.Label7->isHidden());
    pressEnter();
    QCOMPARE(storedQsos("COPA").size(), 2);
    QVERIFY(f.Label7->isHidden());  // the emptied call clears the flag
  }

  // ---- Deleting the open contest ---------------------------------------------------------------

  void deletingAsksAndRemovesEveryRow() {
    addContest("COPA");
    addQso("COPA", "LU1ABC", "20m", "CW", "1");
    addContest("OTRA");
    addQso("OTRA", "LU2XYZ", "20m", "CW", "1");
    form1().cabro_Click();
    form8().ListView1->setCurrentItem(form8().ListView1->topLevelItem(0));
    form8().ListView1_DblClick();
    Form4& f = form4();

    dialogs->answers.enqueue(MsgAnswer::No);
    f.elo->trigger();
    QCOMPARE(dialogs->lastText(), QString("Elimina log COPA?"));
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Question);
    QCOMPARE(rowsNamed("COPA"), 2);
    QVERIFY(f.isVisible());

    dialogs->answers.enqueue(MsgAnswer::Yes);
    f.Command3_Click();
    QCOMPARE(rowsNamed("COPA"), 0);
    QCOMPARE(rowsNamed("OTRA"), 2);
    QVERIFY(FormInstance<Form4>::loaded());
    QVERIFY(!f.isVisible());

    // The next contest shows its own rows only, not the deleted one's.
    form1().cabro_Click();
    QCOMPARE(form8().ListView1->topLevelItemCount(), 1);
    form8().ListView1->setCurrentItem(form8().ListView1->topLevelItem(0));
    form8().ListView1_DblClick();
    QCOMPARE(listColumn(f.ListView2, 9), QStringList{"LU2XYZ"});
    QCOMPARE(f.Label9->text(), QString("1 QSOs "));
  }
};

QTEST_MAIN(TstForm4)
#include "tst_form4.moc"
