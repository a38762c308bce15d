#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QTreeWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QtTest>
#include <memory>

#include "mainwin/form1.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/configfile.h"
#include "store/programstate.h"
#include "support/settingsenv.h"

using namespace vz;

class TstConfigIo : public QObject {
  Q_OBJECT

  std::unique_ptr<test::SettingsTestEnv> env;

  QStringList writtenFile() { return env->folder.readLines("config.ini"); }

 private slots:
  void init() { env = std::make_unique<test::SettingsTestEnv>(); }
  void cleanup() { env.reset(); }

  void everySettingSurvivesARestart() {
    Form2& f = form2();
    env->folder.writeLines("config.ini", {});
    LoadConfig();  // fills the lists
    state().CurrentLogName = QString::fromUtf8("Concurso Ñandú");
    f.Text1->setText(QStringLiteral("LU1ABC"));
    f.Text2->setText(QStringLiteral("LU2XYZ"));
    f.Text3->setText(QStringLiteral("-4"));
    f.Text4->setText(QStringLiteral("GF05TJ"));
    f.user_ruk->setText(QString::fromUtf8("josé@example.org"));
    f.pass_ruk->setText(QString::fromUtf8("contraseña"));
    f.panta->setChecked(true);
    f.Text5->setText(QStringLiteral("qrz"));
    f.Text6->setText(QString::fromUtf8("ÿpass€"));
    f.Text8->setText(QStringLiteral("ruk"));
    f.Text7->setText(QString::fromUtf8("áé íó"));
    f.Text9->setText(QStringLiteral("eqsl"));
    f.Text10->setText(QStringLiteral("%!*"));
    f.Label6->setText(QString::fromUtf8("/home/op/Música/cq ñ.wav"));
    f.Puerto->setCurrentText(QStringLiteral("ttyUSB0"));
    f.RTS->setChecked(true);
    f.Combo1->setCurrentText(QStringLiteral("200"));
    f.Combo2->setCurrentText(QStringLiteral("500"));
    QVERIFY(SaveConfig().ok);
    QVERIFY(env->dialogs.messages.isEmpty());

    QFile raw(env->folder.file("config.ini"));
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().contains("LogenUso=Concurso \xd1" "and\xfa\r\n"));

    // A new run: fresh controls and state, then the start-up read.
    FormInstance<Form2>::unload();
    state() = ProgramState();
    Form2& g = form2();
    QVERIFY(LoadConfig().ok);
    QCOMPARE(state().CurrentLogName, QString::fromUtf8("Concurso Ñandú"));
    QCOMPARE(g.Text1->text(), QStringLiteral("LU1ABC"));
    QCOMPARE(g.Text2->text(), QStringLiteral("LU2XYZ"));
    QCOMPARE(g.Text3->text(), QStringLiteral("-4"));
    QCOMPARE(g.Text4->text(), QStringLiteral("GF05TJ"));
    QCOMPARE(g.user_ruk->text(), QString::fromUtf8("josé@example.org"));
    QCOMPARE(g.pass_ruk->text(), QString::fromUtf8("contraseña"));
    QVERIFY(g.panta->isChecked());
    QCOMPARE(g.Text5->text(), QStringLiteral("qrz"));
    QCOMPARE(g.Text6->text(), QString::fromUtf8("ÿpass€"));
    QCOMPARE(g.Text8->text(), QStringLiteral("ruk"));
    QCOMPARE(g.Text7->text(), QString::fromUtf8("áé íó"));
    QCOMPARE(g.Text9->text(), QStringLiteral("eqsl"));
    QCOMPARE(g.Text10->text(), QStringLiteral("%!*"));
    QCOMPARE(g.Label6->text(), QString::fromUtf8("/home/op/Música/cq ñ.wav"));
    QCOMPARE(g.Puerto->currentText(), QStringLiteral("ttyUSB0"));
    QVERIFY(g.RTS->isChecked());
    QVERIFY(!g.DTR->isChecked());
    QCOMPARE(g.Combo1->currentText(), QStringLiteral("200"));
    QCOMPARE(g.Combo2->currentText(), QStringLiteral("500"));
    QVERIFY(g.MSComm1->isOpen());
    QCOMPARE(g.MSComm1->portName(), QStringLiteral("ttyUSB0"));
  }

  void readingFillsTheListsAndLeavesMissingKeysAlone() {
    Form2& f = form2();
    f.Text1->setText(QStringLiteral("LU1ABC"));
    f.Text6->setText(QStringLiteral("secreto"));
    f.Text4->setText(QStringLiteral("GF05TJ"));
    f.RTS->setChecked(true);

    // An empty file refills the lists (no selection) and empties the grid only.
    env->folder.writeLines("config.ini", {});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(f.Puerto->count(), 1 + env->serial.ports.size());
    QCOMPARE(f.Puerto->itemText(0), QStringLiteral("NINGUNO"));
    QCOMPARE(f.Puerto->currentIndex(), -1);
    QCOMPARE(f.Combo1->count(), 6);
    QCOMPARE(f.Combo2->itemText(5), QStringLiteral("500"));
    QCOMPARE(f.Combo1->currentIndex(), -1);
    QCOMPARE(f.Text4->text(), QString());
    QCOMPARE(f.Text1->text(), QStringLiteral("LU1ABC"));
    QCOMPARE(f.Text6->text(), QStringLiteral("secreto"));
    QVERIFY(f.RTS->isChecked());

    // One line of any kind empties the passwords whose lines are missing.
    env->folder.writeLines("config.ini", {"Operador=LU2XYZ"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(f.Text2->text(), QStringLiteral("LU2XYZ"));
    QCOMPARE(f.Text1->text(), QStringLiteral("LU1ABC"));
    QCOMPARE(f.Text6->text(), QString());
    QVERIFY(f.RTS->isChecked());

    // Another PinPTT value than "1" means DTR.
    env->folder.writeLines("config.ini", {"PinPTT  =2"});
    QVERIFY(LoadConfig().ok);
    QVERIFY(f.DTR->isChecked());
    QVERIFY(!f.RTS->isChecked());
  }

  void readingAnUnreadableFileChangesNothing() {
    Form2& f = form2();
    f.Text4->setText(QStringLiteral("GF05TJ"));
    QVERIFY(!LoadConfig().ok);  // no config.ini
    QCOMPARE(env->dialogs.messages.size(), 1);
    QCOMPARE(f.Text4->text(), QStringLiteral("GF05TJ"));
  }

  void theSavedPortOpensAtEveryRead() {
    env->folder.writeLines("config.ini", {"Puerto  =ttyUSB0"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(env->serial.openPorts(), QStringList{"ttyUSB0"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(env->serial.openLog(), QStringList({"open ttyUSB0", "close ttyUSB0", "open ttyUSB0"}));
    // Both lines start dropped.
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Rts));
    QCOMPARE(env->serial.lineLog().mid(env->serial.lineLog().size() - 2),
             QStringList({"ttyUSB0 RTS 0", "ttyUSB0 DTR 0"}));
  }

  void aPortThatWillNotOpenFallsBackToNone() {
    env->serial.refuse["ttyUSB1"] = QStringLiteral("Permission denied");
    env->folder.writeLines("config.ini", {"Puerto  =ttyUSB1"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(env->dialogs.texts(), QStringList{QStringLiteral("ttyUSB1\r\nPermission denied")});
    QCOMPARE(env->dialogs.messages[0].icon, MsgIcon::Exclamation);
    QCOMPARE(form2().Puerto->currentText(), QStringLiteral("NINGUNO"));
    QVERIFY(env->serial.openPorts().isEmpty());
  }

  void aPortThatIsGoneStaysInTheFile() {
    env->folder.writeLines("config.ini", {"Puerto  =ttyACM7"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(form2().Puerto->currentIndex(), -1);
    QVERIFY(env->dialogs.messages.isEmpty());
    QVERIFY(SaveConfig().ok);
    QCOMPARE(writtenFile()[16], QStringLiteral("Puerto  =ttyACM7"));
    // Choosing an entry replaces it.
    form2().Puerto->setCurrentText(QStringLiteral("NINGUNO"));
    QVERIFY(SaveConfig().ok);
    QCOMPARE(writtenFile()[16], QStringLiteral("Puerto  =NINGUNO"));
  }

  void theStoredPortIsNotOpenedWhileTheMainWindowLoads() {
    state().StartupInProgress = true;
    env->folder.writeLines("config.ini", {"Puerto  =ttyUSB0"});
    QVERIFY(LoadConfig().ok);
    QVERIFY(env->serial.events.isEmpty());
  }

  void theGridIsReadLastAndFiltered() {
    env->folder.writeLines("config.ini", {"GridLoca=GF05T9", "Estacion=LU1ABC"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(form2().Text4->text(), QStringLiteral("GF05T"));
  }

  void anEmptyLogNameMakesTheNextSaveCreateTheFirstLogAgain() {
    state().CurrentLogName = QStringLiteral("Mi log");
    env->folder.writeLines("config.ini", {"LogenUso="});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(state().CurrentLogName, QString());
    QVERIFY(SaveConfig().ok);
    QCOMPARE(state().CurrentLogName, QStringLiteral("Log inicial"));
    QCOMPARE(writtenFile()[3], QStringLiteral("LogenUso=Log inicial"));
  }

  void theMainWindowShowsTheStationData() {
    Form1& m = form1();
    env->folder.writeLines("config.ini", {"Estacion=lu1abc", "Operador=lu2xyz", "LogenUso=Concurso",
                                          "GridLoca=GF05T9", "NoBorrar=1"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(m.Label2->text(), QStringLiteral("LU1ABC"));
    QCOMPARE(m.Label3->text(), QStringLiteral("LU2XYZ"));
    QCOMPARE(m.Frame1->title(), QStringLiteral("Concurso"));
    // The label takes the grid as read; the box keeps what its rule lets through.
    QCOMPARE(m.Label8->text(), QStringLiteral("GF05T9"));
    QCOMPARE(form2().Text4->text(), QStringLiteral("GF05T"));
    QVERIFY(m.Check3->isChecked());

    form2().Text4->setText(QStringLiteral("FF78AB"));
    form2().Text1->setText(QStringLiteral("lu9zzz"));
    m.Check3->setChecked(false);
    state().CurrentLogName = QStringLiteral("Otro");
    QVERIFY(SaveConfig().ok);
    QCOMPARE(m.Label8->text(), QStringLiteral("FF78AB"));
    QCOMPARE(m.Label2->text(), QStringLiteral("LU9ZZZ"));
    QCOMPARE(m.Frame1->title(), QStringLiteral("Otro"));
    QCOMPARE(writtenFile()[7], QStringLiteral("NoBorrar=0"));
    QCOMPARE(writtenFile()[0], QStringLiteral("Estacion=LU9ZZZ"));
  }

  void theDarkScreenFollowsTheBoxAndTheFile() {
    Form1& m = form1();
    const QColor light = m.palette().color(QPalette::Window);
    const QColor lightList = m.ListView2->palette().color(QPalette::Base);
    auto back = [](QWidget* w) { return w->palette().color(QPalette::Window); };

    form2().panta->setChecked(true);  // at once, before anything is saved
    for (QWidget* w : {static_cast<QWidget*>(&m), static_cast<QWidget*>(m.Frame3), static_cast<QWidget*>(m.Label6),
                       static_cast<QWidget*>(m.Check3), static_cast<QWidget*>(m.Label1[11]),
                       static_cast<QWidget*>(m.txt_total)})
      QCOMPARE(back(w), QColor(64, 64, 64));
    QCOMPARE(m.ListView2->palette().color(QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(back(m.Label13), QColor(128, 0, 0));  // the transmit indicator keeps its own
    form2().panta->setChecked(false);
    QCOMPARE(back(&m), light);
    QCOMPARE(m.ListView2->palette().color(QPalette::Base), lightList);

    env->folder.writeLines("config.ini", {"Pantalla=1"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(back(m.Frame1), QColor(64, 64, 64));
    env->folder.writeLines("config.ini", {"Pantalla=0"});
    QVERIFY(LoadConfig().ok);
    QCOMPARE(back(m.Frame1), light);
  }

  // What the operator sees: the colour painted at the far end of each control,
  // where no text or box covers it.
  void theDarkScreenIsWhatTheControlsShow() {
    Form1& m = form1();
    auto shown = [](QWidget* w) {
      const QImage image = w->grab().toImage();
      return image.pixelColor(image.width() - 3, image.height() / 2);
    };
    const QColor lightBar = shown(m.menuBar());
    form2().panta->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(m.Check1), static_cast<QWidget*>(m.Check2),
                       static_cast<QWidget*>(m.Check3), static_cast<QWidget*>(m.Label6)})
      QCOMPARE(shown(w), QColor(64, 64, 64));
    // The menus are not the window's background: they keep their own colours.
    QCOMPARE(shown(m.menuBar()), lightBar);
    form2().panta->setChecked(false);
    QCOMPARE(shown(m.Check3), m.palette().color(QPalette::Window));
  }

  void aPasswordThatWouldBreakTheFileIsNotSaved() {
    Form2& f = form2();
    state().CurrentLogName = QStringLiteral("Mi log");
    f.Text6->setText(QString(QChar(187)));  // scrambles to CR
    QVERIFY(SaveConfig().ok);
    QCOMPARE(env->dialogs.messages.size(), 1);
    QVERIFY(env->dialogs.lastText().contains(QStringLiteral("QRZ")));
    const QStringList lines = writtenFile();
    QCOMPARE(lines.size(), 20);
    QCOMPARE(lines[10], QStringLiteral("HAMQpass="));
    // The password stays in the box for this run.
    QCOMPARE(f.Text6->text(), QString(QChar(187)));
  }
};

QTEST_MAIN(TstConfigIo)
#include "tst_configio.moc"
