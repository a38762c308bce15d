#include "platform/textfile.h"

#include <QFile>

#include "platform/cp1252.h"

namespace vz {

QStringList splitTextLines(const QString& text) {
  QStringList lines;
  QString current;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (c == u'\r') {
      lines << current;
      current.clear();
      if (i + 1 < n && text[i + 1] == u'\n') ++i;
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
  if (!f.open(QIODevice::ReadOnly)) return false;
  *lines = splitTextLines(decodeCp1252(f.readAll()));
  return true;
}

static bool writeBytes(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode,
                       QString* error) {
  QFile f(path);
  if (!f.open(mode) || f.write(bytes) != bytes.size()) {
    if (error) *error = f.errorString();
    return false;
  }
  f.close();
  if (f.error() != QFileDevice::NoError) {
    if (error) *error = f.errorString();
    return false;
  }
  return true;
}

bool writeTextLines(const QString& path, const QStringList& lines, QString* error) {
  QByteArray bytes;
  for (const QString& l : lines) bytes += encodeCp1252(l) + "\r\n";
  return writeBytes(path, bytes, QIODevice::WriteOnly | QIODevice::Truncate, error);
}

bool appendTextLine(const QString& path, const QString& line, QString* error) {
  return writeBytes(path, encodeCp1252(line) + "\r\n", QIODevice::WriteOnly | QIODevice::Append,
                    error);
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
