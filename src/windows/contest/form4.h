#pragma once
#include <QSet>
#include <QWidget>
#include <array>
#include <memory>

#include "contest/conteststore.h"
#include "contest/cwkeyer.h"
#include "platform/webget.h"
#include "platform/forms.h"
#include "mainwin/layoutscaler.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class QTreeWidget;

namespace vz {

// The contest window "Concurso". Created hidden by the first access to any of its
// controls and unloaded when the contest is left; its one-second clock runs while it
// exists.
class AudioPlayer;

class Form4 : public QWidget, public CwKeyerPanel {
  Q_OBJECT
 public:
  Form4();
  ~Form4() override;

  // ---- Open contest
  QLabel* Label2;  // contest name; "Label2" while none is open
  QLabel* Label3;  // serial type
  QLabel* Label4;  // hidden: sent exchange taken from the log
  QLabel* Label9;  // "12 QSOs "
  std::array<QLabel*, 2> Label5{};  // "Concurso:", "Serie Tipo:"

  // ---- Entry row
  std::array<QLabel*, 11> Label1{};  // captions; 5 "MHz" and 10 "KHz" are hidden
  QLineEdit* Text2;         // own call
  QLineEdit* Fecha;         // "dd/mm/yyyy", UTC
  QLineEdit* Hora;          // "hh:mm", UTC
  QLineEdit* Corresponsal;  // worked call
  QLineEdit* RSE;           // serial or exchange sent
  QLineEdit* RSR;           // serial or exchange received
  QComboBox* Combo1;        // mode
  QComboBox* Combo2;        // band
  QComboBox* mhz;           // hidden MHz part of the frequency
  QLineEdit* Text1;         // hidden kHz part of the frequency
  QLabel* Label6;           // hidden band label of the MHz selector
  QLabel* Label7;           // "DUPLICADO"
  QCheckBox* Check2;        // "QTR Manual"
  QCheckBox* Check7;        // "&Fondo Oscuro"
  QCheckBox* Check8;        // "MasterCheck"

  // ---- Earlier QSOs with the worked station, multiplier, master-call check
  QGroupBox* Frame4;
  QTreeWidget* ListView1;
  QGroupBox* Frame5;  // "Multiplicador CAHF"
  QLabel* Label11;
  QGroupBox* Frame2;  // around the master-call check: "MasterCheck (" and the list's size ")"
  QTextEdit* MCheck;  // master calls that fit the typed call
  QListWidget* List1;
  QListWidget* List2;

  // ---- The contest's QSOs
  QGroupBox* Frame3;  // "Log ..."
  QTreeWidget* ListView2;

  // ---- CW panel
  QGroupBox* Frame1;  // "Macros CW"
  std::array<QLabel*, 7> macros{};
  QScrollBar* HScroll1;  // words per minute
  QLabel* LabelVel;      // "Vel 20 ppm"
  QComboBox* Combo3;     // CW keyer port
  QCheckBox* Check3;     // keyer line "DTR"
  QCheckBox* Check4;     // keyer line "RTS"
  QCheckBox* Check5;     // "0T-9N"
  QCheckBox* Check6;     // "Peso"
  QLabel* Label10;       // text being sent
  QLabel* Image1;        // the keyer's key indicator
  QLabel* Picture1;      // manual keyer
  std::unique_ptr<SerialLine> MSComm1;  // the keyer's port
  std::unique_ptr<AudioPlayer> MMControl1;  // the voice call

  // ---- Voice-call panel
  QFrame* sFondo;
  QFrame* sPorcentaje;
  QLabel* Label8;   // transmit indicator "Tx"
  QLabel* Label13;  // "Llamador CQ (F1)"

  // ---- Commands reached through the menu
  QPushButton* Command1;  // "Cabrillo"
  QPushButton* Command2;  // "ADIF"
  QPushButton* Command3;  // "Eliminar"
  QPushButton* Command4;  // "LogPPal"
  QMenuBar* menuBar;
  QAction* eca;
  QAction* ead;
  QAction* elo;
  QAction* tbp;
  QAction* amc;
  QAction* sdc;

  QTimer* Timer1;  // one-second UTC clock
  QTimer* Timer2;  // mode panel, once per activation
  QTimer* Timer3;  // blink of "QTR Manual"
  QTimer* Timer4;  // master-list age check, once per activation

  // The contest QSO list's columns, as the contest menu sets them.
  void SetContestListColumns();
  // The contest window shown for the contest named in Label2, modal to the program.
  void ShowForContest();

  void Form_Activate();
  // Enter logs the QSO on screen; KeyAscii is passed on unchanged.
  void Form_KeyPress(int& KeyAscii);
  // 0 when every entry box has a value, 1 after the message for the first empty one.
  int ValidateContestEntry();
  // The close of the window; sets cancel when it has to stay open.
  void Form_QueryUnload(bool& cancel);

  void Corresponsal_KeyPress(int& KeyAscii);
  void Text2_KeyPress(int& KeyAscii);
  void Fecha_KeyPress(int& KeyAscii);
  void Hora_KeyPress(int& KeyAscii);
  void RSE_KeyPress(int& KeyAscii);
  void RSR_KeyPress(int& KeyAscii);
  void Text1_KeyPress(int& KeyAscii);

  void Corresponsal_Change();
  void Text2_Change();
  void Corresponsal_LostFocus();
  void Text2_LostFocus();
  void Fecha_LostFocus();
  void Hora_LostFocus();
  void RSE_LostFocus();
  void RSR_LostFocus();
  void Text1_LostFocus();
  void mhz_Click();
  void Picture1_Click();
  void Check2_Click();  // manual time
  void Check3_Click();
  void Check4_Click();
  void Check6_Click();
  void Check7_Click();
  void Check8_Click();
  void Combo1_Click();
  void Combo2_Click();
  void Combo3_Click();

  // Keys seen by the window before its fields: VB key codes (F1 is 112), with the
  // modifiers held for that key.
  void Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift = Qt::NoModifier);
  void Form_KeyUp(int KeyCode);
  void macros_Click(int Index);
  void HScroll1_Change();
  void MMControl1_StatusUpdate(qint64 positionMs, qint64 durationMs);
  void MMControl1_Done();
  // The text a CW macro appends to the send buffer.
  QString ContestMacroText(int Index) const;
  // The master calls that fit a typed call, into MCheck, List1 and List2.
  void RunMasterCheck(const QString& call);
  // Appends text in a colour (&H00BBGGRR) at the end of MCheck; mode "ENTER" adds a
  // line break.
  void AppendMasterCheckText(quint32 color, const QString& text, const QString& mode);
  void AppendMasterCheckCall(quint32 color, const QString& text);
  void MCheck_DblClick();
  void Timer4_Timer();
  // F12: the contest record editor on the last logged QSO.
  void EditLastContestQso();

  CwKeyer& keyer() { return *keyer_; }

  // The keyer keys DTR when "DTR" is ticked, otherwise RTS.
  bool keyerUsesDtr() const;

  // CwKeyerPanel
  void showKeyIndicator(bool keyDown) override;
  void showSentText(const QString& text) override;
  void setPortControlsLocked(bool locked) override;
  void showLineFailure(const QString& error) override;
  void showTimingWarning(const QString& text) override;

  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();

  void ApplyContestDarkColors();
  void ApplyContestLightColors();

  void Command1_Click();  // Cabrillo export
  void Command2_Click();  // ADIF export of the contest
  void Command3_Click();  // deletion of the open contest
  void Command4_Click();  // transfer into the main log
  void amc_Click();       // master-list update
  void sdc_Click();       // leave the contest
  void ListView2_DblClick();  // the record editor on the chosen row
  // The open contest's rows read again into the list; row selectPosition (from 1)
  // is chosen when it is above 0.
  void ReloadContestList(int selectPosition);
  // Every fill of the list from the log goes here: the rows, the count and the
  // sent exchange kept in Label4 (which a "Fija" contest's activation copies).
  void ShowContestLog(const ContestLogLoad& log);

  // The contest's list rows, newest at the top.
  void AddContestListRow(const ContestListRow& row, bool atTop);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void gotFocus(QLineEdit* box, int focusCode);
  void focusBack(QLineEdit* box);
  void controlKeyPress(QObject* control, int& KeyAscii);
  void showDupeRows(const QList<ContestQso>& rows);
  bool askDupe(const QString& call);
  void saveWindowSettings();
  void arrangeModePanels();
  void showCwPanel(bool cw);
  bool keyEvent(QObject* watched, QKeyEvent* ke, bool press);
  void startVoiceCall();
  void voiceCallStarted();
  void stopVoiceCall();
  void endVoiceCallOnLeaving();
  // Push-to-talk was keyed by this window's voice call and not dropped since.
  bool pttKeyed_ = false;

  LayoutList Layout;
  // The window's width with and without the right-hand column ("MasterCheck"), in
  // twips at design size; the narrow one ends where that column begins.
  static constexpr int kWidthWithMasterCheck = 13260;
  static constexpr int kWidthWithoutMasterCheck = 11280;
  double layoutWidthFactor() const;
  // rescaled: the layout has just set the labels' fonts, which become their own size.
  void fitMacroCaptions(bool rescaled);
  LayoutList layoutToScale() const;
  // Since this window was last active, one of the program's own windows (not a
  // message box) was: coming back is an activation, whatever boxes came between.
  bool returnFromWindow_ = false;
  // The record editor has closed: the activation runs now when this window is
  // active again already, else as soon as it is.
  void backFromRecordEditor();
  // Hands the keyer the port and the line the boxes choose.
  void keyerLineChanged();
  // The keyer port chosen by the activation failed: its warning waits until the
  // activation is through, and the master-list question until it is answered.
  bool activating_ = false;
  QString pendingPortWarning_;
  bool portWarningOpen_ = false;
  void showPendingPortWarning();
  void warnKeyerPort(const QString& text);
  WebGet* masterAge_ = nullptr;  // the web list's date, for the age check
  void masterAgeArrived();
  std::unique_ptr<CwKeyer> keyer_;
  // The keyer runs without real time: said in the CW panel until the operator
  // dismisses it.
  QLabel* timingWarning_ = nullptr;
  QPushButton* timingWarningOk_ = nullptr;
};

inline Form4& form4() { return FormInstance<Form4>::get(); }

// Keyer ports (by device) whose failure to open the operator was told of this run:
// the contest window chooses its saved port again at every activation, and leaving
// the contest unloads the window.
QSet<QString>& KeyerPortErrorSeen();

// The serial the F2 macro sends: an "Incremental" serial with leading zeros, then
// with "0T-9N" every 0 as T and every 9 as N.
QString ContestMacroSerial(const QString& sent, const QString& serialType, bool cutNumbers);

// A sent serial followed by the next one of an "Incremental" contest: the text's
// numeric value plus 1 ("007" gives "8").
QString NextSerial(const QString& sent);

}  // namespace vz
