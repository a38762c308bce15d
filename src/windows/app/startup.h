#pragma once
#include <QList>

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
}
