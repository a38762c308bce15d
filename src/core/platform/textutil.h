#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace vz {

// The number at the start of a text, read as the original's Val does: blanks, tabs
// and line feeds anywhere are skipped, an optional sign, digits with at most one
// "." and an optional exponent; reading stops at the first other character.
// "&H1F" and "&O17" read as hexadecimal and octal. No number gives 0.
double vbVal(const QString& text);

// Val taken as a whole number, as the original's integer conversions round it
// (banker's rounding) and clamped to the range of a long long.
long long vbValInt(const QString& text);

// Removes leading and trailing blanks (U+0020) only; tabs and other white space stay,
// as the original's Trim does.
QString trimBlanks(const QString& text);
QString trimLeftBlanks(const QString& text);
QString trimRightBlanks(const QString& text);

// A value that lives on one line of a file or in one column of a row: each line
// break (CR LF, CR, LF) and each tab becomes one blank. The position given, when
// given, is moved with the text before it.
QString oneLine(const QString& text, int* position = nullptr);
// Whether the text holds a CR, an LF or a tab, which oneLine would replace.
bool breaksLine(const QString& text);

// The longest start of a text that holds whole characters as the operator sees them
// (a letter with its accents, an emoji with its modifiers, a flag) in at most
// `units` UTF-16 units: a limit never leaves half a character behind.
QString wholeCharactersWithin(const QString& text, qsizetype units);
// The text without surrogate halves that lack their partner (what a cut left).
QString withoutLoneSurrogates(const QString& text);

// Fixed date and time patterns, never the locale.
QString formatDate(const QDate& d);          // "dd/mm/yyyy"
QString formatTime(const QTime& t);          // "hh:mm"
QString formatTimeSeconds(const QTime& t);   // "hh:mm:ss"

// Reads a date day first: "d/m/yyyy" with "/", "-" or "." between the parts, and a
// two-digit year taken as 2000 to 2029 or 1930 to 1999. Invalid gives a null date.
QDate parseDayFirstDate(const QString& text);
// The stored form "dd/mm/yyyy" of a valid date with a four-digit year, read in place
// (no date built): lists and exports read it for every QSO. False for anything else.
bool storedDateParts(const QString& text, int* year, int* month, int* day);
// Reads "h:mm" or "h:mm:ss" (seconds kept). Invalid gives a null time.
QTime parseTime(const QString& text);

}  // namespace vz
