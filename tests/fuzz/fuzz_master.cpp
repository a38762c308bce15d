// The master.txt reader: calls, the count and the date line.
#include "fuzzinput.h"
#include "store/masterlist.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QStringList lines = fuzz::linesOf(data, size);
  const MasterList list = ParseMasterList(lines);
  fuzz::check(list.calls.size() <= MasterList::kLastEntry + 1);
  fuzz::check(list.count <= lines.size());
  for (const QString& call : list.calls) fuzz::check(!call.isEmpty());
  if (list.date) fuzz::check(list.date->isValid());
  return 0;
}
