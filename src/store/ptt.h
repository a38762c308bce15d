#pragma once
#include <QString>

namespace vz {

// Push-to-talk: raise or drop one control line ("DTR" or "RTS", exactly) of the
// configuration dialog's port, and show the state in the transmit indicators of
// the main and the contest window. Failures are ignored: with no port open only the
// indicators change.
void SetPttOn(const QString& line);
void SetPttOff(const QString& line);

// Drops the push-to-talk line ("RTS" when the settings tick it, otherwise "DTR") and
// shows receive in the indicators of the windows that are loaded, loading none: for
// a window that is going away.
void DropPttOnLeaving();

// The contest window's keyer-port controls are switched off while the CW sender
// sends a text.
void LockKeyerPortControls();
void UnlockKeyerPortControls();

}  // namespace vz
