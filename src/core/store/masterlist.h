#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace vz {

// The master call list of master.txt as the start-up reads it: one call per line and
// a date line (the line that holds "#").
struct MasterList {
  // Entries 0 to 2000 at most, in file order, trimmed and upper-cased.
  static constexpr int kLastEntry = 2000;
  QStringList calls;
  // Call lines read, also those past the last entry.
  int count = 0;
  // The date the date line carries; absent when there is none or it is no date.
  std::optional<QDate> date;
};

// Reads the lines of master.txt. A line holding "#" anywhere is the date line: every
// "#" is removed and the rest read as a date, day first ("15/03/2024") or as
// year-month-day ("2024-03-15"). An empty line is no call: it would end the
// master-call check, which stops at the first empty entry. A line written by the
// update keeps its line feed, so a line holding nothing else is empty as well. The
// count is the number of calls, those past the last entry included.
MasterList ParseMasterList(const QStringList& lines);

// The master-call panel's caption: "MasterCheck (12)". Start-up and the update both
// show MasterCallCount through it.
QString MasterCheckCaption(int count);

// Loads master.txt from the program's folder into MasterCalls, MasterCallCount and
// MasterListDate (which keeps its value when the file has no readable date). False,
// and nothing changed, when there is no file.
bool LoadMasterList();

}  // namespace vz
