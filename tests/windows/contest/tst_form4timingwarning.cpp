// The contest window's word that the CW keyer runs without real time: shown in the
// keyer's panel, readable, dismissed by the operator; and a system bus that does not
// answer the keyer's question neither holds the window nor keeps the word back.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "mainwin/form1.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeaudio.h"
#include "support/fakeserial.h"
#include "support/privatebus.h"
#include "support/quietmainwindow.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// Contrast of two colours as screens show them, 1 (the same) to 21 (black on white).
double contrast(QColor a, QColor b) {
  const auto luminance = [](QColor c) {
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a label's text as drawn: its background (the corner) against the
// pixel of the text that stands out most.
double drawnContrast(QWidget* w) {
  const QImage image = w->grab().toImage();
  const QColor background = image.pixelColor(0, 0);
  double best = 1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) best = std::max(best, contrast(background, image.pixelColor(x, y)));
  return best;
}

}  // namespace

class TstForm4TimingWarning : public QObject {
  Q_OBJECT
  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::FakeSerialSystem> serial;
  std::unique_ptr<test::FakeAudio> audio;

  static void storeContest() {
    (void)InsertContestQso("", "", "", "", "", "", "", "", "COPA", "", "", "COPA", kSerialIncremental);
  }
  // The contest COPA open in CW, its keyer panel on show.
  static Form4& openCwContest() {
    state().ContestFormBusy = true;
    Form4& f = form4();
    f.Combo1->addItems(kContestModes);
    f.Label2->setText("COPA");
    f.Label3->setText(kSerialIncremental);
    f.ShowForContest();
    f.Combo1->setCurrentText("CW");
    return f;
  }

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
    storeContest();
    Form4& f = openCwContest();
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
    // Readable: the panel's white captions would vanish on its light background.
    QVERIFY2(drawnContrast(text) >= 4.5, qPrintable(QString::number(drawnContrast(text))));

    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!text->isVisible());
    QVERIFY(!ok->isVisible());
  }

  void aStalledSystemBusHoldsNeitherTheWindowNorTheWord() {
    // A bus daemon stopped after it started takes connections and answers nothing.
    test::PrivateBus stalled;
    QVERIFY2(!stalled.address().isEmpty(), "dbus-daemon did not start");
    stalled.stop();
    const QByteArray systemBus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", stalled.address().toUtf8());
    const auto restore = qScopeGuard([&] {
      if (systemBus.isEmpty()) qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
      else qputenv("DBUS_SYSTEM_BUS_ADDRESS", systemBus);
    });
    ResetCwTimingNoticeForTests();
    storeContest();

    // "Salir de Concurso" while the keyer's question hangs: the window goes at once.
    QPointer<Form4> f;
    {
      // Refused SCHED_FIFO, as an ordinary user: the keyer asks the bus.
      const test::WithoutRealtimeRights refused;
      f = &openCwContest();
    }
    QTRY_VERIFY_WITH_TIMEOUT(stalled.connectionsToSocket() >= 1, 10000);
    QElapsedTimer closing;
    closing.start();
    f->sdc->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), 5000);
    QVERIFY2(closing.elapsed() < 1000, "closing waited for the bus");

    // Left open: once the question is given up the operator is told, readably.
    {
      const test::WithoutRealtimeRights refused;
      f = &openCwContest();
    }
    auto* text = f->Frame1->findChild<QLabel*>("timingWarning");
    QVERIFY(text);
    QTRY_VERIFY_WITH_TIMEOUT(text->isVisible(), 15000);
    QCOMPARE(text->text(), CwTimingWarningText());
    QVERIFY(f->Frame1->findChild<QPushButton*>("timingWarningOk")->isVisible());
    QVERIFY(drawnContrast(text) >= 4.5);
  }
};

QTEST_MAIN(TstForm4TimingWarning)
#include "tst_form4timingwarning.moc"
