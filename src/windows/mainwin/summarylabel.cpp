#include "mainwin/summarylabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include "store/logpage.h"

namespace vz {

QString FittedLogSummary(const QString& logName, int qsoCount, const QFontMetrics& metrics, int width) {
  const QString whole = LogSummaryText(logName, qsoCount);
  if (metrics.horizontalAdvance(whole) <= width) return whole;
  const QString head = QStringLiteral("Log: ");
  const QString tail = QStringLiteral(", con ") + QString::number(qsoCount) + QStringLiteral(" QSOs");
  const int room = width - metrics.horizontalAdvance(head) - metrics.horizontalAdvance(tail);
  // Too narrow even for one letter of the name: the count matters more.
  QString name = metrics.elidedText(logName, Qt::ElideRight, std::max(room, 0));
  if (name.isEmpty()) name = QStringLiteral("…");
  return head + name + tail;
}

SummaryLabel::SummaryLabel(QWidget* parent) : QLabel(parent) {}

void SummaryLabel::setSummary(const QString& logName, int qsoCount) {
  name_ = logName;
  count_ = qsoCount;
  summary_ = true;
  setText(LogSummaryText(logName, qsoCount));
  updateToolTip();
}

QString SummaryLabel::shownText() const {
  // Text set by other means is drawn as QLabel draws it.
  if (!summary_ || text() != LogSummaryText(name_, count_)) return text();
  return FittedLogSummary(name_, count_, fontMetrics(), contentsRect().width());
}

void SummaryLabel::paintEvent(QPaintEvent* event) {
  const QString shown = shownText();
  if (shown == text()) return QLabel::paintEvent(event);
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                        palette(), isEnabled(), shown, foregroundRole());
}

void SummaryLabel::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  updateToolTip();
}

void SummaryLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateToolTip();
}

void SummaryLabel::updateToolTip() { setToolTip(shownText() == text() ? QString() : text()); }

}  // namespace vz
