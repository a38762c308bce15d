// The main window's voice call: F1 plays the recorded call under push-to-talk, the
// bar follows the playing, Esc and the end of the recording drop push-to-talk.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "mainwin/form1.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/programstate.h"
#include "support/settingsenv.h"

using namespace vz;

namespace {

const QColor kRed(255, 0, 0);
const QColor kDarkRed(64, 0, 0);

QColor txBackground() { return form1().Label13->palette().color(QPalette::Window); }

}  // namespace

class TstVoiceCall : public QObject {
  Q_OBJECT

  std::unique_ptr<test::SettingsTestEnv> env;

  // Port ttyUSB0 chosen in the settings, push-to-talk on DTR or RTS, the voice file.
  void setUp(bool rts, const QString& voiceFile) {
    env->folder.writeLines("config.ini", {});
    LoadConfig();
    Form2& s = form2();
    s.Puerto->setCurrentText("ttyUSB0");
    s.RTS->setChecked(rts);
    s.DTR->setChecked(!rts);
    s.Label6->setText(voiceFile);
    Form1& f = form1();
    for (QTimer* t : {f.Timer2, f.Timer7}) t->stop();  // as after the start-up step
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Corresponsal->setFocus();
    env->serial.clearEvents();
  }

  QString writeVoiceFile(const QByteArray& bytes) {
    const QString path = env->folder.file("cq.wav");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("voice file");
    return path;
  }

  static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

 private slots:
  void init() { env = std::make_unique<test::SettingsTestEnv>(); }
  void cleanup() { env.reset(); }

  void f1PlaysUnderPushToTalkAndTheEndDropsIt_data() {
    QTest::addColumn<bool>("rts");
    QTest::addColumn<QString>("line");
    QTest::newRow("DTR") << false << "DTR";
    QTest::newRow("RTS") << true << "RTS";
  }
  void f1PlaysUnderPushToTalkAndTheEndDropsIt() {
    QFETCH(bool, rts);
    QFETCH(QString, line);
    const QString voice = writeVoiceFile(QByteArray(4000, 'x'));
    setUp(rts, voice);
    Form1& f = form1();

    press(Qt::Key_F1);
    test::FakeAudioPlayer* player = env->audio.last();
    QVERIFY(player);
    QCOMPARE(player->calls, (QStringList{"stop", "play " + voice}));
    // The line waits until the player has the file open with its length.
    QVERIFY(env->serial.lineLog().isEmpty());
    player->load(2000);
    QCOMPARE(env->serial.lineLog(), QStringList{"ttyUSB0 " + line + " 1"});
    QCOMPARE(txBackground(), kRed);

    // The blue bar grows over the grey one as the file plays.
    player->report(500, 2000);
    QCOMPARE(f.sPorcentaje->width(), f.sFondo->width() / 4);
    player->report(2000, 2000);
    QCOMPARE(f.sPorcentaje->width(), f.sFondo->width());

    player->finish();
    QCOMPARE(env->serial.lineLog(), (QStringList{"ttyUSB0 " + line + " 1", "ttyUSB0 " + line + " 0"}));
    QCOMPARE(txBackground(), kDarkRed);
    QCOMPARE(player->calls.last(), QString("stop"));
    QCOMPARE(f.sPorcentaje->width(), 1);
    QVERIFY(!env->serial.level("ttyUSB0", rts ? SerialSignal::Rts : SerialSignal::Dtr));
  }

  void escStopsTheCallAtAnyTime() {
    const QString voice = writeVoiceFile(QByteArray(4000, 'x'));
    setUp(false, voice);
    Form1& f = form1();
    press(Qt::Key_F1);
    env->audio.last()->load(2000);
    env->audio.last()->report(1000, 2000);
    f.Obs->setFocus();
    press(Qt::Key_Escape);
    QVERIFY(!env->audio.last()->isPlaying());
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Dtr));
    QCOMPARE(txBackground(), kDarkRed);
    QCOMPARE(f.sPorcentaje->width(), 1);
    // After the call too: Esc always drops the line.
    env->serial.clearEvents();
    press(Qt::Key_Escape);
    QCOMPARE(env->serial.lineLog(), QStringList{"ttyUSB0 DTR 0"});
  }

  void aFileThatCannotPlayNeverKeysOrLeavesTheLineUp_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("none chosen") << "";
    QTest::newRow("missing") << "missing";
    QTest::newRow("empty") << "empty";
  }
  void aFileThatCannotPlayNeverKeysOrLeavesTheLineUp() {
    QFETCH(QString, file);
    QString path;
    if (file == "missing") path = env->folder.file("no-existe.wav");
    if (file == "empty") path = writeVoiceFile({});
    setUp(false, path);
    press(Qt::Key_F1);
    QVERIFY(env->serial.lineLog().isEmpty());
    QVERIFY(!env->audio.last() || !env->audio.last()->isPlaying());
    QCOMPARE(txBackground(), kDarkRed);
  }

  void aFileThePlayerCannotOpenOrFindsEmptyKeysNothing_data() {
    QTest::addColumn<bool>("refused");
    QTest::newRow("refused") << true;
    QTest::newRow("no length") << false;
  }
  void aFileThePlayerCannotOpenOrFindsEmptyKeysNothing() {
    QFETCH(bool, refused);
    const QString voice = writeVoiceFile(QByteArray(4000, 'x'));
    setUp(false, voice);
    press(Qt::Key_F1);
    if (refused) env->audio.last()->fail("Formato desconocido");
    else env->audio.last()->load(0);
    QVERIFY(!env->serial.lineLog().contains("ttyUSB0 DTR 1"));
    QVERIFY(txBackground() != kRed);
  }

  void aFileThePlayerRefusesDropsTheLineAndSaysWhy() {
    const QString voice = writeVoiceFile(QByteArray(4000, 'x'));
    setUp(false, voice);
    press(Qt::Key_F1);
    env->audio.last()->load(2000);
    QVERIFY(env->serial.level("ttyUSB0", SerialSignal::Dtr));
    env->audio.last()->fail("Formato desconocido");
    QVERIFY(!env->serial.level("ttyUSB0", SerialSignal::Dtr));
    QCOMPARE(txBackground(), kDarkRed);
    QCOMPARE(env->dialogs.texts(), QStringList{voice + "\r\nFormato desconocido"});
  }

  void keysStillReachTheBoxesWhilePlaying() {
    const QString voice = writeVoiceFile(QByteArray(4000, 'x'));
    setUp(false, voice);
    press(Qt::Key_F1);
    QTest::keyClicks(form1().Corresponsal, "ea8xyz");
    QCOMPARE(form1().Corresponsal->text(), QString("EA8XYZ"));
    QVERIFY(env->audio.last()->isPlaying());
  }
};

QTEST_MAIN(TstVoiceCall)
#include "tst_voicecall.moc"
