#pragma once
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <array>

#include "platform/status.h"

namespace vz {

// QSOs per page of the main list.
inline constexpr int kLogPageSize = 20;

// One row of the QSO report lists (the main list, the search view, the provinces
// view): the item text and 17 sub-items, as shown.
struct QsoListRow {
  static constexpr int kColumns = 18;
  std::array<QString, kColumns> cells;
};

// Columns of a QSO report list, in order: heading and width in twips.
struct QsoListColumn {
  const char* heading;
  int widthTwips;
};
extern const QsoListColumn kQsoListColumns[QsoListRow::kColumns];

// Positions of the columns that the sort and the readers of a row care about.
enum QsoListColumnIndex {
  kQsoListIndice = 0,
  kQsoListId = 1,
  kQsoListEstacion = 2,
  kQsoListBanda = 3,
  kQsoListFrec = 4,
  kQsoListFecha = 8,
  kQsoListHora = 9,
};

// The list cell of a stored date: "dd/mm/yyyy" (a text that is no date stays as
// stored), every "-" and " " turned into "/".
QString QsoListDateText(const QString& stored);
// The list cell of a stored time: "hh:mm", seconds dropped; a text that is no time
// stays as stored.
QString QsoListTimeText(const QString& stored);
// The current row of a query over Tabla1 that names the columns (SELECT * will do).
QsoListRow QsoListRowFromQuery(const QSqlQuery& q);

// Heading sort: orders two cells of one column. Dates compare as dates with their
// times breaking ties, the id and the frequency as numbers, the rest as text
// without regard to letter case. Negative, zero or positive.
int CompareQsoListCells(int column, const QString& a, const QString& b, const QString& aTime = {},
                        const QString& bTime = {});
// The column that a click on the heading at the 1-based position sorts by: the one
// under it, except that the (zero-width) "ID" heading sorts by band.
int QsoListSortColumnForHeading(int headingPosition);

// ---- Paging ------------------------------------------------------------------

// Pages of 20 of a log of n QSOs; 0 for an empty log.
int LogPageCountFor(int qsoCount);
// Newest-first position of the first QSO of the last page (1 for an empty log).
int LastPageStart(int qsoCount);

struct PagingButtons {
  bool first = false;     // "Primera"
  bool previous = false;  // "Anterior"
  bool next = false;      // "Siguiente"
  bool last = false;      // "Ultima"
  bool operator==(const PagingButtons&) const = default;
};
// The buttons for a page of a log with more than one page: none back on the first
// page, none forward on the last, all four elsewhere (also for a page number out of
// range).
PagingButtons PagingButtonsForPage(int pageNumber, int pageCount);
// The buttons after a load: all off for a log of at most one page.
PagingButtons PagingButtonsFor(int qsoCount, int pageNumber, int pageCount);

// "Log: ", the name, ", con ", the count, " QSOs".
QString LogSummaryText(const QString& logName, int qsoCount);

// A page of a log as the list shows it.
struct LogPage {
  int qsoCount = 0;    // the log's QSOs (placeholder rows not counted)
  int pageCount = 0;   // pages of 20; 0 for an empty log
  int start = 1;       // newest-first position of the first row
  int pageNumber = 0;  // the page on show
  QList<QsoListRow> rows;
};

// Where a page load lands: a start of 1 (or less) is the first page; a start beyond
// the last QSO is the last page (the first of an empty log); any other start keeps
// the page number its caller gave.
LogPage PlanLogPage(int qsoCount, int startRecord, int callerPageNumber);

// The log's QSOs, placeholder rows not counted.
Result<int> CountLogQsos(const QString& logName);

// Reads up to 20 QSOs of the log from the newest-first position start on, newest
// first (by date, then time). The page is planned as PlanLogPage says.
Result<LogPage> ReadLogPage(const QString& logName, int startRecord, int callerPageNumber);

}  // namespace vz
