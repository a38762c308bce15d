#include <gtest/gtest.h>

#include "store/validation.h"

using namespace vz;

TEST(FieldChecks, Time) {
  const struct {
    const char* text;
    bool invalid;
  } cases[] = {
      {"00:00", false}, {"23:59", false}, {"09:05", false}, {"24:00", true}, {"12:60", true},
      {"9:30", true},   {"12.30", true},  {"12:300", true}, {"", true},      {"ab:cd", true},
      {"?9:30", true},  {"-1:30", true},  {" 9:30", true},  {"12: 5", true}, {"1a:30", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInvalidTime(QString::fromLatin1(c.text)), c.invalid) << c.text;
}

TEST(FieldChecks, Date) {
  const struct {
    const char* text;
    bool invalid;
  } cases[] = {
      {"29/02/2024", false}, {"31/12/1999", false}, {"01/01/2000", false}, {"30/04/2023", false},
      {"29/02/2023", true},  {"31/04/2023", true},  {"00/05/2023", true},  {"15/00/2023", true},
      {"15/13/2023", true},  {"32/01/2023", true},  {"1/05/2023", true},   {"01-05-2023", true},
      {"01/05/23", true},    {"01/05/2023 ", true}, {"0a/05/2023", true},  {"", true},
      {"29/02/1900", true},  {"29/02/2000", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsInvalidDate(QString::fromLatin1(c.text)), c.invalid) << c.text;
}

TEST(FieldChecks, EntryReportOnLeavingTheBox) {
  const struct {
    const char* mode;
    const char* report;
    bool invalid;
  } cases[] = {
      {"SSB", "59", false},   {"SSB", "11", false}, {"FM", "57", false},      {"SSB", "69", true},
      {"SSB", "50", true},    {"SSB", "5A", true},  {"SSB", "599", true},     {"SSB", "", true},
      {"SSB", "09", true},    {"CW", "599", false}, {"Sat CW", "579", false}, {"CW", "59", true},
      {"CW", "099", false},  // the first digit is left to the check on Enter
      {"CW", "509", true},    {"CW", "590", true},  {"cw", "599", true},  // the mode is compared exactly
      {"Sat CW", "59", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsInvalidEntryReport(QString::fromLatin1(c.report), QString::fromLatin1(c.mode)), c.invalid)
        << c.mode << " " << c.report;
  EXPECT_FALSE(IsInvalidEditReport(""));
  EXPECT_FALSE(IsInvalidEditReport("XX"));
}

TEST(FieldChecks, EntryChecksOnEnter) {
  const LogEntryValues good{"LU1ABC", "SSB", "59", "57", false, "", "LU9XYZ", "LU8OPR"};
  auto with = [&](auto change) {
    LogEntryValues v = good;
    change(v);
    return v;
  };
  const struct {
    const char* what;
    LogEntryValues entry;
    const char* message;
    MsgIcon icon;
    EntryField focus;
  } cases[] = {
      {"good", good, "", MsgIcon::None, EntryField::None},
      {"no call, bad reports",
       with([](LogEntryValues& v) { v.call = "", v.receivedReport = "9", v.sentReport = "00"; }),
       "Falta el Corresponsal!", MsgIcon::Exclamation, EntryField::Call},
      {"both reports bad", with([](LogEntryValues& v) { v.receivedReport = "69", v.sentReport = "0"; }),
       "Reporte Recibido no válido!", MsgIcon::Exclamation, EntryField::ReceivedReport},
      {"sent bad", with([](LogEntryValues& v) { v.sentReport = "5"; }), "Reporte Enviado no válido!",
       MsgIcon::Exclamation, EntryField::SentReport},
      {"CW 099 received",
       with([](LogEntryValues& v) { v.mode = "CW", v.receivedReport = "099", v.sentReport = "599"; }),
       "Reporte Recibido no válido!", MsgIcon::Exclamation, EntryField::ReceivedReport},
      {"CW 099 sent",
       with([](LogEntryValues& v) { v.mode = "CW", v.receivedReport = "599", v.sentReport = "099"; }),
       "Reporte Enviado no válido!", MsgIcon::Exclamation, EntryField::SentReport},
      {"CW 509 passes Enter",
       with([](LogEntryValues& v) { v.mode = "Sat CW", v.receivedReport = "509", v.sentReport = "509"; }), "",
       MsgIcon::None, EntryField::None},
      {"CW two-digit report", with([](LogEntryValues& v) { v.mode = "CW"; }), "Reporte Recibido no válido!",
       MsgIcon::Exclamation, EntryField::ReceivedReport},
      {"satellite missing", with([](LogEntryValues& v) { v.satelliteMode = true; }), "Elija un satélite!",
       MsgIcon::Exclamation, EntryField::Satellite},
      {"satellite chosen", with([](LogEntryValues& v) { v.satelliteMode = true, v.satellite = "AO-91"; }), "",
       MsgIcon::None, EntryField::None},
      {"own station", with([](LogEntryValues& v) { v.call = "LU9XYZ"; }), "QSO con la propia estación???",
       MsgIcon::Critical, EntryField::Call},
      {"operator", with([](LogEntryValues& v) { v.call = "LU8OPR"; }), "QSO con el Operador???",
       MsgIcon::Critical, EntryField::Call},
      {"report before satellite",
       with([](LogEntryValues& v) { v.satelliteMode = true, v.call = "LU9XYZ", v.sentReport = "99"; }),
       "Reporte Enviado no válido!", MsgIcon::Exclamation, EntryField::SentReport},
  };
  for (const auto& c : cases) {
    const EntryCheck check = CheckLogEntryOnEnter(c.entry);
    EXPECT_EQ(check.message, QString::fromUtf8(c.message)) << c.what;
    EXPECT_EQ(check.passed(), *c.message == 0) << c.what;
    if (!check.passed()) {
      EXPECT_EQ(check.icon, c.icon) << c.what;
      EXPECT_EQ(check.focus, c.focus) << c.what;
    }
  }
  // The checks of the reports alone do not look at the satellite or the own calls.
  EXPECT_TRUE(
      ValidateLogEntry(with([](LogEntryValues& v) { v.call = "LU9XYZ", v.satelliteMode = true; })).passed());
}

TEST(BandPlan, SelectorTable) {
  const struct {
    const char* mhz;
    const char* khz;
    const char* band;
    const char* warning;
  } cases[] = {
      {"1", "850", "160m", ""},
      {"2", "000", "", ""},
      {"3", "450", "80m", "3.450 KHz\r\n\r\nFuera de banda!"},
      {"3", "500", "80m", ""},
      {"3", "", "80m", "3. KHz\r\n\r\nFuera de banda!"},
      {"5", "350", "60m", ""},
      {"7", "100", "40m", ""},
      {"10", "", "30m", ""},  // an empty kHz box reads 0
      {"10", "251", "30m", "10.251 KHz\r\n\r\nFuera de banda!"},
      {"10", "250", "30m", ""},
      {"14", "195", "20m", ""},
      {"18", "100", "17m", ""},
      {"21", "300", "15m", ""},
      {"24", "950", "12m", ""},
      {"24", "889", "12m", "24.889 KHz\r\n\r\nFuera de banda!"},
      {"28", "500", "10m", ""},
      {"29", "600", "10m", ""},
      {"30", "000", "", ""},
      {"50", "100", "6m", ""},
      {"54", "000", "6m", ""},
      {"55", "000", "", ""},
      {"144", "200", "2m", ""},
      {"147", "000", "2m", ""},
      {"148", "000", "", ""},
      {"220", "000", "1.25m", ""},
      {"224", "000", "1.25m", ""},
      {"430", "000", "70cm", ""},
      {"443", "000", "70cm", ""},
      {"444", "000", "", ""},
      {"1267", "000", "23cm", ""},
      {"", "650", "", ""},
      {"3.5", "000", "", ""},
  };
  for (const auto& c : cases) {
    const BandChoice got = BandFromSelectors(QString::fromLatin1(c.mhz), QString::fromLatin1(c.khz));
    EXPECT_EQ(got.band, QString::fromLatin1(c.band)) << c.mhz << "." << c.khz;
    EXPECT_EQ(got.warning, QString::fromLatin1(c.warning)) << c.mhz << "." << c.khz;
  }
}

TEST(BandPlan, ImportTableAndDefaults) {
  const struct {
    const char* frequency;
    const char* band;
  } bands[] = {
      {"1", "160m"},     {"1.820", "160m"}, {"2", "160m"},    {"2.5", ""},     {"3.650", "80m"},
      {"4", "80m"},      {"5.1", "60m"},    {"7.074", "40m"}, {"9", ""},       {"10.136", "30m"},
      {"14.195", "20m"}, {"18.1", "17m"},   {"21.3", "15m"},  {"24.9", "12m"}, {"28.5", "10m"},
      {"30", "10m"},     {"50.313", "6m"},  {"55", "6m"},     {"144.3", "2m"}, {"148", "2m"},
      {"222.1", ""},     {"432.1", "70cm"}, {"440", "70cm"},  {"441", ""},     {"1296.2", ""},
      {"", ""},          {"abc", ""},       {"0.5", ""},
  };
  for (const auto& c : bands)
    EXPECT_EQ(BandFromFrequency(QString::fromLatin1(c.frequency)), QString::fromLatin1(c.band))
        << c.frequency;

  const struct {
    const char* band;
    const char* frequency;
  } defaults[] = {
      {"160m", "1.820"}, {"80m", "3.600"},  {"60m", "5.100"},  {"40m", "7.100"},    {"30m", "10.100"},
      {"20m", "14.100"}, {"20M", "14.100"}, {"17m", "18.100"}, {"15m", "21.100"},   {"12m", "24.900"},
      {"10m", "28.500"}, {"6m", "52.000"},  {"2m", "145.000"}, {"70cm", "435.100"}, {"1.25m", ""},
      {"23cm", ""},      {"", ""},          {"11m", ""},
  };
  for (const auto& c : defaults)
    EXPECT_EQ(DefaultFrequencyForBand(QString::fromLatin1(c.band)), QString::fromLatin1(c.frequency))
        << c.band;

  // Every band with a default frequency lies in its own import range.
  for (const QString& band : bandLabels()) {
    const QString f = DefaultFrequencyForBand(band);
    if (!f.isEmpty()) {
      EXPECT_EQ(BandFromFrequency(f), band) << band.toStdString();
    }
  }
}
