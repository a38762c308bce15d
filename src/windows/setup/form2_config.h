#pragma once

// The settings dialog's and the main window's side of config.ini: which control each
// setting comes from and goes to. The file itself is read and written by store/configfile.
#include "platform/status.h"
#include "store/configfile.h"

namespace vz {

// Writes every setting to config.ini (the settings dialog's controls, the log in
// use and the main window's "No Borrar") and copies the station data into the main
// window. While no log is in use, "Log inicial" is created first. A failure is told
// to the operator and returned.
Status SaveConfig();

// Reads config.ini into the settings dialog's controls, the log in use and the main
// window, as the controls' own reactions follow each value (the port opens, the
// screen colours change). A failure is told to the operator and returned.
Status LoadConfig();
// The same read, leaving the telling of a failure to the caller.
Status LoadConfigQuietly();

// Starts the main window's exit countdown (its 200 ms ticks end the program).
void StartShutdownCountdown();

// The dark-screen value at the end of a read or a write; it has no effect of its own.
void ApplyScreenSetting(long long value);

// The settings dialog's controls as config.ini stores them, and back.
ConfigValues settingsFromControls();
void applySettingsToControls(const ConfigRead& read);

}  // namespace vz
