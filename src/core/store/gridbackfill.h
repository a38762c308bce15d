#pragma once
#include <QString>
#include <functional>

#include "platform/status.h"

namespace vz {

// A save's grid back-fill runs after the save, from the event loop, a step at a
// time: each step writes at most this many QSOs in one commit. A station with
// thousands of QSOs lacking a grid then never holds the window for long, and the
// QSO itself is on disk before any of them is touched.
inline constexpr int kGridBackFillStep = 128;

// Writes the grid into at most `limit` QSOs of the log with that call whose grid is
// missing (NULL or empty; blanks count as a grid). Gives how many it wrote: fewer
// than the limit means none is left.
Result<int> FillMissingGridStep(const QString& logName, const QString& call, const QString& grid, int limit);

// Queues the back-fill of one save: it starts once control is back in the event
// loop and goes on a step at a time, in the order the saves came, so an earlier
// save's grid wins as it would have done had it been written at once. A back-fill
// queued for one database file never touches another.
void QueueGridBackFill(const QString& logName, const QString& call, const QString& grid);

// Runs one step of the first queued back-fill now; true while any is left.
bool RunGridBackFillStep();

// Runs every queued back-fill to its end now: the program ends, or a caller
// without an event loop needs the grids in place.
void FinishGridBackFill();

bool GridBackFillPending();

// Who hears of a back-fill: `filled` once a save's back-fill has ended having
// written some QSOs of that log; `failed` with the failure that stopped one (the
// QSOs it had not reached keep no grid). Empty handlers stop them.
void setGridBackFillHandlers(std::function<void(const QString& logName)> filled,
                             std::function<void(const QString& error)> failed);

}  // namespace vz
