// The config.ini reader, its password unscrambling, and the writer on what was read
// (whose lines are read again). Keys are found anywhere in a line, so a value may
// legitimately read back under another key: only the reading itself is checked.
#include "fuzzinput.h"
#include "store/configfile.h"

using namespace vz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ConfigRead r = parseConfigLines(fuzz::linesOf(data, size));

  ConfigValues v;
  v.Estacion = r.Estacion.value_or(QString());
  v.Operador = r.Operador.value_or(QString());
  v.DiferUTC = r.DiferUTC.value_or(QString());
  v.LogenUso = r.LogenUso.value_or(QString());
  v.GridLoca = r.GridLoca;
  v.HamqUser = r.HamqUser.value_or(QString());
  v.HamqPass = r.HamqPass;
  v.RukqPass = r.RukqPass;
  v.EqslPass = r.EqslPass;
  v.ArcAudio = r.ArcAudio.value_or(QString());
  QStringList unstorable;
  const QStringList written = formatConfigLines(v, &unstorable);
  // What is written goes through the file's line rule before it is read again.
  QString text;
  for (const QString& l : written) text += l + QLatin1String("\r\n");
  const ConfigRead again = parseConfigLines(splitTextLines(text));
  fuzz::check(again.GridLoca.size() <= 100);
  return 0;
}
