#include "store/gridbackfill.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSqlQuery>
#include <QTimer>
#include <deque>
#include <optional>

#include "platform/appexit.h"
#include "platform/database.h"
#include "store/logstore.h"

namespace vz {

namespace {

struct QueuedFill {
  QString file;  // the database file the save went into
  QString logName;
  QString call;
  QString grid;
  bool wroteAny = false;
};

struct Queue {
  std::deque<QueuedFill> fills;
  QPointer<QTimer> timer;
  std::function<void(const QString&)> filled;
  std::function<void(const QString&)> failed;
};

Queue& queue() {
  static Queue q;
  return q;
}

// The file the database layer works on, also while it is closed between a lock and
// the next step that opens it again.
QString currentFile() {
  if (db::isOpen() || db::folder().isEmpty()) return db::path();
  return QDir(db::folder()).filePath(QLatin1String(db::kFileName));
}

// A timer of its own, not a queued call: queued calls posted from a step would all
// run before the next key press, and the window would wait for the whole back-fill.
void schedule(int delayMs) {
  Queue& q = queue();
  if (q.fills.empty() || !QCoreApplication::instance()) return;
  if (!q.timer) {
    q.timer = new QTimer(QCoreApplication::instance());
    q.timer->setSingleShot(true);
    QObject::connect(q.timer, &QTimer::timeout, [] { RunGridBackFillStep(); });
  }
  if (!q.timer->isActive() || q.timer->interval() > delayMs) q.timer->start(delayMs);
}

}  // namespace

Result<int> FillMissingGridStep(const QString& logName, const QString& call, const QString& grid, int limit) {
  if (Status one = CheckOneLineValues({grid}); !one) return Result<int>::failure(one.error);
  // The station index ends with the grid, so the QSOs to fill are found there and
  // only they are read from the table.
  QSqlQuery q(db::connection());
  const Status s = db::run(q,
                           QStringLiteral("UPDATE Tabla1 SET [SuGrid]=? WHERE [id] IN (SELECT [id] FROM Tabla1 "
                                          "WHERE [Nombre Log]=? AND [Estacion]=? AND ([SuGrid] IS NULL OR [SuGrid]='') "
                                          "LIMIT ?)"),
                           {db::textValue(grid), db::textValue(logName), db::textValue(call), limit});
  if (!s) return Result<int>::failure(s.error);
  return Result<int>::of(q.numRowsAffected());
}

void QueueGridBackFill(const QString& logName, const QString& call, const QString& grid) {
  // The operator who ends the program right after a save still gets the grids.
  static const bool finishedAtEnd = (addProgramEndWork(FinishGridBackFill), true);
  (void)finishedAtEnd;
  queue().fills.push_back({currentFile(), logName, call, grid});
  schedule(0);
}

bool RunGridBackFillStep() {
  Queue& q = queue();
  if (q.fills.empty()) return false;
  // A step inside someone's open transaction would be undone with it: it waits.
  if (db::transactionDepth() > 0) {
    schedule(50);
    return true;
  }
  std::optional<QString> wroteInLog;  // set when a back-fill that wrote something ends
  QString error;
  QueuedFill& fill = q.fills.front();
  if (fill.file != currentFile()) {
    q.fills.pop_front();  // another database is open now: that save's QSOs are not in it
  } else {
    const Result<int> step = FillMissingGridStep(fill.logName, fill.call, fill.grid, kGridBackFillStep);
    if (step.ok())
      fill.wroteAny = fill.wroteAny || step.value > 0;
    else  // told apart from the save, so the message says which QSOs it was about
      error = QStringLiteral("El QSO con %1 quedó guardado, pero su grilla %2 no se copió a sus QSOs "
                             "anteriores sin grilla.\r\n\r\n%3")
                  .arg(fill.call, fill.grid, step.error());
    if (!step.ok() || step.value < kGridBackFillStep) {
      if (fill.wroteAny) wroteInLog = fill.logName;
      q.fills.pop_front();
    }
  }
  // The handlers may open a window with its own event loop: the queue is already in
  // order and the next step scheduled before they run.
  schedule(0);
  const bool more = !q.fills.empty();
  const auto filled = q.filled;
  const auto failed = q.failed;
  if (wroteInLog && filled) filled(*wroteInLog);  // also when a later step failed
  if (!error.isEmpty() && failed) failed(error);
  return more;
}

void FinishGridBackFill() {
  while (db::transactionDepth() == 0 && RunGridBackFillStep()) {
  }
}

bool GridBackFillPending() { return !queue().fills.empty(); }

void setGridBackFillHandlers(std::function<void(const QString& logName)> filled,
                             std::function<void(const QString& error)> failed) {
  queue().filled = std::move(filled);
  queue().failed = std::move(failed);
}

}  // namespace vz
