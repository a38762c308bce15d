#pragma once
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>
#include <functional>
#include <optional>

#include "platform/status.h"

namespace vz {

namespace db {
class SqliteStatement;
}

// One row of Tabla1: a QSO of a main log, or a log's placeholder row (only
// NombreLog set). Every column but id is text; a missing value reads as empty text.
struct LogQso {
  qint64 id = 0;
  QString Modo;
  QString Banda;
  QString MyCall;
  QString Estacion;    // the worked call
  QString Fecha;       // "dd/mm/yyyy"
  QString Hora;        // "hh:mm:ss" or "hh:mm"
  QString RSE;
  QString RSR;
  QString Obs;
  QString Operador;
  QString NombreLog;   // [Nombre Log]
  QString Frecuencia;
  QString MiGrid;
  QString SuGrid;
  QString Ruk;         // upload state, read with RukStatus
  QString Nombre_Sat;
  QString Argento;     // Argentine province of the worked call
};

// The current row of a query over Tabla1 that names the columns (SELECT * will do).
LogQso readLogQso(const QSqlQuery& q);

// Upload state of a QSO with the national online log service, as stored in Ruk.
inline constexpr int kRukNotUploaded = 0;
inline constexpr int kRukUploaded = 1;
inline constexpr int kRukConfirmed = 2;

// Reads a Ruk text as a number: its leading number, 0 when empty or not a number.
int RukStatus(const QString& text);

// A text argument that may be given no value at all: std::nullopt is stored as
// NULL, while an empty text is stored as empty text.
using OptionalText = std::optional<QString>;

// Adds a log's placeholder row: only [Nombre Log] is set, so the log is listed
// before it has QSOs. Every listing of QSOs skips it (its Modo is empty). An empty
// name is refused.
Status LogPlaceholderRow(const QString& logName);

// A QSO belongs to a log and was made by a station: a row without a log name or
// without its own call would land in a log nobody can pick, or name no station.
// Blanks alone count as empty. Every writer of a QSO asks this first.
Status CheckLogAndOwnCall(const QString& logName, const QString& ownCall);
// The own call's half of it, for writers that keep the row's log.
Status CheckOwnCall(const QString& ownCall);

// Every text value of a row is one line: a value holding a CR, an LF or a tab is
// refused (the failure names it), whichever path brought it past the boxes.
Status CheckOneLineValues(const QVariantList& values);

// Adds a QSO to the current log (state().CurrentLogName) as given: nothing is
// trimmed or checked but the satellite name, which loses its outer blanks, and the
// log name and own call, which must not be empty (CheckLogAndOwnCall). Ruk is
// "1" and Argento the province of the call. Once the row is saved its id goes into
// state().LastInsertedQsoId (and the saved-QSO handler hears of it). When a worked
// grid is given and the call holds no "/", that grid is then queued for the log's
// other QSOs of the call that have none (store/gridbackfill.h): they get it from
// the event loop, after this returns, and a failure there leaves the QSO saved.
Status InsertLogQso(const QString& call, const QString& band, const QString& mode, const QString& reportSent,
                    const QString& reportReceived, const QString& date, const QString& time,
                    const QString& ownCall, const OptionalText& operatorCall, const QString& remarks,
                    const QString& frequency, const OptionalText& ownGrid, const OptionalText& workedGrid,
                    const QString& satellite);

// A contest QSO into the current main log: the one report goes into both reports;
// operator and grids get no value, the satellite is empty. logName and
// secondReport are accepted for the caller's convenience and not used: the row
// always goes into the current log.
Status CopyContestQsoToMainLog(const QString& logName, const QString& call, const QString& ownCall,
                               const QString& report, const QString& secondReport, const QString& date,
                               const QString& time, const QString& frequency, const QString& band,
                               const QString& mode, const QString& remarks);

// An imported QSO into the current log, with the import's upload status and
// province. The digital-voice modes (exact letter case) are stored as "DVoice".
// No grid back-fill. Sets state().LastInsertedQsoId once saved.
Status InsertImportedQso(const QString& call, const QString& band, const QString& mode,
                         const QString& reportSent, const QString& reportReceived, const QString& date,
                         const QString& time, const QString& ownCall, const QString& operatorCall,
                         const QString& remarks, const QString& frequency, const QString& ownGrid,
                         const QString& workedGrid, const QString& satellite, int status,
                         const QString& province);

// Overwrites every column of the QSO with the id except [Nombre Log], with the
// values exactly as given; an empty own call is refused. No such id changes nothing.
Status UpdateLogQso(const QString& call, const QString& band, const QString& mode, const QString& reportSent,
                    const QString& reportReceived, const QString& date, const QString& time,
                    const QString& ownCall, const QString& operatorCall, const QString& remarks,
                    const QString& frequency, const QString& ownGrid, const QString& workedGrid,
                    const QString& satellite, int status, const QString& province, qint64 id);

// InsertImportedQso and UpdateLogQso for many QSOs in a row (the import's load):
// each statement is prepared once, for as long as the writer lives.
class ImportedQsoWriter {
 public:
  ImportedQsoWriter();
  ~ImportedQsoWriter();
  ImportedQsoWriter(const ImportedQsoWriter&) = delete;
  ImportedQsoWriter& operator=(const ImportedQsoWriter&) = delete;

  Status insert(const QString& call, const QString& band, const QString& mode, const QString& reportSent,
                const QString& reportReceived, const QString& date, const QString& time, const QString& ownCall,
                const QString& operatorCall, const QString& remarks, const QString& frequency,
                const QString& ownGrid, const QString& workedGrid, const QString& satellite, int status,
                const QString& province);
  Status update(const QString& call, const QString& band, const QString& mode, const QString& reportSent,
                const QString& reportReceived, const QString& date, const QString& time, const QString& ownCall,
                const QString& operatorCall, const QString& remarks, const QString& frequency,
                const QString& ownGrid, const QString& workedGrid, const QString& satellite, int status,
                const QString& province, qint64 id);

 private:
  std::unique_ptr<db::SqliteStatement> insert_;
  std::unique_ptr<db::SqliteStatement> update_;
};

// Single-column updates of one QSO. The id is the leading number of its text (no
// number addresses id 0, which no row has). A failure is returned for the caller
// to show; the QSO keeps its values.
Status UpdateQsoTheirGrid(const QString& grid, const QString& id);
Status SetQsoRukStatus(const QString& id, const QString& status);

// Adds the optional Perfil column to each table that lacks it. The callers ignore
// the outcome; the first failure, if any, is returned for whoever wants it.
Status AddProfileColumns();

// The first worked grid among the current log's QSOs with that call (table
// order), or empty text. A grid of blanks counts as a grid.
Result<QString> FindGridForCall(const QString& call);

// Writes the grid into every QSO of the current log with that call whose grid is
// missing (NULL or empty). A failure is returned for the caller to show.
Status FillMissingGridForCall(const QString& call, const QString& grid);

// Who hears of every QSO the store saves (the main window keeps the id for F5);
// an empty handler stops it.
void setQsoSavedHandler(std::function<void(const QString& id)> handler);

}  // namespace vz
