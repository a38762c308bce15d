#include "online/listupload.h"

#include <QDate>
#include <cmath>

#include "platform/services.h"
#include "platform/textutil.h"
#include "store/configfile.h"

namespace vz {

QString UploadBand(const QString& frequency, const QString& bandLabel) {
  const double mhz = std::trunc(vbVal(frequency));
  struct Row {
    double from, to;
    const char* band;
  };
  static const Row table[] = {
      {1, 1, "160m"},   {3, 3, "80m"},   {7, 7, "40m"},    {10, 10, "30m"},   {14, 14, "20m"},    {18, 18, "17m"},
      {21, 21, "15m"},  {24, 24, "12m"}, {28, 29, "10m"},  {50, 55, "6m"},    {144, 148, "2m"},   {430, 450, "70cm"},
  };
  for (const Row& r : table)
    if (mhz >= r.from && mhz <= r.to) return QString::fromLatin1(r.band);
  return bandLabel.trimmed();
}

ModeAndBand RukModeAndBand(const QString& mode, const QString& satellite, const QString& band) {
  ModeAndBand out{mode, band};
  if (out.mode == QLatin1String("DVoice")) out.mode = QStringLiteral("DV");
  // The prefix comes first, so a satellite QSO keeps "Echo" as it is.
  if (!satellite.isEmpty()) out.mode = QStringLiteral("Sat ") + out.mode;
  if (out.mode == QLatin1String("DV IP")) {
    out.mode = QStringLiteral("DV");
    out.band = QStringLiteral("VOIP");
  }
  if (out.mode == QLatin1String("Echo IP")) {
    out.mode = QStringLiteral("ECHO");
    out.band = QStringLiteral("VOIP");
  }
  if (out.mode == QLatin1String("Echo")) out.mode = QStringLiteral("ECHO");
  return out;
}

Result<QString> UploadDate(const QString& date) {
  const QDate d = parseDayFirstDate(date.trimmed());
  if (!d.isValid()) return Result<QString>::failure(QStringLiteral("Fecha inválida: ") + date);
  return Result<QString>::of(formatDate(d));
}

QString UploadTime(const QString& time) { return time.right(5).remove(u':'); }

Result<QUrl> RukListUploadUrl(const QString& user, const QString& password, const UploadQso& qso,
                              bool commentAsQslMsg) {
  const Result<QString> date = UploadDate(qso.date);
  if (!date.ok()) return Result<QUrl>::failure(date.error());
  const ModeAndBand mb = RukModeAndBand(qso.mode, qso.satellite, UploadBand(qso.frequency, qso.band));
  ServiceQuery q;
  q.add(QStringLiteral("user"), user)
      .addTableEncoded(QStringLiteral("pass"), PercentEncodePassword(password))
      .add(QStringLiteral("micall"), qso.ownCall)
      .add(QStringLiteral("sucall"), qso.call)
      .add(QStringLiteral("banda"), mb.band)
      .add(QStringLiteral("modo"), mb.mode)
      .add(QStringLiteral("fecha"), date.value)
      .add(QStringLiteral("hora"), UploadTime(qso.time))
      .add(QStringLiteral("rst"), qso.reportSent)
      .add(QStringLiteral("x_qslMSG"), commentAsQslMsg ? qso.remarks : QString());
  return Result<QUrl>::of(serviceUrl(Service::Ruk, QStringLiteral("/php/vantorel2Rozozev.php"), q));
}

QUrl RukCheckUploadUrl(const QString& user, const QString& password, const CheckUploadValues& v) {
  ServiceQuery q;
  q.add(QStringLiteral("user"), user)
      .addTableEncoded(QStringLiteral("pass"), PercentEncodePassword(password))
      .add(QStringLiteral("micall"), v.ownCall)
      .add(QStringLiteral("sucall"), v.call)
      .add(QStringLiteral("banda"), v.band)
      .add(QStringLiteral("modo"), v.mode)
      .add(QStringLiteral("fecha"), v.date)
      .add(QStringLiteral("hora"), v.time)
      .add(QStringLiteral("rst"), v.reportSent);
  return serviceUrl(Service::Ruk, QStringLiteral("/php/vantorel3.php"), q);
}

QString EqslHeader(const QString& programVersion) {
  return QStringLiteral("Vantorel Zezeror Ver ") + programVersion + QStringLiteral("<EOH>");
}

QString EqslField(const QString& tag, const QString& value) {
  // The record travels percent-encoded as UTF-8: the receiver counts those bytes,
  // so "ñ" is 2, "€" 3 and an emoji 4.
  return u'<' + tag + u':' + QString::number(value.toUtf8().size()) + u'>' + value;
}

Result<QString> EqslRecord(const UploadQso& qso, bool commentAsQslMsg) {
  const Result<QString> date = UploadDate(qso.date);
  if (!date.ok()) return date;
  const QString& d = date.value;  // "dd/mm/yyyy"
  const bool echo = qso.mode == QLatin1String("Echo") || qso.mode == QLatin1String("Echo IP");
  QString mode = qso.mode;
  if (mode == QLatin1String("DV IP") || mode == QLatin1String("DVoice")) mode = QStringLiteral("DIGITALVOICE");
  if (echo) mode = QStringLiteral("FM");

  QString r = EqslField(QStringLiteral("STATION_CALLSIGN"), qso.ownCall) + EqslField(QStringLiteral("CALL"), qso.call) +
              EqslField(QStringLiteral("BAND"), UploadBand(qso.frequency, qso.band)) +
              EqslField(QStringLiteral("MODE"), mode) +
              EqslField(QStringLiteral("QSO_DATE"), d.mid(6, 4) + d.mid(3, 2) + d.mid(0, 2)) +
              EqslField(QStringLiteral("TIME_ON"), UploadTime(qso.time));
  if (echo) r += EqslField(QStringLiteral("PROP_MODE"), QStringLiteral("ECH"));
  if (!qso.satellite.isEmpty()) {
    r += EqslField(QStringLiteral("PROP_MODE"), QStringLiteral("SAT"));
    r += EqslField(QStringLiteral("SAT_NAME"), qso.satellite);
  }
  if (!qso.remarks.isEmpty()) {
    r += EqslField(QStringLiteral("COMMENT"), qso.remarks);
    if (commentAsQslMsg) r += EqslField(QStringLiteral("QSLMSG"), qso.remarks);
  }
  r += QStringLiteral("<EOR><EOF>");
  return Result<QString>::of(r);
}

QUrl EqslUploadUrl(const QString& adifText, const QString& user, const QString& password) {
  ServiceQuery q;
  q.add(QStringLiteral("ADIFData"), adifText)
      .add(QStringLiteral("EQSL_USER"), user)
      .addTableEncoded(QStringLiteral("EQSL_PSWD"), PercentEncodePassword(password));
  return serviceUrl(Service::Eqsl, QStringLiteral("/qslcard/importADIF.cfm"), q);
}

UploadAnswer ClassifyUploadAnswer(const QString& text) {
  UploadAnswer a;
  const auto has = [&](const char* word) { return text.contains(QString::fromUtf8(word), Qt::CaseSensitive); };
  if (has("Error de Contraseña!") || has("NO existe en Ruk!")) a.error = a.abort = true;
  if (has("Error:") || has("duplicado!") || has("Call ni Alias")) a.error = true;
  a.rukDuplicate = has("duplicado!");
  a.rukLoaded = has("OK!");
  a.eqslDuplicate = has("Duplicate");
  a.eqslLoaded = has("Result: 1");
  return a;
}

}  // namespace vz
