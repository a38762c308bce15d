// The import's file chain in memory: a chosen ADIF file's bytes read as the import
// reads them (encoding, header, records cut by their field lengths), then every
// record read with the import's rules.
#include "exchange/adif.h"
#include "exchange/adifimport.h"
#include "exchange/adifimportfile.h"
#include "fuzzinput.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const ImportFileContents read = ReadAdifImportBytes(bytes);
  fuzz::check(read.recordLines.size() <= kImportRecordLimit);
  if (read.tooManyRecords) fuzz::check(read.recordLines.isEmpty());
  for (const QString& record : read.recordLines)
    fuzz::check(record.endsWith(QLatin1String("<EOR>"), Qt::CaseInsensitive));
  const bool ruk = IsRukImportFile(read.programId);
  for (const QString& record : read.recordLines) (void)ParseImportRecord(record, ruk, QString());
  return 0;
}
