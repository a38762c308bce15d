#include "support/settingsenv.h"

#include <QTimer>

#include "contest/form4.h"
#include "mainwin/form1.h"
#include "platform/appexit.h"
#include "setup/form2.h"
#include "store/programstate.h"

namespace vz::test {

SettingsTestEnv::SettingsTestEnv() {
  FormInstance<Form2>::unload();
  FormInstance<Form4>::unload();
  FormInstance<Form1>::unload();
  state() = ProgramState();
  setEndProgramHandler([this](int) { ++endRequests; });
  // The main window the settings reach, loaded with its timers held: its start-up
  // step would open the settings dialog in the middle of a test.
  for (QTimer* t : form1().findChildren<QTimer*>()) t->stop();
  state().MainFormReady = false;
}

SettingsTestEnv::~SettingsTestEnv() {
  FormInstance<Form2>::unload();
  FormInstance<Form4>::unload();
  FormInstance<Form1>::unload();
  setEndProgramHandler({});
  state() = ProgramState();
}

}  // namespace vz::test
