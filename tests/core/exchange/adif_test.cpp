#include "exchange/adif.h"
#include "exchange/adifimportfile.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/clock.h"
#include "platform/cp1252.h"
#include "store/programstate.h"
#include "support/filesizecap.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A 40 m SSB QSO with every field filled.
AdifQso sampleQso() {
  AdifQso q;
  q.ownCall = "LU9ZZ";
  q.call = "LU1AA";
  q.mode = "SSB";
  q.band = "40m";
  q.frequency = "7.050";
  q.date = "05/03/2021";
  q.time = "09:30";
  q.reportSent = "59";
  q.reportReceived = "57";
  q.operatorCall = "LU9ZZ";
  q.remarks = "Hola";
  q.ownGrid = "GF05";
  q.grid = "FF78";
  return q;
}

const QString kSampleHead = "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA";

TEST(AdifWriting, FieldLengthCountsTheValueAsWritten) {
  const struct {
    const char* tag;
    QString value;
    QString field;
  } cases[] = {
      {"CALL", "LU1AA", "<CALL:5>LU1AA"},
      {"RST_SENT", "", "<RST_SENT:0>"},
      {"COMMENT", "  a b  ", "<COMMENT:7>  a b  "},
      {"COMMENT", "x<y>z:1", "<COMMENT:7>x<y>z:1"},
      {"COMMENT", QString::fromUtf8("Ñandú"), QString::fromUtf8("<COMMENT:5>Ñandú")},
  };
  for (const auto& c : cases) EXPECT_EQ(AdifField(c.tag, c.value), c.field) << c.tag;
}

TEST(AdifWriting, HeaderCarriesVersionAndLocalTimestamp) {
  const QDateTime at(QDate(2024, 3, 1), QTime(7, 5, 9));
  EXPECT_EQ(AdifHeader("2.1.21", at),
            (QStringList{"<PROGRAMID:17>Van Torel Zezeror", "<PROGRAMVERSION:6>2.1.21", "<ADIF_VER:4>3.04",
                         "<CREATED_TIMESTAMP:15>20240301 070509", "<EOH>"}));
  EXPECT_EQ(AdifHeader("10.0", at)[1], "<PROGRAMVERSION:4>10.0");

  FixedClock clock(QDateTime(QDate(2025, 12, 8), QTime(23, 59, 58)));
  setClock(&clock);
  state().ProgramVersion = "2.1.21";
  const QStringList h = AdifHeader();
  setClock(nullptr);
  EXPECT_EQ(h[1], "<PROGRAMVERSION:6>2.1.21");
  EXPECT_EQ(h[3], "<CREATED_TIMESTAMP:15>20251208 235958");
}

TEST(AdifWriting, ReferenceRecord) {
  const QString tail = "<BAND:3>40m<FREQ:5>7.050<QSO_DATE:8>20210305<TIME_ON:4>0930<RST_SENT:2>59<RST_RCVD:2>57";
  const struct {
    const char* what;
    void (*change)(AdifQso&);
    bool qslMsg;
    QString record;
  } cases[] = {
      {"every field", [](AdifQso&) {}, false,
       kSampleHead + "<MODE:3>SSB" + tail +
           "<OPERATOR:5>LU9ZZ<COMMENT:4>Hola<MY_GRIDSQUARE:4>GF05<GRIDSQUARE:4>FF78<EOR>"},
      {"QSLMSG repeats the remarks", [](AdifQso&) {}, true,
       kSampleHead + "<MODE:3>SSB" + tail +
           "<OPERATOR:5>LU9ZZ<COMMENT:4>Hola<QSLMSG:4>Hola<MY_GRIDSQUARE:4>GF05<GRIDSQUARE:4>FF78<EOR>"},
      {"empty values: the fields written always stay, the others go",
       [](AdifQso& q) {
         q.reportSent = q.reportReceived = q.operatorCall = q.remarks = q.ownGrid = "";
         q.grid = "   ";
       },
       true,
       kSampleHead + "<MODE:3>SSB" +
           "<BAND:3>40m<FREQ:5>7.050<QSO_DATE:8>20210305<TIME_ON:4>0930<RST_SENT:0><RST_RCVD:0><EOR>"},
      {"blank remarks: no COMMENT, but a QSLMSG of blanks",
       [](AdifQso& q) { q.remarks = "  "; }, true,
       kSampleHead + "<MODE:3>SSB" + tail + "<OPERATOR:5>LU9ZZ<QSLMSG:2>  <MY_GRIDSQUARE:4>GF05<GRIDSQUARE:4>FF78<EOR>"},
      {"untrimmed values keep their length",
       [](AdifQso& q) {
         q.operatorCall = " LU9ZZ ";
         q.remarks = QString::fromUtf8("añá <b>");
         q.ownGrid = q.grid = "";
       },
       false, kSampleHead + "<MODE:3>SSB" + tail + QString::fromUtf8("<OPERATOR:7> LU9ZZ <COMMENT:7>añá <b><EOR>")},
      {"satellite on 2m listens on 70cm",
       [](AdifQso& q) {
         q.band = "2m";
         q.frequency = "145.900";
         q.satellite = "SO-50";
         q.operatorCall = q.remarks = q.ownGrid = q.grid = "";
       },
       false,
       kSampleHead + "<MODE:3>SSB<BAND:2>2m<FREQ:7>145.900<QSO_DATE:8>20210305<TIME_ON:4>0930<RST_SENT:2>59"
                     "<RST_RCVD:2>57<PROP_MODE:3>SAT<SAT_NAME:5>SO-50<BAND_RX:4>70cm<EOR>"},
      {"satellite on any other band listens on 2m",
       [](AdifQso& q) {
         q.band = "70cm";
         q.frequency = "435.100";
         q.satellite = " ";
         q.operatorCall = q.remarks = q.ownGrid = q.grid = "";
       },
       false,
       kSampleHead + "<MODE:3>SSB<BAND:4>70cm<FREQ:7>435.100<QSO_DATE:8>20210305<TIME_ON:4>0930<RST_SENT:2>59"
                     "<RST_RCVD:2>57<PROP_MODE:3>SAT<SAT_NAME:1> <BAND_RX:2>2m<EOR>"},
  };
  for (const auto& c : cases) {
    AdifQso q = sampleQso();
    c.change(q);
    const Result<QString> r = AdifRecord(q, c.qslMsg);
    ASSERT_TRUE(r.ok()) << c.what;
    EXPECT_EQ(r.value, c.record) << c.what;
  }
}

TEST(AdifWriting, ModeTableComparesExactly) {
  const struct {
    const char* mode;
    const char* fields;
  } cases[] = {
      {"Echo", "<MODE:2>FM<PROP_MODE:3>ECH"},
      {"Echo IP", "<MODE:3>VOI<PROP_MODE:3>ECH"},
      {"DV IP", "<MODE:12>DIGITALVOICE<PROP_MODE:8>INTERNET"},
      {"DVoice", "<MODE:12>DIGITALVOICE"},
      {"dvoice", "<MODE:6>dvoice"},
      {"ECHO", "<MODE:4>ECHO"},
      {"Sat FM", "<MODE:6>Sat FM"},
      {"", "<MODE:0>"},
  };
  for (const auto& c : cases) {
    AdifQso q = sampleQso();
    q.mode = c.mode;
    const QString r = AdifRecord(q, false).value;
    EXPECT_TRUE(r.startsWith(kSampleHead + c.fields + "<BAND:")) << c.mode << ": " << r.toStdString();
  }
}

TEST(AdifWriting, DateAndTimeForms) {
  EXPECT_EQ(AdifQsoDate("05/03/2021"), "20210305");
  EXPECT_EQ(AdifQsoDate("5/3/2021"), "20210305");
  EXPECT_EQ(AdifQsoDate("31/12/1999"), "19991231");
  EXPECT_FALSE(AdifQsoDate("30/02/2021").has_value());
  EXPECT_FALSE(AdifQsoDate("").has_value());
  EXPECT_EQ(AdifTimeOn("09:30"), "0930");
  EXPECT_EQ(AdifTimeOn("09:30:15"), "093015");

  AdifQso q = sampleQso();
  q.date = "2021-03-05x";
  const Result<QString> r = AdifRecord(q, false);
  EXPECT_FALSE(r.ok());
  EXPECT_TRUE(r.error().contains("2021-03-05x"));
}

TEST(AdifWriting, FileIsWindows1252WithCrLfAndReplacedOnlyWhenFinished) {
  test::TempFolder folder(false);
  const QString path = folder.file("salida.adi");
  const QStringList header = AdifHeader("2.1.21", QDateTime(QDate(2024, 3, 1), QTime(7, 5, 9)));

  AdifFileWriter w;
  ASSERT_TRUE(w.create(path, header));
  ASSERT_TRUE(w.writeLine(AdifField("COMMENT", QString::fromUtf8("Ñandú €")) + "<EOR>"));
  ASSERT_TRUE(w.finish(true));
  const QByteArray expected = encodeCp1252(header.join("\r\n")) + "\r\n<COMMENT:7>\xD1" "and\xFA \x80<EOR>\r\n<EOF>\r\n";
  EXPECT_EQ(fileBytes(path), expected);
  EXPECT_TRUE(fileBytes(path).startsWith("<PROGRAMID:"));

  // Without an end line, as the contest export writes it.
  AdifFileWriter noEnd;
  ASSERT_TRUE(noEnd.create(path, header));
  ASSERT_TRUE(noEnd.finish(false));
  EXPECT_EQ(fileBytes(path), encodeCp1252(header.join("\r\n")) + "\r\n");

  // A writer dropped half-way leaves the earlier file as it was.
  const QByteArray before = fileBytes(path);
  {
    AdifFileWriter dropped;
    ASSERT_TRUE(dropped.create(path, header));
    ASSERT_TRUE(dropped.writeLine("<CALL:1>A<EOR>"));
  }
  EXPECT_EQ(fileBytes(path), before);

  // A folder that does not exist is a failure with the path, not a silent success.
  AdifFileWriter nowhere;
  const Status s = nowhere.create(folder.file("no/existe.adi"), header);
  EXPECT_FALSE(s);
  EXPECT_TRUE(s.error.contains("existe.adi"));
  EXPECT_FALSE(nowhere.writeLine("x"));
  EXPECT_FALSE(nowhere.finish(true));
}

// A file whose values all fit Windows-1252 is written as it always was; one value
// beyond it makes the whole file UTF-8, its lengths counted in bytes, and the
// import's reader gets every value back whole.
TEST(AdifWriting, AValueBeyondWindows1252MakesTheFileUtf8) {
  const QString remark = QString::fromUtf8("Łódź Москва €5");
  EXPECT_EQ(AdifEncodingFor({"LU1AA", QString::fromUtf8("Ñandú €"), ""}), AdifEncoding::Windows1252);
  EXPECT_EQ(AdifEncodingFor({"LU1AA", remark}), AdifEncoding::Utf8);
  EXPECT_EQ(AdifField("COMMENT", remark), QString::fromUtf8("<COMMENT:14>Łódź Москва €5"));
  EXPECT_EQ(AdifField("COMMENT", remark, AdifEncoding::Utf8), QString::fromUtf8("<COMMENT:25>Łódź Москва €5"));
  EXPECT_EQ(AdifField("COMMENT", "abc", AdifEncoding::Utf8), "<COMMENT:3>abc");

  test::TempFolder folder(false);
  const QString path = folder.file("salida.adi");
  AdifQso q;
  q.ownCall = "LU9ZZ";
  q.call = "SP1AA";
  q.mode = "SSB";
  q.band = "40m";
  q.frequency = "7.050";
  q.date = "01/03/2024";
  q.time = "12:34";
  q.reportSent = "59";
  q.reportReceived = "57";
  q.remarks = remark;
  const AdifEncoding encoding = AdifEncodingFor(AdifValues(q));
  ASSERT_EQ(encoding, AdifEncoding::Utf8);
  AdifFileWriter w;
  ASSERT_TRUE(w.create(path, {"<EOH>"}, encoding));
  ASSERT_TRUE(w.writeLine(AdifRecord(q, true, encoding).value));
  ASSERT_TRUE(w.finish(true));
  const QByteArray bytes = fileBytes(path);
  EXPECT_TRUE(bytes.contains("<COMMENT:25>\xC5\x81\xC3\xB3" "d\xC5\xBA \xD0\x9C")) << bytes.toStdString();
  EXPECT_TRUE(bytes.contains("<QSLMSG:25>")) << bytes.toStdString();
  const ImportFileContents read = ReadAdifImportBytes(bytes);
  EXPECT_EQ(read.encoding, AdifEncoding::Utf8);
  ASSERT_EQ(read.recordLines.size(), 1);
  EXPECT_EQ(AdifTagValue(read.recordLines[0], "COMMENT").value, remark);
  EXPECT_EQ(AdifTagValue(read.recordLines[0], "CALL").value, QString("SP1AA"));
}

// A disk that fills up half-way through an export: the failure is reported and the
// earlier file stays; a cut file is never put in its place.
TEST(AdifWriting, AnExportCutShortIsAFailureAndKeepsTheEarlierFile) {
  test::TempFolder folder(false);
  const QString path = folder.file("salida.adi");
  AdifFileWriter first;
  ASSERT_TRUE(first.create(path, {"<EOH>"}));
  ASSERT_TRUE(first.finish(true));
  const QByteArray before = fileBytes(path);

  bool failed = false;
  QString error;
  {
    test::FileSizeCap cap(4096);
    AdifFileWriter w;
    ASSERT_TRUE(w.create(path, {"<EOH>"}));
    for (int i = 0; i < 2000 && !failed; ++i) {
      const Status s = w.writeLine(AdifField("CALL", QStringLiteral("LU%1ABC").arg(i)) + "<EOR>");
      if (!s) failed = true, error = s.error;
    }
    if (!failed) {
      const Status s = w.finish(true);
      failed = !s.ok;
      error = s.error;
    }
  }
  EXPECT_TRUE(failed);
  EXPECT_TRUE(error.contains("salida.adi")) << error.toStdString();
  EXPECT_EQ(fileBytes(path), before);
}

TEST(AdifReading, TagLookup) {
  const struct {
    QString line;
    const char* name;
    std::optional<QString> value;
  } cases[] = {
      {"<CALL:5>LU1AA<EOR>", "CALL", "LU1AA"},
      {"<call:5>lu1aa<eor>", "CALL", "lu1aa"},
      {"<Mode:2>fm", "MODE", "fm"},
      {"<MODE:2:S>FM", "MODE", "FM"},
      {"<QSO_DATE:8:D>20210315<EOR>", "QSO_DATE", "20210315"},
      {"<CALL: 5 >LU1AA", "CALL", "LU1AA"},
      {"<CALL:9>LU1AA", "CALL", "LU1AA"},             // a length past the line's end gives the rest
      {"<CALL:3>LU1AA", "CALL", "LU1"},
      {"<CALL:>LU1AA", "CALL", ""},                   // no number: length 0
      {"<CALL:0>", "CALL", ""},
      {"<CALL:5LU1AA", "CALL", "5LU1A"},              // no ">": the characters after the ":"
      {"<RST_SENT:2>59<CALL:5>LU1AA", "RST_RCVD", std::nullopt},
      {"<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA", "CALL", "LU1AA"},
      {"<PROP_MODE:3>SAT<MODE:2>FM", "MODE", "FM"},
      {"<CALL:5>LU1AA<CALL:5>LU2BB", "CALL", "LU1AA"},  // the first one counts
      // Values holding "<", ">" or tag-like text are read whole, and the tag-like
      // text is not taken for a field.
      {"<COMMENT:7>a<b>c:d<CALL:5>LU1AA", "COMMENT", "a<b>c:d"},
      {"<COMMENT:15>see <CALL:3>XYZ<CALL:5>LU1AA", "CALL", "LU1AA"},
      {"<COMMENT:15>see <CALL:3>XYZ<CALL:5>LU1AA", "COMMENT", "see <CALL:3>XYZ"},
      {"<COMMENT:3>a<b<CALL:5>LU1AA", "CALL", "LU1AA"},
      // A length that overruns its value hides the next tag from the field-by-field
      // reading; the tag is still found where it stands.
      {"<COMMENT:9>abc<CALL:5>LU1AA<EOR>", "CALL", "LU1AA"},
      {"<COMMENT:9>abc<CALL:5>LU1AA<EOR>", "COMMENT", "abc<CALL:"},
      // A length that runs into the record's end stops before it; one that ends where
      // a tag may begin keeps what it holds.
      {"<CALL:9>LU1AA<EOR>", "CALL", "LU1AA"},
      {"<CALL:3><EOR>", "CALL", ""},
      {"<CALL:5>LU1AA<COMMENT:6>ab<eor>XYZ", "COMMENT", "ab"},
      {"<COMMENT:6>a <EOR><CALL:5>LU1AA", "COMMENT", "a "},
      {"<COMMENT:8>a <EOR>b<CALL:5>LU1AA", "COMMENT", "a <EOR>b"},
      {"<COMMENT:7>a <EOR><CALL:5>LU1AA", "COMMENT", "a <EOR>"},
      // A tag found inside another value never takes a piece of the tags after it.
      {"<BAND:3>40m<COMMENT:10>ab<MODE:3><EOR>", "MODE", ""},
      {"<BAND:3>40m<COMMENT:10>ab<MODE:3><EOR>", "COMMENT", "ab<MODE:3>"},
      {"<COMMENT:9>abc<CALL:9>LU1AA<EOR>", "CALL", "LU1AA"},
      {"<COMMENT:15>see <MODE:3>SSB<CALL:5>LU1AA", "MODE", "SSB"},
      // Windows-1252 text: one character per byte, "ß" included.
      {QString::fromUtf8("<COMMENT:6>Straße<CALL:5>DL1AA"), "CALL", "DL1AA"},
      {QString::fromUtf8("<COMMENT:6>Straße<CALL:5>DL1AA"), "COMMENT", QString::fromUtf8("Straße")},
      {QString::fromUtf8("<NAME:4>ßßßß<CALL:5>DL1AA"), "CALL", "DL1AA"},
  };
  for (const auto& c : cases) {
    const auto r = AdifTagValue(c.line, c.name);
    ASSERT_TRUE(r.ok()) << c.line.toStdString();
    EXPECT_EQ(r.value, c.value) << c.line.toStdString() << " " << c.name;
  }
}

TEST(AdifReading, UnreadableLengthIsAFailure) {
  for (const char* line : {"<CALL:-1>LU1AA", "<CALL:99999999999>LU1AA", "<CALL:1E12>LU1AA"}) {
    const auto r = AdifTagValue(line, "CALL");
    EXPECT_FALSE(r.ok()) << line;
    EXPECT_TRUE(r.error().contains("<CALL:")) << line;
  }
  // Only the field asked for matters.
  EXPECT_EQ(AdifTagValue("<COMMENT:-1>x<CALL:5>LU1AA", "CALL").value, "LU1AA");
}

TEST(AdifReading, WhatTheWriterWritesReadsBack) {
  AdifQso q = sampleQso();
  q.remarks = QString::fromUtf8("<GRIDSQUARE:4>AA00 ñ <EOR");
  q.satellite = "AO-91";
  const QString line = AdifRecord(q, true).value;
  const AdifFields fields(line);
  const struct {
    const char* name;
    QString value;
  } cases[] = {
      {"STATION_CALLSIGN", q.ownCall}, {"CALL", q.call},       {"MODE", q.mode},
      {"BAND", q.band},                {"FREQ", q.frequency},  {"QSO_DATE", "20210305"},
      {"TIME_ON", "0930"},             {"RST_SENT", "59"},     {"RST_RCVD", "57"},
      {"SAT_NAME", "AO-91"},           {"COMMENT", q.remarks}, {"QSLMSG", q.remarks},
      {"MY_GRIDSQUARE", q.ownGrid},    {"GRIDSQUARE", q.grid}, {"OPERATOR", q.operatorCall},
  };
  for (const auto& c : cases) EXPECT_EQ(fields.value(c.name).value, c.value) << c.name;
}

}  // namespace
