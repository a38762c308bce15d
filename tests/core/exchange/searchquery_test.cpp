#include "exchange/searchquery.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/database.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

struct StoredQso {
  QString call, date, time, mode, band;
  QString remarks{};
  QString ruk{};
  QString satellite{};
  QString ownCall = QStringLiteral("LU9ZZ");
  QString operatorCall = QStringLiteral("LU9ZZ");
  QString log = QStringLiteral("Mi Log");
};

qint64 store(const StoredQso& s) {
  QSqlQuery q(db::connection());
  const Status ok = db::run(
      q,
      QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                     "[Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                     "VALUES (?,?,?,?,?,?,'59','57',?,?,?,'7.050','GF05','',?,?,'')"),
      {db::textValue(s.mode), db::textValue(s.band), db::textValue(s.ownCall), db::textValue(s.call),
       db::textValue(s.date), db::textValue(s.time), db::textValue(s.remarks), db::textValue(s.operatorCall),
       db::textValue(s.log), db::textValue(s.ruk), db::textValue(s.satellite)});
  EXPECT_TRUE(ok) << ok.error.toStdString();
  return q.lastInsertId().toLongLong();
}

QStringList callsOf(const QList<QsoListRow>& rows) {
  QStringList calls;
  for (const QsoListRow& r : rows) calls << r.cells[kQsoListEstacion];
  return calls;
}

// A small log stored out of date order, with its placeholder row, beside another log.
class SearchLog : public ::testing::Test {
 protected:
  void SetUp() override {
    db::exec(QStringLiteral("INSERT INTO Tabla1 ([Nombre Log]) VALUES ('Mi Log')"));
    store({"EA4XYZ", "02/03/2024", "11:00:00", "FM", "2m", "", "1", "AO-91"});
    store({"LU1ABC", "01/03/2024", "10:00:00", "SSB", "40m", "Saludos Juan", "2"});
    store({"LU2DEF/P", "02/03/2024", "09:00:00", "CW", "20m", "QSL vía bureau", ""});
    store({"LU3GHI/MM", "05/03/2024", "12:00:00", "ssb", "80m", "", "2", "", "LU9ZZ", "LU8OP"});
    store({"W1AW", "10/03/2024", "08:00:00", "DVoice", "70cm", "100% ok", "0", "", "LU9ZZ/P"});
    store({"LU5JKL", "15/03/2024", "07:00:00", "Echo", "2m", "O'Brien", " 2 "});
    store({"lu7mno", "20/03/2024", "23:59:00", "SSB", "40m", "", "1"});
    StoredQso other{"LU1ABC", "01/03/2024", "10:00:00", "SSB", "40m"};
    other.log = QStringLiteral("Otro");
    store(other);
  }
  test::TempFolder folder;
};

}  // namespace

TEST(SearchPattern, MatchesAsTheFilterBoxesMean) {
  struct Case {
    const char* value;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"LU1ABC", "LU1ABC", true},     {"LU1ABC", "lu1abc", true},   {"LU1ABCD", "LU1ABC", false},
      {"LU1ABC", "LU*", true},        {"LU1ABC", "*ABC", true},     {"LU1ABC", "*", true},
      {"", "*", true},                {"", "?", false},             {"LU1ABC", "LU?ABC", true},
      {"LU1ABC", "LU#ABC", true},     {"LUXABC", "LU#ABC", false},  {"LU1ABC", "[KL]U*", true},
      {"EA4XYZ", "[!L]*", true},      {"LU1ABC", "[!L]*", false},   {"LU5ABC", "LU[1-5]*", true},
      {"LU6ABC", "LU[1-5]*", false},  {"A*B", "A[*]B", true},       {"AxB", "A[*]B", false},
      {"[X", "[X", true},             {"vía", "*VÍA*", true},       {"ab", "a**b", true},
      {"aXbXc", "*X*c", true},        {"aXbXd", "*X*c", false},     {"100% ok", "*%*", true},
      {"ab", "a[]b", true},           {"  ", "  ", true},           {"", "  ", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesSearchPattern(QString::fromUtf8(c.value), QString::fromUtf8(c.pattern)), c.matches)
        << c.value << " ~ " << c.pattern;
}

TEST(SearchPattern, DatabasePrefilterEscapesItsOwnWildcards) {
  EXPECT_EQ(SearchPatternToSqlLike("*100%*"), QString("%100\\%%"));
  EXPECT_EQ(SearchPatternToSqlLike("A_B?#[xy]"), QString("A\\_B___"));
  EXPECT_EQ(SearchPatternToSqlLike(QString::fromUtf8("*VÍA*")), QString("%V_A%"));
}

TEST_F(SearchLog, FiltersNarrowTheLogOldestFirst) {
  const auto f = [](auto set) {
    SearchFilters x;
    set(x);
    return x;
  };
  struct Case {
    const char* name;
    SearchFilters filters;
    QStringList calls;
  } cases[] = {
      {"none", {}, {"LU1ABC", "LU2DEF/P", "EA4XYZ", "LU3GHI/MM", "W1AW", "LU5JKL", "lu7mno"}},
      {"whole call", f([](SearchFilters& x) { x.call = "LU1ABC"; }), {"LU1ABC"}},
      {"call prefix", f([](SearchFilters& x) { x.call = "LU*"; }),
       {"LU1ABC", "LU2DEF/P", "LU3GHI/MM", "LU5JKL", "lu7mno"}},
      {"portable suffix", f([](SearchFilters& x) { x.call = "*/P"; }), {"LU2DEF/P"}},
      {"digit and one character", f([](SearchFilters& x) { x.call = "LU#???"; }), {"LU1ABC", "LU5JKL", "lu7mno"}},
      {"list negated", f([](SearchFilters& x) { x.call = "[!L]*"; }), {"EA4XYZ", "W1AW"}},
      {"mode in small letters", f([](SearchFilters& x) { x.mode = "ssb"; }), {"LU1ABC", "LU3GHI/MM", "lu7mno"}},
      {"band", f([](SearchFilters& x) { x.band = "2M"; }), {"EA4XYZ", "LU5JKL"}},
      {"own call", f([](SearchFilters& x) { x.ownCall = "LU9ZZ/P"; }), {"W1AW"}},
      {"operator", f([](SearchFilters& x) { x.operatorCall = "LU8OP"; }), {"LU3GHI/MM"}},
      {"remarks anywhere", f([](SearchFilters& x) { x.remarks = "juan"; }), {"LU1ABC"}},
      {"remarks accented", f([](SearchFilters& x) { x.remarks = QString::fromUtf8("VÍA"); }), {"LU2DEF/P"}},
      {"remarks percent sign", f([](SearchFilters& x) { x.remarks = "%"; }), {"W1AW"}},
      {"remarks apostrophe", f([](SearchFilters& x) { x.remarks = "'"; }), {"LU5JKL"}},
      {"remarks blank", f([](SearchFilters& x) { x.remarks = " "; }), {"LU1ABC", "LU2DEF/P", "W1AW"}},
      {"satellite", f([](SearchFilters& x) { x.satelliteOnly = true; }), {"EA4XYZ"}},
      {"one day", f([](SearchFilters& x) { x.fromDate = x.toDate = "02/03/2024"; }), {"LU2DEF/P", "EA4XYZ"}},
      {"from, one-digit day and month", f([](SearchFilters& x) { x.fromDate = "5/3/2024"; }),
       {"LU3GHI/MM", "W1AW", "LU5JKL", "lu7mno"}},
      {"up to", f([](SearchFilters& x) { x.toDate = "02/03/2024"; }), {"LU1ABC", "LU2DEF/P", "EA4XYZ"}},
      {"from after to", f([](SearchFilters& x) { x.fromDate = "10/03/2024"; x.toDate = "01/03/2024"; }), {}},
      {"argentine", f([](SearchFilters& x) { x.argentineOnly = true; }), {"LU1ABC", "LU2DEF/P", "LU5JKL", "LU7MNO"}},
      {"argentine confirmed", f([](SearchFilters& x) { x.argentineOnly = x.confirmedOnly = true; }),
       {"LU1ABC", "LU5JKL"}},
      {"confirmed alone narrows nothing", f([](SearchFilters& x) { x.confirmedOnly = true; x.band = "40M"; }),
       {"LU1ABC", "lu7mno"}},
      {"nothing found", f([](SearchFilters& x) { x.call = "ZZ*"; }), {}},
      {"unbalanced bracket", f([](SearchFilters& x) { x.call = "[LU"; }), {}},
  };
  for (const Case& c : cases) {
    const Result<SearchResult> r = SearchLogQsos("Mi Log", c.filters);
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.error().toStdString();
    EXPECT_EQ(callsOf(r.value.rows), c.calls) << c.name;
  }
}

TEST_F(SearchLog, CountsEveryRowReadAndShowsTheUploadStateAsANumber) {
  SearchFilters f;
  f.fromDate = "10/03/2024";
  const Result<SearchResult> r = SearchLogQsos("Mi Log", f);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value.rowsRead, 8);  // the placeholder and the skipped dates included
  EXPECT_EQ(callsOf(r.value.rows), QStringList({"W1AW", "LU5JKL", "lu7mno"}));

  const Result<SearchResult> all = SearchLogQsos("Mi Log", {});
  ASSERT_TRUE(all.ok());
  QStringList states;
  for (const QsoListRow& row : all.value.rows) states << row.cells[15];
  EXPECT_EQ(states, QStringList({"2", "0", "1", "2", "0", "2", "1"}));
  const QsoListRow& first = all.value.rows.first();
  EXPECT_EQ(first.cells[0], QString("nombre1"));
  EXPECT_EQ(first.cells[kQsoListFecha], QString("01/03/2024"));
  EXPECT_EQ(first.cells[kQsoListHora], QString("10:00"));
}

TEST_F(SearchLog, ABoundThatIsNoDateIsRefused) {
  for (const char* bad : {"31/02/2024", "1/1", "?\?/03/2024"}) {
    SearchFilters f;
    f.toDate = bad;
    const Result<SearchResult> r = SearchLogQsos("Mi Log", f);
    EXPECT_FALSE(r.ok()) << bad;
    EXPECT_EQ(r.error(), QString("Error en el formato de fecha!"));
  }
  SearchFilters blank;
  blank.fromDate = "   ";
  EXPECT_EQ(SearchLogQsos("Mi Log", blank).value.rows.size(), 7);
}

TEST_F(SearchLog, ARowWithoutADateLiesOutsideEveryRange) {
  store({"LU6XX", "", "10:00:00", "SSB", "40m"});
  SearchFilters f;
  f.toDate = "31/12/2099";
  EXPECT_FALSE(callsOf(SearchLogQsos("Mi Log", f).value.rows).contains("LU6XX"));
  EXPECT_TRUE(callsOf(SearchLogQsos("Mi Log", {}).value.rows).contains("LU6XX"));
}

TEST_F(SearchLog, OpeningListsTheLogNewestFirstWithTheStoredUploadText) {
  int read = 0;
  const Result<QList<QsoListRow>> r = ReadSearchViewLog("Mi Log", &read);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(read, 8);
  EXPECT_EQ(callsOf(r.value), QStringList({"lu7mno", "LU5JKL", "W1AW", "LU3GHI/MM", "EA4XYZ", "LU2DEF/P", "LU1ABC"}));
  EXPECT_EQ(r.value[1].cells[15], QString("2"));  // " 2 " trimmed
  EXPECT_EQ(r.value[5].cells[15], QString(""));   // empty stays empty
  EXPECT_EQ(r.value[4].cells[16], QString("AO-91"));
}

TEST_F(SearchLog, RowUpdateFollowsTheStoredQso) {
  const qint64 id = store({"LU4AA", "03/03/2024", "10:30:00", "SSB", "40m"});
  const auto kindOf = [](qint64 i, const QString& log = "Mi Log") { return ReadSearchRowUpdate(log, i).value.kind; };
  using K = SearchRowUpdate::Kind;

  Result<SearchRowUpdate> u = ReadSearchRowUpdate("Mi Log", id);
  ASSERT_TRUE(u.ok());
  EXPECT_EQ(u.value.kind, K::Rewrite);
  EXPECT_EQ(u.value.row.cells[kQsoListEstacion], QString("LU4AA"));
  EXPECT_EQ(u.value.row.cells[kQsoListHora], QString("10:30"));

  EXPECT_EQ(kindOf(id, "Otro"), K::Remove);  // another log's QSO is not this list's
  // A QSO whose worked call was emptied is still there: its row shows it so.
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Estacion='' WHERE id=?", {id}));
  EXPECT_EQ(kindOf(id), K::Rewrite);
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Estacion='LU4AA', Modo='' WHERE id=?", {id}));
  EXPECT_EQ(kindOf(id), K::Keep);
  ASSERT_TRUE(db::exec("DELETE FROM Tabla1 WHERE id=?", {id}));
  EXPECT_EQ(kindOf(id), K::Remove);
}

// ---- Listings ---------------------------------------------------------------------

namespace {

// The rows as the list's own heading sort would put them: each sort, oldest first,
// a stable sort of the rows as they stood.
QStringList headingSorted(QList<QsoListRow> rows, const std::vector<SearchSortKey>& latestFirst) {
  for (auto k = latestFirst.rbegin(); k != latestFirst.rend(); ++k) {
    const int c = k->column;
    const bool down = k->descending;
    std::stable_sort(rows.begin(), rows.end(), [&](const QsoListRow& a, const QsoListRow& b) {
      const int order = CompareQsoListCells(c, a.cells[c], b.cells[c], a.cells[kQsoListHora], b.cells[kQsoListHora]);
      return down ? order > 0 : order < 0;
    });
  }
  return callsOf(rows);
}

QStringList listedCalls(const Result<SearchListing>& listing) {
  EXPECT_TRUE(listing.ok()) << listing.error().toStdString();
  const Result<QList<QsoListRow>> rows = ReadListedRows(listing.value);
  EXPECT_TRUE(rows.ok());
  return callsOf(rows.value);
}

}  // namespace

TEST_F(SearchLog, TheQuerySortsAsTheHeadingsDoAndTiesKeepTheEarlierOrder) {
  store({"LU9RUK", "02/03/2024", "09:00:00", "CW", "40m", "", "10"});
  const struct {
    const char* name;
    std::vector<SearchSortKey> sorts;
  } cases[] = {
      {"date, oldest first", {{kQsoListFecha, false}}},
      {"date, newest first", {{kQsoListFecha, true}}},
      {"call, letter case ignored", {{kQsoListEstacion, false}}},
      {"band down, ties in the opening's order", {{kQsoListBanda, true}}},
      {"band, ties by the date sort before it", {{kQsoListBanda, false}, {kQsoListFecha, false}}},
      {"mode, then remarks, then time", {{5, false}, {12, true}, {kQsoListHora, false}}},
      {"id as a number", {{kQsoListId, true}}},
      {"upload text", {{15, false}}},
  };
  const Result<QList<QsoListRow>> opening = ReadSearchViewLog("Mi Log");
  ASSERT_TRUE(opening.ok());
  for (const auto& c : cases)
    EXPECT_EQ(listedCalls(ListSearchViewLog("Mi Log", c.sorts)), headingSorted(opening.value, c.sorts)) << c.name;

  // A search's list: oldest first, and the upload state as the number it shows.
  SearchFilters all;
  const Result<SearchResult> searched = SearchLogQsos("Mi Log", all);
  ASSERT_TRUE(searched.ok());
  for (const auto& c : cases)
    EXPECT_EQ(listedCalls(ListSearchLogQsos("Mi Log", all, c.sorts)), headingSorted(searched.value.rows, c.sorts))
        << c.name;
}

// Sorting the ids a list holds, one heading click after another, gives the order the
// query gives for the same clicks: the same keys, the same letter-case rule, the same
// ties. Each sort is worked in the smallest pieces, and whole.
TEST_F(SearchLog, SortingHeldIdsGivesTheQuerysOrder) {
  // Another log's QSOs in between, so a narrow search holds a few ids far apart.
  for (int i = 0; i < 30; ++i) {
    StoredQso other{"EA1" + QString(QChar(u'A' + i % 26)), "03/03/2024", "10:00:00", "SSB", "40m"};
    other.log = QStringLiteral("Otro");
    store(other);
  }
  // Values where a sort could go astray: letter case beyond ASCII, empty and missing
  // texts, frequencies that are no number or sort apart as texts, dates that are none.
  store({"ñandú", "02/03/2024", "09:00:00", "CW", "40m", "", "10"});
  store({"Ñandú", "02/03/2024", "09:00:00", "CW", "40M", "", "x"});
  store({"LU1abc", "", "", "SSB", "", "", ""});
  store({"lu1ABC", "1/3/2024", "9:5", "SSB", "", "", " 1"});
  db::exec(QStringLiteral("UPDATE Tabla1 SET Frecuencia='145.500' WHERE Estacion='W1AW'"));
  db::exec(QStringLiteral("UPDATE Tabla1 SET Frecuencia='14.2', Nombre_Sat=' AO-7 ' WHERE Estacion='LU1abc'"));
  db::exec(QStringLiteral("UPDATE Tabla1 SET Frecuencia='' WHERE Estacion='lu1ABC'"));
  db::exec(QStringLiteral("UPDATE Tabla1 SET Frecuencia=NULL, Hora=NULL, Obs=NULL WHERE Estacion='ñandú'"));
  db::exec(QStringLiteral("UPDATE Tabla1 SET Frecuencia='abc', Fecha='2024-03-02' WHERE Estacion='Ñandú'"));

  const std::vector<std::vector<SearchSortKey>> clicks = {
      {{kQsoListEstacion, true}},
      {{kQsoListFrec, false}},
      {{kQsoListFrec, true}, {kQsoListEstacion, false}},
      {{kQsoListFecha, true}},
      {{kQsoListHora, false}, {kQsoListBanda, true}},
      {{15, false}, {5, true}, {12, false}},
      {{16, true}, {kQsoListId, false}},
      {{kQsoListBanda, false}, {kQsoListFecha, false}, {kQsoListEstacion, true}},
  };
  SearchFilters some;
  some.call = QStringLiteral("[EÑ]*");  // a few ids far apart
  const struct {
    const char* name;
    std::function<Result<SearchListing>(const std::vector<SearchSortKey>&)> list;
  } listings[] = {
      {"opening", [](const auto& sorts) { return ListSearchViewLog("Mi Log", sorts); }},
      {"search", [](const auto& sorts) { return ListSearchLogQsos("Mi Log", SearchFilters{}, sorts); }},
      {"narrow search", [&](const auto& sorts) { return ListSearchLogQsos("Mi Log", some, sorts); }},
  };
  for (const auto& l : listings) {
    for (const auto& latestFirst : clicks) {
      for (int budgetMs : {0, 1000}) {
        const Result<SearchListing> start = l.list({});
        ASSERT_TRUE(start.ok());
        std::vector<qint64> ids = start.value.ids;
        for (auto k = latestFirst.rbegin(); k != latestFirst.rend(); ++k) {
          HeldIdsSort sort(ids, *k, start.value.style);
          int steps = 0;
          for (bool done = false; !done; ++steps) {
            const Result<bool> r = sort.step(budgetMs);
            ASSERT_TRUE(r.ok()) << r.error().toStdString();
            done = r.value;
            ASSERT_LT(steps, 100000);
          }
          ids = sort.takeIds();
        }
        const Result<SearchListing> queried = l.list(latestFirst);
        ASSERT_TRUE(queried.ok());
        EXPECT_EQ(ids, queried.value.ids) << l.name << ", " << latestFirst.size() << " clicks, first column "
                                          << latestFirst.back().column << ", budget " << budgetMs;
      }
    }
  }
}

// A list long enough that reading its keys is cut between rows, worked in the smallest
// pieces: no row is lost or read twice where a piece stops, so the order is still the
// query's.
TEST_F(SearchLog, HeldIdsSortCutBetweenRowsGivesTheQuerysOrder) {
  constexpr int kQsos = 1500;
  ASSERT_TRUE(db::transaction([] {
    for (int i = 0; i < kQsos; ++i)
      if (store({QStringLiteral("EA%1").arg((i * 611) % kQsos, 4, 10, QChar('0')), "04/03/2024",
                 QStringLiteral("10:%1:00").arg(i % 60, 2, 10, QChar('0')), "CW", "20m"}) < 0)
        return Status::failure("not stored");
    return Status::success();
  }));
  for (const SearchSortKey key : {SearchSortKey{kQsoListEstacion, false}, SearchSortKey{kQsoListHora, true}}) {
    const Result<SearchListing> start = ListSearchViewLog("Mi Log", {});
    ASSERT_TRUE(start.ok());
    HeldIdsSort sort(start.value.ids, key, start.value.style);
    int steps = 0;
    for (bool done = false; !done; ++steps) {
      const Result<bool> r = sort.step(0);
      ASSERT_TRUE(r.ok()) << r.error().toStdString();
      done = r.value;
      ASSERT_LT(steps, 100000);
    }
    const Result<SearchListing> queried = ListSearchViewLog("Mi Log", {key});
    ASSERT_TRUE(queried.ok());
    EXPECT_EQ(sort.takeIds(), queried.value.ids) << "column " << key.column;
  }
}

TEST(SearchRows, ABlockOfIdsReadsInTheOrderAskedWithGoneQsosAsBareRows) {
  test::TempFolder folder;
  std::vector<qint64> ids;
  for (int i = 0; i < 12; ++i) {
    StoredQso q{QStringLiteral("LU%1AA").arg(i), "01/03/2024", QStringLiteral("10:%1:00").arg(i, 2, 10, QChar('0')),
                "SSB", "40m"};
    if (i % 3 == 1) q.log = QStringLiteral("Otro");  // rows of another log inside the range
    ids.push_back(store(q));
  }
  ASSERT_TRUE(db::exec("DELETE FROM Tabla1 WHERE id=?", {ids[6]}));
  const std::vector<qint64> asked = {ids[9], ids[6], ids[0], ids[3], ids[11]};
  const qint64 far = ids[11] + 1000;  // an id no QSO has, far off: read one by one
  for (const std::vector<qint64>& block : {asked, std::vector<qint64>{ids[3], far, ids[0]}}) {
    SearchRowReader reader;
    std::vector<QsoListRow> rows;
    ASSERT_TRUE(reader.readBlock(block.data(), int(block.size()), SearchRowStyle::Opening, &rows));
    ASSERT_EQ(rows.size(), block.size());
    for (size_t i = 0; i < block.size(); ++i) {
      EXPECT_EQ(rows[i].cells[kQsoListId], QString::number(block[i]));
      const bool gone = block[i] == ids[6] || block[i] == far;
      EXPECT_EQ(rows[i].cells[kQsoListEstacion].isEmpty(), gone) << i;
      if (!gone) EXPECT_EQ(rows[i].cells[kQsoListHora].size(), 5);  // shown as the lists show it
    }
  }
}

// The provinces listing keeps its rows and order whether or not the file has the
// index that holds only the QSOs with a province: a file from an earlier version gets
// it at open, and saves and edits afterwards keep it in step with the table.
TEST(ProvinceListing, AnOlderFileGetsItsIndexAtOpenAndListsTheSameQsos) {
  test::TempFolder folder;
  ASSERT_TRUE(db::exec("DROP INDEX [Tabla1_Provincia]"));
  struct Row {
    const char* call;
    const char* date;
    const char* mode;
    QVariant province;
    const char* log;
  } rows[] = {
      {"LU1AA", "02/03/2024", "SSB", QString::fromUtf8("Córdoba"), "L"},
      {"LU2AA", "01/03/2024", "CW", "Salta", "L"},
      {"LU3AA", "02/03/2024", "SSB", "   ", "L"},            // blanks only: abroad
      {"LU4AA", "02/03/2024", "SSB", QVariant(), "L"},       // never given one
      {"LU5AA", "02/03/2024", "", "Chaco", "L"},             // a placeholder row
      {"LU6AA", "02/03/2024", "SSB", "Chaco", "Otro"},       // another log
      {"LU7AA", "02/03/2024", "FM", " Jujuy ", "L"},         // same moment as LU1AA: after it
      {"LU8AA", "31/12/2023", "SSB", "Chaco", "L"},          // day first: the oldest
  };
  for (const Row& r : rows)
    ASSERT_TRUE(db::exec("INSERT INTO Tabla1 (Modo, [Nombre Log], Estacion, Fecha, Hora, Argento) "
                         "VALUES (?,?,?,?,'10:00:00',?)",
                         {r.mode, r.log, r.call, r.date, r.province}));
  const auto listedCalls = [] {
    const Result<SearchListing> listing = ListProvinceQsos(QStringLiteral("L"));
    EXPECT_TRUE(listing.ok());
    QStringList calls;
    QSqlQuery q(db::connection());
    for (qint64 id : listing.value.ids) {
      EXPECT_TRUE(db::run(q, "SELECT Estacion FROM Tabla1 WHERE id=?", {id}));
      calls << (q.next() ? q.value(0).toString() : QString());
    }
    return calls;
  };
  const QStringList expected{"LU8AA", "LU2AA", "LU1AA", "LU7AA"};
  EXPECT_EQ(listedCalls(), expected);

  db::close();
  ASSERT_TRUE(db::open(folder.path()));
  EXPECT_EQ(listedCalls(), expected);
  QSqlQuery q(db::connection());
  ASSERT_TRUE(db::run(q,
                      QStringLiteral("EXPLAIN QUERY PLAN SELECT [id] FROM Tabla1 WHERE [Nombre Log]=? AND %1 "
                                     "ORDER BY %2, [Hora], [id]")
                          .arg(QLatin1String(db::kProvinceRows), QLatin1String(db::kFechaKey)),
                      {"L"}));
  QString plan;
  while (q.next()) plan += q.value(3).toString() + QLatin1Char(';');
  EXPECT_TRUE(plan.contains("INDEX Tabla1_Provincia")) << plan.toStdString();
  EXPECT_FALSE(plan.contains("TEMP B-TREE")) << plan.toStdString();

  // A province given later, and one taken away, show at the next listing.
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Argento='Salta' WHERE Estacion='LU4AA'"));
  ASSERT_TRUE(db::exec("UPDATE Tabla1 SET Argento='' WHERE Estacion='LU2AA'"));
  EXPECT_EQ(listedCalls(), (QStringList{"LU8AA", "LU1AA", "LU4AA", "LU7AA"}));
}
