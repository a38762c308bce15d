#include "support/fakeserial.h"

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
    name_ = portName;
    open_ = true;
    sys_->openCount_[name_] += 1;
    sys_->record(name_, FakeSerialSystem::Kind::Open);
    setSignal(SerialSignal::Dtr, false);
    setSignal(SerialSignal::Rts, false);
    return Status::success();
  }
  void close() override {
    if (!open_) return;
    open_ = false;
    FakeSerialSystem* sys_ = system();
    if (!sys_) return;
    sys_->openCount_[name_] -= 1;
    sys_->record(name_, FakeSerialSystem::Kind::Close);
  }
  bool isOpen() const override { return open_; }
  QString portName() const override { return name_; }
  Status setSignal(SerialSignal s, bool on) override {
    if (!open_) return Status::failure(QStringLiteral("El puerto no está abierto"));
    FakeSerialSystem* sys_ = system();
    if (!sys_) return Status::success();
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

void FakeSerialSystem::record(const QString& port, Kind kind, SerialSignal s, bool lvl) {
  events << Event{timeSource ? timeSource() : clock_.nsecsElapsed(), port, kind, s, lvl};
  if (kind == Kind::Line) levels_[port + signalName(s)] = lvl;
}

QStringList FakeSerialSystem::lineLog() const {
  QStringList out;
  for (const Event& e : events)
    if (e.kind == Kind::Line)
      out << QStringLiteral("%1 %2 %3").arg(e.port, signalName(e.signal)).arg(e.level ? 1 : 0);
  return out;
}

QStringList FakeSerialSystem::openLog() const {
  QStringList out;
  for (const Event& e : events) {
    if (e.kind == Kind::Open) out << QStringLiteral("open ") + e.port;
    if (e.kind == Kind::Close) out << QStringLiteral("close ") + e.port;
  }
  return out;
}

bool FakeSerialSystem::level(const QString& port, SerialSignal s) const {
  return levels_.value(port + signalName(s), false);
}

QStringList FakeSerialSystem::openPorts() const {
  QStringList out;
  for (auto it = openCount_.begin(); it != openCount_.end(); ++it)
    if (it.value() > 0) out << it.key();
  return out;
}

}  // namespace vz::test
