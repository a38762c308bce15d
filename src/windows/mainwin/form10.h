#pragma once
#include <QDialog>

#include "platform/forms.h"

class QLabel;

namespace vz {

// "Acerca de ...": the logo, the version, the credits and what the program is for.
// Closing it unloads it, so every showing fills it afresh.
class Form10 : public QDialog {
  Q_OBJECT
 public:
  Form10();

  static constexpr int kClientWidth = 9840;   // twips
  static constexpr int kClientHeight = 5880;

  QLabel* Image1;  // logo
  QLabel* Label1;  // version
  QLabel* Label3;  // credits
  QLabel* Label2;  // description

  void Form_Load();
};

inline Form10& form10() { return FormInstance<Form10>::get(); }

// The description the box shows, line breaks as CR LF.
QString AboutDescription();

}  // namespace vz
