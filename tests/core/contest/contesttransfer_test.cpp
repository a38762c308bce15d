#include "contest/contesttransfer.h"

#include <gtest/gtest.h>

#include <QSqlQuery>

#include "contestfixture.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/scripteddialogs.h"

using namespace vz;
using namespace vz::test;

namespace {

struct MainRow {
  QString Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, NombreLog, Frecuencia, Ruk;
};

QList<MainRow> mainLog(const QString& log) {
  QSqlQuery q(db::connection());
  db::run(q,
          QStringLiteral("SELECT Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, [Nombre Log], Frecuencia, Ruk "
                         "FROM Tabla1 WHERE [Nombre Log]=? ORDER BY id"),
          {log});
  QList<MainRow> rows;
  while (q.next()) {
    MainRow r;
    QString* f[] = {&r.Modo, &r.Banda, &r.MyCall, &r.Estacion, &r.Fecha, &r.Hora,
                    &r.RSE,  &r.RSR,   &r.Obs,    &r.NombreLog, &r.Frecuencia, &r.Ruk};
    for (int i = 0; i < 12; ++i) *f[i] = q.value(i).toString();
    rows << r;
  }
  return rows;
}

class ContestTransfer : public ContestDb {
 protected:
  void SetUp() override {
    state().CurrentLogName = QStringLiteral("Principal");
    addPlaceholder(QStringLiteral("Principal"));
    addContest(QStringLiteral("Rally"));
  }
  ScriptedDialogs dialogs;
};

TEST(ContestBandFrequency, EveryContestBandHasItsFixedFrequency) {
  const struct {
    const char* band;
    const char* mhz;
  } cases[] = {{"160m", "1.820"},  {"80m", "3.500"},   {"40m", "7.000"}, {"20m", "14.000"}, {"15m", "21.000"},
               {"10m", "28.000"}, {"6m", "52.000"},  {"2m", "144.000"}, {"30m", ""},       {"20M", ""}};
  for (const auto& c : cases) EXPECT_EQ(ContestBandFrequency(c.band), c.mhz) << c.band;
}

TEST_F(ContestTransfer, CopiesEachQsoWithTheMainLogsForms) {
  addContestQso("Rally", "LU1AA", {.mode = "FM", .band = "6m", .date = "20240315", .time = "0905"});
  addContestQso("Rally", "W1AW", {.mode = "CW", .band = "160m", .date = "20231231", .time = "2359"});
  addContestQso("Rally", "LU2BB", {.mode = "SSB", .band = "2m", .date = "20240101", .time = "0000"});
  dialogs.answers << MsgAnswer::Yes;

  const auto out = TransferContestToMainLog("Rally", "3 QSOs ", "Principal");
  ASSERT_TRUE(out.status.ok) << out.status.error.toStdString();
  EXPECT_EQ(out.copied, 3);
  EXPECT_EQ(out.duplicates, 0);

  const auto rows = mainLog("Principal");
  ASSERT_EQ(rows.size(), 4);  // the placeholder first
  const struct {
    const char *mode, *band, *call, *date, *time, *report, *freq;
  } want[] = {{"FM", "6m", "LU1AA", "15/03/2024", "09:05:00", "59", "52.000"},
              {"CW", "160m", "W1AW", "31/12/2023", "23:59:00", "599", "1.820"},
              {"SSB", "2m", "LU2BB", "01/01/2024", "00:00:00", "59", "144.000"}};
  for (int i = 0; i < 3; ++i) {
    const MainRow& r = rows[i + 1];
    EXPECT_EQ(r.Modo, want[i].mode);
    EXPECT_EQ(r.Banda, want[i].band);
    EXPECT_EQ(r.Estacion, want[i].call);
    EXPECT_EQ(r.MyCall, "LU9ZZ");
    EXPECT_EQ(r.Fecha, want[i].date);
    EXPECT_EQ(r.Hora, want[i].time);
    EXPECT_EQ(r.RSE, want[i].report);
    EXPECT_EQ(r.RSR, want[i].report);
    EXPECT_EQ(r.Frecuencia, want[i].freq);
    EXPECT_EQ(r.Obs, "Concurso Rally");
    EXPECT_EQ(r.NombreLog, "Principal");
    EXPECT_EQ(r.Ruk, "1");
  }
  ASSERT_EQ(dialogs.messages.size(), 2);
  EXPECT_EQ(dialogs.messages[0].text, "Pasa el log de concurso Rally con 3 QSOs \r\nal log base Principal?");
  EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(dialogs.messages[0].defaultButton, MsgAnswer::No);
  EXPECT_EQ(dialogs.messages[1].text, "Transferencia:\r\nCopiados: 3\r\nDuplicados: 0");
  EXPECT_EQ(dialogs.messages[1].icon, MsgIcon::Information);
}

TEST_F(ContestTransfer, DuplicatesAreCountedNotCopied) {
  // Held from manual entry, 9 minutes from the contest's first QSO.
  addQso("Principal", "LU1AA", "15/03/2024", "09:14:00", {.mode = "CW", .band = "20m"});
  addContestQso("Rally", "LU1AA",
                {.mode = "CW", .band = "20m", .date = "20240315", .time = "0905", .ownCall = "LU1ABC"});
  // Twice in the contest 9 minutes apart: the second repeats the first copy.
  addContestQso("Rally", "LU2BB", {.mode = "CW", .band = "20m", .date = "20240315", .time = "1000"});
  addContestQso("Rally", "LU2BB", {.mode = "CW", .band = "20m", .date = "20240315", .time = "1009"});
  // Ten minutes apart, another band or another mode: new QSOs.
  addContestQso("Rally", "LU2BB", {.mode = "CW", .band = "20m", .date = "20240315", .time = "1019"});
  addContestQso("Rally", "LU2BB", {.mode = "CW", .band = "40m", .date = "20240315", .time = "1001"});
  addContestQso("Rally", "LU2BB", {.mode = "SSB", .band = "20m", .date = "20240315", .time = "1001"});
  dialogs.answers << MsgAnswer::Yes;

  auto out = TransferContestToMainLog("Rally", "6 QSOs ", "Principal");
  EXPECT_EQ(out.copied, 4);
  EXPECT_EQ(out.duplicates, 2);
  EXPECT_EQ(mainLog("Principal").size(), 6);  // placeholder, manual QSO, four copies

  // A second run finds every QSO copied already.
  dialogs.answers << MsgAnswer::Yes;
  out = TransferContestToMainLog("Rally", "6 QSOs ", "Principal");
  EXPECT_EQ(out.copied, 0);
  EXPECT_EQ(out.duplicates, 6);
  EXPECT_EQ(dialogs.lastText(), "Transferencia:\r\nCopiados: 0\r\nDuplicados: 6");
  EXPECT_EQ(mainLog("Principal").size(), 6);
}

TEST_F(ContestTransfer, NothingHappensWithoutQsosOrWithoutYes) {
  addContestQso("Rally", "LU1AA");
  const auto empty = TransferContestToMainLog("Rally", "0 QSOs ", "Principal");
  EXPECT_FALSE(empty.asked);
  EXPECT_EQ(dialogs.lastText(), "el log de concurso Rally no tiene QSOs para pasar al log Base Principal");
  EXPECT_EQ(dialogs.messages.last().icon, MsgIcon::Information);

  dialogs.answers << MsgAnswer::No;
  const auto no = TransferContestToMainLog("Rally", "1 QSOs ", "Principal");
  EXPECT_TRUE(no.asked);
  EXPECT_FALSE(no.ran);
  EXPECT_EQ(dialogs.messages.size(), 2);
  EXPECT_EQ(mainLog("Principal").size(), 1);
}

TEST_F(ContestTransfer, OnlyTheNamedContestIsCopiedAndItStaysAsItWas) {
  addContest("Otro");
  addContestQso("Otro", "LU5EE");
  addContestQso("Rally", "O'BRIEN");
  addContest("Rally's");
  addContestQso("Rally's", "LU6FF");
  dialogs.answers << MsgAnswer::Yes;
  const auto out = TransferContestToMainLog("Rally", "1 QSOs ", "Principal");
  EXPECT_EQ(out.copied, 1);
  const auto rows = mainLog("Principal");
  ASSERT_EQ(rows.size(), 2);
  EXPECT_EQ(rows[1].Estacion, "O'BRIEN");
  EXPECT_EQ(rowCount("Tabla2"), 6);
}

TEST_F(ContestTransfer, AFailureCopiesNothingAndIsShown) {
  addContestQso("Rally", "LU1AA", {.time = "0900"});
  addContestQso("Rally", "LU2BB", {.time = "1000"});
  // The second insert fails: the first must not stay behind as a half transfer.
  ASSERT_TRUE(db::exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Tabla1 WHEN NEW.Estacion='LU2BB' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
  dialogs.answers << MsgAnswer::Yes;
  const auto out = TransferContestToMainLog("Rally", "2 QSOs ", "Principal");
  EXPECT_FALSE(out.status.ok);
  EXPECT_EQ(out.copied, 0);
  EXPECT_EQ(mainLog("Principal").size(), 1);
  EXPECT_TRUE(dialogs.lastText().startsWith("No se pasó ningún QSO al log base Principal:\r\n"));
  EXPECT_EQ(dialogs.messages.last().icon, MsgIcon::Critical);
}

}  // namespace
