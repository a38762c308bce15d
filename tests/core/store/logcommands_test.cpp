#include "store/logcommands.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <vector>

#include "platform/database.h"
#include "storetestutil.h"
#include "store/programstate.h"
#include "support/tempfolder.h"

using namespace vz;
using vz::test::addStoredQso;
using vz::test::countRows;
using vz::test::storedQso;
using vz::test::storedValue;

namespace {

class LogCommands : public ::testing::Test {
 protected:
  test::TempFolder folder;
};

QStringList entries(const QList<LogWithCount>& logs) {
  QStringList out;
  for (const LogWithCount& l : logs) out << LogPickerEntry(l.name, l.qsos);
  return out;
}

TEST_F(LogCommands, EmptyTableListsNoLogs) {
  const auto logs = ListLogsWithCounts();
  ASSERT_TRUE(logs.ok()) << logs.error().toStdString();
  EXPECT_TRUE(logs.value.isEmpty());
  const auto names = ListLogNames();
  ASSERT_TRUE(names.ok());
  EXPECT_TRUE(names.value.isEmpty());
}

TEST_F(LogCommands, LogsAreListedByNameWithTheirQsoCountsWithoutPlaceholders) {
  ASSERT_TRUE(CreateLog("Zeta"));  // placeholder only
  ASSERT_TRUE(CreateLog("Concursos"));
  addStoredQso("Concursos", "LU1AA", QVariant());
  addStoredQso("Concursos", "LU2BB", QVariant());
  addStoredQso("Alfa", "LU3CC", QVariant());
  // A row whose mode is empty text counts as a placeholder too.
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Modo) VALUES ('Alfa', '')"));

  const auto logs = ListLogsWithCounts();
  ASSERT_TRUE(logs.ok()) << logs.error().toStdString();
  EXPECT_EQ(entries(logs.value), QStringList({"Alfa (1 QSOs)", "Concursos (2 QSOs)", "Zeta (0 QSOs)"}));
  EXPECT_EQ(ListLogNames().value, QStringList({"Alfa", "Concursos", "Zeta"}));
}

TEST_F(LogCommands, NamesDifferingInLetterCaseAndMissingNamesAreListedOnceWithExactCounts) {
  // A row: its log name (nullptr stores NULL), mode (nullptr NULL, "" a placeholder
  // kind) and worked call.
  struct Row {
    const char* log;
    const char* mode;
    const char* call;
  };
  const struct {
    const char* what;
    std::vector<Row> rows;
    QStringList entries;
  } cases[] = {
      {"one log under three spellings, the first in the log-name index standing for it",
       {{"Alfa", "SSB", "LU2AA"}, {"ALFA", "CW", "LU1AA"}, {"alfa", nullptr, nullptr}, {"Beta", "SSB", "LU3AA"}},
       {"alfa (2 QSOs)", "Beta (1 QSOs)"}},
      {"rows without a name and with the empty name are the empty log, first",
       {{nullptr, "SSB", "LU1AA"}, {nullptr, nullptr, nullptr}, {"", "CW", "LU2AA"}, {"", "", "LU3AA"},
        {"Beta", "SSB", "LU4AA"}},
       {" (2 QSOs)", "Beta (1 QSOs)"}},
      {"rows without a name alone", {{"Alfa", "SSB", "LU1AA"}, {nullptr, "SSB", "LU2AA"}}, {" (1 QSOs)", "Alfa (1 QSOs)"}},
      {"a nameless placeholder", {{nullptr, nullptr, nullptr}}, {" (0 QSOs)"}},
      {"the empty name alone", {{"", "SSB", "LU1AA"}, {"Zeta", nullptr, nullptr}}, {" (1 QSOs)", "Zeta (0 QSOs)"}},
      // Only the ASCII letters are compared without regard to case.
      {"letters beyond ASCII keep their case", {{"Peña", "SSB", "LU1AA"}, {"PEÑA", "CW", "LU2AA"}},
       {"PEÑA (1 QSOs)", "Peña (1 QSOs)"}},
      {"a trailing blank makes another log", {{"Alfa ", "SSB", "LU1AA"}, {"Alfa", "SSB", "LU2AA"}, {"Alfa", "FM", "LU2AA"}},
       {"Alfa (2 QSOs)", "Alfa  (1 QSOs)"}},
      {"logs of many QSOs each, between and beside each other",
       {{"b", "SSB", "LU1AA"}, {"A", "SSB", "LU1AA"}, {"c", "SSB", "LU1AA"}, {"b", "CW", "LU2AA"}, {"A", "CW", "LU9ZZ"},
        {"B", "FM", "LU0AA"}, {"a", nullptr, nullptr}, {"C", "SSB", "LU5AA"}, {"b", "", "LU6AA"}},
       {"a (2 QSOs)", "B (3 QSOs)", "c (2 QSOs)"}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(db::exec("DELETE FROM Tabla1"));
    for (const Row& r : c.rows) {
      const auto value = [](const char* v) { return v ? QVariant(QString::fromUtf8(v)) : QVariant(); };
      ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Modo, Estacion) VALUES (?, ?, ?)",
                           {value(r.log), value(r.mode), value(r.call)}));
    }
    const auto logs = ListLogsWithCounts();
    ASSERT_TRUE(logs.ok()) << logs.error().toStdString();
    EXPECT_EQ(entries(logs.value), c.entries) << c.what;
    QStringList names;
    for (const LogWithCount& l : logs.value) names << l.name;
    EXPECT_EQ(ListLogNames().value, names) << c.what;
  }
}

TEST_F(LogCommands, CountsBeyondSixteenBitsAreExact) {
  ASSERT_TRUE(db::transaction([] {
    QSqlQuery q(db::connection());
    if (!q.prepare("INSERT INTO Tabla1 ([Nombre Log], Modo, Estacion) VALUES ('Grande', 'SSB', ?)"))
      return Status::failure("prepare");
    for (int i = 0; i < 40000; ++i) {
      q.addBindValue(QStringLiteral("LU%1").arg(i));
      if (!q.exec()) return Status::failure("insert");
    }
    return Status::success();
  }));
  const auto logs = ListLogsWithCounts();
  ASSERT_TRUE(logs.ok());
  ASSERT_EQ(logs.value.size(), 1);
  EXPECT_EQ(logs.value.first().qsos, 40000);
}

TEST_F(LogCommands, PickerEntryGivesBackTheLogName) {
  const struct {
    const char* entry;
    const char* name;
  } cases[] = {
      {"Mi Log (3 QSOs)", "Mi Log"},
      {"Log (viejo) (12 QSOs)", "Log (viejo)"},  // a name holding " (" stays whole
      {"Log (viejo)", "Log (viejo)"},            // no count appended: taken whole
      {"Raro (x QSOs)", "Raro (x QSOs)"},
      {" (0 QSOs)", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LogNameFromPickerEntry(c.entry), QString(c.name)) << c.entry;
  EXPECT_EQ(LogNameFromPickerEntry(LogPickerEntry("A (2 QSOs)", 7)), "A (2 QSOs)");
}

TEST_F(LogCommands, NewNamesLoseApostrophesAndCompareWithoutLetterCase) {
  EXPECT_EQ(NewLogName("O'Higgins 'DX'"), "OHiggins DX");
  EXPECT_EQ(NewLogName("'''"), "");

  ASSERT_TRUE(CreateLog("Peña DX"));
  addStoredQso("Concurso", "LU1AA", QVariant());
  const struct {
    const char* name;
    bool exists;
  } cases[] = {{"Peña DX", true}, {"PEÑA dx", true}, {"concurso", true}, {"Pena DX", false}, {"Concurso 2", false}};
  for (const auto& c : cases) {
    const auto r = LogExists(QString::fromUtf8(c.name));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, c.exists) << c.name;
  }
}

TEST_F(LogCommands, CreatingALogWritesOnlyItsPlaceholder) {
  ASSERT_TRUE(CreateLog("Nuevo"));
  EXPECT_EQ(countRows("Tabla1"), 1);
  EXPECT_EQ(countRows("Tabla1", "[Nombre Log]='Nuevo' AND Modo IS NULL AND Estacion IS NULL"), 1);
  EXPECT_EQ(entries(ListLogsWithCounts().value), QStringList({"Nuevo (0 QSOs)"}));
}

TEST_F(LogCommands, DeletingALogRemovesItsRowsOnlyAndNamesTheNextLog) {
  ASSERT_TRUE(CreateLog("Beta"));
  addStoredQso("Beta", "LU1AA", QVariant());
  addStoredQso("Gamma", "LU2BB", QVariant());
  ASSERT_TRUE(CreateLog("Delta"));

  ASSERT_TRUE(DeleteLog("Beta"));
  EXPECT_EQ(countRows("Tabla1", "[Nombre Log]='Beta'"), 0);
  EXPECT_EQ(countRows("Tabla1"), 2);
  EXPECT_EQ(LogAfterDelete().value, "Delta");

  ASSERT_TRUE(DeleteLog("Delta"));
  ASSERT_TRUE(DeleteLog("Gamma"));
  EXPECT_EQ(countRows("Tabla1"), 0);
  EXPECT_EQ(LogAfterDelete().value, "Base 1");
  // "Base 1" is not written: it is not listed until a QSO is saved in it.
  EXPECT_TRUE(ListLogNames().value.isEmpty());
}

TEST_F(LogCommands, FindsAQsoOnlyInItsOwnLog) {
  const qint64 mine = addStoredQso("Mi Log", "LU1AA", QVariant());
  const qint64 other = addStoredQso("Otro", "LU2BB", QVariant());
  ASSERT_TRUE(CreateLog("Mi Log"));
  const qint64 placeholder = other + 1;  // ids are handed out in order

  EXPECT_EQ(FindLogQso("Mi Log", mine).value->Estacion, "LU1AA");
  EXPECT_FALSE(FindLogQso("Mi Log", other).value.has_value());
  EXPECT_FALSE(FindLogQso("Mi Log", placeholder).value.has_value());
  EXPECT_FALSE(FindLogQso("Mi Log", 999).value.has_value());
}

TEST_F(LogCommands, NewestQsoIsByDateThenTime) {
  EXPECT_FALSE(NewestLogQso("Mi Log").value.has_value());
  ASSERT_TRUE(CreateLog("Mi Log"));
  EXPECT_FALSE(NewestLogQso("Mi Log").value.has_value());

  addStoredQso("Mi Log", "LU1AA", QVariant(), "31/12/2023", "23:59:00");
  addStoredQso("Mi Log", "LU2BB", QVariant(), "02/01/2024", "08:00:00");
  addStoredQso("Mi Log", "LU3CC", QVariant(), "02/01/2024", "10:30:00");
  addStoredQso("Mi Log", "LU4DD", QVariant(), "01/02/2023", "12:00:00");
  addStoredQso("Otro", "LU5EE", QVariant(), "01/01/2030", "12:00:00");
  EXPECT_EQ(NewestLogQso("Mi Log").value->Estacion, "LU3CC");
}

TEST_F(LogCommands, SavingAnEditWritesEveryColumnAndEmptiesTheUploadState) {
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Modo, Estacion, Ruk, Argento) "
                       "VALUES ('Mi Log', 'SSB', 'LU1AA', '2', 'Capital')"));
  const qint64 id = countRows("Tabla1");
  EditedQso e;
  e.mode = "CW";
  e.band = "20m";
  e.ownCall = "LU9ZZ";
  e.call = "CX2AB";
  e.date = "05/06/2024";
  e.time = "14:05";
  e.reportSent = "599";
  e.reportReceived = "579";
  e.remarks = "it's fine";  // bound, so an apostrophe is only a character
  e.operatorCall = "LU8OP";
  e.ownGrid = "GF05TJ";
  e.workedGrid = "GF15";
  e.frequency = "14.025";
  e.satellite = "";
  e.province = "";
  ASSERT_TRUE(SaveEditedQso(e, id));

  const LogQso r = storedQso(id);
  EXPECT_EQ(r.Modo, "CW");
  EXPECT_EQ(r.Banda, "20m");
  EXPECT_EQ(r.MyCall, "LU9ZZ");
  EXPECT_EQ(r.Estacion, "CX2AB");
  EXPECT_EQ(r.Fecha, "05/06/2024");
  EXPECT_EQ(r.Hora, "14:05");
  EXPECT_EQ(r.RSE, "599");
  EXPECT_EQ(r.RSR, "579");
  EXPECT_EQ(r.Obs, "it's fine");
  EXPECT_EQ(r.Operador, "LU8OP");
  EXPECT_EQ(r.MiGrid, "GF05TJ");
  EXPECT_EQ(r.SuGrid, "GF15");
  EXPECT_EQ(r.Frecuencia, "14.025");
  EXPECT_EQ(r.NombreLog, "Mi Log");
  EXPECT_EQ(storedValue(id, "Ruk"), QVariant(QString("")));
  EXPECT_EQ(storedValue(id, "Argento"), QVariant(QString("")));

  const Status missing = SaveEditedQso(e, id + 100);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, QStringLiteral("El QSO #%1 ya no existe!").arg(id + 100));
}

TEST_F(LogCommands, DeletingAQsoRemovesThatRowOnly) {
  const qint64 a = addStoredQso("Mi Log", "LU1AA", QVariant());
  const qint64 b = addStoredQso("Mi Log", "LU2BB", QVariant());
  ASSERT_TRUE(DeleteQso(a));
  ASSERT_TRUE(DeleteQso(12345));
  EXPECT_EQ(countRows("Tabla1"), 1);
  EXPECT_EQ(storedQso(b).Estacion, "LU2BB");
}

TEST_F(LogCommands, WorkedBeforeMatchesTheTypedStartInTheLogByDate) {
  addStoredQso("Mi Log", "LU1AAA", QVariant(), "10/01/2024", "23:00:00");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "10/01/2024", "01:00:00");  // same day, added later
  addStoredQso("Mi Log", "LU1AA/P", QVariant(), "31/12/2023", "12:00:00");
  addStoredQso("Mi Log", "lu1ab", QVariant(), "01/02/2024", "12:00:00");
  addStoredQso("Mi Log", "LU2AA", QVariant(), "01/02/2024", "12:00:00");
  addStoredQso("Otro", "LU1AA", QVariant(), "01/01/2020", "12:00:00");
  addStoredQso("Mi Log", "L%1AA", QVariant(), "01/01/2024", "12:00:00");

  const auto calls = [](const QString& typed) {
    QStringList out;
    for (const LogQso& q : FindWorkedBefore("Mi Log", typed).value) out << q.Estacion;
    return out;
  };
  EXPECT_EQ(calls("LU1AA"), QStringList({"LU1AA/P", "LU1AAA", "LU1AA"}));
  EXPECT_EQ(calls("LU1A?"), QStringList({"LU1AA/P", "LU1AAA", "LU1AA", "lu1ab"}));
  EXPECT_EQ(calls("LU?AA"), QStringList({"LU1AA/P", "LU1AAA", "LU1AA", "LU2AA"}));
  EXPECT_EQ(calls("L%"), QStringList({"L%1AA"}));  // the text's own wildcards are literal
  EXPECT_TRUE(calls("CX1").isEmpty());
}

}  // namespace

// The edit dialog writes back an unchanged value exactly as stored, even one an
// earlier version let through with a line break; a changed value with one is refused.
TEST_F(LogCommands, AnEditKeepsAStoredLineBreakButRefusesANewOne) {
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 ([Nombre Log], Modo, Estacion, Obs, Frecuencia) "
                       "VALUES ('Mi Log', 'SSB', 'LU1AA', 'viejo' || char(13) || char(10) || 'pegado', '7')"));
  const qint64 id = countRows("Tabla1");
  const LogQso old = storedQso(id);
  EditedQso e;
  e.mode = old.Modo;
  e.call = "LU1AB";
  e.ownCall = "LU9ZZ";
  e.remarks = old.Obs;
  e.frequency = old.Frecuencia;
  ASSERT_TRUE(SaveEditedQso(e, id));
  EXPECT_EQ(storedQso(id).Obs, QString("viejo\r\npegado"));
  EXPECT_EQ(storedQso(id).Estacion, QString("LU1AB"));
  EXPECT_EQ(storedQso(id).Frecuencia, QString("7"));

  e.remarks = "nuevo\tpegado";
  EXPECT_FALSE(SaveEditedQso(e, id).ok);
  e.remarks = old.Obs;
  e.call = "LU1AC\r\n";
  EXPECT_FALSE(SaveEditedQso(e, id).ok);
  EXPECT_EQ(storedQso(id).Estacion, QString("LU1AB"));
}

TEST_F(LogCommands, APastedLogNameBecomesOneLine) {
  EXPECT_EQ(NewLogName("Pegado\r\nEstacion=PEGADO1"), QString("Pegado Estacion=PEGADO1"));
  EXPECT_EQ(NewLogName("O'Brien\tlog"), QString("OBrien log"));
}
