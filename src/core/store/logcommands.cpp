#include "store/logcommands.h"

#include <QRegularExpression>
#include <algorithm>
#include <iterator>
#include <QSqlQuery>
#include <QVariant>

#include "platform/database.h"
#include "platform/textutil.h"

namespace vz {

namespace {

const QString kQsosSuffix = QStringLiteral(" QSOs)");

// Runs a query expected to give at most one Tabla1 row.
Result<std::optional<LogQso>> firstRow(const QString& sql, std::initializer_list<QVariant> values) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, sql, values);
  if (!s) return Result<std::optional<LogQso>>::failure(s.error);
  if (!q.next()) return Result<std::optional<LogQso>>::of(std::nullopt);
  return Result<std::optional<LogQso>>::of(readLogQso(q));
}

// A typed call as a LIKE pattern that matches the calls beginning with it: "?" is
// any one character, "*" any run; the LIKE wildcards of the text itself are literal.
QString workedBeforePattern(const QString& call) {
  QString pattern;
  for (const QChar c : call) {
    if (c == QLatin1Char('?'))
      pattern += QLatin1Char('_');
    else if (c == QLatin1Char('*'))
      pattern += QLatin1Char('%');
    else if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
      pattern += QLatin1Char('\\') + c;
    else
      pattern += c;
  }
  return pattern + QLatin1Char('%');
}

}  // namespace

namespace {

// The logs read a name at a time from the log-name index: each step takes the first
// entry past the name before it, so the cost follows the number of logs, not of QSOs,
// and the table is never read. The index compares names without regard to letter
// case, as the names compare everywhere; of names that differ only in case, the
// index's first stands for the log. A QSO's count comes from the month counts, which
// the table's triggers keep for every named row that holds a mode.
const QString kLogWalk = QStringLiteral(
    "WITH RECURSIVE logs(n) AS ("
    "SELECT (SELECT [Nombre Log] FROM Tabla1 WHERE [Nombre Log] IS NOT NULL ORDER BY [Nombre Log] LIMIT 1) "
    "UNION ALL "
    "SELECT (SELECT [Nombre Log] FROM Tabla1 WHERE [Nombre Log]>logs.n ORDER BY [Nombre Log] LIMIT 1) "
    "FROM logs WHERE logs.n IS NOT NULL) ");

Result<QList<LogWithCount>> walkLogs(bool counted) {
  QList<LogWithCount> logs;
  {
    QSqlQuery q(db::connection());
    q.setForwardOnly(true);
    const QString select =
        counted ? QStringLiteral("SELECT n, (SELECT coalesce(sum([Cuenta]),0) FROM [%1] WHERE [Nombre Log]=logs.n) "
                                 "FROM logs WHERE n IS NOT NULL")
                      .arg(QLatin1String(db::kMonthCountTable))
                : QStringLiteral("SELECT n, 0 FROM logs WHERE n IS NOT NULL");
    const Status s = db::run(q, kLogWalk + select);
    if (!s) return Result<QList<LogWithCount>>::failure(s.error);
    while (q.next()) logs.append({db::text(q, 0), q.value(1).toLongLong()});
  }
  // Rows without a name belong to the empty name, which sorts before every other;
  // the month counts leave them out, so they are counted here (from the index too).
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, QStringLiteral("SELECT count(*), count(CASE WHEN [Modo]<>'' THEN 1 END) FROM Tabla1 "
                                             "WHERE [Nombre Log] IS NULL"));
  if (!s) return Result<QList<LogWithCount>>::failure(s.error);
  if (q.next() && q.value(0).toLongLong() > 0) {
    if (logs.isEmpty() || !logs.first().name.isEmpty()) logs.prepend({QStringLiteral(""), 0});
    logs.first().qsos += q.value(1).toLongLong();
  }
  return Result<QList<LogWithCount>>::of(logs);
}

}  // namespace

Result<QStringList> ListLogNames() {
  const Result<QList<LogWithCount>> logs = walkLogs(false);
  if (!logs.ok()) return Result<QStringList>::failure(logs.error());
  QStringList names;
  for (const LogWithCount& l : logs.value) names << l.name;
  return Result<QStringList>::of(names);
}

Result<QList<LogWithCount>> ListLogsWithCounts() { return walkLogs(true); }

QString LogPickerEntry(const QString& name, long long qsos) {
  return name + QStringLiteral(" (") + QString::number(qsos) + kQsosSuffix;
}

QString LogNameFromPickerEntry(const QString& entry) {
  // Only the count the listing appended goes: a name may itself hold " (".
  static const QRegularExpression kCount(QStringLiteral(" \\(\\d+ QSOs\\)$"));
  const QRegularExpressionMatch m = kCount.match(entry);
  return m.hasMatch() ? entry.left(m.capturedStart()) : entry;
}

QString NewLogName(const QString& answer) {
  QString name = oneLine(answer);
  name.remove(QLatin1Char('\''));
  return name.left(kLogNameLength);
}

Result<bool> LogExists(const QString& name) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  // Compared here rather than in SQL: letter case aside for every letter (ñ, á), not
  // only the ASCII ones SQLite folds.
  const Status s = db::run(q, QStringLiteral("SELECT DISTINCT [Nombre Log] FROM Tabla1"));
  if (!s) return Result<bool>::failure(s.error);
  const QString wanted = name.toUpper();
  while (q.next())
    if (db::text(q, 0).toUpper() == wanted) return Result<bool>::of(true);
  return Result<bool>::of(false);
}

Status CreateLog(const QString& name) { return LogPlaceholderRow(name); }

Status DeleteLog(const QString& name) {
  return db::exec(QStringLiteral("DELETE FROM Tabla1 WHERE [Nombre Log]=?"), {db::textValue(name)});
}

Result<QString> LogAfterDelete() {
  const Result<QStringList> names = ListLogNames();
  if (!names.ok()) return Result<QString>::failure(names.error());
  return Result<QString>::of(names.value.isEmpty() ? kLogWhenNoneLeft : names.value.first());
}

Result<std::optional<LogQso>> FindLogQso(const QString& logName, qint64 id) {
  return firstRow(QStringLiteral("SELECT * FROM Tabla1 WHERE [Nombre Log]=? AND [id]=? AND [Modo]<>''"),
                  {db::textValue(logName), id});
}

Result<std::optional<LogQso>> FindQsoById(qint64 id) {
  return firstRow(QStringLiteral("SELECT * FROM Tabla1 WHERE [id]=?"), {id});
}

Result<std::optional<LogQso>> NewestLogQso(const QString& logName) {
  return firstRow(QStringLiteral("SELECT * FROM Tabla1 WHERE [Nombre Log]=? AND [Modo]<>'' "
                                 "ORDER BY %1 DESC, [Hora] DESC LIMIT 1")
                      .arg(QLatin1String(db::kFechaKey)),
                  {db::textValue(logName)});
}

Status SaveEditedQso(const EditedQso& e, qint64 id) {
  // The QSO keeps its log; only the own call comes from the dialog.
  if (Status own = CheckOwnCall(e.ownCall); !own) return own;
  // A value holding a line break or tab is refused unless the QSO already held it
  // in that column: the edit dialog writes back an unchanged value as it was stored.
  const QString values[] = {e.mode,         e.band,    e.ownCall,    e.call,      e.date,      e.time,
                            e.reportSent,   e.reportReceived, e.remarks, e.operatorCall, e.ownGrid,
                            e.workedGrid,   e.frequency, e.satellite, e.province};
  const char* const columns[] = {"Modo", "Banda", "MyCall", "Estacion", "Fecha", "Hora", "RSE", "RSR",
                                 "Obs",  "Operador", "MiGrid", "SuGrid", "Frecuencia", "Nombre_Sat", "Argento"};
  if (std::any_of(std::begin(values), std::end(values), [](const QString& v) { return breaksLine(v); })) {
    QSqlQuery old(db::connection());
    const Status read = db::run(old, QStringLiteral("SELECT * FROM Tabla1 WHERE [id]=?"), {id});
    if (!read) return read;
    const bool found = old.next();
    for (size_t i = 0; i < std::size(values); ++i) {
      if (!breaksLine(values[i]) || (found && db::text(old, columns[i]) == values[i])) continue;
      if (Status one = CheckOneLineValues({values[i]}); !one) return one;
    }
  }
  QSqlQuery q(db::connection());
  const Status s = db::run(q,
                           QStringLiteral("UPDATE Tabla1 SET [Modo]=?, [Banda]=?, [MyCall]=?, [Estacion]=?, "
                                          "[Fecha]=?, [Hora]=?, [RSE]=?, [RSR]=?, [Obs]=?, [Operador]=?, "
                                          "[MiGrid]=?, [SuGrid]=?, [Frecuencia]=?, [Ruk]=?, [Nombre_Sat]=?, "
                                          "[Argento]=? WHERE [id]=?"),
                           {db::textValue(e.mode), db::textValue(e.band), db::textValue(e.ownCall),
                            db::textValue(e.call), db::textValue(e.date), db::textValue(e.time),
                            db::textValue(e.reportSent), db::textValue(e.reportReceived), db::textValue(e.remarks),
                            db::textValue(e.operatorCall), db::textValue(e.ownGrid), db::textValue(e.workedGrid),
                            db::textValue(e.frequency), db::emptyText(), db::textValue(e.satellite),
                            db::textValue(e.province), id});
  if (!s) return s;
  if (q.numRowsAffected() < 1) return Status::failure(QStringLiteral("El QSO #%1 ya no existe!").arg(id));
  return Status::success();
}

Status DeleteQso(qint64 id) { return db::exec(QStringLiteral("DELETE FROM Tabla1 WHERE [id]=?"), {id}); }

Result<QList<LogQso>> FindWorkedBefore(const QString& logName, const QString& call) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT * FROM Tabla1 WHERE [Nombre Log]=? AND [Estacion] LIKE ? "
                                          "ESCAPE '\\' ORDER BY %1 ASC, [id] ASC")
                               .arg(QLatin1String(db::kFechaKey)),
                           {db::textValue(logName), workedBeforePattern(call)});
  if (!s) return Result<QList<LogQso>>::failure(s.error);
  QList<LogQso> rows;
  while (q.next()) rows.append(readLogQso(q));
  return Result<QList<LogQso>>::of(rows);
}

}  // namespace vz
