// The search view's award matrix: the whole current log, as the search lists it,
// tallied by province and band into the award window's grid.
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include "exchange/form6.h"
#include "online/form14.h"
#include "store/award.h"
#include "store/programstate.h"

namespace vz {

void Form6::Command5_Click() {
  Command5->setEnabled(false);
  Command4_Click();
  Form14& award = form14();
  award.ProgressBar1->setMaximum(26);
  award.ProgressBar1->setValue(0);
  award.ProgressBar1->show();

  // The log's QSOs, but never more rows than the list holds.
  const int n = std::min(state().LogQsoCount, ListView2->topLevelItemCount());
  QList<AwardQso> qsos;
  for (int i = 0; i < n; ++i) {
    const QTreeWidgetItem* item = ListView2->topLevelItem(i);
    QsoListRow row;
    for (int c = 0; c < QsoListRow::kColumns; ++c) row.cells[c] = item->text(c);
    qsos << AwardQsoFromRow(row);
  }
  award.ShowMatrix(TallyAwardMatrix(qsos));
  award.ProgressBar1->hide();
  hide();
  ShowProvincesAward();
}

}  // namespace vz
