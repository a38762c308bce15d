#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>

#include "platform/database.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {
QStringList columns(const QString& table) {
  QStringList c;
  QSqlQuery q(db::connection());
  q.exec(QStringLiteral("PRAGMA table_info([%1])").arg(table));
  while (q.next()) c << q.value(1).toString();
  return c;
}
QStringList expected(const char* const* cols, int n) {
  QStringList c;
  for (int i = 0; i < n; ++i) c << QString::fromLatin1(cols[i]);
  return c << "Perfil";
}
}  // namespace

// A store operation that runs its own transaction may be called inside a bulk one
// (a contest transfer saves QSOs one by one): it joins it and never commits alone.
TEST(Database, ATransactionInsideAnotherIsPartOfIt) {
  test::TempFolder folder;
  const Status outer = db::transaction([] {
    EXPECT_TRUE(db::transaction([] { return db::exec("INSERT INTO Tabla1 ([Nombre Log]) VALUES ('A')"); }));
    return Status::failure(QStringLiteral("parada"));
  });
  EXPECT_FALSE(outer);
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, "SELECT count(*) FROM Tabla1"));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toInt(), 0);
  EXPECT_TRUE(db::transaction([] { return db::exec("INSERT INTO Tabla1 ([Nombre Log]) VALUES ('B')"); }));
}

TEST(Database, CreatesTheThreeTablesInAnEmptyFolder) {
  test::TempFolder folder;
  EXPECT_TRUE(folder.exists("base0.mdb"));
  EXPECT_EQ(columns("Tabla1"), expected(db::kTabla1Columns, 18));
  EXPECT_EQ(columns("Tabla2"), expected(db::kTabla2Columns, 16));
  EXPECT_EQ(columns("Tabla3"), expected(db::kTabla3Columns, 19));
  QFile f(folder.file("base0.mdb"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.read(15).startsWith("SQLite format 3"));
}

TEST(Database, CompletesAFileMissingPerfilAndATable) {
  test::TempFolder folder;
  ASSERT_TRUE(db::exec("DROP TABLE Tabla3"));
  ASSERT_TRUE(db::exec("CREATE TABLE T1 AS SELECT id, Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, "
                       "Obs, Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento FROM Tabla1"));
  ASSERT_TRUE(db::exec("DROP TABLE Tabla1"));
  ASSERT_TRUE(db::exec("ALTER TABLE T1 RENAME TO Tabla1"));
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 (Modo, [Nombre Log]) VALUES ('SSB', 'Guardado')"));
  db::close();
  ASSERT_TRUE(db::open(folder.path()));
  EXPECT_EQ(columns("Tabla1").last(), "Perfil");
  EXPECT_EQ(columns("Tabla3"), expected(db::kTabla3Columns, 19));
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, "SELECT [Nombre Log] FROM Tabla1"));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toString(), "Guardado");
}

TEST(Database, TextComparesWithoutCaseAndIdsAreNeverReused) {
  test::TempFolder folder;
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Estacion) VALUES (?, ?)", {"Mi Log", "o'brien"}));
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log]) VALUES (?)", {"x"}));
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, "SELECT Estacion FROM Tabla1 WHERE [Nombre Log]=? AND Estacion=?", {"MI LOG", "O'BRIEN"}));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toString(), "o'brien");
  ASSERT_TRUE(db::exec("DELETE FROM Tabla1 WHERE id=2"));
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log]) VALUES (?)", {"y"}));
  ASSERT_TRUE(db::run(q, "SELECT max(id) FROM Tabla1"));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toInt(), 3);
}

TEST(Database, EmptyTextIsStoredAsTextNotNull) {
  test::TempFolder folder;
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Obs) VALUES (?, ?)", {"L", db::textValue(QString())}));
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, "SELECT count(*) FROM Tabla1 WHERE Obs = ''"));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toInt(), 1);
}

TEST(Database, FailuresComeBackAsText) {
  test::TempFolder folder;
  const Status s = db::exec("SELECT * FROM NoExiste");
  EXPECT_FALSE(s.ok);
  EXPECT_TRUE(s.error.contains("NoExiste"));
  db::close();
  EXPECT_FALSE(db::exec("SELECT 1").ok);
}

TEST(Database, DateKeyOrdersDayFirstDates) {
  test::TempFolder folder;
  for (const char* d : {"02/01/2027", "31/12/2026", "01/02/2026"})
    ASSERT_TRUE(db::exec("INSERT INTO Tabla1 (Modo, [Nombre Log], Fecha, Hora) VALUES ('SSB','L',?, '10:00:00')", {d}));
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, QStringLiteral("SELECT Fecha FROM Tabla1 ORDER BY %1 DESC, Hora DESC").arg(db::kFechaKey)));
  QStringList got;
  while (q.next()) got << q.value(0).toString();
  EXPECT_EQ(got, (QStringList{"02/01/2027", "31/12/2026", "01/02/2026"}));
}

// A file from an earlier version has the narrower station indexes: at open they go
// (every index is written at every save) and the one holding the grid comes, so a
// station's QSOs lacking a grid are found without reading the table.
TEST(Database, AnOlderFileGetsTheStationIndexWithTheGridAtOpen) {
  test::TempFolder folder;
  ASSERT_TRUE(db::exec("DROP INDEX [Tabla1_Duplicado_Grid]"));
  ASSERT_TRUE(db::exec("CREATE INDEX [Tabla1_Estacion] ON Tabla1 ([Nombre Log], [Estacion])"));
  ASSERT_TRUE(db::exec("CREATE INDEX [Tabla1_Duplicado] ON Tabla1 "
                       "([Nombre Log], [Estacion], [Modo], [Banda], [MyCall], [Fecha], [Hora])"));
  for (const QVariant& grid : {QVariant(), QVariant(QStringLiteral("")), QVariant(QStringLiteral("GF05"))})
    ASSERT_TRUE(db::exec("INSERT INTO Tabla1 (Modo, [Nombre Log], Estacion, SuGrid) VALUES ('SSB','L','LU1AA',?)",
                         {grid}));
  db::close();
  ASSERT_TRUE(db::open(folder.path()));

  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name='Tabla1' ORDER BY name"));
  QStringList indexes;
  while (q.next()) indexes << q.value(0).toString();
  EXPECT_EQ(indexes, (QStringList{"Tabla1_Duplicado_Grid", "Tabla1_Pagina", "Tabla1_Provincia"}));

  const QString lacking = " FROM Tabla1 WHERE [Nombre Log]=? AND [Estacion]=? AND ([SuGrid] IS NULL OR [SuGrid]='')";
  ASSERT_TRUE(db::run(q, "EXPLAIN QUERY PLAN SELECT id" + lacking, {"L", "LU1AA"}));
  QString plan;
  while (q.next()) plan += q.value(3).toString();
  EXPECT_TRUE(plan.contains("USING COVERING INDEX Tabla1_Duplicado_Grid")) << plan.toStdString();
  ASSERT_TRUE(db::run(q, "SELECT count(*)" + lacking, {"l", "lu1aa"}));
  ASSERT_TRUE(q.next());
  EXPECT_EQ(q.value(0).toInt(), 2);
}
