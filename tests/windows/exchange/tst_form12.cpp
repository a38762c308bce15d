// The ADIF import window: the open step, its refusals, Esc and closing, and the
// load into the current log.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "exchange/form12.h"
#include "mainwin/form1.h"
#include "platform/cp1252.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/logfixture.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kLog = QStringLiteral("Prueba");

QString field(const QString& tag, const QString& value) {
  return QStringLiteral("<%1:%2>%3").arg(tag).arg(value.size()).arg(value);
}

// A record of LU1ABC (the fixture's own call) on 40m SSB on 1 March 2024.
QString record(const QString& call, const QString& time, const QString& extra = {}) {
  return field("STATION_CALLSIGN", "LU1ABC") + field("CALL", call) + field("QSO_DATE", "20240301") +
         field("TIME_ON", time) + field("BAND", "40m") + field("FREQ", "7.050") + field("MODE", "SSB") + extra +
         "<EOR>";
}

const QStringList kHeader = {"Archivo de prueba", "<PROGRAMID:17>Van Torel Zezeror", "<EOH>"};

void writeRaw(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

struct Row {
  QString call, hora, obs, ruk, log;
};

QList<Row> logRows() {
  QList<Row> rows;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT * FROM Tabla1 WHERE Modo<>'' ORDER BY id");
  while (q.next())
    rows << Row{db::text(q, "Estacion"), db::text(q, "Hora"), db::text(q, "Obs"), db::text(q, "Ruk"),
                db::text(q, "Nombre Log")};
  return rows;
}

int stagedCount() {
  QSqlQuery q(db::connection());
  db::run(q, "SELECT COUNT(*) FROM Tabla3");
  return q.next() ? q.value(0).toInt() : -1;
}

QStringList workFiles(const test::TempFolder& folder) {
  return QDir(folder.path()).entryList({"modificado_*"}, QDir::Files);
}

}  // namespace

class TstForm12 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

  // Writes an ADIF file in the folder and opens it with "Abrir".
  void openFile(const QString& name, const QStringList& lines) {
    folder->writeLines(name, lines);
    openPath(folder->file(name));
  }
  void openPath(const QString& path) {
    dialogs->files.enqueue(path);
    clickAbrir();
  }
  static void clickAbrir() {
    form12().show();
    QTest::mouseClick(form12().Command1, Qt::LeftButton);
  }
  static void clickCargar() { QTest::mouseClick(form12().Command3, Qt::LeftButton); }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    state().CurrentLogName = kLog;
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form12>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  // A file with one new QSO and one that repeats a QSO of the log five minutes
  // away, loaded with the duplicate replaced or kept.
  void importWithDuplicate_data() {
    QTest::addColumn<bool>("replace");
    QTest::newRow("duplicates replaced") << true;
    QTest::newRow("duplicates kept") << false;
  }
  void importWithDuplicate() {
    QFETCH(bool, replace);
    const qint64 existing = test::addQso(kLog, "LU1AA", "01/03/2024", "12:05:00", {.ruk = "2"});
    test::addQso("Otro", "LU7XX", "01/03/2024", "12:00:00");
    openFile("log.adi", kHeader + QStringList{record("LU1AA", "1200", field("COMMENT", "O'Brien dijo")),
                                              record("LU2BB", "1310"), "<EOF>"});
    Form12& f = form12();
    QCOMPARE(f.Label2->text(), QString("log.adi"));
    QCOMPARE(f.Label4->text(), QString("Van Torel Zezeror"));
    QCOMPARE(f.Label5->text(), QString("3"));
    QCOMPARE(f.Label6->text(), QString("2"));
    QCOMPARE(f.Label7->text(), QString("LU1ABC "));
    QCOMPARE(f.Label9->text(), QString("1"));
    QCOMPARE(f.Label10->text(), QString("1"));
    QCOMPARE(f.List2->count(), 0);
    QVERIFY(f.Command1->isEnabled());
    QVERIFY(f.Command3->isEnabled());
    QVERIFY(f.Label8->isHidden());
    QVERIFY(!state().ImportRunning);
    QCOMPARE(stagedCount(), 2);
    QVERIFY(workFiles(*folder).isEmpty());  // deleted once parsed
    QVERIFY(dialogs->messages.isEmpty());

    dialogs->answers.enqueue(replace ? MsgAnswer::Yes : MsgAnswer::No);
    clickCargar();
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0].text,
             QString("de 2 QSOs hay 1 DUPlLICADOS\r\n\r\nLos desea Reemplazar?\r\n\r\nNota:\r\n"
                     "Se consideran DUPLICADOS los QSOs en un entorno de 10 minutos"));
    QCOMPARE(dialogs->messages[0].defaultButton, MsgAnswer::No);
    QCOMPARE(state().ImportReplaceDuplicates, replace);

    const QList<Row> rows = logRows();
    QCOMPARE(rows.size(), 3);
    // The repeated QSO keeps its id and log; replaced, it takes the file's values,
    // the apostrophe and the upload state of a file not from Ruk included.
    QCOMPARE(rows[0].call, QString("LU1AA"));
    QCOMPARE(rows[0].log, kLog);
    QCOMPARE(rows[0].hora, replace ? QString("12:00") : QString("12:05:00"));
    QCOMPARE(rows[0].obs, replace ? QString("O'Brien dijo") : QString());
    QCOMPARE(rows[0].ruk, replace ? QString("0") : QString("2"));
    QCOMPARE(rows[2].call, QString("LU2BB"));
    QCOMPARE(rows[2].log, kLog);
    QCOMPARE(rows[2].hora, QString("13:10"));
    QCOMPARE(state().LastInsertedQsoId, QString::number(existing + 2));

    QVERIFY(!f.isVisible());
    QVERIFY(!f.Command1->isEnabled() && !f.Command3->isEnabled());
    QVERIFY(!state().ImportRunning);
    QCOMPARE(stagedCount(), 2);  // kept until the next "Abrir"
    QCOMPARE(form1().ListView2->topLevelItemCount(), 2);
  }

  // Lines ended by LF alone are read as they are: nothing is written beside the
  // file or in the program's folder.
  void fileWithLineFeedsOnly() {
    QDir().mkpath(folder->file("otra"));
    const QString path = folder->file("otra/lf.adi");
    QStringList lines = kHeader + QStringList{record("LU2BB", "1310"), record("LU3CC", "1400")};
    writeRaw(path, encodeCp1252(lines.join('\n') + '\n'));
    const QStringList before = QDir(folder->path()).entryList(QDir::Files);
    openPath(path);
    QCOMPARE(form12().Label5->text(), QString("3"));
    QCOMPARE(form12().Label6->text(), QString("2"));
    QCOMPARE(form12().Label9->text(), QString("2"));
    QCOMPARE(QDir(folder->file("otra")).entryList(QDir::Files), QStringList{"lf.adi"});
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files), before);
    QCOMPARE(stagedCount(), 2);
    clickCargar();
    QCOMPARE(logRows().size(), 2);
  }

  // The limit counts records: a back-up of exactly 10,000 QSOs imports again; one
  // more is refused, and the message names the chosen file.
  void recordLimit_data() {
    QTest::addColumn<int>("records");
    QTest::newRow("10000") << 10000;
    QTest::newRow("10001") << 10001;
  }
  void recordLimit() {
    QFETCH(int, records);
    QStringList lines = kHeader;
    for (int i = 0; i < records; ++i)
      lines << record(QStringLiteral("LU%1AA").arg(i % 10), QTime(0, 0).addSecs(i % 1440 * 60).toString("HHmm"));
    openFile("grande.adi", lines);
    Form12& f = form12();
    if (records == 10000) {
      QCOMPARE(f.Label6->text(), QString("10000"));
      QCOMPARE(f.Label5->text(), QString("10001"));
      QCOMPARE(f.Label9->text().toInt() + f.Label10->text().toInt(), 10000);
      QVERIFY(f.Command3->isEnabled());
      QVERIFY(dialogs->messages.isEmpty());
    } else {
      QCOMPARE(dialogs->lastText(), "El archivo:\r\n" + folder->file("grande.adi") + "\r\ntiene mas de 10.000 QSOs!");
      QCOMPARE(dialogs->messages.last().icon, MsgIcon::Critical);
      QVERIFY(f.Label6->text().isEmpty());
      QVERIFY(!f.Command3->isEnabled());
      QVERIFY(f.Command1->isEnabled());
      QCOMPARE(stagedCount(), 0);
    }
    QVERIFY(workFiles(*folder).isEmpty());
  }

  // Files the open step refuses, and what each refusal leaves.
  void refusals_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("lineCount");
    QTest::newRow("empty file") << QStringList{} << QList<MsgAnswer>{} << QStringList{}
                                << "El Archivo f.adi no tiene QSOss!" << "1";
    const QStringList noStation = {"<CALL:5>LU1AA<QSO_DATE:8>20240301<TIME_ON:4>1200<BAND:3>40m<EOR>"};
    QTest::newRow("no station call, not continued")
        << noStation << QList<MsgAnswer>{MsgAnswer::No} << QStringList{}
        << "El Archivo f.adi no tiene el campo <STATION_CALLSIGN:\r\nContinua con la carga?" << "2";
    QTest::newRow("no station call, none typed")
        << noStation << QList<MsgAnswer>{MsgAnswer::Yes} << QStringList{"   "}
        << QString::fromUtf8("sin Señal Distintiva se anula la carga de f.adi !") << "2";
  }
  void refusals() {
    QFETCH(QStringList, lines);
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    QFETCH(QString, lineCount);
    for (MsgAnswer a : answers) dialogs->answers.enqueue(a);
    for (const QString& i : inputs) dialogs->inputs.enqueue(i);
    openFile("f.adi", lines);
    Form12& f = form12();
    QCOMPARE(dialogs->lastText(), message);
    QCOMPARE(f.Label5->text(), lineCount);
    QVERIFY(f.Command1->isEnabled());
    QVERIFY(!f.Command3->isEnabled());
    QVERIFY(f.Label8->isHidden());
    QVERIFY(!state().ImportRunning);
    QCOMPARE(stagedCount(), 0);
    QVERIFY(workFiles(*folder).isEmpty());  // nothing left behind
  }

  void typedStationCallIsUsedForEveryRecord() {
    dialogs->answers.enqueue(MsgAnswer::Yes);
    dialogs->inputs.enqueue("  lu5xyz ");
    openFile("f.adi", {"<CALL:5>LU1AA<QSO_DATE:8>20240301<TIME_ON:4>1200<BAND:3>40m<MODE:2>CW<EOR>"});
    QCOMPARE(dialogs->messages[0].defaultButton, MsgAnswer::Yes);
    QCOMPARE(dialogs->prompts, QStringList{QString::fromUtf8("Ingrese su Señal Distintiva")});
    QCOMPARE(form12().List2->item(0)->text(), QString("<STATION_CALLSIGN:LU5XYZ"));
    QCOMPARE(form12().Label9->text(), QString("1"));
    QSqlQuery q(db::connection());
    db::run(q, "SELECT MyCall FROM Tabla3");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QString("LU5XYZ"));
  }

  void cancelledChoiceLeavesNothingStaged() {
    openFile("log.adi", kHeader + QStringList{record("LU2BB", "1310")});
    QCOMPARE(stagedCount(), 1);
    clickAbrir();  // no file chosen this time
    QCOMPARE(stagedCount(), 0);
    QVERIFY(!form12().Command3->isEnabled());
    QVERIFY(form12().Command1->isEnabled());
    QVERIFY(!state().ImportRunning);
    QVERIFY(form12().Label2->text().isEmpty());
  }

  // Esc only sets the request; closing asks while it is pending, and both flags
  // are cleared whatever the answer.
  void escAndClosing() {
    Form12& f = form12();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTest::keyClick(f.Command1, Qt::Key_Escape);
    QVERIFY(state().ImportCancelRequested);
    QVERIFY(f.isVisible());
    QVERIFY(dialogs->messages.isEmpty());

    dialogs->answers.enqueue(MsgAnswer::No);
    f.close();
    QCOMPARE(dialogs->lastText(), QString("Cancela el proceso?"));
    QCOMPARE(dialogs->messages.last().defaultButton, MsgAnswer::No);
    QVERIFY(f.isVisible());
    QVERIFY(!state().ImportCancelRequested);

    dialogs->clear();
    QPointer<Form12> window(&f);
    f.close();  // nothing pending: no question, and the window is unloaded
    QVERIFY(dialogs->messages.isEmpty());
    QTRY_VERIFY(window.isNull());
  }

  // Closed with Yes while the open step runs: the step stops there, and the window
  // goes once it has.
  void closedWhileOpening() {
    QPointer<Form12> window(&form12());
    form12().show();
    dialogs->answers.enqueue(MsgAnswer::Yes);
    QTimer::singleShot(0, window, [&] { window->close(); });
    openFile("log.adi", kHeader + QStringList{record("LU2BB", "1310")});
    QCOMPARE(dialogs->texts(), QStringList{"Cancela el proceso?"});
    QCOMPARE(stagedCount(), 0);
    QVERIFY(!state().ImportRunning);
    QTRY_VERIFY(window.isNull());
  }

  // A request left pending is asked at the parse's first record; Yes ends the parse
  // and hides the window, the file still counted as parsed.
  void parseCancelled() {
    state().ImportCancelRequested = true;
    dialogs->answers.enqueue(MsgAnswer::Yes);
    openFile("log.adi", kHeader + QStringList{record("LU2BB", "1310"), record("LU3CC", "1400")});
    QCOMPARE(dialogs->texts(), QStringList{"Cancela el proceso?"});
    QCOMPARE(stagedCount(), 0);
    QVERIFY(form12().isHidden());
    QCOMPARE(form12().List2->count(), 0);
    QVERIFY(form12().Command3->isEnabled());
    QVERIFY(!state().ImportRunning && !state().ImportCancelRequested);
  }

  // Esc during the load, answered No then Yes: the rows written so far stay.
  void loadCancelled_data() {
    QTest::addColumn<QList<MsgAnswer>>("answers");
    QTest::addColumn<int>("loaded");
    QTest::newRow("yes at once") << QList<MsgAnswer>{MsgAnswer::Yes} << 1;
    QTest::newRow("no, then nothing more asked") << QList<MsgAnswer>{MsgAnswer::No} << 3;
  }
  void loadCancelled() {
    QFETCH(QList<MsgAnswer>, answers);
    QFETCH(int, loaded);
    openFile("log.adi", kHeader + QStringList{record("LU2BB", "1310"), record("LU3CC", "1400"),
                                              record("LU4DD", "1500")});
    state().ImportCancelRequested = true;
    for (MsgAnswer a : answers) dialogs->answers.enqueue(a);
    clickCargar();
    QCOMPARE(dialogs->texts(), QStringList{"Cancela el proceso?"});
    QCOMPARE(logRows().size(), loaded);
    QCOMPARE(stagedCount(), 3);
    QVERIFY(form12().isHidden());
    QVERIFY(!state().ImportRunning && !state().ImportCancelRequested);
    QCOMPARE(form1().ListView2->topLevelItemCount(), loaded);
  }

  // Closing the window or pressing its buttons again while a long step runs: the
  // presses are refused, the window is hidden at once, the step stops at its next
  // look and the window is unloaded after it; what was written stays.
  void closedOrPressedAgainDuringALongStep_data() {
    QTest::addColumn<bool>("duringLoad");
    QTest::newRow("parse") << false;
    QTest::newRow("load") << true;
  }
  void closedOrPressedAgainDuringALongStep() {
    QFETCH(bool, duringLoad);
    QStringList lines = kHeader;
    for (int i = 0; i < 9000; ++i) lines << record(QStringLiteral("LU%1BB").arg(i % 10), "1310");
    QPointer<Form12> window(&form12());
    bool acted = false;
    bool hiddenAtOnce = false;
    QTimer poke;
    poke.setInterval(0);
    connect(&poke, &QTimer::timeout, [&] {
      if (acted || !window || window->Label8->isHidden()) return;
      if (window->Label8->text() != (duringLoad ? QString("Cargando ...") : QString("Procesando ..."))) return;
      acted = true;
      QTest::mouseClick(window->Command1, Qt::LeftButton);
      QTest::mouseClick(window->Command3, Qt::LeftButton);
      window->Command1_Click();
      window->Command3_Click();
      dialogs->answers.enqueue(MsgAnswer::Yes);
      window->close();
      hiddenAtOnce = window && window->isHidden();
    });
    if (duringLoad) {
      openFile("log.adi", lines);
      QCOMPARE(stagedCount(), 9000);
      poke.start();
      clickCargar();
    } else {
      poke.start();
      openFile("log.adi", lines);
    }
    QVERIFY(acted);
    QVERIFY(hiddenAtOnce);
    QCOMPARE(dialogs->texts(), QStringList{"Cancela el proceso?"});
    QVERIFY(!state().ImportRunning && !state().ImportCancelRequested);
    if (duringLoad) {
      QVERIFY(logRows().size() < 9000);
      QCOMPARE(stagedCount(), 9000);
    } else {
      QVERIFY(stagedCount() < 9000);
      QVERIFY(logRows().isEmpty());
    }
    QTRY_VERIFY(window.isNull());
  }

  // A record without MODE is malformed: counted under "ADIF." and not staged.
  void recordWithoutModeIsMalformed() {
    QString noMode = record("LU3CC", "1400");
    noMode.replace("<MODE:3>SSB", "");
    openFile("log.adi", kHeader + QStringList{record("LU2BB", "1310"), noMode});
    QCOMPARE(form12().Label6->text(), QString("2"));
    QCOMPARE(form12().Label9->text(), QString("1"));
    QCOMPARE(form12().List2->count(), 1);
    QCOMPARE(form12().List2->item(0)->text(), QString("> 1 error(es) ADIF."));
    QCOMPARE(stagedCount(), 1);
  }

  // A full disk part-way through the load: the database's reason, and the QSOs
  // really written.
  void loadOnAFullDisk() {
    QStringList lines = kHeader;
    for (int i = 0; i < 3000; ++i)
      lines << record(QStringLiteral("LU%1CC").arg(i % 10), QTime(0, 0).addSecs(i % 1440 * 60).toString("HHmm"),
                      field("COMMENT", QString(90, QChar(u'a' + i % 26))));
    openFile("log.adi", lines);
    QCOMPARE(stagedCount(), 3000);
    QSqlQuery pages(db::connection());
    QVERIFY(db::run(pages, "PRAGMA page_count"));
    QVERIFY(pages.next());
    const int used = pages.value(0).toInt();
    pages.finish();
    QVERIFY(db::exec(QStringLiteral("PRAGMA max_page_count=%1").arg(used + 40)));
    clickCargar();
    QCOMPARE(dialogs->messages.size(), 1);
    const QString text = dialogs->lastText();
    QVERIFY2(text.contains("full"), qPrintable(text));
    QVERIFY2(text.startsWith("La carga de los QSOs se detuvo"), qPrintable(text));
    QVERIFY2(text.contains(QString::fromUtf8("El disco está lleno.")), qPrintable(text));
    const int loaded = int(logRows().size());
    QVERIFY(loaded > 0 && loaded < 3000);
    QVERIFY2(text.endsWith(QStringLiteral("QSOs cargados: %1").arg(loaded)), qPrintable(text));
    QVERIFY(db::exec("PRAGMA max_page_count=1073741823"));
  }

  // A row the log refuses stops the load with its reason; the rows before it stay.
  void loadFailureKeepsEarlierRows() {
    openFile("log.adi", kHeader + QStringList{record("LU2BB", "1310"), record("LU3CC", "1400"),
                                              record("LU4DD", "1500")});
    QVERIFY(db::exec("CREATE TRIGGER rechazo BEFORE INSERT ON Tabla1 WHEN NEW.Estacion='LU3CC' "
                     "BEGIN SELECT RAISE(ABORT, 'rechazado'); END"));
    clickCargar();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->lastText().contains("LU3CC"));
    QVERIFY(dialogs->lastText().contains("rechazado"));
    QVERIFY(dialogs->lastText().endsWith("QSOs cargados: 1"));
    const QList<Row> rows = logRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].call, QString("LU2BB"));
    QVERIFY(form12().isHidden());
    QVERIFY(!state().ImportRunning);
  }
};

QTEST_MAIN(TstForm12)
#include "tst_form12.moc"
