#pragma once
#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <functional>

namespace vz {

// Lines of a Windows-1252 text file. A line ends at CR LF, at a lone LF (as an
// editor on Linux saves it) or at a lone CR. A last line without an ending still counts; an
// empty file, or one that ends with a line ending, has no empty line after it.
// Returns false (and no lines) when the file cannot be read or is larger than
// kMaxTextFileBytes.
bool readTextLines(const QString& path, QStringList* lines);

// Far larger than any list or settings file the program reads (the largest real
// one, the prefix list, is well under 1 MB): a bigger file is refused unread, so a
// wrong or damaged file cannot fill the memory.
inline constexpr qint64 kMaxTextFileBytes = 10 * 1024 * 1024;
// Why readTextLines refuses or would refuse the file, in Spanish; empty when it reads.
// maxBytes: a smaller limit a reader sets for its own file.
QString readFailureReason(const QString& path, qint64 maxBytes = kMaxTextFileBytes);

// The file's lines a block at a time, for readers that keep only part of a long
// file: it never stands whole in memory as lines. take returns false to stop. The
// bytes are cut only right after a CR (with its LF when one follows), which ends a
// line under the line rule above, so the blocks' lines are the file's lines. Refuses
// what readTextLines refuses; true when the file was read (to its end or the stop).
bool forEachTextBlock(const QString& path, const std::function<bool(const QStringList& lines)>& take);
QStringList splitTextLines(const QString& text);

// The bytes writeTextLines writes for the lines: Windows-1252, each line ended by CR LF.
QByteArray textLinesBytes(const QStringList& lines);
// Writes each line followed by CR LF, replacing the file through a temporary file
// in the same folder, so a failed or interrupted write leaves the old file as it
// was. Returns false and sets error (when given) when the file cannot be written.
// Appending rewrites the file the same way.
// Permissions, when given, are set on the new file before anything is written to it
// (a file holding passwords is kept to its owner).
bool writeTextLines(const QString& path, const QStringList& lines, QString* error = nullptr,
                    QFileDevice::Permissions permissions = {});
bool appendTextLine(const QString& path, const QString& line, QString* error = nullptr);
// The same for bytes as they are.
bool replaceFileBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                      QFileDevice::Permissions permissions = {});

// A whole number as the original printed it to a file: a blank, the digits and a
// blank (" 1 "); negative numbers put the sign in place of the first blank ("-1 ").
QString numberLine(long long n);

// Converts a file whose lines end with LF alone to CR LF endings, for readers that
// accept such files.
QString normaliseLineEndings(const QString& text);

}  // namespace vz
