#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace vz {
namespace {
QString& folderSlot() {
  static QString folder;
  return folder;
}
}  // namespace

QString programFolder() {
  if (folderSlot().isEmpty() && QCoreApplication::instance())
    folderSlot() = QCoreApplication::applicationDirPath();
  return folderSlot();
}

void setProgramFolder(const QString& folder) { folderSlot() = QDir(folder).absolutePath(); }

QString programFile(const QString& name) { return QDir(programFolder()).filePath(name); }

QStringList takeFolderArgument(const QStringList& args, const QString& executableFolder) {
  QStringList rest;
  QString folder = executableFolder;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--folder") && i + 1 < args.size()) {
      folder = args[++i];
    } else if (a.startsWith(QLatin1String("--folder="))) {
      folder = a.mid(9);
    } else {
      rest << a;
    }
  }
  setProgramFolder(folder);
  return rest;
}

}  // namespace vz
