#pragma once
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <initializer_list>

#include "platform/status.h"

namespace vz::db {

inline constexpr const char* kFileName = "base0.mdb";

// "dd/mm/yyyy" rearranged as "yyyymmdd", so rows of Tabla1 order by date. Use this
// exact text in ORDER BY clauses: the page index is built on it.
inline constexpr const char* kFechaKey =
    "(substr([Fecha],7,4)||substr([Fecha],4,2)||substr([Fecha],1,2))";

// A log's QSOs that carry a province (placeholder rows left out). Use this exact
// text in the WHERE clause: the province index holds only these rows, and the
// database takes it only for a query whose conditions are written the same.
inline constexpr const char* kProvinceRows = "[Modo]<>'' AND trim(IFNULL([Argento],''))<>''";

// QSOs per log and month of the date key ([Mes]: the key's first six characters,
// empty text for a row without a date), kept by triggers on Tabla1. Placeholder
// rows (empty Modo) are not counted. It gives a log's QSO count and lets a page
// far from the newest QSO be found without reading every row before it.
inline constexpr const char* kMonthCountTable = "Tabla1_Meses";

// Save back-fills of a worked grid not yet finished ([id], [Nombre Log], [Estacion],
// [SuGrid]): a row is written when a save queues one and removed when it ends, so one
// cut by the end of the process is finished the next time the file is opened.
inline constexpr const char* kGridBackFillTable = "Tabla1_Grillas";

// Column lists in table order (id first; Perfil, the optional last column, left out).
extern const char* const kTabla1Columns[18];
extern const char* const kTabla2Columns[16];
extern const char* const kTabla3Columns[19];

// How long a statement waits for another program's lock before it gives up.
inline constexpr int kBusyWaitMs = 400;

// Opens base0.mdb in the folder, creating the file and completing its tables, the
// Perfil columns and the indexes where missing. A file that is open is closed first.
// The folder is kept: when the file could not be opened (locked, say) or was closed
// by a failure, the next step that needs it opens it again.
Status open(const QString& folder);
// A database in memory with the program's schema, for fuzzing and tests of the SQL
// alone: nothing is written to disk and nothing reopens it.
Status openInMemory();
// Opens the kept folder's file again when it is closed; never creates a missing file.
Status reopen();
// Closes the file and forgets the folder.
void close();
bool isOpen();
QString path();
QString folder();
// Whether the last failed opening found the file locked by another program.
bool lastOpenFoundLock();
// What start-up says before it opens the database when settings exist (config.ini
// holds something) but base0.mdb is missing from the folder: a new, empty file is
// about to be made and the operator's log is elsewhere. Empty when nothing needs saying.
QString missingFileNotice(const QString& folder);
// The connection, opened again first when it was closed. When the file at the path is
// no longer the one open (removed, or another file put in its place) the open one is
// closed first: a replaced file is opened, a removed one is reported missing by the
// step, never made anew. Steps that run statements (run, exec, transaction) check the
// same way.
QSqlDatabase connection();
// The check alone; nothing is done inside a transaction.
void closeIfFileMoved();

// Completes the schema of the open file (tables, Perfil, indexes, the month counts).
Status ensureSchema();

// Prepares sql and binds values in order. The failure text names the statement's error.
Status run(QSqlQuery& q, const QString& sql, std::initializer_list<QVariant> values = {});
Status run(QSqlQuery& q, const QString& sql, const QVariantList& values);
// Runs a statement that returns no rows.
Status exec(const QString& sql, std::initializer_list<QVariant> values = {});

// Text of a column as the readers take it: a missing value reads as empty text.
QString text(const QSqlQuery& q, const char* column);
QString text(const QSqlQuery& q, int index);

// Empty text that binds as '' rather than NULL.
inline QVariant emptyText() { return QVariant(QStringLiteral("")); }
// A text to bind: never NULL, even when empty.
QVariant textValue(const QString& s);

// The operator's text for a database failure: Spanish words for the common kinds
// (locked, disk full, read-only, not a database), the file, and the engine's words.
QString errorText(const QSqlError& e);

// Transactions open on the connection; one inside another joins the outer one.
inline int& transactionDepth() {
  static int depth = 0;
  return depth;
}

// Runs a function inside one transaction (bulk work); rolls back when it fails.
// Called inside another, it is part of that one: the outer one commits or rolls back.
template <class F>
Status transaction(F&& f) {
  if (transactionDepth() > 0) return f();
  struct Depth {
    Depth() { ++transactionDepth(); }
    ~Depth() { --transactionDepth(); }
  };
  // A closed file is opened again here, so its own failure (a missing file) is what the step says.
  closeIfFileMoved();
  if (!isOpen())
    if (Status s = reopen(); !s) return s;
  QSqlDatabase c = connection();
  if (!c.transaction())
    return Status::failure(errorText(c.lastError()));
  Status s = [&] {
    const Depth inside;
    return f();
  }();
  if (s.ok) {
    // The database's own text says why (a full disk, a locked file).
    if (!c.commit()) {
      s = Status::failure(errorText(c.lastError()));
      c.rollback();
    }
  } else {
    c.rollback();
  }
  return s;
}

}  // namespace vz::db
