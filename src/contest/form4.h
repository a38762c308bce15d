#pragma once
#include <QWidget>

#include "platform/forms.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QTimer;

namespace vz {

// The contest window. Created hidden by the first access to any of its controls and
// kept until a contest is left; its one-second clock runs while it exists.
class Form4 : public QWidget {
  Q_OBJECT
 public:
  Form4();

  QLabel* Label8;     // transmit indicator "Tx"
  QComboBox* Combo3;  // CW keyer port
  QCheckBox* Check3;  // keyer line "DTR"
  QCheckBox* Check4;  // keyer line "RTS"
  QTimer* Timer1;     // one-second UTC clock
  QGroupBox* Frame2;  // around the master-call check: "MasterCheck (" and the list's size ")"

  void Timer1_Timer();
};

inline Form4& form4() { return FormInstance<Form4>::get(); }

}  // namespace vz
