#pragma once
#include <QByteArrayView>
#include <QString>

#include "platform/status.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vz::db {

// One statement of the open database run many times in a row straight on SQLite,
// for bulk work (the ADIF import's thousands of look-ups and inserts): there the
// Qt driver's binding and row caching cost more than the database's own work.
// Values are always bound, never put into the SQL text. Lives no longer than the
// connection it was prepared on.
class SqliteStatement {
 public:
  SqliteStatement() = default;
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Prepares sql on the open database (once; later calls return the first result).
  Status prepare(const QString& sql);
  bool prepared() const { return stmt_ != nullptr; }

  // Binds by position, from 1. A null text binds as empty text, never NULL.
  void bindText(int position, const QString& value);
  void bindInteger(int position, qint64 value);

  // Runs a statement that returns no rows.
  Status exec();
  // Starts a query; next() steps through its rows, ended by false (then check error()).
  Status start();
  bool next();
  QString text(int column) const;  // a NULL reads as a null text
  // The column's stored UTF-8 bytes in place, empty for a NULL; valid until the next
  // step. For streams that write what they read without a text per value.
  QByteArrayView bytes(int column) const;
  // Ends a query before its last row.
  void reset();
  qint64 integer(int column) const;
  double real(int column) const;
  // The failure that ended next(), if any.
  Status error() const { return error_; }

  qint64 lastInsertId() const;

 private:
  Status failure(const char* what) const;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  Status error_ = Status::success();
};

}  // namespace vz::db
