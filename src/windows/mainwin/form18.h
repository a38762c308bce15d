#pragma once
#include <QWidget>

#include "platform/forms.h"

class QLabel;
class QProgressBar;

namespace vz {

// The small green window that counts the exit down.
class Form18 : public QWidget {
  Q_OBJECT
 public:
  Form18();

  static constexpr int kClientWidth = 5775;  // twips
  static constexpr int kClientHeight = 1305;

  QLabel* Label1;
  QProgressBar* ProgressBar1;

  // Centres the window on another one.
  void centreOn(const QWidget* owner);
};

inline Form18& form18() { return FormInstance<Form18>::get(); }

// The exit window's caption after the given tick of the countdown.
QString ExitCountdownCaption(int ticks);

}  // namespace vz
