#pragma once
#include <QPointer>
#include <QWidget>

#include "platform/steprunning.h"

namespace vz {

// One program-wide instance per window class, created hidden on first access.
// Unloading destroys it, so the next access starts again from the design values.
// A window closed or unloaded while one of its steps runs is only hidden until the
// step returns; the next access already gets a new window.
template <class T>
class FormInstance {
 public:
  static T& get() {
    forgetClosed();
    if (!slot()) {
      slot() = new T();
      watchCloses(slot().data());
    }
    return *slot();
  }
  static bool loaded() {
    forgetClosed();
    return !slot().isNull();
  }
  static void unload() {
    if (T* w = slot().data()) {
      slot().clear();
      if (deferDeleteWhileStepRuns(w)) return;
      w->hide();
      delete w;
    }
  }

 private:
  static QPointer<T>& slot() {
    static QPointer<T> p;
    return p;
  }
  static void forgetClosed() {
    if (slot() && deletePending(slot().data())) slot().clear();
  }
};

}  // namespace vz
