// The answers of the list uploads (service and eQSL): what each row's page says and
// whether it can be shown at all.
#include "fuzzinput.h"
#include "online/listupload.h"
#include "online/serviceanswer.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString page = fuzz::textOf(data, size);
  const UploadAnswer a = ClassifyUploadAnswer(page);
  if (a.abort) fuzz::check(a.error);
  if (SaysWrongPassword(page)) fuzz::check(a.abort);
  const bool readable = IsReadableAnswer(page);
  const QString said = UnusableAnswerText(QStringLiteral("Rukanet"), QStringLiteral("la carga del QSO"), 500, page);
  // Never the page itself: what is shown instead is always readable.
  fuzz::check(IsReadableAnswer(said));
  if (readable) fuzz::check(!page.trimmed().isEmpty());
  return 0;
}
