#include "support/scripteddialogs.h"

namespace vz::test {

ScriptedDialogs::ScriptedDialogs() { setDialogService(this); }
ScriptedDialogs::~ScriptedDialogs() { setDialogService(nullptr); }

MsgAnswer ScriptedDialogs::message(const MessageRequest& request) {
  messages << request;
  if (whileOpen) whileOpen(request);
  return answers.isEmpty() ? request.defaultButton : answers.dequeue();
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString&, const QString&) {
  prompts << prompt;
  return inputs.isEmpty() ? QString() : inputs.dequeue();
}

QString ScriptedDialogs::openFile(const FileRequest& request) {
  fileRequests << request;
  return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedDialogs::saveFile(const FileRequest& request) {
  fileRequests << request;
  return files.isEmpty() ? QString() : files.dequeue();
}

QStringList ScriptedDialogs::texts() const {
  QStringList t;
  for (const auto& m : messages) t << m.text;
  return t;
}

void ScriptedDialogs::clear() {
  answers.clear();
  inputs.clear();
  files.clear();
  messages.clear();
  prompts.clear();
  fileRequests.clear();
}

}  // namespace vz::test
