#include "contest/conteststore.h"

#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include "platform/database.h"
#include "platform/textutil.h"

namespace vz {

const QStringList kContestBands = {QStringLiteral("160m"), QStringLiteral("80m"), QStringLiteral("40m"),
                                   QStringLiteral("20m"),  QStringLiteral("15m"), QStringLiteral("10m"),
                                   QStringLiteral("6m"),   QStringLiteral("2m")};
const QStringList kContestModes = {QStringLiteral("SSB"), QStringLiteral("FM"), QStringLiteral("CW")};

namespace {

// The phone mode as the contest window stores it.
QString storedMode(const QString& mode) { return mode == QLatin1String("PH") ? QStringLiteral("SSB") : mode; }

// Where each column of Tabla2 stands in a query's rows (-1: not selected), found
// once per query rather than by name for every value read.
struct ContestColumns {
  int at[16];
  explicit ContestColumns(const QSqlRecord& r) {
    for (int i = 0; i < 16; ++i) at[i] = r.indexOf(QLatin1String(db::kTabla2Columns[i]));
  }
};

QString textAt(const QSqlQuery& q, int index) { return index < 0 ? QString() : db::text(q, index); }

ContestQso readRow(const QSqlQuery& q, const ContestColumns& c) {
  ContestQso r;
  r.id = c.at[0] < 0 ? 0 : q.value(c.at[0]).toLongLong();
  r.Modo = textAt(q, c.at[1]);
  r.Banda = textAt(q, c.at[2]);
  r.MyCall = textAt(q, c.at[3]);
  r.Estacion = textAt(q, c.at[4]);
  r.Fecha = textAt(q, c.at[5]);
  r.Hora = textAt(q, c.at[6]);
  r.RSE = textAt(q, c.at[7]);
  r.RSR = textAt(q, c.at[8]);
  r.Obs = textAt(q, c.at[9]);
  r.Operador = textAt(q, c.at[10]);
  r.NombreLog = textAt(q, c.at[11]);
  r.Frecuencia = textAt(q, c.at[12]);
  r.Ruk = textAt(q, c.at[13]);
  r.Nombre_Sat = textAt(q, c.at[14]);
  r.Argento = textAt(q, c.at[15]);
  return r;
}

// Reads every row of a query that is already run.
QList<ContestQso> readAll(QSqlQuery& q) {
  const ContestColumns columns(q.record());
  QList<ContestQso> rows;
  while (q.next()) rows << readRow(q, columns);
  return rows;
}

Result<QList<ContestQso>> select(const QString& sql, std::initializer_list<QVariant> values) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, sql, values);
  if (!s) return Result<QList<ContestQso>>::failure(s.error);
  return Result<QList<ContestQso>>::of(readAll(q));
}

}  // namespace

ContestQso readContestQso(const QSqlQuery& q) { return readRow(q, ContestColumns(q.record())); }

QString ContestReport(const QString& mode) {
  return mode == QLatin1String("SSB") || mode == QLatin1String("FM") ? QStringLiteral("59") : QStringLiteral("599");
}

QStringList ContestListRow::subItems() const {
  return {id, Banda, Modo, Fecha, Hora, MyCall, ReportSent, RSE, Estacion, ReportReceived, RSR};
}

ContestListRow contestListRow(const ContestQso& q) {
  const QString report = ContestReport(q.Modo);
  return {QString::number(q.id), q.Banda, q.Modo, q.Fecha, q.Hora, q.MyCall, report, q.RSE, q.Estacion, report,
          q.RSR};
}

QString ContestQsoCountCaption(qsizetype count) { return QStringLiteral("%1 QSOs ").arg(count); }

Result<ContestQso> InsertContestQso(const QString& call, const QString& band, const QString& mode,
                                    const QString& sent, const QString& received, const QString& date,
                                    const QString& time, const QString& ownCall, const QString& contestName,
                                    const QString& remarks, const QString& frequency,
                                    const QString& contestNameAgain, const QString& serialType) {
  ContestQso r;
  r.Modo = mode;
  r.Banda = band;
  r.MyCall = ownCall;
  r.Estacion = call;
  r.Fecha = date;
  r.Hora = time;
  r.RSE = sent;
  r.RSR = received;
  r.Obs = remarks;
  r.NombreLog = contestName;
  r.Frecuencia = frequency;
  r.Ruk = contestNameAgain;
  r.Nombre_Sat = serialType;
  QSqlQuery q(db::connection());
  const Status s = db::run(q,
                           QStringLiteral("INSERT INTO Tabla2 ([Modo],[Banda],[MyCall],[Estacion],[Fecha],[Hora],"
                                          "[RSE],[RSR],[Obs],[Nombre Log],[Frecuencia],[Ruk],[Nombre_Sat]) "
                                          "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                           {db::textValue(r.Modo), db::textValue(r.Banda), db::textValue(r.MyCall),
                            db::textValue(r.Estacion), db::textValue(r.Fecha), db::textValue(r.Hora),
                            db::textValue(r.RSE), db::textValue(r.RSR), db::textValue(r.Obs),
                            db::textValue(r.NombreLog), db::textValue(r.Frecuencia), db::textValue(r.Ruk),
                            db::textValue(r.Nombre_Sat)});
  if (!s) return Result<ContestQso>::failure(s.error);
  r.id = q.lastInsertId().toLongLong();
  // Empty texts read back as empty texts, as the readers give them.
  for (QString* v : {&r.Modo, &r.Banda, &r.MyCall, &r.Estacion, &r.Fecha, &r.Hora, &r.RSE, &r.RSR, &r.Obs,
                     &r.NombreLog, &r.Frecuencia, &r.Ruk, &r.Nombre_Sat})
    if (v->isNull()) *v = QStringLiteral("");
  return Result<ContestQso>::of(r);
}

std::optional<ContestListRow> AddContestQsoToList(const QString& openContest, const ContestQso& stored) {
  if (!stored.isQso()) return std::nullopt;
  // The store compares names without regard to letter case; so does the list.
  if (stored.NombreLog.compare(openContest, Qt::CaseInsensitive) != 0) return std::nullopt;
  return contestListRow(stored);
}

Result<ContestLogLoad> LoadContestLog(const QString& contestName) {
  const auto rows =
      select(QStringLiteral("SELECT * FROM Tabla2 WHERE [Nombre Log]=? AND [Modo]<>'' ORDER BY [id] DESC"),
             {db::textValue(contestName)});
  if (!rows.ok()) return Result<ContestLogLoad>::failure(rows.error());
  ContestLogLoad load;
  load.qsos = rows.value;
  load.lastExchange = load.qsos.isEmpty() ? QStringLiteral("") : load.qsos.last().RSE;
  return Result<ContestLogLoad>::of(load);
}

Result<QList<ContestQso>> ContestQsosByTime(const QString& contestName) {
  return select(QStringLiteral("SELECT * FROM Tabla2 WHERE [Nombre Log]=? AND [Modo]<>'' "
                               "ORDER BY [Fecha], [Hora], [id]"),
                {db::textValue(contestName)});
}

Result<QList<ContestQso>> ContestQsosInTableOrder(const QString& contestName) {
  return select(QStringLiteral("SELECT * FROM Tabla2 WHERE [Nombre Log]=? AND [Modo]<>'' ORDER BY [id]"),
                {db::textValue(contestName)});
}

Result<QList<ContestLogSummary>> ListContestLogs() {
  // With min() the other columns come from the contest's first row, its header row:
  // its name as created and its serial type.
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, QStringLiteral("SELECT [Nombre Log], [Nombre_Sat], min([id]), "
                                             "sum(CASE WHEN [Modo]<>'' THEN 1 ELSE 0 END) FROM Tabla2 "
                                             "WHERE [Nombre Log]<>'' GROUP BY [Nombre Log] ORDER BY min([id])"));
  if (!s) return Result<QList<ContestLogSummary>>::failure(s.error);
  QList<ContestLogSummary> list;
  while (q.next())
    list << ContestLogSummary{db::text(q, 0), trimBlanks(db::text(q, 1)), qsizetype(q.value(3).toLongLong())};
  return Result<QList<ContestLogSummary>>::of(list);
}

Status DeleteContestLog(const QString& contestName) {
  return db::exec(QStringLiteral("DELETE FROM Tabla2 WHERE [Nombre Log]=?"), {db::textValue(contestName)});
}

Result<bool> ContestLogExists(const QString& contestName) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s =
      db::run(q, QStringLiteral("SELECT 1 FROM Tabla2 WHERE [Nombre Log]=? LIMIT 1"), {db::textValue(contestName)});
  if (!s) return Result<bool>::failure(s.error);
  return Result<bool>::of(q.next());
}

Result<QString> GetLastContestModeOrBand(const QString& openContest, const QString& selector) {
  const QString column = selector == QLatin1String("M") ? QStringLiteral("Modo") : QStringLiteral("Banda");
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT [%1] FROM Tabla2 WHERE [Nombre Log]=? AND [%1]<>'' "
                                          "ORDER BY [id] DESC LIMIT 1")
                               .arg(column),
                           {db::textValue(openContest)});
  if (!s) return Result<QString>::failure(s.error);
  return Result<QString>::of(q.next() ? db::text(q, 0) : QStringLiteral(""));
}

Result<std::optional<QString>> GetLastSentSerial(const QString& openContest, const QString& mode,
                                                 const QString& band) {
  using R = Result<std::optional<QString>>;
  // Header rows hold no mode: only QSOs count, whatever the arguments.
  const QVariantList where = {db::textValue(openContest), db::textValue(storedMode(mode)), db::textValue(band)};
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  Status s = db::run(q,
                     QStringLiteral("SELECT [RSE] FROM Tabla2 WHERE [Nombre Log]=? AND [Modo]=? AND [Banda]=? "
                                    "AND [Modo]<>'' AND [RSE]<>'' ORDER BY [id] DESC LIMIT 1"),
                     where);
  if (!s) return R::failure(s.error);
  if (q.next()) return R::of(db::text(q, 0));
  // No serial at all: tell "no QSO on this mode and band" from "QSOs without one".
  QSqlQuery any(db::connection());
  any.setForwardOnly(true);
  s = db::run(any, QStringLiteral("SELECT 1 FROM Tabla2 WHERE [Nombre Log]=? AND [Modo]=? AND [Banda]=? "
                             "AND [Modo]<>'' LIMIT 1"),
              where);
  if (!s) return R::failure(s.error);
  return R::of(any.next() ? std::optional<QString>(QStringLiteral("")) : std::nullopt);
}

Result<QList<ContestQso>> CheckContestDupe(const QString& openContest, const QString& call, const QString& mode,
                                           const QString& band) {
  // The header row, all empty, never counts as an earlier contact (an emptied call box).
  return select(QStringLiteral("SELECT * FROM Tabla2 WHERE [Nombre Log]=? AND [Estacion]=? AND [Modo]=? AND "
                               "[Banda]=? AND [Modo]<>'' ORDER BY [Fecha] DESC, [Hora] DESC, [id] DESC"),
                {db::textValue(openContest), db::textValue(call), db::textValue(storedMode(mode)),
                 db::textValue(band)});
}

}  // namespace vz
