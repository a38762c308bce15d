#include "online/versioncheck.h"

#include <array>

#include "platform/services.h"
#include "platform/textfile.h"
#include "platform/textutil.h"

namespace vz {

QUrl VersionFileUrl() { return serviceUrl(Service::WebSite, QStringLiteral("/assets/rozozev/version.dat")); }

std::optional<VersionNumber> SplitVersion(const QString& text) {
  const qsizetype first = text.indexOf(u'.');
  if (first < 0) return std::nullopt;
  const QString rest = text.mid(first + 1);
  const qsizetype second = rest.indexOf(u'.');
  if (second < 0) return std::nullopt;
  return VersionNumber{text.left(first), rest.left(second), rest.mid(second + 1)};
}

bool UpdateDue(const VersionNumber& program, const VersionNumber& web) {
  const std::array<double, 3> mine{vbVal(program.major), vbVal(program.minor), vbVal(program.patch)};
  const std::array<double, 3> theirs{vbVal(web.major), vbVal(web.minor), vbVal(web.patch)};
  return mine < theirs;
}

QString VersionFirstLine(const QString& answer) {
  const QStringList lines = splitTextLines(answer + QStringLiteral("\r\n"));
  QString first = lines.isEmpty() ? QString() : lines.first();
  // A file written with LF endings: its further lines are not part of the number.
  const qsizetype lf = first.indexOf(u'\n');
  if (lf >= 0) first.truncate(lf);
  return first;
}

VersionCheckOutcome CompareVersions(const QString& programVersion, const QString& webLine) {
  const std::optional<VersionNumber> web = SplitVersion(webLine);
  const std::optional<VersionNumber> mine = SplitVersion(programVersion);
  // A box reading only "0" would tell the operator nothing: the line is named.
  if (!web || !mine)
    return {false,
            QStringLiteral("La versión publicada en la Web no se puede leer (se esperaba algo como 2.1.22): \"") +
                webLine.left(100) + u'"',
            0};
  const bool due = UpdateDue(*mine, *web);
  const QString crlf = QStringLiteral("\r\n");
  return {true,
          QStringLiteral("Su versión: ") + programVersion + crlf + QStringLiteral("en la Web: ") + webLine + crlf +
              crlf + (due ? QStringLiteral("debe actualizar!") : QStringLiteral("está actualizado")),
          0};
}

}  // namespace vz
