#include "contest/form13.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "contest/contestanalysis.h"
#include "contest/conteststore.h"
#include "platform/dialogs.h"

namespace vz {

namespace {

constexpr double kTwipsPerPixel = 15.0;

QLabel* valueLabel(const QString& text = {}) { return new QLabel(text); }

void fillList(QListWidget* list, const QStringList& items) {
  list->clear();
  list->addItems(items);
}

}  // namespace

Form13::Form13() {
  setWindowTitle(QStringLiteral("Análisis"));

  Frame1 = new QGroupBox(QStringLiteral("Multiplicador"));
  Option1 = new QRadioButton(QStringLiteral("Provincia/País Corresponsal"));
  Option2 = new QRadioButton(QStringLiteral("Serie Recibida"));
  Check1 = new QCheckBox(QStringLiteral("Valen Propios"));
  auto* options = new QVBoxLayout(Frame1);
  options->addWidget(Option1);
  options->addWidget(Option2);
  options->addWidget(Check1);

  ListView1 = new QTreeWidget;
  ListView1->setRootIsDecorated(false);
  ListView1->setHeaderLabels({QStringLiteral("Nombref"), QStringLiteral("Nombre"), QStringLiteral("Tipo"),
                              QStringLiteral("QSOSs")});
  const int widths[] = {0, 2200, 1800, 1200};
  int columnsWidth = 0;
  for (int c = 0; c < 4; ++c) {
    ListView1->setColumnWidth(c, int(widths[c] / kTwipsPerPixel));
    if (c > 0) columnsWidth += int(widths[c] / kTwipsPerPixel);
  }
  ListView1->setColumnHidden(0, true);
  // Every column in sight, the QSO count too, with room for a scroll bar.
  ListView1->setMinimumWidth(columnsWidth + 2 * ListView1->frameWidth() +
                             ListView1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
  ProgressBar1 = new QProgressBar;
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);

  Frame2 = new QGroupBox;
  Label13 = valueLabel();
  Label13->setAlignment(Qt::AlignCenter);
  Label13->setStyleSheet(QStringLiteral("color: white; background: red;"));
  Label3 = valueLabel(QStringLiteral("0"));
  Label4 = valueLabel();
  Label5 = valueLabel();
  Label11 = valueLabel();
  Label6 = valueLabel();
  Label10 = valueLabel(QStringLiteral("0"));
  Label9 = valueLabel();
  Label8 = valueLabel();
  Label12 = valueLabel();
  Label7 = valueLabel();
  for (QLabel* l : {Label11, Label12}) l->setStyleSheet(QStringLiteral("color: red;"));
  List1 = new QListWidget;
  List3 = new QListWidget;
  List2 = new QListWidget;
  List4 = new QListWidget;
  List2->hide();
  List4->hide();
  for (QListWidget* l : {List1, List3}) l->setStyleSheet(QStringLiteral("color: rgb(0, 64, 0); font-weight: bold;"));

  auto* results = new QGridLayout(Frame2);
  results->addWidget(Label13, 0, 0, 1, 3);
  results->addWidget(new QLabel(QStringLiteral("CW")), 1, 1);
  results->addWidget(new QLabel(QStringLiteral("PHONE")), 1, 2);
  const char* captions[] = {"QSOs:", "Tiempo:", "Rate:", "Dupes:", "Mult's:"};
  QLabel* cw[] = {Label3, Label4, Label5, Label11, Label6};
  QLabel* phone[] = {Label10, Label9, Label8, Label12, Label7};
  for (int r = 0; r < 5; ++r) {
    results->addWidget(new QLabel(QString::fromLatin1(captions[r])), r + 2, 0);
    results->addWidget(cw[r], r + 2, 1);
    results->addWidget(phone[r], r + 2, 2);
  }
  results->addWidget(List1, 7, 1);
  results->addWidget(List3, 7, 2);
  results->addWidget(List2, 8, 1);
  results->addWidget(List4, 8, 2);

  auto* left = new QVBoxLayout;
  left->addWidget(Frame1);
  left->addWidget(ListView1);
  left->addWidget(ProgressBar1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(Frame2);

  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1_DblClick(); });
}

bool Form13::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      if (failureShowing_) break;
      if (failureShown_) {
        failureShown_ = false;
        break;
      }
      Form_Activate();
      break;
    case QEvent::WindowDeactivate:
      if (!failureShowing_) failureShown_ = false;
      break;
    default:
      break;
  }
  return QDialog::event(e);
}

void Form13::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    hide();  // only hidden: the results and the options stay
    return;
  }
  QDialog::keyPressEvent(e);
}

void Form13::Form_Activate() {
  ListView1->clear();
  const auto contests = ListContestLogs();
  if (!contests.ok()) {
    failureShowing_ = true;
    showError(QStringLiteral("No se pudo leer la lista de concursos:\r\n") + contests.error());
    failureShowing_ = false;
    failureShown_ = true;
    return;
  }
  for (const ContestLogSummary& c : contests.value) {
    if (c.qsoCount == 0) continue;  // only its header row
    auto* item = new QTreeWidgetItem(
        {QStringLiteral("nombre2"), c.name.trimmed(), c.serialType, QString::number(c.qsoCount)});
    // The list shows the name trimmed; the analysis reads the rows by the stored one.
    item->setData(1, Qt::UserRole, c.name);
    ListView1->addTopLevelItem(item);
  }
}

void Form13::ListView1_DblClick() {
  QTreeWidgetItem* selected = ListView1->currentItem();
  if (!selected) return;
  const QString stored = selected->data(1, Qt::UserRole).toString();

  ProgressBar1->setValue(0);
  for (QListWidget* l : {List1, List3, List2, List4}) l->clear();
  Label3->setText(QStringLiteral("0"));
  Label10->setText(QStringLiteral("0"));
  for (QLabel* l : {Label9, Label12, Label7, Label4, Label5, Label8, Label11, Label6, Label13}) l->clear();

  const auto qsos = ContestQsosByTime(stored);
  if (!qsos.ok()) {
    showError(qsos.error());
    return;
  }
  const ContestAnalysis a = AnalyseContest(qsos.value,
                                           Option1->isChecked() ? ContestMultiplierChoice::WorkedPlace
                                                                : ContestMultiplierChoice::ReceivedExchange,
                                           Check1->isChecked());
  QStringList cwCalls, phoneCalls;
  for (const ContestQso& q : qsos.value) {
    if (!q.isQso()) continue;
    QStringList& calls = q.Modo == QLatin1String("CW") ? cwCalls : phoneCalls;
    if (!calls.contains(q.Estacion)) calls << q.Estacion;
  }
  fillList(List1, a.cw.multipliers);
  fillList(List3, a.phone.multipliers);
  fillList(List2, cwCalls);
  fillList(List4, phoneCalls);

  Label13->setText(a.ownCall);
  Label3->setText(QString::number(a.cw.qsos));
  if (a.cw.qsos > 0) {
    Label4->setText(a.cw.timeText());
    Label5->setText(a.cw.rateText());
    Label11->setText(a.cw.duplicatesText());
    Label6->setText(QString::number(a.cw.multipliers.size()));
  }
  if (a.phone.qsos > 0) {
    Label10->setText(QString::number(a.phone.qsos));
    Label9->setText(a.phone.timeText());
    Label8->setText(a.phone.rateText());
    Label12->setText(a.phone.duplicatesText());
    Label7->setText(QString::number(a.phone.multipliers.size()));
  } else {
    Label10->clear();
  }
  ProgressBar1->setValue(100);
}

}  // namespace vz
