// The small files the program keeps beside itself and reads back at start-up or
// when a window opens: datos.cbr (Cabrillo station data), the entry memory files
// (mem.ini, memModo.cfg, memMhz.cfg, memKhz.cfg, memqSat.cfg, memsat.ini) and the
// keyer's varCW.cfg and varOsc.cfg. The input is written as each file in turn and
// read with the program's own reader.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "contest/cabrillofile.h"
#include "contest/cwkeyer.h"
#include "fuzzinput.h"
#include "platform/programfolder.h"
#include "store/memoryfiles.h"

using namespace vz;

namespace {

// In memory where the system offers it: nine small writes per input on a disk
// would make the disk, not the readers, the measure.
QTemporaryDir& folder() {
  static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/vz-fuzz-XXXXXX")
                                                                      : QDir::tempPath() + QStringLiteral("/vz-fuzz-XXXXXX"));
  static bool set = [] {
    setProgramFolder(dir.path());
    return true;
  }();
  (void)set;
  return dir;
}

void put(const QString& name, const QByteArray& bytes) {
  QFile f(QDir(folder().path()).filePath(name));
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  for (const char* name : {"datos.cbr", "mem.ini", "memModo.cfg", "memMhz.cfg", "memKhz.cfg", "memqSat.cfg",
                           "memsat.ini", "varCW.cfg", "varOsc.cfg"})
    put(QString::fromLatin1(name), bytes);

  CabrilloStationData station;
  if (ReadCabrilloStationData(station)) fuzz::check(station.name.size() <= bytes.size());
  if (const auto mem = ReadMemIni()) fuzz::check(mem->khz.size() <= 3);
  (void)ReadEntryMemoryFiles();
  (void)LoadSatelliteMemory();
  if (const auto port = ReadCwPortSettings()) fuzz::check(port->port.size() <= bytes.size());
  (void)ReadDarkBackgroundSetting();
  return 0;
}
