#include "store/satellites.h"

#include <QFileInfo>

#include <algorithm>

#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/textutil.h"

namespace vz {

std::optional<SatelliteEntry> ParseSatelliteLine(const QString& line) {
  QStringList first = line.split(u';');
  if (first.size() < 5) return std::nullopt;
  SatelliteEntry e;
  e.name = first[0];
  e.uplinkBand = first[1];
  e.downlinkBand = first[2];
  e.mode = first[3];
  e.rest = first.mid(4).join(u';');
  const qsizetype semi = e.rest.indexOf(u';');
  e.subTone = semi < 0 ? e.rest : e.rest.left(semi);
  e.frequency = semi < 0 ? QString() : e.rest.mid(semi + 1);
  return e;
}

QString SatelliteFilePath() { return programFile(QStringLiteral("satelites.txt")); }

QStringList DefaultSatelliteLines() {
  return {
      QStringLiteral("AO-7;70cm;2m;SSB;100.4"),
      QStringLiteral("AO-73;70cm;2m;SSB; "),
      QStringLiteral("XW-2A;70cm;2m;SSB; "),
      QStringLiteral("XW-2B;70cm;2m;SSB; "),
      QStringLiteral("XW-2C;70cm;2m;SSB; "),
      QStringLiteral("XW-2D;70cm;2m;SSB; "),
      QStringLiteral("XW-2F;70cm;2m;SSB; "),
      QStringLiteral("CAS-4A;70cm;2m;SSB; "),
      QStringLiteral("CAS-4B;70cm;2m;SSB; "),
      QStringLiteral("LILACSAT-2;2m;70cm;SSB;"),
      QStringLiteral("FO-29;2m;70cm;SSB; "),
      QStringLiteral("SO-50;2m;70cm;FM;67.0"),
      QStringLiteral("AO-85;70cm;2m;FM;67.0"),
      QStringLiteral("IO-86;2m;70cm;FM;88.5"),
      QStringLiteral("AO-91;70cm;2m;FM;67.0"),
      QStringLiteral("AO-92;70cm;2m;FM;67.0"),
  };
}

Status WriteDefaultSatelliteFile() {
  QString error;
  if (writeTextLines(SatelliteFilePath(), DefaultSatelliteLines(), &error)) return Status::success();
  return Status::failure(QStringLiteral("No se pudo escribir satelites.txt: ") + error);
}

QList<SatelliteEntry> LoadSatelliteList() {
  // A block at a time: only the entries stay in memory, not every line.
  QList<SatelliteEntry> entries;
  if (QFileInfo(SatelliteFilePath()).size() > kMaxSatelliteFileBytes) return entries;
  forEachTextBlock(SatelliteFilePath(), [&entries](const QStringList& lines) {
    for (const QString& line : lines)
      if (auto e = ParseSatelliteLine(line)) entries << *e;
    return true;
  });
  return entries;
}

std::optional<SatelliteEntry> FindSatellite(const QString& name) {
  std::optional<SatelliteEntry> found;
  forEachTextBlock(SatelliteFilePath(), [&](const QStringList& lines) {
    for (const QString& line : lines) {
      auto e = ParseSatelliteLine(line);
      if (e && e->name == name) {
        found = e;
        return false;
      }
    }
    return true;
  });
  return found;
}

bool satelliteNameLess(const QString& a, const QString& b) {
  const int c = QString::compare(a, b, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

QStringList SatelliteSelectorNames(const QList<SatelliteEntry>& entries) {
  QStringList names;
  for (const SatelliteEntry& e : entries) names << e.name;
  std::stable_sort(names.begin(), names.end(), satelliteNameLess);
  return names;
}

SatellitePanelCaptions LoaderCaptions(const SatelliteEntry& e) {
  return {QStringLiteral("Subida:") + e.uplinkBand, QStringLiteral("Bajada:") + e.downlinkBand,
          QStringLiteral("Modo:") + e.mode, QStringLiteral("SubTono:") + e.rest};
}

SatellitePanelCaptions ChosenCaptions(const SatelliteEntry& e) {
  return {QStringLiteral("Subida: ") + e.uplinkBand + u' ' + e.frequency,
          QStringLiteral("Bajada: ") + e.downlinkBand, QStringLiteral("Modo: ") + e.mode,
          QStringLiteral("SubTono: ") + e.subTone};
}

UplinkSplit SplitUplink(const QString& subidaCaption) {
  const QString rest = QString(subidaCaption).remove(QStringLiteral("Subida: "));
  UplinkSplit s;
  s.bandNumber = vbValInt(rest);
  const qsizetype blank = rest.indexOf(u' ');
  const QString text = blank < 0 ? rest : rest.mid(blank + 1);
  const qsizetype dot = text.indexOf(u'.');
  if (dot >= 0) {
    // Split at the point, so a four-digit 23 cm MHz part stays whole.
    s.mhz = text.left(dot);
    s.khz = text.mid(dot + 1, 3);
  } else {
    const QString freq = text.left(7);
    s.mhz = freq.left(3);
    s.khz = freq.right(3);
  }
  if (trimBlanks(s.mhz).isEmpty()) {
    if (s.bandNumber == 70) {
      s.mhz = QStringLiteral("435");
      s.khz = QStringLiteral("550");
    } else if (s.bandNumber == 2) {
      s.mhz = QStringLiteral("145");
      s.khz = QStringLiteral("550");
    }
  }
  return s;
}

}  // namespace vz
