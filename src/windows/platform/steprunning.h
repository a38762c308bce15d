#pragma once
#include <QByteArray>
#include <QPointer>
#include <QWidget>

namespace vz {

// A window step that hands control to the event loop while it runs (a request it
// waits for, a long write with yields, a modal box). While it runs:
// - the same step of the same window is refused (the button pressed again does nothing);
// - the window is never destroyed: a close the window accepts hides it at once, and its
//   deletion (WA_DeleteOnClose or an unload) happens once the window's last step has
//   returned. Showing the window again in the meantime keeps it.
// After each wait the step still checks alive(): a window can be deleted by its parent.
class StepRunning {
 public:
  // step names the step; nullptr for a wait that may run nested in itself: it is
  // never refused and only keeps the window.
  StepRunning(QWidget* window, const char* step);
  ~StepRunning();
  StepRunning(const StepRunning&) = delete;
  StepRunning& operator=(const StepRunning&) = delete;

  // False when this step of this window was already running: the caller returns at once.
  bool started() const { return started_; }
  // The window still exists.
  bool alive() const { return !window_.isNull(); }

 private:
  QPointer<QWidget> window_;
  QByteArray step_;
  bool started_ = false;
};

// Whether a step of the window (any, or the named one) is running.
bool stepRunning(const QWidget* window, const char* step = nullptr);

// For unloads: when a step of window runs, hides it and deletes it once the step has
// returned, and gives true; otherwise false and the caller deletes it.
bool deferDeleteWhileStepRuns(QWidget* window);

// Follows the window's closes from now on, so deletePending knows of an accepted close
// of a window that deletes itself on close before its deletion has come round.
void watchCloses(QWidget* window);

// The window was closed (during a step, or deletes itself on close) and waits to be
// deleted: the next access to the window makes a new one.
bool deletePending(const QWidget* window);

}  // namespace vz
