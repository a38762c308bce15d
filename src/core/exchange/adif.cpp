#include "exchange/adif.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/clock.h"
#include "platform/cp1252.h"
#include "platform/textutil.h"
#include "store/programstate.h"

namespace vz {

namespace {

// Nothing but spaces (what trimBlanks leaves empty), looked at in place.
bool isBlank(const QString& v) {
  for (QChar c : v)
    if (c != u' ') return false;
  return true;
}

// How far after a tag's ":" its ">" and its length are looked for.
constexpr qsizetype kTagWindow = 1000;

// Characters of a field name ("QSO_DATE", "APP_LOTW_2XQSL").
bool isNameChar(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_';
}

// The value's place and the length the tag gives, for a tag whose ":" ends just
// before p.
struct FieldSpan {
  qsizetype valueStart = 0;
  double length = 0;
  bool readable() const { return length >= 0 && length <= INT_MAX; }
};

FieldSpan spanAt(const QString& line, qsizetype p) {
  const qsizetype n = line.size();
  const qsizetype windowEnd = std::min(n, p + kTagWindow);
  FieldSpan span;
  // Plain digits ended by the type's ":" or by ">" read as they stand; anything else
  // (blanks, a sign, a fraction) is read as the number at the start of the text.
  qsizetype k = p;
  long long digits = 0;
  while (k < windowEnd && k - p < 12 && line[k] >= u'0' && line[k] <= u'9') digits = digits * 10 + (line[k++].unicode() - u'0');
  if (k > p && k < windowEnd && (line[k] == u':' || line[k] == u'>'))
    span.length = double(digits);
  else
    span.length = std::nearbyint(vbVal(line.mid(p, kTagWindow)));
  // Only the window is searched: a long line of tags without ">" stays linear.
  const qsizetype gt = QStringView(line).mid(p, windowEnd - p).indexOf(QLatin1Char('>'));
  span.valueStart = gt >= 0 ? p + gt + 1 : p;
  return span;
}

}  // namespace

bool AdifNeedsUtf8(const QString& value) { return !fitsCp1252(value); }

AdifEncoding AdifEncodingFor(const QStringList& values) {
  for (const QString& v : values)
    if (AdifNeedsUtf8(v)) return AdifEncoding::Utf8;
  return AdifEncoding::Windows1252;
}

namespace {

// The value's length in the file: one byte per character in Windows-1252, its UTF-8
// bytes otherwise (counted without the copy when it is all ASCII).
qsizetype fieldLength(const QString& value, AdifEncoding encoding) {
  if (encoding != AdifEncoding::Utf8) return value.size();
  for (QChar c : value)
    if (c.unicode() >= 0x80) return value.toUtf8().size();
  return value.size();
}

// "<TAG:length>value" added at the end of r: an export writes a dozen fields for
// every QSO, so no text is built for each.
void appendField(QString& r, QLatin1StringView tag, const QString& value, AdifEncoding encoding) {
  char digits[20];
  int n = 0;
  for (qsizetype v = fieldLength(value, encoding); n == 0 || v > 0; v /= 10) digits[n++] = char('0' + v % 10);
  r += QLatin1Char('<');
  r += tag;
  r += QLatin1Char(':');
  while (n > 0) r += QLatin1Char(digits[--n]);
  r += QLatin1Char('>');
  r += value;
}

}  // namespace

QString AdifField(const QString& tag, const QString& value, AdifEncoding encoding) {
  // In Windows-1252 the codec writes one byte for every UTF-16 unit of the text, so
  // the text's size is the byte count a reader will find; in UTF-8 the bytes are
  // counted.
  char16_t digits[20];
  int n = 0;
  const qsizetype length = fieldLength(value, encoding);
  for (qsizetype v = length; n == 0 || v > 0; v /= 10) digits[n++] = char16_t(u'0' + v % 10);
  QString field;
  field.reserve(tag.size() + n + value.size() + 3);
  field += QLatin1Char('<');
  field += tag;
  field += QLatin1Char(':');
  while (n > 0) field += QChar(digits[--n]);
  field += QLatin1Char('>');
  field += value;
  return field;
}

QStringList AdifHeader(const QString& programVersion, const QDateTime& localNow) {
  return {
      QStringLiteral("<PROGRAMID:17>Van Torel Zezeror"),
      AdifField(QStringLiteral("PROGRAMVERSION"), programVersion),
      QStringLiteral("<ADIF_VER:4>3.04"),
      QStringLiteral("<CREATED_TIMESTAMP:15>") + localNow.toString(QStringLiteral("yyyyMMdd HHmmss")),
      QStringLiteral("<EOH>"),
  };
}

QStringList AdifHeader() { return AdifHeader(state().ProgramVersion, clock().now()); }

std::optional<QString> AdifQsoDate(const QString& date) {
  // The stored form takes its digits as they stand.
  if (int y = 0, m = 0, day = 0; storedDateParts(date, &y, &m, &day)) {
    const QChar* s = date.constData();
    const QChar parts[8] = {s[6], s[7], s[8], s[9], s[3], s[4], s[0], s[1]};
    return QString(parts, 8);
  }
  const QDate d = parseDayFirstDate(date);
  if (!d.isValid()) return std::nullopt;
  if (d.year() < 1000 || d.year() > 9999) return d.toString(QStringLiteral("yyyyMMdd"));
  return QString::number(d.year() * 10000 + d.month() * 100 + d.day());
}

QString AdifTimeOn(const QString& time) {
  QString t = time;
  return t.remove(QLatin1Char(':'));
}

QString AdifModeFields(const QString& mode, AdifEncoding encoding) {
  if (mode == QLatin1String("Echo")) return QStringLiteral("<MODE:2>FM<PROP_MODE:3>ECH");
  if (mode == QLatin1String("Echo IP")) return QStringLiteral("<MODE:3>VOI<PROP_MODE:3>ECH");
  if (mode == QLatin1String("DV IP")) return QStringLiteral("<MODE:12>DIGITALVOICE<PROP_MODE:8>INTERNET");
  if (mode == QLatin1String("DVoice")) return QStringLiteral("<MODE:12>DIGITALVOICE");
  return AdifField(QStringLiteral("MODE"), mode, encoding);
}

QStringList AdifValues(const AdifQso& q) {
  return {q.ownCall,    q.call,           q.mode,    q.band,         q.frequency, q.date,    q.time,
          q.reportSent, q.reportReceived, q.satellite, q.operatorCall, q.remarks,   q.ownGrid, q.grid};
}

AdifEncoding AdifQsoEncoding(const AdifQso& q) {
  for (const QString* v : {&q.ownCall, &q.call, &q.mode, &q.band, &q.frequency, &q.date, &q.time, &q.reportSent,
                           &q.reportReceived, &q.satellite, &q.operatorCall, &q.remarks, &q.ownGrid, &q.grid})
    if (AdifNeedsUtf8(*v)) return AdifEncoding::Utf8;
  return AdifEncoding::Windows1252;
}

Result<QString> AdifRecord(const AdifQso& q, bool useCommentAsQslMsg, AdifEncoding encoding) {
  const std::optional<QString> date = AdifQsoDate(q.date);
  if (!date) return Result<QString>::failure(QStringLiteral("La fecha \"%1\" de %2 no es válida").arg(q.date, q.call));

  QString r;
  r.reserve(256);
  const auto field = [&](const char* tag, const QString& value) { appendField(r, QLatin1StringView(tag), value, encoding); };
  field("STATION_CALLSIGN", q.ownCall);
  field("CALL", q.call);
  r += AdifModeFields(q.mode, encoding);
  field("BAND", q.band);
  field("FREQ", q.frequency);
  field("QSO_DATE", *date);
  field("TIME_ON", AdifTimeOn(q.time));
  field("RST_SENT", q.reportSent);
  field("RST_RCVD", q.reportReceived);
  if (!q.satellite.isEmpty()) {
    r += QLatin1StringView("<PROP_MODE:3>SAT");
    field("SAT_NAME", q.satellite);
    r += q.band == QLatin1String("2m") ? QLatin1StringView("<BAND_RX:4>70cm") : QLatin1StringView("<BAND_RX:2>2m");
  }
  if (!isBlank(q.operatorCall)) field("OPERATOR", q.operatorCall);
  if (!isBlank(q.remarks)) field("COMMENT", q.remarks);
  if (useCommentAsQslMsg && !q.remarks.isEmpty()) field("QSLMSG", q.remarks);
  if (!isBlank(q.ownGrid)) field("MY_GRIDSQUARE", q.ownGrid);
  if (!isBlank(q.grid)) field("GRIDSQUARE", q.grid);
  r += QLatin1StringView("<EOR>");
  return Result<QString>::of(std::move(r));
}

namespace {

bool isBlankBytes(QByteArrayView v) {
  for (char c : v)
    if (c != ' ') return false;
  return true;
}

int asciiDigits(QByteArrayView v, qsizetype at, int n) {
  int value = 0;
  for (int i = 0; i < n; ++i) {
    const char c = v[at + i];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

void appendLength(QByteArray& r, qsizetype length) {
  char digits[20];
  int n = 0;
  for (qsizetype v = length; n == 0 || v > 0; v /= 10) digits[n++] = char('0' + v % 10);
  while (n > 0) r += digits[--n];
}

void appendBytesField(QByteArray& r, const char* tag, QByteArrayView value) {
  r += '<';
  r += tag;
  r += ':';
  appendLength(r, value.size());
  r += '>';
  r += value;
}

}  // namespace

// Field for field what AdifRecord writes.
bool AppendAdifRecordBytes(QByteArray* out, const AdifQsoBytes& q, bool useCommentAsQslMsg) {
  // The stored date form only, as storedDateParts reads it.
  const QByteArrayView d = q.date;
  if (d.size() != 10 || d[2] != '/' || d[5] != '/') return false;
  const int day = asciiDigits(d, 0, 2), month = asciiDigits(d, 3, 2), year = asciiDigits(d, 6, 4);
  if (day < 0 || month < 0 || year < 1000 || !QDate::isValid(year, month, day)) return false;
  const char date[8] = {d[6], d[7], d[8], d[9], d[3], d[4], d[0], d[1]};

  QByteArray& r = *out;
  appendBytesField(r, "STATION_CALLSIGN", q.ownCall);
  appendBytesField(r, "CALL", q.call);
  if (q.mode == "Echo")
    r += "<MODE:2>FM<PROP_MODE:3>ECH";
  else if (q.mode == "Echo IP")
    r += "<MODE:3>VOI<PROP_MODE:3>ECH";
  else if (q.mode == "DV IP")
    r += "<MODE:12>DIGITALVOICE<PROP_MODE:8>INTERNET";
  else if (q.mode == "DVoice")
    r += "<MODE:12>DIGITALVOICE";
  else
    appendBytesField(r, "MODE", q.mode);
  appendBytesField(r, "BAND", q.band);
  appendBytesField(r, "FREQ", q.frequency);
  appendBytesField(r, "QSO_DATE", QByteArrayView(date, 8));
  // TIME_ON: the time without its ":".
  r += "<TIME_ON:";
  appendLength(r, q.time.size() - std::count(q.time.begin(), q.time.end(), ':'));
  r += '>';
  for (char c : q.time)
    if (c != ':') r += c;
  appendBytesField(r, "RST_SENT", q.reportSent);
  appendBytesField(r, "RST_RCVD", q.reportReceived);
  if (!q.satellite.isEmpty()) {
    r += "<PROP_MODE:3>SAT";
    appendBytesField(r, "SAT_NAME", q.satellite);
    r += q.band == "2m" ? "<BAND_RX:4>70cm" : "<BAND_RX:2>2m";
  }
  if (!isBlankBytes(q.operatorCall)) appendBytesField(r, "OPERATOR", q.operatorCall);
  if (!isBlankBytes(q.remarks)) appendBytesField(r, "COMMENT", q.remarks);
  if (useCommentAsQslMsg && !q.remarks.isEmpty()) appendBytesField(r, "QSLMSG", q.remarks);
  if (!isBlankBytes(q.ownGrid)) appendBytesField(r, "MY_GRIDSQUARE", q.ownGrid);
  if (!isBlankBytes(q.grid)) appendBytesField(r, "GRIDSQUARE", q.grid);
  r += "<EOR>";
  return true;
}

Status AdifFileWriter::create(const QString& path, const QStringList& header, AdifEncoding encoding) {
  file_.emplace(path);
  pending_.clear();
  pending_.reserve(kPendingLimit + 1024);
  encoding_ = encoding;
  // Lines gather in a buffer of our own; each write of it says whether all of it
  // went out, so a file cut at a full disk is never put in place.
  if (!file_->open()) return failure();
  for (const QString& line : header) {
    Status s = writeLine(line);
    if (!s) return s;
  }
  return Status::success();
}

Status AdifFileWriter::writeLine(const QString& line) {
  if (!file_) return Status::failure(QStringLiteral("El archivo ADIF no está abierto"));
  if (encoding_ == AdifEncoding::Utf8)
    pending_ += line.toUtf8();
  else
    appendCp1252(&pending_, line);
  pending_ += "\r\n";
  return pending_.size() >= kPendingLimit ? writePending() : Status::success();
}

Status AdifFileWriter::writeEncodedLine(QByteArrayView line) {
  if (!file_) return Status::failure(QStringLiteral("El archivo ADIF no está abierto"));
  pending_ += line;
  pending_ += "\r\n";
  return pending_.size() >= kPendingLimit ? writePending() : Status::success();
}

Status AdifFileWriter::writePending() {
  if (!file_->write(pending_)) return failure();
  pending_.resize(0);  // keeps its room for the next lines
  return Status::success();
}

Status AdifFileWriter::finish(bool endLine) {
  if (endLine) {
    Status s = writeLine(QStringLiteral("<EOF>"));
    if (!s) return s;
  }
  if (!file_) return failure();
  if (Status s = writePending(); !s) return s;
  if (!file_->commit()) return failure();
  file_.reset();
  return Status::success();
}

Status AdifFileWriter::failure() {
  QString text = file_ ? file_->errorString() : QString();
  if (file_ && text.isEmpty()) text = QStringLiteral("el archivo quedó incompleto (¿disco lleno?)");
  const QString path = file_ ? file_->target() : QString();
  pending_.clear();
  file_.reset();  // drops what was written; the file in place stays as it was
  if (text.isEmpty()) text = QStringLiteral("error de escritura");
  return Status::failure(QStringLiteral("No se pudo escribir %1: %2").arg(path, text));
}

namespace {

bool endsHere(QStringView text, qsizetype at) {
  return at >= text.size() || text[at] == u'<' || text[at].isSpace();
}

// "<EOR>" or "<EOH>" at position at, in any letter case.
bool endTagAt(QStringView text, qsizetype at) {
  if (at + 5 > text.size() || text[at] != u'<' || text[at + 4] != u'>') return false;
  const QStringView name = text.mid(at + 1, 3);
  return name.compare(QLatin1String("EOR"), Qt::CaseInsensitive) == 0 ||
         name.compare(QLatin1String("EOH"), Qt::CaseInsensitive) == 0;
}

}  // namespace

qsizetype AdifValueEnd(QStringView text, qsizetype valueStart, qsizetype valueEnd) {
  if (endsHere(text, valueEnd)) return valueEnd;
  for (qsizetype at = text.mid(valueStart, valueEnd - valueStart).indexOf(u'<'); at >= 0;) {
    if (endTagAt(text, valueStart + at)) return valueStart + at;
    const qsizetype next = text.mid(valueStart + at + 1, valueEnd - valueStart - at - 1).indexOf(u'<');
    at = next < 0 ? -1 : at + 1 + next;
  }
  return valueEnd;
}

AdifFields::AdifFields(const QString& line) : line_(line) {
  const qsizetype n = line.size();
  qsizetype i = 0;
  while (i < n) {
    const qsizetype lt = line.indexOf(QLatin1Char('<'), i);
    if (lt < 0) break;
    qsizetype j = lt + 1;
    while (j < n && isNameChar(line[j])) ++j;
    if (j >= n) break;
    if (j == lt + 1 || (line[j] != u':' && line[j] != u'>')) {
      i = lt + 1;  // a "<" that begins no tag
      continue;
    }
    tagStarts_ << lt;
    if (line[j] == u'>') {
      i = j + 1;  // "<EOR>", "<EOH>": no value
      continue;
    }
    const qsizetype p = j + 1;
    const QString name = line.mid(lt + 1, j - lt - 1).toUpper();
    if (!fieldStart_.contains(name)) fieldStart_.insert(name, p);
    const FieldSpan span = spanAt(line, p);
    // Skip the value by its length, so tag-like text inside it is not taken for a
    // field; a tag without its ">" or a length that cannot be read skips nothing.
    i = span.valueStart > p && span.readable()
            ? AdifValueEnd(line, span.valueStart, std::min<qsizetype>(n, span.valueStart + qsizetype(span.length)))
            : p;
  }
}

Result<std::optional<QString>> AdifFields::value(const QString& name) const {
  using Answer = Result<std::optional<QString>>;
  const QString key = name.toUpper();
  qsizetype p = -1;
  const auto it = fieldStart_.constFind(key);
  const bool located = it != fieldStart_.cend();
  if (located) {
    p = *it;
  } else {
    const qsizetype at = line_.indexOf(QLatin1Char('<') + key + QLatin1Char(':'), 0, Qt::CaseInsensitive);
    if (at < 0) return Answer::of(std::nullopt);
    p = at + key.size() + 2;
  }
  const FieldSpan span = spanAt(line_, p);
  if (!span.readable()) return Answer::failure(QStringLiteral("El campo <%1: tiene un largo no válido").arg(key));
  qsizetype end = AdifValueEnd(line_, span.valueStart,
                               std::min<qsizetype>(line_.size(), span.valueStart + qsizetype(span.length)));
  if (!located) {
    // A tag inside another value: its own value never reaches into the fields after it.
    const auto next = std::lower_bound(tagStarts_.cbegin(), tagStarts_.cend(), span.valueStart);
    if (next != tagStarts_.cend()) end = std::min(end, *next);
  }
  return Answer::of(line_.mid(span.valueStart, std::max<qsizetype>(0, end - span.valueStart)));
}

Result<std::optional<QString>> AdifTagValue(const QString& line, const QString& name) {
  return AdifFields(line).value(name);
}

}  // namespace vz
