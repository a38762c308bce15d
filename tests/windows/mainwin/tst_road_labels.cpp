// Pictures and labels that the windows give a click or double-click: they have no
// signal of their own, so each is clicked here as the operator clicks it and the
// handler's effect is looked for.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "contest/form4.h"
#include "contest/form8.h"
#include "mainwin/form1.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/recordinglauncher.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstRoadLabels : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;
  std::unique_ptr<test::FakeSerialSystem> serial;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    serial = std::make_unique<test::FakeSerialSystem>();
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    folder->writeLines("master.txt", {"QQ1AA", "QQ1AB", "QZ9ZZ"});
    QVERIFY(test::startMainWindow());
    QVERIFY(QTest::qWaitForWindowActive(&form1()));
  }
  void cleanup() {
    if (FormInstance<Form4>::loaded()) form4().Corresponsal->clear();
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    serial.reset();
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  // The local/UTC label switches the clock; the logo opens the program's page.
  void mainWindow() {
    Form1& f = form1();
    const QString before = f.Label11->text();
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    QVERIFY(f.Label11->text() != before);
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    QCOMPARE(f.Label11->text(), before);

    QTest::mouseDClick(f.Image1, Qt::LeftButton);
    QCOMPARE(launcher->calls.size(), 1);
    QCOMPARE(launcher->calls[0].kind, test::RecordingLauncher::Kind::Url);
  }

  // The eye beside a password shows it while the button is held down.
  void configurationPasswordEyes() {
    QVERIFY(test::whileModal([] { form1().conf->trigger(); },
                             [](QWidget*) {
                               Form2& f = form2();
                               for (auto [eye, box] : {std::pair{f.Image1, f.Text6}, {f.Image2, f.Text7},
                                                       {f.Image3, f.Text10}}) {
                                 QCOMPARE(box->echoMode(), QLineEdit::Password);
                                 QTest::mousePress(eye, Qt::LeftButton);
                                 QCOMPARE(box->echoMode(), QLineEdit::Normal);
                                 QTest::mouseRelease(eye, Qt::LeftButton);
                                 QCOMPARE(box->echoMode(), QLineEdit::Password);
                               }
                               QVERIFY(test::click(f.Command2));  // "Cancelar"
                             }));
  }

  // A double-click on a call of the master-call check takes it into the call box.
  void contestMasterCheck() {
    form1().cabro->trigger();
    Form8& chooser = form8();
    QVERIFY(QTest::qWaitForWindowActive(&chooser));
    QTest::mouseClick(chooser.Text1, Qt::LeftButton);
    test::typeIntoFocus("copa");
    QVERIFY(test::click(chooser.Command1));
    Form4& f = form4();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("qq1");
    QVERIFY(f.MCheck->toPlainText().contains("QQ1AB"));
    QTextCursor second(f.MCheck->document()->findBlockByNumber(1));
    QCOMPARE(second.block().text().trimmed(), QString("QQ1AB"));
    const QPoint at = f.MCheck->cursorRect(second).center();
    QTest::mouseDClick(f.MCheck->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(f.Corresponsal->text(), QString("QQ1AB"));
    QCOMPARE(QApplication::focusWidget(), f.RSR);
  }

  // In CW a click on a macro label sends its text, a click on the keyer picture
  // gives the focus back to the call box.
  void contestMacroLabels() {
    form1().cabro->trigger();
    Form8& chooser = form8();
    QVERIFY(QTest::qWaitForWindowActive(&chooser));
    QTest::mouseClick(chooser.Text1, Qt::LeftButton);
    test::typeIntoFocus("copa");
    QVERIFY(test::click(chooser.Command1));
    Form4& f = form4();
    QVERIFY(QTest::qWaitForWindowActive(&f));

    f.Combo3->setCurrentIndex(f.Combo3->findText("COM2 (ttyUSB0)"));  // a keyer port the fake system has
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    for (int i = 0; i < 3; ++i) test::keyToFocus(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Combo1));
    test::keyToFocus(Qt::Key_End);  // the last mode, "CW"
    QCOMPARE(f.Combo1->currentText(), QString("CW"));
    QVERIFY(f.Frame1->isVisible());
    for (int i = 0; i < 20; ++i) test::keyToFocus(Qt::Key_Right);  // the fastest speed: a short send
    QCOMPARE(f.LabelVel->text(), QString("Vel 40 ppm"));
    QTest::mouseClick(f.macros[2], Qt::LeftButton);  // "F3-TU"
    // The keyer sends on its own; the window shows what it took once it is done.
    QTRY_VERIFY(!f.keyer().sending());
    QCOMPARE(f.Label10->text(), QString("TU "));
    QVERIFY(serial->lineLog().count("ttyUSB0 DTR 1") > 0);

    QTest::mouseClick(f.RSE, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), f.RSE);
    QTest::mouseClick(f.Picture1, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), f.Corresponsal);
  }
};

QTEST_MAIN(TstRoadLabels)
#include "tst_road_labels.moc"
