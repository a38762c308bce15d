#include <gtest/gtest.h>

#include "store/callsign.h"
#include "support/tempfolder.h"

using namespace vz;

TEST(ProvinceRules, ProvinceFromFirstCharacters) {
  const struct {
    const char* text;
    const char* province;
  } cases[] = {
      {"A", "Capital"},
      {"B", "Capital"},
      {"CZ", "Capital"},
      {"D", "Buenos Aires"},
      {"E", "Buenos Aires"},
      {"F", "Santa Fe"},
      {"G", "Chaco"},  // one character reads as if followed by "A"
      {"GM", "Chaco"},
      {"G9", "Chaco"},  // digits come before M in code order
      {"GN", "Formosa"},
      {"GZ", "Formosa"},
      {"H", "Córdoba"},
      {"I", "Misiones"},
      {"J", "Entre Ríos"},
      {"K", "Tucumán"},
      {"L", "Corrientes"},
      {"M", "Mendoza"},
      {"N", "Santiago del Estero"},
      {"O", "Salta"},
      {"P", "San Juan"},
      {"Q", "San Luis"},
      {"R", "Catamarca"},
      {"S", "La Rioja"},
      {"T", "Jujuy"},
      {"U", "La Pampa"},
      {"V", "Río Negro"},
      {"W", "Chubut"},
      {"X", "Tierra del Fuego"},
      {"XM", "Tierra del Fuego"},
      {"XN", "Santa Cruz"},
      {"XZ", "Santa Cruz"},
      {"Y", "Neuquén"},
      {"Z", "Antártida"},
      {"", ""},
      {"1AB", ""},
      {"a", ""},  // letter case counts
      {"/", ""},
      {"Ñ", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProvinceFromSuffix(QString::fromUtf8(c.text)), QString::fromUtf8(c.province)) << c.text;
}

TEST(ProvinceRules, ProvinceNamesAreTheTableInOrder) {
  QStringList fromTable;
  for (const char* t : {"A", "D", "F", "G", "GN", "H", "I", "J", "K", "L",  "M", "N", "O",
                        "P", "Q", "R", "S", "T",  "U", "V", "W", "X", "XN", "Y", "Z"})
    fromTable << ProvinceFromSuffix(QString::fromLatin1(t));
  EXPECT_EQ(provinceNames(), fromTable);
  EXPECT_EQ(provinceNames().size(), 25);
}

TEST(ProvinceRules, CallSignSuffix) {
  const struct {
    const char* call;
    std::optional<const char*> suffix;
  } cases[] = {
      {"LU1ABC", "AB"},
      {"LU12ABC", "AB"},  // the second digit is skipped on L calls
      {"LU1A", "A"},
      {"LU1", ""},
      {"LU123", "23"},  // digits only: all of it
      {"LW9X", "X"},
      {"L21ZAB", "ZA"},
      {"LO7H", "H"},
      {"AY1ABC", "ABC"},
      {"AZ12AB", "2AB"},  // AZ and AY keep the digit
      {"AY", ""},
      {"AZ1ABCDEFGHIJKLM", "ABCDEFGHIJ"},
      {"LU1ABCDEFGHIJKLM", "AB"},
      {"L0ABC", std::nullopt},
      {"LX1ABC", std::nullopt},
      {"LN1ABC", std::nullopt},
      {"L", std::nullopt},
      {"EA1ABC", std::nullopt},
      {"lu1abc", std::nullopt},  // callers upper-case first
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<QString> got = GetCallSignSuffix(QString::fromLatin1(c.call));
    ASSERT_EQ(got.has_value(), c.suffix.has_value()) << c.call;
    if (got) {
      EXPECT_EQ(*got, QString::fromLatin1(*c.suffix)) << c.call;
    }
  }
}

TEST(ProvinceRules, ProvinceFromCallSign) {
  const struct {
    const char* call;
    const char* province;
  } cases[] = {
      {"LU1ABC", "Capital"},
      {"lu1dxx", "Buenos Aires"},  // upper-cased first
      {"LU12HAB", "Córdoba"},
      {"LU1GN", "Formosa"},
      {"LU1G", "Chaco"},
      {"LU1XZ", "Santa Cruz"},
      {"LU1X", "Tierra del Fuego"},
      {"AY12AB", ""},  // the digit becomes the suffix's first character
      {"AZ1YAB", "Neuquén"},
      {"L21ZAB", "Antártida"},
      {"LU123", ""},
      {"LU1ABC/MM", ""},
      {"LU1ABC/MA", ""},
      {"lu1abc/mm", ""},
      {"LU1ABC/MMX", "Mendoza"},
      {"LU1ABC/W", "Chubut"},
      {"LU1ABC/", ""},
      {"LU/W", "Chubut"},     // a bare Argentine prefix counts as Argentine
      {"EA1ABC/LU1HAB", ""},  // the part before "/" decides
      {"W1AW/H", ""},
      {"LU1ABC/P/W", ""},           // two "/"
      {"LU1HAB/P/W/X", "Córdoba"},  // three or more: the whole call is read
      {"W1AW", ""},
      {"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProvinceFromCallSign(QString::fromLatin1(c.call)), QString::fromUtf8(c.province)) << c.call;
}

TEST(ProvinceRules, IsCallSignNeedsADigitAndSomethingElse) {
  const struct {
    const char* text;
    bool call;
  } cases[] = {
      {"", false}, {"ABC", false}, {"123", false}, {"A1", true}, {"LU1ABC", true}, {"/1", true}, {" 9", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsCallSign(QString::fromLatin1(c.text)), c.call) << c.text;
}

namespace {

// A small prefix file: duplicates, blanks to trim, an over-long name and an empty
// line that ends the searched part.
const QString kLongName = QString(120, u'x');

QStringList fixtureLines() {
  return {
      QStringLiteral("EA;EA;España"),     QStringLiteral("EA8;Islas Canarias"),
      QStringLiteral("LU;LU;Argentina"),  QStringLiteral("L2;Argentina"),
      QStringLiteral("AY;Argentina"),     QStringLiteral("   K;Estados Unidos   "),
      QStringLiteral("W;Estados Unidos"), QStringLiteral("EA;Duplicado"),
      QStringLiteral("VK0H;Isla Heard"),  QStringLiteral("NOSEMI"),
      QStringLiteral("3D2;") + kLongName, QString(),
      QStringLiteral("ZZ;Nunca"),
  };
}

class PrefixLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.writeLines("dxcc.txt", fixtureLines());
    ASSERT_TRUE(LoadPrefixTable(folder_.file("dxcc.txt")));
  }
  void TearDown() override { prefixTable().clear(); }
  test::TempFolder folder_{false};
};

}  // namespace

TEST_F(PrefixLookup, CountryOrProvinceAndMatchedPrefix) {
  const struct {
    const char* call;
    const char* result;
    const char* prefix;  // what the argument holds afterwards
  } cases[] = {
      {"EA1ABC", "España", "EA"},          // the first of two equal prefixes wins
      {"EA8AB", "Islas Canarias", "EA8"},  // the longest leading part wins
      {"EA", "España", "EA"},
      {"K1ABC", "Estados Unidos", "K"},  // blanks around the line are trimmed
      {"W1AW", "Estados Unidos", "W"},
      {"VK0HX", "Isla Heard", "VK0H"},
      {"VK0", "", ""},
      {"NOSEMI1", "NOSEMI", "NOSEMI"},  // a line without ";" is its own country
      {"ZZ1ABC", "", ""},               // behind the empty line: never reached
      {"QQ1", "", ""},
      {"", "", ""},
      // Argentine countries give the province of the call instead.
      {"LU1ABC", "Capital", "LU"},
      {"LU1HAB", "Córdoba", "LU"},
      {"LU12HAB", "", "LU"},  // read from the fourth character: digits are not skipped
      {"LU1ABC/W", "Chubut", "LU"},
      {"LU1ABC/XZABCDEF", "Santa Cruz", "LU"},
      {"LU1ABC/MM", "", "LU"},  // at sea or in the air: no province
      {"LU1ABC/MA", "", "LU"},
      {"LU1ABC/MMX", "Mendoza", "LU"},
      {"LU1ABC/", "", "LU"},
      {"L2/H", "Córdoba", "L2"},
      {"AY1ABC", "Capital", "AY"},
      {"AY", "", "AY"},
  };
  for (const auto& c : cases) {
    QString call = QString::fromLatin1(c.call);
    EXPECT_EQ(LookupCountryOrProvince(call), QString::fromUtf8(c.result)) << c.call;
    EXPECT_EQ(call, QString::fromLatin1(c.prefix)) << c.call;
  }
  QString call = QStringLiteral("3D2AB");
  EXPECT_EQ(LookupCountryOrProvince(call), kLongName.left(100));  // at most 100 characters
}

TEST_F(PrefixLookup, MissingFileLeavesTheTableEmpty) {
  EXPECT_FALSE(LoadPrefixTable(folder_.file("absent.txt")));
  EXPECT_EQ(prefixTable().lineCount(), 0);
  QString call = QStringLiteral("EA1ABC");
  EXPECT_EQ(LookupCountryOrProvince(call), QString());
  EXPECT_EQ(call, QString());
}

TEST(PrefixTableLimits, EntriesAreSearchedUpTo22900AndKeptUpTo23000) {
  test::TempFolder folder(false);
  QStringList lines;
  // No prefix is a leading part of another, so only the exact entry can match.
  for (int i = 0; i < 23005; ++i) lines << QStringLiteral("Q%1X;C%1").arg(i);
  folder.writeLines("dxcc.txt", lines);
  ASSERT_TRUE(LoadPrefixTable(folder.file("dxcc.txt")));
  EXPECT_EQ(prefixTable().lineCount(), 23001);
  EXPECT_EQ(prefixTable().entry(23000), QStringLiteral("Q23000X;C23000"));
  EXPECT_EQ(prefixTable().entry(23001), QString());

  const struct {
    const char* call;
    const char* result;
  } cases[] = {{"Q0X", "C0"}, {"Q22900X", "C22900"}, {"Q22901X", ""}, {"Q23000X", ""}, {"Q23004X", ""}};
  for (const auto& c : cases) {
    QString call = QString::fromLatin1(c.call);
    EXPECT_EQ(LookupCountryOrProvince(call), QString::fromLatin1(c.result)) << c.call;
  }
  prefixTable().clear();
}

TEST(PrefixTableLimits, IndexAnswersAsALinearScanWould) {
  // A reference scan, entry by entry, as the lookup is defined.
  const QStringList lines = {"A;1", "AB;2", "A;3", "ABC;4", ";5", "B;6", "AB;7", "", "ABCD;8", "C;9"};
  PrefixTable table;
  table.setEntries(lines);
  auto linear = [&](const QString& prefix) {
    for (int i = 0; i <= PrefixTable::kLastSearched && i < lines.size(); ++i) {
      if (lines[i].isEmpty()) break;
      if (lines[i].section(u';', 0, 0) == prefix) return i;
    }
    return -1;
  };
  for (const char* p : {"A", "AB", "ABC", "ABCD", "", "B", "C", "Z"})
    EXPECT_EQ(table.find(QString::fromLatin1(p)), linear(QString::fromLatin1(p))) << p;
}

TEST(ProvinceRules, RegionalCountryOrProvince) {
  const struct {
    const char* call;
    const char* result;
    const char* after;  // the argument afterwards
  } cases[] = {
      {"CX1AA", "Uruguay", "CX1AA"}, {"CW5X", "Uruguay", "CW5X"},
      {"PY2XX", "Brasil", "PY2XX"},  {"PP1A", "Brasil", "PP1A"},
      {"PU2A", "Brasil", "PU2A"},    {"3G1A", "Chile", "3G1A"},
      {"CB3A", "Chile", "CB3A"},     {"CA3A", "Chile", "CA3A"},
      {"CE3ABC", "Chile", "CE3ABC"}, {"ZP5AA", "Paraguay", "ZP5AA"},
      {"OA4B", "Perú", "OA4B"},      {"LU1HAB", "Córdoba", "HAB"},
      {"LU1ABC/W", "Chubut", "W"},   {"AY1ZZ", "Antártida", "ZZ"},
      {"AZ1ABC", "Capital", "ABC"},  {"EA1MAB", "Mendoza", "MAB"},  // a foreign call is read the same way
      {"W1AW", "Chubut", "W"},       {"LU1ABC/MM", "", "MM"},
      {"CX", "Uruguay", "CX"},       {"", "", ""},
  };
  for (const auto& c : cases) {
    QString call = QString::fromLatin1(c.call);
    EXPECT_EQ(LookupRegionalCountryOrProvince(call), QString::fromUtf8(c.result)) << c.call;
    EXPECT_EQ(call, QString::fromLatin1(c.after)) << c.call;
  }
}

TEST(ShippedPrefixFile, ArgentineAndForeignCalls) {
  ASSERT_TRUE(LoadPrefixTable(test::sourceFile("data/dxcc.txt")));
  PrefixTable& table = prefixTable();
  // Every line lies within the searched entries, so no prefix is out of reach.
  EXPECT_GT(table.lineCount(), 0);
  EXPECT_LE(table.lineCount(), PrefixTable::kLastSearched + 1);

  // An Argentine call's prefix names Argentina, so the lookup answers its province.
  const struct {
    const char* call;
    const char* province;
  } argentine[] = {
      {"LU1ABC", "Capital"},   {"LW2DX", "Buenos Aires"}, {"AY7FAB", "Santa Fe"}, {"AZ1HAB", "Córdoba"},
      {"L21ZAB", "Antártida"}, {"L2/H", "Córdoba"},       {"LO7WX", "Chubut"},    {"LU1ZA", "Antártida"},
      {"AY1ZX", "Antártida"},  {"LU8ABC/MM", ""},
  };
  for (const auto& c : argentine) {
    QString call = QString::fromLatin1(c.call);
    EXPECT_EQ(LookupCountryOrProvince(call), QString::fromUtf8(c.province)) << c.call;
    ASSERT_GE(table.find(call), 0) << c.call;
    EXPECT_EQ(table.country(table.find(call)), QStringLiteral("Argentina")) << c.call;
  }
  for (const char* prefix : {"AY", "AZ", "L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8",
                             "L9", "LO", "LP", "LQ", "LR", "LS", "LT", "LU", "LV", "LW"}) {
    const int i = table.find(QString::fromLatin1(prefix));
    ASSERT_GE(i, 0) << prefix;
    EXPECT_EQ(table.country(i), QStringLiteral("Argentina")) << prefix;
  }

  const struct {
    const char* call;
    const char* country;
  } foreign[] = {
      {"EA1ABC", "España"},        {"W1AW", "Estados Unidos"}, {"K9XYZ", "Estados Unidos"},
      {"EA8ZZ", "Islas Canarias"}, {"PY2AA", "Brasil"},        {"CX1AA", "Uruguay"},
      {"VP8LP", "Islas Malvinas"}, {"DL1ABC", "Alemania"},     {"JA1XYZ", "Japón"},
  };
  for (const auto& c : foreign) {
    QString call = QString::fromLatin1(c.call);
    EXPECT_EQ(LookupCountryOrProvince(call), QString::fromUtf8(c.country)) << c.call;
  }
  prefixTable().clear();
}
