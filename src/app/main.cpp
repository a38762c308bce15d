#include <QApplication>
#include <QFileInfo>

#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "store/programstate.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vantorel-zezeror"));
  vz::takeFolderArgument(QApplication::arguments().mid(1), QApplication::applicationDirPath());
  return vz::runProgram(app);
}
