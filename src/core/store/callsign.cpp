#include "store/callsign.h"

#include <algorithm>

#include "platform/textfile.h"
#include "platform/textutil.h"

namespace vz {

namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The second character of G and X decides between two provinces; digits count as
// "up to M" because the comparison is by character code.
bool upToM(const QString& text) {
  const QChar second = text.size() >= 2 ? text[1] : QChar(u'A');
  return second.unicode() <= u'M';
}

bool isArgentine(const QString& call) {
  if (call.startsWith(u"AZ") || call.startsWith(u"AY")) return true;
  if (call.size() < 2 || call[0] != u'L') return false;
  const QChar c = call[1];
  return (c >= u'1' && c <= u'9') || (c >= u'O' && c <= u'W');
}

// Where the country lookup reads an Argentine province: after the first "/" (at most
// five characters), otherwise from the fourth character (at most ten).
QString provinceSource(const QString& call) {
  const qsizetype slash = call.indexOf(u'/');
  return slash >= 0 ? call.mid(slash + 1, 5) : call.mid(3, 10);
}

// A maritime or aeronautical mobile station is in no province, whatever its call says.
bool isMobileAtSeaOrAir(const QString& call) {
  const QString upper = call.toUpper();
  return upper.endsWith(u"/MM") || upper.endsWith(u"/MA");
}

QString provinceStep(const QString& call) {
  if (isMobileAtSeaOrAir(call)) return {};
  return ProvinceFromSuffix(provinceSource(call));
}

QString prefixOf(const QString& entry) {
  const qsizetype semi = entry.indexOf(u';');
  return semi >= 0 ? entry.left(semi) : entry;
}

}  // namespace

const QStringList& provinceNames() {
  static const QStringList names = {
      QStringLiteral("Capital"),    QStringLiteral("Buenos Aires"),
      QStringLiteral("Santa Fe"),   QStringLiteral("Chaco"),
      QStringLiteral("Formosa"),    QStringLiteral("Córdoba"),
      QStringLiteral("Misiones"),   QStringLiteral("Entre Ríos"),
      QStringLiteral("Tucumán"),    QStringLiteral("Corrientes"),
      QStringLiteral("Mendoza"),    QStringLiteral("Santiago del Estero"),
      QStringLiteral("Salta"),      QStringLiteral("San Juan"),
      QStringLiteral("San Luis"),   QStringLiteral("Catamarca"),
      QStringLiteral("La Rioja"),   QStringLiteral("Jujuy"),
      QStringLiteral("La Pampa"),   QStringLiteral("Río Negro"),
      QStringLiteral("Chubut"),     QStringLiteral("Tierra del Fuego"),
      QStringLiteral("Santa Cruz"), QStringLiteral("Neuquén"),
      QStringLiteral("Antártida"),
  };
  return names;
}

QString ProvinceFromSuffix(const QString& text) {
  if (text.isEmpty()) return {};
  const QStringList& p = provinceNames();
  switch (text[0].unicode()) {
    case u'A':
    case u'B':
    case u'C': return p[0];
    case u'D':
    case u'E': return p[1];
    case u'F': return p[2];
    case u'G': return upToM(text) ? p[3] : p[4];
    case u'H': return p[5];
    case u'I': return p[6];
    case u'J': return p[7];
    case u'K': return p[8];
    case u'L': return p[9];
    case u'M': return p[10];
    case u'N': return p[11];
    case u'O': return p[12];
    case u'P': return p[13];
    case u'Q': return p[14];
    case u'R': return p[15];
    case u'S': return p[16];
    case u'T': return p[17];
    case u'U': return p[18];
    case u'V': return p[19];
    case u'W': return p[20];
    case u'X': return upToM(text) ? p[21] : p[22];
    case u'Y': return p[23];
    case u'Z': return p[24];
    default: return {};
  }
}

bool IsCallSign(const QString& text) {
  int digits = 0, others = 0;
  for (QChar c : text) (isDigit(c) ? digits : others)++;
  return digits >= 1 && others >= 1;
}

std::optional<QString> GetCallSignSuffix(const QString& call) {
  if (!isArgentine(call)) return std::nullopt;
  const QString rest = call.mid(3, 10);
  if (call[0] != u'L') return rest;
  qsizetype i = 0;
  while (i < rest.size() && isDigit(rest[i])) ++i;
  // A rest of digits only is the suffix as it stands.
  if (i == rest.size()) return rest;
  return rest.mid(i, 2);
}

QString ProvinceFromCallSign(const QString& call) {
  const QString upper = call.toUpper();
  const qsizetype slashes = upper.count(u'/');
  if (slashes == 1) {
    const qsizetype at = upper.indexOf(u'/');
    const QString before = upper.left(at);
    const QString after = upper.mid(at + 1, 20);
    if (after == u"MM" || after == u"MA") return {};
    return isArgentine(before) ? ProvinceFromSuffix(after) : QString();
  }
  if (slashes == 2) return {};
  const std::optional<QString> suffix = GetCallSignSuffix(upper);
  return suffix ? ProvinceFromSuffix(*suffix) : QString();
}

void PrefixTable::setEntries(const QStringList& lines) {
  entries_.clear();
  firstIndex_.clear();
  const qsizetype n = std::min<qsizetype>(lines.size(), kLastEntry + 1);
  entries_.reserve(n);
  for (qsizetype i = 0; i < n; ++i) entries_.append(trimBlanks(lines[i]));
  // The lookup never reaches past the first empty entry nor past entry 22900, so only
  // the entries before them are indexed; the first of equal prefixes is kept.
  for (qsizetype i = 0; i < n && i <= kLastSearched; ++i) {
    if (entries_[i].isEmpty()) break;
    const QString prefix = prefixOf(entries_[i]);
    if (!firstIndex_.contains(prefix)) firstIndex_.insert(prefix, int(i));
  }
}

int PrefixTable::find(const QString& prefix) const { return firstIndex_.value(prefix, -1); }

QString PrefixTable::country(int i) const {
  const QString e = entry(i);
  return e.mid(e.lastIndexOf(u';') + 1).left(100);
}

PrefixTable& prefixTable() {
  static PrefixTable table;
  return table;
}

bool LoadPrefixTable(const QString& path) {
  // Lines past the last entry are not kept, so they are not read either.
  QStringList lines;
  const bool ok = forEachTextBlock(path, [&lines](const QStringList& block) {
    lines += block;
    if (lines.size() <= PrefixTable::kLastEntry) return true;
    lines.erase(lines.begin() + PrefixTable::kLastEntry + 1, lines.end());
    return false;
  });
  prefixTable().setEntries(lines);
  return ok;
}

QString LookupCountryOrProvince(QString& call) {
  if (call.isEmpty()) return {};
  const QString given = call;
  const PrefixTable& table = prefixTable();
  int found = -1;
  // The longest leading part of the call that is a prefix wins; the empty text is
  // tried last, like every other length.
  for (;;) {
    found = table.find(call);
    if (found >= 0 || call.isEmpty()) break;
    call.chop(1);
  }
  if (found < 0) return {};
  const QString country = table.country(found);
  if (country == u"Argentina") return provinceStep(given);
  return country;
}

QString LookupRegionalCountryOrProvince(QString& call) {
  if (!call.startsWith(u'L') && !call.startsWith(u"AY")) {
    static const struct {
      const char16_t* prefix;
      const char16_t* country;
    } neighbours[] = {
        {u"CW", u"Uruguay"}, {u"CX", u"Uruguay"},  {u"PP", u"Brasil"}, {u"PU", u"Brasil"},
        {u"PY", u"Brasil"},  {u"3G", u"Chile"},    {u"CB", u"Chile"},  {u"CA", u"Chile"},
        {u"CE", u"Chile"},   {u"ZP", u"Paraguay"}, {u"OA", u"Perú"},
    };
    const QString firstTwo = call.left(2);
    for (const auto& n : neighbours)
      if (firstTwo == QStringView(n.prefix)) return QString::fromUtf16(n.country);
  }
  const QString given = call;
  call = provinceSource(given);
  return provinceStep(given);
}

}  // namespace vz
