#include <gtest/gtest.h>

#include <QFile>
#include <sys/stat.h>

#include "platform/programfolder.h"
#include "store/memoryfiles.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QByteArray bytesOf(const test::TempFolder& folder, const QString& name) {
  QFile f(folder.file(name));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

EntryStripValues someValues() {
  EntryStripValues v;
  v.mhz = "144";
  v.khz = "200";
  v.band = "2m";
  v.manualTime = true;
  v.mode = "FM";
  v.satellite = true;
  return v;
}

}  // namespace

TEST(MemoryFiles, MemIniLayout) {
  test::TempFolder folder(false);
  EntryStripValues v = someValues();
  ASSERT_TRUE(WriteMemIni(v));
  EXPECT_EQ(bytesOf(folder, "mem.ini"), QByteArray("144.200\r\n2m\r\n 1 \r\n\r\n"));

  v.khz.clear();
  v.manualTime = false;
  ASSERT_TRUE(WriteMemIni(v));
  EXPECT_EQ(bytesOf(folder, "mem.ini"), QByteArray("144.\r\n2m\r\n 0 \r\n\r\n"));
}

// Every save writes mem.ini: the same lines again leave the file alone (no new
// file, no wait for the disk); anything else in it, even one byte, is replaced.
TEST(MemoryFiles, MemIniIsRewrittenOnlyWhenItsLinesChange) {
  test::TempFolder folder(false);
  const auto inode = [&] {
    struct stat st {};
    return ::stat(QFile::encodeName(folder.file("mem.ini")).constData(), &st) == 0 ? st.st_ino : ino_t(0);
  };
  const EntryStripValues v = someValues();
  ASSERT_TRUE(WriteMemIni(v));
  const ino_t first = inode();
  ASSERT_NE(first, ino_t(0));
  ASSERT_TRUE(WriteMemIni(v));
  EXPECT_EQ(inode(), first);

  const QByteArray expected("144.200\r\n2m\r\n 1 \r\n\r\n");
  for (const QByteArray& stale : {QByteArray("144.200\r\n2m\r\n 1 \r\n"), QByteArray("144.201\r\n2m\r\n 1 \r\n\r\n"),
                                  expected + "x", QByteArray()}) {
    QFile f(folder.file("mem.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(stale);
    f.close();
    ASSERT_TRUE(WriteMemIni(v));
    EXPECT_EQ(bytesOf(folder, "mem.ini"), expected) << stale.toStdString();
  }
  ASSERT_TRUE(QFile::remove(folder.file("mem.ini")));
  ASSERT_TRUE(WriteMemIni(v));
  EXPECT_EQ(bytesOf(folder, "mem.ini"), expected);
}

TEST(MemoryFiles, CfgFilesAndSatelliteLayout) {
  test::TempFolder folder(false);
  ASSERT_TRUE(SaveEntryMemoryFiles(someValues()));
  ASSERT_TRUE(SaveSatelliteMemory("AO-91"));
  EXPECT_EQ(bytesOf(folder, "memModo.cfg"), QByteArray("FM\r\n"));
  EXPECT_EQ(bytesOf(folder, "memMhz.cfg"), QByteArray("144\r\n"));
  EXPECT_EQ(bytesOf(folder, "memKhz.cfg"), QByteArray("200\r\n"));
  EXPECT_EQ(bytesOf(folder, "memqSat.cfg"), QByteArray(" 1 \r\n"));
  EXPECT_EQ(bytesOf(folder, "memsat.ini"), QByteArray("AO-91\r\n"));
}

TEST(MemoryFiles, RoundTrip) {
  test::TempFolder folder(false);
  const EntryStripValues v = someValues();
  ASSERT_TRUE(WriteMemIni(v));
  ASSERT_TRUE(SaveEntryMemoryFiles(v));
  ASSERT_TRUE(SaveSatelliteMemory(QString::fromUtf8("ÑANDÚ-1")));

  const auto mem = ReadMemIni();
  ASSERT_TRUE(mem.has_value());
  EXPECT_EQ(mem->mhz, "144");
  EXPECT_EQ(mem->khz, "200");
  EXPECT_EQ(mem->band, "2m");
  EXPECT_TRUE(mem->manualTime);

  const SavedEntryState s = ReadEntryMemoryFiles();
  EXPECT_EQ(s.mode, "FM");
  EXPECT_EQ(s.mhz, "144");
  EXPECT_EQ(s.khz, "200");
  EXPECT_EQ(s.satellite, 1);
  EXPECT_EQ(LoadSatelliteMemory(), QString::fromUtf8("ÑANDÚ-1"));
}

TEST(MemoryFiles, MissingFilesGiveNothing) {
  test::TempFolder folder(false);
  EXPECT_FALSE(ReadMemIni().has_value());
  const SavedEntryState s = ReadEntryMemoryFiles();
  EXPECT_FALSE(s.mode.has_value());
  EXPECT_FALSE(s.mhz.has_value());
  EXPECT_FALSE(s.khz.has_value());
  EXPECT_FALSE(s.satellite.has_value());
  EXPECT_EQ(LoadSatelliteMemory(), "");

  // An empty file has no first line either.
  folder.writeLines("memModo.cfg", {});
  folder.writeLines("memsat.ini", {});
  EXPECT_FALSE(ReadEntryMemoryFiles().mode.has_value());
  EXPECT_EQ(LoadSatelliteMemory(), "");
}

TEST(MemoryFiles, HandWrittenMemIni) {
  struct Case {
    QStringList lines;
    QString mhz, khz, band;
    bool manualTime;
  } cases[] = {
      {{"7.050", "40m", " 1 ", ""}, "7", "050", "40m", true},
      {{"7.05012", "40m", "1"}, "7", "050", "40m", true},  // at most three kHz characters
      {{"14.2.5", "20m", " 0 "}, "14", "2.5", "20m", false},
      {{"21"}, "21", "", "", false},                       // short file: missing lines read as empty
      {{"28.400", "10m", "x"}, "28", "400", "10m", false}, // not a number reads as 0
      {{}, "", "", "", false},
  };
  test::TempFolder folder(false);
  for (const Case& c : cases) {
    folder.writeLines("mem.ini", c.lines);
    const auto mem = ReadMemIni();
    ASSERT_TRUE(mem.has_value());
    EXPECT_EQ(mem->mhz, c.mhz) << c.lines.join('|').toStdString();
    EXPECT_EQ(mem->khz, c.khz) << c.lines.join('|').toStdString();
    EXPECT_EQ(mem->band, c.band) << c.lines.join('|').toStdString();
    EXPECT_EQ(mem->manualTime, c.manualTime) << c.lines.join('|').toStdString();
  }
}

TEST(MemoryFiles, SatelliteBoxValueIsRounded) {
  test::TempFolder folder(false);
  const std::pair<QString, long long> cases[] = {{" 0 ", 0}, {" 1 ", 1}, {"2", 2}, {"1.6", 2}, {"", 0}};
  for (const auto& [line, value] : cases) {
    folder.writeLines("memqSat.cfg", {line});
    EXPECT_EQ(ReadEntryMemoryFiles().satellite, value) << line.toStdString();
  }
}

TEST(MemoryFiles, UnwritableFolderIsReportedNotFatal) {
  test::TempFolder folder(false);
  setProgramFolder(folder.file("no-such-folder"));
  const Status mem = WriteMemIni(someValues());
  EXPECT_FALSE(mem);
  EXPECT_TRUE(mem.error.contains("mem.ini"));
  const Status cfg = SaveEntryMemoryFiles(someValues());
  EXPECT_FALSE(cfg);
  EXPECT_TRUE(cfg.error.contains("memModo.cfg"));
  EXPECT_FALSE(SaveSatelliteMemory("AO-91"));
  EXPECT_EQ(LoadSatelliteMemory(), "");
}
