#pragma once
#include <memory>

#include "support/fakeaudio.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

namespace vz::test {

// What a window test around the settings needs: a fresh program folder and
// database, fake serial ports and audio, scripted messages, an observable end of the
// program and fresh program-wide state. The settings dialog and the contest window
// are unloaded at the end, so the next test starts from their design values.
class SettingsTestEnv {
 public:
  SettingsTestEnv();
  ~SettingsTestEnv();

  TempFolder folder;
  FakeSerialSystem serial;
  FakeAudio audio;
  ScriptedDialogs dialogs;
  // How often the program was told to end.
  int endRequests = 0;
};

}  // namespace vz::test
