// The main window's call-book lookups and the version check.
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

#include "mainwin/form1.h"
#include "online/callbook.h"
#include "online/form33.h"
#include "online/serviceanswer.h"
#include "online/versioncheck.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/webget.h"
#include "platform/steprunning.h"
#include "setup/form2.h"
#include "store/programstate.h"

namespace vz {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A lookup request that got no page at all: the operator hears of it instead of
// waiting for a window that never comes. A request refused for its password says why.
bool reportedFailure(const WebGet* channel) {
  if (channel->state() != WebGet::State::Failed) return false;
  showWarning(channel->refused() ? channel->errorString() : noConnectionText());
  return true;
}

}  // namespace

bool Form1::qrzLookupRunning() const { return WebBrowser2->isLoading() || WebBrowser3->isLoading(); }

void Form1::connectLookupChannels() {
  WebBrowser3 = new WebGet(this);
  // Queued: the answers, and the modal result window they open, run from the event
  // loop rather than inside the network layer's signal.
  connect(WebBrowser2, &WebGet::finished, this, &Form1::WebBrowser2_DocumentComplete, Qt::QueuedConnection);
  connect(WebBrowser3, &WebGet::finished, this, &Form1::WebBrowser3_DocumentComplete, Qt::QueuedConnection);
  connect(WebBrowser5, &WebGet::finished, this, &Form1::WebBrowser5_DocumentComplete, Qt::QueuedConnection);
}

// ---- QRZ ---------------------------------------------------------------------------

// "Q" and Ctrl+Q: log in to QRZ; the login answer starts the lookup.
void Form1::Command13_Click() {
  if (qrzLookupRunning()) return;  // pressed again while the lookup is on its way
  state().LookupCall = Corresponsal->text();
  const QString user = form2().Text5->text();
  const QString password = form2().Text6->text();
  if (user.isEmpty() || password.isEmpty()) {
    showWarning(QStringLiteral("Sin configurar Usuario o Contraseña!"));
    return;
  }
  WebBrowser2->get(QrzLoginUrl(user, password));
}

// The hidden HamQTH test button does nothing: its login would need an account
// shipped inside the program, and a fixed account is nobody's to hand out.
void Form1::Command12_Click() {}

// The login answer: the service's error, or the key that the lookup needs.
void Form1::WebBrowser2_DocumentComplete() {
  if (!state().MainFormReady) return;
  if (reportedFailure(WebBrowser2) || !WebBrowser2->isComplete()) return;
  const QrzLoginAnswer answer = ReadQrzLogin(WebBrowser2->text());
  if (!answer.error.isEmpty()) {
    msgBox(QStringLiteral("QRZ") + QStringLiteral(" dice:") + kCrLf + answer.error, MsgIcon::Critical);
    return;
  }
  if (!answer.key) {
    Text4->setPlainText(QStringLiteral("vacío!") + kCrLf);
    showWarning(UnusableAnswerText(QStringLiteral("QRZ"), QStringLiteral("el inicio de sesión"),
                                   WebBrowser2->statusCode(), WebBrowser2->innerText()));
    return;
  }
  Text4->setPlainText(*answer.key + kCrLf);
  WebBrowser3->get(QrzCallLookupUrl(*answer.key, state().LookupCall));
}

// The lookup answer, shown in the result window.
void Form1::WebBrowser3_DocumentComplete() {
  if (!state().MainFormReady) return;
  if (reportedFailure(WebBrowser3) || !WebBrowser3->isComplete()) return;
  const QString page = WebBrowser3->text();
  Text4->setPlainText(page + kCrLf);
  // An error page or junk is no "not in QRZ" answer.
  if (!ExtractTag(page, QStringLiteral("call")) &&
      (WebBrowser3->statusCode() >= 400 || !IsReadableAnswer(page) || !page.contains(QLatin1String("<?xml")))) {
    showWarning(UnusableAnswerText(QStringLiteral("QRZ"), QStringLiteral("la búsqueda de ") + state().LookupCall,
                                   WebBrowser3->statusCode(), page));
    return;
  }
  ShowQrzLookupResult(QrzResultText(page, state().LookupCall));
}

// ---- Ruk -----------------------------------------------------------------------------

// "L" and Ctrl+L: no account needed.
void Form1::Command14_Click() {
  // A lookup already on its way, or pausing before its answer, is not started again.
  if (WebBrowser5->isLoading() || stepRunning(this, "rukLookup")) return;
  state().LookupFromEditForm = false;
  state().LookupCall = Corresponsal->text();
  WebBrowser5->get(RukCallLookupUrl(state().LookupCall));
}

void Form1::WebBrowser5_DocumentComplete() {
  Text4->setPlainText(WebBrowser5->url().toString() + kCrLf);
  if (!state().MainFormReady) return;
  if (reportedFailure(WebBrowser5) || !WebBrowser5->isComplete()) return;
  // The page of this answer, whatever a request started during the pause brings.
  const QString page = WebBrowser5->text();

  // A second's pause before the answer is shown; other events run meanwhile.
  StepRunning step(this, "rukLookup");
  QPointer<Form1> self(this);
  state().WaitTickDone = false;
  Timer8->start(1000);
  QEventLoop wait;
  const auto ticked = connect(Timer8, &QTimer::timeout, &wait, &QEventLoop::quit, Qt::QueuedConnection);
  connect(Timer8, &QObject::destroyed, &wait, &QEventLoop::quit);  // the window closed meanwhile
  while (self && !state().WaitTickDone) wait.exec();
  if (!self) return;
  disconnect(ticked);

  Text4->setPlainText(QStringLiteral("Qt Network ") + QString::fromLatin1(qVersion()) + kCrLf + page + kCrLf);
  // Neither a call nor the service's own "not found" page: no window to fill.
  if (RukResult(page, state().LookupCall).text.isEmpty()) {
    showWarning(UnusableAnswerText(QStringLiteral("Ruk"), QStringLiteral("la búsqueda de ") + state().LookupCall,
                                   WebBrowser5->statusCode(), page));
    return;
  }
  ShowRukLookupResult(RukResult(page, state().LookupCall), state().LookupFromEditForm);
}

// ---- Version check ---------------------------------------------------------------------

// "Actualizaciones": the published version against this one.
void Form1::ac_Click() {
  // The menu stays usable while the version file loads: a second choice does nothing.
  StepRunning step(this, "versionCheck");
  if (!step.started()) return;

  // Each failure names its step and the address or file, then the system's words;
  // a bare code would tell the operator nothing.
  const QString asking = QStringLiteral("No se pudo consultar la versión publicada");
  const QString address = VersionFileUrl().toString();
  auto failure = [](const QString& text) { msgBox(text, MsgIcon::Critical); };

  if (!Inet1) Inet1 = new WebGet(this);
  QPointer<Form1> self(this);
  QEventLoop wait;
  connect(Inet1, &WebGet::finished, &wait, &QEventLoop::quit);
  connect(Inet1, &QObject::destroyed, &wait, &QEventLoop::quit);  // the window closed meanwhile
  Inet1->get(VersionFileUrl());
  if (Inet1->isLoading()) wait.exec();
  if (!self) return;
  if (Inet1->state() == WebGet::State::Failed) return failure(failureMessage(asking, address, Inet1->errorString()));
  if (Inet1->statusCode() >= 400)
    return failure(failureMessage(
        asking, address, QStringLiteral("El servidor respondió con el error ") + QString::number(Inet1->statusCode())));
  if (!IsReadableAnswer(Inet1->text()))
    return failure(failureMessage(asking, address,
                                  UnusableAnswerText(QStringLiteral("La Web del programa"),
                                                     QStringLiteral("la consulta de la versión"),
                                                     Inet1->statusCode(), Inet1->text())));

  const QString path = programFile(QStringLiteral("webo.txt"));
  QString error;
  if (!writeTextLines(path, {Inet1->text()}, &error))
    return failure(failureMessage(QStringLiteral("No se pudo guardar la versión descargada"), path, error));
  QStringList lines;
  if (!readTextLines(path, &lines))
    return failure(failureMessage(QStringLiteral("No se pudo leer la versión descargada"), path,
                                  readFailureReason(path)));
  const QString webLine = VersionFirstLine(lines.value(0));

  const VersionCheckOutcome outcome = CompareVersions(state().ProgramVersion, webLine);
  if (!outcome.ok) return failure(outcome.text + QStringLiteral("\r\n(") + address + u')');
  msgBox(outcome.text, MsgIcon::Exclamation);
}

}  // namespace vz
