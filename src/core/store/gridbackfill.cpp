#include "store/gridbackfill.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSqlQuery>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <optional>

#include "platform/appexit.h"
#include "platform/database.h"
#include "platform/failure.h"
#include "store/logstore.h"

namespace vz {

namespace {

struct QueuedFill {
  QString file;  // the database file the save went into
  QString logName;
  QString call;
  QString grid;
  qint64 row = 0;  // its row in the table of pending back-fills; 0 when none could be written
  bool wroteAny = false;
  int lockedSteps = 0;  // steps in a row that met another program's lock
};

// Another program's lock: a step gives up at once and tries again this much later,
// so a long lock never holds the window; told once it has lasted this many tries.
constexpr int kLockRetryMs = 1000;
constexpr int kLockedStepsBeforeNotice = 10;

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

bool isLock(const QString& error) {
  return failureKindOf(error) == FailureKind::Locked || error.contains(failureKindText(FailureKind::Locked));
}

const QString& pendingTable() {
  static const QString t = QLatin1String(db::kGridBackFillTable);
  return t;
}

// The row that lets a back-fill cut by the end of the process be finished later.
qint64 writePending(const QString& logName, const QString& call, const QString& grid) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("INSERT INTO [%1] ([Nombre Log], [Estacion], [SuGrid]) VALUES (?, ?, ?)").arg(pendingTable()),
               {db::textValue(logName), db::textValue(call), db::textValue(grid)}))
    return 0;
  return q.lastInsertId().toLongLong();
}

// A row left behind only makes a later start look for QSOs that have their grid.
void removePending(qint64 row) {
  if (row > 0) (void)db::exec(QStringLiteral("DELETE FROM [%1] WHERE [id]=?").arg(pendingTable()), {row});
}

// How many QSOs the fill has still to write, when the lock lets it be read.
std::optional<qint64> stillLacking(const QueuedFill& fill) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT count(*) FROM Tabla1 WHERE [Nombre Log]=? AND [Estacion]=? AND "
                                 "([SuGrid] IS NULL OR [SuGrid]='')"),
               {db::textValue(fill.logName), db::textValue(fill.call)}) ||
      !q.next())
    return std::nullopt;
  return q.value(0).toLongLong();
}

QString lockNotice(const QueuedFill& fill) {
  const std::optional<qint64> left = stillLacking(fill);
  const QString which = left ? QStringLiteral("%1 QSOs anteriores sin grilla").arg(*left)
                             : QStringLiteral("sus QSOs anteriores sin grilla");
  return QStringLiteral("El QSO con %1 quedó guardado. Su grilla %2 todavía no se copió a %3: la base de datos "
                        "(%4) está en uso por otro programa.\r\n\r\nSe copiará sola en cuanto quede libre, o la "
                        "próxima vez que se abra el programa. No hace falta volver a guardar el QSO.")
      .arg(fill.call, fill.grid, which, fill.file);
}

struct StepEnd {
  bool more = false;     // a back-fill is still queued
  bool blocked = false;  // the first one met a lock and waits for its next try
};

StepEnd runStep(bool finishing);

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
  const qint64 row = writePending(logName, call, grid);
  queue().fills.push_back({currentFile(), logName, call, grid, row});
  schedule(0);
}

void ResumeGridBackFills() {
  if (!db::isOpen()) return;
  const QString file = currentFile();
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT [id], [Nombre Log], [Estacion], [SuGrid] FROM [%1] ORDER BY [id]")
                      .arg(pendingTable())))
    return;  // a later start tries again
  Queue& queued = queue();
  bool added = false;
  while (q.next()) {
    const qint64 row = q.value(0).toLongLong();
    const bool known = std::any_of(queued.fills.cbegin(), queued.fills.cend(),
                                   [&](const QueuedFill& f) { return f.row == row && f.file == file; });
    if (known) continue;
    queued.fills.push_back({file, db::text(q, 1), db::text(q, 2), db::text(q, 3), row});
    added = true;
  }
  if (added) schedule(0);
}

namespace {

StepEnd runStep(bool finishing) {
  Queue& q = queue();
  if (q.fills.empty()) return {};
  // A step inside someone's open transaction would be undone with it: it waits.
  if (db::transactionDepth() > 0) {
    schedule(50);
    return {true, true};
  }
  std::optional<QString> wroteInLog;  // set when a back-fill that wrote something ends
  QString error;
  bool blocked = false;
  int nextStepMs = 0;
  QueuedFill& fill = q.fills.front();
  if (fill.file != currentFile()) {
    // Another database is open now: that save's QSOs are not in it. Its row stays in
    // its own file, which finishes it when it is opened again.
    q.fills.pop_front();
  } else {
    // Between saves the step gives up at once on another program's lock and tries
    // again later, rather than holding the window in the engine's wait each time;
    // the program's end waits as any step does, then leaves it for the next start.
    if (!finishing) (void)db::exec(QStringLiteral("PRAGMA busy_timeout=0"));
    const Result<int> step = FillMissingGridStep(fill.logName, fill.call, fill.grid, kGridBackFillStep);
    if (!finishing) (void)db::exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(db::kBusyWaitMs));
    if (!step.ok() && isLock(step.error())) {
      blocked = true;
      nextStepMs = kLockRetryMs;
      // Told once, when the lock outlasts the wait; the fill stays queued either way.
      if (++fill.lockedSteps == kLockedStepsBeforeNotice && !finishing) error = lockNotice(fill);
    } else {
      fill.lockedSteps = 0;
      if (step.ok())
        fill.wroteAny = fill.wroteAny || step.value > 0;
      else  // told apart from the save, so the message says which QSOs it was about
        error = QStringLiteral("El QSO con %1 quedó guardado, pero su grilla %2 no se copió a sus QSOs "
                               "anteriores sin grilla.\r\n\r\n%3")
                    .arg(fill.call, fill.grid, step.error());
      if (!step.ok() || step.value < kGridBackFillStep) {
        if (fill.wroteAny) wroteInLog = fill.logName;
        removePending(fill.row);
        q.fills.pop_front();
      }
    }
  }
  // The handlers may open a window with its own event loop: the queue is already in
  // order and the next step scheduled before they run.
  schedule(nextStepMs);
  const bool more = !q.fills.empty();
  const auto filled = q.filled;
  const auto failed = q.failed;
  if (wroteInLog && filled) filled(*wroteInLog);  // also when a later step failed
  if (!error.isEmpty() && failed) failed(error);
  return {more, blocked};
}

}  // namespace

bool RunGridBackFillStep() { return runStep(false).more; }

void FinishGridBackFill() {
  for (;;) {
    const StepEnd end = runStep(true);
    if (!end.more || end.blocked) break;
  }
}

bool GridBackFillPending() { return !queue().fills.empty(); }

void setGridBackFillHandlers(std::function<void(const QString& logName)> filled,
                             std::function<void(const QString& error)> failed) {
  queue().filled = std::move(filled);
  queue().failed = std::move(failed);
}

}  // namespace vz
