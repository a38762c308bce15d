#pragma once
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "platform/status.h"
#include "store/logpage.h"

namespace vz {

// The Argentine provinces award: per province and band, whether the province was
// worked, uploaded to the national online log service or confirmed there.

// The grid's band columns, in order: eleven bands, then "Sat".
const QStringList& awardColumnLabels();
inline constexpr int kAwardColumns = 12;
inline constexpr int kAwardSatColumn = 11;
inline constexpr int kAwardProvinces = 25;

// A cell's state; a shown cell uses the small icon number state + 1.
enum AwardCellState { kAwardEmpty = -1, kAwardWorked = 0, kAwardUploaded = 1, kAwardConfirmed = 2 };

// What the award reads of a listed QSO.
struct AwardQso {
  QString band;       // as stored
  QString ruk;        // upload state text, trimmed
  QString satellite;  // satellite name, empty when not via satellite
  QString province;   // one of the 25 names
  QString grid;       // worked locator
};
// Sub-items 3, 15, 16, 17 and 14 of a QSO list row.
AwardQso AwardQsoFromRow(const QsoListRow& row);

using AwardRow = std::array<int, kAwardColumns>;  // AwardCellState per column

struct AwardGrid {
  std::array<AwardRow, kAwardProvinces> cells;  // rows in provinceNames() order
  QStringList confirmedSquares;                 // sorted, each once
  QStringList workedSquares;                    // sorted, each once, none confirmed
  AwardGrid() {
    for (AwardRow& r : cells) r.fill(kAwardEmpty);
  }
};

// Tallies QSOs one at a time, so a list read in a stream is never held whole: as
// TallyAwardGrid (Kind::Grid) or TallyAwardMatrix (Kind::Matrix) would tally them.
class AwardTally {
 public:
  enum class Kind { Grid, Matrix };
  explicit AwardTally(Kind kind);
  ~AwardTally();
  void add(const AwardQso& qso);
  AwardGrid grid() const;

 private:
  struct Squares;
  Kind kind_;
  AwardGrid grid_;
  std::unique_ptr<Squares> squares_;
};

// The award window's grid: a QSO counts under its band (compared without regard to
// letter case) and, when made via satellite, under "Sat"; a QSO not uploaded marks
// its cell worked, otherwise a cell takes the highest state of its QSOs. Every QSO's
// grid square enters the square lists, whatever its band.
AwardGrid TallyAwardGrid(const QList<AwardQso>& qsos);

// The search view's matrix: only uploaded and confirmed QSOs mark a cell, the band
// text must equal a column label exactly ("Sat" included), and no squares are kept.
AwardGrid TallyAwardMatrix(const QList<AwardQso>& qsos);

// The summary row's text of a column: confirmed provinces, "/", uploaded ones.
QString AwardSummaryText(const AwardGrid& grid, int column);

// The colour of a province name: green when any cell is confirmed, orange-brown when
// any is uploaded, black otherwise.
QRgb AwardProvinceColour(const AwardRow& row);
inline constexpr QRgb kAwardConfirmedColour = 0x008000;
inline constexpr QRgb kAwardUploadedColour = 0xC04000;

// The current log's QSOs that carry a province, oldest first, as QSO list rows
// (the province column last). Placeholder rows and QSOs without a province are left
// out.
Result<QList<QsoListRow>> ReadProvinceQsos(const QString& logName);

// The members line of the service's members page text: what stands before "nomo:",
// a blank, the names up to "ultimar:", ">" and what follows it (each part without
// the character next to its marker). Nothing when the page lacks the markers.
std::optional<QString> MembersLine(const QString& pageText);

}  // namespace vz
