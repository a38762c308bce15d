#include "exchange/adifimport.h"

#include <QDate>
#include <QElapsedTimer>
#include <QList>
#include <QSqlQuery>
#include <QSqlError>
#include <QSqlRecord>
#include <memory>

#include "exchange/adif.h"
#include "platform/database.h"
#include "platform/sqlitestatement.h"
#include "platform/textutil.h"
#include "store/callsign.h"
#include "store/duplicates.h"
#include "store/logstore.h"
#include "store/programstate.h"
#include "store/validation.h"

namespace vz {

namespace {

const QLatin1String kStationCallTag("<STATION_CALLSIGN:");

// Staged rows written together in one transaction.
constexpr qsizetype kStagingBatch = 2000;

bool allDigits(const QString& s) {
  if (s.isEmpty()) return false;
  for (QChar c : s)
    if (c < u'0' || c > u'9') return false;
  return true;
}

// "d/m/yyyy" that names a real day.
bool isCalendarDate(const QString& date) {
  const QStringList p = date.split(QLatin1Char('/'));
  if (p.size() != 3 || !allDigits(p[0]) || !allDigits(p[1]) || !allDigits(p[2]) || p[0].size() > 2 || p[1].size() > 2)
    return false;
  return QDate(p[2].toInt(), p[1].toInt(), p[0].toInt()).isValid();
}

// "h:m", hours 0 to 23, minutes 0 to 59.
bool isTimeOfDay(const QString& time) {
  const QStringList p = time.split(QLatin1Char(':'));
  if (p.size() != 2 || !allDigits(p[0]) || !allDigits(p[1]) || p[0].size() > 2 || p[1].size() > 2) return false;
  return p[0].toInt() <= 23 && p[1].toInt() <= 59;
}

bool isDigitalVoice(const QString& mode) {
  for (const char* m : {"DIGITALVOICE", "C4FM", "DMR", "VOI", "DSTAR", "FREEDV"})
    if (mode == QLatin1String(m)) return true;
  return false;
}

bool isSat(const QString& text) { return text.compare(QLatin1String("SAT"), Qt::CaseInsensitive) == 0; }

QString defaultReport(const QString& mode) {
  for (const char* m : {"DVoice", "DATA", "FM", "SSB", "LSB", "USB"})
    if (mode == QLatin1String(m)) return QStringLiteral("59");
  return QStringLiteral("599");
}


}  // namespace

bool IsRukImportFile(const QString& programId) { return programId.contains(QLatin1String("Ruk")); }

QString ImportTypedStationCall(const QStringList& listLines) {
  QString call;
  for (const QString& line : listLines)
    if (line.contains(kStationCallTag)) call = QString(line).remove(kStationCallTag);
  return call;
}

Result<ParsedImportRecord> ParseImportRecord(const QString& line, bool rukFile, const QString& stationCall) {
  using Answer = Result<ParsedImportRecord>;
  const AdifFields fields(line);
  ParsedImportRecord parsed;
  ImportedQso& q = parsed.qso;

  QString failure;
  // Reads one field; a field that is not there gives empty text.
  auto read = [&](const char* name, QString* into) -> bool {
    const Result<std::optional<QString>> v = fields.value(QLatin1String(name));
    if (!v.ok()) {
      if (failure.isEmpty()) failure = v.error();
      return false;
    }
    if (!v.value) return false;
    // A value of the file becomes one line of a row: a line break or tab in it is a blank.
    *into = oneLine(*v.value);
    return true;
  };

  read("GRIDSQUARE", &q.grid);
  read("MY_GRIDSQUARE", &q.ownGrid);
  if (rukFile) read("QSL_RCVD", &q.uploadState);
  read("STATION_CALLSIGN", &q.ownCall);
  read("CALL", &q.call);
  QString value;
  if (read("QSO_DATE", &value))
    q.date = value.mid(6, 2) + QLatin1Char('/') + value.mid(4, 2) + QLatin1Char('/') + value.left(4);
  value.clear();
  if (read("TIME_ON", &value)) q.time = value.left(2) + QLatin1Char(':') + value.mid(2, 2);
  read("BAND", &q.band);
  read("FREQ", &q.frequency);
  read("RST_SENT", &q.reportSent);
  read("RST_RCVD", &q.reportReceived);
  read("OPERATOR", &q.operatorCall);
  if (read("MODE", &q.mode)) {
    if (isDigitalVoice(q.mode)) q.mode = QStringLiteral("DVoice");
    if (rukFile && isSat(q.mode)) q.mode = QStringLiteral("FM");
  }
  read("PROP_MODE", &q.propagationMode);
  read("COMMENT", &q.remarks);
  read("SAT_NAME", &q.satellite);
  if (!failure.isEmpty()) return Answer::failure(failure);

  if (q.band.isEmpty() && q.frequency.isEmpty())
    parsed.noBandNorFrequency = true;
  else if (q.frequency.isEmpty())
    q.frequency = DefaultFrequencyForBand(q.band);
  else if (q.band.isEmpty())
    q.band = BandFromFrequency(q.frequency);

  if (isSat(q.mode)) {
    q.mode = QStringLiteral("FM");
    if (isSat(q.propagationMode) && q.satellite.isEmpty()) q.satellite = QStringLiteral("Via Satelite");
  }

  // The default report is fixed before an empty satellite mode becomes FM below.
  const QString report = defaultReport(q.mode);
  if (q.reportSent.isEmpty()) q.reportSent = report;
  if (q.reportReceived.isEmpty()) q.reportReceived = report;

  if (rukFile) {
    if (q.uploadState == QLatin1String("Y"))
      q.uploadState = QStringLiteral("2");
    else if (q.uploadState == QLatin1String("N"))
      q.uploadState = QStringLiteral("1");
  }

  if (!stationCall.isEmpty()) q.ownCall = stationCall;

  // A QSO without its own call belongs to no station: the store refuses it, so it is
  // counted with the records that lack a field instead of stopping the load halfway.
  if (q.call.isEmpty() || q.date.isEmpty() || q.time.isEmpty() || q.ownCall.trimmed().isEmpty()) {
    parsed.check = ImportCheck::MissingField;
    return Answer::of(parsed);
  }

  if (q.propagationMode == QLatin1String("SAT") && q.mode.isEmpty()) {
    q.mode = QStringLiteral("FM");
    if (q.satellite.isEmpty()) q.satellite = QString::fromUtf8("Satélite");
  }
  // Stored without a mode a QSO would be left out of every list and count of its log.
  if (q.mode.isEmpty()) {
    parsed.check = ImportCheck::MissingField;
    return Answer::of(parsed);
  }

  // The widths of Tabla3's columns, in whole characters: a cut never leaves half of one.
  const auto cut = [](QString& v, qsizetype units) { v = wholeCharactersWithin(v, units); };
  cut(q.mode, 7);
  cut(q.band, 9);
  cut(q.ownCall, 20);
  cut(q.call, 20);
  cut(q.reportSent, 3);
  cut(q.reportReceived, 3);
  cut(q.remarks, 100);
  cut(q.operatorCall, 50);
  cut(q.frequency, 10);
  cut(q.ownGrid, 6);
  cut(q.grid, 6);

  if (!isCalendarDate(q.date))
    parsed.check = ImportCheck::BadDate;
  else if (!isTimeOfDay(q.time))
    parsed.check = ImportCheck::BadTime;
  return Answer::of(parsed);
}

namespace {

const QString kStagingInsert = QStringLiteral(
    "INSERT INTO Tabla3 ([Modo], [Banda], [MyCall], [Estacion], [Fecha], [Hora], [RSE], [RSR], [Obs], [Operador], "
    "[Nombre Log], [Frecuencia], [MiGrid], [SuGrid], [Ruk], [Nombre_Sat], [Argento], [Dupe]) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

QVariantList stagingValues(const QString& ownCall, const QString& call, const QString& date, const QString& time,
                           const QString& band, const QString& frequency, const QString& mode,
                           const QString& reportSent, const QString& reportReceived, const QString& operatorCall,
                           const QString& satellite, const QString& uploadState, const QString& remarks,
                           const QString& duplicateMark, const QString& ownGrid, const QString& grid) {
  return {db::textValue(mode), db::textValue(band), db::textValue(ownCall), db::textValue(call), db::textValue(date),
          db::textValue(time), db::textValue(wholeCharactersWithin(reportSent, 3)), db::textValue(wholeCharactersWithin(reportReceived, 3)),
          db::textValue(wholeCharactersWithin(remarks, 100)), db::textValue(operatorCall), db::textValue(state().CurrentLogName),
          db::textValue(frequency), db::textValue(trimBlanks(ownGrid)), db::textValue(trimBlanks(grid)),
          db::textValue(uploadState), db::textValue(satellite), db::textValue(ProvinceFromCallSign(call)),
          db::textValue(duplicateMark)};
}

Status stagingFailure(const QString& call, const QString& error) {
  return Status::failure(QStringLiteral("No se pudo guardar el QSO con %1 para importar: %2").arg(call, error));
}

// Staged rows of one parse through one statement prepared once.
class StagingWriter {
 public:
  Status add(const ImportedQso& q, const QString& mark) {
    const Status prepared = statement_.prepare(kStagingInsert);
    if (!prepared) return stagingFailure(q.call, prepared.error);
    const QVariantList values =
        stagingValues(q.ownCall, q.call, q.date, q.time, q.band, q.frequency, q.mode, q.reportSent, q.reportReceived,
                      q.operatorCall, q.satellite, q.uploadState, q.remarks, mark, q.ownGrid, q.grid);
    for (int i = 0; i < values.size(); ++i) statement_.bindText(i + 1, values[i].toString());
    const Status s = statement_.exec();
    return s ? s : stagingFailure(q.call, s.error);
  }

 private:
  db::SqliteStatement statement_;
};

}  // namespace

namespace {

}  // namespace

Status AddImportStagingRecord(const QString& ownCall, const QString& call, const QString& date, const QString& time,
                              const QString& band, const QString& frequency, const QString& mode,
                              const QString& reportSent, const QString& reportReceived, const QString& operatorCall,
                              const QString& /*propagationMode*/, const QString& satellite,
                              const QString& uploadState, const QString& remarks, const QString& duplicateMark,
                              const QString& ownGrid, const QString& grid) {
  QSqlQuery q(db::connection());
  const Status s = db::run(q, kStagingInsert,
                           stagingValues(ownCall, call, date, time, band, frequency, mode, reportSent, reportReceived,
                                         operatorCall, satellite, uploadState, remarks, duplicateMark, ownGrid, grid));
  return s ? s : stagingFailure(call, s.error);
}

QStringList ImportErrorLines(const ImportCounts& c) {
  QStringList lines;
  const struct {
    int count;
    const char* kind;
  } kinds[] = {{c.dateErrors, "Fecha"}, {c.timeErrors, "QTR"}, {c.bandErrors, "Banda/Frec."}, {c.adifErrors, "ADIF."}};
  for (const auto& k : kinds)
    if (k.count > 0) lines << QStringLiteral("> %1 error(es) %2").arg(k.count).arg(QLatin1String(k.kind));
  return lines;
}

Result<ImportParseEnd> ParseImportRecords(const QStringList& recordLines, const QString& programId,
                                          const QString& stationCall, ImportCounts* counts,
                                          const ImportParseHooks& hooks) {
  using Answer = Result<ImportParseEnd>;
  const bool rukFile = IsRukImportFile(programId);
  StagingWriter writer;
  RecentDuplicateFinder duplicates;
  // Records are looked up and staged in groups, each in one transaction: the look-ups
  // then read the database without locking it again for each, and commits stay few.
  QSqlDatabase c = db::connection();
  bool inGroup = false;
  int groupRows = 0, groupNew = 0, groupDuplicates = 0;
  // Ends the group; only rows really staged are counted.
  auto endGroup = [&]() -> Status {
    if (!inGroup) return Status::success();
    inGroup = false;
    Status s = Status::success();
    if (c.commit()) {
      counts->newQsos += groupNew;
      counts->duplicates += groupDuplicates;
    } else {
      s = Status::failure(QStringLiteral("No se pudo guardar la transacción: ") + c.lastError().text());
      c.rollback();
    }
    groupRows = groupNew = groupDuplicates = 0;
    return s;
  };
  // Ends the parse with a failure, keeping what was staged before it.
  auto fail = [&](const QString& text) {
    const Status s = endGroup();
    return Answer::failure(s ? text : text + QStringLiteral("\r\n") + s.error);
  };
  const bool paced = bool(hooks.turnDue);

  for (qsizetype i = 0; i < recordLines.size(); ++i) {
    const Result<ParsedImportRecord> parsed = ParseImportRecord(recordLines[i], rukFile, stationCall);
    if (!parsed.ok()) return fail(QStringLiteral("QSO %1 del archivo: %2").arg(i + 1).arg(parsed.error()));
    const ParsedImportRecord& r = parsed.value;
    if (r.noBandNorFrequency) ++counts->bandErrors;
    switch (r.check) {
      case ImportCheck::MissingField: ++counts->adifErrors; break;
      case ImportCheck::BadDate: ++counts->dateErrors; break;
      case ImportCheck::BadTime: ++counts->timeErrors; break;
      case ImportCheck::Accepted: {
        bool poll = bool(hooks.cancelRequested);
        if (poll && paced) {
          poll = hooks.turnDue();
          if (poll) {
            const Status s = endGroup();
            if (!s) return Answer::failure(s.error);
          }
        }
        if (poll && hooks.cancelRequested()) {
          const Status s = endGroup();
          if (!s) return Answer::failure(s.error);
          return Answer::of(ImportParseEnd::Cancelled);
        }
        if (!inGroup) {
          if (!c.transaction())
            return Answer::failure(QStringLiteral("No se pudo iniciar la transacción: ") + c.lastError().text());
          inGroup = true;
        }
        const ImportedQso& q = r.qso;
        const auto dupe = duplicates.find(q.ownCall, q.call, q.date, q.time, q.band, q.mode);
        if (!dupe.ok()) return fail(dupe.error());
        const Status staged = writer.add(q, dupe.value ? QString::number(*dupe.value) : QLatin1String(kNewQsoMark));
        if (!staged) return fail(staged.error);
        ++groupRows;
        ++(dupe.value ? groupDuplicates : groupNew);
        if (groupRows >= kStagingBatch) {
          const Status s = endGroup();
          if (!s) return Answer::failure(s.error);
        }
        break;
      }
    }
    if (hooks.recordDone) {
      if (!paced) {
        ImportCounts shown = *counts;
        shown.newQsos += groupNew;
        shown.duplicates += groupDuplicates;
        hooks.recordDone(int(i), shown);
      } else if (hooks.turnDue()) {
        const Status s = endGroup();
        if (!s) return Answer::failure(s.error);
        hooks.recordDone(int(i), *counts);
      }
    }
  }
  const Status s = endGroup();
  if (!s) return Answer::failure(s.error);
  return Answer::of(ImportParseEnd::Finished);
}

// ---- Loading ---------------------------------------------------------------------

namespace {

// How long rows are written in one transaction before the window gets its turn.
constexpr qint64 kLoadGroupMs = 50;

// One staged row as the load reads it.
struct LoadRow {
  QString Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, Frecuencia, MiGrid, SuGrid, Ruk,
      Nombre_Sat, Argento, Dupe;
};

Result<QList<LoadRow>> readStagedRows() {
  using Answer = Result<QList<LoadRow>>;
  QSqlQuery q(db::connection());
  q.setForwardOnly(true);
  const Status s = db::run(q, QStringLiteral("SELECT [Modo], [Banda], [MyCall], [Estacion], [Fecha], [Hora], [RSE], "
                                             "[RSR], [Obs], [Operador], [Frecuencia], [MiGrid], [SuGrid], [Ruk], "
                                             "[Nombre_Sat], [Argento], [Dupe] FROM Tabla3 ORDER BY id"));
  if (!s) return Answer::failure(s.error);
  QList<LoadRow> rows;
  while (q.next()) {
    LoadRow r;
    int c = 0;
    for (QString* v : {&r.Modo, &r.Banda, &r.MyCall, &r.Estacion, &r.Fecha, &r.Hora, &r.RSE, &r.RSR, &r.Obs,
                       &r.Operador, &r.Frecuencia, &r.MiGrid, &r.SuGrid, &r.Ruk, &r.Nombre_Sat, &r.Argento, &r.Dupe})
      *v = db::text(q, c++);
    r.Argento = trimBlanks(r.Argento);
    r.Dupe = trimBlanks(r.Dupe);
    rows << r;
  }
  if (q.lastError().isValid()) return Answer::failure(q.lastError().text());
  return Answer::of(rows);
}

// Writes one staged row into the log: inserted when new, else over the QSO it repeats.
Status loadRow(const LoadRow& r, ImportedQsoWriter* writer) {
  const QDate date = parseDayFirstDate(r.Fecha);
  const QTime time = parseTime(r.Hora);
  const QString fecha = date.isValid() ? formatDate(date) : r.Fecha;
  const QString hora = time.isValid() ? formatTime(time) : r.Hora;
  const int ruk = RukStatus(r.Ruk);
  if (r.Dupe != QLatin1String(kNewQsoMark))
    return writer->update(r.Estacion, r.Banda, r.Modo, r.RSE, r.RSR, fecha, hora, r.MyCall, r.Operador, r.Obs,
                          r.Frecuencia, r.MiGrid, r.SuGrid, r.Nombre_Sat, ruk, r.Argento, vbValInt(r.Dupe));
  return writer->insert(r.Estacion, r.Banda, r.Modo, r.RSE, r.RSR, fecha, hora, r.MyCall, r.Operador, r.Obs,
                        r.Frecuencia, r.MiGrid, r.SuGrid, r.Nombre_Sat, ruk, r.Argento);
}

}  // namespace

ImportLoadEnd LoadStagedQsos(bool replaceDuplicates, const ImportLoadHooks& hooks) {
  ImportLoadEnd end;
  const Result<QList<LoadRow>> staged = readStagedRows();
  if (!staged.ok()) {
    end.failure = staged.error();
    return end;
  }
  const QList<LoadRow>& rows = staged.value;
  ImportedQsoWriter writer;
  qsizetype next = 0;
  while (next < rows.size()) {
    // Rows go in groups, each in one transaction: commits stay few, and a failure or
    // a cancel keeps every group written before it.
    int written = 0;
    QElapsedTimer group;
    group.start();
    const Status s = db::transaction([&] {
      while (next < rows.size()) {
        const LoadRow& r = rows[next];
        if (r.Dupe != QLatin1String(kNewQsoMark) && !replaceDuplicates) {
          ++next;
          continue;
        }
        const Status one = loadRow(r, &writer);
        if (!one) {
          end.failure = QStringLiteral("No se pudo cargar el QSO con %1 del %2 %3: %4")
                            .arg(r.Estacion, r.Fecha, r.Hora, one.error);
          break;  // the rows before it in the group are kept
        }
        ++next;
        ++written;
        if ((hooks.cancelPending && hooks.cancelPending()) || group.elapsed() >= kLoadGroupMs) break;
      }
      return Status::success();
    });
    if (!s) {
      end.failure = s.error;
      written = 0;  // the group was rolled back
    }
    end.written += written;
    if (!end.failure.isEmpty()) break;
    // A cancel request still waiting (Esc pressed before the load began, or during
    // its last group) is answered even when no row is left.
    const bool cancelWaiting = written > 0 && hooks.cancelPending && hooks.cancelPending();
    if (next >= rows.size() && !cancelWaiting) break;
    if (hooks.groupDone && hooks.groupDone(end.written)) {
      end.cancelled = true;
      break;
    }
  }
  return end;
}

}  // namespace vz
