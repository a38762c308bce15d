#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/status.h"
#include "store/logstore.h"

namespace vz {

// ---- Logs: listing, creating, deleting ----------------------------------------

// The log that becomes current when the last log has been deleted. No row is
// written for it: it exists once a QSO is saved in it.
inline const QString kLogWhenNoneLeft = QStringLiteral("Base 1");

// Every log name in ascending order, each once (letter case aside, as the names
// compare everywhere). A row without a name gives the empty name.
Result<QStringList> ListLogNames();

struct LogWithCount {
  QString name;
  long long qsos = 0;  // rows with a mode; a log's placeholder does not count
};
// Every log with its QSO count, in the order of ListLogNames.
Result<QList<LogWithCount>> ListLogsWithCounts();

// An entry of the log picker: the name, " (", the count, " QSOs)".
QString LogPickerEntry(const QString& name, long long qsos);
// The log name of a picker entry: the entry without the count that the listing
// appended; an entry without that ending is the name as it stands.
QString LogNameFromPickerEntry(const QString& entry);

// The longest log name config.ini gives back: a longer one would name another log
// after a restart. New logs and contests are cut to it when created.
inline constexpr int kLogNameLength = 100;

// A new log's name as the operator typed it, without its apostrophes, cut to
// kLogNameLength.
QString NewLogName(const QString& answer);
// True when a log with that name exists, letter case aside.
Result<bool> LogExists(const QString& name);
// Creates an empty log: its placeholder row.
Status CreateLog(const QString& name);
// Deletes every row of the log (its QSOs and its placeholder).
Status DeleteLog(const QString& name);
// The log that becomes current after a delete: the first remaining name, or
// kLogWhenNoneLeft when none is left.
Result<QString> LogAfterDelete();

// ---- One QSO of a log ------------------------------------------------------------

// The QSO with the id in the log, if it is there (a placeholder is no QSO).
Result<std::optional<LogQso>> FindLogQso(const QString& logName, qint64 id);
// The QSO with the id, whatever its log, exactly as stored.
Result<std::optional<LogQso>> FindQsoById(qint64 id);
// The log's newest QSO by date and time, if it has any.
Result<std::optional<LogQso>> NewestLogQso(const QString& logName);

// What the QSO edit dialog writes back over a QSO: every column but the log name.
// The upload state is always emptied: an edited QSO must be uploaded again.
struct EditedQso {
  QString mode, band, ownCall, call, date, time, reportSent, reportReceived, remarks, operatorCall, ownGrid,
      workedGrid, frequency, satellite, province;
};
// Fails when the statement fails or no QSO has the id.
Status SaveEditedQso(const EditedQso& qso, qint64 id);
// Deletes the QSO with the id; no such id deletes nothing and is no failure.
Status DeleteQso(qint64 id);

// ---- Earlier QSOs with a station --------------------------------------------------

// The QSOs of the log whose worked call begins with the typed call, oldest date
// first (the time takes no part; QSOs of one day stay in the order they were
// added). A "?" in the typed call stands for any one character, a "*" for any run
// of characters; letter case does not count.
Result<QList<LogQso>> FindWorkedBefore(const QString& logName, const QString& call);

}  // namespace vz
