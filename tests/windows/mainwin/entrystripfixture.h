#pragma once
// The main window ready for typing a QSO, as an operator finds it after start-up:
// shown and active, selectors filled, a station and operator set, a current log,
// a small prefix table. The timers are stopped: the date and time boxes hold what a
// test puts there.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "mainwin/form1.h"
#include "mainwin/form17.h"
#include "mainwin/form5.h"
#include "platform/database.h"
#include "store/callsign.h"
#include "store/programstate.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

namespace vz::test {

inline const QString kTestLog = QStringLiteral("Mi log");
inline const QString kStation = QStringLiteral("LU9STA");
inline const QString kOperator = QStringLiteral("LU9OPR");

class EntryStripFixture {
 public:
  EntryStripFixture() {
    state() = ProgramState{};
    state().CurrentLogName = kTestLog;
    state().MainFormReady = true;
    Form1& f = form1();
    // After the window: its start-up loads the prefix file of the program's folder.
    prefixTable().setEntries({QStringLiteral("EA;EA;España"), QStringLiteral("EA8;EA8;Islas Canarias"),
                              QStringLiteral("K;K;Estados Unidos"), QStringLiteral("LU;LU;Argentina"),
                              QStringLiteral("W;K;Estados Unidos")});
    // As after the start-up step; the clock stopped, the usage report not sent.
    for (QTimer* t : {f.Timer1, f.Timer2, f.Timer7}) t->stop();
    fillOnce(f.Combo1, {"SSB", "CW", "FM", "DVoice", "Sat SSB", "Sat CW"});
    fillOnce(f.mhz, {"1", "3", "5", "7", "10", "14", "18", "21", "24", "28", "50", "144", "145", "430", "435"});
    f.Combo1->setCurrentText(QStringLiteral("SSB"));
    f.mhz->setCurrentText(QStringLiteral("7"));
    f.Text1->setText(QStringLiteral("150"));
    f.Label7->setText(QStringLiteral("40m"));
    f.Label2->setText(kStation);
    f.Label3->setText(kOperator);
    f.Label8->setText(QStringLiteral("GF05"));
    f.Fecha->setText(QStringLiteral("12/05/2024"));
    f.Hora->setText(QStringLiteral("21:30"));
    f.RSE->setText(QStringLiteral("59"));
    f.RSR->setText(QStringLiteral("59"));
    f.show();
    if (!QTest::qWaitForWindowActive(&f)) qFatal("main window not active");
    f.Corresponsal->setFocus();
    QApplication::processEvents();
    dialogs.clear();
  }
  ~EntryStripFixture() {
    FormInstance<Form5>::unload();
    FormInstance<Form17>::unload();
    FormInstance<Form1>::unload();
    prefixTable().clear();
  }

  TempFolder folder;
  ScriptedDialogs dialogs;

 private:
  static void fillOnce(QComboBox* box, std::initializer_list<const char*> items) {
    for (const char* i : items)
      if (box->findText(QString::fromUtf8(i)) < 0) box->addItem(QString::fromUtf8(i));
  }
};

inline QWidget* focused() { return QApplication::focusWidget(); }

// Lets queued focus moves (a refused box taking the focus back) happen.
inline void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Types into the box that has the focus, as keys; non-ASCII characters too.
inline void typeText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(w, c.toLatin1());
      continue;
    }
    QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// Focus into a box the way the operator does it, then type.
inline void typeInto(QLineEdit* box, const QString& text) {
  box->setFocus();
  settle();
  typeText(box, text);
}

inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* w = focused();
  if (!w) w = &form1();
  QTest::keyClick(w, key, modifiers);
  settle();
}

inline void pressEnter() { press(Qt::Key_Return); }

// The rows of the test log, oldest first, as "column=value" for the named columns.
inline QList<QSqlRecord> storedQsos() {
  QList<QSqlRecord> rows;
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT * FROM Tabla1 WHERE [Nombre Log]=? AND [Modo]<>'' ORDER BY id"), {kTestLog}))
    return rows;
  while (q.next()) rows << q.record();
  return rows;
}

// An earlier QSO of the test log with a worked grid.
inline void addEarlierQso(const QString& call, const QString& grid, const QString& log = kTestLog) {
  const Status s = db::exec(
      QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                     "[Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) VALUES "
                     "('SSB', '40m', 'LU9STA', ?, '01/01/2020', '10:00:00', '59', '59', '', 'LU9OPR', ?, '7.050', "
                     "'GF05', ?, '1', '', '')"),
      {db::textValue(call), db::textValue(log), db::textValue(grid)});
  if (!s) qFatal("%s", qPrintable(s.error));
}

}  // namespace vz::test
