// The confirmation check's answer per QSO: its result line and the statuses written.
#include "fuzzinput.h"
#include "online/checkupload.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString answer = fuzz::textOf(data, size);
  const CheckAnswer a = ParseCheckAnswer(7, QStringLiteral("LU2AAA"), answer);
  fuzz::check(a.line.startsWith(QLatin1String("7 ")));
  for (const QString& s : a.statuses) fuzz::check(s == QLatin1String("1") || s == QLatin1String("2"));
  return 0;
}
