#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

namespace vz {

// Program-wide variables that the windows share.
struct ProgramState {
  QString ProgramVersion = QStringLiteral("2.1.21");
  // Nombre Log of the main log in use.
  QString CurrentLogName;
  // Id of the last QSO the main-log store added (shown by Form1.Label4); empty
  // until one is added. Contest QSOs leave it alone: F5 opens a main-log QSO by it.
  QString LastInsertedQsoId;

  // The window that opened the QSO edit dialog ("Form1" main list, "Form6" search
  // view): the one whose list is refreshed after a save or a delete there.
  QString EditCallerForm;
  // Set by an opener while it fills the QSO edit dialog, so that filling the MHz
  // selector does not recompute the band; cleared when the dialog shows.
  bool EditFormLoading = false;
  // The call of the running call-book lookup, and whether the QSO edit dialog
  // started it (its result window then opens narrower).
  QString LookupCall;
  bool LookupFromEditForm = false;

  // The main list's paging: pages of 20 QSOs of the current log, the page on show
  // and the newest-first position of its first QSO. Plain ints: logs of any size.
  int LogPageCount = 0;
  int LogPageNumber = 0;
  int LogPageStart = 0;
  // QSOs of the current log as the last page load counted them; readers use this,
  // never a number parsed back from the summary caption.
  int LogQsoCount = 0;

  // The master call list of master.txt, read at start-up: the calls (entries 0 to
  // 2000), the number of call lines read and the list's date.
  QStringList MasterCalls;
  int MasterCallCount = 0;
  QDate MasterListDate;

  // Satellite mode: the mode, MHz and kHz of the entry strip when it was switched on.
  QString PreSatelliteMode;
  QString PreSatelliteMhz;
  QString PreSatelliteKhz;

  // The exit countdown: ticks so far, and set by the last one.
  int ExitCountdownTicks = 0;
  bool ExitCountdownDone = false;

  // Set by the main window's one-second and pause ticks for code that waits on them.
  bool WaitTickDone = false;
  bool PauseTickDone = false;

  bool StartupInProgress = false;
  bool MainFormReady = false;
  bool FirstRun = false;
  bool CtrlDown = false;
  // The entry box that last received the focus, by its number (1 the call ... 8 the
  // remarks; the contest window records its own boxes here too); 0 until one has.
  // Enter acts on it, wherever the focus is now.
  int FocusedEntryField = 0;
  bool SearchViewOpening = false;
  // The last answer to "Desea usar el campo COMMENT como QSLMSG?": the export of the
  // search view and the uploads write the remarks again as QSLMSG when set.
  bool UseCommentAsQslMsg = false;
  bool ContestFormBusy = false;
  // The contest being created by the contest log chooser.
  QString NewContestName;
  QString ContestSerialType;

  // The ADIF import: the record lines of the file being imported, an import step
  // running, Esc pressed in the import window and not yet answered, and the last
  // answer to whether staged duplicates replace the QSOs they repeat.
  QStringList ImportRecordLines;
  bool ImportRunning = false;
  bool ImportCancelRequested = false;
  bool ImportReplaceDuplicates = false;

  // Seconds a web wait has waited, counted by the configuration dialog's ticker.
  int NetTimeoutTicks = 0;

  // Rows the provinces list put into the award window's input list.
  int ListedQsoCount = 0;
};

ProgramState& state();

}  // namespace vz
