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
// queued for one database file never touches another. The file keeps a row for it
// until it ends, so one cut by the end of the process is not lost.
void QueueGridBackFill(const QString& logName, const QString& call, const QString& grid);

// Queues again the back-fills the open file holds rows for: those the last run of
// the program (or a kill) left unfinished. Start-up calls it once the file is open.
void ResumeGridBackFills();

// Runs one step of the first queued back-fill now; true while any is left. A step
// that meets another program's lock leaves the back-fill queued and tries again a
// second later, telling the failed handler once when the lock outlasts ten tries.
bool RunGridBackFillStep();

// Runs every queued back-fill to its end now: the program ends, or a caller
// without an event loop needs the grids in place. Another program's lock stops it
// after the usual wait; the file's rows finish the rest at the next start.
void FinishGridBackFill();

bool GridBackFillPending();

// Who hears of a back-fill: `filled` once a save's back-fill has ended having
// written some QSOs of that log; `failed` with the failure that stopped one (the
// QSOs it had not reached keep no grid), or with the notice of a lock that outlasts
// the wait (the back-fill goes on once it is free). Empty handlers stop them.
void setGridBackFillHandlers(std::function<void(const QString& logName)> filled,
                             std::function<void(const QString& error)> failed);

}  // namespace vz
