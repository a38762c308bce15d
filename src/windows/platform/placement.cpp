#include "platform/placement.h"

#include <QApplication>
#include <QComboBox>
#include <QProxyStyle>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vz {
namespace {

const char* const kPlacedProperty = "vzPlaced";

// The program's own windows, not Qt's dialogs (which centre on whoever asked) nor
// the main window itself.
bool isProgramWindow(const QWidget* w) {
  if (!w->isWindow() || qobject_cast<const QMainWindow*>(w)) return false;
  return QLatin1String(w->metaObject()->className()).startsWith(QLatin1String("vz::Form"));
}

QWidget* mainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMainWindow*>(w) && w->isVisible()) return w;
  return nullptr;
}

// A drop-down list opens as a list of limited height below its box, not as a menu
// of every entry that may fill the whole screen.
class DropDownStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

class PlacementFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Polish) {
      if (auto* box = qobject_cast<QComboBox*>(watched)) box->setMaxVisibleItems(kDropDownRows);
      return false;
    }
    if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (!isProgramWindow(w)) return false;
    widenForCaption(w);
    if (!w->property(kPlacedProperty).toBool()) {
      w->setProperty(kPlacedProperty, true);
      centreOverMainWindow(w);
    }
    return false;
  }
};

}  // namespace

QRect CentredOver(const QSize& size, const QRect& owner, const QRect& available) {
  QRect r(QPoint(0, 0), size);
  r.moveCenter(owner.center());
  // Wider or taller than the free area: its top-left corner stays visible.
  r.moveLeft(std::max(available.left(), std::min(r.left(), available.right() + 1 - r.width())));
  r.moveTop(std::max(available.top(), std::min(r.top(), available.bottom() + 1 - r.height())));
  return r;
}

int CaptionWidth(const QString& caption) {
  // Title bars draw the caption in the desktop's bold title font beside the icon and
  // three buttons; the application font in bold, a little larger, stands in for it.
  QFont f = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  f.setBold(true);
  if (f.pointSizeF() > 0) f.setPointSizeF(std::max(f.pointSizeF(), 10.0));
  const int kIconAndButtons = 120;
  return QFontMetrics(f).horizontalAdvance(caption) + kIconAndButtons;
}

void centreOverMainWindow(QWidget* window) {
  QScreen* screen = nullptr;
  QRect owner;
  if (QWidget* m = mainWindow(); m && m != window) {
    owner = m->frameGeometry();
    screen = m->screen();
  }
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  if (owner.isNull()) owner = available;
  window->move(CentredOver(window->frameGeometry().size(), owner, available).topLeft());
}

void widenForCaption(QWidget* window) {
  int needed = CaptionWidth(window->windowTitle());
  const QScreen* screen = window->screen();
  // A caption wider than the screen gets as much of it as the screen gives.
  if (screen) needed = std::min(needed, screen->availableGeometry().width());
  if (window->width() >= needed) return;
  if (window->minimumWidth() == window->maximumWidth()) {
    window->setFixedWidth(needed);  // a fixed size stays fixed, only wider
  } else {
    if (window->maximumWidth() < needed) window->setMaximumWidth(needed);
    window->resize(needed, window->height());
  }
  // Wider now, it may stick out of the screen: it goes back over the main window.
  if (screen && !screen->availableGeometry().contains(window->frameGeometry())) centreOverMainWindow(window);
}

void installWindowPlacement(QApplication& app) {
  QApplication::setStyle(new DropDownStyle(QApplication::style()->name()));
  app.installEventFilter(new PlacementFilter(&app));
}

}  // namespace vz
