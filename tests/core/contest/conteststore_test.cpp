#include "contest/conteststore.h"

#include <gtest/gtest.h>

#include "contestfixture.h"
#include "platform/database.h"
#include "store/programstate.h"

using namespace vz;
using vz::test::addContest;
using vz::test::addContestQso;
using vz::test::ContestDb;
using vz::test::ContestQsoDetails;
using vz::test::contestValue;
using vz::test::storedContestQso;

namespace {

using ContestStore = ContestDb;

TEST_F(ContestStore, InsertContestQsoPutsEachValueInItsColumnAndLeavesTheMainLogsIdAlone) {
  state().LastInsertedQsoId = QStringLiteral("77");
  const auto r = InsertContestQso("LU1AA", "40m", "CW", "15", "023", "20240315", "0905", "LU9ZZ", "Patagonia CW",
                                  "nota", "7025", "Patagonia CW", "Incremental");
  ASSERT_TRUE(r.ok()) << r.error().toStdString();
  ASSERT_GT(r.value.id, 0);
  const ContestQso s = storedContestQso(r.value.id);
  EXPECT_EQ(s.id, r.value.id);
  EXPECT_EQ(s.Modo, "CW");
  EXPECT_EQ(s.Banda, "40m");
  EXPECT_EQ(s.MyCall, "LU9ZZ");
  EXPECT_EQ(s.Estacion, "LU1AA");
  EXPECT_EQ(s.Fecha, "20240315");
  EXPECT_EQ(s.Hora, "0905");
  EXPECT_EQ(s.RSE, "15");
  EXPECT_EQ(s.RSR, "023");
  EXPECT_EQ(s.Obs, "nota");
  EXPECT_EQ(s.NombreLog, "Patagonia CW");
  EXPECT_EQ(s.Frecuencia, "7025");
  EXPECT_EQ(s.Ruk, "Patagonia CW");
  EXPECT_EQ(s.Nombre_Sat, "Incremental");
  // Never written by the contest operations.
  EXPECT_TRUE(contestValue(s.id, "Operador").isNull());
  EXPECT_TRUE(contestValue(s.id, "Argento").isNull());
  // The row handed back is the row stored.
  EXPECT_EQ(r.value.RSR, s.RSR);
  EXPECT_EQ(r.value.NombreLog, s.NombreLog);
  // F5 in the main window still opens the main log's QSO.
  EXPECT_EQ(state().LastInsertedQsoId, "77");
}

TEST_F(ContestStore, AHeaderRowHoldsOnlyTheNamesAndTheSerialType) {
  const auto r = InsertContestQso("", "", "", "", "", "", "", "", "Nuevo", "", "", "Nuevo", "Fija");
  ASSERT_TRUE(r.ok()) << r.error().toStdString();
  const ContestQso s = storedContestQso(r.value.id);
  EXPECT_FALSE(s.isQso());
  EXPECT_EQ(s.NombreLog, "Nuevo");
  EXPECT_EQ(s.Ruk, "Nuevo");
  EXPECT_EQ(s.Nombre_Sat, "Fija");
  for (const QString& text : {s.Modo, s.Banda, s.MyCall, s.Estacion, s.Fecha, s.Hora, s.RSE, s.RSR, s.Frecuencia})
    EXPECT_EQ(text, "");
}

TEST_F(ContestStore, ApostrophesAndOtherSqlCharactersAreStoredAsTyped) {
  const QString name = QStringLiteral("O'Higgins; DROP TABLE Tabla2 --");
  addContest(name);
  const qint64 id = addContestQso(name, QStringLiteral("LU'1\"AA"));
  EXPECT_EQ(storedContestQso(id).Estacion, "LU'1\"AA");
  const auto load = LoadContestLog(name);
  ASSERT_TRUE(load.ok()) << load.error().toStdString();
  ASSERT_EQ(load.value.qsos.size(), 1);
  EXPECT_EQ(load.value.qsos[0].id, id);
  const auto exists = ContestLogExists(name);
  ASSERT_TRUE(exists.ok());
  EXPECT_TRUE(exists.value);
}

TEST(ContestReportTable, PhoneModesGive59AndEveryOtherMode599) {
  const struct {
    const char* mode;
    const char* report;
  } cases[] = {{"SSB", "59"}, {"FM", "59"}, {"CW", "599"}, {"", "599"}, {"RTTY", "599"}, {"ssb", "599"}};
  for (const auto& c : cases) EXPECT_EQ(ContestReport(c.mode), c.report) << c.mode;
}

TEST(ContestListRowLayout, SubItemsFollowTheListsColumnsWithTheReportTwice) {
  ContestQso q;
  q.id = 42;
  q.Modo = "FM";
  q.Banda = "2m";
  q.Fecha = "20240315";
  q.Hora = "0905";
  q.MyCall = "LU9ZZ";
  q.RSE = "7";
  q.Estacion = "LU1AA";
  q.RSR = "12";
  EXPECT_EQ(contestListRow(q).subItems(),
            QStringList({"42", "2m", "FM", "20240315", "0905", "LU9ZZ", "59", "7", "LU1AA", "59", "12"}));
  EXPECT_EQ(ContestQsoCountCaption(0), "0 QSOs ");
  EXPECT_EQ(ContestQsoCountCaption(1234), "1234 QSOs ");
}

TEST_F(ContestStore, OnlyAQsoOfTheContestOnShowGoesToTheTopOfItsList) {
  addContest("Otro");
  const auto stored = [](const QString& contest, const QString& mode) {
    ContestQso q;
    q.id = 9;
    q.NombreLog = contest;
    q.Modo = mode;
    return q;
  };
  const struct {
    const char* open;
    ContestQso row;
    bool listed;
  } cases[] = {
      {"Abril", stored("Abril", "CW"), true},
      {"ABRIL", stored("Abril", "SSB"), true},   // names compare as the store does
      {"Abril", stored("Abril", ""), false},     // a new contest's header row
      {"Abril", stored("Otro", "CW"), false},    // a deleted contest's window, another contest's QSO
      {"Label2", stored("Abril", "CW"), false},  // a freshly loaded window shows no contest
      {"Label2", stored("Label2", "CW"), true},  // a contest may carry that name
      {"", stored("Abril", "CW"), false},
  };
  for (const auto& c : cases) {
    const auto row = AddContestQsoToList(c.open, c.row);
    EXPECT_EQ(row.has_value(), c.listed) << c.open << " " << c.row.NombreLog.toStdString();
    if (row) {
      EXPECT_EQ(row->id, "9");
    }
  }
}

TEST_F(ContestStore, ANewContestLoadsNoQsosAndNoExchange) {
  addContest("Vacio");
  const auto load = LoadContestLog("Vacio");
  ASSERT_TRUE(load.ok()) << load.error().toStdString();
  EXPECT_TRUE(load.value.qsos.isEmpty());
  EXPECT_EQ(load.value.lastExchange, "");
  EXPECT_FALSE(load.value.lastExchange.isNull());
}

TEST_F(ContestStore, LoadListsTheContestsQsosNewestFirstAndKeepsTheOldestExchange) {
  addContest("Fijo", kSerialFija);
  addContest("Otro");
  const qint64 first = addContestQso("Fijo", "LU1AA", {.sent = QStringLiteral("GF05")}, kSerialFija);
  addContestQso("Otro", "LU2BB");
  const qint64 second = addContestQso("Fijo", "LU3CC", {.sent = QStringLiteral("GF15")}, kSerialFija);
  const qint64 third = addContestQso("Fijo", "LU4DD", {.sent = QStringLiteral("GF25")}, kSerialFija);
  const auto load = LoadContestLog("Fijo");
  ASSERT_TRUE(load.ok()) << load.error().toStdString();
  ASSERT_EQ(load.value.qsos.size(), 3);
  EXPECT_EQ(load.value.qsos[0].id, third);
  EXPECT_EQ(load.value.qsos[1].id, second);
  EXPECT_EQ(load.value.qsos[2].id, first);
  EXPECT_EQ(load.value.lastExchange, "GF05");
}

TEST_F(ContestStore, QsosInTimeOrderTieByEntryAndLeaveTheHeaderRowOut) {
  addContest("T");
  const qint64 late = addContestQso("T", "A", {.date = "20240316", .time = "0000"});
  const qint64 tieFirst = addContestQso("T", "B", {.date = "20240315", .time = "2359"});
  const qint64 early = addContestQso("T", "C", {.date = "20240315", .time = "0001"});
  const qint64 tieSecond = addContestQso("T", "D", {.date = "20240315", .time = "2359"});
  const auto rows = ContestQsosByTime("T");
  ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
  QList<qint64> ids;
  for (const ContestQso& q : rows.value) ids << q.id;
  EXPECT_EQ(ids, QList<qint64>({early, tieFirst, tieSecond, late}));
}

TEST_F(ContestStore, TheChooserListsEveryContestWithItsTypeAndQsoCount) {
  {
    const auto none = ListContestLogs();
    ASSERT_TRUE(none.ok()) << none.error().toStdString();
    EXPECT_TRUE(none.value.isEmpty());
  }
  addContest("Sin QSOs", kSerialFija);
  addContest("Grande");
  addContest("  Con blancos  ", QStringLiteral(" Fija "));
  for (int i = 0; i < 25; ++i) addContestQso("Grande", QStringLiteral("LU%1A").arg(i));
  addContestQso("  Con blancos  ", "LU1AA");
  const auto list = ListContestLogs();
  ASSERT_TRUE(list.ok()) << list.error().toStdString();
  ASSERT_EQ(list.value.size(), 3);
  EXPECT_EQ(list.value[0].name, "Sin QSOs");
  EXPECT_EQ(list.value[0].serialType, "Fija");
  EXPECT_EQ(list.value[0].qsoCount, 0);
  EXPECT_EQ(list.value[1].name, "Grande");
  EXPECT_EQ(list.value[1].serialType, "Incremental");
  EXPECT_EQ(list.value[1].qsoCount, 25);
  // The name as stored, so that opening the contest finds its rows.
  EXPECT_EQ(list.value[2].name, "  Con blancos  ");
  EXPECT_EQ(list.value[2].serialType, "Fija");
  EXPECT_EQ(list.value[2].qsoCount, 1);
  const auto load = LoadContestLog(list.value[2].name);
  ASSERT_TRUE(load.ok());
  EXPECT_EQ(load.value.qsos.size(), 1);
}

TEST_F(ContestStore, DeletingAContestRemovesItsHeaderAndQsosAndFreesItsName) {
  addContest("Borrar");
  addContest("Queda");
  addContestQso("Borrar", "LU1AA");
  addContestQso("Borrar", "LU2BB");
  const qint64 kept = addContestQso("Queda", "LU1AA");
  ASSERT_TRUE(DeleteContestLog("Borrar"));
  EXPECT_FALSE(ContestLogExists("Borrar").value);
  EXPECT_EQ(storedContestQso(kept).Estacion, "LU1AA");
  const auto list = ListContestLogs();
  ASSERT_EQ(list.value.size(), 1);
  EXPECT_EQ(list.value[0].name, "Queda");
  addContest("Borrar", kSerialFija);
  EXPECT_TRUE(LoadContestLog("Borrar").value.qsos.isEmpty());
}

TEST_F(ContestStore, DatabaseFailuresComeBackWithTheirText) {
  ASSERT_TRUE(db::exec("DROP TABLE Tabla2"));
  const auto insert = InsertContestQso("LU1AA", "40m", "CW", "1", "1", "20240315", "1200", "LU9ZZ", "X", "", "7025",
                                       "X", "Incremental");
  EXPECT_FALSE(insert.ok());
  EXPECT_TRUE(insert.error().contains("Tabla2")) << insert.error().toStdString();
  EXPECT_FALSE(LoadContestLog("X").ok());
  EXPECT_FALSE(ContestQsosByTime("X").ok());
  EXPECT_FALSE(ContestQsosInTableOrder("X").ok());
  EXPECT_FALSE(ListContestLogs().ok());
  EXPECT_FALSE(DeleteContestLog("X").ok);
  db::close();
  const auto closed = LoadContestLog("X");
  EXPECT_FALSE(closed.ok());
  EXPECT_FALSE(closed.error().isEmpty());
}

}  // namespace
