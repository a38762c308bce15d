#include "platform/sqlitestatement.h"

#include <QSqlDriver>
#include <sqlite3.h>

#include "platform/database.h"
#include "platform/failure.h"

namespace vz::db {

SqliteStatement::~SqliteStatement() {
  if (stmt_) sqlite3_finalize(stmt_);
}

Status SqliteStatement::failure(const char* what) const {
  if (!db_) return Status::failure(QLatin1String(what) + QStringLiteral(": sin base de datos"));
  return Status::failure(failureMessage(QLatin1String(what), path(), QString::fromUtf8(sqlite3_errmsg(db_)),
                                        sqlite3_extended_errcode(db_)));
}

Status SqliteStatement::prepare(const QString& sql) {
  if (stmt_) return Status::success();
  if (!isOpen()) return Status::failure(QStringLiteral("La base de datos no está abierta"));
  const QVariant handle = connection().driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
    return Status::failure(QStringLiteral("La base de datos no es SQLite"));
  db_ = *static_cast<sqlite3* const*>(handle.constData());
  if (!db_) return Status::failure(QStringLiteral("La base de datos no está abierta"));
  if (sqlite3_prepare16_v2(db_, sql.utf16(), int(sql.size() * sizeof(char16_t)), &stmt_, nullptr) != SQLITE_OK) {
    const Status s = failure("No se pudo preparar la consulta");
    stmt_ = nullptr;
    return s;
  }
  return Status::success();
}

void SqliteStatement::bindText(int position, const QString& value) {
  // SQLITE_TRANSIENT: the text is copied, so a temporary value may be bound.
  static const char16_t kEmpty[] = u"";
  const void* text = value.isNull() ? static_cast<const void*>(kEmpty) : static_cast<const void*>(value.utf16());
  sqlite3_bind_text16(stmt_, position, text, int(value.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
}

void SqliteStatement::bindInteger(int position, qint64 value) { sqlite3_bind_int64(stmt_, position, value); }

Status SqliteStatement::exec() {
  if (!stmt_) return Status::failure(QStringLiteral("Consulta sin preparar"));
  const int rc = sqlite3_step(stmt_);
  const Status s = rc == SQLITE_DONE || rc == SQLITE_ROW ? Status::success() : failure("No se pudo guardar");
  sqlite3_reset(stmt_);
  return s;
}

Status SqliteStatement::start() {
  if (!stmt_) return Status::failure(QStringLiteral("Consulta sin preparar"));
  sqlite3_reset(stmt_);
  error_ = Status::success();
  return Status::success();
}

bool SqliteStatement::next() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) error_ = failure("No se pudo leer");
  sqlite3_reset(stmt_);
  return false;
}

QString SqliteStatement::text(int column) const {
  const unsigned char* t = sqlite3_column_text(stmt_, column);
  if (!t) return QString();
  return QString::fromUtf8(reinterpret_cast<const char*>(t), sqlite3_column_bytes(stmt_, column));
}

QByteArrayView SqliteStatement::bytes(int column) const {
  const unsigned char* t = sqlite3_column_text(stmt_, column);
  if (!t) return {};
  return QByteArrayView(reinterpret_cast<const char*>(t), sqlite3_column_bytes(stmt_, column));
}

void SqliteStatement::reset() {
  if (stmt_) sqlite3_reset(stmt_);
}

qint64 SqliteStatement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

double SqliteStatement::real(int column) const { return sqlite3_column_double(stmt_, column); }

qint64 SqliteStatement::lastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

}  // namespace vz::db
