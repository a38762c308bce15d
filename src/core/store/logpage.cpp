#include "store/logpage.h"

#include <QDate>
#include <QSqlError>
#include <QSqlRecord>
#include <QTime>
#include <algorithm>
#include <limits>

#include "platform/database.h"
#include "platform/textutil.h"

namespace vz {

const QsoListColumn kQsoListColumns[QsoListRow::kColumns] = {
    {"Indice", 0},      {"ID", 0},           {"Estación", 1000},      {"Banda", 750},
    {"Frec", 750},      {"Modo", 750},       {"RSe", 750},            {"RSr", 750},
    {"Fecha", 1300},    {"Hora UTC", 1000},  {"MiCall", 1000},        {"Operador", 1000},
    {"Observaciones", 3000}, {"Mi Grilla", 1000}, {"Su Grilla", 1000}, {"Ruk", 1000},
    {"Satélite", 1000}, {"Argentina", 1000},
};

namespace {

// The constant item text of every row; the zero-width first column holds it.
const QString kItemText = QStringLiteral("nombre1");

// Columns a page reads, in the list's order after the item text.
const char* const kPageColumns[QsoListRow::kColumns - 1] = {
    "id",     "Estacion", "Banda",  "Frecuencia", "Modo",   "RSE",        "RSR",    "Fecha",  "Hora",
    "MyCall", "Operador", "Obs",    "MiGrid",     "SuGrid", "Ruk",        "Nombre_Sat", "Argento"};

QString pageColumnList() {
  QStringList cols;
  for (const char* c : kPageColumns) cols << QStringLiteral("[%1]").arg(QLatin1String(c));
  return cols.join(QLatin1Char(','));
}

// Pages this close to the newest QSO are read by skipping rows; further ones are
// found through the month counts, so no page costs more than about a month of rows.
constexpr int kDirectSkipLimit = 200;

int compareText(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive); }

template <class T>
int compareValues(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// A date cell as a sortable number: yyyymmdd, or -1 when the text is no date.
long long dateNumber(const QString& text) {
  const QDate d = parseDayFirstDate(text);
  return d.isValid() ? d.year() * 10000LL + d.month() * 100 + d.day() : -1;
}

int timeNumber(const QString& text) {
  const QTime t = parseTime(text);
  return t.isValid() ? t.msecsSinceStartOfDay() : -1;
}

}  // namespace

QString QsoListDateText(const QString& stored) {
  if (int y = 0, m = 0, day = 0; storedDateParts(stored, &y, &m, &day)) return stored;  // already as written below
  const QDate d = parseDayFirstDate(stored);
  QString text = d.isValid() ? formatDate(d) : stored;
  text.replace(QLatin1Char('-'), QLatin1Char('/')).replace(QLatin1Char(' '), QLatin1Char('/'));
  return text;
}

QString QsoListTimeText(const QString& stored) {
  const QTime t = parseTime(stored);
  return t.isValid() ? formatTime(t) : stored;
}

namespace {

// Positions of the page's columns in a query's record, found once per query.
struct PageColumnPositions {
  std::array<int, QsoListRow::kColumns - 1> at{};
  explicit PageColumnPositions(const QSqlQuery& q) {
    const QSqlRecord record = q.record();
    for (int i = 0; i < QsoListRow::kColumns - 1; ++i) at[i] = record.indexOf(QLatin1String(kPageColumns[i]));
  }
};

QsoListRow rowAt(const QSqlQuery& q, const PageColumnPositions& columns) {
  QsoListRow row;
  row.cells[0] = kItemText;
  for (int i = 0; i < QsoListRow::kColumns - 1; ++i)
    if (columns.at[i] >= 0) row.cells[i + 1] = db::text(q, columns.at[i]);
  row.cells[kQsoListFecha] = QsoListDateText(row.cells[kQsoListFecha]);
  row.cells[kQsoListHora] = QsoListTimeText(row.cells[kQsoListHora]);
  for (int c : {15, 16, 17}) row.cells[c] = trimBlanks(row.cells[c]);  // Ruk, Nombre_Sat, Argento
  return row;
}

}  // namespace

QsoListRow QsoListRowFromQuery(const QSqlQuery& q) { return rowAt(q, PageColumnPositions(q)); }

int CompareQsoListCells(int column, const QString& a, const QString& b, const QString& aTime,
                        const QString& bTime) {
  int c = 0;
  if (column == kQsoListFecha) {
    c = compareValues(dateNumber(a), dateNumber(b));
    if (c == 0) c = compareValues(timeNumber(aTime), timeNumber(bTime));
  } else if (column == kQsoListId || column == kQsoListFrec) {
    c = compareValues(vbVal(a), vbVal(b));
  }
  return c != 0 ? c : compareText(a, b);
}

int QsoListSortColumnForHeading(int headingPosition) {
  const int key = headingPosition - 1;
  return key == kQsoListId ? kQsoListBanda : key;
}

int LogPageCountFor(int qsoCount) {
  if (qsoCount <= 0) return 0;
  return qsoCount / kLogPageSize + (qsoCount % kLogPageSize != 0 ? 1 : 0);
}

int LastPageStart(int qsoCount) {
  if (qsoCount <= 0) return 1;
  return qsoCount - (qsoCount - 1) % kLogPageSize;
}

PagingButtons PagingButtonsForPage(int pageNumber, int pageCount) {
  if (pageNumber == 1) return {false, false, true, true};
  if (pageNumber == pageCount) return {true, true, false, false};
  return {true, true, true, true};
}

PagingButtons PagingButtonsFor(int qsoCount, int pageNumber, int pageCount) {
  if (qsoCount <= kLogPageSize) return {};
  return PagingButtonsForPage(pageNumber, pageCount);
}

QString LogSummaryText(const QString& logName, int qsoCount) {
  return QStringLiteral("Log: ") + logName + QStringLiteral(", con ") + QString::number(qsoCount) +
         QStringLiteral(" QSOs");
}

LogPage PlanLogPage(int qsoCount, int startRecord, int callerPageNumber) {
  LogPage p;
  p.qsoCount = std::max(0, qsoCount);
  p.pageCount = LogPageCountFor(p.qsoCount);
  if (startRecord <= 1 || p.qsoCount == 0) {
    p.start = 1;
    p.pageNumber = 1;
  } else if (startRecord > p.qsoCount) {
    // The page's QSOs are gone (the last one of the last page was deleted): show
    // what is now the last page rather than an empty list.
    p.start = LastPageStart(p.qsoCount);
    p.pageNumber = p.pageCount;
  } else {
    p.start = startRecord;
    p.pageNumber = callerPageNumber;
  }
  return p;
}

Result<int> CountLogQsos(const QString& logName) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(
      q, QStringLiteral("SELECT coalesce(sum([Cuenta]),0) FROM [%1] WHERE [Nombre Log]=?").arg(QLatin1String(db::kMonthCountTable)),
      {db::textValue(logName)});
  if (!s) return Result<int>::failure(s.error);
  if (!q.next()) return Result<int>::of(0);
  const qlonglong n = q.value(0).toLongLong();
  return Result<int>::of(int(std::clamp<qlonglong>(n, 0, std::numeric_limits<int>::max())));
}

namespace {

Status readRows(QSqlQuery& q, QList<QsoListRow>* rows) {
  const PageColumnPositions columns(q);
  while (q.next()) rows->append(rowAt(q, columns));
  if (q.lastError().isValid()) return Status::failure(q.lastError().text());
  return Status::success();
}

// Rows newest first, skipping the newer ones.
Status readNewestFirst(const QString& logName, int skip, int count, QList<QsoListRow>* rows) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s =
      db::run(q,
              QStringLiteral("SELECT %1 FROM Tabla1 WHERE [Nombre Log]=? AND [Modo]<>'' "
                             "ORDER BY %2 DESC, [Hora] DESC, [id] DESC LIMIT ? OFFSET ?")
                  .arg(pageColumnList(), QLatin1String(db::kFechaKey)),
              {db::textValue(logName), count, skip});
  return s ? readRows(q, rows) : s;
}

// Rows from the oldest end: the month that holds the oldest-first position
// `fromOldest` (1-based) is found from the month counts, and only that month's
// earlier rows are skipped. The rows come back newest first.
Status readFromOldest(const QString& logName, int fromOldest, int count, QList<QsoListRow>* rows) {
  QString month;
  qlonglong before = 0;
  {
    QSqlQuery q(db::connection());
    q.setForwardOnly(true);
    const Status s = db::run(
        q,
        QStringLiteral("SELECT [Mes], [Antes] FROM (SELECT [Mes], sum([Cuenta]) OVER (ORDER BY [Mes] ROWS UNBOUNDED "
                       "PRECEDING) - [Cuenta] AS [Antes] FROM [%1] WHERE [Nombre Log]=?) WHERE [Antes] < ? "
                       "ORDER BY [Mes] DESC LIMIT 1")
            .arg(QLatin1String(db::kMonthCountTable)),
        {db::textValue(logName), fromOldest});
    if (!s) return s;
    if (q.next()) {
      month = q.value(0).toString();
      before = q.value(1).toLongLong();
    }
  }
  // Rows whose key is at least the month's are the month and everything newer;
  // the month of rows without a date ('') comes first of all, so it needs no bound.
  const QString bound = month.isEmpty() ? QString() : QStringLiteral(" AND %1 >= ?").arg(QLatin1String(db::kFechaKey));
  QVariantList values{db::textValue(logName)};
  if (!month.isEmpty()) values << month;
  values << count << qlonglong(fromOldest - 1 - before);
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s =
      db::run(q,
              QStringLiteral("SELECT %1 FROM Tabla1 WHERE [Nombre Log]=? AND [Modo]<>''%3 "
                             "ORDER BY %2 ASC, [Hora] ASC, [id] ASC LIMIT ? OFFSET ?")
                  .arg(pageColumnList(), QLatin1String(db::kFechaKey), bound),
              values);
  if (!s) return s;
  QList<QsoListRow> oldestFirst;
  const Status r = readRows(q, &oldestFirst);
  if (!r) return r;
  std::reverse(oldestFirst.begin(), oldestFirst.end());
  rows->append(oldestFirst);
  return Status::success();
}

}  // namespace

Result<LogPage> ReadLogPage(const QString& logName, int startRecord, int callerPageNumber) {
  const Result<int> n = CountLogQsos(logName);
  if (!n.ok()) return Result<LogPage>::failure(n.error());
  LogPage page = PlanLogPage(n.value, startRecord, callerPageNumber);
  if (page.qsoCount == 0) return Result<LogPage>::of(page);

  const int last = std::min(page.qsoCount, page.start + (kLogPageSize - 1));
  const int count = last - page.start + 1;
  const Status s = page.start - 1 <= kDirectSkipLimit
                       ? readNewestFirst(logName, page.start - 1, count, &page.rows)
                       : readFromOldest(logName, page.qsoCount - last + 1, count, &page.rows);
  if (!s) return Result<LogPage>::failure(s.error);
  return Result<LogPage>::of(page);
}

}  // namespace vz
