// The worked-before list as the operator reaches it: a call typed into the entry
// strip, the "?" button, the list of earlier QSOs, Esc to close it.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "mainwin/form1.h"
#include "mainwin/form17.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstRoadForm17 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    test::addQso("Diario", "EA1BBB", "01/03/2024", "12:00:00");
    test::addQso("Diario", "EA1BBB", "05/04/2024", "18:30:00", {.mode = "CW"});
    test::addQso("Diario", "K1CCC", "03/03/2024", "14:00:00");
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form17>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  void questionMarkListsEarlierQsos() {
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(!f.Command7->isEnabled());
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("ea1bbb");
    QStringList lines;
    QString title;
    QVERIFY(test::whileModal([&] { QVERIFY(test::click(f.Command7)); },  // "?"
                             [&](QWidget* modal) {
                               Form17& w = form17();
                               QCOMPARE(modal, static_cast<QWidget*>(&w));
                               title = w.windowTitle();
                               for (int i = 0; i < w.List1->count(); ++i) lines << w.List1->item(i)->text();
                               test::keyToFocus(Qt::Key_Escape);
                               QVERIFY(!w.isVisible());
                             }));
    QCOMPARE(title, QString("EA1BBB"));
    QCOMPARE(lines.size(), 3);  // the header and two QSOs
    QCOMPARE(lines.filter("EA1BBB").size(), 2);
    QCOMPARE(dialogs->texts(), QStringList{});
  }
};

QTEST_MAIN(TstRoadForm17)
#include "tst_road_form17.moc"
