// The contest window as the operator works it: the menu entry, a new contest from the
// chooser, QSOs typed with Tab between the boxes and stored with Enter, the keys.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/form8.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/fakeaudio.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

// Each stored QSO of the contest as "call sent received band mode".
QStringList storedQsos(const QString& contest) {
  QStringList rows;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT * FROM Tabla2 WHERE [Nombre Log]=? ORDER BY id", {contest});
  while (q.next()) {
    const ContestQso r = readContestQso(q);
    if (r.isQso()) rows << QStringList{r.Estacion, r.RSE, r.RSR, r.Banda, r.Modo}.join(' ');
  }
  return rows;
}

QWidget* focused() { return QApplication::focusWidget(); }

}  // namespace

class TstRoadForm4 : public QObject {
  Q_OBJECT

  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::FakeAudio> audio;

  // "Concursos" in the File menu, a new contest typed into the chooser, "Aceptar".
  bool openNewContest(const QString& name) {
    form1().cabro->trigger();
    Form8& chooser = form8();
    if (!chooser.isVisible() || !QTest::qWaitForWindowActive(&chooser)) return false;
    QTest::mouseClick(chooser.Text1, Qt::LeftButton);
    if (focused() != chooser.Text1) return false;
    test::typeIntoFocus(name);
    if (!test::click(chooser.Command1)) return false;
    Form4& f = form4();
    return f.isVisible() && QTest::qWaitForWindowActive(&f) &&
           QTest::qWaitFor([&] { return !f.Fecha->text().isEmpty() && !f.Hora->text().isEmpty(); });
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    audio = std::make_unique<test::FakeAudio>();
    state() = ProgramState{};
    folder->writeLines("cq.wav", {"RIFF"});
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario", "ArcAudio=" + folder->file("cq.wav")});
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    if (FormInstance<Form4>::loaded()) form4().Corresponsal->clear();  // nothing left to ask about
    FormInstance<Form7>::unload();
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    audio.reset();
    dialogs.reset();
    folder.reset();
  }

  // Call, Tab, Tab, received serial, Enter: the QSO is stored with the serial sent,
  // the boxes are ready for the next one. Backtab walks back.
  void tabBetweenBoxesAndEnterStores() {
    QVERIFY(openNewContest("copa"));
    Form4& f = form4();
    QCOMPARE(f.Label2->text(), QString("COPA"));
    QCOMPARE(f.RSE->text(), QString("1"));

    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    QCOMPARE(focused(), f.Corresponsal);
    test::typeIntoFocus("cx2abc");
    test::keyToFocus(Qt::Key_Tab);
    QCOMPARE(focused(), f.RSE);
    test::keyToFocus(Qt::Key_Tab);
    QCOMPARE(focused(), f.RSR);
    test::typeIntoFocus("012");
    QCOMPARE(f.Corresponsal->text(), QString("CX2ABC"));
    QCOMPARE(f.RSR->text(), QString("012"));
    // Backtab goes back the same way, and Tab forward again.
    test::keyToFocus(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), f.RSE);
    test::keyToFocus(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), f.Corresponsal);
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Tab);
    QCOMPARE(focused(), static_cast<QWidget*>(f.Combo1));
    test::keyToFocus(Qt::Key_Return);

    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos("COPA"), QStringList{"CX2ABC 1 012 80m SSB"});
    QCOMPARE(f.ListView2->topLevelItemCount(), 1);
    QCOMPARE(f.Corresponsal->text(), QString());
    QCOMPARE(f.RSR->text(), QString());
    QCOMPARE(f.RSE->text(), QString("2"));
    QCOMPARE(focused(), f.Corresponsal);

    // The second QSO the same way.
    test::typeIntoFocus("lu5xyz");
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Tab);
    test::typeIntoFocus("7");
    test::keyToFocus(Qt::Key_Enter);
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos("COPA"), (QStringList{"CX2ABC 1 012 80m SSB", "LU5XYZ 2 7 80m SSB"}));
    QCOMPARE(f.ListView2->topLevelItemCount(), 2);
    QCOMPARE(f.Label9->text(), ContestQsoCountCaption(2));
  }

  // Enter with an empty box names it and keeps what was typed.
  void enterWithEmptyReceivedSerial() {
    QVERIFY(openNewContest("copa"));
    Form4& f = form4();
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("cx2abc");
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Return);
    QCOMPARE(dialogs->texts(), QStringList{"Falta la Serie Recibida"});
    QCOMPARE(focused(), f.RSR);
    QCOMPARE(f.Corresponsal->text(), QString("CX2ABC"));
    QCOMPARE(storedQsos("COPA"), QStringList{});
  }

  // The keys: a repeated call shows the earlier QSO and Esc hides it; the arrows set
  // the speed; F12 opens the record editor on the last QSO.
  void keysOfTheWindow() {
    QVERIFY(openNewContest("copa"));
    Form4& f = form4();
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("cx2abc");
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Tab);
    test::typeIntoFocus("5");
    test::keyToFocus(Qt::Key_Return);
    QCOMPARE(storedQsos("COPA").size(), 1);

    test::typeIntoFocus("cx2abc");
    test::keyToFocus(Qt::Key_Tab);
    QVERIFY(f.Frame4->isVisible());
    QVERIFY(f.Label7->isVisible());  // "DUPLICADO"
    QCOMPARE(f.ListView1->topLevelItemCount(), 1);
    test::keyToFocus(Qt::Key_Escape);
    QVERIFY(f.Frame4->isHidden());
    QVERIFY(f.Label7->isHidden());
    QVERIFY(f.isVisible());
    test::keyToFocus(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), f.Corresponsal);
    f.Corresponsal->selectAll();
    test::keyToFocus(Qt::Key_Delete);
    QCOMPARE(f.Corresponsal->text(), QString());

    // F1 in a voice mode plays the recorded call; Esc stops it.
    QVERIFY(!f.Label13->isHidden());  // "Llamador CQ (F1)"
    test::keyToFocus(Qt::Key_F1);
    QVERIFY(audio->last());
    QCOMPARE(audio->last()->path, folder->file("cq.wav"));
    QVERIFY(audio->last()->isPlaying());
    test::keyToFocus(Qt::Key_Escape);
    QVERIFY(!audio->last()->isPlaying());
    QCOMPARE(f.Corresponsal->text(), QString());  // neither key typed anything

    const QString speed = f.LabelVel->text();
    test::keyToFocus(Qt::Key_Right);
    QCOMPARE(f.LabelVel->text(), QString("Vel 21 ppm"));
    test::keyToFocus(Qt::Key_Left);
    QCOMPARE(f.LabelVel->text(), speed);

    QString edited;
    QVERIFY(test::whileModal([] { test::keyToFocus(Qt::Key_F12); },
                             [&](QWidget* modal) {
                               QCOMPARE(modal, static_cast<QWidget*>(&form7()));
                               edited = form7().Text2->text();
                               modal->close();
                             }));
    QCOMPARE(edited, QString("CX2ABC"));

    // "Salir de Concurso" with a call typed asks first; No keeps the window.
    QVERIFY(test::returnTo(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("lu5xyz");
    QCOMPARE(f.Corresponsal->text(), QString("LU5XYZ"));
    QVERIFY(f.sdc->isEnabled());
    dialogs->answers.enqueue(MsgAnswer::No);
    f.sdc->trigger();
    QCOMPARE(dialogs->lastText(), QString("LU5XYZ sin registrar, lo descarta?"));
    QVERIFY(f.isVisible());
    dialogs->answers.enqueue(MsgAnswer::Yes);
    f.sdc->trigger();
    QVERIFY(QTest::qWaitFor([] { return !FormInstance<Form4>::loaded() || !form4().isVisible(); }));
    QCOMPARE(storedQsos("COPA").size(), 1);
  }
};

QTEST_MAIN(TstRoadForm4)
#include "tst_road_form4.moc"
