#include "contest/cwkeyer.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <iterator>
#include <thread>

#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/textutil.h"

namespace vz {

namespace {

const QHash<QChar, QString>& morseTable() {
  static const QHash<QChar, QString> table = [] {
    const std::pair<char, const char*> entries[] = {
        {'a', ".-"},     {'b', "-..."},   {'c', "-.-."},   {'d', "-.."},    {'e', "."},      {'f', "..-."},
        {'g', "--."},    {'h', "...."},   {'i', ".."},     {'j', ".---"},   {'k', "-.-"},    {'l', ".-.."},
        {'m', "--"},     {'n', "-."},     {'o', "---"},    {'p', ".--."},   {'q', "--.-"},   {'r', ".-."},
        {'s', "..."},    {'t', "-"},      {'u', "..-"},    {'v', "...-"},   {'w', ".--"},    {'x', "-..-"},
        {'y', "-.--"},   {'z', "--.."},   {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
        {'4', "....-"},  {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},  {'9', "----."},
        {',', "--..--"}, {'.', ".-.-.-"}, {'/', "-..-."},  {'\\', "-..-."}, {'=', "-...-"},  {'?', "..--.."},
        {':', "---..."}, {'(', "-.--.-"}, {')', "-.--.-"}, {'\'', ".-..-."},
        // Prosigns: AS, KN, AR, SN, BK; ">" is three V run together, "<" S and K.
        {'*', ".-..."},  {'@', "-.--."},  {'&', ".-.-."},  {'%', "...-."},  {'~', "-...-.-"},
        {'>', "...-...-...-"}, {'<', "...-.-"}};
    QHash<QChar, QString> t;
    for (const auto& [c, p] : entries) t.insert(QChar(QLatin1Char(c)), QString::fromLatin1(p));
    return t;
  }();
  return table;
}

// Words per minute 10 to 40 on the speed bar, and the speed value each gives.
constexpr int kSpeedOffsets[] = {70, 60, 52, 44, 36, 30, 25, 21, 17, 13, 10, 6,   3,   1,   -1,  -2,
                                 -4, -5, -6, -8, -10, -11, -12, -14, -15, -16, -17, -18, -19, -19, -20};
constexpr int kSlowestWpm = 10;
constexpr int kFastestWpm = 40;
static_assert(std::size(kSpeedOffsets) == kFastestWpm - kSlowestWpm + 1);

const QString kDtr = QStringLiteral("DTR");
const QString kRts = QStringLiteral("RTS");

// Text sent at most after the character being taken: a longer queue is cut there.
constexpr qsizetype kBufferLimit = 500;

}  // namespace

std::optional<QString> MorsePattern(QChar c) {
  const auto it = morseTable().constFind(c.toLower());
  if (it == morseTable().constEnd()) return std::nullopt;
  return *it;
}

int CwSpeedOffsetForWpm(int wpm) {
  const int clamped = std::clamp(wpm, kSlowestWpm, kFastestWpm);
  return kSpeedOffsets[clamped - kSlowestWpm];
}

long long CwTiming::gap() const {
  // 0.75 U to the nearest millisecond, an exact half to the even neighbour.
  if (unit <= 0) return 0;
  const long long whole = 3 * unit / 4;
  const long long rest = 3 * unit % 4;
  return rest > 2 || (rest == 2 && whole % 2 == 1) ? whole + 1 : whole;
}

void BusyWaitMs(long long ms, const std::function<std::chrono::steady_clock::time_point()>& now,
                const std::function<void(std::chrono::nanoseconds)>& yield) {
  const auto target = now() + std::chrono::milliseconds(std::max(ms, 0LL));
  for (;;) {
    const auto reading = now();
    yield(target - reading);
    if (reading >= target) return;
  }
}

void EventLoopPacer::DelayMs(long long ms) {
  BusyWaitMs(ms, [] { return std::chrono::steady_clock::now(); },
             [](std::chrono::nanoseconds left) {
               QCoreApplication::processEvents();
               // Far from the end, rest a little between polls rather than spin a core;
               // near it, poll without a pause so the element ends on time.
               if (left > std::chrono::milliseconds(2)) std::this_thread::sleep_for(std::chrono::microseconds(500));
             });
}

void EventLoopPacer::DoEvents() { QCoreApplication::processEvents(); }

void CwKeyer::SendCwBuffer() {
  // A send running further up the stack keys what was just appended, after the
  // character it is in the middle of: a second loop here would key the new text
  // between that character's elements.
  if (sending_) return;
  sending_ = true;
  CwStopRequested = false;
  sentText_.clear();
  panel_.showSentText(sentText_);
  panel_.setPortControlsLocked(true);
  CwSendBuffer = CwSendBuffer.toLower();
  for (;;) {
    const QString taken = CwSendBuffer.left(1);
    sentText_ += taken.toUpper();
    panel_.showSentText(sentText_);
    pacer_.DoEvents();
    CwSendBuffer = CwSendBuffer.mid(1, kBufferLimit);
    pacer_.DoEvents();
    if (taken.isEmpty()) break;
    const QChar c = taken.at(0);
    if (c != QLatin1Char('\n') && c != QLatin1Char('"')) {
      dekod(c);
      pacer_.DelayMs(timing().unit);
    }
    if (CwStopRequested) break;
  }
  CwStopRequested = false;
  CwSendBuffer.clear();
  panel_.setPortControlsLocked(false);
  sending_ = false;
}

void CwKeyer::dekod(QChar c) {
  if (c == QLatin1Char(' ')) {
    betuszunet();
    return;
  }
  if (const auto pattern = MorsePattern(c)) cw(*pattern);
}

void CwKeyer::cw(const QString& pattern) {
  unitBase_ = CwSpeedOffset;
  for (const QChar e : pattern) {
    if (e == QLatin1Char('-')) {
      SendDash();
      pacer_.DelayMs(timing().gap());
    } else if (e == QLatin1Char('.')) {
      SendDot();
      pacer_.DelayMs(timing().gap());
    }
  }
  betuszunet();
}

void CwKeyer::SendDot() {
  CwKeyDown();
  pacer_.DelayMs(timing().dot());
  CwKeyUp();
}

void CwKeyer::SendDash() {
  CwKeyDown();
  pacer_.DelayMs(timing().dash());
  CwKeyUp();
}

// The letter space: no length of its own (the gap after the last element and the
// pause after each character space the letters), but the event loop runs once.
void CwKeyer::betuszunet() { pacer_.DelayMs(0); }

void CwKeyer::CwKeyDown() {
  SetKeyLineOn(panel_.keyerUsesDtr() ? kDtr : kRts);
  pacer_.DoEvents();
  pacer_.DoEvents();
}

void CwKeyer::CwKeyUp() {
  SetKeyLineOff(panel_.keyerUsesDtr() ? kDtr : kRts);
  pacer_.DoEvents();
}

void CwKeyer::SetKeyLineOn(const QString& line) { setKeyLine(line, true); }
void CwKeyer::SetKeyLineOff(const QString& line) { setKeyLine(line, false); }

void CwKeyer::setKeyLine(const QString& line, bool on) {
  SerialLine* port = panel_.keyerPort();
  if (port && port->isOpen()) {
    // A failing line is ignored: keying goes on and the indicator still follows.
    if (line == kDtr) (void)port->setSignal(SerialSignal::Dtr, on);
    if (line == kRts) (void)port->setSignal(SerialSignal::Rts, on);
  }
  panel_.showKeyIndicator(on);
}

Status SaveCwPortSettings(const QString& port, bool dtr) {
  QString error;
  if (!writeTextLines(programFile(QStringLiteral("varCW.cfg")), {port, numberLine(dtr ? 1 : 0)}, &error))
    return Status::failure(error);
  return Status::success();
}

std::optional<CwPortSettings> ReadCwPortSettings() {
  QStringList lines;
  const QString path = programFile(QStringLiteral("varCW.cfg"));
  if (!QFile::exists(path) || !readTextLines(path, &lines)) return std::nullopt;
  CwPortSettings s;
  s.port = lines.value(0);
  s.dtr = vbVal(lines.value(1)) == 1;
  return s;
}

Status SaveDarkBackgroundSetting(bool dark) {
  QString error;
  if (!writeTextLines(programFile(QStringLiteral("varOsc.cfg")), {numberLine(dark ? 1 : 0)}, &error))
    return Status::failure(error);
  return Status::success();
}

std::optional<bool> ReadDarkBackgroundSetting() {
  QStringList lines;
  const QString path = programFile(QStringLiteral("varOsc.cfg"));
  if (!QFile::exists(path) || !readTextLines(path, &lines)) return std::nullopt;
  return vbVal(lines.value(0)) == 1;
}

}  // namespace vz
