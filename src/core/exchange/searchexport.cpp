#include "exchange/searchexport.h"

#include <QByteArray>
#include <algorithm>
#include <vector>

#include "platform/cp1252.h"
#include "platform/database.h"
#include "platform/sqlitestatement.h"

namespace vz {

AdifQso AdifQsoFromListRow(const QsoListRow& row) {
  const auto& c = row.cells;
  AdifQso q;
  q.ownCall = c[10];
  q.call = c[kQsoListEstacion];
  q.mode = c[5];
  q.band = c[kQsoListBanda];
  q.frequency = c[kQsoListFrec];
  q.date = c[kQsoListFecha];
  q.time = c[kQsoListHora];
  q.reportSent = c[6];
  q.reportReceived = c[7];
  q.satellite = c[16];
  q.operatorCall = c[11];
  q.remarks = c[12];
  q.ownGrid = c[13];
  q.grid = c[14];
  return q;
}

namespace {

// The columns a record writes, by position in the statements below.
enum Column {
  kId, kMyCall, kEstacion, kModo, kBanda, kFrecuencia, kFecha, kHora,
  kRse, kRsr, kNombreSat, kOperador, kObs, kMiGrid, kSuGrid, kColumns
};
const char kColumnList[] =
    "[id],[MyCall],[Estacion],[Modo],[Banda],[Frecuencia],[Fecha],[Hora],[RSE],[RSR],[Nombre_Sat],[Operador],"
    "[Obs],[MiGrid],[SuGrid]";

// Ids of a block spread wider than this many times its size are read one by one.
constexpr qint64 kRangeSpread = 4;
// List positions read and written at a time.
constexpr int kBlockRows = 1024;

// The stored UTF-8 value as the bytes of the file's encoding, converted into
// scratch for Windows-1252. False for anything but ASCII and well-formed characters
// of Windows-1252: the list's own texts decide those.
bool encodedValue(QByteArrayView stored, AdifEncoding encoding, QByteArray* scratch, QByteArrayView* out) {
  const qsizetype n = stored.size();
  qsizetype i = 0;
  while (i < n && static_cast<unsigned char>(stored[i]) < 0x80) ++i;
  if (i == n) {
    *out = stored;
    return true;
  }
  scratch->resize(0);
  scratch->append(stored.first(i));
  while (i < n) {
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(stored[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
      scratch->append(char(b0));
      ++i;
      continue;
    }
    char16_t u = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < n && (byte(i + 1) & 0xC0) == 0x80) {
      u = char16_t(((b0 & 0x1F) << 6) | (byte(i + 1) & 0x3F));
      i += 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF && i + 2 < n && (byte(i + 1) & 0xC0) == 0x80 &&
               (byte(i + 2) & 0xC0) == 0x80) {
      u = char16_t(((b0 & 0x0F) << 12) | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F));
      if (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF)) return false;
      i += 3;
    } else {
      return false;
    }
    const int code = cp1252Code(QChar(u));
    if (code == '?') return false;
    scratch->append(char(code));
  }
  *out = encoding == AdifEncoding::Utf8 ? stored : QByteArrayView(*scratch);
  return true;
}

QByteArrayView trimmedBlanks(QByteArrayView v) {
  while (!v.isEmpty() && v.front() == ' ') v = v.sliced(1);
  while (!v.isEmpty() && v.back() == ' ') v.chop(1);
  return v;
}

bool isAscii(QByteArrayView v) {
  for (char c : v)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool hasLowerAscii(QByteArrayView v) {
  return std::any_of(v.begin(), v.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The list's time cell for a stored time already "hh:mm" or "hh:mm:ss" with a valid
// clock time: its first five characters. False when the list would show it otherwise.
bool listTime(QByteArrayView stored, QByteArrayView* shown) {
  if (!((stored.size() == 5 || (stored.size() == 8 && stored[5] == ':')) && stored[2] == ':')) return false;
  int parts[3] = {0, 0, 0};
  const int count = stored.size() == 8 ? 3 : 2;
  for (int p = 0; p < count; ++p) {
    const char a = stored[p * 3], b = stored[p * 3 + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return false;
    parts[p] = (a - '0') * 10 + (b - '0');
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
  *shown = stored.first(5);
  return true;
}

// What one list position becomes.
struct Slot {
  enum class Kind { Missing, Record, NeedsUtf8, Failed };
  Kind kind = Kind::Missing;
  qsizetype begin = 0;
  qsizetype size = 0;
  QString error;
};

class BlockWriter {
 public:
  BlockWriter(SearchRowStyle style, bool useCommentAsQslMsg, AdifEncoding encoding)
      : style_(style), qslMsg_(useCommentAsQslMsg), encoding_(encoding) {
    records_.reserve(kBlockRows * 256);
  }

  // Builds the records of n listed positions.
  Status read(const qint64* ids, int n, const ListOwnRow& ownRow) {
    records_.resize(0);  // keeps its room for the next block
    slots_.assign(size_t(n), Slot{});
    std::vector<int> toRead;
    toRead.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
      const QsoListRow* own = ownRow ? ownRow(ids[i]) : nullptr;
      if (own)
        fromQso(AdifQsoFromListRow(*own), &slots_[size_t(i)]);
      else
        toRead.push_back(i);
    }
    if (toRead.empty()) return Status::success();
    qint64 low = ids[toRead.front()], high = low;
    for (int i : toRead) {
      low = std::min(low, ids[i]);
      high = std::max(high, ids[i]);
    }
    Status s = high - low + 1 > qint64(toRead.size()) * kRangeSpread ? readEach(ids, toRead)
                                                                     : readRange(ids, toRead, low, high);
    if (!s) return s;
    // A QSO gone since it was listed shows as a row with nothing but its id.
    for (int i : toRead)
      if (slots_[size_t(i)].kind == Slot::Kind::Missing) fromQso(AdifQso{}, &slots_[size_t(i)]);
    return Status::success();
  }

  // Writes the block's records in list order.
  Status write(AdifFileWriter& writer, bool* needsUtf8) const {
    for (const Slot& slot : slots_) {
      switch (slot.kind) {
        case Slot::Kind::Record:
          if (Status s = writer.writeEncodedLine(QByteArrayView(records_).sliced(slot.begin, slot.size)); !s)
            return s;
          break;
        case Slot::Kind::NeedsUtf8: *needsUtf8 = true; return Status::success();
        case Slot::Kind::Failed:
        case Slot::Kind::Missing: return Status::failure(slot.error);
      }
    }
    return Status::success();
  }

 private:
  Status readRange(const qint64* ids, const std::vector<int>& toRead, qint64 low, qint64 high) {
    // Each position by its id's place in the range; ids of other logs are read and left.
    std::vector<int> at(size_t(high - low + 1), -1);
    for (int i : toRead) at[size_t(ids[i] - low)] = i;
    if (!range_.prepared()) {
      if (Status s = range_.prepare(
              QStringLiteral("SELECT %1 FROM Tabla1 WHERE [id] BETWEEN ? AND ?").arg(QLatin1String(kColumnList)));
          !s)
        return s;
    }
    range_.bindInteger(1, low);
    range_.bindInteger(2, high);
    if (Status s = range_.start(); !s) return s;
    while (range_.next()) {
      const qint64 id = range_.integer(kId);
      if (id < low || id > high || at[size_t(id - low)] < 0) continue;
      fromRow(range_, &slots_[size_t(at[size_t(id - low)])]);
    }
    return range_.error();
  }

  Status readEach(const qint64* ids, const std::vector<int>& toRead) {
    if (!one_.prepared()) {
      if (Status s = one_.prepare(QStringLiteral("SELECT %1 FROM Tabla1 WHERE [id]=?").arg(QLatin1String(kColumnList)));
          !s)
        return s;
    }
    for (int i : toRead) {
      one_.bindInteger(1, ids[i]);
      if (Status s = one_.start(); !s) return s;
      if (one_.next()) {
        fromRow(one_, &slots_[size_t(i)]);
        one_.reset();
      } else if (Status s = one_.error(); !s) {
        return s;
      }
    }
    return Status::success();
  }

  // The record of a stored row as the list shows it. Rows of ASCII and Windows-1252
  // characters with the date and time in their stored forms (nearly all) are written
  // from the stored bytes; any other goes through the list's own row.
  void fromRow(const db::SqliteStatement& q, Slot* slot) {
    QByteArrayView v[kColumns];
    bool plain = true;
    for (int c = 1; c < kColumns && plain; ++c) plain = encodedValue(q.bytes(c), encoding_, &scratch_[c], &v[c]);
    QByteArrayView time;
    // Capitals as the list writes them, for ASCII letters only.
    const auto upper = [&](QByteArrayView* value, QByteArray* copy) {
      if (!isAscii(*value)) return false;
      if (!hasLowerAscii(*value)) return true;
      *copy = value->toByteArray().toUpper();
      *value = *copy;
      return true;
    };
    if (plain && listTime(v[kHora], &time) &&
        (style_ != SearchRowStyle::SearchArgentine || upper(&v[kEstacion], &call_)) &&
        (style_ != SearchRowStyle::Province || upper(&v[kSuGrid], &grid_))) {
      AdifQsoBytes a;
      a.ownCall = v[kMyCall];
      a.call = v[kEstacion];
      a.mode = v[kModo];
      a.band = v[kBanda];
      a.frequency = v[kFrecuencia];
      a.date = v[kFecha];
      a.time = time;
      a.reportSent = v[kRse];
      a.reportReceived = v[kRsr];
      a.satellite = trimmedBlanks(v[kNombreSat]);
      a.operatorCall = v[kOperador];
      a.remarks = v[kObs];
      a.ownGrid = v[kMiGrid];
      a.grid = v[kSuGrid];
      const qsizetype begin = records_.size();
      if (AppendAdifRecordBytes(&records_, a, qslMsg_)) {
        *slot = Slot{Slot::Kind::Record, begin, records_.size() - begin, {}};
        return;
      }
    }
    // Anything else is written from the row as the list itself reads it.
    const Result<QsoListRow> row = reader_.read(q.integer(kId), style_);
    if (!row.ok()) {
      slot->kind = Slot::Kind::Failed;
      slot->error = row.error();
      return;
    }
    fromQso(AdifQsoFromListRow(row.value), slot);
  }

  // The record of the list's texts, as AdifRecord writes it.
  void fromQso(const AdifQso& qso, Slot* slot) {
    if (encoding_ == AdifEncoding::Windows1252 && AdifQsoEncoding(qso) == AdifEncoding::Utf8) {
      slot->kind = Slot::Kind::NeedsUtf8;
      return;
    }
    const Result<QString> record = AdifRecord(qso, qslMsg_, encoding_);
    if (!record.ok()) {
      slot->kind = Slot::Kind::Failed;
      slot->error = record.error();
      return;
    }
    const qsizetype begin = records_.size();
    if (encoding_ == AdifEncoding::Utf8)
      records_ += record.value.toUtf8();
    else
      appendCp1252(&records_, record.value);
    *slot = Slot{Slot::Kind::Record, begin, records_.size() - begin, {}};
  }

  SearchRowStyle style_;
  bool qslMsg_;
  AdifEncoding encoding_;
  QByteArray records_;  // the block's records, back to back in the order read
  std::vector<Slot> slots_;
  QByteArray scratch_[kColumns];  // values converted to Windows-1252
  QByteArray call_, grid_;
  db::SqliteStatement range_, one_;
  SearchRowReader reader_;
};

}  // namespace

Status WriteListedAdifRecords(AdifFileWriter& writer, const qint64* ids, int n, SearchRowStyle style,
                              const ListOwnRow& ownRow, bool useCommentAsQslMsg, AdifEncoding encoding,
                              bool* needsUtf8) {
  *needsUtf8 = false;
  BlockWriter block(style, useCommentAsQslMsg, encoding);
  for (int first = 0; first < n; first += kBlockRows) {
    const int rows = std::min(kBlockRows, n - first);
    // One read transaction for the block: each statement on its own would lock and
    // check the file again.
    Status s = db::transaction([&] { return block.read(ids + first, rows, ownRow); });
    if (s) s = block.write(writer, needsUtf8);
    if (!s || *needsUtf8) return s;
  }
  return Status::success();
}

}  // namespace vz
