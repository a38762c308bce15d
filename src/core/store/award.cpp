#include "store/award.h"

#include <QSet>
#include <algorithm>

#include <QSqlQuery>
#include <algorithm>

#include "exchange/searchquery.h"
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

// Squares in the order they first came; sorted once at the end.
struct SquareList {
  QStringList inOrder;
  QSet<QString> seen;
  void add(const QString& square) {
    if (!seen.contains(square)) {
      seen.insert(square);
      inOrder << square;
    }
  }
  // Sorted without regard to letter case; of squares that differ only in case, the
  // one that came last stands first.
  QStringList sorted() const {
    QStringList out(inOrder.rbegin(), inOrder.rend());
    std::stable_sort(out.begin(), out.end(),
                     [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    return out;
  }
};

}  // namespace

struct AwardTally::Squares {
  SquareList confirmed;
  SquareList worked;
};

AwardTally::AwardTally(Kind kind) : kind_(kind), squares_(std::make_unique<Squares>()) {}
AwardTally::~AwardTally() = default;

void AwardTally::add(const AwardQso& q) {
  const QStringList& names = provinceNames();
  if (kind_ == Kind::Matrix) {
    const int p = int(names.indexOf(q.province));
    if (p < 0 || p >= kAwardProvinces) return;
    const int c = int(awardColumnLabels().indexOf(q.band));
    if (c < 0) return;
    raiseCell(grid_.cells[p][c], uploadState(q.ruk));
    return;
  }
  const QString square = q.grid.left(4);
  if (!trimBlanks(square).isEmpty())
    (RukStatus(q.ruk) == kAwardConfirmed ? squares_->confirmed : squares_->worked).add(square);

  const int p = int(names.indexOf(q.province));
  if (p < 0 || p >= kAwardProvinces) return;
  const bool notUploaded = q.ruk.isEmpty() || q.ruk == QLatin1String("0");
  const int state = uploadState(q.ruk);
  auto mark = [&](int c) {
    int& cell = grid_.cells[p][c];
    if (notUploaded && cell == kAwardEmpty) cell = kAwardWorked;
    raiseCell(cell, state);
  };
  const int band = bandColumn(q.band, Qt::CaseInsensitive);
  if (band >= 0) mark(band);
  if (!q.satellite.isEmpty()) mark(kAwardSatColumn);
}

AwardGrid AwardTally::grid() const {
  AwardGrid g = grid_;
  if (kind_ == Kind::Matrix) return g;
  g.confirmedSquares = squares_->confirmed.sorted();
  // A square with a confirmed QSO is listed as confirmed only.
  for (const QString& s : squares_->worked.sorted())
    if (!squares_->confirmed.seen.contains(s)) g.workedSquares << s;
  return g;
}

AwardGrid TallyAwardGrid(const QList<AwardQso>& qsos) {
  AwardTally tally(AwardTally::Kind::Grid);
  for (const AwardQso& q : qsos) tally.add(q);
  return tally.grid();
}

AwardGrid TallyAwardMatrix(const QList<AwardQso>& qsos) {
  AwardTally tally(AwardTally::Kind::Matrix);
  for (const AwardQso& q : qsos) tally.add(q);
  return tally.grid();
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
  const Result<SearchListing> listing = ListProvinceQsos(logName);
  if (!listing.ok()) return Result<QList<QsoListRow>>::failure(listing.error());
  return ReadListedRows(listing.value);
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
