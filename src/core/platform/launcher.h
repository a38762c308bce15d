#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace vz {

// Hands pages, documents and programs to the desktop. Callers do not wait for what
// they start; the answer only says whether it could be handed over. A page or file
// that cannot be handed over is reported to the operator here; a program that does
// not start is left to the caller to report.
class Launcher {
 public:
  virtual ~Launcher() = default;
  // A web page in the desktop's browser.
  virtual bool openUrl(const QUrl& url) = 0;
  // A file with the desktop's application for its type (a PDF, a picture).
  virtual bool openDocument(const QString& path) = 0;
  // A text file in the desktop's text editor, whatever its extension (".adi").
  virtual bool openInTextEditor(const QString& path) = 0;
  // Starts a program with its arguments passed exactly as given, never through a
  // shell, and does not wait for it.
  virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

// The launcher in use: the desktop's unless a test installed another.
Launcher& launcher();
// Installs a launcher (not owned); nullptr restores the desktop's.
void setLauncher(Launcher* l);

class DesktopLauncher : public Launcher {
 public:
  bool openUrl(const QUrl& url) override;
  bool openDocument(const QString& path) override;
  bool openInTextEditor(const QString& path) override;
  bool startProgram(const QString& program, const QStringList& arguments) override;

 private:
  static void notOpened(const QString& what, const QString& reason);
};

// Finding the desktop's text editor as the freedesktop.org rules give it: the
// default application for text/plain in the mimeapps.list files, then the added
// associations and the applications' own MIME caches. Terminal programs and
// hidden entries are passed over.
namespace desktop {
// The command line (program first) that opens path in the text editor; none when
// the desktop names no usable editor.
std::optional<QStringList> textEditorCommand(const QString& path);
// The Exec line of a desktop entry with its field codes filled for one file; the
// file is added at the end when the line has no field code for it. None when the
// line cannot be split (an unclosed quote).
std::optional<QStringList> expandExec(const QString& exec, const QString& path);
}  // namespace desktop

}  // namespace vz
