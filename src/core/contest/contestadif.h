#pragma once
#include <QString>

#include "contest/conteststore.h"

namespace vz {

// One record line of a contest's ADIF export, "<EOR>" last, without line end:
// STATION_CALLSIGN, CALL, QSO_DATE, TIME_ON, MODE, FREQ (the band's fixed
// frequency, empty outside the eight contest bands), RST_SENT, STX, RST_RCVD, SRX
// and CONTEST_ID. No BAND field.
QString ContestAdifRecord(const ContestQso& q, const QString& contestName);

enum class ContestAdifResult {
  NoQsos,         // told "No hay ningún QSO para exportar a ADIF!"
  OtherOwnCall,   // a QSO was logged with another own call; told, nothing written
  Cancelled,      // no file chosen, or No to replacing it
  Failed,         // the contest could not be read or the file written; told
  Written,
};

// The contest window's "ADIF": writes the contest's QSOs in table order (as they
// were entered) to a file the operator chooses, after checking that every one was
// logged with the own call the window shows (ownCall, exact letters). A file
// already there is replaced only once the whole export is written. Offers to open
// the file afterwards.
ContestAdifResult ExportContestAdif(const QString& contestName, const QString& ownCall);

}  // namespace vz
