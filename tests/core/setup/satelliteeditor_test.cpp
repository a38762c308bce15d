#include <gtest/gtest.h>

#include <algorithm>

#include "setup/satelliteeditor.h"

using namespace vz;

namespace {
const QString kFormat2m = QStringLiteral("El formato de la frecuencia es:\r\n\r\nMMM.KKK");
const QString kFormat23 = QStringLiteral("En 23 cm, el formato de la frecuencia es:\r\n\r\nMMMM.KKK");
}  // namespace

TEST(SatelliteEditorRules, ListEntriesFromFileLines) {
  const std::pair<QString, QString> cases[] = {
      {"AO-7;70cm;2m;SSB;100.4", "AO-7;70cm;2m;SSB;100.4;"},
      {"AO-73;70cm;2m;SSB; ", "AO-73;70cm;2m;SSB; ;"},
      {"LILACSAT-2;2m;70cm;SSB;", "LILACSAT-2;2m;70cm;SSB; ;"},
      {"X;2m;70cm;FM;67.0;145.900", "X;2m;70cm;FM;67.0;145.900"},
      {"X;2m;70cm;FM; ; ", "X;2m;70cm;FM; ; "},
  };
  for (const auto& [line, entry] : cases) {
    EXPECT_EQ(EditorListEntry(*ParseSatelliteLine(line)), entry) << line.toStdString();
    EXPECT_EQ(JoinEditorEntry(SplitEditorEntry(entry)), entry) << line.toStdString();
  }
  const SatelliteFields f = SplitEditorEntry("AO-7;70cm;2m;SSB;100.4;");
  EXPECT_EQ(f.name, "AO-7");
  EXPECT_EQ(f.uplinkBand, "70cm");
  EXPECT_EQ(f.downlinkBand, "2m");
  EXPECT_EQ(f.mode, "SSB");
  EXPECT_EQ(f.subTone, "100.4");
  EXPECT_EQ(f.frequency, "");
}

TEST(SatelliteEditorRules, AlphabeticalOrderByName) {
  QStringList entries{"XW-2A;70cm;2m;SSB; ;", "AO-73;70cm;2m;SSB; ;", "ao-8;2m;70cm;FM; ;",
                      "AO-7;70cm;2m;SSB;100.4;", "CAS-4B;70cm;2m;SSB; ;"};
  std::stable_sort(entries.begin(), entries.end(), editorEntryLess);
  EXPECT_EQ(entries, (QStringList{"AO-7;70cm;2m;SSB;100.4;", "AO-73;70cm;2m;SSB; ;", "ao-8;2m;70cm;FM; ;",
                                  "CAS-4B;70cm;2m;SSB; ;", "XW-2A;70cm;2m;SSB; ;"}));
}

TEST(SatelliteEditorRules, FrequencyBoxKeysAndLength) {
  for (QChar c : QString("0123456789.?\b")) EXPECT_TRUE(IsFrequencyKey(c)) << int(c.unicode());
  for (QChar c : QString("a ;,-M\r")) EXPECT_FALSE(IsFrequencyKey(c)) << int(c.unicode());
  EXPECT_EQ(FrequencyMaxLength("23cm"), 8);
  EXPECT_EQ(FrequencyMaxLength("2m"), 7);
  EXPECT_EQ(FrequencyMaxLength("70cm"), 7);
}

TEST(SatelliteEditorRules, FrequencyCheck) {
  const QString band2m = QStringLiteral("La frecuencia es 150.000\r\nNo es de la banda de 2m!");
  const QString band70 = QStringLiteral("La frecuencia es 145.900\r\nNo es de la banda de 70m!");
  const QString band23 = QString::fromUtf8(
      "La frecuencia es 1269.000\r\nNo es de la banda de satélites en 23cm!\r\ndebe estar en 1267MHz");
  struct Case {
    QString band, text, message;
  } cases[] = {
      {"2m", "", ""},
      {"2m", " ", ""},  // a blank is the file's "no frequency"
      {"2m", "145.900", ""},
      {"2m", "144.000", ""},
      {"2m", "148.999", ""},
      {"2m", "150.000", band2m},
      {"2m", "143.999", "La frecuencia es 143.999\r\nNo es de la banda de 2m!"},
      {"2m", "145.90", kFormat2m},
      {"2m", "1459000", kFormat2m},
      {"2m", "145.9000", kFormat2m},
      {"70cm", "435.250", ""},
      {"70cm", "440.000", ""},
      {"70cm", "145.900", band70},
      {"23cm", "1267.500", ""},
      {"23cm", "1268.999", ""},
      {"23cm", "1269.000", band23},
      {"23cm", "1267.50", kFormat23},
      {"23cm", "12675000", kFormat23},
      {"23cm", "145.900", kFormat23},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckUplinkFrequency(c.band, c.text), c.message)
        << c.band.toStdString() << " " << c.text.toStdString();
}

TEST(SatelliteEditorRules, AddAndAcceptChecks) {
  const QStringList list{"AO-7;70cm;2m;SSB;100.4;", "ao-91;70cm;2m;FM;67.0;", "SO-50;2m;70cm;FM;67.0;"};
  const SatelliteFields good{"RS-44", "2m", "70cm", "SSB", " ", "145.965"};
  const QString noSemicolon = QStringLiteral("El nombre, el sub tono y la frecuencia no pueden contener \";\"!");
  const QString oneLineOnly =
      QStringLiteral("El nombre, el sub tono y la frecuencia no pueden contener saltos de línea ni tabuladores!");
  struct Case {
    const char* what;
    SatelliteFields fields;
    qsizetype except;
    QString message;
    SatelliteField focus;
  } cases[] = {
      {"good", good, -1, "", SatelliteField::None},
      {"no frequency", {"RS-44", "2m", "70cm", "SSB", "", ""}, -1, "", SatelliteField::None},
      {"empty name", {"", "2m", "70cm", "SSB", "", ""}, -1, QString::fromUtf8("Falta el nombre del Satélite!"),
       SatelliteField::Name},
      {"blank name", {"   ", "2m", "70cm", "SSB", "", ""}, -1,
       QString::fromUtf8("Falta el nombre del Satélite!"), SatelliteField::Name},
      {"same bands", {"RS-44", "2m", "2m", "SSB", "", ""}, -1, "Banda de Subida igual a la de Bajada ?",
       SatelliteField::DownlinkBand},
      {"bad format", {"RS-44", "2m", "70cm", "SSB", "", "145.9"}, -1, kFormat2m, SatelliteField::Frequency},
      {"out of band", {"RS-44", "70cm", "2m", "SSB", "", "145.965"}, -1,
       "La frecuencia es 145.965\r\nNo es de la banda de 70m!", SatelliteField::Frequency},
      {"23 cm format", {"RS-44", "23cm", "2m", "SSB", "", "1267.10"}, -1, kFormat23, SatelliteField::Frequency},
      {"duplicate", {"SO-50", "2m", "70cm", "FM", "", ""}, -1, QString::fromUtf8("el satélite SO-50 ya está en la lista!"),
       SatelliteField::None},
      {"differs in case", {"AO-91", "70cm", "2m", "FM", "", ""}, -1, "", SatelliteField::None},
      {"the entry itself", {"SO-50", "2m", "70cm", "FM", "", ""}, 2, "", SatelliteField::None},
      {"renamed onto another", {"AO-7", "2m", "70cm", "FM", "", ""}, 2,
       QString::fromUtf8("el satélite AO-7 ya está en la lista!"), SatelliteField::None},
      {"; in name", {"RS;44", "2m", "70cm", "SSB", "", ""}, -1, noSemicolon, SatelliteField::Name},
      {"; in sub-tone", {"RS-44", "2m", "70cm", "SSB", "67.0;1", ""}, -1, noSemicolon, SatelliteField::SubTone},
      {"; in frequency", {"RS-44", "2m", "70cm", "SSB", "", "145.9;0"}, -1, noSemicolon,
       SatelliteField::Frequency},
      {"line break in name", {"RS-44\r\nXX", "2m", "70cm", "SSB", "", ""}, -1, oneLineOnly, SatelliteField::Name},
      {"line feed and ; in sub-tone", {"RS-44", "2m", "70cm", "SSB", "67.0\nAO-1;2m;70cm;FM", ""}, -1, noSemicolon,
       SatelliteField::SubTone},
      {"line feed in sub-tone", {"RS-44", "2m", "70cm", "SSB", "67.0\n88.5", ""}, -1, oneLineOnly,
       SatelliteField::SubTone},
      {"tab in frequency", {"RS-44", "2m", "70cm", "SSB", "", "\t"}, -1, oneLineOnly, SatelliteField::Frequency},
  };
  for (const Case& c : cases) {
    const auto refusal = CheckSatelliteFields(c.fields, list, c.except);
    EXPECT_EQ(refusal ? refusal->message : QString(), c.message) << c.what;
    EXPECT_EQ(refusal ? refusal->focus : SatelliteField::None, c.focus) << c.what;
  }
}
