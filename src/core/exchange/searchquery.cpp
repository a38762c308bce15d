#include "exchange/searchquery.h"

#include <QDate>
#include <QSqlError>
#include <QVariantList>
#include <vector>

#include "platform/database.h"
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

Result<QList<QsoListRow>> ReadSearchViewLog(const QString& logName, int* rowsRead) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT %1 FROM Tabla1 WHERE [Nombre Log]=? "
                                          "ORDER BY %2 DESC, [Hora] DESC, [id] DESC")
                               .arg(rowColumnList(), QLatin1String(db::kFechaKey)),
                           {db::textValue(logName)});
  if (!s) return Result<QList<QsoListRow>>::failure(s.error);
  QList<QsoListRow> rows;
  int read = 0;
  while (q.next()) {
    ++read;
    if (db::text(q, kColModo - 1).isEmpty()) continue;  // the log's placeholder row
    rows.append(listRow(q));
  }
  if (rowsRead) *rowsRead = read;
  const Status end = queryFailure(q);
  if (!end) return Result<QList<QsoListRow>>::failure(end.error);
  return Result<QList<QsoListRow>>::of(std::move(rows));
}

Result<SearchResult> SearchLogQsos(const QString& logName, const SearchFilters& f) {
  const std::optional<QDate> from = bound(f.fromDate);
  const std::optional<QDate> to = bound(f.toDate);
  if ((from && !from->isValid()) || (to && !to->isValid())) return Result<SearchResult>::failure(SearchDateFormatError());

  struct PatternFilter {
    const char* column;
    int cell;
    QString pattern;
  };
  std::vector<PatternFilter> patterns;
  const auto addPattern = [&](const char* column, int cell, const QString& text, bool anywhere) {
    if (text.isEmpty()) return;
    const QString star = anywhere ? QStringLiteral("*") : QString();
    patterns.push_back({column, cell, star + text.toUpper() + star});
  };
  addPattern("MyCall", 10, f.ownCall, false);
  addPattern("Operador", 11, f.operatorCall, false);
  addPattern("Estacion", kQsoListEstacion, f.call, false);
  addPattern("Modo", 5, f.mode, false);
  addPattern("Banda", kQsoListBanda, f.band, false);
  addPattern("Obs", 12, f.remarks, true);

  QString sql = QStringLiteral("SELECT %1 FROM Tabla1 WHERE [Nombre Log]=?").arg(rowColumnList());
  QVariantList values{db::textValue(logName)};
  for (const PatternFilter& p : patterns) {
    sql += QStringLiteral(" AND [%1] LIKE ? ESCAPE '\\'").arg(QLatin1String(p.column));
    values << SearchPatternToSqlLike(p.pattern);
  }
  if (f.satelliteOnly) sql += QStringLiteral(" AND [Nombre_Sat]<>''");
  sql += QStringLiteral(" ORDER BY %1 ASC, [Hora] ASC, [id] ASC").arg(QLatin1String(db::kFechaKey));

  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, sql, values);
  if (!s) return Result<SearchResult>::failure(s.error);

  SearchResult result;
  QString storedDate;
  while (q.next()) {
    ++result.rowsRead;
    QsoListRow row = listRow(q, &storedDate);
    if (row.cells[kColModo].isEmpty()) continue;  // the log's placeholder row
    bool pass = true;
    // The list cells hold the stored texts of these columns unchanged.
    for (const PatternFilter& p : patterns)
      if (!MatchesSearchPattern(row.cells[p.cell], p.pattern)) pass = false;
    if (!pass) continue;
    if (from || to) {
      const QDate d = parseDayFirstDate(storedDate);
      if (!d.isValid() || (from && d < *from) || (to && d > *to)) continue;
    }
    if (f.argentineOnly) {
      const QString call = row.cells[kQsoListEstacion].toUpper();
      if (ProvinceFromCallSign(call).isEmpty()) continue;
      if (f.confirmedOnly && RukStatus(row.cells[kColRuk]) != kRukConfirmed) continue;
      row.cells[kQsoListEstacion] = call;
    }
    row.cells[kColRuk] = QString::number(RukStatus(row.cells[kColRuk]));
    result.rows.append(std::move(row));
  }
  const Status end = queryFailure(q);
  if (!end) return Result<SearchResult>::failure(end.error);
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
