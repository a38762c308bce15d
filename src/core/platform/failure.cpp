#include "platform/failure.h"

#include <QFileInfo>

namespace vz {

FailureKind failureKindOf(const QString& systemText, int sqliteCode) {
  if (sqliteCode == 1032) return FailureKind::Moved;  // SQLITE_READONLY_DBMOVED: not a read-only file
  switch (sqliteCode & 0xff) {
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
      return FailureKind::Locked;
    case 13: return FailureKind::DiskFull;
    case 8: return FailureKind::ReadOnly;
    case 26: return FailureKind::NotADatabase;
    case 3: return FailureKind::Permission;  // SQLITE_PERM
    default: break;
  }
  const QString t = systemText.toLower();
  if (t.contains(QLatin1String("database is locked")) || t.contains(QLatin1String("database table is locked")) ||
      t.contains(QLatin1String("database is busy")))
    return FailureKind::Locked;
  if (t.contains(QLatin1String("disk is full")) || t.contains(QLatin1String("no space left")) ||
      t.contains(QLatin1String("disk full")))
    return FailureKind::DiskFull;
  if (t.contains(QLatin1String("readonly")) || t.contains(QLatin1String("read-only")) ||
      t.contains(QLatin1String("read only")) || t.contains(QLatin1String("is not writable")))
    return FailureKind::ReadOnly;
  if (t.contains(QLatin1String("not a database")) || t.contains(QLatin1String("malformed")))
    return FailureKind::NotADatabase;
  if (t.contains(QLatin1String("is a directory"))) return FailureKind::FolderInPlace;
  if (t.contains(QLatin1String("permission denied")) || t.contains(QLatin1String("access denied")) ||
      t.contains(QLatin1String("operation not permitted")))
    return FailureKind::Permission;
  if (t.contains(QLatin1String("no such file")) || t.contains(QLatin1String("not found")) ||
      t.contains(QLatin1String("does not exist")))
    return FailureKind::Missing;
  return FailureKind::Other;
}

QString failureKindText(FailureKind kind) {
  switch (kind) {
    case FailureKind::Locked:
      return QStringLiteral("La base de datos está en uso por otro programa; vuelva a intentarlo cuando quede libre.");
    case FailureKind::DiskFull: return QStringLiteral("El disco está lleno.");
    case FailureKind::ReadOnly: return QStringLiteral("El archivo o el disco es de sólo lectura.");
    case FailureKind::NotADatabase:
      return QStringLiteral("El archivo no es una base de datos de este programa o está dañado.");
    case FailureKind::FolderInPlace: return QStringLiteral("Hay una carpeta donde debería estar el archivo.");
    case FailureKind::Permission: return QStringLiteral("No hay permiso para usar el archivo.");
    case FailureKind::Missing: return QStringLiteral("El archivo no existe.");
    case FailureKind::Moved:
      return QStringLiteral("El archivo fue borrado o reemplazado mientras el programa lo usaba; "
                            "se abrirá de nuevo en el próximo paso.");
    case FailureKind::Other: break;
  }
  return {};
}

QString failureMessage(const QString& step, const QString& file, const QString& systemText, int sqliteCode) {
  QString first = step;
  if (!file.isEmpty()) first += QStringLiteral(" (") + file + u')';
  if (!first.endsWith(u'.') && !first.endsWith(u'!') && !first.endsWith(u':')) first += u'.';
  QString out = first;
  // SQLite says only "unable to open database file" for a folder in the file's place.
  const FailureKind found = !file.isEmpty() && QFileInfo(file).isDir() ? FailureKind::FolderInPlace
                                                                      : failureKindOf(systemText, sqliteCode);
  const QString kind = failureKindText(found);
  if (!kind.isEmpty()) out += QStringLiteral("\r\n") + kind;
  const QString words = systemText.trimmed();
  // Our own readers already give the kind's words as their reason: said once.
  if (!words.isEmpty() && words != kind) out += QStringLiteral("\r\n(") + words + u')';
  return out;
}

}  // namespace vz
