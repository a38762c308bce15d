#include "platform/qtdialogs.h"

#include "platform/cp1252box.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

#include "platform/placement.h"

namespace vz {
namespace {

QWidget* parentWidget() {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  return QApplication::activeWindow();
}

QString titleOr(const QString& t) { return t.isEmpty() ? programTitle() : t; }

// Without a window manager nobody hands the activation back once a message is closed:
// the window that asked gets it again, so the focus it sets next takes the keys.
void reactivate(QWidget* owner) {
  if (owner && owner->isVisible()) owner->activateWindow();
}

}  // namespace

MsgAnswer QtDialogService::message(const MessageRequest& r) {
  QWidget* owner = parentWidget();
  QMessageBox box(owner);
  box.setWindowTitle(titleOr(r.title));
  // Messages keep the original CR LF line breaks; a label wants LF alone.
  box.setText(QString(r.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  switch (r.icon) {
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::None: break;
  }
  struct B {
    MsgAnswer answer;
    QString caption;
    QMessageBox::ButtonRole role;
  };
  QList<B> set;
  const B ok{MsgAnswer::Ok, QStringLiteral("Aceptar"), QMessageBox::AcceptRole};
  const B cancel{MsgAnswer::Cancel, QStringLiteral("Cancelar"), QMessageBox::RejectRole};
  const B yes{MsgAnswer::Yes, QStringLiteral("Sí"), QMessageBox::YesRole};
  const B no{MsgAnswer::No, QStringLiteral("No"), QMessageBox::NoRole};
  const B retry{MsgAnswer::Retry, QStringLiteral("Reintentar"), QMessageBox::AcceptRole};
  const B abort{MsgAnswer::Abort, QStringLiteral("Anular"), QMessageBox::RejectRole};
  const B ignore{MsgAnswer::Ignore, QStringLiteral("Omitir"), QMessageBox::AcceptRole};
  switch (r.buttons) {
    case MsgButtons::Ok: set = {ok}; break;
    case MsgButtons::OkCancel: set = {ok, cancel}; break;
    case MsgButtons::YesNo: set = {yes, no}; break;
    case MsgButtons::YesNoCancel: set = {yes, no, cancel}; break;
    case MsgButtons::RetryCancel: set = {retry, cancel}; break;
    case MsgButtons::AbortRetryIgnore: set = {abort, retry, ignore}; break;
  }
  QHash<QAbstractButton*, MsgAnswer> answers;
  QPushButton* first = nullptr;
  QPushButton* def = nullptr;
  for (const B& b : set) {
    QPushButton* pb = box.addButton(b.caption, b.role);
    answers.insert(pb, b.answer);
    if (!first) first = pb;
    if (b.answer == r.defaultButton) def = pb;
  }
  if (!def) def = first;
  box.setDefaultButton(def);
  if (set.size() == 1) box.setEscapeButton(def);
  // The box is as wide as its caption needs (the screen allowing): a message box
  // sizes itself to its text and would cut a longer title.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    int width = CaptionWidth(box.windowTitle());
    if (const QScreen* s = owner ? owner->screen() : QGuiApplication::primaryScreen())
      width = std::min(width, s->availableGeometry().width() - 40);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  box.exec();
  reactivate(owner);
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && answers.contains(clicked)) return answers.value(clicked);
  // Closed from the title bar: the cancelling answer of the set, else its first.
  for (const B& b : set)
    if (b.answer == MsgAnswer::Cancel || b.answer == MsgAnswer::No) return b.answer;
  return set.first().answer;
}

QString QtDialogService::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  QWidget* owner = parentWidget();
  // The answers name a log (config.ini) or a call: one line the code page holds.
  QInputDialog box(owner);
  box.setWindowTitle(titleOr(title));
  box.setLabelText(prompt);
  box.setInputMode(QInputDialog::TextInput);
  if (auto* line = box.findChild<QLineEdit*>()) keepToCp1252(line);
  box.setTextValue(defaultText);
  const bool ok = box.exec() == QDialog::Accepted;
  const QString t = box.textValue();
  reactivate(owner);
  return ok ? t : QString();
}

QString QtDialogService::openFile(const FileRequest& r) {
  const QString chosen =
      QFileDialog::getOpenFileName(parentWidget(), r.title, fileDialogFolder(r.directory), r.filter);
  if (!chosen.isEmpty()) rememberFileDialogChoice(chosen);
  return chosen;
}

QString QtDialogService::saveFile(const FileRequest& r) {
  QString start = fileDialogFolder(r.directory);
  if (!r.fileName.isEmpty()) start += u'/' + r.fileName;
  // Every writer asks "sobregraba?" itself: a question from the dialog too would ask twice.
  const QString chosen = QFileDialog::getSaveFileName(parentWidget(), r.title, start, r.filter, nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
  if (!chosen.isEmpty()) rememberFileDialogChoice(chosen);
  return chosen;
}

// The windows' dialogs are the program's own once this file is linked; the windows
// library makes every program that links it link this file.
extern "C" void vz_windows_dialogs() {}

namespace {
const bool kStandardInstalled = [] {
  static QtDialogService service;
  setStandardDialogService(&service);
  return true;
}();
}  // namespace

}  // namespace vz
