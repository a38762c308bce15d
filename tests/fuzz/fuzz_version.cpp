// The published version file: its first line and the comparison with this version.
#include "fuzzinput.h"
#include "online/versioncheck.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString answer = fuzz::textOf(data, size);
  const QString line = VersionFirstLine(answer);
  fuzz::check(!line.contains(u'\r') && !line.contains(u'\n'));
  const VersionCheckOutcome o = CompareVersions(QStringLiteral("2.1.21"), line);
  // Either the comparison or a failure that says something.
  fuzz::check(!o.text.isEmpty());
  if (!o.ok) fuzz::check(o.code == 0);
  return 0;
}
