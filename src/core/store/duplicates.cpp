#include "store/duplicates.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <cstdlib>

#include "platform/database.h"
#include "platform/sqlitestatement.h"
#include "platform/textutil.h"
#include "store/programstate.h"

namespace vz {

namespace {

constexpr qint64 kWindowMinutes = 10;

// Minutes since a fixed origin, cut to the minute, so seconds never count.
std::optional<qint64> minuteCount(const QString& date, const QString& time) {
  const QDate d = parseDayFirstDate(date);
  const QTime t = parseTime(time);
  if (!d.isValid() || !t.isValid()) return std::nullopt;
  return d.toJulianDay() * 24 * 60 + t.hour() * 60 + t.minute();
}

}  // namespace

Result<std::optional<qint64>> FindRecentDuplicateQso(const QString& ownCall, const QString& call,
                                                     const QString& date, const QString& time,
                                                     const QString& band, const QString& /*frequency*/,
                                                     const QString& mode, const QString& /*reportSent*/,
                                                     const QString& /*reportReceived*/,
                                                     const QString& /*operatorCall*/,
                                                     const QString& /*spare*/, const QString& /*satellite*/,
                                                     const QString& /*status*/, const QString& /*remarks*/) {
  return RecentDuplicateFinder().find(ownCall, call, date, time, band, mode);
}

RecentDuplicateFinder::RecentDuplicateFinder() = default;
RecentDuplicateFinder::~RecentDuplicateFinder() = default;

Result<std::optional<qint64>> RecentDuplicateFinder::find(const QString& ownCall, const QString& call,
                                                          const QString& date, const QString& time,
                                                          const QString& band, const QString& mode) {
  using Answer = Result<std::optional<qint64>>;
  if (date.isEmpty()) return Answer::of(std::nullopt);
  const std::optional<qint64> candidate = minuteCount(date, time);
  if (!candidate) return Answer::of(std::nullopt);

  // The index on ([Nombre Log], [Estacion]) narrows the search to the station's
  // QSOs in the log; the columns compare without regard to letter case. A date in
  // the usual "dd/mm/yyyy" form more than a day away cannot be within the window,
  // so only such rows are left to SQLite; any other form is read here.
  const QDate day = parseDayFirstDate(date);
  if (!query_) query_ = std::make_unique<db::SqliteStatement>();
  db::SqliteStatement& q = *query_;
  const Status prepared =
      q.prepare(QStringLiteral("SELECT [id], [Fecha], [Hora] FROM Tabla1 WHERE [Nombre Log]=? AND [Estacion]=? AND "
                               "[Modo]=? AND [Banda]=? AND [MyCall]=? AND ([Fecha] IN (?, ?, ?) OR [Fecha] NOT GLOB "
                               "'[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]') ORDER BY [id]"));
  if (!prepared) return Answer::failure(prepared.error);
  q.start();
  int p = 1;
  for (const QString& v : {state().CurrentLogName, call, mode, band, ownCall, formatDate(day.addDays(-1)),
                           formatDate(day), formatDate(day.addDays(1))})
    q.bindText(p++, v);
  std::optional<qint64> found;
  while (q.next()) {
    const std::optional<qint64> stored = minuteCount(q.text(1), q.text(2));
    if (!stored) continue;
    if (std::llabs(*stored - *candidate) < kWindowMinutes) {
      found = q.integer(0);
      q.reset();  // no statement left running between two QSOs
      break;
    }
  }
  if (!found && !q.error()) return Answer::failure(q.error().error);
  return Answer::of(found);
}

}  // namespace vz
