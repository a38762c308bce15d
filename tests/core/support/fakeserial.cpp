#include "support/fakeserial.h"

#include <atomic>

namespace vz::test {

class FakeSerialLine : public SerialLine {
 public:
  explicit FakeSerialLine(std::weak_ptr<FakeSerialSystem*> sys) : weak_(std::move(sys)) {}
  ~FakeSerialLine() override { close(); }

  Status open(const QString& portName) override {
    close();
    FakeSerialSystem* sys_ = system();
    if (!sys_) return Status::failure(QStringLiteral("No such file or directory"));
    if (sys_->refuse.contains(portName)) return Status::failure(sys_->refuse.value(portName));
    if (!sys_->ports.contains(portName)) return Status::failure(QStringLiteral("No such file or directory"));
    {
      const std::lock_guard lock(mutex_);
      name_ = portName;
      open_ = true;
    }
    {
      const std::lock_guard lock(sys_->mutex_);
      sys_->openCount_[portName] += 1;
      sys_->record(portName, FakeSerialSystem::Kind::Open);
    }
    const Status dtr = setSignal(SerialSignal::Dtr, false);
    const Status rts = setSignal(SerialSignal::Rts, false);
    return dtr.ok ? rts : dtr;
  }
  void close() override {
    QString name;
    {
      const std::lock_guard lock(mutex_);
      if (!open_) return;
      open_ = false;
      name = name_;
    }
    FakeSerialSystem* sys_ = system();
    if (!sys_) return;
    const std::lock_guard lock(sys_->mutex_);
    sys_->openCount_[name] -= 1;
    sys_->record(name, FakeSerialSystem::Kind::Close);
  }
  bool isOpen() const override {
    const std::lock_guard lock(mutex_);
    return open_;
  }
  QString portName() const override {
    const std::lock_guard lock(mutex_);
    return name_;
  }

 protected:
  Status applySignal(SerialSignal s, bool on) override {
    const std::lock_guard lock(mutex_);
    if (!open_) return Status::failure(QStringLiteral("El puerto no está abierto"));
    FakeSerialSystem* sys_ = system();
    if (!sys_) return Status::success();
    const std::lock_guard sysLock(sys_->mutex_);
    const QString error = sys_->failure(name_);
    if (!error.isEmpty()) return Status::failure(error);
    sys_->record(name_, FakeSerialSystem::Kind::Line, s, on);
    return Status::success();
  }

 private:
  // A window may keep its line after the test's fake is gone.
  FakeSerialSystem* system() const {
    auto p = weak_.lock();
    return p ? *p : nullptr;
  }
  std::weak_ptr<FakeSerialSystem*> weak_;
  mutable std::mutex mutex_;
  QString name_;
  bool open_ = false;
};

FakeSerialSystem::FakeSerialSystem(QStringList names)
    : ports(std::move(names)), self_(std::make_shared<FakeSerialSystem*>(this)) {
  clock_.start();
  setSerialSystem(this);
}

FakeSerialSystem::~FakeSerialSystem() { setSerialSystem(nullptr); }

std::unique_ptr<SerialLine> FakeSerialSystem::createLine() {
  return std::make_unique<FakeSerialLine>(self_);
}

void FakeSerialSystem::setLineFailure(const QString& port, const QString& error, int times) {
  const std::lock_guard lock(mutex_);
  if (error.isEmpty() || times == 0) failing_.remove(port);
  else failing_.insert(port, Failure{error, times});
}

QString FakeSerialSystem::failure(const QString& port) {
  const auto it = failing_.find(port);
  if (it == failing_.end()) return {};
  const QString error = it->error;
  if (it->times > 0 && --it->times == 0) failing_.erase(it);
  return error;
}

void FakeSerialSystem::record(const QString& port, Kind kind, SerialSignal s, bool lvl) {
  const std::lock_guard lock(mutex_);
  const auto at = std::chrono::steady_clock::now();
  events << Event{timeSource ? timeSource() : clock_.nsecsElapsed(), port, kind, s, lvl, at};
  if (kind == Kind::Line) levels_[port + signalName(s)] = lvl;
}

QList<FakeSerialSystem::Event> FakeSerialSystem::snapshot() const {
  const std::lock_guard lock(mutex_);
  return events;
}

void FakeSerialSystem::clearEvents() {
  const std::lock_guard lock(mutex_);
  events.clear();
}

QStringList FakeSerialSystem::lineLog() const {
  QStringList out;
  for (const Event& e : snapshot())
    if (e.kind == Kind::Line)
      out << QStringLiteral("%1 %2 %3").arg(e.port, signalName(e.signal)).arg(e.level ? 1 : 0);
  return out;
}

QStringList FakeSerialSystem::openLog() const {
  QStringList out;
  for (const Event& e : snapshot()) {
    if (e.kind == Kind::Open) out << QStringLiteral("open ") + e.port;
    if (e.kind == Kind::Close) out << QStringLiteral("close ") + e.port;
  }
  return out;
}

bool FakeSerialSystem::level(const QString& port, SerialSignal s) const {
  const std::lock_guard lock(mutex_);
  return levels_.value(port + signalName(s), false);
}

QStringList FakeSerialSystem::openPorts() const {
  const std::lock_guard lock(mutex_);
  QStringList out;
  for (auto it = openCount_.begin(); it != openCount_.end(); ++it)
    if (it.value() > 0) out << it.key();
  return out;
}

}  // namespace vz::test
