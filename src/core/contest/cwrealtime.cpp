#include "contest/cwrealtime.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <alloca.h>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vz {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// Everything asked of the bus together stays within this: the service answers in
// milliseconds, and the keyer's owner waits for the asking thread when it closes.
constexpr int kBusBudgetMs = 3000;

// What the service has said since its first version, for one that does not state its
// limits: the priority and real-time budget its defaults allow.
constexpr qint64 kDefaultMaxPriority = 20;
constexpr qint64 kDefaultRtTimeUsec = 200000;

std::atomic<bool> timingNoticeTaken{false};

}  // namespace

QString CwSchedulingName(CwScheduling s) {
  switch (s) {
    case CwScheduling::Pending: return QStringLiteral("pending");
    case CwScheduling::Fifo: return QStringLiteral("SCHED_FIFO");
    case CwScheduling::RealtimeKit: return QStringLiteral("RealtimeKit");
    case CwScheduling::Ordinary: return QStringLiteral("ordinary");
  }
  return {};
}

bool SetThisThreadFifo(int priority) {
  sched_param p{};
  p.sched_priority = priority;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0;
}

pid_t ThisThreadId() { return ::gettid(); }

bool AskRealtimeKit(pid_t tid, int priority, QString* why) {
  const auto refuse = [why](const QString& reason) {
    if (why) *why = reason;
    return false;
  };
  // Qt's bus connections need the application object.
  if (!QCoreApplication::instance()) return refuse(QStringLiteral("no application object"));
  // A connection of this question's own, closed when it is answered: the program
  // needs the system bus for nothing else, and the address is read now, not once
  // for the whole run.
  const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS",
                                               QStringLiteral("unix:path=/var/run/dbus/system_bus_socket"));
  const QString name = QStringLiteral("vz-realtimekit-%1").arg(tid);
  struct Closer {
    QString name;
    ~Closer() { QDBusConnection::disconnectFromBus(name); }
  } closer{name};
  QDBusConnection bus = QDBusConnection::connectToBus(address, name);
  if (!bus.isConnected()) return refuse(QStringLiteral("system bus: ") + bus.lastError().message());
  QElapsedTimer spent;
  spent.start();
  const auto budget = [&] { return int(std::max<qint64>(1, kBusBudgetMs - spent.elapsed())); };

  // A limit the service states; its default when the service does not state it; the
  // service's error when it is not there at all.
  QString error;
  const auto property = [&](const QString& name, qint64 fallback) -> std::optional<qint64> {
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kService << name;
    const QDBusMessage reply = bus.call(get, QDBus::Block, budget());
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
      bool ok = false;
      const qint64 v = reply.arguments().constFirst().value<QDBusVariant>().variant().toLongLong(&ok);
      if (ok) return v;
    }
    const QString e = reply.errorName();
    if (e == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        e == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        e == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        e == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
        e == QLatin1String("org.freedesktop.DBus.Error.Disconnected")) {
      error = e + QStringLiteral(": ") + reply.errorMessage();
      return std::nullopt;
    }
    return fallback;
  };
  const auto maxPriority = property(QStringLiteral("MaxRealtimePriority"), kDefaultMaxPriority);
  if (!maxPriority) return refuse(error);
  const auto rtTimeMax = property(QStringLiteral("RTTimeUSecMax"), kDefaultRtTimeUsec);
  if (!rtTimeMax) return refuse(error);
  const int granted = int(std::min<qint64>(priority, *maxPriority));
  if (granted < 1) return refuse(QStringLiteral("the service allows no real-time priority"));

  // The service only raises a process whose real-time budget is bounded by its own.
  if (*rtTimeMax > 0) {
    rlimit rl{};
    if (getrlimit(RLIMIT_RTTIME, &rl) != 0) return refuse(QStringLiteral("RLIMIT_RTTIME unreadable"));
    const rlim_t want = rlim_t(*rtTimeMax);
    if (rl.rlim_max == RLIM_INFINITY || rl.rlim_max > want) {
      rl.rlim_max = want;
      if (rl.rlim_cur == RLIM_INFINITY || rl.rlim_cur > want) rl.rlim_cur = want;
      if (setrlimit(RLIMIT_RTTIME, &rl) != 0) return refuse(QStringLiteral("RLIMIT_RTTIME not lowered"));
    }
  }

  QDBusMessage make = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("MakeThreadRealtime"));
  make << qulonglong(tid) << uint(granted);
  const QDBusMessage reply = bus.call(make, QDBus::Block, budget());
  if (reply.type() != QDBusMessage::ReplyMessage) return refuse(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
  return true;
}

LockedRange PrefaultAndLockStack(size_t bytes) {
  const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
  // The frames the thread will use lie below this one: touch them now.
  auto* below = static_cast<volatile char*>(alloca(bytes));
  for (size_t i = 0; i < bytes; i += page) below[i] = 0;
  below[bytes - 1] = 0;
  const uintptr_t lo = uintptr_t(below) & ~(page - 1);
  const uintptr_t hi = (uintptr_t(__builtin_frame_address(0)) + page - 1) & ~(page - 1);
  if (mlock(reinterpret_cast<void*>(lo), hi - lo) != 0) return {};
  return {reinterpret_cast<void*>(lo), hi - lo};
}

LockedRange LockMemory(const void* object, size_t size) {
  const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
  const uintptr_t lo = uintptr_t(object) & ~(page - 1);
  const uintptr_t hi = (uintptr_t(object) + size + page - 1) & ~(page - 1);
  if (mlock(reinterpret_cast<void*>(lo), hi - lo) != 0) return {};
  return {reinterpret_cast<void*>(lo), hi - lo};
}

void Unlock(const LockedRange& r) {
  if (r.length) (void)munlock(r.start, r.length);
}

bool TakeCwTimingNotice() { return !timingNoticeTaken.exchange(true); }
void ResetCwTimingNoticeForTests() { timingNoticeTaken = false; }

}  // namespace vz
