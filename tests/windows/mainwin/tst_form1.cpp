// The main window as drawn: controls, design states, menus, shortcuts and keys.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "mainwin/form1.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// The window at its design size, controls placed as drawn.
Form1& designForm() {
  Form1& f = form1();
  f.resize(f.Layout.first().Width / kTwipsPerPixel, f.Layout.first().Height / kTwipsPerPixel);
  f.Form_Resize();
  return f;
}

QString captionOf(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  return {};
}

QWidget* named(Form1& f, const QString& name, int index = -1) {
  for (QWidget* w : f.findChildren<QWidget*>(name)) {
    const QVariant i = w->property("Index");
    if (index == -1 || (i.isValid() && i.toInt() == index)) return w;
  }
  return nullptr;
}

}  // namespace

class TstForm1 : public QObject {
  Q_OBJECT

  test::TempFolder* folder_ = nullptr;
  test::ScriptedDialogs* dialogs_ = nullptr;
  test::RecordingLauncher* launcher_ = nullptr;

 private slots:
  void init() {
    folder_ = new test::TempFolder;
    dialogs_ = new test::ScriptedDialogs;
    launcher_ = new test::RecordingLauncher;
    // Set up before: the start-up step reads the settings instead of asking for them.
    folder_->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Log inicial"});
    state() = ProgramState{};
  }
  void cleanup() {
    FormInstance<Form1>::unload();
    delete launcher_;
    delete dialogs_;
    delete folder_;
  }

  void captionsAsDrawn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    const struct {
      const char* name;
      int index;
      const char* caption;
    } rows[] = {
        {"Label1", 0, "Corresponsal"}, {"Label1", 1, "RS(e)"},        {"Label1", 2, "RS(r)"},
        {"Label1", 3, "Observaciones"}, {"Label1", 4, "        Fecha              Hora"},
        {"Label1", 5, "MHz"},          {"Label1", 6, "Estación"},     {"Label1", 7, "Operador"},
        {"Label1", 8, "Modo"},         {"Label1", 9, "Banda"},        {"Label1", 10, "KHz"},
        {"Label1", 11, "GridLoc"},     {"Command14", -1, "L"},        {"Command13", -1, "Q"},
        {"Command7", -1, "?"},         {"Label11", -1, "LU"},        {"RSE", -1, "59"},
        {"RSR", -1, "59"},             {"Check1", -1, "QTR manual"},  {"Check2", -1, "Vía Satélite"},
        {"Check3", -1, "No Borrar"},   {"Frame2", -1, "Satélite"},    {"Command1", -1, "Editar"},
        // As the load leaves them: the last satellite of the built-in list.
        {"Subida", -1, "Subida:70cm"}, {"Bajada", -1, "Bajada:2m"},   {"Modo", -1, "Modo:FM"},
        {"Subtono", -1, "SubTono:67.0"},   {"Command2", -1, "Ingresar QSO"},
        {"Label5", -1, "F5 edita último QSO        <enter> tab"},
        {"Command5", -1, "Hacer Tabla!"}, {"Frame3", -1, "Log ..."}, {"anterior", -1, "Primera"},
        {"menos", -1, "Anterior"},     {"mas", -1, "Siguiente"},      {"ultima", -1, "Ultima"},
        {"Label10", 0, "Página:"},     {"txt_pagina", -1, "0"},       {"Label10", 1, "Total:"},
        {"txt_total", -1, "0"},        {"Label10", 2, "Página"},      {"Text3", -1, "1"},
        {"Command8", -1, "Ir"},        {"Label12", -1, "Llamador CQ (F1)"}, {"Label13", -1, "Tx"},
        {"Label14", -1, "NUEVO"},      {"Label15", -1, "ACTUAL"},     {"Label16", -1, "AGREGA"},
        {"Label17", -1, "QUEDA"},
    };
    for (const auto& r : rows)
      QTest::addRow("%s(%d)", r.name, r.index) << QString(r.name) << r.index << QString::fromUtf8(r.caption);
  }
  void captionsAsDrawn() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, caption);
    QWidget* w = named(form1(), name, index);
    QVERIFY(w);
    QCOMPARE(captionOf(w), caption);
  }

  void designStates() {
    Form1& f = form1();
    QCOMPARE(f.windowTitle(), QString("Vantorel Zezeror V2.1.21"));
    // Usable only once other work enables them.
    for (QWidget* w : {static_cast<QWidget*>(f.Command13), static_cast<QWidget*>(f.Command14),
                       static_cast<QWidget*>(f.Command7), static_cast<QWidget*>(f.anterior),
                       static_cast<QWidget*>(f.menos), static_cast<QWidget*>(f.mas), static_cast<QWidget*>(f.ultima)})
      QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    for (const char* hidden : {"Label11", "Command15", "Combo2", "Command4", "Frame2", "Image2", "Command9",
                               "Command10", "Command12", "Command16", "Label9", "Label4", "ProgressBar1", "Command3",
                               "Command5", "Command6", "Text4", "Command11", "Frame6"})
      QVERIFY2(named(f, hidden)->isHidden(), hidden);
    for (const char* shown : {"Frame1", "Corresponsal", "Frame5", "Image1", "Label6", "Command2", "Frame3", "ListView2",
                              "Frame4", "Label12", "sFondo", "Label13"})
      QVERIFY2(!named(f, shown)->isHidden(), shown);

    const std::pair<QLineEdit*, int> limits[] = {{f.Corresponsal, 15}, {f.Fecha, 10}, {f.Hora, 5}, {f.RSE, 3},
                                                 {f.RSR, 3},           {f.Text1, 3},  {f.Text2, 6}, {f.Obs, 50},
                                                 {f.Text3, 4}};
    for (const auto& [box, max] : limits) QCOMPARE(box->maxLength(), max);

    QCOMPARE(f.Command14->toolTip(), QString("Buscar Corresponsal en Ruk (Ctrl+L)"));
    QCOMPARE(f.Command13->toolTip(), QString("Buscar Corresponsal en QRZ (Ctrl+Q)"));
    QCOMPARE(f.Command7->toolTip(), QString("Buscar Corresponsal en log (Ctrl+X)"));
    QCOMPARE(f.Label11->toolTip(), QString("Clic para cambiar LU/UTC"));
    QCOMPARE(f.Image1->toolTip(), QString("Ir a la web (doble clic)"));
    QCOMPARE(f.Command15->toolTip(), QString("Pasos en AMSAT LU"));
    QCOMPARE(f.Command13->parentWidget(), f.centralWidget());  // on the window, over the strip

    // Colours other windows and commands rely on.
    QCOMPARE(f.Label13->palette().color(QPalette::Window), QColor(128, 0, 0));
    QCOMPARE(f.Label2->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(f.Command14->palette().color(QPalette::Button), QColor(128, 255, 255));
    QCOMPARE(f.Command13->palette().color(QPalette::Button), QColor(0, 255, 0));
    QCOMPARE(f.Command7->palette().color(QPalette::Button), QColor(255, 255, 0));
  }

  void timers() {
    Form1& f = form1();
    const struct {
      QTimer* timer;
      int interval;
      bool on;
    } rows[] = {{f.Timer1, 1000, true},  {f.Timer2, 900, true},   {f.Timer4, 5000, false},
                {f.Timer5, 5000, false}, {f.Timer6, 200, false},  {f.Timer7, 20000, true},
                {f.Timer8, 1000, false}, {f.Timer9, 150, false},  {f.Timer10, 2, false}};
    for (const auto& r : rows) {
      QCOMPARE(r.timer->interval(), r.interval);
      QCOMPARE(r.timer->isActive(), r.on);
    }
  }

  void framesWhereDrawnAndNothingOverlaps() {
    Form1& f = designForm();
    QCOMPARE(f.Frame1->geometry(), QRect(120 / 15, 0, 8900 / 15, 2535 / 15));
    QCOMPARE(f.Frame5->geometry(), QRect(9120 / 15, 120 / 15, 4215 / 15, 2415 / 15));
    QCOMPARE(f.Frame3->geometry(), QRect(120 / 15, 2880 / 15, 12975 / 15, 5295 / 15));
    QCOMPARE(f.Frame4->geometry(), QRect(120 / 15, 8160 / 15, 12975 / 15, 1095 / 15));

    // Everything the operator sees lies inside its container, clear of its
    // neighbours, with room for its caption.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QList<QWidget*> shown;
    for (QWidget* w : f.centralWidget()->findChildren<QWidget*>())
      if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_") && w->isVisible()) shown << w;
    QVERIFY(shown.size() > 40);
    for (QWidget* w : shown) {
      QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(w->objectName()));
      const QString caption = captionOf(w);
      if (!caption.isEmpty() && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QGroupBox*>(w))
        QVERIFY2(w->sizeHint().width() <= w->width() + 1 || w->fontMetrics().horizontalAdvance(caption) <= w->width(),
                 qPrintable(w->objectName() + ": " + caption));
    }
    for (QWidget* a : shown)
      for (QWidget* b : shown) {
        if (a >= b || a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
        const QRect ra(a->mapTo(&f, QPoint(0, 0)), a->size()), rb(b->mapTo(&f, QPoint(0, 0)), b->size());
        const auto pair = [&](QWidget* x, QWidget* y) { return (a == x && b == y) || (a == y && b == x); };
        if (pair(f.Command13, f.Frame1)) continue;  // drawn over the strip
        if (pair(f.Frame3, f.Frame4)) {             // the drawn frames share their edge row
          QCOMPARE(ra.intersected(rb).height(), 1);
          continue;
        }
        QVERIFY2(!ra.intersects(rb), qPrintable(a->objectName() + " / " + b->objectName()));
      }
  }

  void twiceTheDesignSizeDoublesEverything() {
    Form1& f = designForm();
    const QRect frame = f.Frame3->geometry(), box = f.Corresponsal->geometry();
    const double callFont = f.Label2->font().pointSizeF();
    f.resize(f.width() * 2, f.height() * 2);
    f.Form_Resize();
    QCOMPARE(f.Frame3->geometry(), QRect(frame.topLeft() * 2, frame.size() * 2));
    QCOMPARE(f.Corresponsal->geometry(), QRect(box.topLeft() * 2, box.size() * 2));
    QCOMPARE(f.Label2->font().pointSizeF(), 2 * callFont);
    QCOMPARE(f.ListView2->columnWidth(kQsoListFecha), 2 * 1300 / 15);  // the columns grow with their text
  }

  void entryFieldsOpenTheTabOrder() {
    Form1& f = form1();
    QStringList order;
    QWidget* w = f.Corresponsal;
    while (order.size() < 8) {
      if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
      w = w->nextInFocusChain();
    }
    QCOMPARE(order, (QStringList{"Corresponsal", "Fecha", "Hora", "RSE", "RSR", "Text1", "Text2", "Obs"}));
  }

  void menusAsDrawn() {
    Form1& f = form1();
    QCOMPARE(f.menuBar()->actions().size(), 2);
    QCOMPARE(f.archivo->title(), QString("Archivo"));
    QCOMPARE(f.ayuy->title(), QString("Ayuda"));
    struct Entry {
      const char* name;
      const char* caption;
      const char* keys;
      bool offered;
    };
    auto check = [](QMenu* menu, const QList<Entry>& expected) {
      const QList<QAction*> actions = menu->actions();
      QCOMPARE(actions.size(), expected.size());
      for (int i = 0; i < actions.size(); ++i) {
        const QAction* a = actions[i];
        const Entry& e = expected[i];
        QCOMPARE(a->objectName(), QString(e.name));
        if (!QByteArray(e.caption).isEmpty()) QCOMPARE(a->text(), QString::fromUtf8(e.caption));
        else QVERIFY2(a->isSeparator() || a->menu(), e.name);
        QCOMPARE(a->shortcut(), QKeySequence(QString(e.keys)));
        QCOMPARE(a->isVisible(), e.offered);
      }
    };
    check(f.archivo, {{"ppeerr", "Perfiles", "", false},
                      {"conf", "Configuración", "Ctrl+C", true},
                      {"alog", "Abrir Log", "Ctrl+A", true},
                      {"nuevo", "Nuevo Log", "Ctrl+N", true},
                      {"borralog", "Borrar Log", "", true},
                      {"aaa", "", "", true},
                      {"eadif", "Buscar/Exportar", "Ctrl+B", true},
                      {"ruk2", "Rukanet", "", false},
                      {"", "Rukanet", "", false},
                      {"parg", "Provincias Argentinas", "Ctrl+P", true},
                      {"div2", "", "", true},
                      {"iadif", "Importar ADIF", "Ctrl+I", true},
                      {"ttt", "", "", true},
                      {"cabro", "Concursos", "Ctrl+O", true},
                      {"anacal", "Análisis de Concurso", "Ctrl+M", true},
                      {"div", "", "", true},
                      {"", "Hacer BackUp", "", true},
                      {"lll", "", "", true},
                      {"salir", "Salir", "Ctrl+S", true}});
    QCOMPARE(f.archivo->actions()[8]->menu(), f.lados);
    QCOMPARE(f.archivo->actions()[16]->menu(), f.hbdd);
    check(f.lados, {{"suych", "Subir y Chequear Confirmaciones", "Ctrl+Q", false}, {"ssub", "Sólo Subir", "Ctrl+U", false}});
    check(f.hbdd, {{"badeda", "Base de Datos", "Ctrl+D", true}, {"badif", "ADIF", "Ctrl+F", true}});
    check(f.ayuy, {{"Ayuda", "Ayuda", "Ctrl+Y", true},
                   {"ac", "Actualizaciones", "Ctrl+Z", true},
                   {"aaa888", "", "", true},
                   {"acerca", "Acerca de ...", "Ctrl+R", true}});
  }

  void shortcutsActInsideTheCallBoxAndSwitchedOffOnesNever() {
    Form1& f = form1();
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    SetFileMenuEnabled("1");  // as the start-up step leaves it
    f.Corresponsal->setFocus();
    f.Corresponsal->setText("LU1ABC");
    struct Key {
      QAction* action;
      Qt::Key key;
      int times;
    } keys[] = {{f.conf, Qt::Key_C, 1}, {f.alog, Qt::Key_A, 1}, {f.salir, Qt::Key_S, 1}, {f.ac, Qt::Key_Z, 1},
                {f.suych, Qt::Key_Q, 0}, {f.ssub, Qt::Key_U, 0}};
    // "Configuración" shows the settings dialog modally: close it as soon as it shows.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [] {
      if (FormInstance<Form2>::loaded() && form2().isVisible()) form2().hide();
    });
    closer.start(10);
    for (const Key& k : keys) {
      QSignalSpy spy(k.action, &QAction::triggered);
      // A command that opens a modal window (the log picker) gets it closed again.
      QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      });
      QTest::keyClick(f.Corresponsal, k.key, Qt::ControlModifier);
      QCOMPARE(spy.count(), k.times);
      // Back from a modal window.
      f.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&f));
      f.Corresponsal->setFocus();
    }
    QCOMPARE(f.Corresponsal->text(), QString("LU1ABC"));  // Ctrl+Z undid nothing

    // While the first page loads the File menu and its shortcuts are off.
    SetFileMenuEnabled("0");
    QVERIFY(!f.archivo->menuAction()->isEnabled());
    QSignalSpy exits(f.salir, &QAction::triggered), copies(f.conf, &QAction::triggered);
    QTest::keyClick(f.Corresponsal, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(f.Corresponsal, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(exits.count() + copies.count(), 0);
    QSignalSpy help(f.Ayuda, &QAction::triggered);
    QTest::keyClick(f.Corresponsal, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(help.count(), 1);  // the Help menu is not part of it
    SetFileMenuEnabled("1");
    QTest::keyClick(f.Corresponsal, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(exits.count(), 1);
    QVERIFY(!f.ppeerr->isVisible());  // and switched-off entries stay off
  }

  void pageBoxTakesDigitsOnly() {
    Form1& f = form1();
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Text3->clear();
    f.Text3->setFocus();
    QTest::keyClicks(f.Text3, "1a-.2 x3");
    QCOMPARE(f.Text3->text(), QString("123"));
    QTest::keyClick(f.Text3, Qt::Key_Backspace);
    QCOMPARE(f.Text3->text(), QString("12"));
    QTest::keyClicks(f.Text3, "456");
    QCOMPARE(f.Text3->text(), QString("1245"));  // at most four characters
    // Other boxes are not filtered by it.
    f.Obs->setFocus();
    QTest::keyClicks(f.Obs, "a-1.");
    QCOMPARE(f.Obs->text(), QString("a-1."));
  }

  void unloadingStartsAgainFromTheDesign() {
    form1().Text3->setText("77");
    form1().Frame2->show();
    FormInstance<Form1>::unload();
    QCOMPARE(form1().Text3->text(), QString("1"));
    QVERIFY(form1().Frame2->isHidden());
  }
};

QTEST_MAIN(TstForm1)
#include "tst_form1.moc"
