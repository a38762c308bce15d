#include "contest/cwkeyer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTimer>

#include "platform/programfolder.h"
#include "support/fakeserial.h"
#include "support/tempfolder.h"

using namespace vz;
using vz::test::FakeSerialSystem;

namespace {

// Virtual time: each wait moves the clock on by exactly its length, then hands
// control to the "event loop", which runs whatever the test put there.
class VirtualPacer : public CwPacer {
 public:
  qint64 nowMs = 0;
  std::function<void()> onEvents;
  void DelayMs(long long ms) override {
    nowMs += std::max(ms, 0LL);
    DoEvents();
  }
  void DoEvents() override {
    if (onEvents) onEvents();
  }
};

class RecordingPanel : public CwKeyerPanel {
 public:
  SerialLine* port = nullptr;
  bool dtr = true;
  QList<bool> indicator;
  QStringList sentText;
  QList<bool> locks;

  SerialLine* keyerPort() override { return port; }
  bool keyerUsesDtr() const override { return dtr; }
  void showKeyIndicator(bool down) override { indicator << down; }
  void showSentText(const QString& text) override { sentText << text; }
  void setPortControlsLocked(bool locked) override { locks << locked; }
};

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
    serial.timeSource = [this] { return pacer.nowMs; };
    line = serial.createLine();
    ASSERT_TRUE(line->open(QStringLiteral("ttyUSB0")).ok);
    serial.clearEvents();
    panel.port = line.get();
  }

  // The key-downs of one line, as the fake port saw them.
  QList<Element> elements(SerialSignal signal = SerialSignal::Dtr) const {
    QList<Element> out;
    qint64 downAt = -1;
    for (const auto& e : serial.events) {
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
    const qint64 gap = CwTiming{unit}.gap();
    QString out;
    for (qsizetype i = 0; i < keyed.size(); ++i) {
      if (i > 0) {
        const qint64 space = keyed[i].down - keyed[i - 1].up;
        if (space == gap + unit) out += QLatin1Char(' ');
        else if (space == gap + 2 * unit) out += QStringLiteral(" / ");
        else if (space != gap) out += QStringLiteral(" ?%1? ").arg(space);
      }
      const qint64 len = keyed[i].length();
      out += len == unit       ? QStringLiteral(".")
             : len == 3 * unit ? QStringLiteral("-")
                               : QStringLiteral("?%1?").arg(len);
    }
    return out;
  }

  qint64 send(const QString& text) {
    const qint64 start = pacer.nowMs;
    keyer.CwSendBuffer += text;
    keyer.SendCwBuffer();
    return pacer.nowMs - start;
  }

  FakeSerialSystem serial;
  std::unique_ptr<SerialLine> line;
  VirtualPacer pacer;
  RecordingPanel panel;
  CwKeyer keyer{panel, pacer};
};

TEST(CwTimingTable, TheGapIsThreeQuartersOfAUnitRoundedHalfToEven) {
  const struct {
    long long unit, gap;
  } cases[] = {{60, 45}, {102, 76}, {42, 32}, {30, 22}, {120, 90}, {50, 38}, {1, 1}, {2, 2}, {0, 0}, {-5, 0}};
  for (const auto& c : cases) EXPECT_EQ(CwTiming{c.unit}.gap(), c.gap) << c.unit;
  EXPECT_EQ(CwTiming::forSpeedOffset(10).dot(), 60);
  EXPECT_EQ(CwTiming::forSpeedOffset(10).dash(), 180);
}

TEST(CwSpeedBar, WordsPerMinuteGiveTheSpeedValue) {
  const struct {
    int wpm, offset;
  } cases[] = {{10, 70}, {12, 52}, {15, 30}, {20, 10}, {23, 1}, {24, -1}, {30, -10},
               {38, -19}, {39, -19}, {40, -20}, {9, 70}, {0, 70}, {41, -20}};
  for (const auto& c : cases) EXPECT_EQ(CwSpeedOffsetForWpm(c.wpm), c.offset) << c.wpm;
  // Faster never gives a longer unit.
  for (int wpm = 11; wpm <= 40; ++wpm) EXPECT_LE(CwSpeedOffsetForWpm(wpm), CwSpeedOffsetForWpm(wpm - 1)) << wpm;
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
      {10, {{0, 60}, {105, 285}}, 390},    // 20 wpm: unit 60, gap 45
      {52, {{0, 102}, {178, 484}}, 662},   // 12 wpm: unit 102, gap 76.5 -> 76
      {-20, {{0, 30}, {52, 142}}, 194},    // 40 wpm: unit 30, gap 22.5 -> 22
      {70, {{0, 120}, {210, 570}}, 780},   // 10 wpm: unit 120, gap 90
  };
  for (const auto& c : cases) {
    serial.clearEvents();
    pacer.nowMs = 0;
    keyer.CwSpeedOffset = c.offset;
    EXPECT_EQ(send("a"), c.total) << c.offset;
    EXPECT_EQ(elements(), c.a) << c.offset;
  }
}

TEST_F(Keyer, CqTestIsKeyedWithItsLetterAndWordSpaces) {
  keyer.CwSpeedOffset = 10;
  const qint64 took = send("CQ TEST");
  EXPECT_EQ(heard(60), "-.-. --.- / - . ... -");
  // The last element, its gap and the pause after the character.
  EXPECT_EQ(took, elements().last().up + 45 + 60);
  EXPECT_EQ(panel.sentText.last(), "CQ TEST");
  EXPECT_TRUE(keyer.CwSendBuffer.isEmpty());
  EXPECT_FALSE(keyer.sending());
}

TEST_F(Keyer, WhatACharacterCostsWhenItKeysNothing) {
  const struct {
    const char* text;
    qint64 time;
    qsizetype elements;
  } cases[] = {
      {"+", 50, 0},     // before any character the unit base is 0
      {"e", 165, 1},    // 60 down, gap 45, pause 60
      {"e+", 225, 1},   // "+" and "-" key nothing and cost the pause
      {"e-", 225, 1},
      {"e\r", 225, 1},  // so does a carriage return
      {"e ", 225, 1},   // a blank: only the pause
      {"e\"", 165, 1},  // a double quote and a line feed cost nothing
      {"e\n", 165, 1},
  };
  for (const auto& c : cases) {
    CwKeyer fresh{panel, pacer};
    fresh.CwSpeedOffset = 10;
    serial.clearEvents();
    const qint64 start = pacer.nowMs;
    fresh.CwSendBuffer = QString::fromLatin1(c.text);
    fresh.SendCwBuffer();
    EXPECT_EQ(pacer.nowMs - start, c.time) << QByteArray(c.text).toPercentEncoding().toStdString();
    EXPECT_EQ(elements().size(), c.elements) << QByteArray(c.text).toPercentEncoding().toStdString();
  }
}

TEST_F(Keyer, CharactersThatShareAPatternKeyAlike) {
  const struct {
    const char* a;
    const char* b;
  } pairs[] = {{"(", ")"}, {"\\", "/"}, {"CQ", "cq"}};
  for (const auto& p : pairs) {
    keyer.CwSpeedOffset = 10;
    serial.clearEvents();
    pacer.nowMs = 0;
    send(p.a);
    const QList<Element> first = elements();
    serial.clearEvents();
    pacer.nowMs = 0;
    send(p.b);
    EXPECT_EQ(elements(), first) << p.a << " " << p.b;
    EXPECT_FALSE(first.isEmpty());
  }
  // The label shows what was taken, upper-cased.
  EXPECT_EQ(panel.sentText.last(), "CQ");
}

TEST_F(Keyer, ALongQueueIsCutAfterFiveHundredAndOneCharacters) {
  keyer.CwSpeedOffset = -20;
  send(QString(600, 'e'));
  EXPECT_EQ(elements().size(), 501);
  EXPECT_TRUE(keyer.CwSendBuffer.isEmpty());
}

TEST_F(Keyer, EscLetsTheCharacterFinishThenEndsTheSendForGood) {
  keyer.CwSpeedOffset = 10;
  pacer.onEvents = [this] {
    if (pacer.nowMs >= 100) keyer.CwStopRequested = true;
  };
  send("test");
  pacer.onEvents = nullptr;
  EXPECT_EQ(heard(60), "-");
  EXPECT_TRUE(keyer.CwSendBuffer.isEmpty());
  EXPECT_FALSE(keyer.CwStopRequested);
  EXPECT_EQ(panel.locks, QList<bool>({true, false}));
  EXPECT_EQ(panel.sentText.last(), "T");
  // Nothing of the stopped text comes later.
  serial.clearEvents();
  send("e");
  EXPECT_EQ(heard(60), ".");
}

TEST_F(Keyer, AnEscPressedWhileIdleDoesNotCutTheNextSendShort) {
  keyer.CwSpeedOffset = 10;
  keyer.CwStopRequested = true;
  send("ee");
  EXPECT_EQ(heard(60), ". .");
}

TEST_F(Keyer, AMacroDuringASendIsKeyedAfterWhatIsBeingKeyed) {
  keyer.CwSpeedOffset = 10;
  bool pressed = false;
  qsizetype keyedWhenPressed = -1, keyedWhenReturned = -1;
  pacer.onEvents = [&] {
    if (pressed || pacer.nowMs < 100) return;  // in the middle of the first "c"
    pressed = true;
    keyedWhenPressed = elements().size();
    keyer.CwSendBuffer += QStringLiteral("T");
    keyer.SendCwBuffer();
    keyedWhenReturned = elements().size();
  };
  send("cc");
  pacer.onEvents = nullptr;
  EXPECT_TRUE(pressed);
  EXPECT_EQ(keyedWhenReturned, keyedWhenPressed);
  EXPECT_EQ(heard(60), "-.-. -.-. -");
  EXPECT_EQ(panel.sentText.last(), "CCT");
  EXPECT_EQ(panel.locks, QList<bool>({true, false}));
}

TEST_F(Keyer, ANewSpeedTakesEffectAtTheNextCharacter) {
  keyer.CwSpeedOffset = 10;
  pacer.onEvents = [this] {
    if (pacer.nowMs > 0) keyer.CwSpeedOffset = 70;  // once the first element is keyed
  };
  send("ee");
  pacer.onEvents = nullptr;
  const QList<Element> keyed = elements();
  ASSERT_EQ(keyed.size(), 2);
  EXPECT_EQ(keyed[0].length(), 60);
  EXPECT_EQ(keyed[1].length(), 120);
  // Between them: the gap and pause of the first character's speed.
  EXPECT_EQ(keyed[1].down - keyed[0].up, 45 + 60);
}

TEST_F(Keyer, TheKeyIsTheLineTheBoxesChoose) {
  panel.dtr = false;
  keyer.CwSpeedOffset = 10;
  send("e");
  EXPECT_EQ(elements(SerialSignal::Dtr).size(), 0);
  EXPECT_EQ(elements(SerialSignal::Rts), QList<Element>({{0, 60}}));
  EXPECT_EQ(panel.indicator, QList<bool>({true, false}));
}

TEST_F(Keyer, WithoutAnOpenPortOnlyTheIndicatorFollowsTheKey) {
  for (bool closed : {false, true}) {
    if (closed) {
      panel.port = line.get();
      line->close();
    } else {
      panel.port = nullptr;
    }
    panel.indicator.clear();
    serial.clearEvents();
    send("i");
    EXPECT_TRUE(serial.lineLog().isEmpty()) << closed;
    EXPECT_EQ(panel.indicator, QList<bool>({true, false, true, false})) << closed;
  }
}

TEST_F(Keyer, ManualKeyingHoldsTheLineAndAnUnknownLineOnlyMovesTheIndicator) {
  keyer.CwKeyDown();
  keyer.CwKeyDown();  // key repeat
  EXPECT_TRUE(serial.level("ttyUSB0", SerialSignal::Dtr));
  keyer.CwKeyUp();
  EXPECT_FALSE(serial.level("ttyUSB0", SerialSignal::Dtr));
  serial.clearEvents();
  panel.indicator.clear();
  keyer.SetKeyLineOn(QStringLiteral("CTS"));
  keyer.SetKeyLineOff(QStringLiteral("CTS"));
  EXPECT_TRUE(serial.lineLog().isEmpty());
  EXPECT_EQ(panel.indicator, QList<bool>({true, false}));
}

TEST(BusyWait, ReadsTheClockUntilAReadingReachesTheTarget) {
  using namespace std::chrono;
  const struct {
    long long ms;
    milliseconds step;  // the clock moves on this much at each hand-over
    QList<milliseconds> left;
  } cases[] = {
      {0, 1ms, {0ms}},
      {-3, 1ms, {0ms}},
      {5, 1ms, {5ms, 4ms, 3ms, 2ms, 1ms, 0ms}},
      {5, 7ms, {5ms, -2ms}},
  };
  for (const auto& c : cases) {
    steady_clock::time_point t{};
    QList<milliseconds> left;
    BusyWaitMs(c.ms, [&] { return t; },
               [&](nanoseconds l) {
                 left << duration_cast<milliseconds>(l);
                 t += c.step;
               });
    EXPECT_EQ(left, c.left) << c.ms;
  }
}

TEST(BusyWait, TheProgramsPacerWaitsAtLeastTheTimeAndKeepsEventsRunning) {
  EventLoopPacer pacer;
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  QElapsedTimer elapsed;
  elapsed.start();
  pacer.DelayMs(15);
  EXPECT_GE(elapsed.elapsed(), 15);
  EXPECT_TRUE(ran);
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
