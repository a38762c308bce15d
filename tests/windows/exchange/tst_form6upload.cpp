#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "exchange/form6.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "setup/form2.h"
#include "store/programstate.h"
#include "support/localhttpserver.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;
using test::LocalHttpServer;

namespace {

void store(const QString& call, const QString& date, const QString& mode, const QString& freq, const QString& remarks,
           const QString& sat = QString()) {
  QSqlQuery q(db::connection());
  QVERIFY(db::run(q,
                  "INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, [Nombre Log], "
                  "Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) VALUES (?,'40m','LU9ZZ',?,?,'10:05:00','59','57',"
                  "?,'',?,?,'','','1',?,'')",
                  {db::textValue(mode), db::textValue(call), db::textValue(date), db::textValue(remarks),
                   db::textValue(QStringLiteral("Mi Log")), db::textValue(freq), db::textValue(sat)}));
}

LocalHttpServer::Reply page(const QByteArray& body) { return {200, "text/html; charset=utf-8", body, false}; }

// The colour of the answer box's first line that holds the text.
QColor lineColour(const QTextEdit* box, const QString& text) {
  for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
    if (b.text().contains(text)) return b.begin().fragment().charFormat().foreground().color();
  return {};
}

// The value of a query key as the bytes the receiver decodes, before any text is
// made of them.
QByteArray rawParam(const LocalHttpServer::Request& r, const QByteArray& key) {
  for (const QByteArray& pair : r.query().split('&'))
    if (pair.startsWith(key + '=')) return QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
  return {};
}

// The value of an ADIF field as a reader takes it: the declared number of bytes
// after "<TAG:n>". Empty when the tag is missing or declares more than there is.
QByteArray adifFieldBytes(const QByteArray& adif, const QByteArray& tag, QByteArray* after = nullptr) {
  const QByteArray open = '<' + tag + ':';
  const qsizetype at = adif.indexOf(open);
  const qsizetype close = adif.indexOf('>', at);
  if (at < 0 || close < 0) return {};
  const qsizetype n = adif.mid(at + open.size(), close - at - open.size()).toLongLong();
  if (close + 1 + n > adif.size()) return {};
  if (after) *after = adif.mid(close + 1 + n);
  return adif.mid(close + 1, n);
}

void storeMany(int n) {
  QVERIFY(db::transaction([n] {
    for (int i = 0; i < n; ++i) {
      QSqlQuery q(db::connection());
      const Status s = db::run(q,
                               "INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                               "[Nombre Log], Frecuencia, Ruk) VALUES ('CW','20m','LU9ZZ',?,'04/03/2024','11:00:00','599',"
                               "'599','','','Mi Log','14.020','1')",
                               {db::textValue(QStringLiteral("LU%1AA").arg(i % 10))});
      if (!s) return s;
    }
    return Status::success();
  }));
}

QString param(const LocalHttpServer::Request& r, const char* key) {
  return QUrlQuery(QString::fromUtf8(r.query())).queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded);
}

}  // namespace

class TstForm6Upload : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;
  std::unique_ptr<LocalHttpServer> server;

  Form6& shown() {
    Form6& f = form6();
    f.fillWithCurrentLog();
    f.show();
    f.Timer2->setInterval(300);
    return f;
  }
  QStringList lines() const { return form6().RichTextBox1->toPlainText().split(u'\n'); }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    server = std::make_unique<LocalHttpServer>();
    qputenv("VZ_URL_RUK", server->base().toUtf8());
    qputenv("VZ_URL_EQSL", server->base().toUtf8());
    state() = ProgramState{};
    state().CurrentLogName = "Mi Log";
    store("LU1ABC", "01/03/2024", "SSB", "7.050", "73 & 100%");
    store("EA4XYZ", "02/03/2024", "Echo", "145.900", "", "AO-91");
    store("LU2DEF", "03/03/2024", "DV IP", "0", "");
    form1().Timer2->stop();  // no start-up step: these tests set the settings they need
    form2().Text8->setText("lu9zz");
    form2().Text7->setText("a&b%");
    form2().Text9->setText("LU9ZZ");
    form2().Text10->setText("q=1");
  }

  void cleanup() {
    FormInstance<Form6>::unload();
    FormInstance<Form2>::unload();
    FormInstance<Form1>::unload();
    qunsetenv("VZ_URL_RUK");
    qunsetenv("VZ_URL_EQSL");
    server.reset();
    dialogs.reset();
    folder.reset();
  }

  void serviceRunSendsEachRowColoursCountsAndTotals() {
    Form6& f = shown();
    server->replies << page("QSO OK!") << page("<html><body>OK! duplicado!</body></html>") << page("Error: fecha");
    f.Command6_Click();

    QCOMPARE(server->requests.size(), 3);
    const auto& first = server->requests[0];  // the list shows the newest first
    QCOMPARE(first.path(), QByteArray("/php/vantorel2Rozozev.php"));
    QVERIFY2(first.query().startsWith("user=lu9zz&pass=a%26b%25&micall=LU9ZZ&sucall=LU2DEF&banda=VOIP&modo=DV&"),
             first.query().constData());
    QCOMPARE(param(server->requests[1], "modo"), QStringLiteral("Sat Echo"));
    QCOMPARE(param(server->requests[1], "banda"), QStringLiteral("2m"));
    QCOMPARE(param(server->requests[2], "x_qslMSG"), QStringLiteral("73 & 100%"));
    QCOMPARE(param(server->requests[2], "fecha"), QStringLiteral("01/03/2024"));
    QCOMPARE(param(server->requests[2], "hora"), QStringLiteral("1005"));

    QCOMPARE(f.Frame5->title(), QStringLiteral("Respuesta de Rukanet ..."));
    QVERIFY(f.Frame5->isVisible());
    QVERIFY(f.Command7->isEnabled());
    QCOMPARE(f.ProgressBar1->value(), 3);
    QCOMPARE(lines().mid(0, 4), QStringList({"Conectando con Ruk ...", "QSO OK!", "OK! duplicado!", "Error: fecha"}));
    QVERIFY(lines().contains("QSOs   Cargados: 2"));
    QVERIFY(lines().contains("QSOs Duplicados: 1"));
    QVERIFY(lines().contains("Desconectado de Ruk."));
    QCOMPARE(lineColour(f.RichTextBox1, "QSO OK!"), QColor(0, 64, 0));
    QCOMPARE(lineColour(f.RichTextBox1, "OK! duplicado!"), QColor(255, 0, 0));
    QCOMPARE(lineColour(f.RichTextBox1, "Cargados"), QColor(0, 0, 192));
    QVERIFY(state().UseCommentAsQslMsg);
  }

  // Whatever the HTTP status: a 401 page saying the password is wrong stops the run
  // as well, so no further request carries the password.
  void abortWordStopsAfterThatRow_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("status");
    QTest::newRow("password") << QByteArray("Error de Contraseña!") << 200;
    QTest::newRow("password, 401") << QByteArray("<html><body>Error de Contraseña!</body></html>") << 401;
    QTest::newRow("unknown user") << QByteArray("lu9zz NO existe en Ruk!") << 200;
    QTest::newRow("unknown user, 403") << QByteArray("lu9zz NO existe en Ruk!") << 403;
  }
  void abortWordStopsAfterThatRow() {
    QFETCH(QByteArray, answer);
    QFETCH(int, status);
    Form6& f = shown();
    server->defaultReply = page(answer);
    server->defaultReply.status = status;
    f.Command6_Click();
    QCOMPARE(server->requests.size(), 1);
    QVERIFY(lines().contains("QSOs   Cargados: 0"));
    QVERIFY(lines().contains("QSOs Duplicados: 0"));
  }

  void noAnswerRequestIsAbandonedAndTheRunGoesOn() {
    Form6& f = shown();
    dialogs->answers << MsgAnswer::No;  // no QSL message
    LocalHttpServer::Reply silent;
    silent.silent = true;
    server->replies << silent << page("OK!") << page("OK!");
    // A second upload asked for while the first waits does not start.
    QTimer::singleShot(50, &f, [&f] {
      f.Command6_Click();
      f.Command8_Click();
    });
    f.Command6_Click();
    QCOMPARE(server->requests.size(), 3);
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(param(server->requests[0], "x_qslMSG"), QString());
    QVERIFY(server->requests[0].query().endsWith("&x_qslMSG="));
    // The row that timed out leaves no line and counts nowhere.
    QCOMPARE(lines().mid(0, 3), QStringList({"Conectando con Ruk ...", "OK!", "OK!"}));
    QCOMPARE(lines().at(3), QString(28, u'-'));
    QVERIFY(lines().contains("QSOs   Cargados: 2"));
    QCOMPARE(f.ProgressBar1->value(), 2);
  }

  // The first row's answer comes after its time-out, while the second row waits: it
  // is not taken for the second row's answer, nor counted at all.
  void aLateAnswerIsIgnored() {
    Form6& f = shown();
    f.Timer2->setInterval(1000);
    LocalHttpServer::Reply late = page("OK!");
    late.delayMs = 1300;  // 300 ms into the second row's wait
    LocalHttpServer::Reply second = page("duplicado!");
    second.delayMs = 600;
    server->replies << late << second << page("duplicado!");
    f.Command6_Click();
    QTest::qWait(500);  // any late answer would have come by now
    QCOMPARE(server->requests.size(), 3);
    QCOMPARE(lines().mid(0, 3), QStringList({"Conectando con Ruk ...", "duplicado!", "duplicado!"}));
    QVERIFY(lines().contains("QSOs   Cargados: 0"));
    QVERIFY(lines().contains("QSOs Duplicados: 2"));
    QVERIFY(!lines().contains("OK!"));
    QCOMPARE(f.ProgressBar1->value(), 2);
  }

  // The account's password would travel in clear text: the run ends before a request.
  void anHttpAddressElsewhereGetsNoPassword_data() {
    QTest::addColumn<int>("upload");  // 6 service, 8 eQSL
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("end");
    QTest::newRow("service") << 6 << QByteArray("VZ_URL_RUK") << "Desconectado de Ruk.";
    QTest::newRow("eqsl") << 8 << QByteArray("VZ_URL_EQSL") << "Desconectado de eQSL.";
  }
  void anHttpAddressElsewhereGetsNoPassword() {
    QFETCH(int, upload);
    QFETCH(QByteArray, variable);
    QFETCH(QString, end);
    Form6& f = shown();
    test::ProxyThrough through(*server);  // would see any request to any host
    qputenv(variable.constData(), "http://servicio.example.org");
    if (upload == 6) f.Command6_Click();
    else f.Command8_Click();
    QTest::qWait(100);
    QVERIFY(server->requests.isEmpty());
    const QString refusal = "No se envía la contraseña a http://servicio.example.org: la dirección no es segura, "
                            "debe empezar con https://";
    QVERIFY(lines().contains(refusal));
    QCOMPARE(lineColour(f.RichTextBox1, refusal), QColor(255, 0, 0));
    QCOMPARE(lines().filter("No se envía").size(), 1);
    QVERIFY(lines().contains(end));
    QVERIFY(!lines().contains("QSOs   Cargados: 0"));
    QVERIFY(!f.uploadRunning());
  }

  // An answer that is no text is said to be none, per row, and never shown.
  void binaryAnswerIsSaidPerRow() {
    Form6& f = shown();
    server->defaultReply = {200, "application/octet-stream", QByteArray("\x00\x01\x02PK\x03\x04\xff\xfe", 10), false};
    f.Command6_Click();
    QCOMPARE(server->requests.size(), 3);
    QCOMPARE(lines().filter("Rukanet no dio una respuesta válida para la carga del QSO: la respuesta no es texto "
                            "legible.").size(),
             3);
    QVERIFY(lines().filter("PK").isEmpty());
    QVERIFY(lines().contains("QSOs   Cargados: 0"));
  }

  void failedPageIsRedAndCountedNowhere() {
    Form6& f = shown();
    server->defaultReply = {500, "text/html", "OK!", false};
    f.Command6_Click();
    QCOMPARE(server->requests.size(), 3);
    QVERIFY(lines().contains("QSOs   Cargados: 0"));
    QCOMPARE(lineColour(f.RichTextBox1, "Rukanet no dio una respuesta válida para la carga del QSO (error HTTP 500): "
                                        "la respuesta no trae lo esperado."),
             QColor(255, 0, 0));
    QCOMPARE(f.ProgressBar1->value(), 0);
  }

  void runsThatDoNotStart_data() {
    QTest::addColumn<int>("upload");  // 6 service, 8 eQSL
    QTest::addColumn<QString>("clearBox");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QStringList>("messages");
    const QString question = "Desea usar el campo COMMENT como QSLMSG?";
    const QString many = "Más de 50 QSOs para subir!\r\n\r\npuede que domore mucho tiempo, prosigue o Cancela?\r\n\r\n"
                         "SUGERENCIA: Filre por fecha para subilos en etapas";
    QTest::newRow("service user") << 6 << "Text8" << "3" << QStringList{"Sin configurar Usuario o Contraseña!"};
    QTest::newRow("service password") << 6 << "Text7" << "3" << QStringList{"Sin configurar Usuario o Contraseña!"};
    QTest::newRow("eqsl user") << 8 << "Text9" << "3" << QStringList{"Sin configurar Usuario o Contraseña!"};
    QTest::newRow("eqsl password") << 8 << "Text10" << "3" << QStringList{"Sin configurar Usuario o Contraseña!"};
    QTest::newRow("51 cancelled") << 6 << "" << "51" << QStringList{many};
    QTest::newRow("51 cancelled eqsl") << 8 << "" << "51" << QStringList{many};
    QTest::newRow("nothing listed") << 6 << "" << "0" << QStringList{question, "No hay QSOs para exportar!"};
  }
  void runsThatDoNotStart() {
    QFETCH(int, upload);
    QFETCH(QString, clearBox);
    QFETCH(QString, listed);
    QFETCH(QStringList, messages);
    Form6& f = shown();
    const QHash<QString, QLineEdit*> boxes{{"Text7", form2().Text7}, {"Text8", form2().Text8},
                                           {"Text9", form2().Text9}, {"Text10", form2().Text10}};
    if (QLineEdit* box = boxes.value(clearBox)) box->clear();
    f.Label6->setText(listed);
    if (upload == 6) f.Command6_Click();
    else f.Command8_Click();
    QCOMPARE(dialogs->texts(), messages);
    QCOMPARE(server->requests.size(), 0);
    QVERIFY(!f.Frame5->isVisible());
  }

  void fiftyListedStartWithoutWarning() {
    Form6& f = shown();
    f.Label6->setText("50");
    server->defaultReply = page("OK!");
    f.Command6_Click();
    QCOMPARE(dialogs->texts(), QStringList{"Desea usar el campo COMMENT como QSLMSG?"});
    QCOMPARE(server->requests.size(), 3);  // the rows that are there
  }

  void eqslRunEchoesRecordsAndCountsItsWords() {
    Form6& f = shown();
    server->replies << page("Result: 1 out of 1 records added") << page("Result: 0 out of 1\nError: Duplicate QSO")
                    << page("Result: 1 out of 1 records added");
    f.Command8_Click();
    QCOMPARE(server->requests.size(), 3);
    const auto& r = server->requests[1];
    QCOMPARE(r.path(), QByteArray("/qslcard/importADIF.cfm"));
    QCOMPARE(param(r, "ADIFData"),
             QStringLiteral("Vantorel Zezeror Ver 2.1.21<EOH><STATION_CALLSIGN:5>LU9ZZ<CALL:6>EA4XYZ<BAND:2>2m<MODE:2>FM"
                            "<QSO_DATE:8>20240302<TIME_ON:4>1005<PROP_MODE:3>ECH<PROP_MODE:3>SAT<SAT_NAME:5>AO-91"
                            "<EOR><EOF>"));
    QVERIFY(r.query().endsWith("&EQSL_USER=LU9ZZ&EQSL_PSWD=q%3D1"));
    QCOMPARE(param(server->requests[2], "ADIFData").count("<QSLMSG:9>73 & 100%"), 1);

    QCOMPARE(f.Frame5->title(), QStringLiteral("Respuesta de Log eQSL ..."));
    QCOMPARE(lines().mid(0, 3), QStringList({"Conectando con eQSL ...", QString(26, u'-'),
                                             "<STATION_CALLSIGN:5>LU9ZZ<CALL:6>LU2DEF<BAND:3>40m<MODE:12>DIGITALVOICE<QSO ..."}));
    QCOMPARE(lineColour(f.RichTextBox1, "Error: Duplicate"), QColor(255, 0, 0));
    QVERIFY(lines().contains("QSOs   Cargados: 2"));
    QVERIFY(lines().contains("QSOs Duplicados: 1"));
    QVERIFY(lines().contains("Desconectado de eQSL."));
    QVERIFY(f.Command8->isEnabled());
  }

  // A run sends the first 2000 listed rows; at a longer list it ends as a failed one
  // and says which rows it left, without totals.
  void aRunSendsAtMostTwoThousandRows_data() {
    QTest::addColumn<int>("upload");  // 6 service, 8 eQSL
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("end");
    QTest::newRow("service, 2000") << 6 << 2000 << "Desconectado de Ruk.";
    QTest::newRow("service, 2003") << 6 << 2003 << "Desconectado de Ruk.";
    QTest::newRow("eqsl, 2003") << 8 << 2003 << "Desconectado de eQSL.";
  }
  void aRunSendsAtMostTwoThousandRows() {
    QFETCH(int, upload);
    QFETCH(int, listed);
    QFETCH(QString, end);
    storeMany(listed - 3);
    Form6& f = shown();
    QCOMPARE(f.Label6->text(), QString::number(listed));
    dialogs->answers << MsgAnswer::Ok << MsgAnswer::Yes;  // more than 50, QSL message
    server->defaultReply = page(upload == 6 ? "OK!" : "Result: 1 out of 1 records added");
    if (upload == 6) f.Command6_Click();
    else f.Command8_Click();
    QCOMPARE(server->requests.size(), 2000);
    QVERIFY(!f.uploadRunning());
    QStringList shown = lines();
    while (!shown.isEmpty() && shown.last().isEmpty()) shown.removeLast();
    const QString unsent = "No se enviaron los QSOs después del 2000 (3 QSOs): se suben a lo sumo 2000 por vez. "
                           "Filtre por fecha para subir el resto.";
    if (listed > 2000) {
      QCOMPARE(shown.mid(shown.size() - 2), QStringList({unsent, end}));
      QCOMPARE(lineColour(f.RichTextBox1, unsent), QColor(255, 0, 0));
      QVERIFY(shown.filter("QSOs   Cargados").isEmpty());
    } else {
      QVERIFY(shown.contains("QSOs   Cargados: 2000"));
      QVERIFY(shown.filter("No se enviaron").isEmpty());
    }
    QVERIFY(f.Command7->isEnabled());
    QVERIFY(f.Command8->isEnabled());
  }

  // The lengths in the eQSL record count the bytes that go out (UTF-8), or a reader
  // takes a field short or runs into the next tag.
  void eqslFieldLengthsCountTheBytesSent_data() {
    QTest::addColumn<QString>("remarks");
    QTest::newRow("ascii") << "73 de LU9ZZ";
    QTest::newRow("enye") << QString::fromUtf8("Buena señal");
    QTest::newRow("euro") << QString::fromUtf8("Cuesta 10 € la QSL");
    QTest::newRow("emoji") << QString::fromUtf8("Saludos \xF0\x9F\x93\xBB y 73");
  }
  void eqslFieldLengthsCountTheBytesSent() {
    QFETCH(QString, remarks);
    QSqlQuery q(db::connection());
    QVERIFY(db::run(q, "DELETE FROM Tabla1", {}));
    store("LU1ABC", "01/03/2024", "SSB", "7.050", remarks, QString::fromUtf8("Ñandú-1"));
    Form6& f = shown();
    server->defaultReply = page("Result: 1 out of 1 records added");
    f.Command8_Click();
    QCOMPARE(server->requests.size(), 1);
    const QByteArray adif = rawParam(server->requests[0], "ADIFData");
    QByteArray after;
    QCOMPARE(adifFieldBytes(adif, "SAT_NAME", &after), QString::fromUtf8("Ñandú-1").toUtf8());
    QVERIFY2(after.startsWith("<COMMENT:"), adif.constData());
    QCOMPARE(adifFieldBytes(adif, "COMMENT", &after), remarks.toUtf8());
    QVERIFY2(after.startsWith("<QSLMSG:"), adif.constData());
    QCOMPARE(adifFieldBytes(adif, "QSLMSG", &after), remarks.toUtf8());
    QCOMPARE(after, QByteArray("<EOR><EOF>"));
  }

  void closingTheWindowStopsTheRun() {
    Form6& f = shown();
    LocalHttpServer::Reply silent;
    silent.silent = true;
    server->defaultReply = silent;
    f.Timer2->setInterval(5000);
    QTimer::singleShot(100, &f, [&f] { f.close(); });
    f.Command6_Click();
    QCOMPARE(server->requests.size(), 1);
    QVERIFY(!f.uploadRunning());
  }
};

QTEST_MAIN(TstForm6Upload)
#include "tst_form6upload.moc"
