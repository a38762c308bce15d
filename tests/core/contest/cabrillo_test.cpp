#include "contest/cabrillo.h"

#include <gtest/gtest.h>

using namespace vz;

namespace {

ContestQso qso(const QString& mode, const QString& band, const QString& own, const QString& sent, const QString& call,
               const QString& received, const QString& date = QStringLiteral("20240315"),
               const QString& time = QStringLiteral("0905")) {
  ContestQso q;
  q.id = 1;
  q.Modo = mode;
  q.Banda = band;
  q.MyCall = own;
  q.RSE = sent;
  q.Estacion = call;
  q.RSR = received;
  q.Fecha = date;
  q.Hora = time;
  q.NombreLog = QStringLiteral("Prueba");
  q.Frecuencia = QStringLiteral("99999");  // never written: the band gives the frequency
  return q;
}

// What a log checker does with a line: split it on blanks.
QStringList tokens(const QString& line) { return line.split(u' ', Qt::SkipEmptyParts); }

TEST(CabrilloQsoLine, FieldsStandInTheirColumns) {
  const struct {
    const char* what;
    ContestQso q;
    const char* line;
  } cases[] = {
      {"160 m", qso("CW", "160m", "LU9ZZ", "1", "LU1AA", "1"),
       "QSO:  1820 CW 2024-03-15 0905 LU9ZZ         599 1      LU1AA         599 1     "},
      {"80 m CW", qso("CW", "80m", "LU9ZZ", "15", "LU1AA", "023"),
       "QSO:  3500 CW 2024-03-15 0905 LU9ZZ         599 15     LU1AA         599 023   "},
      {"40 m", qso("SSB", "40m", "LU9ZZ", "2", "LU2BB", "6"),
       "QSO:  7000 PH 2024-03-15 0905 LU9ZZ          59 2      LU2BB          59 6     "},
      {"20 m SSB with exchanges", qso("SSB", "20m", "LU9ZZ", "GF05", "W1AW", "FN31", "20231201", "0000"),
       "QSO: 14000 PH 2023-12-01 0000 LU9ZZ          59 GF05   W1AW           59 FN31  "},
      {"15 m", qso("CW", "15m", "LU9ZZ", "100", "PY2XX", "099"),
       "QSO: 21000 CW 2024-03-15 0905 LU9ZZ         599 100    PY2XX         599 099   "},
      {"10 m FM", qso("FM", "10m", "LU9ZZ", "3", "LU3CC", "4"),
       "QSO: 28000 PH 2024-03-15 0905 LU9ZZ          59 3      LU3CC          59 4     "},
      {"6 m", qso("SSB", "6m", "LU9ZZ", "5", "CX1AA", "8"),
       "QSO: 52000 PH 2024-03-15 0905 LU9ZZ          59 5      CX1AA          59 8     "},
      // The tag keeps a blank after it: the 2 m frequency fills its field and moves
      // the rest of the line one place to the right.
      {"2 m FM", qso("FM", "2m", "LU9ZZ", "1", "LU1AA/D", "7", "20240315", "2359"),
       "QSO: 144000 PH 2024-03-15 2359 LU9ZZ          59 1      LU1AA/D        59 7     "},
      {"15-character own call", qso("CW", "80m", "LU9ZZ/P/QRP1234", "1", "LU1AA", "1"),
       "QSO:  3500 CW 2024-03-15 0905 LU9ZZ/P/QRP1234 599 1      LU1AA         599 1     "},
      {"15-character own call on 2 m", qso("SSB", "2m", "LU9ZZ/P/QRP1234", "12", "LU1AA", "34"),
       "QSO: 144000 PH 2024-03-15 0905 LU9ZZ/P/QRP1234  59 12     LU1AA          59 34    "},
      {"long exchanges are never cut", qso("CW", "160m", "LU9ZZ/P/QRP123", "1234567", "LU1AA", "1"),
       "QSO:  1820 CW 2024-03-15 0905 LU9ZZ/P/QRP123 599 1234567 LU1AA         599 1     "},
      {"a band outside the table gives its own text", qso("CW", "30m", "LU9ZZ", "", "LU1AA", ""),
       "QSO:   30m CW 2024-03-15 0905 LU9ZZ         599        LU1AA         599       "},
  };
  for (const auto& c : cases) {
    const QString line = CabrilloQsoLine(c.q);
    EXPECT_EQ(line, QString::fromLatin1(c.line)) << c.what;
    if (c.q.RSE.isEmpty()) continue;
    // Every field with a value is one blank-separated token of its own.
    const QStringList t = tokens(line);
    ASSERT_EQ(t.size(), 11) << c.what;
    EXPECT_EQ(t[0], "QSO:") << c.what;
    EXPECT_EQ(t[1], CabrilloFrequency(c.q.Banda)) << c.what;
    EXPECT_EQ(t[5], c.q.MyCall) << c.what;
    EXPECT_EQ(t[10], c.q.RSR) << c.what;
  }
}

TEST(CabrilloQsoLine, EveryContestBandHasItsFixedFrequency) {
  const struct {
    const char* band;
    const char* khz;
  } cases[] = {{"160m", "1820"},  {"80m", "3500"},   {"40m", "7000"}, {"20m", "14000"},
               {"15m", "21000"}, {"10m", "28000"}, {"6m", "52000"}, {"2m", "144000"}};
  for (const auto& c : cases) EXPECT_EQ(CabrilloFrequency(c.band), c.khz) << c.band;
}

TEST(CabrilloQsoSection, LinesEndWithCrLfAndTheSectionWithEndOfLog) {
  const QList<ContestQso> rows = {qso("CW", "80m", "LU9ZZ", "1", "LU1AA", "5"),
                                  qso("", "", "", "", "", ""),  // the contest's header row
                                  qso("SSB", "40m", "LU9ZZ", "2", "LU2BB", "6")};
  const CabrilloSection s = CabrilloQsoSection(rows, "LU9ZZ");
  EXPECT_TRUE(s.ok());
  EXPECT_EQ(s.qsoCount, 2);
  EXPECT_EQ(s.text, CabrilloQsoLine(rows[0]) + "\r\n" + CabrilloQsoLine(rows[2]) + "\r\nEND-OF-LOG:");
}

TEST(CabrilloQsoSection, AQsoLoggedWithAnotherOwnCallStopsTheSection) {
  const QList<ContestQso> rows = {qso("CW", "80m", "LU9ZZ", "1", "LU1AA", "5"),
                                  qso("CW", "80m", "lu9zz", "2", "LU2BB", "6"),  // compared exactly
                                  qso("CW", "80m", "LU9ZZ", "3", "LU3CC", "7")};
  const CabrilloSection s = CabrilloQsoSection(rows, "LU9ZZ");
  EXPECT_FALSE(s.ok());
  ASSERT_TRUE(s.otherOwnCall.has_value());
  EXPECT_EQ(s.otherOwnCall->Estacion, "LU2BB");
  EXPECT_EQ(s.qsoCount, 1);
  EXPECT_EQ(s.text, CabrilloQsoLine(rows[0]) + "\r\n");
}

TEST(CabrilloQsoSection, AContestWithoutQsosHasNoSection) {
  const CabrilloSection s = CabrilloQsoSection({qso("", "", "", "", "", "")}, "LU9ZZ");
  EXPECT_FALSE(s.ok());
  EXPECT_FALSE(s.otherOwnCall.has_value());
  EXPECT_EQ(s.qsoCount, 0);
  EXPECT_EQ(s.text, "");
}

}  // namespace
