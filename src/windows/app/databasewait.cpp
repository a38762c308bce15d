#include "app/databasewait.h"

#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "store/gridbackfill.h"
#include "store/programstate.h"

namespace vz {

DatabaseWait::DatabaseWait(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &DatabaseWait::retry);
  timer_->start();
  box_ = new QMessageBox(QMessageBox::Information, programTitle(),
                         QStringLiteral("La base de datos está en uso por otro programa…\r\n%1\r\n\r\n"
                                        "El programa sigue en cuanto quede libre.")
                             .arg(QDir::toNativeSeparators(QDir(db::folder()).filePath(QLatin1String(db::kFileName)))),
                         QMessageBox::NoButton, &form1());
  box_->setObjectName(QStringLiteral("databaseWait"));
  box_->setAttribute(Qt::WA_DeleteOnClose);
  box_->setStandardButtons(QMessageBox::Ok);
  // Over the main window, which stays usable meanwhile.
  box_->setWindowModality(Qt::NonModal);
  box_->show();
}

DatabaseWait::~DatabaseWait() {
  if (box_) box_->close();
}

bool DatabaseWait::waiting() const { return timer_->isActive(); }

void DatabaseWait::retry() {
  if (!db::isOpen() && !db::reopen()) {
    if (db::lastOpenFoundLock()) return;  // still in use: next second
  }
  timer_->stop();
  if (box_) box_->close();
  if (db::isOpen()) {
    // The start-up step skipped the list while the file was locked.
    if (!form1().Timer2->isActive()) {
      form1().ListView2->clear();
      LoadLogPage(state().CurrentLogName, 1);
      ResumeGridBackFills();
    }
  } else {
    // Something else went wrong; the next step that needs the file says what.
  }
  emit opened();
}

DatabaseWait* openDatabaseAtStart(const QString& folder, QObject* parent) {
  if (const QString notice = db::missingFileNotice(folder); !notice.isEmpty()) showWarning(notice);
  const Status s = db::open(folder);
  if (s) return nullptr;
  if (db::lastOpenFoundLock()) return new DatabaseWait(parent);
  showError(s.error);
  return nullptr;
}

}  // namespace vz
