// The service's members page: the members line taken from its text.
#include "fuzzinput.h"
#include "store/award.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString page = fuzz::textOf(data, size);
  if (const auto line = MembersLine(page)) fuzz::check(line->size() <= page.size());
  return 0;
}
