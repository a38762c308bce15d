// The main window's keyboard: the key dispatcher, the Enter walk through the entry
// strip, the save command and the voice call.
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "mainwin/entryrules.h"
#include "mainwin/form1.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "setup/form2.h"
#include "store/logstore.h"
#include "store/memoryfiles.h"
#include "store/programstate.h"
#include "store/ptt.h"
#include "store/validation.h"

namespace vz {

void Form1::Form_KeyDown(int& KeyCode, Qt::KeyboardModifiers Shift) {
  ProgramState& st = state();
  if (KeyCode == Qt::Key_Control) {
    st.CtrlDown = true;
    return;
  }
  // Ctrl is read from the key itself: a Ctrl released in another window must not
  // turn a plain letter here into a command. The flag follows for the contest window.
  const bool ctrl = Shift.testFlag(Qt::ControlModifier);
  st.CtrlDown = ctrl;
  const bool callForLookup = ctrl && Corresponsal->text().size() > 3;

  switch (KeyCode) {
    case Qt::Key_L:
      if (callForLookup) Command14_Click();
      break;
    case Qt::Key_Q:
      if (callForLookup) Command13_Click();
      break;
    case Qt::Key_X:
      if (callForLookup) Command7_Click();
      break;
    case Qt::Key_W:
      if (ctrl) {
        Corresponsal->clear();
        Text2->clear();
        Corresponsal->setFocus();
      }
      break;
    case Qt::Key_Escape:
      stopVoiceCall();
      break;
    case Qt::Key_F1:
      startVoiceCall();
      break;
    case Qt::Key_PageDown:
      if (mas->isEnabled()) mas_Click();
      break;
    case Qt::Key_PageUp:
      if (menos->isEnabled()) menos_Click();
      break;
    case Qt::Key_Home:
      if (anterior->isEnabled()) anterior_Click();
      break;
    case Qt::Key_End:
      if (ultima->isEnabled()) ultima_Click();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      if (!passesEntryCheck()) break;
      const EnterStep next = NextOnEnter(st.FocusedEntryField, Check1->isChecked(), Check2->isChecked());
      switch (next) {
        case EnterStep::Fecha: Fecha->setFocus(); break;
        case EnterStep::Hora: Hora->setFocus(); break;
        case EnterStep::RSE: RSE->setFocus(); break;
        case EnterStep::RSR: RSR->setFocus(); break;
        case EnterStep::Text1: Text1->setFocus(); break;
        case EnterStep::Text2: Text2->setFocus(); break;
        case EnterStep::Obs: Obs->setFocus(); break;
        case EnterStep::Save: Command2_Click(); break;
      }
      break;
    }
    case Qt::Key_F5:
      EditLastQso();
      break;
    default:
      break;
  }
}

void Form1::Form_KeyUp(int& KeyCode, Qt::KeyboardModifiers) {
  if (KeyCode == Qt::Key_Control) state().CtrlDown = false;
}

bool Form1::passesEntryCheck() {
  LogEntryValues entry;
  entry.call = Corresponsal->text();
  entry.mode = Combo1->currentText();
  entry.receivedReport = RSR->text();
  entry.sentReport = RSE->text();
  entry.satelliteMode = Check2->isChecked();
  entry.satellite = Combo3->currentText();
  entry.stationCall = Label2->text();
  entry.operatorCall = Label3->text();
  const EntryCheck check = CheckLogEntryOnEnter(entry);
  if (check.passed()) return true;
  msgBox(check.message, check.icon);
  switch (check.focus) {
    case EntryField::Call: Corresponsal->setFocus(); break;
    case EntryField::ReceivedReport: RSR->setFocus(); break;
    case EntryField::SentReport: RSE->setFocus(); break;
    case EntryField::Satellite: Combo3->setFocus(); break;
    case EntryField::None: break;
  }
  return false;
}

// "Ingresar QSO": the same checks as Enter, then the save.
void Form1::Command2_Click() {
  // A value its box's leave check refused is not stored. Refused just now (clicking
  // the button left the box), it has been said; refused earlier, the check runs
  // again and says it again, or lets a value changed since pass. A disabled box
  // holds the clock's time.
  if (refusedBox_ && refusedBox_->isEnabled() && refocusTarget_ != refusedBox_) leaveEntryBox(refusedBox_);
  if (refusedBox_ && refusedBox_->isEnabled()) return;
  if (!passesEntryCheck()) return;
  saveEntry();
}

void Form1::saveEntry() {
  const QString call = Corresponsal->text();
  const QString band = Label7->text();
  QString mode = Combo1->currentText();
  const QString reportSent = RSE->text();
  const QString reportReceived = RSR->text();
  const QString date = Fecha->text();
  const QString time = Hora->text();
  const QString stationCall = Label2->text();
  const QString operatorCall = Label3->text();
  const QString remarks = Obs->text();
  const QString frequency = mhz->currentText() + u'.' + Text1->text();
  const QString workedGrid = Text2->text();
  const QString ownGrid = Label8->text();

  // A date or time that does not read as one would be stored as nonsense.
  if (IsInvalidDate(date)) {
    msgBox(DateRefusedMessage(date), MsgIcon::Exclamation);
    Fecha->setFocus();
    return;
  }
  if (IsInvalidTime(time)) {
    msgBox(TimeRefusedMessage(time), MsgIcon::Exclamation);
    Hora->setFocus();
    return;
  }

  QString satellite;
  if (!Frame2->isHidden()) {
    satellite = Combo3->currentText();
    mode = Modo->text().remove(QStringLiteral("Modo: "));
  }

  EntryStripValues strip;
  strip.mhz = mhz->currentText();
  strip.khz = Text1->text();
  strip.band = band;
  strip.manualTime = Check1->isChecked();
  strip.mode = Combo1->currentText();
  strip.satellite = Check2->isChecked();
  // Only remembers the strip for the next start: not worth holding the QSO back.
  (void)WriteMemIni(strip);

  // The boxes hold local time when the toggle is shown and says so; otherwise
  // they hold UTC already (the clock writes UTC while manual time is off).
  const bool localShown = !Label11->isHidden() && Label11->text() == u"LU";
  const StoredQsoTime stored = QsoTimeForSave(date, time, localShown ? utcOffsetHours() : 0);

  const Status saved = InsertLogQso(call, band, mode, reportSent, reportReceived, stored.date, stored.time,
                                    stationCall, operatorCall, remarks, frequency, ownGrid, workedGrid, satellite);
  if (!saved) {
    // Everything typed stays in place for another try.
    showError(QStringLiteral("No se pudo guardar el QSO con ") + call + QStringLiteral("! ") + nothingStoredText() +
              QStringLiteral(" Lo escrito queda en su lugar para intentarlo otra vez.\r\n\r\n") + saved.error);
    return;
  }
  Corresponsal->clear();
  if (!Check3->isChecked()) Obs->clear();
  Text2->clear();
  ListView2->clear();
  LoadLogPage(state().CurrentLogName, 1);
  Corresponsal->setFocus();
}

// ---- Voice call ----------------------------------------------------------------------

AudioPlayer& Form1::voicePlayer() {
  if (!MMControl1) {
    MMControl1 = createAudioPlayer();
    connect(MMControl1.get(), &AudioPlayer::started, this, &Form1::voiceCallStarted);
    connect(MMControl1.get(), &AudioPlayer::progress, this, &Form1::MMControl1_StatusUpdate);
    connect(MMControl1.get(), &AudioPlayer::finished, this, &Form1::MMControl1_Done);
    connect(MMControl1.get(), &AudioPlayer::failed, this, [this](const QString& error) {
      stopVoiceCall();
      msgBox(form2().Label6->text() + QStringLiteral("\r\n") + error, MsgIcon::Exclamation);
    });
  }
  return *MMControl1;
}

void Form1::startVoiceCall() {
  AudioPlayer& player = voicePlayer();
  player.stop();
  // A file that is missing or empty has nothing to play: the transmitter stays off.
  const QString path = form2().Label6->text();
  const QFileInfo file(path);
  if (path.isEmpty() || !file.isFile() || file.size() == 0) return;
  player.play(path);
}

// The transmitter goes on only once the player has the file open with a length: a
// file it cannot open keys nothing.
void Form1::voiceCallStarted() {
  if (!MMControl1 || !MMControl1->isPlaying()) return;
  SetPttOn(form2().pttLine());
}

void Form1::MMControl1_StatusUpdate(qint64 positionMs, qint64 durationMs) {
  if (durationMs <= 0) return;
  const qint64 width = qBound(qint64(0), sFondo->width() * positionMs / durationMs, qint64(sFondo->width()));
  sPorcentaje->resize(int(width), sPorcentaje->height());
}

// The end of the recording ends the call as Esc does: the transmitter never stays
// keyed after the last word.
void Form1::MMControl1_Done() { stopVoiceCall(); }

void Form1::stopVoiceCall() {
  SetPttOff(form2().pttLine());
  if (MMControl1) MMControl1->stop();
  // The bar goes back to its start: one design pixel, at the window's scale.
  int designTwips = 0;
  for (const ControlLayout& c : Layout)
    if (c.Name == u"sFondo") designTwips = c.Width;
  const int start = designTwips > 0 ? std::max(1, int(std::lround(15.0 * sFondo->width() / designTwips))) : 1;
  sPorcentaje->resize(start, sPorcentaje->height());
}

}  // namespace vz
