#include "store/award.h"

#include <QSqlQuery>
#include <algorithm>

#include "platform/database.h"
#include "platform/textutil.h"
#include "store/callsign.h"
#include "store/logstore.h"

namespace vz {

const QStringList& awardColumnLabels() {
  static const QStringList labels = {QStringLiteral("160m"), QStringLiteral("80m"), QStringLiteral("60m"),
                                     QStringLiteral("40m"),  QStringLiteral("30m"), QStringLiteral("20m"),
                                     QStringLiteral("17m"),  QStringLiteral("15m"), QStringLiteral("12m"),
                                     QStringLiteral("10m"),  QStringLiteral("6m"),  QStringLiteral("Sat")};
  return labels;
}

AwardQso AwardQsoFromRow(const QsoListRow& row) {
  return {row.cells[kQsoListBanda], row.cells[15], row.cells[16], row.cells[17], row.cells[14]};
}

namespace {

// The upload state a QSO brings to a cell: 1 or 2, else 0. Other numbers do not
// arise from the stores; they must not reach the icons as states of their own.
int uploadState(const QString& ruk) {
  const int v = RukStatus(ruk);
  return v == kAwardUploaded || v == kAwardConfirmed ? v : 0;
}

void raiseCell(int& cell, int value) {
  if (value > std::max(cell, 0)) cell = value;
}

// The band columns among the first eleven that a band text names, or -1.
int bandColumn(const QString& band, Qt::CaseSensitivity cs) {
  const QStringList& labels = awardColumnLabels();
  for (int c = 0; c < kAwardSatColumn; ++c)
    if (QString::compare(band, labels[c], cs) == 0) return c;
  return -1;
}

void insertSorted(QStringList& list, const QString& text) {
  if (list.contains(text)) return;
  const auto at = std::lower_bound(list.begin(), list.end(), text, [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  list.insert(at, text);
}

}  // namespace

AwardGrid TallyAwardGrid(const QList<AwardQso>& qsos) {
  AwardGrid grid;
  const QStringList& names = provinceNames();
  for (const AwardQso& q : qsos) {
    const QString square = q.grid.left(4);
    if (!trimBlanks(square).isEmpty())
      insertSorted(RukStatus(q.ruk) == kAwardConfirmed ? grid.confirmedSquares : grid.workedSquares, square);

    const int p = int(names.indexOf(q.province));
    if (p < 0 || p >= kAwardProvinces) continue;
    const bool notUploaded = q.ruk.isEmpty() || q.ruk == QLatin1String("0");
    const int state = uploadState(q.ruk);
    auto mark = [&](int c) {
      int& cell = grid.cells[p][c];
      if (notUploaded && cell == kAwardEmpty) cell = kAwardWorked;
      raiseCell(cell, state);
    };
    const int band = bandColumn(q.band, Qt::CaseInsensitive);
    if (band >= 0) mark(band);
    if (!q.satellite.isEmpty()) mark(kAwardSatColumn);
  }
  // A square with a confirmed QSO is listed as confirmed only.
  grid.workedSquares.removeIf([&](const QString& s) { return grid.confirmedSquares.contains(s); });
  return grid;
}

AwardGrid TallyAwardMatrix(const QList<AwardQso>& qsos) {
  AwardGrid grid;
  const QStringList& names = provinceNames();
  const QStringList& labels = awardColumnLabels();
  for (const AwardQso& q : qsos) {
    const int p = int(names.indexOf(q.province));
    if (p < 0 || p >= kAwardProvinces) continue;
    const int c = int(labels.indexOf(q.band));
    if (c < 0) continue;
    raiseCell(grid.cells[p][c], uploadState(q.ruk));
  }
  return grid;
}

QString AwardSummaryText(const AwardGrid& grid, int column) {
  int confirmed = 0, uploaded = 0;
  for (const AwardRow& r : grid.cells) {
    if (r[column] == kAwardConfirmed) ++confirmed;
    if (r[column] == kAwardUploaded) ++uploaded;
  }
  return QString::number(confirmed) + QLatin1Char('/') + QString::number(uploaded);
}

QRgb AwardProvinceColour(const AwardRow& row) {
  if (std::find(row.begin(), row.end(), int(kAwardConfirmed)) != row.end()) return kAwardConfirmedColour;
  if (std::find(row.begin(), row.end(), int(kAwardUploaded)) != row.end()) return kAwardUploadedColour;
  return 0x000000;
}

Result<QList<QsoListRow>> ReadProvinceQsos(const QString& logName) {
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q,
                           QStringLiteral("SELECT * FROM Tabla1 WHERE [Nombre Log]=? ORDER BY %1 ASC, [Hora] ASC, [id] ASC")
                               .arg(QLatin1String(db::kFechaKey)),
                           {db::textValue(logName)});
  if (!s) return Result<QList<QsoListRow>>::failure(s.error);
  QList<QsoListRow> rows;
  while (q.next()) {
    QsoListRow row = QsoListRowFromQuery(q);
    // Modo as stored: only a placeholder row has none.
    if (row.cells[5].isEmpty() || row.cells[17].isEmpty()) continue;
    row.cells[14] = row.cells[14].toUpper();
    rows << row;
  }
  return Result<QList<QsoListRow>>::of(std::move(rows));
}

std::optional<QString> MembersLine(const QString& pageText) {
  const qsizetype nomo = pageText.indexOf(QLatin1String("nomo:"));
  if (nomo < 1) return std::nullopt;
  const QString after = pageText.mid(nomo + 5, 2000);
  const qsizetype ultimar = after.indexOf(QLatin1String("ultimar:"));
  if (ultimar < 1) return std::nullopt;
  return pageText.left(nomo - 1) + QLatin1Char(' ') + after.left(ultimar - 1) + QLatin1Char('>') +
         after.mid(ultimar + 8);
}

}  // namespace vz
