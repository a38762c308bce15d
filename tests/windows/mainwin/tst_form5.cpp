#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "mainwin/form1.h"
#include "mainwin/form5.h"
#include "mainwin/qslcard.h"
#include "platform/database.h"
#include "store/logcommands.h"
#include "store/programstate.h"
#include "platform/textfile.h"
#include "setup/form2.h"
#include "support/quietmainwindow.h"
#include "support/localhttpserver.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// A QSO as the main list shows it.
LogQso listRow(qint64 id) {
  LogQso r;
  r.id = id;
  r.Modo = "SSB";
  r.Banda = "20m";
  r.MyCall = "LU9ZZ";
  r.Estacion = "LU1ABC";
  r.Fecha = "05/06/2024";
  r.Hora = "14:05";
  r.RSE = "59";
  r.RSR = "57";
  r.Obs = "Juan";
  r.Operador = "LU8OP";
  r.NombreLog = "Mi Log";
  r.Frecuencia = "14.250";
  r.MiGrid = "GF05TJ";
  r.SuGrid = "FF78";
  r.Ruk = "1";
  return r;
}

// Stores the QSO in Tabla1 and gives it back with its id.
LogQso storeRow(LogQso r) {
  QSqlQuery q(db::connection());
  const bool ok = bool(db::run(q,
                               "INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                               "Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                               "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                               {r.Modo, r.Banda, r.MyCall, r.Estacion, r.Fecha, r.Hora + ":00", r.RSE, r.RSR, r.Obs,
                                r.Operador, r.NombreLog, r.Frecuencia, r.MiGrid, r.SuGrid, r.Ruk, r.Nombre_Sat,
                                QStringLiteral("X")}));
  r.id = ok ? q.lastInsertId().toLongLong() : -1;
  return r;
}

LogQso stored(qint64 id) {
  const auto r = FindLogQso("Mi Log", id);
  return r.value.value_or(LogQso{});
}

}  // namespace

class TstForm5 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  QList<QPair<QString, qint64>> refreshed;

  Form5& opened(const LogQso& row, const QString& caller = "Form6") {
    state().EditCallerForm = caller;
    state().EditFormLoading = true;
    Form5& f = form5();
    f.fillFrom(row, mainListEditModes(), mainListEditMhz());
    f.show();
    f.activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(&f)); }();
    return f;
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state().CurrentLogName = "Mi Log";
    refreshed.clear();
    // The search view's refresh, as it will register it.
    setEditCallerRefresh("Form6", [this](qint64 id) { refreshed.append({"Form6", id}); });
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
  }

  void cleanup() {
    FormInstance<Form5>::unload();
    FormInstance<Form1>::unload();
    FormInstance<Form2>::unload();
    setEditCallerRefresh("Form6", {});
    dialogs.reset();
    folder.reset();
  }

  void fillsEveryControlFromTheRow() {
    LogQso r = listRow(42);
    r.Banda = "40m";  // kept as stored: filling does not recompute the band
    r.Nombre_Sat = "  ao-91 ";
    r.Obs = QString(60, 'x');
    Form5& f = form5();
    state().EditFormLoading = true;
    f.fillFrom(r, mainListEditModes(), mainListEditMhz());

    QCOMPARE(f.windowTitle(), QString("Edición de QSO #42"));
    QCOMPARE(f.qsoId(), 42);
    QCOMPARE(f.Text1->text(), QString("LU9ZZ"));
    QCOMPARE(f.Text2->text(), QString("LU1ABC"));
    QCOMPARE(f.Text3->text(), QString("LU8OP"));
    QCOMPARE(f.Text4->text(), QString("05/06/2024"));
    QCOMPARE(f.Text5->text(), QString("14:05"));
    QCOMPARE(f.Text6->text(), QString("59"));
    QCOMPARE(f.Text7->text(), QString("57"));
    QCOMPARE(f.Text8->text(), QString(60, 'x'));  // shown whole, as stored
    QCOMPARE(f.Text10->text(), QString("GF05TJ"));
    QCOMPARE(f.Text11->text(), QString("FF78"));
    QCOMPARE(f.Label11->text(), QString("40m"));
    QCOMPARE(f.mhz->currentText(), QString("14"));
    QCOMPARE(f.Text9->text(), QString("250"));
    QCOMPARE(f.Combo2->currentText(), QString("SSB"));
    QCOMPARE(f.Text12->text(), QString("ao-91"));
    QVERIFY(!f.Text12->isHidden());
    QVERIFY(!f.Label5_1->isHidden());
  }

  void frequencyAndModeOfTheRow_data() {
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("mhz");
    QTest::addColumn<QString>("khz");
    QTest::addColumn<int>("mhzEntries");
    QTest::addColumn<int>("modeEntries");
    const int mhzList = int(mainListEditMhz().size());
    const int modeList = int(mainListEditModes().size());
    QTest::newRow("comma") << "14,250" << "CW" << "14" << "250" << mhzList << modeList;
    QTest::newRow("one kHz digit") << "7.1" << "FM" << "7" << "1" << mhzList << modeList;
    QTest::newRow("four kHz digits") << "435.1234" << "FM" << "435" << "1234" << mhzList << modeList;
    QTest::newRow("five kHz digits") << "435.12345" << "FM" << "435" << "12345" << mhzList << modeList;
    QTest::newRow("MHz not listed") << "1296.100" << "SSB" << "1296" << "100" << mhzList + 1 << modeList;
    QTest::newRow("imported 222") << "222.100" << "SSB" << "222" << "100" << mhzList + 1 << modeList;
    QTest::newRow("no point") << "2400" << "SSB" << "2400" << "" << mhzList + 1 << modeList;
    QTest::newRow("mode not listed") << "145.900" << "Sat CW" << "145" << "900" << mhzList << modeList + 1;
    QTest::newRow("mode differs in case") << "3.650" << "ssb" << "3" << "650" << mhzList << modeList + 1;
  }

  void frequencyAndModeOfTheRow() {
    QFETCH(QString, frequency);
    QFETCH(QString, mode);
    QFETCH(QString, mhz);
    QFETCH(QString, khz);
    QFETCH(int, mhzEntries);
    QFETCH(int, modeEntries);
    Form5& f = form5();
    // A previous QSO on another frequency and mode must not show through.
    f.fillFrom(listRow(1), mainListEditModes(), mainListEditMhz());
    LogQso r = listRow(2);
    r.Frecuencia = frequency;
    r.Modo = mode;
    state().EditFormLoading = true;
    f.fillFrom(r, mainListEditModes(), mainListEditMhz());
    QCOMPARE(f.mhz->currentText(), mhz);
    QCOMPARE(f.Text9->text(), khz);
    QCOMPARE(f.mhz->count(), mhzEntries);
    QCOMPARE(f.Combo2->currentText(), mode);
    QCOMPARE(f.Combo2->count(), modeEntries);
    QCOMPARE(f.Combo2->itemText(modeEntries - 1), modeEntries > int(mainListEditModes().size()) ? mode : "Echo IP");
    QVERIFY(dialogs->messages.isEmpty());
  }

  void uploadStateLabels_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("ruk");
    QTest::addColumn<QString>("uploaded");
    QTest::addColumn<QString>("confirmed");
    QTest::newRow("empty") << "2" << "" << "NO" << "NO";
    QTest::newRow("0") << "2" << "0" << "NO" << "NO";
    QTest::newRow("1") << "2" << "1" << "SI" << "NO";
    QTest::newRow("1 with blanks") << "0" << " 1 " << "SI" << "NO";
    QTest::newRow("2") << "0" << "2" << "SI" << "SI";
    QTest::newRow("unknown is neither uploaded nor confirmed") << "2" << "7" << "NO" << "NO";
    QTest::newRow("text") << "1" << "R" << "NO" << "NO";
  }

  void uploadStateLabels() {
    QFETCH(QString, before);
    QFETCH(QString, ruk);
    QFETCH(QString, uploaded);
    QFETCH(QString, confirmed);
    Form5& f = form5();
    f.showRukStatus(before);
    LogQso r = listRow(3);
    r.Ruk = ruk;
    f.fillFrom(r, mainListEditModes(), mainListEditMhz());
    QCOMPARE(f.subidoARuk->text(), uploaded);
    QCOMPARE(f.ConfARuk->text(), confirmed);
    QVERIFY(f.subidoARuk->isHidden());
  }

  void satelliteBoxFollowsTheRowAndTheCheckBox() {
    Form5& f = form5();
    f.fillFrom(listRow(4), mainListEditModes(), mainListEditMhz());
    QVERIFY(f.Text12->isHidden());
    QVERIFY(f.Label5_1->isHidden());
    f.Check1->setChecked(true);
    QVERIFY(!f.Text12->isHidden());
    QVERIFY(!f.Label5_1->isHidden());
    f.Check1->setChecked(false);
    QVERIFY(f.Text12->isHidden());
  }

  void savingWritesTheFieldsAndRefreshesTheOpener_data() {
    QTest::addColumn<QString>("caller");
    QTest::newRow("main list") << "Form1";
    QTest::newRow("search view") << "Form6";
    QTest::newRow("unknown window") << "Form9";
  }

  void savingWritesTheFieldsAndRefreshesTheOpener() {
    QFETCH(QString, caller);
    const LogQso row = storeRow(listRow(0));
    form1().ListView2->clear();
    LoadLogPage("Mi Log", 1);
    QCOMPARE(form1().ListView2->topLevelItem(0)->text(kQsoListEstacion), QString("LU1ABC"));
    Form5& f = opened(row, caller);
    f.Text2->setText("LU1DXX");
    f.Text8->setText("it's 'ok'");
    f.Text5->setText("23:59");
    f.Text4->setText("29/02/2024");
    f.Text11->setText("GF15AB");
    f.Text12->setText("so-50");
    f.Text9->setText("075");
    f.Combo2->setCurrentText("CW");
    f.Command1->click();

    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(f.isHidden());
    const LogQso s = stored(row.id);
    QCOMPARE(s.Estacion, QString("LU1DXX"));
    QCOMPARE(s.Obs, QString("its ok"));
    QCOMPARE(f.Text8->text(), QString("its ok"));
    QCOMPARE(s.Hora, QString("23:59"));
    QCOMPARE(s.Fecha, QString("29/02/2024"));
    QCOMPARE(s.SuGrid, QString("GF15AB"));
    QCOMPARE(s.Nombre_Sat, QString("SO-50"));
    QCOMPARE(s.Frecuencia, QString("14.075"));
    QCOMPARE(s.Modo, QString("CW"));
    QCOMPARE(s.Banda, QString("20m"));
    QCOMPARE(s.MyCall, QString("LU9ZZ"));
    QCOMPARE(s.Operador, QString("LU8OP"));
    QCOMPARE(s.MiGrid, QString("GF05TJ"));
    QCOMPARE(s.RSE, QString("59"));
    QCOMPARE(s.RSR, QString("57"));
    QCOMPARE(s.Ruk, QString(""));
    QCOMPARE(s.Argento, QString("Buenos Aires"));  // recomputed from the new call
    // Only the opener's list is refreshed.
    const QString mainList = form1().ListView2->topLevelItem(0)->text(kQsoListEstacion);
    QCOMPARE(mainList, QString(caller == "Form1" ? "LU1DXX" : "LU1ABC"));
    QVERIFY(form1().ListView2->isVisibleTo(&form1()));
    if (caller == "Form6")
      QCOMPARE(refreshed, (QList<QPair<QString, qint64>>{{caller, row.id}}));
    else
      QVERIFY(refreshed.isEmpty());
  }

  void savingRefusesAndKeepsTheEdits_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("own call") << "Text2" << "LU9ZZ" << "QSO con la propia estación???" << "Text2";
    QTest::newRow("operator") << "Text2" << "LU8OP" << "QSO con el Operador???" << "Text2";
    QTest::newRow("sent report of blanks") << "Text6" << "  " << "Reporte incorrecto!" << "Text6";
    QTest::newRow("empty received report") << "Text7" << "" << "Reporte incorrecto!" << "Text7";
    QTest::newRow("date") << "Text4" << "31/02/2024" << "Error Fecha!\r\nFormato: DD/MM/AAAA" << "Text4";
    QTest::newRow("short date") << "Text4" << "1/2/2024" << "Error Fecha!\r\nFormato: DD/MM/AAAA" << "Text4";
    QTest::newRow("time format") << "Text5" << "1230" << "Error Hora!\r\nFormato: HH:MM" << "Text5";
    QTest::newRow("time wildcard") << "Text5" << "1?:30" << "Error Hora!\r\nFormato: HH:MM" << "Text5";
    QTest::newRow("hour") << "Text5" << "24:00" << "Error Hora!\r\nMayor de 23." << "Text5";
    QTest::newRow("minutes") << "Text5" << "12:60" << "Error Minutos!\r\nMayor de 59." << "Text5";
    QTest::newRow("worked grid") << "Text11" << "GF05T" << "Grilla incorrecta!" << "Text11";
    QTest::newRow("own grid") << "Text10" << "GF05" << "Grilla incorrecta!" << "Text10";
  }

  void savingRefusesAndKeepsTheEdits() {
    QFETCH(QString, box);
    QFETCH(QString, value);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    const LogQso row = storeRow(listRow(0));
    Form5& f = opened(row);
    f.Text8->setText("cambiado");
    auto* target = f.findChild<QLineEdit*>(box);
    QVERIFY(target);
    target->setText(value);
    f.Command1->click();

    QCOMPARE(dialogs->texts(), QStringList{message});
    QVERIFY(f.isVisible());
    QCOMPARE(f.Text8->text(), QString("cambiado"));
    QCOMPARE(stored(row.id).Obs, QString("Juan"));
    QVERIFY(refreshed.isEmpty());
    QWidget* wanted = f.findChild<QLineEdit*>(focus);
    QTRY_COMPARE(QApplication::focusWidget(), wanted);
  }

  void satelliteModeWithoutNameShowsTheHiddenBox() {
    LogQso r = listRow(0);
    r.Modo = "Sat";
    Form5& f = opened(storeRow(r));
    QVERIFY(f.Text12->isHidden());
    f.Command1->click();
    QCOMPARE(dialogs->texts(), QStringList{"Debe agregar el nombre del Satélite"});
    QCOMPARE(dialogs->messages.first().icon, MsgIcon::Critical);
    QVERIFY(f.Text12->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text12));
    QVERIFY(refreshed.isEmpty());
  }

  void aDatabaseFailureKeepsTheDialogOpen() {
    const LogQso row = storeRow(listRow(0));
    Form5& f = opened(row);
    QVERIFY(db::exec("CREATE TRIGGER no_update BEFORE UPDATE ON Tabla1 BEGIN SELECT RAISE(ABORT, 'disco lleno'); END"));
    f.Text8->setText("cambiado");
    f.Command1->click();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->lastText().contains("disco lleno"));
    QVERIFY(f.isVisible());
    QCOMPARE(f.Text8->text(), QString("cambiado"));
    QVERIFY(refreshed.isEmpty());
  }

  void deleteAsksFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
  }

  void deleteAsksFirst() {
    QFETCH(bool, yes);
    const LogQso row = storeRow(listRow(0));
    form1().ListView2->clear();
    LoadLogPage("Mi Log", 1);
    Form5& f = opened(row, "Form6");
    f.Text8->setText("no guardado");
    dialogs->answers << (yes ? MsgAnswer::Yes : MsgAnswer::No);
    f.Command2->click();
    QCOMPARE(dialogs->messages.size(), 1);
    const MessageRequest& q = dialogs->messages.first();
    QCOMPARE(q.text, QString("Elimina el QSO #%1?\r\n\r\nLos datos no se podrán recuperar!").arg(row.id));
    QCOMPARE(q.buttons, MsgButtons::YesNo);
    QCOMPARE(q.defaultButton, MsgAnswer::No);
    QCOMPARE(q.icon, MsgIcon::Question);
    QVERIFY(f.isHidden());
    QCOMPARE(FindLogQso("Mi Log", row.id).value.has_value(), !yes);
    if (!yes) QCOMPARE(stored(row.id).Obs, QString("Juan"));  // closed without saving
    QCOMPARE(refreshed, (QList<QPair<QString, qint64>>{{"Form6", row.id}}));
    // From the search view, a deletion leaves the main list hidden and empty until
    // the search view reloads it.
    QCOMPARE(form1().ListView2->topLevelItemCount() == 0, yes);
    QCOMPARE(form1().ListView2->isHidden(), yes);
  }

  void leaveChecksPutTheFocusBack() {
    Form5& f = opened(listRow(5));
    f.Text5->setFocus();
    f.Text5->setText("24:00");
    f.Text6->setFocus();
    QCOMPARE(dialogs->texts(), QStringList{"Error Hora!\r\nMayor de 23."});
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text5));
    // Putting the focus back is no leave of the box the focus had reached.
    QCOMPARE(dialogs->messages.size(), 1);

    dialogs->clear();
    f.Text5->setText("12:00");
    f.Text11->setFocus();
    f.Text11->setText("GF05T");
    f.Text8->setFocus();
    QCOMPARE(dialogs->texts(), QStringList{"Grilla incorrecta!"});
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text11));

    // From one bad box into another: only the box left is checked, and the focus
    // going back to it is no leave of the other one.
    dialogs->clear();
    f.Text11->clear();
    f.Text4->setText("31/02/2024");
    f.Text5->setText("99:99");
    f.Text5->setFocus();
    f.Text4->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text5));
    QTest::qWait(20);
    QCOMPARE(dialogs->texts(), QStringList{"Error Hora!\r\nMayor de 23."});
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text5));

    dialogs->clear();
    f.Text4->setText("01/02/2024");
    f.Text5->setText("12:00");
    f.Text11->clear();  // an empty grid passes
    f.Text8->setFocus();
    QVERIFY(dialogs->messages.isEmpty());
  }

  void leavingTheKhzBoxCompletesItAndSetsTheBand_data() {
    QTest::addColumn<QString>("mhz");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("khz");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("warning");
    QTest::newRow("empty") << "7" << "" << "000" << "40m" << "";
    QTest::newRow("one digit") << "7" << "1" << "100" << "40m" << "";
    QTest::newRow("two digits") << "3" << "65" << "650" << "80m" << "";
    QTest::newRow("out of band") << "3" << "45" << "450" << "80m" << "3.450 KHz\r\n\r\nFuera de banda!";
    QTest::newRow("no band") << "2" << "1" << "100" << "" << "";
  }

  void leavingTheKhzBoxCompletesItAndSetsTheBand() {
    QFETCH(QString, mhz);
    QFETCH(QString, typed);
    QFETCH(QString, khz);
    QFETCH(QString, band);
    QFETCH(QString, warning);
    LogQso r = listRow(6);
    r.Frecuencia = mhz + ".";
    Form5& f = opened(r);
    QCOMPARE(f.Label11->text(), QString("20m"));  // the stored band, until the operator acts
    f.Text9->setFocus();
    f.Text9->setText(typed);
    f.Text8->setFocus();
    QCOMPARE(f.Text9->text(), khz);
    QCOMPARE(f.Label11->text(), band);
    QCOMPARE(dialogs->texts(), warning.isEmpty() ? QStringList() : QStringList{warning});
    if (!warning.isEmpty()) QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text9));
  }

  void savingFromTheKhzBoxCompletesItFirst() {
    const LogQso row = storeRow(listRow(0));
    Form5& f = opened(row);
    f.Text9->setFocus();
    f.Text9->setText("5");
    f.Command1->click();
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(stored(row.id).Frecuencia, QString("14.500"));
    QCOMPARE(stored(row.id).Banda, QString("20m"));
  }

  void choosingMhzSetsTheBandOnceShown() {
    Form5& f = opened(listRow(7));
    QVERIFY(!state().EditFormLoading);
    f.mhz->setCurrentText("28");
    QCOMPARE(f.Label11->text(), QString("10m"));
  }

  void keyFilters_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("worked call") << "Text2" << "lu1/a?b-c ." << "LU1/A?BC";
    QTest::newRow("own call") << "Text1" << "lu9zz*" << "LU9ZZ";
    QTest::newRow("operator") << "Text3" << "lu8op" << "LU8OP";
    QTest::newRow("date") << "Text4" << "01a/0-2/2024" << "01/02/2024";
    QTest::newRow("time") << "Text5" << "1x2:3.0" << "12:30";
    QTest::newRow("worked grid") << "Text11" << "gf0a5?tj" << "GF05TJ";
    QTest::newRow("grid letter at 3rd place") << "Text11" << "ffa" << "FF";
    QTest::newRow("own grid") << "Text10" << "gf05tj" << "GF05TJ";
    QTest::newRow("remarks") << "Text8" << "it's ok" << "it's ok";
    QTest::newRow("report") << "Text6" << "5a" << "5a";
  }

  void keyFilters() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Form5& f = opened(listRow(8));
    auto* e = f.findChild<QLineEdit*>(box);
    QVERIFY(e);
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, typed);
    QCOMPARE(e->text(), shown);
  }

  void gridShapeKeepsImportedLowerCaseSubsquares() {
    LogQso r = listRow(9);
    r.SuGrid = "FN31pr";
    Form5& f = form5();
    f.fillFrom(r, mainListEditModes(), mainListEditMhz());
    QCOMPARE(f.Text11->text(), QString("FN31pr"));
  }

  void cardButtonHandsOverTheFieldsAsTheyStand() {
    QTemporaryDir designer;
    setQslDesignerFolder(designer.path());
    QFile(designer.filePath("tarjos")).open(QIODevice::WriteOnly);
    QDir(designer.path()).mkpath("MisQSLs");
    QVERIFY(writeTextLines(designer.filePath("MisQSLs/a.qsl"), {"SuCall=LU9ZZ"}));
    test::RecordingLauncher launcher;

    LogQso r = listRow(10);
    r.Nombre_Sat = "ao-91";
    Form5& f = opened(r);
    f.Text8->setText("sin guardar");  // edits not saved go as they stand
    f.Combo2->setCurrentText("FM");
    dialogs->answers << MsgAnswer::No;  // not the image
    f.Command4->click();
    setQslDesignerFolder({});

    QCOMPARE(launcher.calls.size(), 1);
    QCOMPARE(launcher.calls[0].arguments,
             QStringList{"Tarjo$de=LU9ZZ$para=LU1ABC$fecha=05/06/2024$hora=14:05$modo=FM$banda=20m$reporte=59"
                         "$sat=AO-91$nota=sin guardar"});
    QCOMPARE(f.Text12->text(), QString("ao-91"));  // upper-cased only in the request
    QVERIFY(f.isVisible());
  }

  void qrzButtonNeedsTheAccountAndSendsTheLoginEncodedOnce() {
    test::LocalHttpServer server;
    qputenv("VZ_URL_QRZ", server.base().toUtf8());
    Form5& f = opened(listRow(11));
    f.Text2->setText("LU1ABC/P");

    form2().Text5->setText("mi usuario");
    form2().Text6->clear();
    f.Command13->click();
    QCOMPARE(dialogs->texts(), QStringList{"Sin configurar Usuario o Contraseña!"});
    QCOMPARE(state().LookupCall, QString("LU1ABC/P"));

    form2().Text6->setText("a&b;c%d");
    f.Command13->click();
    QTRY_COMPARE(server.requests.size(), 1);
    qunsetenv("VZ_URL_QRZ");
    QCOMPARE(server.requests[0].target, QByteArray("/xml/?username=mi%20usuario;password=a%26b%3Bc%25d"));
    QCOMPARE(dialogs->messages.size(), 1);
  }

  void rukButtonLooksTheWorkedCallUp() {
    test::LocalHttpServer server;
    qputenv("VZ_URL_RUK", server.base().toUtf8());
    state().LookupFromEditForm = false;
    Form5& f = opened(listRow(12));
    f.Text2->setText("LU1ABC/P");
    f.Command3->click();
    QTRY_COMPARE(server.requests.size(), 1);
    qunsetenv("VZ_URL_RUK");
    QCOMPARE(server.requests[0].target, QByteArray("/php/vantorel_ruk.php?qrz=LU1ABC%2FP"));
    QVERIFY(state().LookupFromEditForm);
    QCOMPARE(state().LookupCall, QString("LU1ABC/P"));
    QVERIFY(f.isVisible());
  }

  void escUnloadsWithoutSaving() {
    const LogQso row = storeRow(listRow(0));
    QTimer::singleShot(0, [] {
      Form5& f = form5();
      f.Text8->setText("descartado");
      QTest::keyClick(f.Text8, Qt::Key_Escape);
    });
    OpenQsoEditor("Form1", row, mainListEditModes(), mainListEditMhz());
    QVERIFY(!FormInstance<Form5>::loaded());
    QCOMPARE(stored(row.id).Obs, QString("Juan"));
    QVERIFY(refreshed.isEmpty());
    // Design values at the next use.
    QCOMPARE(form5().Text8->text(), QString());
  }

  void searchViewOpensThroughTheSameContract() {
    // The search view's own lists: no "53" MHz, so a 53 MHz QSO brings its own.
    const QStringList searchModes = {"SSB", "CW", "FM", "DVoice"};
    const QStringList searchMhz = {"1", "3", "7", "14", "50", "51", "52", "144", "1267"};
    LogQso r = listRow(0);
    r.Frecuencia = "53.100";
    r.Banda = "6m";
    const LogQso row = storeRow(r);
    QString seenCaller;
    bool loadingWhileFilled = false;
    QTimer::singleShot(0, [&] {
      Form5& f = form5();
      seenCaller = state().EditCallerForm;
      loadingWhileFilled = f.mhz->currentText() == "53" && f.Label11->text() == "6m";
      f.Text6->setText("55");
      f.Command1->click();
    });
    OpenQsoEditor("Form6", row, searchModes, searchMhz);
    QCOMPARE(seenCaller, QString("Form6"));
    QVERIFY(loadingWhileFilled);
    QCOMPARE(form5().Combo2->count(), 4);
    QCOMPARE(stored(row.id).RSE, QString("55"));
    QCOMPARE(stored(row.id).Frecuencia, QString("53.100"));
    QCOMPARE(refreshed, (QList<QPair<QString, qint64>>{{"Form6", row.id}}));
    // "Guardar" hides the dialog and keeps it loaded.
    QVERIFY(FormInstance<Form5>::loaded());
  }
};

QTEST_MAIN(TstForm5)
#include "tst_form5.moc"
