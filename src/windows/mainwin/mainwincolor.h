#pragma once
#include <QtGlobal>

namespace vz {

// Paints the main window's background, frames, labels and check boxes in one colour
// (&H404040 for the dark screen, the button face otherwise) and its QSO list light
// grey with the dark colour, the window colour otherwise.
void ApplyMainWindowColor(quint32 color);

}  // namespace vz
