#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/status.h"

namespace vz {

// The parse step of the ADIF import: record lines of a prepared file become
// StagedQso rows of Tabla3, each marked new ("VA") or with the id of the QSO of the
// current log that it repeats. The import window runs it and shows its counts.

// The values the import reads from one record line, all texts, in the file's
// letter case.
struct ImportedQso {
  QString ownCall;          // STATION_CALLSIGN, or the station call the operator typed
  QString call;             // CALL
  QString date;             // QSO_DATE as "dd/mm/yyyy"
  QString time;             // TIME_ON as "hh:mm"
  QString band;             // BAND
  QString frequency;        // FREQ
  QString reportSent;       // RST_SENT
  QString reportReceived;   // RST_RCVD
  QString operatorCall;     // OPERATOR
  QString mode;             // MODE
  QString propagationMode;  // PROP_MODE (read, never stored)
  QString remarks;          // COMMENT
  QString satellite;        // SAT_NAME
  QString ownGrid;          // MY_GRIDSQUARE
  QString grid;             // GRIDSQUARE
  QString uploadState;      // QSL_RCVD of a file from the national online log, as "2", "1" or as read
};

// Why a record is not staged; each kind has its own count and error line.
enum class ImportCheck {
  Accepted,
  MissingField,  // no worked call, date, time or mode: "ADIF."
  BadDate,       // "Fecha"
  BadTime,       // "QTR"
};

struct ParsedImportRecord {
  ImportedQso qso;
  ImportCheck check = ImportCheck::Accepted;
  // Neither band nor frequency: counted under "Banda/Frec." whatever the check
  // says, and staged all the same when accepted.
  bool noBandNorFrequency = false;
};

// A file written by the national online log service, named so by its PROGRAMID
// (exact letter case): its QSL_RCVD gives the upload state and its mode "SAT" is FM.
bool IsRukImportFile(const QString& programId);

// The station call the operator typed for a file without one, from the import
// window's list lines ("<STATION_CALLSIGN:" and the call; the last such line
// counts); empty text when there is none.
QString ImportTypedStationCall(const QStringList& listLines);

// Reads one record line with every rule of the import (modes, default reports,
// band from frequency and back, satellite, cuts to the column widths, the checks).
// stationCall, when not empty, replaces every record's own call. A field whose
// length cannot be read is a failure.
Result<ParsedImportRecord> ParseImportRecord(const QString& line, bool rukFile, const QString& stationCall);

// Appends one StagedQso to Tabla3 for the current log (CurrentLogName), with the
// province of the worked call. Reports are cut to 3 characters, remarks to 100,
// locators trimmed of blanks; the propagation mode is not stored. A row that
// cannot be stored is a failure, never a silent loss.
Status AddImportStagingRecord(const QString& ownCall, const QString& call, const QString& date, const QString& time,
                              const QString& band, const QString& frequency, const QString& mode,
                              const QString& reportSent, const QString& reportReceived, const QString& operatorCall,
                              const QString& propagationMode, const QString& satellite, const QString& uploadState,
                              const QString& remarks, const QString& duplicateMark, const QString& ownGrid,
                              const QString& grid);

// The mark of a new QSO in Tabla3's Dupe column.
inline constexpr const char* kNewQsoMark = "VA";

struct ImportCounts {
  int newQsos = 0;
  int duplicates = 0;
  int dateErrors = 0;       // "Fecha"
  int timeErrors = 0;       // "QTR"
  int bandErrors = 0;       // "Banda/Frec."
  int adifErrors = 0;       // "ADIF."
};

// The window's error lines for the counts above 0 ("> 3 error(es) Fecha"), in the
// order Fecha, QTR, Banda/Frec., ADIF.
QStringList ImportErrorLines(const ImportCounts& counts);

// What the import window does while the parse runs.
struct ImportParseHooks {
  // Asked before each record that passed every check is staged; true ends the
  // parse there (the operator cancelled), keeping what was staged before it.
  std::function<bool()> cancelRequested;
  // After each record, staged or not, with its index and the counts so far.
  std::function<void(int index, const ImportCounts& counts)> recordDone;
  // When given, the two hooks above run only when this says the window wants its
  // turn (or has a cancel request pending), and never inside a transaction;
  // records are staged in between without asking.
  std::function<bool()> turnDue;
};

enum class ImportParseEnd { Finished, Cancelled };

// Parses and stages every record line in order into Tabla3 (which the caller has
// emptied), counting new QSOs, duplicates and errors into counts. programId is the
// file's identifier as the window shows it; stationCall the call the operator typed
// (empty: none). A failure (a field length that cannot be read, a database
// failure) ends the parse with its text; what was staged before stays, and the new
// and duplicate counts hold only the rows really staged.
// Records are looked up and staged in groups, each in one transaction.
Result<ImportParseEnd> ParseImportRecords(const QStringList& recordLines, const QString& programId,
                                          const QString& stationCall, ImportCounts* counts,
                                          const ImportParseHooks& hooks = {});

// ---- Loading ---------------------------------------------------------------------

// What the import window does while the load runs.
struct ImportLoadHooks {
  // Asked after each written row: true ends the rows written together there, so a
  // cancel request is answered right after the row it followed.
  std::function<bool()> cancelPending;
  // After each group of rows written in one transaction (a group lasts about 50 ms),
  // with the rows written so far; true stops the load there (the operator cancelled).
  std::function<bool(int written)> groupDone;
};

struct ImportLoadEnd {
  int written = 0;   // rows inserted or rewritten, and kept
  bool cancelled = false;
  QString failure;   // empty when every row was written
};

// Moves the staged QSOs of Tabla3, in table order, into the current log: a new one
// ("VA") is inserted, a duplicate rewrites the QSO whose id it carries when
// replaceDuplicates is set and is skipped otherwise. A row that cannot be written
// ends the load with its reason; every row written before it is kept.
ImportLoadEnd LoadStagedQsos(bool replaceDuplicates, const ImportLoadHooks& hooks = {});

}  // namespace vz
