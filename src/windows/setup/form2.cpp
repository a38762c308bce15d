#include "setup/form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainwin/entryrules.h"
#include "mainwin/form1.h"
#include "platform/appexit.h"
#include "platform/cp1252.h"
#include "platform/cp1252box.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "platform/webget.h"
#include "platform/steprunning.h"
#include "store/callsign.h"
#include "setup/form2_config.h"
#include "store/configfile.h"
#include "mainwin/mainwincolor.h"
#include "store/programstate.h"
#include "store/ptt.h"
#include "platform/placement.h"

namespace vz {
namespace {

// Design size of the window in twips (15 twips to a pixel).
constexpr int kWidth = 6135 / 15;
constexpr int kHeight = 8385 / 15;
constexpr int kBarWidth = 5655 / 15;
constexpr int kBarDesignWidth = 1;  // 15 twips

// The longest value config.ini keeps; longer text would come back cut at the next start.
constexpr int kMaxSetting = 100;
constexpr int kMaxAudioPath = 1000;

const QString kNone = QStringLiteral("NINGUNO");

bool isAsciiLetter(QChar c) { return c >= u'A' && c <= u'Z'; }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

QPixmap eyePixmap() {
  QPixmap pm(22, 14);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(1, 2, 20, 10));
  p.setBrush(Qt::black);
  p.drawEllipse(QRectF(8, 4, 6, 6));
  return pm;
}

QLineEdit* settingBox(QWidget* parent, int maxLength, bool masked = false) {
  auto* e = new QLineEdit(parent);
  e->setMaxLength(maxLength);
  keepToCp1252(e);
  if (masked) e->setEchoMode(QLineEdit::Password);
  return e;
}

QLineEdit* callBox(QWidget* parent, int maxLength) {
  auto* e = settingBox(parent, maxLength);
  QFont f(QStringLiteral("Tahoma"));
  f.setPointSizeF(14.25);
  f.setBold(true);
  e->setFont(f);
  e->setAlignment(Qt::AlignCenter);
  setForeColor(e, 0x00C000);
  return e;
}

QLabel* logo(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setAlignment(Qt::AlignCenter);
  l->setFrameShape(QFrame::StyledPanel);
  l->setFixedWidth(64);
  return l;
}

}  // namespace

Form2::Form2() : MSComm1(serialSystem().createLine()), MMControl1(createAudioPlayer()) {
  setWindowTitle(QStringLiteral("Configuración"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(kWidth, kHeight);
  QFont base(QStringLiteral("Tahoma"));
  base.setPointSizeF(9.75);
  base.setBold(true);
  setFont(base);
  // Push-to-talk keys this dialog's port.
  setPttPort(MSComm1.get());

  for (int i = 0; i < 8; ++i) Label1[i] = new QLabel(this);
  Label1[0]->setText(QStringLiteral("Diferencia UTC"));
  Label1[1]->setText(QStringLiteral("Grid Locator"));
  Label1[2]->setText(QStringLiteral("mseg. después"));
  Label1[3]->setText(QStringLiteral("mseg. antes"));
  Label1[4]->setText(QStringLiteral("Puerto"));
  Label1[5]->hide();
  Label1[6]->setText(QStringLiteral("Estación"));
  Label1[7]->setText(QStringLiteral("Operador"));

  // Station.
  Text1 = callBox(this, 15);
  Text2 = callBox(this, 15);
  Text4 = callBox(this, 6);
  Text3 = settingBox(this, 3);
  Text3->setAlignment(Qt::AlignCenter);
  Text3->setText(kDesignUtcOffset);
  Command1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Guardar"), this);
  Command2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancelar"), this);
  Frame3 = new QGroupBox(QStringLiteral("Pantalla"), this);
  panta = new QCheckBox(QStringLiteral("Oscura"), Frame3);
  (new QVBoxLayout(Frame3))->addWidget(panta);

  // Accounts.
  auto account = [this](QGroupBox*& frame, const QString& caption, QLineEdit*& user, QLineEdit*& pass,
                        QLabel*& eye) {
    frame = new QGroupBox(caption, this);
    user = settingBox(frame, kMaxSetting);
    pass = settingBox(frame, kMaxSetting, true);
    eye = new QLabel(frame);
    eye->setPixmap(eyePixmap());
    eye->setToolTip(QStringLiteral("Mantenga presionado para ver la contraseña"));
    auto* g = new QGridLayout(frame);
    g->setContentsMargins(6, 2, 6, 4);
    g->setVerticalSpacing(2);
    g->addWidget(new QLabel(QStringLiteral("Usuario"), frame), 0, 0);
    g->addWidget(user, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Contraseña"), frame), 1, 0);
    g->addWidget(pass, 1, 1);
    g->addWidget(eye, 1, 2);
  };
  account(Frame6, QStringLiteral("Rukanet"), Text8, Text7, Image2);
  account(Frame7, QStringLiteral("eQSL"), Text9, Text10, Image3);
  account(Frame4, QStringLiteral("QRZ"), Text5, Text6, Image1);
  Image6 = logo(QStringLiteral("Rukanet"), this);
  Image5 = logo(QStringLiteral("eQSL"), this);
  Image4 = logo(QStringLiteral("QRZ"), this);

  // Voice-call audio file.
  Frame5 = new QGroupBox(QStringLiteral("Llamador CQ ..."), this);
  Label6 = new QLabel(Frame5);
  setBackColor(Label6, 0xFFFFFF);
  Label6->setFrameShape(QFrame::Box);
  Label6->setMinimumHeight(20);
  QFont small = font();
  small.setBold(false);
  small.setPointSizeF(8);
  Label6->setFont(small);
  Command5 = new QToolButton(Frame5);
  Command5->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  Command5->setToolTip(QStringLiteral("Elegir Archivo de audio"));
  Command6 = new QToolButton(Frame5);
  Command6->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  Command6->setToolTip(QStringLiteral("Reproducir"));
  Command7 = new QToolButton(Frame5);
  Command7->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  Command7->setToolTip(QStringLiteral("Detener"));
  Command7->setEnabled(false);
  sFondo = new QFrame(Frame5);
  sFondo->setFixedSize(kBarWidth, 8);
  sFondo->setFrameShape(QFrame::Box);
  setBackColor(sFondo, 0xC0C0C0);
  setForeColor(sFondo, 0xE0E0E0);
  sPorcentaje = new QFrame(sFondo);
  sPorcentaje->setGeometry(0, 0, kBarDesignWidth, 8);
  setBackColor(sPorcentaje, 0xFF0000);
  {
    auto* v = new QVBoxLayout(Frame5);
    v->setContentsMargins(6, 2, 6, 4);
    v->setSpacing(3);
    v->addWidget(Label6);
    auto* h = new QHBoxLayout;
    h->addWidget(Command5);
    h->addWidget(Command6);
    h->addWidget(Command7);
    h->addStretch();
    v->addLayout(h);
    v->addWidget(sFondo);
  }

  Label7 = new QLabel(
      QStringLiteral("Si no desea usar un puerto Serie para el PTT, puede usar el VOX del equipo de radio."), this);
  Label7->setWordWrap(true);
  Label7->setFont(small);
  setBackColor(Label7, 0x0000FF);
  setForeColor(Label7, 0xFFFFFF);

  Puerto = new QComboBox(this);
  DTR = new QCheckBox(QStringLiteral("DTR (4)"), this);
  RTS = new QCheckBox(QStringLiteral("RTS (7)"), this);
  Command8 = new QPushButton(style()->standardIcon(QStyle::SP_MediaVolume), QStringLiteral("Prueba de PTT"), this);

  // Visible layout.
  auto* visible = new QVBoxLayout(this);
  visible->setContentsMargins(8, 6, 8, 6);
  visible->setSpacing(4);
  {
    auto* top = new QHBoxLayout;
    auto* g = new QGridLayout;
    g->setVerticalSpacing(2);
    g->addWidget(Label1[6], 0, 0);
    g->addWidget(Text1, 0, 1);
    g->addWidget(Label1[7], 1, 0);
    g->addWidget(Text2, 1, 1);
    g->addWidget(Label1[1], 2, 0);
    g->addWidget(Text4, 2, 1);
    g->addWidget(Label1[0], 3, 0);
    g->addWidget(Text3, 3, 1);
    top->addLayout(g, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Frame3);
    buttons->addStretch();
    top->addLayout(buttons);
    visible->addLayout(top);
  }
  {
    auto* accounts = new QGridLayout;
    accounts->setVerticalSpacing(2);
    accounts->addWidget(Image6, 0, 0);
    accounts->addWidget(Frame6, 0, 1);
    accounts->addWidget(Image5, 1, 0);
    accounts->addWidget(Frame7, 1, 1);
    accounts->addWidget(Image4, 2, 0);
    accounts->addWidget(Frame4, 2, 1);
    visible->addLayout(accounts);
  }
  visible->addWidget(Frame5);
  visible->addWidget(Label7);
  {
    auto* port = new QHBoxLayout;
    port->addWidget(Label1[4]);
    port->addWidget(Puerto, 1);
    port->addWidget(DTR);
    port->addWidget(RTS);
    visible->addLayout(port);
    visible->addWidget(Command8);
  }
  visible->addStretch();

  // Below the visible area: kept in the window, never shown to the operator.
  auto* below = new QWidget(this);
  below->setGeometry(0, kHeight, kWidth, 260);
  Frame1 = new QGroupBox(QStringLiteral("Ruk"), below);
  Label2[0] = new QLabel(QStringLiteral("Usuario (email):"), Frame1);
  Label2[1] = new QLabel(QStringLiteral("Contraseña:"), Frame1);
  setForeColor(Label2[0], 0xFF0000);
  setForeColor(Label2[1], 0xFF0000);
  user_ruk = settingBox(Frame1, kMaxSetting);
  pass_ruk = settingBox(Frame1, kMaxSetting, true);
  Command3 = new QPushButton(QStringLiteral("?"), Frame1);
  Command4 = new QPushButton(QStringLiteral("Probar"), Frame1);
  Timer1 = new QTimer(Frame1);
  Timer1->setInterval(1000);
  {
    auto* g = new QGridLayout(Frame1);
    g->addWidget(Label2[0], 0, 0);
    g->addWidget(user_ruk, 0, 1);
    g->addWidget(Label2[1], 1, 0);
    g->addWidget(pass_ruk, 1, 1);
    g->addWidget(Command3, 1, 2);
    g->addWidget(Command4, 2, 1);
  }
  Label3 = new QLabel(QStringLiteral(" ..."), below);
  ProgressBar1 = new QProgressBar(below);
  Combo1 = new QComboBox(below);
  Combo2 = new QComboBox(below);
  viejo = new QLabel(QStringLiteral("Label6"), below);
  viejo->hide();
  {
    auto* v = new QVBoxLayout(below);
    v->addWidget(Frame1);
    v->addWidget(Label3);
    v->addWidget(ProgressBar1);
    auto* delays = new QGridLayout;
    delays->addWidget(Combo1, 0, 0);
    delays->addWidget(Label1[3], 0, 1);
    delays->addWidget(Combo2, 1, 0);
    delays->addWidget(Label1[2], 1, 1);
    v->addLayout(delays);
  }
  accountTestPage_ = new WebGet(this);

  // Reactions. Check boxes and selectors react to changes made by code as well.
  connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
  connect(Text4, &QLineEdit::textChanged, this, &Form2::Text4_Change);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (old == Text4 && now && now->window() == this) Text4_LostFocus();
  });
  connect(Command5, &QToolButton::clicked, this, &Form2::Command5_Click);
  connect(Command6, &QToolButton::clicked, this, &Form2::Command6_Click);
  connect(Command7, &QToolButton::clicked, this, &Form2::Command7_Click);
  connect(MMControl1.get(), &AudioPlayer::progress, this, &Form2::MMControl1_StatusUpdate);
  connect(MMControl1.get(), &AudioPlayer::finished, this, &Form2::MMControl1_Done);
  connect(MMControl1.get(), &AudioPlayer::failed, this, [this](const QString& error) {
    MMControl1_Done();
    resetProgress();
    msgBox(Label6->text() + QStringLiteral("\r\n") + error, MsgIcon::Exclamation);
  });
  connect(Command8, &QPushButton::pressed, this, &Form2::Command8_MouseDown);
  connect(Command8, &QPushButton::released, this, &Form2::Command8_MouseUp);
  connect(DTR, &QCheckBox::toggled, this, &Form2::DTR_Click);
  connect(RTS, &QCheckBox::toggled, this, &Form2::RTS_Click);
  connect(Puerto, &QComboBox::currentIndexChanged, this, &Form2::Puerto_Click);
  connect(panta, &QCheckBox::toggled, this, &Form2::panta_Click);
  connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
  connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
  connect(Command3, &QPushButton::pressed, this, [this] { setRevealed(pass_ruk, true); });
  connect(Command3, &QPushButton::released, this, [this] { setRevealed(pass_ruk, false); });

  for (QLineEdit* box : {Text1, Text2, Text3, Text4}) applyKeyRule(box, settingKeyRule(box));
  applyShapeRule(Text4, GridLastCharacterFits);

  // Every key reaches the window first; Enter never presses a default button.
  for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

  centreOverMainWindow(this);
}

Form2::~Form2() {
  // The program-wide focus signal must not reach this window while its children are
  // destroyed: by then it is a window no more.
  disconnect(qApp, nullptr, this, nullptr);
  setPttPort(nullptr);
  if (MSComm1) MSComm1->close();
}

// ---- keys -----------------------------------------------------------------

bool Form2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Command1_Click();
      return true;
    }
    if (watched == Text1 || watched == Text2 || watched == Text3 || watched == Text4)
      return filterKey(static_cast<QLineEdit*>(watched), key);
  } else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
    const bool down = event->type() == QEvent::MouseButtonPress;
    if (watched == Image1) setRevealed(Text6, down);
    if (watched == Image2) setRevealed(Text7, down);
    if (watched == Image3) setRevealed(Text10, down);
  }
  return QDialog::eventFilter(watched, event);
}

// Typed characters are taken upper-cased; a box keeps only the characters its
// setting can hold (the box's rule, which pasted text goes through as well). Keys
// that type nothing (arrows, Delete, Tab) are not typing.
bool Form2::filterKey(QLineEdit* box, QKeyEvent* event) {
  const int k = event->key();
  if (k == Qt::Key_Backspace) return false;
  if (k == Qt::Key_Delete || k == Qt::Key_Tab || k == Qt::Key_Backtab) return false;
  const QString text = event->text();
  if (text.isEmpty()) return false;
  // Ctrl+V and the other control keys type nothing here.
  if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return true;
  if (text.size() != 1) return true;
  const QChar c = settingKeyRule(box)(text[0]);
  if (c.isNull()) return true;
  if (c != text[0]) {
    box->insert(QString(c));
    return true;
  }
  return false;
}

KeyRule Form2::settingKeyRule(const QLineEdit* box) const {
  if (box == Text3) return asciiKeyRule(false, true, "-?");  // UTC offset
  if (box == Text4) return asciiKeyRule(true, true, "?");    // grid
  return asciiKeyRule(true, true, "/?");                     // calls
}

// ---- buttons ---------------------------------------------------------------

bool Form2::callsAreValid() {
  if (Text1->text().isEmpty()) {
    msgBox(QStringLiteral("La Señal Distintiva de la Estación es obligatiria!"), MsgIcon::Exclamation);
    return false;
  }
  if (!IsCallSign(Text1->text())) {
    msgBox(Text1->text() + QStringLiteral(" no es una señal distintiva!"), MsgIcon::Critical);
    Text1->setFocus();
    return false;
  }
  if (!Text2->text().isEmpty() && !IsCallSign(Text2->text())) {
    msgBox(Text2->text() + QStringLiteral(" no es una señal distintiva!"), MsgIcon::Critical);
    Text2->setFocus();
    return false;
  }
  return true;
}

void Form2::Command1_Click() {
  if (!callsAreValid()) return;
  // Unwritten settings keep the dialog open: the operator sees they did not take.
  if (!SaveConfig()) return;
  state().FirstRun = false;
  form1().Timer7->start();  // the usage report follows the saved settings
  hide();
}

void Form2::Command2_Click() {
  if (state().FirstRun) {
    endProgram();
    return;
  }
  if (!callsAreValid()) return;
  if (!state().StartupInProgress) form1().Timer7->stop();
  SaveConfig();
  hide();
}

void Form2::closeEvent(QCloseEvent* event) { event->ignore(); }

void Form2::reject() {}

// ---- grid ------------------------------------------------------------------

// Each position of a locator takes a letter (1, 2, 5, 6) or a digit; a last character
// that does not fit is taken off again, and so on until one fits.
void Form2::Text4_Change() {
  if (inGridRule_) return;
  QString t = Text4->text();
  bool changed = false;
  while (!t.isEmpty()) {
    const qsizetype n = t.size();
    const QChar c = t[n - 1];
    const bool letterPlace = n == 1 || n == 2 || n == 5 || n == 6;
    if (letterPlace ? isAsciiLetter(c) : isAsciiDigit(c)) break;
    t.chop(1);
    changed = true;
  }
  if (!changed) return;
  inGridRule_ = true;
  Text4->setText(t);
  Text4->setCursorPosition(int(t.size()));
  inGridRule_ = false;
}

void Form2::Text4_LostFocus() {
  const qsizetype n = Text4->text().size();
  if (n == 0 || n == 6) return;
  msgBox(QStringLiteral("Grilla incorrecta!"), MsgIcon::Exclamation);
  QTimer::singleShot(0, Text4, [this] { Text4->setFocus(); });
}

// ---- passwords -------------------------------------------------------------

void Form2::setRevealed(QLineEdit* box, bool revealed) {
  box->setEchoMode(revealed ? QLineEdit::Normal : QLineEdit::Password);
}

// ---- voice-call audio file -------------------------------------------------

void Form2::Command5_Click() {
  FileRequest r;
  r.title = QStringLiteral("Abrir Archivo de Audio ...");
  r.filter = QStringLiteral("Audio (*.mp3 *.wav)");
  r.directory = programFolder();
  const QString path = dialogs().openFile(r);
  if (path.isEmpty()) return;
  if (path.size() > kMaxAudioPath) {
    msgBox(QStringLiteral("La ruta del archivo de audio es demasiado larga (más de %1 caracteres).")
               .arg(kMaxAudioPath),
           MsgIcon::Exclamation);
    return;
  }
  // config.ini is Windows-1252: a name it cannot hold would come back with "?" in
  // it and the file would not be found after a restart.
  if (!fitsCp1252(QDir::toNativeSeparators(path))) {
    msgBox(QStringLiteral("La ruta del archivo de audio tiene caracteres que no se pueden guardar en "
                          "config.ini:\r\n") +
               path + QStringLiteral("\r\n\r\nCambie el nombre del archivo o de la carpeta, o elija otro archivo."),
           MsgIcon::Exclamation);
    return;
  }
  Label6->setText(QDir::toNativeSeparators(path));
}

void Form2::Command6_Click() {
  if (Label6->text().isEmpty()) return;
  Command6->setEnabled(false);
  Command7->setEnabled(true);
  MMControl1->stop();
  MMControl1->play(Label6->text());
}

void Form2::MMControl1_StatusUpdate(qint64 positionMs, qint64 durationMs) {
  if (durationMs <= 0) return;
  const qint64 w = qBound(qint64(0), sFondo->width() * positionMs / durationMs, qint64(sFondo->width()));
  sPorcentaje->resize(int(w), sPorcentaje->height());
}

void Form2::MMControl1_Done() {
  Command6->setEnabled(true);
  Command7->setEnabled(false);
}

void Form2::Command7_Click() {
  MMControl1->stop();
  resetProgress();
  Command6->setEnabled(true);
}

void Form2::resetProgress() { sPorcentaje->resize(kBarDesignWidth, sPorcentaje->height()); }

// ---- push-to-talk ----------------------------------------------------------

QString Form2::pttLine() const { return RTS->isChecked() ? QStringLiteral("RTS") : QStringLiteral("DTR"); }

void Form2::Command8_MouseDown() { SetPttOn(pttLine()); }
void Form2::Command8_MouseUp() { SetPttOff(pttLine()); }

void Form2::DTR_Click() {
  if (DTR->isChecked()) RTS->setChecked(false);
}

void Form2::RTS_Click() {
  if (RTS->isChecked()) DTR->setChecked(false);
}

void Form2::Puerto_Click() {
  if (state().StartupInProgress) return;
  if (Puerto->currentIndex() < 0) return;
  keptPortName.clear();
  const QString selected = Puerto->currentText();
  Status s;
  if (selected != kNone) {
    MSComm1->close();
    s = MSComm1->open(selected);
    if (s) {
      SetPttOff(QStringLiteral("RTS"));
      SetPttOff(QStringLiteral("DTR"));
    }
  } else {
    MSComm1->close();
  }
  if (s) return;
  msgBox(selected + QStringLiteral("\r\n") + s.error, MsgIcon::Exclamation);
  SetPttOff(QStringLiteral("RTS"));
  SetPttOff(QStringLiteral("DTR"));
  const int none = Puerto->findText(kNone);
  if (none >= 0) Puerto->setCurrentIndex(none);
}

void Form2::fillLists() {
  {
    const QSignalBlocker block(Puerto);
    Puerto->clear();
    Puerto->addItem(kNone);
    Puerto->addItems(serialSystem().portNames());
    Puerto->setCurrentIndex(-1);
  }
  for (QComboBox* c : {Combo1, Combo2}) {
    const QSignalBlocker block(c);
    c->clear();
    for (int ms = 0; ms <= 500; ms += 100) c->addItem(QString::number(ms));
    c->setCurrentIndex(-1);
  }
}

// ---- screen ----------------------------------------------------------------

void Form2::panta_Click() { ApplyMainWindowColor(panta->isChecked() ? 0x404040 : kColorButtonFace); }

// ---- network wait ----------------------------------------------------------

void Form2::Timer1_Timer() { state().NetTimeoutTicks += 1; }

Form2::PageWait Form2::WaitForPage(WebGet& page, const QUrl& url, const std::function<void()>& onTick) {
  // Its ticker is this window's: the window stays until the wait is over, even when
  // the operator closes it meanwhile.
  StepRunning keep(this, nullptr);
  state().NetTimeoutTicks = 0;
  Timer1->start();
  page.setTimeout(0);  // the ticks decide when the page has been waited for long enough
  page.get(url);
  PageWait result = PageWait::Loaded;
  if (page.isLoading()) {
    QEventLoop loop;
    bool timedOut = false;
    const auto done = connect(&page, &WebGet::finished, &loop, &QEventLoop::quit);
    const auto tick = connect(Timer1, &QTimer::timeout, &loop, [&] {
      if (onTick) onTick();
      if (state().NetTimeoutTicks > 14) {
        timedOut = true;
        loop.quit();
      }
    });
    if (onTick) onTick();
    loop.exec();
    disconnect(done);
    disconnect(tick);
    if (timedOut) {
      page.abort();
      result = PageWait::TimedOut;
    }
  }
  if (result != PageWait::TimedOut && !page.isComplete()) result = PageWait::Failed;
  Timer1->stop();
  state().NetTimeoutTicks = 0;
  return result;
}

Form2::PageWait Form2::WaitForPageOrWarn(WebGet& page, const QUrl& url) {
  const PageWait r = WaitForPage(page, url);
  if (r == PageWait::TimedOut) msgBox(noConnectionText());
  return r;
}

// The older upload account's test: asks the service whether user and password are
// right and shows its answer below the account.
void Form2::Command4_Click() {
  setForeColor(Label3, 0x000000);
  ProgressBar1->setMaximum(15);
  ProgressBar1->setValue(0);
  Command4->setEnabled(false);
  const QUrl url = serviceUrl(Service::Ruk, QStringLiteral("/php/vantorel_c2.php"),
                              ServiceQuery()
                                  .add(QStringLiteral("user"), user_ruk->text())
                                  .addTableEncoded(QStringLiteral("pass"), PercentEncodePassword(pass_ruk->text()))
                                  .add(QStringLiteral("micall"), Text1->text()));
  Label3->setText(QStringLiteral("user=") + user_ruk->text() + QStringLiteral("\r\n") + QStringLiteral("micall=") +
                  Text1->text() + QStringLiteral("\r\n"));
  const PageWait r = WaitForPage(*accountTestPage_, url, [this] {
    ProgressBar1->setValue(qMin(state().NetTimeoutTicks, ProgressBar1->maximum()));
  });
  Command4->setEnabled(true);
  switch (r) {
    case PageWait::Loaded:
      Label3->setText(accountTestPage_->innerText());
      break;
    case PageWait::TimedOut:
      ProgressBar1->setValue(0);
      setForeColor(Label3, 0x0000FF);
      Label3->setText(noConnectionText());
      break;
    case PageWait::Failed:
      Label3->setText(accountTestPage_->errorString());
      msgBox(accountTestPage_->errorString(), MsgIcon::None, MsgButtons::Ok);
      break;
  }
}

QString currentUtcOffsetText() {
  return FormInstance<Form2>::loaded() ? form2().Text3->text() : kDesignUtcOffset;
}

}  // namespace vz
