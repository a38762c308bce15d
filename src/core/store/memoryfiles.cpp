#include "store/memoryfiles.h"

#include <QFile>
#include <QStringList>

#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/textutil.h"

namespace vz {
namespace {

Status writeFile(const QString& name, const QStringList& lines) {
  QString error;
  if (writeTextLines(programFile(name), lines, &error)) return Status::success();
  return Status::failure(QStringLiteral("No se pudo escribir %1: %2").arg(name, error));
}

// Whether the file holds exactly these lines as they would be written.
bool holdsLines(const QString& name, const QStringList& lines) {
  const QByteArray bytes = textLinesBytes(lines);
  QFile f(programFile(name));
  if (!f.open(QIODevice::ReadOnly) || f.size() != bytes.size()) return false;
  return f.readAll() == bytes;
}

std::optional<QString> firstLine(const QString& name) {
  QStringList lines;
  if (!readTextLines(programFile(name), &lines) || lines.isEmpty()) return std::nullopt;
  return lines.first();
}

}  // namespace

Status WriteMemIni(const EntryStripValues& v) {
  const QString name = QStringLiteral("mem.ini");
  const QStringList lines = {v.mhz + u'.' + v.khz, v.band, numberLine(v.manualTime ? 1 : 0), QString()};
  // Written at every save, mostly with what it holds already: writing it again
  // would only make the save wait for the disk once more.
  if (holdsLines(name, lines)) return Status::success();
  return writeFile(name, lines);
}

Status SaveEntryMemoryFiles(const EntryStripValues& v) {
  const std::pair<const char*, QString> files[] = {
      {"memModo.cfg", v.mode},
      {"memMhz.cfg", v.mhz},
      {"memKhz.cfg", v.khz},
      {"memqSat.cfg", numberLine(v.satellite ? 1 : 0)},
  };
  Status first;
  for (const auto& [name, line] : files) {
    const Status s = writeFile(QString::fromLatin1(name), {line});
    if (!s && first.ok) first = s;
  }
  return first;
}

Status SaveSatelliteMemory(const QString& name) {
  return writeFile(QStringLiteral("memsat.ini"), {name});
}

std::optional<MemIniValues> ReadMemIni() {
  QStringList lines;
  if (!readTextLines(programFile(QStringLiteral("mem.ini")), &lines)) return std::nullopt;
  lines.resize(3);
  MemIniValues v;
  const qsizetype dot = lines[0].indexOf(u'.');
  v.mhz = dot < 0 ? lines[0] : lines[0].left(dot);
  v.khz = dot < 0 ? QString() : lines[0].mid(dot + 1, 3);
  v.band = lines[1];
  v.manualTime = vbVal(lines[2]) != 0;
  return v;
}

SavedEntryState ReadEntryMemoryFiles() {
  SavedEntryState s;
  s.mode = firstLine(QStringLiteral("memModo.cfg"));
  s.mhz = firstLine(QStringLiteral("memMhz.cfg"));
  s.khz = firstLine(QStringLiteral("memKhz.cfg"));
  if (const auto sat = firstLine(QStringLiteral("memqSat.cfg"))) s.satellite = vbValInt(*sat);
  return s;
}

QString LoadSatelliteMemory() { return firstLine(QStringLiteral("memsat.ini")).value_or(QString()); }

}  // namespace vz
