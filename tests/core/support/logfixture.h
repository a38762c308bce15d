#pragma once
// QSO rows for tests, added with plain bound INSERTs.
#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <stdexcept>

#include "platform/database.h"

namespace vz::test {

// Columns a test may want other than the defaults.
struct QsoDetails {
  QString mode = QStringLiteral("SSB");
  QString band = QStringLiteral("40m");
  QString frequency = QStringLiteral("7.050");
  QString remarks{};
  QString ruk = QStringLiteral("1");
  QString satellite{};
  QString province{};
  QString grid{};  // SuGrid
};

// date "dd/mm/yyyy", time "hh:mm:ss"; returns the new id.
inline qint64 addQso(const QString& log, const QString& call, const QString& date, const QString& time,
                     const QsoDetails& q = {}) {
  QSqlQuery query(db::connection());
  const Status s = db::run(query,
                           QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                                          "Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                                          "VALUES (?, ?, 'LU1ABC', ?, ?, ?, '59', '59', ?, 'LU1ABC', ?, ?, 'GF05', ?, ?, ?, ?)"),
                           {db::textValue(q.mode), db::textValue(q.band), db::textValue(call), db::textValue(date),
                            db::textValue(time), db::textValue(q.remarks), db::textValue(log),
                            db::textValue(q.frequency), db::textValue(q.grid), db::textValue(q.ruk),
                            db::textValue(q.satellite), db::textValue(q.province)});
  if (!s) throw std::runtime_error(s.error.toStdString());
  return query.lastInsertId().toLongLong();
}

// A log's placeholder row: only the name.
inline void addPlaceholder(const QString& log) {
  const Status s = db::exec(QStringLiteral("INSERT INTO Tabla1 ([Nombre Log]) VALUES (?)"), {log});
  if (!s) throw std::runtime_error(s.error.toStdString());
}

// The call of the i-th oldest QSO of a generated log (1-based).
inline QString generatedCall(int i) { return QStringLiteral("C%1").arg(i); }

// n QSOs, the i-th oldest 37 minutes after the one before it from 1 January 2000,
// in one transaction. Newest-first position p holds generatedCall(n - p + 1).
inline void addGeneratedLog(const QString& log, int n) {
  const Status s = db::transaction([&] {
    QSqlQuery q(db::connection());
    if (!q.prepare(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                                  "[Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) VALUES "
                                  "('SSB', '40m', 'LU1ABC', ?, ?, ?, '59', '59', 'Prueba', 'LU1ABC', ?, '7.050', "
                                  "'GF05', '', '1', '', '')")))
      return Status::failure(QStringLiteral("prepare"));
    const QDateTime origin(QDate(2000, 1, 1), QTime(0, 0));
    for (int i = 1; i <= n; ++i) {
      const QDateTime t = origin.addSecs(qint64(i) * 37 * 60);
      q.addBindValue(generatedCall(i));
      q.addBindValue(t.toString(QStringLiteral("dd/MM/yyyy")));
      q.addBindValue(t.toString(QStringLiteral("HH:mm:00")));
      q.addBindValue(log);
      if (!q.exec()) return Status::failure(QStringLiteral("insert"));
    }
    return Status::success();
  });
  if (!s) throw std::runtime_error(s.error.toStdString());
}

inline int rowCount(const char* table) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT count(*) FROM [%1]").arg(QLatin1String(table))) || !q.next()) return -1;
  return q.value(0).toInt();
}

}  // namespace vz::test
