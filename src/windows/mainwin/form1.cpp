#include "mainwin/form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <memory>
#include <utility>

#include "platform/cp1252box.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/webget.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/gridbackfill.h"
#include "store/logstore.h"
#include "store/maintenance.h"
#include "store/programstate.h"

namespace vz {

namespace {

// Colours of the design, (red, green, blue).
const QColor kGreen(0, 128, 0);
const QColor kDarkGreen(0, 64, 0);
const QColor kDarkRed(128, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGridBlue(0, 0, 192);

QFont designFont(double points, bool bold) {
  QFont f(QStringLiteral("Tahoma"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}
const double kCaptionPoints = 8.25;
const double kFieldPoints = 9.75;

template <class T>
T* control(QWidget* parent, const char* name, int x, int y, int w, int h, int index = -1) {
  T* c = new T(parent);
  c->setObjectName(QLatin1String(name));
  if (index >= 0) c->setProperty("Index", index);
  c->setGeometry(x, y, w, h);
  return c;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h,
              int index = -1) {
  auto* l = control<QLabel>(parent, name, x, y, w, h, index);
  l->setText(caption);
  return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, int x, int y, int w, int h = 23) {
  auto* t = control<QLineEdit>(parent, name, x, y, w, h);
  t->setMaxLength(maxLength);
  t->setFont(designFont(kFieldPoints, true));
  keepToOneLine(t);
  return t;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
  auto* b = control<QPushButton>(parent, name, x, y, w, h);
  b->setText(caption);
  return b;
}

QPushButton* hiddenButton(QWidget* parent, const char* name, const QString& caption, int x, int y) {
  auto* b = button(parent, name, caption, x, y, 24, 22);
  b->setVisible(false);
  return b;
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int x, int y, int w, int h) {
  auto* g = control<QGroupBox>(parent, name, x, y, w, h);
  g->setTitle(caption);
  return g;
}

void setTextColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, c);
  p.setColor(QPalette::ButtonText, c);
  p.setColor(QPalette::Text, c);
  w->setPalette(p);
}

void setBackColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, c);
  p.setColor(QPalette::Button, c);
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

// The station panel's logo: the program's name on a blue band.
QPixmap logoPicture(const QSize& size) {
  QPixmap pm(size);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, size.width(), size.height());
  g.setColorAt(0, QColor(10, 40, 110));
  g.setColorAt(1, QColor(40, 110, 190));
  p.fillRect(pm.rect(), g);
  QPainterPath wave;
  wave.moveTo(0, size.height() * 0.78);
  for (int x = 0; x <= size.width(); x += 4)
    wave.lineTo(x, size.height() * (0.78 + 0.08 * std::sin(x / 9.0)));
  p.setPen(QPen(QColor(255, 255, 255, 90), 1.5));
  p.drawPath(wave);
  QFont f = designFont(kCaptionPoints, true);
  f.setPixelSize(size.height() * 2 / 5);
  f.setItalic(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(pm.rect().adjusted(0, 0, 0, -size.height() / 5), Qt::AlignCenter, QStringLiteral("Vantorel Zezeror"));
  return pm;
}

// The small picture of the satellite-pass button.
QIcon satelliteIcon() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(60, 60, 60));
  p.setPen(Qt::NoPen);
  p.drawRect(6, 6, 4, 4);
  p.setBrush(QColor(30, 80, 200));
  p.drawRect(0, 6, 5, 4);
  p.drawRect(11, 6, 5, 4);
  return QIcon(pm);
}

// A selector's reaction runs when code changes its choice and whenever the operator
// picks from its list, also the item already shown: a pick is a choice. A pick
// that changes the choice has run the reaction already through the change.
void connectPick(Form1* form, QComboBox* box, void (Form1::*reaction)()) {
  auto changed = std::make_shared<bool>(false);
  QObject::connect(box, &QComboBox::currentIndexChanged, form, [form, changed, reaction] {
    *changed = true;
    QTimer::singleShot(0, form, [changed] { *changed = false; });
    (form->*reaction)();
  });
  QObject::connect(box, &QComboBox::activated, form, [form, changed, reaction] {
    if (!std::exchange(*changed, false)) (form->*reaction)();
  });
}

}  // namespace

Form1::Form1() {
  setWindowTitle(QStringLiteral("Vantorel Zezeror V1.0"));
  auto* surface = new QWidget(this);
  surface->setFont(designFont(kCaptionPoints, true));
  setCentralWidget(surface);

  buildEntryStrip(surface);
  buildStationPanel(surface);
  buildStatusRow(surface);
  buildQsoList(surface);
  buildPagingStrip(surface);
  buildMergePanel(surface);
  buildTimers();
  WebBrowser2 = new WebGet(this);
  WebBrowser5 = new WebGet(this);
  connectLookupChannels();
  buildMenus();
  buildTabOrder();
  installKeyPreview();
  buildEntryReactions();
  // The hidden label is where F5 and the tests find the QSO saved last.
  setQsoSavedHandler([label = QPointer<QLabel>(Label4)](const QString& id) {
    if (label) label->setText(id);
  });
  // A save's grid reaches its earlier QSOs after the list was shown again: the page
  // on show is read once more when that log's back-fill ends. A grid that could not
  // be written is only reported; the QSO is saved either way.
  setGridBackFillHandlers(
      [self = QPointer<Form1>(this)](const QString& logName) {
        if (self && logName == state().CurrentLogName) LoadLogPage(state().CurrentLogName, state().LogPageStart);
      },
      [](const QString& error) { showError(error); });
  followTransmitState(Label13);

  // Design size and place; the load fits both to the screen.
  resize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel + menuBar()->sizeHint().height());
  move(kDesignLeft / kTwipsPerPixel, kDesignTop / kTwipsPerPixel);
  Form_Load();
}

Form1::~Form1() {
  setQsoSavedHandler({});
  setGridBackFillHandlers({}, {});
  // The program-wide focus signal must not reach this window while its children are
  // destroyed: by then it is a window no more.
  disconnect(qApp, nullptr, this, nullptr);
}

void Form1::buildEntryStrip(QWidget* surface) {
  Frame1 = frame(surface, "Frame1", QString(), 8, 0, 593, 169);

  Label1[0] = label(Frame1, "Label1", QStringLiteral("Corresponsal"), 10, 18, 110, 14, 0);
  Corresponsal = textBox(Frame1, "Corresponsal", 15, 10, 33, 118);
  Command14 = button(Frame1, "Command14", QStringLiteral("L"), 131, 33, 22, 23);
  setBackColour(Command14, QColor(128, 255, 255));
  Command14->setEnabled(false);
  Command14->setToolTip(QStringLiteral("Buscar Corresponsal en Ruk (Ctrl+L)"));
  // Sits on the window itself, over the strip, between its two neighbours.
  Command13 = button(surface, "Command13", QStringLiteral("Q"), 8 + 155, 33, 22, 23);
  setBackColour(Command13, QColor(0, 255, 0));
  Command13->setEnabled(false);
  Command13->setToolTip(QStringLiteral("Buscar Corresponsal en QRZ (Ctrl+Q)"));
  Command7 = button(Frame1, "Command7", QStringLiteral("?"), 179, 33, 22, 23);
  setBackColour(Command7, QColor(255, 255, 0));
  Command7->setEnabled(false);
  Command7->setToolTip(QStringLiteral("Buscar Corresponsal en log (Ctrl+X)"));

  Label1[4] = label(Frame1, "Label1", QStringLiteral("        Fecha              Hora"), 206, 18, 150, 14, 4);
  // Wide enough for a whole date and time in the bold field font.
  Fecha = textBox(Frame1, "Fecha", 10, 206, 33, 92);
  Hora = textBox(Frame1, "Hora", 5, 300, 33, 50);
  Label11 = label(Frame1, "Label11", QStringLiteral("UTC"), 352, 36, 30, 17);
  Label11->setAlignment(Qt::AlignCenter);
  setBackColour(Label11, kRed);
  setTextColour(Label11, Qt::white);
  Label11->setToolTip(QStringLiteral("Clic para cambiar LU/UTC"));
  Label11->setVisible(false);

  Label1[1] = label(Frame1, "Label1", QStringLiteral("RS(e)"), 384, 18, 40, 14, 1);
  RSE = textBox(Frame1, "RSE", 3, 384, 33, 40);
  RSE->setText(QStringLiteral("59"));
  Label1[2] = label(Frame1, "Label1", QStringLiteral("RS(r)"), 428, 18, 40, 14, 2);
  RSR = textBox(Frame1, "RSR", 3, 428, 33, 40);
  RSR->setText(QStringLiteral("59"));
  Check1 = control<QCheckBox>(Frame1, "Check1", 478, 35, 108, 19);
  Check1->setText(QStringLiteral("QTR manual"));
  setTextColour(Check1, kRed);

  Label1[8] = label(Frame1, "Label1", QStringLiteral("Modo"), 10, 62, 80, 14, 8);
  Combo1 = control<QComboBox>(Frame1, "Combo1", 10, 77, 84, 23);
  Combo1->setFont(designFont(kFieldPoints, true));
  Label1[5] = label(Frame1, "Label1", QStringLiteral("MHz"), 98, 62, 56, 14, 5);
  mhz = control<QComboBox>(Frame1, "mhz", 98, 77, 64, 23);  // room for a 23 cm "1267"
  mhz->setFont(designFont(kFieldPoints, true));
  Label1[10] = label(Frame1, "Label1", QStringLiteral("KHz"), 166, 62, 36, 14, 10);
  Text1 = textBox(Frame1, "Text1", 3, 166, 77, 37);
  Label1[9] = label(Frame1, "Label1", QStringLiteral("Banda"), 206, 62, 52, 14, 9);
  Label7 = label(Frame1, "Label7", QString(), 206, 77, 50, 23);
  Label7->setFont(designFont(kFieldPoints, true));
  Label7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Label7->setAlignment(Qt::AlignCenter);
  Label1[11] = label(Frame1, "Label1", QStringLiteral("GridLoc"), 260, 62, 70, 14, 11);
  Text2 = textBox(Frame1, "Text2", 6, 260, 77, 70);
  Command15 = control<QPushButton>(Frame1, "Command15", 336, 77, 28, 23);
  Command15->setIcon(satelliteIcon());
  Command15->setToolTip(QStringLiteral("Pasos en AMSAT LU"));
  Command15->setVisible(false);
  Check2 = control<QCheckBox>(Frame1, "Check2", 478, 57, 108, 19);
  Check2->setText(QStringLiteral("Vía Satélite"));
  Check3 = control<QCheckBox>(Frame1, "Check3", 478, 79, 108, 19);
  Check3->setText(QStringLiteral("No Borrar"));
  setTextColour(Check3, kBlue);

  Label1[3] = label(Frame1, "Label1", QStringLiteral("Observaciones"), 10, 106, 120, 14, 3);
  Obs = textBox(Frame1, "Obs", 50, 10, 121, 300);

  Combo2 = control<QComboBox>(Frame1, "Combo2", 336, 121, 70, 23);
  Combo2->setVisible(false);
  Command4 = hiddenButton(Frame1, "Command4", QStringLiteral("Command4"), 410, 121);

  Frame2 = frame(Frame1, "Frame2", QStringLiteral("Satélite"), 318, 98, 270, 70);
  Combo3 = control<QComboBox>(Frame2, "Combo3", 8, 16, 150, 22);
  Command1 = button(Frame2, "Command1", QStringLiteral("Editar"), 164, 16, 60, 22);
  const QFont small = designFont(kCaptionPoints, false);
  Subida = label(Frame2, "Subida", QStringLiteral("Subida:"), 8, 41, 152, 13);  // "Subida: 23cm 1267.100"
  Bajada = label(Frame2, "Bajada", QStringLiteral("Bajada:"), 164, 41, 100, 13);
  // The mode is short; the sub-tone label takes the rest of the row, as after a load
  // it shows a six-field line's sub-tone and frequency ("SubTono:88.5;1267.100").
  Modo = label(Frame2, "Modo", QStringLiteral("Modo:"), 8, 54, 80, 13);
  Subtono = label(Frame2, "Subtono", QStringLiteral("SubTono:"), 92, 54, 174, 13);
  for (QLabel* l : {Subida, Bajada, Modo, Subtono}) l->setFont(small);
  Frame2->setVisible(false);

  connect(Command14, &QPushButton::clicked, this, &Form1::Command14_Click);
  connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
  connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
  connect(Command15, &QPushButton::clicked, this, &Form1::Command15_Click);
  connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Check1, &QCheckBox::toggled, this, &Form1::Check1_Click);
  connect(Check2, &QCheckBox::toggled, this, &Form1::Check2_Click);
  // Picking the mode shown again gives its default reports again; the MHz shown
  // again sets the band again; the satellite shown again gives its mode and uplink.
  connectPick(this, Combo1, &Form1::Combo1_Click);
  connectPick(this, mhz, &Form1::mhz_Click);
  connectPick(this, Combo3, &Form1::Combo3_Click);
}

void Form1::buildStationPanel(QWidget* surface) {
  Frame5 = frame(surface, "Frame5", QString(), 608, 8, 281, 161);
  Image1 = control<QLabel>(Frame5, "Image1", 8, 10, 265, 52);
  Image1->setPixmap(logoPicture(Image1->size() * 2));  // drawn large, shown at any scale
  Image1->setScaledContents(true);
  Image1->setToolTip(QStringLiteral("Ir a la web (doble clic)"));

  const QFont call = designFont(12, true);
  Label1[6] = label(Frame5, "Label1", QStringLiteral("Estación"), 10, 72, 70, 16, 6);
  Label2 = label(Frame5, "Label2", QString(), 84, 68, 188, 22);
  Label1[7] = label(Frame5, "Label1", QStringLiteral("Operador"), 10, 98, 70, 16, 7);
  Label3 = label(Frame5, "Label3", QString(), 84, 94, 188, 22);
  for (QLabel* l : {Label2, Label3}) {
    l->setFont(call);
    setTextColour(l, kGreen);
  }
  Label8 = label(Frame5, "Label8", QString(), 84, 122, 120, 20);
  Label8->setFont(designFont(kFieldPoints, true));
  setTextColour(Label8, kGridBlue);

  Image2 = control<QLabel>(Frame5, "Image2", 230, 120, 32, 32);
  Image2->setPixmap(satelliteIcon().pixmap(32, 32));
  Image2->setVisible(false);
  Command9 = hiddenButton(Frame5, "Command9", QStringLiteral("Command9"), 8, 134);
  Command10 = hiddenButton(Frame5, "Command10", QStringLiteral("Command10"), 34, 134);
  Command12 = hiddenButton(Frame5, "Command12", QStringLiteral("Command12"), 60, 134);
  Command16 = hiddenButton(Frame5, "Command16", QStringLiteral("Command16"), 86, 134);

  connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
  connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
  connect(Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
}

void Form1::buildStatusRow(QWidget* surface) {
  Label18 = label(surface, "Label18", QString(), 8, 173, 160, 16);
  setTextColour(Label18, kGreen);
  Label6 = control<SummaryLabel>(surface, "Label6", 172, 173, 300, 16);
  setTextColour(Label6, kDarkRed);
  Label5 = label(surface, "Label5", QStringLiteral("F5 edita último QSO        <enter> tab"), 480, 174, 300, 14);
  Label5->setFont(designFont(kCaptionPoints, false));
  setTextColour(Label5, kGreen);
  Command2 = button(surface, "Command2", QStringLiteral("Ingresar QSO"), 786, 170, 100, 22);
  setTextColour(Command2, kDarkGreen);
  Label4 = label(surface, "Label4", QString(), 8, 173, 60, 16);
  Label4->setVisible(false);
  Command3 = hiddenButton(surface, "Command3", QStringLiteral("Command3"), 700, 170);
  Command5 = hiddenButton(surface, "Command5", QStringLiteral("Hacer Tabla!"), 726, 170);
  Command6 = hiddenButton(surface, "Command6", QStringLiteral("Command6"), 752, 170);

  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
}

void Form1::buildQsoList(QWidget* surface) {
  Frame3 = frame(surface, "Frame3", QStringLiteral("Log ..."), 8, 192, 865, 353);
  ListView2 = control<QTreeWidget>(Frame3, "ListView2", 8, 18, 849, 327);
  // The column widths were drawn for a narrow face; a semi-condensed one keeps a
  // frequency such as 146.520 whole in its 750 twips.
  QFont listFont = designFont(kCaptionPoints, false);
  listFont.setStretch(QFont::SemiCondensed);
  ListView2->setFont(listFont);
  SetupQsoListColumns(ListView2);
  Text4 = control<QPlainTextEdit>(Frame3, "Text4", 600, 200, 240, 120);
  Text4->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
  Text4->setVisible(false);

  // While a page loads its place shows what is happening instead.
  Label9 = label(surface, "Label9", QString(), 340, 348, 200, 18);
  Label9->setAlignment(Qt::AlignCenter);
  Label9->setVisible(false);
  ProgressBar1 = control<QProgressBar>(surface, "ProgressBar1", 340, 370, 200, 16);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setVisible(false);

  connect(ListView2->header(), &QHeaderView::sectionClicked, this,
          [this](int logicalIndex) { ListView2_ColumnClick(logicalIndex + 1); });
  connect(ListView2, &QTreeWidget::itemDoubleClicked, this, [this] { ListView2_DblClick(); });
}

void Form1::buildPagingStrip(QWidget* surface) {
  Frame4 = frame(surface, "Frame4", QString(), 8, 544, 865, 73);
  QStyle* s = style();
  anterior = button(Frame4, "anterior", QStringLiteral("Primera"), 8, 22, 82, 30);
  anterior->setIcon(s->standardIcon(QStyle::SP_MediaSkipBackward));
  menos = button(Frame4, "menos", QStringLiteral("Anterior"), 94, 22, 82, 30);
  menos->setIcon(s->standardIcon(QStyle::SP_MediaSeekBackward));
  mas = button(Frame4, "mas", QStringLiteral("Siguiente"), 180, 22, 82, 30);
  mas->setIcon(s->standardIcon(QStyle::SP_MediaSeekForward));
  mas->setLayoutDirection(Qt::RightToLeft);  // the arrow after the word
  ultima = button(Frame4, "ultima", QStringLiteral("Ultima"), 266, 22, 82, 30);
  ultima->setIcon(s->standardIcon(QStyle::SP_MediaSkipForward));
  ultima->setLayoutDirection(Qt::RightToLeft);
  for (QPushButton* b : {anterior, menos, mas, ultima}) b->setEnabled(false);

  Label10[0] = label(Frame4, "Label10", QStringLiteral("Página:"), 358, 20, 50, 16, 0);
  txt_pagina = label(Frame4, "txt_pagina", QStringLiteral("0"), 410, 20, 44, 16);
  Label10[1] = label(Frame4, "Label10", QStringLiteral("Total:"), 358, 40, 50, 16, 1);
  txt_total = label(Frame4, "txt_total", QStringLiteral("0"), 410, 40, 44, 16);
  Label10[2] = label(Frame4, "Label10", QStringLiteral("Página"), 462, 14, 44, 14, 2);
  Text3 = textBox(Frame4, "Text3", 4, 462, 30, 44, 22);
  Text3->setText(QStringLiteral("1"));
  Command8 = button(Frame4, "Command8", QStringLiteral("Ir"), 510, 30, 34, 22);
  Command11 = hiddenButton(Frame4, "Command11", QStringLiteral("Command11"), 548, 30);

  Label12 = label(Frame4, "Label12", QStringLiteral("Llamador CQ (F1)"), 560, 8, 232, 30);
  Label12->setFont(designFont(15.75, true));
  Label12->setAlignment(Qt::AlignCenter);
  setBackColour(Label12, kGreen);
  setTextColour(Label12, Qt::white);
  sFondo = control<QFrame>(Frame4, "sFondo", 560, 42, 232, 14);
  setBackColour(sFondo, QColor(192, 192, 192));
  sFondo->setFrameStyle(QFrame::Box | QFrame::Plain);
  sPorcentaje = control<QFrame>(Frame4, "sPorcentaje", 560, 42, 0, 14);
  setBackColour(sPorcentaje, kBlue);
  Label13 = label(Frame4, "Label13", QStringLiteral("Tx"), 798, 8, 58, 48);
  Label13->setFont(designFont(12, true));
  Label13->setAlignment(Qt::AlignCenter);
  setBackColour(Label13, kDarkRed);  // until the first push-to-talk call
  setTextColour(Label13, Qt::white);

  connect(anterior, &QPushButton::clicked, this, &Form1::anterior_Click);
  connect(menos, &QPushButton::clicked, this, &Form1::menos_Click);
  connect(mas, &QPushButton::clicked, this, &Form1::mas_Click);
  connect(ultima, &QPushButton::clicked, this, &Form1::ultima_Click);
  connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
  connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
}

void Form1::buildMergePanel(QWidget* surface) {
  Frame6 = frame(surface, "Frame6", QString(), 200, 220, 480, 300);
  Command17 = button(Frame6, "Command17", QStringLiteral("Command17"), 10, 20, 90, 24);
  const char* names[] = {"List1", "List2", "List3", "List4"};
  const char* captionNames[] = {"Label14", "Label15", "Label16", "Label17"};
  const QString captions[] = {QStringLiteral("NUEVO"), QStringLiteral("ACTUAL"), QStringLiteral("AGREGA"),
                              QStringLiteral("QUEDA")};
  QListWidget** lists[] = {&List1, &List2, &List3, &List4};
  QLabel** labels[] = {&Label14, &Label15, &Label16, &Label17};
  for (int i = 0; i < 4; ++i) {
    *labels[i] = label(Frame6, captionNames[i], captions[i], 10 + i * 116, 52, 110, 14);
    *lists[i] = control<QListWidget>(Frame6, names[i], 10 + i * 116, 68, 110, 220);
  }
  Frame6->setVisible(false);
  connect(Command17, &QPushButton::clicked, this, &Form1::Command17_Click);
}

void Form1::buildTimers() {
  struct T {
    QTimer** slot;
    const char* name;
    int interval;
    bool on;
    void (Form1::*tick)();
  };
  const T timers[] = {
      {&Timer1, "Timer1", 1000, true, &Form1::Timer1_Timer},    {&Timer2, "Timer2", 900, true, &Form1::Timer2_Timer},
      {&Timer4, "Timer4", 5000, false, &Form1::Timer4_Timer},   {&Timer5, "Timer5", 5000, false, &Form1::Timer5_Timer},
      {&Timer6, "Timer6", 200, false, &Form1::Timer6_Timer},    {&Timer7, "Timer7", 20000, true, &Form1::Timer7_Timer},
      {&Timer8, "Timer8", 1000, false, &Form1::Timer8_Timer},   {&Timer9, "Timer9", 150, false, &Form1::Timer9_Timer},
      {&Timer10, "Timer10", 2, false, &Form1::Timer10_Timer},
  };
  for (const T& t : timers) {
    auto* timer = new QTimer(this);
    timer->setObjectName(QLatin1String(t.name));
    timer->setInterval(t.interval);
    connect(timer, &QTimer::timeout, this, t.tick);
    if (t.on) timer->start();
    *t.slot = timer;
  }
}

void Form1::buildMenus() {
  auto entry = [this](QMenu* menu, const char* name, const QString& caption, QKeySequence keys,
                      void (Form1::*command)()) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    a->setShortcut(keys);
    menu->addAction(a);
    if (command) connect(a, &QAction::triggered, this, command);
    return a;
  };
  auto separator = [](QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
  };
  auto submenu = [](QMenu* menu, const char* name, const QString& caption) {
    QMenu* m = menu->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
  };
  const auto ctrl = [](Qt::Key k) { return QKeySequence(Qt::CTRL | k); };

  archivo = menuBar()->addMenu(QStringLiteral("Archivo"));
  archivo->setObjectName(QStringLiteral("archivo"));
  ppeerr = entry(archivo, "ppeerr", QStringLiteral("Perfiles"), {}, &Form1::ppeerr_Click);
  conf = entry(archivo, "conf", QStringLiteral("Configuración"), ctrl(Qt::Key_C), &Form1::conf_Click);
  alog = entry(archivo, "alog", QStringLiteral("Abrir Log"), ctrl(Qt::Key_A), &Form1::alog_Click);
  nuevo = entry(archivo, "nuevo", QStringLiteral("Nuevo Log"), ctrl(Qt::Key_N), &Form1::nuevo_Click);
  borralog = entry(archivo, "borralog", QStringLiteral("Borrar Log"), {}, &Form1::borralog_Click);
  aaa = separator(archivo, "aaa");
  eadif = entry(archivo, "eadif", QStringLiteral("Buscar/Exportar"), ctrl(Qt::Key_B), &Form1::eadif_Click);
  ruk2 = entry(archivo, "ruk2", QStringLiteral("Rukanet"), {}, nullptr);
  lados = submenu(archivo, "lados", QStringLiteral("Rukanet"));
  suych = entry(lados, "suych", QStringLiteral("Subir y Chequear Confirmaciones"), ctrl(Qt::Key_Q),
                &Form1::suych_Click);
  ssub = entry(lados, "ssub", QStringLiteral("Sólo Subir"), ctrl(Qt::Key_U), nullptr);
  parg = entry(archivo, "parg", QStringLiteral("Provincias Argentinas"), ctrl(Qt::Key_P), &Form1::parg_Click);
  div2 = separator(archivo, "div2");
  iadif = entry(archivo, "iadif", QStringLiteral("Importar ADIF"), ctrl(Qt::Key_I), &Form1::iadif_Click);
  ttt = separator(archivo, "ttt");
  cabro = entry(archivo, "cabro", QStringLiteral("Concursos"), ctrl(Qt::Key_O), &Form1::cabro_Click);
  anacal = entry(archivo, "anacal", QStringLiteral("Análisis de Concurso"), ctrl(Qt::Key_M), &Form1::anacal_Click);
  div = separator(archivo, "div");
  hbdd = submenu(archivo, "hbdd", QStringLiteral("Hacer BackUp"));
  badeda = entry(hbdd, "badeda", QStringLiteral("Base de Datos"), ctrl(Qt::Key_D), &Form1::badeda_Click);
  badif = entry(hbdd, "badif", QStringLiteral("ADIF"), ctrl(Qt::Key_F), &Form1::badif_Click);
  lll = separator(archivo, "lll");
  salir = entry(archivo, "salir", QStringLiteral("Salir"), ctrl(Qt::Key_S), &Form1::salir_Click);

  // Switched off at design: not offered, and their shortcuts do nothing.
  for (QAction* a : {ppeerr, ruk2, lados->menuAction(), suych, ssub}) a->setVisible(false);

  ayuy = menuBar()->addMenu(QStringLiteral("Ayuda"));
  ayuy->setObjectName(QStringLiteral("ayuy"));
  Ayuda = entry(ayuy, "Ayuda", QStringLiteral("Ayuda"), ctrl(Qt::Key_Y), &Form1::Ayuda_Click);
  ac = entry(ayuy, "ac", QStringLiteral("Actualizaciones"), ctrl(Qt::Key_Z), &Form1::ac_Click);
  aaa888 = separator(ayuy, "aaa888");
  acerca = entry(ayuy, "acerca", QStringLiteral("Acerca de ..."), ctrl(Qt::Key_R), &Form1::acerca_Click);
}

QList<QAction*> Form1::fileMenuActions() const {
  QList<QAction*> all;
  QList<QMenu*> menus{archivo};
  while (!menus.isEmpty()) {
    QMenu* m = menus.takeFirst();
    for (QAction* a : m->actions()) {
      all << a;
      if (a->menu()) menus << a->menu();
    }
  }
  return all;
}

void Form1::buildTabOrder() {
  // The entry fields come first, in the order the operator fills them.
  const QList<QWidget*> order = {Corresponsal, Fecha,  Hora,     RSE,      RSR,     Text1,    Text2,
                                 Obs,          Combo1, mhz,      Check1,   Check2,  Check3,   Combo3,
                                 Command1,     Command2, ListView2, anterior, menos, mas,     ultima,
                                 Text3,        Command8, Command14, Command13, Command7};
  for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::installKeyPreview() {
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

bool Form1::isMenuShortcut(const QKeyEvent* key) const {
  const QKeySequence typed(key->keyCombination());
  QList<QAction*> actions = fileMenuActions();
  actions << ayuy->actions();
  for (const QAction* a : actions)
    if (!a->shortcut().isEmpty() && a->shortcut() == typed && a->isEnabled() && a->isVisible()) return true;
  return false;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride:
      // A text box claims Ctrl+C, Ctrl+A, Ctrl+Z for itself; the menu's commands
      // come first everywhere in the window.
      if (isMenuShortcut(static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::KeyPress: {
      // Only the first delivery, to the focused control: an ignored key travels on
      // to the parents and must not be seen twice.
      if (replayingKey_ || watched != (focusWidget() ? focusWidget() : this)) break;
      auto* key = static_cast<QKeyEvent*>(event);
      int code = key->key();
      Form_KeyDown(code, key->modifiers());
      if (code == 0) return true;
      // Pasting is no typed character: the box takes the text through its own rule.
      if (key->matches(QKeySequence::Paste)) break;
      const QString text = key->text();
      // Tab, Backtab and Delete carry a character but move the focus or edit: they
      // are no typed characters for the key filters.
      const int pressed = key->key();
      if (text.size() != 1 || pressed == Qt::Key_Tab || pressed == Qt::Key_Backtab || pressed == Qt::Key_Delete) break;
      int ascii = text.at(0).unicode();
      Form_KeyPress(ascii);
      if (ascii != 0) controlKeyPress(watched, ascii);
      if (ascii == 0) return true;
      if (ascii != text.at(0).unicode()) {
        QKeyEvent changed(QEvent::KeyPress, key->key(), key->modifiers(), QString(QChar(ascii)),
                          key->isAutoRepeat(), ushort(key->count()));
        replayingKey_ = true;
        QCoreApplication::sendEvent(watched, &changed);
        replayingKey_ = false;
        return true;
      }
      break;
    }
    case QEvent::KeyRelease: {
      if (watched != (focusWidget() ? focusWidget() : this)) break;
      auto* key = static_cast<QKeyEvent*>(event);
      int code = key->key();
      Form_KeyUp(code, key->modifiers());
      if (code == 0) return true;
      break;
    }
    case QEvent::MouseButtonRelease:
      if (watched == Label11 && Label11->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
        Label11_Click();
      break;
    case QEvent::MouseButtonDblClick:
      if (watched == Image1) Image1_DblClick();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form_Resize();
}

void Form1::Form_Resize() {
  if (Layout.isEmpty()) return;
  // Each axis follows the window (fonts the smaller factor), so a maximised window on
  // a wide screen has no empty band beside its controls.
  ScaleControls(this, Layout, false);
  Image1->setPixmap(logoPicture(Image1->size() * 2));  // redrawn, never stretched
  ScaleQsoListColumns(ListView2, LayoutScaleFor(height() * double(kTwipsPerPixel), width() * double(kTwipsPerPixel),
                                                Layout.first())
                                     .f);
}

void Form1::setPagingButtons(const PagingButtons& b) {
  anterior->setEnabled(b.first);
  menos->setEnabled(b.previous);
  mas->setEnabled(b.next);
  ultima->setEnabled(b.last);
}

// ---- Hidden maintenance buttons ---------------------------------------------------

void Form1::Command3_Click() { AddProfileColumns(); }  // failures are of no concern here

void Form1::Command4_Click() { ReadJoinedRowsDiagnostic(); }

// "Hacer Tabla!": empties every table and restarts the ids; the list on screen
// stays as it is until the next load.
void Form1::Command5_Click() {
  const Status s = EmptyAllTables();
  if (!s) showError(s.error);
}

void Form1::Command6_Click() { ReadFirstRowsDiagnostic(); }

// ---- Settings ----------------------------------------------------------------------

// The dialog always opens with what was last saved.
void Form1::conf_Click() {
  LoadConfig();
  form2().exec();
}

// ---- Entry points that later work fills ----------------------------------------

void Form1::Form_KeyPress(int&) {}

void Form1::Command17_Click() {}


}  // namespace vz
