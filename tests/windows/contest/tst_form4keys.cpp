// The contest window's selectors, options, keyer port, keys, CW macros and voice call.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <chrono>
#include <optional>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QHeaderView>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "mainwin/form1.h"
#include "platform/colors.h"
#include "setup/form2.h"
#include "mainwin/layoutscaler.h"
#include "store/programstate.h"
#include "support/fakeaudio.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"
#include "support/quietmainwindow.h"

using namespace vz;

namespace {

void addQso(const QString& call, const QString& band, const QString& mode, const QString& sent,
            const QString& type = kSerialIncremental) {
  QVERIFY(InsertContestQso(call, band, mode, sent, "5", "20240315", "1200", "LU9ZZ", "COPA", "", "14025", "COPA", type)
              .ok());
}

// The window as the chooser shows it for the contest "COPA".
Form4& openContest(const QString& type = kSerialIncremental) {
  (void)InsertContestQso("", "", "", "", "", "", "", "", "COPA", "", "", "COPA", type);
  state().ContestFormBusy = true;
  Form4& f = form4();
  f.Combo1->addItems(kContestModes);
  f.Label2->setText("COPA");
  f.Label3->setText(type);
  f.Text2->setText("LU9ZZ");
  f.ShowForContest();
  return f;
}

void selectMode(Form4& f, const QString& mode) { f.Combo1->setCurrentText(mode); }

using Event = test::FakeSerialSystem::Event;
using Kind = test::FakeSerialSystem::Kind;

// The key-downs of a line as steady-clock intervals: how long each one lasted.
QList<std::chrono::milliseconds> keyDownLengths(const QList<Event>& events, SerialSignal line) {
  QList<std::chrono::milliseconds> out;
  std::optional<std::chrono::steady_clock::time_point> down;
  for (const Event& e : events) {
    if (e.kind != Kind::Line || e.signal != line) continue;
    if (e.level && !down) down = e.at;
    if (!e.level && down) {
      out << std::chrono::duration_cast<std::chrono::milliseconds>(e.at - *down);
      down.reset();
    }
  }
  return out;
}

// Counts the times a widget is shown.
class ShowCounter : public QObject {
 public:
  int shows = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Show) ++shows;
    return false;
  }
};

// A modal dialog of the window's own thread, open for the given time.
void holdModalDialog(QWidget* parent, int ms) {
  QDialog dialog(parent);
  QTimer::singleShot(ms, &dialog, &QDialog::accept);
  dialog.exec();
}

}  // namespace

class TstForm4Keys : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::FakeSerialSystem> serial;
  std::unique_ptr<test::FakeAudio> audio;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    serial = std::make_unique<test::FakeSerialSystem>();
    audio = std::make_unique<test::FakeAudio>();
    state() = ProgramState{};
    KeyerPortErrorSeen().clear();
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form4>::unload();
    // Push-to-talk also lights the main window's indicator, which loads that window.
    FormInstance<Form1>::unload();
    FormInstance<Form2>::unload();
    audio.reset();
    serial.reset();
    dialogs.reset();
    folder.reset();
  }

  // ---- Macros ---------------------------------------------------------------------------

  void theSerialOfF2_data() {
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("serial");
    QTest::newRow("5, cut") << "5" << "Incremental" << true << "TT5";
    QTest::newRow("90, cut") << "90" << "Incremental" << true << "TNT";
    QTest::newRow("123, not cut") << "123" << "Incremental" << false << "0123";
    QTest::newRow("7, not cut") << "7" << "Incremental" << false << "007";
    QTest::newRow("fixed 09, cut") << "09" << "Fija" << true << "TN";
    QTest::newRow("fixed BA, not cut") << "BA" << "Fija" << false << "BA";
  }
  void theSerialOfF2() {
    QFETCH(QString, sent);
    QFETCH(QString, type);
    QFETCH(bool, cut);
    QFETCH(QString, serial);
    QCOMPARE(ContestMacroSerial(sent, type, cut), serial);
  }

  void macroTexts() {
    Form4& f = openContest();
    f.Corresponsal->setText("LU1ABC");
    f.RSE->setText("5");
    const QStringList texts = {"CQ TEST LU9ZZ LU9ZZ", "LU1ABC 5NN TT5 5NN TT5", "TU ", "LU9ZZ", "LU1ABC", "AGN? ",
                               "NR? "};
    for (int i = 0; i < 7; ++i) QCOMPARE(f.ContestMacroText(i), texts[i]);
    QCOMPARE(f.macros[5]->text(), QString("F6-AGN?"));
    QCOMPARE(f.macros[6]->text(), QString("F7- NR?"));
  }

  // The F4 and F5 labels show the whole call, however long; a shorter call gets the
  // label's own size back.
  void macroLabelsShowTheWholeCall() {
    Form4& f = openContest();
    selectMode(f, "CW");
    f.resize(884, 560);  // as on the screen it was drawn for
    const double design = f.macros[3]->font().pointSizeF();
    auto fits = [](QLabel* l) { return l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(); };
    f.Text2->setText("LU1ABC/QRP/MM");
    f.Corresponsal->setText("VP8/LU1ABC/MM");
    QCOMPARE(f.macros[3]->text(), QString("F4-LU1ABC/QRP/MM"));
    QVERIFY(fits(f.macros[3]));
    QVERIFY(fits(f.macros[4]));
    f.Text2->setText("LU1ABC");
    QVERIFY(fits(f.macros[3]));
    QCOMPARE(f.macros[3]->font().pointSizeF(), design);
  }

  void aMacroKeySendsOnTheKeyerPort() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    QCOMPARE(serial->openPorts(), QStringList{"ttyUSB0"});
    selectMode(f, "CW");
    QVERIFY(f.Frame1->isVisible());
    f.HScroll1->setValue(40);
    serial->clearEvents();
    QTest::keyClick(f.Corresponsal, Qt::Key_F3);
    QVERIFY(f.Corresponsal->text().isEmpty());  // F keys type nothing
    // The window goes on while the keyer sends; the port controls are locked meanwhile.
    QVERIFY(f.keyer().sending());
    QTRY_VERIFY(!f.Combo3->isEnabled() && !f.Check3->isEnabled() && !f.Check4->isEnabled());
    QTRY_VERIFY(!f.keyer().sending());
    QTRY_VERIFY(f.Combo3->isEnabled() && f.Check3->isEnabled() && f.Check4->isEnabled());
    QCOMPARE(f.Label10->text(), QString("TU "));
    // T is one dash, U two dots and a dash: four key-downs on DTR.
    QCOMPARE(serial->lineLog().count("ttyUSB0 DTR 1"), 4);
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(f.Image1->isHidden());
  }

  void aModalDialogDuringADashDoesNotHoldTheKey() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.HScroll1->setValue(10);  // unit 120 ms: the dash of T lasts 360 ms
    serial->clearEvents();
    QTest::keyClick(f.Corresponsal, Qt::Key_F3);
    QTRY_VERIFY_WITH_TIMEOUT(serial->level("ttyUSB0", SerialSignal::Dtr), 2000);
    holdModalDialog(&f, 1500);
    const QList<std::chrono::milliseconds> lengths = keyDownLengths(serial->snapshot(), SerialSignal::Dtr);
    // The dash and the first elements of U were keyed while the dialog was open.
    QVERIFY(lengths.size() >= 3);
    // The dash lasts its 360 ms (the stamps are taken a little after each change) and
    // goes up well within one element more.
    QVERIFY2(lengths[0] >= std::chrono::milliseconds(355) && lengths[0] < std::chrono::milliseconds(480),
             qPrintable(QString::number(lengths[0].count())));
    QVERIFY(lengths[1] < std::chrono::milliseconds(240));
    QTRY_VERIFY_WITH_TIMEOUT(!f.keyer().sending(), 5000);
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
  }

  void comingBackToTheWindowDuringASendKeepsItsPort() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.HScroll1->setValue(40);
    serial->clearEvents();
    QTest::keyClick(f.Corresponsal, Qt::Key_F3);
    QTRY_VERIFY(serial->level("ttyUSB0", SerialSignal::Dtr));
    f.Form_Activate();  // as on the return from the record editor
    QTRY_VERIFY_WITH_TIMEOUT(!f.keyer().sending(), 3000);
    QVERIFY(serial->openLog().isEmpty());
    QCOMPARE(serial->lineLog().count("ttyUSB0 DTR 1"), 4);
    // Idle, the activation opens the saved port (none saved: COM1) as before.
    f.Form_Activate();
    QCOMPARE(serial->openLog(), (QStringList{"close ttyUSB0", "open ttyS0"}));
  }

  void escStopsTheSendAfterTheCharacterBeingKeyed() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.HScroll1->setValue(10);
    QTest::keyClick(f.Corresponsal, Qt::Key_F1);  // "CQ TEST LU9ZZ LU9ZZ": seconds at 10 wpm
    QTRY_VERIFY(serial->level("ttyUSB0", SerialSignal::Dtr));
    QTest::keyClick(f.Corresponsal, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!f.keyer().sending(), 3000);
    QCOMPARE(f.Label10->text(), QString("C"));
    QVERIFY(f.keyer().pendingText().isEmpty());
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
  }

  void manualKeyingDropsOnReleaseFocusLossAndDeactivation() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Corresponsal->setFocus();
    auto down = [&] {
      QTest::keyPress(QApplication::focusWidget(), Qt::Key_Down);
      QVERIFY(serial->level("ttyUSB0", SerialSignal::Dtr));
      QTRY_VERIFY(f.Image1->isVisible());
    };
    down();
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
    QTRY_VERIFY(f.Image1->isHidden());

    // The focus moves to another box while the key is held: its release goes there.
    down();
    f.RSR->setFocus(Qt::MouseFocusReason);
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));

    // Another window takes the activation.
    f.Corresponsal->setFocus();
    down();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
    QTRY_VERIFY(f.Image1->isHidden());
  }

  void choosingTheOtherLineWhileTheKeyIsHeldDropsBoth() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.Corresponsal->setFocus();
    QTest::keyPress(f.Corresponsal, Qt::Key_Down);
    QVERIFY(serial->level("ttyUSB0", SerialSignal::Dtr));
    f.Check4->click();  // RTS
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Rts));
    QTRY_VERIFY(f.Image1->isHidden());
    QTest::keyRelease(f.Corresponsal, Qt::Key_Down);
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Rts));
  }

  void hidingOrClosingTheWindowDuringASendDropsBothLines_data() {
    QTest::addColumn<bool>("close");
    QTest::newRow("hidden") << false;
    QTest::newRow("closed") << true;
  }
  void hidingOrClosingTheWindowDuringASendDropsBothLines() {
    QFETCH(bool, close);
    Form4& f = openContest();
    QPointer<Form4> window(&f);
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.HScroll1->setValue(10);
    QTest::keyClick(f.Corresponsal, Qt::Key_F1);
    QTRY_VERIFY(serial->level("ttyUSB0", SerialSignal::Dtr));  // in the dash of C
    if (close) f.close();
    else f.hide();
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Rts));
    if (close) QTRY_VERIFY(window.isNull());
    else QVERIFY(!f.keyer().sending());
    // Nothing is keyed afterwards.
    serial->clearEvents();
    QTest::qWait(300);
    QVERIFY(!serial->lineLog().contains("ttyUSB0 DTR 1"));
  }

  void functionKeysInAVoiceModePlayTheCallOnly() {
    Form4& f = openContest();
    selectMode(f, "SSB");
    const QString wav = folder->file("cq.wav");
    folder->writeLines("cq.wav", {"RIFF"});
    form2().Label6->setText(wav);
    const qsizetype players = audio->players.size();
    QTest::keyClick(f.Corresponsal, Qt::Key_F2);
    QCOMPARE(f.Label10->text(), QString());
    QVERIFY(!f.keyer().sending());
    QCOMPARE(audio->players.size(), players);

    QTest::keyClick(f.Corresponsal, Qt::Key_F1);
    QVERIFY(audio->last());
    QCOMPARE(audio->last()->path, wav);
    // Push-to-talk waits until the player has the file open with its length.
    QCOMPARE(backColor(f.Label8), colorFromValue(0x000040));
    audio->last()->load(1000);
    QCOMPARE(backColor(f.Label8), colorFromValue(0x0000FF));  // transmitting
    audio->last()->report(500, 1000);
    QCOMPARE(f.sPorcentaje->width(), f.sFondo->width() / 2);

    QTest::keyClick(f.Corresponsal, Qt::Key_Escape);
    QVERIFY(!audio->last()->isPlaying());
    QCOMPARE(backColor(f.Label8), colorFromValue(0x000040));
    QCOMPARE(f.sPorcentaje->width(), 1);
  }

  void aVoiceFileOfNoLengthKeysNothing() {
    Form4& f = openContest();
    selectMode(f, "SSB");
    folder->writeLines("cq.wav", {"RIFF"});
    form2().Label6->setText(folder->file("cq.wav"));
    QTest::keyClick(f.Corresponsal, Qt::Key_F1);
    audio->last()->load(0);
    // Neither indicator ever showed transmit.
    QCOMPARE(backColor(f.Label8), colorFromValue(0x000040));
    QVERIFY(backColor(form1().Label13) != colorFromValue(0x0000FF));
  }

  void hidingTheWindowDropsPushToTalk() {
    Form4& f = openContest();
    selectMode(f, "SSB");
    folder->writeLines("cq.wav", {"RIFF"});
    form2().Label6->setText(folder->file("cq.wav"));
    QTest::keyClick(f.Corresponsal, Qt::Key_F1);
    audio->last()->load(1000);
    QCOMPARE(backColor(form1().Label13), colorFromValue(0x0000FF));
    f.hide();
    QVERIFY(!audio->last()->isPlaying());
    QCOMPARE(backColor(form1().Label13), colorFromValue(0x000040));
  }

  void aMissingVoiceFileKeysNothing() {
    Form4& f = openContest();
    selectMode(f, "FM");
    form2().Label6->setText(folder->file("none.wav"));
    QTest::keyClick(f.Corresponsal, Qt::Key_F1);
    for (const auto& player : audio->players) QVERIFY(!player || !player->isPlaying());
    QCOMPARE(backColor(f.Label8), colorFromValue(0x000040));
  }

  // ---- Speed, Ctrl keys, Esc ----------------------------------------------------------------

  void arrowsChangeTheSpeedWithinItsRange_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("offset");
    QTest::newRow("faster") << 20 << int(Qt::Key_Right) << 21 << 6;
    QTest::newRow("slower") << 20 << int(Qt::Key_Left) << 19 << 13;
    QTest::newRow("38 to 39 keeps -19") << 38 << int(Qt::Key_Right) << 39 << -19;
    QTest::newRow("at 40") << 40 << int(Qt::Key_Right) << 40 << -20;
    QTest::newRow("at 10") << 10 << int(Qt::Key_Left) << 10 << 70;
  }
  void arrowsChangeTheSpeedWithinItsRange() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    QFETCH(int, offset);
    Form4& f = openContest();
    f.HScroll1->setValue(from);
    QTest::keyClick(f.RSR, Qt::Key(key));
    QCOMPARE(f.HScroll1->value(), to);
    QCOMPARE(f.LabelVel->text(), QString("Vel %1 ppm").arg(to));
    QCOMPARE(f.keyer().CwSpeedOffset(), offset);
  }

  void ctrlKeysClearTheCallAndSwitchTheScheme() {
    Form4& f = openContest();
    f.Corresponsal->setText("LU1ABC");
    f.MCheck->setPlainText("LU1ABC");
    QTest::keyClick(f.RSR, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(f.Corresponsal->text().isEmpty());
    QCOMPARE(f.macros[4]->text(), QString("F5-SuCall"));
    QVERIFY(f.MCheck->toPlainText().isEmpty());
    QVERIFY(!state().CtrlDown);

    QTest::keyClick(f.Corresponsal, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(f.Check7->isChecked());
    QCOMPARE(backColor(f.ListView2), colorFromValue(0x808080));
    QTest::keyClick(f.Corresponsal, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!f.Check7->isChecked());
  }

  void escHidesTheEarlierQsos() {
    addQso("LU1ABC", "20m", "CW", "1");
    Form4& f = openContest();
    QCOMPARE(f.Combo2->currentText(), QString("20m"));
    QCOMPARE(f.Combo1->currentText(), QString("CW"));
    f.Corresponsal->setText("LU1ABC");
    QVERIFY(!f.Frame4->isHidden());
    QVERIFY(!f.Label7->isHidden());
    QTest::keyClick(f.Corresponsal, Qt::Key_Escape);
    QVERIFY(f.Frame4->isHidden());
    QVERIFY(f.Label7->isHidden());
  }

  void menuShortcutsWorkInsideATextBox() {
    Form4& f = openContest();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Corresponsal->setFocus();
    QTest::keyClick(f.Corresponsal, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(dialogs->texts(), QStringList{"Elimina log COPA?"});
  }

  // ---- Mode selector -------------------------------------------------------------------------

  void aModeChangeOffersToRestartTheSerial_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<bool>("asks");
    QTest::newRow("1") << "Incremental" << "1" << false;
    QTest::newRow("001") << "Incremental" << "001" << false;
    QTest::newRow("empty") << "Incremental" << "" << true;
    QTest::newRow("0") << "Incremental" << "0" << true;
    QTest::newRow("17") << "Incremental" << "17" << true;
    QTest::newRow("fixed exchange") << "Fija" << "17" << false;
  }
  void aModeChangeOffersToRestartTheSerial() {
    QFETCH(QString, type);
    QFETCH(QString, sent);
    QFETCH(bool, asks);
    Form4& f = openContest(type);
    f.RSE->setText(sent);
    selectMode(f, "CW");
    QCOMPARE(dialogs->messages.size(), asks ? 1 : 0);
    if (!asks) return;
    QCOMPARE(dialogs->lastText(), QString("Serie Incremental y cambia de modo ...\r\nComienza por serie 1?"));
    QCOMPARE(dialogs->messages.last().defaultButton, MsgAnswer::Yes);
    QCOMPARE(f.RSE->text(), QString("1"));  // the default answer

    f.RSE->setText("17");
    dialogs->answers.enqueue(MsgAnswer::No);
    selectMode(f, "FM");
    QCOMPARE(f.RSE->text(), QString("17"));
  }

  void theModeSwitchesThePanels_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("cw");
    QTest::newRow("CW") << "CW" << true;
    QTest::newRow("FM") << "FM" << false;
  }
  void theModeSwitchesThePanels() {
    QFETCH(QString, mode);
    QFETCH(bool, cw);
    Form4& f = openContest();
    f.RSE->setText("1");
    selectMode(f, mode == "CW" ? "SSB" : "CW");
    selectMode(f, mode);
    QCOMPARE(f.Frame1->isVisible(), cw);
    QCOMPARE(f.Label13->isVisible(), !cw);
    QCOMPARE(f.sPorcentaje->isVisible(), !cw);
    QCOMPARE(f.Label8->isVisible(), !cw);
  }

  void whileBusyTheSelectorsDoNothing() {
    Form4& f = openContest();
    f.RSE->setText("17");
    state().ContestFormBusy = true;
    selectMode(f, "CW");
    f.Combo2->setCurrentText("40m");
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(f.RSE->text(), QString("17"));
    QVERIFY(!f.Frame1->isVisible());
  }

  void theDuplicateFlagFollowsTheMode() {
    addQso("LU1ABC", "20m", "CW", "1");
    addQso("LU2XYZ", "20m", "CW", "2");
    Form4& f = openContest();
    f.RSE->setText("1");
    f.Corresponsal->setText("LU1ABC");
    QVERIFY(!f.Label7->isHidden());
    selectMode(f, "SSB");
    QVERIFY(f.Label7->isHidden());
    selectMode(f, "CW");
    QVERIFY(!f.Label7->isHidden());
    QCOMPARE(f.ListView1->topLevelItemCount(), 1);
    QCOMPARE(f.ListView1->topLevelItem(0)->text(8), QString("LU1ABC"));
  }

  // ---- Band selector ------------------------------------------------------------------------

  void aBandChangeContinuesThatBandsSerial_data() {
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("sent");
    QTest::newRow("40m") << "40m" << "4";
    QTest::newRow("15m, nothing logged") << "15m" << "1";
  }
  void aBandChangeContinuesThatBandsSerial() {
    QFETCH(QString, band);
    QFETCH(QString, sent);
    for (int i = 1; i <= 3; ++i) addQso(QString("LU%1AA").arg(i), "40m", "CW", QString::number(i));
    for (int i = 1; i <= 7; ++i) addQso(QString("LU%1BB").arg(i), "20m", "CW", QString::number(i));
    Form4& f = openContest();
    QCOMPARE(f.RSE->text(), QString("8"));
    f.Combo2->setCurrentText(band);
    QCOMPARE(f.RSE->text(), sent);
    f.Combo2->setCurrentText("20m");
    QCOMPARE(f.RSE->text(), QString("8"));
  }

  void aFixedExchangeIgnoresTheBand() {
    addQso("LU1ABC", "40m", "CW", "BA", kSerialFija);
    Form4& f = openContest(kSerialFija);
    f.RSE->setText("CF");
    f.Corresponsal->setText("LU1ABC");
    f.Combo2->setCurrentText("20m");
    f.Combo2->setCurrentText("40m");
    QCOMPARE(f.RSE->text(), QString("CF"));
    QVERIFY(!f.Label7->isHidden());
  }

  // ---- Options and keyer port ---------------------------------------------------------------

  void keyingLinesExcludeEachOther() {
    Form4& f = openContest();
    QVERIFY(f.Check3->isChecked());
    f.Check4->click();
    QVERIFY(f.Check4->isChecked());
    QVERIFY(!f.Check3->isChecked());
    QVERIFY(!f.keyerUsesDtr());
    f.Check3->click();
    QVERIFY(!f.Check4->isChecked());
    f.Check3->click();  // both unticked: the keyer keys RTS
    QVERIFY(!f.Check3->isChecked() && !f.Check4->isChecked());
    QVERIFY(!f.keyerUsesDtr());
  }

  // Unticking "MasterCheck" cuts the right-hand column off and changes nothing else:
  // every other control keeps its place and size, the log list all its columns.
  void masterCheckCutsOffTheRightColumnOnly() {
    Form4& f = openContest();
    // 13260 and 11280 twips at design size, the same proportion on any screen.
    const int wide = f.width();
    const int narrow = int(std::lround(wide * 11280.0 / 13260.0));
    auto geometries = [&f] {
      QMap<QString, QRect> g;
      for (QWidget* w : f.findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && w->parentWidget() == &f)
          g.insert(w->objectName() + w->property("Index").toString(), w->geometry());
      return g;
    };
    const auto before = geometries();
    // The same place and size, but for a pixel of rounding on a screen of another size.
    auto sameAsBefore = [&](const QMap<QString, QRect>& now) {
      for (auto it = before.begin(); it != before.end(); ++it) {
        const QRect a = it.value();
        const QRect b = now.value(it.key());
        if (std::abs(a.x() - b.x()) > 1 || std::abs(a.y() - b.y()) > 1 || std::abs(a.width() - b.width()) > 1 ||
            std::abs(a.height() - b.height()) > 1) {
          qWarning() << it.key() << a << b;
          return false;
        }
      }
      return true;
    };
    const auto columns = f.ListView2->header()->length();
    f.Check8->click();
    QCOMPARE(f.width(), narrow);
    QVERIFY(sameAsBefore(geometries()));
    QVERIFY(std::abs(f.ListView2->header()->length() - columns) <= 1);
    QVERIFY(f.ListView2->geometry().right() < f.width());
    for (QWidget* w : std::initializer_list<QWidget*>{f.Frame2, f.Frame5}) QVERIFY(w->x() >= f.width());
    f.Check8->click();
    QCOMPARE(f.width(), wide);
    QVERIFY(sameAsBefore(geometries()));
  }

  void manualTimeOffInTheDarkSchemeGivesButtonFace() {
    Form4& f = openContest();
    f.Check7->click();
    f.Check2->click();
    f.Check2->click();
    QCOMPARE(backColor(f.Check2), colorFromValue(kColorButtonFace));
  }

  void thePortSelectorOpensTheListedPort_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("open");
    QTest::addColumn<QString>("warning");
    QTest::newRow("COM1") << "COM1" << QStringList{"ttyS0"} << "";
    QTest::newRow("COM3") << "COM3" << QStringList{"ttyUSB1"} << "";
    QTest::newRow("no such port") << "COM7" << QStringList{} << "COM7 (no existe)\r\nEl puerto no existe en este equipo";
    QTest::newRow("refused") << "COM2" << QStringList{} << "COM2 (ttyUSB0)\r\nPermiso denegado";
  }
  void thePortSelectorOpensTheListedPort() {
    QFETCH(QString, choice);
    QFETCH(QStringList, open);
    QFETCH(QString, warning);
    serial->refuse.insert("ttyUSB0", "Permiso denegado");
    Form4& f = openContest();
    QCOMPARE(serial->openPorts(), QStringList{"ttyS0"});  // the activation's COM1
    f.Combo3->setCurrentIndex(f.Combo3->findData(choice));
    QCOMPARE(serial->openPorts(), open);
    for (const QString& port : open) {
      QVERIFY(!serial->level(port, SerialSignal::Dtr));
      QVERIFY(!serial->level(port, SerialSignal::Rts));
    }
    QCOMPARE(dialogs->texts(), warning.isEmpty() ? QStringList{} : QStringList{warning});
    if (warning.isEmpty()) return;
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Exclamation);
    // Chosen again (as each activation does, or the operator), the same failure is
    // not told again in this run.
    f.Combo3_Click();
    f.Form_Activate();
    f.Combo3->setCurrentIndex(f.Combo3->findData(choice));
    QCOMPARE(dialogs->messages.size(), 1);
  }

  void withAPortThatDidNotOpenTheIndicatorShowsNoKey() {
    serial->refuse.insert("ttyUSB0", "Permiso denegado");
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.HScroll1->setValue(40);
    ShowCounter indicator;
    f.Image1->installEventFilter(&indicator);
    serial->clearEvents();
    QTest::keyClick(f.Corresponsal, Qt::Key_F3);
    QTRY_VERIFY(!f.keyer().sending());
    QCOMPARE(f.Label10->text(), QString("TU "));
    QCOMPARE(indicator.shows, 0);
    QVERIFY(serial->lineLog().isEmpty());
  }

  void leavingWhileMorseIsSentEndsTheSendAndCloses() {
    Form4& f = openContest();
    QPointer<Form4> window(&f);
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM2"));
    selectMode(f, "CW");
    f.HScroll1->setValue(10);
    f.macros_Click(0);  // "CQ TEST LU9ZZ LU9ZZ": seconds at 10 wpm
    QTest::qWait(100);
    f.sdc->trigger();
    QVERIFY(folder->exists("varCW.cfg"));
    QTRY_VERIFY(window.isNull());
    QVERIFY(serial->openPorts().isEmpty());
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Dtr));
    QVERIFY(!serial->level("ttyUSB0", SerialSignal::Rts));
  }

  void unloadingClosesTheKeyerPort() {
    openContest();
    QCOMPARE(serial->openPorts(), QStringList{"ttyS0"});
    FormInstance<Form4>::unload();
    QVERIFY(serial->openPorts().isEmpty());
  }
};

QTEST_MAIN(TstForm4Keys)
#include "tst_form4keys.moc"
