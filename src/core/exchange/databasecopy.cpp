#include "exchange/databasecopy.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/clock.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/programfolder.h"

namespace vz {

namespace {

DatabaseCopy failed(const QString& path, const QString& what, int code) {
  DatabaseCopy c;
  c.path = path;
  c.error = failureMessage(QStringLiteral("No se pudo copiar la base de datos"), path, what);
  c.code = code != 0 ? code : 1;
  return c;
}

}  // namespace

QString DatedDatabaseCopyPath(const QDate& day) {
  return programFile(QStringLiteral("base0_") + day.toString(QStringLiteral("dd_MM_yy")) + QStringLiteral(".mdb"));
}

QStringList RemoveInterruptedCopies(const QString& folder) {
  // Six characters of a temporary file's random part; only names this program makes.
  static const QRegularExpression leftover(
      QStringLiteral("^(base0_[A-Za-z0-9]{6}\\.tmp(-journal|-wal|-shm)?|"
                     "[^/]+\\.(ini|txt|cfg|cbr|adi|dat)\\.[A-Za-z0-9]{6})$"));
  QStringList removed;
  const QDir dir(folder);
  for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
    if (!leftover.match(f.fileName()).hasMatch()) continue;
    if (QFile::remove(f.absoluteFilePath())) removed << f.fileName();
  }
  return removed;
}

DatabaseCopy CopyDatabaseFile() {
  (void)RemoveInterruptedCopies(programFolder());
  const QString target = DatedDatabaseCopyPath(clock().now().date());
  // The copy is made under a passing name and only then put in place of the day's
  // earlier copy.
  QTemporaryFile partial(programFile(QStringLiteral("base0_XXXXXX.tmp")));
  if (!partial.open()) return failed(target, partial.errorString(), int(partial.error()));
  partial.close();

  if (db::isOpen()) {
    // VACUUM INTO through the program's own connection writes a consistent
    // snapshot of everything committed, where copying the file's bytes could catch
    // the database in the middle of a write.
    QSqlQuery q(db::connection());
    q.prepare(QStringLiteral("VACUUM INTO ?"));
    q.addBindValue(partial.fileName());
    if (!q.exec()) return failed(target, q.lastError().databaseText(), q.lastError().nativeErrorCode().toInt());
  } else {
    // Nothing holds the file open: its bytes are the database.
    const QString source = programFile(QLatin1String(db::kFileName));
    if (!QFile::exists(source)) return failed(target, QStringLiteral("no existe %1").arg(source), ENOENT);
    QFile::remove(partial.fileName());
    QFile in(source);
    if (!in.copy(partial.fileName())) return failed(target, in.errorString(), int(in.error()));
  }

  std::error_code ec;
  std::filesystem::rename(QFile::encodeName(partial.fileName()).toStdString(), QFile::encodeName(target).toStdString(), ec);
  if (ec) return failed(target, QString::fromStdString(ec.message()), ec.value());
  partial.setAutoRemove(false);
  // The passing name was made private; the copy gets the database file's access.
  const QFileDevice::Permissions access = QFile::permissions(programFile(QLatin1String(db::kFileName)));
  if (access) QFile::setPermissions(target, access);
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
    msgBox(QString::number(c.code));
  }
}

}  // namespace vz
