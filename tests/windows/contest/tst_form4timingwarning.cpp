// The contest window's word that the CW keyer runs without real time: shown in the
// keyer's panel, dismissed by the operator.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "mainwin/form1.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeaudio.h"
#include "support/fakeserial.h"
#include "support/quietmainwindow.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstForm4TimingWarning : public QObject {
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
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form4>::unload();
    FormInstance<Form1>::unload();
    FormInstance<Form2>::unload();
    audio.reset();
    serial.reset();
    dialogs.reset();
    folder.reset();
  }

  void theWarningSitsInTheKeyerPanelUntilDismissed() {
    (void)InsertContestQso("", "", "", "", "", "", "", "", "COPA", "", "", "COPA", kSerialIncremental);
    state().ContestFormBusy = true;
    Form4& f = form4();
    f.Combo1->addItems(kContestModes);
    f.Label2->setText("COPA");
    f.Label3->setText(kSerialIncremental);
    f.ShowForContest();
    f.Combo1->setCurrentText("CW");
    QTRY_VERIFY(f.Frame1->isVisible());

    // What the keyer says when neither real-time way was granted.
    static_cast<CwKeyerPanel&>(f).showTimingWarning(CwTimingWarningText());
    auto* text = f.Frame1->findChild<QLabel*>("timingWarning");
    auto* ok = f.Frame1->findChild<QPushButton*>("timingWarningOk");
    QVERIFY(text && ok);
    QVERIFY(text->isVisible());
    QCOMPARE(text->text(), CwTimingWarningText());
    QVERIFY(ok->isVisible());
    // Inside the panel, clear of the text being sent, and the text fits.
    QVERIFY(f.Frame1->rect().contains(text->geometry()));
    QVERIFY(f.Frame1->rect().contains(ok->geometry()));
    QVERIFY(!text->geometry().intersects(f.Label10->geometry()));
    QVERIFY(!text->geometry().intersects(ok->geometry()));
    QVERIFY(text->fontMetrics().horizontalAdvance(text->text()) <= text->contentsRect().width());

    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!text->isVisible());
    QVERIFY(!ok->isVisible());
  }
};

QTEST_MAIN(TstForm4TimingWarning)
#include "tst_form4timingwarning.moc"
