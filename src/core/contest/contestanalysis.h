#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "contest/conteststore.h"

namespace vz {

// What counts as a multiplier in a contest analysis.
enum class ContestMultiplierChoice {
  WorkedPlace,       // the worked station's province or country
  ReceivedExchange,  // the exchange received
};

// One group of an analysis: the CW QSOs or the phone QSOs (every other mode). Only
// CW and SSB QSOs are judged for duplicates and multipliers; other modes (FM) are
// counted and timed only.
struct ContestGroupAnalysis {
  int qsos = 0;
  int duplicates = 0;       // calls already worked in the group, on any band
  QStringList multipliers;  // distinct, in the order first worked
  std::optional<QDateTime> first;
  std::optional<QDateTime> last;

  // Whole minutes from the first QSO to the last.
  qint64 minutes() const;
  // The value texts as the window shows them: "90 min.", "20 QSOs/h." (without a
  // number when all QSOs fall inside one minute), both empty for a single QSO or
  // none; the duplicates empty when there are none.
  QString timeText() const;
  QString rateText() const;
  QString duplicatesText() const;
};

struct ContestAnalysis {
  QString ownCall;  // of the contest's first QSO
  ContestGroupAnalysis cw;
  ContestGroupAnalysis phone;
};

// Analyses a contest's QSOs in time order. Unless ownCounts, a worked station with
// the own station's multiplier adds none. A QSO whose date or time cannot be read
// counts but does not move the first or last time.
ContestAnalysis AnalyseContest(const QList<ContestQso>& qsosByTime, ContestMultiplierChoice choice, bool ownCounts);

}  // namespace vz
