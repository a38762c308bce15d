#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

namespace vz {

// The database file's dated copy: base0.mdb copied beside itself as
// "base0_dd_mm_yy.mdb", one per day (a later copy of the same day replaces it).

// The copy's path for a day: the program's folder, "/base0_", the day as "dd_mm_yy"
// and ".mdb".
QString DatedDatabaseCopyPath(const QDate& day);

// The outcome of a copy: the copy's path, or what went wrong, told as every failure
// is: the step and the file, then the system's words.
struct DatabaseCopy {
  QString path;
  QString error;
  bool ok() const { return error.isEmpty(); }
};

// Copies the database to the path of the clock's local day. The copy is written
// under a passing name (platform/replacefile) and replaces an earlier copy of the
// same day only once it is complete, so a failed copy leaves that as it was.
DatabaseCopy CopyDatabaseFile();

// "Base de Datos" of the back-up menu: makes the copy and says how it went, the
// copy's full path and " creada!", or the failure in one box.
void MakeDatedDatabaseCopy();

}  // namespace vz
