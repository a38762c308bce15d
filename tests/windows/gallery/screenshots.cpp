// Pictures of every window for anyone reviewing a change: one PNG per window, drawn
// as the screen shows it (the main window behind, a plain title bar above each
// window). Run by scripts/screenshots once per screen size.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTextStream>
#include <QWidget>
#include <cstdio>

#include "app/startup.h"
#include "mainwin/form1.h"
#include "platform/placement.h"
#include "support/windowgallery.h"

using namespace vz;

namespace {

const int kTitleBar = 24;

void drawWindow(QPainter& p, QWidget* w) {
  const QRect r = w->geometry();
  const bool maximised = w->isMaximized();
  const QRect bar(r.left(), r.top() - (maximised ? 0 : kTitleBar), r.width(), kTitleBar);
  if (!maximised) {
    p.fillRect(bar, QColor(60, 90, 140));
    QFont f = p.font();
    f.setBold(true);
    f.setPointSizeF(10);
    p.setFont(f);
    p.setPen(Qt::white);
    // Room for an icon on the left and three buttons on the right, as title bars have.
    const QRect text = bar.adjusted(28, 0, -92, 0);
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
               QFontMetrics(f).elidedText(w->windowTitle(), Qt::ElideRight, text.width()));
    for (int i = 0; i < 3; ++i) p.fillRect(bar.right() - 26 * (i + 1), bar.top() + 5, 18, 14, QColor(200, 200, 210));
  }
  p.drawPixmap(maximised ? r.topLeft() + QPoint(0, 0) : r.topLeft(), w->grab());
  p.setPen(QColor(20, 20, 20));
  p.drawRect(r.united(maximised ? r : bar).adjusted(0, 0, -1, -1));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "uso: vz-screenshots CARPETA\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  installQtTranslations(app);
  installWindowPlacement(app);
  test::WindowGallery gallery;
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  int failures = 0;
  // VZ_SCREENSHOTS_ONLY=Form4,Form9 limits the run to some windows.
  const QStringList only = qEnvironmentVariable("VZ_SCREENSHOTS_ONLY").split(u',', Qt::SkipEmptyParts);
  for (const test::GalleryWindow& window : gallery.windows()) {
    if (!only.isEmpty() && !only.contains(window.name)) continue;
    const bool opened = gallery.visit(window, [&](QWidget* w) {
      QImage shot(screen, QImage::Format_RGB32);
      shot.fill(QColor(40, 44, 52));
      QPainter p(&shot);
      if (w != &form1()) drawWindow(p, &form1());
      drawWindow(p, w);
      p.end();
      const QString file = QDir(out).filePath(window.name + QStringLiteral(".png"));
      if (!shot.save(file)) ++failures;
      QTextStream(stdout) << file << "  " << w->windowTitle() << "  " << w->geometry().x() << ","
                          << w->geometry().y() << " " << w->width() << "x" << w->height() << "\n";
    });
    if (!opened) {
      ++failures;
      QTextStream(stderr) << "no se abrió: " << window.name << "\n";
    }
  }
  return failures == 0 ? 0 : 1;
}
