// What the operator sees when something fails, taken through the windows: a log
// locked by another program while saving and at start-up, a missing base0.mdb,
// settings that cannot be written, a dated copy that cannot be put in place, a
// password config.ini cannot hold, a desktop opener that opens nothing. After each,
// a restart finds everything stored before.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTreeWidget>

#include "app/databasewait.h"
#include "exchange/databasecopy.h"
#include "entrystripfixture.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/database.h"
#include "platform/launcher.h"
#include "platform/programfolder.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/logpage.h"
#include "support/otherprogram.h"

using namespace vz;
using vz::test::OtherProgram;
using vz::test::pressEnter;
using vz::test::typeInto;

namespace {

QStringList storedCalls() {
  QStringList calls;
  for (const QSqlRecord& r : test::storedQsos()) calls << r.value("Estacion").toString();
  return calls;
}

void restart(const QString& folder) {
  db::close();
  QVERIFY(db::open(folder));
}

}  // namespace

class TstFailurePaths : public QObject {
  Q_OBJECT

  test::EntryStripFixture* env_ = nullptr;
  test::ScriptedDialogs& dialogs() { return env_->dialogs; }

 private slots:
  void init() { env_ = new test::EntryStripFixture; }
  void cleanup() {
    FormInstance<Form2>::unload();
    delete env_;
    env_ = nullptr;
  }

  // Enter in the call box under a lock: no box about a grid look-up stops the walk;
  // the save says it stored nothing and keeps what was typed; once the lock is
  // gone the same Enter saves, and a restart finds both QSOs.
  void savingUnderALockSaysNothingWasStored() {
    Form1& f = form1();
    test::addEarlierQso("EA8AAA", "IL18");
    OtherProgram other(env_->folder.file("base0.mdb"));
    typeInto(f.Corresponsal, "lu1aab");
    for (int i = 0; i < 6 && dialogs().messages.isEmpty(); ++i) pressEnter();
    QCOMPARE(dialogs().messages.size(), 1);
    const QString said = dialogs().lastText();
    QVERIFY2(said.startsWith("No se pudo guardar el QSO con LU1AAB! No se guardó nada."), qPrintable(said));
    QVERIFY2(said.contains("en uso por otro programa"), qPrintable(said));
    QVERIFY2(said.contains(env_->folder.file("base0.mdb")), qPrintable(said));
    QVERIFY2(!said.contains("No es posible"), qPrintable(said));
    QCOMPARE(f.Corresponsal->text(), QString("LU1AAB"));

    other.release();
    dialogs().clear();
    f.Corresponsal->setFocus();
    for (int i = 0; i < 6 && f.Corresponsal->text() == "LU1AAB"; ++i) pressEnter();
    QVERIFY2(dialogs().messages.isEmpty(), qPrintable(dialogs().texts().join(" | ")));
    QCOMPARE(storedCalls(), (QStringList{"EA8AAA", "LU1AAB"}));
    restart(env_->folder.path());
    QCOMPARE(storedCalls(), (QStringList{"EA8AAA", "LU1AAB"}));
  }

  // Start-up with the file locked: a box that does not stop the window says so;
  // once the lock goes the box goes, the file is open and the log is listed.
  void aLockAtStartIsWaitedOut() {
    Form1& f = form1();
    test::addEarlierQso("EA8AAA", "IL18");
    db::close();
    OtherProgram other(env_->folder.file("base0.mdb"));
    QObject owner;
    DatabaseWait* wait = openDatabaseAtStart(env_->folder.path(), &owner);
    QVERIFY(wait);
    QVERIFY(dialogs().messages.isEmpty());  // nothing modal
    QPointer<QMessageBox> box;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "databaseWait" && w->isVisible()) box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box);
    QVERIFY(box->text().startsWith(QString::fromUtf8("La base de datos está en uso por otro programa…")));
    QVERIFY(!box->isModal());
    QTest::qWait(1200);
    QVERIFY(wait->waiting());
    other.release();
    QTRY_VERIFY_WITH_TIMEOUT(!wait->waiting(), 3000);
    QVERIFY(db::isOpen());
    QTRY_VERIFY(!box || !box->isVisible());
    QCOMPARE(f.ListView2->topLevelItem(0)->text(kQsoListEstacion), QString("EA8AAA"));
    restart(env_->folder.path());
    QCOMPARE(storedCalls(), QStringList{"EA8AAA"});
  }

  // A grid back-fill the last run left unfinished (the process was killed half-way)
  // and a lock at start: once the lock goes, the back-fill ends by itself, its row
  // goes, and the list on show has the grid.
  void aBackFillLeftUnfinishedEndsAfterTheStart() {
    Form1& f = form1();
    for (int i = 0; i < 3; ++i) test::addEarlierQso("EA8AAA", "");
    test::addEarlierQso("EA8AAA", "IL18");
    QVERIFY(db::exec(QStringLiteral("INSERT INTO [%1] ([Nombre Log], [Estacion], [SuGrid]) VALUES (?, ?, ?)")
                         .arg(QLatin1String(db::kGridBackFillTable)),
                     {test::kTestLog, QStringLiteral("EA8AAA"), QStringLiteral("IL18")}));
    db::close();
    OtherProgram other(env_->folder.file("base0.mdb"));
    QObject owner;
    DatabaseWait* wait = openDatabaseAtStart(env_->folder.path(), &owner);
    QVERIFY(wait);
    other.release();
    QTRY_VERIFY_WITH_TIMEOUT(!wait->waiting(), 3000);
    const auto lacking = [] {
      int n = 0;
      for (const QSqlRecord& r : test::storedQsos()) n += r.value("SuGrid").toString().isEmpty();
      return n;
    };
    QTRY_COMPARE(lacking(), 0);
    QSqlQuery rows(db::connection());
    QVERIFY(db::run(rows, QStringLiteral("SELECT count(*) FROM [%1]").arg(QLatin1String(db::kGridBackFillTable))));
    QVERIFY(rows.next());
    QCOMPARE(rows.value(0).toInt(), 0);
    const int workedGridColumn = 14;  // the list's SuGrid
    QTRY_VERIFY(f.ListView2->topLevelItemCount() == 4);
    for (int i = 0; i < 4; ++i) QTRY_COMPARE(f.ListView2->topLevelItem(i)->text(workedGridColumn), QString("IL18"));
    QVERIFY(dialogs().messages.isEmpty());
  }

  // Settings exist but base0.mdb does not: said, naming the folder, before the
  // new file is made; a first run says nothing.
  void aMissingDatabaseIsSaid() {
    db::close();
    QFile::remove(env_->folder.file("base0.mdb"));
    QObject owner;
    QVERIFY(!openDatabaseAtStart(env_->folder.path(), &owner));
    QVERIFY(dialogs().messages.isEmpty());  // no config.ini: a first run
    db::close();
    QFile::remove(env_->folder.file("base0.mdb"));
    env_->folder.writeLines("config.ini", {"Estacion=LU9STA"});
    QVERIFY(!openDatabaseAtStart(env_->folder.path(), &owner));
    QCOMPARE(dialogs().messages.size(), 1);
    QVERIFY(dialogs().lastText().contains("No se encuentra la base de datos base0.mdb"));
    QVERIFY(dialogs().lastText().contains(QDir::toNativeSeparators(env_->folder.path())));
    QVERIFY(db::isOpen());
  }

  // Ctrl+D with the day's copy impossible to put in place (a folder has its name):
  // one box names the step and the copy, then the system's words; no box with a bare
  // number follows. Once the way is clear the same keys make the copy.
  void aFailedDatedCopyIsOneBoxNamingTheCopy() {
    const QString copy = DatedDatabaseCopyPath(vz::clock().now().date());
    QVERIFY(QDir().mkpath(copy + "/fotos"));
    SetFileMenuEnabled("1");  // as the start-up step leaves it
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    QTest::keyClick(focused, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(dialogs().messages.size(), 1);
    QCOMPARE(dialogs().messages[0].icon, MsgIcon::Critical);
    const QStringList lines = dialogs().messages[0].text.split("\r\n");
    QCOMPARE(lines.first(), "No se pudo crear la copia de la base de datos (" + copy + ").");
    QCOMPARE(lines.value(1), QString("Hay una carpeta donde debería estar el archivo."));
    QCOMPARE(lines.size(), 3);
    QVERIFY(QFileInfo(copy).isDir());
    QCOMPARE(QDir(env_->folder.path()).entryList(QDir::Files).filter(".vz-tmp-"), QStringList());

    QVERIFY(QDir(copy).removeRecursively());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(dialogs().messages.size(), 2);
    QCOMPARE(dialogs().lastText(), copy + " creada!");
  }

  // "Guardar" with config.ini impossible to write (a folder in its place): the
  // main window keeps showing what the file holds and the dialog stays; once the
  // file can be written the new values show, and a restart reads them back.
  void settingsShowOnlyOnceWritten() {
    Form1& f = form1();
    Form2& s = form2();
    s.Text1->setText("LU9STA");
    QVERIFY(SaveConfig());
    QCOMPARE(f.Label2->text(), QString("LU9STA"));
    QFile::remove(env_->folder.file("config.ini"));
    QVERIFY(QDir().mkpath(env_->folder.file("config.ini")));
    s.show();
    s.Text1->setText("LU1NEW");
    dialogs().clear();
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    QCOMPARE(dialogs().messages.size(), 1);
    QVERIFY2(dialogs().lastText().contains("No se pudo guardar la configuración"), qPrintable(dialogs().lastText()));
    QVERIFY(dialogs().lastText().contains(env_->folder.file("config.ini")));
    QVERIFY(dialogs().lastText().contains("Hay una carpeta donde debería estar el archivo."));
    QCOMPARE(f.Label2->text(), QString("LU9STA"));
    QVERIFY(s.isVisible());

    QVERIFY(QDir().rmdir(env_->folder.file("config.ini")));
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    QVERIFY(!s.isVisible());
    QCOMPARE(f.Label2->text(), QString("LU1NEW"));
    s.Text1->setText("");
    QVERIFY(LoadConfig());
    QCOMPARE(s.Text1->text(), QString("LU1NEW"));
  }

  // A password whose scrambled form config.ini cannot hold is warned about once,
  // not at every later save; a new such password is warned about again.
  void passwordWarningOncePerChange() {
    Form2& s = form2();
    s.Text1->setText("LU9STA");
    s.Text10->setText(QString::fromUtf8("»"));  // scrambles to a line end
    dialogs().clear();
    QVERIFY(SaveConfig());
    QVERIFY(SaveConfig());
    QVERIFY(SaveConfig());
    QCOMPARE(dialogs().messages.size(), 1);
    QVERIFY(dialogs().lastText().contains("eQSL"));
    s.Text10->setText(QString::fromUtf8("»b"));
    QVERIFY(SaveConfig());
    QCOMPARE(dialogs().messages.size(), 2);
    s.Text10->setText("buena");
    QVERIFY(SaveConfig());
    s.Text10->setText(QString::fromUtf8("»b"));
    QVERIFY(SaveConfig());
    QCOMPARE(dialogs().messages.size(), 3);
  }

  // "Ayuda" when the desktop's opener runs but can open nothing: said, naming the
  // file; an opener that succeeds says nothing.
  void anOpenerThatFailsIsReported_data() {
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("no program for it") << 3 << "No hay en el escritorio un programa que lo abra.";
    QTest::newRow("the program failed") << 4 << "El programa del escritorio que debía abrirlo falló.";
    QTest::newRow("opened") << 0 << QString();
  }
  void anOpenerThatFailsIsReported() {
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    setLauncher(nullptr);  // the desktop's own
    const QString bin = env_->folder.file("bin");
    QDir().mkpath(bin);
    {
      QFile opener(bin + "/xdg-open");
      QVERIFY(opener.open(QIODevice::WriteOnly));
      opener.write(QString("#!/bin/sh\necho \"$1\" > '%1/abierto'\nexit %2\n").arg(bin).arg(exitCode).toUtf8());
      opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ":" + path);
    env_->folder.writeLines("Vantorel Zezeror 2.pdf", {"%PDF"});
    dialogs().clear();
    form1().Ayuda->trigger();
    QTRY_VERIFY(QFile::exists(bin + "/abierto"));
    QTest::qWait(300);  // the opener's end is reported from the event loop
    qputenv("PATH", path);
    if (said.isEmpty()) {
      QVERIFY(dialogs().messages.isEmpty());
      return;
    }
    QTRY_COMPARE(dialogs().messages.size(), 1);
    QVERIFY(dialogs().lastText().contains(env_->folder.file("Vantorel Zezeror 2.pdf")));
    QVERIFY(dialogs().lastText().endsWith(said));
  }
};

QTEST_MAIN(TstFailurePaths)
#include "tst_failurepaths.moc"
