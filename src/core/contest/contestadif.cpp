#include "contest/contestadif.h"

#include <QFileInfo>

#include "contest/contesttransfer.h"
#include "exchange/adif.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"

namespace vz {

QString ContestAdifRecord(const ContestQso& q, const QString& contestName) {
  // Phone modes get "59": a CW-style "599" on FM would carry a tone report that a
  // phone contact has no use for.
  const QString report = ContestReport(q.Modo);
  const QString date = q.Fecha.left(4) + q.Fecha.mid(4, 2) + q.Fecha.right(2);
  return AdifField(QStringLiteral("STATION_CALLSIGN"), q.MyCall) + AdifField(QStringLiteral("CALL"), q.Estacion) +
         AdifField(QStringLiteral("QSO_DATE"), date) + AdifField(QStringLiteral("TIME_ON"), q.Hora) +
         AdifField(QStringLiteral("MODE"), q.Modo) + AdifField(QStringLiteral("FREQ"), ContestBandFrequency(q.Banda)) +
         AdifField(QStringLiteral("RST_SENT"), report) + AdifField(QStringLiteral("STX"), q.RSE) +
         AdifField(QStringLiteral("RST_RCVD"), report) + AdifField(QStringLiteral("SRX"), q.RSR) +
         AdifField(QStringLiteral("CONTEST_ID"), contestName) + QStringLiteral("<EOR>");
}

ContestAdifResult ExportContestAdif(const QString& contestName, const QString& ownCall) {
  const auto qsos = ContestQsosInTableOrder(contestName);
  if (!qsos.ok()) {
    showError(qsos.error());
    return ContestAdifResult::Failed;
  }
  if (qsos.value.isEmpty()) {
    msgBox(QStringLiteral("No hay ningún QSO para exportar a ADIF!"), MsgIcon::Exclamation);
    return ContestAdifResult::NoQsos;
  }
  // Checked before anything is written: a refused export leaves no partly written
  // file behind its error message, and a file already there stays as it was.
  for (const ContestQso& q : qsos.value) {
    if (q.MyCall != ownCall) {
      msgBox(QStringLiteral("Error!\r\nEn el log distinta Señal Distintiva"), MsgIcon::Critical);
      return ContestAdifResult::OtherOwnCall;
    }
  }

  FileRequest request;
  request.title = QStringLiteral("Exportar a ADIF ...");
  request.filter = QStringLiteral("ADIF (*.adi)");
  const QString path = dialogs().saveFile(request);
  if (path.isEmpty()) return ContestAdifResult::Cancelled;
  if (QFileInfo::exists(path) &&
      msgBox(QStringLiteral("El archivo \r\n") + path + QStringLiteral("\r\nya existe!\r\n\r\nsobregraba?"),
             MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
    return ContestAdifResult::Cancelled;

  AdifFileWriter writer;
  Status s = writer.create(path);
  for (qsizetype i = 0; s && i < qsos.value.size(); ++i) s = writer.writeLine(ContestAdifRecord(qsos.value[i], contestName));
  if (s) s = writer.finish(false);
  if (!s) {
    showError(s.error);
    return ContestAdifResult::Failed;
  }
  if (msgBox(path + QStringLiteral("\r\nGuardado!\r\n\r\nDesea verlo?"), MsgIcon::Exclamation, MsgButtons::YesNo,
             MsgAnswer::No) == MsgAnswer::Yes)
    launcher().openInTextEditor(path);
  return ContestAdifResult::Written;
}

}  // namespace vz
