#include "store/duplicates.h"

#include <QDate>
#include <QSqlError>
#include <QTime>
#include <cstdlib>

#include "platform/database.h"
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
  using Answer = Result<std::optional<qint64>>;
  if (date.isEmpty()) return Answer::of(std::nullopt);
  const std::optional<qint64> candidate = minuteCount(date, time);
  if (!candidate) return Answer::of(std::nullopt);

  // The index on ([Nombre Log], [Estacion]) narrows the search to the station's
  // QSOs in the log; the columns compare without regard to letter case.
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT [id], [Fecha], [Hora] FROM Tabla1 WHERE [Nombre Log]=? AND "
                                          "[Estacion]=? AND [Modo]=? AND [Banda]=? AND [MyCall]=? ORDER BY [id]"),
                           {db::textValue(state().CurrentLogName), db::textValue(call), db::textValue(mode),
                            db::textValue(band), db::textValue(ownCall)});
  if (!s) return Answer::failure(s.error);
  while (q.next()) {
    const std::optional<qint64> stored = minuteCount(db::text(q, 1), db::text(q, 2));
    if (!stored) continue;
    if (std::llabs(*stored - *candidate) < kWindowMinutes) return Answer::of(q.value(0).toLongLong());
  }
  if (q.lastError().isValid()) return Answer::failure(q.lastError().text());
  return Answer::of(std::nullopt);
}

}  // namespace vz
