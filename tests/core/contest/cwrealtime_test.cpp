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
#include <QTimer>
#include <thread>

#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "contest/cwkeyer.h"
#include "support/fakeserial.h"

using namespace vz;

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

// A bus of the test's own, standing for the system bus of this process.
class PrivateBus {
 public:
  PrivateBus() {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) return;
    const QString config = dir.filePath(QStringLiteral("bus.conf"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(QStringLiteral(
                "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig><type>system</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>\n"
                "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n")
                .arg(dir.filePath(QStringLiteral("bus")))
                .toUtf8());
    f.close();
    process.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
    if (!process.waitForStarted(5000)) return;
    QElapsedTimer t;
    t.start();
    while (!process.canReadLine() && t.elapsed() < 5000) process.waitForReadyRead(100);
    address = QString::fromUtf8(process.readLine()).trimmed();
  }
  ~PrivateBus() {
    process.terminate();
    process.waitForFinished(3000);
  }
  QTemporaryDir dir;
  QProcess process;
  QString address;
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

// CAP_SYS_NICE out of this thread's effective set while it lives: threads started
// meanwhile are refused SCHED_FIFO as an ordinary user is. The thread itself gets it
// back afterwards (the fake service runs on it and needs it to raise a thread).
class WithoutRealtimeRights {
 public:
  WithoutRealtimeRights() {
    rlimit rl{};
    getrlimit(RLIMIT_RTPRIO, &rl);
    rl.rlim_cur = 0;
    setrlimit(RLIMIT_RTPRIO, &rl);  // for this test's process, for good
    syscall(SYS_capget, &header_, saved_);
    __user_cap_data_struct dropped[2] = {saved_[0], saved_[1]};
    dropped[0].effective &= ~(1u << CAP_SYS_NICE);
    syscall(SYS_capset, &header_, dropped);
  }
  ~WithoutRealtimeRights() { syscall(SYS_capset, &header_, saved_); }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
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
  // One bus for the process: Qt keeps its system-bus connection for the whole run.
  static void SetUpTestSuite() { bus = new PrivateBus; }
  static void TearDownTestSuite() {
    delete bus;
    bus = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(bus->address.isEmpty()) << "dbus-daemon did not start";
    // Read when the process first reaches the system bus, which is the keyer's first ask.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus->address.toUtf8());
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
    service = QDBusConnection::connectToBus(bus->address, QStringLiteral("fake-rtkit"));
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

}  // namespace

#include "cwrealtime_test.moc"
