#include "contest/contestanalysis.h"

#include <QSet>

#include "store/callsign.h"

namespace vz {

qint64 ContestGroupAnalysis::minutes() const {
  if (!first || !last) return 0;
  return first->secsTo(*last) / 60;
}

QString ContestGroupAnalysis::timeText() const {
  if (qsos <= 1 || !first) return {};
  return QString::number(minutes()) + QStringLiteral(" min.");
}

QString ContestGroupAnalysis::rateText() const {
  if (qsos <= 1 || !first) return {};
  const qint64 m = minutes();
  return (m != 0 ? QString::number(qint64(qsos) * 60 / m) : QString()) + QStringLiteral(" QSOs/h.");
}

QString ContestGroupAnalysis::duplicatesText() const { return duplicates ? QString::number(duplicates) : QString(); }

namespace {

std::optional<QDateTime> qsoDateTime(const ContestQso& q) {
  const QDate d(q.Fecha.left(4).toInt(), q.Fecha.mid(4, 2).toInt(), q.Fecha.mid(6, 2).toInt());
  const QTime t(q.Hora.left(2).toInt(), q.Hora.right(2).toInt());
  if (q.Fecha.size() != 8 || q.Hora.size() != 4 || !d.isValid() || !t.isValid()) return std::nullopt;
  return QDateTime(d, t, Qt::UTC);
}

}  // namespace

ContestAnalysis AnalyseContest(const QList<ContestQso>& qsosByTime, ContestMultiplierChoice choice, bool ownCounts) {
  ContestAnalysis a;
  QString ownMultiplier;
  bool firstRow = true;
  QSet<QString> workedCw, workedPhone;
  for (const ContestQso& q : qsosByTime) {
    if (!q.isQso()) continue;
    if (firstRow) {
      firstRow = false;
      a.ownCall = q.MyCall;
      if (!ownCounts) {
        QString call = q.MyCall;
        ownMultiplier = LookupRegionalCountryOrProvince(call);
      }
    }
    const bool cw = q.Modo == QLatin1String("CW");
    ContestGroupAnalysis& g = cw ? a.cw : a.phone;
    QSet<QString>& worked = cw ? workedCw : workedPhone;
    ++g.qsos;
    // Every mode but CW counts and times with the phone group, but only CW and SSB
    // QSOs are judged: an FM QSO is never a duplicate and adds no multiplier.
    const bool judged = cw || q.Modo == QLatin1String("SSB");
    if (judged) {
      if (worked.contains(q.Estacion))
        ++g.duplicates;
      else
        worked.insert(q.Estacion);

      QString value;
      if (choice == ContestMultiplierChoice::WorkedPlace) {
        QString call = q.Estacion;
        value = LookupCountryOrProvince(call);
      } else {
        value = q.RSR;
      }
      if (!g.multipliers.contains(value) && (ownMultiplier.isEmpty() || value != ownMultiplier))
        g.multipliers << value;
    }

    if (const auto when = qsoDateTime(q)) {
      if (!g.first) g.first = when;
      g.last = when;
    }
  }
  return a;
}

}  // namespace vz
