#include "platform/steprunning.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QSet>

namespace vz {

namespace {

// Rides on the window as a child: knows its running steps and holds back its deletion.
class StepWatch : public QObject {
 public:
  explicit StepWatch(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
    all().insert(window, this);
  }
  ~StepWatch() override { all().remove(window_); }

  // Window accesses are frequent: the watch is found without walking the children.
  static StepWatch* of(const QWidget* window, bool create) {
    if (!window) return nullptr;
    StepWatch* w = all().value(window);
    if (!w && create) w = new StepWatch(const_cast<QWidget*>(window));
    return w;
  }

  QSet<QByteArray> running;
  bool deletePending = false;

  void finish(const QByteArray& step) {
    running.remove(step);
    if (!running.isEmpty() || !deletePending) return;
    deletePending = false;
    window_->deleteLater();
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched != window_) return false;
    const bool deletesOnClose = window_->testAttribute(Qt::WA_DeleteOnClose);
    switch (e->type()) {
      case QEvent::Close: {
        if (running.isEmpty() && !deletesOnClose) return false;
        // The window's own close handler decides first (it may ask and refuse), so a
        // close it accepts is known at once: opening the window again right after
        // already gets a new one, even before the deletion has come round.
        static_cast<QObject*>(window_)->event(e);
        if (e->isAccepted() && deletesOnClose) deletePending = true;
        return true;
      }
      case QEvent::DeferredDelete:
        if (running.isEmpty()) return false;
        // Held until the step returns; a window shown again meanwhile stays.
        if (!window_->isVisible()) deletePending = true;
        return true;
      case QEvent::Show:
        deletePending = false;
        break;
      default:
        break;
    }
    return false;
  }

 private:
  static QHash<const QWidget*, StepWatch*>& all() {
    static QHash<const QWidget*, StepWatch*> watches;
    return watches;
  }
  QWidget* window_;
};

}  // namespace

StepRunning::StepRunning(QWidget* window, const char* step) : window_(window), step_(step) {
  if (!step) {
    // A wait that any caller may start, nested or not: only keeps the window.
    static quint64 waits = 0;
    step_ = "wait#" + QByteArray::number(++waits);
  }
  StepWatch* watch = StepWatch::of(window, true);
  if (!watch || watch->running.contains(step_)) return;
  watch->running.insert(step_);
  started_ = true;
}

StepRunning::~StepRunning() {
  if (!started_ || window_.isNull()) return;
  if (StepWatch* watch = StepWatch::of(window_, false)) watch->finish(step_);
}

bool stepRunning(const QWidget* window, const char* step) {
  StepWatch* watch = StepWatch::of(window, false);
  if (!watch) return false;
  return step ? watch->running.contains(QByteArray(step)) : !watch->running.isEmpty();
}

bool deferDeleteWhileStepRuns(QWidget* window) {
  StepWatch* watch = StepWatch::of(window, false);
  if (!watch || watch->running.isEmpty()) return false;
  window->hide();
  watch->deletePending = true;
  return true;
}

void watchCloses(QWidget* window) { StepWatch::of(window, true); }

bool deletePending(const QWidget* window) {
  StepWatch* watch = StepWatch::of(window, false);
  return watch && watch->deletePending;
}

}  // namespace vz
