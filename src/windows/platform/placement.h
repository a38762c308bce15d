#pragma once
#include <QRect>
#include <QString>

class QApplication;
class QWidget;

namespace vz {

// Where a window of the given size opens: centred over its owner's frame, moved
// back inside the screen's free area when it would stick out of it.
QRect CentredOver(const QSize& size, const QRect& owner, const QRect& available);

// The width a window needs for its caption to show whole in the title bar.
int CaptionWidth(const QString& caption);

// Rows a drop-down list shows before it scrolls.
inline constexpr int kDropDownRows = 20;

// Every window of the program opens centred over the main window (the first time
// it is shown after loading) and widens when its caption would be cut; drop-down
// lists open below their box with at most kDropDownRows rows.
void installWindowPlacement(QApplication& app);
// The same two rules applied to one window now (the program applies them as each
// window is shown).
void centreOverMainWindow(QWidget* window);
void widenForCaption(QWidget* window);

}  // namespace vz
