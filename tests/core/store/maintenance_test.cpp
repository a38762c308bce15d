#include "store/maintenance.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

#include "platform/database.h"
#include "storetestutil.h"
#include "store/logstore.h"
#include "store/programstate.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using vz::test::countRows;

namespace {

class Maintenance : public ::testing::Test {
 protected:
  void SetUp() override {
    state().CurrentLogName = QStringLiteral("Mi Log");
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(LogPlaceholderRow("Mi Log"));
      ASSERT_TRUE(db::exec("INSERT INTO Tabla2 ([Nombre Log], Modo, Banda) VALUES ('C', 'SSB', '40m')"));
      ASSERT_TRUE(db::exec("INSERT INTO Tabla3 ([Nombre Log], Modo, Banda, Dupe) VALUES ('C', 'SSB', '40m', 'VA')"));
    }
  }

  static qint64 nextId(const char* table) {
    QSqlQuery q(db::connection());
    if (!db::run(q, QStringLiteral("INSERT INTO [%1] ([Nombre Log]) VALUES ('x')").arg(QLatin1String(table))))
      return -1;
    return q.lastInsertId().toLongLong();
  }

  test::TempFolder folder;
  test::ScriptedDialogs dialogs;
};

TEST_F(Maintenance, EmptyAllTablesRestartsEveryIdCounter) {
  ASSERT_TRUE(EmptyAllTables());
  for (const char* table : {"Tabla1", "Tabla2", "Tabla3"}) EXPECT_EQ(countRows(table), 0) << table;

  ASSERT_TRUE(InsertLogQso("LU1AA", "40m", "SSB", "59", "59", "01/03/2024", "12:00:00", "LU9ZZ", QStringLiteral(""),
                           "", "7.050", QStringLiteral(""), QStringLiteral(""), ""));
  EXPECT_EQ(state().LastInsertedQsoId, "1");
  EXPECT_EQ(nextId("Tabla2"), 1);
  EXPECT_EQ(nextId("Tabla3"), 1);

  // Again on tables that hold one row each, and once more when already empty.
  ASSERT_TRUE(EmptyAllTables());
  ASSERT_TRUE(EmptyAllTables());
  EXPECT_EQ(nextId("Tabla1"), 1);
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Maintenance, EmptyAllTablesStopsAtTheFirstFailureKeepingWhatWentBefore) {
  ASSERT_TRUE(db::exec("DROP TABLE Tabla3"));
  const Status s = EmptyAllTables();
  EXPECT_FALSE(s.ok);
  EXPECT_TRUE(s.error.contains("Tabla3")) << s.error.toStdString();
  EXPECT_EQ(countRows("Tabla1"), 0);
  EXPECT_EQ(countRows("Tabla2"), 0);
  EXPECT_EQ(nextId("Tabla2"), 1);
}

TEST_F(Maintenance, DiagnosticsChangeNothingEvenWithATableMissing) {
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Modo, Banda) VALUES ('Mi Log', 'SSB', '40m')"));
  ReadJoinedRowsDiagnostic();
  ReadFirstRowsDiagnostic();
  EXPECT_EQ(countRows("Tabla1"), 4);
  ASSERT_TRUE(db::exec("DROP TABLE Tabla2"));
  ASSERT_TRUE(db::exec("DROP TABLE Tabla3"));
  ReadJoinedRowsDiagnostic();
  ReadFirstRowsDiagnostic();
  EXPECT_EQ(countRows("Tabla1"), 4);
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

}  // namespace
