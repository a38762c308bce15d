#pragma once
#include <QString>
#include <optional>

#include "platform/status.h"

namespace vz {

// The entry strip's values that the memory files beside the program keep from one
// run to the next. The main window copies its controls into this and back.
struct EntryStripValues {
  QString mhz;              // the MHz selector's text
  QString khz;              // the kHz box's text
  QString band;             // the band label's caption, such as "40m"
  bool manualTime = false;  // "QTR manual"
  QString mode;             // the mode selector's text
  bool satellite = false;   // "Vía Satélite"
};

// What mem.ini gives back at start-up.
struct MemIniValues {
  QString mhz;   // line 1 before its first "."
  QString khz;   // up to three characters after that "."
  QString band;  // line 2
  bool manualTime = false;  // line 3 not reading as 0
};

// What the four .cfg files give back at start-up; each value is absent when its
// file is missing or has no first line.
struct SavedEntryState {
  std::optional<QString> mode;          // memModo.cfg
  std::optional<QString> mhz;           // memMhz.cfg
  std::optional<QString> khz;           // memKhz.cfg
  std::optional<long long> satellite;   // memqSat.cfg, the number rounded to a whole one
};

// mem.ini: "MHz.kHz", the band, the manual-time value as a number line and an empty
// line. Written before each QSO is stored and when manual time is switched.
Status WriteMemIni(const EntryStripValues& values);
// memModo.cfg, memMhz.cfg, memKhz.cfg and memqSat.cfg, in that order, each written
// whole before the next. A file that cannot be written does not stop the others;
// the first failure is returned.
Status SaveEntryMemoryFiles(const EntryStripValues& values);
// memsat.ini: the satellite last chosen.
Status SaveSatelliteMemory(const QString& name);

// Absent when mem.ini is missing or cannot be read; missing lines read as empty.
std::optional<MemIniValues> ReadMemIni();
SavedEntryState ReadEntryMemoryFiles();
// The first line of memsat.ini, or empty whatever goes wrong.
QString LoadSatelliteMemory();

}  // namespace vz
