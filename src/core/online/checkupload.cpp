#include "online/checkupload.h"

#include <QDate>
#include <QRegularExpression>

#include "platform/textutil.h"

namespace vz {

CheckRowKind ClassifyCheckRow(const QString& call, const QString& rukStatus, const QString& province) {
  if (call.isEmpty()) return CheckRowKind::NotQso;
  if (vbVal(rukStatus.trimmed()) == 2) return CheckRowKind::Confirmed;
  if (call.contains(QLatin1String("/MM")) || call.contains(QLatin1String("/MA"))) return CheckRowKind::Mobile;
  if (province.trimmed().isEmpty()) return CheckRowKind::Foreign;
  return CheckRowKind::Send;
}

QString CheckBandLabel(const QString& banda) {
  if (banda.contains(u'm')) return banda;
  static const struct {
    const char *pattern, *label;
  } table[] = {
      {R"(1\.\d{3}\.\d)", "160m"},  {R"(3\.\d{3}\.\d)", "80m"},   {R"(7\.\d{3}\.\d)", "40m"},
      {R"(10\.\d{3}\.\d)", "30m"},  {R"(14\.\d{3}\.\d)", "20m"},  {R"(18\.\d{3}\.\d)", "17m"},
      {R"(21\.\d{3}\.\d)", "15m"},  {R"(24\.\d{3}\.\d)", "12m"},  {R"(28\.\d{3}\.\d)", "10m"},
      {R"(5\d\.\d{3}\.\d)", "6m"},  {R"(14\d\.\d{3}\.\d)", "2m"},
  };
  for (const auto& r : table) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(QString::fromLatin1(r.pattern)));
    if (re.match(banda).hasMatch()) return QString::fromLatin1(r.label);
  }
  return banda;
}

Result<CheckUploadValues> PrepareCheckUpload(const CheckRow& row) {
  const QDate d = parseDayFirstDate(row.fecha.trimmed());
  if (!d.isValid()) return Result<CheckUploadValues>::failure(QStringLiteral("Fecha inválida: ") + row.fecha);
  CheckUploadValues v;
  v.ownCall = row.ownCall;
  v.call = row.call;
  v.band = CheckBandLabel(row.banda);
  v.mode = row.satellite.trimmed().isEmpty() ? row.mode : QStringLiteral("Sat");
  v.date = formatDate(d);
  v.time = row.hora.left(5).remove(u':').left(4);
  v.reportSent = row.reportSent;
  return Result<CheckUploadValues>::of(v);
}

CheckAnswer ParseCheckAnswer(int k, const QString& call, const QString& answer) {
  CheckAnswer a;
  const QString position = QString::number(k) + u' ';
  if (answer.contains(QLatin1String("Ruk")) || answer.contains(QStringLiteral("Contraseña")) ||
      answer.contains(QLatin1String("Argentina"))) {
    a.error = true;
    a.line = position + (answer.contains(QLatin1String("Argentina")) ? call + QStringLiteral(" No lo considera Ruk")
                                                                     : answer);
    return a;
  }
  // Six blank-separated words lead the answer; a word that is not there stays empty.
  QString rest = answer;
  QString words[6];
  for (QString& w : words) {
    const qsizetype blank = rest.indexOf(u' ');
    if (blank < 0) break;
    w = rest.left(blank);
    rest = rest.mid(blank + 1, 2000);
  }
  QString status;
  if (rest.contains(QLatin1String("duplicado!N"))) {
    status = QStringLiteral("Chequeado, aún no Confirmado!");
    a.unconfirmed = true;
    a.statuses << QStringLiteral("1");
  }
  if (rest.contains(QLatin1String("duplicado!Y")) || rest.contains(QLatin1String("duplicado!S"))) {
    status = QStringLiteral("Chequeado, Confirmado!");
    a.statuses << QStringLiteral("2");
  }
  if (rest.contains(QLatin1String("Guardado"))) {
    status = QStringLiteral("Subido!");
    a.uploaded = true;
    a.statuses << QStringLiteral("1");
  }
  // An answer that says nothing of the QSO is shown as it came; the status stays.
  if (a.statuses.isEmpty()) a.line = position + answer;
  else a.line = position + words[0] + u'>' + words[1] + u' ' + words[2] + u'/' + words[3] + QStringLiteral(" >") + status;
  return a;
}

QString CheckUploadPrompt(const QString& logName, const CheckScanCounts& c, const QStringList& ownCalls) {
  const int sent = std::min(c.toSend, kCheckUploadLimit);
  QString t = QStringLiteral("log ") + logName + QStringLiteral(" con ") +
              QString::number(c.toSend + c.mobile + c.foreign) + QStringLiteral(" QSO(s)\r\n\r\n");
  t += QStringLiteral("Estaciones NO Argentinas: ") + QString::number(c.foreign) +
       QStringLiteral("\r\nEstaciones Móviles: ") + QString::number(c.mobile) + QStringLiteral("\r\n\r\n");
  QString list;
  for (const QString& call : ownCalls) list += call + u' ';
  if (ownCalls.size() == 1) {
    t += QStringLiteral("Call: ") + list + QStringLiteral("\r\n");
  } else {
    const QString n = QString::number(ownCalls.size());
    t += n + QStringLiteral(" Calls: ") + list + QStringLiteral("\r\nAquellos Alias de los ") + n +
         QStringLiteral(" que no estén registrados en Ruk No serán subidos.\r\n\r\n");
  }
  if (c.toSend > kCheckUploadLimit)
    t += QStringLiteral("Se Tienen ") + QString::number(c.toSend) + QStringLiteral(" QSOs, se enviarán solo los ") +
         QString::number(kCheckUploadLimit) + QStringLiteral(" primeros\r\n");
  t += QStringLiteral("Sube a Ruk el log ") + logName + QStringLiteral(" con ") + QString::number(sent) +
       QStringLiteral(" QSO(s)?");
  return t;
}

QString CheckUploadSummary(int unconfirmed, int uploaded, int errors) {
  QString s;
  if (unconfirmed != 0) s += QString::number(unconfirmed) + QStringLiteral(" QSOs Chequeados por confirmación\r\n");
  if (uploaded != 0) s += QString::number(uploaded) + QStringLiteral(" QSOs subidos\r\n");
  if (errors != 0) s += QString::number(errors) + QStringLiteral(" QSOs con error");
  return s;
}

}  // namespace vz
