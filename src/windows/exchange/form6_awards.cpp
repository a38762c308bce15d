// The search view's award matrix: the whole current log, as the search lists it,
// tallied by province and band into the award window's grid.
#include <QProgressBar>
#include <QPushButton>

#include "exchange/form6.h"
#include "exchange/searchlistmodel.h"
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

  // The log's QSOs, but never more rows than the list holds; tallied as they are read.
  const int n = std::min(state().LogQsoCount, ListModel->count());
  AwardTally tally(AwardTally::Kind::Matrix);
  for (int i = 0; i < n; ++i) tally.add(AwardQsoFromRow(ListModel->rowAt(i)));
  award.ShowMatrix(tally.grid());
  award.ProgressBar1->hide();
  hide();
  ShowProvincesAward();
}

}  // namespace vz
