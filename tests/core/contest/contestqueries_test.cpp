#include <gtest/gtest.h>

#include "contest/conteststore.h"
#include "contestfixture.h"

using namespace vz;
using vz::test::addContest;
using vz::test::addContestQso;
using vz::test::ContestDb;
using vz::test::ContestQsoDetails;

namespace {

using ContestQueries = ContestDb;

QList<qint64> idsOf(const QList<ContestQso>& rows) {
  QList<qint64> ids;
  for (const ContestQso& q : rows) ids << q.id;
  return ids;
}

TEST_F(ContestQueries, AContestOfItsHeaderRowAloneHasNothingToReport) {
  addContest("Nuevo");
  EXPECT_EQ(GetLastContestModeOrBand("Nuevo", "M").value, "");
  EXPECT_EQ(GetLastContestModeOrBand("Nuevo", "B").value, "");
  const auto serial = GetLastSentSerial("Nuevo", "CW", "20m");
  ASSERT_TRUE(serial.ok()) << serial.error().toStdString();
  EXPECT_FALSE(serial.value.has_value());
  // The header row's empty columns match empty arguments; it is still no QSO.
  EXPECT_FALSE(GetLastSentSerial("Nuevo", "", "").value.has_value());
  const auto dupes = CheckContestDupe("Nuevo", "", "", "");
  ASSERT_TRUE(dupes.ok()) << dupes.error().toStdString();
  EXPECT_TRUE(dupes.value.isEmpty());
  EXPECT_TRUE(ContestLogExists("Nuevo").value);
}

TEST_F(ContestQueries, AContestExistsByAnyRowOfItsNameWhateverTheLetterCase) {
  addContest("Abril");
  const struct {
    const char* name;
    bool exists;
  } cases[] = {{"Abril", true}, {"ABRIL", true}, {"abril", true}, {"Abril ", false}, {"Mayo", false}, {"", false}};
  for (const auto& c : cases) {
    const auto r = ContestLogExists(c.name);
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    EXPECT_EQ(r.value, c.exists) << c.name;
  }
}

TEST_F(ContestQueries, TheLastQsosModeAndBandAreThoseOfTheLastEntered) {
  addContest("A");
  addContest("B");
  addContestQso("A", "LU1AA", {.mode = "SSB", .band = "40m", .date = "20240316"});
  addContestQso("A", "LU2BB", {.mode = "CW", .band = "80m", .date = "20240315"});
  addContestQso("B", "LU3CC", {.mode = "FM", .band = "2m"});
  const struct {
    const char* selector;
    const char* answer;
  } cases[] = {{"M", "CW"}, {"B", "80m"}, {"X", "80m"}, {"", "80m"}};
  for (const auto& c : cases) {
    const auto r = GetLastContestModeOrBand("A", c.selector);
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    EXPECT_EQ(r.value, c.answer) << c.selector;
  }
}

TEST_F(ContestQueries, EachModeAndBandHasItsOwnSerialSequence) {
  addContest("C");
  addContest("Otro");
  addContestQso("C", "LU1AA", {.mode = "CW", .band = "20m", .sent = "5"});
  addContestQso("C", "LU2BB", {.mode = "CW", .band = "40m", .sent = "3"});
  addContestQso("C", "LU3CC", {.mode = "CW", .band = "20m", .sent = "6"});
  addContestQso("C", "LU4DD", {.mode = "SSB", .band = "80m", .sent = "9"});
  addContestQso("C", "LU5EE", {.mode = "SSB", .band = "80m", .sent = ""});  // a later QSO without one
  addContestQso("C", "LU6FF", {.mode = "FM", .band = "2m", .sent = ""});
  addContestQso("Otro", "LU7GG", {.mode = "CW", .band = "20m", .sent = "99"});
  const struct {
    const char* mode;
    const char* band;
    std::optional<QString> serial;
  } cases[] = {
      {"CW", "20m", QStringLiteral("6")},
      {"CW", "40m", QStringLiteral("3")},
      {"SSB", "20m", std::nullopt},
      {"SSB", "80m", QStringLiteral("9")},  // the last filled serial
      {"PH", "80m", QStringLiteral("9")},   // the Cabrillo name of the phone mode
      {"cw", "20M", QStringLiteral("6")},
      {"FM", "2m", QStringLiteral("")},     // QSOs, none with a serial
  };
  for (const auto& c : cases) {
    const auto r = GetLastSentSerial("C", c.mode, c.band);
    ASSERT_TRUE(r.ok()) << r.error().toStdString();
    EXPECT_EQ(r.value, c.serial) << c.mode << " " << c.band;
  }
}

TEST_F(ContestQueries, EarlierContactsAreListedNewestFirstByDateAndTime) {
  addContest("D");
  addContest("Otro");
  const qint64 oldest = addContestQso("D", "LU1AA", {.date = "20240315", .time = "0900"});
  const qint64 newest = addContestQso("D", "LU1AA", {.date = "20240316", .time = "0100"});
  const qint64 middle = addContestQso("D", "LU1AA", {.date = "20240315", .time = "2300"});
  const qint64 sameTimeLater = addContestQso("D", "LU1AA", {.date = "20240315", .time = "2300"});
  addContestQso("D", "LU1AA", {.band = "40m"});
  addContestQso("D", "LU1AA", {.mode = "SSB"});
  addContestQso("D", "LU1AB");
  addContestQso("Otro", "LU1AA");
  const auto r = CheckContestDupe("D", "LU1AA", "CW", "20m");
  ASSERT_TRUE(r.ok()) << r.error().toStdString();
  EXPECT_EQ(idsOf(r.value), QList<qint64>({newest, sameTimeLater, middle, oldest}));
  // Calls compare without regard to letter case, as the store keeps them.
  EXPECT_EQ(CheckContestDupe("D", "lu1aa", "CW", "20m").value.size(), 4);
  EXPECT_TRUE(CheckContestDupe("D", "LU9ZZ", "CW", "20m").value.isEmpty());
}

TEST_F(ContestQueries, APhoneDupeIsFoundUnderEitherName) {
  addContest("E");
  const qint64 id = addContestQso("E", "LU1AA", {.mode = "SSB", .band = "40m"});
  for (const char* mode : {"SSB", "PH"})
    EXPECT_EQ(idsOf(CheckContestDupe("E", "LU1AA", mode, "40m").value), QList<qint64>({id})) << mode;
  EXPECT_TRUE(CheckContestDupe("E", "LU1AA", "FM", "40m").value.isEmpty());
}

TEST_F(ContestQueries, AListedContactWithAnEmptyColumnShowsItEmpty) {
  addContest("F");
  addContestQso("F", "LU1AA", {.received = "017", .date = "20240315", .time = "0900"});
  addContestQso("F", "LU1AA", {.received = "", .date = "20240315", .time = "1000"});
  const auto r = CheckContestDupe("F", "LU1AA", "CW", "20m");
  ASSERT_EQ(r.value.size(), 2);
  EXPECT_EQ(r.value[0].RSR, "");
  EXPECT_EQ(r.value[1].RSR, "017");
}

TEST_F(ContestQueries, ValuesWithApostrophesAreLookedUpNotExecuted) {
  addContest("G");
  addContestQso("G", "LU1AA", {.mode = "CW", .band = "20m", .sent = "4"});
  const QString hostile = QStringLiteral("x' OR '1'='1");
  const auto exists = ContestLogExists(hostile);
  ASSERT_TRUE(exists.ok()) << exists.error().toStdString();
  EXPECT_FALSE(exists.value);
  const auto serial = GetLastSentSerial(hostile, "CW", "20m");
  ASSERT_TRUE(serial.ok()) << serial.error().toStdString();
  EXPECT_FALSE(serial.value.has_value());
  const auto dupes = CheckContestDupe("G", hostile, "CW", "20m");
  ASSERT_TRUE(dupes.ok()) << dupes.error().toStdString();
  EXPECT_TRUE(dupes.value.isEmpty());
  const auto mode = GetLastContestModeOrBand(hostile, "M");
  ASSERT_TRUE(mode.ok()) << mode.error().toStdString();
  EXPECT_EQ(mode.value, "");
}

TEST_F(ContestQueries, AFailingDatabaseIsReportedNotTakenForAnEmptyContest) {
  db::close();
  EXPECT_FALSE(ContestLogExists("A").ok());
  EXPECT_FALSE(GetLastContestModeOrBand("A", "M").ok());
  EXPECT_FALSE(GetLastSentSerial("A", "CW", "20m").ok());
  EXPECT_FALSE(CheckContestDupe("A", "LU1AA", "CW", "20m").ok());
}

}  // namespace
