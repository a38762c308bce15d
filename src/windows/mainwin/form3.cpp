#include "mainwin/form3.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

#include "store/logcommands.h"
#include "platform/placement.h"

namespace vz {

Form3::Form3() {
  setWindowTitle(QStringLiteral("Abrir Log ..."));
  setModal(true);
  List1 = new QListWidget;
  List1->setObjectName(QStringLiteral("List1"));
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(9.75);
  font.setBold(true);
  List1->setFont(font);
  QPalette palette = List1->palette();
  palette.setColor(QPalette::Text, QColor(0, 100, 0));
  List1->setPalette(palette);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(List1);
  resize(300, 260);
  centreOverMainWindow(this);
  connect(List1, &QListWidget::itemDoubleClicked, this, &Form3::List1_DblClick);
}

Status Form3::fillWithLogs() {
  List1->clear();
  const Result<QList<LogWithCount>> logs = ListLogsWithCounts();
  if (!logs.ok()) return logs.status;
  for (const LogWithCount& log : logs.value) {
    auto* item = new QListWidgetItem(LogPickerEntry(log.name, log.qsos), List1);
    // The name itself, so that picking never depends on reading it back from the text.
    item->setData(Qt::UserRole, log.name);
  }
  return Status::success();
}

QString Form3::selectedLogName() const {
  const QListWidgetItem* item = List1->currentItem();
  if (!item || !item->isSelected()) return {};
  const QVariant name = item->data(Qt::UserRole);
  return name.isValid() ? name.toString() : LogNameFromPickerEntry(item->text());
}

void Form3::closeEvent(QCloseEvent* e) {
  // Closed from its title bar: dismissed without a change, created afresh next time.
  unloadRequested_ = true;
  QDialog::closeEvent(e);
}

}  // namespace vz
