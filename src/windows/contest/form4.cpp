#include "contest/form4.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QWindow>
#include <cmath>

#include "contest/cabrillo.h"
#include "contest/contestadif.h"
#include "contest/contesttransfer.h"
#include "contest/form7.h"
#include "contest/form9.h"
#include "contest/keyerport.h"
#include "contest/masterupdate.h"
#include "mainwin/entryclock.h"
#include "mainwin/form1.h"
#include "platform/cp1252box.h"
#include "platform/audioplayer.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/steprunning.h"
#include "platform/textutil.h"
#include "setup/form2.h"
#include "store/callsign.h"
#include "store/programstate.h"
#include "store/validation.h"

namespace vz {

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kFocused = 0xFFC0C0;  // &H00BBGGRR: red 192, green 192, blue 255
constexpr quint32 kDark = 0x808080;
// The macro labels' font size as the layout last set it, before a long call shrank it.
constexpr const char* kCaptionPointSize = "vzCaptionPointSize";
constexpr int kDesignWidth = 884;  // 13260 twips: the master-call column shown
constexpr int kDesignHeight = 560;

// Columns of the report-view lists: heading and width in twips; a width of 0 hides
// the column, whose cells the program still reads (the row's id).
struct ListColumn {
  const char* heading;
  int twips;
};

// The contest's QSOs, newest first.
constexpr ListColumn kContestListColumns[] = {
    {"Indice", 0},   {"ID", 0},     {"Frec", 750},     {"Modo", 750},         {"Fecha", 1500}, {"Hora", 750},
    {"Estación", 1000}, {"RSe", 750}, {"SerieE", 750}, {"Corresponsal", 2000}, {"RSr", 750},    {"SerieR", 750}};

// The earlier contacts with the worked station on the mode and band ("Frec" shows
// the band, as in the contest list).
constexpr ListColumn kEarlierContactsColumns[] = {
    {"Indice", 0},   {"ID", 0},       {"Frec", 750},         {"Modo", 750},   {"Fecha", 1500},
    {"Hora", 750},   {"Estación", 1000}, {"SerieE", 750}, {"Corresponsal", 2000}, {"SerieR", 750}};

template <std::size_t N>
void setListColumns(QTreeWidget* list, const ListColumn (&columns)[N]) {
  QStringList headings;
  for (const ListColumn& c : columns) headings << QString::fromUtf8(c.heading);
  list->setColumnCount(0);
  list->setHeaderLabels(headings);
  list->header()->setMinimumSectionSize(0);
  for (int i = 0; i < int(N); ++i) {
    list->setColumnWidth(i, columns[i].twips / kTwipsPerPixel);
    list->setColumnHidden(i, columns[i].twips == 0);
  }
}

// The text colour of the lists' cells after the first: &H4000, dark green.
QBrush listGreen() { return QBrush(colorFromValue(0x004000)); }

template <class W>
W* control(QWidget* parent, const char* name, int x, int y, int w, int h, int index = -1) {
  auto* c = new W(parent);
  c->setObjectName(QString::fromLatin1(name));
  if (index >= 0) c->setProperty("Index", index);
  c->setGeometry(x, y, w, h);
  return c;
}

// A caption longer than its label ends in "…" rather than running into the next
// caption; the whole text stays the label's text, and shows as its tool tip.
class ElidingLabel : public QLabel {
 public:
  explicit ElidingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setProperty("vzElides", true);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r = contentsRect();
    p.setPen(palette().color(foregroundRole()));
    p.drawText(r, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
  }
  bool event(QEvent* e) override {
    if (e->type() != QEvent::ToolTip) return QLabel::event(e);
    if (fontMetrics().horizontalAdvance(text()) > contentsRect().width())
      QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), text(), this);
    else
      QToolTip::hideText();
    return true;
  }
};

QLabel* label(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h,
              int index = -1) {
  auto* l = control<QLabel>(parent, name, x, y, w, h, index);
  l->setText(caption);
  return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, int x, int y, int w) {
  auto* t = control<QLineEdit>(parent, name, x, y, w, 23);
  t->setMaxLength(maxLength);
  setBackColor(t, kWhite);
  keepToOneLine(t);
  return t;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, int x, int y, int w) {
  auto* c = control<QCheckBox>(parent, name, x, y, w, 20);
  c->setText(caption);
  return c;
}

// Which keys a box takes: an upper-cased character passes when it is in the set.
struct KeySet {
  bool letters = false;
  bool digits = true;
  const char* extra = "";
};

int filterKey(int KeyAscii, const KeySet& set) {
  int k = KeyAscii;
  if (k >= 'a' && k <= 'z') k -= 32;
  const bool pass = k == 8 || k == '?' || (set.digits && k >= '0' && k <= '9') ||
                    (set.letters && k >= 'A' && k <= 'Z') ||
                    (k > 0 && k < 128 && std::strchr(set.extra, k) != nullptr);
  return pass ? k : 0;
}

// A call sign has at least one letter and one digit.
bool looksLikeCallSign(const QString& call) {
  bool letter = false;
  bool digit = false;
  for (const QChar c : call) {
    if (c >= u'A' && c <= u'Z') letter = true;
    if (c >= u'0' && c <= u'9') digit = true;
  }
  return letter && digit;
}

QString notACallSign(const QString& call) {
  return call + QStringLiteral(" NO Parece ser una Señal distintiva Válida!");
}

}  // namespace

QString NextSerial(const QString& sent) { return QString::number(vbValInt(sent) + 1); }

Form4::Form4() {
  setWindowTitle(QStringLiteral("Concurso"));
  setAttribute(Qt::WA_DeleteOnClose);

  menuBar = new QMenuBar(this);
  QMenu* operaciones = menuBar->addMenu(QStringLiteral("Operaciones"));
  auto entry = [&](const char* name, const QString& caption, QKeySequence key, void (Form4::*handler)()) {
    QAction* a = operaciones->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    connect(a, &QAction::triggered, this, handler);
    return a;
  };
  eca = entry("eca", QStringLiteral("Exportar Cabrillo"), QKeySequence(Qt::CTRL | Qt::Key_C), &Form4::Command1_Click);
  ead = entry("ead", QStringLiteral("Exportar ADIF"), QKeySequence(Qt::CTRL | Qt::Key_A), &Form4::Command2_Click);
  elo = entry("elo", QStringLiteral("Eliminar Log"), QKeySequence(Qt::CTRL | Qt::Key_E), &Form4::Command3_Click);
  tbp = entry("tbp", QStringLiteral("Transferir a Base Principal"), QKeySequence(Qt::CTRL | Qt::Key_T),
              &Form4::Command4_Click);
  amc = entry("amc", QStringLiteral("Actualización MasterCheck"), QKeySequence(Qt::CTRL | Qt::Key_M),
              &Form4::amc_Click);
  operaciones->addSeparator();
  sdc = entry("sdc", QStringLiteral("Salir de Concurso"), QKeySequence(Qt::CTRL | Qt::Key_S), &Form4::sdc_Click);

  // The open contest.
  Label5[0] = label(this, "Label5", QStringLiteral("Concurso:"), 10, 30, 70, 18, 0);
  Label2 = new ElidingLabel(QStringLiteral("Label2"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(80, 30, 240, 18);
  Label5[1] = label(this, "Label5", QStringLiteral("Serie Tipo:"), 330, 30, 70, 18, 1);
  Label3 = label(this, "Label3", QString(), 400, 30, 100, 18);
  Label4 = label(this, "Label4", QString(), 500, 30, 60, 18);
  Label4->hide();

  // The entry row.
  Label1[4] = label(this, "Label1", QStringLiteral("Fecha              Hora"), 10, 56, 150, 16, 4);
  Fecha = textBox(this, "Fecha", 10, 10, 74, 90);
  Hora = textBox(this, "Hora", 5, 104, 74, 54);
  Fecha->setEnabled(false);
  Hora->setEnabled(false);
  Label1[0] = label(this, "Label1", QStringLiteral("Corresponsal"), 164, 56, 110, 16, 0);
  Corresponsal = textBox(this, "Corresponsal", 12, 164, 74, 120);
  // The serial captions are the widest of the row: each column gets room for its caption.
  Label1[1] = label(this, "Label1", QStringLiteral("Serie Enviada"), 290, 56, 110, 16, 1);
  RSE = textBox(this, "RSE", 6, 290, 74, 70);
  Label1[2] = label(this, "Label1", QStringLiteral("Serie Recibida"), 404, 56, 110, 16, 2);
  RSR = textBox(this, "RSR", 6, 404, 74, 70);
  Label1[8] = label(this, "Label1", QStringLiteral("Modo"), 518, 56, 60, 16, 8);
  Combo1 = control<QComboBox>(this, "Combo1", 518, 74, 64, 23);
  Label1[6] = label(this, "Label1", QStringLiteral("Banda"), 588, 56, 60, 16, 6);
  Combo2 = control<QComboBox>(this, "Combo2", 588, 74, 70, 23);
  Label1[5] = label(this, "Label1", QStringLiteral("MHz"), 664, 56, 40, 16, 5);
  mhz = control<QComboBox>(this, "mhz", 664, 74, 50, 23);
  Label1[10] = label(this, "Label1", QStringLiteral("KHz"), 718, 56, 40, 16, 10);
  Text1 = textBox(this, "Text1", 3, 718, 74, 40);
  Label6 = label(this, "Label6", QString(), 762, 74, 40, 18);
  for (QWidget* w : std::initializer_list<QWidget*>{Label1[5], mhz, Label1[10], Text1, Label6}) w->hide();
  Label1[3] = label(this, "Label1", QStringLiteral("Mi Señal Distintiva"), 10, 104, 120, 16, 3);
  Text2 = textBox(this, "Text2", 15, 130, 102, 110);
  // Each box's key filter also takes what is pasted or dropped into it.
  for (QLineEdit* box : {Fecha, Hora, Corresponsal, RSE, RSR, Text1, Text2}) {
    applyKeyRule(box, [this, box](QChar c) {
      int k = c.unicode();
      controlKeyPress(box, k);
      return k == 0 || k == 8 ? QChar() : QChar(char16_t(k));
    });
  }
  // Beside the check boxes, where it leaves the own call readable.
  Label7 = label(this, "Label7", QStringLiteral("DUPLICADO"), 636, 100, 104, 20);
  Label7->setAlignment(Qt::AlignCenter);
  setBackColor(Label7, 0x0000FF);
  setForeColor(Label7, kWhite);
  Label7->hide();
  Check2 = checkBox(this, "Check2", QStringLiteral("QTR Manual"), 300, 102, 100);
  setForeColor(Check2, 0x0000FF);
  Check7 = checkBox(this, "Check7", QStringLiteral("&Fondo Oscuro"), 404, 102, 110);
  Check8 = checkBox(this, "Check8", QStringLiteral("MasterCheck"), 518, 102, 110);
  Check8->setChecked(true);

  // The contest's QSOs and the earlier QSOs with the worked station.
  Frame3 = control<QGroupBox>(this, "Frame3", 10, 130, 730, 250);
  Frame3->setTitle(QStringLiteral("Log ..."));
  ListView2 = control<QTreeWidget>(Frame3, "ListView2", 8, 20, 714, 202);
  ListView2->setRootIsDecorated(false);
  Label9 = label(Frame3, "Label9", QStringLiteral("0 QSOs "), 8, 226, 200, 18);
  Frame4 = control<QGroupBox>(this, "Frame4", 10, 130, 540, 120);
  Frame4->setAutoFillBackground(true);  // drawn over the log: its rows must not show through
  ListView1 = control<QTreeWidget>(Frame4, "ListView1", 8, 20, 524, 92);
  ListView1->setRootIsDecorated(false);
  setListColumns(ListView1, kEarlierContactsColumns);
  Frame4->hide();

  // Right-hand column: multiplier and master-call check.
  Frame5 = control<QGroupBox>(this, "Frame5", 752, 130, 126, 50);
  Frame5->setTitle(QStringLiteral("Multiplicador CAHF"));
  Label11 = label(Frame5, "Label11", QString(), 8, 20, 110, 22);
  Frame2 = control<QGroupBox>(this, "Frame2", 752, 186, 126, 234);
  Frame2->setTitle(QStringLiteral("MasterCheck"));
  MCheck = control<QTextEdit>(Frame2, "MCheck", 8, 20, 110, 206);
  MCheck->setReadOnly(true);
  MCheck->viewport()->installEventFilter(this);
  List1 = control<QListWidget>(this, "List1", 752, 430, 60, 40);
  List2 = control<QListWidget>(this, "List2", 818, 430, 60, 40);
  List1->hide();
  List2->hide();

  // CW panel.
  Frame1 = control<QGroupBox>(this, "Frame1", 10, 390, 540, 160);
  Frame1->setTitle(QStringLiteral("Macros CW"));
  setBackColor(Frame1, 0xFF0000);
  // White captions on the blue panel: its title, the speed, the check boxes' texts
  // (only the text: their boxes keep their own colours).
  {
    QPalette p = Frame1->palette();
    p.setColor(QPalette::WindowText, colorFromValue(kWhite));
    Frame1->setPalette(p);
  }
  const std::array<QString, 7> macroCaptions = {
      QStringLiteral("F1-CQ"),     QStringLiteral("F2-Serie"), QStringLiteral("F3-TU"),  QStringLiteral("F4-Mi Call"),
      QStringLiteral("F5-SuCall"), QStringLiteral("F6-AGN?"),  QStringLiteral("F7- NR?")};
  // F4 and F5 carry a call: they get the room the fixed texts leave.
  constexpr int macroWidths[7] = {50, 58, 44, 118, 106, 56, 56};
  for (int i = 0, x = 8; i < 7; x += macroWidths[i] + 4, ++i) {
    macros[size_t(i)] = label(Frame1, "macros", macroCaptions[size_t(i)], x, 20, macroWidths[i], 18, i);
    setBackColor(macros[size_t(i)], 0xFFFFC0);  // light cyan
    setForeColor(macros[size_t(i)], 0x000000);
    macros[size_t(i)]->setProperty(kCaptionPointSize, macros[size_t(i)]->font().pointSizeF());
    macros[size_t(i)]->installEventFilter(this);
  }
  HScroll1 = control<QScrollBar>(Frame1, "HScroll1", 8, 46, 200, 18);
  HScroll1->setOrientation(Qt::Horizontal);
  HScroll1->setRange(10, 40);
  LabelVel = label(Frame1, "LabelVel", QString(), 214, 46, 80, 18);
  setForeColor(LabelVel, kWhite);
  // Wide enough for the device beside the port: "COM12 (ttyUSB0)".
  Combo3 = control<QComboBox>(Frame1, "Combo3", 8, 72, 130, 23);
  Check3 = checkBox(Frame1, "Check3", QStringLiteral("DTR"), 144, 74, 56);
  Check3->setChecked(true);
  Check4 = checkBox(Frame1, "Check4", QStringLiteral("RTS"), 204, 74, 56);
  Check5 = checkBox(Frame1, "Check5", QStringLiteral("0T-9N"), 264, 74, 70);
  Check5->setChecked(true);
  Check6 = checkBox(Frame1, "Check6", QStringLiteral("Peso"), 338, 74, 56);
  Image1 = label(Frame1, "Image1", QStringLiteral("TX"), 400, 72, 30, 22);
  Image1->setAlignment(Qt::AlignCenter);
  setBackColor(Image1, 0x0000FF);
  setForeColor(Image1, kWhite);
  Image1->hide();
  Picture1 = label(Frame1, "Picture1", QStringLiteral("Keyer"), 440, 72, 60, 22);
  Picture1->setToolTip(QStringLiteral("Keyer Manual (flecha abajo)"));
  Picture1->installEventFilter(this);
  Label10 = label(Frame1, "Label10", QString(), 8, 104, 520, 20);
  setForeColor(Label10, kWhite);
  timingWarning_ = label(Frame1, "timingWarning", QString(), 8, 130, 440, 22);
  // Dark text on light yellow: the panel's captions are white, which this background
  // would make unreadable.
  setBackColor(timingWarning_, 0x80FFFF);
  setForeColor(timingWarning_, 0x000000);
  timingWarning_->setAutoFillBackground(true);
  timingWarning_->hide();
  timingWarningOk_ = control<QPushButton>(Frame1, "timingWarningOk", 452, 129, 80, 24);
  timingWarningOk_->setText(QStringLiteral("Entendido"));
  timingWarningOk_->setFocusPolicy(Qt::NoFocus);
  timingWarningOk_->hide();
  connect(timingWarningOk_, &QPushButton::clicked, this, [this] {
    timingWarning_->hide();
    timingWarningOk_->hide();
  });
  Frame1->hide();

  // Voice-call panel.
  sFondo = control<QFrame>(this, "sFondo", 10, 400, 300, 16);
  setBackColor(sFondo, 0xC0C0C0);
  sFondo->setAutoFillBackground(true);
  sPorcentaje = control<QFrame>(this, "sPorcentaje", 10, 400, 0, 16);
  setBackColor(sPorcentaje, 0xFF0000);
  sPorcentaje->setAutoFillBackground(true);
  Label8 = label(this, "Label8", QStringLiteral("Tx"), 320, 398, 30, 20);
  Label8->setAlignment(Qt::AlignCenter);
  setBackColor(Label8, 0x000040);
  setForeColor(Label8, kWhite);
  followTransmitState(Label8);
  Label13 = label(this, "Label13", QStringLiteral("Llamador CQ (F1)"), 360, 398, 140, 20);

  // Commands that only the menu reaches.
  Command1 = control<QPushButton>(this, "Command1", 0, 0, 80, 24);
  Command1->setText(QStringLiteral("Cabrillo"));
  Command2 = control<QPushButton>(this, "Command2", 0, 0, 80, 24);
  Command2->setText(QStringLiteral("ADIF"));
  Command3 = control<QPushButton>(this, "Command3", 0, 0, 80, 24);
  Command3->setText(QStringLiteral("Eliminar"));
  Command4 = control<QPushButton>(this, "Command4", 0, 0, 80, 24);
  Command4->setText(QStringLiteral("LogPPal"));
  for (QPushButton* b : {Command1, Command2, Command3, Command4}) b->hide();
  connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &Form4::Command4_Click);
  connect(ListView2, &QTreeWidget::itemDoubleClicked, this, &Form4::ListView2_DblClick);
  // The record editor reloads the open contest's list after a save or a deletion; the
  // window may have been unloaded meanwhile, so it is looked up at that moment.
  setContestListReload([](int position) {
    if (FormInstance<Form4>::loaded()) form4().ReloadContestList(position);
  });

  setTabOrder(Fecha, Hora);
  setTabOrder(Hora, Corresponsal);
  setTabOrder(Corresponsal, RSE);
  setTabOrder(RSE, RSR);
  setTabOrder(RSR, Combo1);
  setTabOrder(Combo1, mhz);
  setTabOrder(mhz, Text1);
  setTabOrder(Text1, Text2);

  // Every control that can hold the focus shows its keys to the window first.
  for (QWidget* w : findChildren<QWidget*>())
    if (w->focusPolicy() != Qt::NoFocus) w->installEventFilter(this);
  connect(Corresponsal, &QLineEdit::textChanged, this, &Form4::Corresponsal_Change);
  connect(Text2, &QLineEdit::textChanged, this, &Form4::Text2_Change);
  connect(mhz, &QComboBox::activated, this, &Form4::mhz_Click);
  connect(Check2, &QCheckBox::toggled, this, &Form4::Check2_Click);
  connect(Check3, &QCheckBox::toggled, this, &Form4::Check3_Click);
  connect(Check4, &QCheckBox::toggled, this, &Form4::Check4_Click);
  connect(Check6, &QCheckBox::toggled, this, &Form4::Check6_Click);
  connect(Check7, &QCheckBox::toggled, this, &Form4::Check7_Click);
  connect(Check8, &QCheckBox::toggled, this, &Form4::Check8_Click);
  connect(Combo1, &QComboBox::currentIndexChanged, this, &Form4::Combo1_Click);
  connect(Combo2, &QComboBox::currentIndexChanged, this, &Form4::Combo2_Click);
  connect(Combo3, &QComboBox::currentIndexChanged, this, &Form4::Combo3_Click);
  connect(HScroll1, &QScrollBar::valueChanged, this, &Form4::HScroll1_Change);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
    if (!isVisible()) return;
    QWidget* active = QApplication::activeWindow();
    if (!active || active == this || active->windowType() == Qt::Popup) return;
    // Message boxes and file dialogs are no windows of the contest's own, and they
    // leave the mark alone: the record editor's last question must not hide that
    // the editor was up.
    if (qobject_cast<QMessageBox*>(active) || qobject_cast<QFileDialog*>(active) ||
        qobject_cast<QInputDialog*>(active))
      return;
    returnFromWindow_ = true;
  });

  MSComm1 = serialSystem().createLine();
  keyer_ = std::make_unique<CwKeyer>(*this);
  keyerLineChanged();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
  Timer2 = new QTimer(this);
  Timer2->setObjectName(QStringLiteral("Timer2"));
  Timer2->setInterval(500);
  connect(Timer2, &QTimer::timeout, this, &Form4::Timer2_Timer);
  Timer3 = new QTimer(this);
  Timer3->setObjectName(QStringLiteral("Timer3"));
  Timer3->setInterval(250);
  connect(Timer3, &QTimer::timeout, this, &Form4::Timer3_Timer);
  Timer4 = new QTimer(this);
  Timer4->setObjectName(QStringLiteral("Timer4"));
  Timer4->setInterval(5000);
  Timer4->setSingleShot(true);
  connect(Timer4, &QTimer::timeout, this, &Form4::Timer4_Timer);
  masterAge_ = new WebGet(this);
  connect(masterAge_, &WebGet::finished, this, &Form4::masterAgeArrived);

  // Loading: the design layout is recorded before the window is fitted to the screen.
  resize(kDesignWidth, kDesignHeight);
  Layout = CaptureLayout(this);
  FitFormToScreen(this, kDesignHeight * kTwipsPerPixel, kDesignWidth * kTwipsPerPixel, 0, 0, true);
  Timer1->start();
}

// Unloading ends any send with the key up and closes the keyer's port.
Form4::~Form4() {
  keyer_.reset();
  endVoiceCallOnLeaving();
  if (MSComm1) MSComm1->close();
}

// ---- Lists ------------------------------------------------------------------------

void Form4::SetContestListColumns() { setListColumns(ListView2, kContestListColumns); }

void Form4::AddContestListRow(const ContestListRow& row, bool atTop) {
  auto* item = new QTreeWidgetItem(QStringList{kContestListItemText} + row.subItems());
  for (int c = 1; c < item->columnCount(); ++c) item->setForeground(c, listGreen());
  if (atTop) ListView2->insertTopLevelItem(0, item);
  else ListView2->addTopLevelItem(item);
  Label9->setText(ContestQsoCountCaption(ListView2->topLevelItemCount()));
}

void Form4::showDupeRows(const QList<ContestQso>& rows) {
  ListView1->clear();
  for (const ContestQso& q : rows) {
    auto* item = new QTreeWidgetItem(QStringList{QStringLiteral("nombre2"), QString::number(q.id), q.Banda, q.Modo,
                                                 q.Fecha, q.Hora, q.MyCall, q.RSE, q.Estacion, q.RSR});
    item->setForeground(1, listGreen());
    ListView1->addTopLevelItem(item);
  }
  Frame4->setVisible(!rows.isEmpty());
  if (!rows.isEmpty()) Frame4->raise();
}

// True when the open contest already holds the call on the selected mode and band;
// the earlier QSOs are then listed.
bool Form4::askDupe(const QString& call) {
  const auto dupes = CheckContestDupe(Label2->text(), call, Combo1->currentText(), Combo2->currentText());
  if (!dupes.ok()) return false;
  showDupeRows(dupes.value);
  return !dupes.value.isEmpty();
}

// ---- Activation and logging ----------------------------------------------------------

void Form4::ShowForContest() {
  setWindowModality(Qt::ApplicationModal);
  returnFromWindow_ = false;
  show();
  raise();
  activateWindow();
  Form_Activate();
}

bool Form4::event(QEvent* e) {
  // A key held by hand goes up when the window stops taking the keys: its release
  // would go elsewhere.
  if (e->type() == QEvent::WindowDeactivate) {
    if (keyer_) keyer_->ReleaseManualKey();
    // Likewise Ctrl: its release goes to the window that takes the keys.
    state().CtrlDown = false;
  }
  if (e->type() == QEvent::WindowActivate && isVisible() && returnFromWindow_) {
    returnFromWindow_ = false;
    Form_Activate();
  }
  return QWidget::event(e);
}

void Form4::Form_Activate() {
  Timer4->start();
  macros[3]->setText(QStringLiteral("F4-") + Text2->text());
  fitMacroCaptions(false);

  const auto port = ReadCwPortSettings();
  // A send running on the keyer's port and line goes on with them (the activation
  // comes back from another window in the middle of it).
  if (!keyer_->sending()) {
    {
      const QSignalBlocker quiet(Combo3);
      Combo3->clear();
      // Each choice shows the device it stands for; the settings keep "COM3".
      for (const KeyerPortChoice& c : KeyerPortChoices(serialSystem().portNames())) Combo3->addItem(c.caption, c.com);
      // A port the list does not hold keeps the first one.
      const int portIndex = port ? Combo3->findData(port->port) : 0;
      Combo3->setCurrentIndex(portIndex < 0 ? 0 : portIndex);
    }
    // The chosen port is opened even when it is the one shown before; a failure is
    // told once the activation is through, not in the middle of it.
    activating_ = true;
    Combo3_Click();
    activating_ = false;
    const bool dtr = port ? port->dtr : true;
    if (dtr) Check3->setChecked(true);
    else Check4->setChecked(true);
  }
  if (ReadDarkBackgroundSetting().value_or(false)) Check7->setChecked(true);

  const QString band = Combo2->currentText();
  HScroll1->setValue(20);
  HScroll1_Change();
  {
    const QSignalBlocker quiet(Combo2);
    Combo2->clear();
    Combo2->addItems(kContestBands);
  }
  const int bandIndex = Combo2->findText(band);
  Combo2->setCurrentIndex(bandIndex >= 0 ? bandIndex : Combo2->findText(QStringLiteral("80m")));
  sPorcentaje->resize(0, sPorcentaje->height());

  const QString contest = Label2->text();
  auto selectLast = [&] {
    const auto lastMode = GetLastContestModeOrBand(contest, QStringLiteral("M"));
    const auto lastBand = GetLastContestModeOrBand(contest, QStringLiteral("B"));
    if (lastBand.ok() && !lastBand.value.isEmpty()) {
      const int i = Combo2->findText(lastBand.value, Qt::MatchFixedString);
      if (i >= 0) Combo2->setCurrentIndex(i);
    }
    if (lastMode.ok() && !lastMode.value.isEmpty()) {
      const int i = Combo1->findText(lastMode.value, Qt::MatchFixedString);
      if (i >= 0) Combo1->setCurrentIndex(i);
    }
  };
  if (Label3->text() == kSerialFija) {
    RSE->setText(Label4->text());
    selectLast();
  } else {
    selectLast();
    const auto last = GetLastSentSerial(contest, Combo1->currentText(), Combo2->currentText());
    RSE->setText(last.ok() && last.value ? NextSerial(*last.value) : QStringLiteral("1"));
  }
  state().ContestFormBusy = false;
  Timer2->start();
  if (!pendingPortWarning_.isEmpty()) {
    // The master-list question waits until the warning is answered.
    Timer4->stop();
    QTimer::singleShot(0, this, &Form4::showPendingPortWarning);
  }
}

void Form4::showPendingPortWarning() {
  if (pendingPortWarning_.isEmpty()) return;
  const QString text = pendingPortWarning_;
  pendingPortWarning_.clear();
  QPointer<Form4> self(this);
  warnKeyerPort(text);
  if (self && isVisible()) Timer4->start();
}

void Form4::warnKeyerPort(const QString& text) {
  if (activating_) {
    pendingPortWarning_ = text;
    return;
  }
  QPointer<Form4> self(this);
  portWarningOpen_ = true;
  showWarning(text);
  if (self) portWarningOpen_ = false;
}

int Form4::ValidateContestEntry() {
  const std::pair<QLineEdit*, const char*> boxes[] = {
      {Text2, "Falta su Señal Distintiva!"},     {Fecha, "Falta la Fecha!"},
      {Hora, "Falta el QTR!"},                   {Corresponsal, "Falta el Corresponsal!"},
      {RSE, "Falta la Serie Enviada"},           {RSR, "Falta la Serie Recibida"}};
  for (const auto& [box, message] : boxes) {
    if (!box->text().isEmpty()) continue;
    msgBox(QString::fromUtf8(message), MsgIcon::Exclamation);
    box->setFocus();
    return 1;
  }
  return 0;
}

void Form4::Form_KeyPress(int& KeyAscii) {
  if (KeyAscii != 13) return;
  if (ValidateContestEntry() != 0) return;

  // With manual time the boxes may hold what was never checked: nothing is stored
  // under a date or time that does not exist.
  const QDate date = parseDayFirstDate(Fecha->text());
  const QTime time = parseTime(Hora->text());
  if (!date.isValid() || IsInvalidDate(Fecha->text())) {
    msgBox(QStringLiteral("la Fecha ") + Fecha->text() + QStringLiteral(" no es válida!\r\n\r\nFormato: dd/mm/aaaa"),
           MsgIcon::Exclamation);
    Fecha->setFocus();
    return;
  }
  if (!time.isValid()) {
    msgBox(QStringLiteral("la Hora ") + Hora->text() + QStringLiteral(" no es válida!\r\n\r\nFormato: hh:mm"),
           MsgIcon::Exclamation);
    Hora->setFocus();
    return;
  }
  QString frequency = mhz->currentText() + Text1->text();
  frequency.remove(u'.');
  const QString contest = Label2->text();
  const QString serialType = Label3->text();
  const auto stored = InsertContestQso(Corresponsal->text(), Combo2->currentText(), Combo1->currentText(),
                                       RSE->text(), RSR->text(), date.toString(QStringLiteral("yyyyMMdd")),
                                       time.toString(QStringLiteral("HHmm")), Text2->text(), contest, QString(),
                                       frequency, contest, serialType);
  if (!stored.ok()) {
    // The entry stays on screen so that nothing typed is lost.
    showError(QStringLiteral("No se pudo guardar el QSO del concurso con ") + Corresponsal->text() +
              QStringLiteral("! ") + nothingStoredText() + QStringLiteral("\r\n\r\n") + stored.error());
    return;
  }
  if (const auto row = AddContestQsoToList(contest, stored.value)) AddContestListRow(*row, true);
  // The log's sent exchange is its first QSO's, as reading the log again gives it: the
  // next activation puts it back into a "Fija" contest's sent box, also when the
  // record editor closed without reading the log.
  if (ListView2->topLevelItemCount() == 1) Label4->setText(RSE->text());
  Corresponsal->clear();
  if (serialType == kSerialIncremental) RSE->setText(NextSerial(RSE->text()));
  RSR->clear();
  if (Check2->isChecked()) Hora->setFocus();
  else Corresponsal->setFocus();
}

// ---- Entry fields --------------------------------------------------------------------

// A leave check that rejects a field puts the focus back once the move that left it
// has completed, and at once for a caller that runs the check directly.
void Form4::focusBack(QLineEdit* box) {
  box->setFocus();
  QTimer::singleShot(0, box, [box] { box->setFocus(); });
}

void Form4::gotFocus(QLineEdit* box, int focusCode) {
  state().FocusedEntryField = focusCode;
  // One box shows the focus colour: one that lost the focus while the window was
  // inactive (no leave event reaches it then) gives it up here.
  for (QLineEdit* other : {Fecha, Hora, Corresponsal, RSE, RSR})
    if (other != box && backColor(other) == colorFromValue(kFocused)) setBackColor(other, kWhite);
  setBackColor(box, kFocused);
}

void Form4::Corresponsal_KeyPress(int& KeyAscii) { KeyAscii = filterKey(KeyAscii, {true, true, "/"}); }
void Form4::Text2_KeyPress(int& KeyAscii) { KeyAscii = filterKey(KeyAscii, {true, true, "/"}); }
void Form4::Fecha_KeyPress(int& KeyAscii) { KeyAscii = filterKey(KeyAscii, {false, true, "/"}); }
void Form4::Hora_KeyPress(int& KeyAscii) { KeyAscii = filterKey(KeyAscii, {false, true, ":"}); }
void Form4::RSE_KeyPress(int& KeyAscii) {
  KeyAscii = filterKey(KeyAscii, {Label3->text() != kSerialIncremental, true, ""});
}
void Form4::RSR_KeyPress(int& KeyAscii) {
  KeyAscii = filterKey(KeyAscii, {Label3->text() != kSerialIncremental, true, ""});
}
void Form4::Text1_KeyPress(int& KeyAscii) { KeyAscii = filterKey(KeyAscii, {false, true, ""}); }

void Form4::controlKeyPress(QObject* control, int& KeyAscii) {
  if (control == Corresponsal) Corresponsal_KeyPress(KeyAscii);
  else if (control == Text2) Text2_KeyPress(KeyAscii);
  else if (control == Fecha) Fecha_KeyPress(KeyAscii);
  else if (control == Hora) Hora_KeyPress(KeyAscii);
  else if (control == RSE) RSE_KeyPress(KeyAscii);
  else if (control == RSR) RSR_KeyPress(KeyAscii);
  else if (control == Text1) Text1_KeyPress(KeyAscii);
}

void Form4::Corresponsal_Change() {
  const QString call = Corresponsal->text();
  List1->clear();
  List2->clear();
  Frame4->hide();
  Label7->hide();
  if (askDupe(call)) Label7->show();
  if (call.size() > 2) RunMasterCheck(call);
  if (call.isEmpty()) {
    Frame4->hide();
    Label11->clear();
  }
  if (call.size() > 2) {
    QString prefix = call;
    Label11->setText(LookupCountryOrProvince(prefix));
  }
  if (!call.isEmpty()) {
    macros[4]->setText(QStringLiteral("F5-") + call);
  } else {
    macros[4]->setText(QStringLiteral("F5-SuCall"));
    MCheck->clear();
  }
  fitMacroCaptions(false);
}

void Form4::Text2_Change() {
  macros[3]->setText(QStringLiteral("F4-") + Text2->text());
  fitMacroCaptions(false);
}

void Form4::Corresponsal_LostFocus() {
  setBackColor(Corresponsal, kWhite);
  const QString call = Corresponsal->text();
  if (call.isEmpty()) return;
  if (call == Text2->text()) {
    msgBox(QStringLiteral("QSO con ") + call + QStringLiteral(" ???"), MsgIcon::Exclamation);
    return;
  }
  if (!looksLikeCallSign(call)) {
    msgBox(notACallSign(call), MsgIcon::Exclamation);
    focusBack(Corresponsal);
    return;
  }
  if (askDupe(call)) Label7->show();
}

void Form4::Text2_LostFocus() {
  const QString call = Text2->text();
  if (call.isEmpty() || looksLikeCallSign(call)) return;
  msgBox(notACallSign(call), MsgIcon::Exclamation);
  focusBack(Text2);
}

void Form4::Fecha_LostFocus() {
  QString text = Fecha->text();
  if (vbVal(text.mid(6, 4)) == 0) {
    text = text.left(6) + QStringLiteral("2000");
    Fecha->setText(text);
  }
  if (IsInvalidDate(text)) {
    msgBox(QStringLiteral("la Fecha ") + text + QStringLiteral(" no es válida!\r\n\r\nFormato: dd/mm/aaaa"),
           MsgIcon::Exclamation);
    focusBack(Fecha);
  }
  setBackColor(Fecha, kWhite);
}

void Form4::Hora_LostFocus() {
  const QTime t = parseTime(Hora->text());
  if (t.isValid()) Hora->setText(formatTime(t));
  if (IsInvalidTime(Hora->text())) {
    msgBox(QStringLiteral("la Hora ") + Hora->text() + QStringLiteral(" no es válida!\r\n\r\nFormato: hh:mm"),
           MsgIcon::Exclamation);
    focusBack(Hora);
  }
  setBackColor(Hora, kWhite);
}

void Form4::RSE_LostFocus() { setBackColor(RSE, kWhite); }
void Form4::RSR_LostFocus() { setBackColor(RSR, kWhite); }

void Form4::Text1_LostFocus() {
  QString digits = Text1->text();
  while (digits.size() < 3) digits += u'0';
  Text1->setText(digits);
}

void Form4::mhz_Click() {
  static const QHash<QString, QString> bands = {{"1", "160m"}, {"3", "80m"},  {"7", "40m"},
                                                {"14", "20m"}, {"21", "15m"}, {"28", "10m"}};
  const auto it = bands.constFind(mhz->currentText());
  if (it != bands.constEnd()) Label6->setText(*it);
  if (isVisible()) Corresponsal->setFocus();
}

void Form4::Picture1_Click() { Corresponsal->setFocus(); }

bool Form4::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      return keyEvent(watched, static_cast<QKeyEvent*>(event), true);
    case QEvent::KeyRelease:
      return keyEvent(watched, static_cast<QKeyEvent*>(event), false);
    case QEvent::ShortcutOverride: {
      // The menu's Ctrl shortcuts act in a text box too.
      auto* ke = static_cast<QKeyEvent*>(event);
      if (ke->modifiers() != Qt::ControlModifier) return false;
      for (QAction* a : {eca, ead, elo, tbp, amc, sdc})
        if (a->shortcut().matches(QKeySequence(ke->keyCombination())) == QKeySequence::ExactMatch) return true;
      return false;
    }
    case QEvent::MouseButtonDblClick:
      if (watched == MCheck->viewport()) {
        MCheck->setTextCursor(MCheck->cursorForPosition(static_cast<QMouseEvent*>(event)->position().toPoint()));
        MCheck_DblClick();
        return true;
      }
      return false;
    case QEvent::MouseButtonRelease:
      for (int i = 0; i < 7; ++i)
        if (watched == macros[size_t(i)]) macros_Click(i);
      if (watched == Picture1) Picture1_Click();
      return false;
    case QEvent::FocusIn:
      if (watched == Fecha) gotFocus(Fecha, 1);
      else if (watched == Hora) {
        gotFocus(Hora, 2);
        Hora->setSelection(3, 2);
      } else if (watched == Corresponsal) gotFocus(Corresponsal, 3);
      else if (watched == RSE) gotFocus(RSE, 4);
      else if (watched == RSR) gotFocus(RSR, 5);
      return false;
    case QEvent::FocusOut: {
      if (keyer_) keyer_->ReleaseManualKey();
      // Switching to another window is no leaving of the field.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
      if (watched == Corresponsal) Corresponsal_LostFocus();
      else if (watched == Text2) Text2_LostFocus();
      else if (watched == Fecha) Fecha_LostFocus();
      else if (watched == Hora) Hora_LostFocus();
      else if (watched == RSE) RSE_LostFocus();
      else if (watched == RSR) RSR_LostFocus();
      else if (watched == Text1) Text1_LostFocus();
      return false;
    }
    default:
      return false;
  }
}

namespace {

// The key code the window's key handlers take (F1 is 112, the arrows 37 to 40).
int vbKeyCode(const QKeyEvent* ke) {
  const int key = ke->key();
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Control: return 17;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    default: break;
  }
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  return 0;
}

}  // namespace

bool Form4::keyEvent(QObject* watched, QKeyEvent* ke, bool press) {
  const int code = vbKeyCode(ke);
  if (!press) {
    // A held key repeats as press and release pairs: only the real release counts.
    if (code != 0 && !ke->isAutoRepeat()) Form_KeyUp(code);
    return false;
  }
  if (code != 0) Form_KeyDown(code, ke->modifiers());
  else state().CtrlDown = ke->modifiers().testFlag(Qt::ControlModifier);

  // Tab and Backtab move the focus and Delete edits: none of them is a typed
  // character, so the window's and the fields' key filters never see them.
  const int key = ke->key();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete) return false;

  int KeyAscii = 0;
  if (code == 13) KeyAscii = 13;
  else if (ke->text().size() == 1) KeyAscii = ke->text().at(0).unicode();
  else return false;
  const int typed = KeyAscii;
  // The window sees every key before the field does.
  Form_KeyPress(KeyAscii);
  if (KeyAscii == 13) return true;
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (!box) return false;
  controlKeyPress(watched, KeyAscii);
  if (KeyAscii == 0) return true;
  if (KeyAscii == typed) return false;
  box->insert(QString(QChar(KeyAscii)));
  return true;
}

// ---- Frame, clocks and colours ------------------------------------------------------------

void Form4::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (Layout.isEmpty()) return;
  // Each axis follows the window (fonts the smaller factor): no empty band when maximised.
  ScaleControls(this, layoutToScale(), false);
  arrangeModePanels();
  fitMacroCaptions(true);
  ListView2->hide();
  ListView2->show();
}

// A macro label shows its whole caption: a call too long for it gets a smaller font.
void Form4::fitMacroCaptions(bool rescaled) {
  for (QLabel* l : macros) {
    if (rescaled) l->setProperty(kCaptionPointSize, l->font().pointSizeF());
    QFont f = l->font();
    const double base = l->property(kCaptionPointSize).toDouble();
    if (base > 0) f.setPointSizeF(base);
    const int room = l->contentsRect().width() - 2;
    while (f.pointSizeF() > 5.5 && QFontMetrics(f).horizontalAdvance(l->text()) > room)
      f.setPointSizeF(f.pointSizeF() - 0.5);
    if (f != l->font()) l->setFont(f);
  }
}

// Without "MasterCheck" the window is narrower by the right-hand column alone: the
// scale is taken against the design width less that column, so the other controls
// keep their size and the column lies beyond the window's edge.
double Form4::layoutWidthFactor() const {
  return Check8->isChecked() ? 1.0 : double(kWidthWithoutMasterCheck) / kWidthWithMasterCheck;
}

LayoutList Form4::layoutToScale() const {
  LayoutList layout = Layout;
  if (!layout.isEmpty()) layout.first().Width = int(std::lround(layout.first().Width * layoutWidthFactor()));
  return layout;
}

// The CW panel and the voice-call row share the bottom of the window. Without the CW
// panel the log takes its room and the voice-call row moves to the bottom, so no band
// of the window stays empty.
void Form4::arrangeModePanels() {
  if (Layout.isEmpty() || !Frame1->isHidden()) return;
  const LayoutScale s = LayoutScaleFor(height() * double(kTwipsPerPixel), width() * double(kTwipsPerPixel),
                                       layoutToScale().first());
  auto place = [&s](QWidget* w, int x, int y, int width, int height) {
    w->setGeometry(int(std::lround(x * s.SX)), int(std::lround(y * s.SY)), int(std::lround(width * s.SX)),
                   int(std::lround(height * s.SY)));
  };
  place(Frame3, 10, 130, 730, 390);
  place(ListView2, 8, 20, 714, 342);
  place(Label9, 8, 366, 200, 18);
  place(sFondo, 10, 532, 300, 16);
  place(Label8, 320, 530, 30, 20);
  place(Label13, 360, 530, 140, 20);
  sPorcentaje->setGeometry(sFondo->x(), sFondo->y(), sPorcentaje->width(), sFondo->height());
}

void Form4::saveWindowSettings() {
  const Status port = SaveCwPortSettings(Combo3->currentData().toString(), Check3->isChecked());
  const Status dark = SaveDarkBackgroundSetting(Check7->isChecked());
  // The contest itself is stored already; an unwritable settings file only loses the
  // keyer and colour choice, and the operator is told so.
  if (!port.ok) showWarning(port.error);
  else if (!dark.ok) showWarning(dark.error);
}

void Form4::Form_QueryUnload(bool& cancel) {
  const QString call = Corresponsal->text();
  if (!call.isEmpty() && !askYesNo(call + QStringLiteral(" sin registrar, lo descarta?"))) {
    cancel = true;
    return;
  }
  cancel = false;
  saveWindowSettings();
}

void Form4::closeEvent(QCloseEvent* e) {
  bool cancel = false;
  Form_QueryUnload(cancel);
  if (cancel) {
    e->ignore();
    return;
  }
  // The transmitter is never left keyed by a window that is gone.
  keyer_->Abort();
  stopVoiceCall();
  Timer1->stop();
  e->accept();
}

// Hidden, the window takes no Esc and shows no key: nothing may go on keying.
void Form4::hideEvent(QHideEvent* e) {
  if (keyer_) keyer_->Abort();
  endVoiceCallOnLeaving();
  QWidget::hideEvent(e);
}

void Form4::sdc_Click() {
  saveWindowSettings();
  close();
}

void Form4::Timer1_Timer() {
  const EntryDateTime utc = UtcEntryDateTime(clock().now(), form2().Text3->text());
  Fecha->setText(utc.date);
  Hora->setText(utc.time);
}

void Form4::showCwPanel(bool cw) {
  Frame1->setVisible(cw);
  for (QWidget* w : std::initializer_list<QWidget*>{sFondo, sPorcentaje, Label8, Label13}) w->setVisible(!cw);
  if (!Layout.isEmpty()) {
    ScaleControls(this, layoutToScale(), false);  // the design places first, then the mode's own
    arrangeModePanels();
    fitMacroCaptions(true);
  }
}

void Form4::Timer2_Timer() {
  Timer2->stop();
  showCwPanel(Combo1->currentText() == QLatin1String("CW"));
}

void Form4::Timer3_Timer() {
  setBackColor(Check2, backColor(Check2) == colorFromValue(kWhite) ? kColorButtonFace : kWhite);
}

void Form4::Check7_Click() {
  if (Check7->isChecked()) ApplyContestDarkColors();
  else ApplyContestLightColors();
  Corresponsal->setFocus();
}

void Form4::Check2_Click() {
  const bool manual = Check2->isChecked();
  Fecha->setEnabled(manual);
  Hora->setEnabled(manual);
  if (manual) {
    Timer1->stop();
    Timer3->start();
  } else {
    Timer3->stop();
    setBackColor(Check2, kColorButtonFace);
    Timer1->start();
  }
}

namespace {
void paintScheme(Form4& f, quint32 window, quint32 list, quint32 other) {
  setBackColor(f.ListView2, list);
  setBackColor(&f, window);
  for (int i : {0, 1, 2, 3, 4, 6, 8}) setBackColor(f.Label1[size_t(i)], other);
  for (QWidget* w : std::initializer_list<QWidget*>{f.Check2, f.Check7, f.Check8, f.Frame2, f.Frame3, f.Frame5,
                                                    f.Label5[0], f.Label5[1], f.Label2, f.Label3})
    setBackColor(w, other);
}
}  // namespace

void Form4::ApplyContestDarkColors() { paintScheme(*this, kDark, kDark, kDark); }
void Form4::ApplyContestLightColors() { paintScheme(*this, kColorButtonFace, kWhite, kColorButtonFace); }

// ---- Commands ------------------------------------------------------------------------------

void Form4::Command1_Click() {
  const QString contest = Label2->text();
  const auto qsos = ContestQsosByTime(contest);
  if (!qsos.ok()) {
    showError(qsos.error());
    return;
  }
  const CabrilloSection section = CabrilloQsoSection(qsos.value, Text2->text());
  if (section.otherOwnCall) {
    msgBox(QStringLiteral("Error!\r\nEn el log distinta Señal Distintiva"), MsgIcon::Critical);
    return;
  }
  if (section.qsoCount == 0) {
    msgBox(QStringLiteral("No hay ningún QSO para exportar a Cabrillo!"), MsgIcon::Exclamation);
    return;
  }
  ShowCabrilloHeader(contest, section.text, section.qsoCount, Text2->text());
}

void Form4::Command2_Click() { ExportContestAdif(Label2->text(), Text2->text()); }

// The transfer shows its own messages and reloads the main window's list.
void Form4::Command4_Click() {
  TransferContestToMainLog(Label2->text(), Label9->text(), form1().Frame1->title(), [] {
    if (!FormInstance<Form1>::loaded()) return;
    form1().ListView2->clear();
    LoadLogPage(state().CurrentLogName, 1);
  });
}

void Form4::amc_Click() {
  // The download and its messages wait in the event loop: closing the window meanwhile
  // leaves it in place until the update has returned, and Ctrl+M twice starts one update.
  StepRunning step(this, "masterUpdate");
  if (!step.started()) return;
  UpdateMasterList();
  if (!step.alive()) return;
  Frame2->setTitle(MasterCheckCaption(state().MasterCallCount));
}

void Form4::ShowContestLog(const ContestLogLoad& log) {
  ListView2->hide();
  ListView2->clear();
  for (const ContestQso& q : log.qsos) AddContestListRow(contestListRow(q), false);
  ListView2->show();
  Label9->setText(ContestQsoCountCaption(log.qsos.size()));
  Label4->setText(log.lastExchange);
}

void Form4::ReloadContestList(int selectPosition) {
  const auto log = LoadContestLog(Label2->text());
  if (!log.ok()) {
    showError(log.error());
    return;
  }
  ShowContestLog(log.value);
  if (selectPosition > 0 && selectPosition <= ListView2->topLevelItemCount())
    ListView2->setCurrentItem(ListView2->topLevelItem(selectPosition - 1));
}

void Form4::ListView2_DblClick() {
  QTreeWidgetItem* item = ListView2->currentItem();
  std::optional<ContestListRow> row;
  int position = 0;
  if (item) {
    const auto cell = [item](int column) { return item->text(column); };
    row = ContestListRow{cell(1), cell(2), cell(3), cell(4), cell(5), cell(6),
                         cell(7), cell(8), cell(9), cell(10), cell(11)};
    position = ListView2->indexOfTopLevelItem(item) + 1;
  }
  QPointer<Form4> self(this);
  const bool opened = OpenContestRecordFromList(row ? &*row : nullptr, position, Label2->text(), Label3->text());
  if (self && opened) backFromRecordEditor();
}

void Form4::backFromRecordEditor() {
  // The opener set the flag; the activation clears it, and may have run already.
  if (!state().ContestFormBusy || !isVisible()) return;
  // The editor was a window of the contest's own, whether or not it was seen to
  // become active.
  returnFromWindow_ = true;
  if (isActiveWindow()) {
    returnFromWindow_ = false;
    Form_Activate();
    return;
  }
  // Without a window manager nobody hands the activation back; with one, this
  // asks for what it does anyway. The activation runs when it arrives.
  activateWindow();
}

void Form4::Command3_Click() {
  const QString contest = Label2->text();
  if (!askYesNo(QStringLiteral("Elimina log ") + contest + u'?')) return;
  const Status deleted = DeleteContestLog(contest);
  if (!deleted.ok) {
    showError(deleted.error);
    return;
  }
  hide();
}

}  // namespace vz
