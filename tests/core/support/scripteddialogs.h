#pragma once
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

#include "platform/dialogs.h"

namespace vz::test {

// A dialog service that records every message and gives planned answers. With no
// answer planned, a message gets its default button, an input box the empty text
// (cancel) and a file dialog no file. Installs itself for its lifetime.
class ScriptedDialogs : public DialogService {
 public:
  ScriptedDialogs();
  ~ScriptedDialogs() override;

  MsgAnswer message(const MessageRequest& request) override;
  QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  QString openFile(const FileRequest& request) override;
  QString saveFile(const FileRequest& request) override;

  // Runs while each message is "open", e.g. to hand the activation back as a closing box does.
  std::function<void(const MessageRequest&)> whileOpen;

  QQueue<MsgAnswer> answers;
  QQueue<QString> inputs;
  QQueue<QString> files;

  QList<MessageRequest> messages;
  QStringList prompts;
  QList<FileRequest> fileRequests;

  QStringList texts() const;
  QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
  void clear();
};

}  // namespace vz::test
