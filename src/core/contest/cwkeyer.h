#pragma once
#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ratio>
#include <thread>

#include "contest/cwrealtime.h"
#include "platform/serialline.h"
#include "platform/status.h"

namespace vz {

// The Morse pattern of a character as dots and dashes (".-" for "a"); letters in
// either case. std::nullopt for a character that keys nothing, the blank included
// (it only spaces).
std::optional<QString> MorsePattern(QChar c);

// The speed value the contest window's speed bar gives for its words per minute
// (10 to 40; values outside are taken as the nearer end): one Morse unit lasts this
// value plus 50 ms.
int CwSpeedOffsetForWpm(int wpm);

// The gap after every dot or dash, in units.
using CwGapUnits = std::ratio<3, 4>;
// The letter-space step, 1.25 units. With the gap after the last element and the
// 1-unit pause after every character it makes the standard 3-unit space between
// letters; a blank adds the step and the pause again, 5.25 units between words.
using CwLetterSpaceUnits = std::ratio<5, 4>;

// Lengths in whole milliseconds for a unit base (the speed value plus 50 ms is the
// unit U): a dot U, a dash 3 U, the gap and the letter-space step as above, each
// rounded half to even.
struct CwTiming {
  long long unit = 50;
  long long dot() const { return unit; }
  long long dash() const { return 3 * unit; }
  long long gap() const;
  long long letterSpace() const;
  static CwTiming forSpeedOffset(long long offset) { return {offset + 50}; }
};

// The clock the keyer's thread times its elements by. Tests put a virtual clock in
// its place.
class CwClock {
 public:
  using time_point = std::chrono::steady_clock::time_point;
  virtual ~CwClock() = default;
  virtual time_point now() = 0;
  // Waits until the deadline; returns false at once when `interrupted` is or becomes
  // true (wake() makes a sleeping wait look again).
  virtual bool waitUntil(time_point deadline, const std::atomic<bool>& interrupted) = 0;
  virtual void wake() = 0;
};

// The program's clock: std::chrono::steady_clock. It sleeps until shortly before the
// deadline and spins the rest, since a sleeping thread wakes up late by a varying
// amount.
class SteadyCwClock : public CwClock {
 public:
  time_point now() override { return std::chrono::steady_clock::now(); }
  bool waitUntil(time_point deadline, const std::atomic<bool>& interrupted) override;
  void wake() override;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
};

// What the keyer shows in the contest window. Called on the thread the keyer was
// made on, never on the keyer's own.
class CwKeyerPanel {
 public:
  virtual ~CwKeyerPanel() = default;
  // The on-screen key indicator; it lights only while a line is really up.
  virtual void showKeyIndicator(bool keyDown) = 0;
  // The characters of the current send taken so far, upper-cased.
  virtual void showSentText(const QString& text) = 0;
  // The port selector and the line boxes are switched off while a send runs.
  virtual void setPortControlsLocked(bool locked) = 0;
  // The key line failed again after a retry; told once until a line is chosen again.
  virtual void showLineFailure(const QString& error) = 0;
  // Neither real-time way was granted: the keying may waver while the machine is
  // busy. Told once per run, whichever keyer finds it out.
  virtual void showTimingWarning(const QString& text) { (void)text; }
};

// What the operator is told when the keyer runs without real time.
QString CwTimingWarningText();

// The CW keyer: turns text into Morse on a control line of the keyer's port. The
// elements are keyed by a thread of its own against absolute deadlines, so nothing
// the windows do (modal dialogs, long queries) lengthens an element or holds the key
// down. Public functions are called from the thread the keyer was made on, except
// where they say otherwise.
class CwKeyer : public QObject {
  Q_OBJECT
 public:
  // The clock is not owned; nullptr is the program's steady clock.
  explicit CwKeyer(CwKeyerPanel& panel, CwClock* clock = nullptr);
  // Ends the send at once and drops the key.
  ~CwKeyer() override;

  // The port and line the key moves (nullptr: none). Both lines of the port the key
  // was on are dropped first, so a change of port or line never leaves one up. The
  // port must outlive the keyer or the next setKeyLine.
  void setKeyLine(SerialLine* port, SerialSignal line);

  // Appends text to the send buffer and starts sending unless a send runs, which
  // keys it after what waits. Returns at once. Safe from any thread.
  void SendCwBuffer(const QString& appended);
  // Esc: the running send ends after the character being keyed and what waits is
  // dropped. A stop asked for while nothing is sent does not cut the next send
  // short. Safe from any thread.
  void RequestStop();
  // Ends the send at once, the key dropped in the middle of an element if need be,
  // drops both lines and returns once the keyer is idle.
  void Abort();

  bool sending() const;
  bool stopRequested() const;
  // Text waiting to be keyed.
  QString pendingText() const;
  // Blocks until no send runs or the time is up; true when idle.
  bool waitForIdle(int timeoutMs = 5000) const;

  // From the speed bar; taken at the start of each character.
  void setSpeedOffset(int offset) { speedOffset_ = offset; }
  int CwSpeedOffset() const { return speedOffset_; }
  // How the keyer's thread is scheduled; Pending while RealtimeKit is being asked.
  CwScheduling scheduling() const;
  // The unit base of the character keyed last (0 before any); for tests.
  long long CwUnitBase() const { return unitBase_; }

  // Manual keying: the key goes down and stays down until CwKeyUp, or until
  // ReleaseManualKey, Abort or a change of line.
  void CwKeyDown();
  void CwKeyUp();
  // Drops a key held by hand (the window lost the focus or its activation); a send
  // running meanwhile goes on.
  void ReleaseManualKey();
  bool manualKeyDown() const { return manualDown_; }

 private:
  void run();
  // What the keyer and the thread asking RealtimeKit share. That thread owns its end:
  // nothing waits for it, so a bus that does not answer holds up neither the window
  // nor the program's end. A keyer that goes tells it to give up and leaves it.
  struct RealtimeRequest;
  // Asks RealtimeKit for the keyer's thread where SCHED_FIFO was refused, on a
  // thread of its own: neither the window nor the keying waits for the answer.
  static void askForRealtime(const std::shared_ptr<RealtimeRequest>& request);
  void sendLoop();
  bool keyCharacter(QChar c, CwClock::time_point& deadline);
  // An element with the key down, or a wait with the key up; false when the send
  // must end (aborted, or the line failed).
  bool mark(long long ms, CwClock::time_point& deadline);
  bool space(long long ms, CwClock::time_point& deadline);
  void catchUp(CwClock::time_point& deadline);
  // Takes the next character under the lock; at the end of the text the send ends
  // there. 0: a character, 1: the text is done, 2: aborted.
  int takeNext(QChar& c);
  // Shows the character taken, once its first step is under way.
  void showTaken();
  bool setKey(bool down);
  void dropBothLines(SerialLine* port);
  void post(std::function<void()> f);

  // What the keyer's thread reports goes into a ring that it fills without a lock; a
  // reporting thread empties it into queued calls to the window's thread. Posting
  // there takes a lock the window thread also holds, and the window thread may be
  // preempted while it holds it: the keyer's thread never waits for it.
  struct Report {
    enum Kind : quint8 { Start, Char, Key, End, Failure } kind = Start;
    bool down = false;
    char16_t ch = 0;
    quint32 keySeq = 0;
  };
  static constexpr quint32 kReports = 4096;
  void report(const Report& r);  // keyer thread only
  void runReporter();
  bool onKeyerThread() const;
  // The indicator follows the key changes in the order they were made, whichever
  // thread made them and however their reports were delayed.
  void showKey(bool down, quint32 seq);
  void tellKey(bool down, quint32 seq);

  CwKeyerPanel& panel_;
  std::unique_ptr<CwClock> ownClock_;
  CwClock& clock_;

  mutable std::mutex mutex_;  // the buffer and the send's state
  mutable std::condition_variable stateCv_;
  QString buffer_;
  bool sending_ = false;
  bool startPending_ = false;
  // Read by the keyer's thread without the lock: nothing the window thread holds
  // may stand between a deadline and the key.
  std::atomic<bool> stopRequested_{false};
  bool quit_ = false;
  std::atomic<bool> abort_{false};
  std::atomic<int> speedOffset_{0};
  std::atomic<long long> unitBase_{0};

  std::mutex lineMutex_;  // the key line and what hangs on it
  SerialLine* port_ = nullptr;
  SerialSignal line_ = SerialSignal::Dtr;
  bool failureReported_ = false;
  std::atomic<bool> manualDown_{false};

  std::array<Report, kReports> reports_{};
  std::atomic<quint32> reportHead_{0};  // written by the keyer's thread
  std::atomic<quint32> reportTail_{0};  // written by the reporting thread
  std::atomic<quint32> reportBell_{0};
  std::atomic<bool> reporterQuit_{false};
  std::mutex failureMutex_;
  QString failureText_;
  quint32 keySeq_ = 0;        // under lineMutex_
  quint32 shownKeySeq_ = 0;   // the window's thread only
  QChar pendingChar_;         // keyer thread only
  bool sentShown_ = true;     // keyer thread only

  std::shared_ptr<RealtimeRequest> realtime_;
  LockedRange lockedSelf_;

  std::thread thread_;
  std::thread reporter_;
};

// The contest window's keyer settings: the port selector's text and whether the
// DTR line keys (otherwise RTS).
struct CwPortSettings {
  QString port;
  bool dtr = true;
};

// varCW.cfg beside the program: the port text, then the "DTR" box as a number line.
Status SaveCwPortSettings(const QString& port, bool dtr);
// std::nullopt without the file; line 2 must read as 1 for DTR.
std::optional<CwPortSettings> ReadCwPortSettings();

// varOsc.cfg beside the program: the dark-background box as a number line.
Status SaveDarkBackgroundSetting(bool dark);
// std::nullopt without the file; dark when the line reads as 1.
std::optional<bool> ReadDarkBackgroundSetting();

}  // namespace vz
