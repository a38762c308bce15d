#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <QTreeWidget>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "setup/form2.h"
#include "store/config.h"
#include "store/programstate.h"

namespace vz {

int runProgram(QApplication& app) {
  const Status s = db::open(programFolder());
  if (!s) showError(s.error);

  Form1& main = form1();
  main.setWindowTitle(QStringLiteral("Vantorel Zezeror V") + state().ProgramVersion);
  main.show();

  if (QFile::exists(programFile(QStringLiteral("config.ini")))) {
    LoadConfig();
    if (db::isOpen()) {
      SetFileMenuEnabled(QStringLiteral("0"));
      main.ListView2->clear();
      LoadLogPage(state().CurrentLogName, 1);
      SetFileMenuEnabled(QStringLiteral("1"));
    }
  } else {
    // First run: the settings must be saved once ("Cancelar" ends the program).
    state().FirstRun = true;
    form2().exec();
  }
  return app.exec();
}

}  // namespace vz
