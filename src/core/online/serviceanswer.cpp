#include "online/serviceanswer.h"

namespace vz {

bool IsReadableAnswer(const QString& text) {
  if (text.trimmed().isEmpty()) return false;
  for (const QChar c : text) {
    if (c == QChar::ReplacementCharacter) return false;
    const char16_t u = c.unicode();
    if (u < 0x20 && u != u'\r' && u != u'\n' && u != u'\t') return false;
    if (u >= 0x7f && u < 0xa0) return false;
  }
  return true;
}

QString UnusableAnswerText(const QString& service, const QString& step, int httpStatus, const QString& text) {
  QString out = service + QStringLiteral(" no dio una respuesta válida para ") + step;
  if (httpStatus >= 400) out += QStringLiteral(" (error HTTP %1)").arg(httpStatus);
  out += QStringLiteral(": ");
  if (text.trimmed().isEmpty()) out += QStringLiteral("la respuesta llegó vacía.");
  else if (!IsReadableAnswer(text)) out += QStringLiteral("la respuesta no es texto legible.");
  else out += QStringLiteral("la respuesta no trae lo esperado.");
  return out;
}

bool SaysWrongPassword(const QString& text) { return text.contains(QStringLiteral("Error de Contraseña!")); }

}  // namespace vz
