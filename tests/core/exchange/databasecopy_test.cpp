#include "exchange/databasecopy.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <functional>
#include <optional>
#include <sqlite3.h>

#include "platform/clock.h"
#include "platform/database.h"
#include "platform/programfolder.h"
#include "platform/replacefile.h"
#include "support/filesizecap.h"
#include "support/killedwrite.h"
#include "support/logfixture.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// QSOs in a copy, read through a connection of its own.
int qsosIn(const QString& path) {
  int n = -1;
  {
    QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "copia");
    c.setDatabaseName(path);
    if (c.open()) {
      QSqlQuery q(c);
      if (q.exec("SELECT count(*) FROM Tabla1") && q.next()) n = q.value(0).toInt();
    }
  }
  QSqlDatabase::removeDatabase("copia");
  return n;
}

class DatedCopy : public ::testing::Test {
 protected:
  void SetUp() override { setClock(&clock); }
  void TearDown() override { setClock(nullptr); }
  QStringList files() const { return QDir(programFolder()).entryList(QDir::Files, QDir::Name); }

  FixedClock clock{QDateTime(QDate(2025, 12, 8), QTime(10, 0))};
  test::ScriptedDialogs dialogs;
};

TEST_F(DatedCopy, NamedAfterTheDayBesideTheDatabase) {
  test::TempFolder folder;
  EXPECT_EQ(DatedDatabaseCopyPath(QDate(2025, 12, 8)), folder.path() + "/base0_08_12_25.mdb");
  EXPECT_EQ(DatedDatabaseCopyPath(QDate(2009, 1, 31)), folder.path() + "/base0_31_01_09.mdb");
}

TEST_F(DatedCopy, CopiesEverythingCommittedAndSaysWhere) {
  test::TempFolder folder;
  test::addGeneratedLog("Mi Log", 30);
  MakeDatedDatabaseCopy();
  const QString copy = folder.file("base0_08_12_25.mdb");
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(dialogs.messages[0].text, copy + " creada!");
  EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
  EXPECT_EQ(qsosIn(copy), 30);
  EXPECT_EQ(files(), (QStringList{"base0.mdb", "base0_08_12_25.mdb"}));

  // The same day again: replaced, without a question.
  test::addGeneratedLog("Otro Log", 5);
  MakeDatedDatabaseCopy();
  EXPECT_EQ(dialogs.lastText(), copy + " creada!");
  EXPECT_EQ(qsosIn(copy), 35);

  // The next day: a second copy; the first stays.
  clock.advanceSeconds(24 * 3600);
  test::addGeneratedLog("Tercero", 1);
  MakeDatedDatabaseCopy();
  EXPECT_EQ(dialogs.lastText(), folder.file("base0_09_12_25.mdb") + " creada!");
  EXPECT_EQ(qsosIn(copy), 35);
  EXPECT_EQ(qsosIn(folder.file("base0_09_12_25.mdb")), 36);
  EXPECT_EQ(files(), (QStringList{"base0.mdb", "base0_08_12_25.mdb", "base0_09_12_25.mdb"}));
}

TEST_F(DatedCopy, AFailedCopyKeepsTheDaysEarlierCopy) {
  test::TempFolder folder;
  test::addGeneratedLog("Mi Log", 3);
  ASSERT_TRUE(CopyDatabaseFile().ok());
  test::addGeneratedLog("Otro Log", 3);
  // A copy cannot be made while a transaction is open on the connection.
  ASSERT_TRUE(db::connection().transaction());
  MakeDatedDatabaseCopy();
  db::connection().rollback();
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Critical);
  EXPECT_TRUE(dialogs.messages[0].text.contains("base0_08_12_25.mdb"));
  EXPECT_EQ(qsosIn(folder.file("base0_08_12_25.mdb")), 3);
  EXPECT_EQ(files(), (QStringList{"base0.mdb", "base0_08_12_25.mdb"}));
}

TEST_F(DatedCopy, WithoutADatabaseFileOnlyTheFailureIsShown) {
  test::TempFolder folder(false);
  MakeDatedDatabaseCopy();
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_TRUE(dialogs.messages[0].text.contains("base0.mdb"));
  EXPECT_TRUE(files().isEmpty());

  // A closed database file is copied as it is.
  ASSERT_TRUE(db::open(folder.path()));
  test::addGeneratedLog("Mi Log", 4);
  db::close();
  const DatabaseCopy c = CopyDatabaseFile();
  ASSERT_TRUE(c.ok()) << c.error.toStdString();
  EXPECT_EQ(qsosIn(c.path), 4);
}

// However the copy fails, one box tells it: the step and the file on the first line,
// then the system's words, once; never a bare number. Nothing stays behind.
TEST_F(DatedCopy, AFailureIsOneBoxNamingTheStepAndTheFile) {
  const struct {
    const char* name;
    bool databaseOpen;
    std::function<void(test::TempFolder&)> prepare;
    const char* firstLine;  // %1: the folder
    const char* spanish;    // the kind's words, when one is known
    rlim_t diskRoom = 0;    // bytes a file may have, when the disk is "full"
  } cases[] = {
      {"no database file", false, [](test::TempFolder&) {},
       "No se pudo copiar la base de datos (%1/base0.mdb).", "El archivo no existe."},
      {"a folder in the copy's place", true,
       [](test::TempFolder& f) { ASSERT_TRUE(QDir(f.path()).mkpath("base0_08_12_25.mdb/fotos")); },
       "No se pudo crear la copia de la base de datos (%1/base0_08_12_25.mdb).",
       "Hay una carpeta donde debería estar el archivo."},
      {"a folder in the copy's place, database closed", false,
       [](test::TempFolder& f) {
         ASSERT_TRUE(db::open(f.path()));
         db::close();
         ASSERT_TRUE(QDir(f.path()).mkpath("base0_08_12_25.mdb/fotos"));
       },
       "No se pudo crear la copia de la base de datos (%1/base0_08_12_25.mdb).",
       "Hay una carpeta donde debería estar el archivo."},
      {"a transaction open", true, [](test::TempFolder&) { ASSERT_TRUE(db::connection().transaction()); },
       "No se pudo copiar la base de datos (%1/base0_08_12_25.mdb).", ""},
      {"the disk fills", true, [](test::TempFolder&) {}, "No se pudo copiar la base de datos (%1/base0_08_12_25.mdb).",
       "", 8192},
      {"the disk fills, database closed", false,
       [](test::TempFolder& f) {
         ASSERT_TRUE(db::open(f.path()));
         test::addGeneratedLog("Mi Log", 3);
         db::close();
       },
       "No se pudo copiar la base de datos (%1/base0_08_12_25.mdb).", "", 8192},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder(c.databaseOpen);
    if (c.databaseOpen) test::addGeneratedLog("Mi Log", 3);
    c.prepare(folder);
    const QStringList before = files();
    dialogs.messages.clear();
    {
      std::optional<test::FileSizeCap> full;
      if (c.diskRoom) full.emplace(c.diskRoom);
      MakeDatedDatabaseCopy();
    }
    if (db::isOpen()) db::connection().rollback();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Critical);
    const QStringList lines = dialogs.messages[0].text.split("\r\n");
    EXPECT_EQ(lines.first(), QString::fromUtf8(c.firstLine).arg(folder.path()));
    if (*c.spanish) {
      EXPECT_EQ(lines.value(1), QString::fromUtf8(c.spanish));
    }
    // The system's words: the last line, in brackets, said nowhere else.
    ASSERT_GE(lines.size(), 2);
    const QString words = lines.last();
    EXPECT_TRUE(words.startsWith('(') && words.endsWith(')')) << words.toStdString();
    EXPECT_EQ(dialogs.messages[0].text.count(words.mid(1, words.size() - 2)), 1);
    EXPECT_EQ(files(), before);
  }
}

// A copy killed half-way leaves its passing file and nothing else; the day's earlier
// copy and the operator's files stay, and the next start-up's clean-up takes exactly
// what the copy left.
TEST_F(DatedCopy, AKilledCopyLeavesOnlyWhatTheCleanUpTakes) {
  for (const bool open : {true, false}) {
    SCOPED_TRACE(open ? "through the connection" : "the file's bytes");
    test::TempFolder folder;
    test::addGeneratedLog("Mi Log", 3);
    ASSERT_TRUE(CopyDatabaseFile().ok());
    test::addGeneratedLog("Otro Log", 400);
    const QStringList operatorFiles{"base0_backup.tmp", "misnotas.txt.123456", "config.ini.backup"};
    for (const QString& n : operatorFiles) folder.writeLines(n, {"mio"});
    if (!open) db::close();
    const QStringList before = files();

    ASSERT_TRUE(test::killedWhileWriting(8192, [] { (void)CopyDatabaseFile(); }));
    QStringList left;
    for (const QString& n : files())
      if (!before.contains(n)) left << n;
    ASSERT_FALSE(left.isEmpty());
    for (const QString& n : left) EXPECT_TRUE(n.startsWith("base0_08_12_25.mdb.vz-tmp-")) << n.toStdString();
    EXPECT_EQ(qsosIn(folder.file("base0_08_12_25.mdb")), 3);

    QStringList removed = RemoveInterruptedWrites(folder.path());
    removed.sort();
    EXPECT_EQ(removed, left);
    EXPECT_EQ(files(), before);
    for (const QString& n : operatorFiles) EXPECT_EQ(folder.readLines(n), QStringList{"mio"});

    if (!open) {
      ASSERT_TRUE(db::open(folder.path()));
    }
    ASSERT_TRUE(CopyDatabaseFile().ok());
    EXPECT_EQ(qsosIn(folder.file("base0_08_12_25.mdb")), 403);
  }
}

// Another instance starting on the same folder while a copy is being written (its
// clean-up runs then) leaves the copy alone: it ends whole.
TEST_F(DatedCopy, AnotherInstancesStartUpDuringACopyChangesNothing) {
  test::TempFolder folder;
  test::addGeneratedLog("Mi Log", 400);
  struct Midway {
    QString folder;
    QStringList seen;
    QStringList removed;
    bool done = false;
  } midway{folder.path(), {}, {}, false};
  sqlite3* handle = *static_cast<sqlite3* const*>(db::connection().driver()->handle().constData());
  sqlite3_progress_handler(
      handle, 50,
      [](void* p) {
        auto* m = static_cast<Midway*>(p);
        const QStringList passing = QDir(m->folder).entryList({"*.vz-tmp-*"}, QDir::Files);
        if (!m->done && !passing.isEmpty()) {
          m->done = true;
          m->seen = passing;
          m->removed = RemoveInterruptedWrites(m->folder);
        }
        return 0;
      },
      &midway);
  const DatabaseCopy c = CopyDatabaseFile();
  sqlite3_progress_handler(handle, 0, nullptr, nullptr);
  ASSERT_TRUE(midway.done);  // the clean-up ran while the copy was being written
  EXPECT_TRUE(midway.removed.isEmpty()) << midway.removed.join(' ').toStdString();
  ASSERT_TRUE(c.ok()) << c.error.toStdString();
  EXPECT_EQ(qsosIn(c.path), 400);
  EXPECT_EQ(files(), (QStringList{"base0.mdb", "base0_08_12_25.mdb"}));
}

}  // namespace
