#include "mainwin/form10.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "mainwin/form1.h"
#include "store/programstate.h"
#include "platform/placement.h"

namespace vz {
namespace {

constexpr int twips(int t) { return t / 15; }

QFont tahoma(double points) {
  QFont f(QStringLiteral("Tahoma"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(true);
  return f;
}

void setTextColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, c);
  w->setPalette(p);
}

}  // namespace

QString AboutDescription() {
  const QString crlf = QStringLiteral("\r\n");
  return QStringLiteral("Versión altamente simplificada del Vantorel.") + crlf +
         QStringLiteral("Sin macros, sin puertos,") +
         QStringLiteral(" sin CAT para hacerlo ágil para aquellos que anotan los QSOs en papel y posteriormente desean ") +
         QStringLiteral(" tener un libro de guardia simple y poder ingresar los QSOs en otro momento agregando fecha y ") +
         QStringLiteral("hora en forma manual y, entonces, poder generar archivos ADIF para subir a Ruk, eQSL, LoTW, ") +
         QStringLiteral("Club Log o donde se desee.") + crlf +
         QStringLiteral("También permite cargar logs de concursos y exportarlos en formato ") +
         QStringLiteral("cabrillo para enviar al organizador.") + crlf +
         QStringLiteral("Modo satélite e importación ADIF: aportes de los colaboradores del proyecto.") + crlf +
         QStringLiteral("Manejo del teclado: aportes de los colaboradores del proyecto.");
}

Form10::Form10() {
  setWindowTitle(QStringLiteral("Acerca de ..."));
  // A close box only: no minimise or maximise box, and a fixed size.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(twips(kClientWidth), twips(kClientHeight));

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, twips(9855), twips(2505));
  Image1->setScaledContents(true);

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(twips(4200), twips(2550), twips(5460), twips(420));
  Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label1->setFont(tahoma(14.25));

  Label3 = new QLabel(this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(twips(180), twips(3000), twips(9480), twips(330));
  Label3->setFont(tahoma(12));
  setTextColour(Label3, QColor(0, 0, 192));

  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(twips(180), twips(3390), twips(9480), twips(2400));
  Label2->setFont(tahoma(9.75));
  Label2->setWordWrap(true);
  Label2->setTextFormat(Qt::PlainText);
  Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextColour(Label2, QColor(0, 64, 0));

  Form_Load();

  centreOverMainWindow(this);
}

void Form10::Form_Load() {
  if (const QPixmap logo = form1().Image1->pixmap(); !logo.isNull()) Image1->setPixmap(logo);
  Label1->setText(QStringLiteral("Versión ") + state().ProgramVersion);
  Label3->setText(QStringLiteral("Vantorel Zezeror, por el equipo del proyecto Vantorel"));
  Label2->setText(AboutDescription().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

}  // namespace vz
