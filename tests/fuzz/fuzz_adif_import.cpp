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
  // No value reaches into the record's closing "<EOR>" (a length that ran past its
  // value once gave the mode "<EO"): the same record closed by "<eor>" reads the same.
  static const char* const names[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND", "FREQ", "MODE", "RST_SENT",
                                      "RST_RCVD", "OPERATOR", "PROP_MODE", "COMMENT", "SAT_NAME",
                                      "MY_GRIDSQUARE", "GRIDSQUARE", "QSL_RCVD", "STATION_CALLSIGN"};
  for (const QString& record : read.recordLines) {
    const AdifFields fields(record);
    const AdifFields closedLower(record.left(record.size() - 5) + QLatin1String("<eor>"));
    for (const char* name : names) {
      const auto a = fields.value(QLatin1String(name));
      const auto b = closedLower.value(QLatin1String(name));
      fuzz::check(a.ok() == b.ok());
      if (a.ok()) fuzz::check(a.value == b.value);
    }
  }
  const bool ruk = IsRukImportFile(read.programId);
  for (const QString& record : read.recordLines) (void)ParseImportRecord(record, ruk, QString());
  return 0;
}
