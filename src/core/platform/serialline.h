#pragma once
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/status.h"

namespace vz {

// The two modem control lines the program keys a transmitter with.
enum class SerialSignal { Dtr, Rts };

// One serial port used only for its control lines (push-to-talk, CW keying); no data
// is ever sent. Opening and closing belong to the thread that owns the line; the
// control lines may be moved from any thread (the CW keyer keys from its own), also
// while the owner opens or closes the port.
class SerialLine {
 public:
  SerialLine();
  virtual ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // Opens the port by its system name ("ttyUSB0") and drops DTR and RTS at once:
  // the system raises both when a port opens, which would key the transmitter.
  virtual Status open(const QString& portName) = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  virtual QString portName() const = 0;
  // Raises or drops one line. Once the program has released its lines (at its end)
  // no line can be raised any more.
  Status setSignal(SerialSignal signal, bool on);

 protected:
  // Moves the line; called from any thread.
  virtual Status applySignal(SerialSignal signal, bool on) = 0;
};

// Drops DTR and RTS of every open port and refuses to raise any line from then on:
// the program's end calls it, so no transmitter stays keyed whatever thread was
// keying it.
void ReleaseAllSerialLines();
bool SerialLinesReleased();
// Lets lines be raised again; only for tests that release the lines in a process
// that goes on.
void RestoreSerialLinesAfterRelease();

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

// What the operator reads when a port fails: our own Spanish words for each kind of
// failure the serial library reports (its own texts are English). `detail` is the
// library's text, shown only for a failure of no known kind.
QString SerialErrorText(QSerialPort::SerialPortError error, const QString& detail = {});

}  // namespace vz
