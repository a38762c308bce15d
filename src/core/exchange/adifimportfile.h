#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "exchange/adif.h"
#include "platform/status.h"

namespace vz {

// Reading a chosen ADIF file for the import, in memory: nothing is written beside
// the file or in the program's folder, so a file in a read-only folder imports as
// well as any other.
//
// Records are cut by reading the fields with their lengths: a record ends at an
// "<EOR>" that stands where a tag may stand, never at text inside a value (but a
// length that runs over a record's end stops there: AdifValueEnd), and a value
// keeps its line breaks. Line ends do not matter (CR LF, CR or LF alone, a
// record over several lines, several records on one line).

// UTF-8 for a file that starts with the UTF-8 byte-order mark, or that holds bytes
// above 127 and is valid UTF-8 as a whole; Windows-1252 for any other.
AdifEncoding AdifFileEncoding(const QByteArray& bytes);

// Records past this many make the import refuse the file.
inline constexpr int kImportRecordLimit = 10000;

// What the import finds in a file.
struct ImportFileContents {
  AdifEncoding encoding = AdifEncoding::Windows1252;
  int lineCount = 0;         // "Lineas:": one for the header and one per record
  bool tooManyRecords = false;
  bool stopped = false;      // the reader was asked to stop (the window went away)
  // One text per record holding the field CALL, in file order: its fields as
  // "<NAME:length>value" with the length in characters of the text (type
  // indicators and text between fields left out), then "<EOR>". A field whose
  // length cannot be read stays as it stands, so the parse reports it.
  QStringList recordLines;
  QString programId;         // the PROGRAMID value, or the eQSL caption; empty when none
  QStringList stationCalls;  // distinct STATION_CALLSIGN values, as they stand, in order of appearance
};

// Called every few hundred records with how much of the text has been read;
// false stops the reading.
using ImportReadProgress = std::function<bool(qsizetype done, qsizetype total)>;

// Reads a file's bytes. The header, up to an "<EOH>" that comes before the first
// record, gives PROGRAMID; records follow it (from the start in a file without a
// header); what follows the last "<EOR>" (such as "<EOF>") is dropped. Past
// kImportRecordLimit records the reading stops with tooManyRecords set, keeping
// the program identifier and nothing else.
ImportFileContents ReadAdifImportBytes(const QByteArray& bytes, const ImportReadProgress& progress = {});

// The same for a file; a file that cannot be read is a failure with its reason.
Result<ImportFileContents> ReadAdifImportFile(const QString& path, const ImportReadProgress& progress = {});

// The caption shown for a file that came from eQSL.
QString EqslExportCaption();

// The refusal of a file with more than kImportRecordLimit records.
QString ImportTooManyRecordsMessage(const QString& chosenPath);

}  // namespace vz
