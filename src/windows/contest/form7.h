#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

#include "contest/conteststore.h"
#include "platform/forms.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vz {

// The contest record editor: corrects or deletes one QSO of the open contest. The
// row it edits is named by the caption ("Edición de Registro #12").
class Form7 : public QDialog {
  Q_OBJECT
 public:
  Form7();
  ~Form7() override;

  QLineEdit* Text1;   // own call
  QLineEdit* Text2;   // worked call
  QLineEdit* Text4;   // date "yyyymmdd"
  QLineEdit* Text5;   // time "hhmm"
  QComboBox* Combo1;  // band
  QComboBox* Combo2;  // mode
  QLineEdit* Text6;   // serial or exchange sent
  QLineEdit* Text7;   // serial or exchange received
  QLineEdit* Text3;   // frequency in kHz, kept as stored (not shown)
  QLabel* Label3;     // the contest's name
  QLabel* Label10;    // its serial type
  QLabel* Label11;    // the row's position in the contest list (not shown)
  QPushButton* Command1;  // "Guardar"
  QPushButton* Command2;  // "Eliminar"

  // Fills the editor from a QSO of the contest; position is the row's place in the
  // contest list (1-based), or 0 when the opener has none.
  void fillFrom(const ContestQso& q, int position, const QString& contestName, const QString& serialType);
  // The edited row's id, read from the caption (0 when it holds none).
  qint64 recordId() const;

  void Command1_Click();
  void Command2_Click();
  void Text3_LostFocus();
  void Text4_LostFocus();
  void Text5_LostFocus();

  bool unloadRequested() const { return unloadRequested_; }

  // The messages a box's value gets on leaving it, in the order they are shown.
  static QStringList frequencyProblems(const QString& text);
  static QStringList dateProblems(const QString& text);
  static QStringList timeProblems(const QString& text);
  // Whether a typed character (already upper-cased) may enter the box.
  bool acceptsKey(const QLineEdit* box, QChar upper) const;

 public slots:
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void onFocusChanged(QWidget* old, QWidget* now);
  void refuse(QLineEdit* box, const QStringList& messages);
  bool unloadRequested_ = false;
  bool refocusing_ = false;
};

inline Form7& form7() { return FormInstance<Form7>::get(); }

// The contest window's refill of its QSO list after the editor saved or deleted a
// row: it reloads the open contest (LoadContestLog) and selects the row at the
// 1-based position given, or none for 0. The contest window registers it; an empty
// function removes it.
using ContestListReload = std::function<void(int selectPosition)>;
void setContestListReload(ContestListReload reload);

// Double-click on the contest list: opens the editor on the selected row (nullptr
// when none is selected, which opens nothing) at its 1-based position. Sets
// ContestFormBusy when it opens. Returns when the editor closes; false when it did
// not open.
bool OpenContestRecordFromList(const ContestListRow* selected, int position, const QString& contestName,
                               const QString& serialType);

// F12: opens the editor on the contest's latest QSO by date and time. A contest
// without QSOs opens nothing. Returns when the editor closes; false when it did
// not open.
bool EditLastContestQso(const QString& contestName, const QString& serialType);

}  // namespace vz
