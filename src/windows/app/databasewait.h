#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

class QMessageBox;
class QTimer;

namespace vz {

// Start-up while another program holds base0.mdb locked: the operator is told so in
// a box that does not stop the window, the file is tried again every second, and
// once it opens the box goes and the current log is shown.
class DatabaseWait : public QObject {
  Q_OBJECT
 public:
  explicit DatabaseWait(QObject* parent = nullptr);
  ~DatabaseWait() override;
  bool waiting() const;

 signals:
  void opened();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void retry();
  void showBox();
  QPointer<QWidget> main_;
  QTimer* timer_ = nullptr;
  QPointer<QMessageBox> box_;
};

// Opens the program's database at start-up: says first when a log is expected but
// base0.mdb is missing; waits out another program's lock (see DatabaseWait); shows
// any other failure. The returned wait (null when none was needed) belongs to parent.
DatabaseWait* openDatabaseAtStart(const QString& folder, QObject* parent);

}  // namespace vz
