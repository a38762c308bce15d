// The ADIF back-up window as the operator works it: opened from the File menu, sorted
// by a heading, "Hacer ADIF" to a file chosen in the file dialog; the back-up then
// imported into a new log through the import window.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>

#include "exchange/form12.h"
#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

QStringList callsInLog(const QString& log) {
  QStringList calls;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT Estacion FROM Tabla1 WHERE [Nombre Log]=? AND Modo<>'' ORDER BY Estacion", {log});
  while (q.next()) calls << db::text(q, 0);
  return calls;
}

}  // namespace

class TstRoadForm15 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    test::addQso("Diario", "CE3AAA", "01/03/2024", "12:00:00");
    test::addQso("Diario", "EA1BBB", "02/03/2024", "13:00:00");
    test::addQso("Campo", "K1CCC", "03/03/2024", "14:00:00");
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form12>::unload();
    FormInstance<Form15>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  void backUpAllLogsAndRestoreIntoANewLog() {
    form1().badif->trigger();
    Form15& f = form15();
    QVERIFY(f.isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(test::columnTexts(f.ListView1, 0), (QStringList{"Campo", "Diario"}));
    test::clickHeading(f.ListView1->header(), 1);  // "QSOs"
    QCOMPARE(test::columnTexts(f.ListView1, 1), (QStringList{"2", "1"}));
    QTest::qWait(QApplication::doubleClickInterval() + 50);  // two clicks, not a double-click
    test::clickHeading(f.ListView1->header(), 1);
    QCOMPARE(test::columnTexts(f.ListView1, 1), (QStringList{"1", "2"}));
    QCOMPARE(f.Label2->text(), QString("3"));

    dialogs->files.enqueue(folder->file("backup.adi"));
    dialogs->answers.enqueue(MsgAnswer::No);  // see the file
    QVERIFY(test::click(f.Command1));  // "Hacer ADIF"
    QCOMPARE(dialogs->fileRequests.size(), 1);
    QCOMPARE(dialogs->texts(), QStringList{folder->file("backup.adi") + "\r\nGuardado!\r\n\r\nDesea verlo?"});
    QVERIFY(!f.isVisible());

    // The back-up goes back in through "Importar ADIF", "Abrir" and "Cargar".
    QVERIFY(test::returnTo(&form1()));
    dialogs->inputs.enqueue("Restaurado");
    form1().nuevo->trigger();
    QCOMPARE(state().CurrentLogName, QString("Restaurado"));
    dialogs->files.enqueue(folder->file("backup.adi"));
    QVERIFY(test::whileModal([] { form1().iadif->trigger(); },
                             [](QWidget*) {
                               QVERIFY(test::click(form12().Command1));
                               QVERIFY(test::click(form12().Command3));
                             }));
    QCOMPARE(callsInLog("Restaurado"), (QStringList{"CE3AAA", "EA1BBB", "K1CCC"}));
    QCOMPARE(callsInLog("Diario"), (QStringList{"CE3AAA", "EA1BBB"}));
  }
};

QTEST_MAIN(TstRoadForm15)
#include "tst_road_form15.moc"
