#pragma once
#include <QByteArray>
#include <QString>

namespace vz {

// Text files beside the program are single-byte Windows-1252. The five bytes the
// code page leaves undefined map to the C1 controls of the same value, so any
// byte sequence survives a read and a write unchanged.
QString decodeCp1252(const QByteArray& bytes);

// Characters outside the code page become "?", as the original system wrote them.
QByteArray encodeCp1252(const QString& text);
// The same, added at the end of out.
void appendCp1252(QByteArray* out, QStringView text);

// The code page value of one character (as the ANSI code of the original's Asc);
// 63 ("?") for characters outside the code page.
int cp1252Code(QChar c);
// Whether the code page holds the character, or every character of the text:
// text that does not would come back from a file with "?" in their place.
bool fitsCp1252(QChar c);
bool fitsCp1252(const QString& text);
QChar cp1252Char(int code);

}  // namespace vz
