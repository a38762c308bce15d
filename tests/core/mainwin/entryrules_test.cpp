// The entry strip's rules without the window: key filters, completions, leave
// checks, local time to UTC and the Enter walk.
#include <gtest/gtest.h>

#include <cstdio>

#include "mainwin/entryrules.h"

using namespace vz;

namespace {

struct KeyCase {
  EntryBox box;
  char16_t typed;
  char16_t kept;  // 0: dropped
};

class EntryKeyFilter : public ::testing::TestWithParam<KeyCase> {};

TEST_P(EntryKeyFilter, KeepsUpperCasesOrDrops) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(FilterEntryKey(c.box, c.typed), int(c.kept))
      << "box " << int(c.box) << " typed U+" << std::hex << int(c.typed);
}

using B = EntryBox;
INSTANTIATE_TEST_SUITE_P(
    Boxes, EntryKeyFilter,
    ::testing::Values(
        // The call: letters (upper-cased), digits, "/", "?", Backspace.
        KeyCase{B::Corresponsal, u'a', u'A'}, KeyCase{B::Corresponsal, u'Z', u'Z'},
        KeyCase{B::Corresponsal, u'7', u'7'}, KeyCase{B::Corresponsal, u'/', u'/'},
        KeyCase{B::Corresponsal, u'?', u'?'}, KeyCase{B::Corresponsal, 8, 8},
        KeyCase{B::Corresponsal, u'ñ', 0}, KeyCase{B::Corresponsal, u'Ñ', 0}, KeyCase{B::Corresponsal, u'é', 0},
        KeyCase{B::Corresponsal, u'-', 0}, KeyCase{B::Corresponsal, u' ', 0}, KeyCase{B::Corresponsal, u':', 0},
        KeyCase{B::Corresponsal, 13, 0}, KeyCase{B::Corresponsal, 27, 0}, KeyCase{B::Corresponsal, 22, 0},
        // The worked grid: no "/".
        KeyCase{B::Text2, u'f', u'F'}, KeyCase{B::Text2, u'0', u'0'}, KeyCase{B::Text2, u'?', u'?'},
        KeyCase{B::Text2, u'/', 0}, KeyCase{B::Text2, 8, 8}, KeyCase{B::Text2, u'ü', 0},
        // The date: digits, "/", "?"; no letters, no "-".
        KeyCase{B::Fecha, u'3', u'3'}, KeyCase{B::Fecha, u'/', u'/'}, KeyCase{B::Fecha, u'?', u'?'},
        KeyCase{B::Fecha, u'-', 0}, KeyCase{B::Fecha, u'a', 0}, KeyCase{B::Fecha, u':', 0},
        KeyCase{B::Fecha, 8, 8},
        // The time: digits, ":", "?".
        KeyCase{B::Hora, u'9', u'9'}, KeyCase{B::Hora, u':', u':'}, KeyCase{B::Hora, u'/', 0},
        KeyCase{B::Hora, u'.', 0}, KeyCase{B::Hora, 8, 8},
        // The kHz: digits and "?".
        KeyCase{B::Text1, u'5', u'5'}, KeyCase{B::Text1, u'?', u'?'}, KeyCase{B::Text1, u'.', 0},
        KeyCase{B::Text1, u'k', 0}, KeyCase{B::Text1, 8, 8},
        // Reports and remarks take every key as typed.
        KeyCase{B::RSE, u'x', u'x'}, KeyCase{B::RSR, u'-', u'-'}, KeyCase{B::Obs, u'ñ', u'ñ'},
        KeyCase{B::Obs, 22, 22}),
    [](const ::testing::TestParamInfo<KeyCase>& info) {
      char name[32];
      std::snprintf(name, sizeof name, "box%d_U%04X", int(info.param.box), unsigned(info.param.typed));
      return std::string(name);
    });

TEST(EntryKeyFilter, PastedTextGoesThroughTheSameFilter) {
  const struct {
    EntryBox box;
    const char16_t* pasted;
    const char16_t* kept;
  } rows[] = {
      {B::Corresponsal, u"lu1-abc/p", u"LU1ABC/P"},
      {B::Corresponsal, u" ea8xyz\r\n", u"EA8XYZ"},
      {B::Corresponsal, u"Ñandú 2", u"AND2"},
      {B::Text2, u"gf05/ta", u"GF05TA"},
      {B::Fecha, u"12-05-2024", u"12052024"},
      {B::Fecha, u"12/05/2024", u"12/05/2024"},
      {B::Hora, u"21:30 UTC", u"21:30"},
      {B::Text1, u"7.150", u"7150"},
      {B::Obs, u"Buena señal, 73!", u"Buena señal, 73!"},
  };
  for (const auto& r : rows)
    EXPECT_EQ(FilterEntryText(r.box, QString::fromUtf16(r.pasted)), QString::fromUtf16(r.kept))
        << QString::fromUtf16(r.pasted).toStdString();
}

TEST(EntryLeaveChecks, CallNeedsALetterAndADigit) {
  const struct {
    const char* call;
    bool accepted;
  } rows[] = {{"LU1ABC", true}, {"1A", true},   {"LUABC", false}, {"1234", false},
              {"/?/", false},   {"?1", false},  {"A/1", true},    {"", false}};
  for (const auto& r : rows) EXPECT_EQ(LooksLikeCallSign(r.call), r.accepted) << r.call;
  EXPECT_EQ(NotACallSignMessage("LUABC"), QString("LUABC NO Parece ser una Señal distintiva Válida!"));
}

TEST(EntryLeaveChecks, GridShapeWhileTypingAndOnLeaving) {
  const struct {
    const char* grid;
    bool lastFits;
  } typing[] = {{"", true},      {"G", true},      {"5", false},     {"GF", true},   {"G5", false},
                {"GF0", true},   {"GFA", false},   {"GF05", true},   {"GF0X", false}, {"GF05T", true},
                {"GF051", false}, {"GF05TA", true}, {"GF05Ta", false}, {"gF", true}, {"GF05t", false}};
  for (const auto& r : typing) EXPECT_EQ(GridLastCharacterFits(r.grid), r.lastFits) << r.grid;
  for (int n = 0; n <= 6; ++n)
    EXPECT_EQ(IsAcceptedGridLength(QString(n, u'A')), n == 0 || n == 4 || n == 6) << n;
}

TEST(EntryLeaveChecks, KhzIsCompletedAsDigitsAfterThePoint) {
  const struct {
    const char* typed;
    const char* completed;
  } rows[] = {{"", "000"}, {"5", "500"}, {"65", "650"}, {"650", "650"}, {"?", "?00"}, {"05", "050"}};
  for (const auto& r : rows) EXPECT_EQ(CompleteKhz(r.typed), QString(r.completed)) << r.typed;
}

TEST(EntryLeaveChecks, DateCompletedThenChecked) {
  const QString format = QStringLiteral(" no es válida!\r\n\r\nFormato: dd/mm/aaaa");
  const struct {
    const char* typed;
    const char* text;
    bool refused;
  } rows[] = {
      {"12/05/2024", "12/05/2024", false},
      {"12/05/", "12/05/2000", false},     // no year typed
      {"12/05/0000", "12/05/2000", false}, // a year of zeros
      {"29/02/2024", "29/02/2024", false},
      {"29/02/2023", "29/02/2023", true},
      {"31/04/2024", "31/04/2024", true},
      {"00/05/2024", "00/05/2024", true},
      {"12/13/2024", "12/13/2024", true},
      {"1/05/2024", "1/05/2024", true},
      {"12-05-2024", "12/05/2024", true},  // checked before the "-" are turned
      {"?" "?/05/2024", "?" "?/05/2024", true},  // split so "?" "?/" is no trigraph
  };
  for (const auto& r : rows) {
    const LeaveCheck c = CheckEntryDate(r.typed);
    EXPECT_EQ(c.text, QString(r.text)) << r.typed;
    EXPECT_EQ(c.refused(), r.refused) << r.typed;
    if (r.refused) {
      EXPECT_EQ(c.message, QStringLiteral("la Fecha ") + r.text + format);
    }
  }
  const LeaveCheck empty = CheckEntryDate("");
  EXPECT_EQ(empty.message, QStringLiteral("la Fecha ") + format);
}

TEST(EntryLeaveChecks, TimeWrittenAsHoursAndMinutesThenChecked) {
  const struct {
    const char* typed;
    const char* text;
    bool refused;
  } rows[] = {
      {"21:30", "21:30", false}, {"9:5", "09:05", false}, {"12:3", "12:03", false}, {"0:0", "00:00", false},
      {"23:59", "23:59", false}, {"24:00", "24:00", true}, {"12:60", "12:60", true}, {"930", "930", true},
      {"2130", "2130", true},    {"", "", true},           {"?:30", "?:30", true},   {"12:?5", "12:?5", true},
  };
  for (const auto& r : rows) {
    const LeaveCheck c = CheckEntryTime(r.typed);
    EXPECT_EQ(c.text, QString(r.text)) << r.typed;
    EXPECT_EQ(c.refused(), r.refused) << r.typed;
    if (r.refused) {
      EXPECT_EQ(c.message, QStringLiteral("la Hora ") + r.text + QStringLiteral(" no es válida!\r\n\r\nFormato: hh:mm"));
    }
  }
  EXPECT_EQ(ReportRefusedMessage("69"), QString("el Reporte 69 no es válido!"));
}

TEST(EntryTime, OffsetIsTakenToWholeHours) {
  const struct {
    const char* text;
    int hours;
  } rows[] = {{"-3", -3}, {"0", 0}, {"", 0}, {"abc", 0}, {"5", 5}, {"-3.4", -3}, {"2.6", 3}, {" -10", -10}};
  for (const auto& r : rows) EXPECT_EQ(UtcOffsetHours(r.text), r.hours) << r.text;
}

TEST(EntryTime, ClockShiftCrossesMidnightAndTheYear) {
  const auto at = [](int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
  };
  const struct {
    QDateTime local;
    int shift;
    const char* date;
    const char* time;
  } rows[] = {
      {at(2023, 12, 31, 22, 30), -3, "01/01/2024", "01:30"},
      {at(2023, 12, 31, 21, 59, 58), -3, "01/01/2024", "00:59"},  // seconds dropped
      {at(2024, 5, 12, 9, 5, 59), 0, "12/05/2024", "09:05"},
      {at(2024, 1, 1, 1, 0), 2, "31/12/2023", "23:00"},
      {at(2024, 2, 28, 23, 0), -3, "29/02/2024", "02:00"},
  };
  for (const auto& r : rows) {
    const EntryClock c = EntryClockText(r.local, r.shift);
    EXPECT_EQ(c.date, QString(r.date)) << r.local.toString().toStdString();
    EXPECT_EQ(c.time, QString(r.time)) << r.local.toString().toStdString();
  }
}

TEST(EntryTime, SavedTimeIsShiftedAndHasZeroSeconds) {
  const struct {
    const char* date;
    const char* time;
    int shift;
    bool ok;
    const char* storedDate;
    const char* storedTime;
  } rows[] = {
      {"31/12/2023", "22:30", -3, true, "01/01/2024", "01:30:00"},  // local shown as "LU"
      {"31/12/2023", "22:30", 0, true, "31/12/2023", "22:30:00"},   // UTC, or manual time off
      {"28/02/2023", "23:15", -3, true, "01/03/2023", "02:15:00"},
      {"01/01/2024", "00:10", 3, true, "31/12/2023", "21:10:00"},
      {"", "22:30", 0, false, "", ""},
      {"31/12/2023", "", 0, false, "", ""},
      {"31/02/2023", "10:00", 0, false, "", ""},
      {"31/12/2023", "9:30", 0, false, "", ""},
      {"31/12/2023", "ab:cd", 0, false, "", ""},
  };
  for (const auto& r : rows) {
    const StoredQsoTime t = QsoTimeForSave(r.date, r.time, r.shift);
    EXPECT_EQ(t.ok, r.ok) << r.date << " " << r.time;
    if (!r.ok) continue;
    EXPECT_EQ(t.date, QString(r.storedDate)) << r.date << " " << r.time;
    EXPECT_EQ(t.time, QString(r.storedTime)) << r.date << " " << r.time;
  }
}

TEST(EnterWalk, NextBoxByLastFocusedBoxManualTimeAndSatelliteMode) {
  using S = EnterStep;
  const struct {
    int field;
    bool manual;
    bool satellite;
    EnterStep next;
  } rows[] = {
      {1, false, false, S::RSE},   {1, true, false, S::Fecha},  {1, false, true, S::RSE},  {1, true, true, S::Fecha},
      {2, false, false, S::Hora},  {2, true, true, S::Hora},    {3, false, false, S::RSE}, {3, true, true, S::RSE},
      {4, false, false, S::RSR},   {4, true, true, S::RSR},     {5, false, false, S::Text1}, {5, true, false, S::Text1},
      {5, false, true, S::Text2},  {5, true, true, S::Text2},   {6, false, false, S::Text2}, {6, false, true, S::Text2},
      {7, false, false, S::Obs},   {7, true, true, S::Obs},     {8, false, false, S::Save},  {8, true, true, S::Save},
      {0, false, false, S::Save},  {9, false, false, S::Save},  {-1, true, true, S::Save},
  };
  for (const auto& r : rows)
    EXPECT_EQ(NextOnEnter(r.field, r.manual, r.satellite), r.next)
        << "field " << r.field << " manual " << r.manual << " satellite " << r.satellite;
}

}  // namespace
