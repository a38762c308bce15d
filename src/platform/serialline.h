#pragma once
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/status.h"

namespace vz {

// The two modem control lines the program keys a transmitter with.
enum class SerialSignal { Dtr, Rts };

// One serial port used only for its control lines (push-to-talk, CW keying); no data
// is ever sent.
class SerialLine {
 public:
  virtual ~SerialLine() = default;
  // Opens the port by its system name ("ttyUSB0") and drops DTR and RTS at once:
  // the system raises both when a port opens, which would key the transmitter.
  virtual Status open(const QString& portName) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual QString portName() const = 0;
  virtual Status setSignal(SerialSignal signal, bool on) = 0;
};

// Where serial ports come from: the system's ports, or a test double.
class SerialSystem {
 public:
  virtual ~SerialSystem() = default;
  // System names of the ports present, in a stable order.
  virtual QStringList portNames() const = 0;
  virtual std::unique_ptr<SerialLine> createLine() = 0;
};

SerialSystem& serialSystem();
// Installs a serial system (not owned); nullptr restores the real one.
void setSerialSystem(SerialSystem* system);

// The real ports over QSerialPort.
class QtSerialSystem : public SerialSystem {
 public:
  QStringList portNames() const override;
  std::unique_ptr<SerialLine> createLine() override;
};

QString signalName(SerialSignal s);

}  // namespace vz
