// The program's start: what the main window's load restores and loads from the
// files beside the program.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "contest/form4.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/programfolder.h"
#include "store/callsign.h"
#include "store/programstate.h"
#include "store/satellites.h"
#include "support/recordinglauncher.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QStringList items(QComboBox* c) {
  QStringList l;
  for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
  return l;
}

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TstStartup : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;
  std::unique_ptr<test::RecordingLauncher> launcher;
  FixedClock fixedClock{QDateTime(QDate(2024, 5, 17), QTime(10, 42, 31))};

  // Creates the main window, which runs its load; the timers are held so that only
  // the load is seen.
  Form1& started() {
    Form1& f = form1();
    for (QTimer* t : f.findChildren<QTimer*>()) t->stop();
    return f;
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    state() = ProgramState{};
    vz::prefixTable().clear();
    setClock(&fixedClock);
  }
  void cleanup() {
    FormInstance<Form4>::unload();
    FormInstance<Form1>::unload();
    setClock(nullptr);
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void aFreshFolderGivesTheDesignDefaults() {
    Form1& f = started();
    QCOMPARE(f.windowTitle(), QString("Vantorel Zezeror V2.1.21"));
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));
    QCOMPARE(items(f.Combo1), (QStringList{"SSB", "FM", "CW", "DVoice", "DV IP", "Echo", "Echo IP"}));
    QCOMPARE(f.mhz->currentText(), QString("3"));
    QCOMPARE(f.mhz->count(), 31);
    QCOMPARE(f.mhz->itemText(29), QString("439"));
    QCOMPARE(f.mhz->itemText(30), QString("1267"));  // 23 cm satellite uplinks
    QCOMPARE(f.Text1->text(), QString("650"));
    QCOMPARE(f.Label7->text(), QString("80m"));
    QCOMPARE(f.RSE->text(), QString("59"));
    QCOMPARE(f.RSR->text(), QString("59"));
    QVERIFY(!f.Check1->isChecked());
    QVERIFY(!f.Check2->isChecked());
    QVERIFY(f.Frame2->isHidden());
    QCOMPARE(f.Combo2->count(), 13);
    QCOMPARE(f.Combo2->currentText(), QString("80m"));
    QCOMPARE(f.Label11->text(), QString("LU"));
    QCOMPARE(f.ListView2->columnCount(), 18);
    QCOMPARE(f.ListView2->headerItem()->text(17), QString("Argentina"));
    QCOMPARE(f.sPorcentaje->width(), 0);

    // The built-in satellites are written and listed; the panel shows the last one.
    QCOMPARE(folder->readLines("satelites.txt"), DefaultSatelliteLines());
    QCOMPARE(f.Combo3->count(), 16);
    QCOMPARE(f.Combo3->itemText(0), QString("AO-7"));
    QCOMPARE(f.Combo3->currentIndex(), -1);
    QCOMPARE(f.Subida->text(), QString("Subida:70cm"));
    QCOMPARE(f.Bajada->text(), QString("Bajada:2m"));
    QCOMPARE(f.Modo->text(), QString("Modo:FM"));
    QCOMPARE(f.Subtono->text(), QString("SubTono:67.0"));
    QVERIFY(!folder->exists("memsat.ini"));

    // The trace got to its end; start-up is over, the File menu waits for the
    // start-up step; no master list, no prefixes.
    QCOMPARE(bytesOf(folder->file("debug.txt")), QByteArray(" 1 \r\n 2 \r\n 3 \r\n 4 \r\n"));
    QVERIFY(!state().StartupInProgress);
    QVERIFY(!state().FirstRun);
    QVERIFY(!f.archivo->menuAction()->isEnabled());
    QVERIFY(!f.salir->isEnabled());
    QCOMPARE(state().MasterCallCount, 0);
    QVERIFY(!FormInstance<Form4>::loaded());  // no master list: no contest window yet
    QCOMPARE(vz::prefixTable().lineCount(), 0);
    QVERIFY(dialogs->messages.isEmpty());
  }

  void anEarlierTraceIsReplaced() {
    folder->writeLines("debug.txt", {" 1 ", " 2 ", " 9 ", " 9 ", " 9 ", " 9 "});
    started();
    QCOMPARE(folder->readLines("debug.txt"), (QStringList{" 1 ", " 2 ", " 3 ", " 4 "}));
  }

  void memIniRestoresFrequencyBandAndManualTime() {
    folder->writeLines("mem.ini", {"144.20059", "2m", " 1 ", ""});
    Form1& f = started();
    QCOMPARE(f.mhz->currentText(), QString("144"));
    QCOMPARE(f.Text1->text(), QString("200"));  // at most three characters after the point
    QCOMPARE(f.Label7->text(), QString("2m"));
    QVERIFY(f.Check1->isChecked());
    QCOMPARE(f.Fecha->text(), QString("17/05/2024"));  // local date and time
    QCOMPARE(f.Hora->text(), QString("10:42"));
  }

  void memIniEdgeCases_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("mhz");
    QTest::addColumn<QString>("khz");
    QTest::addColumn<QString>("band");
    QTest::addColumn<bool>("manual");
    QTest::newRow("manual off") << QStringList{"7.050", "40m", " 0 ", ""} << "7" << "050" << "40m" << false;
    QTest::newRow("not offered") << QStringList{"9.100", "30m", " 0 "} << "3" << "100" << "30m" << false;
    QTest::newRow("short file") << QStringList{"14.200"} << "14" << "200" << "" << false;
    QTest::newRow("no point") << QStringList{"21", "15m", "x"} << "21" << "" << "15m" << false;
    QTest::newRow("empty file") << QStringList{} << "3" << "" << "" << false;
    // What the kHz box could not take by typing stays out; a band no QSO is stored
    // with gives way to the band of the frequency.
    QTest::newRow("signs and letters after the point")
        << QStringList{"3.s6-", "zz", " 0 "} << "3" << "6" << "80m" << false;
    QTest::newRow("letter O for zero") << QStringList{"7.0a5", "4Om", " 0 "} << "7" << "05" << "40m" << false;
    QTest::newRow("question mark kept") << QStringList{"14.?20", "20m", " 0 "} << "14" << "?20" << "20m" << false;
  }
  void memIniEdgeCases() {
    QFETCH(QStringList, lines);
    folder->writeLines("mem.ini", lines);
    Form1& f = started();
    QTEST(f.mhz->currentText(), "mhz");
    QTEST(f.Text1->text(), "khz");
    QTEST(f.Label7->text(), "band");
    QTEST(f.Check1->isChecked(), "manual");
  }

  // Random bytes where mem.ini was: the kHz box holds only what it takes from the
  // keyboard, the band label a band, and the load goes on.
  void memIniOfRandomBytes() {
    static const char raw[] = "3.s6-\xe9\x01\x7f\r\n\xff\xfe\x00\x9d\r\n\x8a 1x\r\n";
    const QByteArray bytes(raw, sizeof raw - 1);
    QFile file(folder->file("mem.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    Form1& f = started();
    QCOMPARE(f.mhz->currentText(), QString("3"));
    QCOMPARE(f.Text1->text(), QString("6"));
    QCOMPARE(f.Label7->text(), QString("80m"));
    QCOMPARE(folder->readLines("debug.txt").size(), 4);
    QVERIFY(dialogs->messages.isEmpty());
  }

  // memKhz.cfg goes into the same box under the same rule.
  void memKhzCfgTakesWhatTheBoxTakes() {
    folder->writeLines("memKhz.cfg", {"1-2x3"});
    Form1& f = started();
    QCOMPARE(f.Text1->text(), QString("123"));
  }

  // The date and time boxes hold the UTC time from the load on, before the clock's
  // first tick (the design offset, -3, until the settings are read).
  void theDateAndTimeBoxesAreFilledAtTheLoad() {
    Form1& f = started();
    QCOMPARE(f.Fecha->text(), QString("17/05/2024"));
    QCOMPARE(f.Hora->text(), QString("13:42"));
    QVERIFY(!state().MainFormReady);  // start-up is not over for the handlers yet
  }

  void theCfgFilesComeAfterMemIni() {
    folder->writeLines("mem.ini", {"7.050", "40m", " 0 ", ""});
    folder->writeLines("memModo.cfg", {"CW"});
    folder->writeLines("memMhz.cfg", {"14"});
    folder->writeLines("memKhz.cfg", {"074"});
    folder->writeLines("memqSat.cfg", {" 0 "});
    Form1& f = started();
    QCOMPARE(f.Combo1->currentText(), QString("CW"));
    QCOMPARE(f.mhz->currentText(), QString("14"));
    QCOMPARE(f.Text1->text(), QString("074"));
    QVERIFY(!f.Check2->isChecked());
  }

  void valuesTheSelectorsDoNotOfferAreSkipped() {
    folder->writeLines("memModo.cfg", {"RTTY"});
    folder->writeLines("memMhz.cfg", {"2400"});
    folder->writeLines("memqSat.cfg", {" 7 "});
    folder->writeLines("memsat.ini", {"NO-EXISTE"});
    Form1& f = started();
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));
    QCOMPARE(f.mhz->currentText(), QString("3"));
    QVERIFY(!f.Check2->isChecked());
    QCOMPARE(f.Combo3->currentIndex(), -1);
    QCOMPARE(folder->readLines("debug.txt").size(), 4);  // and the load went on
  }

  void satelliteModeComesBackAsItWasLeft() {
    folder->writeLines("memModo.cfg", {"FM"});
    folder->writeLines("memMhz.cfg", {"145"});
    folder->writeLines("memKhz.cfg", {"900"});
    folder->writeLines("memqSat.cfg", {" 1 "});
    folder->writeLines("memsat.ini", {"AO-91"});
    Form1& f = started();
    QCOMPARE(f.Combo3->currentText(), QString("AO-91"));
    QCOMPARE(f.Subida->text(), QString("Subida: 70cm "));
    QCOMPARE(f.Subtono->text(), QString("SubTono: 67.0"));
    QVERIFY(f.Check2->isChecked());
    QVERIFY(!f.Frame2->isHidden());
    QVERIFY(!f.Command15->isHidden());
    QVERIFY(!f.mhz->isEnabled());
    // The 70 cm uplink without a frequency of its own.
    QCOMPARE(f.mhz->currentText(), QString("435"));
    QCOMPARE(f.Text1->text(), QString("550"));
    QCOMPARE(state().PreSatelliteMode, QString("FM"));
    QCOMPARE(state().PreSatelliteMhz, QString("145"));
    QCOMPARE(state().PreSatelliteKhz, QString("900"));

    // Unticked, the strip is as the last exit left it before satellite mode.
    f.Check2->setChecked(false);
    QCOMPARE(f.Combo1->currentText(), QString("FM"));
    QCOMPARE(f.mhz->currentText(), QString("145"));
    QCOMPARE(f.Text1->text(), QString("900"));
    QVERIFY(f.mhz->isEnabled());
  }

  void anEmptySatellitesFileGetsTheBuiltInList() {
    folder->writeLines("satelites.txt", {});
    Form1& f = started();
    QCOMPARE(folder->readLines("satelites.txt"), DefaultSatelliteLines());
    QCOMPARE(f.Combo3->count(), 16);
    QCOMPARE(f.Subtono->text(), QString("SubTono:67.0"));
  }

  // After a load the sub-tone label shows all of a six-field last line; the mode
  // label beside it still holds the longest mode.
  void theSubToneLabelShowsASixFieldLineWhole() {
    folder->writeLines("satelites.txt", {"AO-7;70cm;2m;SSB;100.4", "IO-117;23cm;70cm;FM;88.5;1267.100"});
    Form1& f = started();
    QCOMPARE(f.Subtono->text(), QString("SubTono:88.5;1267.100"));
    const auto fits = [](QLabel* l, const QString& text) {
      return l->fontMetrics().horizontalAdvance(text) <= l->width() &&
             l->geometry().right() < l->parentWidget()->width();
    };
    QVERIFY(fits(f.Subtono, f.Subtono->text()));
    QVERIFY(fits(f.Modo, "Modo: Echo IP"));
    QVERIFY(!f.Modo->geometry().intersects(f.Subtono->geometry()));
  }

  void anExistingSatellitesFileIsKept() {
    folder->writeLines("satelites.txt", {"ZZ-1;2m;70cm;FM;67.0;145.900", "mal", "", "AA-2;70cm;2m;SSB; "});
    Form1& f = started();
    QCOMPARE(items(f.Combo3), (QStringList{"AA-2", "ZZ-1"}));
    QCOMPARE(f.Subida->text(), QString("Subida:70cm"));  // from the last satellite line
    QCOMPARE(folder->readLines("satelites.txt").size(), 4);
  }

  void masterList_data() {
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("stored");
    QTest::newRow("ten") << 10 << 10;
    QTest::newRow("too many") << 2050 << 2001;  // entries 0 to 2000; the caption counts them all
  }
  void masterList() {
    QFETCH(int, calls);
    QStringList lines{"#15/03/2024"};
    for (int i = 0; i < calls; ++i) lines << QStringLiteral(" lu%1abc ").arg(i);
    folder->writeLines("master.txt", lines);
    started();
    QCOMPARE(state().MasterCallCount, calls);
    QTEST(int(state().MasterCalls.size()), "stored");
    QCOMPARE(state().MasterListDate, QDate(2024, 3, 15));
    QCOMPARE(state().MasterCalls.first(), QString("LU0ABC"));
    // The caption's write creates the contest window, hidden, with its clock running.
    QVERIFY(FormInstance<Form4>::loaded());
    QCOMPARE(form4().Frame2->title(), QStringLiteral("MasterCheck (%1)").arg(calls));
    QVERIFY(form4().isHidden());
    QVERIFY(form4().Timer1->isActive());
  }

  void prefixFile_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("entries");
    QTest::newRow("some") << 3 << 3;
    QTest::newRow("too many") << 23005 << 23001;  // entries 0 to 23000
  }
  void prefixFile() {
    QFETCH(int, lines);
    QStringList dxcc;
    for (int i = 0; i < lines; ++i) dxcc << QStringLiteral(" P%1;x;Pais %1 ").arg(i);
    folder->writeLines("dxcc.txt", dxcc);
    started();
    QTEST(vz::prefixTable().lineCount(), "entries");
    QCOMPARE(vz::prefixTable().entry(0), QString("P0;x;Pais 0"));
  }

  void aFolderThatCannotBeWrittenStillStarts() {
    // A folder that does not exist: nothing can be created in it.
    setProgramFolder(QDir(folder->path()).filePath("no/hay"));
    Form1& f = started();
    QCOMPARE(f.mhz->currentText(), QString("3"));
    QCOMPARE(f.Combo3->count(), 0);
    QVERIFY(!state().StartupInProgress);
    // Told once, after the load, naming what could not be written.
    QVERIFY(dialogs->messages.isEmpty());
    QTRY_COMPARE(dialogs->messages.size(), 1);
    const MessageRequest m = dialogs->messages.first();
    QCOMPARE(m.icon, MsgIcon::Exclamation);
    QVERIFY(m.text.startsWith("No se puede escribir en la carpeta del programa:"));
    QVERIFY(m.text.contains("debug.txt"));
    QVERIFY(m.text.contains("satelites.txt"));
    QTest::qWait(50);
    QCOMPARE(dialogs->messages.size(), 1);
  }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
