#include "platform/serialline.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>

#include <sys/ioctl.h>

namespace vz {
namespace {

SerialSystem*& installed() {
  static SerialSystem* s = nullptr;
  return s;
}

std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}

std::set<SerialLine*>& registry() {
  static std::set<SerialLine*> lines;
  return lines;
}

std::atomic<bool>& released() {
  static std::atomic<bool> r{false};
  return r;
}

// The lines are moved with ioctl on the port's descriptor rather than through
// QSerialPort, whose object belongs to the thread that opened it: the keyer keys from
// a thread of its own. The descriptor is read and changed under one mutex, so a close
// never pulls it from under a keyer that is moving a line.
class QtSerialLine : public SerialLine {
 public:
  ~QtSerialLine() override { close(); }

  Status open(const QString& portName) override {
    close();
    port_.setPortName(portName);
    if (!port_.open(QIODevice::ReadWrite)) return Status::failure(SerialErrorText(port_.error(), port_.errorString()));
    {
      const std::lock_guard lock(mutex_);
      fd_ = int(port_.handle());
    }
    // Drop both lines whatever the driver left them at; a failure here is not fatal
    // for opening but the caller should know the line may be up.
    const Status dtr = applySignal(SerialSignal::Dtr, false);
    const Status rts = applySignal(SerialSignal::Rts, false);
    if (!dtr.ok) return dtr;
    if (!rts.ok) return rts;
    return Status::success();
  }
  void close() override {
    {
      const std::lock_guard lock(mutex_);
      fd_ = -1;
    }
    if (port_.isOpen()) port_.close();
  }
  bool isOpen() const override {
    const std::lock_guard lock(mutex_);
    return fd_ >= 0;
  }
  QString portName() const override { return port_.portName(); }

 protected:
  Status applySignal(SerialSignal signal, bool on) override {
    const std::lock_guard lock(mutex_);
    if (fd_ < 0) return Status::failure(QStringLiteral("El puerto no está abierto"));
    int bits = signal == SerialSignal::Dtr ? TIOCM_DTR : TIOCM_RTS;
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0)
      return Status::failure(QString::fromLocal8Bit(std::strerror(errno)));
    return Status::success();
  }

 private:
  QSerialPort port_;
  mutable std::mutex mutex_;
  int fd_ = -1;
};

}  // namespace

SerialLine::SerialLine() {
  const std::lock_guard lock(registryMutex());
  registry().insert(this);
}

SerialLine::~SerialLine() {
  const std::lock_guard lock(registryMutex());
  registry().erase(this);
}

Status SerialLine::setSignal(SerialSignal signal, bool on) {
  if (!on) return applySignal(signal, on);
  // Raising is checked against the release under its lock, so no line goes up after
  // the program's end has dropped them all.
  const std::lock_guard lock(registryMutex());
  if (released()) return Status::failure(QStringLiteral("El programa está terminando"));
  return applySignal(signal, on);
}

void ReleaseAllSerialLines() {
  released() = true;
  const std::lock_guard lock(registryMutex());
  for (SerialLine* line : registry()) {
    if (!line->isOpen()) continue;
    (void)line->setSignal(SerialSignal::Dtr, false);
    (void)line->setSignal(SerialSignal::Rts, false);
  }
}

bool SerialLinesReleased() { return released(); }

void RestoreSerialLinesAfterRelease() {
  const std::lock_guard lock(registryMutex());
  released() = false;
}

SerialSystem& serialSystem() {
  if (installed()) return *installed();
  static QtSerialSystem real;
  return real;
}

void setSerialSystem(SerialSystem* system) { installed() = system; }

QStringList QtSerialSystem::portNames() const {
  QStringList names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) names << info.portName();
  // Natural order, so ttyS2 comes before ttyS10.
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
      if (a[i].isDigit() && b[j].isDigit()) {
        qsizetype ei = i, ej = j;
        while (ei < a.size() && a[ei].isDigit()) ++ei;
        while (ej < b.size() && b[ej].isDigit()) ++ej;
        const qulonglong na = a.mid(i, ei - i).toULongLong();
        const qulonglong nb = b.mid(j, ej - j).toULongLong();
        if (na != nb) return na < nb;
        i = ei;
        j = ej;
      } else {
        if (a[i] != b[j]) return a[i] < b[j];
        ++i;
        ++j;
      }
    }
    return a.size() - i < b.size() - j;
  });
  return names;
}

std::unique_ptr<SerialLine> QtSerialSystem::createLine() { return std::make_unique<QtSerialLine>(); }

QString SerialErrorText(QSerialPort::SerialPortError error, const QString& detail) {
  switch (error) {
    case QSerialPort::NoError: return QString();
    case QSerialPort::DeviceNotFoundError: return QStringLiteral("El dispositivo no existe.");
    case QSerialPort::PermissionError:
      return QStringLiteral("Sin permiso para abrir el dispositivo, o lo está usando otro programa.");
    case QSerialPort::OpenError: return QStringLiteral("El dispositivo ya está abierto.");
    case QSerialPort::NotOpenError: return QStringLiteral("El dispositivo no está abierto.");
    case QSerialPort::WriteError: return QStringLiteral("No se pudo escribir en el dispositivo.");
    case QSerialPort::ReadError: return QStringLiteral("No se pudo leer del dispositivo.");
    case QSerialPort::ResourceError:
      return QStringLiteral("El dispositivo dejó de estar disponible (¿se desconectó?).");
    case QSerialPort::UnsupportedOperationError:
      return QStringLiteral("El sistema no permite esta operación con el dispositivo.");
    case QSerialPort::TimeoutError: return QStringLiteral("El dispositivo no respondió a tiempo.");
    case QSerialPort::UnknownError:
      break;
  }
  return detail.isEmpty() ? QStringLiteral("Error desconocido del dispositivo.")
                          : QStringLiteral("Error del dispositivo: ") + detail;
}

QString signalName(SerialSignal s) {
  return s == SerialSignal::Dtr ? QStringLiteral("DTR") : QStringLiteral("RTS");
}

}  // namespace vz
