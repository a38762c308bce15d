#include "exchange/adifbackup.h"

#include <QDate>

#include "exchange/adif.h"
#include "platform/database.h"
#include "platform/sqlitestatement.h"
#include "platform/textutil.h"

namespace vz {

namespace {

// Rows between two progress reports, and rows written to the file at once.
constexpr int kRowsPerReport = 256;

bool hasText(const QString& s) { return !trimBlanks(s).isEmpty(); }

// "<TAG:length>value" appended in place: the back-up writes millions of fields.
void appendField(QString& out, QLatin1String tag, const QString& value, AdifEncoding encoding) {
  out += QLatin1Char('<');
  out += tag;
  out += QLatin1Char(':');
  out += QString::number(encoding == AdifEncoding::Utf8 ? value.toUtf8().size() : value.size());
  out += QLatin1Char('>');
  out += value;
}

bool digitsAt(const QString& s, qsizetype from, qsizetype count) {
  for (qsizetype i = from; i < from + count; ++i)
    if (s[i] < u'0' || s[i] > u'9') return false;
  return true;
}

int numberAt(const QString& s, qsizetype from, qsizetype count) {
  int n = 0;
  for (qsizetype i = from; i < from + count; ++i) n = n * 10 + (s[i].unicode() - u'0');
  return n;
}

// QSO_DATE: "dd/mm/yyyy" read day first as "yyyymmdd"; a date that cannot be read
// leaves the field empty rather than losing the QSO. The stored form is read
// directly, any other through the general rule.
QString backupDate(const QString& fecha) {
  if (fecha.size() == 10 && fecha[2] == u'/' && fecha[5] == u'/' && digitsAt(fecha, 0, 2) && digitsAt(fecha, 3, 2) &&
      digitsAt(fecha, 6, 4)) {
    if (!QDate(numberAt(fecha, 6, 4), numberAt(fecha, 3, 2), numberAt(fecha, 0, 2)).isValid()) return QString();
    QString d;
    d.reserve(8);
    d += QStringView(fecha).mid(6, 4);
    d += QStringView(fecha).mid(3, 2);
    d += QStringView(fecha).left(2);
    return d;
  }
  return AdifQsoDate(fecha).value_or(QString());
}

// TIME_ON: the time as "hh:mm" without its ":"; a time that cannot be read is
// written as stored, without its ":".
QString backupTime(const QString& hora) {
  const bool shaped = (hora.size() == 5 || (hora.size() == 8 && hora[5] == u':' && digitsAt(hora, 6, 2))) &&
                      hora[2] == u':' && digitsAt(hora, 0, 2) && digitsAt(hora, 3, 2);
  if (shaped && numberAt(hora, 0, 2) <= 23 && numberAt(hora, 3, 2) <= 59 &&
      (hora.size() == 5 || numberAt(hora, 6, 2) <= 59)) {
    QString t;
    t.reserve(4);
    t += QStringView(hora).left(2);
    t += QStringView(hora).mid(3, 2);
    return t;
  }
  const QTime time = parseTime(hora);
  return AdifTimeOn(time.isValid() ? formatTime(time) : hora);
}

void appendBackupRecord(QString& line, const LogQso& q, AdifEncoding e) {
  appendField(line, QLatin1String("STATION_CALLSIGN"), q.MyCall, e);
  appendField(line, QLatin1String("CALL"), q.Estacion, e);
  appendField(line, QLatin1String("MODE"), q.Modo, e);
  appendField(line, QLatin1String("BAND"), q.Banda, e);
  appendField(line, QLatin1String("FREQ"), q.Frecuencia, e);
  appendField(line, QLatin1String("QSO_DATE"), backupDate(q.Fecha), e);
  appendField(line, QLatin1String("TIME_ON"), backupTime(q.Hora), e);
  appendField(line, QLatin1String("RST_SENT"), q.RSE, e);
  appendField(line, QLatin1String("RST_RCVD"), q.RSR, e);
  const QString satellite = trimBlanks(q.Nombre_Sat);
  if (!satellite.isEmpty()) {
    line += QLatin1String("<PROP_MODE:3>SAT");
    appendField(line, QLatin1String("SAT_NAME"), satellite, e);
  }
  if (hasText(q.Operador)) appendField(line, QLatin1String("OPERATOR"), q.Operador, e);
  if (hasText(q.Obs)) appendField(line, QLatin1String("COMMENT"), q.Obs, e);
  if (hasText(q.MiGrid)) appendField(line, QLatin1String("MY_GRIDSQUARE"), q.MiGrid, e);
  if (hasText(q.SuGrid)) appendField(line, QLatin1String("GRIDSQUARE"), q.SuGrid, e);
  if (hasText(q.Ruk)) {
    const int status = RukStatus(q.Ruk);
    if (status == kRukNotUploaded) line += QLatin1String("<QSL_RCVD:1>N");
    if (status == kRukConfirmed) line += QLatin1String("<QSL_RCVD:1>Y");
  }
  appendField(line, QLatin1String("LOG_NAME"), q.NombreLog, e);
  line += QLatin1String("<EOR>");
}

}  // namespace

QString AdifBackupRecord(const LogQso& qso, AdifEncoding encoding) {
  QString line;
  line.reserve(256);
  appendBackupRecord(line, qso, encoding);
  return line;
}

AdifEncoding AdifBackupEncodingFor(const LogQso& q) {
  // Asked of every row of a back-up: no list is built for it.
  for (const QString* v : {&q.Modo, &q.Banda, &q.MyCall, &q.Estacion, &q.Fecha, &q.Hora, &q.RSE, &q.RSR, &q.Obs,
                           &q.Operador, &q.NombreLog, &q.Frecuencia, &q.MiGrid, &q.SuGrid, &q.Ruk, &q.Nombre_Sat})
    if (AdifNeedsUtf8(*v)) return AdifEncoding::Utf8;
  return AdifEncoding::Windows1252;
}

bool IsLogPlaceholderRow(const LogQso& q) { return q.Modo.isEmpty() && q.MyCall.isEmpty() && q.Estacion.isEmpty(); }

namespace {

// One pass over the rows in the encoding given. Set needsUtf8 and stops, leaving the
// file in place untouched, at the first value Windows-1252 cannot hold.
Status writeBackupPass(const QString& path, AdifEncoding encoding, bool* needsUtf8,
                       const std::function<void(int rowsRead)>& progress) {
  AdifFileWriter writer;
  Status s = writer.create(path, AdifHeader(), encoding);
  if (!s) return s;
  // Straight on SQLite, the columns by position, in this order: through the Qt
  // driver every value of a million rows passes a variant first.
  db::SqliteStatement q;
  s = q.prepare(QStringLiteral("SELECT [Modo], [Banda], [MyCall], [Estacion], [Fecha], [Hora], [RSE], [RSR], [Obs], "
                               "[Operador], [Nombre Log], [Frecuencia], [MiGrid], [SuGrid], [Ruk], [Nombre_Sat] "
                               "FROM Tabla1 ORDER BY id"));
  if (s) s = q.start();
  if (!s) return s;
  QString chunk;  // lines written together, CR LF between them
  int inChunk = 0;
  int rows = 0;
  LogQso qso;
  while (q.next()) {
    int c = 0;
    for (QString* v : {&qso.Modo, &qso.Banda, &qso.MyCall, &qso.Estacion, &qso.Fecha, &qso.Hora, &qso.RSE, &qso.RSR,
                       &qso.Obs, &qso.Operador, &qso.NombreLog, &qso.Frecuencia, &qso.MiGrid, &qso.SuGrid, &qso.Ruk,
                       &qso.Nombre_Sat})
      *v = q.text(c++);
    if (!IsLogPlaceholderRow(qso)) {
      if (encoding == AdifEncoding::Windows1252 && AdifBackupEncodingFor(qso) == AdifEncoding::Utf8) {
        *needsUtf8 = true;
        return Status::success();  // the writer is dropped: nothing is put in place
      }
      if (inChunk++ > 0) chunk += QLatin1String("\r\n");
      appendBackupRecord(chunk, qso, encoding);
    }
    if (++rows % kRowsPerReport == 0) {
      if (inChunk > 0) {
        s = writer.writeLine(chunk);
        if (!s) return s;
        chunk.clear();
        inChunk = 0;
      }
      if (progress) progress(rows);
    }
  }
  if (!q.error()) return q.error();
  if (inChunk > 0) {
    s = writer.writeLine(chunk);
    if (!s) return s;
  }
  return writer.finish(true);
}

}  // namespace

Status WriteAdifBackup(const QString& path, const std::function<void(int rowsRead)>& progress) {
  bool needsUtf8 = false;
  const Status s = writeBackupPass(path, AdifEncoding::Windows1252, &needsUtf8, progress);
  if (!s || !needsUtf8) return s;
  return writeBackupPass(path, AdifEncoding::Utf8, &needsUtf8, progress);
}

}  // namespace vz
