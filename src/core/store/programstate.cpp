#include "store/programstate.h"

namespace vz {

ProgramState& state() {
  static ProgramState s;
  return s;
}

}  // namespace vz
