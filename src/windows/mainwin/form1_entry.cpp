// The main window's entry strip: each box's key filter, focus colour and
// selection, what it checks or completes while typed and when left, and the
// selectors' reactions.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "mainwin/entryrules.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/cp1252box.h"
#include "platform/dialogs.h"
#include "setup/form2.h"
#include "store/callsign.h"
#include "store/logstore.h"
#include "store/memoryfiles.h"
#include "store/programstate.h"
#include "store/validation.h"

namespace vz {

namespace {

const QColor kFocusedBox(192, 192, 255);
const QColor kBox(255, 255, 255);

void paintBox(QLineEdit* box, const QColor& c) {
  QPalette p = box->palette();
  p.setColor(QPalette::Base, c);
  box->setPalette(p);
}

// A selection of part of the text, as far as the text reaches.
void selectPart(QLineEdit* box, int start, int length) {
  const int size = int(box->text().size());
  start = std::min(start, size);
  box->setSelection(start, std::min(length, size - start));
}

bool isCw(const QString& mode) { return mode == u"CW" || mode == u"Sat CW"; }

}  // namespace

void Form1::buildEntryReactions() {
  connect(qApp, &QApplication::focusChanged, this, &Form1::entryFocusChanged);
  connect(Corresponsal, &QLineEdit::textChanged, this, &Form1::Corresponsal_Change);
  connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
  connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
  connect(Check3, &QCheckBox::toggled, this, &Form1::Check3_Click);
  connect(Combo2, &QComboBox::currentIndexChanged, this, &Form1::Combo2_Click);
  // Each filtered box takes what the operator puts in (typed, pasted, dropped)
  // through its key filter: upper-cased, the rest dropped.
  const std::pair<QLineEdit*, EntryBox> filtered[] = {{Corresponsal, EntryBox::Corresponsal},
                                                     {Fecha, EntryBox::Fecha},
                                                     {Hora, EntryBox::Hora},
                                                     {Text1, EntryBox::Text1},
                                                     {Text2, EntryBox::Text2}};
  for (const auto& [box, which] : filtered) {
    applyKeyRule(box, [which = which](QChar c) {
      const QString kept = FilterEntryText(which, QString(c));
      return kept.isEmpty() ? QChar() : kept[0];
    });
  }
  applyKeyRule(Text3, asciiKeyRule(false, true, ""));  // the page number
  applyShapeRule(Text2, GridLastCharacterFits);
}

EntryBox Form1::entryBoxOf(const QObject* w) const {
  const std::pair<const QObject*, EntryBox> boxes[] = {
      {Corresponsal, EntryBox::Corresponsal}, {Fecha, EntryBox::Fecha}, {Hora, EntryBox::Hora},
      {RSE, EntryBox::RSE},                   {RSR, EntryBox::RSR},     {Text1, EntryBox::Text1},
      {Text2, EntryBox::Text2},               {Obs, EntryBox::Obs},
  };
  for (const auto& [box, which] : boxes)
    if (w && box == w) return which;
  return EntryBox::None;
}

// ---- Focus ------------------------------------------------------------------------

void Form1::entryFocusChanged(QWidget* old, QWidget* now) {
  Q_UNUSED(old);
  // A message box or another window taking the focus is no leaving, and the focus
  // coming back from one is no arriving.
  if (!now || now->window() != this) return;
  QWidget* left = entryFocus_;
  if (now == left) return;
  entryFocus_ = entryBoxOf(now) != EntryBox::None ? now : nullptr;
  const bool returning = refocusTarget_ && now == refocusTarget_;
  if (returning) refocusTarget_ = nullptr;

  if (left) {
    if (returning) {
      paintBox(static_cast<QLineEdit*>(left), kBox);
    } else {
      leaveEntryBox(left);
    }
  }
  // The leave check may have sent the focus on already.
  if (!entryFocus_ || entryFocus_ != now || QApplication::focusWidget() != now) return;
  switch (entryBoxOf(now)) {
    case EntryBox::Corresponsal: Corresponsal_GotFocus(); break;
    case EntryBox::Fecha: Fecha_GotFocus(); break;
    case EntryBox::Hora: Hora_GotFocus(); break;
    case EntryBox::RSE: RSE_GotFocus(); break;
    case EntryBox::RSR: RSR_GotFocus(); break;
    case EntryBox::Text1: Text1_GotFocus(); break;
    case EntryBox::Text2: Text2_GotFocus(); break;
    case EntryBox::Obs: Obs_GotFocus(); break;
    case EntryBox::None: break;
  }
}

void Form1::leaveEntryBox(QWidget* box) {
  if (refusedBox_ == box) refusedBox_ = nullptr;
  switch (entryBoxOf(box)) {
    case EntryBox::Corresponsal: Corresponsal_LostFocus(); break;
    case EntryBox::Fecha: Fecha_LostFocus(); break;
    case EntryBox::Hora: Hora_LostFocus(); break;
    case EntryBox::RSE: RSE_LostFocus(); break;
    case EntryBox::RSR: RSR_LostFocus(); break;
    case EntryBox::Text1: Text1_LostFocus(); break;
    case EntryBox::Text2: Text2_LostFocus(); break;
    case EntryBox::Obs: Obs_LostFocus(); break;
    case EntryBox::None: break;
  }
}

void Form1::refuseLeaving(QLineEdit* box) {
  refusedBox_ = box;
  returnFocusTo(box);
}

void Form1::returnFocusTo(QWidget* box) {
  refocusTarget_ = box;
  QTimer::singleShot(0, this, [this, target = QPointer<QWidget>(box)] {
    if (target) target->setFocus();
    // In an active window the arrival has been seen by now, and a box that kept the
    // focus, or one disabled meanwhile, has none to see. A window not active again
    // yet (a message box just closed) sees it when it is activated.
    if (!target || !target->isEnabled() || isActiveWindow()) refocusTarget_ = nullptr;
  });
}

void Form1::Corresponsal_GotFocus() {
  state().FocusedEntryField = int(EntryBox::Corresponsal);
  paintBox(Corresponsal, kFocusedBox);
}

void Form1::Fecha_GotFocus() {
  state().FocusedEntryField = int(EntryBox::Fecha);
  paintBox(Fecha, kFocusedBox);
  selectPart(Fecha, 0, 2);  // the day
}

void Form1::Hora_GotFocus() {
  state().FocusedEntryField = int(EntryBox::Hora);
  paintBox(Hora, kFocusedBox);
  selectPart(Hora, 3, 2);  // the minutes
}

void Form1::RSE_GotFocus() {
  state().FocusedEntryField = int(EntryBox::RSE);
  paintBox(RSE, kFocusedBox);
  RSE->selectAll();
}

void Form1::RSR_GotFocus() {
  state().FocusedEntryField = int(EntryBox::RSR);
  paintBox(RSR, kFocusedBox);
  RSR->selectAll();
}

void Form1::Text1_GotFocus() {
  state().FocusedEntryField = int(EntryBox::Text1);
  paintBox(Text1, kFocusedBox);
  Text1->selectAll();
}

void Form1::Text2_GotFocus() {
  state().FocusedEntryField = int(EntryBox::Text2);
  paintBox(Text2, kFocusedBox);
}

void Form1::Obs_GotFocus() {
  state().FocusedEntryField = int(EntryBox::Obs);
  paintBox(Obs, kFocusedBox);
}

// ---- Keys -----------------------------------------------------------------------

void Form1::controlKeyPress(QObject* control, int& KeyAscii) {
  if (control == Text3) Text3_KeyPress(KeyAscii);
  else if (control == Corresponsal) Corresponsal_KeyPress(KeyAscii);
  else if (control == Fecha) Fecha_KeyPress(KeyAscii);
  else if (control == Hora) Hora_KeyPress(KeyAscii);
  else if (control == Text1) Text1_KeyPress(KeyAscii);
  else if (control == Text2) Text2_KeyPress(KeyAscii);
}

void Form1::Corresponsal_KeyPress(int& KeyAscii) { KeyAscii = FilterEntryKey(EntryBox::Corresponsal, KeyAscii); }
void Form1::Fecha_KeyPress(int& KeyAscii) { KeyAscii = FilterEntryKey(EntryBox::Fecha, KeyAscii); }
void Form1::Hora_KeyPress(int& KeyAscii) { KeyAscii = FilterEntryKey(EntryBox::Hora, KeyAscii); }
void Form1::Text1_KeyPress(int& KeyAscii) { KeyAscii = FilterEntryKey(EntryBox::Text1, KeyAscii); }
void Form1::Text2_KeyPress(int& KeyAscii) { KeyAscii = FilterEntryKey(EntryBox::Text2, KeyAscii); }

// ---- While typing ------------------------------------------------------------------

void Form1::Corresponsal_Change() {
  const QString call = Corresponsal->text();
  const bool any = !call.isEmpty();
  Command7->setEnabled(any);
  Command13->setEnabled(any);
  Command14->setEnabled(any);
  if (!any) {
    Label18->clear();
    return;
  }
  // One or two characters name no country yet: the label keeps what it showed.
  if (call.size() <= 2) return;
  QString prefix = call;
  const QString country = LookupCountryOrProvince(prefix);
  Label18->setText(country.isEmpty() ? QStringLiteral("Argentina") : country);
}

void Form1::Text1_Change() {
  if (Text1->text().size() == 3 && state().MainFormReady) Obs->setFocus();
}

void Form1::Text2_Change() {
  const QString grid = Text2->text();
  if (GridLastCharacterFits(grid)) return;
  // Setting the shorter text runs this again, so a proposal with several misfits
  // at its end loses them all.
  Text2->setText(grid.left(grid.size() - 1));
  Text2->setCursorPosition(int(Text2->text().size()));
}

// ---- Leaving ------------------------------------------------------------------------

void Form1::Corresponsal_LostFocus() {
  const QString call = Corresponsal->text();
  if (!call.isEmpty()) {
    if (!LooksLikeCallSign(call)) {
      msgBox(NotACallSignMessage(call), MsgIcon::Exclamation);
      refuseLeaving(Corresponsal);
    } else if (!call.contains(u'/') && Text2->text().isEmpty()) {
      const Result<QString> grid = FindGridForCall(call);
      // Only a convenience: a box here would stop the Enter walk before the save,
      // which itself says whether the QSO was stored.
      if (grid.ok()) Text2->setText(grid.value);
    }
  }
  paintBox(Corresponsal, kBox);
}

void Form1::Fecha_LostFocus() {
  const LeaveCheck c = CheckEntryDate(Fecha->text());
  if (c.text != Fecha->text()) Fecha->setText(c.text);
  if (c.refused()) {
    msgBox(c.message, MsgIcon::Exclamation);
    refuseLeaving(Fecha);
  }
  paintBox(Fecha, kBox);
}

void Form1::Hora_LostFocus() {
  const LeaveCheck c = CheckEntryTime(Hora->text());
  if (c.text != Hora->text()) Hora->setText(c.text);
  if (c.refused()) {
    msgBox(c.message, MsgIcon::Exclamation);
    refuseLeaving(Hora);
  }
  paintBox(Hora, kBox);
}

namespace {
// Both report boxes: a refused report becomes "59", whatever the mode.
void leaveReport(Form1& f, QLineEdit* box) {
  const QString report = box->text();
  if (IsInvalidEntryReport(report, f.Combo1->currentText())) {
    msgBox(ReportRefusedMessage(report), MsgIcon::Exclamation);
    box->setText(QStringLiteral("59"));
    f.returnFocusTo(box);
  }
  paintBox(box, kBox);
}
}  // namespace

void Form1::RSE_LostFocus() { leaveReport(*this, RSE); }
void Form1::RSR_LostFocus() { leaveReport(*this, RSR); }

void Form1::Text1_LostFocus() {
  const QString completed = CompleteKhz(Text1->text());
  // The completed text is typed text as far as the jump to the remarks goes.
  if (completed != Text1->text()) Text1->setText(completed);
  SetEntryBandFromFrequency(mhz->currentText(), Text1->text());
  paintBox(Text1, kBox);
}

void Form1::Text2_LostFocus() {
  if (!IsAcceptedGridLength(Text2->text())) {
    msgBox(QStringLiteral("Grilla incorrecta!"), MsgIcon::Exclamation);
    refuseLeaving(Text2);
  }
  paintBox(Text2, kBox);
}

void Form1::Obs_LostFocus() { paintBox(Obs, kBox); }

// ---- Selectors and check boxes ----------------------------------------------------------

// A member, not a free procedure: the start-up sets the MHz selector while the
// window is still being made, before form1() can hand it out.
void Form1::SetEntryBandFromFrequency(const QString& mhzText, const QString& khzText) {
  const BandChoice choice = BandFromSelectors(mhzText, khzText);
  if (!choice.warning.isEmpty() && !state().StartupInProgress) {
    msgBox(choice.warning, MsgIcon::Exclamation);
    returnFocusTo(Text1);
  }
  Label7->setText(choice.band);
}

void Form1::mhz_Click() {
  if (!Text1->text().isEmpty()) SetEntryBandFromFrequency(mhz->currentText(), Text1->text());
  Corresponsal->setFocus();
}

void Form1::Combo1_Click() {
  const QString report = isCw(Combo1->currentText()) ? QStringLiteral("599") : QStringLiteral("59");
  RSE->setText(report);
  RSR->setText(report);
  Corresponsal->setFocus();
}

void Form1::Combo2_Click() { Corresponsal->setFocus(); }

// ---- Manual time and the local/UTC toggle ----------------------------------------------

int Form1::utcOffsetHours() const { return UtcOffsetHours(form2().Text3->text()); }

void Form1::Check1_Click() {
  if (Check1->isChecked()) {
    Label11->setVisible(true);
    const EntryClock now = EntryClockText(clock().now(), Label11->text() == u"UTC" ? utcOffsetHours() : 0);
    Fecha->setText(now.date);
    Hora->setText(now.time);
  } else {
    // The clock writes UTC into the boxes from its next tick on.
    Label11->setVisible(false);
  }
  if (!state().MainFormReady) return;
  Corresponsal->setFocus();
  EntryStripValues strip;
  strip.mhz = mhz->currentText();
  strip.khz = Text1->text();
  strip.band = Label7->text();
  strip.manualTime = Check1->isChecked();
  // Only remembered for the next start; a file that cannot be written changes nothing now.
  (void)WriteMemIni(strip);
}

void Form1::Label11_Click() {
  const bool utc = Label11->text() != u"UTC";
  Label11->setText(utc ? QStringLiteral("UTC") : QStringLiteral("LU"));
  const EntryClock now = EntryClockText(clock().now(), utc ? utcOffsetHours() : 0);
  Fecha->setText(now.date);
  Hora->setText(now.time);
}

void Form1::Check3_Click() { Corresponsal->setFocus(); }

}  // namespace vz
