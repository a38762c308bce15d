// Reading a long list a block at a time gives the same lines as reading it whole,
// wherever the blocks fall, and the readers built on it keep what they keep.
#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>

#include "platform/textfile.h"
#include "store/callsign.h"
#include "store/masterlist.h"
#include "store/programstate.h"
#include "store/satellites.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {
void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}
}  // namespace

TEST(TextBlocks, BlocksHoldTheFileLinesWhereverTheyAreCut) {
  test::TempFolder folder(false);
  // Line ends of every kind, lines much longer than a block, CR LF pairs that a
  // block boundary could split.
  QRandomGenerator random(25);
  const QByteArray pieces[] = {"\r\n", "\r", "\n", "LU1ABC", "x", QByteArray(300000, 'a'), "\xf1", ""};
  for (int round = 0; round < 20; ++round) {
    QByteArray bytes;
    while (bytes.size() < 700000) bytes += pieces[random.bounded(int(std::size(pieces)))];
    const QString path = folder.file("lista.txt");
    writeBytes(path, bytes);
    QStringList whole;
    ASSERT_TRUE(readTextLines(path, &whole));
    QStringList blocks;
    ASSERT_TRUE(forEachTextBlock(path, [&](const QStringList& lines) {
      blocks += lines;
      return true;
    }));
    ASSERT_EQ(blocks, whole) << "round " << round;
  }
}

TEST(TextBlocks, ReadersKeepWhatTheyKeepFromLongLists) {
  test::TempFolder folder(false);
  QByteArray master = "#15/03/2024\r\n";
  for (int i = 0; i < 120000; ++i) master += "LU" + QByteArray::number(i) + "X\r\n";
  writeBytes(folder.file("master.txt"), master);
  state() = ProgramState{};
  ASSERT_TRUE(LoadMasterList());
  EXPECT_EQ(state().MasterCallCount, 120000);  // every call counted
  ASSERT_EQ(state().MasterCalls.size(), MasterList::kLastEntry + 1);
  EXPECT_EQ(state().MasterCalls.last(), "LU2000X");
  EXPECT_EQ(state().MasterListDate, QDate(2024, 3, 15));

  QByteArray prefixes;
  for (int i = 0; i < 40000; ++i) prefixes += "P" + QByteArray::number(i) + ";P;Pais\r\n";
  writeBytes(folder.file("dxcc.txt"), prefixes);
  ASSERT_TRUE(LoadPrefixTable(folder.file("dxcc.txt")));
  EXPECT_EQ(prefixTable().entry(PrefixTable::kLastEntry), "P23000;P;Pais");
  EXPECT_EQ(prefixTable().entry(PrefixTable::kLastEntry + 1), QString());
  prefixTable().clear();

  // A satellites file far larger than a real one gives no list at all.
  QByteArray satellites;
  while (satellites.size() <= kMaxSatelliteFileBytes) satellites += "AO-91;70cm;2m;FM;67.0\r\n";
  writeBytes(SatelliteFilePath(), satellites);
  EXPECT_TRUE(LoadSatelliteList().isEmpty());
  writeBytes(SatelliteFilePath(), "AO-91;70cm;2m;FM;67.0\r\nSO-50;70cm;2m;FM;67.0\r\n");
  EXPECT_EQ(LoadSatelliteList().size(), 2);
}
