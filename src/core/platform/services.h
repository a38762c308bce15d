#pragma once
#include <QByteArray>
#include <QString>
#include <QUrl>

namespace vz {

// Web services the program talks to. Their addresses are settings of ours: the
// defaults below, or the environment (for tests and for a service that moved).
enum class Service {
  WebSite,  // the program's web site: usage reports, version file, master list
  Ruk,      // the national online log service
  Qrz,      // QRZ XML call-book
  Eqsl,     // eQSL
};

// Name of the environment variable that overrides a service's address
// ("VZ_URL_RUK" ...).
const char* serviceEnvironmentVariable(Service s);
// The address the program uses for the service: the environment's when set, else the
// default. Every default is HTTPS, so passwords never travel in clear text.
QUrl serviceBase(Service s);
QUrl serviceDefaultBase(Service s);

// A query string whose values are percent-encoded exactly once.
class ServiceQuery {
 public:
  // Keys are fixed ASCII names; most services take "&" between pairs, the QRZ XML
  // service ";".
  explicit ServiceQuery(char separator = '&') : separator_(separator) {}
  // Adds key=value with the value percent-encoded (UTF-8).
  ServiceQuery& add(const QString& key, const QString& value);
  // Adds a value that already went through a replacement table which encodes every
  // "%" it holds (PercentEncodePassword): its "%" signs are kept, every other
  // character that needs it is encoded, so nothing is encoded twice.
  ServiceQuery& addTableEncoded(const QString& key, const QString& value);
  QByteArray encoded() const { return query_; }

 private:
  void append(const QString& key, const QByteArray& encodedValue);
  char separator_;
  QByteArray query_;
};

// base + path (path starts with "/") + "?" + query (no "?" when the query is empty
// and withQuestionMark is false).
QUrl serviceUrl(Service s, const QString& path, const ServiceQuery& query = ServiceQuery(),
                bool withQuestionMark = false);

}  // namespace vz
