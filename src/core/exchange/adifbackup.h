#pragma once
#include <QString>
#include <functional>

#include "exchange/adif.h"
#include "platform/status.h"
#include "store/logstore.h"

namespace vz {

// The ADIF back-up of every log of Tabla1.

// One QSO of the back-up: the search list's record without mode mapping, with the
// satellite name trimmed, the upload state as QSL_RCVD and the QSO's log as
// LOG_NAME; "<EOR>" last, no line end. A QSO without own call is written with
// "<STATION_CALLSIGN:0>".
QString AdifBackupRecord(const LogQso& qso, AdifEncoding encoding = AdifEncoding::Windows1252);
// The encoding the QSO's values need (see AdifEncodingFor).
AdifEncoding AdifBackupEncodingFor(const LogQso& qso);

// A log's placeholder row: no mode, no own call and no worked call. The back-up
// leaves only these out.
bool IsLogPlaceholderRow(const LogQso& qso);

// Writes the back-up into path: the header, one line per QSO of every log in table
// order, "<EOF>"; in Windows-1252 when every value fits it, else in UTF-8 (the rows
// are read a second time when the first value that needs it turns up). The file is put in place only when complete; a failure leaves
// whatever file was there as it was. progress, when given, is called every few
// hundred rows with the rows read so far (the window lets itself answer there).
Status WriteAdifBackup(const QString& path, const std::function<void(int rowsRead)>& progress = {});

}  // namespace vz
