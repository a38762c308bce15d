#include "app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/programfolder.h"
#include "platform/serialline.h"

namespace vz {

QList<QTranslator*> installQtTranslations(QCoreApplication& app) {
  // The program speaks Spanish whatever the desktop's language is: the catalogue of
  // every Qt module whose texts can reach the operator (buttons and dialogs, the
  // media player, the serial ports).
  static const char* const kModules[] = {"qtbase", "qtmultimedia", "qtserialport"};
  QList<QTranslator*> installed;
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const QLocale spanish(QLocale::Spanish);
  for (const char* module : kModules) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(spanish, QString::fromLatin1(module), QStringLiteral("_"), folder)) {
      delete translator;
      continue;
    }
    QCoreApplication::installTranslator(translator);
    installed << translator;
  }
  return installed;
}

// Creating the main window runs its load, the start-up sequence; its one-shot timer
// then opens the settings on a first run or shows the current log.
int runProgram(QApplication& app) {
  installQtTranslations(app);
  installWindowPlacement(app);
  const Status s = db::open(programFolder());
  if (!s) showError(s.error);
  // However the event loop ends, no transmitter stays keyed.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { ReleaseAllSerialLines(); });
  form1().show();
  return app.exec();
}

}  // namespace vz
