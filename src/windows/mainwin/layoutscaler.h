#pragma once
#include <QList>
#include <QString>

class QWidget;

namespace vz {

// The resizable windows are drawn for a 1366 x 768 screen, in twips.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kDesignScreenWidth = 1366;
inline constexpr int kDesignScreenHeight = 768;

// Design geometry and font size of one control, whole twips and points. Element 0
// of a layout list is the window itself ("TheForm"): only its outer Height and
// Width are set.
struct ControlLayout {
  QString Name;
  int Index = -1;  // member of a control array, or -1
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int FontSize = 0;
};
using LayoutList = QList<ControlLayout>;

inline constexpr const char* kLayoutFormName = "TheForm";

// A recorded value: rounded to a whole number with halves going to the even
// neighbour (8.25 points gives 8, 9.75 gives 10); false when it does not fit a
// 16-bit field, which then keeps its previous value.
bool RecordedLayoutValue(double value, int* field);

// ---- The arithmetic, without windows ----------------------------------------

// Window geometry in twips.
struct FormGeometry {
  double Height = 0;
  double Width = 0;
  double Top = 0;
  double Left = 0;
};

// Where a window of the given design geometry goes on a screen of the given size
// in pixels: each design value times the screen's factor against the design screen
// (with the uniform flag, the smaller of the two factors for both).
FormGeometry FitFormToScreenGeometry(int screenWidthPx, int screenHeightPx, int designHeight,
                                     int designWidth, int designLeft, int designTop, bool uniform);

// Factors of a window's current outer size against its recorded one.
struct LayoutScale {
  double SY = 1;  // LayoutScaleY
  double SX = 1;  // LayoutScaleX
  double f = 1;   // the uniform factor: the smaller of the two (SY when equal)
};
LayoutScale LayoutScaleFor(double currentHeight, double currentWidth, const ControlLayout& form);

// A control's geometry (twips) and font size (points) for the current window size.
// onWindow: the control sits directly on the window rather than in a frame; such
// controls are shifted by part of the spare width or height so that a window wider
// (or taller) than its proportions keeps them centred.
struct ControlGeometry {
  double Left = 0;
  double Top = 0;
  double Width = 0;
  double Height = 0;
  double FontSize = 0;
};
ControlGeometry ScaledControlGeometry(const ControlLayout& control, const ControlLayout& form,
                                      double currentHeight, double currentWidth, bool onWindow,
                                      bool uniform);

// ---- Applied to a window's widget tree --------------------------------------
// The controls of a window are its descendants that carry an object name (widgets,
// menu entries and timers alike), in tree order; a member of a control array has
// its index in the dynamic property "Index". Geometry is that of the window's
// surface (the central widget of a main window); menus, menu entries and timers
// have none and keep zeros.

LayoutList CaptureLayout(QWidget* form);
// Sizes and places the window for its screen (twips, as recorded at design).
void FitFormToScreen(QWidget* form, int designHeight, int designWidth, int designLeft, int designTop,
                     bool uniform);
// Rescales every control from its recorded design values: repeated resizing never
// accumulates rounding.
void ScaleControls(QWidget* form, const LayoutList& layout, bool uniform);

}  // namespace vz
