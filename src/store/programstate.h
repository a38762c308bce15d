#pragma once
#include <QString>

namespace vz {

// Program-wide variables that the windows share.
struct ProgramState {
  QString ProgramVersion = QStringLiteral("2.1.21");
  // Nombre Log of the main log in use.
  QString CurrentLogName;
  // Id of the last QSO the main-log or contest store added (shown by Form1.Label4);
  // empty until one is added.
  QString LastInsertedQsoId;

  bool StartupInProgress = false;
  bool MainFormReady = false;
  bool FirstRun = false;
  bool CtrlDown = false;
  bool SearchViewOpening = false;
  bool ContestFormBusy = false;

  // Seconds a web wait has waited, counted by the configuration dialog's ticker.
  int NetTimeoutTicks = 0;
};

ProgramState& state();

}  // namespace vz
