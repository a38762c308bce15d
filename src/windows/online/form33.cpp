#include "online/form33.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "mainwin/form1.h"
#include "online/callbook.h"
#include "mainwin/layoutscaler.h"
#include "platform/placement.h"

namespace vz {

namespace {

constexpr int kHeightTwips = 4095;

int px(int twips) { return twips / kTwipsPerPixel; }

void place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(px(left), px(top), px(width), px(height));
}

QPushButton* colouredButton(QWidget* parent, const char* name, const QString& caption, const QColor& colour) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; } QPushButton:disabled { color: gray; }")
                       .arg(colour.name()));
  return b;
}

QLabel* hiddenLabel(QWidget* parent, const char* name, int top) {
  auto* l = new QLabel(QString::fromLatin1(name), parent);
  l->setObjectName(QString::fromLatin1(name));
  place(l, 5760, top, 1935, 255);
  l->hide();
  return l;
}

QString withoutLineBreaks(QString text) { return text.remove(QStringLiteral("\r\n")); }

}  // namespace

Form33::Form33() {
  setObjectName(QStringLiteral("Form33"));
  setModal(true);

  Text1 = new QPlainTextEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  place(Text1, 240, 240, 5295, 3375);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(12);
  font.setBold(true);
  Text1->setFont(font);
  QPalette palette = Text1->palette();
  palette.setColor(QPalette::Base, QColor(224, 224, 224));
  palette.setColor(QPalette::Text, QColor(0, 0, 255));
  Text1->setPalette(palette);

  Frame1 = new QGroupBox(QStringLiteral("Agregar a Obs."), this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  place(Frame1, 5760, 240, 1935, 1575);
  const QColor orange(255, 128, 0);
  Command1 = colouredButton(Frame1, "Command1", QStringLiteral("Nombre"), orange);
  place(Command1, 120, 300, 1695, 495);
  Command2 = colouredButton(Frame1, "Command2", QStringLiteral("eMail"), orange);
  place(Command2, 120, 900, 1695, 495);

  Frame2 = new QGroupBox(QStringLiteral("Agregar"), this);
  Frame2->setObjectName(QStringLiteral("Frame2"));
  place(Frame2, 5760, 1920, 1935, 975);
  Command4 = colouredButton(Frame2, "Command4", QStringLiteral("Grilla"), QColor(192, 255, 255));
  place(Command4, 120, 300, 1695, 495);

  Label1 = hiddenLabel(this, "Label1", 3000);
  Label2 = hiddenLabel(this, "Label2", 3255);
  Label3 = hiddenLabel(this, "Label3", 3510);

  setTabOrder(Text1, Command1);
  setTabOrder(Command1, Command2);
  setTabOrder(Command2, Command4);

  connect(Command1, &QPushButton::clicked, this, &Form33::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form33::Command2_Click);
  connect(Command4, &QPushButton::clicked, this, &Form33::Command4_Click);
  for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                     static_cast<QWidget*>(Command4)})
    w->installEventFilter(this);

  setWidthTwips(kMainWindowWidth);
}

void Form33::setWidthTwips(int twips) {
  resize(px(twips), px(kHeightTwips));
  // The narrow window leaves the copy buttons out; no sliver of their frames shows.
  for (QGroupBox* frame : {Frame1, Frame2}) frame->setVisible(frame->geometry().right() < width());
}

void Form33::Command1_Click() {
  Command1->setEnabled(false);
  form1().Obs->setText(withoutLineBreaks(Label1->text()));
}

void Form33::Command2_Click() {
  Command2->setEnabled(false);
  form1().Obs->setText(withoutLineBreaks(Label2->text()));
}

void Form33::Command4_Click() {
  Command4->setEnabled(false);
  form1().Text2->setText(Label3->text());
}

void Form33::Form_KeyDown(int& KeyCode) {
  if (KeyCode == Qt::Key_Escape) hide();
}

bool Form33::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    Form_KeyDown(key);
    if (key == Qt::Key_Escape) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void Form33::showEvent(QShowEvent* e) {
  if (!centred_) {
    centred_ = true;
    centreOverMainWindow(this);
  }
  QDialog::showEvent(e);
}

void Form33::closeEvent(QCloseEvent* e) {
  unloadRequested_ = true;
  QDialog::closeEvent(e);
}

namespace {

void showModally() {
  form33().exec();
  // Closed from its title bar: unloaded, so the next lookup starts from design values.
  if (FormInstance<Form33>::loaded() && form33().unloadRequested()) FormInstance<Form33>::unload();
}

}  // namespace

void ShowQrzLookupResult(const QString& text) {
  Form33& f = form33();
  f.setWindowTitle(QStringLiteral("QRZ"));
  f.setWidthTwips(Form33::kQrzWidth);
  f.Text1->setPlainText(text);
  showModally();
}

void ShowRukLookupResult(const RukLookupResult& result, bool fromEditForm) {
  Form33& f = form33();
  f.Label1->setText(result.nameLine);
  f.Label2->setText(result.emailLine);
  f.Label3->setText(result.grid);
  // Each new answer can be copied once; a value the answer lacks has nothing to
  // copy, and copying it would only wipe what the operator typed.
  f.Command1->setEnabled(!result.nameLine.isEmpty());
  f.Command2->setEnabled(!result.emailLine.isEmpty());
  f.Command4->setEnabled(!result.grid.isEmpty());
  f.setWindowTitle(QStringLiteral("Rukanet"));
  f.Text1->setPlainText(result.text);
  f.setWidthTwips(fromEditForm ? Form33::kEditFormWidth : Form33::kMainWindowWidth);
  showModally();
}

}  // namespace vz
