#include <gtest/gtest.h>

#include "online/checkupload.h"

using namespace vz;

TEST(ClassifyCheckRow, WhichRowsGo) {
  struct Case {
    const char *call, *ruk, *province;
    CheckRowKind kind;
  } cases[] = {
      {"", "", "Córdoba", CheckRowKind::NotQso},       {"LU1ABC", " 2 ", "Córdoba", CheckRowKind::Confirmed},
      {"LU1ABC", "1", "Córdoba", CheckRowKind::Send},  {"LU1ABC", "", "Córdoba", CheckRowKind::Send},
      {"LU1ABC/MM", "0", "Córdoba", CheckRowKind::Mobile}, {"LU1ABC/MA", "", "Chaco", CheckRowKind::Mobile},
      {"LU1ABC/mm", "", "Chaco", CheckRowKind::Send},  {"EA4XYZ", "", "  ", CheckRowKind::Foreign},
      {"EA4XYZ/MM", "2", "", CheckRowKind::Confirmed},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyCheckRow(QString::fromUtf8(c.call), c.ruk, QString::fromUtf8(c.province)), c.kind) << c.call;
}

TEST(CheckBandLabel, LabelsStayDialReadingsGiveTheirBand) {
  struct Case {
    const char *banda, *label;
  } cases[] = {
      {"40m", "40m"},         {"70cm", "70cm"},       {"1.840.0", "160m"},    {"3.650.5", "80m"},
      {"7.050.0", "40m"},     {"10.120.0", "30m"},    {"14.205.0", "20m"},    {"18.100.0", "17m"},
      {"21.300.0", "15m"},    {"24.950.0", "12m"},    {"28.500.0", "10m"},    {"50.110.0", "6m"},
      {"144.100.0", "2m"},    {"14.2050", "14.2050"}, {"432.100.0", "432.100.0"}, {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckBandLabel(c.banda), c.label) << c.banda;
}

TEST(PrepareCheckUpload, ValuesAsTheServiceTakesThem) {
  const Result<CheckUploadValues> v =
      PrepareCheckUpload({"LU9ZZ", "LU1ABC", "14.205.0", "FM", "1/3/2024", "14:05:00", "59", " AO-91 "});
  ASSERT_TRUE(v.ok());
  EXPECT_EQ(v.value.band, "20m");
  EXPECT_EQ(v.value.mode, "Sat");
  EXPECT_EQ(v.value.date, "01/03/2024");
  EXPECT_EQ(v.value.time, "1405");
  EXPECT_EQ(PrepareCheckUpload({"LU9ZZ", "LU1ABC", "40m", "SSB", "01-03-2024", "09:30", "59", ""}).value.mode, "SSB");
  EXPECT_FALSE(PrepareCheckUpload({"LU9ZZ", "LU1ABC", "40m", "SSB", "", "09:30", "59", ""}).ok());
}

TEST(ParseCheckAnswer, ErrorsResultsAndTheirLines) {
  struct Case {
    const char* answer;
    bool error;
    QStringList statuses;
    bool unconfirmed, uploaded;
    const char* line;
  } cases[] = {
      {"LU9ZZ LU1ABC 20m SSB x y duplicado!N", false, {"1"}, true, false,
       "3 LU9ZZ>LU1ABC 20m/SSB >Chequeado, aún no Confirmado!"},
      {"LU9ZZ LU1ABC 20m SSB x y duplicado!S", false, {"2"}, false, false,
       "3 LU9ZZ>LU1ABC 20m/SSB >Chequeado, Confirmado!"},
      {"LU9ZZ LU1ABC 20m SSB x y duplicado!Y", false, {"2"}, false, false,
       "3 LU9ZZ>LU1ABC 20m/SSB >Chequeado, Confirmado!"},
      {"LU9ZZ LU1ABC 20m SSB x y duplicado!N Guardado", false, {"1", "1"}, true, true,
       "3 LU9ZZ>LU1ABC 20m/SSB >Subido!"},
      // No result word after the six leading words: the answer as it came, no status.
      {"LU9ZZ LU1ABC 20m SSB Guardado y z", false, {}, false, false, "3 LU9ZZ LU1ABC 20m SSB Guardado y z"},
      {"Servicio en mantenimiento", false, {}, false, false, "3 Servicio en mantenimiento"},
      {"Guardado", false, {"1"}, false, true, "3 > / >Subido!"},
      {"El indicativo no es de Argentina", true, {}, false, false, "3 LU1ABC No lo considera Ruk"},
      {"Error de Contraseña", true, {}, false, false, "3 Error de Contraseña"},
      {"Usuario no registrado en Ruk", true, {}, false, false, "3 Usuario no registrado en Ruk"},
  };
  for (const Case& c : cases) {
    const CheckAnswer a = ParseCheckAnswer(3, "LU1ABC", QString::fromUtf8(c.answer));
    EXPECT_EQ(a.error, c.error) << c.answer;
    EXPECT_EQ(a.statuses, c.statuses) << c.answer;
    EXPECT_EQ(a.unconfirmed, c.unconfirmed) << c.answer;
    EXPECT_EQ(a.uploaded, c.uploaded) << c.answer;
    EXPECT_EQ(a.line, QString::fromUtf8(c.line)) << c.answer;
  }
}

TEST(CheckUploadPrompt, OneOrMoreCallsAndTheLimit) {
  EXPECT_EQ(CheckUploadPrompt("Mi Log", {5, 1, 1, 2, 1000}, {"LU9ZZ"}),
            QString::fromUtf8("log Mi Log con 1003 QSO(s)\r\n\r\nEstaciones NO Argentinas: 2\r\nEstaciones Móviles: 1"
                              "\r\n\r\nCall: LU9ZZ \r\nSube a Ruk el log Mi Log con 1000 QSO(s)?"));
  EXPECT_EQ(CheckUploadPrompt("L", {0, 0, 0, 0, 1001}, {"LU9ZZ", "LU9ZZ/D"}),
            QString::fromUtf8("log L con 1001 QSO(s)\r\n\r\nEstaciones NO Argentinas: 0\r\nEstaciones Móviles: 0\r\n\r\n"
                              "2 Calls: LU9ZZ LU9ZZ/D \r\nAquellos Alias de los 2 que no estén registrados en Ruk No serán "
                              "subidos.\r\n\r\nSe Tienen 1001 QSOs, se enviarán solo los 1000 primeros\r\n"
                              "Sube a Ruk el log L con 1000 QSO(s)?"));
}

TEST(CheckUploadSummary, OnlyTheCountsThatAreNotZero) {
  EXPECT_EQ(CheckUploadSummary(2, 3, 1), QString::fromUtf8("2 QSOs Chequeados por confirmación\r\n3 QSOs subidos\r\n1 QSOs con error"));
  EXPECT_EQ(CheckUploadSummary(0, 1, 0), "1 QSOs subidos\r\n");
  EXPECT_EQ(CheckUploadSummary(0, 0, 0), "");
}
