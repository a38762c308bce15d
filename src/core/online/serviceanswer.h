#pragma once
#include <QString>

namespace vz {

// Every answer of a service is read for the service's own words, whatever its HTTP
// status: a page sent with 401 may still say "Error de Contraseña!". What holds none
// of those words is said to be no answer, in Spanish, never shown as it came.

// Whether a page's text can be shown: not empty (blanks aside) and free of control
// characters and undecodable bytes, which mark a binary answer.
bool IsReadableAnswer(const QString& text);

// The words said instead of an answer that is of no use: names the service and the
// step, the HTTP status when it is an error, and why the page is no answer.
QString UnusableAnswerText(const QString& service, const QString& step, int httpStatus, const QString& text);

// "Error de Contraseña!" in an answer of the upload or the check: the run stops.
bool SaysWrongPassword(const QString& text);

}  // namespace vz
