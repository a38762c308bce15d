// The configuration dialog as the operator works it: on the first run it comes up by
// itself and "Guardar" starts the first log; later "Configuración" in the File menu
// opens it, Tab walks the boxes and "Guardar" stores what was typed.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "mainwin/form1.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QWidget* focused() { return QApplication::focusWidget(); }

}  // namespace

class TstRoadForm2 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
  }
  void cleanup() {
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  // No config.ini: the dialog comes up by itself; the calls and the grid typed with
  // Tab between them, "Guardar", and the main window works on the first log.
  void firstRun() {
    bool done = false;
    QList<QWidget*> walk;
    test::whenModalShows(
        [&](QWidget* modal) {
          Form2& f = form2();
          QCOMPARE(modal, static_cast<QWidget*>(&f));
          QTest::mouseClick(f.Text1, Qt::LeftButton);
          test::typeIntoFocus("lu1abc");
          test::keyToFocus(Qt::Key_Tab);
          walk << focused();
          test::typeIntoFocus("lu2xyz");
          test::keyToFocus(Qt::Key_Tab);
          walk << focused();
          test::typeIntoFocus("gf05rj");
          QVERIFY(test::click(f.Command1));  // "Guardar"
        },
        &done);
    QVERIFY(test::startMainWindow());
    QVERIFY(done);
    QCOMPARE(walk, (QList<QWidget*>{form2().Text2, form2().Text4}));
    QCOMPARE(dialogs->texts(), QStringList{});
    Form1& m = form1();
    QCOMPARE(m.Label2->text(), QString("LU1ABC"));
    QCOMPARE(m.Label3->text(), QString("LU2XYZ"));
    QCOMPARE(m.Label8->text(), QString("GF05RJ"));
    QCOMPARE(state().CurrentLogName, QString("Log inicial"));
    const QStringList config = folder->readLines("config.ini");
    QVERIFY(config.contains("Estacion=LU1ABC"));
    QVERIFY(config.contains("Operador=LU2XYZ"));
  }

  // "Configuración": a new operator call stored and shown in the main window.
  void fromTheMenu() {
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "Operador=LU1ABC", "LogenUso=Diario"});
    QVERIFY(test::startMainWindow());
    QVERIFY(test::whileModal([] { form1().conf->trigger(); },
                             [&](QWidget* modal) {
                               Form2& f = form2();
                               QCOMPARE(modal, static_cast<QWidget*>(&f));
                               QCOMPARE(f.Text1->text(), QString("LU1ABC"));
                               QTest::mouseClick(f.Text2, Qt::LeftButton);
                               f.Text2->selectAll();
                               test::typeIntoFocus("lu3ops");
                               QVERIFY(test::click(f.Command1));  // "Guardar"
                               QVERIFY(!f.isVisible());
                             }));
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(form1().Label3->text(), QString("LU3OPS"));
    QVERIFY(folder->readLines("config.ini").contains("Operador=LU3OPS"));
  }
};

QTEST_MAIN(TstRoadForm2)
#include "tst_road_form2.moc"
