// dxcc.txt: the prefix table built from its lines and the country look-up of calls
// drawn from the same input.
#include "fuzzinput.h"
#include "store/callsign.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QStringList lines = fuzz::linesOf(data, size);
  prefixTable().setEntries(lines);
  // Calls to look up: the input's last line cut into words, and a few fixed ones.
  QStringList calls = lines.isEmpty() ? QStringList() : lines.last().split(u' ', Qt::SkipEmptyParts).mid(0, 8);
  calls << QStringLiteral("LU1ABC") << QStringLiteral("EA4XYZ") << QStringLiteral("K1A") << QStringLiteral("?");
  for (const QString& c : calls) {
    QString call = c.left(20);
    const QString country = LookupCountryOrProvince(call);
    fuzz::check(call.size() <= c.left(20).size());
    fuzz::check(country.size() <= 200);
  }
  return 0;
}
