#include "store/configfile.h"

#include "platform/cp1252.h"
#include "platform/textutil.h"

namespace vz {

QString ScrambleText(const QString& text, const QString& key, int mode) {
  if (mode != 0 && mode != -1) return {};
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int c = cp1252Code(text[i]);
    const int k = key.isEmpty() ? 0 : cp1252Code(key[i % key.size()]);
    int r;
    if (mode == 0) {
      r = c + k;
      if (r > 255) r -= 255;
    } else {
      r = c - k;
      if (r < 0) r += 255;
      // Scrambling code 255 gives the key's own code, which the walk back turns
      // into 0; no text box holds code 0, so it can only have been 255.
      if (r == 0) r = 255;
    }
    out += cp1252Char(r);
  }
  return out;
}

QString PercentEncodePassword(const QString& text) {
  static const struct {
    const char* from;
    const char* to;
  } table[] = {
      {"%", "%25"}, {"!", "%21"}, {"*", "%2A"}, {"'", "%27"}, {"(", "%28"}, {")", "%29"}, {";", "%3B"},
      {":", "%3A"}, {"@", "%40"}, {"&", "%26"}, {"=", "%3D"}, {"+", "%2B"}, {"$", "%24"}, {",", "%2C"},
      {"/", "%2F"}, {"?", "%3F"}, {"#", "%23"}, {"[", "%5B"}, {"]", "%5D"},
  };
  QString s = text;
  for (const auto& r : table) s.replace(QLatin1String(r.from), QLatin1String(r.to));
  return s;
}

namespace {

const QString kEstacion = QStringLiteral("Estacion=");
const QString kOperador = QStringLiteral("Operador=");
const QString kDiferUTC = QStringLiteral("DiferUTC=");
const QString kLogenUso = QStringLiteral("LogenUso=");
const QString kGridLoca = QStringLiteral("GridLoca=");
const QString kUserRuk = QStringLiteral("UserRuk_=");
const QString kPassRuk = QStringLiteral("PassRuk_=");
const QString kNoBorrar = QStringLiteral("NoBorrar=");
const QString kPantalla = QStringLiteral("Pantalla=");
const QString kHamqUser = QStringLiteral("HAMQuser=");
const QString kHamqPass = QStringLiteral("HAMQpass=");
const QString kRukqUser = QStringLiteral("RUKQuser=");
const QString kRukqPass = QStringLiteral("RUKQpass=");
const QString kEqslUser = QStringLiteral("eQSLuser=");
const QString kEqslPass = QStringLiteral("eQSLpass=");
const QString kArcAudio = QStringLiteral("ArcAudio=");
const QString kPuerto = QStringLiteral("Puerto  =");
const QString kPinPtt = QStringLiteral("PinPTT  =");
const QString kTAntes = QStringLiteral("TAntes  =");
const QString kTDespues = QStringLiteral("TDespues=");

QString scrambledOrNothing(const QString& password, const QString& service, QStringList* unstorable) {
  const QString s = ScrambleText(password, kScramblerKey, 0);
  if (s.contains(u'\r') || s.contains(u'\n')) {
    if (unstorable) *unstorable << service;
    return {};
  }
  return s;
}

}  // namespace

QStringList formatConfigLines(const ConfigValues& v, QStringList* unstorable) {
  if (unstorable) unstorable->clear();
  return {
      kEstacion + oneLine(v.Estacion.toUpper()),
      kOperador + oneLine(v.Operador.toUpper()),
      kDiferUTC + oneLine(v.DiferUTC),
      kLogenUso + oneLine(v.LogenUso),
      kGridLoca + oneLine(v.GridLoca),
      kUserRuk + oneLine(v.UserRuk),
      kPassRuk + oneLine(v.PassRuk),
      kNoBorrar + QString::number(v.NoBorrar),
      kPantalla + QString::number(v.Pantalla),
      kHamqUser + oneLine(v.HamqUser),
      kHamqPass + scrambledOrNothing(v.HamqPass, QStringLiteral("QRZ"), unstorable),
      kRukqUser + oneLine(v.RukqUser),
      kRukqPass + scrambledOrNothing(v.RukqPass, QStringLiteral("Rukanet"), unstorable),
      kEqslUser + oneLine(v.EqslUser),
      kEqslPass + scrambledOrNothing(v.EqslPass, QStringLiteral("eQSL"), unstorable),
      kArcAudio + oneLine(v.ArcAudio),
      kPuerto + oneLine(v.Puerto),
      kPinPtt + (v.PinPttRts ? QStringLiteral("1") : QStringLiteral("0")),
      kTAntes + oneLine(v.TAntes),
      kTDespues + oneLine(v.TDespues),
  };
}

ConfigRead parseConfigLines(const QStringList& lines) {
  ConfigRead r;
  QString hamq, rukq, eqsl;  // last scrambled passwords seen
  for (const QString& line : lines) {
    r.anyLine = true;
    const QString value = line.mid(9, 100);
    // A key counts at the start of its line only: a value that holds key text (a user
    // name "x LogenUso=HACK") must not set that other setting. The value is the text
    // after the key either way.
    auto has = [&line](const QString& key) { return line.startsWith(key); };
    if (has(kEstacion)) r.Estacion = value;
    if (has(kOperador)) r.Operador = value;
    if (has(kDiferUTC)) r.DiferUTC = value;
    if (has(kLogenUso)) r.LogenUso = value;
    if (has(kGridLoca)) r.GridLoca = value;
    if (has(kUserRuk)) r.UserRuk = value;
    if (has(kPassRuk)) r.PassRuk = value;
    if (has(kPantalla)) r.Pantalla = vbValInt(value);
    if (has(kNoBorrar)) r.NoBorrar = vbValInt(value);
    if (has(kHamqUser)) r.HamqUser = value;
    if (has(kHamqPass)) hamq = value;
    if (has(kRukqUser)) r.RukqUser = value;
    if (has(kRukqPass)) rukq = value;
    if (has(kEqslUser)) r.EqslUser = value;
    if (has(kEqslPass)) eqsl = value;
    if (has(kArcAudio)) r.ArcAudio = line.mid(9, 1000);
    if (has(kPuerto) && !value.isEmpty()) r.Puerto = value;
    if (has(kPinPtt)) r.PinPttRts = value == QLatin1String("1");
    if (has(kTAntes) && !value.isEmpty()) r.TAntes = value;
    if (has(kTDespues) && !value.isEmpty()) r.TDespues = value;
  }
  r.HamqPass = ScrambleText(hamq, kScramblerKey, -1);
  r.RukqPass = ScrambleText(rukq, kScramblerKey, -1);
  r.EqslPass = ScrambleText(eqsl, kScramblerKey, -1);
  return r;
}

QStringList ConfigProblems(const ConfigRead& read, const QStringList& logNames) {
  QStringList problems;
  if (!read.LogenUso) {
    problems << QStringLiteral("no dice qué log se usa (falta la línea LogenUso=).");
  } else if (!logNames.isEmpty() && !logNames.contains(*read.LogenUso, Qt::CaseInsensitive)) {
    problems << (read.LogenUso->isEmpty() ? QStringLiteral("el nombre del log en uso está vacío.")
                                          : QStringLiteral("el log \"%1\" no está en la base de datos.").arg(*read.LogenUso));
  }
  if (read.Estacion.value_or(QString()).trimmed().isEmpty())
    problems << QStringLiteral("falta la señal distintiva de la estación.");
  return problems;
}

}  // namespace vz
