#include "store/maintenance.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include "platform/database.h"
#include "store/logstore.h"

namespace vz {

Status EmptyAllTables() {
  for (const char* table : {"Tabla1", "Tabla2", "Tabla3"}) {
    const QString name = QLatin1String(table);
    Status s = db::exec(QStringLiteral("DELETE FROM [%1]").arg(name));
    if (!s) return s;
    // AUTOINCREMENT keeps its counter in sqlite_sequence; without the entry the
    // next id is one past the largest present, which is 1 in an empty table.
    s = db::exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name=?"), {name});
    if (!s) return s;
  }
  return Status::success();
}

void ReadJoinedRowsDiagnostic() {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  if (!db::run(q, QStringLiteral("SELECT Tabla1.* FROM Tabla1 INNER JOIN Tabla3 ON Tabla1.[Banda]=Tabla3.[Banda]")))
    return;
  while (q.next()) {
    [[maybe_unused]] const LogQso scratch = readLogQso(q);
  }
}

void ReadFirstRowsDiagnostic() {
  for (const char* table : {"Tabla1", "Tabla2", "Tabla3"}) {
    QSqlQuery q(db::connection());
    q.setForwardOnly(true);
    if (!db::run(q, QStringLiteral("SELECT * FROM [%1] LIMIT 1").arg(QLatin1String(table))) || !q.next())
      continue;
    const QSqlRecord record = q.record();
    QVariantList scratch;
    for (int i = 0; i < record.count(); ++i) {
      const QString value = db::text(q, i);
      if (!value.isEmpty()) scratch << value;
    }
  }
}

}  // namespace vz
