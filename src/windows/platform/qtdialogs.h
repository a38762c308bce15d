#pragma once
#include "platform/dialogs.h"

namespace vz {

// The real service over QMessageBox, QInputDialog and QFileDialog.
class QtDialogService : public DialogService {
 public:
  MsgAnswer message(const MessageRequest& request) override;
  QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  QString openFile(const FileRequest& request) override;
  QString saveFile(const FileRequest& request) override;
};

}  // namespace vz
