#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/cp1252.h"
#include "platform/replacefile.h"

namespace vz {

QStringList splitTextLines(const QString& text) {
  QStringList lines;
  QString current;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      lines << current;
      current.clear();
      if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.isEmpty()) lines << current;
  return lines;
}

bool readTextLines(const QString& path, QStringList* lines) {
  lines->clear();
  QFile f(path);
  if (f.size() > kMaxTextFileBytes) return false;
  if (!f.open(QIODevice::ReadOnly)) return false;
  *lines = splitTextLines(decodeCp1252(f.readAll()));
  return true;
}

bool forEachTextBlock(const QString& path, const std::function<bool(const QStringList& lines)>& take) {
  QFile f(path);
  if (f.size() > kMaxTextFileBytes) return false;
  if (!f.open(QIODevice::ReadOnly)) return false;
  constexpr qint64 kBlock = 256 * 1024;
  QByteArray pending;
  for (;;) {
    const QByteArray more = f.read(kBlock);
    const bool end = more.isEmpty();
    pending += more;
    qsizetype cut = pending.size();
    if (!end) {
      // After the last CR that is not the block's last byte (its LF may follow).
      const qsizetype cr = pending.lastIndexOf('\r', pending.size() - 2);
      if (cr < 0) continue;  // no line end yet: read on
      cut = cr + 1 + (pending.at(cr + 1) == '\n' ? 1 : 0);
    }
    if (cut > 0 && !take(splitTextLines(decodeCp1252(pending.left(cut))))) return true;
    if (end) return true;
    pending.remove(0, cut);
  }
}

QString readFailureReason(const QString& path, qint64 maxBytes) {
  const QFileInfo info(path);
  if (info.isDir()) return QStringLiteral("Hay una carpeta donde debería estar el archivo.");
  if (!info.exists()) return QStringLiteral("El archivo no existe.");
  if (info.size() > maxBytes)
    return QStringLiteral("El archivo es demasiado grande (%1 KB; se leen hasta %2 KB): no se lee.")
        .arg(info.size() / 1024)
        .arg(maxBytes / 1024);
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return f.errorString();
  return {};
}

// The bytes go to a passing file beside the old one, which takes its name only once
// everything is on disk: a write cut short (a full disk, the program killed) leaves
// the old file whole. Each write returns the bytes that really went out, so a file
// cut at a full disk is never put in place.
bool replaceFileBytes(const QString& path, const QByteArray& bytes, QString* error,
                      QFileDevice::Permissions permissions) {
  ReplacingFile f(path);
  if (f.open(permissions) && f.write(bytes) && f.commit()) return true;
  if (error) *error = f.errorString();
  return false;
}

QByteArray textLinesBytes(const QStringList& lines) {
  QByteArray bytes;
  for (const QString& l : lines) bytes += encodeCp1252(l) + "\r\n";
  return bytes;
}

bool writeTextLines(const QString& path, const QStringList& lines, QString* error,
                    QFileDevice::Permissions permissions) {
  return replaceFileBytes(path, textLinesBytes(lines), error, permissions);
}

bool appendTextLine(const QString& path, const QString& line, QString* error) {
  // Rewritten whole as well, so a cut append never leaves half a line behind.
  QByteArray bytes;
  QFile old(path);
  if (old.exists()) {
    if (!old.open(QIODevice::ReadOnly)) {
      if (error) *error = old.errorString();
      return false;
    }
    bytes = old.readAll();
  }
  return replaceFileBytes(path, bytes + encodeCp1252(line) + "\r\n", error);
}

QString numberLine(long long n) {
  if (n < 0) return QStringLiteral("-%1 ").arg(-n);
  return QStringLiteral(" %1 ").arg(n);
}

QString normaliseLineEndings(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / 20);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += c;
  }
  return out;
}

}  // namespace vz
