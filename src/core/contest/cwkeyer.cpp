#include "contest/cwkeyer.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <iterator>

#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

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

namespace {

// n / d to the nearest whole number, an exact half to the even neighbour; 0 for a
// negative n.
long long roundHalfEven(long long n, long long d) {
  if (n <= 0) return 0;
  const long long whole = n / d;
  const long long rest2 = 2 * (n % d);
  return rest2 > d || (rest2 == d && whole % 2 == 1) ? whole + 1 : whole;
}

// A keyer that comes this late to an element starts it from the moment it got there:
// the element that was late absorbs the delay, and the following ones keep their
// lengths instead of being cut short to catch up (which made one late wake-up two
// wrong elements). Below it, the microseconds each step costs are made up, so they
// do not add up over a text.
constexpr auto kLateLimit = std::chrono::microseconds(500);

// How long before a deadline the steady clock stops sleeping and spins. On a busy
// system a sleeping thread, even a real-time one, was measured waking up to a few
// milliseconds late; the spin costs a few per cent of one core while Morse is sent.
constexpr auto kSpin = std::chrono::microseconds(2500);

// Stack the keyer's thread touches and locks before it keys: its deepest calls use a
// few kilobytes.
constexpr size_t kKeyerStack = 128 * 1024;

}  // namespace

long long CwTiming::gap() const { return roundHalfEven(CwGapUnits::num * unit, CwGapUnits::den); }
long long CwTiming::letterSpace() const {
  return roundHalfEven(CwLetterSpaceUnits::num * unit, CwLetterSpaceUnits::den);
}

bool SteadyCwClock::waitUntil(time_point deadline, const std::atomic<bool>& interrupted) {
  {
    std::unique_lock lock(mutex_);
    cv_.wait_until(lock, deadline - kSpin, [&] { return interrupted.load(); });
  }
  while (!interrupted.load()) {
    if (std::chrono::steady_clock::now() >= deadline) return true;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
  return false;
}

void SteadyCwClock::wake() {
  const std::lock_guard lock(mutex_);
  cv_.notify_all();
}

QString CwTimingWarningText() {
  return QStringLiteral("Sin prioridad de tiempo real: con el equipo ocupado, el CW puede variar.");
}

struct CwKeyer::RealtimeRequest {
  std::mutex mutex;
  std::condition_variable cv;
  CwKeyer* keyer = nullptr;  // under mutex; nullptr once the keyer is gone
  bool threadReady = false;  // under mutex: the keyer's thread tried SCHED_FIFO
  bool fifo = false;         // under mutex
  pid_t tid = 0;             // under mutex
  std::atomic<CwScheduling> scheduling{CwScheduling::Pending};
  // The whole question, the connection to the bus included, ends by then.
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + kCwRealtimeBudget;
  // Readable once the keyer is gone: the question is given up at once.
  const int cancelFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  ~RealtimeRequest() {
    if (cancelFd >= 0) ::close(cancelFd);
  }
  // The keyer is gone, or the program ends: the question is given up and nobody hears
  // its outcome. Returns at once.
  void giveUp() {
    {
      const std::lock_guard lock(mutex);
      keyer = nullptr;
    }
    cv.notify_all();
    if (cancelFd >= 0) {
      const quint64 one = 1;
      (void)!::write(cancelFd, &one, sizeof(one));
    }
  }
};

CwKeyer::CwKeyer(CwKeyerPanel& panel, CwClock* clock)
    : panel_(panel),
      ownClock_(clock ? nullptr : std::make_unique<SteadyCwClock>()),
      clock_(clock ? *clock : *ownClock_),
      realtime_(std::make_shared<RealtimeRequest>()) {
  realtime_->keyer = this;
  // What the keyer's thread reads and writes while it keys (the report ring is most of
  // it) stays in memory: a page taken away meanwhile would delay an element.
  lockedSelf_ = LockMemory(this, sizeof(*this));
  reporter_ = std::thread([this] { runReporter(); });
  thread_ = std::thread([this] { run(); });
  std::thread([request = realtime_] { askForRealtime(request); }).detach();
  // A keyer still open when the program ends leaves nothing to tell meanwhile.
  if (QCoreApplication::instance())
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [request = realtime_] { request->giveUp(); });
}

CwKeyer::~CwKeyer() {
  // The question to the bus is left to end by itself, told to give up: the window
  // never waits for the bus.
  realtime_->giveUp();
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  abort_ = true;
  clock_.wake();
  stateCv_.notify_all();
  if (thread_.joinable()) thread_.join();
  reporterQuit_ = true;
  reportBell_.fetch_add(1);
  reportBell_.notify_one();
  if (reporter_.joinable()) reporter_.join();
  {
    const std::lock_guard lock(lineMutex_);
    dropBothLines(port_);
  }
  Unlock(lockedSelf_);
}

void CwKeyer::post(std::function<void()> f) {
  QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

void CwKeyer::report(const Report& r) {
  const quint32 head = reportHead_.load(std::memory_order_relaxed);
  // A full ring (the reporting thread starved for seconds) loses the report: it
  // only shows what is keyed.
  if (head - reportTail_.load(std::memory_order_acquire) < kReports) {
    reports_[head % kReports] = r;
    reportHead_.store(head + 1, std::memory_order_release);
  }
  reportBell_.fetch_add(1, std::memory_order_release);
  reportBell_.notify_one();
}

void CwKeyer::runReporter() {
  QString sent;
  for (;;) {
    const quint32 bell = reportBell_.load(std::memory_order_acquire);
    quint32 tail = reportTail_.load(std::memory_order_relaxed);
    while (tail != reportHead_.load(std::memory_order_acquire)) {
      const Report r = reports_[tail % kReports];
      switch (r.kind) {
        case Report::Start:
          sent.clear();
          post([this] {
            panel_.showSentText(QString());
            panel_.setPortControlsLocked(true);
          });
          break;
        case Report::Char:
          sent += QChar(r.ch).toUpper();
          post([this, shown = sent] { panel_.showSentText(shown); });
          break;
        case Report::Key:
          post([this, r] { showKey(r.down, r.keySeq); });
          break;
        case Report::End:
          post([this] { panel_.setPortControlsLocked(false); });
          break;
        case Report::Failure: {
          QString error;
          {
            const std::lock_guard lock(failureMutex_);
            error = failureText_;
          }
          post([this, error] { panel_.showLineFailure(error); });
          break;
        }
      }
      reportTail_.store(++tail, std::memory_order_release);
    }
    if (reporterQuit_) return;
    reportBell_.wait(bell, std::memory_order_acquire);
  }
}

void CwKeyer::showKey(bool down, quint32 seq) {
  if (seq <= shownKeySeq_) return;
  shownKeySeq_ = seq;
  panel_.showKeyIndicator(down);
}

void CwKeyer::tellKey(bool down, quint32 seq) {
  if (onKeyerThread()) report({Report::Key, down, 0, seq});
  else post([this, down, seq] { showKey(down, seq); });
}

void CwKeyer::setKeyLine(SerialLine* port, SerialSignal line) {
  quint32 seq = 0;
  {
    const std::lock_guard lock(lineMutex_);
    dropBothLines(port_);
    port_ = port;
    line_ = line;
    failureReported_ = false;
    manualDown_ = false;
    seq = ++keySeq_;
  }
  tellKey(false, seq);
}

void CwKeyer::dropBothLines(SerialLine* port) {
  if (!port || !port->isOpen()) return;
  (void)port->setSignal(SerialSignal::Dtr, false);
  (void)port->setSignal(SerialSignal::Rts, false);
}

void CwKeyer::SendCwBuffer(const QString& appended) {
  const std::lock_guard lock(mutex_);
  if (quit_) return;
  buffer_ += appended.toLower();
  if (sending_) return;
  sending_ = true;
  startPending_ = true;
  stopRequested_ = false;
  stateCv_.notify_all();
}

void CwKeyer::RequestStop() {
  const std::lock_guard lock(mutex_);
  if (sending_) stopRequested_ = true;
}

void CwKeyer::Abort() {
  abort_ = true;
  clock_.wake();
  quint32 seq = 0;
  {
    const std::lock_guard lock(lineMutex_);
    dropBothLines(port_);
    manualDown_ = false;
    seq = ++keySeq_;
  }
  tellKey(false, seq);
  // A keyer thread that does not come back (a line stuck in the system) stays
  // aborted: its send ends as soon as it does.
  if (waitForIdle(2000)) abort_ = false;
}

bool CwKeyer::sending() const {
  const std::lock_guard lock(mutex_);
  return sending_;
}

bool CwKeyer::stopRequested() const {
  const std::lock_guard lock(mutex_);
  return stopRequested_;
}

QString CwKeyer::pendingText() const {
  const std::lock_guard lock(mutex_);
  return buffer_;
}

bool CwKeyer::waitForIdle(int timeoutMs) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  {
    std::unique_lock lock(mutex_);
    if (!stateCv_.wait_until(lock, until, [this] { return !sending_; })) return false;
  }
  // What the send reported has been posted to the window's thread as well.
  while (reportTail_.load() != reportHead_.load()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return true;
}

void CwKeyer::CwKeyDown() {
  // Key repeat sends further presses; the line is already up.
  if (manualDown_) return;
  manualDown_ = setKey(true);
}

void CwKeyer::CwKeyUp() {
  manualDown_ = false;
  (void)setKey(false);
}

void CwKeyer::ReleaseManualKey() {
  if (manualDown_) CwKeyUp();
}

bool CwKeyer::setKey(bool down) {
  std::unique_lock lock(lineMutex_);
  // Once aborted, nothing raises the key until the keyer is idle again.
  if (down && abort_) return false;
  SerialLine* port = port_;
  if (!port || !port->isOpen()) {
    // No line to key: the timing goes on, but nothing shows a key that is not there.
    return true;
  }
  Status s = port->setSignal(line_, down);
  if (!s.ok) s = port->setSignal(line_, down);
  // At the program's end the lines are released: the send just ends.
  if (!s.ok && SerialLinesReleased()) return false;
  if (!s.ok) {
    dropBothLines(port);
    const bool tell = !failureReported_;
    failureReported_ = true;
    const quint32 seq = ++keySeq_;
    lock.unlock();
    tellKey(false, seq);
    if (!tell) return false;
    if (onKeyerThread()) {
      {
        const std::lock_guard failureLock(failureMutex_);
        failureText_ = s.error;
      }
      report({Report::Failure});
    } else {
      post([this, error = s.error] { panel_.showLineFailure(error); });
    }
    return false;
  }
  const quint32 seq = ++keySeq_;
  lock.unlock();
  tellKey(down, seq);
  return true;
}

namespace {
// The keyer whose thread this is, if any.
thread_local const CwKeyer* keyerOfThisThread = nullptr;
}  // namespace

bool CwKeyer::onKeyerThread() const { return keyerOfThisThread == this; }

void CwKeyer::run() {
  keyerOfThisThread = this;
  // Named for whoever looks at the program's threads (top -H, the tests).
  (void)pthread_setname_np(pthread_self(), "vz-keyer");
  // No page fault of the keyer's own stack in the middle of an element.
  const LockedRange stack = PrefaultAndLockStack(kKeyerStack);
  // A sleeping thread is woken at its deadline rather than up to 50 us after.
  (void)::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  const bool fifo = SetThisThreadFifo(kCwRealtimePriority);
  {
    const std::lock_guard lock(realtime_->mutex);
    realtime_->tid = ThisThreadId();
    realtime_->fifo = fifo;
    if (fifo) realtime_->scheduling = CwScheduling::Fifo;
    realtime_->threadReady = true;
  }
  realtime_->cv.notify_all();
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      stateCv_.wait(lock, [this] { return quit_ || startPending_; });
      if (quit_) break;
      startPending_ = false;
    }
    sendLoop();
  }
  Unlock(stack);
}

CwScheduling CwKeyer::scheduling() const { return realtime_->scheduling; }

void CwKeyer::askForRealtime(const std::shared_ptr<RealtimeRequest>& request) {
  RealtimeRequest& r = *request;
  pid_t tid = 0;
  {
    std::unique_lock lock(r.mutex);
    r.cv.wait(lock, [&r] { return !r.keyer || r.threadReady; });
    if (!r.keyer || r.fifo) return;
    tid = r.tid;
  }
  const bool granted = AskRealtimeKit(tid, kCwRealtimePriority, {r.deadline, r.cancelFd});
  // Under the lock the keyer is still there, and stays until this is done.
  const std::lock_guard lock(r.mutex);
  CwKeyer* keyer = r.keyer;
  if (!keyer) return;
  // The word is on its way to the window before anyone can read the outcome.
  if (!granted && TakeCwTimingNotice())
    keyer->post([keyer] { keyer->panel_.showTimingWarning(CwTimingWarningText()); });
  r.scheduling = granted ? CwScheduling::RealtimeKit : CwScheduling::Ordinary;
}

int CwKeyer::takeNext(QChar& c) {
  const std::lock_guard lock(mutex_);
  if (abort_) return 2;
  if (buffer_.isEmpty()) {
    // Decided under the same lock that appends: text added from here on starts a
    // send of its own.
    stopRequested_ = false;
    sending_ = false;
    stateCv_.notify_all();
    report({Report::End});
    return 1;
  }
  c = buffer_.at(0);
  buffer_ = buffer_.mid(1, kBufferLimit);
  pendingChar_ = c;
  sentShown_ = false;
  return 0;
}

void CwKeyer::showTaken() {
  if (sentShown_) return;
  sentShown_ = true;
  report({Report::Char, false, pendingChar_.unicode()});
}

void CwKeyer::sendLoop() {
  report({Report::Start});
  QChar c;
  // Aborted before the first character: the loop below ends at once.
  if (takeNext(c) == 1) return;
  CwClock::time_point deadline = clock_.now();
  for (;;) {
    if (abort_) break;
    bool taken = false;
    if (c == QLatin1Char('\n') || c == QLatin1Char('"')) {
      showTaken();
    } else {
      if (!keyCharacter(c, deadline)) break;
      // The pause after every character, at the speed of the last one keyed. The
      // next character is taken while it runs: the lock that the window thread shares
      // is never held between a deadline and the key.
      catchUp(deadline);
      deadline += std::chrono::milliseconds(CwTiming::forSpeedOffset(unitBase_).unit);
      showTaken();
      if (!stopRequested_) {
        const std::lock_guard lock(mutex_);
        if (!abort_ && !buffer_.isEmpty()) {
          c = buffer_.at(0);
          buffer_ = buffer_.mid(1, kBufferLimit);
          pendingChar_ = c;
          sentShown_ = false;
          taken = true;
        }
      }
      if (!clock_.waitUntil(deadline, abort_)) break;
    }
    if (stopRequested_) break;
    if (!taken) {
      const int next = takeNext(c);
      if (next == 1) return;
      if (next == 2) break;
    }
  }
  // Stopped, aborted or the line failed: the key is up after every element, and what
  // waits is dropped, a character taken but not begun too.
  const std::lock_guard lock(mutex_);
  buffer_.clear();
  stopRequested_ = false;
  abort_ = false;
  sending_ = false;
  stateCv_.notify_all();
  report({Report::End});
}

bool CwKeyer::keyCharacter(QChar c, CwClock::time_point& deadline) {
  if (c == QLatin1Char(' ')) return space(CwTiming::forSpeedOffset(unitBase_).letterSpace(), deadline);
  const auto pattern = MorsePattern(c);
  if (!pattern) return true;
  unitBase_ = speedOffset_.load();
  const CwTiming t = CwTiming::forSpeedOffset(unitBase_);
  for (const QChar e : *pattern) {
    if (!mark(e == QLatin1Char('-') ? t.dash() : t.dot(), deadline)) return false;
    if (!space(t.gap(), deadline)) return false;
  }
  return space(t.letterSpace(), deadline);
}

void CwKeyer::catchUp(CwClock::time_point& deadline) {
  const auto now = clock_.now();
  if (now - deadline > kLateLimit) deadline = now;
}

bool CwKeyer::mark(long long ms, CwClock::time_point& deadline) {
  catchUp(deadline);
  const bool down = setKey(true);
  showTaken();
  if (!down) return false;
  deadline += std::chrono::milliseconds(ms);
  const bool reached = clock_.waitUntil(deadline, abort_);
  // The key goes up at the end of the element whatever happened meanwhile.
  const bool up = setKey(false);
  return reached && up;
}

bool CwKeyer::space(long long ms, CwClock::time_point& deadline) {
  catchUp(deadline);
  deadline += std::chrono::milliseconds(std::max(ms, 0LL));
  showTaken();
  return clock_.waitUntil(deadline, abort_);
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
