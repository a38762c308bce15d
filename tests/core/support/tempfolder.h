#pragma once
#include <QString>
#include <QTemporaryDir>

#include "platform/status.h"

namespace vz::test {

// A fresh program folder for one test: it becomes the program's folder and, with
// openDatabase, holds a newly created base0.mdb. Everything is removed afterwards.
class TempFolder {
 public:
  explicit TempFolder(bool openDatabase = true);
  ~TempFolder();
  QString path() const { return dir_.path(); }
  QString file(const QString& name) const;
  // Writes a Windows-1252 file with CR LF line endings.
  void writeLines(const QString& name, const QStringList& lines) const;
  QStringList readLines(const QString& name) const;
  bool exists(const QString& name) const;

 private:
  QTemporaryDir dir_;
};

// Path of a file under the source tree (test fixtures, shipped data).
QString sourceFile(const QString& relative);

}  // namespace vz::test
