#include "platform/replacefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vz {

namespace {

constexpr int kRandomLength = 12;

QString passingName(const QString& target) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  QString name = target + QStringLiteral(".vz-tmp-");
  for (int i = 0; i < kRandomLength; ++i)
    name += QLatin1Char(kChars[QRandomGenerator::system()->bounded(int(sizeof kChars - 1))]);
  return name;
}

mode_t modeOf(QFileDevice::Permissions p) {
  const unsigned bits = p.toInt();
  return mode_t(((bits >> 6) & 0700) | ((bits >> 1) & 070) | (bits & 07));
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_ino == b.st_ino && a.st_dev == b.st_dev; }

// The file the name stands for still is the one open on fd.
bool stillNamed(int fd, const QByteArray& name) {
  struct stat opened {}, named {};
  return ::fstat(fd, &opened) == 0 && ::lstat(name.constData(), &named) == 0 && sameFile(opened, named);
}

// Removes the passing file of a killed write: a plain file, still under its name,
// that nobody holds locked. A running write holds the lock until its file has its
// final name or is gone.
bool removeIfUnlocked(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  const bool removed = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                       stillNamed(fd, name) && ::unlink(name.constData()) == 0;
  ::close(fd);
  return removed;
}

}  // namespace

ReplacingFile::ReplacingFile(const QString& target) : target_(target) {
  // A link is followed so that the link stays a link (a dangling one too).
  QFileInfo info(target_);
  for (int hops = 0; hops < 40 && info.isSymLink(); ++hops) {
    target_ = info.symLinkTarget();
    info.setFile(target_);
  }
}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::fail(int err) {
  error_ = qt_error_string(err);
  return false;
}

bool ReplacingFile::open(QFileDevice::Permissions permissions) {
  discard();
  error_.clear();
  struct stat old {};
  const bool replacing = ::stat(QFile::encodeName(target_).constData(), &old) == 0;
  // Nothing is written that could never take the name.
  if (replacing && S_ISDIR(old.st_mode)) return fail(EISDIR);
  // Private until it has the access it is meant to have: a file opened meanwhile
  // would keep its access to what is written later.
  const mode_t created = permissions || replacing ? 0600 : 0666;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const QString path = passingName(target_);
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, created);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return fail(errno);
    }
    // A clean-up of another instance may take the new file between its creation and
    // the lock; then it is gone, or about to go, and another name is tried.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !stillNamed(fd, name)) {
      ::close(fd);
      continue;
    }
    fd_ = fd;
    passing_ = path;
    int failed = 0;
    if (permissions) {
      if (::fchmod(fd, modeOf(permissions)) != 0) failed = errno;
    } else if (replacing) {
      (void)::fchmod(fd, old.st_mode & 07777);
    }
    if (failed) {
      discard();
      return fail(failed);
    }
    return true;
  }
  return fail(EEXIST);
}

bool ReplacingFile::write(QByteArrayView bytes) {
  if (fd_ < 0) return fail(EBADF);
  const char* p = bytes.data();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, size_t(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (n == 0) return fail(ENOSPC);
    p += n;
    left -= n;
  }
  return true;
}

bool ReplacingFile::commit() {
  if (fd_ < 0) return fail(EBADF);
  if (::fsync(fd_) != 0) {
    const int err = errno;
    discard();
    return fail(err);
  }
  // Renamed while still locked: a clean-up never sees the name unlocked before
  // it is gone.
  if (::rename(QFile::encodeName(passing_).constData(), QFile::encodeName(target_).constData()) != 0) {
    const int err = errno;
    discard();
    return fail(err);
  }
  ::close(fd_);
  fd_ = -1;
  passing_.clear();
  return true;
}

void ReplacingFile::discard() {
  if (fd_ < 0) return;
  ::unlink(QFile::encodeName(passing_).constData());
  ::close(fd_);
  fd_ = -1;
  passing_.clear();
}

QStringList RemoveInterruptedWrites(const QString& folder) {
  static const QRegularExpression own(
      QStringLiteral("^(.+\\.vz-tmp-[a-z0-9]{%1})(-journal|-wal|-shm)?$").arg(kRandomLength));
  const QDir dir(folder);
  QStringList removed;
  QStringList journals;
  for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    const QRegularExpressionMatch m = own.match(name);
    if (!m.hasMatch()) continue;
    if (m.capturedLength(2) > 0) {
      journals << name;
      continue;
    }
    if (removeIfUnlocked(dir.filePath(name))) removed << name;
  }
  // A journal belongs to its passing file: it goes only once that is gone.
  for (const QString& name : journals) {
    const QString main = own.match(name).captured(1);
    if (!QFileInfo::exists(dir.filePath(main)) && removeIfUnlocked(dir.filePath(name))) removed << name;
  }
  return removed;
}

}  // namespace vz
