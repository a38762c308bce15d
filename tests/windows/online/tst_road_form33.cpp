// The lookup result window as the operator reaches it: a call typed into the entry
// strip, "L" for the Rukanet lookup, the answer shown, "Nombre" and "Grilla" copying
// into the entry strip, Esc closing the window.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

#include "mainwin/form1.h"
#include "online/form33.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/roadtest.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

class TstRoadForm33 : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<test::LocalHttpServer> server;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    server = std::make_unique<test::LocalHttpServer>();
    for (const char* v : {"VZ_URL_QRZ", "VZ_URL_RUK", "VZ_URL_WEB"}) qputenv(v, server->base().toUtf8());
    state() = ProgramState{};
    folder->writeLines("config.ini", {"Estacion=LU1ABC", "LogenUso=Diario"});
    QVERIFY(test::startMainWindow());
  }
  void cleanup() {
    FormInstance<Form33>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    for (const char* v : {"VZ_URL_QRZ", "VZ_URL_RUK", "VZ_URL_WEB"}) qunsetenv(v);
    server.reset();
    dialogs.reset();
    folder.reset();
  }

  void rukLookupCopiesNameAndGrid() {
    test::LocalHttpServer::Reply answer;
    answer.contentType = "text/xml; charset=utf-8";
    answer.body = "<?xml version=\"1.0\"?><ruk><call>lu4haa</call><name>Ana Gomez</name><grid>FF78AB</grid>"
                  "<email>ana@example.org</email><ultimo>05/06/2024</ultimo></ruk>";
    server->replies << answer;
    Form1& f = form1();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTest::mouseClick(f.Corresponsal, Qt::LeftButton);
    test::typeIntoFocus("lu4haa");

    QString shown;
    bool done = false;
    test::whenModalShows(
        [&](QWidget* modal) {
          Form33& r = form33();
          QCOMPARE(modal, static_cast<QWidget*>(&r));
          shown = r.Text1->toPlainText();
          QVERIFY(test::click(r.Command1));  // "Nombre"
          QVERIFY(test::click(r.Command4));  // "Grilla"
          test::keyToFocus(Qt::Key_Escape);
          QVERIFY(!r.isVisible());
        },
        &done);
    QVERIFY(test::click(f.Command14));  // "L"
    QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
    QCOMPARE(server->requests.size(), 1);
    QVERIFY(shown.contains("Ana Gomez"));
    QCOMPARE(f.Obs->text(), QString("Ana Gomez"));
    QCOMPARE(f.Text2->text(), QString("FF78AB"));
    QCOMPARE(dialogs->texts(), QStringList{});
  }
};

QTEST_MAIN(TstRoadForm33)
#include "tst_road_form33.moc"
