#pragma once
#include <QString>
#include <QUrl>
#include <optional>

namespace vz {

// The version file on the program's web site.
QUrl VersionFileUrl();

// A version number "major.minor.patch" split at its first two "."; absent when the
// text has fewer than two. Each component's value is the number at its start.
struct VersionNumber {
  QString major;
  QString minor;
  QString patch;
};
std::optional<VersionNumber> SplitVersion(const QString& text);

// True when the web's version is newer than the program's: the components are
// compared as numbers, major first, so an older published version never asks for
// an update.
bool UpdateDue(const VersionNumber& program, const VersionNumber& web);

// The first line of the version file as written to and read back from webo.txt.
QString VersionFirstLine(const QString& answer);

// What the operator is told, or the problem that stops the check.
struct VersionCheckOutcome {
  bool ok = false;
  QString text;  // the message (ok) or the failure's description
  int code = 0;  // the failure's code
};
// Compares the first line of the web's version file with the program's version. A
// line without two "." fails with an empty description and the code 0.
VersionCheckOutcome CompareVersions(const QString& programVersion, const QString& webLine);

}  // namespace vz
