#include "contest/form8.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "platform/clock.h"
#include "platform/cp1252box.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "mainwin/layoutscaler.h"
#include "store/logcommands.h"
#include "store/programstate.h"

namespace vz {

namespace {

// The contest window as it is when a contest is left: no rows of an earlier contest
// (one deleted with "Eliminar" leaves the window loaded with its rows).
void clearContestList(Form4& f) {
  f.ListView2->clear();
  f.Label9->setText(ContestQsoCountCaption(0));
}

}  // namespace

Form8::Form8() {
  setWindowTitle(QStringLiteral("Logs de Concursos ..."));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(620, 300);

  Frame1 = new QGroupBox(QStringLiteral("Existentes ..."), this);
  Frame1->setGeometry(8, 8, 340, 284);
  ListView1 = new QTreeWidget(Frame1);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(8, 20, 324, 256);
  ListView1->setRootIsDecorated(false);

  Frame3 = new QGroupBox(QStringLiteral("Crear uno nuevo ..."), this);
  Frame3->setGeometry(356, 8, 256, 284);
  Label1 = new QLabel(QStringLiteral("Nombre"), Frame3);
  Label1->setGeometry(8, 24, 60, 20);
  Text1 = new QLineEdit(Frame3);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setMaxLength(kLogNameLength);
  keepToCp1252(Text1);
  // Pasted or dropped names are upper-cased as typed ones are.
  applyKeyRule(Text1, [this](QChar c) {
    int k = c.unicode();
    Text1_KeyPress(k);
    return QChar(char16_t(k));
  });
  Text1->setGeometry(8, 46, 240, 23);
  Frame2 = new QGroupBox(QStringLiteral("Tipo de Serie"), Frame3);
  Frame2->setGeometry(8, 80, 240, 80);
  Option1 = new QRadioButton(QStringLiteral("Incremental"), Frame2);
  Option1->setGeometry(8, 22, 200, 20);
  Option1->setChecked(true);
  Option2 = new QRadioButton(QStringLiteral("Fija"), Frame2);
  Option2->setGeometry(8, 48, 200, 20);
  Command1 = new QPushButton(QStringLiteral("Aceptar"), Frame3);
  Command1->setGeometry(8, 180, 120, 28);

  Text1->installEventFilter(this);
  connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
  connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &Form8::ListView1_DblClick);
}

void Form8::SetChooserColumns() {
  ListView1->setColumnCount(0);
  ListView1->setHeaderLabels(
      {QStringLiteral("Nombref"), QStringLiteral("Nombre"), QStringLiteral("Tipo"), QStringLiteral("QSOSs")});
  const int twips[] = {0, 2000, 1500, 750};
  for (int i = 0; i < 4; ++i) {
    ListView1->setColumnWidth(i, twips[i] / kTwipsPerPixel);
    ListView1->setColumnHidden(i, twips[i] == 0);
  }
}

void Form8::Text1_KeyPress(int& KeyAscii) {
  const QString upper = QString(QChar(KeyAscii)).toUpper();
  if (upper.size() == 1) KeyAscii = upper.at(0).unicode();
}

bool Form8::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Text1 || event->type() != QEvent::KeyPress) return false;
  auto* ke = static_cast<QKeyEvent*>(event);
  if (ke->text().size() != 1 || ke->text().at(0).unicode() < 32) return false;
  const int typed = ke->text().at(0).unicode();
  int KeyAscii = typed;
  Text1_KeyPress(KeyAscii);
  if (KeyAscii == typed) return false;
  Text1->insert(QString(QChar(KeyAscii)));
  return true;
}

void Form8::Command1_Click() {
  const QString name = Text1->text().remove(u'\'').left(kLogNameLength);
  Text1->setText(name);
  if (name.isEmpty()) {
    Text1->setFocus();
    return;
  }
  const auto exists = ContestLogExists(name);
  if (!exists.ok()) {
    showError(exists.error());
    return;
  }
  if (exists.value) {
    msgBox(QStringLiteral("Ya existe un concurso creado con el nombre ") + name +
               QStringLiteral("\r\n\r\nElija otro nombre!"),
           MsgIcon::Exclamation);
    return;
  }
  const QString type = Option1->isChecked() ? kSerialIncremental : kSerialFija;
  state().ContestSerialType = type;
  state().NewContestName = name;
  const auto header = InsertContestQso({}, {}, {}, {}, {}, {}, {}, {}, name, {}, {}, name, type);
  if (!header.ok()) {
    // No contest was created: the chooser stays for another try.
    showError(header.error());
    return;
  }
  hide();
  Form4& f = form4();
  clearContestList(f);
  f.Label2->setText(name);
  f.Label3->setText(type);
  const bool incremental = type == kSerialIncremental;
  f.RSE->setText(incremental ? QStringLiteral("1") : QString());
  f.Label4->setText(incremental ? QStringLiteral("0") : QString());
  f.ShowForContest();
}

void Form8::ListView1_DblClick() {
  QTreeWidgetItem* row = ListView1->currentItem();
  if (!row) return;  // nothing chosen: nothing to open
  const QString name = row->text(1);
  const QString type = row->text(2);
  const auto log = LoadContestLog(name);
  if (!log.ok()) {
    showError(log.error());
    return;
  }
  hide();
  Form4& f = form4();
  const QDateTime now = clock().now();
  f.Fecha->setText(formatDate(now.date()));
  f.Hora->setText(formatTime(now.time()));
  f.ShowContestLog(log.value);
  f.Label2->setText(name);
  f.Label3->setText(type);
  f.ShowForContest();
}

}  // namespace vz
