#include "contest/cabrillofile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using namespace vz::test;

namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

CabrilloHeaderFields filled() {
  CabrilloHeaderFields f;
  f.callsign = QStringLiteral("LU9ZZ");
  f.contest = QStringLiteral("Rally Patagónico");
  f.categoryOperator = QStringLiteral("MULTI-OP");
  f.categoryPower = QStringLiteral("QRP");
  f.categoryBand = QStringLiteral("160m");
  f.categoryMode = QStringLiteral("CW");
  f.operators = QStringLiteral("LU9ZZ LU1AA");
  f.station = {QStringLiteral("José Núñez"), QStringLiteral("Calle 1"), QStringLiteral("Ushuaia"),
               QStringLiteral("Argentina"), QStringLiteral("jn@example.org")};
  return f;
}

const QString kSection = QStringLiteral(
    "QSO:  3500 CW 2024-03-15 0905 LU9ZZ         599 15     LU1AA         599 023   \r\nEND-OF-LOG:");

class CabrilloFile : public ::testing::Test {
 protected:
  TempFolder folder{false};
  ScriptedDialogs dialogs;
  RecordingLauncher launcher;
};

TEST(CabrilloHeader, FieldsAreWrittenAsTypedAfterTheirTags) {
  const struct {
    const char* what;
    CabrilloHeaderFields fields;
    QStringList lines;
  } cases[] = {
      {"every field filled", filled(),
       {"START-OF-LOG: 3.0", "CALLSIGN: LU9ZZ", "CONTEST: Rally Patagónico", "CATEGORY-OPERATOR: MULTI-OP",
        "CATEGORY-POWER: QRP", "CATEGORY-BAND: 160m", "CATEGORY-MODE: CW", "OPERATORS: LU9ZZ LU1AA",
        "NAME: José Núñez", "ADDRESS: Calle 1", "ADDRESS: Ushuaia", "ADDRESS: Argentina", "EMAIL: jn@example.org",
        "CREATED-BY: VT ZEZEROR 2.1.21"}},
      {"empty fields keep the blank after the tag", {},
       {"START-OF-LOG: 3.0", "CALLSIGN: ", "CONTEST: ", "CATEGORY-OPERATOR: ", "CATEGORY-POWER: ",
        "CATEGORY-BAND: ", "CATEGORY-MODE: ", "OPERATORS: ", "NAME: ", "ADDRESS: ", "ADDRESS: ", "ADDRESS: ",
        "EMAIL: ", "CREATED-BY: VT ZEZEROR 2.1.21"}},
      {"blanks are not trimmed",
       {.callsign = " LU9ZZ ", .contest = "", .categoryOperator = "", .categoryPower = "", .categoryBand = "",
        .categoryMode = "", .operators = "  ", .station = {}},
       {"START-OF-LOG: 3.0", "CALLSIGN:  LU9ZZ ", "CONTEST: ", "CATEGORY-OPERATOR: ", "CATEGORY-POWER: ",
        "CATEGORY-BAND: ", "CATEGORY-MODE: ", "OPERATORS:   ", "NAME: ", "ADDRESS: ", "ADDRESS: ", "ADDRESS: ",
        "EMAIL: ", "CREATED-BY: VT ZEZEROR 2.1.21"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CabrilloHeader(c.fields, "2.1.21"), c.lines) << c.what;
}

TEST_F(CabrilloFile, TheFileIsTheHeaderTheSectionAndALineEnd) {
  const QString path = folder.file("rally");  // no extension is added
  dialogs.files << path;
  dialogs.answers << MsgAnswer::Yes;
  EXPECT_EQ(ExportCabrilloLog(filled(), kSection, "2.1.21"), CabrilloExportResult::Written);

  const QByteArray expected =
      "START-OF-LOG: 3.0\r\nCALLSIGN: LU9ZZ\r\nCONTEST: Rally Patag\xf3nico\r\nCATEGORY-OPERATOR: MULTI-OP\r\n"
      "CATEGORY-POWER: QRP\r\nCATEGORY-BAND: 160m\r\nCATEGORY-MODE: CW\r\nOPERATORS: LU9ZZ LU1AA\r\n"
      "NAME: Jos\xe9 N\xfa\xf1" "ez\r\nADDRESS: Calle 1\r\nADDRESS: Ushuaia\r\nADDRESS: Argentina\r\n"
      "EMAIL: jn@example.org\r\nCREATED-BY: VT ZEZEROR 2.1.21\r\n"
      "QSO:  3500 CW 2024-03-15 0905 LU9ZZ         599 15     LU1AA         599 023   \r\nEND-OF-LOG:\r\n";
  EXPECT_EQ(bytesOf(path), expected);
  EXPECT_EQ(bytesOf(folder.file("datos.cbr")),
            QByteArray("Jos\xe9 N\xfa\xf1" "ez\r\nCalle 1\r\nUshuaia\r\nArgentina\r\njn@example.org\r\n"));

  ASSERT_EQ(dialogs.fileRequests.size(), 1);
  EXPECT_EQ(dialogs.fileRequests[0].title, "Exportar a Cabrillo ...");
  EXPECT_TRUE(dialogs.fileRequests[0].fileName.isEmpty());
  EXPECT_EQ(dialogs.lastText(), path + "\r\nGuardado!\r\n\r\nDesea verlo?");
  EXPECT_EQ(dialogs.messages.last().icon, MsgIcon::Exclamation);
  EXPECT_EQ(dialogs.messages.last().defaultButton, MsgAnswer::No);
  ASSERT_EQ(launcher.calls.size(), 1);
  EXPECT_EQ(launcher.calls[0].target, path);
}

TEST_F(CabrilloFile, MissingCallOrNameStopsAfterTheStationDataIsStored) {
  const struct {
    const char* what;
    const char* call;
    const char* name;
    CabrilloExportResult result;
    const char* message;
  } cases[] = {
      {"no call", "", "Ana", CabrilloExportResult::MissingCallsign, "Falta su Señal Distintiva!"},
      {"no call and no name", "", "", CabrilloExportResult::MissingCallsign, "Falta su Señal Distintiva!"},
      {"no name", "LU9ZZ", "", CabrilloExportResult::MissingName, "Falta su Nombre!"},
  };
  for (const auto& c : cases) {
    dialogs.clear();
    CabrilloHeaderFields f = filled();
    f.callsign = c.call;
    f.station.name = c.name;
    f.station.email = QString::fromLatin1(c.what);
    EXPECT_EQ(ExportCabrilloLog(f, kSection, "2.1.21"), c.result) << c.what;
    EXPECT_EQ(dialogs.texts(), QStringList{c.message}) << c.what;
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Exclamation) << c.what;
    EXPECT_TRUE(dialogs.fileRequests.isEmpty()) << c.what;
    CabrilloStationData read;
    ASSERT_TRUE(ReadCabrilloStationData(read));
    EXPECT_EQ(read.name, c.name) << c.what;
    EXPECT_EQ(read.email, c.what) << c.what;
  }
  // Blanks are a call and a name.
  CabrilloHeaderFields blanks = filled();
  blanks.callsign = " ";
  blanks.station.name = " ";
  EXPECT_EQ(ExportCabrilloLog(blanks, kSection, "2.1.21"), CabrilloExportResult::Cancelled);
}

TEST_F(CabrilloFile, CancellingOrRefusingToReplaceKeepsEverything) {
  const QString path = folder.file("rally.log");
  folder.writeLines("rally.log", {"viejo"});
  // No to replacing asks for a file again; cancelling then ends without a message.
  dialogs.files << path;
  dialogs.answers << MsgAnswer::No;
  EXPECT_EQ(ExportCabrilloLog(filled(), kSection, "2.1.21"), CabrilloExportResult::Cancelled);
  EXPECT_EQ(dialogs.fileRequests.size(), 2);
  EXPECT_EQ(dialogs.texts(), QStringList{"El archivo \r\n" + path + "\r\nya existe!\r\n\r\nsobregraba?"});
  EXPECT_EQ(dialogs.messages[0].defaultButton, MsgAnswer::No);
  EXPECT_EQ(bytesOf(path), "viejo\r\n");

  // Pressing again writes one header built from the fields as they are now.
  dialogs.clear();
  CabrilloHeaderFields again = filled();
  again.callsign = "LU8YY";
  dialogs.files << path;
  dialogs.answers << MsgAnswer::Yes << MsgAnswer::No;
  EXPECT_EQ(ExportCabrilloLog(again, kSection, "2.1.21"), CabrilloExportResult::Written);
  const QByteArray written = bytesOf(path);
  EXPECT_EQ(written.count("START-OF-LOG"), 1);
  EXPECT_TRUE(written.contains("CALLSIGN: LU8YY\r\n"));
  EXPECT_TRUE(launcher.calls.isEmpty());
}

TEST_F(CabrilloFile, AFileThatCannotBeWrittenIsReported) {
  dialogs.files << folder.file("no/such/folder/rally.log");
  EXPECT_EQ(ExportCabrilloLog(filled(), kSection, "2.1.21"), CabrilloExportResult::Failed);
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Critical);
  EXPECT_TRUE(dialogs.lastText().startsWith("No se pudo escribir "));
}

TEST_F(CabrilloFile, StationDataFillsOnlyTheLinesTheFileHas) {
  CabrilloStationData data{"viejo", "viejo", "viejo", "viejo", "viejo"};
  EXPECT_FALSE(ReadCabrilloStationData(data));
  EXPECT_EQ(data.name, "viejo");

  folder.writeLines("datos.cbr", {"Ana", "Calle 2"});
  EXPECT_TRUE(ReadCabrilloStationData(data));
  EXPECT_EQ(data.name, "Ana");
  EXPECT_EQ(data.address1, "Calle 2");
  EXPECT_EQ(data.address2, "viejo");
  EXPECT_EQ(data.email, "viejo");

  folder.writeLines("datos.cbr", {"1", "2", "3", "4", "5", "6"});
  EXPECT_TRUE(ReadCabrilloStationData(data));
  EXPECT_EQ(data.email, "5");
}

TEST_F(CabrilloFile, AStationDataFileThatCannotBeWrittenIsToldAndTheExportGoesOn) {
  ASSERT_TRUE(QDir().mkpath(folder.file("datos.cbr/x")));  // a folder where the file goes
  dialogs.files << folder.file("rally.log");
  EXPECT_EQ(ExportCabrilloLog(filled(), kSection, "2.1.21"), CabrilloExportResult::Written);
  EXPECT_TRUE(dialogs.messages[0].text.startsWith("No se pudo guardar datos.cbr"));
  EXPECT_TRUE(bytesOf(folder.file("rally.log")).endsWith("END-OF-LOG:\r\n"));
}

}  // namespace

// The station data is one value per line: a value with a line break would move the
// later ones, and split the header's line too. It is refused and nothing is written.
TEST_F(CabrilloFile, StationDataWithALineBreakIsRefused) {
  CabrilloStationData good{"Ana", "Calle 1", "", "", "ana@example.org"};
  ASSERT_TRUE(WriteCabrilloStationData(good));
  const QByteArray before = bytesOf(folder.file("datos.cbr"));
  CabrilloHeaderFields f = filled();
  f.station.address1 = QStringLiteral("Calle 1\r\nEMAIL: otro@example.org");
  EXPECT_EQ(ExportCabrilloLog(f, kSection, "2.1.21"), CabrilloExportResult::Failed);
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_TRUE(dialogs.texts()[0].contains("datos.cbr")) << dialogs.texts()[0].toStdString();
  EXPECT_TRUE(dialogs.fileRequests.isEmpty());
  EXPECT_EQ(bytesOf(folder.file("datos.cbr")), before);
  f.station.address1 = QStringLiteral("Calle\t1");
  EXPECT_FALSE(WriteCabrilloStationData(f.station));
  EXPECT_EQ(bytesOf(folder.file("datos.cbr")), before);
}
