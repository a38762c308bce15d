#include <gtest/gtest.h>

#include "store/masterlist.h"
#include "store/programstate.h"
#include "support/tempfolder.h"

using namespace vz;

TEST(MasterList, CallsAndTheDateLine) {
  const MasterList l = ParseMasterList({"#15/03/2024", " lu1abc ", "LW2DEF", "ay3x", "", "L20A"});
  EXPECT_EQ(l.calls, (QStringList{"LU1ABC", "LW2DEF", "AY3X", "L20A"}));
  EXPECT_EQ(l.count, 4);
  ASSERT_TRUE(l.date);
  EXPECT_EQ(*l.date, QDate(2024, 3, 15));
}

TEST(MasterList, LinesOfADownloadedListKeepTheirLineFeed) {
  // As the lines of a list written by the update read back: a line that holds only
  // its line feed (and blanks) is an empty line, no call.
  const MasterList l = ParseMasterList({"#15/03/2024\n", " lu1abc \n", "  \n", "\n", "", "LW2DEF\n"});
  EXPECT_EQ(l.calls, (QStringList{"LU1ABC \n", "LW2DEF\n"}));
  EXPECT_EQ(l.count, 2);
  EXPECT_EQ(l.date.value_or(QDate()), QDate(2024, 3, 15));
}

TEST(MasterList, DateLines) {
  struct Case {
    const char* line;
    QDate date;  // null: no date
  } cases[] = {
      {"#15/03/2024", QDate(2024, 3, 15)},
      {"# 2024-03-15 #", QDate(2024, 3, 15)},  // every "#" goes, wherever it is
      {"LU1ABC#", QDate()},                     // holds "#": a date line, no call
      {"#", QDate()},
      {"#31/02/2024", QDate()},
  };
  for (const Case& c : cases) {
    const MasterList l = ParseMasterList({c.line, "LU1ABC"});
    EXPECT_EQ(l.count, 1) << c.line;
    EXPECT_EQ(l.date.value_or(QDate()), c.date) << c.line;
  }
}

TEST(MasterList, CallsPastTheLastEntryAreCountedNotStored) {
  QStringList lines{"#01/01/2024"};
  for (int i = 0; i < 2005; ++i) lines << QStringLiteral("C%1").arg(i);
  const MasterList l = ParseMasterList(lines);
  EXPECT_EQ(l.count, 2005);
  ASSERT_EQ(l.calls.size(), 2001);  // entries 0 to 2000
  EXPECT_EQ(l.calls.last(), "C2000");
}

TEST(MasterList, LoadingFromTheProgramFolder) {
  test::TempFolder folder(false);
  state() = ProgramState{};
  EXPECT_FALSE(LoadMasterList());
  EXPECT_EQ(state().MasterCallCount, 0);

  state().MasterListDate = QDate(2020, 1, 1);
  folder.writeLines("master.txt", {"#no es fecha", "lu1abc", "lw2def"});
  EXPECT_TRUE(LoadMasterList());
  EXPECT_EQ(state().MasterCalls, (QStringList{"LU1ABC", "LW2DEF"}));
  EXPECT_EQ(state().MasterCallCount, 2);
  EXPECT_EQ(state().MasterListDate, QDate(2020, 1, 1));  // kept: the date line holds no date
}
