#include "store/logpage.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QStringList>
#include <random>

#include "platform/database.h"
#include "support/logfixture.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QStringList idsOf(const QList<QsoListRow>& rows) {
  QStringList ids;
  for (const QsoListRow& r : rows) ids << r.cells[kQsoListId];
  return ids;
}

QStringList callsOf(const QList<QsoListRow>& rows) {
  QStringList calls;
  for (const QsoListRow& r : rows) calls << r.cells[kQsoListEstacion];
  return calls;
}

// The whole log newest first, as one plain ordered query gives it.
QStringList allIdsNewestFirst(const QString& log) {
  QSqlQuery q(db::connection());
  EXPECT_TRUE(db::run(q,
                      QStringLiteral("SELECT id FROM Tabla1 WHERE [Nombre Log]=? AND [Modo]<>'' "
                                     "ORDER BY %1 DESC, [Hora] DESC, [id] DESC")
                          .arg(QLatin1String(db::kFechaKey)),
                      {log}));
  QStringList ids;
  while (q.next()) ids << q.value(0).toString();
  return ids;
}

// The month counts against a count made from the rows themselves.
void expectMonthCountsMatchRows() {
  QSqlQuery kept(db::connection()), counted(db::connection());
  ASSERT_TRUE(db::run(kept, QStringLiteral("SELECT lower([Nombre Log]), [Mes], [Cuenta] FROM Tabla1_Meses ORDER BY 1, 2")));
  ASSERT_TRUE(db::run(counted, QStringLiteral("SELECT lower([Nombre Log]), coalesce(substr(%1,1,6),''), count(*) "
                                              "FROM Tabla1 WHERE [Modo]<>'' AND [Nombre Log] IS NOT NULL "
                                              "GROUP BY 1, 2 ORDER BY 1, 2")
                                   .arg(QLatin1String(db::kFechaKey))));
  QStringList a, b;
  while (kept.next()) a << kept.value(0).toString() + "|" + kept.value(1).toString() + "|" + kept.value(2).toString();
  while (counted.next())
    b << counted.value(0).toString() + "|" + counted.value(1).toString() + "|" + counted.value(2).toString();
  EXPECT_EQ(a, b);
}

}  // namespace

TEST(LogPaging, PageCountsAndLastPageStarts) {
  struct Case {
    int n, pages, lastStart;
  } cases[] = {{0, 0, 1}, {1, 1, 1}, {20, 1, 1}, {21, 2, 21}, {40, 2, 21}, {45, 3, 41}, {50000, 2500, 49981},
               {100001, 5001, 100001}};
  for (const Case& c : cases) {
    EXPECT_EQ(LogPageCountFor(c.n), c.pages) << c.n;
    EXPECT_EQ(LastPageStart(c.n), c.lastStart) << c.n;
  }
}

TEST(LogPaging, ButtonsFollowThePageAndTheCount) {
  const PagingButtons none{}, forward{false, false, true, true}, back{true, true, false, false},
      all{true, true, true, true};
  struct Case {
    int n, page, pages;
    PagingButtons expected;
  } cases[] = {
      {0, 1, 0, none},     {20, 1, 1, none},   {21, 1, 2, forward}, {21, 2, 2, back},
      {45, 2, 3, all},     {45, 3, 3, back},   {45, 7, 3, all},     {45, 0, 3, all},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PagingButtonsFor(c.n, c.page, c.pages), c.expected) << c.n << " page " << c.page;
}

TEST(LogPaging, PlanKeepsTheCallersPageAndMendsStartsOutsideTheLog) {
  struct Case {
    int n, start, callerPage;
    int expectedStart, expectedPage;
  } cases[] = {
      {45, 1, 3, 1, 1},      // the first page always is page 1
      {45, 41, 3, 41, 3},    // the caller's page stands
      {45, 21, 2, 21, 2},
      {40, 41, 3, 21, 2},    // the last page's only QSOs are gone: the new last page
      {45, 1000, 50, 41, 3},
      {0, 21, 2, 1, 1},      // an empty log has only its first page
      {45, 0, 0, 1, 1},      // before the first QSO
      {45, -19, 0, 1, 1},
  };
  for (const Case& c : cases) {
    const LogPage p = PlanLogPage(c.n, c.start, c.callerPage);
    EXPECT_EQ(p.start, c.expectedStart) << c.n << "/" << c.start;
    EXPECT_EQ(p.pageNumber, c.expectedPage) << c.n << "/" << c.start;
    EXPECT_EQ(p.pageCount, LogPageCountFor(c.n));
  }
}

TEST(LogPaging, SummaryCaption) {
  EXPECT_EQ(LogSummaryText("Mi log", 0), "Log: Mi log, con 0 QSOs");
  EXPECT_EQ(LogSummaryText("Prueba, con 7", 123456), "Log: Prueba, con 7, con 123456 QSOs");
}

TEST(QsoListCells, DatesAndTimesAsTheListShowsThem) {
  const std::pair<const char*, const char*> dates[] = {
      {"05/01/2024", "05/01/2024"}, {"5/1/2024", "05/01/2024"}, {"", ""},
      {"2024-01-05 x", "2024/01/05/x"},  // no date: as stored, separators made "/"
  };
  for (const auto& [stored, shown] : dates) EXPECT_EQ(QsoListDateText(stored), QString::fromUtf8(shown)) << stored;
  const std::pair<const char*, const char*> times[] = {
      {"14:05:00", "14:05"}, {"9:07", "09:07"}, {"", ""}, {"25:99", "25:99"}};
  for (const auto& [stored, shown] : times) EXPECT_EQ(QsoListTimeText(stored), QString::fromUtf8(shown)) << stored;
}

TEST(QsoListCells, HeadingSortComparesByKind) {
  struct Case {
    int column;
    const char *a, *b, *aTime, *bTime;
    int sign;
  } cases[] = {
      {kQsoListFecha, "02/01/2027", "31/12/2026", "", "", 1},    // dates, not their text
      {kQsoListFecha, "05/03/2024", "05/03/2024", "09:15", "18:40", -1},  // the time breaks ties
      {kQsoListFecha, "05/03/2024", "05/03/2024", "18:40", "18:40", 0},
      {kQsoListFecha, "", "01/01/2000", "", "", -1},
      {kQsoListFrec, "146.520", "28.500", "", "", 1},           // numbers, not their text
      {kQsoListFrec, "7.050", "14.200", "", "", -1},
      {kQsoListId, "100", "99", "", "", 1},
      {kQsoListEstacion, "lu1abc", "LU1ABD", "", "", -1},      // text without regard to case
      {kQsoListEstacion, "W1AW", "w1aw", "", "", 0},
      {kQsoListBanda, "10m", "80m", "", "", -1},
  };
  for (const Case& c : cases) {
    const int r = CompareQsoListCells(c.column, c.a, c.b, c.aTime, c.bTime);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.column << " " << c.a << " " << c.b;
  }
  EXPECT_EQ(QsoListSortColumnForHeading(1), kQsoListIndice);
  EXPECT_EQ(QsoListSortColumnForHeading(2), kQsoListBanda);  // "ID" sorts by band
  EXPECT_EQ(QsoListSortColumnForHeading(9), kQsoListFecha);
}

TEST(LogPageStore, RowsNewestFirstByDateAndTimeWithTheirCells) {
  test::TempFolder folder;
  test::addPlaceholder("Mi log");
  test::addQso("Mi log", "OLD", "31/12/2026", "23:59:00");
  test::addQso("Mi log", "NEW", "02/01/2027", "00:01:00",
               {.mode = "CW", .band = "80m", .frequency = "3.520", .remarks = "Fue 'bueno' ", .ruk = " 1 ",
                .satellite = " AO-91 ", .province = " Santa Fe "});
  test::addQso("Mi log", "MID", "02/01/2027", "00:00:30");
  test::addQso("Otro log", "ELSEWHERE", "03/01/2027", "10:00:00");

  const Result<LogPage> page = ReadLogPage("Mi log", 1, 0);
  ASSERT_TRUE(page.ok()) << page.error().toStdString();
  EXPECT_EQ(page.value.qsoCount, 3);  // the placeholder is neither counted nor listed
  EXPECT_EQ(callsOf(page.value.rows), (QStringList{"NEW", "MID", "OLD"}));
  const auto& c = page.value.rows.first().cells;
  EXPECT_EQ(c[0], "nombre1");
  EXPECT_EQ(c[kQsoListFecha], "02/01/2027");
  EXPECT_EQ(c[kQsoListHora], "00:01");
  EXPECT_EQ(c[kQsoListFrec], "3.520");
  EXPECT_EQ(c[5], "CW");
  EXPECT_EQ(c[12], "Fue 'bueno' ");  // remarks as stored
  EXPECT_EQ(c[15], "1");             // Ruk, Nombre_Sat and Argento lose their blanks
  EXPECT_EQ(c[16], "AO-91");
  EXPECT_EQ(c[17], "Santa Fe");
}

TEST(LogPageStore, EveryPageMatchesTheFullOrderFromBothEnds) {
  test::TempFolder folder;
  // Months of uneven size, QSOs sharing date and time, names differing in case,
  // rows without a date and rows with a broken one.
  std::mt19937 rnd(11);
  ASSERT_TRUE(db::transaction([&] {
    for (int i = 0; i < 900; ++i) {
      const int day = 1 + int(rnd() % 28), month = 1 + int(rnd() % (i < 450 ? 3 : 12)), year = 2019 + int(rnd() % 4);
      const QString date = QStringLiteral("%1/%2/%3").arg(day, 2, 10, QChar('0')).arg(month, 2, 10, QChar('0')).arg(year);
      const QString time =
          QStringLiteral("%1:%2:00").arg(int(rnd() % 3), 2, 10, QChar('0')).arg(int(rnd() % 2) * 30, 2, 10, QChar('0'));
      test::addQso(i % 7 == 0 ? "MI LOG" : "Mi log", QStringLiteral("C%1").arg(i), date, time);
    }
    return Status::success();
  }));
  for (const char* odd : {"", "", "2024", "xx/yy/zzzz"}) test::addQso("Mi log", "ODD", odd, "10:00:00");
  ASSERT_TRUE(db::exec("INSERT INTO Tabla1 (Modo, [Nombre Log], Estacion) VALUES ('SSB', 'Mi log', 'NODATE')"));
  test::addGeneratedLog("Otro log", 300);

  const QStringList all = allIdsNewestFirst("Mi log");
  ASSERT_EQ(all.size(), 905);
  QList<int> starts;
  for (int s = 1; s <= all.size(); s += kLogPageSize) starts << s;
  starts << 7 << 213 << 450 << 451 << 887 << 905;
  for (int start : starts) {
    const Result<LogPage> page = ReadLogPage("Mi log", start, 1);
    ASSERT_TRUE(page.ok()) << page.error().toStdString();
    EXPECT_EQ(page.value.qsoCount, all.size());
    EXPECT_EQ(idsOf(page.value.rows), all.mid(start - 1, kLogPageSize)) << "start " << start;
  }
}

TEST(LogPageStore, FortyFiveQsosFromStartFortyOneAreTheFiveOldest) {
  test::TempFolder folder;
  test::addGeneratedLog("L", 45);
  const Result<LogPage> page = ReadLogPage("L", 41, 3);
  ASSERT_TRUE(page.ok());
  EXPECT_EQ(page.value.pageCount, 3);
  EXPECT_EQ(callsOf(page.value.rows), (QStringList{"C5", "C4", "C3", "C2", "C1"}));
}

TEST(LogPageStore, MonthCountsFollowEveryChange) {
  test::TempFolder folder;
  const qint64 a = test::addQso("Mi log", "A", "10/03/2024", "10:00:00");
  const qint64 b = test::addQso("mi LOG", "B", "11/03/2024", "10:00:00");
  test::addQso("Mi log", "C", "01/04/2024", "10:00:00");
  test::addPlaceholder("Mi log");
  test::addPlaceholder("Vacío");
  EXPECT_EQ(CountLogQsos("MI LOG").value, 3);
  EXPECT_EQ(CountLogQsos("Vacío").value, 0);
  expectMonthCountsMatchRows();

  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Fecha='01/05/2023' WHERE id=?", {a}));   // another month
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET [Nombre Log]='Otro' WHERE id=?", {b}));  // another log
  expectMonthCountsMatchRows();
  EXPECT_EQ(CountLogQsos("Mi log").value, 2);
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Modo='' WHERE id=?", {a}));  // no longer a QSO
  EXPECT_EQ(CountLogQsos("Mi log").value, 1);
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Modo='CW' WHERE id=?", {a}));
  ASSERT_TRUE(db::exec("DELETE FROM Tabla1 WHERE [Nombre Log]='Otro'"));
  expectMonthCountsMatchRows();
  EXPECT_EQ(CountLogQsos("Mi log").value, 2);
  ASSERT_TRUE(db::exec("DELETE FROM Tabla1"));
  EXPECT_EQ(CountLogQsos("Mi log").value, 0);
  expectMonthCountsMatchRows();
}

TEST(LogPageStore, MonthCountsAreRebuiltWhenTheirTriggersWentMissing) {
  test::TempFolder folder;
  test::addGeneratedLog("L", 50);
  ASSERT_TRUE(db::exec("DROP TRIGGER Tabla1_Meses_Alta"));
  test::addGeneratedLog("L", 10);  // not counted while the trigger is gone
  db::close();
  ASSERT_TRUE(db::open(folder.path()));
  EXPECT_EQ(CountLogQsos("L").value, 60);
  test::addGeneratedLog("L", 1);
  EXPECT_EQ(CountLogQsos("L").value, 61);
  expectMonthCountsMatchRows();
}

TEST(LogPageStore, ANameWithAnApostropheIsBoundNotPasted) {
  test::TempFolder folder;
  test::addQso("O'Brien", "A", "10/03/2024", "10:00:00");
  const Result<LogPage> page = ReadLogPage("O'Brien", 1, 0);
  ASSERT_TRUE(page.ok()) << page.error().toStdString();
  EXPECT_EQ(callsOf(page.value.rows), QStringList{"A"});
}

TEST(LogPageStore, AFailureComesBackAsText) {
  test::TempFolder folder;
  db::close();
  const Result<LogPage> page = ReadLogPage("L", 1, 0);
  EXPECT_FALSE(page.ok());
  EXPECT_FALSE(page.error().isEmpty());
}
