#include "contest/contestanalysis.h"

#include <gtest/gtest.h>

#include "store/callsign.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

ContestQso qso(const QString& mode, const QString& call, const QString& time, const QString& received = "1",
               const QString& band = "20m", const QString& own = "LU9HZZ") {
  ContestQso q;
  q.Modo = mode;
  q.Banda = band;
  q.MyCall = own;
  q.Estacion = call;
  q.Fecha = QStringLiteral("20240315");
  q.Hora = time;
  q.RSR = received;
  return q;
}

class ContestAnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadPrefixTable(test::sourceFile("data/dxcc.txt"))); }
  void TearDown() override { prefixTable().clear(); }
};

TEST_F(ContestAnalysisTest, TimeAndRateOfAGroup) {
  QList<ContestQso> qsos;
  for (int i = 0; i < 31; ++i) {
    const int minute = i * 3;  // 12:00 to 13:30
    qsos << qso("CW", QString("LU%1AA").arg(i), QString("%1%2").arg(12 + minute / 60).arg(minute % 60, 2, 10, QChar('0')));
  }
  const ContestAnalysis a = AnalyseContest(qsos, ContestMultiplierChoice::ReceivedExchange, false);
  EXPECT_EQ(a.ownCall, "LU9HZZ");
  EXPECT_EQ(a.cw.qsos, 31);
  EXPECT_EQ(a.cw.timeText(), "90 min.");
  EXPECT_EQ(a.cw.rateText(), "20 QSOs/h.");
  EXPECT_EQ(a.cw.duplicatesText(), "");
  EXPECT_EQ(a.phone.qsos, 0);
  EXPECT_EQ(a.phone.timeText(), "");

  const struct {
    const char* what;
    QList<ContestQso> qsos;
    const char* time;
    const char* rate;
  } cases[] = {
      {"one QSO", {qso("SSB", "LU1AA", "1200")}, "", ""},
      {"inside one minute", {qso("SSB", "LU1AA", "1200"), qso("SSB", "LU2BB", "1200")}, "0 min.", " QSOs/h."},
      {"across midnight", {qso("SSB", "LU1AA", "2330"), [] {
                             ContestQso q = qso("SSB", "LU2BB", "0030");
                             q.Fecha = "20240316";
                             return q;
                           }()},
       "60 min.", "2 QSOs/h."},
  };
  for (const auto& c : cases) {
    const ContestAnalysis p = AnalyseContest(c.qsos, ContestMultiplierChoice::ReceivedExchange, false);
    EXPECT_EQ(p.phone.timeText(), c.time) << c.what;
    EXPECT_EQ(p.phone.rateText(), c.rate) << c.what;
    EXPECT_EQ(p.cw.qsos, 0) << c.what;
  }
}

TEST_F(ContestAnalysisTest, DuplicatesAndMultipliersPerGroup) {
  const struct {
    const char* what;
    QList<ContestQso> qsos;
    ContestMultiplierChoice choice;
    bool ownCounts;
    int cwDupes, phoneDupes;
    QStringList cwMults, phoneMults;
  } cases[] = {
      {"a CW call again on another band is a duplicate",
       {qso("CW", "LU1AA", "1200", "5", "20m"), qso("CW", "LU1AA", "1210", "5", "40m"), qso("SSB", "LU1AA", "1220", "5")},
       ContestMultiplierChoice::ReceivedExchange, false, 1, 0, {"5"}, {"5"}},
      {"two FM QSOs with one call are not judged",
       {qso("FM", "LU1AA", "1200", "7"), qso("FM", "LU1AA", "1205", "7")},
       ContestMultiplierChoice::ReceivedExchange, false, 0, 0, {}, {}},
      {"an SSB QSO after FM ones with its call is its first",
       {qso("FM", "LU1AA", "1200", "7"), qso("FM", "LU1AA", "1205", "7"), qso("SSB", "LU1AA", "1210", "8"),
        qso("SSB", "LU1AA", "1215", "9")},
       ContestMultiplierChoice::ReceivedExchange, false, 0, 1, {}, {"8", "9"}},
      {"one station, two exchanges",
       {qso("SSB", "LU1AA", "1200", "GF05"), qso("SSB", "LU1AA", "1210", "GF15")},
       ContestMultiplierChoice::ReceivedExchange, false, 0, 1, {}, {"GF05", "GF15"}},
      {"an empty exchange is one entry",
       {qso("CW", "LU1AA", "1200", ""), qso("CW", "LU2BB", "1210", "")},
       ContestMultiplierChoice::ReceivedExchange, false, 0, 0, {""}, {}},
      {"the own province adds nothing",
       {qso("CW", "LU2HXX", "1200"), qso("CW", "LU1ABC", "1210"), qso("CW", "CX1AA", "1220")},
       ContestMultiplierChoice::WorkedPlace, false, 0, 0, {"Capital", "Uruguay"}, {}},
      {"unless the own one counts",
       {qso("CW", "LU2HXX", "1200"), qso("CW", "LU1ABC", "1210"), qso("CW", "CX1AA", "1220")},
       ContestMultiplierChoice::WorkedPlace, true, 0, 0, {"Córdoba", "Capital", "Uruguay"}, {}},
  };
  for (const auto& c : cases) {
    const ContestAnalysis a = AnalyseContest(c.qsos, c.choice, c.ownCounts);
    EXPECT_EQ(a.cw.duplicates, c.cwDupes) << c.what;
    EXPECT_EQ(a.phone.duplicates, c.phoneDupes) << c.what;
    EXPECT_EQ(a.cw.multipliers, c.cwMults) << c.what;
    EXPECT_EQ(a.phone.multipliers, c.phoneMults) << c.what;
  }
}

TEST_F(ContestAnalysisTest, FmQsosCountAndTimeWithThePhoneGroup) {
  const ContestAnalysis a = AnalyseContest(
      {qso("FM", "LU1AA", "1200"), qso("SSB", "LU2BB", "1230"), qso("FM", "LU1AA", "1300")},
      ContestMultiplierChoice::WorkedPlace, false);
  EXPECT_EQ(a.phone.qsos, 3);
  EXPECT_EQ(a.phone.timeText(), "60 min.");
  EXPECT_EQ(a.phone.rateText(), "3 QSOs/h.");
  EXPECT_EQ(a.phone.duplicatesText(), "");
  EXPECT_EQ(a.phone.multipliers, QStringList{"Capital"});  // of the SSB QSO alone
  EXPECT_EQ(a.cw.qsos, 0);
}

TEST_F(ContestAnalysisTest, TheHeaderRowAndUnreadableTimesAreSkipped) {
  ContestQso header;
  header.NombreLog = "Rally";
  ContestQso bad = qso("CW", "LU2BB", "99x9");
  const ContestAnalysis a =
      AnalyseContest({header, qso("CW", "LU1AA", "1200"), bad, qso("CW", "LU3CC", "1230")},
                     ContestMultiplierChoice::ReceivedExchange, false);
  EXPECT_EQ(a.cw.qsos, 3);
  EXPECT_EQ(a.cw.timeText(), "30 min.");
  EXPECT_EQ(a.cw.rateText(), "6 QSOs/h.");
  EXPECT_TRUE(AnalyseContest({header}, ContestMultiplierChoice::ReceivedExchange, false).ownCall.isEmpty());
}

}  // namespace
