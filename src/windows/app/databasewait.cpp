#include "app/databasewait.h"

#include <QDir>
#include <QEvent>
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
  // Shown before the main window, the box would end up under it: the operator would
  // see an empty log and no reason. It comes up once the main window is up.
  main_ = &form1();
  if (main_->isVisible())
    showBox();
  else
    main_->installEventFilter(this);
}

bool DatabaseWait::eventFilter(QObject* watched, QEvent* event) {
  if (watched == main_ && event->type() == QEvent::Show) {
    main_->removeEventFilter(this);
    // After the window manager has the main window: queued behind its showing.
    QTimer::singleShot(0, this, &DatabaseWait::showBox);
  }
  return QObject::eventFilter(watched, event);
}

void DatabaseWait::showBox() {
  if (!box_ || !timer_->isActive()) return;  // the file opened meanwhile
  box_->show();
  box_->raise();
  box_->activateWindow();
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
