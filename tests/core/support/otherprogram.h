#pragma once
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

namespace vz::test {

// Another program's connection to the same database file holding a lock until
// released: "BEGIN EXCLUSIVE" keeps readers out as well, "BEGIN IMMEDIATE" only
// writers.
class OtherProgram {
 public:
  explicit OtherProgram(const QString& file, const char* begin = "BEGIN EXCLUSIVE") {
    auto c = QSqlDatabase::addDatabase("QSQLITE", "other-program");
    c.setDatabaseName(file);
    c.open();
    QSqlQuery(c).exec(QLatin1String(begin));
  }
  ~OtherProgram() { release(); }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  void release() {
    if (!QSqlDatabase::contains("other-program")) return;
    {
      auto c = QSqlDatabase::database("other-program", false);
      QSqlQuery(c).exec("COMMIT");
      c.close();
    }
    QSqlDatabase::removeDatabase("other-program");
  }
};

}  // namespace vz::test
