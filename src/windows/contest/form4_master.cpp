// The contest window's master-call check and the age check of the master list.
#include <QListWidget>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include "contest/form4.h"
#include "contest/masterupdate.h"
#include "platform/colors.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/textutil.h"
#include "store/programstate.h"

namespace vz {

namespace {

constexpr quint32 kBlue = 0xFF0000;  // &H00BBGGRR
constexpr quint32 kRed = 0x0000FF;
constexpr quint32 kWhite = 0xFFFFFF;
constexpr int kMasterCheckLimit = 15;
constexpr int kEntriesRead = 2000;

// An entry of a list written by the update ends with a line feed; one read from a
// file with other line ends does not. The call is shown the same either way.
QString callOf(const QString& entry) {
  QString call = entry;
  call.remove(u'\n');
  return call;
}

// The second pass's pattern: the typed call's first two characters, any one
// character, the characters from the fourth on (ten at most), then anything. A "?"
// typed stands for any one character.
QRegularExpression secondPassPattern(const QString& typed) {
  auto patternOf = [](const QString& text) {
    QString out;
    for (const QChar c : text) out += c == u'?' ? QStringLiteral(".") : QRegularExpression::escape(QString(c));
    return out;
  };
  const QString re = QStringLiteral("\\A") + patternOf(typed.left(2)) + QStringLiteral(".") + patternOf(typed.mid(3, 10)) +
                     QStringLiteral(".*\\z");
  return QRegularExpression(re, QRegularExpression::DotMatchesEverythingOption);
}

}  // namespace

void Form4::AppendMasterCheckText(quint32 color, const QString& text, const QString& mode) {
  QTextCursor cursor(MCheck->document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setForeground(colorFromValue(color));
  cursor.insertText(mode == QLatin1String("ENTER") ? text + u'\n' : text, format);
}

void Form4::AppendMasterCheckCall(quint32 color, const QString& text) { AppendMasterCheckText(color, text, {}); }

void Form4::RunMasterCheck(const QString& call) {
  MCheck->clear();
  List1->clear();
  List2->clear();
  const QStringList& master = state().MasterCalls;
  const int last = std::min<int>(kEntriesRead, int(master.size()));
  int count = 0;

  for (int i = 0; i < last && !master[i].isEmpty(); ++i) {
    const QString& entry = master[i];
    if (!entry.startsWith(call)) continue;
    AppendMasterCheckText(kBlue, callOf(entry), QStringLiteral("ENTER"));
    List1->addItem(entry);
    List2->addItem(entry);
    ++count;
  }

  const QRegularExpression pattern = secondPassPattern(call);
  for (int i = 0; i < last && !master[i].isEmpty(); ++i) {
    const QString& entry = master[i];
    if (pattern.match(entry).hasMatch()) {
      if (List1->findItems(entry, Qt::MatchExactly).isEmpty()) {
        const QString shown = callOf(entry);
        for (int j = 0; j < shown.size(); ++j)
          AppendMasterCheckText(j < call.size() && shown[j] == call[j] ? kBlue : kRed, QString(shown[j]), {});
        List1->addItem(entry);
        List2->addItem(entry);
        AppendMasterCheckText(kWhite, QString(), QStringLiteral("ENTER"));
      }
      ++count;
    }
    if (count > kMasterCheckLimit) break;
  }
}

void Form4::MCheck_DblClick() {
  const int line = MCheck->textCursor().blockNumber();
  // A line left from an earlier call (the lists are emptied when the call gets
  // shorter) names no entry.
  if (line < 0 || line >= List1->count()) return;
  QString picked = List1->item(line)->text();
  picked.remove(u'\n');
  Corresponsal->setText(picked);
  RSR->setFocus();
}

void Form4::Timer4_Timer() {
  Timer4->stop();
  masterAge_->get(MasterListUrl());
}

// The web list's date against the local one; a newer web list is offered.
void Form4::masterAgeArrived() {
  if (!masterAge_->isComplete()) return;  // no connection: nothing to say
  if (portWarningOpen_) {
    // Never a question over the keyer port's warning: it comes once that is answered.
    QTimer::singleShot(200, this, &Form4::masterAgeArrived);
    return;
  }
  QString text = masterAge_->text();
  text.replace(QStringLiteral("\n"), QStringLiteral("\n\r"));
  (void)writeTextLines(programFile(QStringLiteral("webomc.txt")), {text});
  const QString firstLine = text.left(text.indexOf(u'\r'));
  const QDate webDate = parseDayFirstDate(firstLine.mid(1, 11).trimmed());
  const QDate localDate = state().MasterListDate;
  if (!webDate.isValid()) return;
  if (localDate.isValid() && webDate <= localDate) return;
  const QString question = QStringLiteral("Su archivo Master check con fecha ") + MasterListDateText(localDate) +
                           QStringLiteral(" debe actualizarse\r\nLo hace ahora?");
  if (msgBox(question, MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes) == MsgAnswer::Yes) amc_Click();
}

}  // namespace vz
