#pragma once
#include <QDialog>

#include "platform/forms.h"
#include "exchange/adifbackup.h"
#include "platform/status.h"
#include "store/logstore.h"

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vz {

// "Back Up ...": the logs of Tabla1 with their QSO counts, and "Hacer ADIF", which
// writes every QSO of every log into one ADIF file. Shown without being modal.
class Form15 : public QDialog {
  Q_OBJECT
 public:
  Form15();

  QFrame* Frame2;
  QTreeWidget* ListView1;  // "Log", "QSOs"
  QLabel* Label4;   // "Logs:"
  QLabel* Label1;   // number of logs
  QLabel* Label3;   // "QSOs:"
  QLabel* Label2;   // QSOs of all logs
  QPushButton* Command1;  // "Hacer ADIF"
  QFrame* Frame1;   // working list, out of sight
  QListWidget* List1;

  // Warns, each time the window becomes active, when the file would be too large
  // for the program's own import.
  void Form_Activate();
  void ListView1_ColumnClick(int column);
  // A row of the list: a log and its QSO count. Log names sort as the store
  // compares them, without regard to letter case.
  void AddLogRow(const QString& name, long long count);
  // "Hacer ADIF".
  void Command1_Click();

  // Writes the back-up into path (the header, one line per QSO, "<EOF>"); the file
  // is put in place only when complete.
  static Status WriteBackup(const QString& path);

 protected:
  bool event(QEvent* event) override;

 private:
  // A dialog of the window's own is open (its warning, the save dialog, its
  // questions) or has just closed: the activation it hands back is no new one.
  friend class OwnDialog;
  bool ownDialogOpen_ = false;
  bool returningFromOwnDialog_ = false;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

inline Form15& form15() { return FormInstance<Form15>::get(); }

// QSOs past which a file cannot be read back by the import.
inline constexpr int kBackupImportLimit = 10000;

}  // namespace vz
