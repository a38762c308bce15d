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

  // Log names are listed and sorted without regard to letter case, as the store
  // compares them.
  void logNamesSortWithoutRegardToCase() {
    test::addQso("beta", "JA1DDD", "04/03/2024", "15:00:00");
    form1().badif->trigger();
    Form15& f = form15();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(test::columnTexts(f.ListView1, 0), (QStringList{"beta", "Campo", "Diario"}));
    test::clickHeading(f.ListView1->header(), 0);  // "Log": the other way
    QCOMPARE(test::columnTexts(f.ListView1, 0), (QStringList{"Diario", "Campo", "beta"}));
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    test::clickHeading(f.ListView1->header(), 0);
    QCOMPARE(test::columnTexts(f.ListView1, 0), (QStringList{"beta", "Campo", "Diario"}));
  }

  // Over 10,000 QSOs the window warns when it becomes active, not again when the
  // activation comes back from its own "sobregraba?" question during the back-up.
  void theSizeWarningIsNotRepeatedDuringTheBackUp() {
    test::addGeneratedLog("Grande", 10001);
    form1().badif->trigger();
    Form15& f = form15();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    const QString warning = QString::fromUtf8("El ADIF tiene mas de 10.000 QSOs!");
    QTRY_COMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->lastText().startsWith(warning));

    // The question takes the activation away, and the window gets it back.
    QWidget question;
    question.resize(200, 80);
    dialogs->whileOpen = [&](const MessageRequest& m) {
      if (!m.text.endsWith("sobregraba?")) return;
      question.show();
      question.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&question));
      question.hide();
      f.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&f));
    };
    folder->writeLines("backup.adi", {"anterior"});
    dialogs->files.enqueue(folder->file("backup.adi"));
    dialogs->answers << MsgAnswer::Yes << MsgAnswer::No;  // overwrite; do not show the file
    QVERIFY(test::click(f.Command1));  // "Hacer ADIF"
    dialogs->whileOpen = nullptr;
    QCOMPARE(dialogs->texts().size(), 3);
    QVERIFY(dialogs->texts().at(1).endsWith("sobregraba?"));
    QVERIFY(dialogs->texts().at(2).endsWith("Desea verlo?"));
    QVERIFY(!f.isVisible());
    QVERIFY(folder->readLines("backup.adi").size() > 10001);
  }
};

QTEST_MAIN(TstRoadForm15)
#include "tst_road_form15.moc"
