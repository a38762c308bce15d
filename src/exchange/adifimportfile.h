#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/status.h"

namespace vz {

// Getting a chosen ADIF file ready for the import: whatever its line ends, header
// and record layout, it becomes a work file in the program's folder whose first
// line is the header's PROGRAMID line (empty when there is none) and whose other
// lines are one record each; the import then reads that work file.

// The local time as "hhmmss" (the clock's), which names the converted copy and the
// work file.
QString ImportTimeSuffix();

// The path to import from. A file that reads as one single line (lines ended by LF
// alone, or really one line) is copied beside itself as its path, "_" and the time,
// with every LF turned into CR LF and a CR LF at the end, and the copy's path is
// returned; any other file (empty, or two lines or more) is left alone and its own
// path returned. A copy of that name is replaced.
Result<QString> ConvertLfFileToCrLf(const QString& path);

// The same on lines in memory: a single line is cut again at its LFs (each taken
// as a CR LF); two lines or more, or none, come back as they are.
QStringList LinesAfterLfConversion(const QStringList& lines);

// The header line that holds "<PROGRAMID:" (the last one up to and including the
// first line with "<EOH>"), whole; empty text when there is none. Tags in any
// letter case.
Result<QString> ReadAdifProgramIdLine(const QString& path);
QString AdifProgramIdLineOf(const QStringList& lines);

// Writes the work file, the program's folder "modificado_" and the time (a file of
// that name is replaced), and returns its path. Its first line is programIdLine;
// then one line per record: the text from where the record begins up to and
// including its "<EOR>", pieces of a record spread over several lines joined
// without a separator, several records on one line each given its own line. Lines
// before the one holding "<EOH>" are left out (text on that line before "<EOH>"
// stays with the first record), and so is what follows the last "<EOR>" (such as
// "<EOF>"). advance is called once per line read and once per line written (the
// import window's spinner).
Result<QString> RewriteAdifOneRecordPerLine(const QString& path, const QString& programIdLine,
                                            const std::function<void()>& advance = {});
// The work file's lines for the lines of a file (advance is called once per line read).
QStringList AdifRecordsOnePerLine(const QStringList& lines, const QString& programIdLine,
                                  const std::function<void()>& advance = {});

// Work files longer than this many lines are refused.
inline constexpr int kImportLineLimit = 10000;

// What the import finds in a work file.
struct ImportWorkFile {
  int lineCount = 0;        // lines read (stops at the first one past the limit)
  bool tooManyLines = false;
  QStringList recordLines;  // lines holding "<CALL:" and "<EOR>", in file order
  QString programId;        // the PROGRAMID value, or the eQSL caption; empty when none
  QStringList stationCalls; // distinct STATION_CALLSIGN values, as they stand, in order of appearance
};

// The caption shown for a file that came from eQSL.
QString EqslExportCaption();

// Reads a work file. The first line is the header's and is never taken for a
// record, also when the header shares its line with records. Past kImportLineLimit
// lines reading stops with tooManyLines set, keeping the program identifier found
// so far and nothing else.
Result<ImportWorkFile> ReadImportWorkFile(const QString& path);
Result<ImportWorkFile> ReadImportWorkLines(const QStringList& lines);

// The refusal of a work file past the line limit.
QString ImportTooManyLinesMessage(const QString& workPath);

}  // namespace vz
