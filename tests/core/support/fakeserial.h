#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/serialline.h"

namespace vz::test {

// Serial ports without hardware: a list of names, ports that refuse to open, and a
// record of every open, close and control-line change. Installs itself for its
// lifetime. Lines may be moved from any thread (the keyer's); read the record once
// the keyer is idle, or through snapshot() while it runs.
class FakeSerialSystem : public SerialSystem {
 public:
  enum class Kind { Open, Close, Line };
  struct Event {
    qint64 timeNs;  // since the fake was made, or from timeSource when set
    QString port;
    Kind kind;
    SerialSignal signal = SerialSignal::Dtr;  // Line only
    bool level = false;                       // Line only
    std::chrono::steady_clock::time_point at{};  // the steady clock when recorded
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
  // Stamps events with this time instead of the real one (a test's virtual clock);
  // called from whichever thread moves a line.
  std::function<qint64()> timeSource;

  // The next `times` line changes of a port (every one for -1) fail with this text;
  // an empty text makes them work again. A failed change is not recorded and leaves
  // the level as it was.
  void setLineFailure(const QString& port, const QString& error, int times = -1);

  // Line changes only, as "port DTR 1" texts, in order.
  QStringList lineLog() const;
  // Opens and closes only, as "open port" / "close port".
  QStringList openLog() const;
  // Current level of a line of a port (false before any change).
  bool level(const QString& port, SerialSignal s) const;
  // Ports open now.
  QStringList openPorts() const;
  // A copy of the record, safe while another thread keys.
  QList<Event> snapshot() const;
  void clearEvents();

 private:
  friend class FakeSerialLine;
  void record(const QString& port, Kind kind, SerialSignal s = SerialSignal::Dtr, bool level = false);
  // The error of a line change that fails now; counts it.
  QString failure(const QString& port);
  QElapsedTimer clock_;
  std::shared_ptr<FakeSerialSystem*> self_;
  QMap<QString, int> openCount_;
  QMap<QString, bool> levels_;
  struct Failure {
    QString error;
    int times;
  };
  QMap<QString, Failure> failing_;
  mutable std::recursive_mutex mutex_;
};

}  // namespace vz::test
