// Every step that waits in the event loop, with the operator acting during the wait:
// the step's button pressed again, the window closed and, in the second run of each
// row, opened again. Nothing may crash (the sanitizer build watches for freed memory),
// the step runs once, the window goes only after its step and what is written is whole.
#include <QAction>
#include <QFile>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "contest/form13.h"
#include "contest/form4.h"
#include "contest/form8.h"
#include "exchange/form12.h"
#include "exchange/form15.h"
#include "exchange/form6.h"
#include "mainwin/form1.h"
#include "online/form14.h"
#include "online/form33.h"
#include "platform/database.h"
#include "platform/services.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/fakeserial.h"
#include "support/fakeaudio.h"
#include "support/localhttpserver.h"
#include "support/logfixture.h"
#include "support/quietmainwindow.h"
#include "support/recordinglauncher.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

constexpr int kSlowReplyMs = 400;
const QByteArray kWebMasterList = "#20/03/2024\nAA1A\nBB2B\n";

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Opens the contest window the operator's way: the menu, then the chooser (a new
// contest by name, an existing one by a double click on its row).
Form4* openContest() {
  form1().cabro_Click();
  Form8& chooser = form8();
  const auto rows = chooser.ListView1->findItems(QStringLiteral("PRUEBA"), Qt::MatchExactly, 1);
  if (rows.isEmpty()) {
    chooser.Text1->setText(QStringLiteral("PRUEBA"));
    QTest::mouseClick(chooser.Command1, Qt::LeftButton);
  } else {
    chooser.ListView1->setCurrentItem(rows.first());
    const QRect r = chooser.ListView1->visualItemRect(rows.first());
    QTest::mouseClick(chooser.ListView1->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(chooser.ListView1->viewport(), Qt::LeftButton, {}, r.center());
  }
  return FormInstance<Form4>::loaded() && form4().isVisible() ? &form4() : nullptr;
}

}  // namespace

class TstWaitingSteps : public QObject {
  Q_OBJECT

  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;

 public:
  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;
  std::unique_ptr<test::LocalHttpServer> server;
  std::unique_ptr<test::FakeAudio> audio;
  qint64 qsoId = 0;
  QString resultText;

  enum class AfterClose {
    Unloaded,  // hidden at once, destroyed once the step has returned
    Hidden,    // hidden, kept
    Stays,     // the main window: it asks whether to end the program, and the answer is No
  };

  // One waiting step: how to open its window, start it, act on it and judge it.
  struct Row {
    const char* name;
    std::function<void(TstWaitingSteps&)> prepare;
    std::function<QWidget*()> open;
    std::function<void(QWidget*)> start;
    // Fires the action once the step waits; by default at the first turn of the loop.
    std::function<void(TstWaitingSteps&, std::function<void()>)> arm;
    std::function<void(QWidget*)> pressAgain;
    std::function<void(QWidget*)> close;
    AfterClose afterClose = AfterClose::Unloaded;
    // A modal window cannot be reached again while it waits.
    bool canReopen = true;
    // The step has ended (steps that wait inside start() have ended when it returns).
    std::function<bool(TstWaitingSteps&)> done;
    std::function<void(TstWaitingSteps&)> check;
  };

  // A reply the server gives only after a while.
  void slowReplies(const QByteArray& body, const QByteArray& type = "text/plain") {
    server->defaultReply.body = body;
    server->defaultReply.contentType = type;
    server->defaultReply.delayMs = kSlowReplyMs;
  }
  // Acts once the server holds the n-th request.
  static void onRequest(TstWaitingSteps& t, int n, std::function<void()> act) {
    QObject::connect(t.server.get(), &test::LocalHttpServer::requestReceived, t.server.get(), [&t, n, act] {
      if (t.server->requests.size() == n) QTimer::singleShot(0, t.server.get(), act);
    });
  }

  // Acts once pred holds, checked at every turn of the event loop while context lives.
  static void whenTrue(QObject* context, std::function<bool()> pred, std::function<void()> act) {
    auto* poll = new QTimer(context);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll, pred, act] {
      if (!pred()) return;
      poll->stop();
      poll->deleteLater();
      act();
    });
    poll->start();
  }

  // An ADIF file of n QSOs of LU1ABC, chosen by the next file dialog.
  void writeImportFile(int n) {
    QStringList lines{QStringLiteral("<PROGRAMID:4>Otro"), QStringLiteral("<EOH>")};
    for (int i = 0; i < n; ++i)
      lines << QStringLiteral("<STATION_CALLSIGN:6>LU1ABC<CALL:8>LU%1AA<QSO_DATE:8>20240301<TIME_ON:4>1200"
                              "<BAND:3>40m<MODE:3>SSB<EOR>")
                   .arg(1000 + i);
    folder->writeLines(QStringLiteral("grande.adi"), lines);
    dialogs->files << folder->file(QStringLiteral("grande.adi"));
  }

  static QWidget* mainWindow() {
    Form1& f = test::loadQuietMainWindow();
    f.show();
    return &f;
  }

  static QList<Row> rows() {
    QList<Row> r;

    r << Row{
        "back-up write",
        [](TstWaitingSteps& t) {
          test::addGeneratedLog(QStringLiteral("Grande"), 1600);
          t.dialogs->files << t.folder->file(QStringLiteral("copia.adi"));
        },
        [] {
          form1().badif_Click();
          return static_cast<QWidget*>(&form15());
        },
        [](QWidget* w) { QTest::mouseClick(static_cast<Form15*>(w)->Command1, Qt::LeftButton); },
        {},
        [](QWidget* w) { QTest::mouseClick(static_cast<Form15*>(w)->Command1, Qt::LeftButton); },
        [](QWidget* w) { w->close(); },
        AfterClose::Unloaded,
        true,
        [](TstWaitingSteps& t) { return t.dialogs->lastText().contains(QStringLiteral("Guardado!")); },
        [](TstWaitingSteps& t) {
          const QByteArray adif = fileBytes(t.folder->file(QStringLiteral("copia.adi")));
          QVERIFY(adif.endsWith("<EOF>\r\n"));
          QCOMPARE(adif.count("<EOR>"), 1600);
          QCOMPARE(t.dialogs->fileRequests.size(), 1);
        },
    };

    auto masterPrepare = [](TstWaitingSteps& t) {
      t.slowReplies(kWebMasterList);
      qputenv(serviceEnvironmentVariable(Service::WebSite), t.server->base().toUtf8());
      state().MasterListDate = QDate(2024, 3, 15);
    };
    auto masterCheck = [](TstWaitingSteps& t) {
      // The list in use is the downloaded one, whole.
      const QByteArray master = fileBytes(t.folder->file(QStringLiteral("master.txt")));
      QVERIFY(master.startsWith("#20/03/2024\n\rAA1A\n\rBB2B\n\r"));
      QCOMPARE(master, fileBytes(t.folder->file(QStringLiteral("webomc.txt"))));
      QCOMPARE(state().MasterListDate, QDate(2024, 3, 20));
      QCOMPARE(state().MasterCallCount, 2);
    };
    auto masterDone = [](TstWaitingSteps& t) {
      return t.dialogs->lastText().contains(QStringLiteral("Ya está actualizado!"));
    };

    r << Row{
        "master-list update, left with Ctrl+S",
        masterPrepare,
        [] { return static_cast<QWidget*>(openContest()); },
        [](QWidget* w) { static_cast<Form4*>(w)->amc->trigger(); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget* w) { static_cast<Form4*>(w)->amc->trigger(); },
        [](QWidget* w) { static_cast<Form4*>(w)->sdc->trigger(); },
        AfterClose::Unloaded,
        true,
        masterDone,
        [masterCheck](TstWaitingSteps& t) {
          masterCheck(t);
          QCOMPARE(t.server->requests.size(), 1);
        },
    };

    r << Row{
        "master-list age check, then closed",
        [masterPrepare](TstWaitingSteps& t) {
          masterPrepare(t);
          // The age check's own request answers at once; the update it offers is slow.
          t.server->replies.enqueue({200, "text/plain", kWebMasterList, false, 0});
        },
        [] { return static_cast<QWidget*>(openContest()); },
        [](QWidget* w) { static_cast<Form4*>(w)->Timer4_Timer(); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 2, act); },
        [](QWidget* w) { static_cast<Form4*>(w)->amc->trigger(); },
        [](QWidget* w) { w->close(); },
        AfterClose::Unloaded,
        true,
        masterDone,
        [masterCheck](TstWaitingSteps& t) {
          masterCheck(t);
          QCOMPARE(t.server->requests.size(), 2);
        },
    };

    auto mainClose = [](QWidget* w) { w->close(); };
    auto always = [](TstWaitingSteps&) { return true; };

    r << Row{
        "version check",
        [](TstWaitingSteps& t) {
          t.slowReplies("2.1.21");
          qputenv(serviceEnvironmentVariable(Service::WebSite), t.server->base().toUtf8());
        },
        mainWindow,
        [](QWidget*) { form1().ac->trigger(); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget*) { form1().ac->trigger(); },
        mainClose,
        AfterClose::Stays,
        false,
        always,
        [](TstWaitingSteps& t) {
          QCOMPARE(t.server->requests.size(), 1);
          QCOMPARE(t.dialogs->texts().filter(QStringLiteral("actualizado")).size(), 1);
          QCOMPARE(fileBytes(t.folder->file(QStringLiteral("webo.txt"))), QByteArray("2.1.21\r\n"));
        },
    };

    r << Row{
        "confirmation check",
        [](TstWaitingSteps& t) {
          t.slowReplies("LU1ABC LU2AAA 40m SSB a b Guardado", "text/html");
          qputenv("VZ_URL_RUK", t.server->base().toUtf8());
          state().CurrentLogName = QStringLiteral("Mi Log");
          t.qsoId = test::addQso(QStringLiteral("Mi Log"), QStringLiteral("LU2AAA"), QStringLiteral("01/03/2024"),
                                 QStringLiteral("10:00:00"), {.ruk = QStringLiteral(""), .province = QStringLiteral("Chaco")});
          form2().user_ruk->setText(QStringLiteral("op@mail.com"));
          form2().pass_ruk->setText(QStringLiteral("clave"));
          t.dialogs->answers << MsgAnswer::Yes;  // send them
        },
        mainWindow,
        // Its menu entry is hidden: the handler is the only way in.
        [](QWidget*) { form1().suych_Click(); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget*) { form1().suych_Click(); },
        mainClose,
        AfterClose::Stays,
        false,
        always,
        [](TstWaitingSteps& t) {
          QCOMPARE(t.server->requests.size(), 1);
          QCOMPARE(t.dialogs->texts().filter(QStringLiteral("Sube a Ruk")).size(), 1);
          QSqlQuery q(db::connection());
          QVERIFY(db::run(q, QStringLiteral("SELECT Ruk FROM Tabla1 WHERE id=?"), {t.qsoId}));
          QVERIFY(q.next());
          QCOMPARE(q.value(0).toString(), QStringLiteral("1"));
        },
    };

    r << Row{
        "members list",
        [](TstWaitingSteps& t) {
          t.slowReplies("57 nomo:LU1AA ultimar:LU3CC");
          qputenv("VZ_URL_RUK", t.server->base().toUtf8());
        },
        [] { return static_cast<QWidget*>(&form14()); },
        // The award window is modal: the list is asked for from inside it.
        [](QWidget* w) {
          QTimer::singleShot(0, w, [w] { static_cast<Form14*>(w)->Command1->click(); });
          ShowProvincesAward();
        },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget* w) { static_cast<Form14*>(w)->Command1->click(); },
        [](QWidget* w) { w->close(); },
        AfterClose::Unloaded,
        false,
        always,
        [](TstWaitingSteps& t) { QCOMPARE(t.server->requests.size(), 1); },
    };

    auto uploadPrepare = [](TstWaitingSteps& t) {
      t.slowReplies("QSO OK!", "text/html");
      qputenv("VZ_URL_RUK", t.server->base().toUtf8());
      qputenv("VZ_URL_EQSL", t.server->base().toUtf8());
      state().CurrentLogName = QStringLiteral("Mi Log");
      for (const char* call : {"LU1ABC", "LU2DEF", "LU3GHI"})
        test::addQso(QStringLiteral("Mi Log"), QString::fromLatin1(call), QStringLiteral("01/03/2024"),
                     QStringLiteral("10:00:00"));
      form2().Text8->setText(QStringLiteral("lu9zz"));
      form2().Text7->setText(QStringLiteral("clave"));
      form2().Text9->setText(QStringLiteral("LU9ZZ"));
      form2().Text10->setText(QStringLiteral("clave"));
    };
    auto uploadOpen = [] {
      test::loadQuietMainWindow();
      Form6& f = form6();
      f.fillWithCurrentLog();
      f.show();
      f.Timer2->setInterval(5000);
      return static_cast<QWidget*>(&f);
    };
    auto uploadCheck = [](const char* end) {
      return [end](TstWaitingSteps& t) {
        // Closing is the upload's cancel: the rows after the first are not sent.
        QCOMPARE(t.server->requests.size(), 1);
        QVERIFY(form6().RichTextBox1->toPlainText().contains(QString::fromLatin1(end)));
      };
    };
    r << Row{
        "upload to the service",
        uploadPrepare,
        uploadOpen,
        [](QWidget* w) { QTest::mouseClick(static_cast<Form6*>(w)->Command6, Qt::LeftButton); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget* w) {
          QTest::mouseClick(static_cast<Form6*>(w)->Command6, Qt::LeftButton);
          QTest::mouseClick(static_cast<Form6*>(w)->Command8, Qt::LeftButton);
        },
        [](QWidget* w) { w->close(); },
        AfterClose::Hidden,
        true,
        always,
        uploadCheck("Desconectado de Ruk."),
    };
    r << Row{
        "upload to eQSL",
        uploadPrepare,
        uploadOpen,
        [](QWidget* w) { QTest::mouseClick(static_cast<Form6*>(w)->Command8, Qt::LeftButton); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget* w) {
          QTest::mouseClick(static_cast<Form6*>(w)->Command8, Qt::LeftButton);
          QTest::mouseClick(static_cast<Form6*>(w)->Command6, Qt::LeftButton);
        },
        [](QWidget* w) { w->close(); },
        AfterClose::Hidden,
        true,
        always,
        uploadCheck("Desconectado de eQSL."),
    };

    r << Row{
        "import parse",
        [](TstWaitingSteps& t) {
          t.writeImportFile(400);
          t.dialogs->answers << MsgAnswer::Yes;  // closing asks whether to cancel the import
        },
        [] {
          test::loadQuietMainWindow();
          form12().show();
          return static_cast<QWidget*>(&form12());
        },
        [](QWidget* w) { QTest::mouseClick(static_cast<Form12*>(w)->Command1, Qt::LeftButton); },
        [](TstWaitingSteps& t, std::function<void()> act) {
          whenTrue(t.server.get(), [] { return FormInstance<Form12>::loaded() && form12().Label8->text() == "Procesando ..."; }, act);
        },
        [](QWidget* w) {
          QTest::mouseClick(static_cast<Form12*>(w)->Command1, Qt::LeftButton);
          QTest::mouseClick(static_cast<Form12*>(w)->Command3, Qt::LeftButton);
        },
        [](QWidget* w) { w->close(); },
        AfterClose::Unloaded,
        false,
        always,
        [](TstWaitingSteps& t) {
          QCOMPARE(t.dialogs->fileRequests.size(), 1);
          QSqlQuery q(db::connection());
          QVERIFY(db::run(q, QStringLiteral("SELECT COUNT(*) FROM Tabla1 WHERE Modo<>''")));
          QVERIFY(q.next());
          QCOMPARE(q.value(0).toInt(), 0);  // only a load writes to the log
        },
    };

    // The call-book answers open the modal result window: it is read and closed as it shows.
    auto lookupPrepare = [](QList<const char*> envs, QList<QByteArray> pages) {
      return [envs, pages](TstWaitingSteps& t) {
        for (const QByteArray& body : pages)
          t.server->replies.enqueue({200, "text/xml; charset=utf-8", body, false, kSlowReplyMs});
        for (const char* env : envs) qputenv(env, t.server->base().toUtf8());
        state().MainFormReady = true;
        form2().Text5->setText(QStringLiteral("LU8OP"));
        form2().Text6->setText(QStringLiteral("clave"));
        form1().Corresponsal->setText(QStringLiteral("LU1ABC"));
        whenTrue(t.server.get(), [] { return FormInstance<Form33>::loaded() && form33().isVisible(); },
                 [&t] {
                   t.resultText = form33().Text1->toPlainText();
                   form33().hide();
                 });
      };
    };
    auto resultShown = [](TstWaitingSteps& t) { return !t.resultText.isEmpty(); };
    const QByteArray qrzLogin = "<QRZDatabase><Session><Error></Error><Key>k3y</Key></Session></QRZDatabase>";
    const QByteArray qrzAnswer =
        "<QRZDatabase><Callsign><call>lu1abc</call><fname>Juan</fname></Callsign></QRZDatabase>";

    r << Row{
        "QRZ lookup",
        lookupPrepare({"VZ_URL_QRZ"}, {qrzLogin, qrzAnswer}),
        mainWindow,
        [](QWidget*) { form1().Command13->click(); },
        [](TstWaitingSteps& t, std::function<void()> act) { onRequest(t, 1, act); },
        [](QWidget*) { form1().Command13->click(); },
        mainClose,
        AfterClose::Stays,
        false,
        resultShown,
        [](TstWaitingSteps& t) {
          QCOMPARE(t.server->requests.size(), 2);  // one login, one lookup
          QVERIFY(t.resultText.startsWith(QStringLiteral("LU1ABC\nJuan")));
        },
    };
    r << Row{
        "Ruk lookup",
        lookupPrepare({"VZ_URL_RUK"},
                      {"<?xml version=\"1.0\"?><ruk><call>lu1abc</call><name>Juan</name><grid>GF05TJ</grid></ruk>"}),
        mainWindow,
        [](QWidget*) { form1().Command14->click(); },
        // During the request, and again during the second's pause before the answer shows.
        [](TstWaitingSteps& t, std::function<void()> act) {
          onRequest(t, 1, [&t, act] {
            act();
            whenTrue(t.server.get(), [] { return stepRunning(&form1(), "rukLookup"); },
                     [] {
                       form1().Command14->click();
                       form1().close();
                     });
          });
        },
        [](QWidget*) { form1().Command14->click(); },
        mainClose,
        AfterClose::Stays,
        false,
        resultShown,
        [](TstWaitingSteps& t) {
          QCOMPARE(t.server->requests.size(), 1);
          QVERIFY(t.resultText.startsWith(QStringLiteral("LU1ABC\nJuan")));
        },
    };

    r << Row{
        "voice call",
        [](TstWaitingSteps& t) {
          const QString voice = t.folder->file(QStringLiteral("cq.wav"));
          QFile f(voice);
          QVERIFY(f.open(QIODevice::WriteOnly));
          f.write(QByteArray(4000, 'x'));
          f.close();
          form2().Label6->setText(voice);
        },
        [] { return static_cast<QWidget*>(openContest()); },
        [](QWidget* w) { QTest::keyClick(static_cast<Form4*>(w)->Corresponsal, Qt::Key_F1); },
        {},
        [](QWidget* w) { QTest::keyClick(static_cast<Form4*>(w)->Corresponsal, Qt::Key_F1); },
        [](QWidget* w) { static_cast<Form4*>(w)->sdc->trigger(); },
        AfterClose::Unloaded,
        true,
        always,
        [](TstWaitingSteps& t) {
          QVERIFY(!t.audio->players.isEmpty());
          // Leaving the contest ended the call: nothing plays on.
          for (const auto& player : t.audio->players) QVERIFY(!player || !player->isPlaying());
        },
    };

    r << Row{
        "CW send",
        [](TstWaitingSteps&) {},
        [] {
          Form4* f = openContest();
          if (f) {
            f->Combo1->setCurrentText(QStringLiteral("CW"));
            f->Timer2_Timer();  // the CW panel shows
          }
          return static_cast<QWidget*>(f);
        },
        [](QWidget* w) { QTest::mouseClick(static_cast<Form4*>(w)->macros[0], Qt::LeftButton); },
        {},
        [](QWidget* w) { QTest::mouseClick(static_cast<Form4*>(w)->macros[2], Qt::LeftButton); },
        [](QWidget* w) { w->close(); },
        // The window goes once the send has stopped, at the end of the character it was in.
        AfterClose::Unloaded,
        // The contest window is modal while it is shown.
        false,
        always,
        [](TstWaitingSteps&) {},
    };

    r << Row{
        "import load",
        [](TstWaitingSteps& t) { t.writeImportFile(10000); },
        // Opened and read, ready to load.
        [] {
          test::loadQuietMainWindow();
          state().CurrentLogName = QStringLiteral("Mi Log");  // the log the QSOs go into
          Form12& f = form12();
          f.show();
          QTest::mouseClick(f.Command1, Qt::LeftButton);
          return static_cast<QWidget*>(&f);
        },
        [](QWidget* w) {
          QVERIFY(static_cast<Form12*>(w)->Command3->isEnabled());
          QTest::mouseClick(static_cast<Form12*>(w)->Command3, Qt::LeftButton);
        },
        [](TstWaitingSteps& t, std::function<void()> act) {
          t.dialogs->answers << MsgAnswer::Yes;  // closing asks whether to cancel the load
          whenTrue(t.server.get(), [] { return FormInstance<Form12>::loaded() && form12().ProgressBar1->value() > 0; },
                   act);
        },
        [](QWidget* w) {
          QTest::mouseClick(static_cast<Form12*>(w)->Command3, Qt::LeftButton);
          QTest::mouseClick(static_cast<Form12*>(w)->Command1, Qt::LeftButton);
        },
        [](QWidget* w) { w->close(); },
        AfterClose::Unloaded,
        false,
        always,
        [](TstWaitingSteps&) {
          // The load stopped after a whole group: every row written is a whole QSO.
          QSqlQuery q(db::connection());
          QVERIFY(db::run(q, QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT Estacion), "
                                            "SUM(Banda='40m' AND Modo='SSB' AND Fecha<>'') FROM Tabla1 WHERE Modo<>''")));
          QVERIFY(q.next());
          const int loaded = q.value(0).toInt();
          QVERIFY2(loaded > 0 && loaded < 10000, qPrintable(QString::number(loaded)));
          QCOMPARE(q.value(1).toInt(), loaded);
          QCOMPARE(q.value(2).toInt(), loaded);
        },
    };

    return r;
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    launcher = std::make_unique<test::RecordingLauncher>();
    server = std::make_unique<test::LocalHttpServer>();
    audio = std::make_unique<test::FakeAudio>();
    qsoId = 0;
    resultText.clear();
    state() = ProgramState{};
    form1().Label2->setText(QStringLiteral("LU9ZZ"));
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form33>::unload();
    FormInstance<Form12>::unload();
    FormInstance<Form13>::unload();
    FormInstance<Form14>::unload();
    FormInstance<Form6>::unload();
    FormInstance<Form15>::unload();
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    for (const char* v : {"VZ_URL_RUK", "VZ_URL_EQSL", "VZ_URL_QRZ", "VZ_URL_HAMQTH"}) qunsetenv(v);
    qunsetenv(serviceEnvironmentVariable(Service::WebSite));
    server.reset();
    audio.reset();
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  // The dated copy of the database hands control back once before copying.
  void databaseCopyChosenAgainMeanwhileMakesOneCopy() {
    test::loadQuietMainWindow();
    QTimer::singleShot(0, [] { form1().badeda_Click(); });
    form1().badeda_Click();
    QCOMPARE(dialogs->texts().filter(QStringLiteral("creada!")).size(), 1);
    QCOMPARE(dialogs->messages.size(), 1);
  }

  void closingOrPressingAgainDuringTheWaitIsSafe_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("reopen");
    const QList<Row> all = rows();
    for (int i = 0; i < all.size(); ++i) {
      QTest::addRow("%s, closed", all[i].name) << i << false;
      if (all[i].canReopen) QTest::addRow("%s, closed and opened again", all[i].name) << i << true;
    }
  }
  void closingOrPressingAgainDuringTheWaitIsSafe() {
    QFETCH(int, row);
    QFETCH(bool, reopen);
    const Row r = rows().at(row);
    r.prepare(*this);
    QPointer<QWidget> window = r.open();
    QVERIFY(window);

    bool acted = false;
    bool hiddenAtOnce = false;
    QPointer<QWidget> reopened;
    auto act = [&] {
      if (!window) return;
      r.pressAgain(window);
      r.close(window);
      hiddenAtOnce = window && !window->isVisible();
      if (reopen) reopened = r.open();
      acted = true;
    };
    if (r.arm) r.arm(*this, act);
    else QTimer::singleShot(0, act);
    r.start(window);

    QTRY_VERIFY2_WITH_TIMEOUT(acted && r.done(*this), qPrintable(dialogs->texts().join(u'|')), 15000);
    switch (r.afterClose) {
      case AfterClose::Unloaded:
        QVERIFY(hiddenAtOnce);
        QTRY_VERIFY(window.isNull());  // once its step had returned
        break;
      case AfterClose::Hidden:
        QVERIFY(hiddenAtOnce);
        QVERIFY(window);
        break;
      case AfterClose::Stays:
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(dialogs->texts().contains(QStringLiteral("Sale de Van Torel Zezeror?")));
        break;
    }
    if (reopen) {
      QVERIFY(reopened);
      QVERIFY(reopened->isVisible());
      if (r.afterClose == AfterClose::Unloaded) QVERIFY(reopened != window);
    }
    r.check(*this);
    if (QTest::currentTestFailed()) return;
    // The database is whole.
    QSqlQuery q(db::connection());
    QVERIFY(db::run(q, QStringLiteral("PRAGMA integrity_check")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
  }
};

QTEST_MAIN(TstWaitingSteps)
#include "tst_waitingsteps.moc"
