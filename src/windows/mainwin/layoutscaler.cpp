#include "mainwin/layoutscaler.h"

#include <QAction>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vz {

bool RecordedLayoutValue(double value, int* field) {
  if (!std::isfinite(value)) return false;
  const double r = std::nearbyint(value);  // the default rounding mode sends halves to even
  if (r < -32768 || r > 32767) return false;
  *field = int(r);
  return true;
}

FormGeometry FitFormToScreenGeometry(int screenWidthPx, int screenHeightPx, int designHeight,
                                     int designWidth, int designLeft, int designTop, bool uniform) {
  // Vertical factor in single precision, horizontal in double, as the window sizes
  // have always been worked out.
  const float fy = float(screenHeightPx * kTwipsPerPixel) / float(kTwipsPerPixel) / float(kDesignScreenHeight);
  double fx = double(screenWidthPx * kTwipsPerPixel) / kTwipsPerPixel / kDesignScreenWidth;
  double fyd = fy;
  if (uniform) fx = fyd = std::min(double(fy), fx);
  FormGeometry g;
  g.Height = float(designHeight * fyd);
  g.Width = float(designWidth * fx);
  g.Top = float(designTop * fyd);
  g.Left = float(designLeft * fx);
  return g;
}

LayoutScale LayoutScaleFor(double currentHeight, double currentWidth, const ControlLayout& form) {
  LayoutScale s;
  if (form.Height != 0) s.SY = float(currentHeight) / float(form.Height);
  if (form.Width != 0) s.SX = float(currentWidth) / float(form.Width);
  s.f = s.SY <= s.SX ? s.SY : s.SX;
  return s;
}

ControlGeometry ScaledControlGeometry(const ControlLayout& c, const ControlLayout& form,
                                      double currentHeight, double currentWidth, bool onWindow,
                                      bool uniform) {
  const LayoutScale s = LayoutScaleFor(currentHeight, currentWidth, form);
  ControlGeometry g;
  if (!uniform) {
    // Each axis its own factor; fonts follow the smaller one so text still fits.
    g.FontSize = c.FontSize * s.f;
    g.Left = c.Left * s.SX;
    g.Top = c.Top * s.SY;
    g.Width = c.Width * s.SX;
    g.Height = c.Height * s.SY;
    return g;
  }
  const double f = s.f;
  g.FontSize = c.FontSize * f;
  g.Left = c.Left * f;
  g.Top = c.Top * f;
  if (onWindow) {
    // Spare room on the axis whose factor is larger than f, shared out so the
    // controls on the window stay centred between their frames.
    const float halfSpareWidth = float(currentWidth - form.Width) / 2.0f;
    const float halfSpareHeight = float(currentHeight - form.Height) / 2.0f;
    if (s.SX != 0) g.Left += halfSpareWidth * (s.SX - f) / s.SX;
    if (s.SY != 0) g.Top += halfSpareHeight * (s.SY - f) / s.SY;
  }
  g.Width = c.Width * f;
  g.Height = c.Height * f;
  return g;
}

namespace {

// The surface the window's controls are placed on.
QWidget* surfaceOf(QWidget* form) {
  if (auto* mw = qobject_cast<QMainWindow*>(form))
    if (mw->centralWidget()) return mw->centralWidget();
  return form;
}

bool isControl(const QObject* o) {
  const QString n = o->objectName();
  return !n.isEmpty() && !n.startsWith(QLatin1String("qt_"));
}

// Controls with a place and a font: widgets inside the window, not menus.
QWidget* placedWidget(QObject* o) {
  auto* w = qobject_cast<QWidget*>(o);
  if (!w || w->isWindow() || qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w)) return nullptr;
  return w;
}

int indexOf(const QObject* o) {
  const QVariant v = o->property("Index");
  return v.isValid() ? v.toInt() : -1;
}

QList<QObject*> controlsOf(QWidget* form) {
  QList<QObject*> list;
  for (QObject* o : form->findChildren<QObject*>())
    if (isControl(o)) list << o;
  return list;
}

int toPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }

}  // namespace

LayoutList CaptureLayout(QWidget* form) {
  LayoutList list;
  ControlLayout theForm;
  theForm.Name = QLatin1String(kLayoutFormName);
  theForm.Index = 0;
  RecordedLayoutValue(double(form->height()) * kTwipsPerPixel, &theForm.Height);
  RecordedLayoutValue(double(form->width()) * kTwipsPerPixel, &theForm.Width);
  list << theForm;
  for (QObject* o : controlsOf(form)) {
    ControlLayout c;
    c.Name = o->objectName();
    c.Index = indexOf(o);
    if (QWidget* w = placedWidget(o)) {
      const QRect r = w->geometry();
      RecordedLayoutValue(double(r.x()) * kTwipsPerPixel, &c.Left);
      RecordedLayoutValue(double(r.y()) * kTwipsPerPixel, &c.Top);
      RecordedLayoutValue(double(r.width()) * kTwipsPerPixel, &c.Width);
      RecordedLayoutValue(double(r.height()) * kTwipsPerPixel, &c.Height);
      const double pt = w->font().pointSizeF();
      if (pt > 0) RecordedLayoutValue(pt, &c.FontSize);
    }
    list << c;
  }
  return list;
}

void FitFormToScreen(QWidget* form, int designHeight, int designWidth, int designLeft, int designTop,
                     bool uniform) {
  QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QSize size = screen->geometry().size();
  const FormGeometry g =
      FitFormToScreenGeometry(size.width(), size.height(), designHeight, designWidth, designLeft, designTop, uniform);
  form->resize(toPixels(g.Width), toPixels(g.Height));
  form->move(toPixels(g.Left), toPixels(g.Top));
}

void ScaleControls(QWidget* form, const LayoutList& layout, bool uniform) {
  if (layout.isEmpty() || layout.first().Height == 0 || layout.first().Width == 0) return;
  const ControlLayout& theForm = layout.first();
  const double height = double(form->height()) * kTwipsPerPixel;
  const double width = double(form->width()) * kTwipsPerPixel;
  QWidget* surface = surfaceOf(form);

  QMultiHash<QString, QObject*> byName;
  for (QObject* o : controlsOf(form)) byName.insert(o->objectName(), o);

  for (qsizetype i = 1; i < layout.size(); ++i) {
    const ControlLayout& rec = layout[i];
    for (QObject* o : byName.values(rec.Name)) {
      const int index = indexOf(o);
      if (index != -1 && index != rec.Index) continue;
      QWidget* w = placedWidget(o);
      if (!w) continue;  // menu entries and timers have neither place nor font
      const ControlGeometry g =
          ScaledControlGeometry(rec, theForm, height, width, w->parentWidget() == surface, uniform);
      if (g.FontSize > 0) {
        QFont font = w->font();
        font.setPointSizeF(g.FontSize);
        w->setFont(font);
      }
      w->setGeometry(toPixels(g.Left), toPixels(g.Top), std::max(0, toPixels(g.Width)),
                     std::max(0, toPixels(g.Height)));
    }
  }
}

}  // namespace vz
