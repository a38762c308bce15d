#include "platform/replacefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include "exchange/adif.h"
#include "platform/textfile.h"
#include "support/killedwrite.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList manyLines() {
  QStringList lines;
  for (int i = 0; i < 500; ++i) lines << QStringLiteral("linea %1 de un archivo largo").arg(i);
  return lines;
}

// Names in the folder that are not in before.
QStringList newNames(const QString& folder, const QStringList& before) {
  QStringList added;
  for (const QString& n : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
    if (!before.contains(n)) added << n;
  return added;
}

}  // namespace

// The clean-up at start-up takes only what killed writes of this program left: the
// operator's own files survive whatever their names, and so does a write that is
// still going on (another instance's).
TEST(InterruptedWrites, OnlyLeftoversOfKilledWritesGo) {
  test::TempFolder folder(false);
  const QString dir = folder.path();

  // The operator's files, some with names that look like temporary files.
  const QStringList operatorFiles{
      "config.ini.backup", "milog.adi.enero1", "satelites.txt.viejo1", "misnotas.txt.123456",
      "base0_backup.tmp", "base0_Ab12Cd.tmp", "base0_Ab12Cd.tmp-journal", "config.ini.x1Y2z3",
      "config.ini.vz-tmp-abc123",             // too short
      "config.ini.vz-tmp-ABCDEF123456",       // capitals
      "config.ini.vz-tmp-abcdef1234567",      // one too many
      "config.ini.vz-tmp-abcdef123456.bak",   // something after it
      "config.ini.vz-tmp-abcdef12345_",       // not a letter or digit
      "config.ini.vz-tmp-abcdef123456-copia", // not a journal
      ".vz-tmp-abcdef123456", "vz-tmp-abcdef123456", "config.vz_tmp_abcdef123456",
      "base0.mdb", "base0_08_12_25.mdb", "base0_08_12_25.mdb.tmp", "notas.tmp"};
  for (const QString& n : operatorFiles) {
    QFile f(QDir(dir).filePath(n));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(n.toUtf8() + " del operador");
  }
  // A folder and a link with a leftover's name are not the program's either.
  ASSERT_TRUE(QDir(dir).mkdir("fotos.vz-tmp-abcdef123456"));
  ASSERT_TRUE(QFile::link(QDir(dir).filePath("misnotas.txt.123456"), QDir(dir).filePath("enlace.vz-tmp-abcdef123456")));

  const QStringList oldConfig{"LU1ABC", "Diario"};
  folder.writeLines("config.ini", oldConfig);
  folder.writeLines("satelites.txt", {"AO-91"});
  folder.writeLines("milog.adi", {"<EOH>"});
  const QStringList before = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);

  // Each writer killed half-way leaves its passing file.
  const struct {
    const char* what;
    std::function<void()> write;
  } killed[] = {
      {"settings rewritten", [&] { writeTextLines(folder.file("config.ini"), manyLines()); }},
      {"line appended", [&] { appendTextLine(folder.file("satelites.txt"), QString(5000, u'x')); }},
      {"ADIF export", [&] {
         AdifFileWriter w;
         if (!w.create(folder.file("milog.adi"))) return;
         for (const QString& l : manyLines()) w.writeLine(l);
         w.finish(true);
       }},
  };
  QStringList leftovers;
  for (const auto& k : killed) {
    SCOPED_TRACE(k.what);
    ASSERT_TRUE(test::killedWhileWriting(100, k.write));
    const QStringList added = newNames(dir, before + leftovers);
    ASSERT_EQ(added.size(), 1) << added.join(' ').toStdString();
    leftovers << added;
  }
  EXPECT_EQ(folder.readLines("config.ini"), oldConfig);
  EXPECT_EQ(folder.readLines("satelites.txt"), QStringList{"AO-91"});
  // The database's journal beside a killed copy's passing file goes with it.
  const QString journal = leftovers.first() + "-journal";
  folder.writeLines(journal, {"x"});
  leftovers << journal;

  // A rewrite in progress, and the journal beside it, stay.
  ReplacingFile running(folder.file("mem.ini"));
  ASSERT_TRUE(running.open());
  ASSERT_TRUE(running.write("medio"));
  const QString runningJournal = QFileInfo(running.passingPath()).fileName() + "-journal";
  folder.writeLines(runningJournal, {"x"});

  QStringList removed = RemoveInterruptedWrites(dir);
  removed.sort();
  leftovers.sort();
  EXPECT_EQ(removed, leftovers);
  for (const QString& n : operatorFiles)
    EXPECT_EQ(bytesOf(QDir(dir).filePath(n)), n.toUtf8() + " del operador") << n.toStdString();
  EXPECT_TRUE(QFileInfo(QDir(dir).filePath("fotos.vz-tmp-abcdef123456")).isDir());
  EXPECT_TRUE(QFileInfo(QDir(dir).filePath("enlace.vz-tmp-abcdef123456")).isSymLink());
  EXPECT_TRUE(QFileInfo::exists(running.passingPath()));
  EXPECT_TRUE(folder.exists(runningJournal));

  // The write goes on undisturbed; once in place nothing more is taken.
  ASSERT_TRUE(running.write(" y fin"));
  ASSERT_TRUE(running.commit());
  EXPECT_EQ(bytesOf(folder.file("mem.ini")), QByteArray("medio y fin"));
  EXPECT_EQ(RemoveInterruptedWrites(dir), QStringList{runningJournal});
  EXPECT_TRUE(RemoveInterruptedWrites(dir).isEmpty());
}

// What a replaced file may be opened by: what it had, what the caller asks (a file of
// passwords), or the usual for a new file. The access is set before any byte is written.
TEST(ReplacingFile, AccessOfTheNewFile) {
  test::TempFolder folder(false);
  const mode_t oldMask = ::umask(022);
  const struct {
    const char* name;
    int before;  // -1: no file yet
    QFileDevice::Permissions asked;
    int after;
  } cases[] = {
      {"new, usual", -1, {}, 0644},
      {"kept", 0640, {}, 0640},
      {"kept, executable", 0750, {}, 0750},
      {"asked for the owner alone", 0644, QFileDevice::ReadOwner | QFileDevice::WriteOwner, 0600},
      {"asked, new", -1, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther, 0644},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = folder.file(QString::fromLatin1(c.name));
    const QByteArray native = QFile::encodeName(path);
    if (c.before >= 0) {
      folder.writeLines(c.name, {"viejo"});
      ASSERT_EQ(::chmod(native.constData(), mode_t(c.before)), 0);
    }
    ReplacingFile f(path);
    ASSERT_TRUE(f.open(c.asked)) << f.errorString().toStdString();
    struct stat passing {};
    ASSERT_EQ(::stat(QFile::encodeName(f.passingPath()).constData(), &passing), 0);
    EXPECT_EQ(passing.st_mode & 07777, mode_t(c.after));
    ASSERT_TRUE(f.write("nuevo"));
    ASSERT_TRUE(f.commit());
    struct stat done {};
    ASSERT_EQ(::stat(native.constData(), &done), 0);
    EXPECT_EQ(done.st_mode & 07777, mode_t(c.after));
    EXPECT_EQ(bytesOf(path), QByteArray("nuevo"));
  }
  ::umask(oldMask);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).filter(".vz-tmp-"), QStringList());
}
