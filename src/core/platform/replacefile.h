#pragma once
// Files replaced whole. The new bytes go to a passing file beside the old one, which
// takes the old one's name only once everything is on disk: a write cut short (a
// full disk, the program killed) leaves the old file as it was.
//
// The passing file's name is one only this program makes: the file's own name,
// ".vz-tmp-" and twelve random lower-case letters or digits. It is locked (flock)
// from the moment it exists until it has its final name or is gone. The clean-up at
// start-up removes a file only when it has that exact form and nobody holds its
// lock: a leftover of a killed write. An operator's files ("config.ini.backup",
// "base0_backup.tmp") never have that form, and another running instance's write in
// progress is locked.
#include <QByteArrayView>
#include <QFileDevice>
#include <QString>
#include <QStringList>

namespace vz {

class ReplacingFile {
 public:
  // target: the file to replace (or create). A symbolic link is followed: the file
  // it points to is replaced and the link stays.
  explicit ReplacingFile(const QString& target);
  // A passing file not committed goes.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the passing file, empty and locked. permissions, when given, are set
  // before anything is written; without them the file keeps those of the file it
  // replaces, or gets the usual ones of a new file.
  bool open(QFileDevice::Permissions permissions = {});
  // All the bytes, or false.
  bool write(QByteArrayView bytes);
  // The bytes go to disk and the passing file takes the target's name.
  bool commit();
  // Removes the passing file.
  void discard();

  QString target() const { return target_; }
  // Where the bytes go meanwhile; another writer (the database's own) may write there.
  QString passingPath() const { return passing_; }
  // The system's words for the last failure.
  QString errorString() const { return error_; }

 private:
  bool fail(int err);
  QString target_;
  QString passing_;
  QString error_;
  int fd_ = -1;
};

// Removes from the folder (not its subfolders) the passing files of writes that were
// killed: names of the passing files' form that no one holds locked, and the
// database's journal files beside such a name ("-journal", "-wal", "-shm") once
// their passing file is gone. Returns the names removed. Run at start-up.
QStringList RemoveInterruptedWrites(const QString& folder);

}  // namespace vz
