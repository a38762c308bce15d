#pragma once
#include <QString>
#include <QStringList>

#include "platform/status.h"

namespace vz {

// The station data kept between runs in datos.cbr: one line each, in this order.
struct CabrilloStationData {
  QString name;
  QString address1;
  QString address2;
  QString address3;
  QString email;
};

// Path of datos.cbr in the program's folder.
QString CabrilloStationDataPath();
// Fills data from datos.cbr: line 1 the name, 2 to 4 the address, 5 the e-mail;
// fields without a line keep their text, further lines are ignored. False when
// there is no file (nothing changed).
bool ReadCabrilloStationData(CabrilloStationData& data);
// Replaces datos.cbr with the five fields.
Status WriteCabrilloStationData(const CabrilloStationData& data);

// What the header of a Cabrillo log says; texts go in exactly as typed.
struct CabrilloHeaderFields {
  QString callsign;
  QString contest;
  QString categoryOperator;  // "SINGLE-OP", "MULTI-OP", "CHECKLOG"
  QString categoryPower;     // "HIGH", "LOW", "QRP"
  QString categoryBand;      // "ALL", "160m" ... "2m"
  QString categoryMode;      // "SSB", "CW", "MIXED"
  QString operators;
  CabrilloStationData station;
};

// The choices of the header's category lists, in the order they are offered, and
// the one chosen at every showing.
extern const QStringList kCabrilloOperatorCategories;
extern const QStringList kCabrilloPowerCategories;
extern const QStringList kCabrilloBandCategories;
extern const QStringList kCabrilloModeCategories;
struct CabrilloDefaultCategories {
  static inline const QString categoryOperator = QStringLiteral("SINGLE-OP");
  static inline const QString categoryPower = QStringLiteral("LOW");
  static inline const QString categoryBand = QStringLiteral("ALL");
  static inline const QString categoryMode = QStringLiteral("MIXED");
};

// The fourteen header lines, without line ends, "START-OF-LOG: 3.0" first and the
// program's name and version last. An empty field keeps the blank after its tag.
QStringList CabrilloHeader(const CabrilloHeaderFields& fields, const QString& programVersion);

// The whole file's text: each header line with CR LF, then the QSO section as
// given (ending "END-OF-LOG:"), then CR LF.
QString CabrilloFileText(const QStringList& header, const QString& qsoSection);

// How a press of "Cabrillo" ended.
enum class CabrilloExportResult {
  MissingCallsign,  // told "Falta su Señal Distintiva!": the focus goes to the call box
  MissingName,      // told "Falta su Nombre!": the focus goes to the name box
  Cancelled,        // the save dialog was cancelled: the window stays open
  Failed,           // the file could not be written; the operator was told
  Written,          // the window hides
};

// The "Cabrillo" button: stores the station data (told when it fails, the export
// goes on), checks the call and the name, asks for the file (again after No to
// replacing one), writes the header and the QSO section, and offers to open it.
CabrilloExportResult ExportCabrilloLog(const CabrilloHeaderFields& fields, const QString& qsoSection,
                                       const QString& programVersion);

}  // namespace vz
