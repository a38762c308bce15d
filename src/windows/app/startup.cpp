#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/databasewait.h"
#include "mainwin/form1.h"
#include "platform/appexit.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/placement.h"
#include "platform/programfolder.h"
#include "platform/replacefile.h"
#include "platform/serialline.h"
#include "platform/textfile.h"
#include "setup/form2.h"
#include "store/configfile.h"
#include "store/logcommands.h"
#include "store/logstore.h"
#include "store/programstate.h"

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
  (void)RemoveInterruptedWrites(programFolder());
  openDatabaseAtStart(programFolder(), &app);
  // However the event loop ends, no transmitter stays keyed.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [] {
    ReleaseAllSerialLines();
    runProgramEndWork();
  });
  form1().show();
  return app.exec();
}

bool AskSettingsForUnusableConfig(const Status& loaded) {
  const QString path = programFile(QStringLiteral("config.ini"));
  QStringList logNames;
  if (db::isOpen()) {
    const Result<QStringList> names = ListLogNames();
    // A row without a log name is no log the operator could pick.
    if (names.ok())
      for (const QString& name : names.value)
        if (!name.trimmed().isEmpty()) logNames << name;
  }
  ProgramState& st = state();
  bool logKnown = false;
  QString text;
  if (!loaded) {
    // Nothing could be read: not even the log in use, so the QSOs would go nowhere.
    text = loaded.error;
  } else {
    QStringList lines;
    if (!readTextLines(path, &lines)) return false;  // gone since it was read: the next read says so
    const ConfigRead read = parseConfigLines(lines);
    const QStringList problems = ConfigProblems(read, logNames);
    if (problems.isEmpty()) {
      // A database made anew holds no log: the one in use gets its row, so the log
      // picker offers the log the main window names.
      if (db::isOpen() && logNames.isEmpty() && read.LogenUso && !read.LogenUso->trimmed().isEmpty()) {
        const Status listed = LogPlaceholderRow(*read.LogenUso);
        if (!listed) showError(failureMessage(QStringLiteral("No se pudo crear el log ") + *read.LogenUso,
                                              QDir(db::folder()).filePath(QLatin1String(db::kFileName)), listed.error));
      }
      return false;
    }
    logKnown = read.LogenUso && logNames.contains(*read.LogenUso, Qt::CaseInsensitive);
    text = QStringLiteral("El archivo de configuración no se puede usar como está:\r\n") + path +
           QStringLiteral("\r\n\r\n- ") + problems.join(QStringLiteral("\r\n- "));
  }
  if (!logKnown) st.CurrentLogName = logNames.isEmpty() ? QString() : logNames.first();
  if (!logKnown && !st.CurrentLogName.isEmpty())
    text += QStringLiteral("\r\n\r\nSe abrirá el log \"%1\"; puede elegir otro desde el menú Archivo.")
                .arg(st.CurrentLogName);
  text += QStringLiteral("\r\n\r\nRevise los datos y pulse Guardar.");
  msgBox(text, MsgIcon::Exclamation);
  form1().Frame1->setTitle(st.CurrentLogName);
  // As on a first run: "Guardar" writes the file anew, "Cancelar" ends the program.
  st.FirstRun = true;
  form2().exec();
  return true;
}

}  // namespace vz
