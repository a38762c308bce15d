// The ADIF back-up's launcher: the back-up window filled with the logs and their
// QSO counts.
#include <QBrush>
#include <QColor>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "store/logcommands.h"

namespace vz {

namespace {

// 15 twips to the pixel.
constexpr int kLogColumnWidth = 3000 / 15;
constexpr int kCountColumnWidth = 1000 / 15;

}  // namespace

void Form1::badif_Click() {
  Form15& f = form15();
  f.Command1->setEnabled(true);
  f.List1->clear();

  // A listing that fails leaves its part of the window empty; the window still shows.
  // A log's placeholder row has no mode and is not a QSO.
  QStringList logs;
  QList<long long> counts;
  if (const Result<QList<LogWithCount>> listed = ListLogsWithCounts(); listed.ok())
    for (const LogWithCount& l : listed.value) {
      logs << l.name;
      counts << l.qsos;
    }
  for (const QString& name : logs) f.List1->addItem(name);

  f.ListView1->clear();
  f.ListView1->setColumnCount(2);
  f.ListView1->setHeaderLabels({QStringLiteral("Log"), QStringLiteral("QSOs")});
  f.ListView1->setColumnWidth(0, kLogColumnWidth);
  f.ListView1->setColumnWidth(1, kCountColumnWidth);

  long long total = 0;
  for (int i = 0; i < f.List1->count(); ++i) {
    const QString name = logs[i];
    const long long count = counts[i];
    f.List1->item(i)->setText(name + QStringLiteral(" (") + QString::number(count) + QStringLiteral(" QSOs)"));
    f.AddLogRow(name, count);
    total += count;
  }
  f.Label1->setText(QString::number(f.List1->count()));
  f.Label2->setText(QString::number(total));
  f.show();
}

}  // namespace vz
