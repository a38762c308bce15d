#pragma once
#include <QList>

#include "platform/status.h"

class QApplication;
class QCoreApplication;
class QTranslator;

namespace vz {
// Qt's own texts (standard buttons, file dialogs, network, media and serial port
// errors) in Spanish, as the rest of the program speaks: one translator per module,
// owned by the application; a module whose file is not installed is left out.
QList<QTranslator*> installQtTranslations(QCoreApplication& app);
// Opens the program's database and shows the main window; returns the exit code.
int runProgram(QApplication& app);
// Run by the start-up step after config.ini has been read into the settings (loaded
// is that read's outcome, not yet told): a file that cannot be read at all, or is
// present but unusable (no log in use, a log the database does not have, no station
// call), is never used silently. The operator is told what is wrong and the
// settings dialog opens as on a first run, with what could be read in it; the log in
// use becomes the database's first log (none: a new one is created on saving).
// Returns false when the file could be used as read.
bool AskSettingsForUnusableConfig(const Status& loaded);
}
