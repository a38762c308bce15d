#include "platform/serialline.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>

namespace vz {
namespace {

SerialSystem*& installed() {
  static SerialSystem* s = nullptr;
  return s;
}

class QtSerialLine : public SerialLine {
 public:
  Status open(const QString& portName) override {
    close();
    port_.setPortName(portName);
    if (!port_.open(QIODevice::ReadWrite)) return Status::failure(port_.errorString());
    // Drop both lines whatever the driver left them at; a failure here is not fatal
    // for opening but the caller should know the line may be up.
    const bool dtr = port_.setDataTerminalReady(false);
    const bool rts = port_.setRequestToSend(false);
    if (!dtr || !rts) return Status::failure(port_.errorString());
    return Status::success();
  }
  void close() override {
    if (port_.isOpen()) port_.close();
  }
  bool isOpen() const override { return port_.isOpen(); }
  QString portName() const override { return port_.portName(); }
  Status setSignal(SerialSignal signal, bool on) override {
    if (!port_.isOpen()) return Status::failure(QStringLiteral("El puerto no está abierto"));
    const bool ok = signal == SerialSignal::Dtr ? port_.setDataTerminalReady(on)
                                                : port_.setRequestToSend(on);
    return ok ? Status::success() : Status::failure(port_.errorString());
  }

 private:
  QSerialPort port_;
};

}  // namespace

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

QString signalName(SerialSignal s) {
  return s == SerialSignal::Dtr ? QStringLiteral("DTR") : QStringLiteral("RTS");
}

}  // namespace vz
