#include <gtest/gtest.h>

#include "online/listupload.h"

using namespace vz;

namespace {

UploadQso qso() {
  UploadQso q;
  q.ownCall = "LU9ZZ";
  q.call = "LU1ABC";
  q.band = "40m";
  q.frequency = "7.050";
  q.mode = "SSB";
  q.reportSent = "59";
  q.date = "01/03/2024";
  q.time = "10:05";
  return q;
}

QByteArray query(const QUrl& u) { return u.query(QUrl::FullyEncoded).toUtf8(); }

}  // namespace

TEST(UploadBand, WholeMegahertzPicksTheBandAndOthersKeepTheirLabel) {
  struct Case {
    const char *frequency, *label, *band;
  } cases[] = {
      {"1.850", "x", "160m"},  {"3.650", "x", "80m"},    {"7.199", "x", "40m"},    {"10.1", "x", "30m"},
      {"14.2", "x", "20m"},    {"18.1", "x", "17m"},     {"21.3", "x", "15m"},     {"24.9", "x", "12m"},
      {"28.5", "x", "10m"},    {"29.6", "x", "10m"},     {"50", "x", "6m"},        {"55.9", "x", "6m"},
      {"144.0", "x", "2m"},    {"148.9", "x", "2m"},     {"430", "x", "70cm"},     {"450.9", "x", "70cm"},
      {"5.3515", "60m", "60m"}, {"220.1", "1.25m", "1.25m"}, {"1267", "23cm", "23cm"}, {"", "40m", "40m"},
      {"56", "6m ", "6m"},
  };
  for (const Case& c : cases) EXPECT_EQ(UploadBand(c.frequency, c.label), c.band) << c.frequency;
}

TEST(RukModeAndBand, MapsInOrderWithTheSatellitePrefixFirst) {
  struct Case {
    const char *mode, *satellite, *outMode, *outBand;
  } cases[] = {
      {"SSB", "", "SSB", "40m"},
      {"DVoice", "", "DV", "40m"},
      {"DVoice", "AO-91", "Sat DV", "40m"},
      {"FM", "AO-91", "Sat FM", "40m"},
      {"DV IP", "", "DV", "VOIP"},
      {"Echo IP", "", "ECHO", "VOIP"},
      {"Echo", "", "ECHO", "40m"},
      {"Echo", "AO-91", "Sat Echo", "40m"},
      {"echo", "", "echo", "40m"},
  };
  for (const Case& c : cases) {
    const ModeAndBand mb = RukModeAndBand(c.mode, c.satellite, "40m");
    EXPECT_EQ(mb.mode, c.outMode) << c.mode << "/" << c.satellite;
    EXPECT_EQ(mb.band, c.outBand) << c.mode << "/" << c.satellite;
  }
}

TEST(UploadDateAndTime, DayFirstDatesAndFourDigitTimes) {
  EXPECT_EQ(UploadDate("1/3/2024").value, "01/03/2024");
  EXPECT_EQ(UploadDate("25/12/2022").value, "25/12/2022");
  EXPECT_FALSE(UploadDate("").ok());
  EXPECT_FALSE(UploadDate("31/02/2024").ok());
  EXPECT_EQ(UploadTime("10:05"), "1005");
  EXPECT_EQ(UploadTime("10:05:30"), "0530");  // the last five characters, as sent before
}

TEST(RukListUploadUrl, KeysInOrderEveryValueEncodedOnce) {
  UploadQso q = qso();
  q.remarks = "73 & 100% = ok";
  const Result<QUrl> yes = RukListUploadUrl("lu9zz", "a&b%c", q, true);
  ASSERT_TRUE(yes.ok());
  EXPECT_EQ(yes.value.scheme(), "https");
  EXPECT_EQ(yes.value.path(), "/php/vantorel2Rozozev.php");
  EXPECT_EQ(query(yes.value),
            "user=lu9zz&pass=a%26b%25c&micall=LU9ZZ&sucall=LU1ABC&banda=40m&modo=SSB&fecha=01%2F03%2F2024&hora=1005"
            "&rst=59&x_qslMSG=73%20%26%20100%25%20%3D%20ok");

  const Result<QUrl> no = RukListUploadUrl("lu9zz", "p", q, false);
  EXPECT_TRUE(query(no.value).endsWith("&rst=59&x_qslMSG=")) << query(no.value).constData();

  q.mode = "DV IP";
  EXPECT_TRUE(query(RukListUploadUrl("u", "p", q, false).value).contains("&banda=VOIP&modo=DV&"));

  q.date = "sin fecha";
  EXPECT_FALSE(RukListUploadUrl("u", "p", q, false).ok());
}

TEST(RukCheckUploadUrl, GoesOverHttpsWithTheNineKeys) {
  const QUrl u = RukCheckUploadUrl("yo@example.org", "x?y", {"LU9ZZ", "LU1ABC", "40m", "SSB", "01/03/2024", "1005", "59"});
  EXPECT_EQ(u.scheme(), "https");
  EXPECT_EQ(u.path(), "/php/vantorel3.php");
  EXPECT_EQ(query(u), "user=yo%40example.org&pass=x%3Fy&micall=LU9ZZ&sucall=LU1ABC&banda=40m&modo=SSB"
                      "&fecha=01%2F03%2F2024&hora=1005&rst=59");
}

TEST(EqslRecord, FieldsInOrderWithTheirConditions) {
  struct Case {
    const char *mode, *satellite, *remarks;
    bool qslMsg;
    QString tail;  // after TIME_ON
    const char* modeField;
  } cases[] = {
      {"SSB", "", "", true, "", "<MODE:3>SSB"},
      {"Echo IP", "", "", false, "<PROP_MODE:3>ECH", "<MODE:2>FM"},
      {"Echo", "AO-91", "", false, "<PROP_MODE:3>ECH<PROP_MODE:3>SAT<SAT_NAME:5>AO-91", "<MODE:2>FM"},
      {"DVoice", "", "", false, "", "<MODE:12>DIGITALVOICE"},
      {"DV IP", "", "", false, "", "<MODE:12>DIGITALVOICE"},
      {"FM", "SO-50", "", false, "<PROP_MODE:3>SAT<SAT_NAME:5>SO-50", "<MODE:2>FM"},
      {"SSB", "", "Año 73", false, QString::fromUtf8("<COMMENT:7>Año 73"), "<MODE:3>SSB"},
      {"SSB", "", "Año 73", true, QString::fromUtf8("<COMMENT:7>Año 73<QSLMSG:7>Año 73"), "<MODE:3>SSB"},
  };
  for (const Case& c : cases) {
    UploadQso q = qso();
    q.mode = c.mode;
    q.satellite = c.satellite;
    q.remarks = QString::fromUtf8(c.remarks);
    q.date = "25/12/2022";
    const Result<QString> r = EqslRecord(q, c.qslMsg);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, QStringLiteral("<STATION_CALLSIGN:5>LU9ZZ<CALL:6>LU1ABC<BAND:3>40m") + c.modeField +
                           "<QSO_DATE:8>20221225<TIME_ON:4>1005" + c.tail + "<EOR><EOF>")
        << c.mode << " " << c.remarks;
  }
  UploadQso bad = qso();
  bad.date = "";
  EXPECT_FALSE(EqslRecord(bad, false).ok());
}

TEST(EqslUploadUrl, AdifTextAndAccountEncodedSoTheQueryStaysWhole) {
  EXPECT_EQ(EqslHeader("2.1.21"), "Vantorel Zezeror Ver 2.1.21<EOH>");
  const QUrl u = EqslUploadUrl("H<EOH><COMMENT:5>a&b=c<EOR><EOF>", "LU9ZZ", "p&%");
  EXPECT_EQ(u.scheme(), "https");
  EXPECT_EQ(u.path(), "/qslcard/importADIF.cfm");
  EXPECT_EQ(query(u), "ADIFData=H%3CEOH%3E%3CCOMMENT%3A5%3Ea%26b%3Dc%3CEOR%3E%3CEOF%3E&EQSL_USER=LU9ZZ&EQSL_PSWD=p%26%25");
}

TEST(ClassifyUploadAnswer, WordsAnywhereExactCaseEachApplies) {
  struct Case {
    const char* text;
    bool error, abort, rukLoaded, rukDup, eqslLoaded, eqslDup;
  } cases[] = {
      {"QSO OK! guardado", false, false, true, false, false, false},
      {"OK! y duplicado!", true, false, true, true, false, false},
      {"Error de Contraseña!", true, true, false, false, false, false},
      {"El usuario NO existe en Ruk!", true, true, false, false, false, false},
      {"Error: fecha", true, false, false, false, false, false},
      {"Call ni Alias encontrado", true, false, false, false, false, false},
      {"ok! error: Duplicado!", false, false, false, false, false, false},
      {"Result: 1 out of 1 records added", false, false, false, false, true, false},
      {"Result: 0 out of 1 records added\nError: Duplicate QSO", true, false, false, false, false, true},
      {"", false, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    const UploadAnswer a = ClassifyUploadAnswer(QString::fromUtf8(c.text));
    EXPECT_EQ(a.error, c.error) << c.text;
    EXPECT_EQ(a.abort, c.abort) << c.text;
    EXPECT_EQ(a.rukLoaded, c.rukLoaded) << c.text;
    EXPECT_EQ(a.rukDuplicate, c.rukDup) << c.text;
    EXPECT_EQ(a.eqslLoaded, c.eqslLoaded) << c.text;
    EXPECT_EQ(a.eqslDuplicate, c.eqslDup) << c.text;
  }
}
