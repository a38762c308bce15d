#include "mainwin/form18.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>

namespace vz {
namespace {
constexpr int twips(int t) { return t / 15; }
const QString kCaption = QStringLiteral("Aguarde, cerrando Vantorel Zezeror2 ...");
}  // namespace

QString ExitCountdownCaption(int ticks) { return kCaption + QString::number(ticks) + QStringLiteral("/25"); }

Form18::Form18() {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setFixedSize(twips(kClientWidth), twips(kClientHeight));
  const QColor green(0, 128, 0);
  QPalette p = palette();
  p.setColor(QPalette::Window, green);
  p.setColor(QPalette::WindowText, Qt::white);
  setPalette(p);
  setAutoFillBackground(true);

  Label1 = new QLabel(kCaption, this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(twips(120), twips(180), twips(5535), twips(480));
  Label1->setAlignment(Qt::AlignCenter);
  QFont f(QStringLiteral("Tahoma"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(14.25);
  // The design's face is narrower than most: the longest caption must still fit.
  const QString longest = ExitCountdownCaption(25);
  while (f.pointSizeF() > 8 && QFontMetrics(f).horizontalAdvance(longest) > Label1->width() - 4)
    f.setPointSizeF(f.pointSizeF() - 0.25);
  Label1->setFont(f);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(twips(240), twips(780), twips(5295), twips(330));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
}

void Form18::centreOn(const QWidget* owner) {
  if (!owner) return;
  const QRect o = owner->frameGeometry();
  move(o.center() - QPoint(width() / 2, height() / 2));
}

}  // namespace vz
