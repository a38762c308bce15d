// What the operator is told as the program starts, and that what it then shows is
// the log it uses: a config.ini that cannot be read at all, a database locked by
// another program, a log name too long for the summary, a base0.mdb made anew. And
// behind every window, no QSO is stored without a log or an own call.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "app/databasewait.h"
#include "entrystripfixture.h"
#include "mainwin/form1.h"
#include "mainwin/form3.h"
#include "platform/database.h"
#include "platform/textfile.h"
#include "setup/form2.h"
#include "store/logcommands.h"
#include "store/logpage.h"
#include "store/programstate.h"
#include "support/logfixture.h"
#include "support/otherprogram.h"
#include "support/settingsenv.h"

using namespace vz;
using vz::test::OtherProgram;

namespace {

// How config.ini is made unreadable.
enum class Unreadable { Folder, TooLarge, NoPermission };


QMessageBox* visibleWaitBox() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "databaseWait" && w->isVisible()) return qobject_cast<QMessageBox*>(w);
  return nullptr;
}

QStringList pickerEntries() {
  Form3& picker = form3();
  if (!picker.fillWithLogs()) return {"(no se pudo listar)"};
  QStringList entries;
  for (int i = 0; i < picker.List1->count(); ++i) entries << picker.List1->item(i)->text();
  FormInstance<Form3>::unload();
  return entries;
}

}  // namespace

class TstStartupNotices : public QObject {
  Q_OBJECT

 private slots:
  // A config.ini that cannot be read takes the road of a damaged one: the reason
  // once, in one box, then the settings; the log in use is one the database has,
  // never a nameless one. A file that cannot be written either keeps the dialog
  // open until it can.
  void anUnreadableConfigAsksForTheSettings_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder in its place") << int(Unreadable::Folder)
                                           << "Hay una carpeta donde debería estar el archivo.";
    QTest::newRow("over 1 MB") << int(Unreadable::TooLarge) << "El archivo es demasiado grande";
    QTest::newRow("no permission") << int(Unreadable::NoPermission) << "No hay permiso para usar el archivo.";
  }
  void anUnreadableConfigAsksForTheSettings() {
    QFETCH(int, how);
    QFETCH(QString, reason);
    test::SettingsTestEnv env;
    test::addQso("Diario", "LW3DEF", "01/02/2024", "10:00:00");
    const QString path = env.folder.file("config.ini");
    switch (Unreadable(how)) {
      case Unreadable::Folder:
        QVERIFY(QDir().mkpath(path));
        break;
      case Unreadable::TooLarge: {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write("Estacion=LU1ABC\r\nLogenUso=Diario\r\n") > 0);
        QVERIFY(f.resize(1024 * 1024 + 1));
        break;
      }
      case Unreadable::NoPermission: {
        env.folder.writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly)) QSKIP("this user reads every file (root)");
        break;
      }
    }
    Form1& f = form1();
    bool asked = false;
    int savesRefused = 0;
    QTimer watch;  // ends with the test
    watch.setSingleShot(true);
    connect(&watch, &QTimer::timeout, this, [&] {
      asked = QApplication::activeModalWidget() == &form2();
      form2().Text1->setText("LU1ABC");
      const int before = env.dialogs.messages.size();
      QTest::mouseClick(form2().Command1, Qt::LeftButton);  // "Guardar"
      if (!form2().isVisible()) return;
      // A file that cannot be read cannot be replaced either: said, and the dialog
      // stays until the operator clears the way.
      savesRefused = env.dialogs.messages.size() - before;
      if (Unreadable(how) == Unreadable::Folder) QDir(path).removeRecursively();
      QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      QTest::mouseClick(form2().Command1, Qt::LeftButton);
      form1().Timer7->stop();
    });
    watch.start(0);
    f.Timer2_Timer();  // the start-up step

    QVERIFY(asked);
    QVERIFY(!env.dialogs.messages.isEmpty());
    const QString said = env.dialogs.messages.first().text;
    QVERIFY2(said.startsWith("No se pudo leer la configuración (" + path + ")."), qPrintable(said));
    QCOMPARE(said.count(reason), 1);
    QVERIFY2(said.contains("Se abrirá el log \"Diario\""), qPrintable(said));
    if (Unreadable(how) != Unreadable::TooLarge) {
      QCOMPARE(savesRefused, 1);
      QVERIFY(env.dialogs.messages[1].text.startsWith("No se pudo guardar la configuración"));
    }
    QVERIFY(!form2().isVisible());
    QCOMPARE(env.endRequests, 0);
    QCOMPARE(state().CurrentLogName, QString("Diario"));
    QCOMPARE(f.Frame1->title(), QString("Diario"));
    QCOMPARE(f.Label6->text(), QString("Log: Diario, con 1 QSOs"));
    QCOMPARE(f.ListView2->topLevelItemCount(), 1);
    QStringList lines;
    QVERIFY(readTextLines(path, &lines));
    QVERIFY(lines.contains("LogenUso=Diario"));
    QVERIFY(lines.contains("Estacion=LU1ABC"));
    QCOMPARE(pickerEntries(), QStringList{"Diario (1 QSOs)"});
  }

  // Nothing to read the log from and no log in the database: the first save makes
  // "Log inicial", which the summary and the picker then both name.
  void anUnreadableConfigWithAnEmptyDatabaseStartsTheFirstLog() {
    test::SettingsTestEnv env;
    QVERIFY(QDir().mkpath(env.folder.file("config.ini")));
    QTimer watch;
    watch.setSingleShot(true);
    connect(&watch, &QTimer::timeout, this, [&] {
      QDir(env.folder.file("config.ini")).removeRecursively();
      form2().Text1->setText("LU1ABC");
      QTest::mouseClick(form2().Command1, Qt::LeftButton);
      form1().Timer7->stop();
    });
    watch.start(0);
    form1().Timer2_Timer();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(!env.dialogs.lastText().contains("Se abrirá el log"));
    QCOMPARE(state().CurrentLogName, QString("Log inicial"));
    QCOMPARE(form1().Label6->text(), QString("Log: Log inicial, con 0 QSOs"));
    QCOMPARE(pickerEntries(), QStringList{"Log inicial (0 QSOs)"});
  }

  // base0.mdb made anew while config.ini names a log: the summary names that log and
  // the picker offers it, and a QSO saved goes into it.
  void aNewDatabaseListsTheLogInUse() {
    test::SettingsTestEnv env;
    env.folder.writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    Form1& f = form1();
    f.Timer2_Timer();
    QVERIFY2(env.dialogs.messages.isEmpty(), qPrintable(env.dialogs.lastText()));
    QCOMPARE(state().CurrentLogName, QString("Diario"));
    QCOMPARE(f.Label6->text(), QString("Log: Diario, con 0 QSOs"));
    QCOMPARE(pickerEntries(), QStringList{"Diario (0 QSOs)"});
    // A second start finds the log and adds no second row for it.
    f.Timer2_Timer();
    QCOMPARE(test::rowCount("Tabla1"), 1);
  }

  // The entry strip with no log in use (as an unreadable config.ini once left it):
  // the save is refused with the reason, nothing is stored, the typing stays.
  void aQsoWithoutLogOrOwnCallIsRefused_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("said");
    QTest::newRow("no log") << "" << test::kStation << "no hay un log en uso";
    QTest::newRow("no own call") << test::kTestLog << "" << "falta la señal distintiva propia";
  }
  void aQsoWithoutLogOrOwnCallIsRefused() {
    QFETCH(QString, log);
    QFETCH(QString, station);
    QFETCH(QString, said);
    test::EntryStripFixture env;
    state().CurrentLogName = log;
    form1().Label2->setText(station);
    test::typeInto(form1().Corresponsal, "lu1aab");
    for (int i = 0; i < 6 && env.dialogs.messages.isEmpty(); ++i) test::pressEnter();
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY2(env.dialogs.lastText().contains(said), qPrintable(env.dialogs.lastText()));
    QCOMPARE(form1().Corresponsal->text(), QString("LU1AAB"));
    QCOMPARE(test::rowCount("Tabla1"), 0);
  }

  // A lock at start-up: the notice comes up over the main window once that is up,
  // belongs to it and is the active window, so it is not hidden behind it.
  void theLockNoticeStandsOverTheMainWindow() {
    test::SettingsTestEnv env;
    test::addQso("Diario", "LW3DEF", "01/02/2024", "10:00:00");
    db::close();
    OtherProgram other(env.folder.file("base0.mdb"));
    QObject owner;
    DatabaseWait* wait = openDatabaseAtStart(env.folder.path(), &owner);
    QVERIFY(wait);
    QVERIFY(!form1().isVisible());
    QVERIFY(!visibleWaitBox());  // not before the window it stands on
    form1().show();
    QTRY_VERIFY(visibleWaitBox());
    QMessageBox* box = visibleWaitBox();
    QCOMPARE(box->parentWidget(), static_cast<QWidget*>(&form1()));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(box));
    QVERIFY(box->text().contains(QDir::toNativeSeparators(env.folder.file("base0.mdb"))));
    QVERIFY(!box->isModal());
  }

  // The summary always fits its place: a long log name is cut with "…" so the count
  // stays in sight and the text ends before the F5 hint; its whole text is kept and
  // shown as the tool tip.
  void theSummaryFitsBesideTheHint_data() {
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("cut");
    QTest::newRow("short") << "Diario" << false;
    QTest::newRow("100 characters") << QString(100, 'W') << true;
    QTest::newRow("100 with blanks") << QString("Concurso de verano ").repeated(6).left(100) << true;
  }
  void theSummaryFitsBesideTheHint() {
    QFETCH(QString, log);
    QFETCH(bool, cut);
    test::SettingsTestEnv env;
    test::addQso(log, "LW3DEF", "01/02/2024", "10:00:00");
    Form1& f = form1();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    state().CurrentLogName = log;
    f.ListView2->clear();
    LoadLogPage(log, 1);
    const QString whole = "Log: " + log + ", con 1 QSOs";
    QCOMPARE(f.Label6->text(), whole);
    const QString shown = f.Label6->shownText();
    QVERIFY2(f.Label6->fontMetrics().horizontalAdvance(shown) <= f.Label6->contentsRect().width(), qPrintable(shown));
    QVERIFY(f.Label6->geometry().right() < f.Label5->geometry().left());
    QVERIFY(shown.startsWith("Log: "));
    QVERIFY(shown.endsWith(", con 1 QSOs"));
    QCOMPARE(shown != whole, cut);
    QCOMPARE(shown.contains(QString::fromUtf8("…")), cut);
    QCOMPARE(f.Label6->toolTip(), cut ? whole : QString());
    // Drawn as shown: the picture of the label is that of a label holding the cut text.
    QLabel same(shown, f.Label6->parentWidget());
    same.setGeometry(f.Label6->geometry());
    same.setFont(f.Label6->font());
    same.setPalette(f.Label6->palette());
    same.setAlignment(f.Label6->alignment());
    same.setAutoFillBackground(f.Label6->autoFillBackground());
    same.setForegroundRole(f.Label6->foregroundRole());
    same.setStyleSheet(f.Label6->styleSheet());
    QCOMPARE(same.grab().toImage(), f.Label6->grab().toImage());
  }
};

QTEST_MAIN(TstStartupNotices)
#include "tst_startupnotices.moc"
