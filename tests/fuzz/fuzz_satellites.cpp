// The satelites.txt reader and what the satellite panel makes of each line: the
// captions, the uplink read back from a chosen satellite's caption, the selector's order.
#include <QList>

#include "fuzzinput.h"
#include "store/satellites.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QList<SatelliteEntry> entries;
  for (const QString& line : fuzz::linesOf(data, size)) {
    const auto e = ParseSatelliteLine(line);
    if (!e) continue;
    entries << *e;
    const SatellitePanelCaptions loader = LoaderCaptions(*e);
    // The sub-tone label of the loader shows the whole rest of the line.
    fuzz::check(loader.subtono.endsWith(e->rest));
    const SatellitePanelCaptions chosen = ChosenCaptions(*e);
    (void)SplitUplink(chosen.subida);
    (void)SplitUplink(loader.subida);
  }
  const QStringList names = SatelliteSelectorNames(entries);
  fuzz::check(names.size() == entries.size());
  return 0;
}
