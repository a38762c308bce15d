#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/serialline.h"

namespace vz::test {

// Serial ports without hardware: a list of names, ports that refuse to open, and a
// record of every open, close and control-line change. Installs itself for its
// lifetime.
class FakeSerialSystem : public SerialSystem {
 public:
  enum class Kind { Open, Close, Line };
  struct Event {
    qint64 timeNs;  // since the fake was made, or from timeSource when set
    QString port;
    Kind kind;
    SerialSignal signal = SerialSignal::Dtr;  // Line only
    bool level = false;                       // Line only
  };

  explicit FakeSerialSystem(QStringList names = {QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0"),
                                                 QStringLiteral("ttyUSB1")});
  ~FakeSerialSystem() override;

  QStringList portNames() const override { return ports; }
  std::unique_ptr<SerialLine> createLine() override;

  QStringList ports;
  // Ports that fail to open, with the failure's text.
  QMap<QString, QString> refuse;
  QList<Event> events;
  // Stamps events with this time instead of the real one (a test's virtual clock).
  std::function<qint64()> timeSource;

  // Line changes only, as "port DTR 1" texts, in order.
  QStringList lineLog() const;
  // Opens and closes only, as "open port" / "close port".
  QStringList openLog() const;
  // Current level of a line of a port (false before any change).
  bool level(const QString& port, SerialSignal s) const;
  // Ports open now.
  QStringList openPorts() const;
  void clearEvents() { events.clear(); }

 private:
  friend class FakeSerialLine;
  void record(const QString& port, Kind kind, SerialSignal s = SerialSignal::Dtr, bool level = false);
  QElapsedTimer clock_;
  std::shared_ptr<FakeSerialSystem*> self_;
  QMap<QString, int> openCount_;
  QMap<QString, bool> levels_;
};

}  // namespace vz::test
