#include "store/mainwincolor.h"

namespace vz {

void ApplyMainWindowColor(quint32 color) {
  (void)color;
}

}  // namespace vz
