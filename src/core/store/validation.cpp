#include "store/validation.h"

#include <QDate>
#include <algorithm>
#include <cmath>

#include "platform/textutil.h"

namespace vz {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool digitsAt(const QString& text, std::initializer_list<int> positions) {
  for (int p : positions)
    if (p >= text.size() || !isDigit(text[p])) return false;
  return true;
}

// The number a single character reads as (a digit its value, anything else 0).
double numberOf(QChar c) { return vbVal(QString(c)); }

// The check Enter makes on a report; it reads the first and last characters only.
bool reportPassesEnterCheck(const QString& report, int length) {
  if (report.size() != length) return false;
  const double first = numberOf(report.front());
  return first >= 1 && first <= 5 && numberOf(report.back()) >= 1;
}

EntryCheck failure(const char16_t* message, MsgIcon icon, EntryField focus) {
  return {QString::fromUtf16(message), icon, focus};
}

}  // namespace

const QStringList& bandLabels() {
  static const QStringList labels = {"160m", "80m", "60m", "40m", "30m",   "20m",  "17m", "15m",
                                     "12m",  "10m", "6m",  "2m",  "1.25m", "70cm", "23cm"};
  return labels;
}

bool IsInvalidTime(const QString& text) {
  if (text.size() != 5 || text[2] != u':') return true;
  // Signs, blanks and letters would read as numbers in range; only digits make a time.
  if (!digitsAt(text, {0, 1, 3, 4})) return true;
  if (vbVal(text.left(2)) > 23) return true;
  return vbVal(text.mid(3, 2)) > 59;
}

bool IsInvalidDate(const QString& text) {
  if (text.size() != 10 || text[2] != u'/' || text[5] != u'/') return true;
  if (!digitsAt(text, {0, 1, 3, 4, 6, 7, 8, 9})) return true;
  const int day = text.left(2).toInt();
  const int month = text.mid(3, 2).toInt();
  if (day > 31 || month > 12) return true;
  return !QDate(text.mid(6, 4).toInt(), month, day).isValid();
}

int expectedReportLength(const QString& mode) { return mode == u"CW" || mode == u"Sat CW" ? 3 : 2; }

bool IsInvalidEntryReport(const QString& report, const QString& mode) {
  const int length = expectedReportLength(mode);
  if (report.size() != length) return true;
  if (length == 2) {
    const double first = numberOf(report[0]);
    if (first < 1 || first > 5) return true;
  } else {
    const double middle = numberOf(report[1]);
    if (middle < 1 || middle > 9) return true;
  }
  return numberOf(report.back()) < 1;
}

bool IsInvalidEditReport(const QString&) { return false; }

EntryCheck ValidateLogEntry(const LogEntryValues& entry) {
  if (entry.call.isEmpty()) return failure(u"Falta el Corresponsal!", MsgIcon::Exclamation, EntryField::Call);
  const int length = expectedReportLength(entry.mode);
  if (!reportPassesEnterCheck(entry.receivedReport, length))
    return failure(u"Reporte Recibido no válido!", MsgIcon::Exclamation, EntryField::ReceivedReport);
  if (!reportPassesEnterCheck(entry.sentReport, length))
    return failure(u"Reporte Enviado no válido!", MsgIcon::Exclamation, EntryField::SentReport);
  return {};
}

EntryCheck CheckLogEntryOnEnter(const LogEntryValues& entry) {
  EntryCheck check = ValidateLogEntry(entry);
  if (!check.passed()) return check;
  if (entry.satelliteMode && entry.satellite.isEmpty())
    return failure(u"Elija un satélite!", MsgIcon::Exclamation, EntryField::Satellite);
  if (entry.call == entry.stationCall)
    return failure(u"QSO con la propia estación???", MsgIcon::Critical, EntryField::Call);
  if (entry.call == entry.operatorCall)
    return failure(u"QSO con el Operador???", MsgIcon::Critical, EntryField::Call);
  return {};
}

QString BandForMhz(double mhz) {
  if (mhz != std::floor(mhz)) return {};
  const int m = int(std::clamp(mhz, -1.0, 100000.0));
  switch (m) {
    case 1: return QStringLiteral("160m");
    case 3: return QStringLiteral("80m");
    case 5: return QStringLiteral("60m");
    case 7: return QStringLiteral("40m");
    case 10: return QStringLiteral("30m");
    case 14: return QStringLiteral("20m");
    case 18: return QStringLiteral("17m");
    case 21: return QStringLiteral("15m");
    case 24: return QStringLiteral("12m");
    case 28:
    case 29: return QStringLiteral("10m");
    case 1267: return QStringLiteral("23cm");
    default: break;
  }
  if (m >= 50 && m <= 54) return QStringLiteral("6m");
  if (m >= 144 && m <= 147) return QStringLiteral("2m");
  if (m >= 220 && m <= 224) return QStringLiteral("1.25m");
  if (m >= 430 && m <= 443) return QStringLiteral("70cm");
  return {};
}

BandChoice BandFromSelectors(const QString& mhzText, const QString& khzText) {
  BandChoice choice{BandForMhz(vbVal(mhzText)), {}};
  const double k = vbVal(khzText);
  const bool outside = (choice.band == u"80m" && k < 500) || (choice.band == u"30m" && k > 250) ||
                       (choice.band == u"12m" && k < 890);
  if (outside) choice.warning = mhzText + u'.' + khzText + QStringLiteral(" KHz\r\n\r\nFuera de banda!");
  return choice;
}

QString BandFromFrequency(const QString& frequency) {
  static const struct {
    double from, to;
    const char* band;
  } ranges[] = {
      {1, 2, "160m"},  {3, 4, "80m"},    {5, 6, "60m"},      {7, 8, "40m"},   {10, 11, "30m"},
      {14, 15, "20m"}, {18, 19, "17m"},  {21, 22, "15m"},    {24, 25, "12m"}, {28, 30, "10m"},
      {50, 55, "6m"},  {144, 148, "2m"}, {430, 440, "70cm"},
  };
  const double f = vbVal(frequency);
  for (const auto& r : ranges)
    if (f >= r.from && f <= r.to) return QString::fromLatin1(r.band);
  return {};
}

QString DefaultFrequencyForBand(const QString& band) {
  static const struct {
    double band;
    const char* frequency;
  } defaults[] = {
      {160, "1.820"}, {80, "3.600"},  {60, "5.100"},   {40, "7.100"},  {30, "10.100"},
      {20, "14.100"}, {17, "18.100"}, {15, "21.100"},  {12, "24.900"}, {10, "28.500"},
      {6, "52.000"},  {2, "145.000"}, {70, "435.100"},
  };
  const double b = vbVal(band);
  for (const auto& d : defaults)
    if (b == d.band) return QString::fromLatin1(d.frequency);
  return {};
}

}  // namespace vz
