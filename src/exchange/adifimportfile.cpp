#include "exchange/adifimportfile.h"

#include <QFileInfo>

#include "exchange/adif.h"
#include "platform/clock.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"

namespace vz {

namespace {

const QLatin1String kEoh("<EOH>");
const QLatin1String kEor("<EOR>");

bool holds(const QString& line, QLatin1String tag) { return line.contains(tag, Qt::CaseInsensitive); }

Result<QStringList> readLines(const QString& path) {
  QStringList lines;
  if (!readTextLines(path, &lines)) return Result<QStringList>::failure(QStringLiteral("No se puede leer %1").arg(path));
  return Result<QStringList>::of(lines);
}

Status writeLines(const QString& path, const QStringList& lines) {
  QString error;
  if (!writeTextLines(path, lines, &error))
    return Status::failure(QStringLiteral("No se puede escribir %1: %2").arg(path, error));
  return Status::success();
}

}  // namespace

QString ImportTimeSuffix() { return clock().now().toString(QStringLiteral("HHmmss")); }

Result<QString> ConvertLfFileToCrLf(const QString& path) {
  const Result<QStringList> lines = readLines(path);
  if (!lines.ok()) return Result<QString>::failure(lines.error());
  if (lines.value.size() != 1) return Result<QString>::of(path);
  QString text = lines.value.first();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  const QString copy = path + QLatin1Char('_') + ImportTimeSuffix();
  // The line already holds its CR LFs; writing it as one line adds the last one.
  const Status s = writeLines(copy, {text});
  if (!s) return Result<QString>::failure(s.error);
  return Result<QString>::of(copy);
}

QStringList LinesAfterLfConversion(const QStringList& lines) {
  if (lines.size() != 1) return lines;
  QString text = lines.first();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return splitTextLines(text + QLatin1String("\r\n"));
}

QString AdifProgramIdLineOf(const QStringList& lines) {
  QString found;
  for (const QString& line : lines) {
    if (holds(line, QLatin1String("<PROGRAMID:"))) found = line;
    if (holds(line, kEoh)) break;
  }
  return found;
}

Result<QString> ReadAdifProgramIdLine(const QString& path) {
  const Result<QStringList> lines = readLines(path);
  if (!lines.ok()) return Result<QString>::failure(lines.error());
  return Result<QString>::of(AdifProgramIdLineOf(lines.value));
}

Result<QString> RewriteAdifOneRecordPerLine(const QString& path, const QString& programIdLine,
                                            const std::function<void()>& advance) {
  const Result<QStringList> lines = readLines(path);
  if (!lines.ok()) return Result<QString>::failure(lines.error());
  const QStringList work = AdifRecordsOnePerLine(lines.value, programIdLine, advance);
  const QString workPath = programFile(QStringLiteral("modificado_") + ImportTimeSuffix());
  const Status s = writeLines(workPath, work);
  if (!s) return Result<QString>::failure(s.error);
  if (advance)
    for (qsizetype i = 0; i < work.size(); ++i) advance();
  return Result<QString>::of(workPath);
}

QStringList AdifRecordsOnePerLine(const QStringList& lines, const QString& programIdLine,
                                  const std::function<void()>& advance) {
  QStringList work{programIdLine};
  QString pending;
  for (const QString& line : lines) {
    if (holds(line, kEoh)) pending.clear();
    if (holds(line, kEor)) {
      // Every "<EOR>" ends a record, also when one line holds several; what
      // follows the last one begins the next record.
      const QString text = pending + line;
      qsizetype from = 0;
      for (qsizetype at = text.indexOf(kEor, 0, Qt::CaseInsensitive); at >= 0;
           at = text.indexOf(kEor, from, Qt::CaseInsensitive)) {
        work << text.mid(from, at + kEor.size() - from);
        from = at + kEor.size();
      }
      pending = text.mid(from);
    } else if (!line.isEmpty() && line != kEoh) {
      pending += line;
    }
    if (advance) advance();
  }
  return work;
}

QString EqslExportCaption() { return QStringLiteral("Exported from eQSL.cc"); }

Result<ImportWorkFile> ReadImportWorkFile(const QString& path) {
  const Result<QStringList> lines = readLines(path);
  if (!lines.ok()) return Result<ImportWorkFile>::failure(lines.error());
  return ReadImportWorkLines(lines.value);
}

Result<ImportWorkFile> ReadImportWorkLines(const QStringList& lines) {
  using Answer = Result<ImportWorkFile>;
  ImportWorkFile file;
  for (const QString& line : lines) {
    ++file.lineCount;
    if (file.lineCount > kImportLineLimit) {
      file.tooManyLines = true;
      file.recordLines.clear();
      file.stationCalls.clear();
      return Answer::of(file);
    }
    const AdifFields fields(line);
    if (holds(line, QLatin1String("<PROGRAMID:"))) {
      const auto id = fields.value(QStringLiteral("PROGRAMID"));
      if (!id.ok()) return Answer::failure(id.error());
      file.programId = id.value.value_or(QString());
    }
    if (line.contains(QLatin1String("eQSL.cc"))) file.programId = EqslExportCaption();
    // The first line stands for the header: a header that shares its line with the
    // records would otherwise give the first record twice.
    if (file.lineCount > 1 && holds(line, QLatin1String("<CALL:")) && holds(line, kEor)) file.recordLines << line;
    if (holds(line, QLatin1String("<STATION_CALLSIGN:"))) {
      const auto call = fields.value(QStringLiteral("STATION_CALLSIGN"));
      if (!call.ok()) return Answer::failure(call.error());
      if (call.value && !file.stationCalls.contains(*call.value)) file.stationCalls << *call.value;
    }
  }
  return Answer::of(file);
}

QString ImportTooManyLinesMessage(const QString& workPath) {
  return QStringLiteral("El archivo:\r\n") + workPath + QStringLiteral("\r\ntiene mas de 10.000 QSOs!");
}

}  // namespace vz
