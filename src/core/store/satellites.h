#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/status.h"

namespace vz {

// One line of satelites.txt: fields joined by ";", five or six of them
// ("AO-7;70cm;2m;SSB;100.4", "AO-91;70cm;2m;FM;67.0;435.250").
struct SatelliteEntry {
  QString name;
  QString uplinkBand;    // "2m", "70cm" or "23cm"
  QString downlinkBand;
  QString mode;          // "FM" or "SSB"
  QString subTone;       // " " when the satellite has none
  QString frequency;     // uplink "MMM.KKK" or "MMMM.KKK"; empty on a five-field line
  QString rest;          // everything after the fourth ";": sub-tone, or sub-tone ";" frequency
};

// Every reader splits the first four fields at the first four ";". A line with fewer
// (an empty line, a hand edit) is no satellite and gives nothing.
std::optional<SatelliteEntry> ParseSatelliteLine(const QString& line);

QString SatelliteFilePath();
// The built-in list, written when the program finds no satellites file.
QStringList DefaultSatelliteLines();
Status WriteDefaultSatelliteFile();

// The satellites of the file in file order; lines that are no satellite are skipped.
// A missing or unreadable file lists none.
// Every satellite of the file goes into the selector: a file larger than this
// (thousands of lines, where a real one holds a few dozen) is refused unread.
inline constexpr qint64 kMaxSatelliteFileBytes = 256 * 1024;
QList<SatelliteEntry> LoadSatelliteList();
// The first satellite of the file whose name equals the given one exactly (letter
// case included); none when the file has gone.
std::optional<SatelliteEntry> FindSatellite(const QString& name);

// Order of the satellite selector, which keeps its names sorted alphabetically
// without regard to letter case.
bool satelliteNameLess(const QString& a, const QString& b);
QStringList SatelliteSelectorNames(const QList<SatelliteEntry>& entries);

// The four labels of the main window's satellite panel.
struct SatellitePanelCaptions {
  QString subida;
  QString bajada;
  QString modo;
  QString subtono;
};
// As the list loader leaves them (from the file's last satellite): "Subida:70cm",
// and the sub-tone label with all that follows the fourth ";".
SatellitePanelCaptions LoaderCaptions(const SatelliteEntry& entry);
// As a chosen satellite shows them: "Subida: 70cm 435.250", "Bajada: 2m", "Modo: FM",
// "SubTono: 67.0".
SatellitePanelCaptions ChosenCaptions(const SatelliteEntry& entry);

// The uplink read back from the uplink label's caption, for the MHz selector and
// the kHz box.
struct UplinkSplit {
  long long bandNumber = 0;  // 2 for "2m", 70 for "70cm"
  QString mhz;
  QString khz;
};
// A frequency is split at its ".", so "145.900" gives 145 and 900 and "1267.100"
// gives 1267 and 100. Without a frequency a 2 m uplink gives 145 and 550 and a
// 70 cm one 435 and 550. A caption in the loader's form gives parts that no MHz
// selector offers, which leaves the entry strip as it was.
UplinkSplit SplitUplink(const QString& subidaCaption);

}  // namespace vz
