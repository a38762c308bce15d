#include "platform/cp1252box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/cp1252.h"
#include "platform/textutil.h"

namespace vz {

namespace {

// The characters of the code page, line breaks made blanks: what a whole text set by
// a program step keeps.
QString keptWhole(const QString& text, bool cp1252Only, int* pos) {
  QString input = breaksLine(text) ? oneLine(text, pos) : text;
  if (cp1252Only && !fitsCp1252(input)) {
    QString kept;
    kept.reserve(input.size());
    int keptPos = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
      if (!fitsCp1252(input[i])) continue;
      if (i < *pos) ++keptPos;
      kept += input[i];
    }
    input = kept;
    *pos = keptPos;
  }
  const QString whole = withoutLoneSurrogates(input);
  if (whole.size() != input.size()) {
    *pos = std::min(*pos, int(whole.size()));
    input = whole;
  }
  return input;
}

constexpr int kNoticeMs = 8000;

}  // namespace

QString droppedLettersMessage(const QString& dropped) {
  return QStringLiteral("Se quitaron letras que el archivo no puede guardar: ") + dropped;
}

BoxValidator::BoxValidator(QLineEdit* box, const QValidator* inner, bool cp1252Only)
    : QValidator(box), box_(box), inner_(inner), cp1252Only_(cp1252Only), known_(box->text()) {
  // Emitted while the text is put in, before it is validated: the limit cut it.
  connect(box, &QLineEdit::inputRejected, this, [this] { cut_ = true; });
}

QString BoxValidator::taken(const QString& inserted, QString* dropped) const {
  QString in = oneLine(inserted);
  // A letter pasted with its accent apart is one character of the code page.
  if (cp1252Only_) in = in.normalized(QString::NormalizationForm_C);
  QString kept;
  kept.reserve(in.size());
  for (qsizetype i = 0; i < in.size(); ++i) {
    const QChar c = in[i];
    const bool pair = c.isHighSurrogate() && i + 1 < in.size() && in[i + 1].isLowSurrogate();
    if (c.isSurrogate() && !pair) continue;  // half of a character
    const QString whole = pair ? in.mid(i, 2) : QString(c);
    if (pair) ++i;
    if (cp1252Only_ && (pair || !fitsCp1252(c))) {
      if (!dropped->contains(whole)) *dropped += (dropped->isEmpty() ? QString() : QStringLiteral(", ")) + whole;
      continue;
    }
    if (!rule_) {
      kept += whole;
      continue;
    }
    const QChar taken = rule_(c);
    if (taken.isNull()) continue;
    if (pair)
      kept += whole;
    else
      kept += taken;
  }
  return kept;
}

void BoxValidator::tell(const QString& dropped) const {
  // After the edit: the box is still changing its text now.
  QTimer::singleShot(0, box_, [box = box_, message = droppedLettersMessage(dropped)] {
    if (!box || !box->isVisible()) return;
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), message, box, QRect(), kNoticeMs);
  });
}

QValidator::State BoxValidator::validate(QString& input, int& pos) const {
  const bool cut = std::exchange(cut_, false);
  // The operator's edits leave an undo step; a text set by a program step clears
  // them. Only what the operator puts in goes through the key rule.
  const bool edit = box_ && box_->isUndoAvailable();
  if (!edit) {
    input = keptWhole(input, cp1252Only_, &pos);
  } else {
    // The changed span: what follows the caret was there before.
    const QString& before = known_;
    const qsizetype maxTail = std::min(input.size() - qsizetype(pos), before.size());
    qsizetype tail = 0;
    while (tail < maxTail && input[input.size() - 1 - tail] == before[before.size() - 1 - tail]) ++tail;
    const qsizetype end = input.size() - tail;
    const qsizetype maxHead = std::min(end, before.size() - tail);
    qsizetype head = 0;
    while (head < maxHead && input[head] == before[head]) ++head;
    QString inserted = input.mid(head, end - head);
    // A box filled to its limit by this edit may have had it cut.
    if (cut || input.size() >= box_->maxLength()) {
      // The box's limit cut the text before its rule saw it: take it whole from the
      // clipboard it came from, so the rule runs first and the limit then counts
      // what the box keeps.
      // The span may begin earlier than it seems: a replaced selection can start with
      // the characters the paste starts with.
      bool found = false;
      for (QClipboard::Mode mode : {QClipboard::Clipboard, QClipboard::Selection}) {
        const QString source = QGuiApplication::clipboard()->text(mode);
        for (qsizetype h = head; h >= 0 && !found; --h) {
          const QStringView put = QStringView(input).mid(h, end - h);
          if (source.size() > put.size() && source.startsWith(put)) {
            head = h;
            inserted = source;
            found = true;
          }
        }
        if (found) break;
      }
    }
    QString dropped;
    QString in = taken(inserted, &dropped);
    if (shape_ && end == input.size()) {
      QString typed = input.left(head);
      for (const QChar c : std::as_const(in))
        if (shape_(typed + c)) typed += c;
      in = typed.mid(head);
    }
    const qsizetype room = box_->maxLength() - (input.size() - (end - head));
    in = wholeCharactersWithin(in, room);
    input = input.left(head) + in + input.mid(end);
    pos = int(head + in.size());
    if (!dropped.isEmpty()) tell(dropped);
  }
  const State state = inner_ ? inner_->validate(input, pos) : Acceptable;
  if (state != Invalid) known_ = input;
  return state;
}

namespace {

BoxValidator* boxValidator(QLineEdit* box, bool cp1252Only) {
  if (auto* v = const_cast<BoxValidator*>(dynamic_cast<const BoxValidator*>(box->validator()))) {
    if (cp1252Only) v->setCp1252Only();
    return v;
  }
  auto* v = new BoxValidator(box, box->validator(), cp1252Only);
  box->setValidator(v);
  return v;
}

}  // namespace

void keepToCp1252(QLineEdit* box) { boxValidator(box, true); }

void keepToOneLine(QLineEdit* box) { boxValidator(box, false); }

void applyKeyRule(QLineEdit* box, KeyRule rule) { boxValidator(box, false)->setKeyRule(std::move(rule)); }

void applyShapeRule(QLineEdit* box, std::function<bool(const QString&)> fits) {
  boxValidator(box, false)->setShapeRule(std::move(fits));
}

KeyRule asciiKeyRule(bool letters, bool digits, const char* others) {
  return [letters, digits, others](QChar c) -> QChar {
    const QChar u = c.toUpper();
    if (letters && u >= u'A' && u <= u'Z') return u;
    if (digits && u >= u'0' && u <= u'9') return u;
    if (u.unicode() > 0 && u.unicode() < 0x80 && std::strchr(others, char(u.unicode()))) return u;
    return {};
  };
}

KeyRule upperCaseRule() {
  return [](QChar c) { return c.toUpper(); };
}

}  // namespace vz
