#pragma once
// Text boxes whose values go into a line of a file or a column of a row take one
// line: a pasted or dropped line break or tab becomes one blank, so a value can
// never split a line or carry a key line of its own into a file. Boxes whose values
// go into the program's Windows-1252 files also take only characters the code page
// holds; what the operator puts in that the file could not hold is taken out, and
// the box says which letters went.
//
// A box that filters typed keys applies the same rule to text however it arrives
// (keys, Ctrl+V, Shift+Insert, the context menu, the middle button, a drop, an
// input method): the rule lives on the box, in its validator, not in each event.
// Text a program step puts in (a stored value shown) keeps to one line (and to the
// code page) but is not put through the key rule: it is shown as it was stored.
//
// The box's length limit counts UTF-16 units, as QLineEdit does; a character is
// never cut in half by it: what does not fit whole stays out.
#include <QPointer>
#include <QValidator>
#include <functional>

class QLineEdit;

namespace vz {

// A box's key rule: the character as the box takes it (upper-cased, say), or a null
// QChar when the box refuses it.
using KeyRule = std::function<QChar(QChar)>;

// The message a box shows when it took out letters its file cannot hold.
QString droppedLettersMessage(const QString& dropped);

class BoxValidator : public QValidator {
 public:
  BoxValidator(QLineEdit* box, const QValidator* inner, bool cp1252Only);
  State validate(QString& input, int& pos) const override;

  void setKeyRule(KeyRule rule) { rule_ = std::move(rule); }
  void setShapeRule(std::function<bool(const QString&)> fits) { shape_ = std::move(fits); }
  void setCp1252Only() { cp1252Only_ = true; }

 private:
  // What the operator's edit put in, as the box takes it.
  QString taken(const QString& inserted, QString* dropped) const;
  void tell(const QString& dropped) const;

  QPointer<QLineEdit> box_;
  const QValidator* inner_;
  bool cp1252Only_;
  KeyRule rule_;
  std::function<bool(const QString&)> shape_;
  mutable QString known_;     // the box's text before the change being validated
  mutable bool cut_ = false;  // the box's length limit cut what was put in
};

// One line, Windows-1252 only; the box's current validator stays behind it.
void keepToCp1252(QLineEdit* box);
// One line, any character (values bound for the database).
void keepToOneLine(QLineEdit* box);
// The box's key rule, applied to whatever the operator puts in. The box keeps to one
// line (and to Windows-1252 when it was set so) as before.
void applyKeyRule(QLineEdit* box, KeyRule rule);

// A rule on the shape of what is typed at the end of the box (a locator's letters and
// digits in their places): given the text with one more character, whether that
// character stays. Text put in at the end goes in as if typed one character at a time.
void applyShapeRule(QLineEdit* box, std::function<bool(const QString&)> fits);

// Common rules: upper-cased, and kept when the upper-cased character is an ASCII
// letter A to Z (when letters is set), a digit 0 to 9 (when digits is set) or one of
// others.
KeyRule asciiKeyRule(bool letters, bool digits, const char* others);
// Every character upper-cased; none refused.
KeyRule upperCaseRule();

}  // namespace vz
