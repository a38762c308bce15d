// The master list as downloaded: its date line, the bytes kept as webomc.txt and,
// once it takes master.txt's place, the list the contest window reads back.
#include "contest/masterupdate.h"
#include "fuzzinput.h"
#include "store/masterlist.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
  const auto read = ReadDownloadedMasterList(body);
  if (!read.ok()) return 0;
  fuzz::check(read.value.date.isValid());
  const QStringList lines = splitTextLines(decodeCp1252(read.value.fileBytes));
  const MasterList list = ParseMasterList(lines);
  fuzz::check(list.calls.size() <= MasterList::kLastEntry + 1);
  fuzz::check(list.count <= lines.size());
  return 0;
}
