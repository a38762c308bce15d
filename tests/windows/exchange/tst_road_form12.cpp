// The ADIF import window as the operator works it: the menu entry, "Abrir", the file
// chosen in the file dialog, "Cargar", and the QSOs in the current log.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>

#include "exchange/form12.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "store/logpage.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kLog = QStringLiteral("Importado");

QString field(const QString& tag, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(tag).arg(value.size()).arg(value);
}

QString record(const QString& call, const QString& date, const QString& time, const QString& band,
               const QString& mode) {
  return field("STATION_CALLSIGN", "LU1ABC") + field("CALL", call) + field("QSO_DATE", date) +
         field("TIME_ON", time) + field("BAND", band) + field("MODE", mode) + field("RST_SENT", "59") +
         field("RST_RCVD", "57") + "<EOR>";
}

QStringList callsInLog(const QString& log) {
  QStringList calls;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT Estacion, Fecha, Hora, Banda, Modo FROM Tabla1 WHERE [Nombre Log]=? AND Modo<>'' ORDER BY id",
          {log});
  while (q.next())
    calls << QStringList{db::text(q, 0), db::text(q, 1), db::text(q, 2), db::text(q, 3), db::text(q, 4)}.join(' ');
  return calls;
}

}  // namespace

class TstRoadForm12 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=" + kLog});
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form12>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  // "Importar ADIF", "Abrir", the file, "Cargar": the file's QSOs are in the current
  // log and its list, and the window is gone.
  void menuOpenChooseLoad() {
    folder->writeLines("otra.adi", {"Exportado por otro programa", "<PROGRAMID:4>Otro", "<EOH>",
                                    record("LU2BB", "20240301", "1310", "40m", "SSB"),
                                    record("EA1XYZ", "20240302", "0805", "20m", "CW"),
                                    record("CX3ZZ", "20240302", "2230", "15m", "FT8"), "<EOF>"});
    dialogs->files.enqueue(folder->file("otra.adi"));

    bool loaded = false;
    QVERIFY(test::whileModal([] { form1().iadif->trigger(); },
                             [&](QWidget* modal) {
                               Form12& f = form12();
                               QCOMPARE(modal, static_cast<QWidget*>(&f));
                               QVERIFY(!f.Command3->isEnabled());
                               QVERIFY(test::click(f.Command1));  // "Abrir"
                               QCOMPARE(f.Label2->text(), QString("otra.adi"));
                               QCOMPARE(f.Label9->text(), QString("3"));
                               QVERIFY(test::click(f.Command3));  // "Cargar"
                               loaded = true;
                             }));
    QVERIFY(loaded);
    QCOMPARE(dialogs->fileRequests.size(), 1);
    QCOMPARE(dialogs->fileRequests[0].title, QString("Abrir Archivo de ADIF ..."));
    QCOMPARE(dialogs->texts(), QStringList{});
    QVERIFY(!form12().isVisible());
    QCOMPARE(callsInLog(kLog), (QStringList{"LU2BB 01/03/2024 13:10 40m SSB", "EA1XYZ 02/03/2024 08:05 20m CW",
                                            "CX3ZZ 02/03/2024 22:30 15m FT8"}));
    QCOMPARE(test::columnTexts(form1().ListView2, kQsoListEstacion), (QStringList{"CX3ZZ", "EA1XYZ", "LU2BB"}));
  }

  // A file the operator closes the dialog on: nothing is staged, nothing loaded.
  void cancelledFileDialogLoadsNothing() {
    QVERIFY(test::whileModal([] { form1().iadif->trigger(); },
                             [&](QWidget*) {
                               Form12& f = form12();
                               QVERIFY(test::click(f.Command1));
                               QVERIFY(!f.Command3->isEnabled());
                               QVERIFY(f.Command1->isEnabled());
                               f.close();
                             }));
    QCOMPARE(dialogs->fileRequests.size(), 1);
    QCOMPARE(callsInLog(kLog), QStringList{});
    QCOMPARE(test::rowCount("Tabla3"), 0);
  }

  // Esc pressed once the file is read, before "Cargar": the load asks at its first
  // poll, after the first QSO written, also when that QSO is the file's last.
  void escBeforeLoadIsAnsweredByTheLoad_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("loaded");
    QTest::newRow("one QSO, cancelled") << 1 << true << 1;
    QTest::newRow("one QSO, going on") << 1 << false << 1;
    QTest::newRow("two QSOs, cancelled") << 2 << true << 1;
    QTest::newRow("two QSOs, going on") << 2 << false << 2;
  }
  void escBeforeLoadIsAnsweredByTheLoad() {
    QFETCH(int, records);
    QFETCH(bool, cancel);
    QFETCH(int, loaded);
    QStringList lines{"<EOH>", record("LU2BB", "20240301", "1310", "40m", "SSB")};
    if (records > 1) lines << record("EA1XYZ", "20240302", "0805", "20m", "CW");
    folder->writeLines("corto.adi", lines << "<EOF>");
    dialogs->files.enqueue(folder->file("corto.adi"));
    QVERIFY(test::whileModal([] { form1().iadif->trigger(); },
                             [&](QWidget*) {
                               Form12& f = form12();
                               QVERIFY(test::click(f.Command1));  // "Abrir"
                               QVERIFY(f.Command3->isEnabled());
                               QTest::keyClick(f.focusWidget() ? f.focusWidget() : &f, Qt::Key_Escape);
                               QVERIFY(f.isVisible());  // Esc alone closes nothing
                               QCOMPARE(dialogs->texts(), QStringList{});
                               dialogs->answers.enqueue(cancel ? MsgAnswer::Yes : MsgAnswer::No);
                               QVERIFY(test::click(f.Command3));  // "Cargar"
                             }));
    QCOMPARE(dialogs->texts(), QStringList{"Cancela el proceso?"});
    QCOMPARE(callsInLog(kLog).size(), loaded);
    QVERIFY(!form12().isVisible());
    QVERIFY(!state().ImportCancelRequested);
  }
};

QTEST_MAIN(TstRoadForm12)
#include "tst_road_form12.moc"
