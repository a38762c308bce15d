#pragma once
#include <QString>
#include <QStringList>

namespace vz {

// The folder every file "beside the program" lives in: the executable's folder,
// unless the command line names another with --folder DIR.
QString programFolder();
void setProgramFolder(const QString& folder);
// Full path of a file in the program's folder.
QString programFile(const QString& name);

// Picks the folder from the command line (--folder DIR or --folder=DIR); falls back
// to the executable's folder. Returns the arguments that remain.
QStringList takeFolderArgument(const QStringList& args, const QString& executableFolder);

}  // namespace vz
