#include "store/ptt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "contest/form4.h"
#include "mainwin/form1.h"
#include "platform/colors.h"
#include "setup/form2.h"

namespace vz {
namespace {

constexpr quint32 kTransmitting = 0x0000FF;  // red
constexpr quint32 kReceiving = 0x000040;     // dark red
constexpr quint32 kWhite = 0xFFFFFF;

void setPtt(const QString& line, bool on) {
  SerialLine& port = *form2().MSComm1;
  if (line == QLatin1String("DTR")) (void)port.setSignal(SerialSignal::Dtr, on);
  if (line == QLatin1String("RTS")) (void)port.setSignal(SerialSignal::Rts, on);
  const quint32 back = on ? kTransmitting : kReceiving;
  setBackColor(form4().Label8, back);
  setBackColor(form1().Label13, back);
  setForeColor(form4().Label8, kWhite);
  setForeColor(form1().Label13, kWhite);
}

}  // namespace

void DropPttOnLeaving() {
  if (FormInstance<Form2>::loaded()) {
    Form2& settings = form2();
    (void)settings.MSComm1->setSignal(settings.pttLine() == QLatin1String("RTS") ? SerialSignal::Rts : SerialSignal::Dtr,
                                     false);
  }
  for (QLabel* tx : {FormInstance<Form4>::loaded() ? form4().Label8 : nullptr,
                     FormInstance<Form1>::loaded() ? form1().Label13 : nullptr}) {
    if (!tx) continue;
    setBackColor(tx, kReceiving);
    setForeColor(tx, kWhite);
  }
}

void SetPttOn(const QString& line) { setPtt(line, true); }
void SetPttOff(const QString& line) { setPtt(line, false); }

void LockKeyerPortControls() {
  Form4& f = form4();
  f.Combo3->setEnabled(false);
  f.Check3->setEnabled(false);
  f.Check4->setEnabled(false);
}

void UnlockKeyerPortControls() {
  Form4& f = form4();
  f.Combo3->setEnabled(true);
  f.Check3->setEnabled(true);
  f.Check4->setEnabled(true);
}

}  // namespace vz
