#pragma once
// Text boxes whose values go into the program's Windows-1252 files take only
// characters the code page holds, typed or pasted: anything else would be stored
// as "?" without a word.
#include <QValidator>

class QLineEdit;

namespace vz {

// Drops the characters Windows-1252 lacks, then asks the validator the box had
// before (if any) about what is left.
class Cp1252Validator : public QValidator {
 public:
  Cp1252Validator(QObject* parent, const QValidator* inner);
  State validate(QString& input, int& pos) const override;

 private:
  const QValidator* inner_;
};

// Puts a Cp1252Validator on the box, keeping its current validator behind it.
void keepToCp1252(QLineEdit* box);

}  // namespace vz
