#include "contest/masterupdate.h"

#include <QEventLoop>
#include <QFile>

#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "platform/textutil.h"
#include "platform/webget.h"
#include "store/masterlist.h"
#include "store/programstate.h"

namespace vz {

QUrl MasterListUrl() { return serviceUrl(Service::WebSite, kMasterListPath); }

std::optional<QDate> MasterListWebDate(const QString& firstLine) {
  if (!firstLine.startsWith(u'#')) return std::nullopt;
  // A list whose lines end with a line feed alone reads as one line: the date ends
  // at the first line feed, so a shorter date ("5/3/2024") does not take in a call.
  const QString text = firstLine.mid(1, 11);
  const QDate d = parseDayFirstDate(text.left(text.indexOf(u'\n')).trimmed());
  if (!d.isValid()) return std::nullopt;
  return d;
}

namespace {

Status writeBytes(const QString& path, const QByteArray& bytes) {
  QString error;
  if (!replaceFileBytes(path, bytes, &error))
    return Status::failure(QStringLiteral("No se pudo escribir ") + path + QStringLiteral(": ") + error);
  return Status::success();
}

}  // namespace

Result<DownloadedMasterList> ReadDownloadedMasterList(const QByteArray& body) {
  using R = Result<DownloadedMasterList>;
  const QString text = decodeCp1252(body);
  if (text.isEmpty()) return R::failure(QStringLiteral("La web no envió la lista."));
  const auto date = MasterListWebDate(splitTextLines(text).value(0));
  if (!date) return R::failure(QStringLiteral("La lista de la web no tiene fecha."));
  QString buffer = text;
  buffer.replace(QStringLiteral("\n"), QStringLiteral("\n\r"));
  buffer += QStringLiteral("\r\n");
  return R::of({*date, encodeCp1252(buffer)});
}

QString MasterListDateText(const QDate& date) {
  return formatDate(date.isValid() ? date : QDate(1899, 12, 30));
}

Result<QDate> DownloadMasterList(const QUrl& url, int timeoutMs) {
  WebGet get;
  get.setTimeout(timeoutMs);
  QEventLoop wait;
  QObject::connect(&get, &WebGet::finished, &wait, &QEventLoop::quit);
  get.get(url);
  if (get.isLoading()) wait.exec();

  if (get.state() != WebGet::State::Complete)
    return Result<QDate>::failure(QStringLiteral("No hay conexión con la web: ") + get.errorString());
  if (get.statusCode() != 200)
    return Result<QDate>::failure(QStringLiteral("La web respondió con el código ") +
                                  QString::number(get.statusCode()));
  const auto read = ReadDownloadedMasterList(get.body());
  if (!read.ok()) return Result<QDate>::failure(read.error());
  const Status s = writeBytes(programFile(QStringLiteral("webomc.txt")), read.value.fileBytes);
  if (!s) return Result<QDate>::failure(s.error);
  return Result<QDate>::of(read.value.date);
}

MasterUpdateResult UpdateMasterList(const QUrl& url, int timeoutMs) {
  static const QString kFailed = QStringLiteral("No se pudo actualizar el archivo Master check!\r\n");
  const auto web = DownloadMasterList(url, timeoutMs);
  if (!web.ok()) {
    msgBox(kFailed + web.error(), MsgIcon::Exclamation);
    return MasterUpdateResult::Failed;
  }
  ProgramState& st = state();
  const QString inUse = MasterListDateText(st.MasterListDate);
  MasterUpdateResult result = MasterUpdateResult::UpToDate;
  if (st.MasterListDate.isValid() && web.value <= st.MasterListDate) {
    msgBox(QStringLiteral("Su archivo Master check con fecha ") + inUse + QStringLiteral(" está acualizado!"),
           MsgIcon::Exclamation);
  } else {
    // The new list takes the old one's place whole, or not at all.
    QFile buffer(programFile(QStringLiteral("webomc.txt")));
    const QByteArray bytes = buffer.open(QIODevice::ReadOnly) ? buffer.readAll() : QByteArray();
    const Status s = bytes.isEmpty() ? Status::failure(QStringLiteral("No se pudo leer webomc.txt"))
                                     : writeBytes(programFile(QStringLiteral("master.txt")), bytes);
    if (!s) {
      msgBox(kFailed + s.error, MsgIcon::Exclamation);
      return MasterUpdateResult::Failed;
    }
    msgBox(QStringLiteral("Su archivo Master check con fecha ") + inUse + QStringLiteral(" estaba desacualizado!\r\n\r\n") +
               QStringLiteral("en la web tiene fecha: ") + formatDate(web.value) +
               QStringLiteral("\r\n\r\nYa está actualizado!"),
           MsgIcon::Exclamation);
    result = MasterUpdateResult::Replaced;
  }
  LoadMasterList();
  return result;
}

}  // namespace vz
