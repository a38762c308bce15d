#pragma once
// Small helpers shared by the store tests: reading rows back and planting failures.
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "platform/database.h"
#include "store/logstore.h"

namespace vz::test {

// The Tabla1 row with the id, read back as the readers take it.
inline LogQso storedQso(qint64 id) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT * FROM Tabla1 WHERE id=?"), {id}) || !q.next()) return {};
  return readLogQso(q);
}

// The raw value of one column (NULL stays a null QVariant).
inline QVariant storedValue(qint64 id, const QString& column) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT [%1] FROM Tabla1 WHERE id=?").arg(column), {id}) || !q.next()) return {};
  return q.value(0);
}

inline long long countRows(const QString& table, const QString& where = QStringLiteral("1")) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT count(*) FROM [%1] WHERE %2").arg(table, where)) || !q.next()) return -1;
  return q.value(0).toLongLong();
}

// Adds a Tabla1 row with the given log, call, grid (a null QString stays NULL) and
// date/time, as an earlier QSO of the log; returns its id.
inline qint64 addStoredQso(const QString& log, const QString& call, const QVariant& grid,
                           const QString& date = QStringLiteral("01/03/2024"),
                           const QString& time = QStringLiteral("12:00:00"),
                           const QString& mode = QStringLiteral("SSB"), const QString& band = QStringLiteral("40m"),
                           const QString& ownCall = QStringLiteral("LU9ZZ")) {
  QSqlQuery q(db::connection());
  if (!db::run(q,
               QStringLiteral("INSERT INTO Tabla1 ([Nombre Log], Estacion, SuGrid, Fecha, Hora, Modo, Banda, MyCall) "
                              "VALUES (?,?,?,?,?,?,?,?)"),
               {log, call, grid, date, time, mode, band, ownCall}))
    return -1;
  return q.lastInsertId().toLongLong();
}

// Makes every statement of the kind ("INSERT" or "UPDATE") on Tabla1 fail with the text.
inline bool failOn(const QString& kind, const QString& text) {
  return bool(db::exec(QStringLiteral("CREATE TRIGGER fail_%1 BEFORE %1 ON Tabla1 BEGIN SELECT RAISE(ABORT, '%2'); END")
                           .arg(kind, text)));
}

}  // namespace vz::test
