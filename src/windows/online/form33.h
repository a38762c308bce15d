#pragma once
#include <QDialog>

#include "platform/forms.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vz {

struct RukLookupResult;

// The answer of a call-book lookup as text; for a Ruk lookup from the main window,
// buttons that copy the name, the e-mail address or the grid locator into the
// main window's entry strip. The lookups fill it and show it modally.
class Form33 : public QDialog {
  Q_OBJECT
 public:
  Form33();

  // Widths in twips the lookups give the window: the narrow ones leave the copy
  // buttons out of view.
  static constexpr int kQrzWidth = 5910;
  static constexpr int kEditFormWidth = 5800;
  static constexpr int kMainWindowWidth = 8000;

  QPlainTextEdit* Text1;
  QGroupBox* Frame1;   // "Agregar a Obs."
  QPushButton* Command1;  // "Nombre"
  QPushButton* Command2;  // "eMail"
  QGroupBox* Frame2;   // "Agregar"
  QPushButton* Command4;  // "Grilla"
  // The last Ruk lookup's name line, e-mail line and grid locator, hidden.
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;

  void setWidthTwips(int twips);

  void Command1_Click();
  void Command2_Click();
  void Command4_Click();
  // Key preview: Esc hides the window.
  void Form_KeyDown(int& KeyCode);

  bool unloadRequested() const { return unloadRequested_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  bool unloadRequested_ = false;
  bool centred_ = false;
};

inline Form33& form33() { return FormInstance<Form33>::get(); }

// Shows a QRZ answer: caption "QRZ", the narrow width, the text; the hidden labels
// keep what the last Ruk lookup left. Returns when the window is hidden or closed.
void ShowQrzLookupResult(const QString& text);
// Shows a Ruk answer with its copy values; narrow when the QSO edit dialog asked.
void ShowRukLookupResult(const RukLookupResult& result, bool fromEditForm);

}  // namespace vz
