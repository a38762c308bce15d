#include "exchange/adifimportfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/clock.h"
#include "platform/textfile.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

class ImportFile : public ::testing::Test {
 protected:
  void SetUp() override { setClock(&clock); }
  void TearDown() override { setClock(nullptr); }

  // A file of exactly these bytes in the program's folder; returns its path.
  QString raw(const QString& name, const QByteArray& bytes) const {
    QFile f(folder.file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) ADD_FAILURE() << "cannot write " << name.toStdString();
    return folder.file(name);
  }
  static QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

  test::TempFolder folder{false};
  FixedClock clock{QDateTime(QDate(2024, 3, 1), QTime(15, 30, 12))};
};

const QByteArray kOwnExport =
    "<PROGRAMID:17>Van Torel Zezeror\r\n<PROGRAMVERSION:6>2.1.21\r\n<ADIF_VER:4>3.04\r\n"
    "<CREATED_TIMESTAMP:15>20240301 153000\r\n<EOH>\r\n"
    "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<EOR>\r\n<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<EOR>\r\n<EOF>\r\n";

TEST_F(ImportFile, OnlyAFileThatReadsAsOneLineIsConverted) {
  const struct {
    const char* what;
    QByteArray bytes;
    QByteArray copy;  // empty: no copy, the file itself is read
  } cases[] = {
      {"LF line ends", "<EOH>\n<CALL:1>A<EOR>\n<CALL:1>B<EOR>\n", "<EOH>\r\n<CALL:1>A<EOR>\r\n<CALL:1>B<EOR>\r\n\r\n"},
      {"really one line", "<CALL:1>A<EOR>", "<CALL:1>A<EOR>\r\n"},
      {"one line with its CR LF", "<CALL:1>A<EOR>\r\n", "<CALL:1>A<EOR>\r\n"},
      {"CR LF line ends", "<EOH>\r\n<CALL:1>A<EOR>\r\n", ""},
      {"lone CR line ends", "<EOH>\r<CALL:1>A<EOR>\r", ""},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    const QString path = raw("log.adi", c.bytes);
    const Result<QString> r = ConvertLfFileToCrLf(path);
    ASSERT_TRUE(r.ok()) << c.what;
    if (c.copy.isEmpty()) {
      EXPECT_EQ(r.value, path) << c.what;
      EXPECT_EQ(filesInFolder(), QStringList{"log.adi"}) << c.what;
    } else {
      EXPECT_EQ(r.value, path + "_153012") << c.what;
      EXPECT_EQ(bytesOf(r.value), c.copy) << c.what;
      EXPECT_EQ(bytesOf(path), c.bytes) << c.what;  // the chosen file is left as it was
    }
    for (const QString& f : filesInFolder()) QFile::remove(folder.file(f));
  }
  EXPECT_FALSE(ConvertLfFileToCrLf(folder.file("no.adi")).ok());
}

TEST_F(ImportFile, ProgramIdLineComesFromTheHeader) {
  const struct {
    const char* what;
    QByteArray bytes;
    QString line;
  } cases[] = {
      {"own export", kOwnExport, "<PROGRAMID:17>Van Torel Zezeror"},
      {"the last before <EOH> wins", "<PROGRAMID:1>A\r\nx <PROGRAMID:1>B\r\n<EOH>\r\n", "x <PROGRAMID:1>B"},
      {"on the <EOH> line itself", "<PROGRAMID:1>A\r\n<PROGRAMID:1>C<EOH>\r\n", "<PROGRAMID:1>C<EOH>"},
      {"after <EOH> it is not seen", "<ADIF_VER:4>3.04\r\n<EOH>\r\n<PROGRAMID:1>A\r\n", ""},
      {"any letter case", "<programid:3>abc\r\n<eoh>\r\n<PROGRAMID:1>A\r\n", "<programid:3>abc"},
      {"headerless", "<CALL:1>A<EOR>\r\n", ""},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    const Result<QString> r = ReadAdifProgramIdLine(raw("log.adi", c.bytes));
    ASSERT_TRUE(r.ok()) << c.what;
    EXPECT_EQ(r.value, c.line) << c.what;
  }
}

TEST_F(ImportFile, RewriteGivesOneLinePerRecord) {
  const struct {
    const char* what;
    QByteArray bytes;
    QStringList work;  // after the PROGRAMID line "P"
  } cases[] = {
      {"own export: header and <EOF> dropped", kOwnExport,
       {"<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<EOR>", "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<EOR>"}},
      {"headerless", "<CALL:1>A<EOR>\r\n\r\n<CALL:1>B<eor>\r\n", {"<CALL:1>A<EOR>", "<CALL:1>B<eor>"}},
      {"records over several lines are joined without separator",
       "<EOH>\r\n<CALL:5>LU1AA\r\n<BAND:3>40m\r\n<EOR>\r\n<CALL:5>LU2\r\nBB<EOR>\r\n",
       {"<CALL:5>LU1AA<BAND:3>40m<EOR>", "<CALL:5>LU2BB<EOR>"}},
      {"text before <EOH> on its line stays with the first record", "<X:1>y\r\n<ADIF_VER:4>3.04 <EOH> <CALL:1>A\r\n<EOR>\r\n",
       {"<ADIF_VER:4>3.04 <EOH> <CALL:1>A<EOR>"}},
      {"header lines before <eoh> are dropped, any letter case; only an exact <EOH> line is",
       "<PROGRAMID:1>Z\r\n<eoh>\r\n<CALL:1>A<EOR>\r\n", {"<eoh><CALL:1>A<EOR>"}},
      {"several records on one line each get a line",
       "<EOH>\r\n<CALL:1>A<EOR><CALL:1>B<EOR> <CALL:1>C<eor>\r\n",
       {"<CALL:1>A<EOR>", "<CALL:1>B<EOR>", " <CALL:1>C<eor>"}},
      {"a record that begins after <EOR> on a line is not cut off",
       "<EOH>\r\n<CALL:1>A<EOR><CALL:1>B\r\n<BAND:3>20m<EOR>\r\n",
       {"<CALL:1>A<EOR>", "<CALL:1>B<BAND:3>20m<EOR>"}},
      {"header and records on one line", "<PROGRAMID:1>Z<EOH><CALL:1>A<EOR><CALL:1>B<EOR><EOF>\r\n",
       {"<PROGRAMID:1>Z<EOH><CALL:1>A<EOR>", "<CALL:1>B<EOR>"}},
      {"text after the last <EOR> is dropped", "<EOH>\r\n<CALL:1>A<EOR>\r\n<CALL:1>B\r\n", {"<CALL:1>A<EOR>"}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) {
    int advances = 0;
    const Result<QString> r = RewriteAdifOneRecordPerLine(raw("log.adi", c.bytes), "P", [&] { ++advances; });
    ASSERT_TRUE(r.ok()) << c.what;
    EXPECT_EQ(r.value, folder.file("modificado_153012")) << c.what;
    const QStringList expected = QStringList{"P"} + c.work;
    EXPECT_EQ(folder.readLines("modificado_153012"), expected) << c.what;
    QStringList read;
    readTextLines(folder.file("log.adi"), &read);
    EXPECT_EQ(advances, read.size() + expected.size()) << c.what;
  }
}

TEST_F(ImportFile, WorkFileNameFollowsTheClockAndAnEmptyFileGivesOneEmptyLine) {
  const QString empty = raw("vacio.adi", "");
  ASSERT_TRUE(RewriteAdifOneRecordPerLine(empty, "").ok());
  EXPECT_EQ(bytesOf(folder.file("modificado_153012")), QByteArray("\r\n"));

  // Within the same second the same name: the later work file replaces the earlier.
  ASSERT_TRUE(RewriteAdifOneRecordPerLine(raw("a.adi", "<CALL:1>A<EOR>\r\n"), "").ok());
  EXPECT_EQ(folder.readLines("modificado_153012"), (QStringList{"", "<CALL:1>A<EOR>"}));

  clock.set(QDateTime(QDate(2024, 3, 1), QTime(9, 5, 7)));
  const Result<QString> r = RewriteAdifOneRecordPerLine(empty, "");
  EXPECT_EQ(r.value, folder.file("modificado_090507"));
  EXPECT_FALSE(RewriteAdifOneRecordPerLine(folder.file("falta.adi"), "").ok());
}

TEST_F(ImportFile, ReadingTheWorkFile) {
  const struct {
    const char* what;
    QStringList lines;
    int lineCount;
    int records;
    QString programId;
    QStringList stationCalls;
  } cases[] = {
      {"own export", {"<PROGRAMID:17>Van Torel Zezeror", "<STATION_CALLSIGN:5>LU9ZZ<CALL:1>A<EOR>", "<call:1>B<eor>"},
       3, 2, "Van Torel Zezeror", {"LU9ZZ"}},
      {"empty file", {""}, 1, 0, "", {}},
      {"a line needs both <CALL: and <EOR>", {"", "<CALL:1>A", "<BAND:3>20m<EOR>", "<CALL:1>A<EOR>"}, 4, 1, "", {}},
      {"several records on a line count once", {"", "<CALL:1>A<EOR><CALL:1>B<EOR>"}, 2, 1, "", {}},
      {"a PROGRAMID after other text is read where it stands",
       {"<ADIF_VER:4>3.04<PROGRAMID:6>Logger<PROGRAMVERSION:1>1", "<CALL:1>A<EOR>"}, 2, 1, "Logger", {}},
      {"a PROGRAMID with a type indicator", {"<PROGRAMID:3:S>Ruk", "<CALL:1>A<EOR>"}, 2, 1, "Ruk", {}},
      {"eQSL named anywhere gives the eQSL caption",
       {"<PROGRAMID:3>XYZ", "<CALL:1>A<COMMENT:12>from eQSL.cc<EOR>"}, 2, 1, "Exported from eQSL.cc", {}},
      {"eqsl.cc in other letter case is not eQSL", {"<PROGRAMID:3>XYZ eqsl.cc"}, 1, 0, "XYZ", {}},
      {"station calls as they stand, first appearance first",
       {"",
        "<STATION_CALLSIGN:1>a<CALL:1>A<EOR>",
        "<STATION_CALLSIGN:1>A<CALL:1>A<EOR>",
        "<STATION_CALLSIGN:1>a<CALL:1>B<EOR>",
        "<STATION_CALLSIGN:0><CALL:1>C<EOR>"},
       5, 4, "", {"a", "A", ""}},
      {"a header sharing its line with records does not repeat the first record",
       {"<PROGRAMID:1>Z<EOH><STATION_CALLSIGN:2>S1<CALL:1>A<EOR><CALL:1>B<EOR>",
        "<PROGRAMID:1>Z<EOH><STATION_CALLSIGN:2>S1<CALL:1>A<EOR>", "<CALL:1>B<EOR>"},
       3, 2, "Z", {"S1"}},
  };
  for (const auto& c : cases) {
    folder.writeLines("modificado_153012", c.lines);
    const Result<ImportWorkFile> r = ReadImportWorkFile(folder.file("modificado_153012"));
    ASSERT_TRUE(r.ok()) << c.what;
    EXPECT_EQ(r.value.lineCount, c.lineCount) << c.what;
    EXPECT_EQ(r.value.recordLines.size(), c.records) << c.what;
    EXPECT_EQ(r.value.programId, c.programId) << c.what;
    EXPECT_EQ(r.value.stationCalls, c.stationCalls) << c.what;
    EXPECT_FALSE(r.value.tooManyLines) << c.what;
  }
  EXPECT_FALSE(ReadImportWorkFile(folder.file("falta")).ok());
}

TEST_F(ImportFile, MoreThanTenThousandLinesAreRefused) {
  for (const int lines : {10000, 10001}) {
    QStringList work{"<PROGRAMID:3>XYZ"};
    for (int i = 1; i < lines; ++i) work << QStringLiteral("<STATION_CALLSIGN:2>S%1<CALL:1>A<EOR>").arg(i % 10);
    folder.writeLines("modificado_153012", work);
    const Result<ImportWorkFile> r = ReadImportWorkFile(folder.file("modificado_153012"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value.programId, "XYZ");
    if (lines == 10000) {
      EXPECT_FALSE(r.value.tooManyLines);
      EXPECT_EQ(r.value.recordLines.size(), 9999);
      EXPECT_EQ(r.value.stationCalls.size(), 10);
    } else {
      EXPECT_TRUE(r.value.tooManyLines);
      EXPECT_EQ(r.value.lineCount, 10001);
      EXPECT_TRUE(r.value.recordLines.isEmpty());
      EXPECT_TRUE(r.value.stationCalls.isEmpty());
    }
  }
  EXPECT_EQ(ImportTooManyLinesMessage("/p/modificado_153012"),
            "El archivo:\r\n/p/modificado_153012\r\ntiene mas de 10.000 QSOs!");
}

TEST_F(ImportFile, LfOnlyFileGoesThroughEveryStep) {
  // Written by a program that ends lines with LF alone, records over two lines,
  // accented text in Windows-1252.
  const QString chosen = raw("lf.adi",
                             "Exportado\n<PROGRAMID:4>Otro\n<EOH>\n<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA\n"
                             "<COMMENT:5>a\xF1o <EOR>\n<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<EOR>\n");
  const Result<QString> prepared = ConvertLfFileToCrLf(chosen);
  ASSERT_TRUE(prepared.ok());
  EXPECT_EQ(prepared.value, chosen + "_153012");
  const Result<QString> idLine = ReadAdifProgramIdLine(prepared.value);
  ASSERT_TRUE(idLine.ok());
  EXPECT_EQ(idLine.value, "<PROGRAMID:4>Otro");
  const Result<QString> work = RewriteAdifOneRecordPerLine(prepared.value, idLine.value);
  ASSERT_TRUE(work.ok());
  const Result<ImportWorkFile> file = ReadImportWorkFile(work.value);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.value.lineCount, 3);
  EXPECT_EQ(file.value.programId, "Otro");
  EXPECT_EQ(file.value.stationCalls, QStringList{"LU9ZZ"});
  EXPECT_EQ(file.value.recordLines,
            (QStringList{QString::fromUtf8("<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<COMMENT:5>año <EOR>"),
                         "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<EOR>"}));
}

}  // namespace
