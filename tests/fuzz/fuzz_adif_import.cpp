// The import's file chain in memory: a chosen ADIF file's lines (LF-only files cut
// again), its PROGRAMID line, the records cut one per line, the work file read
// back, and every record read with the import's rules.
#include "exchange/adif.h"
#include "exchange/adifimport.h"
#include "exchange/adifimportfile.h"
#include "fuzzinput.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QStringList lines = LinesAfterLfConversion(fuzz::linesOf(data, size));
  const QString programIdLine = AdifProgramIdLineOf(lines);
  const QStringList work = AdifRecordsOnePerLine(lines, programIdLine);
  fuzz::check(!work.isEmpty() && work.first() == programIdLine);
  for (qsizetype i = 1; i < work.size(); ++i)
    fuzz::check(work[i].endsWith(QLatin1String("<EOR>"), Qt::CaseInsensitive));

  // The work file as the import reads it back: written with CR LF, cut by the line rule.
  QString text;
  for (const QString& l : work) text += l + QLatin1String("\r\n");
  const auto read = ReadImportWorkLines(splitTextLines(text));
  if (!read.ok()) return 0;
  const bool ruk = IsRukImportFile(read.value.programId);
  for (const QString& record : read.value.recordLines) (void)ParseImportRecord(record, ruk, QString());
  return 0;
}
