#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QtDebug>

namespace vz {
namespace {

DialogService*& installed() {
  static DialogService* s = nullptr;
  return s;
}

DialogService*& standard() {
  static DialogService* s = nullptr;
  return s;
}

QList<MsgAnswer> answersOf(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return {MsgAnswer::Ok};
    case MsgButtons::OkCancel: return {MsgAnswer::Ok, MsgAnswer::Cancel};
    case MsgButtons::YesNo: return {MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::YesNoCancel: return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    case MsgButtons::RetryCancel: return {MsgAnswer::Retry, MsgAnswer::Cancel};
    case MsgButtons::AbortRetryIgnore: return {MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore};
  }
  return {MsgAnswer::Ok};
}

QString& lastFileFolder() {
  static QString folder;
  return folder;
}

// With no windows linked nobody can answer: the message goes to the log and the
// question takes its default answer, as an unattended run would.
class UnattendedDialogs : public DialogService {
 public:
  MsgAnswer message(const MessageRequest& r) override {
    qWarning().noquote() << r.text;
    const QList<MsgAnswer> set = answersOf(r.buttons);
    return set.contains(r.defaultButton) ? r.defaultButton : set.first();
  }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  QString openFile(const FileRequest&) override { return {}; }
  QString saveFile(const FileRequest&) override { return {}; }
};

}  // namespace

QString programTitle() { return QStringLiteral("Vantorel Zezeror"); }

QString fileDialogFolder(const QString& requested) {
  if (!requested.isEmpty()) return requested;
  const QString& last = lastFileFolder();
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  return QDir::homePath();
}

void rememberFileDialogChoice(const QString& chosenPath) {
  lastFileFolder() = chosenPath.isEmpty() ? QString() : QFileInfo(chosenPath).absolutePath();
}

DialogService& dialogs() {
  if (installed()) return *installed();
  if (standard()) return *standard();
  static UnattendedDialogs unattended;
  return unattended;
}

void setDialogService(DialogService* service) { installed() = service; }

void setStandardDialogService(DialogService* service) { standard() = service; }

MsgAnswer msgBox(const QString& text, MsgIcon icon, MsgButtons buttons, MsgAnswer defaultButton,
                 const QString& title) {
  return dialogs().message({text, icon, buttons, defaultButton, title});
}

bool askYesNo(const QString& text, const QString& title, MsgAnswer defaultButton) {
  return msgBox(text, MsgIcon::Question, MsgButtons::YesNo, defaultButton, title) == MsgAnswer::Yes;
}

}  // namespace vz
