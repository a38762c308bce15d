#pragma once
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "platform/status.h"
#include "store/logpage.h"

namespace vz {

namespace db {
class SqliteStatement;
}

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

// ---- Listings ---------------------------------------------------------------------
//
// A search list holds only the ids of its rows, in order; a row is read when it is
// shown. The order, heading sorts included, is the query's.

// How a listed row's cells are written: as the opening shows them, or as a search
// does (the upload state as a number; with "Solo Argentinos" the call upper-cased),
// or as the provinces view's input list does (the opening's, the grid upper-cased).
enum class SearchRowStyle { Opening, Search, SearchArgentine, Province };

// A heading sort: the list column (as QsoListSortColumnForHeading gives it) and order.
struct SearchSortKey {
  int column = 0;
  bool descending = false;
  bool operator==(const SearchSortKey&) const = default;
};

struct SearchListing {
  std::vector<qint64> ids;
  int rowsRead = 0;  // rows the query gave, the skipped ones included
  SearchRowStyle style = SearchRowStyle::Opening;
};

// The opening's listing: every QSO of the log with a mode, newest first. sorts are
// the heading sorts in force, the latest first: rows that tie under one keep the
// order of the next, and finally the listing's own order.
Result<SearchListing> ListSearchViewLog(const QString& logName, const std::vector<SearchSortKey>& sorts = {});
// A search's listing: the QSOs of the log that pass every filter, oldest first.
Result<SearchListing> ListSearchLogQsos(const QString& logName, const SearchFilters& filters,
                                       const std::vector<SearchSortKey>& sorts = {});

// A heading sort of the ids a list already holds, by one column: rows that tie under
// it keep the order they have, so the list comes out as the query above gives it with
// the earlier heading sorts after this one. The column's keys are read from the log
// and the ids sorted a bounded piece of work at a time, so that even a list of a
// million rows never holds its window for long. Only the one column's keys are held,
// never the rows.
class HeldIdsSort {
 public:
  HeldIdsSort(std::vector<qint64> ids, SearchSortKey key, SearchRowStyle style);
  ~HeldIdsSort();
  HeldIdsSort(const HeldIdsSort&) = delete;
  HeldIdsSort& operator=(const HeldIdsSort&) = delete;
  // Works until the sort is done or the budget (milliseconds) has passed; true when done.
  Result<bool> step(int budgetMs);
  bool done() const;
  // The ids in their new order, once done.
  std::vector<qint64> takeIds();

 private:
  struct State;
  std::unique_ptr<State> s_;
};

// The provinces view's listing: the log's QSOs with a mode and a province, oldest first.
Result<SearchListing> ListProvinceQsos(const QString& logName);

// Every row of a listing, read (for short listings).
Result<QList<QsoListRow>> ReadListedRows(const SearchListing& listing);

// Reads listed rows by id, one statement kept prepared.
class SearchRowReader {
 public:
  SearchRowReader();
  ~SearchRowReader();
  // The row of the QSO with the id; a QSO that is gone reads as a row with only its id.
  Result<QsoListRow> read(qint64 id, SearchRowStyle style);
  // The rows of n ids in their order. Ids close together (a log entered in order of
  // time) are read with one statement for the whole range.
  Status readBlock(const qint64* ids, int n, SearchRowStyle style, std::vector<QsoListRow>* rows);

 private:
  std::unique_ptr<db::SqliteStatement> query_;
  std::unique_ptr<db::SqliteStatement> range_;
};

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
