// Failures the operator meets with the log database and the files beside it: each is
// made for real, told in Spanish, and after a restart everything stored before is there.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>
#include <functional>

#include "platform/database.h"
#include "platform/failure.h"
#include "platform/replacefile.h"
#include "platform/textfile.h"
#include "store/logstore.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/otherprogram.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

Status saveQso(const QString& call, const QString& remarks = {}) {
  return InsertLogQso(call, "40m", "SSB", "59", "59", "01/03/2024", "12:00:00", "LU1ABC", QString("LU1ABC"), remarks,
                      "7.050", QString("GF05"), QString(), "");
}

QStringList storedCalls() {
  QStringList calls;
  QSqlQuery q(db::connection());
  if (!db::run(q, "SELECT Estacion FROM Tabla1 WHERE Modo<>'' ORDER BY id")) return {"<unreadable>"};
  while (q.next()) calls << q.value(0).toString();
  return calls;
}

using test::OtherProgram;

}  // namespace

// The save of a QSO under each failure: it says it was not stored and why, in
// Spanish, naming the file; the next save once the cause is gone succeeds without a
// restart; and a restart finds every QSO stored before.
TEST(Failures, SavingUnderEachFailureLosesNothingAndRecovers) {
  struct Case {
    const char* name;
    const char* spanish;
    std::function<std::function<void()>(test::TempFolder&)> make;  // returns the undo
  };
  const Case cases[] = {
      {"lock held by another program", "en uso por otro programa",
       [](test::TempFolder& f) {
         auto other = std::make_shared<OtherProgram>(f.file("base0.mdb"));
         return [other] { other->release(); };
       }},
      {"full disk", "El disco está lleno",
       [](test::TempFolder&) {
         QSqlQuery q(db::connection());
         db::run(q, "PRAGMA page_count");
         q.next();
         const int pages = q.value(0).toInt();
         db::exec(QString("PRAGMA max_page_count=%1").arg(pages));
         return [] { db::exec("PRAGMA max_page_count=1073741823"); };
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    state().CurrentLogName = "Mi log";
    ASSERT_TRUE(saveQso("LU2AAA"));
    const auto undo = c.make(folder);
    // A remark large enough to need new pages.
    const Status refused = saveQso("LU3BBB", QString(20000, 'x'));
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error.contains(QString::fromUtf8(c.spanish))) << refused.error.toStdString();
    EXPECT_TRUE(refused.error.contains(folder.file("base0.mdb"))) << refused.error.toStdString();
    EXPECT_FALSE(refused.error.contains("No es posible")) << refused.error.toStdString();
    undo();
    ASSERT_TRUE(saveQso("LU4CCC"));
    db::close();
    ASSERT_TRUE(db::open(folder.path()));
    EXPECT_EQ(storedCalls(), (QStringList{"LU2AAA", "LU4CCC"}));
  }
}

// A lock at start-up: the opening fails and says the file is in use; once the other
// program lets go, the next step opens the file by itself and finds the log.
TEST(Failures, ALockAtStartIsWaitedOutAndTheNextStepReopens) {
  test::TempFolder folder;
  state().CurrentLogName = "Mi log";
  ASSERT_TRUE(saveQso("LU2AAA"));
  db::close();
  OtherProgram other(folder.file("base0.mdb"));
  const Status opened = db::open(folder.path());
  ASSERT_FALSE(opened);
  EXPECT_TRUE(db::lastOpenFoundLock());
  EXPECT_TRUE(opened.error.contains("en uso por otro programa")) << opened.error.toStdString();
  EXPECT_FALSE(db::isOpen());
  other.release();
  EXPECT_EQ(storedCalls(), QStringList{"LU2AAA"});
  EXPECT_TRUE(db::isOpen());
  ASSERT_TRUE(saveQso("LU3BBB"));
  EXPECT_EQ(storedCalls(), (QStringList{"LU2AAA", "LU3BBB"}));
}

// Files that are not a database: a folder in the file's place, a file of other
// content. The opening says so in Spanish and leaves what is there untouched.
TEST(Failures, WhatIsNotADatabaseIsNamedAndLeftAlone) {
  struct Case {
    const char* name;
    std::function<void(const QString&)> make;
    const char* spanish;
  };
  const Case cases[] = {
      {"folder", [](const QString& p) { QDir().mkpath(p); }, "Hay una carpeta donde debería estar el archivo."},
      {"other content",
       [](const QString& p) {
         QFile f(p);
         f.open(QIODevice::WriteOnly);
         f.write(QByteArray(4096, 'z'));
       },
       "no es una base de datos"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder(false);
    const QString file = folder.file("base0.mdb");
    c.make(file);
    const Status s = db::open(folder.path());
    ASSERT_FALSE(s);
    EXPECT_TRUE(s.error.contains(QString::fromUtf8(c.spanish))) << s.error.toStdString();
    EXPECT_TRUE(s.error.contains(file)) << s.error.toStdString();
    EXPECT_FALSE(db::lastOpenFoundLock());
    if (QFileInfo(file).isFile()) {
      QFile f(file);
      f.open(QIODevice::ReadOnly);
      EXPECT_EQ(f.readAll(), QByteArray(4096, 'z'));
    }
    db::close();
  }
}

TEST(Failures, AMissingDatabaseIsSaidOnlyWhenSettingsExist) {
  test::TempFolder folder(false);
  EXPECT_EQ(db::missingFileNotice(folder.path()), QString());  // first run: nothing to say
  folder.writeLines("config.ini", {"Estacion=LU1ABC"});
  const QString notice = db::missingFileNotice(folder.path());
  EXPECT_TRUE(notice.contains("No se encuentra la base de datos base0.mdb")) << notice.toStdString();
  EXPECT_TRUE(notice.contains(QDir::toNativeSeparators(folder.path()))) << notice.toStdString();
  ASSERT_TRUE(db::open(folder.path()));
  EXPECT_EQ(db::missingFileNotice(folder.path()), QString());
}

// A file removed while the program runs is not made anew by the next step.
TEST(Failures, AReopenNeverCreatesAMissingFile) {
  test::TempFolder folder;
  // As a failed schema check leaves it: the connection closed, the folder kept.
  QSqlDatabase::database("vz-base0", false).close();
  QFile::remove(folder.file("base0.mdb"));
  state().CurrentLogName = "Diario";  // a QSO the store would take, but for the file
  const Status s = saveQso("LU2AAA");
  ASSERT_FALSE(s);
  EXPECT_TRUE(s.error.contains("No se encuentra la base de datos")) << s.error.toStdString();
  EXPECT_FALSE(folder.exists("base0.mdb"));
}

// The file taken away while the program runs: the next step that needs it sees
// what stands at its path now. Removed: the save says the file is missing (never
// "read-only"), makes none anew, and the file put back is used again. Replaced: the
// save goes into the file now in place, without a restart.
TEST(Failures, AFileRemovedOrReplacedWhileRunningIsOpenedAgain) {
  struct Case {
    const char* name;
    // Takes the file away; returns what the save then says (empty: it succeeds).
    std::function<void(test::TempFolder&, const QString& spare)> takeAway;
    const char* refusal;
    std::function<void(test::TempFolder&, const QString& spare)> putBack;
    QStringList afterwards;  // the calls stored at the end, a restart included
  };
  const auto file = [](test::TempFolder& f) { return f.file("base0.mdb"); };
  const Case cases[] = {
      {"removed, then put back",
       [&](test::TempFolder& f, const QString& spare) {
         ASSERT_TRUE(QFile::copy(file(f), spare));
         ASSERT_TRUE(QFile::remove(file(f)));
       },
       "No se encuentra la base de datos",
       [&](test::TempFolder& f, const QString& spare) { ASSERT_TRUE(QFile::rename(spare, file(f))); },
       {"LU2AAA", "LU4CCC"}},
      {"another file renamed over it",
       [&](test::TempFolder& f, const QString& spare) {
         {
           // A log kept elsewhere, with a QSO of its own.
           test::TempFolder elsewhere;
           ASSERT_TRUE(saveQso("LU9OTR"));
           db::close();
           ASSERT_TRUE(QFile::copy(elsewhere.file("base0.mdb"), spare));
         }
         ASSERT_TRUE(db::open(f.path()));
         // As a file manager or a copy from a back-up does it: in one step, over the open file.
         ASSERT_EQ(std::rename(QFile::encodeName(spare).constData(), QFile::encodeName(file(f)).constData()), 0);
       },
       "", {}, {"LU9OTR", "LU3BBB", "LU4CCC"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder side(false);
    test::TempFolder folder;
    const QString spare = side.file("base0.mdb");
    state().CurrentLogName = "Mi log";
    ASSERT_TRUE(saveQso("LU2AAA"));
    c.takeAway(folder, spare);
    const Status s = saveQso("LU3BBB");
    if (*c.refusal) {
      ASSERT_FALSE(s);
      EXPECT_TRUE(s.error.contains(QString::fromUtf8(c.refusal))) << s.error.toStdString();
      EXPECT_FALSE(s.error.contains(QString::fromUtf8("sólo lectura"))) << s.error.toStdString();
      EXPECT_FALSE(folder.exists("base0.mdb"));
      c.putBack(folder, spare);
    } else {
      ASSERT_TRUE(s) << s.error.toStdString();
    }
    ASSERT_TRUE(saveQso("LU4CCC"));
    EXPECT_EQ(storedCalls(), c.afterwards);
    db::close();
    ASSERT_TRUE(db::open(folder.path()));
    EXPECT_EQ(storedCalls(), c.afterwards);
  }
}

TEST(Failures, TheMessageNamesStepFileKindAndSystemWords) {
  struct Case {
    const char* system;
    int code;
    const char* spanish;
  };
  const Case cases[] = {
      {"database is locked", 5, "en uso por otro programa"},
      {"database or disk is full", 13, "El disco está lleno."},
      {"attempt to write a readonly database", 8, "sólo lectura"},
      {"attempt to write a readonly database", 1032, "borrado o reemplazado"},
      {"file is not a database", 26, "no es una base de datos"},
      {"Is a directory", -1, "Hay una carpeta"},
      {"Permission denied", -1, "No hay permiso"},
      {"Existing file /x/config.ini is not writable", -1, "sólo lectura"},  // a file that is not ours to replace
      {"something rare", -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.system);
    const QString m = failureMessage("No se pudo guardar el QSO", "/x/base0.mdb", c.system, c.code);
    const QStringList lines = m.split("\r\n");
    EXPECT_EQ(lines.first(), "No se pudo guardar el QSO (/x/base0.mdb).");
    EXPECT_EQ(lines.last(), QString("(") + c.system + ")");
    if (*c.spanish) EXPECT_TRUE(lines[1].contains(QString::fromUtf8(c.spanish))) << m.toStdString();
    else EXPECT_EQ(lines.size(), 2);
  }
}

// A reader's own reason that is already the kind's Spanish words is said once, not
// as the kind and again as the system's words.
TEST(Failures, AReasonThatIsTheKindIsSaidOnce) {
  test::TempFolder folder(false);
  QDir().mkpath(folder.file("config.ini"));
  const QString m = failureMessage("No se pudo leer la configuración", folder.file("config.ini"),
                                   readFailureReason(folder.file("config.ini")));
  EXPECT_EQ(m.count("Hay una carpeta donde debería estar el archivo."), 1) << m.toStdString();
  EXPECT_TRUE(m.startsWith("No se pudo leer la configuración (" + folder.file("config.ini") + ").")) << m.toStdString();
}

// What an interrupted copy or rewrite left goes; everything else stays, names of
// temporary files of other programs (or of the operator) included.
TEST(Failures, LeftoversOfInterruptedCopiesAreRemoved) {
  test::TempFolder folder(false);
  const QStringList leftovers{"base0_10_12_26.mdb.vz-tmp-ab12cd34ef56", "base0_10_12_26.mdb.vz-tmp-ab12cd34ef56-journal",
                              "config.ini.vz-tmp-x1y2z3x1y2z3"};
  const QStringList kept{"base0.mdb", "base0_10_12_26.mdb", "config.ini", "notas.tmp", "mi_base0_Ab12Cd.tmp.bak",
                         "base0_Ab12Cd.tmp", "base0_Ab12Cd.tmp-journal", "config.ini.x1Y2z3"};
  for (const QString& n : leftovers + kept) folder.writeLines(n, {"x"});
  QStringList removed = RemoveInterruptedWrites(folder.path());
  removed.sort();
  QStringList expected = leftovers;
  expected.sort();
  EXPECT_EQ(removed, expected);
  for (const QString& n : kept) EXPECT_TRUE(folder.exists(n)) << n.toStdString();
}

TEST(Failures, AFileFarLargerThanAnyListIsRefusedUnread) {
  test::TempFolder folder(false);
  {
    QFile f(folder.file("master.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(kMaxTextFileBytes + 1));  // sparse: no disk used
  }
  QStringList lines{"old"};
  EXPECT_FALSE(readTextLines(folder.file("master.txt"), &lines));
  EXPECT_TRUE(lines.isEmpty());
  EXPECT_TRUE(readFailureReason(folder.file("master.txt")).contains("demasiado grande"));
  QDir().mkpath(folder.file("dxcc.txt"));
  EXPECT_EQ(readFailureReason(folder.file("dxcc.txt")), "Hay una carpeta donde debería estar el archivo.");
  folder.writeLines("satelites.txt", {"AO-91"});
  EXPECT_EQ(readFailureReason(folder.file("satelites.txt")), QString());
}
