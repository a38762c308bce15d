#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/launcher.h"

namespace vz::test {

// A launcher that records what would have been opened or started, and starts
// nothing. Installs itself for its lifetime.
class RecordingLauncher : public Launcher {
 public:
  enum class Kind { Url, Document, TextEditor, Program };
  struct Call {
    Kind kind;
    QString target;  // the address, the file or the program
    QStringList arguments;
  };

  RecordingLauncher();
  ~RecordingLauncher() override;

  bool openUrl(const QUrl& url) override;
  bool openDocument(const QString& path) override;
  bool openInTextEditor(const QString& path) override;
  bool startProgram(const QString& program, const QStringList& arguments) override;

  QList<Call> calls;
  bool answer = true;  // what every request reports
};

}  // namespace vz::test
