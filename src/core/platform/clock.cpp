#include "platform/clock.h"

namespace vz {
namespace {
class SystemClock : public Clock {
 public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
};
Clock*& installed() {
  static Clock* c = nullptr;
  return c;
}
}  // namespace

Clock& clock() {
  static SystemClock system;
  return installed() ? *installed() : system;
}

void setClock(Clock* c) { installed() = c; }

}  // namespace vz
