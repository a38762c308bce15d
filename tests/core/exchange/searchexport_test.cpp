#include "exchange/searchexport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QSqlQuery>
#include <optional>
#include <vector>

#include "platform/cp1252.h"
#include "platform/database.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// A stored QSO; a null text is stored as NULL.
struct Stored {
  QString call, date, time, mode, band;
  QString remarks{};
  QString satellite{};
  QString operatorCall = QStringLiteral("LU8OP");
  QString grid = QStringLiteral("ff78");
  QString province{};
  QString log = QStringLiteral("Mi Log");
};

qint64 store(const Stored& s) {
  QSqlQuery q(db::connection());
  const auto value = [](const QString& t) { return t.isNull() ? QVariant() : db::textValue(t); };
  const Status ok = db::run(
      q,
      QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                     "[Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                     "VALUES (?,?,'LU9ZZ',?,?,?,'59','57',?,?,?,'7.050','GF05TJ',?,'1',?,?)"),
      {value(s.mode), value(s.band), value(s.call), value(s.date), value(s.time), value(s.remarks),
       value(s.operatorCall), value(s.log), value(s.grid), value(s.satellite), value(s.province)});
  EXPECT_TRUE(ok) << ok.error.toStdString();
  return q.lastInsertId().toLongLong();
}

using OwnRows = QHash<qint64, QsoListRow>;

// What an export gives: the record lines, "UTF-8" when the Windows-1252 pass must
// start again, or the failure's text.
struct Outcome {
  QByteArray lines;
  bool needsUtf8 = false;
  QString failure;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << (o.needsUtf8 ? "[UTF-8] " : "") << o.failure.toStdString() << " | " << o.lines.toStdString();
}

// The records as the list's rows give them, one row read at a time.
Outcome fromListRows(const std::vector<qint64>& ids, SearchRowStyle style, const OwnRows& own, bool qslMsg,
                     AdifEncoding encoding) {
  SearchRowReader reader;
  Outcome out;
  for (qint64 id : ids) {
    QsoListRow row;
    if (own.contains(id)) {
      row = own.value(id);
    } else {
      Result<QsoListRow> read = reader.read(id, style);
      EXPECT_TRUE(read.ok());
      row = read.value;
    }
    const AdifQso qso = AdifQsoFromListRow(row);
    // Either ends the pass; the lines written so far are dropped with the file.
    if (encoding == AdifEncoding::Windows1252 && AdifQsoEncoding(qso) == AdifEncoding::Utf8) return {{}, true, {}};
    const Result<QString> record = AdifRecord(qso, qslMsg, encoding);
    if (!record.ok()) return {{}, false, record.error()};
    out.lines += encoding == AdifEncoding::Utf8 ? record.value.toUtf8() : encodeCp1252(record.value);
    out.lines += "\r\n";
  }
  return out;
}

Outcome streamed(const QString& path, const std::vector<qint64>& ids, SearchRowStyle style, const OwnRows& own,
                 bool qslMsg, AdifEncoding encoding) {
  AdifFileWriter writer;
  Outcome out;
  Status s = writer.create(path, {}, encoding);
  if (s)
    s = WriteListedAdifRecords(
        writer, ids.data(), int(ids.size()), style,
        [&own](qint64 id) {
          const auto it = own.constFind(id);
          return it == own.constEnd() ? nullptr : &*it;
        },
        qslMsg, encoding, &out.needsUtf8);
  if (!s) {
    out.failure = s.error;
    return out;
  }
  if (out.needsUtf8) return out;
  s = writer.finish(false);
  EXPECT_TRUE(s) << s.error.toStdString();
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  out.lines = f.readAll();
  return out;
}

class ListedExport : public ::testing::Test {
 protected:
  void SetUp() override {
    db::exec(QStringLiteral("INSERT INTO Tabla1 ([Nombre Log]) VALUES ('Mi Log')"));
    store({"LU1ABC", "01/03/2024", "10:00:00", "SSB", "40m", "O'Brien dijo 'hola'"});
    store({"EA4XYZ", "02/03/2024", "11:15", "FM", "2m", "", "  AO-91 "});
    store({"LU2DEF", "05/03/2024", "09:30:00", "Echo IP", "70cm", "  ", "", "  "});
    store({"lu3ghi", "06/03/2024", "9:5", "Echo", "2m", QString(), "SO-50", QString(), "gf05", "Córdoba"});
    store({"W1AW", "7/3/2024", "25:00", "DV IP", "20m", "QSL vía bureau", "", "LU8OP", "FN31", "Salta"});
    store({"LU4JKL", "08/03/2024", "12:00:00", "DVoice", "2m", "100% <73>", "", "", "", "Capital"});
    store({"lu5mno", "09/03/2024", "23:59:59", "CW", "80m", "", "", "LU8OP", "FF78", "Buenos Aires"});
    store({QString::fromUtf8("lu8ñaa"), "09/03/2024", "08:00", "SSB", "40m", QString::fromUtf8("señal € … \u0081"),
           QString::fromUtf8(" Óscar "), QString::fromUtf8("LU8ÑA"), QString::fromUtf8("gf05ñ"), "Salta"});
    utf8Id = store({"JA1XYZ", "10/03/2024", "13:00", "SSB", "15m", QString::fromUtf8("ありがとう Łódź")});
    Stored other{"LU6PQR", "01/03/2024", "10:00", "SSB", "40m"};
    other.log = QStringLiteral("Otro");
    store(other);
  }

  // Every way of writing, compared with the list's rows.
  void expectSameAsListRows(const std::vector<qint64>& ids, SearchRowStyle style, const OwnRows& own = {}) {
    for (AdifEncoding encoding : {AdifEncoding::Windows1252, AdifEncoding::Utf8})
      for (bool qslMsg : {false, true}) {
        const Outcome expected = fromListRows(ids, style, own, qslMsg, encoding);
        EXPECT_EQ(streamed(folder.file("x.adi"), ids, style, own, qslMsg, encoding), expected)
            << "encoding " << int(encoding) << " QSLMSG " << qslMsg;
      }
  }

  std::vector<qint64> without(std::vector<qint64> ids, qint64 id) {
    std::erase(ids, id);
    return ids;
  }

  test::TempFolder folder;
  qint64 utf8Id = 0;
};

}  // namespace

TEST_F(ListedExport, WritesEachListingAsItsRowsShow) {
  const auto sorted = [](int column, bool descending) { return std::vector<SearchSortKey>{{column, descending}}; };
  SearchFilters argentine;
  argentine.argentineOnly = true;
  struct Case {
    const char* name;
    Result<SearchListing> listing;
  } cases[] = {
      {"opening, newest first", ListSearchViewLog("Mi Log")},
      {"sorted by call, flipped", ListSearchViewLog("Mi Log", sorted(kQsoListEstacion, true))},
      {"sorted by remarks", ListSearchViewLog("Mi Log", sorted(12, false))},
      {"search, oldest first", ListSearchLogQsos("Mi Log", {})},
      {"argentine search, calls in capitals", ListSearchLogQsos("Mi Log", argentine)},
      {"provinces, grids in capitals", ListProvinceQsos("Mi Log")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.listing.ok());
    expectSameAsListRows(c.listing.value.ids, c.listing.value.style);
    // Without the value Windows-1252 lacks, the first pass writes every row.
    expectSameAsListRows(without(c.listing.value.ids, utf8Id), c.listing.value.style);
  }
}

TEST_F(ListedExport, TheValueBeyondWindows1252StopsTheFirstPassWhereTheListMeetsIt) {
  const std::vector<qint64> ids = ListSearchLogQsos("Mi Log", {}).value.ids;
  const Outcome first = streamed(folder.file("x.adi"), ids, SearchRowStyle::Search, {}, false, AdifEncoding::Windows1252);
  EXPECT_TRUE(first.needsUtf8);
  const Outcome second = streamed(folder.file("x.adi"), ids, SearchRowStyle::Search, {}, false, AdifEncoding::Utf8);
  EXPECT_TRUE(second.lines.contains(QString::fromUtf8("<COMMENT:23>ありがとう Łódź").toUtf8())) << second;
  EXPECT_TRUE(second.lines.contains("<COMMENT:19>O'Brien dijo 'hola'")) << second;
}

TEST_F(ListedExport, ARowTheListHoldsItselfIsWrittenAsShown) {
  const std::vector<qint64> ids = without(ListSearchViewLog("Mi Log").value.ids, utf8Id);
  SearchRowReader reader;
  QsoListRow edited = reader.read(ids[2], SearchRowStyle::Opening).value;
  edited.cells[kQsoListEstacion] = QStringLiteral("LU9EDT");
  edited.cells[12] = QStringLiteral("editado 'después'");
  OwnRows own{{ids[2], edited}};
  expectSameAsListRows(ids, SearchRowStyle::Opening, own);
  const Outcome out = streamed(folder.file("x.adi"), ids, SearchRowStyle::Opening, own, false, AdifEncoding::Windows1252);
  EXPECT_TRUE(out.lines.contains("<CALL:6>LU9EDT")) << out;
  // The log's own row changed afterwards is not what the list shows.
  ASSERT_TRUE(db::exec(QStringLiteral("UPDATE Tabla1 SET Estacion='LU0XXX' WHERE id=?"), {ids[2]}));
  EXPECT_TRUE(streamed(folder.file("x.adi"), ids, SearchRowStyle::Opening, own, false, AdifEncoding::Windows1252)
                  .lines.contains("<CALL:6>LU9EDT"));
}

// A stored text that is not well-formed UTF-8 is written as the list reads it.
TEST_F(ListedExport, AStoredValueThatIsNoUtf8IsWrittenAsTheListReadsIt) {
  const std::vector<qint64> ids = without(ListSearchViewLog("Mi Log").value.ids, utf8Id);
  ASSERT_TRUE(db::exec(QStringLiteral("UPDATE Tabla1 SET Obs=CAST(X'41C3' AS TEXT) WHERE id=?"), {ids[1]}));
  ASSERT_TRUE(db::exec(QStringLiteral("UPDATE Tabla1 SET Operador=CAST(X'4CE282' AS TEXT) WHERE id=?"), {ids[2]}));
  ASSERT_TRUE(db::exec(QStringLiteral("UPDATE Tabla1 SET MiGrid=CAST(X'EDA080' AS TEXT) WHERE id=?"), {ids[3]}));
  expectSameAsListRows(ids, SearchRowStyle::Opening);
  expectSameAsListRows({ids[0], ids[4]}, SearchRowStyle::Opening);
  EXPECT_TRUE(streamed(folder.file("x.adi"), ids, SearchRowStyle::Opening, {}, false, AdifEncoding::Windows1252)
                  .needsUtf8);
}

TEST_F(ListedExport, ARowGoneOrWithoutADateFailsAsTheListsRowWould) {
  std::vector<qint64> ids = without(ListSearchViewLog("Mi Log").value.ids, utf8Id);
  ASSERT_TRUE(db::exec(QStringLiteral("DELETE FROM Tabla1 WHERE id=?"), {ids[3]}));
  expectSameAsListRows(ids, SearchRowStyle::Opening);
  EXPECT_FALSE(streamed(folder.file("x.adi"), ids, SearchRowStyle::Opening, {}, false, AdifEncoding::Utf8)
                   .failure.isEmpty());

  ids = without(ListSearchViewLog("Mi Log").value.ids, utf8Id);
  ASSERT_TRUE(db::exec(QStringLiteral("UPDATE Tabla1 SET Fecha='sin fecha' WHERE id=?"), {ids[1]}));
  expectSameAsListRows(ids, SearchRowStyle::Opening);
  EXPECT_TRUE(streamed(folder.file("x.adi"), ids, SearchRowStyle::Opening, {}, false, AdifEncoding::Utf8)
                  .failure.contains("sin/fecha"));  // as the list shows the text
}

// Ids far apart are read one by one, ids close together a range at a time, and a
// long list in blocks: each gives the rows in list order.
TEST_F(ListedExport, SparseAndLongListsKeepTheirOrder) {
  const std::vector<qint64> first = ListSearchLogQsos("Mi Log", {}).value.ids;
  ASSERT_TRUE(db::transaction([] {
    for (int i = 0; i < 2600; ++i) {
      Stored s{QStringLiteral("LU%1X").arg(i), QStringLiteral("%1/04/2024").arg(1 + i % 28, 2, 10, QChar('0')),
               QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0')), "SSB", "40m",
               i % 97 == 0 ? QStringLiteral("vía %1").arg(i) : QString()};
      if (i % 3 == 0) s.log = QStringLiteral("Otro");
      store(s);
    }
    return Status::success();
  }));
  const qint64 last = store({"LU7LAST", "30/04/2024", "10:00", "SSB", "40m"});
  expectSameAsListRows({without(first, utf8Id).front(), last, without(first, utf8Id).back()}, SearchRowStyle::Search);

  const std::vector<qint64> all = without(ListSearchViewLog("Mi Log").value.ids, utf8Id);
  ASSERT_GT(all.size(), 1024u);  // more than one block
  SearchRowReader reader;
  QsoListRow edited = reader.read(all[1500], SearchRowStyle::Opening).value;
  edited.cells[kQsoListEstacion] = QStringLiteral("LU9EDT");
  expectSameAsListRows(all, SearchRowStyle::Opening, {{all[1500], edited}});
  expectSameAsListRows(ListSearchViewLog("Mi Log", {{kQsoListEstacion, false}}).value.ids, SearchRowStyle::Opening);
}

// The bytes of a record written from stored values are those of the list's record,
// in either encoding.
TEST(AdifRecordBytes, WritesWhatTheRecordWrites) {
  AdifQso base;
  base.ownCall = "LU9ZZ";
  base.call = "LU1ABC";
  base.mode = "SSB";
  base.band = "40m";
  base.frequency = "7.050";
  base.date = "01/03/2024";
  base.time = "10:00";
  base.reportSent = "59";
  base.reportReceived = "57";
  base.operatorCall = "LU8OP";
  base.remarks = "O'Brien <73>";
  base.ownGrid = "GF05TJ";
  base.grid = "FF78";
  const auto with = [&base](auto change) {
    AdifQso q = base;
    change(q);
    return q;
  };
  const AdifQso cases[] = {
      base,
      with([](AdifQso& q) { q.mode = "Echo"; }),
      with([](AdifQso& q) { q.mode = "Echo IP"; }),
      with([](AdifQso& q) { q.mode = "DV IP"; }),
      with([](AdifQso& q) { q.mode = "DVoice"; }),
      with([](AdifQso& q) { q.mode = "echo"; }),
      with([](AdifQso& q) { q.satellite = "AO-91"; q.band = "2m"; }),
      with([](AdifQso& q) { q.satellite = "SO-50"; q.band = "70cm"; }),
      with([](AdifQso& q) { q.operatorCall = "  "; q.remarks = "  "; q.ownGrid = ""; q.grid = " "; }),
      with([](AdifQso& q) { q.remarks = ""; q.call = ""; q.frequency = ""; }),
      with([](AdifQso& q) { q.time = "1:2:3"; }),
      with([](AdifQso& q) { q.remarks = QString(1234, QChar('x')); }),
      with([](AdifQso& q) { q.remarks = QString::fromUtf8("Buena señal, 5€ … «ok»"); q.call = QString::fromUtf8("LU1ÑA"); }),
      with([](AdifQso& q) { q.satellite = QString::fromUtf8("Ø"); q.operatorCall = QString::fromUtf8("Œ"); }),
  };
  for (AdifEncoding encoding : {AdifEncoding::Windows1252, AdifEncoding::Utf8})
    for (const AdifQso& q : cases)
      for (bool qslMsg : {false, true}) {
        const auto bytes = [encoding](const QString& v) {
          return encoding == AdifEncoding::Utf8 ? v.toUtf8() : encodeCp1252(v);
        };
        const QByteArray values[] = {bytes(q.ownCall),        bytes(q.call),      bytes(q.mode),
                                     bytes(q.band),           bytes(q.frequency), bytes(q.date),
                                     bytes(q.time),           bytes(q.reportSent), bytes(q.reportReceived),
                                     bytes(q.satellite),      bytes(q.operatorCall), bytes(q.remarks),
                                     bytes(q.ownGrid),        bytes(q.grid)};
        const AdifQsoBytes a{values[0], values[1], values[2],  values[3],  values[4],  values[5],  values[6],
                             values[7], values[8], values[9], values[10], values[11], values[12], values[13]};
        QByteArray out = "before";
        ASSERT_TRUE(AppendAdifRecordBytes(&out, a, qslMsg));
        EXPECT_EQ(out, "before" + bytes(AdifRecord(q, qslMsg, encoding).value)) << q.remarks.toStdString();
      }
  // Dates in any other form are left to the record itself.
  for (const char* date : {"1/3/2024", "31/02/2024", "01/03/0999", "01-03-2024", "", "sin fecha"}) {
    QByteArray out = "before";
    AdifQsoBytes a;
    a.date = date;
    EXPECT_FALSE(AppendAdifRecordBytes(&out, a, false)) << date;
    EXPECT_EQ(out, "before");
  }
}
