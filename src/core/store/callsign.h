#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace vz {

// Argentine province of a text read by its first character (and the second for G and
// X): "Capital", "Buenos Aires", ... or the empty text. Letter case counts.
QString ProvinceFromSuffix(const QString& text);

// The 25 province names in the order of the province table (the provinces award
// lists exactly these).
const QStringList& provinceNames();

// True when the text holds at least one digit 0-9 and at least one other character.
bool IsCallSign(const QString& text);

// For an Argentine call (AZ, AY, L1-L9, LO-LW; upper case expected) the suffix the
// province is read from, which may be empty; no value for any other call.
std::optional<QString> GetCallSignSuffix(const QString& call);

// Province of a call sign, or the empty text for a foreign call, a maritime or
// aeronautical mobile ("/MM", "/MA") and a call with two "/".
QString ProvinceFromCallSign(const QString& call);

// The lines of dxcc.txt, entries 0 to 23000: "PREFIX;...;Country". Lookups scan from
// entry 0 and stop at the first empty entry or after entry 22900; the first entry
// whose prefix equals a text wins. An index keeps each lookup from scanning.
class PrefixTable {
 public:
  static constexpr int kLastEntry = 23000;
  static constexpr int kLastSearched = 22900;

  // Replaces the table with the given lines (trimmed of blanks; lines past entry
  // 23000 are dropped).
  void setEntries(const QStringList& lines);
  void clear() { setEntries({}); }

  // Entry i, the empty text past the last line.
  QString entry(int i) const { return i >= 0 && i < entries_.size() ? entries_[i] : QString(); }
  int lineCount() const { return int(entries_.size()); }

  // Index of the first searched entry whose prefix (the text before its first ";")
  // equals the text, or -1.
  int find(const QString& prefix) const;
  // The country of entry i: the text after its last ";", at most 100 characters.
  QString country(int i) const;

 private:
  QStringList entries_;
  QHash<QString, int> firstIndex_;
};

// The program-wide table the start-up fills.
PrefixTable& prefixTable();

// Fills the program-wide table from a prefix file (Windows-1252, CR LF). A file that
// cannot be read leaves the table empty and gives false.
bool LoadPrefixTable(const QString& path);

// The country of the call's longest leading part that is a prefix in the table, or
// for an Argentine country the province read from the call; the empty text when no
// prefix matches. On return call holds the matched prefix (empty when none did).
QString LookupCountryOrProvince(QString& call);

// The contest analysis' multiplier: the country for the neighbouring countries'
// prefixes (CW, CX, PP, PU, PY, 3G, CB, CA, CE, ZP, OA), otherwise the province read
// from the call, in which case call is replaced by the text the province was read from.
QString LookupRegionalCountryOrProvince(QString& call);

}  // namespace vz
