// The program's life after its load: the start-up step, the clock, the usage
// reports and the exit.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "mainwin/form1.h"
#include "mainwin/form18.h"
#include "mainwin/form3.h"
#include "platform/clock.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/logfixture.h"
#include "support/recordinglauncher.h"
#include "support/settingsenv.h"

using namespace vz;

namespace {

// Points the program's web site at a test server for one test.
class WebSiteAt {
 public:
  explicit WebSiteAt(const QString& base) { qputenv("VZ_URL_WEB", base.toLatin1()); }
  ~WebSiteAt() { qunsetenv("VZ_URL_WEB"); }
};

QStringList listedCalls() {
  QStringList calls;
  QTreeWidget* list = form1().ListView2;
  for (int i = 0; i < list->topLevelItemCount(); ++i) calls << list->topLevelItem(i)->text(kQsoListEstacion);
  return calls;
}

}  // namespace

class TstLifecycle : public QObject {
  Q_OBJECT

  std::unique_ptr<test::SettingsTestEnv> env;
  std::unique_ptr<test::RecordingLauncher> launcher;
  FixedClock fixedClock;

  // The main window loaded again on the test's files, with its timers held.
  Form1& restarted() {
    FormInstance<Form1>::unload();
    state() = ProgramState{};
    Form1& f = form1();
    for (QTimer* t : f.findChildren<QTimer*>()) t->stop();
    SetFileMenuEnabled("1");  // as the start-up step leaves it
    return f;
  }

  // Lets the exit's countdown run fast; the count of ticks stays the same.
  static void quickCountdown(Form1& f) { f.Timer6->setInterval(1); }

 private slots:
  void init() {
    env = std::make_unique<test::SettingsTestEnv>();
    launcher = std::make_unique<test::RecordingLauncher>();
    setClock(&fixedClock);
  }
  void cleanup() {
    FormInstance<Form18>::unload();
    setClock(nullptr);
    launcher.reset();
    env.reset();
  }

  void aFirstRunAsksForTheSettings() {
    FormInstance<Form1>::unload();
    QElapsedTimer sinceCreated;
    sinceCreated.start();
    Form1& f = form1();
    f.show();
    qint64 askedAfter = -1;
    bool menuOffMeanwhile = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      if (!FormInstance<Form2>::loaded() || QApplication::activeModalWidget() != &form2()) return;
      watch.stop();
      askedAfter = sinceCreated.elapsed();
      menuOffMeanwhile = !f.archivo->menuAction()->isEnabled();
      form2().Text1->setText("lu1abc");
      form2().Command1_Click();  // "Guardar"
    });
    watch.start(10);
    QTRY_VERIFY_WITH_TIMEOUT(askedAfter >= 0, 5000);
    QVERIFY2(askedAfter >= 850, qPrintable(QString::number(askedAfter)));
    QVERIFY(menuOffMeanwhile);
    QTRY_VERIFY(f.archivo->menuAction()->isEnabled());
    QVERIFY(!state().FirstRun);
    QVERIFY(env->folder.exists("config.ini"));
    QCOMPARE(state().CurrentLogName, QString("Log inicial"));
    QCOMPARE(f.Frame1->title(), QString("Log inicial"));
    QCOMPARE(f.Label2->text(), QString("LU1ABC"));
    QCOMPARE(f.ListView2->topLevelItemCount(), 0);
    QCOMPARE(env->endRequests, 0);
  }

  // An empty config.ini (what a write cut short used to leave) holds no settings and
  // counts as missing: the settings are asked for rather than run on blank ones.
  void cancellingTheFirstRunEndsTheProgram_data() {
    QTest::addColumn<bool>("emptyFile");
    QTest::newRow("no config.ini") << false;
    QTest::newRow("empty config.ini") << true;
  }
  void cancellingTheFirstRunEndsTheProgram() {
    QFETCH(bool, emptyFile);
    if (emptyFile) env->folder.writeLines("config.ini", {});
    Form1& f = restarted();
    bool asked = false;
    QTimer::singleShot(0, this, [&] {
      asked = QApplication::activeModalWidget() == &form2();
      form2().Command2_Click();  // "Cancelar"
      form2().hide();            // the test's end of the program returns here
    });
    f.Timer2_Timer();
    QVERIFY(asked);
    QVERIFY(state().FirstRun);
    QCOMPARE(env->endRequests, 1);
    QCOMPARE(env->folder.exists("config.ini"), emptyFile);
  }

  void aSetUpProgramShowsTheCurrentLog() {
    env->folder.writeLines("config.ini", {"Estacion=LU1ABC", "Operador=LU2XYZ", "DiferUTC=-3", "LogenUso=Diario"});
    test::addQso("Diario", "LW3DEF", "01/02/2024", "10:00:00");
    test::addQso("Otro", "CX1AA", "01/02/2024", "11:00:00");
    Form1& f = restarted();
    f.Timer2_Timer();
    QVERIFY(!f.Timer2->isActive());
    QCOMPARE(state().CurrentLogName, QString("Diario"));
    QCOMPARE(f.Frame1->title(), QString("Diario"));
    QCOMPARE(f.Label2->text(), QString("LU1ABC"));
    QCOMPARE(listedCalls(), QStringList{"LW3DEF"});
    QVERIFY(f.archivo->menuAction()->isEnabled());
    QVERIFY(f.salir->isEnabled());
    QVERIFY(!FormInstance<Form2>::loaded() || !form2().isVisible());
  }

  void theClockKeepsTheStripOnUtc_data() {
    QTest::addColumn<QDateTime>("local");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("into the new year") << QDateTime(QDate(2024, 12, 31), QTime(21, 59, 58)) << "-3" << "01/01/2025"
                                       << "00:59";
    QTest::newRow("offset 0") << QDateTime(QDate(2024, 7, 9), QTime(8, 5, 1)) << "0" << "09/07/2024" << "08:05";
  }
  void theClockKeepsTheStripOnUtc() {
    QFETCH(QDateTime, local);
    QFETCH(QString, offset);
    fixedClock.set(local);
    Form1& f = restarted();
    form2().Text3->setText(offset);
    QVERIFY(!state().MainFormReady);
    f.Timer1_Timer();
    QVERIFY(state().MainFormReady);
    QTEST(f.Fecha->text(), "date");
    QTEST(f.Hora->text(), "time");
    QVERIFY(!f.Fecha->isEnabled());
    QVERIFY(!f.Hora->isEnabled());
  }

  void manualTimeLeavesTheBoxesAlone() {
    fixedClock.set(QDateTime(QDate(2024, 7, 9), QTime(8, 5, 1)));
    Form1& f = restarted();
    f.Timer1_Timer();
    f.Check1->setChecked(true);
    f.Fecha->setText("03/03/1999");
    f.Hora->setText("12:34");
    f.Timer1_Timer();
    QCOMPARE(f.Fecha->text(), QString("03/03/1999"));
    QCOMPARE(f.Hora->text(), QString("12:34"));
    QVERIFY(f.Fecha->isEnabled());
    QVERIFY(f.Hora->isEnabled());
    // Unticked, the next tick takes the boxes back.
    f.Check1->setChecked(false);
    f.Timer1_Timer();
    QCOMPARE(f.Hora->text(), QString("11:05"));
  }

  void theOnReportFollowsTheStart_data() {
    QTest::addColumn<QString>("station");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QString>("caption");
    QTest::newRow("station set") << "LU1ABC" << 1 << "Vantorel Zezeror V2.1.21*";
    QTest::newRow("no station") << "" << 0 << "Vantorel Zezeror V2.1.21";
  }
  void theOnReportFollowsTheStart() {
    QFETCH(QString, station);
    QFETCH(int, requests);
    test::LocalHttpServer server;
    WebSiteAt site(server.base());
    Form1& f = restarted();
    form2().Text1->setText(station);
    f.Timer7_Timer();
    QVERIFY(!f.Timer7->isActive());
    QVERIFY(f.Timer5->isActive());
    QCOMPARE(f.Timer5->interval(), 5000);
    f.Timer5_Timer();
    QVERIFY(!f.Timer5->isActive());
    QTEST(f.windowTitle(), "caption");
    if (requests) QTRY_COMPARE(server.requests.size(), 1);
    QTest::qWait(50);
    QCOMPARE(server.requests.size(), requests);
    if (requests)
      QCOMPARE(server.requests[0].target,
               QByteArray("/vantorel.php?qrz=LU1ABC&prog=Vantorel%20Zezeror%202&ver=2.1.21&comando=on"));
  }

  void answeringNoLeavesEverythingAsItWas() {
    Form1& f = restarted();
    f.show();
    f.close();
    QCOMPARE(env->dialogs.messages.size(), 1);
    const MessageRequest& q = env->dialogs.messages[0];
    QCOMPARE(q.text, QString("Sale de Van Torel Zezeror?"));
    QCOMPARE(q.icon, MsgIcon::Question);
    QCOMPARE(q.buttons, MsgButtons::YesNo);
    QCOMPARE(q.defaultButton, MsgAnswer::No);
    QVERIFY(f.isVisible());
    f.salir->trigger();
    QCOMPARE(env->dialogs.messages.size(), 2);
    QVERIFY(!f.Timer6->isActive());
    QVERIFY(!FormInstance<Form18>::loaded());
    QVERIFY(!env->folder.exists("config.ini"));
    QVERIFY(!env->folder.exists("memModo.cfg"));
    QCOMPARE(env->endRequests, 0);
  }

  // Closing the window writes config.ini; "Salir" does not. Both count down, save the
  // entry strip (as it is after the countdown) and end the program.
  void exitPaths_data() {
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("window closed") << true;
    QTest::newRow("Salir") << false;
  }
  void exitPaths() {
    QFETCH(bool, byClosing);
    test::LocalHttpServer server;
    WebSiteAt site(server.base());
    Form1& f = restarted();
    f.show();
    form2().Text1->setText("LU1ABC");
    state().CurrentLogName = "Diario";
    quickCountdown(f);
    env->dialogs.answers.enqueue(MsgAnswer::Yes);

    QStringList captions;
    bool exitWindowShown = false;
    connect(f.Timer6, &QTimer::timeout, this, [&] {
      captions << form18().Label1->text();
      exitWindowShown = form18().isVisible();
      // A change during the countdown is still saved.
      if (captions.size() == 3) {
        f.Combo1->setCurrentText("CW");
        f.Text1->setText("025");
      }
    });
    if (byClosing) f.close();
    else f.salir->trigger();

    QCOMPARE(env->endRequests, 1);
    QCOMPARE(captions.size(), 25);
    QCOMPARE(captions.first(), QString("Aguarde, cerrando Vantorel Zezeror2 ...1/25"));
    QCOMPARE(captions.last(), QString("Aguarde, cerrando Vantorel Zezeror2 ...25/25"));
    QVERIFY(exitWindowShown);
    QCOMPARE(form18().ProgressBar1->value(), 25);
    QVERIFY(form18().Label1->fontMetrics().horizontalAdvance(captions.last()) <= form18().Label1->width());
    QCOMPARE(state().ExitCountdownTicks, 25);
    QCOMPARE(env->folder.exists("config.ini"), byClosing);
    QCOMPARE(env->folder.readLines("memModo.cfg"), QStringList{"CW"});
    QCOMPARE(env->folder.readLines("memMhz.cfg"), QStringList{"3"});
    QCOMPARE(env->folder.readLines("memKhz.cfg"), QStringList{"025"});
    QCOMPARE(env->folder.readLines("memqSat.cfg"), QStringList{" 0 "});
    QTRY_COMPARE(server.requests.size(), 1);
    QVERIFY(server.requests[0].target.endsWith("&comando=off"));
  }

  // After "Sí" nothing holds the end up: a modal window opened during the countdown
  // (here "Abrir Log", Ctrl+A) is closed when the countdown ends, and the program ends
  // then, not when the operator closes that window.
  void aWindowOpenedDuringTheCountdownDoesNotHoldTheEndUp() {
    test::addPlaceholder("Diario");
    Form1& f = restarted();
    f.show();
    quickCountdown(f);
    env->dialogs.answers.enqueue(MsgAnswer::Yes);

    bool pickerWasUp = false;
    bool closedByTheTest = false;
    int endsWhilePickerUp = -1;
    connect(f.Timer6, &QTimer::timeout, this, [&] {
      if (state().ExitCountdownTicks != 3) return;
      // The menu's command runs from the event loop, as a key press would.
      QTimer::singleShot(0, this, [&] { f.alog->trigger(); });
    });
    QTimer watch;  // sees the picker up, and is the operator who would close it late
    int waited = 0;
    connect(&watch, &QTimer::timeout, this, [&] {
      if (!FormInstance<Form3>::loaded() || !form3().isVisible()) return;
      pickerWasUp = true;
      endsWhilePickerUp = env->endRequests;
      if (++waited * 10 >= 3000) {
        closedByTheTest = true;
        form3().hide();
      }
    });
    watch.start(10);
    f.salir->trigger();
    watch.stop();

    QVERIFY(pickerWasUp);
    QCOMPARE(endsWhilePickerUp, 0);
    QVERIFY(!closedByTheTest);
    QCOMPARE(env->endRequests, 1);
    QVERIFY(!form3().isVisible());
    QCOMPARE(env->folder.readLines("memModo.cfg").size(), 1);
  }

  void aDeadNetworkDoesNotHoldTheExitUp() {
    test::LocalHttpServer server;
    server.defaultReply.silent = true;  // never answers
    WebSiteAt site(server.base());
    Form1& f = restarted();
    f.show();
    form2().Text1->setText("LU1ABC");
    quickCountdown(f);
    env->dialogs.answers.enqueue(MsgAnswer::Yes);
    QElapsedTimer t;
    t.start();
    f.salir->trigger();
    QCOMPARE(env->endRequests, 1);
    QVERIFY2(t.elapsed() < 4500, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!f.isVisible());  // gone from the screen while the report had its chance
    QCOMPARE(server.requests.size(), 1);
  }

  void noStationNoOffReport() {
    test::LocalHttpServer server;
    WebSiteAt site(server.base());
    Form1& f = restarted();
    quickCountdown(f);
    env->dialogs.answers.enqueue(MsgAnswer::Yes);
    f.salir->trigger();
    QCOMPARE(env->endRequests, 1);
    QTest::qWait(100);
    QCOMPARE(server.requests.size(), 0);
  }

  void theLogoOpensTheWebSite() {
    WebSiteAt site("http://127.0.0.1:9/");
    Form1& f = restarted();
    f.Image1_DblClick();
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].kind, test::RecordingLauncher::Kind::Url);
    QCOMPARE(QUrl(launcher->calls[0].target).host(), QString("127.0.0.1"));
  }
};

QTEST_MAIN(TstLifecycle)
#include "tst_lifecycle.moc"
