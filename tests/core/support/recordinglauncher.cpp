#include "support/recordinglauncher.h"

namespace vz::test {

RecordingLauncher::RecordingLauncher() { setLauncher(this); }
RecordingLauncher::~RecordingLauncher() { setLauncher(nullptr); }

bool RecordingLauncher::openUrl(const QUrl& url) {
  calls << Call{Kind::Url, url.toString(), {}};
  return answer;
}

bool RecordingLauncher::openDocument(const QString& path) {
  calls << Call{Kind::Document, path, {}};
  return answer;
}

bool RecordingLauncher::openInTextEditor(const QString& path) {
  calls << Call{Kind::TextEditor, path, {}};
  return answer;
}

bool RecordingLauncher::startProgram(const QString& program, const QStringList& arguments) {
  calls << Call{Kind::Program, program, arguments};
  return answer;
}

}  // namespace vz::test
