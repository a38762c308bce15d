// A box that filters typed keys takes text through the same rule however it
// arrives: Ctrl+V, Shift+Insert, the context menu's "Pegar", the middle button, a
// drop. One table of boxes and texts, each pasted by every road through the real
// clipboard. Then what a length limit does to a character that does not fit whole,
// and the word a box says when it took out letters its file cannot hold.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>
#include <QTranslator>
#include <QtTest>
#include <functional>

#include "contest/form4.h"
#include "contest/form7.h"
#include "contest/form8.h"
#include "contest/form9.h"
#include "exchange/form6.h"
#include "mainwin/form1.h"
#include "mainwin/form5.h"
#include "platform/cp1252box.h"
#include "platform/textutil.h"
#include "setup/form11.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/settingsenv.h"

using namespace vz;

namespace {

// The window shown, the box it holds. Each window is unloaded after its row.
struct Box {
  QWidget* window;
  QLineEdit* box;
  std::function<void()> unload;
};

template <class F>
Box boxOf(F& f, QLineEdit* F::*member) {
  f.show();
  return {&f, f.*member, [] { FormInstance<F>::unload(); }};
}

Box boxNamed(const QString& name) {
  if (name == "Form1.Corresponsal") return boxOf(form1(), &Form1::Corresponsal);
  if (name == "Form1.Text2") return boxOf(form1(), &Form1::Text2);
  if (name == "Form1.Text3") return boxOf(form1(), &Form1::Text3);
  if (name == "Form2.Text1") return boxOf(form2(), &Form2::Text1);
  if (name == "Form2.Text3") return boxOf(form2(), &Form2::Text3);
  if (name == "Form2.Text4") return boxOf(form2(), &Form2::Text4);
  if (name == "Form5.Text2") return boxOf(form5(), &Form5::Text2);
  if (name == "Form5.Text4") return boxOf(form5(), &Form5::Text4);
  if (name == "Form5.Text11") return boxOf(form5(), &Form5::Text11);
  if (name == "Form4.Corresponsal") return boxOf(form4(), &Form4::Corresponsal);
  if (name == "Form6.Text3") return boxOf(form6(), &Form6::Text3);
  if (name == "Form6.Text1") return boxOf(form6(), &Form6::Text1);
  if (name == "Form7.Text1") return boxOf(form7(), &Form7::Text1);
  if (name == "Form8.Text1") return boxOf(form8(), &Form8::Text1);
  if (name == "Form9.Text1") return boxOf(form9(), &Form9::Text1);
  if (name == "Form11.Frec_new") return boxOf(form11(), &Form11::Frec_new);
  return {};
}

void ready(const Box& b) {
  b.window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(b.window));
  b.box->setFocus();
  b.box->clear();
  QApplication::processEvents();
}

// The context menu's "Pegar", chosen as the operator chooses it.
bool pasteFromMenu(QLineEdit* box) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), box->mapToGlobal(QPoint(4, 4)));
  QApplication::sendEvent(box, &event);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return false;
  bool chosen = false;
  for (QAction* a : menu->actions()) {
    if (!chosen && a->isEnabled() && a->text().remove(u'&').startsWith(QStringLiteral("Pegar"))) {
      a->trigger();
      chosen = true;
    }
  }
  menu->close();
  QApplication::processEvents();
  return chosen;
}

// Ctrl+V as the X server sends it, with its control character.
void ctrlV(QLineEdit* box) { QTest::sendKeyEvent(QTest::Click, box, Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier); }

void drop(QLineEdit* box, const QString& text) {
  QMimeData data;
  data.setText(text);
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &enter);
  QDragMoveEvent move(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &move);
  QDropEvent event(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &event);
}

}  // namespace

class TstBoxRules : public QObject {
  Q_OBJECT

  std::unique_ptr<test::SettingsTestEnv> env;
  QTranslator spanish;

 private slots:
  void initTestCase() {
    // The context menu speaks Spanish, as in the program.
    QVERIFY(spanish.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&spanish);
  }
  void init() {
    env = std::make_unique<test::SettingsTestEnv>();
    state().CurrentLogName = QStringLiteral("Diario");
  }
  void cleanup() {
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    env.reset();
    state() = ProgramState();
  }

  void everyRoadInPassesTheBoxsRule_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<bool>("ctrlVPastes");  // where Ctrl+V is a dropped key, it stays one
    QTest::newRow("main call") << "Form1.Corresponsal" << QString::fromUtf8("ea'9 x\tz") << "EA9XZ" << true;
    QTest::newRow("main grid") << "Form1.Text2" << "gf05'tj" << "GF05TJ" << true;
    QTest::newRow("main grid, a digit out of place") << "Form1.Text2" << "g1f05tj" << "GF05TJ" << true;
    QTest::newRow("main page") << "Form1.Text3" << "1 2x" << "12" << true;
    QTest::newRow("station call") << "Form2.Text1" << "EA4'X Y Z" << "EA4XYZ" << false;
    QTest::newRow("UTC offset, letters") << "Form2.Text3" << "abc" << "" << false;
    QTest::newRow("UTC offset") << "Form2.Text3" << "-3 h" << "-3" << false;
    QTest::newRow("UTC offset, cut by the limit") << "Form2.Text3" << "- 1 2 3" << "-12" << false;
    QTest::newRow("own grid") << "Form2.Text4" << "gf 05tj" << "GF05TJ" << false;
    QTest::newRow("own grid, a digit first") << "Form2.Text4" << "1gf05tj" << "GF05TJ" << false;
    QTest::newRow("edit dialog call") << "Form5.Text2" << "ea4'x/p" << "EA4X/P" << true;
    QTest::newRow("edit dialog date") << "Form5.Text4" << "05-06/2024" << "0506/2024" << true;
    QTest::newRow("edit dialog grid") << "Form5.Text11" << "gf05'" << "GF05" << true;
    QTest::newRow("edit dialog grid, a digit out of place") << "Form5.Text11" << "g1f05" << "GF05" << true;
    QTest::newRow("contest call") << "Form4.Corresponsal" << "lu1-abc" << "LU1ABC" << false;
    QTest::newRow("search call") << "Form6.Text3" << "lu* 1" << "LU*1" << true;
    QTest::newRow("search date") << "Form6.Text1" << "1.2.2024" << "122024" << true;
    QTest::newRow("contest record call") << "Form7.Text1" << "lu 1-a" << "LU1A" << true;
    QTest::newRow("contest name") << "Form8.Text1" << QString::fromUtf8("copa ñ") << QString::fromUtf8("COPA Ñ")
                                  << true;
    QTest::newRow("Cabrillo call") << "Form9.Text1" << "lu1 abc" << "LU1ABC" << true;
    QTest::newRow("satellite frequency") << "Form11.Frec_new" << "145 .8x" << "145.8" << true;
  }
  void everyRoadInPassesTheBoxsRule() {
    QFETCH(QString, box);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(bool, ctrlVPastes);
    const Box b = boxNamed(box);
    QVERIFY2(b.box, qPrintable(box));
    QClipboard* clipboard = QGuiApplication::clipboard();

    ready(b);
    clipboard->setText(pasted);
    ctrlV(b.box);
    QCOMPARE(b.box->text(), ctrlVPastes ? kept : QString());

    ready(b);
    QTest::keyClick(b.box, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(b.box->text(), kept);

    ready(b);
    QVERIFY(pasteFromMenu(b.box));
    QCOMPARE(b.box->text(), kept);

    if (clipboard->supportsSelection()) {
      ready(b);
      clipboard->setText(pasted, QClipboard::Selection);
      QTest::mouseClick(b.box, Qt::MiddleButton);
      QCOMPARE(b.box->text(), kept);
    }

    ready(b);
    drop(b.box, pasted);
    QCOMPARE(b.box->text(), kept);

    // A value a program step shows (a stored one) is shown as it is.
    if (box == "Form5.Text2") {
      b.box->setText(QStringLiteral("ea4/x"));
      QCOMPARE(b.box->text(), QStringLiteral("ea4/x"));
    }
    b.unload();
  }

  // The box's limit counts UTF-16 units: a character that does not fit whole stays
  // out, and the rule runs before the limit counts.
  void aLimitNeverCutsACharacter_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    const QString radio = QString::fromUtf8("📻");
    const QString flag = QString::fromUtf8("🇦🇷");
    const QString accented = QStringLiteral("e\u0301");
    QTest::newRow("emoji, one place left") << QString(49, u'a') << radio << QString(49, u'a');
    QTest::newRow("emoji, two places left") << QString(48, u'a') << radio << QString(48, u'a') + radio;
    QTest::newRow("flag, three places left") << QString(47, u'a') << flag + "x" << QString(47, u'a');
    QTest::newRow("accent apart, one place left") << QString(49, u'a') << accented << QString(49, u'a');
    QTest::newRow("letters after an emoji") << QString(46, u'a') << "b" + radio + "cd" << QString(46, u'a') + "b" + radio + "c";
  }
  void aLimitNeverCutsACharacter() {
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    Form1& f = form1();
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.Obs->maxLength(), 50);
    f.Obs->setFocus();
    f.Obs->setText(before);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(f.Obs, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Obs->text(), kept);
    QCOMPARE(withoutLoneSurrogates(f.Obs->text()), f.Obs->text());

    // The call box: the rule first, then the limit of 15.
    f.Corresponsal->setFocus();
    f.Corresponsal->setText(QStringLiteral("LU1ABC"));
    QGuiApplication::clipboard()->setText(QStringLiteral("-x-x-x-x-x-x-x-x-x-x-x-x-x-x"));
    QTest::keyClick(f.Corresponsal, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Corresponsal->text(), QStringLiteral("LU1ABCXXXXXXXXX"));
    FormInstance<Form1>::unload();
  }

  // Letters a Windows-1252 file cannot hold are taken out, and the box says which,
  // once; a paste that loses nothing says nothing.
  void theBoxTellsWhichLettersItTookOut_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("told");
    QTest::newRow("Cabrillo name") << "Form9.Text2" << QString::fromUtf8("Łukasz Ωmega") << "ukasz mega"
                                   << QString::fromUtf8("Ł, Ω");
    QTest::newRow("contest name") << "Form8.Text1" << QString::fromUtf8("Log 📻 Łódź") << QString::fromUtf8("LOG  ÓD")
                                  << QString::fromUtf8("📻, Ł, ź");
    QTest::newRow("QRZ user") << "Form2.Text5" << QString::fromUtf8("José Ωx") << QString::fromUtf8("José x")
                              << QString::fromUtf8("Ω");
    QTest::newRow("nothing lost") << "Form9.Text2" << QString::fromUtf8("Ñandú") << QString::fromUtf8("Ñandú")
                                  << QString();
  }
  void theBoxTellsWhichLettersItTookOut() {
    QFETCH(QString, box);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, told);
    Box b;
    if (box == "Form9.Text2") b = boxOf(form9(), &Form9::Text2);
    else if (box == "Form2.Text5") b = boxOf(form2(), &Form2::Text5);
    else b = boxNamed(box);
    QVERIFY(b.box);
    ready(b);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(b.box, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(b.box->text(), kept);
    QApplication::processEvents();
    if (told.isEmpty()) {
      QVERIFY(!QToolTip::isVisible());
    } else {
      QTRY_COMPARE(QToolTip::text(), droppedLettersMessage(told));
      QCOMPARE(QToolTip::text(), QString::fromUtf8("Se quitaron letras que el archivo no puede guardar: ") + told);
    }
    b.unload();
  }
};

QTEST_MAIN(TstBoxRules)
#include "tst_boxrules.moc"
