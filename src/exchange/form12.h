#pragma once
#include <QDialog>

#include "platform/forms.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vz {

// "Importar ADIF ...": the ADIF import window. Here only the controls that the main
// window's launcher prepares before it shows the window; the import's own steps
// join them.
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
};

inline Form12& form12() { return FormInstance<Form12>::get(); }

}  // namespace vz
