#pragma once
#include <QList>
#include <QString>
#include <optional>

#include "platform/status.h"
#include "store/logpage.h"

namespace vz {

// ---- Patterns ---------------------------------------------------------------------
//
// The search view's filters are patterns in the form the operator types them: "*"
// any run of characters (also none), "?" one character, "#" one digit, "[abc]",
// "[a-z]" or "[!abc]" one character of (or not of) the list; everything else stands
// for itself, letter case ignored. The pattern matches the whole value. A "[" without
// its "]" stands for itself.

bool MatchesSearchPattern(const QString& value, const QString& pattern);

// A LIKE pattern (escape character "\") that every value the search pattern matches
// also matches, so the database can narrow the rows before the exact match; it is
// always bound as a value, never written into the statement.
QString SearchPatternToSqlLike(const QString& pattern);

// ---- Filters ----------------------------------------------------------------------

struct SearchFilters {
  // Patterns; an empty text filters nothing, blanks are a filter.
  QString ownCall;       // MyCall
  QString operatorCall;  // Operador
  QString call;          // Estacion
  QString mode;          // Modo
  QString band;          // Banda
  QString remarks;       // found anywhere in Obs
  bool satelliteOnly = false;
  // Date range "dd/mm/yyyy", both days included; empty: no bound.
  QString fromDate;
  QString toDate;
  // Only calls that give an Argentine province; then, when confirmedOnly, only the
  // QSOs confirmed in Ruk.
  bool argentineOnly = false;
  bool confirmedOnly = false;
};

struct SearchResult {
  QList<QsoListRow> rows;  // oldest first
  int rowsRead = 0;        // rows the query gave, the skipped ones included
};

// The text shown when a date bound cannot be read.
QString SearchDateFormatError();

// Every QSO of the log with a mode, newest first, as the search view opens with
// them. rowsRead, when given, receives the rows read (placeholder rows included).
Result<QList<QsoListRow>> ReadSearchViewLog(const QString& logName, int* rowsRead = nullptr);

// The QSOs of the log that pass every filter, oldest first. The upload-state cell
// holds the state as a number; with argentineOnly the worked call is upper-cased.
// A date bound that is no date fails with SearchDateFormatError(); a QSO whose own
// date is no date never lies within a bound.
Result<SearchResult> SearchLogQsos(const QString& logName, const SearchFilters& filters);

// What the list row of an edited QSO becomes.
struct SearchRowUpdate {
  enum class Kind {
    Rewrite,  // the row's cells from `row`
    Remove,   // the QSO is gone
    Keep,     // the QSO lost its mode: the row keeps its old cells
  };
  Kind kind = Kind::Keep;
  QsoListRow row;
};

// Reads one QSO of the log again for its list row.
Result<SearchRowUpdate> ReadSearchRowUpdate(const QString& logName, qint64 id);

}  // namespace vz
