// The entry strip's boxes as the operator meets them: typed and pasted keys, focus
// colours and selections, the call's country, the leave checks and completions,
// the proposed grid, the kHz jump and the selectors.
#include <QAbstractItemView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QSqlRecord>

#include "entrystripfixture.h"
#include "mainwin/form1.h"
#include "platform/clock.h"
#include "setup/form2.h"

using namespace vz;
using vz::test::focused;
using vz::test::settle;
using vz::test::typeInto;

namespace {

QLineEdit* boxNamed(const QString& name) { return form1().findChild<QLineEdit*>(name); }

QColor baseOf(QLineEdit* box) { return box->palette().color(QPalette::Base); }
const QColor kFocusBlue(192, 192, 255);

}  // namespace

class TstEntryStrip : public QObject {
  Q_OBJECT

  test::EntryStripFixture* env_ = nullptr;
  test::ScriptedDialogs& dialogs() { return env_->dialogs; }

 private slots:
  void init() { env_ = new test::EntryStripFixture; }
  void cleanup() {
    delete env_;
    env_ = nullptr;
  }

  void typedKeysAreFiltered_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("call upper-cased") << "Corresponsal" << "lu1abc" << "LU1ABC";
    QTest::newRow("call keeps / and ?") << "Corresponsal" << "ea8/x?" << "EA8/X?";
    QTest::newRow("call drops the rest") << "Corresponsal" << "w1-a w.b" << "W1AWB";
    QTest::newRow("call drops ñ and é") << "Corresponsal" << "lñ9éx" << "L9X";
    QTest::newRow("grid upper-cased") << "Text2" << "gf05ta" << "GF05TA";
    QTest::newRow("grid drops /") << "Text2" << "g/f" << "GF";
    QTest::newRow("date") << "Fecha" << "12-05.2024/" << "12052024/";
    QTest::newRow("time") << "Hora" << "21.3:0" << "213:0";
    QTest::newRow("khz") << "Text1" << "1.5" << "15";
    QTest::newRow("report takes anything") << "RSE" << "5a-" << "5a-";
    QTest::newRow("remarks take anything") << "Obs" << "Buena señal, 73!" << "Buena señal, 73!";
  }
  void typedKeysAreFiltered() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QLineEdit* b = boxNamed(box);
    b->clear();
    typeInto(b, typed);
    QCOMPARE(b->text(), shown);
  }

  void pastedTextIsFilteredAndEditingKeysStillWork() {
    Form1& f = form1();
    QGuiApplication::clipboard()->setText(QStringLiteral("lu1-abc/p ñ"));
    typeInto(f.Corresponsal, "");
    test::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Corresponsal->text(), QString("LU1ABC/P"));
    test::press(Qt::Key_Home);
    // Delete as the X server sends it, with its DEL character.
    QTest::sendKeyEvent(QTest::Click, f.Corresponsal, Qt::Key_Delete, QString(QChar(0x7f)), Qt::NoModifier);
    QCOMPARE(f.Corresponsal->text(), QString("U1ABC/P"));
    test::press(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(f.Corresponsal->text(), QString("LU1ABC/PU1ABC/P"));  // at most 15
    // Tab still moves on: it is no typed character for the filter.
    test::press(Qt::Key_Tab);
    QCOMPARE(focused(), f.Fecha);

    // The context menu's "Paste" filters too.
    f.Text2->clear();
    typeInto(f.Text2, "");
    QGuiApplication::clipboard()->setText(QStringLiteral("gf05/ta"));
    bool pasted = false;
    QTimer::singleShot(0, [&pasted] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* a : menu->actions())
        if (a->text().startsWith(QLineEdit::tr("&Paste"))) {
          a->trigger();
          pasted = true;
        }
      menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), f.Text2->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f.Text2, &menuEvent);
    QTRY_VERIFY(pasted);  // the box's own menu opens without waiting
    QCOMPARE(f.Text2->text(), QString("GF05TA"));
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));

    QGuiApplication::clipboard()->setText(QStringLiteral("Tnx, ñandú"));
    f.Obs->clear();
    typeInto(f.Obs, "");
    test::press(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Obs->text(), QString("Tnx, ñandú"));
  }

  void focusedBoxTurnsBlueAndSelectsItsPart() {
    Form1& f = form1();
    f.Corresponsal->setText("EA8XYZ");
    f.Corresponsal->setFocus();
    settle();
    QCOMPARE(baseOf(f.Corresponsal), kFocusBlue);
    QCOMPARE(state().FocusedEntryField, 1);
    const struct {
      QLineEdit* box;
      int number;
      const char* selected;
    } walk[] = {{f.Fecha, 2, "12"}, {f.Hora, 3, "30"}, {f.RSE, 4, "59"}, {f.RSR, 5, "59"}, {f.Text1, 6, "150"}};
    QLineEdit* previous = f.Corresponsal;
    for (const auto& w : walk) {
      test::press(Qt::Key_Tab);
      QCOMPARE(focused(), w.box);
      QCOMPARE(state().FocusedEntryField, w.number);
      QCOMPARE(baseOf(w.box), kFocusBlue);
      QCOMPARE(w.box->selectedText(), QString(w.selected));
      QCOMPARE(baseOf(previous), QColor(Qt::white));
      previous = w.box;
    }
    test::press(Qt::Key_Tab);
    QCOMPARE(state().FocusedEntryField, 7);
    test::press(Qt::Key_Tab);
    QCOMPARE(state().FocusedEntryField, 8);
    // Leaving the strip keeps the number of the last box.
    f.ListView2->setFocus();
    settle();
    QCOMPARE(state().FocusedEntryField, 8);
    QCOMPARE(baseOf(f.Obs), QColor(Qt::white));
  }

  void callShowsItsCountryAndEnablesTheLookups() {
    Form1& f = form1();
    const auto buttons = [&f] {
      return QString("%1%2%3").arg(f.Command7->isEnabled()).arg(f.Command13->isEnabled()).arg(f.Command14->isEnabled());
    };
    QCOMPARE(buttons(), QString("000"));
    typeInto(f.Corresponsal, "e");
    QCOMPARE(buttons(), QString("111"));
    QCOMPARE(f.Label18->text(), QString());
    test::typeText(f.Corresponsal, "a8");
    QCOMPARE(f.Label18->text(), QString("Islas Canarias"));
    test::typeText(f.Corresponsal, "xyz");
    QCOMPARE(f.Label18->text(), QString("Islas Canarias"));
    // Back to two characters: the label keeps what it showed.
    for (int i = 0; i < 4; ++i) test::press(Qt::Key_Backspace);
    QCOMPARE(f.Corresponsal->text(), QString("EA"));
    QCOMPARE(f.Label18->text(), QString("Islas Canarias"));
    test::press(Qt::Key_Backspace);
    test::press(Qt::Key_Backspace);
    QCOMPARE(f.Label18->text(), QString());
    QCOMPARE(buttons(), QString("000"));
    // No prefix matches: the strip says Argentina.
    test::typeText(f.Corresponsal, "qq9z");
    QCOMPARE(f.Label18->text(), QString("Argentina"));
    f.Corresponsal->clear();
    test::typeText(f.Corresponsal, "w1aw");
    QCOMPARE(f.Label18->text(), QString("Estados Unidos"));
  }

  void callIsCheckedOnLeaving_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<bool>("refused");
    QTest::newRow("a call") << "EA8XYZ" << false;
    QTest::newRow("no digit") << "EAXYZ" << true;
    QTest::newRow("no letter") << "1234" << true;
    QTest::newRow("only / and ?") << "/?/" << true;
    QTest::newRow("empty") << "" << false;
  }
  void callIsCheckedOnLeaving() {
    QFETCH(QString, call);
    QFETCH(bool, refused);
    Form1& f = form1();
    typeInto(f.Corresponsal, call);
    f.Obs->setFocus();
    settle();
    if (refused) {
      QCOMPARE(dialogs().texts(), QStringList{call + " NO Parece ser una Señal distintiva Válida!"});
      QCOMPARE(dialogs().messages.last().icon, MsgIcon::Exclamation);
      QCOMPARE(focused(), f.Corresponsal);
      QCOMPARE(baseOf(f.Corresponsal), kFocusBlue);
    } else {
      QVERIFY(dialogs().messages.isEmpty());
      QCOMPARE(focused(), f.Obs);
    }
  }

  void leavingTheCallProposesItsEarlierGrid_data() {
    QTest::addColumn<QString>("earlierCall");
    QTest::addColumn<QString>("earlierGrid");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("gridBefore");
    QTest::addColumn<QString>("gridAfter");
    QTest::newRow("proposed") << "CE3ABC" << "FF78" << "CE3ABC" << "" << "FF78";
    QTest::newRow("typed grid stays") << "CE3ABC" << "FF78" << "CE3ABC" << "GF05" << "GF05";
    QTest::newRow("call with /") << "CE3ABC/P" << "FF78" << "CE3ABC/P" << "" << "";
    QTest::newRow("no grid before") << "CE3ABC" << "" << "CE3ABC" << "" << "";
    QTest::newRow("other station") << "CE3ABC" << "FF78" << "CE3ABD" << "" << "";
    // An imported grid with a lower-case subsquare loses it on the way in.
    QTest::newRow("lower-case subsquare") << "CE3ABC" << "FF78ab" << "CE3ABC" << "" << "FF78";
  }
  void leavingTheCallProposesItsEarlierGrid() {
    QFETCH(QString, earlierCall);
    QFETCH(QString, earlierGrid);
    QFETCH(QString, call);
    QFETCH(QString, gridBefore);
    QFETCH(QString, gridAfter);
    Form1& f = form1();
    test::addEarlierQso(call, "GG00", "Otro log");  // another log's grid never counts
    test::addEarlierQso(earlierCall, earlierGrid);
    f.Text2->setText(gridBefore);
    typeInto(f.Corresponsal, call);
    f.Obs->setFocus();
    settle();
    QCOMPARE(f.Text2->text(), gridAfter);
    QVERIFY(dialogs().messages.isEmpty());
  }

  void gridKeepsItsShapeAndLengthOnLeaving_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");
    QTest::newRow("digit first") << "5" << "" << false;
    QTest::newRow("letter third") << "GFA" << "GF" << true;
    QTest::newRow("four") << "GF05" << "GF05" << false;
    QTest::newRow("six") << "GF05TA" << "GF05TA" << false;
    QTest::newRow("digit fifth") << "GF051" << "GF05" << false;
    QTest::newRow("one") << "G" << "G" << true;
    QTest::newRow("three") << "GF0" << "GF0" << true;
    QTest::newRow("five") << "GF05T" << "GF05T" << true;
  }
  void gridKeepsItsShapeAndLengthOnLeaving() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    Form1& f = form1();
    typeInto(f.Text2, typed);
    QCOMPARE(f.Text2->text(), shown);
    QCOMPARE(f.Text2->cursorPosition(), int(shown.size()));
    f.Obs->setFocus();
    settle();
    QCOMPARE(dialogs().texts(), refused ? QStringList{"Grilla incorrecta!"} : QStringList{});
    QCOMPARE(focused(), refused ? f.Text2 : f.Obs);
    if (!refused) return;
    // Every further attempt to leave repeats it.
    f.Corresponsal->setFocus();
    settle();
    QCOMPARE(dialogs().messages.size(), 2);
    QCOMPARE(focused(), f.Text2);
  }

  void khzJumpsToTheRemarksAndCompletesOnLeaving() {
    Form1& f = form1();
    f.Text1->clear();
    typeInto(f.Text1, "21");
    QCOMPARE(focused(), f.Text1);
    test::typeText(f.Text1, "5");
    QCOMPARE(focused(), f.Obs);  // the third digit
    QCOMPARE(f.Label7->text(), QString("40m"));

    // One digit: completed to 500 on leaving, which also jumps to the remarks.
    f.mhz->setCurrentText("14");
    f.Text1->clear();
    typeInto(f.Text1, "5");
    f.Text2->setFocus();
    settle();
    QCOMPARE(f.Text1->text(), QString("500"));
    QCOMPARE(focused(), f.Obs);
    QCOMPARE(f.Label7->text(), QString("20m"));
    QVERIFY(dialogs().messages.isEmpty());

    // While the program starts the box does not jump.
    state().MainFormReady = false;
    f.Text1->clear();
    typeInto(f.Text1, "123");
    QCOMPARE(focused(), f.Text1);
  }

  void khzOutsideTheBandIsShownAndTheBoxTakesTheFocusBack() {
    Form1& f = form1();
    f.Text1->clear();
    f.mhz->setCurrentText("3");
    typeInto(f.Text1, "45");
    f.Corresponsal->setFocus();
    settle();
    QCOMPARE(f.Text1->text(), QString("450"));
    QCOMPARE(f.Label7->text(), QString("80m"));
    QCOMPARE(dialogs().texts(), QStringList{"3.450 KHz\r\n\r\nFuera de banda!"});
    QCOMPARE(focused(), f.Text1);
  }

  void mhzSetsTheBandAndSendsTheFocusToTheCall() {
    Form1& f = form1();
    f.Text1->setText("200");
    f.Obs->setFocus();
    settle();
    f.mhz->setCurrentText("144");
    settle();
    QCOMPARE(f.Label7->text(), QString("2m"));
    QCOMPARE(focused(), f.Corresponsal);
    // An empty kHz box leaves the band as it was.
    f.Text1->clear();
    f.mhz->setCurrentText("21");
    QCOMPARE(f.Label7->text(), QString("2m"));
  }

  void dateIsCompletedOrRefusedOnLeaving_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");
    QTest::newRow("a date") << "24/12/2023" << "24/12/2023" << false;
    QTest::newRow("no year") << "12/05/" << "12/05/2000" << false;
    QTest::newRow("no such day") << "31/04/2024" << "31/04/2024" << true;
    QTest::newRow("one-digit day") << "1/05/2024" << "1/05/2024" << true;
    QTest::newRow("empty") << "" << "" << true;
  }
  void dateIsCompletedOrRefusedOnLeaving() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    Form1& f = form1();
    f.Fecha->clear();
    typeInto(f.Fecha, typed);
    f.Hora->setFocus();
    settle();
    QCOMPARE(f.Fecha->text(), shown);
    if (refused) {
      QCOMPARE(dialogs().texts(), QStringList{"la Fecha " + shown + " no es válida!\r\n\r\nFormato: dd/mm/aaaa"});
      QCOMPARE(focused(), f.Fecha);
      QCOMPARE(f.Fecha->selectedText(), shown.left(2));
    } else {
      QVERIFY(dialogs().messages.isEmpty());
      QCOMPARE(focused(), f.Hora);
    }
  }

  void timeIsWrittenOrRefusedOnLeaving_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("refused");
    QTest::newRow("hh:mm") << "21:30" << "21:30" << false;
    QTest::newRow("h:m") << "9:5" << "09:05" << false;
    QTest::newRow("digits only") << "930" << "930" << true;
    QTest::newRow("hour 24") << "24:00" << "24:00" << true;
    QTest::newRow("question marks") << "?:??" << "?:??" << true;
  }
  void timeIsWrittenOrRefusedOnLeaving() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, refused);
    Form1& f = form1();
    f.Hora->clear();
    typeInto(f.Hora, typed);
    f.RSE->setFocus();
    settle();
    QCOMPARE(f.Hora->text(), shown);
    QCOMPARE(dialogs().texts(),
             refused ? QStringList{"la Hora " + shown + " no es válida!\r\n\r\nFormato: hh:mm"} : QStringList{});
    QCOMPARE(focused(), refused ? f.Hora : f.RSE);
  }

  void refusedReportBecomes59WhateverTheMode_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    for (const char* box : {"RSE", "RSR"}) {
      const auto row = [box](const char* name) -> QTestData& { return QTest::addRow("%s %s", box, name) << QString(box); };
      row("SSB 57") << "SSB" << "57" << false;
      row("SSB 69") << "SSB" << "69" << true;
      row("SSB 599") << "SSB" << "599" << true;
      row("CW 599") << "CW" << "599" << false;
      row("CW 509") << "CW" << "509" << true;
      row("CW 59") << "CW" << "59" << true;
    }
  }
  void refusedReportBecomes59WhateverTheMode() {
    QFETCH(QString, box);
    QFETCH(QString, mode);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    Form1& f = form1();
    QLineEdit* b = boxNamed(box);
    f.Combo1->setCurrentText(mode);
    b->clear();
    typeInto(b, typed);
    f.Obs->setFocus();
    settle();
    QCOMPARE(dialogs().texts(), refused ? QStringList{"el Reporte " + typed + " no es válido!"} : QStringList{});
    QCOMPARE(b->text(), refused ? QString("59") : typed);
    QCOMPARE(focused(), refused ? b : f.Obs);
    if (mode != "CW" || !refused) return;
    // In CW the "59" put in is refused again on the next try to leave.
    dialogs().clear();
    f.Obs->setFocus();
    settle();
    QCOMPARE(dialogs().texts(), QStringList{"el Reporte 59 no es válido!"});
  }

  void modeSetsTheDefaultReports() {
    Form1& f = form1();
    f.Obs->setFocus();
    settle();
    f.Combo1->setCurrentText("CW");
    QCOMPARE(f.RSE->text(), QString("599"));
    QCOMPARE(f.RSR->text(), QString("599"));
    QCOMPARE(focused(), f.Corresponsal);
    f.Combo1->setCurrentText("Sat CW");
    QCOMPARE(f.RSE->text(), QString("599"));
    f.Combo1->setCurrentText("FM");
    QCOMPARE(f.RSE->text(), QString("59"));
    QCOMPARE(f.RSR->text(), QString("59"));
  }

  // Picking from a selector's list is a choice also when the item is the one shown.
  void pickingTheShownModeOrMhzAgainRunsItsReaction() {
    Form1& f = form1();
    const auto pick = [&f](QComboBox* box) {
      box->showPopup();
      QAbstractItemView* list = box->view();
      list->setCurrentIndex(list->model()->index(box->currentIndex(), 0));
      QTest::keyClick(list, Qt::Key_Return);
      QTRY_VERIFY(!box->view()->isVisible());
      // The offscreen platform does not give the window back its activation.
      f.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&f));
      settle();
    };
    f.Combo1->setCurrentText("CW");
    typeInto(f.RSE, "579");
    f.Obs->setFocus();
    settle();
    pick(f.Combo1);
    QCOMPARE(f.Combo1->currentText(), QString("CW"));
    QCOMPARE(f.RSE->text(), QString("599"));
    QCOMPARE(focused(), f.Corresponsal);

    f.Label7->setText("80m");  // out of step with the MHz shown
    f.Obs->setFocus();
    settle();
    pick(f.mhz);
    QCOMPARE(f.mhz->currentText(), QString("7"));
    QCOMPARE(f.Label7->text(), QString("40m"));
    QCOMPARE(focused(), f.Corresponsal);
  }

  void noBorrarAndTheBandListSendTheFocusToTheCall() {
    Form1& f = form1();
    f.Obs->setFocus();
    settle();
    f.Check3->setChecked(true);
    QCOMPARE(focused(), f.Corresponsal);
    f.Obs->setFocus();
    settle();
    f.Combo2->addItems({"80m", "40m"});
    f.Combo2->setCurrentIndex(f.Combo2->currentIndex() == 1 ? 0 : 1);
    QCOMPARE(focused(), f.Corresponsal);
  }

  void manualTimeAndTheLocalUtcToggle() {
    Form1& f = form1();
    FixedClock clock(QDateTime(QDate(2023, 12, 31), QTime(22, 30, 41)));
    setClock(&clock);
    const struct Restore {
      ~Restore() { setClock(nullptr); }
    } restore;
    form2().Text3->setText("-3");
    f.Label11->setText("LU");  // as the start-up leaves it
    f.Obs->setFocus();
    settle();

    f.Check1->setChecked(true);
    QVERIFY(f.Label11->isVisible());
    QCOMPARE(f.Fecha->text(), QString("31/12/2023"));
    QCOMPARE(f.Hora->text(), QString("22:30"));
    QCOMPARE(focused(), f.Corresponsal);
    QCOMPARE(env_->folder.readLines("mem.ini"), (QStringList{"7.150", "40m", " 1 ", ""}));

    QTest::mouseClick(f.Label11, Qt::LeftButton);
    QCOMPARE(f.Label11->text(), QString("UTC"));
    QCOMPARE(f.Fecha->text(), QString("01/01/2024"));
    QCOMPARE(f.Hora->text(), QString("01:30"));
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    QCOMPARE(f.Label11->text(), QString("LU"));
    QCOMPARE(f.Fecha->text(), QString("31/12/2023"));
    QCOMPARE(f.Hora->text(), QString("22:30"));

    // Off: the toggle hides and keeps its caption for the next time.
    QTest::mouseClick(f.Label11, Qt::LeftButton);
    f.Check1->setChecked(false);
    QVERIFY(f.Label11->isHidden());
    QCOMPARE(f.Label11->text(), QString("UTC"));
    QCOMPARE(env_->folder.readLines("mem.ini").value(2), QString(" 0 "));
    f.Check1->setChecked(true);
    QCOMPARE(f.Hora->text(), QString("01:30"));  // shown as UTC, as the caption says

    // While the program starts nothing is written and the focus stays.
    QFile::remove(env_->folder.file("mem.ini"));
    state().MainFormReady = false;
    f.Obs->setFocus();
    settle();
    f.Check1->setChecked(false);
    QVERIFY(!env_->folder.exists("mem.ini"));
    QCOMPARE(focused(), f.Obs);
  }

  void anotherWindowTakingTheFocusIsNoLeaving() {
    Form1& f = form1();
    f.Fecha->clear();
    typeInto(f.Fecha, "31/04/2024");
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    settle();
    QVERIFY(dialogs().messages.isEmpty());
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    settle();
    QCOMPARE(focused(), f.Fecha);
    QVERIFY(dialogs().messages.isEmpty());
    QCOMPARE(f.Fecha->selectedText(), QString());  // coming back is no new arrival
    f.Hora->setFocus();
    settle();
    QCOMPARE(dialogs().messages.size(), 1);
  }
};

QTEST_MAIN(TstEntryStrip)
#include "tst_entrystrip.moc"
