// Every step that waits in the event loop, with the operator acting during the wait:
// the step's button pressed again, the window closed and, in the second run of each
// row, opened again. Nothing may crash (the sanitizer build watches for freed memory),
// the step runs once, the window goes only after its step and what is written is whole.
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

#include "contest/form4.h"
#include "contest/form8.h"
#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "platform/services.h"
#include "setup/form2.h"
#include "store/programstate.h"
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

 public:
  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::RecordingLauncher> launcher;
  std::unique_ptr<test::LocalHttpServer> server;

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
    // Set for windows that are unloaded when closed; others only hide.
    bool unloadsOnClose = true;
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
        true,
        masterDone,
        [masterCheck](TstWaitingSteps& t) {
          masterCheck(t);
          QCOMPARE(t.server->requests.size(), 2);
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
    state() = ProgramState{};
    form1().Label2->setText(QStringLiteral("LU9ZZ"));
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form15>::unload();
    FormInstance<Form8>::unload();
    FormInstance<Form4>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    qunsetenv(serviceEnvironmentVariable(Service::WebSite));
    server.reset();
    launcher.reset();
    dialogs.reset();
    folder.reset();
  }

  void closingOrPressingAgainDuringTheWaitIsSafe_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("reopen");
    const QList<Row> all = rows();
    for (int i = 0; i < all.size(); ++i) {
      QTest::addRow("%s, closed", all[i].name) << i << false;
      QTest::addRow("%s, closed and opened again", all[i].name) << i << true;
    }
  }
  void closingOrPressingAgainDuringTheWaitIsSafe() {
    QFETCH(int, row);
    QFETCH(bool, reopen);
    const Row r = rows().at(row);
    r.prepare(*this);
    QPointer<QWidget> window = r.open();
    QVERIFY(window);
    QVERIFY(window->isVisible());

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

    QTRY_VERIFY_WITH_TIMEOUT(acted && r.done(*this), 15000);
    QVERIFY(hiddenAtOnce);
    if (r.unloadsOnClose) QTRY_VERIFY(window.isNull());  // unloaded once its step returned
    if (reopen) {
      QVERIFY(reopened);
      QVERIFY(reopened->isVisible());
      QVERIFY(reopened != window);
    }
    r.check(*this);
  }
};

QTEST_MAIN(TstWaitingSteps)
#include "tst_waitingsteps.moc"
