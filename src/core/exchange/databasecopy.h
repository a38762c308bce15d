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

// The outcome of a copy: the copy's path, or what went wrong and its error code
// (never 0).
struct DatabaseCopy {
  QString path;
  QString error;
  int code = 0;
  bool ok() const { return error.isEmpty(); }
};

// Copies the database to the path of the clock's local day. An earlier copy of the
// same day is replaced only once the new copy is complete, so a failed copy leaves
// it as it was.
DatabaseCopy CopyDatabaseFile();

// Removes what an interrupted copy or rewrite left in the folder: the copy's passing
// file "base0_XXXXXX.tmp" with its journal, and the temporary files of the program's
// own files rewritten whole ("config.ini.XXXXXX"). Returns the names removed. Called
// at start-up and before each copy.
QStringList RemoveInterruptedCopies(const QString& folder);

// "Base de Datos" of the back-up menu: makes the copy and says how it went, the
// copy's full path and " creada!", or the failure's text and then its error code.
void MakeDatedDatabaseCopy();

}  // namespace vz
