#include "exchange/form15.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "exchange/adifbackup.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/steprunning.h"
#include "platform/textutil.h"

namespace vz {

namespace {

// How often the window answers while the back-up is written.
constexpr qint64 kYieldMs = 50;

// Texts compared without regard to letter case, as the store compares log names.
class LogRow : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
  }
};

}  // namespace

// Marks the time one of the window's own dialogs is open.
class OwnDialog {
 public:
  explicit OwnDialog(Form15* window) : window_(window) { window_->ownDialogOpen_ = true; }
  ~OwnDialog() {
    if (!window_) return;
    window_->ownDialogOpen_ = false;
    window_->returningFromOwnDialog_ = true;
  }
  OwnDialog(const OwnDialog&) = delete;
  OwnDialog& operator=(const OwnDialog&) = delete;

 private:
  QPointer<Form15> window_;
};

Form15::Form15() {
  setWindowTitle(QStringLiteral("Back Up ..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(false);
  // Closed from its title bar it is unloaded; hidden by a back-up it keeps its rows.
  setAttribute(Qt::WA_DeleteOnClose);

  Frame2 = new QFrame(this);
  Frame2->setObjectName(QStringLiteral("Frame2"));
  ListView1 = new QTreeWidget(Frame2);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setRootIsDecorated(false);
  ListView1->setColumnCount(0);
  ListView1->header()->setSectionsClickable(true);
  connect(ListView1->header(), &QHeaderView::sectionClicked, this, [this](int c) { ListView1_ColumnClick(c); });
  auto* frameLayout = new QVBoxLayout(Frame2);
  frameLayout->addWidget(ListView1);

  Label4 = new QLabel(QStringLiteral("Logs:"), this);
  Label1 = new QLabel(this);
  Label3 = new QLabel(QStringLiteral("QSOs:"), this);
  Label2 = new QLabel(this);
  for (QLabel* l : {Label1, Label2}) l->setStyleSheet(QStringLiteral("font-weight: bold;"));
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2->setObjectName(QStringLiteral("Label2"));
  Command1 = new QPushButton(QStringLiteral("Hacer ADIF"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setAutoDefault(false);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

  // The working list of log names: part of the window, never seen.
  Frame1 = new QFrame(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  List1 = new QListWidget(Frame1);
  List1->setObjectName(QStringLiteral("List1"));
  Frame1->hide();

  auto* figures = new QGridLayout;
  figures->addWidget(Label4, 0, 0);
  figures->addWidget(Label1, 0, 1);
  figures->addWidget(Label3, 1, 0);
  figures->addWidget(Label2, 1, 1);
  figures->setColumnStretch(1, 1);

  auto* all = new QVBoxLayout(this);
  all->addWidget(Frame2, 1);
  all->addLayout(figures);
  all->addWidget(Command1);
  resize(320, 360);
}

bool Form15::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      // Our own dialogs (the warning, the save dialog, the questions of a back-up)
      // take the activation away and give it back: that return is not a new
      // activation.
      if (ownDialogOpen_) break;
      if (returningFromOwnDialog_) {
        returningFromOwnDialog_ = false;
        break;
      }
      Form_Activate();
      break;
    case QEvent::WindowDeactivate:
      if (!ownDialogOpen_) returningFromOwnDialog_ = false;
      break;
    case QEvent::KeyPress:
      // Esc does not close the window.
      if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) return true;
      break;
    default:
      break;
  }
  return QDialog::event(e);
}

void Form15::Form_Activate() {
  if (vbVal(Label2->text()) <= kBackupImportLimit) return;
  const OwnDialog open(this);
  msgBox(QString::fromUtf8("El ADIF tiene mas de 10.000 QSOs!\r\nNo podrá ser importado a Vantorel Zezeror, si para\r\n"
                           "algún otro logger. Haga BackUp de la base."),
         MsgIcon::Exclamation);
}

void Form15::AddLogRow(const QString& name, long long count) {
  auto* row = new LogRow(ListView1, {name, QString::number(count)});
  row->setForeground(1, QBrush(QColor(0, 64, 0)));
}

void Form15::ListView1_ColumnClick(int column) {
  sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  ListView1->sortItems(column, sortOrder_);
}

Status Form15::WriteBackup(const QString& path) {
  QElapsedTimer sinceYield;
  sinceYield.start();
  return WriteAdifBackup(path, [&](int) {
    if (sinceYield.elapsed() < kYieldMs) return;
    QCoreApplication::processEvents();
    sinceYield.restart();
  });
}

void Form15::Command1_Click() {
  // The write hands control back every few hundred rows: the window may be closed
  // meanwhile (it goes once the write is done) and the button does nothing twice.
  StepRunning step(this, "backup");
  if (!step.started()) return;
  FileRequest request;
  request.title = QStringLiteral("Exportar a ADIF ...");
  request.filter = QStringLiteral("ADIF (*.adi)");
  // Coming back from the window's own dialogs is no new activation: the size
  // warning is not shown again in the middle of the back-up.
  auto ask = [this](auto&& dialog) {
    const OwnDialog open(this);
    return dialog();
  };
  const QString path = ask([&] { return dialogs().saveFile(request); });
  if (path.isEmpty()) return;
  if (QFile::exists(path) && ask([&] {
        return msgBox(QStringLiteral("El archivo \r\n") + path + QStringLiteral("\r\nya existe!\r\n\r\nsobregraba?"),
                      MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No);
      }) != MsgAnswer::Yes)
    return;
  Command1->setEnabled(false);
  const Status s = WriteBackup(path);
  if (!s) {
    // Whatever file was there is left as it was; the operator learns why and may try again.
    Command1->setEnabled(true);
    ask([&] {
      showError(QStringLiteral("No se pudo hacer el BackUp en ") + path + QStringLiteral(":\r\n") + s.error);
      return 0;
    });
    return;
  }
  hide();
  if (ask([&] {
        return msgBox(path + QStringLiteral("\r\nGuardado!\r\n\r\nDesea verlo?"), MsgIcon::Exclamation,
                      MsgButtons::YesNo, MsgAnswer::No);
      }) == MsgAnswer::Yes)
    launcher().openInTextEditor(path);
  form1().ListView2->setVisible(true);
}

}  // namespace vz
