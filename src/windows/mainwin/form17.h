#pragma once
#include <QDialog>
#include <QString>

#include "platform/forms.h"
#include "store/logstore.h"

class QGroupBox;
class QListWidget;

namespace vz {

// The worked-before list: the current log's earlier QSOs with the station being
// typed, one padded text line each under a header line.
class Form17 : public QDialog {
  Q_OBJECT
 public:
  Form17();

  QGroupBox* Frame1;
  QListWidget* List1;

  bool unloadRequested() const { return unloadRequested_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  bool unloadRequested_ = false;
};

inline Form17& form17() { return FormInstance<Form17>::get(); }

// The text followed by blanks up to the width plus one; a longer text unchanged.
QString PadRight(const QString& text, int width);
QString WorkedBeforeHeader();
// One QSO's line: own call, worked call, band and mode padded, then the date
// ("-" read as "/") and the time as stored, separated by "|".
QString WorkedBeforeLine(const LogQso& qso);

// Lists the current log's QSOs whose worked call begins with the call ("?" for any
// one character) in Form17 and shows it modally, or says there are none.
void ShowWorkedBefore(const QString& call);

}  // namespace vz
