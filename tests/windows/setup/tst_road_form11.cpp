// The satellites editor as the operator reaches it: "Vía Satélite" ticked in the main
// window, "Editar" in the satellite panel, a satellite added with "Agregar", another
// opened with a double-click, changed and stored with "Aceptar".
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "mainwin/form1.h"
#include "setup/form11.h"
#include "store/programstate.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QListWidgetItem* entryNamed(QListWidget* list, const QString& name) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().section(';', 0, 0) == name) return list->item(i);
  return nullptr;
}

}  // namespace

class TstRoadForm11 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form11>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  void addAndEditFromTheSatellitePanel() {
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(test::click(f.Check2));  // "Vía Satélite"
    QVERIFY(f.Frame2->isVisible());
    QVERIFY(test::whileModal([&] { QVERIFY(test::click(f.Command1)); },  // "Editar"
                             [&](QWidget* modal) {
                               Form11& e = form11();
                               QCOMPARE(modal, static_cast<QWidget*>(&e));
                               QTest::mouseClick(e.Text1, Qt::LeftButton);
                               test::typeIntoFocus("rs-44");
                               QVERIFY(test::click(e.Command1));  // "Agregar"
                               QVERIFY(entryNamed(e.List1, "RS-44"));

                               QListWidgetItem* ao7 = entryNamed(e.List1, "AO-7");
                               QVERIFY(ao7);
                               test::doubleClickRow(e.List1, ao7);
                               QVERIFY(e.Frame3->isVisible());
                               QCOMPARE(e.Text2->text(), QString("AO-7"));
                               QTest::mouseClick(e.Text3, Qt::LeftButton);  // sub-tone
                               e.Text3->selectAll();
                               test::typeIntoFocus("67.0");
                               QVERIFY(test::click(e.Command2));  // "Aceptar"
                               QVERIFY(!e.isVisible());
                             }));
    QCOMPARE(dialogs->texts(), QStringList{});
    const QStringList file = folder->readLines("satelites.txt");
    QCOMPARE(file.filter(QRegularExpression("^RS-44;")).size(), 1);
    QCOMPARE(file.filter(QRegularExpression("^AO-7;")).value(0).section(';', 4, 4), QString("67.0"));
    QVERIFY(f.Combo3->findText("RS-44") >= 0);  // the main window's selector follows the file
  }
};

QTEST_MAIN(TstRoadForm11)
#include "tst_road_form11.moc"
