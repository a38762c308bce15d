#pragma once
// The main window's log summary ("Log: ", the name, ", con ", the count, " QSOs").
// Its text is always the whole summary; what is drawn fits the label: a log name
// too long for it is cut with "…", so the count stays in sight and the text never
// runs into the hint beside it. The whole summary is then the label's tool tip.
#include <QLabel>

class QFontMetrics;

namespace vz {

// The summary as it fits in width pixels of that font: whole when it fits, else
// with the name cut short ("…"), "Log: " and the count kept.
QString FittedLogSummary(const QString& logName, int qsoCount, const QFontMetrics& metrics, int width);

class SummaryLabel : public QLabel {
  Q_OBJECT
 public:
  explicit SummaryLabel(QWidget* parent = nullptr);
  // Shows the summary of a log.
  void setSummary(const QString& logName, int qsoCount);
  // What the label draws now.
  QString shownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void updateToolTip();
  QString name_;
  int count_ = 0;
  bool summary_ = false;
};

}  // namespace vz
