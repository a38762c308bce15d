// The QRZ XML answers: the login (error text, key) and the lookup's result lines.
#include "fuzzinput.h"
#include "online/callbook.h"
#include "online/serviceanswer.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString page = fuzz::textOf(data, size);
  const QrzLoginAnswer login = ReadQrzLogin(page);
  if (login.key) fuzz::check(page.contains(QLatin1String("</Key>")));
  const QString result = QrzResultText(page, QStringLiteral("LU1ABC"));
  fuzz::check(!result.isEmpty());
  (void)IsReadableAnswer(page);
  (void)XmlUnescape(page);
  return 0;
}
