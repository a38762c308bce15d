// The contest window as the operator works it: the menu entry, a new contest from the
// chooser, QSOs typed with Tab between the boxes and stored with Enter, the keys.
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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
#include "platform/serialline.h"
#include "platform/services.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/fakeaudio.h"
#include "support/localhttpserver.h"
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

// A choice made as the operator makes it: the list opened with a click, the arrow
// keys to the entry, Enter; the window then taken back (nothing hands it back
// offscreen). False when the list did not open or the choice did not take.
bool chooseInList(QComboBox* combo, const QString& text) {
  const int row = combo->findText(text);
  if (row < 0) return false;
  QTest::mouseClick(combo, Qt::LeftButton);
  QAbstractItemView* list = combo->view();
  if (!QTest::qWaitFor([&] { return list->isVisible(); })) return false;
  for (int guard = 0; list->currentIndex().row() != row && guard < combo->count(); ++guard)
    QTest::keyClick(list, list->currentIndex().row() < row ? Qt::Key_Down : Qt::Key_Up);
  QTest::keyClick(list, Qt::Key_Return);
  if (!QTest::qWaitFor([&] { return !list->isVisible(); })) return false;
  return test::returnTo(combo->window()) && combo->currentText() == text;
}

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
    KeyerPortErrorSeen().clear();
    // The master list's age check asks nobody: no server answers there.
    qputenv(serviceEnvironmentVariable(Service::WebSite), "http://127.0.0.1:1");
    folder->writeLines("cq.wav", {"RIFF"});
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario", "ArcAudio=" + folder->file("cq.wav")});
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    if (FormInstance<Form4>::loaded()) form4().Corresponsal->clear();  // nothing left to ask about
    if (dialogs) dialogs->whileOpen = nullptr;
    serial.refuse.clear();
    KeyerPortErrorSeen().clear();
    qunsetenv(serviceEnvironmentVariable(Service::WebSite));
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

  // Every contest shortcut that opens a dialog, with Ctrl let go while the dialog is
  // open (its release goes there): the letters typed afterwards are letters, a W
  // does not empty the call and an F does not switch the colours.
  void ctrlReleasedInADialogLeavesLettersAsLetters_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+O in the main window, the chooser") << int(Qt::Key_O);
    QTest::newRow("Ctrl+E, Eliminar Log") << int(Qt::Key_E);
    QTest::newRow("Ctrl+T, Transferir a Base Principal") << int(Qt::Key_T);
    QTest::newRow("Ctrl+C, Exportar Cabrillo") << int(Qt::Key_C);
    QTest::newRow("Ctrl+A, Exportar ADIF") << int(Qt::Key_A);
    QTest::newRow("Ctrl+M, Actualización MasterCheck") << int(Qt::Key_M);
    QTest::newRow("Ctrl+S with a call typed, answered No") << int(Qt::Key_S);
  }
  void ctrlReleasedInADialogLeavesLettersAsLetters() {
    QFETCH(int, key);
    QWidget messageBox;  // stands for the open message: the key's release goes to it
    dialogs->whileOpen = [&](const MessageRequest&) { QTest::keyRelease(&messageBox, Qt::Key_Control); };
    if (key == Qt::Key_O) {
      QWidget* mainBox = QApplication::focusWidget();
      QVERIFY(mainBox);
      QTest::keyPress(mainBox, Qt::Key_Control);
      QTest::keyPress(mainBox, Qt::Key_O, Qt::ControlModifier);
      Form8& chooser = form8();
      QVERIFY(chooser.isVisible() && QTest::qWaitForWindowActive(&chooser));
      QTest::keyRelease(chooser.Text1, Qt::Key_Control);
      QTest::mouseClick(chooser.Text1, Qt::LeftButton);
      test::typeIntoFocus("copa");
      QVERIFY(test::click(chooser.Command1));
      QVERIFY(QTest::qWaitForWindowActive(&form4()));
      QVERIFY(QTest::qWaitFor([] { return !form4().Fecha->text().isEmpty(); }));  // the clock's first tick
    } else {
      QVERIFY(openNewContest("copa"));
      Form4& f = form4();
      QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
      if (key == Qt::Key_S) {
        test::typeIntoFocus("lu5xyz");
        dialogs->answers.enqueue(MsgAnswer::No);
      }
      QTest::keyPress(f.Corresponsal, Qt::Key_Control);
      QTest::keyPress(f.Corresponsal, Qt::Key(key), Qt::ControlModifier);
      QVERIFY2(!dialogs->messages.isEmpty(), "the command showed no message");
      QVERIFY(f.isVisible());
      if (key == Qt::Key_S) {
        QCOMPARE(dialogs->lastText(), QString("LU5XYZ sin registrar, lo descarta?"));
        f.Corresponsal->selectAll();
        test::keyToFocus(Qt::Key_Backspace);
      }
    }
    Form4& f = form4();
    QVERIFY(test::returnTo(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("lw2dfx");
    QCOMPARE(f.Corresponsal->text(), QString("LW2DFX"));
    QVERIFY(!f.Check7->isChecked());
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Tab);
    test::typeIntoFocus("5");
    test::keyToFocus(Qt::Key_Return);
    QCOMPARE(dialogs->texts().filter("Falta"), QStringList{});
    QCOMPARE(storedQsos("COPA"), QStringList{"LW2DFX 1 5 80m SSB"});
  }

  // A "Fija" contest: the exchange typed for the first QSO stays in "Serie Enviada"
  // after the record editor's "Guardar" and after a confirmed "Eliminar", so the next
  // Enter stores the QSO rather than asking for it.
  void fixedExchangeSurvivesTheRecordEditor() {
    form1().cabro->trigger();
    Form8& chooser = form8();
    QVERIFY(chooser.isVisible() && QTest::qWaitForWindowActive(&chooser));
    QTest::mouseClick(chooser.Text1, Qt::LeftButton);
    test::typeIntoFocus("copa");
    QTest::mouseClick(chooser.Option2, Qt::LeftButton, {}, QPoint(8, chooser.Option2->height() / 2));  // "Fija"
    QVERIFY(chooser.Option2->isChecked());
    QVERIFY(test::click(chooser.Command1));
    Form4& f = form4();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(QTest::qWaitFor([&] { return !f.Fecha->text().isEmpty(); }));  // the clock's first tick
    QCOMPARE(f.Label3->text(), kSerialFija);
    QCOMPARE(f.RSE->text(), QString());

    auto logQso = [&](const QString& call, const QString& sent, const QString& received) {
      QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
      test::typeIntoFocus(call);
      test::keyToFocus(Qt::Key_Tab);
      test::typeIntoFocus(sent);
      test::keyToFocus(Qt::Key_Tab);
      test::typeIntoFocus(received);
      test::keyToFocus(Qt::Key_Return);
    };
    logQso("cx2abc", "ba", "cd");
    QCOMPARE(f.RSE->text(), QString("BA"));
    logQso("lu5xyz", "", "ef");
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos("COPA"), (QStringList{"CX2ABC BA CD 80m SSB", "LU5XYZ BA EF 80m SSB"}));

    // "Guardar" on the newest QSO, its received exchange corrected.
    QVERIFY(test::whileModal([&] { test::doubleClickRow(f.ListView2, f.ListView2->topLevelItem(0)); },
                             [&](QWidget*) {
                               form7().Text7->setText("EG");
                               QVERIFY(test::click(form7().Command1));
                             }));
    QVERIFY(test::returnTo(&f));
    QCOMPARE(storedQsos("COPA"), (QStringList{"CX2ABC BA CD 80m SSB", "LU5XYZ BA EG 80m SSB"}));
    QCOMPARE(f.ListView2->topLevelItemCount(), 2);
    QCOMPARE(f.RSE->text(), QString("BA"));

    // A confirmed "Eliminar" on it.
    dialogs->answers.enqueue(MsgAnswer::Yes);
    QVERIFY(test::whileModal([&] { test::doubleClickRow(f.ListView2, f.ListView2->topLevelItem(0)); },
                             [&](QWidget*) { QVERIFY(test::click(form7().Command2)); }));
    QVERIFY(test::returnTo(&f));
    QCOMPARE(f.ListView2->topLevelItemCount(), 1);
    QCOMPARE(f.RSE->text(), QString("BA"));

    logQso("ea1aa", "", "gh");
    QCOMPARE(dialogs->texts(), QStringList{"Elimina el QSO con LU5XYZ?"});
    QCOMPARE(storedQsos("COPA"), (QStringList{"CX2ABC BA CD 80m SSB", "EA1AA BA GH 80m SSB"}));
  }

  // Every way out of the record editor opened with F12 brings the window back to
  // life: the sent serial is read again from the log, and the band and mode lists
  // answer the operator (the serial of the new band, the CW macros) so the next QSO
  // is stored with them. The delete question is a real message box, whose going
  // must not hide that the editor was up.
  void everyWayOutOfTheRecordEditorActivatesTheWindow_data() {
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("handedBack");  // a window manager gives the window the activation back
    QTest::addColumn<QString>("sentBack");
    QTest::addColumn<QString>("sentOnNewBand");
    QTest::addColumn<QStringList>("stored");
    const QStringList kept{"CX2ABC 1 11 80m SSB", "LU5XYZ 2 12 80m SSB", "EA1AA 3 13 80m SSB"};
    const QStringList keptFixed{"CX2ABC BA 11 80m SSB", "LU5XYZ BA 12 80m SSB", "EA1AA BA 13 80m SSB"};
    const QStringList next{"PY2ZZ 1 5 40m CW"};
    const QStringList nextFixed{"PY2ZZ BA 5 40m CW"};
    QTest::newRow("incremental, Eliminar, Sí") << false << "Sí" << true << "3" << "1" << kept.mid(0, 2) + next;
    QTest::newRow("incremental, Eliminar, No") << false << "No" << true << "4" << "1" << kept + next;
    QTest::newRow("incremental, Guardar") << false << "Guardar" << true << "4" << "1" << kept + next;
    QTest::newRow("incremental, Esc") << false << "Esc" << true << "4" << "1" << kept + next;
    QTest::newRow("fixed, Eliminar, Sí") << true << "Sí" << true << "BA" << "BA" << keptFixed.mid(0, 2) + nextFixed;
    QTest::newRow("fixed, Eliminar, No") << true << "No" << true << "BA" << "BA" << keptFixed + nextFixed;
    QTest::newRow("fixed, Guardar") << true << "Guardar" << true << "BA" << "BA" << keptFixed + nextFixed;
    QTest::newRow("fixed, Esc") << true << "Esc" << true << "BA" << "BA" << keptFixed + nextFixed;
    // Without a window manager the window takes the activation back itself.
    QTest::newRow("incremental, Eliminar, Sí, nobody hands back")
        << false << "Sí" << false << "3" << "1" << kept.mid(0, 2) + next;
    QTest::newRow("fixed, Esc, nobody hands back") << true << "Esc" << false << "BA" << "BA" << keptFixed + nextFixed;
  }
  void everyWayOutOfTheRecordEditorActivatesTheWindow() {
    QFETCH(bool, fixed);
    QFETCH(QString, way);
    QFETCH(bool, handedBack);
    QFETCH(QString, sentBack);
    QFETCH(QString, sentOnNewBand);
    QFETCH(QStringList, stored);

    form1().cabro->trigger();
    Form8& chooser = form8();
    QVERIFY(chooser.isVisible() && QTest::qWaitForWindowActive(&chooser));
    QTest::mouseClick(chooser.Text1, Qt::LeftButton);
    test::typeIntoFocus("copa");
    if (fixed)
      QTest::mouseClick(chooser.Option2, Qt::LeftButton, {}, QPoint(8, chooser.Option2->height() / 2));
    QVERIFY(test::click(chooser.Command1));
    Form4& f = form4();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(QTest::qWaitFor([&] { return !f.Fecha->text().isEmpty(); }));  // the clock's first tick
    QCOMPARE(f.Combo2->currentText(), QString("80m"));
    QCOMPARE(f.Combo1->currentText(), QString("SSB"));

    const QStringList calls{"cx2abc", "lu5xyz", "ea1aa"};
    for (int i = 0; i < calls.size(); ++i) {
      QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
      test::typeIntoFocus(calls[i]);
      test::keyToFocus(Qt::Key_Tab);
      if (fixed && i == 0) test::typeIntoFocus("ba");
      test::keyToFocus(Qt::Key_Tab);
      test::typeIntoFocus(QString::number(11 + i));
      test::keyToFocus(Qt::Key_Return);
    }
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos("COPA").size(), 3);
    QCOMPARE(f.RSE->text(), fixed ? QString("BA") : QString("4"));

    // F12 on the newest QSO. The delete question is a window of its own while it is
    // open, and the last one active before the contest window: the editor is gone
    // by the time anyone would hand the activation back to it.
    if (way == "Sí" || way == "No") {
      dialogs->answers.enqueue(way == "Sí" ? MsgAnswer::Yes : MsgAnswer::No);
      dialogs->whileOpen = [](const MessageRequest& m) {
        QMessageBox box(QMessageBox::Question, QString(), m.text, QMessageBox::Yes | QMessageBox::No);
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
      };
    }
    QVERIFY(test::whileModal([] { test::keyToFocus(Qt::Key_F12); },
                             [&](QWidget* editor) {
                               QCOMPARE(editor, static_cast<QWidget*>(&form7()));
                               QCOMPARE(form7().Text2->text(), QString("EA1AA"));
                               if (way == "Guardar") QVERIFY(test::click(form7().Command1));
                               else if (way == "Esc") test::keyToFocus(Qt::Key_Escape);
                               else QVERIFY(test::click(form7().Command2));
                             }));
    dialogs->whileOpen = nullptr;
    if (way == "Sí" || way == "No") QCOMPARE(dialogs->texts(), QStringList{"Elimina el QSO con EA1AA?"});
    dialogs->clear();

    if (handedBack) QVERIFY(test::returnTo(&f));
    QTRY_VERIFY(QApplication::activeWindow() == &f);
    QTRY_VERIFY(!state().ContestFormBusy);
    QCOMPARE(f.RSE->text(), sentBack);

    QVERIFY(chooseInList(f.Combo2, "40m"));
    QCOMPARE(f.RSE->text(), sentOnNewBand);
    if (!fixed) QCOMPARE(focused(), f.Corresponsal);
    QVERIFY(chooseInList(f.Combo1, "CW"));
    QVERIFY(f.Frame1->isVisible());  // "Macros CW"
    QCOMPARE(focused(), f.Corresponsal);

    test::typeIntoFocus("py2zz");
    test::keyToFocus(Qt::Key_Tab);
    test::keyToFocus(Qt::Key_Tab);
    test::typeIntoFocus("5");
    test::keyToFocus(Qt::Key_Return);
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(storedQsos("COPA"), stored);
  }

  // A keyer port that cannot be opened: the list names each port's device; the
  // warning comes once the window is ready (the bands listed), in Spanish, naming
  // the device, with the master list's question only after it is answered; the next
  // contest of the same run does not repeat it.
  void keyerPortThatCannotOpenWarnsOncePerRun() {
    serial.refuse.insert("ttyS0", SerialErrorText(QSerialPort::PermissionError));
    test::LocalHttpServer web;
    web.defaultReply.contentType = "text/plain";
    web.defaultReply.body = "#20/03/2024\nAA1A\n";
    qputenv(serviceEnvironmentVariable(Service::WebSite), web.base().toUtf8());
    int open = 0;
    int mostOpen = 0;
    int bandsListed = -1;
    dialogs->whileOpen = [&](const MessageRequest& m) {
      mostOpen = std::max(mostOpen, ++open);
      if (m.text.startsWith("COM1")) {
        bandsListed = form4().Combo2->count();
        QTest::qWait(5600);  // read slowly: the master list's check is due meanwhile
      }
      --open;
    };
    dialogs->answers << MsgAnswer::Ok << MsgAnswer::No;  // the warning; no update

    QVERIFY(openNewContest("copa"));
    QTRY_VERIFY_WITH_TIMEOUT(dialogs->messages.size() == 2, 15000);
    const QString warning = "COM1 (ttyS0)\r\n" + SerialErrorText(QSerialPort::PermissionError);
    QCOMPARE(dialogs->texts().first(), warning);
    QCOMPARE(dialogs->messages.first().icon, MsgIcon::Exclamation);
    QVERIFY(dialogs->texts().last().contains("debe actualizarse"));
    QCOMPARE(mostOpen, 1);
    QCOMPARE(bandsListed, 8);
    Form4& f = form4();
    QCOMPARE(f.Combo3->currentText(), QString("COM1 (ttyS0)"));
    QCOMPARE(f.Combo3->itemText(1), QString("COM2 (ttyUSB0)"));
    QCOMPARE(f.Combo3->itemText(3), QString("COM4 (no existe)"));
    QVERIFY(serial.openPorts().isEmpty());

    // "Salir de Concurso" unloads the window; the settings keep "COM1".
    f.sdc->trigger();
    QTRY_VERIFY(!FormInstance<Form4>::loaded());
    QCOMPARE(folder->readLines("varCW.cfg").value(0), QString("COM1"));

    // The next contest of the run: the same port fails without a word.
    dialogs->clear();
    form1().cabro->trigger();
    Form8& chooser = form8();
    QVERIFY(chooser.isVisible() && QTest::qWaitForWindowActive(&chooser));
    QTreeWidgetItem* row = chooser.ListView1->topLevelItem(0);
    QVERIFY(row);
    test::doubleClickRow(chooser.ListView1, row);
    QVERIFY(form4().isVisible() && QTest::qWaitForWindowActive(&form4()));
    QTest::qWait(200);
    QCOMPARE(dialogs->texts(), QStringList{});
    QCOMPARE(form4().Combo2->count(), 8);
  }
};

QTEST_MAIN(TstRoadForm4)
#include "tst_road_form4.moc"
