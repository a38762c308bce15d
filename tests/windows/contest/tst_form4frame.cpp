// The contest window's entry fields, clock, closing and colour schemes.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTextEdit>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "platform/colors.h"
#include "setup/form2.h"
#include "store/callsign.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"
#include "support/quietmainwindow.h"

using namespace vz;

namespace {

// The window as the chooser leaves it for a new contest of the given serial type.
Form4& openContest(const QString& type = kSerialIncremental) {
  (void)InsertContestQso("", "", "", "", "", "", "", "", "COPA", "", "", "COPA", type);
  Form4& f = form4();
  f.Combo1->addItems(kContestModes);
  f.Label2->setText("COPA");
  f.Label3->setText(type);
  f.Text2->setText("LU9ZZ");
  f.ShowForContest();
  return f;
}

// Whether the window is gone once pending deletions ran.
bool unloadedAfterClose() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return !FormInstance<Form4>::loaded();
}

}  // namespace

class TstForm4Frame : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;
  FixedClock fixed{QDateTime(QDate(2024, 12, 31), QTime(22, 30, 45))};

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    setClock(&fixed);
    test::loadQuietMainWindow();
    prefixTable().setEntries({QStringLiteral("EA;EA;España"), QStringLiteral("K;K;Estados Unidos")});
  }
  void cleanup() {
    FormInstance<Form4>::unload();
    FormInstance<Form1>::unload();
    FormInstance<Form2>::unload();
    prefixTable().clear();
    setClock(nullptr);
    dialogs.reset();
    folder.reset();
  }

  // Every caption of the entry row reads in full at the window's design size.
  void theEntryCaptionsAreNotCutOff() {
    Form4& f = form4();
    f.resize(884, 560);
    for (QLabel* l : f.findChildren<QLabel*>("Label1")) {
      if (l->isHidden()) continue;
      QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(), qPrintable(l->text()));
    }
  }

  // ---- Typing ---------------------------------------------------------------------------

  void fieldsTakeOnlyTheirKeys_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("call") << "Incremental" << "Corresponsal" << "lu1-a b*/?x" << "LU1AB/?X";
    QTest::newRow("own call") << "Incremental" << "Text2" << "ea3-k/p" << "EA3K/P";
    QTest::newRow("date") << "Incremental" << "Fecha" << "05/0a3-?" << "05/03?";
    QTest::newRow("time") << "Incremental" << "Hora" << "2x1:0?" << "21:0?";
    QTest::newRow("sent, incremental") << "Incremental" << "RSE" << "1a2?" << "12?";
    QTest::newRow("received, incremental") << "Incremental" << "RSR" << "0b7" << "07";
    QTest::newRow("sent, fixed") << "Fija" << "RSE" << "1a2-" << "1A2";
    QTest::newRow("received, fixed") << "Fija" << "RSR" << "cf/" << "CF";
    QTest::newRow("kHz") << "Incremental" << "Text1" << "6a5?" << "65?";
  }
  void fieldsTakeOnlyTheirKeys() {
    QFETCH(QString, type);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Form4& f = openContest(type);
    f.Timer1->stop();
    auto* box = f.findChild<QLineEdit*>(field);
    QVERIFY(box);
    box->setEnabled(true);
    box->clear();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
  }

  void enyeIsNoLetter() {
    Form4& f = openContest();
    f.Corresponsal->clear();
    QTest::sendKeyEvent(QTest::Press, f.Corresponsal, Qt::Key_unknown, QChar(0xF1), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Press, f.Corresponsal, Qt::Key_unknown, QChar(0xE1), Qt::NoModifier);
    QVERIFY(f.Corresponsal->text().isEmpty());
  }

  void theCallDrivesMultiplierAndMacroCaptions() {
    Form4& f = openContest();
    QCOMPARE(f.macros[3]->text(), QString("F4-LU9ZZ"));
    f.Text2->setText("");
    QCOMPARE(f.macros[3]->text(), QString("F4-"));

    f.Corresponsal->setText("EA3");
    QCOMPARE(f.Label11->text(), QString("España"));
    QCOMPARE(f.macros[4]->text(), QString("F5-EA3"));
    f.List1->addItem("x");
    f.Corresponsal->setText("EA");  // two characters keep the last longer call's result
    QCOMPARE(f.Label11->text(), QString("España"));
    QCOMPARE(f.List1->count(), 0);
    f.MCheck->setPlainText("EA3ABC");
    f.Corresponsal->setText("");
    QVERIFY(f.Label11->text().isEmpty());
    QVERIFY(f.MCheck->toPlainText().isEmpty());
    QCOMPARE(f.macros[4]->text(), QString("F5-SuCall"));
    QVERIFY(f.Frame4->isHidden());
  }

  // ---- Leaving a field --------------------------------------------------------------------

  void leavingTheCallChecksIt_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("focusBack");
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("a call") << "LU1ABC" << "" << false;
    QTest::newRow("digits only") << "123" << "123 NO Parece ser una Señal distintiva Válida!" << true;
    QTest::newRow("letters only") << "ABC" << "ABC NO Parece ser una Señal distintiva Válida!" << true;
    QTest::newRow("own call") << "LU9ZZ" << "QSO con LU9ZZ ???" << false;
  }
  void leavingTheCallChecksIt() {
    QFETCH(QString, call);
    QFETCH(QString, message);
    QFETCH(bool, focusBack);
    Form4& f = openContest();
    f.RSE->setFocus();
    f.Corresponsal->setText(call);
    f.Corresponsal_LostFocus();
    QCOMPARE(dialogs->lastText(), message);
    QCOMPARE(f.focusWidget() == f.Corresponsal, focusBack);
    QCOMPARE(backColor(f.Corresponsal), colorFromValue(0xFFFFFF));
  }

  void leavingTheOwnCallChecksIt() {
    Form4& f = openContest();
    f.Text2->setText("LUZZ");
    f.Text2_LostFocus();
    QCOMPARE(dialogs->texts(), QStringList{"LUZZ NO Parece ser una Señal distintiva Válida!"});
    QCOMPARE(f.focusWidget(), f.Text2);
  }

  void leavingDateTimeAndKhzTidiesThem_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("date without year") << "Fecha" << "05/03/" << "05/03/2000" << "";
    QTest::newRow("date, year of zeros") << "Fecha" << "05/03/0000" << "05/03/2000" << "";
    QTest::newRow("date, two-digit year") << "Fecha" << "05/03/24" << "05/03/24"
                                          << "la Fecha 05/03/24 no es válida!\r\n\r\nFormato: dd/mm/aaaa";
    QTest::newRow("time re-formatted") << "Hora" << "7:05" << "07:05" << "";
    QTest::newRow("time out of range") << "Hora" << "25:00" << "25:00"
                                       << "la Hora 25:00 no es válida!\r\n\r\nFormato: hh:mm";
    QTest::newRow("kHz, one digit") << "Text1" << "5" << "500" << "";
    QTest::newRow("kHz, two digits") << "Text1" << "65" << "650" << "";
    QTest::newRow("kHz, empty") << "Text1" << "" << "000" << "";
  }
  void leavingDateTimeAndKhzTidiesThem() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    Form4& f = openContest();
    f.Check2->click();  // manual time: the clock leaves the boxes alone
    auto* box = f.findChild<QLineEdit*>(field);
    box->setText(typed);
    if (field == "Fecha") f.Fecha_LostFocus();
    else if (field == "Hora") f.Hora_LostFocus();
    else f.Text1_LostFocus();
    QCOMPARE(box->text(), shown);
    QCOMPARE(dialogs->lastText(), message);
  }

  void focusPaintsTheFieldAndSetsItsCode() {
    Form4& f = openContest();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.RSR->setFocus();
    QCOMPARE(state().FocusedEntryField, 5);
    QCOMPARE(backColor(f.RSR), QColor(192, 192, 255));
    f.Corresponsal->setFocus();
    QCOMPARE(state().FocusedEntryField, 3);
    QCOMPARE(backColor(f.RSR), QColor(255, 255, 255));
  }

  void aReturnFromAnotherWindowActivatesAgainAMessageBoxDoesNot() {
    Form4& f = openContest();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.RSE->setText("99");

    QMessageBox box;
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.close();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.RSE->text(), QString("99"));

    QWidget editor;
    editor.setWindowModality(Qt::ApplicationModal);
    editor.show();
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    editor.close();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.RSE->text(), QString("1"));  // the activation set the serial again
  }

  // ---- Clock ----------------------------------------------------------------------------

  void theClockShowsUtc_data() {
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("offset -3, into the next year") << "-3" << "01/01/2025" << "01:30";
    QTest::newRow("offset 0") << "0" << "31/12/2024" << "22:30";
    QTest::newRow("offset no number") << "abc" << "31/12/2024" << "22:30";
    QTest::newRow("offset +2") << "2" << "31/12/2024" << "20:30";
  }
  void theClockShowsUtc() {
    QFETCH(QString, offset);
    QFETCH(QString, date);
    QFETCH(QString, time);
    form2().Text3->setText(offset);
    Form4& f = form4();
    QVERIFY(f.Timer1->isActive());
    QVERIFY(!f.Fecha->isEnabled());
    f.Timer1_Timer();
    QCOMPARE(f.Fecha->text(), date);
    QCOMPARE(f.Hora->text(), time);
  }

  void manualTimeStopsTheClockAndBlinks() {
    Form4& f = openContest();
    f.Check2->click();
    QVERIFY(!f.Timer1->isActive());
    QVERIFY(f.Timer3->isActive());
    QVERIFY(f.Fecha->isEnabled() && f.Hora->isEnabled());
    f.Timer3_Timer();
    QCOMPARE(backColor(f.Check2), colorFromValue(0xFFFFFF));
    f.Timer3_Timer();
    QCOMPARE(backColor(f.Check2), colorFromValue(kColorButtonFace));
    f.Timer3_Timer();
    f.Check2->click();
    QVERIFY(f.Timer1->isActive());
    QVERIFY(!f.Timer3->isActive());
    QVERIFY(!f.Fecha->isEnabled());
    QCOMPARE(backColor(f.Check2), colorFromValue(kColorButtonFace));
  }

  void theModePanelFollowsTheMode_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("cw");
    QTest::newRow("CW") << "CW" << true;
    QTest::newRow("SSB") << "SSB" << false;
    QTest::newRow("FM") << "FM" << false;
  }
  void theModePanelFollowsTheMode() {
    QFETCH(QString, mode);
    QFETCH(bool, cw);
    Form4& f = openContest();
    QVERIFY(f.Timer2->isActive());
    f.Combo1->setCurrentText(mode);
    f.Timer2_Timer();
    QVERIFY(!f.Timer2->isActive());
    QCOMPARE(f.Frame1->isVisible(), cw);
    QCOMPARE(f.Label13->isVisible(), !cw);
    QCOMPARE(f.sFondo->isVisible(), !cw);
    QCOMPARE(f.Label8->isVisible(), !cw);
  }

  // ---- Colours --------------------------------------------------------------------------

  void darkAndBackToLight() {
    Form4& f = openContest();
    const QColor face = colorFromValue(kColorButtonFace);
    const QColor grey = colorFromValue(0x808080);
    f.Check7->click();
    for (QWidget* w : std::initializer_list<QWidget*>{&f, f.ListView2, f.Label1[0], f.Label1[8], f.Check8, f.Frame2,
                                                      f.Frame5, f.Label5[1], f.Label2})
      QCOMPARE(backColor(w), grey);
    f.Check7->click();
    QCOMPARE(backColor(f.ListView2), QColor(255, 255, 255));
    for (QWidget* w : std::initializer_list<QWidget*>{&f, f.Label1[0], f.Label1[8], f.Check8, f.Frame2, f.Frame5,
                                                      f.Label5[1], f.Label2})
      QCOMPARE(backColor(w), face);
  }

  // ---- Closing ----------------------------------------------------------------------------

  void closingWithAnEmptyCallSavesTheSettings() {
    Form4& f = openContest();
    f.Combo3->setCurrentIndex(f.Combo3->findData("COM4"));
    dialogs->clear();  // the warning of a port this machine lacks is not what is tested here
    f.Check7->setChecked(true);
    f.close();
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(unloadedAfterClose());
    QCOMPARE(folder->readLines("varCW.cfg"), (QStringList{"COM4", " 1 "}));
    QCOMPARE(folder->readLines("varOsc.cfg"), QStringList{" 1 "});
    // The next access starts from design values.
    QCOMPARE(form4().Label2->text(), QString("Label2"));
  }

  void closingWithAnUnloggedCallAsks_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("No keeps the call") << MsgAnswer::No << false;
    QTest::newRow("Yes discards it") << MsgAnswer::Yes << true;
  }
  void closingWithAnUnloggedCallAsks() {
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, closes);
    Form4& f = openContest();
    f.Corresponsal->setText("LU1ABC");
    dialogs->answers.enqueue(answer);
    f.close();
    QCOMPARE(dialogs->texts(), QStringList{"LU1ABC sin registrar, lo descarta?"});
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Question);
    QCOMPARE(dialogs->messages.last().defaultButton, MsgAnswer::No);
    QCOMPARE(unloadedAfterClose(), closes);
    QCOMPARE(folder->exists("varCW.cfg"), closes);
    QCOMPARE(folder->exists("varOsc.cfg"), closes);
    if (!closes) QCOMPARE(form4().Corresponsal->text(), QString("LU1ABC"));
  }

  void leavingTheContestSavesEvenWhenTheCloseIsRefused() {
    Form4& f = openContest();
    f.Corresponsal->setText("LU1ABC");
    dialogs->answers.enqueue(MsgAnswer::No);
    f.sdc->trigger();
    QVERIFY(!unloadedAfterClose());
    QVERIFY(f.isVisible());
    QVERIFY(folder->exists("varCW.cfg"));
    QVERIFY(folder->exists("varOsc.cfg"));
  }
};

QTEST_MAIN(TstForm4Frame)
#include "tst_form4frame.moc"
