// The Ruk lookup page: the result window's text and the copy buttons' values.
#include "fuzzinput.h"
#include "online/callbook.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString page = fuzz::textOf(data, size);
  const RukLookupResult r = RukResult(page, QStringLiteral("LU1ABC"));
  // The copy buttons' values are parts of the shown text.
  if (!r.nameLine.isEmpty()) fuzz::check(r.text.contains(r.nameLine));
  if (!r.emailLine.isEmpty()) fuzz::check(r.text.contains(r.emailLine));
  return 0;
}
