// The search view's uploads of its listed QSOs: one request per QSO, answered or
// timed out before the next goes.
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "exchange/form6.h"
#include "exchange/searchlistmodel.h"
#include "exchange/form6upload.h"
#include "online/listupload.h"
#include "online/serviceanswer.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "platform/steprunning.h"
#include "setup/form2.h"
#include "store/programstate.h"

namespace vz {

UploadRunState& uploadRun() {
  static UploadRunState s;
  return s;
}

namespace {

const QString kNoAccount = QStringLiteral("Sin configurar Usuario o Contraseña!");
const QString kManyQsos = QStringLiteral(
    "Más de 50 QSOs para subir!\r\n\r\npuede que domore mucho tiempo, prosigue o Cancela?\r\n\r\n"
    "SUGERENCIA: Filre por fecha para subilos en etapas");
const QString kNoQsosToUpload = QStringLiteral("No hay QSOs para exportar!");
const QString kDashes28 = QString(28, u'-');

UploadQso uploadQsoFromRow(const QsoListRow& row) {
  const auto& c = row.cells;
  UploadQso q;
  q.call = c[2];
  q.band = c[3];
  q.frequency = c[4];
  q.mode = c[5];
  q.reportSent = c[6];
  q.date = c[8];
  q.time = c[9];
  q.ownCall = c[10];
  q.remarks = c[12];
  q.satellite = c[16];
  return q;
}

// A run sends at most this many rows; the rest are left for a later run.
constexpr int kUploadRowLimit = 2000;

// What a run goes ahead with: the rows it sends (at most kUploadRowLimit) out of the
// rows listed.
struct UploadRows {
  QList<UploadQso> rows;
  int listed = 0;
  bool cut() const { return listed > rows.size(); }
};

// The line that says which rows a run left unsent.
QString unsentRowsLine(const UploadRows& r) {
  return QStringLiteral("No se enviaron los QSOs después del %1 (%2 QSOs): se suben a lo sumo %1 por vez. "
                        "Filtre por fecha para subir el resto.")
      .arg(kUploadRowLimit)
      .arg(r.listed - int(r.rows.size()));
}

// The first questions of both runs. Empty when the run does not go ahead.
std::optional<UploadRows> askAndTakeRows(Form6& f, const QString& user, const QString& password) {
  if (user.isEmpty() || password.isEmpty()) {
    msgBox(kNoAccount, MsgIcon::Exclamation);
    return std::nullopt;
  }
  const double listed = vbVal(f.Label6->text());
  if (listed > 50 && msgBox(kManyQsos, MsgIcon::Exclamation, MsgButtons::OkCancel, MsgAnswer::Cancel) != MsgAnswer::Ok)
    return std::nullopt;
  state().UseCommentAsQslMsg = msgBox(QStringLiteral("Desea usar el campo COMMENT como QSLMSG?"), MsgIcon::Question,
                                      MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes;
  // The rows are taken as listed now: a search during the run cannot change what is sent.
  UploadRows taken;
  taken.listed = std::max(0, int(std::min<double>(listed, f.ListModel->count())));
  if (taken.listed == 0) {
    msgBox(kNoQsosToUpload, MsgIcon::Exclamation);
    return std::nullopt;
  }
  const int n = std::min(taken.listed, kUploadRowLimit);
  taken.rows.reserve(n);
  for (int i = 0; i < n; ++i) taken.rows << uploadQsoFromRow(f.ListModel->rowAt(i));
  return taken;
}

}  // namespace

void Form6::setUpUploads() {
  WebBrowser1 = new WebGet(this);
  WebBrowser1->setTimeout(0);  // Timer2 decides when a request has waited long enough
  connect(WebBrowser1, &WebGet::finished, this, [this] { WebBrowser1_NavigateComplete2(); });
  connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
}

void Form6::stopUpload() {
  uploadStop_ = true;
  WebBrowser1->abort();
  if (answerWait_) answerWait_->quit();
}

// Sends one request and waits for its answer or the time-out. False when no answer
// came: the request is abandoned with its reply, so a late answer cannot pass for
// the next one's.
bool Form6::waitForAnswer(const QUrl& url) {
  UploadRunState& run = uploadRun();
  run.AnswerReceived = false;
  QEventLoop loop;
  answerWait_ = &loop;
  Timer2->start();
  WebBrowser1->get(url);
  if (!run.AnswerReceived && !uploadStop_) loop.exec();
  answerWait_ = nullptr;
  Timer2->stop();
  const bool answered = WebBrowser1->state() != WebGet::State::Loading;
  if (!answered) WebBrowser1->abort();
  QCoreApplication::processEvents();
  return answered;
}

void Form6::Timer2_Timer() {
  uploadRun().AnswerReceived = true;
  if (answerWait_) answerWait_->quit();
}

void Form6::WebBrowser1_NavigateComplete2() {
  if (state().SearchViewOpening) return;
  UploadRunState& run = uploadRun();
  const bool failed = WebBrowser1->state() == WebGet::State::Failed;
  const int status = WebBrowser1->statusCode();
  const QString answer = failed ? QString() : WebBrowser1->innerText();
  const UploadAnswer said = ClassifyUploadAnswer(answer);
  if (WebBrowser1->refused()) {
    // Nothing left: the run ends on this line.
    run.LastAnswerText = WebBrowser1->errorString();
    run.AnswerColor = kAnswerRed;
  } else if (failed) {
    // A page that did not come is no answer of the service: shown red, counted nowhere.
    run.LastAnswerText = QStringLiteral("Sin respuesta: ") + WebBrowser1->errorString();
    run.AnswerColor = kAnswerRed;
  } else if (!IsReadableAnswer(answer) || (status >= 400 && !said.error)) {
    // Not the service's words: said so for this row, never shown as it came.
    run.LastAnswerText = UnusableAnswerText(Frame5->title().contains(QLatin1String("eQSL")) ? QStringLiteral("eQSL")
                                                                                            : QStringLiteral("Rukanet"),
                                            QStringLiteral("la carga del QSO"), status, answer);
    run.AnswerColor = kAnswerRed;
  } else if (status >= 400) {
    // The service's own refusal on an error page: shown, counted nowhere, and a
    // wrong password still ends the run.
    run.LastAnswerText = answer;
    run.AnswerColor = kAnswerRed;
    if (said.abort) run.UploadAborted = true;
  } else {
    run.LastAnswerText = answer;
    const UploadAnswer& a = said;
    run.AnswerColor = a.error ? kAnswerRed : kAnswerDarkGreen;
    if (a.abort) run.UploadAborted = true;
    ProgressBar1->setValue(std::min(ProgressBar1->value() + 1, ProgressBar1->maximum()));
    run.RukDuplicateCount += a.rukDuplicate;
    run.RukLoadedCount += a.rukLoaded;
    run.EqslDuplicateCount += a.eqslDuplicate;
    run.EqslLoadedCount += a.eqslLoaded;
  }
  AppendUploadAnswerLine(run.AnswerColor, run.LastAnswerText);
  run.AnswerReceived = true;
  if (answerWait_) answerWait_->quit();
}

void Form6::Command6_Click() {
  if (uploading_) return;
  StepRunning step(this, "upload");
  const std::optional<UploadRows> rows = askAndTakeRows(*this, form2().Text8->text(), form2().Text7->text());
  if (!rows) return;
  uploading_ = true;
  uploadStop_ = false;
  UploadRunState& run = uploadRun();

  Frame5->setTitle(QStringLiteral("Respuesta de Rukanet ..."));
  RichTextBox1->clear();
  Command7->setEnabled(false);
  AppendUploadAnswerLine(kAnswerBlack, QStringLiteral("Conectando con Ruk ..."));
  run.UploadAborted = false;
  QCoreApplication::processEvents();
  run.RukLoadedCount = 0;
  run.RukDuplicateCount = 0;
  const QString user = form2().Text8->text();
  const QString password = form2().Text7->text();
  Frame5->show();
  Frame5->raise();
  ProgressBar1->setMaximum(rows->listed);
  ProgressBar1->setValue(0);

  for (const UploadQso& q : rows->rows) {
    const Result<QUrl> url = RukListUploadUrl(user, password, q, state().UseCommentAsQslMsg);
    if (!url.ok()) {
      AppendUploadAnswerLine(kAnswerRed, q.call + QStringLiteral(": ") + url.error());
      Command7->setEnabled(true);
      AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("Desconectado de Ruk."));
      uploading_ = false;
      return;
    }
    // A row without an answer in time leaves no line and counts nowhere.
    waitForAnswer(url.value);
    if (WebBrowser1->refused()) {
      Command7->setEnabled(true);
      AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("Desconectado de Ruk."));
      uploading_ = false;
      return;
    }
    if (run.UploadAborted || uploadStop_) break;
  }
  if (rows->cut() && !run.UploadAborted && !uploadStop_) {
    // The rows after the limit are not sent: the run ends as a failed one, saying so.
    Command7->setEnabled(true);
    AppendUploadAnswerLine(kAnswerRed, unsentRowsLine(*rows));
    AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("Desconectado de Ruk."));
    uploading_ = false;
    return;
  }

  Command7->setEnabled(true);
  AppendUploadAnswerLine(kAnswerDarkBlue, kDashes28);
  AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("QSOs   Cargados: ") + QString::number(run.RukLoadedCount));
  AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("QSOs Duplicados: ") + QString::number(run.RukDuplicateCount));
  AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("Desconectado de Ruk."));
  AppendUploadAnswerLine(kAnswerDarkBlue, kDashes28);
  uploading_ = false;
}

void Form6::Command8_Click() {
  if (uploading_) return;
  StepRunning step(this, "upload");
  const std::optional<UploadRows> rows = askAndTakeRows(*this, form2().Text9->text(), form2().Text10->text());
  if (!rows) return;
  uploading_ = true;
  uploadStop_ = false;
  UploadRunState& run = uploadRun();

  run.EqslLoadedCount = 0;
  run.EqslDuplicateCount = 0;
  Frame5->setTitle(QStringLiteral("Respuesta de Log eQSL ..."));
  RichTextBox1->clear();
  Command8->setEnabled(false);
  AppendUploadAnswerLine(kAnswerBlack, QStringLiteral("Conectando con eQSL ..."));
  AppendUploadAnswerLine(kAnswerBlack, QString(26, u'-'));
  run.UploadAborted = false;
  QCoreApplication::processEvents();
  const QString user = form2().Text9->text();
  const QString password = form2().Text10->text();
  Frame5->show();
  Frame5->raise();
  ProgressBar1->setMaximum(rows->listed);
  ProgressBar1->setValue(0);
  const QString header = EqslHeader(state().ProgramVersion);

  for (const UploadQso& q : rows->rows) {
    const Result<QString> record = EqslRecord(q, state().UseCommentAsQslMsg);
    if (!record.ok()) {
      AppendUploadAnswerLine(kAnswerRed, q.call + QStringLiteral(": ") + record.error());
      Command8->setEnabled(vbVal(Label6->text()) != 0);
      AppendUploadAnswerLine(kAnswerBlack, QStringLiteral("Desconectado de eQSL."));
      uploading_ = false;
      return;
    }
    AppendUploadAnswerLine(kAnswerDarkBlue, record.value.left(75) + QStringLiteral(" ..."));
    waitForAnswer(EqslUploadUrl(header + record.value, user, password));
    if (WebBrowser1->refused()) {
      Command8->setEnabled(vbVal(Label6->text()) != 0);
      AppendUploadAnswerLine(kAnswerBlack, QStringLiteral("Desconectado de eQSL."));
      uploading_ = false;
      return;
    }
    if (run.UploadAborted || uploadStop_) break;
  }
  if (rows->cut() && !run.UploadAborted && !uploadStop_) {
    Command8->setEnabled(vbVal(Label6->text()) != 0);
    AppendUploadAnswerLine(kAnswerRed, unsentRowsLine(*rows));
    AppendUploadAnswerLine(kAnswerBlack, QStringLiteral("Desconectado de eQSL."));
    uploading_ = false;
    return;
  }

  Command8->setEnabled(vbVal(Label6->text()) != 0);
  AppendUploadAnswerLine(kAnswerDarkBlue, kDashes28);
  AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("QSOs   Cargados: ") + QString::number(run.EqslLoadedCount));
  AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("QSOs Duplicados: ") + QString::number(run.EqslDuplicateCount));
  AppendUploadAnswerLine(kAnswerDarkBlue, QStringLiteral("Desconectado de eQSL."));
  AppendUploadAnswerLine(kAnswerDarkBlue, kDashes28);
  uploading_ = false;
}

}  // namespace vz
