#include "mainwin/qslcard.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/textfile.h"

namespace vz {

namespace {

QString& folderOverride() {
  static QString folder;
  return folder;
}

}  // namespace

QString qslDesignerFolder() { return folderOverride().isEmpty() ? kQslDesignerFolder : folderOverride(); }
void setQslDesignerFolder(const QString& folder) { folderOverride() = folder; }

QString qslDesignerProgram() { return qslDesignerFolder() + QStringLiteral("/tarjos"); }
QString qslDesignsFolder() { return qslDesignerFolder() + QStringLiteral("/MisQSLs"); }
QString qslImagesFolder() { return qslDesignerFolder() + QStringLiteral("/Salida/"); }

QString QslCardRequest(const QslCardFields& f) {
  return QStringLiteral(" Tarjo$de=") + f.ownCall + QStringLiteral("$para=") + f.workedCall +
         QStringLiteral("$fecha=") + f.date + QStringLiteral("$hora=") + f.time + QStringLiteral("$modo=") + f.mode +
         QStringLiteral("$banda=") + f.band + QStringLiteral("$reporte=") + f.reportSent + QStringLiteral("$sat=") +
         f.satellite.toUpper() + QStringLiteral("$nota=") + f.remarks;
}

QString QslCardImageName(const QString& workedCall, const QString& date) {
  QString call = workedCall;
  call.replace(QLatin1Char('/'), QLatin1Char('_'));
  QString day = date;
  day.remove(QLatin1Char('/'));
  return call + QLatin1Char('_') + day + QStringLiteral(".jpg");
}

bool HasQslDesignFor(const QString& designsFolder, const QString& ownCall) {
  const QDir dir(designsFolder);
  // Name filters match without regard to letter case, as the designer's own system did.
  const QStringList files = dir.entryList({QStringLiteral("*.qsl")}, QDir::Files);
  for (const QString& name : files) {
    QStringList lines;
    if (!readTextLines(dir.filePath(name), &lines)) continue;  // an unreadable design fits nothing
    for (const QString& line : lines) {
      if (!line.contains(QStringLiteral("SuCall="))) continue;
      QString call = line;
      call.remove(QStringLiteral("SuCall="));
      if (call == ownCall) return true;
    }
  }
  return false;
}

void HandOffQslCard(const QslCardFields& f) {
  if (!QFileInfo(qslDesignerProgram()).isFile()) {
    showWarning(QStringLiteral("No se encuentra programa Tarjos"));
    return;
  }
  if (!HasQslDesignFor(qslDesignsFolder(), f.ownCall)) {
    showWarning(QStringLiteral("El programa Tarjos no tiene Diseño de QSL para ") + f.ownCall);
    return;
  }
  // The parameter string follows the program's name after one blank: it is the
  // designer's one argument, blanks inside the values included.
  if (!launcher().startProgram(qslDesignerProgram(), {QslCardRequest(f).mid(1)})) {
    showWarning(QStringLiteral("No se pudo iniciar el programa Tarjos"));
    return;
  }
  QString day = f.date;
  day.remove(QLatin1Char('/'));
  const QString question = QStringLiteral("QSL ") + f.workedCall + QLatin1Char('_') + day +
                           QStringLiteral(".jpg guardada en ") + qslImagesFolder() + QStringLiteral("\r\n\r\n") +
                           QStringLiteral("Desea verla?");
  if (msgBox(question, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes)
    launcher().openDocument(qslImagesFolder() + QslCardImageName(f.workedCall, f.date));
}

}  // namespace vz
