#include "contest/contestadif.h"

#include <gtest/gtest.h>

#include <QFile>

#include "contestfixture.h"
#include "platform/clock.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"

using namespace vz;
using namespace vz::test;

namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

ContestQso qso(const QString& mode, const QString& band, const QString& sent, const QString& received) {
  ContestQso q;
  q.Modo = mode;
  q.Banda = band;
  q.MyCall = QStringLiteral("LU9ZZ");
  q.Estacion = QStringLiteral("LU1AA");
  q.Fecha = QStringLiteral("20240315");
  q.Hora = QStringLiteral("0905");
  q.RSE = sent;
  q.RSR = received;
  q.Frecuencia = QStringLiteral("99999");  // never written
  q.Obs = QStringLiteral("no");
  return q;
}

TEST(ContestAdifRecord, FieldsInOrderWithTheBandsFrequencyAndTheModesReport) {
  const struct {
    const char* what;
    ContestQso q;
    const char* contest;
    const char* line;
  } cases[] = {
      {"SSB", qso("SSB", "40m", "1", "023"), "Rally",
       "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<QSO_DATE:8>20240315<TIME_ON:4>0905<MODE:3>SSB<FREQ:5>7.000"
       "<RST_SENT:2>59<STX:1>1<RST_RCVD:2>59<SRX:3>023<CONTEST_ID:5>Rally<EOR>"},
      {"FM is phone", qso("FM", "2m", "12", "7"), "Rally",
       "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<QSO_DATE:8>20240315<TIME_ON:4>0905<MODE:2>FM<FREQ:7>144.000"
       "<RST_SENT:2>59<STX:2>12<RST_RCVD:2>59<SRX:1>7<CONTEST_ID:5>Rally<EOR>"},
      {"CW, fixed exchanges", qso("CW", "6m", "GF05", "FN31"), "Copa Sur",
       "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<QSO_DATE:8>20240315<TIME_ON:4>0905<MODE:2>CW<FREQ:6>52.000"
       "<RST_SENT:3>599<STX:4>GF05<RST_RCVD:3>599<SRX:4>FN31<CONTEST_ID:8>Copa Sur<EOR>"},
      {"empty values and a band outside the contest's", qso("CW", "30m", "", ""), "",
       "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<QSO_DATE:8>20240315<TIME_ON:4>0905<MODE:2>CW<FREQ:0>"
       "<RST_SENT:3>599<STX:0><RST_RCVD:3>599<SRX:0><CONTEST_ID:0><EOR>"},
  };
  for (const auto& c : cases) EXPECT_EQ(ContestAdifRecord(c.q, c.contest), QString::fromLatin1(c.line)) << c.what;
}

class ContestAdifExport : public ContestDb {
 protected:
  void SetUp() override {
    setClock(&clock);
    addContest("Rally");
  }
  void TearDown() override { setClock(nullptr); }
  FixedClock clock{QDateTime(QDate(2024, 3, 16), QTime(10, 20, 30))};
  ScriptedDialogs dialogs;
  RecordingLauncher launcher;
};

const QByteArray kHeader =
    "<PROGRAMID:17>Van Torel Zezeror\r\n<PROGRAMVERSION:6>2.1.21\r\n<ADIF_VER:4>3.04\r\n"
    "<CREATED_TIMESTAMP:15>20240316 102030\r\n<EOH>\r\n";

TEST_F(ContestAdifExport, WritesTheHeaderAndTheQsosInTableOrder) {
  // The QSO entered last carries the earliest date (as after a correction in the
  // record editor): the export keeps the order of entry, not of date and time.
  addContestQso("Rally", "LU1AA", {.mode = "CW", .band = "80m", .sent = "1", .received = "5", .time = "1000"});
  addContestQso("Rally", "LU2BB", {.mode = "SSB", .band = "20m", .sent = "2", .received = "9", .time = "1100"});
  addContestQso("Rally", "LU3CC", {.mode = "FM", .band = "2m", .sent = "3", .received = "4", .date = "20240314"});
  addContest("Otro");
  addContestQso("Otro", "LU5EE");
  const QString path = folder.file("rally");
  dialogs.files << path;
  dialogs.answers << MsgAnswer::Yes;

  EXPECT_EQ(ExportContestAdif("Rally", "LU9ZZ"), ContestAdifResult::Written);
  EXPECT_EQ(bytesOf(path),
            kHeader +
                "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU1AA<QSO_DATE:8>20240315<TIME_ON:4>1000<MODE:2>CW<FREQ:5>3.500"
                "<RST_SENT:3>599<STX:1>1<RST_RCVD:3>599<SRX:1>5<CONTEST_ID:5>Rally<EOR>\r\n"
                "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU2BB<QSO_DATE:8>20240315<TIME_ON:4>1100<MODE:3>SSB<FREQ:6>14.000"
                "<RST_SENT:2>59<STX:1>2<RST_RCVD:2>59<SRX:1>9<CONTEST_ID:5>Rally<EOR>\r\n"
                "<STATION_CALLSIGN:5>LU9ZZ<CALL:5>LU3CC<QSO_DATE:8>20240314<TIME_ON:4>1200<MODE:2>FM<FREQ:7>144.000"
                "<RST_SENT:2>59<STX:1>3<RST_RCVD:2>59<SRX:1>4<CONTEST_ID:5>Rally<EOR>\r\n");
  ASSERT_EQ(dialogs.fileRequests.size(), 1);
  EXPECT_EQ(dialogs.fileRequests[0].title, "Exportar a ADIF ...");
  EXPECT_EQ(dialogs.texts(), QStringList{path + "\r\nGuardado!\r\n\r\nDesea verlo?"});
  ASSERT_EQ(launcher.calls.size(), 1);
  EXPECT_EQ(launcher.calls[0].kind, RecordingLauncher::Kind::TextEditor);
  EXPECT_EQ(launcher.calls[0].target, path);
}

TEST_F(ContestAdifExport, RefusedExportsLeaveTheFileAsItWas) {
  const QString path = folder.file("rally.adi");
  folder.writeLines("rally.adi", {"viejo"});
  const struct {
    const char* what;
    bool withQso;
    const char* secondOwnCall;  // a second QSO logged with this own call
    const char* file;           // the file the dialog gives
    QList<MsgAnswer> answers;
    ContestAdifResult result;
    const char* lastMessage;
  } cases[] = {
      {"only the header row", false, nullptr, nullptr, {}, ContestAdifResult::NoQsos,
       "No hay ningún QSO para exportar a ADIF!"},
      {"cancelled", true, nullptr, "", {}, ContestAdifResult::Cancelled, nullptr},
      {"No to replacing", true, nullptr, "rally.adi", {MsgAnswer::No}, ContestAdifResult::Cancelled,
       "sobregraba?"},
      // The own call is checked before a file is asked for.
      {"another own call", true, "LU9ZZ/P", nullptr, {}, ContestAdifResult::OtherOwnCall,
       "Error!\r\nEn el log distinta Señal Distintiva"},
      {"own call in other letter case", true, "lu9zz", nullptr, {},
       ContestAdifResult::OtherOwnCall, "Error!\r\nEn el log distinta Señal Distintiva"},
  };
  for (const auto& c : cases) {
    dialogs.clear();
    const QString contest = QString::fromLatin1(c.what);
    addContest(contest);
    if (c.withQso) addContestQso(contest, "LU1AA", {.time = "1000"});
    if (c.secondOwnCall) addContestQso(contest, "LU2BB", {.time = "1100", .ownCall = c.secondOwnCall});
    if (c.file) dialogs.files << (*c.file ? folder.file(c.file) : QString());
    for (MsgAnswer a : c.answers) dialogs.answers << a;

    EXPECT_EQ(ExportContestAdif(contest, "LU9ZZ"), c.result) << c.what;
    if (c.lastMessage)
      EXPECT_TRUE(dialogs.lastText().endsWith(QString::fromUtf8(c.lastMessage))) << c.what;
    else
      EXPECT_TRUE(dialogs.messages.isEmpty()) << c.what;
    EXPECT_EQ(bytesOf(path), "viejo\r\n") << c.what;
  }
  EXPECT_TRUE(launcher.calls.isEmpty());
}

}  // namespace
