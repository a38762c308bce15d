#include "support/settingsenv.h"

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
}

SettingsTestEnv::~SettingsTestEnv() {
  FormInstance<Form2>::unload();
  FormInstance<Form4>::unload();
  FormInstance<Form1>::unload();
  setEndProgramHandler({});
  state() = ProgramState();
}

}  // namespace vz::test
