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

// QSOs per log and month of the date key ([Mes]: the key's first six characters,
// empty text for a row without a date), kept by triggers on Tabla1. Placeholder
// rows (empty Modo) are not counted. It gives a log's QSO count and lets a page
// far from the newest QSO be found without reading every row before it.
inline constexpr const char* kMonthCountTable = "Tabla1_Meses";

// Column lists in table order (id first; Perfil, the optional last column, left out).
extern const char* const kTabla1Columns[18];
extern const char* const kTabla2Columns[16];
extern const char* const kTabla3Columns[19];

// Opens base0.mdb in the folder for the rest of the run, creating the file and
// completing its tables, the Perfil columns and the indexes where missing. A file
// that is open is closed first.
Status open(const QString& folder);
void close();
bool isOpen();
QString path();
QSqlDatabase connection();

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
  QSqlDatabase c = connection();
  if (!c.transaction())
    return Status::failure(QStringLiteral("No se pudo iniciar la transacción: ") + c.lastError().text());
  Status s = [&] {
    const Depth inside;
    return f();
  }();
  if (s.ok) {
    // The database's own text says why (a full disk, a locked file).
    if (!c.commit()) {
      s = Status::failure(QStringLiteral("No se pudo guardar la transacción: ") + c.lastError().text());
      c.rollback();
    }
  } else {
    c.rollback();
  }
  return s;
}

}  // namespace vz::db
