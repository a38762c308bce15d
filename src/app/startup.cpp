#include "app/startup.h"

#include <QApplication>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/serialline.h"

namespace vz {

// Creating the main window runs its load, the start-up sequence; its one-shot timer
// then opens the settings on a first run or shows the current log.
int runProgram(QApplication& app) {
  const Status s = db::open(programFolder());
  if (!s) showError(s.error);
  // However the event loop ends, no transmitter stays keyed.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { ReleaseAllSerialLines(); });
  form1().show();
  return app.exec();
}

}  // namespace vz
