#include "exchange/databasecopy.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "platform/clock.h"
#include "platform/database.h"
#include "platform/programfolder.h"
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
  ASSERT_EQ(dialogs.messages.size(), 2);
  EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Critical);
  EXPECT_TRUE(dialogs.messages[0].text.contains("base0_08_12_25.mdb"));
  EXPECT_NE(dialogs.messages[1].text.toInt(), 0);
  EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::None);
  EXPECT_EQ(qsosIn(folder.file("base0_08_12_25.mdb")), 3);
  EXPECT_EQ(files(), (QStringList{"base0.mdb", "base0_08_12_25.mdb"}));
}

TEST_F(DatedCopy, WithoutADatabaseFileOnlyTheFailureIsShown) {
  test::TempFolder folder(false);
  MakeDatedDatabaseCopy();
  ASSERT_EQ(dialogs.messages.size(), 2);
  EXPECT_TRUE(dialogs.messages[0].text.contains("base0.mdb"));
  EXPECT_NE(dialogs.messages[1].text.toInt(), 0);
  EXPECT_TRUE(files().isEmpty());

  // A closed database file is copied as it is.
  ASSERT_TRUE(db::open(folder.path()));
  test::addGeneratedLog("Mi Log", 4);
  db::close();
  const DatabaseCopy c = CopyDatabaseFile();
  ASSERT_TRUE(c.ok()) << c.error.toStdString();
  EXPECT_EQ(qsosIn(c.path), 4);
}

}  // namespace
