#pragma once
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/replacefile.h"
#include "platform/status.h"

namespace vz {

// The encoding an ADIF file is written or read in. Lengths count the bytes of that
// encoding.
enum class AdifEncoding { Windows1252, Utf8 };

// ---- Writing ------------------------------------------------------------------
//
// Every ADIF file the program writes: text with each line ended by CR LF, the five
// header lines, one line per QSO ending in "<EOR>", and for some writers "<EOF>" as
// the last line. The text is Windows-1252, byte for byte as it always was, when
// every value fits the code page; a file in which some value does not fit it is
// written in UTF-8 throughout (no byte-order mark), so nothing is lost. The import
// reads both.

// Whether a value needs the UTF-8 file: Windows-1252 would write "?" for part of it.
bool AdifNeedsUtf8(const QString& value);
// The encoding for the values of one QSO; a file takes UTF-8 when any QSO's does.
// A writer that streams its rows decides before the first record (a first pass over
// the rows, or starting again in UTF-8 at the first value that needs it).
AdifEncoding AdifEncodingFor(const QStringList& values);

// "<TAG:length>value". The tag is written as given (writers give it in capitals);
// the value unchanged, however it looks ("<", ">", blanks); the length counts the
// value's bytes in the file's encoding (one per character in Windows-1252), so a
// reader that honours lengths reads the value back whole. An empty value still
// gives the field: "<TAG:0>".
QString AdifField(const QString& tag, const QString& value, AdifEncoding encoding = AdifEncoding::Windows1252);

// The five header lines, "<EOH>" last. The timestamp is the local time given.
QStringList AdifHeader(const QString& programVersion, const QDateTime& localNow);
// The same with the program's version and the clock's local time now.
QStringList AdifHeader();

// "dd/mm/yyyy" read day first, as "yyyymmdd"; no value when it is not a date.
std::optional<QString> AdifQsoDate(const QString& date);
// The time text with every ":" removed ("14:30" gives "1430").
QString AdifTimeOn(const QString& time);

// The QSO values a record is built from, exactly as the writer reads them.
struct AdifQso {
  QString ownCall;         // STATION_CALLSIGN
  QString call;            // CALL
  QString mode;            // by the mode table
  QString band;            // BAND; "2m" decides the satellite's BAND_RX
  QString frequency;       // FREQ, MHz
  QString date;            // "dd/mm/yyyy"
  QString time;            // "hh:mm"
  QString reportSent;      // RST_SENT
  QString reportReceived;  // RST_RCVD
  QString satellite;       // not empty: the satellite block
  QString operatorCall;    // OPERATOR
  QString remarks;         // COMMENT, and QSLMSG on request
  QString ownGrid;         // MY_GRIDSQUARE
  QString grid;            // GRIDSQUARE
};

// The MODE field for a stored mode, with the propagation mode some of the program's
// own modes stand for ("Echo", "Echo IP", "DV IP", "DVoice", exact letter case);
// any other mode as stored.
QString AdifModeFields(const QString& mode, AdifEncoding encoding = AdifEncoding::Windows1252);

// Every value of the QSO a record writes.
QStringList AdifValues(const AdifQso& qso);
// AdifEncodingFor(AdifValues(qso)), looked at in place: the export asks it of every row.
AdifEncoding AdifQsoEncoding(const AdifQso& qso);

// One record line of the search list's export, "<EOR>" last, without line end,
// its lengths counted for the file's encoding. Fails (with the text to show) when
// the date cannot be read.
Result<QString> AdifRecord(const AdifQso& qso, bool useCommentAsQslMsg,
                           AdifEncoding encoding = AdifEncoding::Windows1252);

// The values of a QSO as the bytes of the file's encoding, in the same form as
// AdifQso's. Every character a Windows-1252 file can hold is one byte there, and
// a UTF-8 file counts bytes, so in either the lengths are the sizes.
struct AdifQsoBytes {
  QByteArrayView ownCall, call, mode, band, frequency, date, time, reportSent, reportReceived, satellite,
      operatorCall, remarks, ownGrid, grid;
};

// Adds to out the bytes of the line AdifRecord writes for the same values in that
// encoding, for an export that streams rows without a text per value. False, with
// out untouched, when the date is not in the stored form "dd/mm/yyyy": AdifRecord
// decides those.
bool AppendAdifRecordBytes(QByteArray* out, const AdifQsoBytes& qso, bool useCommentAsQslMsg);

// Writes an ADIF file: the header when created, then record lines, then the end.
// The file given is replaced only when finish() succeeds: a writer that fails or
// is dropped half-way leaves whatever file was there untouched.
class AdifFileWriter {
 public:
  // Starts the file and writes the header; every line goes out in the encoding.
  Status create(const QString& path, const QStringList& header = AdifHeader(),
                AdifEncoding encoding = AdifEncoding::Windows1252);
  Status writeLine(const QString& line);
  // A line already in the file's encoding, without its line end.
  Status writeEncodedLine(QByteArrayView line);
  // Writes "<EOF>" when asked, and puts the file in place.
  Status finish(bool endLine);

 private:
  Status failure();
  Status writePending();
  static constexpr qsizetype kPendingLimit = 1 << 16;
  std::optional<ReplacingFile> file_;
  QByteArray pending_;
  AdifEncoding encoding_ = AdifEncoding::Windows1252;
};

// ---- Reading --------------------------------------------------------------------

// Where a value that starts at valueStart and, by its length, would end at valueEnd
// really ends. A value is its length's characters, whatever they hold, with one
// exception: a length that runs over the start of a record's or the header's end
// ("<EOR>", "<EOH>", any letter case) and stops where no tag may begin (inside a
// word, inside that end tag) ran past its value, and the value stops before that
// end, which then ends the record. Otherwise a record whose length overran would
// swallow the next record and lend its fields to the first. A value that stops
// where a tag may begin ("<", a blank or line end, the end of the text) is taken
// whole, "<EOR>" and all, as a writer that counts honestly may write one.
qsizetype AdifValueEnd(QStringView text, qsizetype valueStart, qsizetype valueEnd);

// The fields of one record line as the import reads them. A field is found at its
// tag "<NAME:" in any letter case; its length is the number after the ":" (blanks
// skipped, a type indicator such as ":D" ends it); its value is that many
// characters after the first ">" within the 1000 characters that follow the ":"
// (fewer when the line ends first), or, without such a ">", that many characters
// from just after the ":".
//
// Which tag counts: the first one that stands where a field begins, reading the
// line field after field by the lengths (each value ending as AdifValueEnd says),
// so text inside an earlier value that looks like a tag (a remark "<CALL:5>...") is
// passed over, as a reader honouring the lengths must. When no field of that name
// is found that way (a length that overruns its value hides the next tag), the
// first "<NAME:" anywhere in the line counts, and its value stops at the next tag
// that stands where a field begins: never a piece of that tag or of "<EOR>".
class AdifFields {
 public:
  explicit AdifFields(const QString& line);

  // No value when the line has no such tag. A length that is negative or too large
  // for a text is a failure, with the text to show.
  Result<std::optional<QString>> value(const QString& name) const;

 private:
  QString line_;
  QHash<QString, qsizetype> fieldStart_;  // upper-case name: position just after its ":"
  QList<qsizetype> tagStarts_;            // the "<" of every tag that stands where a field begins, in order
};

// One field of a line (see AdifFields).
Result<std::optional<QString>> AdifTagValue(const QString& line, const QString& name);

}  // namespace vz
