#include "exchange/searchquery.h"

#include <QDate>
#include <QElapsedTimer>
#include <algorithm>
#include <QSqlError>
#include <QVariantList>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/database.h"
#include "platform/sqlitestatement.h"
#include "platform/textutil.h"
#include "store/callsign.h"
#include "store/logstore.h"

namespace vz {

// ---- Patterns ---------------------------------------------------------------------

namespace {

struct PatternToken {
  enum class Kind { Any, One, Digit, Set, Literal };
  Kind kind = Kind::Literal;
  QChar ch;                              // Literal
  bool negated = false;                  // Set
  std::vector<std::pair<QChar, QChar>> ranges;  // Set: inclusive ranges, folded
};

QChar fold(QChar c) { return c.toUpper(); }

std::vector<PatternToken> tokenize(const QString& pattern) {
  std::vector<PatternToken> tokens;
  const qsizetype n = pattern.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = pattern[i];
    PatternToken t;
    if (c == u'*') {
      // Runs of "*" are one.
      if (!tokens.empty() && tokens.back().kind == PatternToken::Kind::Any) continue;
      t.kind = PatternToken::Kind::Any;
    } else if (c == u'?') {
      t.kind = PatternToken::Kind::One;
    } else if (c == u'#') {
      t.kind = PatternToken::Kind::Digit;
    } else if (c == u'[' && pattern.indexOf(u']', i + 1) > i) {
      const qsizetype close = pattern.indexOf(u']', i + 1);
      QString body = pattern.mid(i + 1, close - i - 1);
      t.kind = PatternToken::Kind::Set;
      if (body.startsWith(u'!')) {
        t.negated = true;
        body.remove(0, 1);
      }
      for (qsizetype k = 0; k < body.size(); ++k) {
        if (k + 2 < body.size() && body[k + 1] == u'-') {
          t.ranges.emplace_back(fold(body[k]), fold(body[k + 2]));
          k += 2;
        } else {
          t.ranges.emplace_back(fold(body[k]), fold(body[k]));
        }
      }
      i = close;
    } else {
      t.kind = PatternToken::Kind::Literal;
      t.ch = fold(c);
    }
    tokens.push_back(std::move(t));
  }
  return tokens;
}

// An empty list "[]" stands for no character at all.
bool consumesNothing(const PatternToken& t) {
  return t.kind == PatternToken::Kind::Set && t.ranges.empty() && !t.negated;
}

bool matchesOne(const PatternToken& t, QChar c) {
  switch (t.kind) {
    case PatternToken::Kind::One: return true;
    case PatternToken::Kind::Digit: return c >= u'0' && c <= u'9';
    case PatternToken::Kind::Literal: return fold(c) == t.ch;
    case PatternToken::Kind::Set: {
      const QChar f = fold(c);
      bool in = false;
      for (const auto& [lo, hi] : t.ranges)
        if (f >= lo && f <= hi) in = true;
      return in != t.negated;
    }
    case PatternToken::Kind::Any: break;
  }
  return false;
}

}  // namespace

bool MatchesSearchPattern(const QString& value, const QString& pattern) {
  std::vector<PatternToken> tokens = tokenize(pattern);
  std::erase_if(tokens, consumesNothing);
  // Greedy match with a single back-track point at the last "*": linear for
  // patterns without "*", at worst quadratic.
  qsizetype v = 0, p = 0;
  qsizetype starP = -1, starV = 0;
  const qsizetype nv = value.size(), np = qsizetype(tokens.size());
  while (v < nv) {
    if (p < np && tokens[p].kind == PatternToken::Kind::Any) {
      starP = p++;
      starV = v;
    } else if (p < np && matchesOne(tokens[p], value[v])) {
      ++p;
      ++v;
    } else if (starP >= 0) {
      p = starP + 1;
      v = ++starV;
    } else {
      return false;
    }
  }
  while (p < np && tokens[p].kind == PatternToken::Kind::Any) ++p;
  return p == np;
}

QString SearchPatternToSqlLike(const QString& pattern) {
  QString like;
  for (const PatternToken& t : tokenize(pattern)) {
    switch (t.kind) {
      case PatternToken::Kind::Any: like += u'%'; break;
      case PatternToken::Kind::One:
      case PatternToken::Kind::Digit: like += u'_'; break;
      case PatternToken::Kind::Set:
        if (!consumesNothing(t)) like += u'_';
        break;
      case PatternToken::Kind::Literal:
        // The database ignores letter case for ASCII letters only: any other
        // character is left to the exact match.
        if (t.ch.unicode() > 0x7f)
          like += u'_';
        else if (t.ch == u'%' || t.ch == u'_' || t.ch == u'\\')
          like += u'\\' + QString(t.ch);
        else
          like += t.ch;
        break;
    }
  }
  return like;
}

// ---- Rows -------------------------------------------------------------------------

namespace {

// Columns read, in the list's order after its item text.
const char* const kRowColumns[QsoListRow::kColumns - 1] = {
    "id",     "Estacion", "Banda", "Frecuencia", "Modo",   "RSE", "RSR",        "Fecha",  "Hora",
    "MyCall", "Operador", "Obs",   "MiGrid",     "SuGrid", "Ruk", "Nombre_Sat", "Argento"};

enum { kColModo = 5, kColRuk = 15 };

QString rowColumnList() {
  QStringList cols;
  for (const char* c : kRowColumns) cols << QStringLiteral("[%1]").arg(QLatin1String(c));
  return cols.join(QLatin1Char(','));
}

// The row as the lists show it; the stored date is kept aside for the range.
QsoListRow listRow(const QSqlQuery& q, QString* storedDate = nullptr) {
  QsoListRow row;
  row.cells[0] = QStringLiteral("nombre1");
  for (int i = 0; i < QsoListRow::kColumns - 1; ++i) row.cells[i + 1] = db::text(q, i);
  if (storedDate) *storedDate = row.cells[kQsoListFecha];
  row.cells[kQsoListFecha] = QsoListDateText(row.cells[kQsoListFecha]);
  row.cells[kQsoListHora] = QsoListTimeText(row.cells[kQsoListHora]);
  for (int c : {15, 16, 17}) row.cells[c] = trimBlanks(row.cells[c]);
  return row;
}

Status queryFailure(const QSqlQuery& q) {
  return q.lastError().isValid() ? Status::failure(q.lastError().text()) : Status::success();
}

// A date bound: no value for an empty box, an invalid date for one that is no date.
std::optional<QDate> bound(const QString& text) {
  if (trimBlanks(text).isEmpty()) return std::nullopt;
  return parseDayFirstDate(text);
}

}  // namespace

QString SearchDateFormatError() { return QStringLiteral("Error en el formato de fecha!"); }

namespace {

// The list cell of a column as the heading sort compares it, as SQL terms in order
// (dates as dates with their times breaking ties, the id and the frequency as
// numbers, the rest as text without regard to letter case).
struct SortTerm {
  QString sql;
  bool numeric = false;  // a number; otherwise a text compared with ASCII letters folded
};

std::vector<SortTerm> sortTerms(int column, SearchRowStyle style) {
  const auto text = [](const char* col) {
    return SortTerm{QStringLiteral("IFNULL([%1],'') COLLATE NOCASE").arg(QLatin1String(col))};
  };
  const auto trimmed = [](const char* col) {
    return SortTerm{QStringLiteral("trim(IFNULL([%1],'')) COLLATE NOCASE").arg(QLatin1String(col))};
  };
  switch (column) {
    case kQsoListIndice: return {};
    case kQsoListId: return {{QStringLiteral("[id]"), true}};
    case kQsoListFrec: return {{QStringLiteral("CAST(IFNULL([Frecuencia],'') AS REAL)"), true}, text("Frecuencia")};
    case kQsoListFecha:
      // A text that is no date sorts before every date, as does a time that is none.
      return {{QStringLiteral("CASE WHEN [Fecha] GLOB '[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]' THEN %1 ELSE '' END")
                   .arg(QLatin1String(db::kFechaKey))},
              {QStringLiteral("CASE WHEN [Hora] GLOB '[0-9][0-9]:[0-9][0-9]*' THEN substr([Hora],1,5) ELSE '' END")},
              text("Fecha")};
    case kQsoListHora:
      return {{QStringLiteral("CASE WHEN [Hora] GLOB '[0-9][0-9]:[0-9][0-9]*' THEN substr([Hora],1,5) "
                              "ELSE IFNULL([Hora],'') END COLLATE NOCASE")}};
    case kColRuk:
      if (style == SearchRowStyle::Search || style == SearchRowStyle::SearchArgentine)
        return {{QStringLiteral("CAST(CAST(trim(IFNULL([Ruk],'')) AS INTEGER) AS TEXT)")}};  // the number's text
      return {trimmed("Ruk")};
    case 16: return {trimmed("Nombre_Sat")};
    case 17: return {trimmed("Argento")};
    default:
      if (column > 0 && column < QsoListRow::kColumns) return {text(kRowColumns[column - 1])};
      return {};
  }
}

QString orderBy(const std::vector<SearchSortKey>& sorts, SearchRowStyle style, bool newestFirst) {
  QStringList terms;
  for (const SearchSortKey& k : sorts)
    for (const SortTerm& t : sortTerms(k.column, style))
      terms << t.sql + (k.descending ? QStringLiteral(" DESC") : QString());
  const QString dir = newestFirst ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
  // The date key's exact text: the page index is built on it.
  terms << QLatin1String(db::kFechaKey) + dir << QStringLiteral("[Hora]") + dir << QStringLiteral("[id]") + dir;
  return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

// The row from the listed columns (kRowColumns) of a statement, as the lists show it.
QsoListRow listRow(const db::SqliteStatement& q, SearchRowStyle style) {
  QsoListRow row;
  row.cells[0] = QStringLiteral("nombre1");
  for (int i = 0; i < QsoListRow::kColumns - 1; ++i) {
    QString v = q.text(i);
    row.cells[i + 1] = v.isNull() ? QString() : std::move(v);
  }
  row.cells[kQsoListFecha] = QsoListDateText(row.cells[kQsoListFecha]);
  row.cells[kQsoListHora] = QsoListTimeText(row.cells[kQsoListHora]);
  for (int c : {15, 16, 17}) row.cells[c] = trimBlanks(row.cells[c]);
  if (style == SearchRowStyle::Province) {
    row.cells[14] = row.cells[14].toUpper();
    return row;
  }
  if (style == SearchRowStyle::SearchArgentine) row.cells[kQsoListEstacion] = row.cells[kQsoListEstacion].toUpper();
  if (style != SearchRowStyle::Opening) row.cells[kColRuk] = QString::number(RukStatus(row.cells[kColRuk]));
  return row;
}

}  // namespace

Result<SearchListing> ListSearchViewLog(const QString& logName, const std::vector<SearchSortKey>& sorts) {
  db::SqliteStatement q;
  Status s = q.prepare(QStringLiteral("SELECT [id] FROM Tabla1 WHERE [Nombre Log]=? AND [Modo]<>''") +
                       orderBy(sorts, SearchRowStyle::Opening, true));
  if (s) {
    q.bindText(1, logName);
    s = q.start();
  }
  if (!s) return Result<SearchListing>::failure(s.error);
  SearchListing listing;
  while (q.next()) listing.ids.push_back(q.integer(0));
  if (!q.error()) return Result<SearchListing>::failure(q.error().error);
  listing.rowsRead = int(listing.ids.size());
  return Result<SearchListing>::of(std::move(listing));
}

Result<SearchListing> ListSearchLogQsos(const QString& logName, const SearchFilters& f,
                                        const std::vector<SearchSortKey>& sorts) {
  const std::optional<QDate> from = bound(f.fromDate);
  const std::optional<QDate> to = bound(f.toDate);
  if ((from && !from->isValid()) || (to && !to->isValid()))
    return Result<SearchListing>::failure(SearchDateFormatError());

  // The columns the filters read, by position in the statement.
  enum { kId, kMyCall, kOperador, kEstacion, kModo, kBanda, kObs, kFecha, kRuk };
  struct PatternFilter {
    const char* column;
    int at;
    QString pattern;
  };
  std::vector<PatternFilter> patterns;
  const auto addPattern = [&](const char* column, int at, const QString& text, bool anywhere) {
    if (text.isEmpty()) return;
    const QString star = anywhere ? QStringLiteral("*") : QString();
    patterns.push_back({column, at, star + text.toUpper() + star});
  };
  addPattern("MyCall", kMyCall, f.ownCall, false);
  addPattern("Operador", kOperador, f.operatorCall, false);
  addPattern("Estacion", kEstacion, f.call, false);
  addPattern("Modo", kModo, f.mode, false);
  addPattern("Banda", kBanda, f.band, false);
  addPattern("Obs", kObs, f.remarks, true);

  SearchListing listing;
  listing.style = f.argentineOnly ? SearchRowStyle::SearchArgentine : SearchRowStyle::Search;
  QString sql = QStringLiteral("SELECT [id],[MyCall],[Operador],[Estacion],[Modo],[Banda],[Obs],[Fecha],[Ruk] "
                               "FROM Tabla1 WHERE [Nombre Log]=?");
  QStringList values{logName};
  for (const PatternFilter& p : patterns) {
    sql += QStringLiteral(" AND [%1] LIKE ? ESCAPE '\\'").arg(QLatin1String(p.column));
    values << SearchPatternToSqlLike(p.pattern);
  }
  if (f.satelliteOnly) sql += QStringLiteral(" AND [Nombre_Sat]<>''");
  sql += orderBy(sorts, listing.style, false);

  db::SqliteStatement q;
  Status s = q.prepare(sql);
  if (s) {
    for (int i = 0; i < values.size(); ++i) q.bindText(i + 1, values[i]);
    s = q.start();
  }
  if (!s) return Result<SearchListing>::failure(s.error);
  while (q.next()) {
    ++listing.rowsRead;
    if (q.text(kModo).isEmpty()) continue;  // the log's placeholder row
    bool pass = true;
    // The list cells hold the stored texts of these columns unchanged.
    for (const PatternFilter& p : patterns)
      if (pass && !MatchesSearchPattern(q.text(p.at), p.pattern)) pass = false;
    if (!pass) continue;
    if (from || to) {
      const QDate d = parseDayFirstDate(q.text(kFecha));
      if (!d.isValid() || (from && d < *from) || (to && d > *to)) continue;
    }
    if (f.argentineOnly) {
      if (ProvinceFromCallSign(q.text(kEstacion).toUpper()).isEmpty()) continue;
      if (f.confirmedOnly && RukStatus(q.text(kRuk)) != kRukConfirmed) continue;
    }
    listing.ids.push_back(q.integer(kId));
  }
  if (!q.error()) return Result<SearchListing>::failure(q.error().error);
  return Result<SearchListing>::of(std::move(listing));
}

// ---- Sorting held ids ---------------------------------------------------------------

namespace {

// One byte string per row whose byte order is the order the terms give: a text with
// ASCII capitals folded (as the database's NOCASE compares), each 0 byte written as
// 0 1 and the text ended by 0 0, so a text sorts before every longer one it begins;
// a number as 8 bytes that order as the numbers do.
void appendTextKey(std::string& out, QByteArrayView utf8) {
  for (char c : utf8) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    out += c;
    if (c == 0) out += char(1);
  }
  out += char(0);
  out += char(0);
}

void appendNumberKey(std::string& out, double v) {
  if (v == 0) v = 0;  // -0 and 0 are the same number
  quint64 bits;
  std::memcpy(&bits, &v, sizeof bits);
  bits = (bits >> 63) ? ~bits : bits | (quint64(1) << 63);
  for (int shift = 56; shift >= 0; shift -= 8) out += char((bits >> shift) & 0xff);
}

}  // namespace

struct HeldIdsSort::State {
  enum class Phase { Read, Runs, Merge, Done };
  std::vector<qint64> ids;
  std::vector<SortTerm> terms;
  bool descending = false;
  Phase phase = Phase::Read;

  // Reading: the listed positions by id, walked in id order.
  qint64 low = 0, high = -1;
  bool dense = false;
  std::vector<qint32> positionById;           // dense: position of id low + i, -1 when not listed
  std::vector<std::pair<qint64, qint32>> byId;  // otherwise: (id, position) in id order
  qint64 nextId = 0;       // dense: the first id not read yet
  size_t nextById = 0;     // otherwise: the first entry not read yet
  size_t indexed = 0;      // dense: the listed positions entered so far
  db::SqliteStatement range, one;

  // The keys by position: where each starts in the arena and its length.
  std::string arena;
  std::vector<std::pair<quint32, quint32>> keys;

  // Sorting: a stable bottom-up merge of positions, a piece per step.
  std::vector<qint32> order, spare;
  std::vector<qint64> sorted;  // the ids as order lists them, once merged
  size_t width = 16, at = 0;
  size_t mergeA = 0, mergeB = 0, mergeMid = 0, mergeEnd = 0, mergeOut = 0;  // the merge under way

  std::string_view key(qint32 position) const {
    const auto& k = keys[size_t(position)];
    return std::string_view(arena).substr(k.first, k.second);
  }
  bool before(qint32 a, qint32 b) const { return descending ? key(b) < key(a) : key(a) < key(b); }

  size_t kept = 0;

  void keep(qint32 position, const db::SqliteStatement& q) {
    // Room for every key, judged from the first ones: left to grow by doubling, the
    // arena would now and then be copied whole within one piece.
    if (++kept == 512) arena.reserve(arena.size() / 511 * keys.size() * 3 / 2 + 65536);
    const size_t start = arena.size();
    for (size_t t = 0; t < terms.size(); ++t) {
      const int column = int(t) + 1;
      if (terms[t].numeric) appendNumberKey(arena, q.real(column));
      else appendTextKey(arena, q.bytes(column));
    }
    keys[size_t(position)] = {quint32(start), quint32(arena.size() - start)};
  }
  QString selectList() const {
    QStringList cols{QStringLiteral("[id]")};
    for (const SortTerm& t : terms) cols << t.sql;
    return cols.join(QLatin1Char(','));
  }
};

HeldIdsSort::HeldIdsSort(std::vector<qint64> ids, SearchSortKey key, SearchRowStyle style)
    : s_(std::make_unique<State>()) {
  State& s = *s_;
  s.ids = std::move(ids);
  s.terms = sortTerms(key.column, style);
  s.descending = key.descending;
  const size_t n = s.ids.size();
  if (s.terms.empty() || n < 2) {
    s.phase = State::Phase::Done;
    return;
  }
  const auto [lo, hi] = std::minmax_element(s.ids.begin(), s.ids.end());
  s.low = *lo;
  s.high = *hi;
  s.nextId = s.low;
  s.keys.reserve(n);
  // A list of most of a log's ids is read by ranges of ids; a few ids spread over a
  // large log one by one.
  s.dense = s.high - s.low < qint64(n) * 4;
  if (s.dense) {
    // Filled by the first pieces: a click on a long list only takes note of it.
    s.positionById.reserve(size_t(s.high - s.low + 1));
  } else {
    s.byId.reserve(n);
    for (size_t i = 0; i < n; ++i) s.byId.emplace_back(s.ids[i], qint32(i));
    std::sort(s.byId.begin(), s.byId.end());
  }
}

HeldIdsSort::~HeldIdsSort() = default;

bool HeldIdsSort::done() const { return s_->phase == State::Phase::Done; }

std::vector<qint64> HeldIdsSort::takeIds() { return std::move(s_->ids); }

Result<bool> HeldIdsSort::step(int budgetMs) {
  State& s = *s_;
  QElapsedTimer clock;
  clock.start();
  // At least one piece of work per step, however small the budget.
  bool first = true;
  const auto inTime = [&] { return std::exchange(first, false) || clock.elapsed() < budgetMs; };
  constexpr qint64 kRangeIds = 8192;

  // The room for the keys and the position of each id, a slice at a time: first every
  // id as not listed, then the listed ones.
  const size_t span = size_t(s.high - s.low + 1);
  while (s.phase == State::Phase::Read && s.keys.size() < s.ids.size() && inTime())
    s.keys.resize(std::min(s.ids.size(), s.keys.size() + 262144), {0, 0});
  if (s.phase == State::Phase::Read && s.keys.size() < s.ids.size()) return Result<bool>::of(false);
  while (s.phase == State::Phase::Read && s.dense && s.indexed < s.ids.size() && inTime()) {
    if (s.positionById.size() < span) {
      s.positionById.resize(std::min(span, s.positionById.size() + 262144), -1);
      continue;
    }
    for (const size_t to = std::min(s.ids.size(), s.indexed + 262144); s.indexed < to; ++s.indexed)
      s.positionById[size_t(s.ids[s.indexed] - s.low)] = qint32(s.indexed);
  }
  if (s.dense && s.indexed < s.ids.size()) return Result<bool>::of(false);
  while (s.phase == State::Phase::Read && inTime()) {
    if (s.dense) {
      if (s.nextId > s.high) {
        s.phase = State::Phase::Runs;
        break;
      }
      static const QString kSql = QStringLiteral("SELECT %1 FROM Tabla1 WHERE [id] BETWEEN ? AND ? ORDER BY [id]");
      Status st = s.range.prepare(kSql.arg(s.selectList()));
      qint64 last = std::min(s.high, s.nextId + kRangeIds - 1);
      if (st) {
        s.range.bindInteger(1, s.nextId);
        s.range.bindInteger(2, last);
        st = s.range.start();
      }
      if (!st) return Result<bool>::failure(st.error);
      int rows = 0;
      while (s.range.next()) {
        const qint64 id = s.range.integer(0);
        if (id >= s.low && id <= s.high) {
          const qint32 position = s.positionById[size_t(id - s.low)];
          if (position >= 0) s.keep(position, s.range);
        }
        // Wide rows on a busy machine: a whole range can take several budgets, so the
        // read stops between rows and the next piece goes on after the last id read.
        if (++rows % 256 == 0 && id < last && clock.elapsed() >= budgetMs) {
          last = id;
          s.range.reset();
          break;
        }
      }
      if (!s.range.error()) return Result<bool>::failure(s.range.error().error);
      s.nextId = last + 1;
    } else {
      if (s.nextById >= s.byId.size()) {
        s.phase = State::Phase::Runs;
        break;
      }
      static const QString kSql = QStringLiteral("SELECT %1 FROM Tabla1 WHERE [id]=?");
      Status st = s.one.prepare(kSql.arg(s.selectList()));
      for (int i = 0; st && i < 256 && s.nextById < s.byId.size(); ++i, ++s.nextById) {
        const auto [id, position] = s.byId[s.nextById];
        s.one.bindInteger(1, id);
        st = s.one.start();
        if (!st) break;
        if (s.one.next()) {
          s.keep(position, s.one);
          s.one.reset();
        } else if (!s.one.error()) {
          st = s.one.error();
        }
      }
      if (!st) return Result<bool>::failure(st.error);
    }
  }
  if (s.phase == State::Phase::Runs && s.order.size() < s.ids.size()) {
    // Fresh memory costs a fault per page on first touch: the positions are laid out
    // a slice at a time, so a long list's first pass does not hold the window.
    const size_t n = s.ids.size();
    s.order.reserve(n);
    s.spare.reserve(n);
    while (s.order.size() < n && inTime()) {
      const size_t to = std::min(n, s.order.size() + 65536);
      for (size_t i = s.order.size(); i < to; ++i) s.order.push_back(qint32(i));
      s.spare.resize(to);
    }
    if (s.order.size() < n) return Result<bool>::of(false);
    s.at = 0;
  }
  while (s.phase == State::Phase::Runs && inTime()) {
    // Short runs put in order by insertion, which keeps equal keys as they stand.
    const size_t n = s.order.size();
    for (int runs = 0; runs < 256 && s.at < n; ++runs) {
      const size_t from = s.at, to = std::min(n, from + s.width);
      for (size_t i = from + 1; i < to; ++i) {
        const qint32 v = s.order[i];
        size_t j = i;
        for (; j > from && s.before(v, s.order[j - 1]); --j) s.order[j] = s.order[j - 1];
        s.order[j] = v;
      }
      s.at = to;
    }
    if (s.at >= n) {
      s.at = 0;
      s.phase = State::Phase::Merge;
    }
  }
  while (s.phase == State::Phase::Merge && inTime()) {
    const size_t n = s.order.size();
    if (s.width >= n) {
      // The ids in their new order, a slice at a time (fresh memory, as above).
      s.sorted.reserve(n);
      for (size_t to = std::min(n, s.sorted.size() + 65536); s.sorted.size() < to;)
        s.sorted.push_back(s.ids[size_t(s.order[s.sorted.size()])]);
      if (s.sorted.size() < n) continue;
      s.ids = std::move(s.sorted);
      s.sorted = {};
      s.order = {};
      s.spare = {};
      s.keys = {};
      s.arena = {};
      s.positionById = {};
      s.byId = {};
      s.phase = State::Phase::Done;
      break;
    }
    // About 16,000 rows merged per look at the clock; a merge of two long runs goes
    // on where the last piece left it.
    for (size_t moved = 0; moved < 16384 && s.at < n;) {
      if (s.mergeOut == s.mergeEnd) {  // the next pair of runs
        s.mergeA = s.mergeOut = s.at;
        s.mergeB = s.mergeMid = std::min(n, s.at + s.width);
        s.mergeEnd = std::min(n, s.at + 2 * s.width);
      }
      size_t& a = s.mergeA;
      size_t& b = s.mergeB;
      size_t& out = s.mergeOut;
      const size_t stop = std::min(s.mergeEnd, out + 16384 - moved);
      const size_t from = out;
      while (out < stop && a < s.mergeMid && b < s.mergeEnd)
        s.spare[out++] = s.before(s.order[b], s.order[a]) ? s.order[b++] : s.order[a++];
      while (out < stop && a < s.mergeMid) s.spare[out++] = s.order[a++];
      while (out < stop && b < s.mergeEnd) s.spare[out++] = s.order[b++];
      moved += out - from;
      if (out == s.mergeEnd) s.at = s.mergeEnd;
    }
    if (s.at >= n) {
      std::swap(s.order, s.spare);
      s.width *= 2;
      s.at = 0;
    }
  }
  return Result<bool>::of(s.phase == State::Phase::Done);
}

Result<SearchListing> ListProvinceQsos(const QString& logName) {
  db::SqliteStatement q;
  // Read from the province index alone: the table's rows are not visited.
  Status s = q.prepare(QStringLiteral("SELECT [id] FROM Tabla1 WHERE [Nombre Log]=? AND %1")
                           .arg(QLatin1String(db::kProvinceRows)) +
                       orderBy({}, SearchRowStyle::Province, false));
  if (s) {
    q.bindText(1, logName);
    s = q.start();
  }
  if (!s) return Result<SearchListing>::failure(s.error);
  SearchListing listing;
  listing.style = SearchRowStyle::Province;
  while (q.next()) listing.ids.push_back(q.integer(0));
  if (!q.error()) return Result<SearchListing>::failure(q.error().error);
  listing.rowsRead = int(listing.ids.size());
  return Result<SearchListing>::of(std::move(listing));
}

SearchRowReader::SearchRowReader() = default;
SearchRowReader::~SearchRowReader() = default;

Result<QsoListRow> SearchRowReader::read(qint64 id, SearchRowStyle style) {
  if (!query_) query_ = std::make_unique<db::SqliteStatement>();
  db::SqliteStatement& q = *query_;
  static const QString kSql = QStringLiteral("SELECT %1 FROM Tabla1 WHERE [id]=?").arg(rowColumnList());
  Status s = q.prepare(kSql);
  if (s) {
    q.bindInteger(1, id);
    s = q.start();
  }
  if (!s) return Result<QsoListRow>::failure(s.error);
  QsoListRow row;
  if (q.next()) {
    row = listRow(q, style);
    q.reset();
  } else {
    if (!q.error()) return Result<QsoListRow>::failure(q.error().error);
    row.cells[kQsoListId] = QString::number(id);
  }
  return Result<QsoListRow>::of(std::move(row));
}

Status SearchRowReader::readBlock(const qint64* ids, int n, SearchRowStyle style, std::vector<QsoListRow>* rows) {
  rows->clear();
  rows->reserve(size_t(std::max(n, 0)));
  if (n <= 0) return Status::success();
  const auto [low, high] = std::minmax_element(ids, ids + n);
  const qint64 span = *high - *low + 1;
  if (span > qint64(n) * 4) {
    for (int i = 0; i < n; ++i) {
      Result<QsoListRow> r = read(ids[i], style);
      if (!r.ok()) return r.status;
      rows->push_back(std::move(r.value));
    }
    return Status::success();
  }
  // The range's rows by their place in it; ids of other logs in the range are read
  // and left.
  std::vector<QsoListRow> byId(static_cast<size_t>(span));
  std::vector<bool> found(static_cast<size_t>(span), false);
  if (!range_) range_ = std::make_unique<db::SqliteStatement>();
  db::SqliteStatement& q = *range_;
  static const QString kSql =
      QStringLiteral("SELECT %1 FROM Tabla1 WHERE [id] BETWEEN ? AND ?").arg(rowColumnList());
  Status s = q.prepare(kSql);
  if (s) {
    q.bindInteger(1, *low);
    q.bindInteger(2, *high);
    s = q.start();
  }
  if (!s) return s;
  while (q.next()) {
    const size_t at = size_t(q.integer(0) - *low);
    if (at >= byId.size()) continue;
    byId[at] = listRow(q, style);
    found[at] = true;
  }
  if (!q.error()) return q.error();
  for (int i = 0; i < n; ++i) {
    const size_t at = size_t(ids[i] - *low);
    if (found[at]) {
      rows->push_back(std::move(byId[at]));
      continue;
    }
    Result<QsoListRow> r = read(ids[i], style);  // a QSO gone since it was listed
    if (!r.ok()) return r.status;
    rows->push_back(std::move(r.value));
  }
  return Status::success();
}

Result<QList<QsoListRow>> ReadListedRows(const SearchListing& listing) {
  SearchRowReader reader;
  QList<QsoListRow> rows;
  rows.reserve(qsizetype(listing.ids.size()));
  for (qint64 id : listing.ids) {
    Result<QsoListRow> row = reader.read(id, listing.style);
    if (!row.ok()) return Result<QList<QsoListRow>>::failure(row.error());
    rows.append(std::move(row.value));
  }
  return Result<QList<QsoListRow>>::of(std::move(rows));
}

Result<QList<QsoListRow>> ReadSearchViewLog(const QString& logName, int* rowsRead) {
  const Result<SearchListing> listing = ListSearchViewLog(logName);
  if (!listing.ok()) return Result<QList<QsoListRow>>::failure(listing.error());
  if (rowsRead) {
    // The log's placeholder rows are read too, though never listed.
    QSqlQuery q(db::connection());
    const Status s = db::run(q, QStringLiteral("SELECT count(*) FROM Tabla1 WHERE [Nombre Log]=? AND IFNULL([Modo],'')=''"),
                             {db::textValue(logName)});
    if (!s) return Result<QList<QsoListRow>>::failure(s.error);
    *rowsRead = listing.value.rowsRead + (q.next() ? q.value(0).toInt() : 0);
  }
  return ReadListedRows(listing.value);
}

Result<SearchResult> SearchLogQsos(const QString& logName, const SearchFilters& f) {
  const Result<SearchListing> listing = ListSearchLogQsos(logName, f);
  if (!listing.ok()) return Result<SearchResult>::failure(listing.error());
  Result<QList<QsoListRow>> rows = ReadListedRows(listing.value);
  if (!rows.ok()) return Result<SearchResult>::failure(rows.error());
  SearchResult result;
  result.rows = std::move(rows.value);
  result.rowsRead = listing.value.rowsRead;
  return Result<SearchResult>::of(std::move(result));
}

Result<SearchRowUpdate> ReadSearchRowUpdate(const QString& logName, qint64 id) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, QStringLiteral("SELECT %1 FROM Tabla1 WHERE [Nombre Log]=? AND [id]=?").arg(rowColumnList()),
                           {db::textValue(logName), id});
  if (!s) return Result<SearchRowUpdate>::failure(s.error);
  SearchRowUpdate u;
  if (!q.next()) {
    const Status end = queryFailure(q);
    if (!end) return Result<SearchRowUpdate>::failure(end.error);
    u.kind = SearchRowUpdate::Kind::Remove;
    return Result<SearchRowUpdate>::of(u);
  }
  u.row = listRow(q);
  // Only a QSO that is gone loses its row: one whose worked call was emptied is
  // still in the log and is shown as it now is.
  u.kind = u.row.cells[kColModo].isEmpty() ? SearchRowUpdate::Kind::Keep : SearchRowUpdate::Kind::Rewrite;
  return Result<SearchRowUpdate>::of(u);
}

}  // namespace vz
