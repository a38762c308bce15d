#include "platform/cp1252.h"

#include <array>

namespace vz {
namespace {

// 0x80..0x9F; the undefined bytes keep their own value (U+0081, U+008D, U+008F, U+0090, U+009D).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QChar cp1252Char(int code) {
  code &= 0xFF;
  if (code >= 0x80 && code <= 0x9F) return QChar(kHigh[code - 0x80]);
  return QChar(char16_t(code));
}

int cp1252Code(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return 0x80 + i;
  return '?';
}

bool fitsCp1252(QChar c) { return c == u'?' || cp1252Code(c) != '?'; }

bool fitsCp1252(const QString& text) {
  for (QChar c : text) {
    const char16_t u = c.unicode();
    // Nearly every character is in the Latin-1 range: no lookup for those.
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) continue;
    if (!fitsCp1252(c)) return false;
  }
  return true;
}

QString decodeCp1252(const QByteArray& bytes) {
  QString out;
  out.resize(bytes.size());
  QChar* d = out.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) d[i] = cp1252Char(static_cast<unsigned char>(bytes[i]));
  return out;
}

void appendCp1252(QByteArray* out, QStringView text) {
  const qsizetype at = out->size();
  out->resize(at + text.size());
  char* d = out->data() + at;
  const QChar* s = text.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = s[i].unicode();
    // Whole files go through here: the common characters take no lookup.
    d[i] = static_cast<char>(u < 0x80 || (u >= 0xA0 && u <= 0xFF) ? u : cp1252Code(s[i]));
  }
}

QByteArray encodeCp1252(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  char* d = out.data();
  const QChar* s = text.constData();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = s[i].unicode();
    d[i] = static_cast<char>(u < 0x80 || (u >= 0xA0 && u <= 0xFF) ? u : cp1252Code(s[i]));
  }
  return out;
}

}  // namespace vz
