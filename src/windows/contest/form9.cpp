#include "contest/form9.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "contest/cabrillofile.h"
#include "platform/cp1252box.h"
#include "store/programstate.h"

namespace vz {

namespace {

QLineEdit* box(int maxLength = 100) {
  auto* b = new QLineEdit;
  b->setMaxLength(maxLength);
  keepToCp1252(b);
  return b;
}

void refill(QComboBox* list, const QStringList& items, const QString& chosen) {
  QSignalBlocker block(list);
  list->clear();
  list->addItems(items);
  list->setCurrentIndex(list->findText(chosen));
}

}  // namespace

Form9::Form9() {
  setWindowTitle(QStringLiteral("Form9"));
  setModal(true);
  Text1 = new QLineEdit;
  keepToCp1252(Text1);
  applyKeyRule(Text1, asciiKeyRule(true, true, "/?"));  // the call, pasted or typed
  Text2 = box();
  Text4 = box();
  Text5 = box();
  Text6 = box();
  Text7 = box();
  Text3 = box();
  Combo1 = new QComboBox;
  Combo2 = new QComboBox;
  Combo3 = new QComboBox;
  Combo4 = new QComboBox;
  Label2_5 = new QLabel(QStringLiteral("Operadores"));
  Text9 = box();
  Label2_5->setEnabled(false);
  Text9->setEnabled(false);
  Text8 = new QPlainTextEdit;
  Text8->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Text8->hide();
  Command1 = new QPushButton(QStringLiteral("Cabrillo"));
  Command1->setAutoDefault(false);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Mi Señal Distintiva"), Text1);
  form->addRow(QStringLiteral("Nombre"), Text2);
  form->addRow(QStringLiteral("Domicilio"), Text4);
  form->addRow(QString(), Text5);
  form->addRow(QString(), Text6);
  form->addRow(QStringLiteral("Correo electrónico"), Text7);
  form->addRow(QStringLiteral("Concurso"), Text3);
  form->addRow(QStringLiteral("Categoría"), Combo1);
  form->addRow(QStringLiteral("Potencia"), Combo2);
  form->addRow(QStringLiteral("Bandas"), Combo3);
  form->addRow(QStringLiteral("Modo"), Combo4);
  form->addRow(Label2_5, Text9);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Text8);
  layout->addWidget(Command1);

  Text1->installEventFilter(this);
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Form9::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  Form_Activate();
}

void Form9::Form_Activate() {
  Text1->setText(ContestOwnCall);
  refill(Combo1, kCabrilloOperatorCategories, CabrilloDefaultCategories::categoryOperator);
  refill(Combo2, kCabrilloPowerCategories, CabrilloDefaultCategories::categoryPower);
  refill(Combo3, kCabrilloBandCategories, CabrilloDefaultCategories::categoryBand);
  refill(Combo4, kCabrilloModeCategories, CabrilloDefaultCategories::categoryMode);
  Combo1_Click();
  CabrilloStationData data{Text2->text(), Text4->text(), Text5->text(), Text6->text(), Text7->text()};
  if (ReadCabrilloStationData(data)) {
    Text2->setText(data.name);
    Text4->setText(data.address1);
    Text5->setText(data.address2);
    Text6->setText(data.address3);
    Text7->setText(data.email);
  }
}

void Form9::Combo1_Click() {
  const bool multi = Combo1->currentText() == QLatin1String("MULTI-OP");
  Label2_5->setEnabled(multi);
  Text9->setEnabled(multi);
}

void Form9::Command1_Click() {
  CabrilloHeaderFields f;
  f.callsign = Text1->text();
  f.contest = Text3->text();
  f.categoryOperator = Combo1->currentText();
  f.categoryPower = Combo2->currentText();
  f.categoryBand = Combo3->currentText();
  f.categoryMode = Combo4->currentText();
  f.operators = Text9->text();
  f.station = {Text2->text(), Text4->text(), Text5->text(), Text6->text(), Text7->text()};
  switch (ExportCabrilloLog(f, QsoSection, state().ProgramVersion)) {
    case CabrilloExportResult::MissingCallsign:
      Text1->setFocus();
      break;
    case CabrilloExportResult::MissingName:
      Text2->setFocus();
      break;
    case CabrilloExportResult::Written:
      hide();
      break;
    case CabrilloExportResult::Cancelled:
    case CabrilloExportResult::Failed:
      break;
  }
}

bool Form9::eventFilter(QObject* watched, QEvent* e) {
  if (watched != Text1 || e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  auto* key = static_cast<QKeyEvent*>(e);
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return true;
  const QString typed = key->text();
  if (typed.size() != 1 || !typed[0].isPrint() || (key->modifiers() & Qt::ControlModifier))
    return QDialog::eventFilter(watched, e);
  const QChar c = typed[0].toUpper();
  const bool keep = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'/' || c == u'?';
  if (!keep) return true;
  if (c == typed[0]) return QDialog::eventFilter(watched, e);
  Text1->insert(QString(c));
  return true;
}

void ShowCabrilloHeader(const QString& contestName, const QString& qsoSection, qsizetype qsoCount,
                        const QString& ownCall) {
  Form9& f = form9();
  f.QsoSection = qsoSection;
  f.Text8->setPlainText(qsoSection);
  f.Text3->setText(contestName);
  f.setWindowTitle(QStringLiteral("Encabezado de ") + contestName + QStringLiteral(" con ") +
                   QString::number(qsoCount) + QStringLiteral(" QSO(s)"));
  f.ContestOwnCall = ownCall;
  f.exec();
  // The title bar's close unloads the window: its boxes start afresh next time.
  if (FormInstance<Form9>::loaded() && form9().unloadRequested()) FormInstance<Form9>::unload();
}

void Form9::keyPressEvent(QKeyEvent* e) {
  // The window has no cancel key: a stray Esc would unload it and lose what was
  // typed but not yet stored (the operators are never stored).
  if (e->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(e);
}

void Form9::reject() {
  unloadRequested_ = true;
  QDialog::reject();
}

}  // namespace vz
