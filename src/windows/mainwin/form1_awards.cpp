// The main window's "Provincias Argentinas": the current log's QSOs with a province
// go into the award window's input list, and the award window opens.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>
#include <utility>

#include "exchange/searchlistmodel.h"
#include "exchange/searchquery.h"
#include "mainwin/form1.h"
#include "mainwin/qsolist.h"
#include "online/form14.h"
#include "platform/dialogs.h"
#include "platform/steprunning.h"
#include "store/award.h"
#include "store/programstate.h"

namespace vz {

void Form1::parg_Click() {
  // The count the last page load made: the summary caption cannot be read back
  // safely, since a log name may itself hold ", con ".
  if (state().LogQsoCount <= 0) {
    msgBox(QStringLiteral("No hay QSOs para mostrar!"), MsgIcon::Exclamation);
    return;
  }
  // The busy caption is drawn before the count: the menu chosen again meanwhile does nothing.
  StepRunning step(this, "provinceAward");
  if (!step.started()) return;
  Label9->setText(QStringLiteral("Procesando ..."));
  Label9->show();
  ProgressBar1->setMaximum(500);
  ProgressBar1->show();
  ListView2->hide();
  QApplication::processEvents();

  auto idle = [this] {
    Label9->hide();
    ProgressBar1->hide();
    ListView2->show();
  };
  // The input list holds the ids; the award window reads the rows as it tallies them.
  Result<SearchListing> listing = ListProvinceQsos(state().CurrentLogName);
  if (!listing.ok()) {
    idle();
    showError(listing.error());
    return;
  }
  state().ListedQsoCount = int(listing.value.ids.size());
  form14().InputModel->setListing(std::move(listing.value));
  idle();
  ShowProvincesAward();
}

}  // namespace vz
