// The contest window's selectors, options, keyer port, keys, CW macros and voice call.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>

#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/keyerport.h"
#include "platform/audioplayer.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "setup/form2.h"
#include "mainwin/layoutscaler.h"
#include "store/programstate.h"
#include "store/ptt.h"

namespace vz {

namespace {

}  // namespace

QSet<QString>& KeyerPortErrorSeen() {
  static QSet<QString> seen;
  return seen;
}

QString ContestMacroSerial(const QString& sent, const QString& serialType, bool cutNumbers) {
  QString serial = sent;
  if (serialType == kSerialIncremental) serial = (vbVal(sent) < 10 ? QStringLiteral("00") : QStringLiteral("0")) + sent;
  if (cutNumbers) serial.replace(u'0', u'T').replace(u'9', u'N');
  return serial;
}

QString Form4::ContestMacroText(int Index) const {
  const QString own = Text2->text();
  const QString call = Corresponsal->text();
  switch (Index) {
    case 0: return QStringLiteral("CQ TEST ") + own + u' ' + own;
    case 1: {
      const QString serial = ContestMacroSerial(RSE->text(), Label3->text(), Check5->isChecked());
      return call + QStringLiteral(" 5NN ") + serial + QStringLiteral(" 5NN ") + serial;
    }
    case 2: return QStringLiteral("TU ");
    case 3: return own;
    case 4: return call;
    case 5: return QStringLiteral("AGN? ");
    case 6: return QStringLiteral("NR? ");
    default: return {};
  }
}

// ---- Mode and band -----------------------------------------------------------------------

void Form4::Combo1_Click() {
  if (state().ContestFormBusy) return;
  showCwPanel(Combo1->currentText() == QLatin1String("CW"));
  Corresponsal->setFocus();
  Label7->hide();
  const auto dupes = CheckContestDupe(Label2->text(), Corresponsal->text(), Combo1->currentText(),
                                      Combo2->currentText());
  if (dupes.ok()) {
    // The panel of earlier QSOs stays as it is; only its rows follow the new mode.
    const bool shown = !Frame4->isHidden();
    showDupeRows(dupes.value);
    Frame4->setVisible(shown || !dupes.value.isEmpty());
    if (!dupes.value.isEmpty()) Label7->show();
  }
  if (Label3->text() == kSerialIncremental && vbVal(RSE->text()) != 1) {
    const MsgAnswer a = msgBox(QStringLiteral("Serie Incremental y cambia de modo ...\r\nComienza por serie 1?"),
                               MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes);
    if (a == MsgAnswer::Yes) RSE->setText(QStringLiteral("1"));
  }
}

void Form4::Combo2_Click() {
  if (state().ContestFormBusy) return;
  if (Label3->text() == kSerialFija) return;
  Corresponsal->setFocus();
  Label7->hide();
  const auto last = GetLastSentSerial(Label2->text(), Combo1->currentText(), Combo2->currentText());
  if (!last.ok()) {
    // The serial on screen is kept rather than restarted from a guess.
    showError(last.error());
    return;
  }
  RSE->setText(last.value ? NextSerial(*last.value) : QStringLiteral("1"));
}

// ---- Options and keyer port ----------------------------------------------------------------

void Form4::Check3_Click() {
  if (Check3->isChecked()) Check4->setChecked(false);
  keyerLineChanged();
  Corresponsal->setFocus();
}

void Form4::Check4_Click() {
  if (Check4->isChecked()) Check3->setChecked(false);
  keyerLineChanged();
  Corresponsal->setFocus();
}

void Form4::Check6_Click() { Corresponsal->setFocus(); }

void Form4::Check8_Click() {
  // The window keeps its scale (13260 and 11280 twips at design size): only the
  // right-hand column is cut off or shown again.
  const double designTwips = Layout.isEmpty() ? kWidthWithMasterCheck : Layout.first().Width;
  const double before = Check8->isChecked() ? double(kWidthWithoutMasterCheck) / kWidthWithMasterCheck : 1.0;
  const double scaleX = width() * double(kTwipsPerPixel) / (designTwips * before);
  resize(int(std::lround(scaleX * designTwips * layoutWidthFactor() / kTwipsPerPixel)), height());
  Corresponsal->setFocus();
}

void Form4::Combo3_Click() {
  if (state().StartupInProgress) return;
  // The port never changes in the middle of a send: its controls are locked, and the
  // window's activation (coming back from another window) leaves it as it is.
  if (keyer_->sending()) {
    Corresponsal->setFocus();
    return;
  }
  // "COM3" is the third port the system lists.
  const QString choice = Combo3->currentData().toString();
  const QString device = KeyerPortDevice(choice, serialSystem().portNames());
  // Both lines go down while the old port is still open, then it closes.
  keyer_->setKeyLine(nullptr, SerialSignal::Dtr);
  if (MSComm1->isOpen()) MSComm1->close();
  const Status opened = !device.isEmpty() ? MSComm1->open(device)
                                          : Status::failure(QStringLiteral("El puerto no existe en este equipo"));
  // A port whose lines could not be dropped is no key either: it is closed again.
  if (!opened.ok) MSComm1->close();
  keyerLineChanged();
  // Told once per program run and port: the window's activation chooses the saved
  // port again each time, and the operator knows already.
  if (!opened.ok && !KeyerPortErrorSeen().contains(device.isEmpty() ? choice : device)) {
    KeyerPortErrorSeen().insert(device.isEmpty() ? choice : device);
    const QString warning = Combo3->currentText() + QStringLiteral("\r\n") + opened.error;
    warnKeyerPort(warning);
  }
  Corresponsal->setFocus();
}

void Form4::keyerLineChanged() {
  keyer_->setKeyLine(MSComm1->isOpen() ? MSComm1.get() : nullptr,
                     keyerUsesDtr() ? SerialSignal::Dtr : SerialSignal::Rts);
}

bool Form4::keyerUsesDtr() const { return Check3->isChecked(); }
void Form4::showKeyIndicator(bool keyDown) { Image1->setVisible(keyDown); }
void Form4::showSentText(const QString& text) { Label10->setText(text); }
// The keyer-port controls stay switched off while the keyer sends a text.
void Form4::setPortControlsLocked(bool locked) {
  for (QWidget* w : std::initializer_list<QWidget*>{Combo3, Check3, Check4}) w->setEnabled(!locked);
}
void Form4::showLineFailure(const QString& error) {
  showWarning(Combo3->currentText() + QStringLiteral("\r\n") + error);
}
void Form4::showTimingWarning(const QString& text) {
  timingWarning_->setText(text);
  timingWarning_->show();
  timingWarningOk_->show();
}

// ---- Keys ---------------------------------------------------------------------------------

void Form4::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) {
  if (KeyCode == 119) {  // F8
    ListView2->hide();
    ListView2->show();
    return;
  }
  if (KeyCode == 17) {
    state().CtrlDown = true;
    return;
  }
  // Ctrl is read from the key itself: a Ctrl released while a dialog or another
  // window had the keys must not turn a plain letter here into a command.
  const bool ctrl = Shift.testFlag(Qt::ControlModifier);
  state().CtrlDown = ctrl;
  if (KeyCode == 123) {  // F12
    EditLastContestQso();
    return;
  }
  if (KeyCode == 39) {
    if (HScroll1->value() < 40) HScroll1->setValue(HScroll1->value() + 1);
    return;
  }
  if (KeyCode == 37) {
    if (HScroll1->value() > 10) HScroll1->setValue(HScroll1->value() - 1);
    return;
  }
  if (KeyCode == 87 && ctrl) {
    Corresponsal->clear();
    Corresponsal->setFocus();
  }
  if (KeyCode == 70 && ctrl) Check7->setChecked(!Check7->isChecked());
  if (KeyCode == 40 && Frame1->isVisible()) keyer_->CwKeyDown();
  if (KeyCode == 27 && !Frame4->isHidden()) {
    Frame4->hide();
    Label7->hide();
  }
  if (KeyCode == 27) {
    keyer_->RequestStop();
    stopVoiceCall();
    sPorcentaje->resize(1, sPorcentaje->height());  // 15 twips
  }
  for (int i = 0; i < 7; ++i)
    if (KeyCode == 112 + i && Label13->isHidden()) macros_Click(i);
  if (KeyCode == 112 && !Label13->isHidden()) startVoiceCall();
}

void Form4::Form_KeyUp(int KeyCode) {
  if (KeyCode == 17) state().CtrlDown = false;
  if (KeyCode == 40 && Frame1->isVisible()) keyer_->CwKeyUp();
}

// The text goes to the keyer's thread, which sends it after what waits; the window
// goes on at once.
void Form4::macros_Click(int Index) { keyer_->SendCwBuffer(ContestMacroText(Index)); }

void Form4::HScroll1_Change() {
  const int wpm = HScroll1->value();
  LabelVel->setText(QStringLiteral("Vel ") + QString::number(wpm) + QStringLiteral(" ppm"));
  if (wpm >= 10 && wpm <= 40) keyer_->setSpeedOffset(CwSpeedOffsetForWpm(wpm));
  Corresponsal->setFocus();
}

void Form4::EditLastContestQso() {
  QPointer<Form4> self(this);
  const bool opened = vz::EditLastContestQso(Label2->text(), Label3->text());
  if (self && opened) backFromRecordEditor();
}

// ---- Voice call -----------------------------------------------------------------------------

void Form4::startVoiceCall() {
  if (!MMControl1) {
    MMControl1 = createAudioPlayer();
    connect(MMControl1.get(), &AudioPlayer::started, this, &Form4::voiceCallStarted);
    connect(MMControl1.get(), &AudioPlayer::progress, this, &Form4::MMControl1_StatusUpdate);
    connect(MMControl1.get(), &AudioPlayer::finished, this, &Form4::MMControl1_Done);
    connect(MMControl1.get(), &AudioPlayer::failed, this, [this] { stopVoiceCall(); });
  }
  MMControl1->stop();
  // A file that is missing or empty has nothing to play: the transmitter stays off.
  const QString path = form2().Label6->text();
  const QFileInfo file(path);
  if (path.isEmpty() || !file.isFile() || file.size() == 0) return;
  MMControl1->play(path);
}

// The transmitter goes on only once the player has the file open with a length: a
// file it cannot open keys nothing.
void Form4::voiceCallStarted() {
  if (!MMControl1 || !MMControl1->isPlaying()) return;
  pttKeyed_ = true;
  SetPttOn(form2().pttLine());
}

void Form4::MMControl1_StatusUpdate(qint64 positionMs, qint64 durationMs) {
  if (durationMs <= 0) return;
  const qint64 width = qBound(qint64(0), sFondo->width() * positionMs / durationMs, qint64(sFondo->width()));
  sPorcentaje->resize(int(width), sPorcentaje->height());
}

void Form4::MMControl1_Done() {
  pttKeyed_ = false;
  SetPttOff(form2().pttLine());
}

void Form4::stopVoiceCall() {
  pttKeyed_ = false;
  SetPttOff(form2().pttLine());
  if (MMControl1) MMControl1->stop();
}

// The window is going (hidden or unloaded): the call ends and push-to-talk drops,
// without loading any window to show it.
void Form4::endVoiceCallOnLeaving() {
  if (MMControl1) MMControl1->stop();
  if (!pttKeyed_) return;
  pttKeyed_ = false;
  // Without the settings loaded there is no port to drop, only the indicators.
  SetPttOff(FormInstance<Form2>::loaded() ? form2().pttLine() : QString());
}

}  // namespace vz
