#include "contest/cwkeyer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/programfolder.h"
#include "support/fakeserial.h"
#include "support/tempfolder.h"

using namespace vz;
using vz::test::FakeSerialSystem;

namespace {

// Virtual time: a wait moves the clock on a millisecond at a time up to its deadline,
// running the test's hook at each step on the keyer's thread. At holdAtMs the clock
// stands still until the wait is interrupted or the test lets it go on, so the
// test's thread can act at an exact moment of a send.
class VirtualClock : public CwClock {
 public:
  std::atomic<qint64> nowMs{0};
  std::function<void(qint64)> onTick;
  std::atomic<qint64> holdAtMs{-1};
  std::atomic<bool> holding{false};
  std::atomic<bool> letGo{false};

  time_point now() override { return time_point(std::chrono::milliseconds(nowMs.load())); }
  bool waitUntil(time_point deadline, const std::atomic<bool>& interrupted) override {
    for (;;) {
      if (nowMs == holdAtMs) {
        holding = true;
        QElapsedTimer patience;
        patience.start();
        while (!interrupted && !letGo && patience.elapsed() < 5000) std::this_thread::sleep_for(std::chrono::microseconds(200));
        holdAtMs = -1;
        holding = false;
      }
      if (interrupted) return false;
      if (now() >= deadline) return true;
      ++nowMs;
      if (onTick) onTick(nowMs);
    }
  }
  void wake() override {}

  // Blocks the test's thread until the keyer's clock stands at holdAtMs.
  bool waitForHold() const {
    QElapsedTimer patience;
    patience.start();
    while (!holding && patience.elapsed() < 5000) std::this_thread::sleep_for(std::chrono::microseconds(200));
    return holding;
  }
};

class RecordingPanel : public CwKeyerPanel {
 public:
  QList<bool> indicator;
  QStringList sentText;
  QList<bool> locks;
  QStringList failures;

  void showKeyIndicator(bool down) override { indicator << down; }
  void showSentText(const QString& text) override { sentText << text; }
  void setPortControlsLocked(bool locked) override { locks << locked; }
  void showLineFailure(const QString& error) override { failures << error; }
};

// What the keyer posts to the window's thread arrives here.
void deliverPosted() { QCoreApplication::sendPostedEvents(); }

// A key-down on the line, from its start to its end in virtual milliseconds.
struct Element {
  qint64 down;
  qint64 up;
  qint64 length() const { return up - down; }
  bool operator==(const Element&) const = default;
};

class Keyer : public ::testing::Test {
 protected:
  void SetUp() override {
    serial.timeSource = [this] { return clock.nowMs.load(); };
    line = serial.createLine();
    ASSERT_TRUE(line->open(QStringLiteral("ttyUSB0")).ok);
    keyer.setKeyLine(line.get(), SerialSignal::Dtr);
    deliverPosted();
    serial.clearEvents();
    panel.indicator.clear();
  }

  // The key-downs of one line, as the fake port saw them.
  QList<Element> elements(SerialSignal signal = SerialSignal::Dtr) const {
    QList<Element> out;
    qint64 downAt = -1;
    for (const auto& e : serial.snapshot()) {
      if (e.kind != FakeSerialSystem::Kind::Line || e.signal != signal) continue;
      if (e.level && downAt < 0) downAt = e.timeNs;
      if (!e.level && downAt >= 0) {
        out << Element{downAt, e.timeNs};
        downAt = -1;
      }
    }
    return out;
  }

  // What was keyed, read back from the line by the lengths at the speed used: dots
  // and dashes, a blank between characters and " / " between words.
  QString heard(qint64 unit) const {
    const QList<Element> keyed = elements();
    const CwTiming t{unit};
    const qint64 letter = t.gap() + t.letterSpace() + unit;
    QString out;
    for (qsizetype i = 0; i < keyed.size(); ++i) {
      if (i > 0) {
        const qint64 space = keyed[i].down - keyed[i - 1].up;
        if (space == letter) out += QLatin1Char(' ');
        else if (space == letter + t.letterSpace() + unit) out += QStringLiteral(" / ");
        else if (space != t.gap()) out += QStringLiteral(" ?%1? ").arg(space);
      }
      const qint64 len = keyed[i].length();
      out += len == unit       ? QStringLiteral(".")
             : len == 3 * unit ? QStringLiteral("-")
                               : QStringLiteral("?%1?").arg(len);
    }
    return out;
  }

  qint64 send(const QString& text) { return sendWith(keyer, text); }
  qint64 sendWith(CwKeyer& k, const QString& text) {
    const qint64 start = clock.nowMs;
    k.SendCwBuffer(text);
    EXPECT_TRUE(k.waitForIdle());
    deliverPosted();
    return clock.nowMs - start;
  }

  FakeSerialSystem serial;
  std::unique_ptr<SerialLine> line;
  VirtualClock clock;
  RecordingPanel panel;
  CwKeyer keyer{panel, &clock};
};

TEST(CwTimingTable, GapAndLetterSpaceAreRoundedHalfToEven) {
  const struct {
    long long unit, gap, letterSpace;
  } cases[] = {{60, 45, 75},  {102, 76, 128}, {42, 32, 52}, {30, 22, 38}, {120, 90, 150},
               {50, 38, 62},  {1, 1, 1},      {2, 2, 2},    {0, 0, 0},    {-5, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(CwTiming{c.unit}.gap(), c.gap) << c.unit;
    EXPECT_EQ(CwTiming{c.unit}.letterSpace(), c.letterSpace) << c.unit;
  }
  EXPECT_EQ(CwTiming::forSpeedOffset(10).dot(), 60);
  EXPECT_EQ(CwTiming::forSpeedOffset(10).dash(), 180);
}

TEST(MorseTable, LettersAndDigitsHaveDistinctPatternsInEitherCase) {
  QSet<QString> seen;
  for (const QChar c : QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789")) {
    const auto p = MorsePattern(c);
    ASSERT_TRUE(p.has_value()) << QString(c).toStdString();
    EXPECT_FALSE(seen.contains(*p)) << QString(c).toStdString();
    seen.insert(*p);
    EXPECT_EQ(MorsePattern(c.toUpper()), p);
  }
  // Digits: n dots then dashes up to five, or dashes then dots from 6.
  for (int d = 0; d <= 9; ++d) {
    const QString expected = d <= 5 ? QString(d, '.') + QString(5 - d, '-') : QString(d - 5, '-') + QString(10 - d, '.');
    EXPECT_EQ(MorsePattern(QChar('0' + d)), expected) << d;
  }
}

TEST(MorseTable, PunctuationAndProsigns) {
  const struct {
    char c;
    const char* pattern;  // nullptr: keys nothing
  } cases[] = {{',', "--..--"},  {'.', ".-.-.-"}, {'/', "-..-."},  {'\\', "-..-."}, {'=', "-...-"},
               {'?', "..--.."},  {':', "---..."}, {'(', "-.--.-"}, {')', "-.--.-"}, {'\'', ".-..-."},
               {'*', ".-..."},   {'@', "-.--."},  {'&', ".-.-."},  {'%', "...-."},  {'~', "-...-.-"},
               {'>', "...-...-...-"}, {'<', "...-.-"}, {'+', nullptr}, {'-', nullptr}, {' ', nullptr},
               {'"', nullptr},   {'#', nullptr},  {'\r', nullptr}};
  for (const auto& c : cases) {
    const auto p = MorsePattern(QLatin1Char(c.c));
    if (c.pattern) {
      EXPECT_EQ(p, QString::fromLatin1(c.pattern)) << c.c;
    } else {
      EXPECT_FALSE(p.has_value()) << c.c;
    }
  }
  EXPECT_FALSE(MorsePattern(QChar(0x00F1)).has_value());  // ñ
}

TEST_F(Keyer, ElementsLastWholeMillisecondsOfTheUnit) {
  const struct {
    int offset;
    QList<Element> a;  // the two elements of "a"
    qint64 total;      // up to the end of the pause after the character
  } cases[] = {
      {10, {{0, 60}, {105, 285}}, 465},    // 20 wpm: unit 60, gap 45, letter space 75
      {52, {{0, 102}, {178, 484}}, 790},   // 12 wpm: unit 102, gap 76.5 -> 76, 127.5 -> 128
      {-20, {{0, 30}, {52, 142}}, 232},    // 40 wpm: unit 30, gap 22.5 -> 22, 37.5 -> 38
      {70, {{0, 120}, {210, 570}}, 930},   // 10 wpm: unit 120, gap 90, letter space 150
  };
  for (const auto& c : cases) {
    serial.clearEvents();
    clock.nowMs = 0;
    keyer.setSpeedOffset(c.offset);
    EXPECT_EQ(send("a"), c.total) << c.offset;
    EXPECT_EQ(elements(), c.a) << c.offset;
  }
}

TEST_F(Keyer, LettersAreThreeUnitsApartAndWordsFiveAndAQuarter) {
  keyer.setSpeedOffset(10);
  const qint64 took = send("CQ TEST");
  EXPECT_EQ(heard(60), "-.-. --.- / - . ... -");
  const QList<Element> keyed = elements();
  // The end of "c" to "q", and the end of "q" to "t" across the blank.
  EXPECT_EQ(keyed[4].down - keyed[3].up, 3 * 60);
  EXPECT_EQ(keyed[8].down - keyed[7].up, 315);  // 5.25 units
  // The last element, its gap, the letter space and the pause after the character.
  EXPECT_EQ(took, keyed.last().up + 45 + 75 + 60);
  EXPECT_EQ(panel.sentText.first(), "");
  EXPECT_EQ(panel.sentText.last(), "CQ TEST");
  EXPECT_TRUE(keyer.pendingText().isEmpty());
  EXPECT_FALSE(keyer.sending());
}

TEST_F(Keyer, WhatACharacterCostsWhenItKeysNothing) {
  const struct {
    const char* text;
    qint64 time;
    qsizetype elements;
  } cases[] = {
      {"+", 50, 0},     // before any character the unit base is 0
      {" ", 112, 0},    // and a first blank spaces 62.5 -> 62 and pauses 50
      {"e", 240, 1},    // 60 down, gap 45, letter space 75, pause 60
      {"e+", 300, 1},   // "+" and "-" key nothing and cost the pause
      {"e-", 300, 1},
      {"e\r", 300, 1},  // so does a carriage return
      {"e ", 375, 1},   // a blank: the letter space and the pause
      {"e\"", 240, 1},  // a double quote and a line feed cost nothing
      {"e\n", 240, 1},
  };
  for (const auto& c : cases) {
    CwKeyer fresh{panel, &clock};
    fresh.setKeyLine(line.get(), SerialSignal::Dtr);
    fresh.setSpeedOffset(10);
    serial.clearEvents();
    const qint64 took = sendWith(fresh, QString::fromLatin1(c.text));
    const std::string name = QByteArray(c.text).toPercentEncoding().toStdString();
    EXPECT_EQ(took, c.time) << name;
    EXPECT_EQ(elements().size(), c.elements) << name;
  }
}

TEST_F(Keyer, CharactersThatShareAPatternKeyAlike) {
  const struct {
    const char* a;
    const char* b;
  } pairs[] = {{"(", ")"}, {"\\", "/"}, {"CQ", "cq"}};
  for (const auto& p : pairs) {
    keyer.setSpeedOffset(10);
    serial.clearEvents();
    clock.nowMs = 0;
    send(p.a);
    const QList<Element> first = elements();
    serial.clearEvents();
    clock.nowMs = 0;
    send(p.b);
    EXPECT_EQ(elements(), first) << p.a << " " << p.b;
    EXPECT_FALSE(first.isEmpty());
  }
  // The label shows what was taken, upper-cased.
  EXPECT_EQ(panel.sentText.last(), "CQ");
}

TEST_F(Keyer, ALongQueueIsCutAfterFiveHundredAndOneCharacters) {
  keyer.setSpeedOffset(-20);
  send(QString(600, 'e'));
  EXPECT_EQ(elements().size(), 501);
  EXPECT_TRUE(keyer.pendingText().isEmpty());
}

TEST_F(Keyer, EscLetsTheCharacterFinishThenEndsTheSendForGood) {
  keyer.setSpeedOffset(10);
  clock.onTick = [this](qint64 t) {
    if (t == 100) keyer.RequestStop();
  };
  send("test");
  clock.onTick = nullptr;
  EXPECT_EQ(heard(60), "-");
  EXPECT_TRUE(keyer.pendingText().isEmpty());
  EXPECT_FALSE(keyer.stopRequested());
  EXPECT_EQ(panel.locks, QList<bool>({true, false}));
  EXPECT_EQ(panel.sentText.last(), "T");
  // Nothing of the stopped text comes later.
  serial.clearEvents();
  send("e");
  EXPECT_EQ(heard(60), ".");
}

TEST_F(Keyer, AnEscPressedWhileIdleDoesNotCutTheNextSendShort) {
  keyer.setSpeedOffset(10);
  keyer.RequestStop();
  send("ee");
  EXPECT_EQ(heard(60), ". .");
}

TEST_F(Keyer, AMacroDuringASendIsKeyedAfterWhatIsBeingKeyed) {
  keyer.setSpeedOffset(10);
  clock.onTick = [this](qint64 t) {
    if (t == 100) keyer.SendCwBuffer(QStringLiteral("T"));  // in the middle of the first "c"
  };
  send("cc");
  clock.onTick = nullptr;
  EXPECT_EQ(heard(60), "-.-. -.-. -");
  EXPECT_EQ(panel.sentText.last(), "CCT");
  EXPECT_EQ(panel.locks, QList<bool>({true, false}));
}

TEST_F(Keyer, ANewSpeedTakesEffectAtTheNextCharacter) {
  keyer.setSpeedOffset(10);
  clock.onTick = [this](qint64 t) {
    if (t == 1) keyer.setSpeedOffset(70);  // once the first element is keyed
  };
  send("ee");
  clock.onTick = nullptr;
  const QList<Element> keyed = elements();
  ASSERT_EQ(keyed.size(), 2);
  EXPECT_EQ(keyed[0].length(), 60);
  EXPECT_EQ(keyed[1].length(), 120);
  // Between them: the gap, letter space and pause of the first character's speed.
  EXPECT_EQ(keyed[1].down - keyed[0].up, 45 + 75 + 60);
}

TEST_F(Keyer, TheKeyIsTheLineChosen) {
  keyer.setKeyLine(line.get(), SerialSignal::Rts);
  keyer.setSpeedOffset(10);
  serial.clearEvents();
  send("e");
  EXPECT_EQ(elements(SerialSignal::Dtr).size(), 0);
  EXPECT_EQ(elements(SerialSignal::Rts), QList<Element>({{0, 60}}));
  EXPECT_EQ(panel.indicator.mid(panel.indicator.size() - 2), QList<bool>({true, false}));
}

TEST_F(Keyer, WithoutAnOpenPortNothingShowsAKey) {
  for (bool closed : {false, true}) {
    if (closed) {
      keyer.setKeyLine(line.get(), SerialSignal::Dtr);
      line->close();
    } else {
      keyer.setKeyLine(nullptr, SerialSignal::Dtr);
    }
    deliverPosted();
    panel.indicator.clear();
    serial.clearEvents();
    send("i");
    keyer.CwKeyDown();
    deliverPosted();
    EXPECT_TRUE(serial.lineLog().isEmpty()) << closed;
    EXPECT_FALSE(panel.indicator.contains(true)) << closed;
    EXPECT_EQ(panel.sentText.last(), "I") << closed;
  }
}

TEST_F(Keyer, ManualKeyingHoldsTheLineUntilReleasedOrTheLineChanges) {
  keyer.CwKeyDown();
  keyer.CwKeyDown();  // key repeat
  EXPECT_EQ(serial.lineLog(), QStringList{"ttyUSB0 DTR 1"});
  keyer.CwKeyUp();
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));

  // Focus or activation lost while the key is held.
  keyer.CwKeyDown();
  keyer.ReleaseManualKey();
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));
  EXPECT_FALSE(keyer.manualKeyDown());

  // The other line chosen while the key is held: both lines go down, and the key
  // comes up on the new line only when pressed again.
  keyer.CwKeyDown();
  keyer.setKeyLine(line.get(), SerialSignal::Rts);
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Rts));
  keyer.CwKeyDown();
  EXPECT_TRUE(serial.level("ttyUSB0", SerialSignal::Rts));
  keyer.CwKeyUp();
  deliverPosted();
  EXPECT_EQ(panel.indicator.last(), false);
}

TEST_F(Keyer, AbortInTheMiddleOfADashDropsTheKeyThereAndEndsTheSend) {
  keyer.setSpeedOffset(10);
  clock.holdAtMs = 100;  // 100 ms into the first dash of "c"
  keyer.SendCwBuffer(QStringLiteral("cq"));
  ASSERT_TRUE(clock.waitForHold());
  EXPECT_TRUE(serial.level("ttyUSB0", SerialSignal::Dtr));
  keyer.Abort();
  EXPECT_FALSE(keyer.sending());
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Rts));
  EXPECT_EQ(elements(), QList<Element>({{0, 100}}));
  EXPECT_TRUE(keyer.pendingText().isEmpty());
  deliverPosted();
  EXPECT_EQ(panel.locks, QList<bool>({true, false}));
  EXPECT_EQ(panel.indicator.last(), false);
  // The keyer sends again afterwards.
  serial.clearEvents();
  send("e");
  EXPECT_EQ(heard(60), ".");
}

TEST_F(Keyer, AfterTheProgramReleasedTheLinesNothingRaisesThemAgain) {
  keyer.setSpeedOffset(10);
  clock.holdAtMs = 30;  // in the first dash of "c"
  keyer.SendCwBuffer(QStringLiteral("cq"));
  ASSERT_TRUE(clock.waitForHold());
  ReleaseAllSerialLines();
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Rts));
  clock.letGo = true;
  // The send cannot raise the key: it ends at the next key-down.
  EXPECT_TRUE(keyer.waitForIdle());
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));
  EXPECT_EQ(serial.lineLog().count("ttyUSB0 DTR 1"), 1);
  RestoreSerialLinesAfterRelease();
}

TEST_F(Keyer, AFailingLineIsRetriedOnceThenReportedOnceAndTheSendEnds) {
  keyer.setSpeedOffset(10);
  serial.setLineFailure("ttyUSB0", "Error de entrada/salida");
  send("ee");
  EXPECT_TRUE(elements().isEmpty());
  EXPECT_FALSE(keyer.sending());
  EXPECT_EQ(panel.failures, QStringList{"Error de entrada/salida"});
  EXPECT_EQ(panel.sentText.last(), "E");
  EXPECT_FALSE(panel.indicator.contains(true));
  // Still failing: not told again until a line is chosen again.
  send("e");
  keyer.CwKeyDown();
  deliverPosted();
  EXPECT_FALSE(keyer.manualKeyDown());
  EXPECT_EQ(panel.failures.size(), 1);
  keyer.setKeyLine(line.get(), SerialSignal::Dtr);
  send("e");
  EXPECT_EQ(panel.failures.size(), 2);
  // A line that fails once is keyed on the retry, with nothing to tell.
  serial.setLineFailure("ttyUSB0", "Error de entrada/salida", 1);
  keyer.setKeyLine(line.get(), SerialSignal::Dtr);
  serial.clearEvents();
  panel.failures.clear();
  send("e");
  EXPECT_EQ(heard(60), ".");
  EXPECT_TRUE(panel.failures.isEmpty());
}

TEST(SteadyClock, AWaitEndsAtItsDeadlineOrWhenInterrupted) {
  SteadyCwClock clock;
  std::atomic<bool> interrupted{false};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(clock.waitUntil(start + std::chrono::milliseconds(15), interrupted));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
  // An interruption from another thread ends a long wait early.
  std::thread other([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    interrupted = true;
    clock.wake();
  });
  EXPECT_FALSE(clock.waitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(30), interrupted));
  other.join();
}

class KeyerFiles : public ::testing::Test {
 protected:
  test::TempFolder folder{false};
};

TEST_F(KeyerFiles, PortSettingsAreTwoLinesWithTheLineAsANumber) {
  ASSERT_TRUE(SaveCwPortSettings(QStringLiteral("ttyUSB0"), true).ok);
  QFile f(folder.file("varCW.cfg"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("ttyUSB0\r\n 1 \r\n"));
  f.close();
  ASSERT_TRUE(SaveCwPortSettings(QString(), false).ok);
  EXPECT_EQ(folder.readLines("varCW.cfg"), QStringList({"", " 0 "}));
}

TEST_F(KeyerFiles, OnlyALineReadingAsOneMeansDtr) {
  EXPECT_FALSE(ReadCwPortSettings().has_value());
  const struct {
    QStringList lines;
    const char* port;
    bool dtr;
  } cases[] = {
      {{"ttyS0", " 1 "}, "ttyS0", true}, {{"ttyS0", " 0 "}, "ttyS0", false}, {{"COM3", " 2 "}, "COM3", false},
      {{"COM3", "1"}, "COM3", true},     {{"COM3"}, "COM3", false},          {{}, "", false},
  };
  for (const auto& c : cases) {
    folder.writeLines("varCW.cfg", c.lines);
    const auto s = ReadCwPortSettings();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->port, c.port) << c.lines.join('|').toStdString();
    EXPECT_EQ(s->dtr, c.dtr) << c.lines.join('|').toStdString();
  }
}

TEST_F(KeyerFiles, DarkBackgroundIsOneNumberLine) {
  EXPECT_FALSE(ReadDarkBackgroundSetting().has_value());
  ASSERT_TRUE(SaveDarkBackgroundSetting(true).ok);
  EXPECT_EQ(folder.readLines("varOsc.cfg"), QStringList({" 1 "}));
  EXPECT_EQ(ReadDarkBackgroundSetting(), true);
  ASSERT_TRUE(SaveDarkBackgroundSetting(false).ok);
  EXPECT_EQ(ReadDarkBackgroundSetting(), false);
  folder.writeLines("varOsc.cfg", {"x"});
  EXPECT_EQ(ReadDarkBackgroundSetting(), false);
}

TEST_F(KeyerFiles, AFolderThatCannotBeWrittenIsReported) {
  setProgramFolder(folder.file("no/such/folder"));
  const Status port = SaveCwPortSettings(QStringLiteral("ttyS0"), true);
  EXPECT_FALSE(port.ok);
  EXPECT_FALSE(port.error.isEmpty());
  EXPECT_FALSE(SaveDarkBackgroundSetting(true).ok);
  setProgramFolder(folder.path());
}

}  // namespace
