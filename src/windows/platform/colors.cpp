#include "platform/colors.h"

#include "store/ptt.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace vz {

bool isSystemColor(quint32 value) { return (value & 0xFF000000u) == 0x80000000u; }

QColor colorFromValue(quint32 value) {
  if (isSystemColor(value)) {
    const QPalette p = QApplication::palette();
    switch (value & 0xFFu) {
      case 0x05: return p.color(QPalette::Base);
      case 0x08: return p.color(QPalette::Text);
      case 0x0F: return p.color(QPalette::Window);  // the windows' design background
      case 0x12: return p.color(QPalette::ButtonText);
      default: return p.color(QPalette::Window);
    }
  }
  return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void setBackColor(QWidget* w, quint32 value) {
  if (!w) return;
  QPalette p = w->palette();
  const QColor c = colorFromValue(value);
  p.setColor(QPalette::Window, c);
  // A widget fills its background with its own role: buttons and check boxes with
  // Button, not Window.
  p.setColor(w->backgroundRole(), c);
  // Text boxes and lists paint their Base; check boxes would paint their box with it.
  if (qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QLineEdit*>(w))
    p.setColor(QPalette::Base, c);
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

void setForeColor(QWidget* w, quint32 value) {
  if (!w) return;
  QPalette p = w->palette();
  const QColor c = colorFromValue(value);
  p.setColor(QPalette::WindowText, c);
  p.setColor(QPalette::Text, c);
  p.setColor(QPalette::ButtonText, c);
  w->setPalette(p);
}

QColor backColor(const QWidget* w) {
  if (qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QLineEdit*>(w))
    return w->palette().color(QPalette::Base);
  return w->palette().color(w->backgroundRole());
}
QColor foreColor(const QWidget* w) { return w->palette().color(w->foregroundRole()); }

void followTransmitState(QWidget* indicator) {
  const auto paint = [indicator](bool transmitting) {
    setBackColor(indicator, transmitting ? 0x0000FF : 0x000040);  // red, dark red
    setForeColor(indicator, 0xFFFFFF);
  };
  // Until the first change a window keeps its design colours, unless it opens keyed.
  if (pttTransmitting()) paint(true);
  QObject::connect(&pttNotifier(), &PttNotifier::changed, indicator, paint);
}

}  // namespace vz
