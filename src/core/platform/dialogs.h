#pragma once
#include <QString>

namespace vz {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageRequest {
  QString text;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
  MsgAnswer defaultButton = MsgAnswer::Ok;  // the first button of the set when not among them
  QString title;                            // empty: the program's name
};

struct FileRequest {
  QString title;
  QString filter;     // Qt filter text, e.g. "ADIF (*.adi *.adif);;Todos (*)"
  QString directory;  // starting folder; empty: the folder a file dialog last used
  QString fileName;   // proposed name (save dialogs)
};

// Messages, input boxes and file dialogs of every window go through this service,
// so tests can answer them without a screen.
class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual MsgAnswer message(const MessageRequest& request) = 0;
  // The typed text, or empty text when the operator cancels (as the original's InputBox).
  virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
  // The chosen path, or empty text when cancelled.
  virtual QString openFile(const FileRequest& request) = 0;
  virtual QString saveFile(const FileRequest& request) = 0;
};

// The service in use: one a test installed, else the windows' own over Qt's dialogs
// (when the program links the windows), else one that logs and takes the defaults.
DialogService& dialogs();
// Installs a service (not owned); nullptr restores the standard one.
void setDialogService(DialogService* service);
// The windows' own service, set once by the windows library.
void setStandardDialogService(DialogService* service);

QString programTitle();

// Where a file dialog opens: the request's own folder when it names one, else the
// folder of the file last chosen in any file dialog of the program, at first the
// operator's home folder (never the folder the program was started from).
QString fileDialogFolder(const QString& requested = {});
// Notes the folder of a chosen file for the next dialog; an empty path forgets it.
void rememberFileDialogChoice(const QString& chosenPath);

// Shorthands.
MsgAnswer msgBox(const QString& text, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
                 MsgAnswer defaultButton = MsgAnswer::Ok, const QString& title = {});
inline void showError(const QString& text) { msgBox(text, MsgIcon::Critical); }
inline void showWarning(const QString& text) { msgBox(text, MsgIcon::Exclamation); }
// A Yes/No question with No as the default; true for Yes.
bool askYesNo(const QString& text, const QString& title = {}, MsgAnswer defaultButton = MsgAnswer::No);

}  // namespace vz
