// The About box and the small launchers of the main window's menus.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "exchange/form12.h"
#include "mainwin/form1.h"
#include "mainwin/form10.h"
#include "platform/programfolder.h"
#include "setup/form16.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstLaunchers : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;

  Form1& mainWindow() {
    Form1& f = form1();
    for (QTimer* t : f.findChildren<QTimer*>()) t->stop();
    return f;
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    state() = ProgramState{};
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form16>::unload();
    FormInstance<Form12>::unload();
    FormInstance<Form10>::unload();
    FormInstance<Form1>::unload();
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void aboutBox() {
    Form1& f = mainWindow();
    QStringList seen;
    auto readAndClose = [&] {
      Form10& a = form10();
      seen << a.windowTitle() << a.Label1->text() << a.Label2->text() << QString::number(a.isModal());
      a.Label1->setText("cambiado");
      a.close();
    };
    QTimer::singleShot(0, this, readAndClose);
    f.acerca->trigger();
    QVERIFY(!FormInstance<Form10>::loaded());  // closed is unloaded
    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen[0], QString("Acerca de ..."));
    QCOMPARE(seen[1], QString("Versión 2.1.21"));
    QCOMPARE(seen[3], QString("1"));
    const QStringList lines = seen[2].split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QString("Versión altamente simplificada del Vantorel."));
    QVERIFY(lines[1].startsWith("Sin macros, sin puertos, sin CAT para hacerlo ágil"));
    QVERIFY(lines[1].contains("posteriormente desean  tener un libro de guardia simple"));
    QVERIFY(lines[1].endsWith("LoTW, Club Log o donde se desee."));
    QCOMPARE(lines[2], QString("También permite cargar logs de concursos y exportarlos en formato cabrillo para enviar "
                               "al organizador."));
    QCOMPARE(AboutDescription().count("\r\n"), 4);

    // Shown again: the same texts, filled afresh.
    QTimer::singleShot(0, this, readAndClose);
    f.acerca->trigger();
    QCOMPARE(seen[5], QString("Versión 2.1.21"));
  }

  void helpDocument() {
    Form1& f = mainWindow();
    f.Ayuda->trigger();
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].kind, test::RecordingLauncher::Kind::Document);
    QCOMPARE(launcher->calls[0].target, programFile("Vantorel Zezeror 2.pdf"));
    // A missing document or viewer shows nothing of ours.
    launcher->answer = false;
    f.Ayuda->trigger();
    QVERIFY(dialogs->messages.isEmpty());
  }

  void importWindowIsShownEmptied() {
    Form1& f = mainWindow();
    SetFileMenuEnabled("1");
    int shown = 0;
    auto look = [&] {
      Form12& w = form12();
      QVERIFY(w.isModal() && w.isVisible());
      QVERIFY(w.Command1->isEnabled());
      QVERIFY(!w.Command3->isEnabled());
      for (QLabel* l : {w.Label2, w.Label4, w.Label5, w.Label6, w.Label7, w.Label9, w.Label10})
        QVERIFY2(l->text().isEmpty(), qPrintable(l->objectName()));
      QCOMPARE(w.List2->count(), 0);
      ++shown;
      // What an import leaves behind.
      w.Command1->setEnabled(false);
      w.Command3->setEnabled(true);
      for (QLabel* l : {w.Label2, w.Label4, w.Label5, w.Label6, w.Label7, w.Label9, w.Label10}) l->setText("12");
      w.List2->addItem("QSO duplicado");
      w.hide();
    };
    QTimer::singleShot(0, this, look);
    f.iadif->trigger();
    QTimer::singleShot(0, this, look);
    f.iadif->trigger();
    QCOMPARE(shown, 2);
    QCOMPARE(form12().windowTitle(), QString("Importar ADIF ..."));
  }

  void profilesDialogIsShownModally() {
    Form1& f = mainWindow();
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
      modal = QApplication::activeModalWidget() == &form16();
      form16().hide();
    });
    f.ppeerr_Click();
    QVERIFY(modal);
  }
};

QTEST_MAIN(TstLaunchers)
#include "tst_launchers.moc"
