#include "store/award.h"

#include <gtest/gtest.h>

#include "platform/database.h"
#include "store/callsign.h"
#include "support/logfixture.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kCordoba = QStringLiteral("Córdoba");

int provinceRow(const QString& name) { return int(provinceNames().indexOf(name)); }
int column(const char* label) { return int(awardColumnLabels().indexOf(QString::fromUtf8(label))); }

AwardQso qso(const char* band, const char* ruk, const QString& province = kCordoba, const char* satellite = "",
             const char* grid = "") {
  return {QString::fromUtf8(band), QString::fromUtf8(ruk), QString::fromUtf8(satellite), province,
          QString::fromUtf8(grid)};
}

// The cells of one province that are not empty, as "label=state".
QStringList markedCells(const AwardGrid& g, const QString& province = kCordoba) {
  QStringList out;
  const AwardRow& r = g.cells[provinceRow(province)];
  for (int c = 0; c < kAwardColumns; ++c)
    if (r[c] != kAwardEmpty) out << awardColumnLabels()[c] + "=" + QString::number(r[c]);
  return out;
}

}  // namespace

TEST(AwardGrid, CellsTakeTheHighestStateOfTheirQsos) {
  struct Case {
    const char* what;
    QList<AwardQso> qsos;
    QStringList cells;
  };
  const Case cases[] = {
      {"confirmed then not uploaded", {qso("40m", "2"), qso("40m", "")}, {"40m=2"}},
      {"not uploaded then confirmed", {qso("40m", ""), qso("40m", "2")}, {"40m=2"}},
      {"uploaded beside not uploaded", {qso("40m", "1"), qso("40m", "0")}, {"40m=1"}},
      {"only not uploaded", {qso("40m", ""), qso("40m", "0")}, {"40m=0"}},
      {"band compared without case", {qso("40M", "1")}, {"40m=1"}},
      {"satellite on 2m", {qso("2m", "1", kCordoba, "AO-91")}, {"Sat=1"}},
      {"satellite on 10m", {qso("10m", "2", kCordoba, "AO-91")}, {"10m=2", "Sat=2"}},
      {"2m without satellite", {qso("2m", "2")}, {}},
      {"province without accent", {qso("40m", "2", QStringLiteral("Cordoba"))}, {}},
      {"state beyond confirmed is no state", {qso("40m", "7")}, {}},
      {"every band its own column", {qso("160m", "1"), qso("6m", "2"), qso("60m", "")}, {"160m=1", "60m=0", "6m=2"}},
  };
  for (const Case& c : cases) EXPECT_EQ(markedCells(TallyAwardGrid(c.qsos)), c.cells) << c.what;
}

TEST(AwardGrid, NameColourAndSummaryFollowTheCells) {
  const QString salta = QStringLiteral("Salta"), jujuy = QStringLiteral("Jujuy");
  const AwardGrid g = TallyAwardGrid({qso("40m", "2"), qso("40m", "1", salta), qso("40m", "", jujuy),
                                      qso("20m", "1", jujuy)});
  EXPECT_EQ(AwardProvinceColour(g.cells[provinceRow(kCordoba)]), kAwardConfirmedColour);
  EXPECT_EQ(AwardProvinceColour(g.cells[provinceRow(salta)]), kAwardUploadedColour);
  EXPECT_EQ(AwardProvinceColour(g.cells[provinceRow(jujuy)]), kAwardUploadedColour);
  EXPECT_EQ(AwardProvinceColour(g.cells[provinceRow(QStringLiteral("Chaco"))]), 0x000000u);
  EXPECT_EQ(AwardSummaryText(g, column("40m")), "1/1");  // Jujuy's 40m is only worked
  EXPECT_EQ(AwardSummaryText(g, column("20m")), "0/1");
  EXPECT_EQ(AwardSummaryText(g, column("Sat")), "0/0");
}

TEST(AwardGrid, GridSquaresAreListedOnceConfirmedFirst) {
  struct Case {
    const char* what;
    QList<AwardQso> qsos;
    QStringList confirmed, worked;
  };
  const Case cases[] = {
      {"locator and its square", {qso("40m", "", kCordoba, "", "FF78ab"), qso("20m", "1", kCordoba, "", "FF78")},
       {}, {"FF78"}},
      {"confirmed wins in either order",
       {qso("40m", "", kCordoba, "", "GF05"), qso("40m", "2", kCordoba, "", "GF05"),
        qso("40m", "2", kCordoba, "", "GF15"), qso("40m", "1", kCordoba, "", "GF15")},
       {"GF05", "GF15"}, {}},
      {"empty and blank locators add nothing", {qso("40m", "2", kCordoba, "", ""), qso("40m", "", kCordoba, "", "  ")},
       {}, {}},
      {"any band and province", {qso("2m", "", QStringLiteral("Uruguay"), "", "GF25"), qso("70cm", "2", kCordoba, "", "FG01")},
       {"FG01"}, {"GF25"}},
      {"sorted", {qso("40m", "", kCordoba, "", "GG10"), qso("40m", "", kCordoba, "", "FF01")}, {}, {"FF01", "GG10"}},
  };
  for (const Case& c : cases) {
    const AwardGrid g = TallyAwardGrid(c.qsos);
    EXPECT_EQ(g.confirmedSquares, c.confirmed) << c.what;
    EXPECT_EQ(g.workedSquares, c.worked) << c.what;
  }
}

TEST(AwardMatrix, OnlyUploadedQsosOnTheExactBandLabel) {
  struct Case {
    const char* what;
    QList<AwardQso> qsos;
    QStringList cells;
  };
  const Case cases[] = {
      {"uploaded and confirmed", {qso("40m", "1"), qso("40m", "2")}, {"40m=2"}},
      {"confirmed and uploaded", {qso("40m", "2"), qso("40m", "1")}, {"40m=2"}},
      {"not uploaded marks nothing", {qso("40m", ""), qso("40m", "0")}, {}},
      {"band letter case counts", {qso("40M", "2")}, {}},
      {"satellite counts under its band only", {qso("10m", "1", kCordoba, "AO-91")}, {"10m=1"}},
      {"a band stored as Sat", {qso("Sat", "1")}, {"Sat=1"}},
      {"province without accent", {qso("40m", "2", QStringLiteral("Cordoba"))}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(markedCells(TallyAwardMatrix(c.qsos)), c.cells) << c.what;
  const AwardGrid empty = TallyAwardMatrix({});
  for (const AwardRow& r : empty.cells) EXPECT_EQ(AwardProvinceColour(r), 0x000000u);
}

TEST(AwardInput, MembersLineFromThePageText) {
  struct Case {
    const char* what;
    QString page;
    std::optional<QString> line;
  };
  const QString longNames(2100, QLatin1Char('x'));
  const Case cases[] = {
      {"count, names, last", "57 nomo:LU1AA, LU2BB ultimar:LU3CC", QStringLiteral("57 LU1AA, LU2BB>LU3CC")},
      {"line break before the names", "57\r\nnomo:A ultimar:B", QStringLiteral("57\r A>B")},
      {"nothing before the marker", " nomo:A ultimar:B", QStringLiteral(" A>B")},
      {"marker at the very start", "nomo:A ultimar:B", std::nullopt},
      {"no names marker", "<html>Not Found</html>", std::nullopt},
      {"no last marker", "5 nomo:A B", std::nullopt},
      {"last marker right after the names marker", "5 nomo:ultimar:B", std::nullopt},
      {"last marker beyond 2000 characters", "5 nomo:" + longNames + " ultimar:B", std::nullopt},
      {"text after the last marker cut at 2000", "5 nomo:A ultimar:" + longNames,
       "5 A>" + longNames.left(2000 - 10)},
      {"empty page", "", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(MembersLine(c.page), c.line) << c.what;
}

TEST(AwardInput, ProvinceQsosOfTheCurrentLogOldestFirst) {
  test::TempFolder folder;
  using test::addQso;
  const QString log = QStringLiteral("O'Higgins");
  test::addPlaceholder(log);
  addQso(log, "LU2AA", "02/03/2021", "10:00:00", {.ruk = "2", .province = "Chaco"});
  addQso(log, "LU1AA", "01/03/2021", "23:15:00", {.ruk = " 1 ", .satellite = " AO-91 ", .province = " Salta "});
  addQso(log, "CX1AA", "01/03/2021", "11:00:00", {.province = ""});
  addQso(log, "LU3AA", "01/03/2021", "12:00:00", {.province = "   "});
  addQso(log, "LU4AA", "05/03/2021", "09:00:00", {.mode = " ", .province = "Jujuy"});
  addQso(QStringLiteral("Otro"), "LU5AA", "01/01/2021", "09:00:00", {.province = "Chaco"});

  const auto rows = ReadProvinceQsos(log);
  ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
  QStringList got;
  for (const QsoListRow& r : rows.value)
    got << QStringList{r.cells[0], r.cells[2], r.cells[8], r.cells[9], r.cells[15], r.cells[16], r.cells[17]}.join("|");
  EXPECT_EQ(got, (QStringList{"nombre1|LU1AA|01/03/2021|23:15|1|AO-91|Salta",
                              "nombre1|LU2AA|02/03/2021|10:00|2||Chaco",
                              "nombre1|LU4AA|05/03/2021|09:00|1||Jujuy"}));
}
