#include "store/masterlist.h"

#include <QFile>

#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "platform/textutil.h"
#include "store/programstate.h"

namespace vz {

namespace {

QDate readListDate(const QString& text) {
  const QString t = trimBlanks(text);
  const QDate dayFirst = parseDayFirstDate(t);
  if (dayFirst.isValid()) return dayFirst;
  return QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
}

}  // namespace

MasterList ParseMasterList(const QStringList& lines) {
  MasterList list;
  for (const QString& raw : lines) {
    const QString line = trimBlanks(raw).toUpper();
    if (line.contains(u'#')) {
      const QDate d = readListDate(QString(line).remove(u'#'));
      if (d.isValid()) list.date = d;
      continue;
    }
    // An empty line of a downloaded list keeps its line feed; it is no call either.
    if (QString(line).remove(u'\n').isEmpty()) continue;
    if (list.count <= MasterList::kLastEntry) list.calls << line;
    ++list.count;
  }
  return list;
}

QString MasterCheckCaption(int count) {
  return QStringLiteral("MasterCheck (") + QString::number(count) + u')';
}

bool LoadMasterList() {
  const QString path = programFile(QStringLiteral("master.txt"));
  if (!QFile::exists(path)) return false;
  // Read a block at a time: only the calls kept stay in memory, however long the
  // file (each line is read on its own, so the blocks' lists add up to the file's).
  MasterList list;
  forEachTextBlock(path, [&list](const QStringList& lines) {
    const MasterList part = ParseMasterList(lines);
    for (const QString& call : part.calls)
      if (list.calls.size() <= MasterList::kLastEntry) list.calls << call;
    list.count += part.count;
    if (part.date) list.date = part.date;
    return true;
  });
  ProgramState& st = state();
  st.MasterCalls = list.calls;
  st.MasterCallCount = list.count;
  if (list.date) st.MasterListDate = *list.date;
  return true;
}

}  // namespace vz
