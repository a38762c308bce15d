#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/qtdialogs.h"

using namespace vz;

namespace {

// Drives whatever modal window the save dialog brings up: the file dialog gets the
// path and is accepted; any question box it raises is noted and refused, after
// which the file dialog is cancelled so the call always returns.
struct SaveDialogDriver {
  QString path;
  bool askedItself = false;
  bool pathGiven = false;

  void poll(QTimer& timer) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        askedItself = true;
        box->reject();
        return;
      }
    }
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    if (pathGiven) {
      d->reject();
      timer.stop();
      return;
    }
    pathGiven = true;
    // Typed into the name box, as the operator does.
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name) {
      d->reject();
      return;
    }
    name->setText(path);
    QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
  }
};

}  // namespace

// The writers ask "sobregraba?" themselves, so the dialog must hand back an existing
// file without a question of its own, and under exactly the name typed.
TEST(SaveFileDialog, AnExistingFileComesBackWithoutAQuestionOfItsOwn) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const struct {
    const char* name;
  } cases[] = {{"concurso.log"}, {"sin_extension"}};
  for (const auto& c : cases) {
    const QString path = dir.filePath(QString::fromLatin1(c.name));
    QFile existing(path);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    SaveDialogDriver driver{path};
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { driver.poll(timer); });
    timer.start(20);
    QtDialogService service;
    FileRequest request;
    request.title = QStringLiteral("Exportar a Cabrillo ...");
    request.filter = QStringLiteral("Cabrillo (*.log)");
    request.directory = dir.path();
    const QString chosen = service.saveFile(request);
    timer.stop();
    EXPECT_FALSE(driver.askedItself) << c.name;
    EXPECT_EQ(chosen, path) << c.name;
  }
}
