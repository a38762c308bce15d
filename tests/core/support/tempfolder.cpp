#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "platform/database.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"

namespace vz::test {

TempFolder::TempFolder(bool openDatabase) {
  if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
  setProgramFolder(dir_.path());
  if (openDatabase) {
    const Status s = db::open(dir_.path());
    if (!s) throw std::runtime_error(s.error.toStdString());
  }
}

TempFolder::~TempFolder() { db::close(); }

QString TempFolder::file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

void TempFolder::writeLines(const QString& name, const QStringList& lines) const {
  if (!writeTextLines(file(name), lines)) throw std::runtime_error("cannot write fixture");
}

QStringList TempFolder::readLines(const QString& name) const {
  QStringList l;
  readTextLines(file(name), &l);
  return l;
}

bool TempFolder::exists(const QString& name) const { return QFile::exists(file(name)); }

QString sourceFile(const QString& relative) {
  QString root = qEnvironmentVariable("VZ_SOURCE_DIR");
  if (root.isEmpty()) root = QStringLiteral(VZ_SOURCE_DIR_DEFAULT);
  return QDir(root).filePath(relative);
}

}  // namespace vz::test
