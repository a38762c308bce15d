#include "contest/cabrillofile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/textutil.h"

namespace vz {

const QStringList kCabrilloOperatorCategories = {QStringLiteral("SINGLE-OP"), QStringLiteral("MULTI-OP"),
                                                 QStringLiteral("CHECKLOG")};
const QStringList kCabrilloPowerCategories = {QStringLiteral("HIGH"), QStringLiteral("LOW"), QStringLiteral("QRP")};
const QStringList kCabrilloBandCategories = {QStringLiteral("ALL"), QStringLiteral("160m"), QStringLiteral("80m"),
                                             QStringLiteral("40m"), QStringLiteral("20m"),  QStringLiteral("15m"),
                                             QStringLiteral("10m"), QStringLiteral("6m"),   QStringLiteral("2m")};
const QStringList kCabrilloModeCategories = {QStringLiteral("SSB"), QStringLiteral("CW"), QStringLiteral("MIXED")};

QString CabrilloStationDataPath() { return programFile(QStringLiteral("datos.cbr")); }

bool ReadCabrilloStationData(CabrilloStationData& data) {
  const QString path = CabrilloStationDataPath();
  if (!QFile::exists(path)) return false;
  QStringList lines;
  if (!readTextLines(path, &lines)) return false;
  QString* fields[] = {&data.name, &data.address1, &data.address2, &data.address3, &data.email};
  for (int i = 0; i < 5 && i < lines.size(); ++i) *fields[i] = lines[i];
  return true;
}

Status WriteCabrilloStationData(const CabrilloStationData& data) {
  // One line each: a line break would move every later value to another line.
  for (const QString* v : {&data.name, &data.address1, &data.address2, &data.address3, &data.email})
    if (breaksLine(*v))
      return Status::failure(QStringLiteral("No se guardó datos.cbr: \"%1\" tiene saltos de línea o tabuladores.")
                                 .arg(oneLine(*v)));
  QString error;
  if (!writeTextLines(CabrilloStationDataPath(), {data.name, data.address1, data.address2, data.address3, data.email},
                      &error))
    return Status::failure(QStringLiteral("No se pudo guardar datos.cbr: ") + error);
  return Status::success();
}

QStringList CabrilloHeader(const CabrilloHeaderFields& f, const QString& programVersion) {
  return {
      QStringLiteral("START-OF-LOG: 3.0"),
      QStringLiteral("CALLSIGN: ") + f.callsign,
      QStringLiteral("CONTEST: ") + f.contest,
      QStringLiteral("CATEGORY-OPERATOR: ") + f.categoryOperator,
      QStringLiteral("CATEGORY-POWER: ") + f.categoryPower,
      QStringLiteral("CATEGORY-BAND: ") + f.categoryBand,
      QStringLiteral("CATEGORY-MODE: ") + f.categoryMode,
      QStringLiteral("OPERATORS: ") + f.operators,
      QStringLiteral("NAME: ") + f.station.name,
      QStringLiteral("ADDRESS: ") + f.station.address1,
      QStringLiteral("ADDRESS: ") + f.station.address2,
      QStringLiteral("ADDRESS: ") + f.station.address3,
      QStringLiteral("EMAIL: ") + f.station.email,
      QStringLiteral("CREATED-BY: VT ZEZEROR ") + programVersion,
  };
}

QString CabrilloFileText(const QStringList& header, const QString& qsoSection) {
  QString text;
  for (const QString& line : header) text += line + QStringLiteral("\r\n");
  return text + qsoSection + QStringLiteral("\r\n");
}

namespace {

Status writeWhole(const QString& path, const QString& text) {
  QString error;
  if (!replaceFileBytes(path, encodeCp1252(text), &error))
    return Status::failure(QStringLiteral("No se pudo escribir ") + path + QStringLiteral(":\r\n") + error);
  return Status::success();
}

}  // namespace

CabrilloExportResult ExportCabrilloLog(const CabrilloHeaderFields& fields, const QString& qsoSection,
                                       const QString& programVersion) {
  const Status stored = WriteCabrilloStationData(fields.station);
  if (!stored) {
    showError(stored.error);
    // A value that would split its line would split the header's line as well.
    const CabrilloStationData& s = fields.station;
    for (const QString* v : {&s.name, &s.address1, &s.address2, &s.address3, &s.email})
      if (breaksLine(*v)) return CabrilloExportResult::Failed;
  }
  if (fields.callsign.isEmpty()) {
    msgBox(QStringLiteral("Falta su Señal Distintiva!"), MsgIcon::Exclamation);
    return CabrilloExportResult::MissingCallsign;
  }
  if (fields.station.name.isEmpty()) {
    msgBox(QStringLiteral("Falta su Nombre!"), MsgIcon::Exclamation);
    return CabrilloExportResult::MissingName;
  }
  const QString text = CabrilloFileText(CabrilloHeader(fields, programVersion), qsoSection);

  QString path;
  for (;;) {
    FileRequest request;
    request.title = QStringLiteral("Exportar a Cabrillo ...");
    request.filter = QStringLiteral("Cabrillo (*.log)");
    path = dialogs().saveFile(request);
    if (path.isEmpty()) return CabrilloExportResult::Cancelled;
    if (!QFileInfo::exists(path)) break;
    if (msgBox(QStringLiteral("El archivo \r\n") + path + QStringLiteral("\r\nya existe!\r\n\r\nsobregraba?"),
               MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) == MsgAnswer::Yes)
      break;
  }
  const Status written = writeWhole(path, text);
  if (!written) {
    showError(written.error);
    return CabrilloExportResult::Failed;
  }
  if (msgBox(path + QStringLiteral("\r\nGuardado!\r\n\r\nDesea verlo?"), MsgIcon::Exclamation, MsgButtons::YesNo,
             MsgAnswer::No) == MsgAnswer::Yes)
    launcher().openDocument(path);
  return CabrilloExportResult::Written;
}

}  // namespace vz
