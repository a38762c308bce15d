#pragma once
#include <QString>
#include <QStringList>

#include "online/listupload.h"

namespace vz {

// The log's upload with confirmation check: which QSOs go, what each request carries,
// and what an answer does to the QSO's upload state. The run itself drives these one
// request at a time.

// Where a row of the log stands before the run.
enum class CheckRowKind {
  NotQso,     // no worked call (the log's placeholder row)
  Confirmed,  // upload state 2: not sent again
  Mobile,     // "/MM" or "/MA" in the worked call
  Foreign,    // no Argentine province
  Send,
};
CheckRowKind ClassifyCheckRow(const QString& call, const QString& rukStatus, const QString& province);

// The band label the service expects: a label holding "m" as it is, a stored dial
// reading such as "14.205.0" by its band; any other text as stored.
QString CheckBandLabel(const QString& banda);

// The values of one row as the service takes them: "Sat" as the mode of a satellite
// QSO, the date day first "dd/mm/yyyy" and the time "hhmm". Fails on a date that
// cannot be read.
struct CheckRow {
  QString ownCall, call, banda, mode, fecha, hora, reportSent, satellite;
};
Result<CheckUploadValues> PrepareCheckUpload(const CheckRow& row);

// What one answer means for the QSO at position k.
struct CheckAnswer {
  bool error = false;
  QStringList statuses;  // "1" or "2", written in this order
  bool unconfirmed = false;
  bool uploaded = false;
  QString line;  // the result list's line
};
CheckAnswer ParseCheckAnswer(int k, const QString& call, const QString& answer);

// The question before sending, and the summary after it.
struct CheckScanCounts {
  int qsos = 0, confirmed = 0, mobile = 0, foreign = 0, toSend = 0;
};
constexpr int kCheckUploadLimit = 1000;
QString CheckUploadPrompt(const QString& logName, const CheckScanCounts& c, const QStringList& ownCalls);
QString CheckUploadSummary(int unconfirmed, int uploaded, int errors);

}  // namespace vz
