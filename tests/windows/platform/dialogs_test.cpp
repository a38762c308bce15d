#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "app/startup.h"
#include "platform/placement.h"
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

namespace {

// Notes the folder each file dialog opens in and answers it with the next planned
// file, or cancels it when none is left.
struct FolderWatcher {
  QStringList answers;
  QStringList openedIn;

  void poll() {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible() || d->property("seen").toBool()) return;
    d->setProperty("seen", true);
    openedIn << QDir::cleanPath(d->directory().absolutePath());
    if (answers.isEmpty()) {
      QMetaObject::invokeMethod(d, "reject", Qt::QueuedConnection);
      return;
    }
    d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answers.takeFirst());
    QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
  }
};

}  // namespace

// A file dialog opens where the operator last chose a file in any file dialog, at
// first in the home folder; a cancelled dialog changes nothing, and a dialog that
// names its own folder opens there.
// A short message under the program's title is as wide as the title needs, so the
// title bar does not cut it.
TEST(MessageBox, IsAsWideAsItsTitle) {
  QtDialogService service;
  int width = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      width = box->width();
      box->accept();
    }
  });
  timer.start(20);
  service.message({QStringLiteral("Listo!"), MsgIcon::None, MsgButtons::Ok, MsgAnswer::Ok, programTitle()});
  timer.stop();
  EXPECT_GE(width, CaptionWidth(programTitle()));
}

TEST(FileDialogFolder, FollowsTheLastChoiceFromTheHomeFolderOn) {
  QTemporaryDir a, b, own;
  ASSERT_TRUE(a.isValid() && b.isValid() && own.isValid());
  for (const QString& path : {a.filePath("uno.adi"), b.filePath("dos.adi")}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  rememberFileDialogChoice({});

  FolderWatcher watcher;
  watcher.answers = {a.filePath("uno.adi"), b.filePath("dos.adi"), b.filePath("tres.log")};
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { watcher.poll(); });
  timer.start(20);
  QtDialogService service;
  FileRequest adif{QStringLiteral("Abrir Archivo de ADIF ..."), QStringLiteral("ADIF (*.adi)"), {}, {}};
  FileRequest cabrillo{QStringLiteral("Exportar a Cabrillo ..."), QStringLiteral("Cabrillo (*.log)"), {}, {}};
  FileRequest audio{QStringLiteral("Abrir Archivo de Audio ..."), QStringLiteral("Audio (*.mp3 *.wav)"), own.path(), {}};

  EXPECT_EQ(service.openFile(adif), a.filePath("uno.adi"));
  EXPECT_EQ(service.openFile(adif), b.filePath("dos.adi"));
  EXPECT_EQ(service.saveFile(cabrillo), b.filePath("tres.log"));
  EXPECT_EQ(service.openFile(audio), QString());  // cancelled
  EXPECT_EQ(service.saveFile(cabrillo), QString());
  timer.stop();
  const QStringList expected = {QDir::cleanPath(QDir::homePath()), QDir::cleanPath(a.path()),
                                QDir::cleanPath(b.path()), QDir::cleanPath(own.path()), QDir::cleanPath(b.path())};
  EXPECT_EQ(watcher.openedIn, expected);
  rememberFileDialogChoice({});
}

// Qt's own buttons, dialogs and the serial port's texts read in Spanish once the
// translations are loaded.
TEST(QtTranslations, StandardButtonsAndSerialTextsReadInSpanish) {
  const QList<QTranslator*> translators = installQtTranslations(*qApp);
  ASSERT_EQ(translators.size(), 3) << "qt6-translations-l10n is not installed";
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Cancelar"));
  EXPECT_EQ(box.button(QDialogButtonBox::Save)->text().remove(u'&'), QStringLiteral("Guardar"));
  QFileDialog dialog(nullptr, QStringLiteral("Abrir Archivo de ADIF ..."));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  EXPECT_EQ(dialog.labelText(QFileDialog::Reject).remove(u'&'), QStringLiteral("Cancelar"));
  const char* const lockFailure = "Permission error while locking the device";
  EXPECT_NE(QCoreApplication::translate("QSerialPort", lockFailure), QString::fromLatin1(lockFailure));
  for (QTranslator* t : translators) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  QDialogButtonBox english(QDialogButtonBox::Cancel);
  EXPECT_EQ(english.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Cancel"));
}
