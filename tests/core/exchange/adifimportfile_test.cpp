#include "exchange/adifimportfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "exchange/adifimport.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QByteArray kOwnExport =
    "<PROGRAMID:17>Van Torel Zezeror\r\n<PROGRAMVERSION:6>2.1.21\r\n<ADIF_VER:4>3.04\r\n"
    "<CREATED_TIMESTAMP:15>20240301 153000\r\n<EOH>\r\n"
    "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<EOR>\r\n<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<EOR>\r\n<EOF>\r\n";

TEST(ImportFileReading, RecordsAreCutByTheFieldLengths) {
  const struct {
    const char* what;
    QByteArray bytes;
    QStringList records;
  } cases[] = {
      {"own export: header and <EOF> dropped", kOwnExport,
       {"<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<EOR>", "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<EOR>"}},
      {"<EOR> and a tag inside a remark are text",
       "<EOH>\r\n<CALL:5>LU1AA<COMMENT:20>hola <EOR> <CALL:6>X<GRIDSQUARE:4>FF78<EOR>\r\n",
       {"<CALL:5>LU1AA<COMMENT:20>hola <EOR> <CALL:6>X<GRIDSQUARE:4>FF78<EOR>"}},
      {"a line break inside a value is kept, CR LF or LF alone",
       "<EOH>\r\n<CALL:1>A<COMMENT:11>multi\r\nline<EOR>\r\n<CALL:1>B<COMMENT:3>x\ny<EOR>\r\n",
       {"<CALL:1>A<COMMENT:11>multi\r\nline<EOR>", "<CALL:1>B<COMMENT:3>x\ny<EOR>"}},
      {"LF line ends", "Exportado\n<PROGRAMID:4>Otro\n<EOH>\n<CALL:5>LU1AA\n<BAND:3>40m\n<EOR>\n<CALL:1>B<EOR>\n",
       {"<CALL:5>LU1AA<BAND:3>40m<EOR>", "<CALL:1>B<EOR>"}},
      {"lone CR line ends", "<EOH>\r<CALL:1>A<EOR>\r<CALL:1>B<EOR>\r", {"<CALL:1>A<EOR>", "<CALL:1>B<EOR>"}},
      {"several records on one line", "<EOH><CALL:1>A<EOR><CALL:1>B<EOR> <call:1>C<eor>",
       {"<CALL:1>A<EOR>", "<CALL:1>B<EOR>", "<call:1>C<EOR>"}},
      {"headerless", "<CALL:1>A<EOR>\r\n\r\n<CALL:1>B<eor>\r\n", {"<CALL:1>A<EOR>", "<CALL:1>B<EOR>"}},
      {"header and records on one line", "<PROGRAMID:1>Z<EOH><CALL:1>A<EOR><CALL:1>B<EOR><EOF>\r\n",
       {"<CALL:1>A<EOR>", "<CALL:1>B<EOR>"}},
      {"header text holding < that begins no tag", "Export <www.example.org> de 2024\r\n<eoh>\r\n<CALL:1>A<EOR>",
       {"<CALL:1>A<EOR>"}},
      {"type indicators and text between fields are left out",
       "<EOH>\r\n<CALL:1:S>A  <QSO_DATE:8:D>20240301 \r\n<EOR>", {"<CALL:1>A<QSO_DATE:8>20240301<EOR>"}},
      {"a record without CALL is none", "<EOH>\r\n<BAND:3>40m<EOR><CALL:0><EOR>", {"<CALL:0><EOR>"}},
      {"text after the last <EOR> is dropped", "<EOH>\r\n<CALL:1>A<EOR>\r\n<CALL:1>B\r\n", {"<CALL:1>A<EOR>"}},
      {"a length past the end takes the rest", "<CALL:1>A<COMMENT:50>abc<EOR>", {}},
      {"a length running over the record's end stops there: the next record stays whole",
       "<CALL:1>A<COMMENT:20>ab<EOR>\r\n<CALL:5>LU2BB<MODE:3>SSB<EOR>\r\n",
       {"<CALL:1>A<COMMENT:2>ab<EOR>", "<CALL:5>LU2BB<MODE:3>SSB<EOR>"}},
      {"a length ending inside the <EOR>", "<CALL:3>A<EOR><CALL:4>B<eor><CALL:1>C<EOR>",
       {"<CALL:1>A<EOR>", "<CALL:1>B<EOR>", "<CALL:1>C<EOR>"}},
      {"a length running over the header's end", "<PROGRAMID:9>Z<EOH><CALL:1>A<EOR>", {"<CALL:1>A<EOR>"}},
      {"a length running past its value, inside the record: text after it is left out",
       "<CALL:1>A<BAND:3>40m<COMMENT:10>ab<MODE:3>SSB<EOR>",
       {"<CALL:1>A<BAND:3>40m<COMMENT:10>ab<MODE:3><EOR>"}},
      {"an unreadable length stays for the parse to report", "<CALL:1>A<COMMENT:-5>abc<EOR>",
       {"<CALL:1>A<COMMENT:-5><EOR>"}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    const ImportFileContents r = ReadAdifImportBytes(c.bytes);
    EXPECT_EQ(r.recordLines, c.records) << c.what;
    EXPECT_EQ(r.lineCount, 1 + c.records.size()) << c.what;
    EXPECT_FALSE(r.tooManyRecords) << c.what;
  }
  // What the parse makes of a value with a line break and a remark holding tags: the
  // value whole, its line break a blank (a row's value is one line).
  const ImportFileContents r = ReadAdifImportBytes(
      "<EOH><CALL:5>LU1AA<COMMENT:25>ver <EOR>\r\n<CALL:6>XX1XXX<GRIDSQUARE:4>FF78<EOR>");
  ASSERT_EQ(r.recordLines.size(), 1);
  const auto parsed = ParseImportRecord(r.recordLines[0], false, {});
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed.value.qso.call, "LU1AA");
  EXPECT_EQ(parsed.value.qso.remarks, "ver <EOR> <CALL:6>XX1XXX");
  EXPECT_EQ(parsed.value.qso.grid, "FF78");

  // A remark whose length runs past it: the remark is what the length says and the
  // MODE tag inside it gives no mode (a piece of "<EOR>" was once taken), so the
  // record counts as malformed instead of being staged with a made-up mode.
  const ImportFileContents overrun = ReadAdifImportBytes(
      "<CALL:5>LU1AA<QSO_DATE:8>20240301<TIME_ON:4>1200<BAND:3>40m<COMMENT:10>ab<MODE:3>SSB<EOR>\r\n"
      "<CALL:5>LU2BB<QSO_DATE:8>20240301<TIME_ON:4>1201<BAND:3>40m<COMMENT:30>cd<EOR>\r\n"
      "<CALL:5>LU3CC<QSO_DATE:8>20240301<TIME_ON:4>1202<BAND:3>40m<MODE:2>CW<EOR>\r\n");
  ASSERT_EQ(overrun.recordLines.size(), 3);
  const struct {
    QString call, mode, remarks;
    ImportCheck check;
  } expected[] = {
      {"LU1AA", "", "ab<MODE:3>", ImportCheck::MissingField},
      {"LU2BB", "", "cd", ImportCheck::MissingField},
      {"LU3CC", "CW", "", ImportCheck::Accepted},
  };
  for (int i = 0; i < 3; ++i) {
    const auto p = ParseImportRecord(overrun.recordLines[i], false, QStringLiteral("LU9ZZ"));
    ASSERT_TRUE(p.ok()) << i;
    EXPECT_EQ(p.value.qso.call, expected[i].call) << i;
    EXPECT_EQ(p.value.qso.mode, expected[i].mode) << i;
    EXPECT_EQ(p.value.qso.remarks, expected[i].remarks) << i;
    EXPECT_EQ(p.value.check, expected[i].check) << i;
  }
}

TEST(ImportFileReading, EncodingAndLengthsInItsBytes) {
  const QString ano = QString::fromUtf8("año");
  const struct {
    const char* what;
    QByteArray bytes;
    AdifEncoding encoding;
    QString remark;
  } cases[] = {
      {"ASCII", "<CALL:1>A<COMMENT:3>ano<EOR>", AdifEncoding::Windows1252, "ano"},
      {"Windows-1252", "<CALL:1>A<COMMENT:3>a\xF1o<EOR>", AdifEncoding::Windows1252, ano},
      {"Windows-1252 euro", "<CALL:1>A<COMMENT:1>\x80<EOR>", AdifEncoding::Windows1252, QString::fromUtf8("€")},
      {"UTF-8, length in bytes", "<CALL:1>A<COMMENT:4>a\xC3\xB1o<EOR>", AdifEncoding::Utf8, ano},
      {"UTF-8 euro", "<CALL:1>A<COMMENT:5>\xE2\x82\xAC 5<EOR>", AdifEncoding::Utf8, QString::fromUtf8("€ 5")},
      {"UTF-8 with BOM, ASCII only", "\xEF\xBB\xBF<CALL:1>A<COMMENT:3>ano<EOR>", AdifEncoding::Utf8, "ano"},
      {"UTF-8 with BOM", "\xEF\xBB\xBF<CALL:1>A<COMMENT:4>a\xC3\xB1o<EOR>", AdifEncoding::Utf8, ano},
      {"UTF-8 whose writer counted characters", "<CALL:1>A<COMMENT:3>a\xC3\xB1o<EOR>", AdifEncoding::Utf8, ano},
      {"invalid UTF-8 is Windows-1252", "<CALL:1>A<COMMENT:3>\xC3\xB1\xF1<EOR>", AdifEncoding::Windows1252,
       QString::fromUtf8("Ã±ñ")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AdifFileEncoding(c.bytes), c.encoding) << c.what;
    const ImportFileContents r = ReadAdifImportBytes(c.bytes);
    ASSERT_EQ(r.recordLines.size(), 1) << c.what;
    const auto parsed = ParseImportRecord(r.recordLines[0], false, {});
    ASSERT_TRUE(parsed.ok()) << c.what;
    EXPECT_EQ(parsed.value.qso.remarks, c.remark) << c.what;
    EXPECT_EQ(parsed.value.qso.call, "A") << c.what;
  }
}

TEST(ImportFileReading, ProgramAndStationCalls) {
  const struct {
    const char* what;
    QByteArray bytes;
    QString programId;
    QStringList stationCalls;
  } cases[] = {
      {"own export", kOwnExport, "Van Torel Zezeror", {"LU9ZZ"}},
      {"the last PROGRAMID of the header", "<PROGRAMID:1>A\r\nx <PROGRAMID:1>B\r\n<EOH>\r\n<CALL:1>A<EOR>", "B", {}},
      {"any letter case, with a type indicator", "<programid:3:S>abc<eoh><CALL:1>A<EOR>", "abc", {}},
      {"a PROGRAMID after other text", "<ADIF_VER:4>3.04<PROGRAMID:6>Logger<EOH><CALL:1>A<EOR>", "Logger", {}},
      {"eQSL on the PROGRAMID line", "ADIF 3 Export\r\n<PROGRAMID:21>eQSL.cc DownloadInBox\r\n<EOH><CALL:1>A<EOR>",
       "Exported from eQSL.cc", {}},
      {"eQSL named in a record", "<PROGRAMID:3>XYZ<EOH><CALL:1>A<COMMENT:12>from eQSL.cc<EOR>",
       "Exported from eQSL.cc", {}},
      {"eqsl.cc in other letter case is not eQSL", "<PROGRAMID:11>XYZ eqsl.cc<EOH><CALL:1>A<EOR>", "XYZ eqsl.cc", {}},
      {"a file that is all header", "<PROGRAMID:3>XYZ\r\n", "XYZ", {}},
      {"station calls as they stand, first appearance first",
       "<STATION_CALLSIGN:1>a<CALL:1>A<EOR><STATION_CALLSIGN:1>A<CALL:1>A<EOR>"
       "<STATION_CALLSIGN:1>a<CALL:1>B<EOR><STATION_CALLSIGN:0><CALL:1>C<EOR><CALL:1>D<EOR>",
       "", {"a", "A", ""}},
  };
  for (const auto& c : cases) {
    const ImportFileContents r = ReadAdifImportBytes(c.bytes);
    EXPECT_EQ(r.programId, c.programId) << c.what;
    EXPECT_EQ(r.stationCalls, c.stationCalls) << c.what;
  }
}

TEST(ImportFileReading, MoreThanTenThousandRecordsAreRefused) {
  for (const int n : {10000, 10001}) {
    QByteArray bytes = "<PROGRAMID:3>XYZ<EOH>\r\n";
    for (int i = 0; i < n; ++i) bytes += QStringLiteral("<STATION_CALLSIGN:2>S%1<CALL:1>A<EOR>\r\n").arg(i % 10).toLatin1();
    const ImportFileContents r = ReadAdifImportBytes(bytes);
    EXPECT_EQ(r.programId, "XYZ");
    EXPECT_EQ(r.tooManyRecords, n > 10000) << n;
    EXPECT_EQ(r.recordLines.size(), n > 10000 ? 0 : n) << n;
    EXPECT_EQ(r.stationCalls.size(), n > 10000 ? 0 : 10) << n;
  }
  EXPECT_EQ(ImportTooManyRecordsMessage("/home/op/log.adi"), "El archivo:\r\n/home/op/log.adi\r\ntiene mas de 10.000 QSOs!");
}

TEST(ImportFileReading, ProgressCanStopTheReading) {
  QByteArray bytes;
  for (int i = 0; i < 1000; ++i) bytes += "<CALL:1>A<EOR>\r\n";
  int reports = 0;
  qsizetype last = 0;
  const ImportFileContents all = ReadAdifImportBytes(bytes, [&](qsizetype done, qsizetype total) {
    EXPECT_GT(done, last);
    EXPECT_EQ(total, bytes.size());
    last = done;
    ++reports;
    return true;
  });
  EXPECT_EQ(all.recordLines.size(), 1000);
  EXPECT_GT(reports, 1);
  const ImportFileContents stopped = ReadAdifImportBytes(bytes, [](qsizetype, qsizetype) { return false; });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_LT(stopped.recordLines.size(), 1000);
}

TEST(ImportFileReading, AFileIsReadWithoutWritingAnything) {
  test::TempFolder folder(false);
  const QString path = folder.file("lf.adi");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<EOH>\n<CALL:1>A<EOR>\n");
  }
  const Result<ImportFileContents> r = ReadAdifImportFile(path);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value.recordLines, QStringList{"<CALL:1>A<EOR>"});
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"lf.adi"});
  const Result<ImportFileContents> missing = ReadAdifImportFile(folder.file("falta.adi"));
  EXPECT_FALSE(missing.ok());
  EXPECT_TRUE(missing.error().contains("falta.adi"));
}

}  // namespace
