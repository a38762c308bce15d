#include "app/startup.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QTreeWidget>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/textfile.h"
#include "store/programstate.h"

namespace vz {

namespace {

// The log in use as config.ini names it ("LogenUso=" and the name), or empty text.
QString logNameFromConfig() {
  QStringList lines;
  if (!readTextLines(programFile(QStringLiteral("config.ini")), &lines)) return {};
  const QString key = QStringLiteral("LogenUso=");
  for (const QString& line : lines)
    if (line.startsWith(key)) return line.mid(key.size(), 100);
  return {};
}

}  // namespace

int runProgram(QApplication& app) {
  const Status s = db::open(programFolder());
  if (!s) showError(s.error);

  Form1& main = form1();
  main.setWindowTitle(QStringLiteral("Vantorel Zezeror V") + state().ProgramVersion);
  main.show();

  if (QFile::exists(programFile(QStringLiteral("config.ini")))) {
    state().CurrentLogName = logNameFromConfig();
    main.Frame1->setTitle(state().CurrentLogName);
    if (db::isOpen()) {
      SetFileMenuEnabled(QStringLiteral("0"));
      main.ListView2->clear();
      LoadLogPage(state().CurrentLogName, 1);
      SetFileMenuEnabled(QStringLiteral("1"));
    }
  }
  return app.exec();
}

}  // namespace vz
