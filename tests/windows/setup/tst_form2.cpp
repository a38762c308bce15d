#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/services.h"
#include "platform/webget.h"
#include "setup/form2.h"
#include "setup/form2_config.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/settingsenv.h"

using namespace vz;

namespace {

// QTest::keyClicks cannot type non-ASCII characters.
void typeText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(w, c.toLatin1());
      continue;
    }
    QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

int placeholderRows(const QString& log) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT COUNT(*) FROM Tabla1 WHERE [Nombre Log]=? AND [Modo] IS NULL"), {log}) ||
      !q.next())
    return -1;
  return q.value(0).toInt();
}

}  // namespace

class TstForm2 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::SettingsTestEnv> env;

 private slots:
  void init() { env = std::make_unique<test::SettingsTestEnv>(); }
  void cleanup() { env.reset(); }

  void startsHiddenWithDesignValuesAndCannotBeClosed() {
    Form2& f = form2();
    QVERIFY(!f.isVisible());
    QCOMPARE(f.windowTitle(), QStringLiteral("Configuración"));
    QCOMPARE(f.Text3->text(), QStringLiteral("-3"));
    QCOMPARE(f.Text1->text(), QString());
    QCOMPARE(f.Label6->text(), QString());
    QCOMPARE(f.Puerto->count(), 0);
    QVERIFY(!f.DTR->isChecked() && !f.RTS->isChecked());
    f.show();
    QVERIFY(!f.close());
    QVERIFY(f.isVisible());
    QTest::keyClick(&f, Qt::Key_Escape);
    QVERIFY(f.isVisible());
    // The settings controls outside the visible area stay below it.
    QVERIFY(f.Frame1->mapTo(&f, QPoint(0, 0)).y() >= f.height());
  }

  void textBoxesHoldNoMoreThanTheFileKeeps() {
    Form2& f = form2();
    const QString longText(150, u'x');
    struct Case {
      QLineEdit* box;
      int max;
    } cases[] = {{f.Text1, 15}, {f.Text2, 15}, {f.Text4, 6},    {f.Text3, 3},    {f.Text5, 100},
                 {f.Text6, 100}, {f.Text7, 100}, {f.Text8, 100}, {f.Text9, 100}, {f.Text10, 100},
                 {f.user_ruk, 100}, {f.pass_ruk, 100}};
    for (const Case& c : cases) QCOMPARE(c.box->maxLength(), c.max);
    f.Text5->setText(longText);
    QCOMPARE(f.Text5->text().size(), 100);
  }

  // Every box whose value goes into config.ini drops what Windows-1252 cannot hold,
  // typed or pasted, so nothing comes back from the file as "?".
  void boxesTakeOnlyWhatTheFileCanHold() {
    Form2& f = form2();
    f.show();
    // (The grid box has a rule of its own that keeps only locator characters.)
    // The call boxes keep to their key rule as well, which has no "€".
    for (QLineEdit* box : {f.Text1, f.Text2, f.Text5, f.Text6, f.Text7, f.Text8, f.Text9,
                           f.Text10, f.user_ruk, f.pass_ruk}) {
      box->clear();
      QGuiApplication::clipboard()->setText(QStringLiteral("AŁ1€Ω"));
      box->paste();  // the box's own "Pegar"
      QCOMPARE(box->text(), box == f.Text1 || box == f.Text2 ? QStringLiteral("A1") : QStringLiteral("A1€"));
    }

    // The QRZ password typed and pasted, saved and read back after a restart.
    f.Text1->setText(QStringLiteral("LU1ABC"));
    f.Text6->clear();
    f.Text6->setFocus();
    typeText(f.Text6, QStringLiteral("claveŁx"));
    QCOMPARE(f.Text6->text(), QStringLiteral("clavex"));
    f.Text10->clear();
    f.Text10->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("claveŁx"));
    QTest::keyClick(f.Text10, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Text10->text(), QStringLiteral("clavex"));
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QVERIFY(env->folder.exists("config.ini"));
    FormInstance<Form2>::unload();
    QVERIFY(LoadConfig().ok);
    QCOMPARE(form2().Text6->text(), QStringLiteral("clavex"));
    QCOMPARE(form2().Text10->text(), QStringLiteral("clavex"));
  }

  void saveAndCancel_data() {
    QTest::addColumn<bool>("firstRun");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("ended");
    QTest::addColumn<QString>("message");

    const QString missing = QStringLiteral("La Señal Distintiva de la Estación es obligatiria!");
    QTest::newRow("first run, save without station") << true << false << "" << "" << false << false << missing;
    QTest::newRow("first run, save") << true << false << "LU1ABC" << "" << true << false << "";
    QTest::newRow("first run, cancel empty") << true << true << "" << "" << false << true << "";
    QTest::newRow("first run, cancel filled") << true << true << "LU1ABC" << "LU2XYZ" << false << true << "";
    QTest::newRow("later, save") << false << false << "LU1ABC" << "LU2XYZ" << true << false << "";
    QTest::newRow("later, cancel saves the edits") << false << true << "LU1ABC" << "" << true << false << "";
    QTest::newRow("later, cancel checks too") << false << true << "" << "" << false << false << missing;
    QTest::newRow("station of letters") << false << false << "ABC" << "" << false << false
                                        << "ABC no es una señal distintiva!";
    QTest::newRow("station of digits") << false << false << "123" << "" << false << false
                                       << "123 no es una señal distintiva!";
    QTest::newRow("operator of letters") << false << false << "LU1ABC" << "XYZ" << false << false
                                         << "XYZ no es una señal distintiva!";
  }

  void saveAndCancel() {
    QFETCH(bool, firstRun);
    QFETCH(bool, cancel);
    QFETCH(QString, station);
    QFETCH(QString, op);
    QFETCH(bool, saved);
    QFETCH(bool, ended);
    QFETCH(QString, message);

    state().FirstRun = firstRun;
    if (!firstRun) state().CurrentLogName = QStringLiteral("Mi log");
    Form2& f = form2();
    f.show();
    f.Text1->setText(station);
    f.Text2->setText(op);
    f.Text5->setText(QStringLiteral("qrzuser"));
    if (cancel) QTest::mouseClick(f.Command2, Qt::LeftButton);
    else QTest::mouseClick(f.Command1, Qt::LeftButton);

    QCOMPARE(env->folder.exists("config.ini"), saved);
    QCOMPARE(env->endRequests, ended ? 1 : 0);
    QCOMPARE(env->dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!ended) QCOMPARE(f.isVisible(), !saved);
    if (saved) {
      const QStringList lines = env->folder.readLines("config.ini");
      QCOMPARE(lines.size(), 20);
      QCOMPARE(lines[0], "Estacion=" + station);
      QCOMPARE(lines[9], QStringLiteral("HAMQuser=qrzuser"));
      QVERIFY(!state().FirstRun);
    } else {
      QCOMPARE(state().FirstRun, firstRun);
    }
    if (saved && firstRun) {
      QCOMPARE(state().CurrentLogName, QStringLiteral("Log inicial"));
      QCOMPARE(placeholderRows(QStringLiteral("Log inicial")), 1);
      // The lists are empty until the settings are read once.
      const QStringList lines = env->folder.readLines("config.ini");
      QCOMPARE(lines[16], QStringLiteral("Puerto  ="));
      QCOMPARE(lines[18], QStringLiteral("TAntes  ="));
      QCOMPARE(lines[19], QStringLiteral("TDespues="));
    }
    if (saved && !firstRun) QCOMPARE(placeholderRows(QStringLiteral("Log inicial")), 0);
  }

  void theUsageReportTimerFollowsTheButtons() {
    state().CurrentLogName = QStringLiteral("Mi log");
    Form2& f = form2();
    QTimer* report = form1().Timer7;
    f.Text1->setText(QStringLiteral("LU1ABC"));
    report->stop();
    f.Command1_Click();
    QVERIFY(report->isActive());
    f.Command2_Click();
    QVERIFY(!report->isActive());
    // While the main window loads, "Cancelar" leaves it alone.
    report->start();
    state().StartupInProgress = true;
    f.Command2_Click();
    QVERIFY(report->isActive());
  }

  void theMenuEntryOpensTheDialogWithTheSavedSettings() {
    env->folder.writeLines("config.ini", {"Estacion=LU1ABC", "ArcAudio=/home/op/cq.wav"});
    Form2& f = form2();
    f.Text1->setText(QStringLiteral("SIN GUARDAR"));
    bool wasModal = false;
    QTimer::singleShot(0, &f, [&f, &wasModal] {
      wasModal = QApplication::activeModalWidget() == &f;
      f.Command1_Click();
    });
    form1().conf_Click();
    QVERIFY(wasModal);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.Text1->text(), QStringLiteral("LU1ABC"));
    QCOMPARE(f.Label6->text(), QStringLiteral("/home/op/cq.wav"));
  }

  void aRefusedCallGetsTheFocus() {
    Form2& f = form2();
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Text1->setText(QStringLiteral("LU1ABC"));
    f.Text2->setText(QStringLiteral("XYZ"));
    f.Text5->setFocus();
    f.Command1_Click();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text2));
  }

  void enterInAnyBoxSaves() {
    state().CurrentLogName = QStringLiteral("Mi log");
    Form2& f = form2();
    f.show();
    f.Text1->setText(QStringLiteral("LU1ABC"));
    QTest::keyClick(f.Text9, Qt::Key_Return);
    QVERIFY(!f.isVisible());
    QVERIFY(env->folder.exists("config.ini"));
    QVERIFY(env->dialogs.messages.isEmpty());
  }

  void modalShowEndsWhenSaved() {
    state().CurrentLogName = QStringLiteral("Mi log");
    Form2& f = form2();
    f.Text1->setText(QStringLiteral("LU1ABC"));
    QTimer::singleShot(50, &f, [&f] { QTest::mouseClick(f.Command1, Qt::LeftButton); });
    f.exec();
    QVERIFY(!f.isVisible());
    QVERIFY(env->folder.exists("config.ini"));
  }

  void keyFilters_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("call upper-cased") << "Text1" << "lu1/?a" << "LU1/?A";
    QTest::newRow("call drops others") << "Text2" << QString::fromUtf8("l-u ñé.1") << "LU1";
    QTest::newRow("offset minus digits") << "Text3" << "-12" << "-12";
    QTest::newRow("offset refuses plus") << "Text3" << "+3a" << "3";
    QTest::newRow("offset keeps question mark") << "Text3" << "?" << "?";
    QTest::newRow("grid, letters first") << "Text4" << "ab12cd" << "AB12CD";
    QTest::newRow("grid, digit first removed") << "Text4" << "1a" << "A";
    QTest::newRow("grid, letter at 3 removed") << "Text4" << "abc1" << "AB1";
    QTest::newRow("grid, question mark removed") << "Text4" << "ab?" << "AB";
  }

  void keyFilters() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    Form2& f = form2();
    const QHash<QString, QLineEdit*> boxes{
        {"Text1", f.Text1}, {"Text2", f.Text2}, {"Text3", f.Text3}, {"Text4", f.Text4}};
    QLineEdit* edit = boxes.value(box);
    edit->clear();
    typeText(edit, typed);
    QCOMPARE(edit->text(), result);
  }

  void controlKeysAreDroppedButEditingKeysWork() {
    Form2& f = form2();
    QGuiApplication::clipboard()->setText(QStringLiteral("ZZ9"));
    typeText(f.Text1, QStringLiteral("lu1"));
    QTest::keyClick(f.Text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Text1->text(), QStringLiteral("LU1"));
    QTest::keyClick(f.Text1, Qt::Key_Backspace);
    QTest::keyClick(f.Text1, Qt::Key_Home);
    QTest::keyClick(f.Text1, Qt::Key_Delete);
    QCOMPARE(f.Text1->text(), QStringLiteral("U"));
  }

  void gridSetByCodeIsCheckedToo() {
    Form2& f = form2();
    f.Text4->setText(QStringLiteral("GF05T7"));
    QCOMPARE(f.Text4->text(), QStringLiteral("GF05T"));
    f.Text4->setText(QStringLiteral("gf05tj"));  // lower case fails every letter place
    QCOMPARE(f.Text4->text(), QStringLiteral("gf05"));
    f.Text4->setText(QStringLiteral("9"));
    QCOMPARE(f.Text4->text(), QString());
  }

  void leavingAnIncompleteGridWarns() {
    Form2& f = form2();
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Text4->setFocus();
    typeText(f.Text4, QStringLiteral("gf05"));
    f.Text5->setFocus();
    QCOMPARE(env->dialogs.texts(), QStringList{QStringLiteral("Grilla incorrecta!")});
    QCOMPARE(env->dialogs.messages[0].icon, MsgIcon::Exclamation);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Text4));
    typeText(f.Text4, QStringLiteral("tj"));
    env->dialogs.clear();
    f.Text5->setFocus();
    QVERIFY(env->dialogs.messages.isEmpty());
    f.Text4->setFocus();
    f.Text4->clear();
    f.Text5->setFocus();
    QVERIFY(env->dialogs.messages.isEmpty());
  }

  void holdingAnEyeShowsItsPassword() {
    Form2& f = form2();
    f.show();
    struct Case {
      QWidget* eye;
      QLineEdit* box;
    } cases[] = {{f.Image1, f.Text6}, {f.Image2, f.Text7}, {f.Image3, f.Text10}, {f.Command3, f.pass_ruk}};
    for (const Case& c : cases) {
      QCOMPARE(c.box->echoMode(), QLineEdit::Password);
      QTest::mousePress(c.eye, Qt::LeftButton);
      QCOMPARE(c.box->echoMode(), QLineEdit::Normal);
      QTest::mouseRelease(c.eye, Qt::LeftButton);
      QCOMPARE(c.box->echoMode(), QLineEdit::Password);
    }
  }

  void lineBoxesExcludeEachOther() {
    Form2& f = form2();
    f.DTR->setChecked(true);
    f.RTS->setChecked(true);
    QVERIFY(!f.DTR->isChecked());
    QCOMPARE(f.pttLine(), QStringLiteral("RTS"));
    f.DTR->setChecked(true);
    QVERIFY(!f.RTS->isChecked());
    f.DTR->setChecked(false);
    QVERIFY(!f.RTS->isChecked());
    QCOMPARE(f.pttLine(), QStringLiteral("DTR"));
  }

  void chooseAndPlayTheVoiceFile() {
    Form2& f = form2();
    f.show();
    // Without a file, playing does nothing.
    f.Command6_Click();
    QVERIFY(env->audio.last()->calls.isEmpty());

    env->dialogs.files.enqueue(QStringLiteral("/home/op/Música/cq.wav"));
    f.Command5_Click();
    QCOMPARE(f.Label6->text(), QStringLiteral("/home/op/Música/cq.wav"));
    QCOMPARE(env->dialogs.fileRequests[0].title, QStringLiteral("Abrir Archivo de Audio ..."));
    QCOMPARE(env->dialogs.fileRequests[0].directory, env->folder.path());
    f.Command5_Click();  // cancelled
    QCOMPARE(f.Label6->text(), QStringLiteral("/home/op/Música/cq.wav"));
    env->dialogs.files.enqueue("/" + QString(1001, u'a'));
    f.Command5_Click();  // too long for the file
    QCOMPARE(f.Label6->text(), QStringLiteral("/home/op/Música/cq.wav"));
    QCOMPARE(env->dialogs.messages.size(), 1);
    // A name config.ini cannot hold would come back with "?" and not be found.
    env->dialogs.files.enqueue(QStringLiteral("/home/op/Łódź/cq.wav"));
    f.Command5_Click();
    QCOMPARE(f.Label6->text(), QStringLiteral("/home/op/Música/cq.wav"));
    QCOMPARE(env->dialogs.messages.size(), 2);
    QVERIFY(env->dialogs.lastText().contains(QStringLiteral("/home/op/Łódź/cq.wav")));
    QVERIFY(env->dialogs.lastText().contains(QStringLiteral("no se pueden guardar")));

    test::FakeAudioPlayer* player = env->audio.last();
    f.Command6_Click();
    QCOMPARE(player->calls.last(), QStringLiteral("play /home/op/Música/cq.wav"));
    QVERIFY(!f.Command6->isEnabled());
    QVERIFY(f.Command7->isEnabled());
    player->report(500, 2000);
    QCOMPARE(f.sPorcentaje->width(), f.sFondo->width() / 4);
    player->finish();
    QVERIFY(f.Command6->isEnabled());
    QVERIFY(!f.Command7->isEnabled());

    f.Command6_Click();
    player->report(1000, 2000);
    f.Command7_Click();
    QCOMPARE(player->calls.last(), QStringLiteral("stop"));
    QCOMPARE(f.sPorcentaje->width(), 1);
    QVERIFY(f.Command6->isEnabled());

    f.Command6_Click();
    player->fail(QStringLiteral("archivo dañado"));
    QVERIFY(f.Command6->isEnabled());
    QCOMPARE(env->dialogs.lastText(), QStringLiteral("/home/op/Música/cq.wav\r\narchivo dañado"));
  }

  void accountTestSendsEachValueEncodedOnceAndShowsTheAnswer() {
    test::LocalHttpServer server;
    qputenv("VZ_URL_RUK", server.base().toLatin1());
    server.replies.enqueue({200, "text/html; charset=utf-8", "<html><body><p>Usuario <b>válido</b></p></body></html>"});
    Form2& f = form2();
    f.user_ruk->setText(QStringLiteral("yo+ruk@example.org"));
    f.pass_ruk->setText(QString::fromUtf8("a&b%c ñ=*"));
    f.Text1->setText(QStringLiteral("LU1ABC"));
    f.Command4_Click();
    qunsetenv("VZ_URL_RUK");
    QCOMPARE(server.requests.size(), 1);
    QCOMPARE(server.requests[0].path(), QByteArray("/php/vantorel_c2.php"));
    QCOMPARE(server.requests[0].query(),
             QByteArray("user=yo%2Bruk%40example.org&pass=a%26b%25c%20%C3%B1%3D%2A&micall=LU1ABC"));
    QCOMPARE(f.Label3->text(), QStringLiteral("Usuario válido"));
    QVERIFY(f.Command4->isEnabled());
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(state().NetTimeoutTicks, 0);
  }

  void accountTestGivesUpAfterFifteenTicks() {
    test::LocalHttpServer server;
    qputenv("VZ_URL_RUK", server.base().toLatin1());
    server.defaultReply.silent = true;
    Form2& f = form2();
    f.Timer1->setInterval(10);
    int highest = 0;
    connect(f.ProgressBar1, &QProgressBar::valueChanged, this, [&](int v) { highest = qMax(highest, v); });
    f.Command4_Click();
    qunsetenv("VZ_URL_RUK");
    QCOMPARE(highest, 15);
    QCOMPARE(f.Label3->text(), QStringLiteral("No parace haber conexión con internet!"));
    QCOMPARE(f.Label3->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(f.ProgressBar1->value(), 0);
    QVERIFY(f.Command4->isEnabled());
    QVERIFY(!f.Timer1->isActive());
    QCOMPARE(state().NetTimeoutTicks, 0);
    QVERIFY(env->dialogs.messages.isEmpty());
  }

  void accountTestReportsAFailure() {
    quint16 closedPort;
    {
      test::LocalHttpServer gone;
      closedPort = gone.port();
    }
    qputenv("VZ_URL_RUK", QByteArray("http://127.0.0.1:") + QByteArray::number(closedPort));
    Form2& f = form2();
    f.Command4_Click();
    qunsetenv("VZ_URL_RUK");
    QVERIFY(!f.Label3->text().isEmpty());
    QCOMPARE(env->dialogs.texts(), QStringList{f.Label3->text()});
    QCOMPARE(env->dialogs.messages[0].buttons, MsgButtons::Ok);
    QVERIFY(f.Command4->isEnabled());
    QVERIFY(!f.Timer1->isActive());
  }

  void theNetworkWaitWarnsWhenNoPageComes() {
    test::LocalHttpServer server;
    server.defaultReply.silent = true;
    Form2& f = form2();
    f.Timer1->setInterval(5);
    WebGet page;
    QCOMPARE(f.WaitForPageOrWarn(page, QUrl(server.base("/x"))), Form2::PageWait::TimedOut);
    QCOMPARE(env->dialogs.texts(), QStringList{QStringLiteral("No parace haber conexión con internet!")});
    QVERIFY(!page.isLoading());
    server.defaultReply = {200, "text/plain", "listo"};
    QCOMPARE(f.WaitForPageOrWarn(page, QUrl(server.base("/y"))), Form2::PageWait::Loaded);
    QCOMPARE(page.text(), QStringLiteral("listo"));
  }
};

QTEST_MAIN(TstForm2)
#include "tst_form2.moc"
