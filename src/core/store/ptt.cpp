#include "store/ptt.h"

#include "platform/serialline.h"

namespace vz {
namespace {

SerialLine*& port() {
  static SerialLine* p = nullptr;
  return p;
}

bool& transmitting() {
  static bool on = false;
  return on;
}

void setPtt(const QString& line, bool on) {
  if (SerialLine* p = port()) {
    if (line == QLatin1String("DTR")) (void)p->setSignal(SerialSignal::Dtr, on);
    if (line == QLatin1String("RTS")) (void)p->setSignal(SerialSignal::Rts, on);
  }
  transmitting() = on;
  emit pttNotifier().changed(on);
}

}  // namespace

void SetPttOn(const QString& line) { setPtt(line, true); }
void SetPttOff(const QString& line) { setPtt(line, false); }
void setPttPort(SerialLine* p) { port() = p; }
bool pttTransmitting() { return transmitting(); }

PttNotifier& pttNotifier() {
  static PttNotifier notifier;
  return notifier;
}

}  // namespace vz
