#include "setup/satelliteeditor.h"

#include "platform/textutil.h"

namespace vz {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString nameOf(const QString& entry) { return entry.section(u';', 0, 0); }

}  // namespace

QString EditorListEntry(const SatelliteEntry& e) {
  const QString subTone = e.subTone.isEmpty() ? QStringLiteral(" ") : e.subTone;
  return QStringList{e.name, e.uplinkBand, e.downlinkBand, e.mode, subTone, e.frequency}.join(u';');
}

SatelliteFields SplitEditorEntry(const QString& entry) {
  QStringList parts = entry.split(u';');
  while (parts.size() < 6) parts << QString();
  return {parts[0], parts[1], parts[2], parts[3], parts[4], parts.mid(5).join(u';')};
}

QString JoinEditorEntry(const SatelliteFields& f) {
  return QStringList{f.name, f.uplinkBand, f.downlinkBand, f.mode, f.subTone, f.frequency}.join(u';');
}

bool editorEntryLess(const QString& a, const QString& b) {
  // The separator sorts before every character, so "AO-7;..." comes before "AO-73;...".
  QString ka = a, kb = b;
  ka.replace(u';', QChar(1));
  kb.replace(u';', QChar(1));
  const int c = QString::compare(ka, kb, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

int FrequencyMaxLength(const QString& uplinkBand) {
  return uplinkBand == QLatin1String("23cm") ? 8 : 7;
}

bool IsFrequencyKey(QChar key) {
  return (key >= u'0' && key <= u'9') || key == u'.' || key == u'?' || key == u'\b';
}

QString CheckUplinkFrequency(const QString& band, const QString& text) {
  if (trimBlanks(text).isEmpty()) return {};
  const bool is23 = band == QLatin1String("23cm");
  if (is23 && (text.size() != 8 || !text.contains(u'.')))
    return QStringLiteral("En 23 cm, el formato de la frecuencia es:") + kCrLf + kCrLf +
           QStringLiteral("MMMM.KKK");
  if (!is23 && (text.size() != 7 || !text.contains(u'.')))
    return QStringLiteral("El formato de la frecuencia es:") + kCrLf + kCrLf + QStringLiteral("MMM.KKK");

  const QString head = QStringLiteral("La frecuencia es ") + text + kCrLf;
  const double mhz = vbVal(text.left(is23 ? 4 : 3));
  if (band == QLatin1String("2m") && (mhz < 144 || mhz > 148))
    return head + QStringLiteral("No es de la banda de 2m!");
  if (band == QLatin1String("70cm") && (mhz < 430 || mhz > 440))
    return head + QStringLiteral("No es de la banda de 70m!");
  if (is23 && (mhz < 1267 || mhz > 1268))
    return head + QString::fromUtf8("No es de la banda de satélites en 23cm!") + kCrLf +
           QStringLiteral("debe estar en 1267MHz");
  return {};
}

std::optional<SatelliteRefusal> CheckSatelliteFields(const SatelliteFields& f,
                                                     const QStringList& listEntries,
                                                     qsizetype except) {
  if (trimBlanks(f.name).isEmpty())
    return SatelliteRefusal{QString::fromUtf8("Falta el nombre del Satélite!"), SatelliteField::Name};

  const QString noSeparator =
      QStringLiteral("El nombre, el sub tono y la frecuencia no pueden contener \";\"!");
  if (f.name.contains(u';')) return SatelliteRefusal{noSeparator, SatelliteField::Name};
  if (f.subTone.contains(u';')) return SatelliteRefusal{noSeparator, SatelliteField::SubTone};
  if (f.frequency.contains(u';')) return SatelliteRefusal{noSeparator, SatelliteField::Frequency};
  // A line break would split the satellite's line in two.
  const QString oneLineOnly =
      QStringLiteral("El nombre, el sub tono y la frecuencia no pueden contener saltos de línea ni tabuladores!");
  if (breaksLine(f.name)) return SatelliteRefusal{oneLineOnly, SatelliteField::Name};
  if (breaksLine(f.subTone)) return SatelliteRefusal{oneLineOnly, SatelliteField::SubTone};
  if (breaksLine(f.frequency)) return SatelliteRefusal{oneLineOnly, SatelliteField::Frequency};

  if (f.uplinkBand == f.downlinkBand)
    return SatelliteRefusal{QStringLiteral("Banda de Subida igual a la de Bajada ?"),
                            SatelliteField::DownlinkBand};

  const QString frequency = CheckUplinkFrequency(f.uplinkBand, f.frequency);
  if (!frequency.isEmpty()) return SatelliteRefusal{frequency, SatelliteField::Frequency};

  for (qsizetype i = 0; i < listEntries.size(); ++i) {
    if (i != except && nameOf(listEntries[i]) == f.name)
      return SatelliteRefusal{
          QString::fromUtf8("el satélite ") + f.name + QString::fromUtf8(" ya está en la lista!"),
          SatelliteField::None};
  }
  return std::nullopt;
}

}  // namespace vz
