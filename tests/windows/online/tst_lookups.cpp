// The main window's call-book lookups, their result window and the version check,
// against a local server.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "mainwin/form1.h"
#include "online/versioncheck.h"
#include "online/form33.h"
#include "platform/webget.h"
#include "setup/form2.h"
#include "mainwin/layoutscaler.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

using Reply = test::LocalHttpServer::Reply;

Reply xml(const QByteArray& body) {
  Reply r;
  r.contentType = "text/xml; charset=utf-8";
  r.body = body;
  return r;
}

// What the result window held while it was shown.
struct Shown {
  bool done = false;
  QString title;
  int width = 0;
  QString text;
  QStringList labels;
  QList<bool> enabled;
};

// Records the result window when it shows, runs act on it, then hides it (the
// lookup handler waits in the window's modal loop meanwhile).
void whenShown(Shown* shown, std::function<void(Form33&)> act = {}) {
  auto* t = new QTimer;
  t->setInterval(10);
  QObject::connect(t, &QTimer::timeout, [t, shown, act] {
    if (!FormInstance<Form33>::loaded() || !form33().isVisible()) return;
    t->stop();
    t->deleteLater();
    Form33& f = form33();
    shown->title = f.windowTitle();
    shown->width = f.width();
    shown->text = f.Text1->toPlainText();
    shown->labels = {f.Label1->text(), f.Label2->text(), f.Label3->text()};
    shown->enabled = {f.Command1->isEnabled(), f.Command2->isEnabled(), f.Command4->isEnabled()};
    if (act) act(f);
    if (FormInstance<Form33>::loaded() && form33().isVisible()) form33().hide();
    shown->done = true;
  });
  t->start();
}

int widthOf(int twips) { return twips / kTwipsPerPixel; }

const QByteArray kRukAnswer =
    "<?xml version=\"1.0\"?><ruk><call>lu1abc</call><name>Juan P\xC3\xA9rez</name><grid>GF05TJ</grid>"
    "<email>juan@example.org</email><ultimo>05/06/2024</ultimo></ruk>";

}  // namespace

class TstLookups : public QObject {
  Q_OBJECT

  test::TempFolder* folder_ = nullptr;
  test::ScriptedDialogs* dialogs_ = nullptr;
  test::LocalHttpServer* server_ = nullptr;

 private slots:
  void init() {
    folder_ = new test::TempFolder;
    dialogs_ = new test::ScriptedDialogs;
    server_ = new test::LocalHttpServer;
    for (const char* v : {"VZ_URL_QRZ", "VZ_URL_RUK", "VZ_URL_WEB"}) qputenv(v, server_->base().toUtf8());
    state() = ProgramState{};
    state().MainFormReady = true;
    form2().Text5->setText("LU8OP");
    form2().Text6->setText("p&ss word");
    form1().Corresponsal->setText("LU1ABC");
    form1().Timer2->stop();  // no start-up step: these tests set the settings they need
  }
  void cleanup() {
    FormInstance<Form33>::unload();
    FormInstance<Form1>::unload();
    FormInstance<Form2>::unload();
    for (const char* v : {"VZ_URL_QRZ", "VZ_URL_RUK", "VZ_URL_WEB"}) qunsetenv(v);
    delete server_;
    delete dialogs_;
    delete folder_;
  }

  void qrzLogsInThenShowsTheAnswer() {
    server_->replies << xml("<QRZDatabase><Session><Error></Error><Key>k3y</Key></Session></QRZDatabase>")
                     << xml("<QRZDatabase><Callsign><call>lu1abc</call><fname>Juan</fname>"
                            "<email>juan@example.org</email></Callsign></QRZDatabase>");
    Shown shown;
    whenShown(&shown);
    form1().Command13->setEnabled(true);
    form1().Command13->click();
    QTRY_VERIFY(shown.done);

    QCOMPARE(server_->requests.size(), 2);
    // The password travels encoded, so its "&" and blank cannot break the query.
    QCOMPARE(server_->requests[0].target, QByteArray("/xml/?username=LU8OP;password=p%26ss%20word"));
    QCOMPARE(server_->requests[1].target, QByteArray("/xml/current/?s=k3y;callsign=LU1ABC"));
    QCOMPARE(shown.title, QString("QRZ"));
    QCOMPARE(shown.width, widthOf(Form33::kQrzWidth));
    QCOMPARE(shown.text, QString("LU1ABC\nJuan\nemail: juan@example.org\n"));
    // A QRZ answer leaves the Ruk values alone.
    QCOMPARE(shown.labels, (QStringList{"Label1", "Label2", "Label3"}));
    QVERIFY(form1().Text4->toPlainText().startsWith("<QRZDatabase><Callsign>"));
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void qrzLoginWithoutSuccess_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("trace");
    QTest::newRow("error text with a key") << QByteArray("<Session><Error>Username/password incorrect</Error>"
                                                         "<Key>k</Key></Session>")
                                           << QStringList{"QRZ dice:\r\nUsername/password incorrect"} << QString();
    QTest::newRow("no key") << QByteArray("<Session><Count>0</Count></Session>")
                            << QStringList{"QRZ no dio una respuesta válida para el inicio de sesión: la respuesta no trae "
                                           "lo esperado."}
                            << QString("vacío!\n");
  }
  void qrzLoginWithoutSuccess() {
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, trace);
    server_->replies << xml(answer);
    form1().Command13_Click();
    QTRY_COMPARE(server_->requests.size(), 1);
    QTRY_VERIFY(form1().WebBrowser2->isComplete());
    QTest::qWait(100);
    QCOMPARE(dialogs_->texts(), messages);
    if (!messages.isEmpty() && messages[0].startsWith("QRZ dice"))
      QCOMPARE(dialogs_->messages[0].icon, MsgIcon::Critical);
    QCOMPARE(form1().Text4->toPlainText(), trace);
    QCOMPARE(server_->requests.size(), 1);
    QVERIFY(!FormInstance<Form33>::loaded());
  }

  void qrzNeedsTheWholeAccount_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("no password") << "LU8OP" << "";
    QTest::newRow("no user") << "" << "secreto";
  }
  void qrzNeedsTheWholeAccount() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    form2().Text5->setText(user);
    form2().Text6->setText(password);
    form1().Corresponsal->setText("LU2XYZ");
    form1().Command13_Click();
    QTest::qWait(100);
    QCOMPARE(dialogs_->texts(), QStringList{"Sin configurar Usuario o Contraseña!"});
    QCOMPARE(dialogs_->messages[0].icon, MsgIcon::Exclamation);
    QCOMPARE(state().LookupCall, QString("LU2XYZ"));
    QVERIFY(server_->requests.isEmpty());
  }

  void rukAnswerCopiesIntoTheEntryStrip() {
    server_->replies << xml(kRukAnswer);
    form1().Obs->setText("escrito");
    Shown shown;
    QList<bool> afterPress;
    QString obsAfterName;
    whenShown(&shown, [&](Form33& f) {
      f.Command1->click();
      obsAfterName = form1().Obs->text();
      f.Command2->click();
      f.Command4->click();
      afterPress = {f.Command1->isEnabled(), f.Command2->isEnabled(), f.Command4->isEnabled()};
    });
    state().LookupFromEditForm = true;
    form1().Command14_Click();
    QTRY_VERIFY_WITH_TIMEOUT(shown.done, 10000);

    QCOMPARE(server_->requests[0].target, QByteArray("/php/vantorel_ruk.php?qrz=LU1ABC"));
    QVERIFY(!state().LookupFromEditForm);
    QCOMPARE(shown.title, QString("Rukanet"));
    QCOMPARE(shown.width, widthOf(Form33::kMainWindowWidth));
    QCOMPARE(shown.text,
             QString("LU1ABC\nJuan Pérez\nGrid Locator: GF05TJ\njuan@example.org\núltimo QSO: 05/06/2024"));
    QCOMPARE(shown.enabled, (QList<bool>{true, true, true}));
    // The name arrives without its line break, then the e-mail address replaces it.
    QCOMPARE(obsAfterName, QString("Juan Pérez"));
    QCOMPARE(form1().Obs->text(), QString("juan@example.org"));
    QCOMPARE(form1().Text2->text(), QString("GF05TJ"));
    QCOMPARE(afterPress, (QList<bool>{false, false, false}));
    QVERIFY(form1().Text4->toPlainText().contains("<call>lu1abc</call>"));

    // The next answer can be copied again.
    server_->replies << xml(kRukAnswer);
    Shown again;
    whenShown(&again);
    form1().Command14_Click();
    QTRY_VERIFY_WITH_TIMEOUT(again.done, 10000);
    QCOMPARE(again.enabled, (QList<bool>{true, true, true}));
  }

  // An error page or junk from either service is said to be no answer; no result
  // window opens empty and no "not in QRZ" is made up.
  void unusableLookupAnswersAreSaid_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("said");
    QTest::newRow("Ruk 500") << "ruk" << 500 << QByteArray("<html><body>Internal Server Error</body></html>")
                             << "Ruk no dio una respuesta válida para la búsqueda de LU1ABC (error HTTP 500): la "
                                "respuesta no trae lo esperado.";
    QTest::newRow("Ruk junk") << "ruk" << 200 << QByteArray("\x01\x02\x03zz", 5)
                              << "Ruk no dio una respuesta válida para la búsqueda de LU1ABC: la respuesta no es texto "
                                 "legible.";
    QTest::newRow("QRZ lookup 500") << "qrz" << 500 << QByteArray("<html>error</html>")
                                    << "QRZ no dio una respuesta válida para la búsqueda de LU1ABC (error HTTP 500): la "
                                       "respuesta no trae lo esperado.";
    QTest::newRow("QRZ login 500") << "qrzlogin" << 500 << QByteArray("oops")
                                   << "QRZ no dio una respuesta válida para el inicio de sesión (error HTTP 500): la "
                                      "respuesta no trae lo esperado.";
  }
  void unusableLookupAnswersAreSaid() {
    QFETCH(QString, service);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, said);
    Reply bad = xml(body);
    bad.status = status;
    form1().Corresponsal->setText("LU1ABC");
    if (service == "qrz") server_->replies << xml("<Session><Key>k</Key></Session>");
    server_->replies << bad;
    if (service == "ruk") form1().Command14_Click();
    else form1().Command13_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialogs_->messages.isEmpty(), 10000);
    QTest::qWait(100);
    QCOMPARE(dialogs_->texts(), QStringList{said});
    QVERIFY(!FormInstance<Form33>::loaded());
  }

  void rukUnknownCallLeavesTheEntryStripAlone() {
    server_->replies << xml("<?xml version=\"1.0\"?><ruk><error>sin datos</error></ruk>");
    form1().Obs->setText("escrito");
    form1().Text2->setText("FF78");
    Shown shown;
    whenShown(&shown, [](Form33& f) {
      f.Command1->click();
      f.Command4->click();
    });
    form1().Corresponsal->setText("LU9XX");
    form1().Command14_Click();
    QTRY_VERIFY_WITH_TIMEOUT(shown.done, 10000);
    QCOMPARE(shown.text, QString("LU9XX No está en Ruk!"));
    QCOMPARE(shown.labels, (QStringList{"", "", ""}));
    QCOMPARE(shown.enabled, (QList<bool>{false, false, false}));
    QCOMPARE(form1().Obs->text(), QString("escrito"));
    QCOMPARE(form1().Text2->text(), QString("FF78"));
  }

  void rukWindowWidthFollowsWhoAsked() {
    server_->replies << xml(kRukAnswer) << xml(kRukAnswer);
    Shown fromEdit;
    whenShown(&fromEdit);
    state().LookupFromEditForm = true;
    state().LookupCall = "LU1ABC";
    form1().WebBrowser5->get(QUrl(server_->base("/php/vantorel_ruk.php?qrz=LU1ABC")));
    QTRY_VERIFY_WITH_TIMEOUT(fromEdit.done, 10000);
    QCOMPARE(fromEdit.width, widthOf(Form33::kEditFormWidth));

    Shown fromMain;
    whenShown(&fromMain);
    form1().Command14_Click();
    QTRY_VERIFY_WITH_TIMEOUT(fromMain.done, 10000);
    QCOMPARE(fromMain.width, widthOf(Form33::kMainWindowWidth));
  }

  void resultWindowEscHidesAndTitleBarUnloads() {
    server_->replies << xml(kRukAnswer) << xml(kRukAnswer);
    Shown first;
    bool hiddenByEsc = false;
    whenShown(&first, [&](Form33& f) {
      f.Command1->click();
      f.Text1->setFocus();
      QTest::keyClick(f.Text1, Qt::Key_Escape);
      hiddenByEsc = !f.isVisible();
    });
    form1().Command14_Click();
    QTRY_VERIFY_WITH_TIMEOUT(first.done, 10000);
    QVERIFY(hiddenByEsc);
    QVERIFY(FormInstance<Form33>::loaded());

    Shown second;
    whenShown(&second, [](Form33& f) { f.close(); });
    form1().Command14_Click();
    QTRY_VERIFY_WITH_TIMEOUT(second.done, 10000);
    QTRY_VERIFY(!FormInstance<Form33>::loaded());
  }

  void pagesBeforeTheWindowIsReadyOnlyLeaveTheirAddress() {
    state().MainFormReady = false;
    const QUrl placeholder(server_->base("/inicio"));
    form1().WebBrowser5->get(placeholder);
    form1().WebBrowser2->get(placeholder);
    QTRY_VERIFY(form1().WebBrowser5->isComplete() && form1().WebBrowser2->isComplete());
    QTest::qWait(100);
    QCOMPARE(form1().Text4->toPlainText(), placeholder.toString() + "\n");
    QVERIFY(!FormInstance<Form33>::loaded());
    QCOMPARE(server_->requests.size(), 2);
  }

  void aLookupWithoutNetworkIsReported() {
    quint16 deadPort = 0;
    {
      test::LocalHttpServer gone;
      deadPort = gone.port();
    }
    qputenv("VZ_URL_RUK", QByteArray("http://127.0.0.1:") + QByteArray::number(deadPort));
    form1().Command14_Click();
    QTRY_COMPARE(dialogs_->texts(), QStringList{noConnectionText()});
    QVERIFY(!FormInstance<Form33>::loaded());
  }

  void versionCheck_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::newRow("newer") << 200 << QByteArray("2.1.22\r\nnotas\r\n")
                           << "Su versión: 2.1.21\r\nen la Web: 2.1.22\r\n\r\ndebe actualizar!"
                           << int(MsgIcon::Exclamation);
    QTest::newRow("same") << 200 << QByteArray("2.1.21") << "Su versión: 2.1.21\r\nen la Web: 2.1.21\r\n\r\nestá actualizado"
                          << int(MsgIcon::Exclamation);
    QTest::newRow("older") << 200 << QByteArray("2.0.30\n")
                           << "Su versión: 2.1.21\r\nen la Web: 2.0.30\r\n\r\nestá actualizado"
                           << int(MsgIcon::Exclamation);
    QTest::newRow("two parts") << 200 << QByteArray("2.2")
                               << "La versión publicada en la Web no se puede leer (se esperaba algo como 2.1.22): "
                                  "\"2.2\"\r\n(@)"
                               << int(MsgIcon::Critical);
    QTest::newRow("oversized") << 200 << QByteArray("2.1.22\r\n") + QByteArray(WebGet::kMaxAnswerBytes, ' ')
                               << "No se pudo consultar la versión publicada (@).\r\n"
                                  "(La respuesta de 127.0.0.1 supera el tamaño máximo (1 MB))"
                               << int(MsgIcon::Critical);
    QTest::newRow("missing file") << 404 << QByteArray("<html>404</html>")
                                  << "No se pudo consultar la versión publicada (@).\r\n"
                                     "(El servidor respondió con el error 404)"
                                  << int(MsgIcon::Critical);
  }
  void versionCheck() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(int, icon);
    Reply r;
    r.status = status;
    r.contentType = "text/plain";
    r.body = body;
    server_->replies << r;
    form1().ac_Click();
    QCOMPARE(server_->requests.size(), 1);
    QCOMPARE(server_->requests[0].target, QByteArray("/assets/rozozev/version.dat"));
    // A failure names the address it asked ("@" in the table).
    QCOMPARE(dialogs_->texts(), QStringList{QString(message).replace("@", VersionFileUrl().toString())});
    QCOMPARE(int(dialogs_->messages[0].icon), icon);
    if (status == 200 && body.size() <= WebGet::kMaxAnswerBytes) {
      QFile webo(folder_->path() + "/webo.txt");
      QVERIFY(webo.open(QIODevice::ReadOnly));
      QCOMPARE(webo.readAll(), body + "\r\n");
    }
  }

  // A server that sends a byte a second never lets Qt's idle timer fire; each request
  // still ends at its deadline. The two lookups and the version check run at once, so
  // one wait of the deadline covers all three.
  void slowAnswersEndAtTheDeadline() {
    Reply trickle = xml("<?xml version=\"1.0\"?><ruk><call>LU1ABC</call></ruk>");
    trickle.trickleMs = 1000;
    server_->defaultReply = trickle;
    form1().Command14_Click();
    form1().Command13_Click();
    QTRY_COMPARE(server_->requests.size(), 2);
    form1().ac_Click();
    QCOMPARE(server_->requests.size(), 3);
    QCOMPARE(dialogs_->texts().filter("Tiempo de espera agotado"),
             QStringList{"No se pudo consultar la versión publicada (" + VersionFileUrl().toString() +
                         ").\r\n(Tiempo de espera agotado (127.0.0.1))"});
    QTRY_COMPARE(dialogs_->texts().count(noConnectionText()), 2);
    QVERIFY(!FormInstance<Form33>::loaded());

    // "Actualizaciones" is free again.
    dialogs_->clear();
    server_->replies << Reply{200, "text/plain", "2.1.21"};
    form1().ac_Click();
    QCOMPARE(dialogs_->texts(), QStringList{"Su versión: 2.1.21\r\nen la Web: 2.1.21\r\n\r\nestá actualizado"});
  }

  // The QRZ login carries the password: an http address elsewhere gets nothing.
  void qrzPasswordIsNotSentInClearText() {
    test::ProxyThrough through(*server_);  // would see any request to any host
    qputenv("VZ_URL_QRZ", "http://xmldata.qrz.example.org");
    form1().Command13_Click();
    QTRY_COMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->lastText(),
             QString("No se envía la contraseña a http://xmldata.qrz.example.org: la dirección no es segura, "
                     "debe empezar con https://"));
    QTest::qWait(100);
    QVERIFY(server_->requests.isEmpty());
    QVERIFY(!FormInstance<Form33>::loaded());
  }

  // The hidden HamQTH test button stays hidden and sends nothing.
  void hamQthTestButtonDoesNothing() {
    QVERIFY(form1().Command12->isHidden());
    state().LookupCall = "LU2XYZ";
    form1().Command12->click();
    QTest::qWait(100);
    QVERIFY(server_->requests.isEmpty());
    QCOMPARE(state().LookupCall, QString("LU2XYZ"));
    QVERIFY(dialogs_->messages.isEmpty());
  }

  void versionCheckWithoutNetwork() {
    quint16 deadPort = 0;
    {
      test::LocalHttpServer gone;
      deadPort = gone.port();
    }
    qputenv("VZ_URL_WEB", QByteArray("http://127.0.0.1:") + QByteArray::number(deadPort));
    form1().ac_Click();
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0].icon, MsgIcon::Critical);
    // The step and the address, then the system's words once; no bare code.
    const QString said = dialogs_->lastText();
    QVERIFY2(said.startsWith("No se pudo consultar la versión publicada (http://127.0.0.1:" +
                             QString::number(deadPort) + "/assets/rozozev/version.dat).\r\n"),
             qPrintable(said));
    QVERIFY(!form1().Inet1->errorString().isEmpty());
    QCOMPARE(said.count(form1().Inet1->errorString()), 1);
    QVERIFY2(said.endsWith(')'), qPrintable(said));
  }
};

QTEST_MAIN(TstLookups)
#include "tst_lookups.moc"
