#include "platform/appexit.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/database.h"
#include "platform/serialline.h"

namespace vz {
namespace {

std::function<void(int)>& installed() {
  static std::function<void(int)> h;
  return h;
}

std::vector<std::function<void()>>& endWork() {
  static std::vector<std::function<void()>> work;
  return work;
}

}  // namespace

void addProgramEndWork(std::function<void()> work) { endWork().push_back(std::move(work)); }

void runProgramEndWork() {
  for (const auto& work : endWork()) work();
}

void endProgram(int exitCode) {
  if (installed()) {
    installed()(exitCode);
    return;
  }
  // Callers may be deep inside modal dialogs; leaving through the event loops would
  // run the code that follows them, so the process ends here once its data is safe.
  // No transmitter stays keyed: the keyer's thread and the voice call may be keying.
  ReleaseAllSerialLines();
  runProgramEndWork();
  db::close();
  std::fflush(nullptr);
  std::exit(exitCode);
}

void setEndProgramHandler(std::function<void(int)> handler) { installed() = std::move(handler); }

}  // namespace vz
