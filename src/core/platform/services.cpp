#include "platform/services.h"

namespace vz {

const char* serviceEnvironmentVariable(Service s) {
  switch (s) {
    case Service::WebSite: return "VZ_URL_WEB";
    case Service::Ruk: return "VZ_URL_RUK";
    case Service::Qrz: return "VZ_URL_QRZ";
    case Service::Eqsl: return "VZ_URL_EQSL";
  }
  return "";
}

QUrl serviceDefaultBase(Service s) {
  switch (s) {
    case Service::WebSite: return QUrl(QStringLiteral("https://www.vantorel-zezeror.example.org"));
    case Service::Ruk: return QUrl(QStringLiteral("https://www.rukanet.example.org"));
    case Service::Qrz: return QUrl(QStringLiteral("https://xmldata.qrz.com"));
    case Service::Eqsl: return QUrl(QStringLiteral("https://www.eqsl.cc"));
  }
  return {};
}

QUrl serviceBase(Service s) {
  const QString fromEnv = qEnvironmentVariable(serviceEnvironmentVariable(s)).trimmed();
  if (!fromEnv.isEmpty()) {
    const QUrl u(fromEnv, QUrl::StrictMode);
    if (u.isValid() && !u.scheme().isEmpty() && !u.host().isEmpty()) return u;
  }
  return serviceDefaultBase(s);
}

void ServiceQuery::append(const QString& key, const QByteArray& encodedValue) {
  if (!query_.isEmpty()) query_ += separator_;
  query_ += QUrl::toPercentEncoding(key);
  query_ += '=';
  query_ += encodedValue;
}

ServiceQuery& ServiceQuery::add(const QString& key, const QString& value) {
  append(key, QUrl::toPercentEncoding(value));
  return *this;
}

ServiceQuery& ServiceQuery::addTableEncoded(const QString& key, const QString& value) {
  // Qt always encodes "%", so encode the text between the table's escapes.
  QByteArray out;
  const QStringList segments = value.split(u'%');
  for (qsizetype i = 0; i < segments.size(); ++i) {
    if (i > 0) out += '%';
    out += QUrl::toPercentEncoding(segments[i]);
  }
  append(key, out);
  return *this;
}

QUrl serviceUrl(Service s, const QString& path, const ServiceQuery& query, bool withQuestionMark) {
  const QUrl base = serviceBase(s);
  QByteArray text = base.toEncoded(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::StripTrailingSlash);
  text += QUrl::toPercentEncoding(path, QByteArrayLiteral("/"));
  if (!query.encoded().isEmpty() || withQuestionMark) text += '?' + query.encoded();
  return QUrl::fromEncoded(text, QUrl::StrictMode);
}

}  // namespace vz
