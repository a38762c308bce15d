#include "mainwin/form17.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "store/logcommands.h"
#include "store/programstate.h"

namespace vz {

Form17::Form17() {
  setWindowTitle(QStringLiteral("Form17"));
  setModal(true);
  Frame1 = new QGroupBox;
  Frame1->setObjectName(QStringLiteral("Frame1"));
  List1 = new QListWidget;
  List1->setObjectName(QStringLiteral("List1"));
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(9.75);
  font.setBold(true);
  List1->setFont(font);
  QPalette palette = List1->palette();
  palette.setColor(QPalette::Base, QColor(192, 192, 192));
  palette.setColor(QPalette::Text, QColor(0, 128, 0));
  List1->setPalette(palette);
  auto* frameLayout = new QVBoxLayout(Frame1);
  frameLayout->addWidget(List1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  resize(720, 300);
}

void Form17::keyPressEvent(QKeyEvent* e) {
  // Esc hides the list whatever has the focus; its lines stay until the next look-up.
  if (e->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QDialog::keyPressEvent(e);
}

void Form17::closeEvent(QCloseEvent* e) {
  unloadRequested_ = true;
  QDialog::closeEvent(e);
}

QString PadRight(const QString& text, int width) {
  if (text.size() > width) return text;
  return text + QString(width - text.size() + 1, QLatin1Char(' '));
}

QString WorkedBeforeHeader() {
  const QString blank = QStringLiteral(" ");
  return PadRight(QStringLiteral("MiCall"), 15) + blank + PadRight(QStringLiteral("SuCall"), 15) + blank +
         PadRight(QStringLiteral("Banda"), 5) + blank + PadRight(QStringLiteral("Modo"), 5) + blank +
         PadRight(QStringLiteral("Fecha"), 7) + blank + PadRight(QStringLiteral("Hora"), 6);
}

QString WorkedBeforeLine(const LogQso& q) {
  const QChar bar = QLatin1Char('|');
  QString date = q.Fecha;
  date.replace(QLatin1Char('-'), QLatin1Char('/'));
  return PadRight(q.MyCall, 15) + bar + PadRight(q.Estacion, 15) + bar + PadRight(q.Banda, 5) + bar +
         PadRight(q.Modo, 5) + bar + date + bar + q.Hora;
}

void ShowWorkedBefore(const QString& call) {
  Form17& f = form17();
  f.List1->clear();
  f.List1->addItem(WorkedBeforeHeader());
  const Result<QList<LogQso>> rows = FindWorkedBefore(state().CurrentLogName, call);
  if (!rows.ok()) {
    showError(rows.error());
    return;
  }
  for (const LogQso& q : rows.value) f.List1->addItem(WorkedBeforeLine(q));
  if (rows.value.isEmpty()) {
    showWarning(QStringLiteral("Sin QSOs con ") + call);
    return;
  }
  f.setWindowTitle(call);
  f.exec();
  // Closed from its title bar: unloaded.
  if (FormInstance<Form17>::loaded() && form17().unloadRequested()) FormInstance<Form17>::unload();
}

}  // namespace vz
