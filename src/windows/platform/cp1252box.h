#pragma once
// Text boxes whose values go into a line of a file or a column of a row take one
// line: a pasted or dropped line break or tab becomes one blank, so a value can
// never split a line or carry a key line of its own into a file. Boxes whose values
// go into the program's Windows-1252 files also take only characters the code page
// holds, typed or pasted: anything else would be stored as "?" without a word.
#include <QValidator>

class QLineEdit;

namespace vz {

// Makes the text one line, drops the characters Windows-1252 lacks (when asked),
// then asks the validator the box had before (if any) about what is left.
class Cp1252Validator : public QValidator {
 public:
  Cp1252Validator(QObject* parent, const QValidator* inner, bool cp1252Only = true);
  State validate(QString& input, int& pos) const override;

 private:
  const QValidator* inner_;
  bool cp1252Only_;
};

// One line, Windows-1252 only; the box's current validator stays behind it.
void keepToCp1252(QLineEdit* box);
// One line, any character (values bound for the database).
void keepToOneLine(QLineEdit* box);

}  // namespace vz
