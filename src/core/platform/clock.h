#pragma once
#include <QDateTime>

namespace vz {

// The clock of the day. Windows read the local time through it so tests can fix it.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;  // local time
};

Clock& clock();
// Installs a clock (not owned); nullptr restores the system clock.
void setClock(Clock* c);

// A clock that stands where it is put (tests).
class FixedClock : public Clock {
 public:
  explicit FixedClock(QDateTime t = {}) : t_(std::move(t)) {}
  QDateTime now() const override { return t_; }
  void set(const QDateTime& t) { t_ = t; }
  void advanceSeconds(qint64 s) { t_ = t_.addSecs(s); }

 private:
  QDateTime t_;
};

}  // namespace vz
