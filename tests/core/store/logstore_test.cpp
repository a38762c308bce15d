#include "store/logstore.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>
#include <vector>

#include "platform/appexit.h"
#include "platform/database.h"
#include "storetestutil.h"
#include "store/duplicates.h"
#include "store/gridbackfill.h"
#include "store/logcommands.h"
#include "store/programstate.h"
#include "support/otherprogram.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using vz::test::addStoredQso;
using vz::test::countRows;
using vz::test::storedQso;
using vz::test::storedValue;

namespace {

class LogStore : public ::testing::Test {
 protected:
  void SetUp() override {
    state().CurrentLogName = QStringLiteral("Mi Log");
    state().LastInsertedQsoId.clear();
  }
  qint64 lastId() const { return state().LastInsertedQsoId.toLongLong(); }

  // A QSO as the main window saves it.
  Status save(const QString& call, const QString& grid = QString(), const QString& remarks = QStringLiteral("ok")) {
    return InsertLogQso(call, "40m", "SSB", "59", "57", "01/03/2024", "12:00:00", "LU9ZZ", QStringLiteral("LU9ZZ"),
                        remarks, "7.050", QStringLiteral("GF05"), grid.isNull() ? QStringLiteral("") : grid, "");
  }

  test::TempFolder folder;
  test::ScriptedDialogs dialogs;
};

TEST_F(LogStore, InsertLogQsoStoresEveryColumnInPlaceAndRecordsTheId) {
  ASSERT_TRUE(InsertLogQso("LU1AA", "40m", "CW", "599", "579", "01/03/2024", "12:34:00", "LU9ZZ",
                           QStringLiteral("LU8OP"), "Juan", "7.012", QStringLiteral("GF05"), QStringLiteral("FF78"),
                           "  AO-91  "));
  const qint64 id = lastId();
  ASSERT_GT(id, 0);
  const LogQso r = storedQso(id);
  EXPECT_EQ(r.Modo, "CW");
  EXPECT_EQ(r.Banda, "40m");
  EXPECT_EQ(r.MyCall, "LU9ZZ");
  EXPECT_EQ(r.Estacion, "LU1AA");
  EXPECT_EQ(r.Fecha, "01/03/2024");
  EXPECT_EQ(r.Hora, "12:34:00");
  EXPECT_EQ(r.RSE, "599");
  EXPECT_EQ(r.RSR, "579");
  EXPECT_EQ(r.Obs, "Juan");
  EXPECT_EQ(r.Operador, "LU8OP");
  EXPECT_EQ(r.NombreLog, "Mi Log");
  EXPECT_EQ(r.Frecuencia, "7.012");
  EXPECT_EQ(r.MiGrid, "GF05");
  EXPECT_EQ(r.SuGrid, "FF78");
  EXPECT_EQ(r.Ruk, "1");
  EXPECT_EQ(r.Nombre_Sat, "AO-91");
  EXPECT_EQ(r.Argento, "Capital");
  EXPECT_EQ(RukStatus(r.Ruk), kRukUploaded);
}

TEST_F(LogStore, EmptyTextsAreStoredAsTextNotAsMissingValues) {
  ASSERT_TRUE(InsertLogQso("LU1AA", "40m", "SSB", "", "", "01/03/2024", "12:00:00", "LU9ZZ", QString(), QString(),
                           "7.050", QString(), QString(), "   "));
  const qint64 id = lastId();
  for (const char* column : {"RSE", "RSR", "Obs", "Operador", "MiGrid", "SuGrid", "Nombre_Sat"}) {
    const QVariant v = storedValue(id, column);
    EXPECT_FALSE(v.isNull()) << column;
    EXPECT_EQ(v.toString(), "") << column;
  }
}

TEST_F(LogStore, ContestTransferStoresOneReportTwiceInTheCurrentLog) {
  ASSERT_TRUE(CopyContestQsoToMainLog("Otro Log", "LU1AA", "LU9ZZ", "599", "ignorado", "01/03/2024", "12:34:00",
                                      "7.000", "40m", "CW", "Concurso Prueba"));
  const qint64 id = lastId();
  const LogQso r = storedQso(id);
  EXPECT_EQ(r.NombreLog, "Mi Log");
  EXPECT_EQ(r.RSE, "599");
  EXPECT_EQ(r.RSR, "599");
  EXPECT_EQ(r.Obs, "Concurso Prueba");
  EXPECT_EQ(r.Ruk, "1");
  EXPECT_EQ(r.Argento, "Capital");
  for (const char* column : {"Operador", "MiGrid", "SuGrid"}) EXPECT_TRUE(storedValue(id, column).isNull()) << column;
  EXPECT_EQ(storedValue(id, "Nombre_Sat").toString(), "");
  EXPECT_FALSE(storedValue(id, "Nombre_Sat").isNull());
}

TEST_F(LogStore, ImportMapsOnlyTheExactDigitalVoiceNames) {
  const struct {
    const char* given;
    const char* stored;
  } cases[] = {
      {"DIGITALVOICE", "DVoice"}, {"C4FM", "DVoice"}, {"DMR", "DVoice"}, {"VOI", "DVoice"},
      {"DSTAR", "DVoice"},        {"FREEDV", "DVoice"}, {"dmr", "dmr"},  {"Dstar", "Dstar"},
      {"SSB", "SSB"},             {"DMR ", "DMR "},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(InsertImportedQso("LU1AA", "2m", c.given, "59", "59", "01/03/2024", "12:00", "LU9ZZ", "LU9ZZ", "",
                                  "144.100", "GF05", "FF78", "", 0, ""));
    EXPECT_EQ(storedQso(lastId()).Modo, c.stored) << c.given;
  }
}

TEST_F(LogStore, ImportStoresItsStatusAndTrimmedProvinceWithoutBackFill) {
  const qint64 earlier = addStoredQso("Mi Log", "LU1AA", QVariant());
  ASSERT_TRUE(InsertImportedQso("LU1AA", "2m", "FM", "59", "59", "01/03/2024", "12:00", "LU9ZZ", "LU9ZZ", "r",
                                "145.500", "GF05", "FF78", " ISS ", 2, "  Córdoba "));
  const LogQso r = storedQso(lastId());
  EXPECT_EQ(r.Ruk, "2");
  EXPECT_EQ(RukStatus(r.Ruk), kRukConfirmed);
  EXPECT_EQ(r.Argento, "Córdoba");
  EXPECT_EQ(r.Nombre_Sat, "ISS");
  EXPECT_EQ(r.Hora, "12:00");
  EXPECT_EQ(r.NombreLog, "Mi Log");
  EXPECT_TRUE(storedValue(earlier, "SuGrid").isNull());
}

TEST_F(LogStore, UpdateLogQsoOverwritesAllButTheLogNameAndOnlyThatRow) {
  const qint64 other = addStoredQso("Mi Log", "LU2BB", QVariant());
  const qint64 id = addStoredQso("Otro Log", "LU1AA", QVariant());
  state().LastInsertedQsoId = QStringLiteral("7");
  ASSERT_TRUE(UpdateLogQso("LU3CC", "20m", "DMR", "55", "56", "02/03/2024", "13:14", "LU9YY", "LU8OP", "nuevo",
                           "14.200", "GF06", "FF79", " SO-50 ", 1, " Chubut ", id));
  const LogQso r = storedQso(id);
  EXPECT_EQ(r.Estacion, "LU3CC");
  EXPECT_EQ(r.Banda, "20m");
  EXPECT_EQ(r.Modo, "DMR");
  EXPECT_EQ(r.RSE, "55");
  EXPECT_EQ(r.RSR, "56");
  EXPECT_EQ(r.Fecha, "02/03/2024");
  EXPECT_EQ(r.Hora, "13:14");
  EXPECT_EQ(r.MyCall, "LU9YY");
  EXPECT_EQ(r.Operador, "LU8OP");
  EXPECT_EQ(r.Obs, "nuevo");
  EXPECT_EQ(r.Frecuencia, "14.200");
  EXPECT_EQ(r.MiGrid, "GF06");
  EXPECT_EQ(r.SuGrid, "FF79");
  EXPECT_EQ(r.Ruk, "1");
  EXPECT_EQ(r.Nombre_Sat, " SO-50 ");
  EXPECT_EQ(r.Argento, " Chubut ");
  EXPECT_EQ(r.NombreLog, "Otro Log");
  EXPECT_EQ(storedQso(other).Estacion, "LU2BB");
  EXPECT_EQ(state().LastInsertedQsoId, "7");
}

TEST_F(LogStore, ApostrophesAreStoredAsTypedByEveryOperation) {
  state().CurrentLogName = QStringLiteral("D'Log");
  const QString call = QStringLiteral("O'1AA");
  const QString text = QStringLiteral("it's 'quoted'; DROP TABLE Tabla1; --");

  ASSERT_TRUE(LogPlaceholderRow(state().CurrentLogName));
  EXPECT_EQ(countRows("Tabla1", "[Nombre Log]='D''Log'"), 1);

  ASSERT_TRUE(InsertLogQso(call, "40m", "SSB", "59", "59", "01/03/2024", "12:00:00", "LU9ZZ", text, text, "7.050",
                           text, QStringLiteral(""), text));
  const qint64 inserted = lastId();
  LogQso r = storedQso(inserted);
  EXPECT_EQ(r.Estacion, call);
  EXPECT_EQ(r.Obs, text);
  EXPECT_EQ(r.Operador, text);
  EXPECT_EQ(r.MiGrid, text);
  EXPECT_EQ(r.Nombre_Sat, text);
  EXPECT_EQ(r.NombreLog, "D'Log");

  ASSERT_TRUE(CopyContestQsoToMainLog("x", call, "LU9ZZ", "59", "59", "01/03/2024", "13:00:00", "7.000", "40m", "SSB",
                                      "Concurso D'Prueba"));
  EXPECT_EQ(storedQso(lastId()).Obs, "Concurso D'Prueba");

  ASSERT_TRUE(InsertImportedQso(call, "40m", "SSB", "59", "59", "01/03/2024", "14:00", "LU9ZZ", text, text, "7.050",
                                text, QStringLiteral(""), text, 0, text));
  const qint64 imported = lastId();
  EXPECT_EQ(storedQso(imported).Argento, text.trimmed());

  ASSERT_TRUE(UpdateLogQso(call, "40m", "SSB", "59", "59", "01/03/2024", "14:00", "LU9ZZ", text, text, "7.050", text,
                           QStringLiteral(""), text, 0, text, imported));
  EXPECT_EQ(storedQso(imported).Obs, text);

  const QString grid = QStringLiteral("GF'05");
  ASSERT_TRUE(FillMissingGridForCall(call, grid));
  EXPECT_EQ(storedQso(inserted).SuGrid, grid);
  const Result<QString> found = FindGridForCall(call);
  ASSERT_TRUE(found.ok()) << found.error().toStdString();
  EXPECT_EQ(found.value, grid);

  ASSERT_TRUE(UpdateQsoTheirGrid(QStringLiteral("FF'99"), QString::number(imported)));
  EXPECT_EQ(storedQso(imported).SuGrid, "FF'99");
  ASSERT_TRUE(SetQsoRukStatus(QString::number(imported), QStringLiteral("2")));
  EXPECT_EQ(storedQso(imported).Ruk, "2");

  const auto dup = FindRecentDuplicateQso("LU9ZZ", call, "01/03/2024", "12:05", "40m", "", "SSB", "", "", "", "", "",
                                          "", "");
  ASSERT_TRUE(dup.ok()) << dup.error().toStdString();
  EXPECT_EQ(dup.value, inserted);
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Earlier QSOs of LU1AA in "Mi Log": one with no grid (NULL), one with empty text,
// one with blanks (counts as a grid); another call without grid; LU1AA in another log.
class GridBackFill : public LogStore {
 protected:
  void SetUp() override {
    LogStore::SetUp();
    noGrid = addStoredQso("Mi Log", "LU1AA", QVariant());
    emptyGrid = addStoredQso("Mi Log", "LU1AA", QStringLiteral(""));
    blankGrid = addStoredQso("Mi Log", "LU1AA", QStringLiteral("  "));
    otherCall = addStoredQso("Mi Log", "LU2BB", QVariant());
    otherLog = addStoredQso("Otro Log", "LU1AA", QVariant());
  }
  qint64 noGrid = 0, emptyGrid = 0, blankGrid = 0, otherCall = 0, otherLog = 0;
};

TEST_F(GridBackFill, SavingWithAGridFillsTheCallsQsosThatLackOne) {
  ASSERT_TRUE(save("LU1AA", "GF05"));
  const qint64 saved = lastId();
  FinishGridBackFill();
  EXPECT_EQ(storedQso(noGrid).SuGrid, "GF05");
  EXPECT_EQ(storedQso(emptyGrid).SuGrid, "GF05");
  EXPECT_EQ(storedQso(blankGrid).SuGrid, "  ");
  EXPECT_TRUE(storedValue(otherCall, "SuGrid").isNull());
  EXPECT_TRUE(storedValue(otherLog, "SuGrid").isNull());
  EXPECT_EQ(storedQso(saved).SuGrid, "GF05");

  // A later QSO with another grid changes none of them.
  ASSERT_TRUE(save("LU1AA", "FF99"));
  FinishGridBackFill();
  EXPECT_EQ(storedQso(noGrid).SuGrid, "GF05");
  EXPECT_EQ(storedQso(emptyGrid).SuGrid, "GF05");
  EXPECT_EQ(storedQso(saved).SuGrid, "GF05");
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(GridBackFill, NoBackFillWithoutAGridOrForACallWithASlash) {
  const qint64 portable = addStoredQso("Mi Log", "LU1AA/P", QVariant());
  ASSERT_TRUE(save("LU1AA", ""));
  ASSERT_TRUE(save("LU1AA/P", "GF05"));
  ASSERT_TRUE(CopyContestQsoToMainLog("x", "LU1AA", "LU9ZZ", "59", "59", "01/03/2024", "12:00:00", "7.000", "40m",
                                      "SSB", "Concurso X"));
  FinishGridBackFill();
  EXPECT_TRUE(storedValue(noGrid, "SuGrid").isNull());
  EXPECT_EQ(storedQso(emptyGrid).SuGrid, "");
  EXPECT_TRUE(storedValue(portable, "SuGrid").isNull());
}

TEST_F(GridBackFill, FindGridForCallTakesTheFirstGridOfTheCurrentLog) {
  const struct {
    const char* call;
    const char* grid;
  } cases[] = {
      {"LU1AA", "  "},  // blanks count as a grid and come first in table order
      {"LU2BB", ""},    // worked before without a grid
      {"LU7XX", ""},    // never worked
  };
  for (const auto& c : cases) {
    const Result<QString> r = FindGridForCall(c.call);
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    EXPECT_EQ(r.value, c.grid) << c.call;
  }
  addStoredQso("Otro Log", "LU2BB", QStringLiteral("FF11"));
  EXPECT_EQ(FindGridForCall("LU2BB").value, "");
  addStoredQso("Mi Log", "LU2BB", QStringLiteral("FF22"));
  addStoredQso("Mi Log", "LU2BB", QStringLiteral("FF33"));
  EXPECT_EQ(FindGridForCall("LU2BB").value, "FF22");
}

TEST_F(GridBackFill, AFailingBackFillIsReportedAndTheQsoStaysSaved) {
  QStringList failures;
  setGridBackFillHandlers({}, [&](const QString& error) { failures << error; });
  ASSERT_TRUE(test::failOn("UPDATE", "disco lleno"));
  ASSERT_TRUE(InsertLogQso("LU1AA", "40m", "SSB", "59", "59", "01/03/2024", "12:00", "LU9ZZ", std::nullopt, "ok",
                           "7.100", std::nullopt, QStringLiteral("GF05"), QString()));
  FinishGridBackFill();
  setGridBackFillHandlers({}, {});
  EXPECT_EQ(storedQso(lastId()).SuGrid, "GF05");
  ASSERT_EQ(failures.size(), 1);
  EXPECT_TRUE(failures[0].contains("disco lleno"));
  EXPECT_TRUE(failures[0].contains("LU1AA")) << "the message says which QSO it was about";
  EXPECT_TRUE(dialogs.messages.isEmpty());
  EXPECT_TRUE(storedValue(noGrid, "SuGrid").isNull());
  EXPECT_FALSE(GridBackFillPending());
}

// A station with more QSOs lacking a grid than one step writes.
class LongGridBackFill : public LogStore {
 protected:
  void SetUp() override {
    LogStore::SetUp();
    setGridBackFillHandlers([this](const QString& log) { filledLogs << log; }, {});
    for (int i = 0; i < kEarlier; ++i) addStoredQso("Mi Log", "LU1AA", i % 2 ? QVariant() : QVariant(QString("")));
  }
  void TearDown() override { setGridBackFillHandlers({}, {}); }
  long long lacking(const QString& log = QStringLiteral("Mi Log")) {
    return countRows("Tabla1", QStringLiteral("[Nombre Log]='%1' AND [Estacion]='LU1AA' AND IFNULL([SuGrid],'')=''")
                                   .arg(log));
  }
  static constexpr int kEarlier = 2 * kGridBackFillStep + 5;
  QStringList filledLogs;
};

TEST_F(LongGridBackFill, TheSaveReturnsFirstAndEachStepWritesAtMostAStep) {
  ASSERT_TRUE(save("LU1AA", "GF05"));
  // The QSO is on disk; the earlier ones wait for the event loop.
  EXPECT_EQ(storedQso(lastId()).SuGrid, "GF05");
  EXPECT_EQ(lacking(), kEarlier);
  EXPECT_TRUE(GridBackFillPending());

  std::vector<long long> left;
  while (RunGridBackFillStep()) left.push_back(lacking());
  left.push_back(lacking());
  EXPECT_EQ(left, (std::vector<long long>{kEarlier - kGridBackFillStep, 5, 0}));
  EXPECT_EQ(filledLogs, QStringList{"Mi Log"});  // told once, at the end
}

TEST_F(LongGridBackFill, TheProgramsEndFinishesIt) {
  ASSERT_TRUE(save("LU1AA", "GF05"));
  runProgramEndWork();
  EXPECT_EQ(lacking(), 0);
}

TEST_F(LongGridBackFill, TheEventLoopRunsItToTheEnd) {
  ASSERT_TRUE(save("LU1AA", "GF05"));
  for (int turns = 0; GridBackFillPending() && turns < 100; ++turns) QCoreApplication::processEvents();
  EXPECT_EQ(lacking(), 0);
  EXPECT_EQ(filledLogs, QStringList{"Mi Log"});
}

long long pendingBackFills() { return countRows(QLatin1String(db::kGridBackFillTable), "1"); }

// Another program holds the file right after the save: each step gives up at once
// and the back-fill waits for its next try; when the lock outlasts the wait the
// operator is told once what is left, without being asked to save again, and the
// back-fill ends by itself once the file is free.
TEST_F(LongGridBackFill, AStepThatMeetsALockTriesAgainAndTellsOnceWhatIsLeft) {
  const struct {
    const char* lock;
    QString left;  // what the notice says is left
  } cases[] = {
      {"BEGIN IMMEDIATE", QStringLiteral("%1 QSOs anteriores sin grilla").arg(kEarlier)},
      {"BEGIN EXCLUSIVE", QStringLiteral("sus QSOs anteriores sin grilla")},  // not even a count can be read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lock);
    QStringList told;
    setGridBackFillHandlers([this](const QString& log) { filledLogs << log; },
                            [&](const QString& error) { told << error; });
    filledLogs.clear();
    ASSERT_TRUE(save("LU1AA", "GF05"));
    {
      test::OtherProgram other(folder.file("base0.mdb"), c.lock);
      for (int i = 0; i < 2 * 10; ++i) ASSERT_TRUE(RunGridBackFillStep()) << i;
    }
    EXPECT_EQ(lacking(), kEarlier);
    EXPECT_EQ(pendingBackFills(), 1);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("LU1AA")) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains("GF05")) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains(c.left)) << told[0].toStdString();
    EXPECT_TRUE(told[0].contains("No hace falta volver a guardar el QSO")) << told[0].toStdString();
    EXPECT_FALSE(told[0].contains("vuelva a intentarlo")) << told[0].toStdString();
    for (int turns = 0; GridBackFillPending() && turns < 100; ++turns) RunGridBackFillStep();
    EXPECT_EQ(lacking(), 0);
    EXPECT_EQ(pendingBackFills(), 0);
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(filledLogs, QStringList{"Mi Log"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The earlier QSOs lack their grid again for the next case.
    ASSERT_TRUE(db::exec("DELETE FROM Tabla1 WHERE [id]=?", {lastId()}));
    ASSERT_TRUE(db::exec("UPDATE Tabla1 SET [SuGrid]=NULL WHERE [Estacion]='LU1AA'"));
  }
}

// The process ends half-way (killed, or the program's end meets a lock): the file
// keeps the back-fill's row, and the next start finishes it and removes the row.
TEST_F(LongGridBackFill, ABackFillCutByTheEndOfTheProcessIsFinishedAtTheNextStart) {
  ASSERT_TRUE(save("LU1AA", "GF05"));
  EXPECT_EQ(pendingBackFills(), 1);
  ASSERT_TRUE(RunGridBackFillStep());
  {
    // The program's end waits as any step does, then leaves the rest.
    test::OtherProgram other(folder.file("base0.mdb"));
    runProgramEndWork();
  }
  EXPECT_EQ(lacking(), kEarlier - kGridBackFillStep);
  // The process is gone: what it kept in memory goes with it.
  db::close();
  EXPECT_FALSE(RunGridBackFillStep());

  ASSERT_TRUE(db::open(folder.path()));
  EXPECT_EQ(pendingBackFills(), 1);
  ResumeGridBackFills();
  ResumeGridBackFills();  // a second call queues nothing twice
  FinishGridBackFill();
  EXPECT_EQ(lacking(), 0);
  EXPECT_EQ(pendingBackFills(), 0);
  EXPECT_EQ(filledLogs, QStringList{"Mi Log"});
}

// What happens between a save and its back-fill's first step.
TEST_F(GridBackFill, AQueuedFillKeepsItsSaveOrderLogAndDatabase) {
  test::TempFolder otherFolder(false);
  const struct {
    const char* call;
    std::function<void()> between;
    const char* earlierGrid;  // what the earlier QSO of the call holds at the end
  } cases[] = {
      // A second save with another grid before the first fill ran: the first grid wins.
      {"LU3CC", [&] { ASSERT_TRUE(save("LU3CC", "FF99")); }, "GF05"},
      // The operator switched logs: the fill stays with the log the QSO went into.
      {"LU4DD", [&] { state().CurrentLogName = QStringLiteral("Otro Log"); }, "GF05"},
      // Another database file is in use: the old save's fill is dropped, not run there.
      {"LU5EE",
       [&] {
         ASSERT_TRUE(db::open(otherFolder.path()));
         addStoredQso("Mi Log", "LU5EE", QVariant());
       },
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    state().CurrentLogName = QStringLiteral("Mi Log");
    const qint64 earlier = addStoredQso("Mi Log", c.call, QVariant());
    const qint64 inOtherLog = addStoredQso("Otro Log", c.call, QVariant());
    ASSERT_TRUE(save(c.call, "GF05"));
    c.between();
    FinishGridBackFill();
    EXPECT_FALSE(GridBackFillPending());
    if (db::folder() != folder.path()) {
      EXPECT_EQ(countRows("Tabla1", "IFNULL([SuGrid],'')<>''"), 0) << "a grid reached the other database";
      ASSERT_TRUE(db::open(folder.path()));
    }
    EXPECT_EQ(storedValue(earlier, "SuGrid").toString(), c.earlierGrid);
    EXPECT_TRUE(storedValue(inOtherLog, "SuGrid").isNull());
  }
}

TEST_F(LogStore, AFailedInsertReturnsItsErrorAndKeepsWhatWasSaved) {
  ASSERT_TRUE(save("LU1AA"));
  const QString before = state().LastInsertedQsoId;
  ASSERT_TRUE(test::failOn("INSERT", "archivo bloqueado"));
  const Status s = save("LU2BB");
  EXPECT_FALSE(s.ok);
  EXPECT_TRUE(s.error.contains("archivo bloqueado")) << s.error.toStdString();
  const Status imported =
      InsertImportedQso("LU3CC", "40m", "SSB", "59", "59", "01/03/2024", "12:00", "LU9ZZ", "", "", "", "", "", "", 0, "");
  EXPECT_FALSE(imported.ok);
  EXPECT_EQ(state().LastInsertedQsoId, before);
  EXPECT_EQ(countRows("Tabla1"), 1);
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(LogStore, EveryOperationReportsAClosedDatabase) {
  db::close();
  EXPECT_FALSE(save("LU1AA").ok);
  EXPECT_FALSE(LogPlaceholderRow("x").ok);
  EXPECT_FALSE(UpdateLogQso("", "", "", "", "", "", "", "", "", "", "", "", "", "", 0, "", 1).ok);
  EXPECT_FALSE(FindGridForCall("LU1AA").ok());
  EXPECT_FALSE(AddProfileColumns().ok);
  EXPECT_TRUE(state().LastInsertedQsoId.isEmpty());
  EXPECT_TRUE(dialogs.messages.isEmpty());
  EXPECT_FALSE(SetQsoRukStatus("1", "2").ok);
  EXPECT_TRUE(dialogs.messages.isEmpty());  // showing a failure is the caller's
}

TEST_F(LogStore, SingleColumnUpdatesReadTheIdAsANumber) {
  const qint64 id = addStoredQso("Mi Log", "LU1AA", QVariant());
  ASSERT_EQ(id, 1);
  const struct {
    const char* id;
    bool changes;
  } cases[] = {{"1", true}, {" 1 ", true}, {"1abc", true}, {"abc", false}, {"", false}, {"2", false}};
  for (const auto& c : cases) {
    ASSERT_TRUE(db::exec("UPDATE Tabla1 SET SuGrid=NULL, Ruk=NULL"));
    ASSERT_TRUE(UpdateQsoTheirGrid("GF05", c.id));
    ASSERT_TRUE(SetQsoRukStatus(c.id, "2"));
    EXPECT_EQ(storedQso(id).SuGrid, c.changes ? "GF05" : "") << c.id;
    EXPECT_EQ(storedQso(id).Ruk, c.changes ? "2" : "") << c.id;
  }
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(LogStore, FailingSingleColumnUpdatesReturnTheirCauseAndChangeNothing) {
  const qint64 id = addStoredQso("Mi Log", "LU1AA", QVariant());
  ASSERT_TRUE(test::failOn("UPDATE", "bloqueado"));
  for (const Status& s : {UpdateQsoTheirGrid("GF05", QString::number(id)), SetQsoRukStatus(QString::number(id), "1")}) {
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.error.contains("bloqueado")) << s.error.toStdString();
  }
  EXPECT_TRUE(dialogs.messages.isEmpty());
  EXPECT_TRUE(storedValue(id, "SuGrid").isNull());
}

TEST(RukStatusText, ReadsTheLeadingNumber) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"", 0}, {"0", 0}, {"1", 1}, {"2", 2}, {" 2 ", 2}, {"2x", 2}, {"x2", 0}, {"abc", 0}};
  for (const auto& c : cases) EXPECT_EQ(RukStatus(c.text), c.value) << c.text;
}

TEST_F(LogStore, PlaceholderRowHoldsOnlyTheLogName) {
  state().LastInsertedQsoId = QStringLiteral("5");
  ASSERT_TRUE(LogPlaceholderRow("Log inicial"));
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q, "SELECT * FROM Tabla1"));
  ASSERT_TRUE(q.next());
  const QSqlRecord rec = q.record();
  for (int i = 0; i < rec.count(); ++i) {
    const QString name = rec.fieldName(i);
    if (name == "id") continue;
    if (name == "Nombre Log")
      EXPECT_EQ(q.value(i).toString(), "Log inicial");
    else
      EXPECT_TRUE(q.value(i).isNull()) << name.toStdString();
  }
  EXPECT_EQ(state().LastInsertedQsoId, "5");
}

TEST_F(LogStore, AddProfileColumnsCompletesOnlyTablesThatLackIt) {
  ASSERT_TRUE(AddProfileColumns());  // all present: nothing changes
  ASSERT_TRUE(db::exec("ALTER TABLE Tabla2 DROP COLUMN Perfil"));
  ASSERT_TRUE(db::exec("DROP TABLE Tabla3"));
  ASSERT_TRUE(AddProfileColumns());
  EXPECT_TRUE(db::connection().record("Tabla2").contains("Perfil"));
  EXPECT_TRUE(db::connection().record("Tabla1").contains("Perfil"));
  EXPECT_TRUE(db::connection().record("Tabla3").isEmpty());
}

}  // namespace

// A value with a line break or tab never reaches a row, whichever path brings it:
// the boxes make it one line, and the store refuses what got past them.
TEST_F(LogStore, ValuesWithLineBreaksOrTabsAreRefusedByEveryWriter) {
  for (const char* text : {"QSL\r\nvia buró", "QSL\nvia", "QSL\rvia", "QSL\tvia"}) {
    const QString bad = QString::fromUtf8(text);
    const long long before = countRows("Tabla1");
    const Status inserted = save("LU1AA", QString(), bad);
    EXPECT_FALSE(inserted.ok) << text;
    EXPECT_TRUE(inserted.error.contains("saltos de línea")) << inserted.error.toStdString();
    EXPECT_FALSE(InsertImportedQso("LU1AA", "40m", "SSB", "59", "59", "01/03/2024", "12:00", "LU9ZZ", "", bad,
                                   "7.050", "", "", "", 0, "")
                     .ok)
        << text;
    EXPECT_FALSE(LogPlaceholderRow(QStringLiteral("Pegado") + bad).ok) << text;
    EXPECT_EQ(countRows("Tabla1"), before) << text;
  }
  ASSERT_TRUE(save("LU1AA"));
  const qint64 id = lastId();
  EXPECT_FALSE(UpdateLogQso("LU1AA", "40m", "SSB", "59", "57", "01/03/2024", "12:00", "LU9ZZ", "LU9ZZ", "a\r\nb",
                            "7.050", "GF05", "", "", 1, "", id)
                   .ok);
  EXPECT_FALSE(UpdateQsoTheirGrid("FF\n78", QString::number(id)).ok);
  EXPECT_EQ(storedQso(id).Obs, "ok");
  EXPECT_EQ(storedQso(id).SuGrid, "");
  // Blanks and every other character stay as they are.
  ASSERT_TRUE(save("LU2BB", QString(), QString::fromUtf8("  Łódź Москва €5  ")));
  EXPECT_EQ(storedQso(lastId()).Obs, QString::fromUtf8("  Łódź Москва €5  "));
}

// A QSO without a log would land in a log nobody can pick; one without the own call
// names no station. Every writer of Tabla1 refuses both, in Spanish, and stores
// nothing: an edit leaves the QSO as it was.
TEST_F(LogStore, NoWriterStoresAQsoWithoutLogOrOwnCall) {
  const qint64 kept = addStoredQso("Mi Log", "LU1AA", QStringLiteral("GF05"));
  struct Writer {
    const char* name;
    std::function<Status(const QString& ownCall)> write;
  };
  const std::vector<Writer> writers = {
      {"entry strip",
       [](const QString& own) {
         return InsertLogQso("LU2BB", "40m", "SSB", "59", "59", "01/03/2024", "12:00:00", own, QString(), "", "7.050",
                             QString(), QString(), "");
       }},
      {"contest transfer",
       [](const QString& own) {
         return CopyContestQsoToMainLog("Mi Log", "LU2BB", own, "59", "59", "01/03/2024", "12:00:00", "7.000", "40m",
                                        "SSB", "Concurso X");
       }},
      {"import, new QSO",
       [](const QString& own) {
         return InsertImportedQso("LU2BB", "40m", "SSB", "59", "59", "01/03/2024", "12:00", own, "", "", "7.050", "",
                                  "", "", 1, "");
       }},
      {"import over a duplicate",
       [kept](const QString& own) {
         return UpdateLogQso("LU2BB", "40m", "SSB", "59", "59", "01/03/2024", "12:00", own, "", "", "7.050", "", "",
                             "", 1, "", kept);
       }},
      {"edit dialog",
       [kept](const QString& own) {
         EditedQso e;
         e.mode = "SSB";
         e.call = "LU2BB";
         e.ownCall = own;
         return SaveEditedQso(e, kept);
       }},
  };
  const struct {
    const char* log;
    const char* ownCall;
    const char* said;  // empty: stored
  } cases[] = {
      {"Mi Log", "LU9ZZ", ""},
      {"Mi Log", "", "falta la señal distintiva propia"},
      {"Mi Log", "   ", "falta la señal distintiva propia"},
      {"", "LU9ZZ", "no hay un log en uso"},
      {"  ", "LU9ZZ", "no hay un log en uso"},
  };
  for (const Writer& w : writers) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(w.name) + " / log '" + c.log + "' / own call '" + c.ownCall + "'");
      // The edit and the duplicate import keep the row's log: only the own call counts there.
      const bool keepsLog = std::string(w.name) == "edit dialog" || std::string(w.name) == "import over a duplicate";
      const bool refused = keepsLog ? QString(c.ownCall).trimmed().isEmpty() : *c.said != 0;
      state().CurrentLogName = QString::fromUtf8(c.log);
      const long long before = countRows("Tabla1");
      const LogQso keptBefore = storedQso(kept);
      const Status s = w.write(QString::fromUtf8(c.ownCall));
      if (!refused) {
        EXPECT_TRUE(s) << s.error.toStdString();
        continue;
      }
      ASSERT_FALSE(s);
      EXPECT_TRUE(s.error.startsWith(QString::fromUtf8("No se guardó el QSO"))) << s.error.toStdString();
      EXPECT_TRUE(s.error.contains(QString::fromUtf8(c.said))) << s.error.toStdString();
      EXPECT_EQ(countRows("Tabla1"), before);
      EXPECT_EQ(storedQso(kept).MyCall, keptBefore.MyCall);
    }
  }
  EXPECT_EQ(countRows("Tabla1", "trim(coalesce([Nombre Log],''))='' OR trim(coalesce(MyCall,''))=''"), 0);
}

TEST_F(LogStore, ALogWithoutANameIsNotCreated) {
  for (const char* name : {"", "   "}) {
    const Status s = LogPlaceholderRow(QString::fromUtf8(name));
    ASSERT_FALSE(s);
    EXPECT_TRUE(s.error.contains(QString::fromUtf8("el nombre está vacío"))) << s.error.toStdString();
  }
  EXPECT_EQ(countRows("Tabla1"), 0);
  EXPECT_TRUE(LogPlaceholderRow("Diario"));
}
