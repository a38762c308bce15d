#pragma once
#include <QDialog>
#include <QString>

#include "platform/forms.h"
#include "platform/status.h"

class QListWidget;

namespace vz {

// The log picker: every log with its QSO count; a double-click on one makes it the
// current log.
class Form3 : public QDialog {
  Q_OBJECT
 public:
  Form3();

  QListWidget* List1;

  // Fills the list with every log and its QSO count.
  Status fillWithLogs();
  // The log name of the selected entry; empty when none is selected.
  QString selectedLogName() const;

  void List1_DblClick();

  bool unloadRequested() const { return unloadRequested_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  bool unloadRequested_ = false;
};

inline Form3& form3() { return FormInstance<Form3>::get(); }

}  // namespace vz
