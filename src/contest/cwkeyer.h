#pragma once
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

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

// Lengths in whole milliseconds for a unit base (the speed value plus 50 ms is the
// unit U): a dot U, a dash 3 U, the gap after either 0.75 U rounded half to even.
struct CwTiming {
  long long unit = 50;
  long long dot() const { return unit; }
  long long dash() const { return 3 * unit; }
  long long gap() const;
  static CwTiming forSpeedOffset(long long offset) { return {offset + 50}; }
};

// How the keyer waits: a busy wait on a steady clock that hands control to the
// event loop on every poll, so keys (Esc, further macros) are handled while Morse is
// sent. Tests put a virtual clock in its place.
class CwPacer {
 public:
  virtual ~CwPacer() = default;
  // Waits ms milliseconds (none for 0 or less), handing control to the event loop.
  virtual void DelayMs(long long ms) = 0;
  // Hands control to the event loop once.
  virtual void DoEvents() = 0;
};

// Reads the clock and hands control on until a reading is not below the start plus
// ms; a wait of 0 ms still reads once and hands control on once. The hand-over is
// told how long is left after the reading it follows (zero or less at the end).
void BusyWaitMs(long long ms, const std::function<std::chrono::steady_clock::time_point()>& now,
                const std::function<void(std::chrono::nanoseconds left)>& yield);

// The pacer of the running program: std::chrono::steady_clock and the Qt event loop.
class EventLoopPacer : public CwPacer {
 public:
  void DelayMs(long long ms) override;
  void DoEvents() override;
};

// What the keyer needs of the contest window.
class CwKeyerPanel {
 public:
  virtual ~CwKeyerPanel() = default;
  // The keyer's serial port; nullptr when none is chosen. Without a port, or with
  // one that is not open, no line moves; the key indicator still follows the key.
  virtual SerialLine* keyerPort() = 0;
  // The "DTR" box is ticked: the key is the DTR line, otherwise RTS.
  virtual bool keyerUsesDtr() const = 0;
  // The on-screen key indicator.
  virtual void showKeyIndicator(bool keyDown) = 0;
  // The characters of the current send taken so far, upper-cased.
  virtual void showSentText(const QString& text) = 0;
  // The port selector and the line boxes are switched off while a send runs.
  virtual void setPortControlsLocked(bool locked) = 0;
};

// The CW keyer: turns text into Morse on a control line of the keyer's port.
class CwKeyer {
 public:
  CwKeyer(CwKeyerPanel& panel, CwPacer& pacer) : panel_(panel), pacer_(pacer) {}

  // Text waiting to be keyed; callers append to it and call SendCwBuffer.
  QString CwSendBuffer;
  // Set by Esc: the running send ends after the character being keyed.
  bool CwStopRequested = false;
  // From the speed bar; taken at the start of each character.
  int CwSpeedOffset = 0;

  // Keys CwSendBuffer character by character until it is empty or a stop is
  // requested; on return the buffer is empty. Called while a send runs (a macro
  // pressed during a send), it returns at once and the running send keys the
  // appended text after what it is keying. A stop requested while nothing was
  // being sent does not cut the next send short.
  void SendCwBuffer();
  bool sending() const { return sending_; }

  // Keys one character: its pattern, or only the letter space for a blank.
  void dekod(QChar c);
  // Keys a pattern of dots and dashes, then the letter space.
  void cw(const QString& pattern);

  // Manual keying, and the elements' key: the chosen line with the indicator.
  void CwKeyDown();
  void CwKeyUp();
  // Raise or drop one line ("DTR" or "RTS") of the keyer's port and show or hide the
  // indicator; any other name only sets the indicator. Failures are ignored.
  void SetKeyLineOn(const QString& line);
  void SetKeyLineOff(const QString& line);

  // The unit base of the character keyed last (0 before any).
  long long CwUnitBase() const { return unitBase_; }

 private:
  CwTiming timing() const { return CwTiming::forSpeedOffset(unitBase_); }
  void setKeyLine(const QString& line, bool on);
  void SendDot();
  void SendDash();
  void betuszunet();

  CwKeyerPanel& panel_;
  CwPacer& pacer_;
  long long unitBase_ = 0;
  bool sending_ = false;
  QString sentText_;
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
