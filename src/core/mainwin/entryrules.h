#pragma once
#include <QDateTime>
#include <QString>

namespace vz {

// The boxes of the main window's entry strip, numbered as their focus handlers
// record them in FocusedEntryField.
enum class EntryBox { None = 0, Corresponsal = 1, Fecha, Hora, RSE, RSR, Text1, Text2, Obs };

// ---- Key filters --------------------------------------------------------------

// True for the boxes whose typed keys are filtered: the call, the date, the time,
// the kHz and the worked grid. The reports and the remarks take every key.
bool HasEntryKeyFilter(EntryBox box);
// A typed character as the box takes it: upper-cased when it passes, 0 when it is
// dropped. Backspace passes every filter; every other control character is dropped.
int FilterEntryKey(EntryBox box, int keyAscii);
// Pasted text through the same filter, character by character.
QString FilterEntryText(EntryBox box, const QString& text);

// ---- Leave checks and completions ------------------------------------------------

// A call needs at least one letter A to Z and one digit.
bool LooksLikeCallSign(const QString& call);
QString NotACallSignMessage(const QString& call);

// While the worked grid is typed: whether its last character suits its place
// (letters at 1, 2, 5 and 6, digits at 3 and 4). An empty text fits.
bool GridLastCharacterFits(const QString& grid);
// A worked grid may be left empty or with 4 or 6 characters.
bool IsAcceptedGridLength(const QString& grid);

// The kHz box completed as kHz after the decimal point: "" gives "000", "5" gives
// "500", "65" gives "650"; three or more characters stay as they are.
QString CompleteKhz(const QString& khz);

// What a leave check makes of a box: the text the box ends with and, when the
// value is refused, the message to show.
struct LeaveCheck {
  QString text;
  QString message;
  bool refused() const { return !message.isEmpty(); }
};

// The date box on leaving: an empty box is refused; a missing year (or a year of
// zeros) becomes 2000; "-" becomes "/" after the check.
LeaveCheck CheckEntryDate(const QString& date);
// The time box on leaving: a text that reads as hours and minutes ("9:5") is
// written "hh:mm"; anything else is checked as typed, so digits without ":" are
// refused.
LeaveCheck CheckEntryTime(const QString& time);
// The refusals of a date and a time as shown, for a text that the check refused.
QString DateRefusedMessage(const QString& date);
QString TimeRefusedMessage(const QString& time);
QString ReportRefusedMessage(const QString& report);

// ---- Local time and UTC -----------------------------------------------------------

// The UTC offset setting in whole hours, rounded to the nearest; local time is UTC
// plus the offset ("-3": UTC is three hours ahead).
int UtcOffsetHours(const QString& offsetText);

// The entry strip's date and time for a local time shifted back by whole hours
// (seconds dropped): "dd/mm/yyyy" and "hh:mm". The shift is plain clock
// arithmetic, so midnight and the new year are crossed as on a wall clock.
struct EntryClock {
  QString date;
  QString time;
};
EntryClock EntryClockText(const QDateTime& local, int shiftHours);

// The date and time a QSO is stored with: the boxes read as "dd/mm/yyyy" and
// "hh:mm", shifted back by whole hours, as "dd/mm/yyyy" and "hh:mm:00". Not ok when
// the boxes do not read as a date and a time.
struct StoredQsoTime {
  bool ok = false;
  QString date;
  QString time;
};
StoredQsoTime QsoTimeForSave(const QString& date, const QString& time, int shiftHours);

// ---- The Enter walk ----------------------------------------------------------------

enum class EnterStep { Fecha, Hora, RSE, RSR, Text1, Text2, Obs, Save };
// Where Enter goes from the box that last had the focus (FocusedEntryField), once
// the entry passed its checks.
EnterStep NextOnEnter(int focusedEntryField, bool manualTime, bool satelliteMode);

}  // namespace vz
