#pragma once
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <array>
#include <memory>

#include "mainwin/qsolist.h"
#include "mainwin/summarylabel.h"
#include "platform/audioplayer.h"
#include "platform/forms.h"
#include "mainwin/layoutscaler.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace vz {

enum class EntryBox;
class WebGet;

// The main window: the QSO entry strip, the station panel, the paged QSO list of
// the current log, the paging and voice-call strip, the menus and the timers.
// Other windows read and write its controls by name.
//
// The request channels (WebBrowser1, 2, 3, 5, Inet1) join the window together with
// the layer that carries them.
class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  Form1();
  ~Form1() override;

  // Design geometry in twips: the client area, and where the window sits on the
  // design screen.
  static constexpr int kClientWidth = 13410;
  static constexpr int kClientHeight = 9330;
  static constexpr int kDesignLeft = 3540;
  static constexpr int kDesignTop = 930;

  // ---- Entry strip -----------------------------------------------------------
  QGroupBox* Frame1 = nullptr;  // caption: the current log's name
  std::array<QLabel*, 12> Label1{};  // field captions, a control array
  QLineEdit* Corresponsal = nullptr;
  QPushButton* Command14 = nullptr;  // "L": look the call up in Ruk
  QPushButton* Command13 = nullptr;  // "Q": look the call up in QRZ (on the window, over the strip)
  QPushButton* Command7 = nullptr;   // "?": worked before
  QLineEdit* Fecha = nullptr;
  QLineEdit* Hora = nullptr;
  QLabel* Label11 = nullptr;  // local/UTC toggle
  QLineEdit* RSE = nullptr;
  QLineEdit* RSR = nullptr;
  QCheckBox* Check1 = nullptr;  // "QTR manual"
  QComboBox* Combo1 = nullptr;  // mode
  QComboBox* mhz = nullptr;
  QLineEdit* Text1 = nullptr;   // kHz
  QLabel* Label7 = nullptr;     // band
  QLineEdit* Text2 = nullptr;   // worked grid
  QLineEdit* Obs = nullptr;
  QCheckBox* Check2 = nullptr;  // "Vía Satélite"
  QPushButton* Command15 = nullptr;  // satellite passes
  QCheckBox* Check3 = nullptr;  // "No Borrar"
  QComboBox* Combo2 = nullptr;  // band list, hidden
  QPushButton* Command4 = nullptr;
  QGroupBox* Frame2 = nullptr;  // "Satélite" panel, hidden
  QComboBox* Combo3 = nullptr;
  QPushButton* Command1 = nullptr;  // "Editar"
  QLabel* Subida = nullptr;
  QLabel* Bajada = nullptr;
  QLabel* Modo = nullptr;
  QLabel* Subtono = nullptr;

  // ---- Station panel ---------------------------------------------------------
  QGroupBox* Frame5 = nullptr;
  QLabel* Image1 = nullptr;  // logo
  QLabel* Label2 = nullptr;  // station call
  QLabel* Label3 = nullptr;  // operator call
  QLabel* Label8 = nullptr;  // own grid locator
  QLabel* Image2 = nullptr;  // satellite picture, hidden
  QPushButton* Command9 = nullptr;
  QPushButton* Command10 = nullptr;
  QPushButton* Command12 = nullptr;
  QPushButton* Command16 = nullptr;

  // ---- Between the strip and the list ----------------------------------------
  QLabel* Label18 = nullptr;  // country or province of the typed call
  QLabel* Label9 = nullptr;   // "Cargando log ..."
  SummaryLabel* Label6 = nullptr;   // log summary
  QLabel* Label4 = nullptr;   // id of the last QSO inserted, hidden
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* Command2 = nullptr;  // "Ingresar QSO"
  QLabel* Label5 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command6 = nullptr;

  // ---- QSO list ----------------------------------------------------------------
  QGroupBox* Frame3 = nullptr;
  QTreeWidget* ListView2 = nullptr;
  QPlainTextEdit* Text4 = nullptr;  // call-book answers, hidden

  // ---- Paging and voice-call strip ---------------------------------------------
  QGroupBox* Frame4 = nullptr;
  QPushButton* anterior = nullptr;  // "Primera"
  QPushButton* menos = nullptr;     // "Anterior"
  QPushButton* mas = nullptr;       // "Siguiente"
  QPushButton* ultima = nullptr;    // "Ultima"
  std::array<QLabel*, 3> Label10{};
  QLabel* txt_pagina = nullptr;
  QLabel* txt_total = nullptr;
  QLineEdit* Text3 = nullptr;       // page to go to
  QPushButton* Command8 = nullptr;  // "Ir"
  QPushButton* Command11 = nullptr; // reload, hidden
  QLabel* Label12 = nullptr;        // "Llamador CQ (F1)"
  QFrame* sFondo = nullptr;
  QFrame* sPorcentaje = nullptr;
  QLabel* Label13 = nullptr;        // "Tx"

  // ---- Master-list merge panel, hidden -------------------------------------------
  QGroupBox* Frame6 = nullptr;
  QPushButton* Command17 = nullptr;
  QListWidget* List1 = nullptr;
  QListWidget* List2 = nullptr;
  QListWidget* List3 = nullptr;
  QListWidget* List4 = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* Label15 = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* Label17 = nullptr;

  // ---- Timers ------------------------------------------------------------------
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;
  QTimer* Timer4 = nullptr;
  QTimer* Timer5 = nullptr;
  QTimer* Timer6 = nullptr;
  QTimer* Timer7 = nullptr;
  QTimer* Timer8 = nullptr;
  QTimer* Timer9 = nullptr;
  QTimer* Timer10 = nullptr;

  // The request channel of the usage reports (created with the first one).
  WebGet* WebBrowser1 = nullptr;

  // ---- Request channels ----------------------------------------------------------
  // The call-book lookups' hidden browsers: the QRZ login (WebBrowser2) and the Ruk
  // lookup (WebBrowser5). Whoever handles the lookups' answers listens to them.
  WebGet* WebBrowser2 = nullptr;
  WebGet* WebBrowser5 = nullptr;
  // The QRZ lookup that follows a login, and the version check's transfer.
  WebGet* WebBrowser3 = nullptr;
  WebGet* Inet1 = nullptr;

  // ---- Menus -------------------------------------------------------------------
  QMenu* archivo = nullptr;
  QAction* ppeerr = nullptr;
  QAction* conf = nullptr;
  QAction* alog = nullptr;
  QAction* nuevo = nullptr;
  QAction* borralog = nullptr;
  QAction* aaa = nullptr;
  QAction* eadif = nullptr;
  QAction* ruk2 = nullptr;
  QMenu* lados = nullptr;
  QAction* suych = nullptr;
  QAction* ssub = nullptr;
  QAction* parg = nullptr;
  QAction* div2 = nullptr;
  QAction* iadif = nullptr;
  QAction* ttt = nullptr;
  QAction* cabro = nullptr;
  QAction* anacal = nullptr;
  QAction* div = nullptr;
  QMenu* hbdd = nullptr;
  QAction* badeda = nullptr;
  QAction* badif = nullptr;
  QAction* lll = nullptr;
  QAction* salir = nullptr;
  QMenu* ayuy = nullptr;
  QAction* Ayuda = nullptr;
  QAction* ac = nullptr;
  QAction* aaa888 = nullptr;
  QAction* acerca = nullptr;

  // The window's design layout, captured when it loads.
  LayoutList Layout;
  // The main list's heading sort.
  QsoListSort ListView2Sort;

  // ---- Window events -------------------------------------------------------------
  void Form_Load();
  void Form_Resize();
  // Key preview: these see every key of the window before the focused control.
  // Setting the key code (or character) to 0 drops the key; a changed character
  // reaches the control in place of the typed one.
  void Form_KeyDown(int& KeyCode, Qt::KeyboardModifiers Shift);
  void Form_KeyPress(int& KeyAscii);
  void Form_KeyUp(int& KeyCode, Qt::KeyboardModifiers Shift);
  // Every attempt to close the window; Cancel set to non-zero keeps it open.
  void Form_QueryUnload(int& Cancel, int UnloadMode);

  // ---- Paging and sorting of the QSO list -----------------------------------------
  void anterior_Click();
  void menos_Click();
  void mas_Click();
  void ultima_Click();
  void Command8_Click();
  void Text3_KeyPress(int& KeyAscii);
  void Command11_Click();
  void ListView2_ColumnClick(int headingPosition);

  // ---- Commands that other work fills ------------------------------------------------
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command9_Click();
  void Command10_Click();
  void Command12_Click();
  void Command13_Click();
  void Command14_Click();
  void Command15_Click();
  void Command17_Click();
  void Check1_Click();
  void Check2_Click();
  void Combo1_Click();
  void mhz_Click();
  void Combo3_Click();
  void Label11_Click();
  void Image1_DblClick();
  void ListView2_DblClick();
  // F5: the last QSO added to the log in the QSO edit dialog.
  void EditLastQso();

  void ppeerr_Click();
  void conf_Click();
  void alog_Click();
  void nuevo_Click();
  void borralog_Click();
  void eadif_Click();
  void suych_Click();
  void parg_Click();
  void iadif_Click();
  void cabro_Click();
  void anacal_Click();
  void badeda_Click();
  void badif_Click();
  void salir_Click();
  void Ayuda_Click();
  void ac_Click();
  void acerca_Click();

  // Call-book answers (their requests abandon a running one, so each handler sees
  // the page of the last request).
  void WebBrowser2_DocumentComplete();
  void WebBrowser3_DocumentComplete();
  void WebBrowser5_DocumentComplete();

  void Timer1_Timer();
  // The clock's UTC date and time into the boxes unless manual time keeps them; it
  // neither marks start-up over nor switches the boxes on or off.
  void showEntryClock();
  void Timer2_Timer();
  void Timer4_Timer();
  void Timer5_Timer();
  void Timer6_Timer();
  void Timer7_Timer();
  void Timer8_Timer();
  void Timer9_Timer();
  void Timer10_Timer();

  // The File menu's entries (submenus included), for switching them together.
  QList<QAction*> fileMenuActions() const;

  // ---- Entry strip boxes -----------------------------------------------------------
  void Corresponsal_GotFocus();
  void Fecha_GotFocus();
  void Hora_GotFocus();
  void RSE_GotFocus();
  void RSR_GotFocus();
  void Text1_GotFocus();
  void Text2_GotFocus();
  void Obs_GotFocus();
  void Corresponsal_KeyPress(int& KeyAscii);
  void Fecha_KeyPress(int& KeyAscii);
  void Hora_KeyPress(int& KeyAscii);
  void Text1_KeyPress(int& KeyAscii);
  void Text2_KeyPress(int& KeyAscii);
  void Corresponsal_Change();
  void Text1_Change();
  void Text2_Change();
  void Corresponsal_LostFocus();
  void Fecha_LostFocus();
  void Hora_LostFocus();
  void RSE_LostFocus();
  void RSR_LostFocus();
  void Text1_LostFocus();
  void Text2_LostFocus();
  void Obs_LostFocus();
  void Check3_Click();
  void Combo2_Click();
  // Puts the focus back into a box whose value was refused, once the focus change
  // under way is over; the box the focus passed through is not checked on leaving.
  void returnFocusTo(QWidget* box);
  // A leave check refused the box's value: the focus goes back to it and the save waits.
  void refuseLeaving(QLineEdit* box);
  // Runs the leave check and completion of an entry box.
  void leaveEntryBox(QWidget* box);
  // The band label for the MHz and kHz texts; a frequency outside the band is shown
  // (not while the program starts) and sends the focus to the kHz box.
  void SetEntryBandFromFrequency(const QString& mhzText, const QString& khzText);

  // ---- Voice call (F1, Esc) -----------------------------------------------------------
  // Plays the recorded call; made when the first call is started.
  std::unique_ptr<AudioPlayer> MMControl1;
  void MMControl1_StatusUpdate(qint64 positionMs, qint64 durationMs);
  void MMControl1_Done();
  // Fills the satellite selector and its panel's labels from satelites.txt.
  void fillSatelliteSelector();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildEntryStrip(QWidget* surface);
  void buildStationPanel(QWidget* surface);
  void buildStatusRow(QWidget* surface);
  void buildQsoList(QWidget* surface);
  void buildPagingStrip(QWidget* surface);
  void buildMergePanel(QWidget* surface);
  void buildTimers();
  void buildMenus();
  void buildTabOrder();
  void installKeyPreview();
  void connectLookupChannels();
  bool qrzLookupRunning() const;
  // Empties the list, loads the page at LogPageStart, focus back to the call.
  void reloadLogPage();
  void setPagingButtons(const PagingButtons& b);
  bool isMenuShortcut(const QKeyEvent* key) const;
  void controlKeyPress(QObject* control, int& KeyAscii);

  // Entry strip: focus handlers run for focus moves inside the window only.
  void buildEntryReactions();
  void entryFocusChanged(QWidget* old, QWidget* now);
  EntryBox entryBoxOf(const QObject* w) const;
  // The checks Enter makes; a refusal is shown and the focus goes to the box to mend.
  bool passesEntryCheck();
  void saveEntry();
  // The UTC offset setting in whole hours.
  int utcOffsetHours() const;
  AudioPlayer& voicePlayer();
  void startVoiceCall();
  void voiceCallStarted();
  void stopVoiceCall();

  bool replayingKey_ = false;
  QPointer<QWidget> entryFocus_;     // the box whose GotFocus ran last, until it is left
  QPointer<QWidget> refocusTarget_;  // a refused box the focus is on its way back to
  // The box whose value its leave check refused last, until it is left with a value
  // that passes: the save holds back meanwhile.
  QPointer<QLineEdit> refusedBox_;

  // Start-up: files that could not be written, told to the operator once.
  void noteStartupWriteFailure(const QString& error);
  void restoreEntryStrip();
  void tellStartupWriteFailures();
  QStringList startupWriteFailures_;
  // Exit: the countdown, then the memory files and the end, once.
  void exitAfterConfirmation(bool writeConfig);
  void letTheOffReportLeave();
  void finishExit();
  bool exitConfirmed_ = false;
  bool exitEnded_ = false;
  // Sends the usage report with "on" or "off" when a station call is set.
  bool sendUsageReport(const QString& command);
};

inline Form1& form1() { return FormInstance<Form1>::get(); }

// Shows a page of the current log (CurrentLogName; logName is not read) in the main
// list, from the newest-first position startRecord: the paging state and labels, the
// paging buttons, the rows and the summary. The caller empties the list first and,
// for a start other than 1, sets LogPageNumber to the page that begins there.
void LoadLogPage(const QString& logName, int startRecord);

// The satellite pass-prediction page the satellite panel opens.
QUrl SatellitePassPage();

// "0" disables the main window's File menu (its shortcuts included); anything else
// enables it.
void SetFileMenuEnabled(const QString& flag);

}  // namespace vz
