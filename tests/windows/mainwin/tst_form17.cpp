#include <QListWidget>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "mainwin/form17.h"
#include "platform/database.h"
#include "store/programstate.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

void addQso(const QString& log, const QString& own, const QString& call, const QString& band,
            const QString& mode, const QString& date, const QString& time) {
  QVERIFY(db::exec("INSERT INTO Tabla1 ([Nombre Log], MyCall, Estacion, Banda, Modo, Fecha, Hora) "
                   "VALUES (?,?,?,?,?,?,?)",
                   {log, own, call, band, mode, date, time}));
}

QStringList listed() {
  QStringList lines;
  for (int i = 0; i < form17().List1->count(); ++i) lines << form17().List1->item(i)->text();
  return lines;
}

}  // namespace

class TstForm17 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state().CurrentLogName = "Mi Log";
  }
  void cleanup() {
    FormInstance<Form17>::unload();
    dialogs.reset();
    folder.reset();
  }

  void padRightAddsOneBlankMoreThanTheWidth_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("padded");
    QTest::newRow("short") << "abc" << 5 << "abc   ";
    QTest::newRow("exact") << "abcde" << 5 << "abcde ";
    QTest::newRow("longer, never cut") << "abcdef" << 5 << "abcdef";
    QTest::newRow("empty") << "" << 3 << "    ";
  }
  void padRightAddsOneBlankMoreThanTheWidth() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, padded);
    QCOMPARE(PadRight(text, width), padded);
  }

  void headerAndQsoLines() {
    QCOMPARE(WorkedBeforeHeader(), QString("MiCall           SuCall           Banda  Modo   Fecha    Hora   "));
    LogQso q;
    q.MyCall = "LU9ZZ";
    q.Estacion = "LU1ABC/P";
    q.Banda = "40m";
    q.Modo = "SSB";
    q.Fecha = "01-03-2024";
    q.Hora = "12:00:00";
    QCOMPARE(WorkedBeforeLine(q), QString("LU9ZZ           |LU1ABC/P        |40m   |SSB   |01/03/2024|12:00:00"));

    q.MyCall = "ABCDEFGHIJKLMNO";  // 15: one blank before the bar
    q.Banda.clear();
    q.Modo.clear();
    QVERIFY(WorkedBeforeLine(q).startsWith("ABCDEFGHIJKLMNO |LU1ABC/P        |      |      |"));
    q.MyCall = "ABCDEFGHIJKLMNOP";  // 16: none
    QVERIFY(WorkedBeforeLine(q).startsWith("ABCDEFGHIJKLMNOP|"));
  }

  void noEarlierQsoShowsAMessageOnly() {
    addQso("Otro", "LU9ZZ", "LU1AA", "40m", "SSB", "01/03/2024", "12:00:00");
    bool shown = false;
    QTimer::singleShot(0, [&] {
      shown = form17().isVisible();
      form17().hide();
    });
    ShowWorkedBefore("LU1AA");
    QCOMPARE(dialogs->texts(), QStringList{"Sin QSOs con LU1AA"});
    QCOMPARE(dialogs->messages.first().icon, MsgIcon::Exclamation);
    QVERIFY(!form17().isVisible());
    QCoreApplication::processEvents();
    QVERIFY(!shown);
  }

  void listsTheLogsQsosByDateAndEscHides() {
    addQso("Mi Log", "LU9ZZ", "LU1AAA", "20m", "CW", "10/01/2024", "23:00:00");
    addQso("Mi Log", "LU9ZZ", "LU1AA", "40m", "SSB", "10/01/2024", "01:00");
    addQso("Mi Log", "LU9ZZ", "LU1AA/P", "", "", "31/12/2023", "12:00:00");
    addQso("Mi Log", "LU9ZZ", "LU2AA", "40m", "SSB", "01/01/2020", "12:00:00");
    addQso("Otro", "LU9ZZ", "LU1AA", "40m", "SSB", "01/01/2020", "12:00:00");

    QStringList seen;
    QString caption;
    QTimer::singleShot(0, [&] {
      seen = listed();
      caption = form17().windowTitle();
      QTest::keyClick(form17().List1, Qt::Key_Escape);
    });
    ShowWorkedBefore("LU?AA");
    QCOMPARE(caption, QString("LU?AA"));
    QCOMPARE(seen, (QStringList{WorkedBeforeHeader(),
                                "LU9ZZ           |LU2AA           |40m   |SSB   |01/01/2020|12:00:00",
                                "LU9ZZ           |LU1AA/P         |      |      |31/12/2023|12:00:00",
                                "LU9ZZ           |LU1AAA          |20m   |CW    |10/01/2024|23:00:00",
                                "LU9ZZ           |LU1AA           |40m   |SSB   |10/01/2024|01:00"}));
    QVERIFY(dialogs->messages.isEmpty());
    // Esc hides it and keeps it loaded with its lines.
    QVERIFY(FormInstance<Form17>::loaded());
    QVERIFY(!form17().isVisible());
    QCOMPARE(form17().List1->count(), 5);

    // The next look-up starts from an empty list.
    QTimer::singleShot(0, [&] {
      seen = listed();
      form17().hide();
    });
    ShowWorkedBefore("LU2");
    QCOMPARE(seen.size(), 2);
  }

  void closingFromTheTitleBarUnloads() {
    addQso("Mi Log", "LU9ZZ", "LU1AA", "40m", "SSB", "01/03/2024", "12:00:00");
    QTimer::singleShot(0, [] { form17().close(); });
    ShowWorkedBefore("LU1AA");
    QVERIFY(!FormInstance<Form17>::loaded());
  }
};

QTEST_MAIN(TstForm17)
#include "tst_form17.moc"
