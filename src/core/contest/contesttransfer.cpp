#include "contest/contesttransfer.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include "contest/conteststore.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "store/duplicates.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace vz {

QString ContestBandFrequency(const QString& band) {
  static const QHash<QString, QString> kFrequency = {
      {QStringLiteral("160m"), QStringLiteral("1.820")}, {QStringLiteral("80m"), QStringLiteral("3.500")},
      {QStringLiteral("40m"), QStringLiteral("7.000")},  {QStringLiteral("20m"), QStringLiteral("14.000")},
      {QStringLiteral("15m"), QStringLiteral("21.000")}, {QStringLiteral("10m"), QStringLiteral("28.000")},
      {QStringLiteral("6m"), QStringLiteral("52.000")},  {QStringLiteral("2m"), QStringLiteral("144.000")},
  };
  return kFrequency.value(band);
}

namespace {

// "yyyymmdd" as the main log's "dd/mm/yyyy".
QString mainLogDate(const QString& stored) {
  return stored.right(2) + u'/' + stored.mid(4, 2) + u'/' + stored.left(4);
}

// "hhmm" as the main log's "hh:mm:00".
QString mainLogTime(const QString& stored) {
  return stored.left(2) + u':' + stored.right(2) + QStringLiteral(":00");
}

Result<QList<ContestQso>> contestRowsInTableOrder(const QString& contestName) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT * FROM Tabla2 WHERE [Nombre Log]=? ORDER BY id"), {contestName}))
    return Result<QList<ContestQso>>::failure(q.lastError().text());
  QList<ContestQso> rows;
  while (q.next()) rows << readContestQso(q);
  return Result<QList<ContestQso>>::of(rows);
}

}  // namespace

ContestTransferOutcome TransferContestToMainLog(const QString& contestName, const QString& countCaption,
                                                const QString& mainLogName,
                                                const std::function<void()>& mainLogChanged) {
  ContestTransferOutcome out;
  if (vbVal(countCaption) == 0) {
    msgBox(QStringLiteral("el log de concurso ") + contestName + QStringLiteral(" no tiene QSOs para pasar al log Base ") +
               mainLogName,
           MsgIcon::Information);
    return out;
  }
  out.asked = true;
  if (msgBox(QStringLiteral("Pasa el log de concurso ") + contestName + QStringLiteral(" con ") + countCaption +
                 QStringLiteral("\r\nal log base ") + mainLogName + u'?',
             MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
    return out;

  const auto rows = contestRowsInTableOrder(contestName);
  if (!rows.ok()) {
    out.status = rows.status;
    showError(out.status.error);
    return out;
  }
  out.ran = true;
  const QString remarks = QStringLiteral("Concurso ") + contestName;
  int copied = 0;
  int duplicates = 0;
  out.status = db::transaction([&]() -> Status {
    for (const ContestQso& row : rows.value) {
      if (!row.isQso()) continue;  // the contest's header row
      const QString report = ContestReport(row.Modo);
      const QString frequency = ContestBandFrequency(row.Banda);
      const QString date = mainLogDate(row.Fecha);
      const QString time = mainLogTime(row.Hora);
      // A failing duplicate check stops the run: copying blindly could double the log.
      const auto dupe = FindRecentDuplicateQso(row.MyCall, row.Estacion, date, time, row.Banda, frequency, row.Modo,
                                               report, report, QString(), QString(), QString(), QString(), QString());
      if (!dupe.ok()) return dupe.status;
      if (dupe.value) {
        ++duplicates;
        continue;
      }
      const Status s = CopyContestQsoToMainLog(mainLogName, row.Estacion, row.MyCall, report, report, date, time,
                                               frequency, row.Banda, row.Modo, remarks);
      if (!s) return s;
      ++copied;
    }
    return Status::success();
  });

  if (mainLogChanged) mainLogChanged();
  if (!out.status) {
    showError(QStringLiteral("No se pasó ningún QSO al log base ") + mainLogName + QStringLiteral(":\r\n") +
              out.status.error);
    return out;
  }
  out.copied = copied;
  out.duplicates = duplicates;
  msgBox(QStringLiteral("Transferencia:\r\nCopiados: ") + QString::number(copied) +
             QStringLiteral("\r\nDuplicados: ") + QString::number(duplicates),
         MsgIcon::Information);
  return out;
}

}  // namespace vz
