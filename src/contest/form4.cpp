#include "contest/form4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

#include "platform/colors.h"

namespace vz {

Form4::Form4() {
  Label8 = new QLabel(QStringLiteral("Tx"), this);
  Label8->setAlignment(Qt::AlignCenter);
  setBackColor(Label8, 0x000040);
  setForeColor(Label8, 0xFFFFFF);

  Combo3 = new QComboBox(this);
  Check3 = new QCheckBox(QStringLiteral("DTR"), this);
  Check4 = new QCheckBox(QStringLiteral("RTS"), this);

  Frame2 = new QGroupBox(QStringLiteral("MasterCheck"), this);
  Frame2->setObjectName(QStringLiteral("Frame2"));

  auto* row = new QHBoxLayout(this);
  row->addWidget(Frame2);
  row->addWidget(Combo3);
  row->addWidget(Check3);
  row->addWidget(Check4);
  row->addWidget(Label8);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
  Timer1->start();
}

void Form4::Timer1_Timer() {
  // The clock's entry boxes come with the rest of the contest window.
}

}  // namespace vz
