#include "exchange/databasecopy.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <cerrno>

#include "platform/clock.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "platform/replacefile.h"

namespace vz {

namespace {

DatabaseCopy failed(const QString& step, const QString& file, const QString& words, int sqliteCode = -1) {
  DatabaseCopy c;
  c.error = failureMessage(step, file, words, sqliteCode);
  return c;
}

const QString kCopyStep = QStringLiteral("No se pudo copiar la base de datos");

}  // namespace

QString DatedDatabaseCopyPath(const QDate& day) {
  return programFile(QStringLiteral("base0_") + day.toString(QStringLiteral("dd_MM_yy")) + QStringLiteral(".mdb"));
}

DatabaseCopy CopyDatabaseFile() {
  const QString target = DatedDatabaseCopyPath(clock().now().date());
  const QString source = programFile(QLatin1String(db::kFileName));
  if (!db::isOpen() && !QFileInfo::exists(source)) return failed(kCopyStep, source, qt_error_string(ENOENT));
  // The copy gets the database file's access.
  ReplacingFile partial(target);
  if (!partial.open(QFile::permissions(source)))
    return failed(QStringLiteral("No se pudo crear la copia de la base de datos"), target, partial.errorString());

  if (db::isOpen()) {
    // VACUUM INTO through the program's own connection writes a consistent
    // snapshot of everything committed, where copying the file's bytes could catch
    // the database in the middle of a write. The passing file is empty, as it must be.
    QSqlQuery q(db::connection());
    q.prepare(QStringLiteral("VACUUM INTO ?"));
    q.addBindValue(partial.passingPath());
    if (!q.exec()) {
      const QSqlError e = q.lastError();
      return failed(kCopyStep, target, e.databaseText(), e.nativeErrorCode().toInt());
    }
  } else {
    // Nothing holds the file open: its bytes are the database.
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
      return failed(QStringLiteral("No se pudo leer la base de datos"), source, in.errorString());
    for (;;) {
      const QByteArray block = in.read(1 << 20);
      if (block.isEmpty()) {
        if (in.error() != QFileDevice::NoError)
          return failed(QStringLiteral("No se pudo leer la base de datos"), source, in.errorString());
        break;
      }
      if (!partial.write(block)) return failed(kCopyStep, target, partial.errorString());
    }
  }

  if (!partial.commit())
    return failed(QStringLiteral("No se pudo poner la copia de la base de datos en su lugar"), target,
                  partial.errorString());
  DatabaseCopy done;
  done.path = target;
  return done;
}

void MakeDatedDatabaseCopy() {
  // The menu stays usable during the hand-over below: chosen again meanwhile, it
  // does not start a second copy of the same file.
  static bool running = false;
  if (running) return;
  running = true;
  const auto done = qScopeGuard([] { running = false; });
  QCoreApplication::processEvents();
  const DatabaseCopy c = CopyDatabaseFile();
  if (c.ok()) {
    msgBox(c.path + QStringLiteral(" creada!"), MsgIcon::Information);
  } else {
    showError(c.error);
  }
}

}  // namespace vz
