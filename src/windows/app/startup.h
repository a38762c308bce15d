#pragma once
class QApplication;
class QCoreApplication;
class QTranslator;

namespace vz {
// Qt's own texts (standard buttons, file dialogs, network errors) in Spanish, as the
// rest of the program speaks. The translator belongs to the application; none when
// the translation files are not installed.
QTranslator* installQtTranslations(QCoreApplication& app);
// Opens the program's database and shows the main window; returns the exit code.
int runProgram(QApplication& app);
}
