// The main window as the operator works it after start-up: a QSO typed into the entry
// strip and stored with "Ingresar QSO", the log menus with the log chooser, paging
// through a long log, and the edit dialog from F5 and from a double-click.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>

#include "exchange/form12.h"
#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "mainwin/form10.h"
#include "mainwin/form3.h"
#include "mainwin/form5.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/logpage.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/recordinglauncher.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kLog = QStringLiteral("Diario");

QWidget* focused() { return QApplication::focusWidget(); }

// Each QSO of a log as "call RSE RSR remarks", in table order.
QStringList storedQsos(const QString& log) {
  QStringList rows;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT Estacion, RSE, RSR, Obs FROM Tabla1 WHERE [Nombre Log]=? AND Modo<>'' ORDER BY id", {log});
  while (q.next()) rows << QStringList{db::text(q, 0), db::text(q, 1), db::text(q, 2), db::text(q, 3)}.join(' ');
  return rows;
}

QString topCall() {
  QTreeWidgetItem* top = form1().ListView2->topLevelItem(0);
  return top ? top->text(kQsoListEstacion) : QString();
}

}  // namespace

class TstRoadForm1 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=" + kLog});
  }
  void cleanup() {
    FormInstance<Form5>::unload();
    FormInstance<Form3>::unload();
    FormInstance<Form10>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form12>::unload();
    FormInstance<Form15>::unload();
    FormInstance<Form1>::unload();
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  // The call, Tab to the reports, remarks, "Ingresar QSO": stored and listed on top.
  void entryStripStoresAQso() {
    QVERIFY(test::startMainWindow());
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    QCOMPARE(focused(), f.Corresponsal);
    test::typeIntoFocus("ea8xyz");
    QCOMPARE(f.Corresponsal->text(), QString("EA8XYZ"));
    QTest::mouseClick(f.RSE, Qt::LeftButton);
    f.RSE->selectAll();
    test::typeIntoFocus("57");
    test::keyToFocus(Qt::Key_Tab);
    QCOMPARE(focused(), f.RSR);
    f.RSR->selectAll();
    test::typeIntoFocus("58");
    QTest::mouseClick(f.Obs, Qt::LeftButton);
    test::typeIntoFocus("Buena senal");
    QVERIFY(test::click(f.Command2));  // "Ingresar QSO"

    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos(kLog), QStringList{"EA8XYZ 57 58 Buena senal"});
    QCOMPARE(topCall(), QString("EA8XYZ"));
    QCOMPARE(f.Corresponsal->text(), QString());
    QCOMPARE(focused(), f.Corresponsal);
  }

  // A QSO entered before the clock has ticked once is stored: the date and time
  // boxes are filled from the start.
  void aQsoBeforeTheClocksFirstTickIsStored() {
    Form1& f = form1();
    f.Timer1->stop();  // held back: the clock has not ticked yet
    QVERIFY(!f.Fecha->text().isEmpty());
    QVERIFY(!f.Hora->text().isEmpty());
    f.show();
    QVERIFY(QTest::qWaitFor([&] { return f.iadif->isEnabled(); }, 15000));  // the start-up step
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("ea8xyz");
    QVERIFY(test::click(f.Command2));  // "Ingresar QSO"
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos(kLog), QStringList{"EA8XYZ 59 59 "});
  }

  // The File menu's shortcuts act with the focus in the call box, with the key as a
  // keyboard under X delivers it (Ctrl and a letter carry a control character), and
  // the box keeps what was typed. A window a command opens is closed again.
  void menuShortcutsActFromTheCallBox_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+D, Base de Datos") << "badeda" << int(Qt::Key_D);
    QTest::newRow("Ctrl+C, Configuración") << "conf" << int(Qt::Key_C);
    QTest::newRow("Ctrl+F, ADIF") << "badif" << int(Qt::Key_F);
    QTest::newRow("Ctrl+I, Importar ADIF") << "iadif" << int(Qt::Key_I);
    QTest::newRow("Ctrl+A, Abrir Log") << "alog" << int(Qt::Key_A);
  }
  void menuShortcutsActFromTheCallBox() {
    QFETCH(QString, action);
    QFETCH(int, key);
    QVERIFY(test::startMainWindow());
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("ea8xyz");
    QWidget* box = focused();
    QCOMPARE(box, static_cast<QWidget*>(f.Corresponsal));
    auto* command = f.findChild<QAction*>(action);
    QVERIFY(command);
    QSignalSpy triggered(command, &QAction::triggered);
    bool closed = false;
    QPointer<QTimer> poll = test::whenModalShows([](QWidget* w) { w->hide(); }, &closed);
    const QString control(QChar(char16_t(key - Qt::Key_A + 1)));
    QTest::sendKeyEvent(QTest::Press, box, Qt::Key(key), control, Qt::ControlModifier);
    QTest::sendKeyEvent(QTest::Release, box, Qt::Key(key), control, Qt::ControlModifier);
    delete poll;
    QCOMPARE(triggered.count(), 1);
    QCOMPARE(f.Corresponsal->text(), QString("EA8XYZ"));
  }

  // "Nuevo Log" makes a new log current; "Abrir Log" and a double-click on the old
  // one go back to it.
  void logMenusAndTheLogChooser() {
    test::addQso(kLog, "CE3AAA", "01/03/2024", "12:00:00");
    QVERIFY(test::startMainWindow());
    Form1& f = form1();
    QCOMPARE(topCall(), QString("CE3AAA"));

    dialogs->inputs.enqueue("Portable");
    f.nuevo->trigger();
    QCOMPARE(dialogs->prompts, QStringList{"Ingrese el nombre del nuevo Log"});
    QCOMPARE(state().CurrentLogName, QString("Portable"));
    QCOMPARE(f.ListView2->topLevelItemCount(), 0);

    QString picked;
    QVERIFY(test::whileModal([&] { f.alog->trigger(); },
                             [&](QWidget* modal) {
                               Form3& chooser = form3();
                               QCOMPARE(modal, static_cast<QWidget*>(&chooser));
                               const QList<QListWidgetItem*> rows =
                                   chooser.List1->findItems(kLog, Qt::MatchStartsWith);
                               QCOMPARE(rows.size(), 1);
                               picked = rows[0]->text();
                               test::doubleClickRow(chooser.List1, rows[0]);
                             }));
    QVERIFY(!picked.isEmpty());
    QCOMPARE(state().CurrentLogName, kLog);
    QCOMPARE(topCall(), QString("CE3AAA"));
    QVERIFY(f.Frame1->title().contains(kLog));
  }

  // The Help menu by its shortcuts from the call box, and "Borrar Log" confirmed.
  void helpMenuAndDeletingALog() {
    test::addQso("Otro", "JA1DDD", "03/03/2024", "15:00:00");
    test::addQso(kLog, "CE3AAA", "01/03/2024", "12:00:00");
    QVERIFY(test::startMainWindow());
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);

    QString about;
    QVERIFY(test::whileModal([] { test::keyToFocus(Qt::Key_R, Qt::ControlModifier); },  // "Acerca de ..."
                             [&](QWidget* modal) {
                               about = modal->windowTitle();
                               modal->close();
                             }));
    QVERIFY(!about.isEmpty());
    QVERIFY(test::returnTo(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::keyToFocus(Qt::Key_Y, Qt::ControlModifier);  // "Ayuda"
    QCOMPARE(launcher->calls.size(), 1);
    QVERIFY(launcher->calls[0].target.endsWith(".pdf"));
    QCOMPARE(f.Corresponsal->text(), QString());  // the shortcuts typed nothing

    dialogs->answers.enqueue(MsgAnswer::Yes);
    f.borralog->trigger();
    QVERIFY(dialogs->lastText().startsWith("Esta seguro de borrar "));
    QCOMPARE(storedQsos(kLog), QStringList{});
    QVERIFY(state().CurrentLogName != kLog);
  }

  // The paging buttons and a page typed into the page box with "Ir".
  void pagingThroughALongLog() {
    test::addGeneratedLog(kLog, 45);
    QVERIFY(test::startMainWindow());
    Form1& f = form1();
    const auto page = [&f] { return f.txt_pagina->text().toInt(); };
    QCOMPARE(page(), 1);
    QCOMPARE(topCall(), test::generatedCall(45));
    QVERIFY(!f.anterior->isEnabled());
    QVERIFY(test::click(f.mas));  // "Siguiente"
    QCOMPARE(page(), 2);
    QCOMPARE(topCall(), test::generatedCall(25));
    QVERIFY(test::click(f.ultima));
    QCOMPARE(page(), 3);
    QCOMPARE(topCall(), test::generatedCall(5));
    QVERIFY(!f.mas->isEnabled());
    QVERIFY(test::click(f.menos));  // "Anterior"
    QCOMPARE(page(), 2);
    QVERIFY(test::click(f.anterior));  // "Primera"
    QCOMPARE(page(), 1);

    QTest::mouseClick(f.Text3, Qt::LeftButton);
    test::typeIntoFocus("3");
    QVERIFY(test::click(f.Command8));  // "Ir"
    QCOMPARE(page(), 3);
    QCOMPARE(topCall(), test::generatedCall(5));
  }

  // F5 opens the QSO stored last; a double-click opens the one clicked; "Guardar"
  // writes what was typed in the dialog.
  void editDialogFromF5AndDoubleClick() {
    test::addQso(kLog, "CE3AAA", "01/03/2024", "12:00:00");
    test::addQso(kLog, "EA1BBB", "02/03/2024", "12:00:00");
    QVERIFY(db::exec("UPDATE Tabla1 SET MiGrid='GF05RJ'"));  // a grid the dialog keeps as it is
    QVERIFY(test::startMainWindow());
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);

    QString viaF5;
    QVERIFY(test::whileModal([] { test::keyToFocus(Qt::Key_F5); },
                             [&](QWidget* modal) {
                               QCOMPARE(modal, static_cast<QWidget*>(&form5()));
                               viaF5 = form5().Text2->text();
                               modal->close();
                             }));
    QCOMPARE(viaF5, QString("EA1BBB"));

    QVERIFY(test::returnTo(&f));
    QTreeWidgetItem* older = f.ListView2->topLevelItem(1);
    QCOMPARE(older->text(kQsoListEstacion), QString("CE3AAA"));
    QVERIFY(test::whileModal([&] { test::doubleClickRow(f.ListView2, older); },
                             [&](QWidget* modal) {
                               Form5& d = form5();
                               QCOMPARE(modal, static_cast<QWidget*>(&d));
                               QCOMPARE(d.Text2->text(), QString("CE3AAA"));
                               QTest::mouseClick(d.Text8, Qt::LeftButton);
                               QCOMPARE(focused(), d.Text8);
                               d.Text8->selectAll();
                               test::typeIntoFocus("QSL recibida");
                               QVERIFY(test::click(d.Command1));  // "Guardar"
                             }));
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos(kLog), (QStringList{"CE3AAA 59 59 QSL recibida", "EA1BBB 59 59 "}));
  }
};

QTEST_MAIN(TstRoadForm1)
#include "tst_road_form1.moc"
