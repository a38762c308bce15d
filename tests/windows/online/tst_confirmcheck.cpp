#include <QLineEdit>
#include <QListWidget>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeWidget>
#include <QUrlQuery>
#include <QtTest>
#include <memory>

#include "contest/form13.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/localhttpserver.h"
#include "support/logfixture.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using test::LocalHttpServer;

namespace {

const QString kLog = QStringLiteral("Mi Log");

LocalHttpServer::Reply page(const QByteArray& body, int status = 200) {
  return {status, "text/html; charset=utf-8", body, false};
}

test::QsoDetails argentine(const QString& ruk, const QString& province = QStringLiteral("Córdoba")) {
  test::QsoDetails d;
  d.ruk = ruk;
  d.province = province;
  return d;
}

QString rukOf(qint64 id) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT [Ruk] FROM Tabla1 WHERE [id]=?"), {id}) || !q.next()) return "no row";
  return q.value(0).toString();
}

QStringList lines() {
  QStringList out;
  for (int i = 0; i < form13().List1->count(); ++i) out << form13().List1->item(i)->text();
  return out;
}

QList<MessageRequest> questions(const test::ScriptedDialogs& d) {
  QList<MessageRequest> out;
  for (const MessageRequest& m : d.messages)
    if (m.buttons == MsgButtons::YesNo) out << m;
  return out;
}

}  // namespace

class TstConfirmCheck : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<LocalHttpServer> server;

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    server = std::make_unique<LocalHttpServer>();
    qputenv("VZ_URL_RUK", server->base().toUtf8());
    state() = ProgramState{};
    state().CurrentLogName = kLog;
    // A slow run must not meet the main window's start-up step in the middle of a test.
    test::loadQuietMainWindow();
    form2().user_ruk->setText("op&x@mail.com");
    form2().pass_ruk->setText("a&b");
    form2().Timer1->setInterval(10);
  }

  void cleanup() {
    FormInstance<Form13>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    qunsetenv("VZ_URL_RUK");
    server.reset();
    dialogs.reset();
    folder.reset();
  }

  void missingAccountAsksForItAndSendsNothing() {
    const struct {
      const char *user, *pass, *message;
    } cases[] = {
        {"", "a&b", "Falta configurar el usuario de Ruk!"},
        {"", "", "Falta configurar el usuario de Ruk!"},
        {"op@mail.com", "", "Falta configurar la contraseña de Ruk!"},
    };
    test::addQso(kLog, "LU2AAA", "01/03/2024", "10:00:00", argentine(""));
    for (const auto& c : cases) {
      dialogs->clear();
      form2().hide();
      form2().user_ruk->setText(c.user);
      form2().pass_ruk->setText(QString::fromUtf8(c.pass));
      form1().suych_Click();
      QCOMPARE(dialogs->texts(), QStringList{QString::fromUtf8(c.message)});
      QCOMPARE(dialogs->messages[0].icon, MsgIcon::Exclamation);
      QVERIFY(form2().isVisible());
    }
    QVERIFY(server->requests.isEmpty());
    QVERIFY(!form13().isVisible());
  }

  void logWithNothingToSendSaysWhy() {
    const struct {
      const char *log, *message;
    } cases[] = {
        {"Vacío", "No hay QSOs en el log Vacío"},
        {"Extranjeros", "No hay estaciones argentinas en\r\nLog: Extranjeros"},
        {"Confirmados", "No hay estaciones argentinas que no se hayan subido a Ruk en\r\nLog: Confirmados"},
    };
    test::addPlaceholder("Vacío");
    test::addQso("Vacío", "", "01/03/2024", "10:00:00", argentine("0"));
    test::addQso("Extranjeros", "EA4XYZ", "01/03/2024", "10:00:00", argentine("0", ""));
    test::addQso("Extranjeros", "LU7FFF/MM", "01/03/2024", "11:00:00", argentine("0"));
    test::addQso("Confirmados", "LU8GGG", "01/03/2024", "10:00:00", argentine(" 2 "));
    test::addQso("Confirmados", "EA4XYZ", "01/03/2024", "11:00:00", argentine("0", ""));
    for (const auto& c : cases) {
      dialogs->clear();
      state().CurrentLogName = QString::fromUtf8(c.log);
      form1().suych_Click();
      QCOMPARE(dialogs->texts(), QStringList{QString::fromUtf8(c.message)});
      QVERIFY(!form13().isVisible());
    }
    QVERIFY(server->requests.isEmpty());
  }

  void runSendsEachArgentineQsoWritesStatusesAndListsResults() {
    const qint64 later = test::addQso(kLog, "LU2AAA", "01/03/2024", "14:05:00",
                                      [] {
                                        auto d = argentine("");
                                        d.band = "14.205.0";
                                        d.satellite = "AO-91";
                                        return d;
                                      }());
    const qint64 again = test::addQso(kLog, "LU3BBB", "02/03/2024", "10:00:00", argentine("1", "Chaco"));
    // Earlier by date although its text sorts after the others.
    const qint64 first = test::addQso(kLog, "LU4CCC", "15/02/2024", "10:00:00", argentine("0"));
    const qint64 both = test::addQso(kLog, "LU5DDD", "03/03/2024", "10:00:00", argentine("1"));
    const qint64 failing = test::addQso(kLog, "LU6EEE", "04/03/2024", "10:00:00", argentine(""));
    test::addQso(kLog, "EA4XYZ", "01/03/2024", "09:00:00", argentine("", ""));
    test::addQso(kLog, "LU7FFF/MM", "01/03/2024", "09:30:00", argentine(""));
    const qint64 confirmed = test::addQso(kLog, "LU8GGG", "01/03/2024", "09:45:00", argentine(" 2 "));
    test::addPlaceholder(kLog);
    const qint64 otherLog = test::addQso("Otro", "LU9HHH", "01/03/2024", "10:00:00", argentine(""));

    server->replies << page("LU4CCC no es de Argentina") << page("LU1ABC LU2AAA 20m Sat a b Guardado")
                    << page("<html><body>LU1ABC LU3BBB 40m SSB a b duplicado!S</body></html>")
                    << page("LU1ABC LU5DDD 40m SSB a b duplicado!N Guardado") << page("Internal error", 500);
    dialogs->answers << MsgAnswer::Yes;
    form1().ListView2->addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
    form1().suych_Click();

    const auto asked = questions(*dialogs);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].text.startsWith("log Mi Log con 7 QSO(s)\r\n\r\nEstaciones NO Argentinas: 1\r\n"
                                      "Estaciones Móviles: 1\r\n\r\nCall: LU1ABC \r\n"),
             qPrintable(asked[0].text));
    QVERIFY(asked[0].text.endsWith("Sube a Ruk el log Mi Log con 5 QSO(s)?"));
    QCOMPARE(asked[0].icon, MsgIcon::Question);
    QCOMPARE(asked[0].defaultButton, MsgAnswer::No);

    QCOMPARE(server->requests.size(), 5);
    QStringList sent;
    for (const auto& r : server->requests) {
      QCOMPARE(r.path(), QByteArray("/php/vantorel3.php"));
      sent << QUrlQuery(QString::fromUtf8(r.query())).queryItemValue("sucall");
    }
    QCOMPARE(sent, (QStringList{"LU4CCC", "LU2AAA", "LU3BBB", "LU5DDD", "LU6EEE"}));
    // Every value is encoded, so an "&" in the account cannot cut the request.
    const QUrlQuery q(QString::fromUtf8(server->requests[1].query()));
    QStringList keys;
    for (const auto& item : q.queryItems()) keys << item.first;
    QCOMPARE(keys, (QStringList{"user", "pass", "micall", "sucall", "banda", "modo", "fecha", "hora", "rst"}));
    QCOMPARE(q.queryItemValue("user", QUrl::FullyDecoded), QStringLiteral("op&x@mail.com"));
    QVERIFY(server->requests[1].query().contains("pass=a%26b&"));
    QCOMPARE(q.queryItemValue("micall"), QStringLiteral("LU1ABC"));
    QCOMPARE(q.queryItemValue("banda"), QStringLiteral("20m"));
    QCOMPARE(q.queryItemValue("modo"), QStringLiteral("Sat"));
    QCOMPARE(q.queryItemValue("fecha", QUrl::FullyDecoded), QStringLiteral("01/03/2024"));
    QCOMPARE(q.queryItemValue("hora"), QStringLiteral("1405"));
    QCOMPARE(q.queryItemValue("rst"), QStringLiteral("59"));

    QCOMPARE(lines(), (QStringList{"1 LU4CCC No lo considera Ruk", "2 LU1ABC>LU2AAA 20m/Sat >Subido!",
                                   "3 LU1ABC>LU3BBB 40m/SSB >Chequeado, Confirmado!", "4 LU1ABC>LU5DDD 40m/SSB >Subido!",
                                   "5 LU6EEE Rukanet no dio una respuesta válida para el chequeo del QSO (error HTTP 500): "
                                   "la respuesta no trae lo esperado."}));
    QCOMPARE(form13().List1->currentRow(), 3);  // failures do not move the selection
    QVERIFY(form13().isVisible());

    QCOMPARE(rukOf(first), QStringLiteral("0"));
    QCOMPARE(rukOf(later), QStringLiteral("1"));
    QCOMPARE(rukOf(again), QStringLiteral("2"));
    QCOMPARE(rukOf(both), QStringLiteral("1"));
    QCOMPARE(rukOf(failing), QStringLiteral(""));
    QCOMPARE(rukOf(confirmed), QStringLiteral(" 2 "));
    QCOMPARE(rukOf(otherLog), QStringLiteral(""));

    QCOMPARE(dialogs->lastText(),
             QStringLiteral("1 QSOs Chequeados por confirmación\r\n2 QSOs subidos\r\n2 QSOs con error"));
    QCOMPARE(form1().ListView2->topLevelItemCount(), 8);  // reloaded: the log's QSOs, no stale row
    QVERIFY(!form1().Timer10->isActive());
    QVERIFY(!form2().Timer1->isActive());
    QCOMPARE(state().NetTimeoutTicks, 0);
  }

  void noInThePromptSendsNothing() {
    const qint64 id = test::addQso(kLog, "LU2AAA", "01/03/2024", "10:00:00", argentine("1"));
    form1().suych_Click();
    QCOMPARE(questions(*dialogs).size(), 1);
    QVERIFY(server->requests.isEmpty());
    QVERIFY(!form13().isVisible());
    QCOMPARE(rukOf(id), QStringLiteral("1"));
    QVERIFY(!form1().Timer10->isActive());
  }

  void noAnswerEndsTheRunKeepingWhatWasWritten_data() {
    QTest::addColumn<int>("answered");  // requests answered before the one that is not
    QTest::addColumn<QStringList>("resultLines");
    QTest::addColumn<int>("listRows");
    QTest::newRow("after a written status") << 1 << QStringList{"1 LU1ABC>LU2AAA 40m/SSB >Subido!"}
                                            << 3;  // reloaded, as after a whole run
    QTest::newRow("on the first QSO") << 0 << QStringList{} << 1;  // nothing written, nothing reloaded
  }
  void noAnswerEndsTheRunKeepingWhatWasWritten() {
    QFETCH(int, answered);
    QFETCH(QStringList, resultLines);
    QFETCH(int, listRows);
    const qint64 a = test::addQso(kLog, "LU2AAA", "01/03/2024", "10:00:00", argentine(""));
    const qint64 b = test::addQso(kLog, "LU3BBB", "02/03/2024", "10:00:00", argentine(""));
    test::addQso(kLog, "LU4CCC", "03/03/2024", "10:00:00", argentine(""));
    if (answered) server->replies << page("LU1ABC LU2AAA 40m SSB a b Guardado");
    server->defaultReply.silent = true;
    dialogs->answers << MsgAnswer::Yes;
    form1().ListView2->addTopLevelItem(new QTreeWidgetItem(QStringList{"stale"}));
    form1().suych_Click();

    QCOMPARE(server->requests.size(), answered + 1);
    QCOMPARE(dialogs->lastText(), QStringLiteral("No parace haber conexión con internet!"));
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Exclamation);
    QCOMPARE(rukOf(a), answered ? QStringLiteral("1") : QStringLiteral(""));
    QCOMPARE(rukOf(b), QStringLiteral(""));
    QCOMPARE(lines(), resultLines);
    QVERIFY(!form13().isVisible());
    QCOMPARE(form1().ListView2->topLevelItemCount(), listRows);
    if (answered) QVERIFY(form1().ListView2->findItems("stale", Qt::MatchExactly).isEmpty());
    QVERIFY(!form1().Timer10->isActive());
    QVERIFY(!form2().Timer1->isActive());
    QCOMPARE(state().NetTimeoutTicks, 0);
  }

  // The account's password would travel in clear text: the run ends before a request.
  void anHttpAddressElsewhereGetsNoPassword() {
    const qint64 a = test::addQso(kLog, "LU2AAA", "01/03/2024", "10:00:00", argentine(""));
    test::ProxyThrough through(*server);  // would see any request to any host
    qputenv("VZ_URL_RUK", "http://www.rukanet.example.org");
    dialogs->answers << MsgAnswer::Yes;
    form1().suych_Click();
    QVERIFY(server->requests.isEmpty());
    QCOMPARE(dialogs->lastText(), QStringLiteral("No se envía la contraseña a http://www.rukanet.example.org: la "
                                                 "dirección no es segura, debe empezar con https://"));
    QCOMPARE(dialogs->messages.last().icon, MsgIcon::Exclamation);
    QVERIFY(lines().isEmpty());
    QVERIFY(!form13().isVisible());
    QCOMPARE(rukOf(a), QStringLiteral(""));
    QVERIFY(!form1().Timer10->isActive());
  }

  void unreadableDateIsAnErrorNotARequest() {
    const qint64 bad = test::addQso(kLog, "LU2AAA", "xx/03/2024", "10:00:00", argentine(""));
    test::addQso(kLog, "LU3BBB", "02/03/2024", "10:00:00", argentine(""));
    server->defaultReply = page("LU1ABC LU3BBB 40m SSB a b Guardado");
    dialogs->answers << MsgAnswer::Yes;
    form1().suych_Click();
    QCOMPARE(server->requests.size(), 1);
    QVERIFY(server->requests[0].query().contains("sucall=LU3BBB"));
    QCOMPARE(lines(), (QStringList{"1 LU1ABC>LU3BBB 40m/SSB >Subido!", "2 LU2AAA Fecha inválida: xx/03/2024"}));
    QCOMPARE(rukOf(bad), QStringLiteral(""));
    QCOMPARE(dialogs->lastText(), QStringLiteral("1 QSOs subidos\r\n1 QSOs con error"));
  }

  void secondStartWhileRunningIsIgnored() {
    test::addQso(kLog, "LU2AAA", "01/03/2024", "10:00:00", argentine(""));
    test::addQso(kLog, "LU3BBB", "02/03/2024", "10:00:00", argentine(""));
    server->defaultReply = page("LU1ABC X 40m SSB a b Guardado");
    dialogs->answers << MsgAnswer::Yes << MsgAnswer::Yes;
    int restarts = 0;
    connect(server.get(), &LocalHttpServer::requestReceived, this, [&] {
      ++restarts;
      form1().suych_Click();
    });
    form1().suych_Click();
    QCOMPARE(restarts, 2);
    QCOMPARE(server->requests.size(), 2);
    QCOMPARE(questions(*dialogs).size(), 1);
    QCOMPARE(form13().List1->count(), 2);
  }
};

QTEST_MAIN(TstConfirmCheck)
#include "tst_confirmcheck.moc"
