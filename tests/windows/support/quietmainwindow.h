#pragma once
#include <QTimer>

#include "mainwin/form1.h"

namespace vz::test {

// Loads the main window for tests of other windows that touch it (push-to-talk lights
// its indicator too), with its start-up step and clock held so neither runs mid-test.
inline Form1& loadQuietMainWindow() {
  Form1& f = form1();
  for (QTimer* t : {f.Timer1, f.Timer2}) t->stop();
  return f;
}

}  // namespace vz::test
