#pragma once
// Every window of the program opened as the operator opens it, over a small log and
// contest, for pictures of the windows and checks of their layout.
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace vz::test {

struct GalleryWindow {
  QString name;                 // file name of its picture, e.g. "Form4-duplicado"
  std::function<void()> open;   // the operator's road to it; may wait in a modal loop
  bool maximised = false;       // the main window maximised first
};

// A program folder with config.ini, a log of 45 QSOs and a contest of three, fakes
// for the serial ports, audio, the desktop and every message; the main window shown.
class WindowGallery {
 public:
  WindowGallery();
  ~WindowGallery();
  QList<GalleryWindow> windows() const;
  // Opens the window, hands it to look once it is shown and settled, then hides it
  // (which also ends its modal loop). False when the road opened no window.
  bool visit(const GalleryWindow& window, const std::function<void(QWidget*)>& look);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Program windows (not Qt's own boxes), the main window included.
bool isProgramWindow(const QWidget* w);

}  // namespace vz::test
