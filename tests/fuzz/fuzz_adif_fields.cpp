// The ADIF field reader on one record line: every field the import reads, the
// fields found by walking the lengths, and a value asked for by any name.
#include <array>

#include "exchange/adif.h"
#include "exchange/adifimport.h"
#include "fuzzinput.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the import's variants; the rest is the line.
  const uint8_t flags = data[0];
  const QString line = fuzz::textOf(data + 1, size - 1);

  static const std::array<const char*, 17> names = {
      "CALL", "QSO_DATE", "TIME_ON", "BAND", "FREQ", "MODE", "RST_SENT", "RST_RCVD", "OPERATOR",
      "PROP_MODE", "COMMENT", "SAT_NAME", "MY_GRIDSQUARE", "GRIDSQUARE", "QSL_RCVD", "STATION_CALLSIGN",
      "PROGRAMID"};
  const AdifFields fields(line);
  for (const char* name : names) {
    const auto v = fields.value(QLatin1String(name));
    if (v.ok() && v.value) fuzz::check(v.value->size() <= line.size());
  }
  // A name taken from the line itself: the text between the first "<" and ":".
  const qsizetype lt = line.indexOf(u'<');
  const qsizetype colon = line.indexOf(u':', lt + 1);
  if (lt >= 0 && colon > lt) (void)AdifTagValue(line, line.mid(lt + 1, colon - lt - 1));

  (void)ParseImportRecord(line, flags & 1, (flags & 2) ? QStringLiteral("LU1ABC") : QString());
  return 0;
}
