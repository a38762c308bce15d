#pragma once
#include <QDialog>
#include <QElapsedTimer>

#include "platform/forms.h"
#include "platform/status.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vz {

// "Importar ADIF ...": the ADIF import window. "Abrir" empties the staging table,
// prepares and reads the chosen file and parses its records into Tabla3; "Cargar"
// moves the staged QSOs into the current log. Esc only asks a running step to stop;
// the step asks "Cancela el proceso?" when it next looks.
class Form12 : public QDialog {
  Q_OBJECT
 public:
  Form12();

  QPushButton* Command1;  // "Abrir"
  QPushButton* Command3;  // "Cargar"
  QLabel* Label2;   // file name
  QLabel* Label4;   // program that wrote the file
  QLabel* Label5;   // lines
  QLabel* Label6;   // QSOs
  QLabel* Label7;   // station call
  QLabel* Label9;   // QSOs to load
  QLabel* Label10;  // duplicates
  QListWidget* List2;  // messages
  QLabel* Label8;   // status line, hidden while nothing runs
  QProgressBar* ProgressBar1;
  QListWidget* List1;  // distinct station calls of the file, hidden

  // "Abrir": the open step, which ends by running the parse.
  void Command1_Click();
  // The parse step, run only by the open step; a failure goes back to it.
  Status Command2_Click();
  // "Cargar": loads the staged QSOs into the current log.
  void Command3_Click();
  // Key preview: Esc (27) sets the cancel request.
  void Form_KeyPress(int& KeyAscii);
  // Every attempt to close the window; Cancel set to non-zero keeps it open.
  void Form_QueryUnload(int& Cancel, int UnloadMode);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  friend class StepScope;
  // True when the window last answered its events about 50 ms ago or more: a step
  // shows its progress then, and lets the window answer through pump().
  bool pumpDue() const;
  // Lets the window answer (repaint, Esc, its close button). False when it was
  // closed meanwhile and the running step must stop; the caller checks its own
  // QPointer before touching the window again.
  bool pump();
  // The cancel poll of the parse and the load: a pending Esc asks the operator.
  bool cancelPoll();
  void openStep();
  void loadStep();
  void endRefusal();
  void endCompletedParse();
  void unloadLater();

  int stepDepth_ = 0;      // steps running inside this window's handlers
  bool closedWhileRunning_ = false;
  QElapsedTimer pumpClock_;
};

inline Form12& form12() { return FormInstance<Form12>::get(); }


}  // namespace vz
