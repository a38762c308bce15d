#include <QApplication>

#include "app/startup.h"
#include "platform/programfolder.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vantorel-zezeror"));
  vz::takeFolderArgument(QApplication::arguments().mid(1), QApplication::applicationDirPath());
  return vz::runProgram(app);
}
