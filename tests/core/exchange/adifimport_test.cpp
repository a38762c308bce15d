#include "exchange/adifimport.h"

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QSqlRecord>
#include <map>

#include "exchange/adif.h"
#include "exchange/adifimportfile.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// A record line of LU9ZZ working LU1AA on 40m SSB at 12:00 on 1 March 2024, with
// extra fields appended before "<EOR>" and any default field left out by name.
QString record(const QString& extra = {}, const QStringList& without = {}) {
  const std::pair<const char*, const char*> base[] = {
      {"STATION_CALLSIGN", "LU9ZZ"}, {"CALL", "LU1AA"},  {"QSO_DATE", "20240301"}, {"TIME_ON", "1200"},
      {"BAND", "40m"},               {"FREQ", "7.050"}, {"MODE", "SSB"},
  };
  QString line;
  for (const auto& [tag, value] : base)
    if (!without.contains(QLatin1String(tag)))
      line += QStringLiteral("<%1:%2>%3").arg(QLatin1String(tag)).arg(qstrlen(value)).arg(QLatin1String(value));
  return line + extra + QStringLiteral("<EOR>");
}

QString field(const QString& tag, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(tag).arg(value.size()).arg(value);
}

TEST(ImportParse, RecordsAreReadWithTheImportsRules) {
  using F = std::map<std::string, QString>;
  const struct {
    const char* what;
    QString line;
    F expected;  // fields of the parsed QSO
    ImportCheck check = ImportCheck::Accepted;
    bool rukFile = false;
  } cases[] = {
      {"plain record", record(),
       {{"own", "LU9ZZ"}, {"call", "LU1AA"}, {"date", "01/03/2024"}, {"time", "12:00"}, {"band", "40m"},
        {"freq", "7.050"}, {"mode", "SSB"}, {"rse", "59"}, {"rsr", "59"}, {"sat", ""}, {"state", ""}}},
      {"lower-case tags keep the values' case",
       "<station_callsign:5>lu9zz<call:5>lu1aa<qso_date:8>20240301<time_on:4>1200<band:3>40M<mode:2>fm<eor>",
       {{"own", "lu9zz"}, {"call", "lu1aa"}, {"band", "40M"}, {"freq", "7.100"}, {"mode", "fm"}, {"rse", "599"}}},
      {"type indicators", record("<RST_SENT:2:S>57", {"QSO_DATE"}) .replace("<EOR>", "<QSO_DATE:8:D>20210315<EOR>"),
       {{"date", "15/03/2021"}, {"rse", "57"}}},
      {"time with seconds", record({}, {"TIME_ON"}).replace("<EOR>", "<TIME_ON:6>093045<EOR>"), {{"time", "09:30"}}},
      {"time of three digits", record({}, {"TIME_ON"}).replace("<EOR>", "<TIME_ON:3>930<EOR>"), {{"time", "93:0"}},
       ImportCheck::BadTime},
      {"empty time", record({}, {"TIME_ON"}).replace("<EOR>", "<TIME_ON:0><EOR>"), {{"time", ":"}},
       ImportCheck::BadTime},
      {"no such day", record({}, {"QSO_DATE"}).replace("<EOR>", "<QSO_DATE:8>20210230<EOR>"), {{"date", "30/02/2021"}},
       ImportCheck::BadDate},
      {"a bad date is found before a bad time",
       record({}, {"QSO_DATE", "TIME_ON"}).replace("<EOR>", "<QSO_DATE:8>20211301<TIME_ON:4>2500<EOR>"), {},
       ImportCheck::BadDate},
      {"no call", record({}, {"CALL"}), {}, ImportCheck::MissingField},
      {"no date", record({}, {"QSO_DATE"}), {}, ImportCheck::MissingField},
      {"no time", record({}, {"TIME_ON"}), {}, ImportCheck::MissingField},
      // The store refuses a QSO without its own call: counted here, the load never meets it.
      {"no own call", record({}, {"STATION_CALLSIGN"}), {{"own", ""}}, ImportCheck::MissingField},
      {"blank own call", record({}, {"STATION_CALLSIGN"}).replace("<EOR>", "<STATION_CALLSIGN:2>  <EOR>"), {},
       ImportCheck::MissingField},
      {"band without frequency", record({}, {"FREQ", "BAND"}).replace("<EOR>", "<BAND:3>20M<EOR>"),
       {{"band", "20M"}, {"freq", "14.100"}}},
      {"band without a default frequency", record({}, {"FREQ", "BAND"}).replace("<EOR>", "<BAND:5>1.25m<EOR>"),
       {{"band", "1.25m"}, {"freq", ""}}},
      {"frequency without band", record({}, {"FREQ", "BAND"}).replace("<EOR>", "<FREQ:5>7.074<EOR>"),
       {{"band", "40m"}, {"freq", "7.074"}}},
      {"frequency outside every band", record({}, {"FREQ", "BAND"}).replace("<EOR>", "<FREQ:7>222.100<EOR>"),
       {{"band", ""}, {"freq", "222.100"}}},
      {"digital voice", record({}, {"MODE"}).replace("<EOR>", "<MODE:4>C4FM<EOR>"), {{"mode", "DVoice"}, {"rse", "59"}}},
      {"digital voice in other letter case is not", record({}, {"MODE"}).replace("<EOR>", "<MODE:4>c4fm<EOR>"),
       {{"mode", "c4fm"}, {"rse", "599"}, {"rsr", "599"}}},
      {"FT8 and a long report", record("<RST_RCVD:5>59+10", {"MODE"}).replace("<EOR>", "<MODE:3>FT8<EOR>"),
       {{"mode", "FT8"}, {"rse", "599"}, {"rsr", "59+"}}},
      {"satellite mode", record("<PROP_MODE:3>SAT", {"MODE"}).replace("<EOR>", "<MODE:3>sat<EOR>"),
       {{"mode", "FM"}, {"sat", "Via Satelite"}, {"rse", "59"}}},
      {"satellite mode from the national log", record("<PROP_MODE:3>SAT", {"MODE"}).replace("<EOR>", "<MODE:3>sat<EOR>"),
       {{"mode", "FM"}, {"sat", ""}}, ImportCheck::Accepted, true},
      {"satellite without mode", record("<PROP_MODE:3>SAT", {"MODE"}),
       {{"mode", "FM"}, {"sat", QString::fromUtf8("Satélite")}, {"rse", "599"}}},
      {"satellite named, without mode", record("<PROP_MODE:3>SAT<SAT_NAME:5>AO-91", {"MODE"}),
       {{"mode", "FM"}, {"sat", "AO-91"}}},
      // Stored without a mode a QSO would be invisible in its log: counted with the malformed.
      {"lower-case satellite without mode", record("<PROP_MODE:3>sat", {"MODE"}), {{"mode", ""}, {"sat", ""}},
       ImportCheck::MissingField},
      {"no mode", record({}, {"MODE"}), {{"mode", ""}}, ImportCheck::MissingField},
      {"empty mode", record({}, {"MODE"}).replace("<EOR>", "<MODE:0><EOR>"), {{"mode", ""}}, ImportCheck::MissingField},
      {"upload state from the national log", record("<QSL_RCVD:1>Y"), {{"state", "2"}}, ImportCheck::Accepted, true},
      {"upload state N", record("<QSL_RCVD:1>N"), {{"state", "1"}}, ImportCheck::Accepted, true},
      {"upload state R", record("<QSL_RCVD:1>R"), {{"state", "R"}}, ImportCheck::Accepted, true},
      {"upload state y", record("<QSL_RCVD:1>y"), {{"state", "y"}}, ImportCheck::Accepted, true},
      {"no upload state", record(), {{"state", ""}}, ImportCheck::Accepted, true},
      {"upload state of any other file", record("<QSL_RCVD:1>Y"), {{"state", ""}}},
      {"cut to the column widths",
       record(field("COMMENT", QString(150, 'c')) + "<OPERATOR:3>LU9<MY_GRIDSQUARE:8>GF05tx12<GRIDSQUARE:4>FF78" +
                  field("SAT_NAME", QString(30, 's')),
              {"MODE", "CALL", "FREQ"})
           .replace("<EOR>", "<MODE:10>MODEMODEMO<CALL:25>LU1AAxxxxxxxxxxxxxxxxxxxx<FREQ:13>14.2000000001<EOR>"),
       {{"mode", "MODEMOD"}, {"call", "LU1AAxxxxxxxxxxxxxxx"}, {"remarks", QString(100, 'c')}, {"op", "LU9"},
        {"myGrid", "GF05tx"}, {"grid", "FF78"}, {"freq", "14.2000000"}, {"sat", QString(30, 's')}}},
      {"values holding < and > are read whole", record("<COMMENT:16>a<b> <CALL:3>XYZ"),
       {{"call", "LU1AA"}, {"remarks", "a<b> <CALL:3>XYZ"}}},
  };
  for (const auto& c : cases) {
    const Result<ParsedImportRecord> r = ParseImportRecord(c.line, c.rukFile, {});
    ASSERT_TRUE(r.ok()) << c.what << ": " << r.error().toStdString();
    EXPECT_EQ(r.value.check, c.check) << c.what;
    EXPECT_FALSE(r.value.noBandNorFrequency) << c.what;
    const ImportedQso& q = r.value.qso;
    const std::map<std::string, QString> got = {
        {"own", q.ownCall},   {"call", q.call},           {"date", q.date},      {"time", q.time},
        {"band", q.band},     {"freq", q.frequency},      {"mode", q.mode},      {"rse", q.reportSent},
        {"rsr", q.reportReceived}, {"sat", q.satellite},  {"state", q.uploadState}, {"remarks", q.remarks},
        {"op", q.operatorCall}, {"myGrid", q.ownGrid},    {"grid", q.grid},
    };
    for (const auto& [name, value] : c.expected) EXPECT_EQ(got.at(name), value) << c.what << ": " << name;
  }
}

TEST(ImportParse, NoBandNorFrequencyIsCountedWhateverFollows) {
  for (const QStringList& without : {QStringList{"BAND", "FREQ"}, QStringList{"BAND", "FREQ", "CALL"}}) {
    const Result<ParsedImportRecord> r = ParseImportRecord(record({}, without), false, {});
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.value.noBandNorFrequency);
    EXPECT_EQ(r.value.check, without.size() == 2 ? ImportCheck::Accepted : ImportCheck::MissingField);
    EXPECT_EQ(r.value.qso.band, "");
    EXPECT_EQ(r.value.qso.frequency, "");
  }
}

TEST(ImportParse, TypedStationCallReplacesEveryOwnCall) {
  EXPECT_EQ(ImportTypedStationCall({}), "");
  EXPECT_EQ(ImportTypedStationCall({"<STATION_CALLSIGN:LU9ZZ"}), "LU9ZZ");
  EXPECT_EQ(ImportTypedStationCall({"<STATION_CALLSIGN:LU1A", "> 2 error(es) QTR", "<STATION_CALLSIGN:LU2B"}), "LU2B");
  EXPECT_EQ(ParseImportRecord(record(), false, "LU8XX").value.qso.ownCall, "LU8XX");
  EXPECT_EQ(ParseImportRecord(record({}, {"STATION_CALLSIGN"}), false, "LU8XX").value.qso.ownCall, "LU8XX");
  EXPECT_EQ(ParseImportRecord(record({}, {"STATION_CALLSIGN"}), false, {}).value.qso.ownCall, "");

  EXPECT_TRUE(IsRukImportFile("Ruk"));
  EXPECT_TRUE(IsRukImportFile("Exportado de Ruk 2.0"));
  EXPECT_FALSE(IsRukImportFile("RUK"));
  EXPECT_FALSE(IsRukImportFile(""));
}

TEST(ImportParse, AFieldLengthThatCannotBeReadIsAFailure) {
  const Result<ParsedImportRecord> r = ParseImportRecord(record("<COMMENT:-5>abc"), false, {});
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.error().contains("<COMMENT:"));
  // A field the import does not read does not matter.
  EXPECT_TRUE(ParseImportRecord(record("<NAME:-5>abc"), false, {}).ok());
}

TEST(ImportParse, ErrorLines) {
  EXPECT_TRUE(ImportErrorLines({}).isEmpty());
  ImportCounts c;
  c.newQsos = 4;
  c.duplicates = 2;
  c.dateErrors = 3;
  c.bandErrors = 1;
  c.adifErrors = 12;
  EXPECT_EQ(ImportErrorLines(c),
            (QStringList{"> 3 error(es) Fecha", "> 1 error(es) Banda/Frec.", "> 12 error(es) ADIF."}));
  c.timeErrors = 2;
  EXPECT_EQ(ImportErrorLines(c)[1], "> 2 error(es) QTR");
}

// Tabla3 rows as column name to value, in table order; NULL reads "<null>".
std::vector<std::map<QString, QString>> stagedRows() {
  std::vector<std::map<QString, QString>> rows;
  QSqlQuery q(db::connection());
  if (!db::run(q, "SELECT * FROM Tabla3 ORDER BY id")) return rows;
  while (q.next()) {
    std::map<QString, QString> row;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) row[rec.fieldName(i)] = q.isNull(i) ? "<null>" : q.value(i).toString();
    rows.push_back(row);
  }
  return rows;
}

class ImportStaging : public ::testing::Test {
 protected:
  void SetUp() override { state().CurrentLogName = "Mi Log"; }
  test::TempFolder folder;
};

TEST_F(ImportStaging, StagedRowMapping) {
  ASSERT_TRUE(AddImportStagingRecord("LU9ZZ", "LU1ABC", "01/03/2024", "12:00", "40m", "7.050", "SSB", "59+10",
                                     "5799", "LU9ZZ", "SAT", "AO-91", "2", QString(120, 'x') + "O'Brien", "VA",
                                     " GF05 ", " FF78  "));
  ASSERT_TRUE(AddImportStagingRecord("", "EA1AA", "02/03/2024", "13:00", "", "", "", "", "", "", "", "", "", "",
                                     "17", "", ""));
  const auto rows = stagedRows();
  ASSERT_EQ(rows.size(), 2u);
  const std::map<QString, QString> first = {
      {"id", "1"},          {"Modo", "SSB"},         {"Banda", "40m"},      {"MyCall", "LU9ZZ"},
      {"Estacion", "LU1ABC"}, {"Fecha", "01/03/2024"}, {"Hora", "12:00"},   {"RSE", "59+"},
      {"RSR", "579"},       {"Obs", QString(100, 'x')}, {"Operador", "LU9ZZ"}, {"Nombre Log", "Mi Log"},
      {"Frecuencia", "7.050"}, {"MiGrid", "GF05"},    {"SuGrid", "FF78"},    {"Ruk", "2"},
      {"Nombre_Sat", "AO-91"}, {"Argento", "Capital"}, {"Dupe", "VA"},       {"Perfil", "<null>"},
  };
  EXPECT_EQ(rows[0], first);
  // Empty values are stored as empty text; a foreign call has no province.
  EXPECT_EQ(rows[1].at("MyCall"), "");
  EXPECT_EQ(rows[1].at("Argento"), "");
  EXPECT_EQ(rows[1].at("Ruk"), "");
  EXPECT_EQ(rows[1].at("Dupe"), "17");

  // An apostrophe is stored, not a broken statement.
  ASSERT_TRUE(AddImportStagingRecord("LU9ZZ", "LU1ABC", "01/03/2024", "12:00", "40m", "7.050", "SSB", "59", "59", "",
                                     "", "", "", "it's", "VA", "", ""));
  EXPECT_EQ(stagedRows().back().at("Obs"), "it's");
}

TEST_F(ImportStaging, AStagingFailureIsReported) {
  ASSERT_TRUE(db::exec("DROP TABLE Tabla3"));
  const Status s = AddImportStagingRecord("LU9ZZ", "LU1ABC", "01/03/2024", "12:00", "40m", "7.050", "SSB", "59", "59",
                                          "", "", "", "", "", "VA", "", "");
  EXPECT_FALSE(s);
  EXPECT_TRUE(s.error.contains("LU1ABC"));
}

TEST_F(ImportStaging, ParseStagesNewAndDuplicateQsos) {
  test::QsoDetails ssb;
  ssb.mode = "SSB";
  const qint64 stored = test::addQso("Mi Log", "LU1AA", "01/03/2024", "12:00:00", ssb);
  test::addQso("Otro Log", "LU2BB", "01/03/2024", "12:00:00", ssb);

  auto at = [](const char* call, const char* time) {
    return record({}, {"CALL", "TIME_ON", "STATION_CALLSIGN"})
        .replace("<EOR>", QStringLiteral("<STATION_CALLSIGN:6>LU1ABC<CALL:%1>%2<TIME_ON:4>%3<EOR>")
                              .arg(qstrlen(call)).arg(QLatin1String(call), QLatin1String(time)));
  };
  const QStringList lines = {
      at("LU1AA", "1209"),                     // 9 minutes from the stored QSO: its duplicate
      at("LU1AA", "1210"),                     // 10 minutes: new
      at("lu1aa", "1151"),                     // letter case does not matter
      at("LU2BB", "1200"),                     // the same QSO in another log: new
      at("LU3CC", "1200"), at("LU3CC", "1200"),  // twice in the file: both new
      record({}, {"CALL"}),                    // ADIF.
      at("LU4DD", "2500"),                     // QTR
      record({}, {"BAND", "FREQ"}),            // Banda/Frec., staged all the same
  };
  ImportCounts counts;
  std::vector<int> done;
  const Result<ImportParseEnd> r =
      ParseImportRecords(lines, "Van Torel Zezeror", {}, &counts, {{}, [&](int i, const ImportCounts&) { done.push_back(i); }, {}});
  ASSERT_TRUE(r.ok()) << r.error().toStdString();
  EXPECT_EQ(r.value, ImportParseEnd::Finished);
  EXPECT_EQ(counts.newQsos, 5);
  EXPECT_EQ(counts.duplicates, 2);
  EXPECT_EQ(counts.adifErrors, 1);
  EXPECT_EQ(counts.timeErrors, 1);
  EXPECT_EQ(counts.bandErrors, 1);
  EXPECT_EQ(counts.dateErrors, 0);
  EXPECT_EQ(done, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

  const auto rows = stagedRows();
  ASSERT_EQ(rows.size(), 7u);
  const QString marks[] = {QString::number(stored), "VA", QString::number(stored), "VA", "VA", "VA", "VA"};
  const QString calls[] = {"LU1AA", "LU1AA", "lu1aa", "LU2BB", "LU3CC", "LU3CC", "LU1AA"};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].at("Dupe"), marks[i]) << i;
    EXPECT_EQ(rows[i].at("Estacion"), calls[i]) << i;
    EXPECT_EQ(rows[i].at("Nombre Log"), "Mi Log") << i;
  }
  EXPECT_EQ(rows[6].at("Banda"), "");
  EXPECT_EQ(rows[6].at("Frecuencia"), "");
}

TEST_F(ImportStaging, CancelKeepsWhatWasStagedBefore) {
  QStringList lines;
  for (int i = 0; i < 700; ++i) lines << record();
  lines.insert(3, record({}, {"CALL"}));  // a rejected record is not a poll
  int polls = 0;
  ImportCounts counts;
  const Result<ImportParseEnd> r = ParseImportRecords(lines, {}, {}, &counts, {[&] { return ++polls == 650; }, {}, {}});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value, ImportParseEnd::Cancelled);
  EXPECT_EQ(polls, 650);
  EXPECT_EQ(counts.newQsos, 649);
  EXPECT_EQ(counts.adifErrors, 1);
  EXPECT_EQ(stagedRows().size(), 649u);

  // Answering No goes on with the same record.
  ASSERT_TRUE(db::exec("DELETE FROM Tabla3"));
  counts = {};
  polls = 0;
  EXPECT_EQ(ParseImportRecords(lines, {}, {}, &counts, {[&] { ++polls; return false; }, {}, {}}).value,
            ImportParseEnd::Finished);
  EXPECT_EQ(polls, 700);
  EXPECT_EQ(stagedRows().size(), 700u);
}

TEST_F(ImportStaging, FailuresEndTheParseAndAreNeverCountedAsStaged) {
  // A field length that cannot be read, in the third record.
  const QStringList lines = {record(), record(), record("<COMMENT:-1>x"), record()};
  ImportCounts counts;
  Result<ImportParseEnd> r = ParseImportRecords(lines, {}, {}, &counts);
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.error().contains("QSO 3")) << r.error().toStdString();
  EXPECT_EQ(stagedRows().size(), 2u);

  // A full disk part-way: the database's reason, and only the rows really staged
  // are counted.
  ASSERT_TRUE(db::exec("DELETE FROM Tabla3"));
  QSqlQuery pages(db::connection());
  ASSERT_TRUE(db::run(pages, "PRAGMA page_count"));
  ASSERT_TRUE(pages.next());
  const int used = pages.value(0).toInt();
  pages.finish();
  ASSERT_TRUE(db::exec(QStringLiteral("PRAGMA max_page_count=%1").arg(used + 150)));
  QStringList many;
  for (int i = 0; i < 6000; ++i) many << record(field("COMMENT", QString(90, QChar(u'a' + i % 26))));
  counts = {};
  r = ParseImportRecords(many, {}, {}, &counts);
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.error().contains("full")) << r.error().toStdString();
  EXPECT_GT(stagedRows().size(), 0u);
  EXPECT_LT(stagedRows().size(), 6000u);
  EXPECT_EQ(size_t(counts.newQsos + counts.duplicates), stagedRows().size());
  ASSERT_TRUE(db::exec("PRAGMA max_page_count=1073741823"));

  // No staging table: a failure, not QSOs counted and silently dropped.
  ASSERT_TRUE(db::exec("DROP TABLE Tabla3"));
  counts = {};
  r = ParseImportRecords({record()}, {}, {}, &counts);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(counts.newQsos + counts.duplicates, 0);

  // No database: the duplicate test cannot run.
  db::close();
  counts = {};
  r = ParseImportRecords({record()}, {}, {}, &counts);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(counts.newQsos + counts.duplicates, 0);
}

TEST_F(ImportStaging, WhatTheProgramExportsImportsBack) {
  FixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(15, 30, 12)));
  setClock(&clock);
  AdifQso a;
  a.ownCall = "LU9ZZ";
  a.call = "LU1ABC";
  a.mode = "SSB";
  a.band = "40m";
  a.frequency = "7.050";
  a.date = "05/03/2021";
  a.time = "09:30";
  a.reportSent = "59";
  a.reportReceived = "57";
  a.operatorCall = "LU9ZZ";
  a.remarks = QString::fromUtf8("Ñandú <QSB> 5/9 €");
  a.ownGrid = "GF05";
  a.grid = "FF78";
  AdifQso b = a;
  b.call = "EA1AA";
  b.mode = "DVoice";
  b.band = "2m";
  b.frequency = "145.900";
  b.satellite = "AO-91";
  b.remarks = "";
  b.date = "31/12/2023";
  b.time = "23:59";

  const QString path = folder.file("export.adi");
  AdifFileWriter w;
  ASSERT_TRUE(w.create(path));
  for (const AdifQso& q : {a, b}) ASSERT_TRUE(w.writeLine(AdifRecord(q, false).value));
  ASSERT_TRUE(w.finish(true));

  const Result<ImportFileContents> file = ReadAdifImportFile(path);
  setClock(nullptr);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.value.programId, "Van Torel Zezeror");
  EXPECT_EQ(file.value.lineCount, 3);
  ImportCounts counts;
  ASSERT_TRUE(ParseImportRecords(file.value.recordLines, file.value.programId, {}, &counts).ok());
  EXPECT_EQ(counts.newQsos, 2);
  EXPECT_TRUE(ImportErrorLines(counts).isEmpty());

  const auto rows = stagedRows();
  ASSERT_EQ(rows.size(), 2u);
  const struct {
    const char* column;
    QString first, second;
  } cases[] = {
      {"MyCall", "LU9ZZ", "LU9ZZ"},      {"Estacion", "LU1ABC", "EA1AA"},       {"Modo", "SSB", "DVoice"},
      {"Banda", "40m", "2m"},            {"Frecuencia", "7.050", "145.900"},    {"Fecha", "05/03/2021", "31/12/2023"},
      {"Hora", "09:30", "23:59"},        {"RSE", "59", "59"},                   {"RSR", "57", "57"},
      {"Operador", "LU9ZZ", "LU9ZZ"},    {"Obs", a.remarks, ""},                {"MiGrid", "GF05", "GF05"},
      {"SuGrid", "FF78", "FF78"},        {"Nombre_Sat", "", "AO-91"},           {"Argento", "Capital", ""},
      {"Ruk", "", ""},                   {"Dupe", "VA", "VA"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rows[0].at(c.column), c.first) << c.column;
    EXPECT_EQ(rows[1].at(c.column), c.second) << c.column;
  }
}

}  // namespace
