// The layout scaler applied to a small window's widgets.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "mainwin/layoutscaler.h"

using namespace vz;

namespace {

QFont points(double size) {
  QFont f;
  f.setPointSizeF(size);
  return f;
}

// A window of 600 x 400 (plus its menu bar) with a frame, a control array, a
// button on the window, a menu entry and a timer.
struct Window {
  QMainWindow w;
  QGroupBox* frame;
  QLabel* caption[2];
  QPushButton* onWindow;
  QAction* entry;
  QTimer* timer;

  Window() {
    auto* surface = new QWidget(&w);
    w.setCentralWidget(surface);
    frame = new QGroupBox(surface);
    frame->setObjectName("Frame1");
    frame->setGeometry(10, 10, 300, 200);
    frame->setFont(points(8.25));
    for (int i = 0; i < 2; ++i) {
      caption[i] = new QLabel(frame);
      caption[i]->setObjectName("Label1");
      caption[i]->setProperty("Index", i);
      caption[i]->setGeometry(10 + 100 * i, 20, 80, 16);
      caption[i]->setFont(points(i == 0 ? 10 : 9.75));
    }
    onWindow = new QPushButton(surface);
    onWindow->setObjectName("Command1");
    onWindow->setGeometry(400, 300, 100, 24);
    onWindow->setFont(points(10));
    QMenu* menu = w.menuBar()->addMenu("Archivo");
    menu->setObjectName("archivo");
    entry = menu->addAction("Salir");
    entry->setObjectName("salir");
    timer = new QTimer(&w);
    timer->setObjectName("Timer1");
    timer->setInterval(1000);
    w.resize(600, 400);
  }
};

}  // namespace

class TstLayoutScaler : public QObject {
  Q_OBJECT

 private slots:
  void capturesEveryNamedControl() {
    Window win;
    const LayoutList list = CaptureLayout(&win.w);
    QCOMPARE(list.first().Name, QString(kLayoutFormName));
    QCOMPARE(list.first().Height, 400 * kTwipsPerPixel);
    QCOMPARE(list.first().Width, 600 * kTwipsPerPixel);

    QHash<QString, ControlLayout> byKey;
    for (const ControlLayout& c : list.mid(1)) byKey.insert(c.Name + QString::number(c.Index), c);
    QCOMPARE(byKey.size(), list.size() - 1);
    const ControlLayout second = byKey.value("Label11");
    QCOMPARE(second.Left, 110 * kTwipsPerPixel);
    QCOMPARE(second.Top, 20 * kTwipsPerPixel);
    QCOMPARE(second.FontSize, 10);  // 9.75 recorded whole
    QCOMPARE(byKey.value("Frame1-1").FontSize, 8);
    for (const char* placeless : {"salir-1", "Timer1-1", "archivo-1"}) {
      QVERIFY2(byKey.contains(placeless), placeless);
      const ControlLayout c = byKey.value(placeless);
      QCOMPARE(c.Left + c.Top + c.Width + c.Height + c.FontSize, 0);
    }
  }

  void designSizeLeavesEveryControlAsDrawn() {
    Window win;
    const LayoutList list = CaptureLayout(&win.w);
    ScaleControls(&win.w, list, true);
    QCOMPARE(win.caption[1]->geometry(), QRect(110, 20, 80, 16));
    QCOMPARE(win.onWindow->geometry(), QRect(400, 300, 100, 24));
    QCOMPARE(win.caption[1]->font().pointSizeF(), 10.0);
  }

  void aWideWindowScalesByHeightAndCentresTheWindowsControls() {
    Window win;
    const LayoutList list = CaptureLayout(&win.w);
    win.w.resize(1800, 600);  // SY = 1.5, SX = 3: f = 1.5
    ScaleControls(&win.w, list, true);
    // Each member of the array keeps its own place, scaled inside its frame.
    QCOMPARE(win.caption[0]->geometry(), QRect(15, 30, 120, 24));
    QCOMPARE(win.caption[1]->geometry(), QRect(165, 30, 120, 24));
    QCOMPARE(win.caption[0]->font().pointSizeF(), 15.0);
    QCOMPARE(win.frame->geometry(), QRect(15 + 300, 15, 450, 300));  // on the window: shifted
    // 400 x 1.5 + (1800 - 600) / 2 x (3 - 1.5) / 3
    QCOMPARE(win.onWindow->geometry(), QRect(600 + 300, 450, 150, 36));
    QCOMPARE(win.timer->interval(), 1000);
    QCOMPARE(win.entry->text(), QString("Salir"));
  }

  void repeatedResizingDoesNotDrift() {
    Window win;
    const LayoutList list = CaptureLayout(&win.w);
    for (int size : {613, 777, 1291, 655, 600}) {
      win.w.resize(size, size * 2 / 3);
      ScaleControls(&win.w, list, true);
    }
    win.w.resize(600, 400);
    ScaleControls(&win.w, list, true);
    QCOMPARE(win.caption[1]->geometry(), QRect(110, 20, 80, 16));
    QCOMPARE(win.onWindow->geometry(), QRect(400, 300, 100, 24));
  }
};

QTEST_MAIN(TstLayoutScaler)
#include "tst_layoutscaler.moc"
