#include "exchange/adifimportfile.h"

#include <QFile>
#include <QSet>
#include <QStringView>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "platform/cp1252.h"
#include "platform/failure.h"
#include "platform/textutil.h"

namespace vz {

namespace {

// How far after a tag's ":" its ">" and its length are looked for.
constexpr qsizetype kTagWindow = 1000;
// Records read between two progress reports.
constexpr int kRecordsPerReport = 256;

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QLatin1String kEqslDomain("eQSL.cc");

bool isNameChar(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_';
}

bool validUtf8(const QByteArray& b) {
  const auto* p = reinterpret_cast<const unsigned char*>(b.constData());
  const qsizetype n = b.size();
  qsizetype i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int follow = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((c & 0xE0) == 0xC0) {
      follow = 1, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      follow = 2, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      follow = 3, min = 0x10000, cp = c & 0x07;
    } else {
      return false;
    }
    for (int k = 1; k <= follow; ++k) {
      if (i + k >= n || (p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += follow + 1;
  }
  return true;
}

// Bytes a UTF-16 unit stands for in UTF-8 (a surrogate pair: two units, four bytes).
int utf8Bytes(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80) return 1;
  if (u < 0x800) return 2;
  if (c.isSurrogate()) return 2;
  return 3;
}

// One tag of the text.
struct Tag {
  enum Kind { End, Field, Bare } kind = End;
  qsizetype start = 0;       // its "<"
  QStringView name;
  qsizetype valueStart = 0;  // just after its ">" (fields)
  qsizetype valueEnd = 0;
  bool readable = true;      // the length reads as a text length
  qsizetype next = 0;        // where reading goes on
};

class Scanner {
 public:
  Scanner(const QString& text, bool utf8) : t_(text), n_(text.size()), utf8_(utf8) {}

  Tag next(qsizetype from) const {
    Tag tag;
    qsizetype i = from;
    while (i < n_) {
      const qsizetype lt = t_.indexOf(QLatin1Char('<'), i);
      if (lt < 0) break;
      qsizetype j = lt + 1;
      while (j < n_ && isNameChar(t_[j])) ++j;
      if (j >= n_) break;
      if (j == lt + 1 || (t_[j] != u':' && t_[j] != u'>')) {
        i = lt + 1;  // a "<" that begins no tag
        continue;
      }
      tag.start = lt;
      tag.name = QStringView(t_).mid(lt + 1, j - lt - 1);
      if (t_[j] == u'>') {
        tag.kind = Tag::Bare;
        tag.next = j + 1;
        return tag;
      }
      tag.kind = Tag::Field;
      readField(j + 1, &tag);
      return tag;
    }
    tag.kind = Tag::End;
    tag.next = n_;
    return tag;
  }

 private:
  // The field whose ":" ends just before p: its length, its value and where the
  // next tag may begin.
  void readField(qsizetype p, Tag* tag) const {
    const qsizetype windowEnd = std::min(n_, p + kTagWindow);
    // Plain digits ended by the type's ":" or by ">" read as they stand; anything
    // else (blanks, a sign, a fraction) is read as the number at the start of the text.
    double length = 0;
    qsizetype k = p;
    long long digits = 0;
    while (k < windowEnd && k - p < 12 && t_[k] >= u'0' && t_[k] <= u'9') digits = digits * 10 + (t_[k++].unicode() - u'0');
    if (k > p && k < windowEnd && (t_[k] == u':' || t_[k] == u'>'))
      length = double(digits);
    else
      length = std::nearbyint(vbVal(t_.mid(p, kTagWindow)));
    const qsizetype gt = QStringView(t_).mid(p, windowEnd - p).indexOf(QLatin1Char('>'));
    tag->valueStart = gt >= 0 ? p + gt + 1 : p;
    tag->readable = length >= 0 && length <= INT_MAX;
    if (!tag->readable) {
      tag->valueEnd = tag->valueStart;
      tag->next = p;  // skips nothing: the parse reports the field
      return;
    }
    tag->valueEnd = AdifValueEnd(t_, tag->valueStart, valueEnd(tag->valueStart, qsizetype(length)));
    // Without its ">" the tag skips nothing, so what follows is still read.
    tag->next = gt >= 0 ? tag->valueEnd : p;
  }

  bool boundary(qsizetype p) const { return p >= n_ || t_[p] == u'<' || t_[p].isSpace(); }

  qsizetype valueEnd(qsizetype start, qsizetype length) const {
    const qsizetype charEnd = start + std::min(length, n_ - start);
    if (!utf8_) return charEnd;
    qsizetype k = start;
    qsizetype bytes = 0;
    while (k < n_ && bytes < length) bytes += utf8Bytes(t_[k++]);
    // A writer that counted characters instead of bytes: when only the count in
    // characters ends the value where a tag or a blank follows, it is taken.
    if (k != charEnd && !boundary(k) && boundary(charEnd)) return charEnd;
    return k;
  }

  const QString& t_;
  const qsizetype n_;
  const bool utf8_;
};

// The line of the text around position p.
QStringView lineAround(const QString& t, qsizetype p) {
  qsizetype b = p;
  while (b > 0 && t[b - 1] != u'\r' && t[b - 1] != u'\n') --b;
  qsizetype e = p;
  while (e < t.size() && t[e] != u'\r' && t[e] != u'\n') ++e;
  return QStringView(t).mid(b, e - b);
}

bool named(QStringView name, const char* what) { return name.compare(QLatin1String(what), Qt::CaseInsensitive) == 0; }

}  // namespace

AdifEncoding AdifFileEncoding(const QByteArray& bytes) {
  if (bytes.startsWith(kUtf8Bom)) return AdifEncoding::Utf8;
  const bool high = std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  return high && validUtf8(bytes) ? AdifEncoding::Utf8 : AdifEncoding::Windows1252;
}

ImportFileContents ReadAdifImportBytes(const QByteArray& bytes, const ImportReadProgress& progress) {
  ImportFileContents c;
  c.encoding = AdifFileEncoding(bytes);
  const bool utf8 = c.encoding == AdifEncoding::Utf8;
  const QString t = utf8 ? QString::fromUtf8(bytes.startsWith(kUtf8Bom) ? bytes.mid(kUtf8Bom.size()) : bytes)
                         : decodeCp1252(bytes);
  const Scanner scanner(t, utf8);

  QSet<QString> seenCalls;
  bool anyRecord = false;     // an "<EOR>" was read: an "<EOH>" no longer ends a header
  qsizetype recordStart = 0;  // where the record being read began
  QString record;             // its fields so far
  bool hasCall = false;
  std::optional<QString> stationCall;
  qsizetype programIdAt = -1;  // the header's PROGRAMID tag
  QString headerProgramId;
  int sinceReport = 0;

  for (Tag tag = scanner.next(0); tag.kind != Tag::End; tag = scanner.next(tag.next)) {
    if (tag.kind == Tag::Field) {
      const QStringView value = QStringView(t).mid(tag.valueStart, tag.valueEnd - tag.valueStart);
      if (tag.readable) {
        record += QLatin1Char('<');
        record += tag.name;
        record += QLatin1Char(':');
        record += QString::number(value.size());
        record += QLatin1Char('>');
        record += value;
      } else {
        record += QStringView(t).mid(tag.start, tag.valueStart - tag.start);
      }
      if (named(tag.name, "CALL")) hasCall = true;
      if (named(tag.name, "STATION_CALLSIGN") && !stationCall && tag.readable) stationCall = value.toString();
      if (named(tag.name, "PROGRAMID") && tag.readable) {
        headerProgramId = value.toString();
        programIdAt = tag.start;
      }
      continue;
    }
    if (named(tag.name, "EOH") && !anyRecord) {
      // What came before was the header: only its PROGRAMID is kept.
      if (programIdAt >= 0) {
        c.programId = headerProgramId;
        if (lineAround(t, programIdAt).contains(kEqslDomain)) c.programId = EqslExportCaption();
      }
      record.clear();
      hasCall = false;
      stationCall.reset();
      programIdAt = -1;
      recordStart = tag.next;
      continue;
    }
    if (!named(tag.name, "EOR")) continue;  // "<EOF>" and tags the import does not know

    anyRecord = true;
    // A PROGRAMID or the eQSL domain inside a record names the file as well.
    if (programIdAt >= 0) c.programId = headerProgramId;
    if (QStringView(t).mid(recordStart, tag.next - recordStart).contains(kEqslDomain)) c.programId = EqslExportCaption();
    if (hasCall) {
      if (c.recordLines.size() == kImportRecordLimit) {
        c.tooManyRecords = true;
        c.recordLines.clear();
        c.stationCalls.clear();
        c.lineCount = kImportRecordLimit + 2;
        return c;
      }
      record += QLatin1String("<EOR>");
      c.recordLines << record;
      if (stationCall && !seenCalls.contains(*stationCall)) {
        seenCalls.insert(*stationCall);
        c.stationCalls << *stationCall;
      }
    }
    record.clear();
    hasCall = false;
    stationCall.reset();
    programIdAt = -1;
    recordStart = tag.next;
    if (progress && ++sinceReport == kRecordsPerReport) {
      sinceReport = 0;
      if (!progress(tag.next, t.size())) {
        c.stopped = true;
        return c;
      }
    }
  }
  // A file that is all header (no "<EOH>", no "<EOR>") still names its program.
  if (!anyRecord && programIdAt >= 0 && c.programId.isEmpty()) {
    c.programId = headerProgramId;
    if (lineAround(t, programIdAt).contains(kEqslDomain)) c.programId = EqslExportCaption();
  }
  c.lineCount = 1 + int(c.recordLines.size());
  return c;
}

Result<ImportFileContents> ReadAdifImportFile(const QString& path, const ImportReadProgress& progress) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return Result<ImportFileContents>::failure(failureMessage(QStringLiteral("No se puede leer el archivo ADIF"), path, f.errorString()));
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError)
    return Result<ImportFileContents>::failure(failureMessage(QStringLiteral("No se puede leer el archivo ADIF"), path, f.errorString()));
  return Result<ImportFileContents>::of(ReadAdifImportBytes(bytes, progress));
}

QString EqslExportCaption() { return QStringLiteral("Exported from eQSL.cc"); }

QString ImportTooManyRecordsMessage(const QString& chosenPath) {
  return QStringLiteral("El archivo:\r\n") + chosenPath + QStringLiteral("\r\ntiene mas de 10.000 QSOs!");
}

}  // namespace vz
