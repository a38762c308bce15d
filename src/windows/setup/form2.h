#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "platform/audioplayer.h"
#include "platform/cp1252box.h"
#include "platform/forms.h"
#include "platform/serialline.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class QUrl;

namespace vz {

class WebGet;

// "Configuración": the operator's settings. Its controls are the running program's
// settings store: every part reads a setting from them when it needs it. It is never
// unloaded and refuses every close; "Guardar" and "Cancelar" hide it.
class Form2 : public QDialog {
  Q_OBJECT
 public:
  Form2();
  ~Form2() override;

  // Visible part.
  QLabel* Label1[8];  // captions; index 5 is not used
  QLineEdit* Text1;   // station call
  QLineEdit* Text2;   // operator's call
  QLineEdit* Text4;   // own grid locator
  QLineEdit* Text3;   // UTC offset in hours: local time = UTC + offset
  QPushButton* Command1;  // "Guardar"
  QPushButton* Command2;  // "Cancelar"
  QGroupBox* Frame3;      // "Pantalla"
  QCheckBox* panta;       // "Oscura"
  QGroupBox* Frame6;      // "Rukanet"
  QLineEdit* Text8;       // user
  QLineEdit* Text7;       // password
  QGroupBox* Frame7;      // "eQSL"
  QLineEdit* Text9;
  QLineEdit* Text10;
  QGroupBox* Frame4;  // "QRZ"
  QLineEdit* Text5;
  QLineEdit* Text6;
  QLabel* Image1;  // hold to see Text6
  QLabel* Image2;  // hold to see Text7
  QLabel* Image3;  // hold to see Text10
  QLabel* Image4;
  QLabel* Image5;
  QLabel* Image6;
  QGroupBox* Frame5;  // "Llamador CQ ..."
  QLabel* Label6;     // path of the voice-call audio file
  QToolButton* Command5;  // choose
  QToolButton* Command6;  // play
  QToolButton* Command7;  // stop
  QFrame* sFondo;
  QFrame* sPorcentaje;
  QLabel* Label7;
  QComboBox* Puerto;  // push-to-talk port
  QCheckBox* DTR;
  QCheckBox* RTS;
  QPushButton* Command8;  // "Prueba de PTT"
  std::unique_ptr<SerialLine> MSComm1;

  // Below the visible area.
  QGroupBox* Frame1;  // "Ruk"
  QLabel* Label2[2];
  QLineEdit* user_ruk;
  QLineEdit* pass_ruk;
  QPushButton* Command3;  // hold to see pass_ruk
  QPushButton* Command4;  // "Probar"
  QTimer* Timer1;         // network time-out ticker
  QLabel* Label3;
  QProgressBar* ProgressBar1;
  QComboBox* Combo1;  // push-to-talk delay before, ms (stored only)
  QComboBox* Combo2;  // and after
  std::unique_ptr<AudioPlayer> MMControl1;
  QLabel* viejo;

  // A port named in config.ini that is not present now: it stays in the file until
  // the operator picks another entry.
  QString keptPortName;

  // Reactions.
  void Command1_Click();
  void Command2_Click();
  void Text4_Change();
  void Text4_LostFocus();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void MMControl1_StatusUpdate(qint64 positionMs, qint64 durationMs);
  void MMControl1_Done();
  void Command8_MouseDown();
  void Command8_MouseUp();
  void DTR_Click();
  void RTS_Click();
  void Puerto_Click();
  void panta_Click();
  void Timer1_Timer();
  void Command4_Click();

  // The line push-to-talk uses: "RTS" when RTS is ticked, "DTR" otherwise.
  QString pttLine() const;

  // Loads a page and waits for it by the network ticker: gives up after 15 ticks.
  // onTick runs after every tick while waiting.
  enum class PageWait { Loaded, Failed, TimedOut };
  PageWait WaitForPage(WebGet& page, const QUrl& url, const std::function<void()>& onTick = {});
  // The same, telling the operator when no page came.
  PageWait WaitForPageOrWarn(WebGet& page, const QUrl& url);

  // Fills the port and delay lists anew, without a selection.
  void fillLists();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  bool callsAreValid();
  bool filterKey(QLineEdit* box, QKeyEvent* event);
  KeyRule settingKeyRule(const QLineEdit* box) const;
  void resetProgress();
  void setRevealed(QLineEdit* box, bool revealed);

  WebGet* accountTestPage_;
  bool inGridRule_ = false;
};

inline Form2& form2() { return FormInstance<Form2>::get(); }

// The UTC offset box's design text, what the offset is until the settings are read.
inline const QString kDesignUtcOffset = QStringLiteral("-3");
// The offset the settings hold; the design one while the dialog is not loaded,
// which reading them would load.
QString currentUtcOffsetText();

// The message the network waits give when no page comes.
inline QString noConnectionText() { return QStringLiteral("No parace haber conexión con internet!"); }

}  // namespace vz
