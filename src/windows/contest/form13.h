#pragma once
#include <QDialog>

#include "platform/forms.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QRadioButton;
class QTreeWidget;

namespace vz {

// The contest analysis: lists the contests that hold QSOs and, for the one
// double-clicked, shows per CW and phone the QSOs, time, rate, duplicates and
// multipliers. Its List1 is also the result list of the upload check.
class Form13 : public QDialog {
  Q_OBJECT
 public:
  Form13();

  QGroupBox* Frame1;       // "Multiplicador"
  QRadioButton* Option1;   // "Provincia/País Corresponsal"
  QRadioButton* Option2;   // "Serie Recibida"
  QCheckBox* Check1;       // "Valen Propios"
  QTreeWidget* ListView1;  // contests: "Nombref", "Nombre", "Tipo", "QSOSs"
  QProgressBar* ProgressBar1;
  QGroupBox* Frame2;
  QLabel* Label13;  // the own call
  // CW values
  QLabel* Label3;   // QSOs
  QLabel* Label4;   // time
  QLabel* Label5;   // rate
  QLabel* Label11;  // duplicates
  QLabel* Label6;   // multipliers
  // Phone values
  QLabel* Label10;
  QLabel* Label9;
  QLabel* Label8;
  QLabel* Label12;
  QLabel* Label7;
  QListWidget* List1;  // CW multipliers
  QListWidget* List3;  // phone multipliers
  QListWidget* List2;  // calls worked in CW (not shown)
  QListWidget* List4;  // calls worked in phone (not shown)

  void Form_Activate();
  void ListView1_DblClick();

 protected:
  bool event(QEvent* e) override;

 private:
  // A failure to list is shown once: the activation its box hands back when it
  // closes does not list (and fail) again.
  bool failureShowing_ = false;
  bool failureShown_ = false;
  void keyPressEvent(QKeyEvent* e) override;
};

inline Form13& form13() { return FormInstance<Form13>::get(); }

}  // namespace vz
