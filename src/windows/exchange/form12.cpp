#include "exchange/form12.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlRecord>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "exchange/adifimport.h"
#include "exchange/adifimportfile.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace vz {

namespace {

const QString kCancelQuestion = QStringLiteral("Cancela el proceso?");

bool askCancel() {
  return msgBox(kCancelQuestion, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) == MsgAnswer::Yes;
}

// How often a running step lets the window answer and shows its progress.
constexpr qint64 kPumpMs = 50;

QString duplicatesQuestion(const QString& records, const QString& duplicates) {
  return QStringLiteral("de ") + records + QStringLiteral(" QSOs hay ") + duplicates +
         QStringLiteral(" DUPlLICADOS\r\n\r\nLos desea Reemplazar?\r\n\r\nNota:\r\n"
                        "Se consideran DUPLICADOS los QSOs en un entorno de 10 minutos");
}

QString numberText(const QLabel* l) { return QString::number(vbValInt(l->text())); }

}  // namespace

// Tells the window that a step runs inside it for as long as it lives; the window
// may be gone by then.
class StepScope {
 public:
  explicit StepScope(Form12* w) : w_(w) { ++w->stepDepth_; }
  ~StepScope() {
    if (w_) --w_->stepDepth_;
  }
  StepScope(const StepScope&) = delete;
  StepScope& operator=(const StepScope&) = delete;

 private:
  QPointer<Form12> w_;
};

Form12::Form12() {
  setWindowTitle(QStringLiteral("Importar ADIF ..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto named = [this](QWidget* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
  };
  Command1 = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Abrir"), this), "Command1"));
  Command3 = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Cargar"), this), "Command3"));
  Command3->setEnabled(false);
  // Enter must not press a button by default: the steps are started on purpose.
  Command1->setAutoDefault(false);
  Command3->setAutoDefault(false);
  connect(Command1, &QPushButton::clicked, this, &Form12::Command1_Click);
  connect(Command3, &QPushButton::clicked, this, &Form12::Command3_Click);

  auto* figures = new QGridLayout;
  const struct {
    const char* caption;
    QLabel** slot;
    const char* name;
  } rows[] = {
      {"Archivo:", &Label2, "Label2"},       {"Programa:", &Label4, "Label4"},
      {"Lineas:", &Label5, "Label5"},        {"QSOs:", &Label6, "Label6"},
      {"Station Call:", &Label7, "Label7"},  {"QSOs:", &Label9, "Label9"},
      {"QSOs Duplicados:", &Label10, "Label10"},
  };
  int r = 0;
  for (const auto& row : rows) {
    figures->addWidget(new QLabel(QString::fromUtf8(row.caption), this), r, 0);
    *row.slot = static_cast<QLabel*>(named(new QLabel(this), row.name));
    (*row.slot)->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); font-weight: bold;"));
    figures->addWidget(*row.slot, r, 1);
    ++r;
  }
  figures->setColumnStretch(1, 1);

  List2 = static_cast<QListWidget*>(named(new QListWidget(this), "List2"));
  List2->setStyleSheet(QStringLiteral("color: rgb(0, 255, 0); background-color: rgb(0, 0, 0);"));
  Label8 = static_cast<QLabel*>(named(new QLabel(QStringLiteral("Procesando ..."), this), "Label8"));
  Label8->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
  Label8->hide();
  ProgressBar1 = static_cast<QProgressBar*>(named(new QProgressBar(this), "ProgressBar1"));
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  List1 = static_cast<QListWidget*>(named(new QListWidget(this), "List1"));
  List1->hide();

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Command1);
  buttons->addWidget(Command3);
  buttons->addStretch(1);

  auto* all = new QVBoxLayout(this);
  all->addLayout(buttons);
  all->addLayout(figures);
  all->addWidget(List2, 1);
  all->addWidget(Label8);
  all->addWidget(ProgressBar1);
  resize(480, 400);

  // Key preview: the window sees Esc whichever control has the focus.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

// ---- Keys and closing ---------------------------------------------------------------

bool Form12::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    int key = 27;
    Form_KeyPress(key);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void Form12::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    int key = 27;
    Form_KeyPress(key);
    return;
  }
  QDialog::keyPressEvent(event);
}

void Form12::Form_KeyPress(int& KeyAscii) {
  if (KeyAscii == 27) state().ImportCancelRequested = true;
}

// Esc never closes the window by itself.
void Form12::reject() {}

void Form12::Form_QueryUnload(int& Cancel, int /*UnloadMode*/) {
  ProgramState& st = state();
  if (st.ImportRunning || st.ImportCancelRequested) Cancel = askCancel() ? 0 : 1;
  st.ImportRunning = false;
  st.ImportCancelRequested = false;
}

void Form12::closeEvent(QCloseEvent* event) {
  int cancel = 0;
  Form_QueryUnload(cancel, 0);
  if (cancel) {
    event->ignore();
    return;
  }
  event->accept();
  done(QDialog::Rejected);
  // A step that still runs is told to stop, and the window goes once it has.
  if (stepDepth_ > 0)
    closedWhileRunning_ = true;
  else
    unloadLater();
}

void Form12::unloadLater() { deleteLater(); }

bool Form12::pumpDue() const { return !pumpClock_.isValid() || pumpClock_.elapsed() >= kPumpMs; }

bool Form12::pump() {
  QPointer<Form12> self(this);
  QCoreApplication::processEvents();
  if (!self) return false;
  pumpClock_.start();
  return !closedWhileRunning_;
}

bool Form12::cancelPoll() {
  if (closedWhileRunning_) return true;
  ProgramState& st = state();
  if (!st.ImportCancelRequested) return false;
  st.ImportCancelRequested = false;
  return askCancel();
}

// ---- The open step ----------------------------------------------------------------------

void Form12::endRefusal() {
  Label8->setText(QString());
  Label8->hide();
  state().ImportRunning = false;
  Command1->setEnabled(true);
}

void Form12::endCompletedParse() {
  Command3->setEnabled(true);
  ProgressBar1->setValue(0);
  QPointer<Form12> self(this);
  QCoreApplication::processEvents();
  if (!self) return;
  state().ImportRunning = false;
  Command1->setEnabled(true);
}

void Form12::Command1_Click() {
  // A step already runs (this handler was reached from one of its waits).
  if (stepDepth_ > 0) return;
  QPointer<Form12> self(this);
  {
    const StepScope scope(this);
    openStep();
  }
  if (self && closedWhileRunning_ && stepDepth_ == 0) unloadLater();
}

void Form12::openStep() {
  QPointer<Form12> self(this);
  ProgramState& st = state();

  Command1->setEnabled(true);
  Command3->setEnabled(false);
  for (QLabel* l : {Label2, Label4, Label5, Label6, Label7, Label9, Label10}) l->setText(QString());
  List2->clear();
  st.ImportRunning = true;

  // Emptied before the file is chosen, so a cancelled choice leaves nothing staged.
  Status emptied = db::exec(QStringLiteral("DELETE FROM Tabla3"));
  if (!emptied && db::isOpen() && db::connection().record(QStringLiteral("Tabla3")).isEmpty()) {
    msgBox(emptied.error);
    if (!self) return;
    // The staging table is missing: the schema is completed and the step tries once more.
    const Status completed = db::ensureSchema();
    emptied = completed ? db::exec(QStringLiteral("DELETE FROM Tabla3")) : completed;
  }
  if (!emptied) {
    msgBox(emptied.error);
    if (self) endRefusal();
    return;
  }
  List1->clear();

  FileRequest request;
  request.title = QStringLiteral("Abrir Archivo de ADIF ...");
  request.filter = QStringLiteral("ADIF (*.adi)");
  const QString chosen = dialogs().openFile(request);
  if (!self) return;
  if (chosen.isEmpty() || closedWhileRunning_) {
    endRefusal();
    return;
  }
  const QString fileName = QFileInfo(chosen).fileName();
  Label2->setText(fileName);
  Command1->setEnabled(false);
  Label8->show();

  auto fail = [&](const QString& text) {
    msgBox(text);
    if (self) endRefusal();
  };

  Label8->setText(QStringLiteral("Midiendo ..."));
  if (!pump()) return self ? endRefusal() : void();
  Label8->setText(QStringLiteral("Cargando ..."));
  if (!pump()) return self ? endRefusal() : void();

  // Read in memory: no copy beside the chosen file, no work file in the program's folder.
  ProgressBar1->setRange(0, 1000);
  ProgressBar1->setValue(0);
  const Result<ImportFileContents> read = ReadAdifImportFile(chosen, [&](qsizetype done, qsizetype total) {
    if (!pumpDue()) return true;
    ProgressBar1->setValue(total > 0 ? int(done * 1000 / total) : 0);
    return pump();
  });
  if (!self) return;
  if (!read.ok()) return fail(read.error());
  const ImportFileContents& file = read.value;
  if (file.stopped || closedWhileRunning_) return endRefusal();
  ProgressBar1->setValue(0);
  Label4->setText(file.programId);
  if (file.tooManyRecords) {
    msgBox(ImportTooManyRecordsMessage(chosen), MsgIcon::Critical);
    if (self) endRefusal();
    return;
  }
  st.ImportRecordLines = file.recordLines;
  for (const QString& call : file.stationCalls) List1->addItem(call);
  Label6->setText(QString::number(file.recordLines.size()));
  Label5->setText(QString::number(file.lineCount));
  QString calls;
  for (const QString& call : file.stationCalls) calls += call + QLatin1Char(' ');
  Label7->setText(calls);

  if (file.recordLines.isEmpty()) {
    msgBox(QStringLiteral("El Archivo ") + fileName + QStringLiteral(" no tiene QSOss!"), MsgIcon::Exclamation);
    if (self) endRefusal();
    return;
  }
  if (List1->count() == 0) {
    const MsgAnswer go = msgBox(QStringLiteral("El Archivo ") + fileName +
                                    QStringLiteral(" no tiene el campo <STATION_CALLSIGN:\r\nContinua con la carga?"),
                                MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    if (!self) return;
    if (go != MsgAnswer::Yes || closedWhileRunning_) return endRefusal();
    const QString typed =
        trimBlanks(dialogs().inputBox(QString::fromUtf8("Ingrese su Señal Distintiva"), QStringLiteral("SD"), QString()))
            .toUpper();
    if (!self) return;
    if (closedWhileRunning_) return endRefusal();
    if (typed.isEmpty()) {
      msgBox(QString::fromUtf8("sin Señal Distintiva se anula la carga de ") + fileName + QStringLiteral(" !"),
             MsgIcon::Exclamation);
      if (self) endRefusal();
      return;
    }
    List2->addItem(QStringLiteral("<STATION_CALLSIGN:") + typed);
  }
  const Status parsed = Command2_Click();
  if (!self) return;
  if (!parsed) return fail(parsed.error);
  endCompletedParse();
}

// ---- The parse step ------------------------------------------------------------------------

Status Form12::Command2_Click() {
  const StepScope scope(this);
  QPointer<Form12> self(this);
  ProgramState& st = state();
  Label8->setText(QStringLiteral("Procesando ..."));
  Label8->show();
  Label9->setText(QStringLiteral("0"));
  Label10->setText(QStringLiteral("0"));

  QStringList listLines;
  for (int i = 0; i < List2->count(); ++i) listLines << List2->item(i)->text();
  const QString stationCall = ImportTypedStationCall(listLines);
  const int n = int(qBound<long long>(0, vbValInt(Label6->text()), st.ImportRecordLines.size()));
  ProgressBar1->setRange(0, qMax(n, 1));
  ProgressBar1->setValue(0);

  ImportParseHooks hooks;
  // A window closed meanwhile ends the parse as a cancel does.
  hooks.cancelRequested = [&] { return !self || cancelPoll(); };
  hooks.turnDue = [&] { return !self || closedWhileRunning_ || state().ImportCancelRequested || pumpDue(); };
  hooks.recordDone = [&](int index, const ImportCounts& counts) {
    if (!self || !pumpDue()) return;
    Label9->setText(QString::number(counts.newQsos));
    Label10->setText(QString::number(counts.duplicates));
    ProgressBar1->setValue(index);
    pump();
  };
  ImportCounts counts;
  const Result<ImportParseEnd> end =
      ParseImportRecords(st.ImportRecordLines.mid(0, n), Label4->text(), stationCall, &counts, hooks);
  if (!self) return Status::success();
  // Only the rows really staged are counted, also after a failure.
  Label9->setText(QString::number(counts.newQsos));
  Label10->setText(QString::number(counts.duplicates));
  if (!end.ok()) return end.status;
  if (end.value == ImportParseEnd::Cancelled) {
    st.ImportRunning = false;
    // Nothing runs any more: the status line does not stay up over a hidden window.
    Label8->hide();
    hide();
    return Status::success();
  }
  for (const QString& line : ImportErrorLines(counts)) List2->addItem(line);
  st.ImportRunning = false;
  Label8->hide();
  return Status::success();
}

// ---- The load step --------------------------------------------------------------------------

void Form12::Command3_Click() {
  if (stepDepth_ > 0) return;
  QPointer<Form12> self(this);
  {
    const StepScope scope(this);
    loadStep();
  }
  if (self && closedWhileRunning_ && stepDepth_ == 0) unloadLater();
}

void Form12::loadStep() {
  QPointer<Form12> self(this);
  ProgramState& st = state();

  if (vbValInt(Label10->text()) != 0) {
    const MsgAnswer replace = msgBox(duplicatesQuestion(numberText(Label6), numberText(Label10)), MsgIcon::Question,
                                     MsgButtons::YesNo, MsgAnswer::No);
    if (!self) return;
    st.ImportReplaceDuplicates = replace == MsgAnswer::Yes;
  }
  Command1->setEnabled(false);
  Command3->setEnabled(false);
  st.ImportRunning = true;
  Label8->setText(QStringLiteral("Cargando ..."));
  Label8->show();
  ProgressBar1->setRange(0, int(qMax<long long>(vbValInt(Label6->text()), 1)));
  ProgressBar1->setValue(0);

  ImportLoadHooks hooks;
  hooks.cancelPending = [] { return state().ImportCancelRequested; };
  hooks.groupDone = [&](int written) {
    if (!self) return true;
    ProgressBar1->setValue(qMin(ProgressBar1->maximum(), written));
    if (!pump()) return true;
    return cancelPoll();
  };
  const ImportLoadEnd end = LoadStagedQsos(st.ImportReplaceDuplicates, hooks);
  if (!self) return;
  if (!end.failure.isEmpty()) {
    // The cause, and what the log holds now.
    showError(QStringLiteral("La carga de los QSOs se detuvo: los siguientes no se guardaron.\r\n\r\n") + end.failure +
              QStringLiteral("\r\n\r\nQSOs cargados: ") + QString::number(end.written));
    if (!self) return;
  }

  st.ImportCancelRequested = false;
  st.ImportRunning = false;
  form1().ListView2->clear();
  LoadLogPage(st.CurrentLogName, 1);
  Label8->hide();
  hide();
}

}  // namespace vz
