#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "contest/form4.h"
#include "mainwin/form1.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/programstate.h"
#include "store/ptt.h"
#include "support/settingsenv.h"

using namespace vz;

namespace {

const QColor kRed(255, 0, 0);
const QColor kDarkRed(64, 0, 0);

QColor background(QWidget* w) { return w->palette().color(QPalette::Window); }

}  // namespace

class TstPtt : public QObject {
  Q_OBJECT

  std::unique_ptr<test::SettingsTestEnv> env;

  // Reads the lists and chooses a port, as the operator does in the dialog.
  void choosePort(const QString& port) {
    if (form2().Puerto->count() == 0) {
      env->folder.writeLines("config.ini", {});
      LoadConfig();
    }
    form2().Puerto->setCurrentText(port);
  }

 private slots:
  void init() { env = std::make_unique<test::SettingsTestEnv>(); }
  void cleanup() { env.reset(); }

  void theTestButtonKeysTheChosenLine_data() {
    QTest::addColumn<bool>("rts");
    QTest::addColumn<QString>("line");
    QTest::newRow("DTR ticked") << false << "DTR";
    QTest::newRow("RTS ticked") << true << "RTS";
  }

  void theTestButtonKeysTheChosenLine() {
    QFETCH(bool, rts);
    QFETCH(QString, line);
    choosePort(QStringLiteral("ttyUSB0"));
    Form2& f = form2();
    f.RTS->setChecked(rts);
    f.DTR->setChecked(!rts);
    env->serial.clearEvents();

    QTest::mousePress(f.Command8, Qt::LeftButton);
    QCOMPARE(env->serial.lineLog(), QStringList{"ttyUSB0 " + line + " 1"});
    for (QLabel* tx : {form4().Label8, form1().Label13}) {
      QCOMPARE(background(tx), kRed);
      QCOMPARE(tx->palette().color(QPalette::WindowText), QColor(Qt::white));
    }
    QTest::mouseRelease(f.Command8, Qt::LeftButton);
    QCOMPARE(env->serial.lineLog(), QStringList({"ttyUSB0 " + line + " 1", "ttyUSB0 " + line + " 0"}));
    QCOMPARE(background(form4().Label8), kDarkRed);
    QCOMPARE(background(form1().Label13), kDarkRed);
  }

  void bothUntickedMeansDtr() {
    choosePort(QStringLiteral("ttyUSB0"));
    env->serial.clearEvents();
    form2().Command8_MouseDown();
    QVERIFY(env->serial.level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Rts));
  }

  void withoutAPortOnlyTheIndicatorsChange() {
    choosePort(QStringLiteral("NINGUNO"));
    SetPttOn(QStringLiteral("DTR"));
    QCOMPARE(background(form4().Label8), kRed);
    QCOMPARE(background(form1().Label13), kRed);
    SetPttOff(QStringLiteral("DTR"));
    QCOMPARE(background(form4().Label8), kDarkRed);
    QCOMPARE(background(form1().Label13), kDarkRed);
    QVERIFY(env->serial.lineLog().isEmpty());
  }

  void onlyExactLineNamesMoveALine() {
    choosePort(QStringLiteral("ttyUSB0"));
    env->serial.clearEvents();
    for (const char* name : {"rts", "Dtr", "", "CTS"}) {
      SetPttOn(QString::fromLatin1(name));
      QCOMPARE(background(form4().Label8), kRed);
      SetPttOff(QString::fromLatin1(name));
    }
    QVERIFY(env->serial.lineLog().isEmpty());
  }

  void oneOffEndsAnyNumberOfOns() {
    choosePort(QStringLiteral("ttyUSB0"));
    SetPttOn(QStringLiteral("RTS"));
    SetPttOn(QStringLiteral("RTS"));
    SetPttOff(QStringLiteral("RTS"));
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Rts));
  }

  void switchingLinesWhileKeyedLeavesTheOldLineUp() {
    choosePort(QStringLiteral("ttyUSB0"));
    Form2& f = form2();
    f.DTR->setChecked(true);
    SetPttOn(f.pttLine());
    f.RTS->setChecked(true);
    SetPttOff(f.pttLine());
    QVERIFY(env->serial.level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Rts));
  }

  void choosingAnotherPortClosesTheOldOneFirst() {
    choosePort(QStringLiteral("ttyUSB0"));
    SetPttOn(QStringLiteral("DTR"));
    choosePort(QStringLiteral("ttyUSB1"));
    QCOMPARE(env->serial.openLog(), QStringList({"open ttyUSB0", "close ttyUSB0", "open ttyUSB1"}));
    QCOMPARE(env->serial.openPorts(), QStringList{"ttyUSB1"});
    // The new port starts with both lines dropped, and the indicators show receive.
    QVERIFY(!env->serial.level("ttyUSB1", SerialSignal::Dtr));
    QVERIFY(!env->serial.level("ttyUSB1", SerialSignal::Rts));
    QCOMPARE(background(form4().Label8), kDarkRed);
    choosePort(QStringLiteral("NINGUNO"));
    QVERIFY(env->serial.openPorts().isEmpty());
    env->serial.clearEvents();
    choosePort(QStringLiteral("ttyS0"));
    choosePort(QStringLiteral("NINGUNO"));
    choosePort(QStringLiteral("ttyUSB0"));
    QCOMPARE(env->serial.openLog(), QStringList({"open ttyS0", "close ttyS0", "open ttyUSB0"}));
  }

  // Push-to-talk loads no window: one opened later shows the state it finds.
  void aContestWindowOpenedLaterShowsTheTransmitState() {
    QVERIFY(!FormInstance<Form4>::loaded());
    SetPttOn(QStringLiteral("DTR"));
    QVERIFY(!FormInstance<Form4>::loaded());
    QCOMPARE(background(form4().Label8), kRed);
    SetPttOff(QStringLiteral("DTR"));
    QCOMPARE(background(form4().Label8), kDarkRed);
    FormInstance<Form4>::unload();
  }

  void keyerPortControlsLockAndUnlock() {
    Form4& f = form4();
    f.Check3->setChecked(true);
    f.setPortControlsLocked(true);
    QVERIFY(!f.Combo3->isEnabled());
    QVERIFY(!f.Check3->isEnabled());
    QVERIFY(!f.Check4->isEnabled());
    QVERIFY(f.Check3->isChecked());
    f.setPortControlsLocked(false);
    QVERIFY(f.Combo3->isEnabled());
    QVERIFY(f.Check3->isEnabled());
    QVERIFY(f.Check4->isEnabled());
  }
};

QTEST_MAIN(TstPtt)
#include "tst_ptt.moc"
