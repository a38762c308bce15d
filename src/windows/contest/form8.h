#pragma once
#include <QWidget>

#include "platform/forms.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace vz {

// The contest log chooser "Logs de Concursos ...": creates a contest or opens a
// listed one in the contest window. Closing it from its title bar unloads it.
class Form8 : public QWidget {
  Q_OBJECT
 public:
  Form8();

  QGroupBox* Frame1;        // "Existentes ..."
  QTreeWidget* ListView1;   // existing contest logs
  QGroupBox* Frame3;        // "Crear uno nuevo ..."
  QLabel* Label1;           // "Nombre"
  QLineEdit* Text1;         // name of the new contest
  QGroupBox* Frame2;        // "Tipo de Serie"
  QRadioButton* Option1;    // "Incremental"
  QRadioButton* Option2;    // "Fija"
  QPushButton* Command1;    // "Aceptar"

  void SetChooserColumns();
  void Text1_KeyPress(int& KeyAscii);
  void Command1_Click();
  void ListView1_DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

inline Form8& form8() { return FormInstance<Form8>::get(); }

}  // namespace vz
