#include "platform/textutil.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vz {

namespace {
bool skippable(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
}  // namespace

double vbVal(const QString& text) {
  // Gather the characters that matter, skipping blanks as Val does.
  QString s;
  s.reserve(text.size());
  for (QChar c : text)
    if (!skippable(c)) s += c;

  if (s.size() >= 2 && s[0] == u'&') {
    const QChar kind = s[1].toUpper();
    int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    if (base == 0) return 0;
    long long v = 0;
    for (qsizetype i = 2; i < s.size(); ++i) {
      const char16_t c = s[i].toUpper().unicode();
      const int d = (c >= u'0' && c <= u'9') ? c - u'0' : (c >= u'A' && c <= u'F') ? c - u'A' + 10 : 99;
      if (d >= base) break;
      v = v * base + d;
      if (v > 0xFFFFFFFFLL) break;
    }
    return double(v);
  }

  qsizetype i = 0;
  QString num;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) num += s[i++];
  bool digits = false, dot = false;
  while (i < s.size()) {
    const QChar c = s[i];
    if (c.isDigit() && c.unicode() < 128) {
      num += c;
      digits = true;
    } else if (c == u'.' && !dot) {
      num += c;
      dot = true;
    } else {
      break;
    }
    ++i;
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
    QString exp = QStringLiteral("e");
    qsizetype j = i + 1;
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp += s[j++];
    bool expDigits = false;
    while (j < s.size() && s[j].isDigit() && s[j].unicode() < 128) {
      exp += s[j++];
      expDigits = true;
    }
    if (expDigits) num += exp;
  }
  bool ok = false;
  const double v = num.toDouble(&ok);
  return ok && std::isfinite(v) ? v : 0;
}

long long vbValInt(const QString& text) {
  const double v = vbVal(text);
  if (v >= 9.2e18) return std::numeric_limits<long long>::max();
  if (v <= -9.2e18) return std::numeric_limits<long long>::min();
  return static_cast<long long>(std::nearbyint(v));  // round half to even by default
}

QString trimLeftBlanks(const QString& text) {
  qsizetype b = 0;
  while (b < text.size() && text[b] == u' ') ++b;
  return text.mid(b);
}

QString trimRightBlanks(const QString& text) {
  qsizetype e = text.size();
  while (e > 0 && text[e - 1] == u' ') --e;
  return text.left(e);
}

QString trimBlanks(const QString& text) { return trimLeftBlanks(trimRightBlanks(text)); }

QString wholeCharactersWithin(const QString& text, qsizetype units) {
  if (units <= 0) return {};
  if (text.size() <= units) return text;
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
  graphemes.setPosition(units);
  if (!graphemes.isAtBoundary()) graphemes.toPreviousBoundary();
  return text.left(std::max<qsizetype>(graphemes.position(), 0));
}

QString withoutLoneSurrogates(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      kept += c;
      kept += text[++i];
    } else if (!c.isSurrogate()) {
      kept += c;
    }
  }
  return kept;
}

namespace {

// The digit at a position of a text, or -1.
int digitAt(const QString& s, qsizetype i) {
  const char16_t c = s[i].unicode();
  return c >= u'0' && c <= u'9' ? c - u'0' : -1;
}

// A number of exactly n digits at a position, or -1.
int digitsAt(const QString& s, qsizetype at, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) {
    const int d = digitAt(s, at + i);
    if (d < 0) return -1;
    v = v * 10 + d;
  }
  return v;
}

void appendTwoDigits(QString& out, int v) {
  out += QChar(u'0' + v / 10);
  out += QChar(u'0' + v % 10);
}

}  // namespace

// Dates and times are formatted for every row a list or a file shows: written out
// by hand, the format string is not read again each time.
QString formatDate(const QDate& d) {
  if (!d.isValid() || d.year() < 1000 || d.year() > 9999) return d.toString(QStringLiteral("dd/MM/yyyy"));
  QString out;
  out.reserve(10);
  appendTwoDigits(out, d.day());
  out += u'/';
  appendTwoDigits(out, d.month());
  out += u'/';
  appendTwoDigits(out, d.year() / 100);
  appendTwoDigits(out, d.year() % 100);
  return out;
}

QString formatTime(const QTime& t) {
  if (!t.isValid()) return t.toString(QStringLiteral("HH:mm"));
  QString out;
  out.reserve(5);
  appendTwoDigits(out, t.hour());
  out += u':';
  appendTwoDigits(out, t.minute());
  return out;
}
QString formatTimeSeconds(const QTime& t) { return t.toString(QStringLiteral("HH:mm:ss")); }

bool storedDateParts(const QString& text, int* year, int* month, int* day) {
  if (text.size() != 10 || text[2] != u'/' || text[5] != u'/') return false;
  const int d = digitsAt(text, 0, 2), m = digitsAt(text, 3, 2), y = digitsAt(text, 6, 4);
  if (d < 0 || m < 0 || y < 1000 || !QDate::isValid(y, m, d)) return false;
  *year = y;
  *month = m;
  *day = d;
  return true;
}

QDate parseDayFirstDate(const QString& text) {
  // The form every writer stores, read without splitting the text.
  if (text.size() == 10 && text[2] == u'/' && text[5] == u'/') {
    const int d = digitsAt(text, 0, 2), m = digitsAt(text, 3, 2), y = digitsAt(text, 6, 4);
    if (d >= 0 && m >= 0 && y >= 0) return QDate(y, m, d);
  }
  QString s = text.trimmed();
  s.replace(u'-', u'/').replace(u'.', u'/');
  const QStringList p = s.split(u'/');
  if (p.size() != 3) return {};
  bool okD = false, okM = false, okY = false;
  const int d = p[0].toInt(&okD), m = p[1].toInt(&okM);
  int y = p[2].toInt(&okY);
  if (!okD || !okM || !okY || p[2].isEmpty()) return {};
  if (p[2].size() <= 2) y += y < 30 ? 2000 : 1900;
  return QDate(y, m, d);  // invalid parts give a null date
}

QTime parseTime(const QString& text) {
  // "hh:mm" and "hh:mm:ss", as the writers store them, read without splitting.
  if ((text.size() == 5 || (text.size() == 8 && text[5] == u':')) && text[2] == u':') {
    const int h = digitsAt(text, 0, 2), m = digitsAt(text, 3, 2), sec = text.size() == 8 ? digitsAt(text, 6, 2) : 0;
    if (h >= 0 && m >= 0 && sec >= 0) return QTime(h, m, sec);
  }
  const QStringList p = text.trimmed().split(u':');
  if (p.size() < 2 || p.size() > 3) return {};
  bool okH = false, okM = false, okS = true;
  const int h = p[0].toInt(&okH), m = p[1].toInt(&okM);
  const int sec = p.size() == 3 ? p[2].toInt(&okS) : 0;
  if (!okH || !okM || !okS) return {};
  return QTime(h, m, sec);
}

QString oneLine(const QString& text, int* position) {
  if (!breaksLine(text)) return text;
  QString out;
  out.reserve(text.size());
  const int pos = position ? *position : 0;
  int newPos = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    const bool crlf = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
    out += c == u'\r' || c == u'\n' || c == u'\t' ? QChar(u' ') : c;
    if (i < pos) ++newPos;
    if (crlf) ++i;  // the pair is one break, one blank
  }
  if (position) *position = newPos;
  return out;
}

bool breaksLine(const QString& text) {
  for (const QChar c : text)
    if (c == u'\r' || c == u'\n' || c == u'\t') return true;
  return false;
}

}  // namespace vz
