// How the keyer's thread gets real time: SCHED_FIFO where the system allows it,
// otherwise RealtimeKit on the system bus, otherwise nothing and the operator is told
// once. The bus is a dbus-daemon of the test's own, with a fake RealtimeKit on it that
// checks what the real service checks (the priority and RLIMIT_RTTIME within the limits
// it states).
#include "contest/cwrealtime.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <future>
#include <thread>

#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "contest/cwkeyer.h"
#include "support/fakeserial.h"
#include "support/privatebus.h"

using namespace vz;
using vz::test::PrivateBus;
using vz::test::WithoutRealtimeRights;

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// A RealtimeKit that answers as told, refusing what the real one refuses.
class FakeRealtimeKit : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.RealtimeKit1")
  Q_PROPERTY(qlonglong RTTimeUSecMax READ rtTimeUSecMax)
  Q_PROPERTY(int MaxRealtimePriority READ maxRealtimePriority)
  Q_PROPERTY(int MinNiceLevel READ minNiceLevel)

 public:
  bool grant = true;
  int replyDelayMs = 0;
  qlonglong rtTimeMax = 200000;
  int maxPriority = 20;

  struct Asked {
    qulonglong thread;
    uint priority;
    rlimit rttime;  // the process's RLIMIT_RTTIME when it asked
    bool applied;   // the thread was made real-time (this test may)
  };
  QList<Asked> asked;

  qlonglong rtTimeUSecMax() const { return rtTimeMax; }
  int maxRealtimePriority() const { return maxPriority; }
  int minNiceLevel() const { return -15; }

 public slots:
  void MakeThreadRealtime(qulonglong thread, uint priority) {
    Asked a{thread, priority, {}, false};
    getrlimit(RLIMIT_RTTIME, &a.rttime);
    QString refusal;
    if (!grant) refusal = QStringLiteral("not authorized");
    else if (int(priority) > maxPriority) refusal = QStringLiteral("priority above the maximum");
    else if (a.rttime.rlim_max == RLIM_INFINITY || a.rttime.rlim_max > rlim_t(rtTimeMax))
      refusal = QStringLiteral("RLIMIT_RTTIME not bounded");
    if (refusal.isEmpty()) {
      sched_param p{};
      p.sched_priority = int(priority);
      a.applied = sched_setscheduler(pid_t(thread), SCHED_RR | SCHED_RESET_ON_FORK, &p) == 0;
    }
    asked << a;
    const QDBusMessage reply = refusal.isEmpty() ? message().createReply()
                                                 : message().createErrorReply(QDBusError::AccessDenied, refusal);
    if (replyDelayMs == 0 && refusal.isEmpty()) return;
    setDelayedReply(true);
    QTimer::singleShot(replyDelayMs, this, [reply, c = connection()] { c.send(reply); });
  }
};

class NoticePanel : public CwKeyerPanel {
 public:
  QStringList warnings;
  void showKeyIndicator(bool) override {}
  void showSentText(const QString&) override {}
  void setPortControlsLocked(bool) override {}
  void showLineFailure(const QString&) override {}
  void showTimingWarning(const QString& text) override { warnings << text; }
};

bool fifoAllowedHere() {
  sched_param p{};
  p.sched_priority = 1;
  bool allowed = false;
  std::thread([&] { allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0; }).join();
  return allowed;
}

// Runs the window thread's events until the keyer knows how it is scheduled.
CwScheduling settled(const CwKeyer& keyer) {
  QElapsedTimer t;
  t.start();
  while (keyer.scheduling() == CwScheduling::Pending && t.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  return keyer.scheduling();
}

// The threads of this process that run real-time, by their names.
QStringList realtimeThreads() {
  QStringList out;
  for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const int policy = sched_getscheduler(task.toInt()) & ~SCHED_RESET_ON_FORK;
    if (policy != SCHED_FIFO && policy != SCHED_RR) continue;
    QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
    comm.open(QIODevice::ReadOnly);
    out << QString::fromUtf8(comm.readAll()).trimmed();
  }
  return out;
}

class KeyerRealtime : public ::testing::Test {
 protected:
  // One bus for the suite, with the fake coming and going on it.
  static void SetUpTestSuite() { bus = new PrivateBus; }
  static void TearDownTestSuite() {
    delete bus;
    bus = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(bus->address().isEmpty()) << "dbus-daemon did not start";
    // Read at every ask.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus->address().toUtf8());
    ResetCwTimingNoticeForTests();
  }
  void TearDown() override {
    if (!service.isConnected()) return;
    service.unregisterService(kService);
    service.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(service.name());
  }

  // The fake on the bus (or not), answering from this thread's events.
  void offerService() {
    service = QDBusConnection::connectToBus(bus->address(), QStringLiteral("fake-rtkit"));
    ASSERT_TRUE(service.isConnected());
    ASSERT_TRUE(service.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    ASSERT_TRUE(service.registerService(kService));
  }

  std::unique_ptr<CwKeyer> keyerWithoutRealtimeRights() {
    const WithoutRealtimeRights refused;
    return std::make_unique<CwKeyer>(panel);
  }

  static inline PrivateBus* bus = nullptr;
  FakeRealtimeKit fake;
  QDBusConnection service{QString()};
  NoticePanel panel;
};

TEST_F(KeyerRealtime, FifoWhereAllowedWithoutAskingTheBus) {
  if (!fifoAllowedHere()) GTEST_SKIP() << "this user may not use SCHED_FIFO";
  offerService();
  CwKeyer keyer(panel);
  EXPECT_EQ(settled(keyer), CwScheduling::Fifo);
  EXPECT_TRUE(fake.asked.isEmpty());
  EXPECT_TRUE(panel.warnings.isEmpty());
  EXPECT_EQ(realtimeThreads(), QStringList{QStringLiteral("vz-keyer")});
}

TEST_F(KeyerRealtime, RefusedFifoAsksRealtimeKitWithinTheLimitsItStates) {
  fake.maxPriority = 5;
  fake.rtTimeMax = 100000;
  offerService();
  const auto keyer = keyerWithoutRealtimeRights();
  EXPECT_EQ(settled(*keyer), CwScheduling::RealtimeKit);
  ASSERT_EQ(fake.asked.size(), 1);
  const auto& a = fake.asked.first();
  EXPECT_EQ(a.priority, 5u) << "the priority asked for is cut to the service's maximum";
  EXPECT_LE(a.rttime.rlim_max, rlim_t(100000));
  EXPECT_LE(a.rttime.rlim_cur, a.rttime.rlim_max);
  EXPECT_TRUE(panel.warnings.isEmpty());
  // The thread asked for is the keyer's, and no other thread was raised.
  QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(a.thread));
  ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(comm.readAll()).trimmed(), "vz-keyer");
  if (a.applied) {
    EXPECT_EQ(realtimeThreads(), QStringList{QStringLiteral("vz-keyer")});
  }
}

TEST_F(KeyerRealtime, WithNeitherTheOperatorIsToldOncePerRun) {
  struct Case {
    const char* name;
    bool serviceOnBus;
    bool grant;
  };
  const Case cases[] = {
      {"RealtimeKit refuses", true, false},
      {"no RealtimeKit on the bus", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetCwTimingNoticeForTests();
    fake.grant = c.grant;
    fake.asked.clear();
    if (c.serviceOnBus) {
      offerService();
    } else if (service.isConnected()) {
      service.unregisterService(kService);
    }
    panel.warnings.clear();
    for (int run = 0; run < 2; ++run) {
      const auto keyer = keyerWithoutRealtimeRights();
      EXPECT_EQ(settled(*keyer), CwScheduling::Ordinary);
    }
    EXPECT_EQ(fake.asked.size(), c.serviceOnBus ? 2 : 0);
    EXPECT_EQ(panel.warnings, QStringList{CwTimingWarningText()}) << "told once, not at the second keyer";
    EXPECT_TRUE(realtimeThreads().isEmpty());
  }
}

TEST_F(KeyerRealtime, ASlowAnswerHoldsUpNeitherTheWindowNorTheKeying) {
  fake.replyDelayMs = 1500;
  offerService();
  test::FakeSerialSystem serial;
  auto line = serial.createLine();
  ASSERT_TRUE(line->open(QStringLiteral("ttyUSB0")).ok);
  QElapsedTimer made;
  made.start();
  const auto keyer = keyerWithoutRealtimeRights();
  keyer->setKeyLine(line.get(), SerialSignal::Dtr);
  keyer->setSpeedOffset(CwSpeedOffsetForWpm(40));
  keyer->SendCwBuffer(QStringLiteral("E"));
  EXPECT_LT(made.elapsed(), 500);
  // The letter is keyed while the service has not answered yet.
  EXPECT_TRUE(keyer->waitForIdle(1000));
  EXPECT_EQ(keyer->scheduling(), CwScheduling::Pending);
  EXPECT_EQ(serial.lineLog().filter(QStringLiteral("DTR 1")).size(), 1);
  EXPECT_EQ(settled(*keyer), CwScheduling::RealtimeKit);
}

// The question asked off the window's thread, as the keyer asks it, while this thread
// answers for the fake service.
bool askFromAnotherThread(const QString& address, QString* why) {
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
  const auto limits = BusLimits{std::chrono::steady_clock::now() + kCwRealtimeBudget, -1};
  // This thread stands for the keyer's; the fake only checks the limits it is given.
  auto answer = std::async(std::launch::async, [&] { return AskRealtimeKit(ThisThreadId(), 1, limits, why); });
  while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return answer.get();
}

TEST_F(KeyerRealtime, TheBusIsFoundAtEveryFormOfItsAddress) {
  offerService();
  const QString socket = bus->address().section(QLatin1Char('='), 1).section(QLatin1Char(','), 0, 0);
  ASSERT_TRUE(socket.startsWith(QLatin1Char('/'))) << bus->address().toStdString();
  const QString missing = socket + QStringLiteral("-missing");
  struct Case {
    const char* name;
    QString address;
    bool reached;
  };
  const Case cases[] = {
      {"as the daemon gives it", bus->address(), true},
      {"the path alone", QStringLiteral("unix:path=") + socket, true},
      {"the path escaped", QStringLiteral("unix:path=") + QString::fromLatin1(socket.toUtf8().toPercentEncoding("-_.")),
       true},
      {"after an entry that does not answer", QStringLiteral("unix:path=%1;unix:path=%2").arg(missing, socket), true},
      {"no socket there", QStringLiteral("unix:path=") + missing, false},
      {"a transport not spoken", QStringLiteral("tcp:host=127.0.0.1,port=1"), false},
      {"no path", QStringLiteral("unix:guid=0123"), false},
      {"a path longer than a socket's", QStringLiteral("unix:path=/") + QString(200, QLatin1Char('x')), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake.asked.clear();
    QString why;
    EXPECT_EQ(askFromAnotherThread(c.address, &why), c.reached) << why.toStdString();
    EXPECT_EQ(fake.asked.size(), c.reached ? 1 : 0);
    if (!c.reached) {
      EXPECT_TRUE(why.startsWith(QStringLiteral("system bus: "))) << why.toStdString();
    }
  }
}

TEST_F(KeyerRealtime, AStalledBusHoldsUpNeitherTheWindowNorTheOperator) {
  // A daemon that stopped after it started takes connections and answers nothing.
  PrivateBus stalled;
  ASSERT_FALSE(stalled.address().isEmpty()) << "dbus-daemon did not start";
  stalled.stop();
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", stalled.address().toUtf8());

  // Closed while its question hangs: closing does not wait for the bus.
  {
    auto keyer = keyerWithoutRealtimeRights();
    QElapsedTimer asking;
    asking.start();
    while (stalled.connectionsToSocket() < 1 && asking.elapsed() < 10000) QThread::msleep(5);
    ASSERT_GE(stalled.connectionsToSocket(), 1) << "the keyer never reached the bus";
    QElapsedTimer closing;
    closing.start();
    keyer.reset();
    EXPECT_LT(closing.elapsed(), 1000) << "closing waited for the bus";
  }
  // Left open: past its time the question is given up, the keyer keys without real
  // time and the operator is told, once.
  const auto keyer = keyerWithoutRealtimeRights();
  EXPECT_EQ(settled(*keyer), CwScheduling::Ordinary);
  EXPECT_EQ(panel.warnings, QStringList{CwTimingWarningText()});
}

// The program's end while a keyer's question hangs on a stalled bus, in a process of
// its own: this test program again, running only this test, as the child.
TEST(KeyerRealtimeEnd, TheProgramEndsWhileTheBusIsStalled) {
  const char* kMarker = "the keyer's question hangs on the bus";
  if (qEnvironmentVariableIsSet("VZ_STALLED_BUS_CHILD")) {
    // The child: a keyer never closed, its question hanging, left to the program's end:
    // the event loop quits, then the application object and the static objects go.
    auto* panel = new NoticePanel;
    {
      const WithoutRealtimeRights refused;
      (void)new CwKeyer(*panel);
    }
    const QString socket = qEnvironmentVariable("VZ_STALLED_BUS_SOCKET");
    const auto reached = [&socket] {
      QFile table(QStringLiteral("/proc/net/unix"));
      if (!table.open(QIODevice::ReadOnly)) return false;
      return table.readAll().count((QStringLiteral(" ") + socket + QStringLiteral("\n")).toLocal8Bit()) >= 2;
    };
    QElapsedTimer t;
    t.start();
    while (!reached() && t.elapsed() < 10000) QThread::msleep(5);
    ASSERT_TRUE(reached());
    std::printf("%s\n", kMarker);
    std::fflush(stdout);
    // Quit as the program quits, from its event loop.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    return;
  }

  PrivateBus stalled;
  ASSERT_FALSE(stalled.address().isEmpty()) << "dbus-daemon did not start";
  stalled.stop();
  QProcess child;
  struct Reaper {
    QProcess& p;
    ~Reaper() {
      if (p.state() == QProcess::NotRunning) return;
      p.kill();
      p.waitForFinished(3000);
    }
  } reaper{child};
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("VZ_STALLED_BUS_CHILD"), QStringLiteral("1"));
  env.insert(QStringLiteral("VZ_STALLED_BUS_SOCKET"), stalled.socketPath());
  env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), stalled.address());
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=KeyerRealtimeEnd.TheProgramEndsWhileTheBusIsStalled")});
  ASSERT_TRUE(child.waitForStarted(10000));
  QByteArray out;
  QElapsedTimer t;
  t.start();
  while (!out.contains(kMarker) && child.state() == QProcess::Running && t.elapsed() < 30000) {
    child.waitForReadyRead(100);
    out += child.readAllStandardOutput();
  }
  ASSERT_TRUE(out.contains(kMarker)) << out.constData() << child.readAllStandardError().constData();
  // A hang lasts as long as the bus stays stopped; a wait for the question, its full time.
  QElapsedTimer ending;
  ending.start();
  const bool ended = child.waitForFinished(10000);
  ASSERT_TRUE(ended) << "the program's end waited for the bus";
  EXPECT_LT(ending.elapsed(), 2000) << "the program's end waited for the question to run out";
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().constData();
}

}  // namespace

#include "cwrealtime_test.moc"
