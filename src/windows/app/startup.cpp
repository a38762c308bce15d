#include "app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/databasewait.h"
#include "exchange/databasecopy.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/programfolder.h"
#include "platform/serialline.h"

namespace vz {

QTranslator* installQtTranslations(QCoreApplication& app) {
  // The program speaks Spanish whatever the desktop's language is. "qt_es" is the
  // catalogue that pulls in qtbase_es and the modules' files beside it.
  auto* translator = new QTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QLocale spanish(QLocale::Spanish);
  if (translator->load(spanish, QStringLiteral("qt"), QStringLiteral("_"), folder) ||
      translator->load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    QCoreApplication::installTranslator(translator);
    return translator;
  }
  delete translator;
  return nullptr;
}

// Creating the main window runs its load, the start-up sequence; its one-shot timer
// then opens the settings on a first run or shows the current log.
int runProgram(QApplication& app) {
  installQtTranslations(app);
  installWindowPlacement(app);
  (void)RemoveInterruptedCopies(programFolder());
  openDatabaseAtStart(programFolder(), &app);
  // However the event loop ends, no transmitter stays keyed.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { ReleaseAllSerialLines(); });
  form1().show();
  return app.exec();
}

}  // namespace vz
