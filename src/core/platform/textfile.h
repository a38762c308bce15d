#pragma once
#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace vz {

// Lines of a Windows-1252 text file. A line ends at CR LF, at a lone LF (as an
// editor on Linux saves it) or at a lone CR. A last line without an ending still counts; an
// empty file, or one that ends with a line ending, has no empty line after it.
// Returns false (and no lines) when the file cannot be read.
bool readTextLines(const QString& path, QStringList* lines);
QStringList splitTextLines(const QString& text);

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
