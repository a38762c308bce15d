#pragma once
class QApplication;

namespace vz {
// Opens the program's database and shows the main window; returns the exit code.
int runProgram(QApplication& app);
}
