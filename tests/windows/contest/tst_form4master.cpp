// The contest window's master-call check and the age check of the master list.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "contest/conteststore.h"
#include "contest/form4.h"
#include "contest/masterupdate.h"
#include "mainwin/form1.h"
#include "platform/colors.h"
#include "platform/services.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/fakeserial.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"
#include "support/quietmainwindow.h"

using namespace vz;

namespace {

// Each line of the box with its characters' colours: "QQ2AA" drawn as QQ in blue
// and 2AA in red gives "bbrrr".
struct ShownLine {
  QString text;
  QString colours;
};

QList<ShownLine> shownLines() {
  QList<ShownLine> lines;
  const QColor blue = colorFromValue(0xFF0000);
  for (QTextBlock b = form4().MCheck->document()->begin(); b.isValid(); b = b.next()) {
    ShownLine line{b.text(), {}};
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      const QChar c = frag.charFormat().foreground().color() == blue ? u'b' : u'r';
      line.colours += QString(frag.text().size(), c);
    }
    if (!line.text.isEmpty()) lines << line;
  }
  return lines;
}

QStringList shownTexts() {
  QStringList texts;
  for (const ShownLine& l : shownLines()) texts << l.text;
  return texts;
}

QStringList withLineFeeds(const QStringList& calls) {
  QStringList entries;
  for (const QString& c : calls) entries << c + u'\n';
  return entries;
}

}  // namespace

class TstForm4Master : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  // The contest window opens its keyer port: never a real one in a test.
  test::FakeSerialSystem serial;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    test::loadQuietMainWindow();
  }
  void cleanup() {
    FormInstance<Form4>::unload();
    FormInstance<Form1>::unload();
    qunsetenv(serviceEnvironmentVariable(Service::WebSite));
    dialogs.reset();
    folder.reset();
  }

  void typedCallsListTheFittingMasterCalls_data() {
    QTest::addColumn<bool>("lineFeeds");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("colours");
    for (const bool lf : {true, false}) {
      const char* tag = lf ? "as the update writes it" : "without line feeds";
      QTest::addRow("QQ1, %s", tag) << lf << "QQ1" << QStringList{"QQ1AA", "QQ1AB", "QQ2AA"}
                                    << QStringList{"bbbbb", "bbbbb", "bbrrr"};
      QTest::addRow("QQ1AA, %s", tag) << lf << "QQ1AA" << QStringList{"QQ1AA", "QQ2AA"}
                                      << QStringList{"bbbbb", "bbrbb"};
      QTest::addRow("nothing fits, %s", tag) << lf << "XY1" << QStringList{} << QStringList{};
    }
    QTest::newRow("? stands for any character") << true << "QQ?AB" << QStringList{"QQ1AB"} << QStringList{"bbrbb"};
  }
  void typedCallsListTheFittingMasterCalls() {
    QFETCH(bool, lineFeeds);
    QFETCH(QString, typed);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, colours);
    const QStringList calls{"QQ1AA", "QQ1AB", "QQ2AA", "QZ1AA"};
    state().MasterCalls = lineFeeds ? withLineFeeds(calls) : calls;
    Form4& f = form4();
    f.Corresponsal->setText(typed);
    QCOMPARE(shownTexts(), texts);
    QStringList shownColours;
    for (const ShownLine& l : shownLines()) shownColours << l.colours;
    QCOMPARE(shownColours, colours);
    QCOMPARE(f.List1->count(), texts.size());
    QCOMPARE(f.List2->count(), texts.size());
  }

  void theSecondPassStopsPastFifteenMatches() {
    QStringList calls{"AB2X"};
    for (int i = 10; i < 27; ++i) calls << QString("AB1%1").arg(i);
    calls << "AB3Y" << "" << "AB1ZZ";  // an empty entry ends the list
    state().MasterCalls = withLineFeeds(calls);
    state().MasterCalls[19] = "";
    form4().Corresponsal->setText("AB1");
    const QStringList texts = shownTexts();
    QCOMPARE(texts.size(), 18);
    QCOMPARE(texts.last(), QString("AB2X"));
    QVERIFY(!texts.contains("AB3Y"));
    QVERIFY(!texts.contains("AB1ZZ"));
  }

  void shorterCallsKeepTheBoxEmptyCallsClearIt() {
    state().MasterCalls = withLineFeeds({"QQ1AA", "QQ1AB"});
    Form4& f = form4();
    f.Corresponsal->setText("QQ1");
    f.Corresponsal->setText("QQ");
    QCOMPARE(shownTexts(), (QStringList{"QQ1AA", "QQ1AB"}));
    QCOMPARE(f.List1->count(), 0);
    f.MCheck_DblClick();  // a line with no entry behind it picks nothing
    QCOMPARE(f.Corresponsal->text(), QString("QQ"));
    f.Corresponsal->setText("");
    QVERIFY(f.MCheck->toPlainText().isEmpty());
  }

  void doubleClickPicksTheLinesCall() {
    state().MasterCalls = withLineFeeds({"QQ1AA", "QQ1AB", "QQ2AA"});
    Form4& f = form4();
    f.Corresponsal->setText("QQ1");
    QTextCursor c(f.MCheck->document()->findBlockByNumber(2));
    c.movePosition(QTextCursor::Right);
    f.MCheck->setTextCursor(c);
    f.MCheck_DblClick();
    QCOMPARE(f.Corresponsal->text(), QString("QQ2AA"));
    QCOMPARE(f.focusWidget(), f.RSR);
    QCOMPARE(shownTexts(), (QStringList{"QQ2AA", "QQ1AA"}));  // rebuilt for the picked call
  }

  void theAgeCheckOffersANewerList_data() {
    QTest::addColumn<QByteArray>("webList");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<QDate>("local");
    QTest::addColumn<QString>("shown");
    const QDate local(2024, 3, 15);
    QTest::newRow("newer") << QByteArray("#20/03/2024\nAA1A\n") << true << local << "15/03/2024";
    QTest::newRow("same date") << QByteArray("#15/03/2024\nAA1A\n") << false << local << "";
    QTest::newRow("older") << QByteArray("#01/01/2024\nAA1A\n") << false << local << "";
    QTest::newRow("no date") << QByteArray("<html>not found</html>") << false << local << "";
    // No master.txt, so no date: the question names the zero date.
    QTest::newRow("no list") << QByteArray("#20/03/2024\nAA1A\n") << true << QDate() << "30/12/1899";
  }
  void theAgeCheckOffersANewerList() {
    QFETCH(QByteArray, webList);
    QFETCH(bool, asks);
    QFETCH(QDate, local);
    QFETCH(QString, shown);
    test::LocalHttpServer server;
    server.defaultReply.contentType = "text/plain";
    server.defaultReply.body = webList;
    qputenv(serviceEnvironmentVariable(Service::WebSite), server.base().toUtf8());
    state().MasterListDate = local;
    Form4& f = form4();
    f.Timer4_Timer();
    QVERIFY(!f.Timer4->isActive());
    QTRY_VERIFY(folder->exists("webomc.txt"));
    // The offered update, accepted with the default Yes, fetches the list once more.
    QCOMPARE(server.requests.size(), asks ? 2 : 1);
    // The age check and the update ask the same address.
    for (const auto& request : server.requests) QCOMPARE(request.path(), QByteArray("/assets/zezeror/master.txt"));
    // Each line feed is followed by a carriage return; the first line reads back whole.
    if (webList.startsWith('#'))
      QCOMPARE(folder->readLines("webomc.txt").first(), QString::fromLatin1(webList).section(u'\n', 0, 0));
    if (asks) {
      QCOMPARE(dialogs->texts().first(),
               "Su archivo Master check con fecha " + shown + " debe actualizarse\r\nLo hace ahora?");
      QCOMPARE(dialogs->messages[0].defaultButton, MsgAnswer::Yes);
      QVERIFY(folder->exists("master.txt"));
      QCOMPARE(state().MasterCallCount, 1);
      QCOMPARE(f.Frame2->title(), MasterCheckCaption(1));
    } else {
      QVERIFY(dialogs->messages.isEmpty());
    }
  }

  void theAgeCheckWithoutConnectionSaysNothing() {
    qputenv(serviceEnvironmentVariable(Service::WebSite), "http://127.0.0.1:1");
    state().MasterListDate = QDate(2024, 3, 15);
    form4().Timer4_Timer();
    QTest::qWait(300);
    QVERIFY(dialogs->messages.isEmpty());
  }
};

QTEST_MAIN(TstForm4Master)
#include "tst_form4master.moc"
