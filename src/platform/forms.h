#pragma once
#include <QPointer>
#include <QWidget>

namespace vz {

// One program-wide instance per window class, created hidden on first access.
// Unloading destroys it, so the next access starts again from the design values.
template <class T>
class FormInstance {
 public:
  static T& get() {
    if (!slot()) slot() = new T();
    return *slot();
  }
  static bool loaded() { return !slot().isNull(); }
  static void unload() {
    if (T* w = slot().data()) {
      slot().clear();
      w->hide();
      delete w;
    }
  }

 private:
  static QPointer<T>& slot() {
    static QPointer<T> p;
    return p;
  }
};

}  // namespace vz
