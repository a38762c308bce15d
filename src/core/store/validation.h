#pragma once
#include <QString>
#include <QStringList>

#include "platform/dialogs.h"

namespace vz {

// The band labels a QSO is stored and shown with; the empty text means no band.
const QStringList& bandLabels();

// "hh:mm": five characters, digits around a ":" at the third place, hour up to 23,
// minute up to 59.
bool IsInvalidTime(const QString& text);
// "dd/mm/yyyy", two digits, "/", two digits, "/", four digits, that names a real day.
bool IsInvalidDate(const QString& text);

// Length of a signal report for a mode: three (RST) for "CW" and "Sat CW", two (RS)
// for every other mode.
int expectedReportLength(const QString& mode);
// The check on leaving a report box of the entry strip: the expected length, and for
// RS a first digit 1 to 5, for RST a middle digit 1 to 9; the last digit at least 1.
bool IsInvalidEntryReport(const QString& report, const QString& mode);
// The QSO edit dialog accepts every report here; it refuses only an empty one itself.
bool IsInvalidEditReport(const QString& report);

// The entry strip's values that the checks before each step of the entry read.
struct LogEntryValues {
  QString call;                // Corresponsal
  QString mode;                // mode selector
  QString receivedReport;      // RSR
  QString sentReport;          // RSE
  bool satelliteMode = false;  // "Vía Satélite" ticked
  QString satellite;           // satellite selector's text
  QString stationCall;         // station call label
  QString operatorCall;        // operator call label
};

enum class EntryField { None, Call, ReceivedReport, SentReport, Satellite };

// The first check that failed: the message to show with its icon and the box that
// gets the focus. An empty message means the entry may go on.
struct EntryCheck {
  QString message;
  MsgIcon icon = MsgIcon::None;
  EntryField focus = EntryField::None;
  bool passed() const { return message.isEmpty(); }
};

// Call present, then the received and the sent report (length for the mode, first
// digit 1 to 5, last digit at least 1).
EntryCheck ValidateLogEntry(const LogEntryValues& entry);
// Everything Enter checks before it moves on or saves: ValidateLogEntry, then a
// satellite chosen in satellite mode, then a call other than the station's and the
// operator's own.
EntryCheck CheckLogEntryOnEnter(const LogEntryValues& entry);

// The band of a whole number of MHz as the MHz selectors offer them (1, 3, 5 ... 1267),
// matched exactly; the empty text for any other value.
QString BandForMhz(double mhz);

// The band for a MHz selector's text and a kHz box's text, with the out-of-band
// warning the window shows (empty when the frequency is inside the band).
struct BandChoice {
  QString band;
  QString warning;
};
BandChoice BandFromSelectors(const QString& mhzText, const QString& khzText);

// The band of a frequency in MHz ("14.195"), by closed ranges; the empty text outside
// them.
QString BandFromFrequency(const QString& frequency);
// The frequency an imported QSO gets for its band ("20m" gives "14.100"); the empty
// text for a band without one.
QString DefaultFrequencyForBand(const QString& band);

}  // namespace vz
