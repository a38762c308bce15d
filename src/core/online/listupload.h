#pragma once
#include <QString>
#include <QUrl>

#include "platform/status.h"

namespace vz {

// Requests to the online log service and to eQSL for single QSOs, and what their
// answers mean. The search view's uploads and the log's upload with confirmation
// check build on these; the window code only drives them one request at a time.

// The values of one listed QSO that the uploads send, as the list shows them.
struct UploadQso {
  QString ownCall;
  QString call;
  QString band;       // the list's band label
  QString frequency;  // MHz, as typed
  QString mode;
  QString reportSent;
  QString date;  // "dd/mm/yyyy"
  QString time;  // "hh:mm" or "hh:mm:ss"
  QString remarks;
  QString satellite;  // empty when not via satellite
};

// The band the services expect for a frequency, by its whole MHz. A frequency outside
// the table (5 MHz, 220 MHz ...) gets the QSO's own band label.
QString UploadBand(const QString& frequency, const QString& bandLabel);

// The online log service's band and mode for a QSO: the satellite prefix "Sat ",
// "DV" for the digital-voice modes, "ECHO" for the echo modes, "VOIP" as the band of
// the two internet modes.
struct ModeAndBand {
  QString mode;
  QString band;
};
ModeAndBand RukModeAndBand(const QString& mode, const QString& satellite, const QString& band);

// "dd/mm/yyyy" of a day-first date text; fails with the text to show when the date
// cannot be read.
Result<QString> UploadDate(const QString& date);
// The last five characters of the time with every ":" removed ("10:30:00" gives
// "3000", "10:30" gives "1030"). Lists show "hh:mm", which gives "hhmm".
QString UploadTime(const QString& time);

// The upload request of one QSO to the online log service. The password goes through
// PercentEncodePassword; every value is then percent-encoded once, so "&" or "="
// in a remark cannot cut the query.
Result<QUrl> RukListUploadUrl(const QString& user, const QString& password, const UploadQso& qso,
                              bool commentAsQslMsg);

// The upload request of the log's upload with confirmation check (no QSL message).
// The values come from the log's own row: band label and mode as stored.
struct CheckUploadValues {
  QString ownCall, call, band, mode, date, time, reportSent;
};
QUrl RukCheckUploadUrl(const QString& user, const QString& password, const CheckUploadValues& v);

// ---- eQSL ---------------------------------------------------------------------------

// The text before the record: "Vantorel Zezeror Ver <version><EOH>".
QString EqslHeader(const QString& programVersion);
// "<TAG:n>value", n counting the bytes of the value in UTF-8, the encoding the
// request carries it in.
QString EqslField(const QString& tag, const QString& value);
// One QSO as eQSL's query record, "<EOR><EOF>" last; fails when the date cannot be
// read.
Result<QString> EqslRecord(const UploadQso& qso, bool commentAsQslMsg);
// The import request: header and record in "ADIFData", the account after it.
QUrl EqslUploadUrl(const QString& adifText, const QString& user, const QString& password);

// ---- Answers ------------------------------------------------------------------------

// What one answer page of either upload means, each word looked for anywhere in the
// page, letter case exactly as written.
struct UploadAnswer {
  bool error = false;  // shown red
  bool abort = false;  // wrong password or unknown user: the run stops after this row
  bool rukLoaded = false;
  bool rukDuplicate = false;
  bool eqslLoaded = false;
  bool eqslDuplicate = false;
};
UploadAnswer ClassifyUploadAnswer(const QString& pageText);

// Colours of the answer lines, red in the lowest byte.
constexpr quint32 kAnswerBlack = 0x000000;
constexpr quint32 kAnswerDarkBlue = 0xC00000;   // (0, 0, 192)
constexpr quint32 kAnswerDarkGreen = 0x004000;  // (0, 64, 0)
constexpr quint32 kAnswerRed = 0x0000FF;        // (255, 0, 0)

}  // namespace vz
