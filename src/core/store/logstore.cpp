#include "store/logstore.h"

#include <QSqlError>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <climits>

#include "platform/database.h"
#include "platform/sqlitestatement.h"
#include "platform/textutil.h"
#include "store/callsign.h"
#include "store/gridbackfill.h"
#include "store/programstate.h"

namespace vz {

namespace {

QVariant optionalText(const OptionalText& v) { return v ? db::textValue(*v) : QVariant(); }

// The leading number of a text, as ids and statuses arrive from list rows.
qint64 numberOf(const QString& text) { return vbValInt(text); }

// Saves one Tabla1 row from the values of columns 1 to 17 in table order, then
// records its id as the last inserted one.
const QString& insertStatement() {
  // Built once: an import saves thousands of rows.
  static const QString sql = [] {
    QStringList columns, marks;
    for (int i = 1; i < 18; ++i) {
      columns << QStringLiteral("[%1]").arg(QLatin1String(db::kTabla1Columns[i]));
      marks << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO Tabla1 (%1) VALUES (%2)")
        .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
  }();
  return sql;
}

// Runs a statement prepared once (prepared on first use) with the values in order.
Status runPrepared(std::unique_ptr<QSqlQuery>* slot, const QString& sql, const QVariantList& values) {
  if (!*slot) {
    auto q = std::make_unique<QSqlQuery>(db::connection());
    const Status s = db::run(*q, sql, values);
    if (!s) return s;
    *slot = std::move(q);
    return s;
  }
  QSqlQuery& q = **slot;
  for (int i = 0; i < values.size(); ++i) q.bindValue(i, values[i]);
  if (!q.exec()) return Status::failure(q.lastError().text());
  return Status::success();
}

// Runs a statement of the bulk writer with the values in order.
Status runStatement(db::SqliteStatement& st, const QString& sql, const QVariantList& values) {
  if (Status one = CheckOneLineValues(values); !one) return one;
  const Status prepared = st.prepare(sql);
  if (!prepared) return prepared;
  for (int i = 0; i < values.size(); ++i) {
    const QVariant& v = values[i];
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
      st.bindInteger(i + 1, v.toLongLong());
    else
      st.bindText(i + 1, v.toString());
  }
  return st.exec();
}

std::function<void(const QString&)>& qsoSavedHandler() {
  static std::function<void(const QString&)> handler;
  return handler;
}

// Records the id of a QSO just added as the last inserted one.
void noteInserted(qint64 id) {
  state().LastInsertedQsoId = QString::number(id);
  if (qsoSavedHandler()) qsoSavedHandler()(state().LastInsertedQsoId);
}

Status addRow(const QVariantList& values, db::SqliteStatement* bulk = nullptr) {
  if (Status one = CheckOneLineValues(values); !one) return one;
  if (bulk) {
    const Status s = runStatement(*bulk, insertStatement(), values);
    if (s) noteInserted(bulk->lastInsertId());
    return s;
  }
  std::unique_ptr<QSqlQuery> once;
  std::unique_ptr<QSqlQuery>* prepared = &once;
  const Status s = runPrepared(prepared, insertStatement(), values);
  if (!s) return s;
  noteInserted((*prepared)->lastInsertId().toLongLong());
  return Status::success();
}

}  // namespace

LogQso readLogQso(const QSqlQuery& q) {
  LogQso r;
  r.id = q.value(QStringLiteral("id")).toLongLong();
  r.Modo = db::text(q, "Modo");
  r.Banda = db::text(q, "Banda");
  r.MyCall = db::text(q, "MyCall");
  r.Estacion = db::text(q, "Estacion");
  r.Fecha = db::text(q, "Fecha");
  r.Hora = db::text(q, "Hora");
  r.RSE = db::text(q, "RSE");
  r.RSR = db::text(q, "RSR");
  r.Obs = db::text(q, "Obs");
  r.Operador = db::text(q, "Operador");
  r.NombreLog = db::text(q, "Nombre Log");
  r.Frecuencia = db::text(q, "Frecuencia");
  r.MiGrid = db::text(q, "MiGrid");
  r.SuGrid = db::text(q, "SuGrid");
  r.Ruk = db::text(q, "Ruk");
  r.Nombre_Sat = db::text(q, "Nombre_Sat");
  r.Argento = db::text(q, "Argento");
  return r;
}

int RukStatus(const QString& text) {
  const long long v = vbValInt(trimBlanks(text));
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

Status CheckOneLineValues(const QVariantList& values) {
  for (const QVariant& v : values) {
    if (v.typeId() != QMetaType::QString) continue;
    const QString text = v.toString();
    if (breaksLine(text))
      return Status::failure(QStringLiteral("No se guardó: el valor \"%1\" tiene saltos de línea o tabuladores.")
                                 .arg(oneLine(text).left(60)));
  }
  return Status::success();
}

Status CheckOwnCall(const QString& ownCall) {
  if (trimBlanks(ownCall).isEmpty())
    return Status::failure(QStringLiteral("No se guardó el QSO: falta la señal distintiva propia (MyCall)."));
  return Status::success();
}

Status CheckLogAndOwnCall(const QString& logName, const QString& ownCall) {
  if (trimBlanks(logName).isEmpty())
    return Status::failure(QStringLiteral("No se guardó el QSO: no hay un log en uso (el nombre del log está vacío). "
                                          "Elija o cree un log desde el menú Archivo."));
  return CheckOwnCall(ownCall);
}

Status LogPlaceholderRow(const QString& logName) {
  if (trimBlanks(logName).isEmpty())
    return Status::failure(QStringLiteral("No se creó el log: el nombre está vacío."));
  if (Status one = CheckOneLineValues({logName}); !one) return one;
  return db::exec(QStringLiteral("INSERT INTO Tabla1 ([Nombre Log]) VALUES (?)"), {db::textValue(logName)});
}

Status InsertLogQso(const QString& call, const QString& band, const QString& mode, const QString& reportSent,
                    const QString& reportReceived, const QString& date, const QString& time,
                    const QString& ownCall, const OptionalText& operatorCall, const QString& remarks,
                    const QString& frequency, const OptionalText& ownGrid, const OptionalText& workedGrid,
                    const QString& satellite) {
  if (Status named = CheckLogAndOwnCall(state().CurrentLogName, ownCall); !named) return named;
  const Status saved = addRow({
      db::textValue(mode),                      // Modo
      db::textValue(band),                      // Banda
      db::textValue(ownCall),                   // MyCall
      db::textValue(call),                      // Estacion
      db::textValue(date),                      // Fecha
      db::textValue(time),                      // Hora
      db::textValue(reportSent),                // RSE
      db::textValue(reportReceived),            // RSR
      db::textValue(remarks),                   // Obs
      optionalText(operatorCall),               // Operador
      db::textValue(state().CurrentLogName),    // Nombre Log
      db::textValue(frequency),                 // Frecuencia
      optionalText(ownGrid),                    // MiGrid
      optionalText(workedGrid),                 // SuGrid
      QStringLiteral("1"),                      // Ruk: counts as uploaded from the start
      db::textValue(trimBlanks(satellite)),     // Nombre_Sat
      db::textValue(ProvinceFromCallSign(call)) // Argento
  });
  if (!saved) return saved;
  // The earlier QSOs get the grid after the save, a step at a time: a station
  // with many of them would otherwise hold the window until all were written.
  if (workedGrid && !workedGrid->isEmpty() && !call.contains(QLatin1Char('/')))
    QueueGridBackFill(state().CurrentLogName, call, *workedGrid);
  return Status::success();
}

Status CopyContestQsoToMainLog(const QString& /*logName*/, const QString& call, const QString& ownCall,
                               const QString& report, const QString& /*secondReport*/, const QString& date,
                               const QString& time, const QString& frequency, const QString& band,
                               const QString& mode, const QString& remarks) {
  return InsertLogQso(call, band, mode, report, report, date, time, ownCall, std::nullopt, remarks, frequency,
                      std::nullopt, std::nullopt, QString());
}

Status InsertImportedQso(const QString& call, const QString& band, const QString& mode,
                         const QString& reportSent, const QString& reportReceived, const QString& date,
                         const QString& time, const QString& ownCall, const QString& operatorCall,
                         const QString& remarks, const QString& frequency, const QString& ownGrid,
                         const QString& workedGrid, const QString& satellite, int status,
                         const QString& province) {
  return ImportedQsoWriter().insert(call, band, mode, reportSent, reportReceived, date, time, ownCall, operatorCall,
                                    remarks, frequency, ownGrid, workedGrid, satellite, status, province);
}

Status UpdateLogQso(const QString& call, const QString& band, const QString& mode, const QString& reportSent,
                    const QString& reportReceived, const QString& date, const QString& time,
                    const QString& ownCall, const QString& operatorCall, const QString& remarks,
                    const QString& frequency, const QString& ownGrid, const QString& workedGrid,
                    const QString& satellite, int status, const QString& province, qint64 id) {
  return ImportedQsoWriter().update(call, band, mode, reportSent, reportReceived, date, time, ownCall, operatorCall,
                                    remarks, frequency, ownGrid, workedGrid, satellite, status, province, id);
}

ImportedQsoWriter::ImportedQsoWriter()
    : insert_(std::make_unique<db::SqliteStatement>()), update_(std::make_unique<db::SqliteStatement>()) {}
ImportedQsoWriter::~ImportedQsoWriter() = default;

Status ImportedQsoWriter::insert(const QString& call, const QString& band, const QString& mode,
                                 const QString& reportSent, const QString& reportReceived, const QString& date,
                                 const QString& time, const QString& ownCall, const QString& operatorCall,
                                 const QString& remarks, const QString& frequency, const QString& ownGrid,
                                 const QString& workedGrid, const QString& satellite, int status,
                                 const QString& province) {
  static const QStringList kDigitalVoice = {QStringLiteral("DIGITALVOICE"), QStringLiteral("C4FM"),
                                            QStringLiteral("DMR"),          QStringLiteral("VOI"),
                                            QStringLiteral("DSTAR"),        QStringLiteral("FREEDV")};
  if (Status named = CheckLogAndOwnCall(state().CurrentLogName, ownCall); !named) return named;
  const QString storedMode = kDigitalVoice.contains(mode, Qt::CaseSensitive) ? QStringLiteral("DVoice") : mode;
  return addRow({
      db::textValue(storedMode),             // Modo
      db::textValue(band),                   // Banda
      db::textValue(ownCall),                // MyCall
      db::textValue(call),                   // Estacion
      db::textValue(date),                   // Fecha
      db::textValue(time),                   // Hora
      db::textValue(reportSent),             // RSE
      db::textValue(reportReceived),         // RSR
      db::textValue(remarks),                // Obs
      db::textValue(operatorCall),           // Operador
      db::textValue(state().CurrentLogName), // Nombre Log
      db::textValue(frequency),              // Frecuencia
      db::textValue(ownGrid),                // MiGrid
      db::textValue(workedGrid),             // SuGrid
      QString::number(status),               // Ruk
      db::textValue(trimBlanks(satellite)),  // Nombre_Sat
      db::textValue(trimBlanks(province)),   // Argento
  }, insert_.get());
}

Status ImportedQsoWriter::update(const QString& call, const QString& band, const QString& mode,
                                 const QString& reportSent, const QString& reportReceived, const QString& date,
                                 const QString& time, const QString& ownCall, const QString& operatorCall,
                                 const QString& remarks, const QString& frequency, const QString& ownGrid,
                                 const QString& workedGrid, const QString& satellite, int status,
                                 const QString& province, qint64 id) {
  // The row keeps its log; only the own call comes from the caller.
  if (Status own = CheckOwnCall(ownCall); !own) return own;
  return runStatement(*update_, QStringLiteral("UPDATE Tabla1 SET [Modo]=?, [Banda]=?, [MyCall]=?, [Estacion]=?, [Fecha]=?, "
                                 "[Hora]=?, [RSE]=?, [RSR]=?, [Obs]=?, [Operador]=?, [MiGrid]=?, [SuGrid]=?, "
                                 "[Frecuencia]=?, [Ruk]=?, [Nombre_Sat]=?, [Argento]=? WHERE [id]=?"),
                  {db::textValue(mode), db::textValue(band), db::textValue(ownCall), db::textValue(call),
                   db::textValue(date), db::textValue(time), db::textValue(reportSent),
                   db::textValue(reportReceived), db::textValue(remarks), db::textValue(operatorCall),
                   db::textValue(ownGrid), db::textValue(workedGrid), db::textValue(frequency),
                   QString::number(status), db::textValue(satellite), db::textValue(province), id});
}

Status UpdateQsoTheirGrid(const QString& grid, const QString& id) {
  if (Status one = CheckOneLineValues({grid}); !one) return one;
  return db::exec(QStringLiteral("UPDATE Tabla1 SET [SuGrid]=? WHERE [id]=?"), {db::textValue(grid), numberOf(id)});
}

Status SetQsoRukStatus(const QString& id, const QString& status) {
  // The status goes in as the number it reads as ("1", "2"), stored as its text.
  return db::exec(QStringLiteral("UPDATE Tabla1 SET [Ruk]=? WHERE [id]=?"),
                  {QString::number(numberOf(status)), numberOf(id)});
}

Status AddProfileColumns() {
  if (!db::isOpen()) return Status::failure(QStringLiteral("La base de datos no está abierta"));
  Status first = Status::success();
  for (const char* table : {"Tabla1", "Tabla2", "Tabla3"}) {
    const QString name = QLatin1String(table);
    const QSqlRecord columns = db::connection().record(name);
    if (columns.isEmpty()) continue;  // a missing table stays missing
    if (columns.contains(QStringLiteral("Perfil"))) continue;
    const Status s = db::exec(QStringLiteral("ALTER TABLE [%1] ADD [Perfil] TEXT COLLATE NOCASE").arg(name));
    if (!s && first) first = s;
  }
  return first;
}

Result<QString> FindGridForCall(const QString& call) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT [SuGrid] FROM Tabla1 WHERE [Nombre Log]=? AND [Estacion]=? "
                                          "AND [SuGrid]<>'' ORDER BY [id] LIMIT 1"),
                           {db::textValue(state().CurrentLogName), db::textValue(call)});
  if (!s) return Result<QString>::failure(s.error);
  return Result<QString>::of(q.next() ? db::text(q, 0) : QString());
}

Status FillMissingGridForCall(const QString& call, const QString& grid) {
  // One statement for all the QSOs that lack a grid: either all get it or none.
  return FillMissingGridStep(state().CurrentLogName, call, grid, -1).status;
}

void setQsoSavedHandler(std::function<void(const QString& id)> handler) { qsoSavedHandler() = std::move(handler); }

}  // namespace vz
