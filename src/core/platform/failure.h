#pragma once
#include <QString>

namespace vz {

// The common kinds of failure the system reports, each with Spanish text of our own.
enum class FailureKind { Other, Locked, DiskFull, ReadOnly, NotADatabase, FolderInPlace, Permission, Missing,
                         Moved };  // removed or replaced under the open database

// The kind named by a system's error text (SQLite's, errno's or Qt's words) or, for
// the database, by SQLite's result code (-1 when there is none).
FailureKind failureKindOf(const QString& systemText, int sqliteCode = -1);
// The operator's words for a kind; empty for Other.
QString failureKindText(FailureKind kind);

// The one way a failure is shown: a Spanish line naming the step and the file, the
// Spanish words for a common kind, then the system's own words as they came.
// file may be empty when the step touches none.
QString failureMessage(const QString& step, const QString& file, const QString& systemText, int sqliteCode = -1);

// Said whenever a step that would have stored something gave up.
inline QString nothingStoredText() { return QStringLiteral("No se guardó nada."); }

}  // namespace vz
