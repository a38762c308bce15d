#include "store/duplicates.h"

#include <gtest/gtest.h>

#include "platform/database.h"
#include "storetestutil.h"
#include "store/programstate.h"
#include "support/tempfolder.h"

using namespace vz;
using vz::test::addStoredQso;

namespace {

class DuplicateRule : public ::testing::Test {
 protected:
  void SetUp() override { state().CurrentLogName = QStringLiteral("Mi Log"); }

  // The rule for a candidate QSO of LU1AA worked by LU9ZZ on 40m SSB unless told otherwise.
  static Result<std::optional<qint64>> find(const QString& date, const QString& time,
                                            const QString& call = QStringLiteral("LU1AA"),
                                            const QString& mode = QStringLiteral("SSB"),
                                            const QString& band = QStringLiteral("40m"),
                                            const QString& ownCall = QStringLiteral("LU9ZZ")) {
    return FindRecentDuplicateQso(ownCall, call, date, time, band, "7.050", mode, "59", "59", "LU9ZZ", "", "", "1",
                                  "obs");
  }

  test::TempFolder folder;
};

TEST_F(DuplicateRule, LessThanTenWholeMinutesEitherWay) {
  const struct {
    const char* storedDate;
    const char* storedTime;
    const char* date;
    const char* time;
    bool duplicate;
  } cases[] = {
      {"01/03/2024", "12:00:00", "01/03/2024", "12:09", true},
      {"01/03/2024", "12:00:00", "01/03/2024", "12:09:59", true},
      {"01/03/2024", "12:00:00", "01/03/2024", "12:10", false},
      {"01/03/2024", "12:00:59", "01/03/2024", "12:10:00", false},
      {"01/03/2024", "12:00:00", "01/03/2024", "11:51", true},
      {"01/03/2024", "12:00:00", "01/03/2024", "11:50", false},
      {"01/03/2024", "12:00:00", "01/03/2024", "12:00", true},
      {"01/03/2024", "12:00", "01/03/2024", "12:05:30", true},  // time stored without seconds
      {"02/03/2024", "00:03:00", "01/03/2024", "23:55", true},  // across midnight: eight minutes
      {"01/03/2024", "00:03:00", "01/03/2024", "23:55", false},
      {"01/04/2024", "12:00:00", "04/01/2024", "12:00", false},  // dates read day first
      {"31/12/2023", "23:58:00", "01/01/2024", "00:04", true},   // across the year
      {"01-03-2024", "12:00:00", "01/03/2024", "12:05", true},   // "-" in a stored date
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(db::exec("DELETE FROM Tabla1"));
    const qint64 id = addStoredQso("Mi Log", "LU1AA", QVariant(), c.storedDate, c.storedTime);
    const auto r = find(c.date, c.time);
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    const std::string what = std::string(c.storedDate) + " " + c.storedTime + " vs " + c.date + " " + c.time;
    if (c.duplicate)
      EXPECT_EQ(r.value, id) << what;
    else
      EXPECT_FALSE(r.value.has_value()) << what;
  }
}

TEST_F(DuplicateRule, OnlyTheSameStationBandModeAndOwnCallInTheCurrentLog) {
  addStoredQso("Otro Log", "LU1AA", QVariant());
  addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "12:00:00", "CW");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "12:00:00", "SSB", "20m");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "12:00:00", "SSB", "40m", "LU8OP");
  addStoredQso("Mi Log", "LU2BB", QVariant());
  LogPlaceholderRow("Mi Log");
  EXPECT_FALSE(find("01/03/2024", "12:00").value.has_value());

  // The current log decides, not a log named elsewhere.
  state().CurrentLogName = QStringLiteral("Otro Log");
  EXPECT_EQ(find("01/03/2024", "12:00").value, 1);
}

TEST_F(DuplicateRule, LetterCaseDoesNotMatter) {
  const qint64 id = addStoredQso("Mi Log", "lu1aa", QVariant(), "01/03/2024", "12:00:00", "ssb", "40M", "lu9zz");
  state().CurrentLogName = QStringLiteral("MI LOG");
  EXPECT_EQ(find("01/03/2024", "12:05").value, id);
}

TEST_F(DuplicateRule, FirstMatchInTableOrderWinsAndUnreadableRowsArePassedOver) {
  addStoredQso("Mi Log", "LU1AA", QVariant(), "fecha", "12:00:00");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "", "12:00:00");
  const qint64 farther = addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "12:00:00");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "12:05:00");
  const auto r = find("01/03/2024", "12:06");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value, farther);
}

TEST_F(DuplicateRule, NoDateOrAnUnreadableCandidateIsNeverADuplicate) {
  addStoredQso("Mi Log", "LU1AA", QVariant(), "", "12:00:00");
  addStoredQso("Mi Log", "LU1AA", QVariant(), "01/03/2024", "12:00:00");
  for (const auto& [date, time] : {std::pair{"", "12:00"}, {"32/03/2024", "12:00"}, {"01/03/2024", "25:00"},
                                   {"01/03/2024", ""}, {"hoy", "12:00"}}) {
    const auto r = find(date, time);
    ASSERT_TRUE(r.ok()) << date << " " << time;
    EXPECT_FALSE(r.value.has_value()) << date << " " << time;
  }
}

TEST_F(DuplicateRule, ADatabaseFailureIsAnErrorNotNone) {
  addStoredQso("Mi Log", "LU1AA", QVariant());
  ASSERT_TRUE(db::exec("ALTER TABLE Tabla1 RENAME TO Vieja"));
  EXPECT_FALSE(find("01/03/2024", "12:00").ok());
  db::close();
  const auto r = find("01/03/2024", "12:00");
  EXPECT_FALSE(r.ok());
  EXPECT_FALSE(r.error().isEmpty());
}

}  // namespace
