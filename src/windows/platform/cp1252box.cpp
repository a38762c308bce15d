#include "platform/cp1252box.h"

#include <QLineEdit>

#include "platform/cp1252.h"
#include "platform/textutil.h"

namespace vz {

Cp1252Validator::Cp1252Validator(QObject* parent, const QValidator* inner, bool cp1252Only)
    : QValidator(parent), inner_(inner), cp1252Only_(cp1252Only) {}

QValidator::State Cp1252Validator::validate(QString& input, int& pos) const {
  if (breaksLine(input)) input = oneLine(input, &pos);
  if (cp1252Only_ && !fitsCp1252(input)) {
    QString kept;
    kept.reserve(input.size());
    int keptPos = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
      if (!fitsCp1252(input[i])) continue;
      if (i < pos) ++keptPos;
      kept += input[i];
    }
    input = kept;
    pos = keptPos;
  }
  return inner_ ? inner_->validate(input, pos) : Acceptable;
}

void keepToCp1252(QLineEdit* box) { box->setValidator(new Cp1252Validator(box, box->validator())); }

void keepToOneLine(QLineEdit* box) { box->setValidator(new Cp1252Validator(box, box->validator(), false)); }

}  // namespace vz
