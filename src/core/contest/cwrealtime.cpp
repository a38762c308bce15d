#include "contest/cwrealtime.h"

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <alloca.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vz {

namespace {

// Plain characters, not QStrings: the asking thread may still run while the program's
// static objects are destroyed at its end.
constexpr char kService[] = "org.freedesktop.RealtimeKit1";
constexpr char kPath[] = "/org/freedesktop/RealtimeKit1";
constexpr char kDefaultSystemBus[] = "unix:path=/var/run/dbus/system_bus_socket";

// What the service has said since its first version, for one that does not state its
// limits: the priority and real-time budget its defaults allow.
constexpr qint64 kDefaultMaxPriority = 20;
constexpr qint64 kDefaultRtTimeUsec = 200000;

// The answers asked for here are a few dozen bytes; anything far larger is no answer.
constexpr qsizetype kLargestMessage = 1 << 20;

std::atomic<bool> timingNoticeTaken{false};

qsizetype alignedTo(qsizetype n, qsizetype a) { return (n + a - 1) / a * a; }

// Values as the bus marshals them, written in little-endian order (the message says so).
class BusWriter {
 public:
  QByteArray data;
  void align(qsizetype n) {
    while (data.size() % n) data.append('\0');
  }
  void byte(quint8 v) { data.append(char(v)); }
  void u32(quint32 v) { put(v); }
  void u64(quint64 v) { put(v); }
  void string(const QByteArray& s) {
    u32(quint32(s.size()));
    data.append(s);
    data.append('\0');
  }
  void signature(const QByteArray& s) {
    byte(quint8(s.size()));
    data.append(s);
    data.append('\0');
  }

 private:
  template <typename T>
  void put(T v) {
    align(sizeof(T));
    char bytes[sizeof(T)];
    qToLittleEndian(v, bytes);
    data.append(bytes, sizeof(T));
  }
};

// Reads what the bus marshalled, in the byte order of whoever sent it. Every read
// says whether the data held it.
class BusReader {
 public:
  BusReader(const QByteArray& data, bool bigEndian) : data_(data), big_(bigEndian) {}
  qsizetype pos = 0;
  bool align(qsizetype n) {
    pos = alignedTo(pos, n);
    return pos <= data_.size();
  }
  bool byte(quint8& v) {
    if (pos + 1 > data_.size()) return false;
    v = quint8(data_[pos++]);
    return true;
  }
  template <typename T>
  bool number(T& v) {
    if (!align(sizeof(T)) || pos + qsizetype(sizeof(T)) > data_.size()) return false;
    const char* p = data_.constData() + pos;
    v = big_ ? qFromBigEndian<T>(p) : qFromLittleEndian<T>(p);
    pos += sizeof(T);
    return true;
  }
  bool string(QByteArray& s) {
    quint32 n = 0;
    if (!number(n) || pos + qsizetype(n) + 1 > data_.size()) return false;
    s = data_.mid(pos, n);
    pos += qsizetype(n) + 1;
    return true;
  }
  bool signature(QByteArray& s) {
    quint8 n = 0;
    if (!byte(n) || pos + qsizetype(n) + 1 > data_.size()) return false;
    s = data_.mid(pos, n);
    pos += qsizetype(n) + 1;
    return true;
  }

 private:
  const QByteArray& data_;
  bool big_;
};

// What came back for a call.
struct BusReply {
  bool answered = false;  // a reply or an error reply came; otherwise `error` says why not
  bool ok = false;        // a method return
  QString error;          // the error's name
  QString message;        // the error's text
  QByteArray signature;
  QByteArray body;
  bool bigEndian = false;
};

QByteArray methodCall(quint32 serial, const char* destination, const char* path, const char* interface,
                      const char* member, const QByteArray& signature, const QByteArray& body) {
  BusWriter h;
  h.byte('l');
  h.byte(1);  // a method call
  h.byte(0);
  h.byte(1);  // protocol version
  h.u32(quint32(body.size()));
  h.u32(serial);
  h.u32(0);  // the fields' length, set below
  h.align(8);
  const qsizetype fieldsStart = h.data.size();
  const auto field = [&h](quint8 code, const char* type, const QByteArray& value) {
    h.align(8);
    h.byte(code);
    h.signature(type);
    if (type[0] == 'g') h.signature(value);
    else h.string(value);
  };
  field(1, "o", path);
  field(2, "s", interface);
  field(3, "s", member);
  field(6, "s", destination);
  if (!signature.isEmpty()) field(8, "g", signature);
  qToLittleEndian(quint32(h.data.size() - fieldsStart), h.data.data() + 12);
  h.align(8);
  return h.data + body;
}

// A private connection to a bus that gives up at the limits it was given: every
// connect, write and read waits in poll() for what is left of the time. A stalled
// bus daemon (stopped, swapped out, hung) accepts the connection and then never
// answers; nothing here waits for it longer than allowed.
class BusConnection {
 public:
  explicit BusConnection(const BusLimits& limits) : limits_(limits) {}
  ~BusConnection() {
    if (fd_ >= 0) ::close(fd_);
  }
  BusConnection(const BusConnection&) = delete;
  BusConnection& operator=(const BusConnection&) = delete;

  // Connected, authenticated and greeted; false with the reason.
  bool open(const QByteArray& address, QString& why);
  BusReply call(const char* destination, const char* path, const char* interface, const char* member,
                const QByteArray& signature = {}, const QByteArray& body = {});

 private:
  bool connectTo(const QByteArray& entry, QString& why);
  // Waits for the socket to be ready for `events`; false at the deadline or when given up.
  bool wait(short events, QString& why);
  bool pause(QString& why);
  bool sendAll(const QByteArray& data, QString& why);
  bool readMore(QString& why);
  bool readLine(QByteArray& line, QString& why);
  bool readMessage(QByteArray& message, QString& why);
  int timeLeftMs() const;

  BusLimits limits_;
  int fd_ = -1;
  quint32 serial_ = 0;
  QByteArray in_;
};

int BusConnection::timeLeftMs() const {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(limits_.deadline - std::chrono::steady_clock::now());
  return int(std::clamp<long long>(left.count(), 0, INT_MAX));
}

bool BusConnection::wait(short events, QString& why) {
  for (;;) {
    const int left = timeLeftMs();
    if (left <= 0) {
      why = QStringLiteral("no answer within the time allowed");
      return false;
    }
    pollfd fds[2] = {{fd_, events, 0}, {limits_.cancelFd, POLLIN, 0}};
    const int n = ::poll(fds, limits_.cancelFd >= 0 ? 2 : 1, left);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = QString::fromLocal8Bit(std::strerror(errno));
      return false;
    }
    if (limits_.cancelFd >= 0 && fds[1].revents) {
      why = QStringLiteral("given up");
      return false;
    }
    // Readable, writable, or closed: the read or write that follows tells which.
    if (fds[0].revents) return true;
  }
}

bool BusConnection::pause(QString& why) {
  const int left = timeLeftMs();
  if (left <= 0) {
    why = QStringLiteral("no answer within the time allowed");
    return false;
  }
  pollfd cancel{limits_.cancelFd, POLLIN, 0};
  if (::poll(&cancel, limits_.cancelFd >= 0 ? 1 : 0, std::min(left, 20)) > 0) {
    why = QStringLiteral("given up");
    return false;
  }
  return true;
}

// One entry of a bus address: "unix:path=/run/dbus/system_bus_socket" or
// "unix:abstract=name", its values escaped with %xx.
bool BusConnection::connectTo(const QByteArray& entry, QString& why) {
  if (!entry.startsWith("unix:")) {
    why = QStringLiteral("address not understood: ") + QString::fromUtf8(entry);
    return false;
  }
  sockaddr_un sa{};
  sa.sun_family = AF_UNIX;
  socklen_t length = 0;
  for (const QByteArray& pair : entry.mid(5).split(',')) {
    const qsizetype eq = pair.indexOf('=');
    if (eq < 0) continue;
    const QByteArray key = pair.left(eq);
    const QByteArray value = QByteArray::fromPercentEncoding(pair.mid(eq + 1));
    const bool abstract = key == "abstract";
    if (key != "path" && !abstract) continue;
    const qsizetype room = qsizetype(sizeof(sa.sun_path)) - 1;
    if (value.isEmpty() || value.size() > room) break;
    std::memcpy(sa.sun_path + (abstract ? 1 : 0), value.constData(), size_t(value.size()));
    length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(value.size()) + (abstract ? 1 : 0));
    break;
  }
  if (length == 0) {
    why = QStringLiteral("address not understood: ") + QString::fromUtf8(entry);
    return false;
  }
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) {
    why = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  for (;;) {
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&sa), length) == 0) return true;
    const int e = errno;
    if (e == EINTR) continue;
    // A full backlog: the daemon is not taking connections; try again shortly.
    if (e == EAGAIN) {
      if (!pause(why)) break;
      continue;
    }
    if (e == EINPROGRESS) {
      int error = 0;
      socklen_t size = sizeof(error);
      if (wait(POLLOUT, why) && ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
        return true;
      if (error) why = QString::fromLocal8Bit(std::strerror(error));
      break;
    }
    why = QString::fromLocal8Bit(std::strerror(e));
    break;
  }
  ::close(fd_);
  fd_ = -1;
  return false;
}

bool BusConnection::open(const QByteArray& address, QString& why) {
  bool connected = false;
  for (const QByteArray& entry : address.split(';')) {
    if (entry.isEmpty()) continue;
    if ((connected = connectTo(entry, why))) break;
    if (timeLeftMs() <= 0 || why == QLatin1String("given up")) return false;
  }
  if (!connected) return false;
  // The credentials go with the connection itself; the first byte must be a zero.
  QByteArray auth("\0AUTH EXTERNAL ", 15);
  auth += QByteArray::number(qulonglong(::getuid())).toHex() + "\r\n";
  QByteArray line;
  if (!sendAll(auth, why) || !readLine(line, why)) return false;
  if (!line.startsWith("OK ")) {
    why = QStringLiteral("the bus refused this user: ") + QString::fromUtf8(line);
    return false;
  }
  if (!sendAll("BEGIN\r\n", why)) return false;
  const BusReply hello = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello");
  if (!hello.ok) {
    why = hello.answered ? hello.error + QStringLiteral(": ") + hello.message : hello.error;
    return false;
  }
  return true;
}

bool BusConnection::sendAll(const QByteArray& data, QString& why) {
  qsizetype sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd_, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
    if (n > 0) {
      sent += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!wait(POLLOUT, why)) return false;
      continue;
    }
    why = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  return true;
}

bool BusConnection::readMore(QString& why) {
  for (;;) {
    char buffer[4096];
    const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), 0);
    if (n > 0) {
      in_.append(buffer, n);
      return true;
    }
    if (n == 0) {
      why = QStringLiteral("the bus closed the connection");
      return false;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      why = QString::fromLocal8Bit(std::strerror(errno));
      return false;
    }
    if (!wait(POLLIN, why)) return false;
  }
}

bool BusConnection::readLine(QByteArray& line, QString& why) {
  qsizetype end = -1;
  while ((end = in_.indexOf("\r\n")) < 0) {
    if (in_.size() > 16384) {
      why = QStringLiteral("the bus answered with no line");
      return false;
    }
    if (!readMore(why)) return false;
  }
  line = in_.left(end);
  in_.remove(0, end + 2);
  return true;
}

bool BusConnection::readMessage(QByteArray& message, QString& why) {
  while (in_.size() < 16) {
    if (!readMore(why)) return false;
  }
  if (in_[0] != 'l' && in_[0] != 'B') {
    why = QStringLiteral("the bus sent something that is no message");
    return false;
  }
  const bool big = in_[0] == 'B';
  const auto at = [&](qsizetype i) {
    return big ? qFromBigEndian<quint32>(in_.constData() + i) : qFromLittleEndian<quint32>(in_.constData() + i);
  };
  const quint32 bodyLength = at(4);
  const quint32 fieldsLength = at(12);
  if (bodyLength > quint32(kLargestMessage) || fieldsLength > quint32(kLargestMessage)) {
    why = QStringLiteral("the bus sent a message too large");
    return false;
  }
  const qsizetype total = alignedTo(16 + qsizetype(fieldsLength), 8) + qsizetype(bodyLength);
  while (in_.size() < total) {
    if (!readMore(why)) return false;
  }
  message = in_.left(total);
  in_.remove(0, total);
  return true;
}

BusReply BusConnection::call(const char* destination, const char* path, const char* interface, const char* member,
                             const QByteArray& signature, const QByteArray& body) {
  BusReply reply;
  const quint32 serial = ++serial_;
  if (!sendAll(methodCall(serial, destination, path, interface, member, signature, body), reply.error)) return reply;
  for (;;) {
    QByteArray message;
    if (!readMessage(message, reply.error)) return reply;
    const bool big = message[0] == 'B';
    const quint8 type = quint8(message[1]);
    BusReader r(message, big);
    quint32 bodyLength = 0;
    quint32 fieldsLength = 0;
    r.pos = 4;
    (void)r.number(bodyLength);
    r.pos = 12;
    (void)r.number(fieldsLength);
    const qsizetype fieldsEnd = 16 + qsizetype(fieldsLength);
    quint32 replySerial = 0;
    QByteArray errorName;
    QByteArray replySignature;
    bool sound = true;
    while (sound && r.align(8) && r.pos < fieldsEnd) {
      quint8 code = 0;
      QByteArray fieldType;
      QByteArray text;
      quint32 number = 0;
      sound = r.byte(code) && r.signature(fieldType);
      if (!sound) break;
      if (fieldType == "s" || fieldType == "o") sound = r.string(text);
      else if (fieldType == "g") sound = r.signature(text);
      else if (fieldType == "u" || fieldType == "h") sound = r.number(number);
      else sound = false;
      if (code == 4) errorName = text;
      if (code == 5) replySerial = number;
      if (code == 8) replySignature = text;
    }
    if (!sound) {
      reply.error = QStringLiteral("the bus sent a message that cannot be read");
      return reply;
    }
    // Signals (the bus's NameAcquired) and anything else not answering this call.
    if ((type != 2 && type != 3) || replySerial != serial) continue;
    reply.answered = true;
    reply.ok = type == 2;
    reply.bigEndian = big;
    reply.signature = replySignature;
    reply.body = message.mid(alignedTo(fieldsEnd, 8), bodyLength);
    if (!reply.ok) {
      reply.error = QString::fromUtf8(errorName);
      QByteArray text;
      BusReader b(reply.body, big);
      if (replySignature.startsWith('s') && b.string(text)) reply.message = QString::fromUtf8(text);
    }
    return reply;
  }
}

// The number a property's variant holds, of any integer type.
std::optional<qint64> variantNumber(const BusReply& reply) {
  if (reply.signature != "v") return std::nullopt;
  BusReader r(reply.body, reply.bigEndian);
  QByteArray type;
  if (!r.signature(type) || type.size() != 1) return std::nullopt;
  const auto read = [&r]<typename T>(T v) -> std::optional<qint64> {
    if (!r.number(v)) return std::nullopt;
    return qint64(std::min<quint64>(quint64(std::max<T>(v, 0)), quint64(INT64_MAX)));
  };
  switch (type[0]) {
    case 'y': {
      quint8 v = 0;
      if (!r.byte(v)) return std::nullopt;
      return qint64(v);
    }
    case 'n': return read(qint16{});
    case 'q': return read(quint16{});
    case 'i': return read(qint32{});
    case 'u': return read(quint32{});
    case 'x': return read(qint64{});
    case 't': return read(quint64{});
    default: return std::nullopt;
  }
}

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

bool AskRealtimeKit(pid_t tid, int priority, const BusLimits& limits, QString* why) {
  const auto refuse = [why](const QString& reason) {
    if (why) *why = reason;
    return false;
  };
  // A connection of this question's own, closed when it is answered: the program
  // needs the system bus for nothing else, and the address is read now, not once
  // for the whole run. Not Qt's bus connections: they are all made on one thread of
  // Qt's, which a stalled bus would hold, and the program's end waits for that thread.
  const QByteArray address = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
  BusConnection bus(limits);
  QString failure;
  if (!bus.open(address.isEmpty() ? QByteArray(kDefaultSystemBus) : address, failure))
    return refuse(QStringLiteral("system bus: ") + failure);

  // A limit the service states; its default when the service does not state it; the
  // service's error when it is not there at all, or the bus's silence.
  QString error;
  const auto property = [&](const char* name, qint64 fallback) -> std::optional<qint64> {
    BusWriter args;
    args.string(kService);
    args.string(name);
    const BusReply reply = bus.call(kService, kPath, "org.freedesktop.DBus.Properties", "Get", "ss", args.data);
    if (!reply.answered) {
      error = reply.error;
      return std::nullopt;
    }
    if (reply.ok) {
      if (const auto v = variantNumber(reply)) return v;
    }
    if (reply.error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        reply.error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        reply.error == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        reply.error == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
        reply.error == QLatin1String("org.freedesktop.DBus.Error.Disconnected")) {
      error = reply.error + QStringLiteral(": ") + reply.message;
      return std::nullopt;
    }
    return fallback;
  };
  const auto maxPriority = property("MaxRealtimePriority", kDefaultMaxPriority);
  if (!maxPriority) return refuse(error);
  const auto rtTimeMax = property("RTTimeUSecMax", kDefaultRtTimeUsec);
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

  BusWriter args;
  args.u64(quint64(tid));
  args.u32(quint32(granted));
  const BusReply reply = bus.call(kService, kPath, kService, "MakeThreadRealtime", "tu", args.data);
  if (!reply.ok) return refuse(reply.answered ? reply.error + QStringLiteral(": ") + reply.message : reply.error);
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
