#include "mainwin/usagereport.h"

#include "platform/services.h"

namespace vz {

QUrl UsageReportUrl(const QString& stationCall, const QString& version, const QString& command) {
  ServiceQuery q;
  q.add(QStringLiteral("qrz"), stationCall)
      .add(QStringLiteral("prog"), QStringLiteral("Vantorel Zezeror 2"))
      .add(QStringLiteral("ver"), version)
      .add(QStringLiteral("comando"), command);
  return serviceUrl(Service::WebSite, QStringLiteral("/vantorel.php"), q);
}

}  // namespace vz
