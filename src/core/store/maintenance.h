#pragma once
#include "platform/status.h"

namespace vz {

// Hidden maintenance commands of the main window over base0.mdb.

// Deletes every row of Tabla1, Tabla2 and Tabla3 and restarts their id counters, so
// the next row of each table gets id 1. Stops at the first failing statement; the
// statements before it keep their effect.
Status EmptyAllTables();

// Diagnostics: read rows into scratch records that nothing uses. Nothing is shown,
// stored or reported, failures included.
// Reads the rows of Tabla1 that share a band with a row of Tabla3.
void ReadJoinedRowsDiagnostic();
// Reads the first row of each table, every column by name.
void ReadFirstRowsDiagnostic();

}  // namespace vz
