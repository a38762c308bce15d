#include "platform/launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>

#include "platform/dialogs.h"

namespace vz {
namespace {

Launcher*& installed() {
  static Launcher* l = nullptr;
  return l;
}

// Groups of an INI-like file (mimeapps.list, mimeinfo.cache, desktop entries):
// group name -> key -> raw value.
using IniGroups = QHash<QString, QHash<QString, QString>>;

IniGroups readIni(const QString& path) {
  IniGroups groups;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return groups;
  QString group;
  for (const QString& raw : QString::fromUtf8(f.readAll()).split(u'\n')) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[') && line.endsWith(u']')) {
      group = line.mid(1, line.size() - 2);
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) continue;
    const QString key = line.left(eq).trimmed();
    if (!groups[group].contains(key)) groups[group].insert(key, line.mid(eq + 1).trimmed());
  }
  return groups;
}

// The string escapes of a desktop entry value: \s \n \t \r \\.
QString unescapeValue(const QString& v) {
  QString out;
  for (qsizetype i = 0; i < v.size(); ++i) {
    if (v[i] == u'\\' && i + 1 < v.size()) {
      const QChar n = v[++i];
      if (n == u's') out += u' ';
      else if (n == u'n') out += u'\n';
      else if (n == u't') out += u'\t';
      else if (n == u'r') out += u'\r';
      else if (n == u'\\') out += u'\\';
      else out += QStringLiteral("\\") + n;
    } else {
      out += v[i];
    }
  }
  return out;
}

QStringList envDirs(const char* homeVar, const QString& homeDefault, const char* dirsVar,
                    const QString& dirsDefault) {
  QString home = qEnvironmentVariable(homeVar);
  if (home.isEmpty()) home = QDir::homePath() + homeDefault;
  QString dirs = qEnvironmentVariable(dirsVar);
  if (dirs.isEmpty()) dirs = dirsDefault;
  return QStringList{home} + dirs.split(u':', Qt::SkipEmptyParts);
}

bool isTrue(const QString& v) { return v == QLatin1String("true"); }

QString findProgram(const QString& program) {
  if (program.contains(u'/')) return QFileInfo(program).isExecutable() ? program : QString();
  return QStandardPaths::findExecutable(program);
}

}  // namespace

Launcher& launcher() {
  static DesktopLauncher desktopLauncher;
  return installed() ? *installed() : desktopLauncher;
}

void setLauncher(Launcher* l) { installed() = l; }

static QString openerFailure(int exitCode) {
  // xdg-open's exit codes.
  switch (exitCode) {
    case 2: return QStringLiteral("El archivo no existe.");
    case 3: return QStringLiteral("No hay en el escritorio un programa que lo abra.");
    case 4: return QStringLiteral("El programa del escritorio que debía abrirlo falló.");
    default: return QStringLiteral("El escritorio no pudo abrirlo (código %1).").arg(exitCode);
  }
}

// The desktop's opener (xdg-open) runs to its end, so its answer is known: having
// started it says nothing, since it may find no program for the file. It is never
// stopped, not even when this program ends first (the viewer may belong to it).
bool DesktopLauncher::openUrl(const QUrl& url) {
  const QString what = url.isLocalFile() ? url.toLocalFile() : url.toString();
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) {
    if (QDesktopServices::openUrl(url)) return true;
    notOpened(what, QStringLiteral("No hay en el escritorio un programa que lo abra."));
    return false;
  }
  auto* process = new QProcess;
  process->setProgram(opener);
  process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, [process, what](int code, QProcess::ExitStatus status) {
    process->deleteLater();
    if (status == QProcess::NormalExit && code == 0) return;
    notOpened(what, status == QProcess::NormalExit ? openerFailure(code)
                                                   : QStringLiteral("El programa del escritorio que debía abrirlo falló."));
  });
  process->start();
  if (!process->waitForStarted(5000)) {
    const QString why = process->errorString();
    delete process;
    notOpened(what, QStringLiteral("No se pudo iniciar el programa del escritorio: ") + why);
    return false;
  }
  return true;
}

bool DesktopLauncher::openDocument(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (!QFileInfo::exists(absolute)) {
    notOpened(absolute, QStringLiteral("El archivo no existe."));
    return false;
  }
  return openUrl(QUrl::fromLocalFile(absolute));
}

bool DesktopLauncher::openInTextEditor(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (const auto command = desktop::textEditorCommand(absolute)) {
    if (startProgram(command->first(), command->mid(1))) return true;
  }
  return openDocument(absolute);
}

void DesktopLauncher::notOpened(const QString& what, const QString& reason) {
  msgBox(QStringLiteral("No se pudo abrir:\r\n") + what + QStringLiteral("\r\n\r\n") + reason, MsgIcon::Exclamation);
}

bool DesktopLauncher::startProgram(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

namespace desktop {

std::optional<QStringList> expandExec(const QString& exec, const QString& path) {
  // Split into arguments: blanks separate, double quotes group, and inside quotes a
  // backslash keeps the next ", `, $ or \.
  QStringList words;
  QList<bool> quoted;
  QString current;
  bool inQuotes = false, inWord = false, wordQuoted = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (inQuotes) {
      if (c == u'\\' && i + 1 < exec.size() && QStringLiteral("\"`$\\").contains(exec[i + 1])) {
        current += exec[++i];
      } else if (c == u'"') {
        inQuotes = false;
      } else {
        current += c;
      }
    } else if (c == u' ' || c == u'\t') {
      if (inWord) {
        words << current;
        quoted << wordQuoted;
        current.clear();
        inWord = wordQuoted = false;
      }
    } else if (c == u'"') {
      inQuotes = inWord = wordQuoted = true;
    } else {
      current += c;
      inWord = true;
    }
  }
  if (inQuotes) return std::nullopt;
  if (inWord) {
    words << current;
    quoted << wordQuoted;
  }
  if (words.isEmpty()) return std::nullopt;

  // Fill the field codes; codes for icons, names and deprecated ones give nothing.
  const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
  QStringList args;
  bool fileGiven = false;
  for (qsizetype w = 0; w < words.size(); ++w) {
    const QString& word = words[w];
    if (quoted[w]) {
      args << word;
      continue;
    }
    QString out;
    bool onlyCodes = true;
    for (qsizetype i = 0; i < word.size(); ++i) {
      if (word[i] != u'%' || i + 1 >= word.size()) {
        out += word[i];
        onlyCodes = false;
        continue;
      }
      const QChar code = word[++i];
      if (code == u'f' || code == u'F') {
        out += path;
        fileGiven = true;
      } else if (code == u'u' || code == u'U') {
        out += url;
        fileGiven = true;
      } else if (code == u'%') {
        out += u'%';
        onlyCodes = false;
      }
    }
    if (!out.isEmpty() || !onlyCodes) args << out;
  }
  if (args.isEmpty()) return std::nullopt;
  if (!fileGiven) args << path;
  return args;
}

std::optional<QStringList> textEditorCommand(const QString& path) {
  const QString type = QStringLiteral("text/plain");
  const QStringList configDirs =
      envDirs("XDG_CONFIG_HOME", QStringLiteral("/.config"), "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
  QStringList appDirs;
  for (const QString& d : envDirs("XDG_DATA_HOME", QStringLiteral("/.local/share"), "XDG_DATA_DIRS",
                                  QStringLiteral("/usr/local/share:/usr/share")))
    appDirs << d + QStringLiteral("/applications");
  QStringList desktops;
  for (const QString& d : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
    desktops << d.toLower();

  QStringList lists;
  for (const QStringList& dirs : {configDirs, appDirs}) {
    for (const QString& dir : dirs) {
      for (const QString& d : desktops) lists << dir + u'/' + d + QStringLiteral("-mimeapps.list");
      lists << dir + QStringLiteral("/mimeapps.list");
    }
  }

  QStringList candidates;
  auto take = [&](const IniGroups& groups, const QString& group) {
    for (const QString& id : groups.value(group).value(type).split(u';', Qt::SkipEmptyParts))
      if (!candidates.contains(id.trimmed())) candidates << id.trimmed();
  };
  QList<IniGroups> parsed;
  for (const QString& l : lists) parsed << readIni(l);
  for (const IniGroups& g : parsed) take(g, QStringLiteral("Default Applications"));
  for (const IniGroups& g : parsed) take(g, QStringLiteral("Added Associations"));
  for (const QString& dir : appDirs) take(readIni(dir + QStringLiteral("/mimeinfo.cache")), QStringLiteral("MIME Cache"));

  for (const QString& id : candidates) {
    for (const QString& dir : appDirs) {
      const QString file = dir + u'/' + id;
      if (!QFileInfo::exists(file)) continue;
      const QHash<QString, QString> entry = readIni(file).value(QStringLiteral("Desktop Entry"));
      const QString tryExec = unescapeValue(entry.value(QStringLiteral("TryExec")));
      if (isTrue(entry.value(QStringLiteral("Hidden"))) || isTrue(entry.value(QStringLiteral("Terminal"))) ||
          (!tryExec.isEmpty() && findProgram(tryExec).isEmpty()))
        break;  // the first file of an id hides the others
      const auto command = expandExec(unescapeValue(entry.value(QStringLiteral("Exec"))), path);
      if (command && !findProgram(command->first()).isEmpty()) return command;
      break;
    }
  }
  return std::nullopt;
}

}  // namespace desktop
}  // namespace vz
