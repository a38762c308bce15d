#include "setup/form16.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/cp1252box.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/placement.h"

namespace vz {
namespace {

const QString kFileName = QStringLiteral("Perfiles.cfg");
const QString kKeys[3] = {QStringLiteral("Perfil1="), QStringLiteral("Perfil2="), QStringLiteral("Perfil3=")};

}  // namespace

Form16::Form16() {
  setWindowTitle(QStringLiteral("Perfiles"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);  // closing unloads it

  Frame1 = new QGroupBox(this);
  auto* g = new QGridLayout(Frame1);
  QPushButton** crear[3] = {&Crear1, &Crear2, &Crear3};
  QPushButton** cargar[3] = {&Cargar1, &Cargar2, &Cargar3};
  QFont caption(QStringLiteral("Tahoma"));
  caption.setPointSize(12);
  caption.setBold(true);
  for (int i = 0; i < 3; ++i) {
    Label1[i] = new QLabel(QStringLiteral("Perfil %1").arg(i + 1), Frame1);
    Label1[i]->setFont(caption);
    Label1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Perfil1[i] = new QLineEdit(Frame1);
    keepToCp1252(Perfil1[i]);
    *crear[i] = new QPushButton(QStringLiteral("Crear"), Frame1);
    *cargar[i] = new QPushButton(QStringLiteral("Cargar"), Frame1);
    (*crear[i])->setEnabled(false);
    (*cargar[i])->setEnabled(false);
    (*crear[i])->setAutoDefault(false);
    (*cargar[i])->setAutoDefault(false);
    g->addWidget(Label1[i], i, 0);
    g->addWidget(Perfil1[i], i, 1);
    g->addWidget(*crear[i], i, 2);
    g->addWidget(*cargar[i], i, 3);
  }
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->setEditText(QStringLiteral("Combo1"));
  Timer1 = new QTimer(this);  // no interval: never started

  auto* v = new QVBoxLayout(this);
  v->addWidget(Frame1);
  v->addWidget(Combo1, 0, Qt::AlignLeft);
  v->setSizeConstraint(QLayout::SetFixedSize);

  connect(Crear1, &QPushButton::clicked, this, &Form16::Crear1_Click);
  connect(Crear2, &QPushButton::clicked, this, &Form16::Crear2_Click);
  connect(Crear3, &QPushButton::clicked, this, &Form16::Crear3_Click);
}

void Form16::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  centreOverMainWindow(this);
  Form_Activate();
}

void Form16::Form_Activate() {
  QString names[3];
  QStringList lines;
  if (QFile::exists(programFile(kFileName)) && !readTextLines(programFile(kFileName), &lines))
    showError(QStringLiteral("No se pudo leer %1").arg(kFileName));
  for (const QString& line : lines) {
    for (int i = 0; i < 3; ++i) {
      if (line.contains(kKeys[i])) names[i] = QString(line).remove(kKeys[i]);
    }
  }
  QPushButton* crear[3] = {Crear1, Crear2, Crear3};
  QPushButton* cargar[3] = {Cargar1, Cargar2, Cargar3};
  for (int i = 0; i < 3; ++i) {
    Perfil1[i]->setText(names[i]);
    crear[i]->setEnabled(names[i].isEmpty());
    cargar[i]->setEnabled(!names[i].isEmpty());
  }
}

void Form16::storeProfiles() {
  QStringList lines;
  for (int i = 0; i < 3; ++i) lines << kKeys[i] + Perfil1[i]->text().toUpper();
  QString error;
  if (!writeTextLines(programFile(kFileName), lines, &error))
    showError(QStringLiteral("No se pudo guardar %1: %2").arg(kFileName, error));
}

void Form16::Crear1_Click() { storeProfiles(); }
void Form16::Crear2_Click() { storeProfiles(); }
void Form16::Crear3_Click() { storeProfiles(); }

}  // namespace vz
