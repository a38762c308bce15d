#pragma once
#include <QList>
#include <QString>

#include "contest/conteststore.h"

namespace vz {

// The fixed frequency in kHz that a contest band is written with in a Cabrillo log;
// a band outside the contest window's eight gives its own text.
QString CabrilloFrequency(const QString& band);

// One fixed-column "QSO:" line of a Cabrillo 3.0 log for a contest QSO, without its
// line end. Padded fields are never cut: a longer value moves the rest of the line
// to the right. "QSO:" is always followed by a blank, so a 2 m line reads
// "QSO: 144000 PH ...".
QString CabrilloQsoLine(const ContestQso& q);

// The QSO section of a contest's Cabrillo log, from its QSOs in time order: one line
// per QSO, each followed by CR LF, then "END-OF-LOG:" without a line end. Every QSO
// must have been logged with the own call now shown; the first that was not stops
// the section, which then keeps only the lines made before it and no end marker.
struct CabrilloSection {
  QString text;
  qsizetype qsoCount = 0;
  // The QSO logged with another own call, when one stopped the section.
  std::optional<ContestQso> otherOwnCall;
  bool ok() const { return !otherOwnCall && qsoCount > 0; }
};
CabrilloSection CabrilloQsoSection(const QList<ContestQso>& qsosByTime, const QString& ownCall);

}  // namespace vz
