#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/cp1252.h"
#include "platform/textfile.h"
#include "platform/textutil.h"
#include "support/filesizecap.h"
#include "support/tempfolder.h"

using namespace vz;

TEST(Cp1252, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all += char(b);
  EXPECT_EQ(encodeCp1252(decodeCp1252(all)), all);
}

TEST(Cp1252, MapsTheHighRangeAndLatin1) {
  EXPECT_EQ(decodeCp1252("\x80\x93\x94\xE9\xD1"), QString::fromUtf8("€“”éÑ"));
  EXPECT_EQ(encodeCp1252(QString::fromUtf8("Ñandú €")), QByteArray("\xD1" "and\xFA \x80"));
  EXPECT_EQ(encodeCp1252(QString::fromUtf8("Ω")), QByteArray("?"));
  EXPECT_TRUE(fitsCp1252(QString::fromUtf8("Ñandú € ¿? ž")));
  EXPECT_TRUE(fitsCp1252(QString()));
  for (const char* lost : {"Ł", "Ω", "ź", "😀", "clave\u200bx"})
    EXPECT_FALSE(fitsCp1252(QString::fromUtf8(lost))) << lost;
}

TEST(TextLines, LineRule) {
  struct Case {
    QString text;
    QStringList lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb\r\n", {"a", "b"}},  // a lone LF ends a line, as a Linux editor saves
      {"a\nb", {"a", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\r\rb\r", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitTextLines(c.text), c.lines) << c.text.toStdString();
}

TEST(TextLines, WriteThenReadInWindows1252) {
  test::TempFolder folder(false);
  const QString path = folder.file("x.txt");
  ASSERT_TRUE(writeTextLines(path, {QString::fromUtf8("Córdoba"), "", "fin"}));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("C\xF3rdoba\r\n\r\nfin\r\n"));
  QStringList lines;
  ASSERT_TRUE(readTextLines(path, &lines));
  EXPECT_EQ(lines, (QStringList{QString::fromUtf8("Córdoba"), "", "fin"}));
  EXPECT_FALSE(readTextLines(folder.file("missing.txt"), &lines));
  EXPECT_TRUE(lines.isEmpty());
}

namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

// A write cut off half-way (here by the size cap) must leave the old file whole and
// be reported; it must not leave a short file or temporary files behind.
TEST(TextLines, AWriteCutShortLeavesTheOldFile) {
  test::TempFolder folder(false);
  const QString path = folder.file("config.ini");
  ASSERT_TRUE(writeTextLines(path, {"LU1ABC", "Diario"}));
  const QByteArray old = bytesOf(path);
  QStringList many;
  for (int i = 0; i < 200; ++i) many << QStringLiteral("linea %1").arg(i);
  QString error;
  {
    test::FileSizeCap cap(64);
    EXPECT_FALSE(writeTextLines(path, many, &error));
    EXPECT_FALSE(appendTextLine(path, QString(100, u'x'), &error));
  }
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(error.contains("Unknown")) << error.toStdString();
  EXPECT_EQ(bytesOf(path), old);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"config.ini"});

  // Appending keeps what was there and adds a whole line.
  ASSERT_TRUE(appendTextLine(path, "fin"));
  EXPECT_EQ(bytesOf(path), old + "fin\r\n");
  ASSERT_TRUE(appendTextLine(folder.file("nuevo.txt"), "uno"));
  EXPECT_EQ(bytesOf(folder.file("nuevo.txt")), QByteArray("uno\r\n"));
}

TEST(TextLines, NumberLinesAndLfOnlyFiles) {
  EXPECT_EQ(numberLine(1), " 1 ");
  EXPECT_EQ(numberLine(0), " 0 ");
  EXPECT_EQ(numberLine(-1), "-1 ");
  EXPECT_EQ(numberLine(650), " 650 ");
  EXPECT_EQ(normaliseLineEndings("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
}

// A value bound for one line of a file or one column of a row.
TEST(TextUtil, OneLineTurnsEachBreakAndTabIntoOneBlank) {
  struct Case {
    const char* text;
    int pos;
    const char* line;
    int linePos;
  } cases[] = {
      {"qrzuser\r\nLogenUso=HACK\r\nEstacion=EVIL1", 0, "qrzuser LogenUso=HACK Estacion=EVIL1", 0},
      {"a\nb\rc\td", 7, "a b c d", 7},
      {"a\r\nb", 4, "a b", 3},  // CR LF is one break: the cursor after it moves back one
      {"a\r\nb", 1, "a b", 1},
      {"\r\n\r\n", 4, "  ", 2},
      {"sin saltos", 3, "sin saltos", 3},
      {"", 0, "", 0},
  };
  for (const Case& c : cases) {
    int pos = c.pos;
    EXPECT_EQ(oneLine(QString::fromUtf8(c.text), &pos), QString::fromUtf8(c.line)) << c.text;
    EXPECT_EQ(pos, c.linePos) << c.text;
    EXPECT_EQ(breaksLine(QString::fromUtf8(c.text)), QByteArray(c.text) != QByteArray(c.line)) << c.text;
  }
}

// A limit keeps whole characters as the operator sees them: never half of a
// surrogate pair, a letter without its accent, or half a flag.
TEST(TextUtil, ALimitKeepsWholeCharacters) {
  const struct {
    const char* text;
    qsizetype units;
    const char* kept;
  } cases[] = {
      {"abc", 5, "abc"},
      {"abc", 2, "ab"},
      {"abc", 0, ""},
      {"ab\xF0\x9F\x93\xBB", 3, "ab"},                       // an emoji takes two units
      {"ab\xF0\x9F\x93\xBB", 4, "ab\xF0\x9F\x93\xBB"},
      {"ae\xCC\x81", 2, "a"},                                 // e and its accent apart
      {"\xF0\x9F\x87\xA6\xF0\x9F\x87\xB7x", 3, ""},           // a flag is two letters of four units
      {"\xF0\x9F\x87\xA6\xF0\x9F\x87\xB7x", 4, "\xF0\x9F\x87\xA6\xF0\x9F\x87\xB7"},
      {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", 2, ""},            // a thumb and its skin tone
  };
  for (const auto& c : cases)
    EXPECT_EQ(wholeCharactersWithin(QString::fromUtf8(c.text), c.units), QString::fromUtf8(c.kept))
        << c.text << " " << c.units;
}

TEST(TextUtil, LoneSurrogateHalvesAreTakenOut) {
  const QChar high(char16_t(0xD83D)), low(char16_t(0xDCFB));
  const QString emoji = QString(high) + low;
  EXPECT_EQ(withoutLoneSurrogates(QStringLiteral("ab") + high), QStringLiteral("ab"));
  EXPECT_EQ(withoutLoneSurrogates(QString(low) + QStringLiteral("ab")), QStringLiteral("ab"));
  EXPECT_EQ(withoutLoneSurrogates(QStringLiteral("a") + emoji + high + QStringLiteral("b")),
            QStringLiteral("a") + emoji + QStringLiteral("b"));
  EXPECT_EQ(withoutLoneSurrogates(emoji + emoji), emoji + emoji);
}

TEST(TextUtil, ValReadsLikeTheOriginal) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"", 0},        {" 1 ", 1},     {"-1 ", -1},     {"12abc", 12},   {"1 2", 12},
      {"3.650", 3.65}, {"14,250", 14}, {"abc", 0},      {"-", 0},        {".5", 0.5},
      {"1e3", 1000},  {"1e", 1},      {"&H1F", 31},    {"&O17", 15},    {"\t7", 7},
      {"1.2.3", 1.2}, {"+4", 4},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(vbVal(c.text), c.value) << c.text;
  EXPECT_EQ(vbValInt("2.5"), 2);
  EXPECT_EQ(vbValInt("3.5"), 4);
  EXPECT_EQ(vbValInt("99999999999999999999999"), std::numeric_limits<long long>::max());
}

TEST(TextUtil, TrimsBlanksOnly) {
  EXPECT_EQ(trimBlanks("  a b  "), "a b");
  EXPECT_EQ(trimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(trimLeftBlanks("  a "), "a ");
  EXPECT_EQ(trimRightBlanks("  a "), "  a");
  EXPECT_EQ(trimBlanks("   "), "");
}

TEST(TextUtil, FixedDateAndTimeFormats) {
  EXPECT_EQ(formatDate(QDate(2026, 1, 5)), "05/01/2026");
  EXPECT_EQ(formatTime(QTime(7, 3, 59)), "07:03");
  EXPECT_EQ(formatTimeSeconds(QTime(7, 3, 0)), "07:03:00");
  EXPECT_EQ(parseDayFirstDate("05/01/2026"), QDate(2026, 1, 5));
  EXPECT_EQ(parseDayFirstDate("5-1-26"), QDate(2026, 1, 5));
  EXPECT_EQ(parseDayFirstDate("31/02/2026"), QDate());
  EXPECT_EQ(parseDayFirstDate("hoy"), QDate());
  EXPECT_EQ(parseTime("23:59"), QTime(23, 59));
  EXPECT_EQ(parseTime("23:59:30"), QTime(23, 59, 30));
  EXPECT_EQ(parseTime("24:00"), QTime());
  // The stored forms take a shorter road; it must read them as the long one does.
  EXPECT_EQ(parseDayFirstDate("29/02/2024"), QDate(2024, 2, 29));
  EXPECT_EQ(parseDayFirstDate("29/02/2023"), QDate());
  EXPECT_EQ(parseDayFirstDate("00/01/2024"), QDate());
  EXPECT_EQ(parseDayFirstDate("1a/01/2024"), QDate());
  EXPECT_EQ(parseTime("07:05:09"), QTime(7, 5, 9));
  EXPECT_EQ(parseTime("07:60"), QTime());
  EXPECT_EQ(parseTime("07:5x"), QTime());
  EXPECT_EQ(formatDate(QDate(999, 12, 31)), QDate(999, 12, 31).toString("dd/MM/yyyy"));
  EXPECT_EQ(formatDate(QDate()), QString());
}
