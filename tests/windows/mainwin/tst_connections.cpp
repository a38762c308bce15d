// Every control that has a handler is wired to it by its own window. One table per
// window lists each button, check box, selector, list, timer and menu entry with the
// signal that runs its handler, and apart those that have no handler or are switched
// off at design. A control that a window gains later and that the table does not
// list fails the test, so a new control cannot be left unwired unnoticed. Labels and
// pictures with a click have no signal: tst_road_labels clicks each of them.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "contest/form13.h"
#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/form8.h"
#include "contest/form9.h"
#include "exchange/form12.h"
#include "exchange/form15.h"
#include "exchange/form6.h"
#include "mainwin/form1.h"
#include "platform/webget.h"
#include "mainwin/form10.h"
#include "mainwin/form17.h"
#include "mainwin/form18.h"
#include "mainwin/form3.h"
#include "mainwin/form5.h"
#include "online/form14.h"
#include "online/form33.h"
#include "setup/form11.h"
#include "setup/form16.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/quietmainwindow.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

enum class Wiring {
  Handler,       // its signal runs the handler
  NoHandler,     // read by other steps only
  SwitchedOff,   // hidden or disabled at design, never reached
  DuringAWait,   // connected only while a step waits on it
};

struct Control {
  QString name;
  QObject* object;
  const char* signal;  // SIGNAL(...) of the handler; null when none
  Wiring wiring;
};

const char* const kClicked = SIGNAL(clicked(bool));
const char* const kToggled = SIGNAL(toggled(bool));
const char* const kPressed = SIGNAL(pressed());
const char* const kTriggered = SIGNAL(triggered(bool));
const char* const kIndexChanged = SIGNAL(currentIndexChanged(int));
const char* const kActivated = SIGNAL(activated(int));
const char* const kTextChanged = SIGNAL(textChanged(QString));
const char* const kTimeout = SIGNAL(timeout());
const char* const kValueChanged = SIGNAL(valueChanged(int));
const char* const kTreeDoubleClick = SIGNAL(itemDoubleClicked(QTreeWidgetItem*,int));
const char* const kListDoubleClick = SIGNAL(itemDoubleClicked(QListWidgetItem*));
const char* const kViewDoubleClick = SIGNAL(doubleClicked(QModelIndex));
const char* const kSectionClicked = SIGNAL(sectionClicked(int));

Control handler(const QString& name, QObject* o, const char* signal) { return {name, o, signal, Wiring::Handler}; }
Control none(const QString& name, QObject* o) { return {name, o, nullptr, Wiring::NoHandler}; }
Control off(const QString& name, QObject* o) { return {name, o, nullptr, Wiring::SwitchedOff}; }
Control waiting(const QString& name, QObject* o) { return {name, o, nullptr, Wiring::DuringAWait}; }

// QObject::receivers is protected; a member pointer named through a subclass reaches it.
struct Peek : QObject {
  static int countOf(const QObject* o, const char* signal) {
    int (QObject::*count)(const char*) const = &Peek::receivers;
    return (o->*count)(signal);
  }
};

// Menus and menu bars connect to every action they hold for their own work.
int ownReceivers(const QObject* o, const char* signal) {
  const auto* a = qobject_cast<const QAction*>(o);
  if (!a || qstrcmp(signal, kTriggered) != 0) return 0;
  int n = 0;
  for (const QObject* holder : a->associatedObjects())
    if (qobject_cast<const QMenu*>(holder) || qobject_cast<const QMenuBar*>(holder)) ++n;
  return n;
}

bool insideCompositeControl(const QObject* o, const QObject* window) {
  for (const QObject* p = o->parent(); p && p != window; p = p->parent())
    if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p) ||
        qobject_cast<const QMenuBar*>(p) || qobject_cast<const QAbstractSpinBox*>(p))
      return true;
  return false;
}

// The controls of a window an operator can click, pick or double-click, and its timers.
QList<QObject*> operableControls(QWidget* window) {
  QList<QObject*> found;
  for (QObject* o : window->findChildren<QObject*>()) {
    if (auto* a = qobject_cast<QAction*>(o)) {
      if (a->isSeparator() || a->menu()) continue;  // a menu opens; it has no handler
      found << o;
      continue;
    }
    // A request channel's own timers are its workings, not controls of the window.
    if (qobject_cast<WebGet*>(o->parent())) continue;
    const bool operable = qobject_cast<QAbstractButton*>(o) || qobject_cast<QComboBox*>(o) ||
                          qobject_cast<QListWidget*>(o) || qobject_cast<QTreeView*>(o) ||
                          qobject_cast<QTimer*>(o) || qobject_cast<QScrollBar*>(o);
    if (operable && !insideCompositeControl(o, window)) found << o;
  }
  // Submenus' own entries (the menu's action is a child of the menu).
  for (QMenu* m : window->findChildren<QMenu*>())
    if (m->menuAction()->parent() != window) found.removeAll(m->menuAction());
  return found;
}

struct WindowTable {
  const char* name;
  std::function<QWidget*()> load;
  std::function<QList<Control>()> controls;
};

QList<WindowTable> windows() {
  return {
      {"Form1 main window", [] { return static_cast<QWidget*>(&test::loadQuietMainWindow()); },
       [] {
         Form1& f = form1();
         QList<Control> c = {
             handler("Command14 L", f.Command14, kClicked),   handler("Command13 Q", f.Command13, kClicked),
             handler("Command7 ?", f.Command7, kClicked),     handler("Command15", f.Command15, kClicked),
             handler("Command4", f.Command4, kClicked),       handler("Command1 Editar", f.Command1, kClicked),
             handler("Check1 QTR manual", f.Check1, kToggled), handler("Check2 satélite", f.Check2, kToggled),
             handler("Check3 No Borrar", f.Check3, kToggled), handler("Combo1 modo", f.Combo1, kActivated),
             handler("mhz", f.mhz, kActivated),               handler("Combo3 satélite", f.Combo3, kActivated),
             handler("Combo2 banda", f.Combo2, kIndexChanged),
             handler("Command9", f.Command9, kClicked),       handler("Command10", f.Command10, kClicked),
             handler("Command12", f.Command12, kClicked),     off("Command16", f.Command16),
             handler("Command2 Ingresar QSO", f.Command2, kClicked), handler("Command3", f.Command3, kClicked),
             handler("Command5", f.Command5, kClicked),       handler("Command6", f.Command6, kClicked),
             handler("ListView2", f.ListView2, kTreeDoubleClick),
             handler("ListView2 headings", f.ListView2->header(), kSectionClicked),
             handler("anterior", f.anterior, kClicked),       handler("menos", f.menos, kClicked),
             handler("mas", f.mas, kClicked),                 handler("ultima", f.ultima, kClicked),
             handler("Command8 Ir", f.Command8, kClicked),    handler("Command11", f.Command11, kClicked),
             handler("Command17", f.Command17, kClicked),
             none("List1", f.List1),                          none("List2", f.List2),
             none("List3", f.List3),                          none("List4", f.List4),
             handler("conf", f.conf, kTriggered),             handler("alog", f.alog, kTriggered),
             handler("nuevo", f.nuevo, kTriggered),           handler("borralog", f.borralog, kTriggered),
             handler("eadif", f.eadif, kTriggered),           handler("parg", f.parg, kTriggered),
             handler("iadif", f.iadif, kTriggered),           handler("cabro", f.cabro, kTriggered),
             handler("anacal", f.anacal, kTriggered),         handler("badeda", f.badeda, kTriggered),
             handler("badif", f.badif, kTriggered),           handler("salir", f.salir, kTriggered),
             handler("Ayuda", f.Ayuda, kTriggered),           handler("ac", f.ac, kTriggered),
             handler("acerca", f.acerca, kTriggered),
             off("ppeerr", f.ppeerr),                         off("ruk2", f.ruk2),
             off("suych", f.suych),                           off("ssub", f.ssub),
             off("lados", f.lados->menuAction()),
             handler("Corresponsal", f.Corresponsal, kTextChanged), handler("Text1 KHz", f.Text1, kTextChanged),
             handler("Text2 GridLoc", f.Text2, kTextChanged),
         };
         for (QTimer* t : {f.Timer1, f.Timer2, f.Timer4, f.Timer5, f.Timer6, f.Timer7, f.Timer8, f.Timer9, f.Timer10})
           c << handler(t->objectName(), t, kTimeout);
         return c;
       }},
      {"Form2 configuration", [] { return static_cast<QWidget*>(&form2()); },
       [] {
         Form2& f = form2();
         return QList<Control>{
             handler("Command1 Guardar", f.Command1, kClicked), handler("Command2 Cancelar", f.Command2, kClicked),
             handler("panta", f.panta, kToggled),              handler("Command5", f.Command5, kClicked),
             handler("Command6", f.Command6, kClicked),        handler("Command7", f.Command7, kClicked),
             handler("Puerto", f.Puerto, kIndexChanged),       handler("DTR", f.DTR, kToggled),
             handler("RTS", f.RTS, kToggled),                  handler("Command8 PTT", f.Command8, kPressed),
             handler("Command3 ver clave", f.Command3, kPressed), handler("Command4 Probar", f.Command4, kClicked),
             handler("Timer1", f.Timer1, kTimeout),            handler("Text4", f.Text4, kTextChanged),
             none("Combo1", f.Combo1),                         none("Combo2", f.Combo2),
         };
       }},
      {"Form3 log chooser", [] { return static_cast<QWidget*>(&form3()); },
       [] { return QList<Control>{handler("List1", form3().List1, kListDoubleClick)}; }},
      {"Form4 contest window", [] { test::loadQuietMainWindow(); return static_cast<QWidget*>(&form4()); },
       [] {
         Form4& f = form4();
         QList<Control> c = {
             handler("Combo1 modo", f.Combo1, kIndexChanged),   handler("Combo2 banda", f.Combo2, kIndexChanged),
             handler("mhz", f.mhz, kActivated),                 handler("Check2 QTR Manual", f.Check2, kToggled),
             handler("Check7 Fondo Oscuro", f.Check7, kToggled), handler("Check8 MasterCheck", f.Check8, kToggled),
             handler("ListView2", f.ListView2, kTreeDoubleClick), none("ListView1", f.ListView1),
             none("List1", f.List1),                            none("List2", f.List2),
             handler("HScroll1", f.HScroll1, kValueChanged),    handler("Combo3 puerto", f.Combo3, kIndexChanged),
             handler("Check3 DTR", f.Check3, kToggled),         handler("Check4 RTS", f.Check4, kToggled),
             none("Check5 0T-9N", f.Check5),                    handler("Check6 Peso", f.Check6, kToggled),
             handler("Command1 Cabrillo", f.Command1, kClicked), handler("Command2 ADIF", f.Command2, kClicked),
             handler("Command3 Eliminar", f.Command3, kClicked), handler("Command4 LogPPal", f.Command4, kClicked),
             handler("eca", f.eca, kTriggered),                 handler("ead", f.ead, kTriggered),
             handler("elo", f.elo, kTriggered),                 handler("tbp", f.tbp, kTriggered),
             handler("amc", f.amc, kTriggered),                 handler("sdc", f.sdc, kTriggered),
             handler("Corresponsal", f.Corresponsal, kTextChanged), handler("Text2", f.Text2, kTextChanged),
         };
         for (QTimer* t : {f.Timer1, f.Timer2, f.Timer3, f.Timer4}) c << handler(t->objectName(), t, kTimeout);
         c << handler("timingWarningOk Entendido", f.Frame1->findChild<QPushButton*>("timingWarningOk"), kClicked);
         return c;
       }},
      {"Form5 edit dialog", [] { test::loadQuietMainWindow(); return static_cast<QWidget*>(&form5()); },
       [] {
         Form5& f = form5();
         return QList<Control>{
             handler("Command1 Guardar", f.Command1, kClicked), handler("Command2 Eliminar", f.Command2, kClicked),
             handler("Command3", f.Command3, kClicked),         handler("Command4", f.Command4, kClicked),
             handler("Command13", f.Command13, kClicked),       handler("Check1", f.Check1, kToggled),
             handler("mhz", f.mhz, kIndexChanged),              none("Combo2 modo", f.Combo2),
             handler("Text10", f.Text10, kTextChanged),         handler("Text11", f.Text11, kTextChanged),
         };
       }},
      {"Form6 search view", [] { test::loadQuietMainWindow(); return static_cast<QWidget*>(&form6()); },
       [] {
         Form6& f = form6();
         return QList<Control>{
             handler("Check1 Satélite", f.Check1, kToggled),    handler("Check2 Solo Argentinos", f.Check2, kToggled),
             off("Option3 Confirmados", f.Option3),             off("Option4 Todos", f.Option4),
             handler("Command3 Buscar", f.Command3, kClicked),  handler("Command4 Borrar Filtros", f.Command4, kClicked),
             handler("Command5", f.Command5, kClicked),         handler("Command1 Exportar ADIF", f.Command1, kClicked),
             handler("Command6 Subir a Ruk", f.Command6, kClicked), handler("Command8 Subir a eQSL", f.Command8, kClicked),
             handler("Command7 Cerrar", f.Command7, kClicked),  handler("ListView2", f.ListView2, kViewDoubleClick),
             handler("ListView2 headings", f.ListView2->header(), kSectionClicked),
             handler("Timer1", f.Timer1, kTimeout),             waiting("Timer2", f.Timer2),
             handler("Text1 Desde", f.Text1, kTextChanged),     handler("Text2 Hasta", f.Text2, kTextChanged),
             handler("Text3", f.Text3, kTextChanged),           handler("Text4", f.Text4, kTextChanged),
             handler("Text5", f.Text5, kTextChanged),           handler("Text6", f.Text6, kTextChanged),
             handler("Text7", f.Text7, kTextChanged),           handler("Text8", f.Text8, kTextChanged),
         };
       }},
      {"Form7 record editor", [] { return static_cast<QWidget*>(&form7()); },
       [] {
         Form7& f = form7();
         return QList<Control>{handler("Command1 Guardar", f.Command1, kClicked),
                               handler("Command2 Eliminar", f.Command2, kClicked), none("Combo1 banda", f.Combo1),
                               none("Combo2 modo", f.Combo2)};
       }},
      {"Form8 contest chooser", [] { return static_cast<QWidget*>(&form8()); },
       [] {
         Form8& f = form8();
         return QList<Control>{handler("Command1 Aceptar", f.Command1, kClicked),
                               handler("ListView1", f.ListView1, kTreeDoubleClick), none("Option1", f.Option1),
                               none("Option2", f.Option2)};
       }},
      {"Form9 Cabrillo header", [] { return static_cast<QWidget*>(&form9()); },
       [] {
         Form9& f = form9();
         return QList<Control>{handler("Combo1", f.Combo1, kIndexChanged), handler("Command1", f.Command1, kClicked),
                               none("Combo2", f.Combo2), none("Combo3", f.Combo3), none("Combo4", f.Combo4)};
       }},
      {"Form10 about box", [] { return static_cast<QWidget*>(&form10()); }, [] { return QList<Control>{}; }},
      {"Form11 satellites editor", [] { return static_cast<QWidget*>(&form11()); },
       [] {
         Form11& f = form11();
         return QList<Control>{
             handler("List1", f.List1, kListDoubleClick),       handler("Command1 Agregar", f.Command1, kClicked),
             handler("Command2 Aceptar", f.Command2, kClicked), handler("Command4 Eliminar", f.Command4, kClicked),
             handler("Command3 Cancelar", f.Command3, kClicked), handler("Combo1", f.Combo1, kIndexChanged),
             handler("Combo8", f.Combo8, kIndexChanged),        none("Combo2", f.Combo2),
             none("Combo3", f.Combo3),                          none("Combo6", f.Combo6),
             none("Combo7", f.Combo7),
         };
       }},
      {"Form12 ADIF import", [] { return static_cast<QWidget*>(&form12()); },
       [] {
         Form12& f = form12();
         return QList<Control>{handler("Command1 Abrir", f.Command1, kClicked),
                               handler("Command3 Cargar", f.Command3, kClicked), none("List2", f.List2),
                               none("List1", f.List1)};
       }},
      {"Form13 contest analysis", [] { return static_cast<QWidget*>(&form13()); },
       [] {
         Form13& f = form13();
         return QList<Control>{handler("ListView1", f.ListView1, kTreeDoubleClick), none("Option1", f.Option1),
                               none("Option2", f.Option2), none("Check1", f.Check1), none("List1", f.List1),
                               none("List2", f.List2), none("List3", f.List3), none("List4", f.List4)};
       }},
      {"Form14 award window", [] { return static_cast<QWidget*>(&form14()); },
       [] {
         Form14& f = form14();
         return QList<Control>{handler("Command1 Miembros", f.Command1, kClicked),
                               handler("Command2", f.Command2, kClicked),
                               handler("ListView2 headings", f.ListView2->header(), kSectionClicked),
                               none("ListView2", f.ListView2), none("ListView1", f.ListView1),
                               none("List1", f.List1), none("List2", f.List2), none("List3", f.List3)};
       }},
      {"Form15 ADIF back-up", [] { return static_cast<QWidget*>(&form15()); },
       [] {
         Form15& f = form15();
         return QList<Control>{handler("Command1 Hacer ADIF", f.Command1, kClicked),
                               handler("ListView1 headings", f.ListView1->header(), kSectionClicked),
                               none("ListView1", f.ListView1), none("List1", f.List1)};
       }},
      {"Form16 profiles", [] { return static_cast<QWidget*>(&form16()); },
       [] {
         Form16& f = form16();
         return QList<Control>{handler("Crear1", f.Crear1, kClicked), handler("Crear2", f.Crear2, kClicked),
                               handler("Crear3", f.Crear3, kClicked), none("Cargar1", f.Cargar1),
                               none("Cargar2", f.Cargar2), none("Cargar3", f.Cargar3), none("Combo1", f.Combo1),
                               none("Timer1", f.Timer1)};
       }},
      {"Form17 worked before", [] { return static_cast<QWidget*>(&form17()); },
       [] { return QList<Control>{none("List1", form17().List1)}; }},
      {"Form18 exit countdown", [] { return static_cast<QWidget*>(&form18()); }, [] { return QList<Control>{}; }},
      {"Form33 lookup result", [] { return static_cast<QWidget*>(&form33()); },
       [] {
         Form33& f = form33();
         return QList<Control>{handler("Command1 Nombre", f.Command1, kClicked),
                               handler("Command2 eMail", f.Command2, kClicked),
                               handler("Command4 Grilla", f.Command4, kClicked)};
       }},
  };
}

QString describe(const QObject* o) {
  QString name = o->objectName();
  if (const auto* a = qobject_cast<const QAction*>(o)) name += " \"" + a->text() + '"';
  if (const auto* b = qobject_cast<const QAbstractButton*>(o)) name += " \"" + b->text() + '"';
  return QString::fromLatin1(o->metaObject()->className()) + ' ' + name;
}

}  // namespace

class TstConnections : public QObject {
  Q_OBJECT

  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
  }
  void cleanup() {
    FormInstance<Form33>::unload();
    FormInstance<Form18>::unload();
    FormInstance<Form17>::unload();
    FormInstance<Form16>::unload();
    FormInstance<Form15>::unload();
    FormInstance<Form14>::unload();
    FormInstance<Form13>::unload();
    FormInstance<Form12>::unload();
    FormInstance<Form11>::unload();
    FormInstance<Form10>::unload();
    FormInstance<Form9>::unload();
    FormInstance<Form8>::unload();
    FormInstance<Form7>::unload();
    FormInstance<Form6>::unload();
    FormInstance<Form5>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form3>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  void everyControlIsWiredOrListedApart_data() {
    QTest::addColumn<int>("index");
    const QList<WindowTable> all = windows();
    for (int i = 0; i < all.size(); ++i) QTest::newRow(all[i].name) << i;
  }
  void everyControlIsWiredOrListedApart() {
    QFETCH(int, index);
    const WindowTable table = windows().at(index);
    QWidget* window = table.load();
    const QList<Control> controls = table.controls();

    QStringList unwired;
    QList<QObject*> listed;
    for (const Control& c : controls) {
      QVERIFY2(c.object, qPrintable(c.name));
      listed << c.object;
      if (c.wiring != Wiring::Handler) continue;
      const int own = ownReceivers(c.object, c.signal);
      if (Peek::countOf(c.object, c.signal) <= own) unwired << c.name;
    }
    QVERIFY2(unwired.isEmpty(), qPrintable("not connected: " + unwired.join(", ")));

    QStringList unlisted;
    for (QObject* o : operableControls(window))
      if (!listed.contains(o)) unlisted << describe(o);
    QVERIFY2(unlisted.isEmpty(), qPrintable("not in the table: " + unlisted.join(", ")));
  }

  // Tab and Backtab follow each window's focus chain; where the window's description
  // gives an order, the chain holds its controls in that order.
  void tabOrders_data() {
    QTest::addColumn<int>("window");
    QTest::newRow("main window entry strip") << 0;
    QTest::newRow("contest window entry row") << 1;
    QTest::newRow("contest record editor") << 2;
    QTest::newRow("lookup result") << 3;
  }
  void tabOrders() {
    QFETCH(int, window);
    QList<QWidget*> order;
    switch (window) {
      case 0: {
        Form1& f = test::loadQuietMainWindow();
        order = {f.Corresponsal, f.Fecha, f.Hora, f.RSE, f.RSR, f.Text1, f.Text2, f.Obs};
        break;
      }
      case 1: {
        test::loadQuietMainWindow();
        Form4& f = form4();
        order = {f.Fecha, f.Hora, f.Corresponsal, f.RSE, f.RSR, f.Combo1, f.mhz, f.Text1, f.Text2};
        break;
      }
      case 2: {
        Form7& f = form7();
        order = {f.Text1, f.Text2, f.Text4, f.Text5, f.Combo1, f.Combo2, f.Text6, f.Text7, f.Command1, f.Command2};
        break;
      }
      default: {
        Form33& f = form33();
        order = {f.Text1, f.Command1, f.Command2, f.Command4};
        break;
      }
    }
    QList<QWidget*> chain;
    QWidget* w = order.first();
    do {
      if (order.contains(w) && !chain.contains(w)) chain << w;
      w = w->nextInFocusChain();
    } while (w != order.first() && chain.size() < order.size());
    QCOMPARE(chain, order);
    // Nothing that takes the focus by Tab comes before the first of them.
    if (window == 3) {
      QWidget* first = form33().nextInFocusChain();
      while (first != &form33() && !(first->focusPolicy() & Qt::TabFocus)) first = first->nextInFocusChain();
      QCOMPARE(first, static_cast<QWidget*>(form33().Text1));
    }
  }

  // Every box with a key filter lets Tab and Backtab through: Tab leaves the box,
  // Backtab comes back to it, and neither types anything.
  void keyFiltersLetTabThrough_data() {
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("box");
    const struct {
      int window;
      const char* boxes[8];
    } rows[] = {
        {1, {"Corresponsal", "RSE", "RSR", "Text1", "Text2", "Obs"}},
        {2, {"Text1", "Text2", "Text4"}},
        {4, {"Corresponsal", "RSE", "RSR"}},
        {5, {"Text2", "Text4", "Text5", "Text10", "Text11"}},
        {6, {"Text3", "Text4", "Text5", "Text1", "Text2"}},
        {7, {"Text1", "Text2", "Text4", "Text5", "Text6", "Text7"}},
        {8, {"Text1"}},
        {9, {"Text1"}},
        {11, {"Frec_new", "Text1"}},
    };
    for (const auto& r : rows)
      for (const char* box : r.boxes)
        if (box) QTest::addRow("Form%d %s", r.window, box) << r.window << QString::fromLatin1(box);
  }
  void keyFiltersLetTabThrough() {
    QFETCH(int, window);
    QFETCH(QString, box);
    QWidget* w = nullptr;
    switch (window) {
      case 1: w = &test::loadQuietMainWindow(); break;
      case 2: w = &form2(); break;
      case 4: test::loadQuietMainWindow(); w = &form4(); break;
      case 5: test::loadQuietMainWindow(); w = &form5(); break;
      case 6: test::loadQuietMainWindow(); w = &form6(); break;
      case 7: w = &form7(); break;
      case 8: w = &form8(); break;
      case 9: w = &form9(); break;
      default: w = &form11(); break;
    }
    auto* edit = w->findChild<QLineEdit*>(box);
    if (!edit) {
      // Boxes without an object name are found by the member the window names.
      if (window == 2) edit = box == "Text1" ? form2().Text1 : box == "Text2" ? form2().Text2 : form2().Text4;
      if (window == 8) edit = form8().Text1;
      if (window == 9) edit = form9().Text1;
      if (window == 11) edit = box == "Text1" ? form11().Text1 : form11().Frec_new;
      if (window == 5) {
        Form5& f = form5();
        const QHash<QString, QLineEdit*> boxes{{"Text2", f.Text2}, {"Text4", f.Text4}, {"Text5", f.Text5},
                                               {"Text10", f.Text10}, {"Text11", f.Text11}};
        edit = boxes.value(box);
      }
      if (window == 6) {
        Form6& f = form6();
        const QHash<QString, QLineEdit*> boxes{{"Text1", f.Text1}, {"Text2", f.Text2}, {"Text3", f.Text3},
                                               {"Text4", f.Text4}, {"Text5", f.Text5}};
        edit = boxes.value(box);
      }
      if (window == 7) {
        Form7& f = form7();
        const QHash<QString, QLineEdit*> boxes{{"Text1", f.Text1}, {"Text2", f.Text2}, {"Text4", f.Text4},
                                               {"Text5", f.Text5}, {"Text6", f.Text6}, {"Text7", f.Text7}};
        edit = boxes.value(box);
      }
    }
    QVERIFY(edit);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    edit->setEnabled(true);
    edit->setFocus();
    QCOMPARE(QApplication::focusWidget(), edit);
    const QString before = edit->text();
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY2(QApplication::focusWidget() != edit, "Tab stayed in the box");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), before);
    w->hide();
  }

  // The check itself: a button the window never connected is found, one it did is not.
  void unwiredControlIsFound() {
    QWidget window;
    auto* wired = new QPushButton(&window);
    auto* bare = new QPushButton(&window);
    QMenu menu;
    auto* entry = menu.addAction(QStringLiteral("x"));
    connect(wired, &QPushButton::clicked, &window, [] {});
    QCOMPARE(Peek::countOf(wired, kClicked), 1);
    QCOMPARE(Peek::countOf(bare, kClicked), 0);
    QCOMPARE(Peek::countOf(entry, kTriggered), ownReceivers(entry, kTriggered));
    connect(entry, &QAction::triggered, &window, [] {});
    QVERIFY(Peek::countOf(entry, kTriggered) > ownReceivers(entry, kTriggered));
  }
};

QTEST_MAIN(TstConnections)
#include "tst_connections.moc"
