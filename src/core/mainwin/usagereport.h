#pragma once
#include <QString>
#include <QUrl>

namespace vz {

// The usage report to the program's web site: "/vantorel.php" with the station
// call, the program, its version and the command ("on" or "off").
QUrl UsageReportUrl(const QString& stationCall, const QString& version, const QString& command);

}  // namespace vz
