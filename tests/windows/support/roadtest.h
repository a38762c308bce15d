#pragma once
// Helpers for tests that go the operator's road: a window opened modally by a menu
// entry or a button is worked from inside its own event loop, as the operator works it.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <QtTest>
#include <functional>

#include "mainwin/form1.h"
#include "store/programstate.h"

namespace vz::test {

// Runs `steps` with the modal window as soon as a new one is up (one other than the
// modal window of the moment), whatever opens it: a timer of the program, a step the
// test started. Returns at once with the timer that watches; `done` tells when the
// steps have run. A window the steps leave open is hidden afterwards, so a failed
// check never leaves the test waiting on it.
inline QPointer<QTimer> whenModalShows(const std::function<void(QWidget*)>& steps, bool* done) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  auto* poll = new QTimer(qApp);
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, qApp, [poll, steps, done, before] {
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    if (!modal || modal == before || !modal->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    QTest::qWaitForWindowActive(modal);
    steps(modal);
    if (modal && modal->isVisible()) modal->hide();
    *done = true;
  });
  poll->start();
  return poll;
}

// Runs `open` (which shows a window modally and returns when it closes) and, once
// that window is up, `steps` with it. False when no modal window came up.
inline bool whileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& steps) {
  bool ran = false;
  QPointer<QTimer> poll = whenModalShows(steps, &ran);
  open();
  delete poll;  // nothing came up: no later window is taken for this one
  return ran;
}

// The main window shown and through its start-up step (config.ini must be in the
// program folder): the File menu is on, the current log listed, the clock running. False when the step
// does not end.
inline bool startMainWindow() {
  Form1& f = form1();
  f.show();
  // The clock's first tick, within a second, ends start-up for the handlers that wait for it.
  return QTest::qWaitFor([&] { return f.iadif->isEnabled() && state().MainFormReady && !f.Fecha->text().isEmpty(); },
                         15000);
}

// The operator going back to a window once another one closed: without a window
// manager (offscreen, bare Xvfb) nobody hands the activation back.
inline bool returnTo(QWidget* window) {
  window->activateWindow();
  return QTest::qWaitForWindowActive(window);
}

// A left click on a button the operator can reach: shown and enabled.
inline bool click(QAbstractButton* b) {
  if (!b || !b->isVisible() || !b->isEnabled()) return false;
  QTest::mouseClick(b, Qt::LeftButton);
  return true;
}

// Types text into whichever control has the focus, as keys on the keyboard; letters
// beyond ASCII go as key events with their text.
inline void typeIntoFocus(const QString& text) {
  for (const QChar c : text) {
    QWidget* w = QApplication::focusWidget();
    if (!w) return;
    if (c.unicode() < 0x80) {
      QTest::keyClick(w, c.toLatin1());
      continue;
    }
    QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// A key pressed on whichever control has the focus.
inline void keyToFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  if (QWidget* w = QApplication::focusWidget()) QTest::keyClick(w, key, modifiers);
}

}  // namespace vz::test

namespace vz::test {

// A double-click on a row of a list, where the operator sees it.
template <class View, class Item>
inline void doubleClickRow(View* view, Item* item) {
  view->scrollToItem(item);
  const QPoint at = view->visualItemRect(item).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// The same on a row of a list shown over a model.
inline void doubleClickRow(QAbstractItemView* view, int row) {
  const QModelIndex index = view->model()->index(row, 2);
  view->scrollTo(index);
  const QPoint at = view->visualRect(index).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace vz::test

namespace vz::test {

// A click on a list's column heading.
inline void clickHeading(QHeaderView* header, int section) {
  const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace vz::test

namespace vz::test {

// The texts of one column of a list, top to bottom, as the operator reads them.
inline QStringList columnTexts(const QTreeWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

// The same for a list shown over a model.
inline QStringList columnTexts(const QAbstractItemView* list, int column) {
  QStringList texts;
  const QAbstractItemModel* model = list->model();
  for (int i = 0; i < model->rowCount(); ++i) texts << model->index(i, column).data().toString();
  return texts;
}

}  // namespace vz::test
