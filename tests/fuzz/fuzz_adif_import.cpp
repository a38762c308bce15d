// The import's file chain in memory: a chosen ADIF file's bytes read as the import
// reads them (encoding, header, records cut by their field lengths), then every
// record read with the import's rules.
#include <QRegularExpression>

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
  // A record holding a tag the reader kept as it stood (its length unreadable) is left
  // out: the raw text after such a tag is not cut by lengths, and the parse refuses it.
  static const QRegularExpression keptAsItStood(QStringLiteral("<[A-Za-z0-9_]+:(?![0-9]+>)"));
  static const char* const names[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND", "FREQ", "MODE", "RST_SENT",
                                      "RST_RCVD", "OPERATOR", "PROP_MODE", "COMMENT", "SAT_NAME",
                                      "MY_GRIDSQUARE", "GRIDSQUARE", "QSL_RCVD", "STATION_CALLSIGN"};
  for (const QString& record : read.recordLines) {
    if (record.contains(keptAsItStood)) continue;
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
