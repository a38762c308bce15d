#include "app/startup.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "store/programstate.h"

namespace vz {

int runProgram(QApplication& app) {
  const Status s = db::open(programFolder());
  if (!s) showError(s.error);
  QMainWindow w;
  w.setWindowTitle(QStringLiteral("Vantorel Zezeror V") + state().ProgramVersion);
  w.setCentralWidget(new QLabel(programFolder(), &w));
  w.resize(800, 500);
  w.show();
  return app.exec();
}

}  // namespace vz
