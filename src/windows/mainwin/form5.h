#pragma once
#include <QDialog>
#include <QHash>
#include <QString>
#include <optional>
#include <QStringList>
#include <functional>

#include "platform/forms.h"
#include "store/logstore.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vz {

// The QSO edit dialog: corrects or deletes one QSO of the current log. It reads
// nothing from the database itself: an opener fills it (OpenQsoEditor), "Guardar"
// writes every field back, "Eliminar" deletes the QSO, and either then refreshes
// the list of the window that opened it.
class Form5 : public QDialog {
  Q_OBJECT
 public:
  Form5();
  ~Form5() override;

  // Row 1
  QLineEdit* Text1;   // own call
  QLineEdit* Text10;  // own grid
  QLineEdit* Text3;   // operator
  QPushButton* Command4;  // QSL card
  QGroupBox* Frame1;      // "Rukanet"
  QLabel* Label15;        // "Confirmado:"
  QLabel* ConfARuk;
  QLabel* Label14;        // "Subido:" (never shown)
  QLabel* subidoARuk;     // (never shown)
  // Row 2
  QLineEdit* Text2;  // worked call
  QLineEdit* Text4;  // date "dd/mm/yyyy"
  QLineEdit* Text5;  // time "hh:mm"
  QPushButton* Command3;   // Rukanet lookup
  QPushButton* Command13;  // QRZ lookup
  // Row 3
  QLabel* Label11;  // band
  QComboBox* mhz;
  QLineEdit* Text9;  // kHz
  QComboBox* Combo2;  // mode
  QCheckBox* Check1;  // shows or hides the satellite box
  QLineEdit* Text6;   // report sent
  QLineEdit* Text7;   // report received
  QLineEdit* Text11;  // worked grid
  QLabel* Label5_1;   // "Satélite"
  QLineEdit* Text12;  // satellite
  // Row 4
  QLineEdit* Text8;  // remarks
  QPushButton* Command1;  // "Guardar"
  QPushButton* Command2;  // "Eliminar"

  // Fills every control from a QSO as the lists show it (date "dd/mm/yyyy", time
  // "hh:mm"), with the opener's mode and MHz lists. A mode or MHz missing from its
  // list is added to it, so the dialog always shows (and saves) the QSO's own.
  void fillFrom(const LogQso& row, const QStringList& modes, const QStringList& mhzList);
  // The QSO's id, which lives in the caption.
  qint64 qsoId() const;
  // The upload-state labels for a stored Ruk text.
  void showRukStatus(const QString& ruk);

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command13_Click();
  void Check1_Click();
  void mhz_Click();
  void Text4_LostFocus();
  void Text5_LostFocus();
  void Text9_LostFocus();
  void Text10_LostFocus();
  void Text11_LostFocus();

  // Set when Esc or the title bar asked to unload the dialog.
  bool unloadRequested() const { return unloadRequested_; }

  // Leave checks also run by "Guardar": the message for a box's value, or empty.
  static QString dateProblem(const QString& text);
  static QString timeProblem(const QString& text);
  static QString ownGridProblem(const QString& text);
  static QString workedGridProblem(const QString& text);

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* e) override;
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void onFocusChanged(QWidget* old, QWidget* now);
  void SetEditBandFromFrequency(const QString& mhzText, const QString& khzText);
  void keepGridShape(QLineEdit* box);
  // Shows a failed check and puts the focus back into the box.
  void refuse(QLineEdit* box, const QString& message);
  void focusBack(QWidget* box);
  void refreshCaller(qint64 id);

  // Shows a value whole, even past the box's design length, and notes what the box
  // then shows: a box still showing that at "Guardar" writes back the stored value.
  void showValue(QLineEdit* box, const QString& value);
  // Whether the box still shows what it was filled with (and the row was read).
  bool unchanged(QLineEdit* box) const;
  // The stored value when the box is unchanged, else the edited one.
  QString keptOr(QLineEdit* box, const QString& stored, const QString& edited) const;

  bool unloadRequested_ = false;
  bool refocusing_ = false;
  // The QSO as stored (read by its id when the dialog is filled) and what each box
  // and selector showed then.
  std::optional<LogQso> stored_;
  QHash<const QLineEdit*, QString> shown_;
  QString shownMhz_, shownMode_;
};

inline Form5& form5() { return FormInstance<Form5>::get(); }

// The openers' lists of the main QSO list (and F5).
const QStringList& mainListEditModes();
const QStringList& mainListEditMhz();

// What every opener does: names itself in EditCallerForm, sets EditFormLoading,
// fills the dialog from the QSO and shows it modally. Returns when the dialog is
// hidden or unloaded.
void OpenQsoEditor(const QString& callerForm, const LogQso& row, const QStringList& modes,
                   const QStringList& mhzList);

// The refresh an opening window provides: called with the QSO's id after the
// dialog saved or deleted it.
using EditCallerRefresh = std::function<void(qint64 id)>;
// Registers the refresh of a window other than the main one (which the dialog
// reloads itself) by its name, as the search view does for "Form6"; an empty
// function removes it. A caller without one refreshes nothing.
void setEditCallerRefresh(const QString& callerForm, EditCallerRefresh refresh);

}  // namespace vz
