#pragma once
#include <QDialog>

#include "platform/forms.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vz {

// "Perfiles": three profile names kept in Perfiles.cfg. Loading a profile has no
// function yet; the menu entry that opens this dialog stays switched off.
class Form16 : public QDialog {
  Q_OBJECT
 public:
  Form16();

  QGroupBox* Frame1;
  QLabel* Label1[3];
  QLineEdit* Perfil1[3];
  QPushButton* Crear1;
  QPushButton* Crear2;
  QPushButton* Crear3;
  QPushButton* Cargar1;
  QPushButton* Cargar2;
  QPushButton* Cargar3;
  QComboBox* Combo1;
  QTimer* Timer1;

  void Form_Activate();
  void Crear1_Click();
  void Crear2_Click();
  void Crear3_Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void storeProfiles();
};

inline Form16& form16() { return FormInstance<Form16>::get(); }

}  // namespace vz
