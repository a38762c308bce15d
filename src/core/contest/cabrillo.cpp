#include "contest/cabrillo.h"

#include <QStringList>

namespace vz {

QString CabrilloFrequency(const QString& band) {
  static const QList<std::pair<QString, QString>> kTable = {
      {QStringLiteral("160m"), QStringLiteral("1820")},  {QStringLiteral("80m"), QStringLiteral("3500")},
      {QStringLiteral("40m"), QStringLiteral("7000")},   {QStringLiteral("20m"), QStringLiteral("14000")},
      {QStringLiteral("15m"), QStringLiteral("21000")},  {QStringLiteral("10m"), QStringLiteral("28000")},
      {QStringLiteral("6m"), QStringLiteral("52000")},   {QStringLiteral("2m"), QStringLiteral("144000")}};
  for (const auto& [b, khz] : kTable)
    if (b == band) return khz;
  return band;
}

QString CabrilloQsoLine(const ContestQso& q) {
  const bool phone = q.Modo == QLatin1String("SSB") || q.Modo == QLatin1String("FM");
  const QString mode = phone ? QStringLiteral("PH") : q.Modo;
  const QString report = ContestReport(q.Modo);
  const QString date = q.Fecha.left(4) + QLatin1Char('-') + q.Fecha.mid(4, 2) + QLatin1Char('-') + q.Fecha.right(2);
  // The frequency field follows the tag directly, but a reader that splits the line
  // on blanks must still find "QSO:" on its own: a frequency that fills the field
  // ("144000") moves the line one place to the right, as a long call does.
  QString frequency = CabrilloFrequency(q.Banda).rightJustified(6);
  if (!frequency.startsWith(u' ')) frequency.prepend(u' ');
  const QStringList fields = {
      frequency,
      mode,
      date,
      q.Hora,
      q.MyCall.leftJustified(13),
      report.rightJustified(3),
      q.RSE.leftJustified(6),
      q.Estacion.leftJustified(13),
      report.rightJustified(3),
      q.RSR.leftJustified(6),
  };
  return QStringLiteral("QSO:") + fields.join(QLatin1Char(' '));
}

CabrilloSection CabrilloQsoSection(const QList<ContestQso>& qsosByTime, const QString& ownCall) {
  CabrilloSection s;
  for (const ContestQso& q : qsosByTime) {
    if (!q.isQso()) continue;
    if (q.MyCall != ownCall) {
      s.otherOwnCall = q;
      return s;
    }
    ++s.qsoCount;
    s.text += CabrilloQsoLine(q) + QStringLiteral("\r\n");
  }
  if (s.qsoCount > 0) s.text += QStringLiteral("END-OF-LOG:");
  return s;
}

}  // namespace vz
