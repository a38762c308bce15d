// The main window's way into contest operation.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "contest/conteststore.h"
#include "contest/form13.h"
#include "contest/form4.h"
#include "contest/form8.h"
#include "mainwin/form1.h"
#include "platform/dialogs.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace vz {

void Form1::cabro_Click() {
  (void)AddProfileColumns();  // an older database may lack the column; nothing here depends on it
  state().ContestFormBusy = true;

  Form4& contest = form4();
  Form8& chooser = form8();
  contest.Combo1->clear();
  chooser.ListView1->clear();
  chooser.Text1->clear();
  contest.Combo1->addItems(kContestModes);
  contest.Combo1->setCurrentIndex(0);
  contest.mhz->clear();
  contest.mhz->addItems({"1", "3", "7", "14", "21", "28", "6", "2"});
  contest.mhz->setCurrentIndex(1);
  contest.Text1->setText(QStringLiteral("650"));
  contest.SetContestListColumns();
  contest.Text2->setText(Label2->text());
  chooser.SetChooserColumns();

  // The store reads each contest's type and count by bound name, so a contest can
  // never be listed with another one's serial type.
  const auto logs = ListContestLogs();
  if (!logs.ok()) showError(logs.error());
  for (const ContestLogSummary& log : logs.value) {
    auto* row = new QTreeWidgetItem(QStringList{QStringLiteral("nombre2"), log.name,
                                                log.serialType.trimmed(), QString::number(log.qsoCount)});
    chooser.ListView1->addTopLevelItem(row);
  }
  chooser.show();
  chooser.raise();
}

void Form1::anacal_Click() { form13().exec(); }

}  // namespace vz
