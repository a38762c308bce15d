#include "exchange/form12.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vz {

Form12::Form12() {
  setWindowTitle(QStringLiteral("Importar ADIF ..."));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto named = [this](QWidget* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
  };
  Command1 = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Abrir"), this), "Command1"));
  Command3 = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("Cargar"), this), "Command3"));
  Command3->setEnabled(false);

  auto* figures = new QGridLayout;
  const struct {
    const char* caption;
    QLabel** slot;
    const char* name;
  } rows[] = {
      {"Archivo:", &Label2, "Label2"},       {"Programa:", &Label4, "Label4"},
      {"Lineas:", &Label5, "Label5"},        {"QSOs:", &Label6, "Label6"},
      {"Station Call:", &Label7, "Label7"},  {"QSOs:", &Label9, "Label9"},
      {"QSOs Duplicados:", &Label10, "Label10"},
  };
  int r = 0;
  for (const auto& row : rows) {
    figures->addWidget(new QLabel(QString::fromUtf8(row.caption), this), r, 0);
    *row.slot = static_cast<QLabel*>(named(new QLabel(this), row.name));
    figures->addWidget(*row.slot, r, 1);
    ++r;
  }
  figures->setColumnStretch(1, 1);

  List2 = static_cast<QListWidget*>(named(new QListWidget(this), "List2"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Command1);
  buttons->addWidget(Command3);
  buttons->addStretch(1);

  auto* all = new QVBoxLayout(this);
  all->addLayout(buttons);
  all->addLayout(figures);
  all->addWidget(List2, 1);
  resize(480, 360);
}

}  // namespace vz
