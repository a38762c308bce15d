// The main window's upload of the current log to the online log service with the
// check of each QSO's confirmation.
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeWidget>
#include <vector>

#include "contest/form13.h"
#include "mainwin/form1.h"
#include "online/checkupload.h"
#include "online/listupload.h"
#include "online/serviceanswer.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/webget.h"
#include "platform/steprunning.h"
#include "setup/form2.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace vz {

namespace {

// A QSO the run sends: its id, its worked call and the request's values, or why
// they could not be prepared.
struct PendingQso {
  QString id;
  QString call;
  Result<CheckUploadValues> values;
};

// The current log's rows in date and time order; the log name is bound.
Result<std::vector<LogQso>> currentLogRows() {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT * FROM Tabla1 WHERE [Nombre Log]=? ORDER BY %1 ASC, [Hora] ASC, [id] ASC")
                               .arg(QLatin1String(db::kFechaKey)),
                           {db::textValue(state().CurrentLogName)});
  if (!s) return Result<std::vector<LogQso>>::failure(s.error);
  std::vector<LogQso> rows;
  while (q.next()) rows.push_back(readLogQso(q));
  return Result<std::vector<LogQso>>::of(std::move(rows));
}

void addResultLine(const QString& line, bool follow) {
  QListWidget* list = form13().List1;
  list->addItem(line);
  if (follow) list->setCurrentRow(list->count() - 1);
}

}  // namespace

void Form1::suych_Click() {
  // The run hands control to the event loop while it waits; a second start meanwhile
  // would interleave two runs over the same QSOs.
  StepRunning step(this, "confirmCheck");
  if (!step.started()) return;

  Form2& config = form2();
  if (config.user_ruk->text().isEmpty()) {
    msgBox(QStringLiteral("Falta configurar el usuario de Ruk!"), MsgIcon::Exclamation);
    config.show();
    return;
  }
  if (config.pass_ruk->text().isEmpty()) {
    msgBox(QStringLiteral("Falta configurar la contraseña de Ruk!"), MsgIcon::Exclamation);
    config.show();
    return;
  }

  const QString logName = state().CurrentLogName;
  form13().List1->clear();
  const Result<std::vector<LogQso>> rows = currentLogRows();
  if (!rows.ok()) {
    msgBox(rows.error());
    return;
  }

  QPointer<Form1> self(this);
  CheckScanCounts counts;
  QStringList ownCalls;
  std::vector<PendingQso> pending;
  for (const LogQso& row : rows.value) {
    QApplication::processEvents();
    const CheckRowKind kind = ClassifyCheckRow(row.Estacion, row.Ruk, row.Argento);
    if (kind == CheckRowKind::NotQso) continue;
    ++counts.qsos;
    switch (kind) {
      case CheckRowKind::Confirmed: ++counts.confirmed; continue;
      case CheckRowKind::Mobile: ++counts.mobile; continue;
      case CheckRowKind::Foreign: ++counts.foreign; continue;
      default: break;
    }
    ++counts.toSend;
    if (!ownCalls.contains(row.MyCall)) ownCalls << row.MyCall;
    const CheckRow values{row.MyCall, row.Estacion, row.Banda, row.Modo, row.Fecha, row.Hora, row.RSE, row.Nombre_Sat};
    pending.push_back({QString::number(row.id), row.Estacion, PrepareCheckUpload(values)});
  }
  QApplication::processEvents();
  if (!self) return;

  if (counts.qsos == 0) {
    msgBox(QStringLiteral("No hay QSOs en el log ") + logName, MsgIcon::Exclamation);
    return;
  }
  if (counts.toSend == 0) {
    msgBox((counts.confirmed == 0 ? QStringLiteral("No hay estaciones argentinas en")
                                  : QStringLiteral("No hay estaciones argentinas que no se hayan subido a Ruk en")) +
               QStringLiteral("\r\nLog: ") + logName,
           MsgIcon::Exclamation);
    return;
  }

  form13().show();
  if (msgBox(CheckUploadPrompt(logName, counts, ownCalls), MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) !=
      MsgAnswer::Yes) {
    form13().hide();
    return;
  }

  // The account is read again: the operator may have corrected it while asked.
  const QString user = config.user_ruk->text();
  const QString password = config.pass_ruk->text();
  Timer10->start();
  const auto pauseOff = qScopeGuard([self] {
    if (self) self->Timer10->stop();
  });

  WebGet page;
  page.setTimeout(0);  // the wait gives up by the configuration dialog's ticker
  int unconfirmed = 0, uploaded = 0, errors = 0;
  bool statusWritten = false;
  const int toSend = std::min(counts.toSend, kCheckUploadLimit);
  for (int k = 1; k <= toSend; ++k) {
    const PendingQso& qso = pending[size_t(k - 1)];
    state().PauseTickDone = false;
    if (!qso.values.ok()) {
      // Nothing is sent for a row whose values cannot be read; the operator sees why.
      ++errors;
      addResultLine(QString::number(k) + u' ' + qso.call + u' ' + qso.values.error(), false);
    } else {
      const Form2::PageWait wait =
          config.WaitForPage(page, RukCheckUploadUrl(user, password, qso.values.value));
      if (!self) return;
      if (wait == Form2::PageWait::TimedOut) {
        msgBox(noConnectionText(), MsgIcon::Exclamation);
        form13().hide();
        // The statuses already written show in the main list, as after a whole run.
        if (statusWritten) {
          ListView2->clear();
          LoadLogPage(logName, 1);
        }
        return;
      }
      if (page.refused()) {
        // The password would have left in clear text: nothing was sent.
        msgBox(page.errorString(), MsgIcon::Exclamation);
        form13().hide();
        return;
      }
      const QString answer = wait == Form2::PageWait::Failed ? QString() : page.innerText();
      if (wait == Form2::PageWait::Failed) {
        ++errors;
        addResultLine(QString::number(k) + u' ' + qso.call + QStringLiteral(" Sin respuesta: ") + page.errorString(),
                      false);
      } else if (!IsReadableAnswer(answer) || (page.statusCode() >= 400 && !SaysWrongPassword(answer))) {
        // The server's error page or no text: a failure, never a result.
        ++errors;
        addResultLine(QString::number(k) + u' ' + qso.call + u' ' +
                          UnusableAnswerText(QStringLiteral("Rukanet"), QStringLiteral("el chequeo del QSO"),
                                             page.statusCode(), answer),
                      false);
      } else {
        QApplication::processEvents();
        if (!self) return;
        const CheckAnswer result = ParseCheckAnswer(k, qso.call, answer);
        if (result.error) {
          ++errors;
        } else {
          if (result.unconfirmed) ++unconfirmed;
          if (result.uploaded) ++uploaded;
          // A failed write is shown; the run goes on.
          for (const QString& status : result.statuses)
            if (const Status written = SetQsoRukStatus(qso.id, status); !written) showError(written.error);
          statusWritten = statusWritten || !result.statuses.isEmpty();
        }
        addResultLine(result.line, !result.error);
        // Every further request would carry the same wrong password.
        if (SaysWrongPassword(answer)) break;
      }
    }
    // One request at a time, and at least one pause tick between two of them.
    while (!state().PauseTickDone) {
      QEventLoop loop;
      connect(Timer10, &QTimer::timeout, &loop, &QEventLoop::quit, Qt::QueuedConnection);
      connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
      loop.exec();
      if (!self) return;
    }
    QApplication::processEvents();
    if (!self) return;
  }

  const QString summary = CheckUploadSummary(unconfirmed, uploaded, errors);
  if (!summary.isEmpty()) msgBox(summary);
  ListView2->clear();
  LoadLogPage(logName, 1);
}

}  // namespace vz
