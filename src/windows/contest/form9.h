#pragma once
#include <QDialog>
#include <QString>

#include "platform/forms.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vz {

// The Cabrillo header window: the station data and entry categories put in front
// of a contest's QSO section, written to a Cabrillo log by "Cabrillo".
class Form9 : public QDialog {
  Q_OBJECT
 public:
  Form9();

  QLineEdit* Text1;  // own call
  QLineEdit* Text2;  // name
  QLineEdit* Text4;  // address lines
  QLineEdit* Text5;
  QLineEdit* Text6;
  QLineEdit* Text7;  // e-mail
  QLineEdit* Text3;  // contest
  QComboBox* Combo1;  // category: operator
  QComboBox* Combo2;  // power
  QComboBox* Combo3;  // bands
  QComboBox* Combo4;  // mode
  QLabel* Label2_5;   // "Operadores"
  QLineEdit* Text9;   // operators
  QPlainTextEdit* Text8;  // the QSO section (not shown)
  QPushButton* Command1;  // "Cabrillo"

  // The own call of the contest window, taken into Text1 at every showing.
  QString ContestOwnCall;
  // The QSO section exactly as handed over (Text8 only shows it: a text box would
  // not keep its CR LF line ends).
  QString QsoSection;

  bool unloadRequested() const { return unloadRequested_; }

  void Form_Activate();
  void Combo1_Click();
  void Command1_Click();

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  bool unloadRequested_ = false;
};

inline Form9& form9() { return FormInstance<Form9>::get(); }

// The contest window's "Cabrillo": hands the QSO section (CabrilloQsoSection's
// text), the contest's name, its QSO count and the own call to the header window
// and shows it modally. Returns when the window is hidden or closed.
void ShowCabrilloHeader(const QString& contestName, const QString& qsoSection, qsizetype qsoCount,
                        const QString& ownCall);

}  // namespace vz
