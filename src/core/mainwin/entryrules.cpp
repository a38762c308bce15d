#include "mainwin/entryrules.h"

#include <algorithm>
#include <cstring>

#include "platform/textutil.h"
#include "store/validation.h"

namespace vz {

namespace {

constexpr int kBackspace = 8;

// Which characters each filtered box lets through, besides Backspace.
struct KeyRule {
  EntryBox box;
  bool letters;        // "A" to "Z" (after upper-casing)
  const char* others;  // further characters, as typed
};
constexpr KeyRule kKeyRules[] = {
    {EntryBox::Corresponsal, true, "0123456789/?"},
    {EntryBox::Text2, true, "0123456789?"},
    {EntryBox::Fecha, false, "0123456789/?"},
    {EntryBox::Hora, false, "0123456789:?"},
    {EntryBox::Text1, false, "0123456789?"},
};

const KeyRule* ruleFor(EntryBox box) {
  for (const KeyRule& r : kKeyRules)
    if (r.box == box) return &r;
  return nullptr;
}

bool isLetter(QChar c) { return c >= u'A' && c <= u'Z'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

const QString kCrLf2 = QStringLiteral("\r\n\r\n");

}  // namespace

bool HasEntryKeyFilter(EntryBox box) { return ruleFor(box) != nullptr; }

int FilterEntryKey(EntryBox box, int keyAscii) {
  const KeyRule* rule = ruleFor(box);
  if (!rule) return keyAscii;
  if (keyAscii == kBackspace) return keyAscii;
  if (keyAscii <= 0 || keyAscii > 0xFFFF) return 0;
  const QChar c = QChar(char16_t(keyAscii)).toUpper();
  if (rule->letters && isLetter(c)) return c.unicode();
  if (c.unicode() < 0x80 && std::strchr(rule->others, char(c.unicode()))) return c.unicode();
  return 0;
}

QString FilterEntryText(EntryBox box, const QString& text) {
  QString kept;
  for (QChar c : text) {
    const int f = FilterEntryKey(box, c.unicode());
    if (f != 0 && f != kBackspace) kept += QChar(char16_t(f));
  }
  return kept;
}

bool LooksLikeCallSign(const QString& call) {
  bool letter = false, digit = false;
  for (QChar c : call) {
    letter = letter || isLetter(c);
    digit = digit || isDigit(c);
  }
  return letter && digit;
}

QString NotACallSignMessage(const QString& call) {
  return call + QStringLiteral(" NO Parece ser una Señal distintiva Válida!");
}

bool GridLastCharacterFits(const QString& grid) {
  const qsizetype n = grid.size();
  if (n == 0) return true;
  const QChar last = grid.back();
  if (n == 3 || n == 4) return isDigit(last);
  return isLetter(last);
}

bool IsAcceptedGridLength(const QString& grid) {
  const qsizetype n = grid.size();
  return n == 0 || n == 4 || n == 6;
}

QString CompleteKhz(const QString& khz) {
  if (khz.size() >= 3) return khz;
  return khz + QString(3 - khz.size(), u'0');
}

QString DateRefusedMessage(const QString& date) {
  return QStringLiteral("la Fecha ") + date + QStringLiteral(" no es válida!") + kCrLf2 +
         QStringLiteral("Formato: dd/mm/aaaa");
}

QString TimeRefusedMessage(const QString& time) {
  return QStringLiteral("la Hora ") + time + QStringLiteral(" no es válida!") + kCrLf2 +
         QStringLiteral("Formato: hh:mm");
}

QString ReportRefusedMessage(const QString& report) {
  return QStringLiteral("el Reporte ") + report + QStringLiteral(" no es válido!");
}

LeaveCheck CheckEntryDate(const QString& date) {
  if (date.isEmpty()) return {date, DateRefusedMessage(date)};
  QString text = date;
  if (vbVal(text.mid(6, 4)) == 0) text = text.left(6) + QStringLiteral("2000");
  const bool invalid = IsInvalidDate(text);
  text.replace(u'-', u'/');
  return {text, invalid ? DateRefusedMessage(text) : QString()};
}

LeaveCheck CheckEntryTime(const QString& time) {
  QString text = time;
  const QTime read = parseTime(text);
  if (read.isValid()) text = formatTime(read);
  return {text, IsInvalidTime(text) ? TimeRefusedMessage(text) : QString()};
}

int UtcOffsetHours(const QString& offsetText) {
  const long long h = vbValInt(offsetText);
  // Anything beyond a day either way is no offset a clock can have; keep the
  // arithmetic sane rather than meaningful.
  return int(std::clamp<long long>(h, -48, 48));
}

namespace {
// Plain clock arithmetic: the times are handled as UTC so no daylight-saving rule
// of the machine bends the shift.
QDateTime wallClock(const QDate& d, const QTime& t) { return QDateTime(d, t, Qt::UTC); }
}  // namespace

EntryClock EntryClockText(const QDateTime& local, int shiftHours) {
  const QTime t = local.time();
  const QDateTime shifted = wallClock(local.date(), QTime(t.hour(), t.minute())).addSecs(-qint64(shiftHours) * 3600);
  return {formatDate(shifted.date()), formatTime(shifted.time())};
}

StoredQsoTime QsoTimeForSave(const QString& date, const QString& time, int shiftHours) {
  if (IsInvalidDate(date) || IsInvalidTime(time)) return {};
  const QDate d = QDate::fromString(date, QStringLiteral("dd/MM/yyyy"));
  const QTime t = QTime::fromString(time, QStringLiteral("HH:mm"));
  if (!d.isValid() || !t.isValid()) return {};
  const QDateTime shifted = wallClock(d, t).addSecs(-qint64(shiftHours) * 3600);
  return {true, formatDate(shifted.date()), formatTime(shifted.time()) + QStringLiteral(":00")};
}

EnterStep NextOnEnter(int focusedEntryField, bool manualTime, bool satelliteMode) {
  switch (EntryBox(focusedEntryField)) {
    case EntryBox::Corresponsal: return manualTime ? EnterStep::Fecha : EnterStep::RSE;
    case EntryBox::Fecha: return EnterStep::Hora;
    case EntryBox::Hora: return EnterStep::RSE;
    case EntryBox::RSE: return EnterStep::RSR;
    case EntryBox::RSR: return satelliteMode ? EnterStep::Text2 : EnterStep::Text1;
    case EntryBox::Text1: return EnterStep::Text2;
    case EntryBox::Text2: return EnterStep::Obs;
    default: return EnterStep::Save;
  }
}

}  // namespace vz
