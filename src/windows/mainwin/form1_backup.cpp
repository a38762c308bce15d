// The ADIF back-up's launcher: the back-up window filled with the logs and their
// QSO counts.
#include <QBrush>
#include <QColor>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>

#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "platform/database.h"

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

  // A query that fails leaves its part of the window empty; the window still shows.
  // One walk of the log-name index gives every log with its QSO count (a log's
  // placeholder row has no mode and is not a QSO). IFNULL drops the column's own
  // collation: names are given it back, so they are told apart and sorted without
  // regard to letter case, as everywhere else.
  QStringList logs;
  QList<long long> counts;
  {
    QSqlQuery q(db::connection());
    q.setForwardOnly(true);
    if (db::run(q, QStringLiteral("SELECT IFNULL([Nombre Log], '') COLLATE NOCASE, TOTAL([Modo]<>'') FROM Tabla1 "
                                  "GROUP BY 1 ORDER BY 1 ASC")))
      while (q.next()) {
        logs << db::text(q, 0);
        counts << q.value(1).toLongLong();
      }
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
