// What the program writes as ADIF comes back through its own import: QSOs holding
// every field the export and the back-up write, with the texts that broke the
// reading (tags and "<EOR>" inside remarks, line breaks, accented letters, long and
// blank values), are written, imported through the import window into an empty
// log, and every stored column is compared with the original.
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

#include "exchange/adif.h"
#include "exchange/adifbackup.h"
#include "exchange/form12.h"
#include "mainwin/form1.h"
#include "platform/cp1252.h"
#include "platform/database.h"
#include "platform/textutil.h"
#include "store/callsign.h"
#include "store/programstate.h"
#include "support/quietmainwindow.h"
#include "support/scripteddialogs.h"
#include "support/tempfolder.h"

using namespace vz;

namespace {

const QString kSource = QStringLiteral("Origen");
const QString kTarget = QStringLiteral("Destino");

// Columns of Tabla1 compared, in this order.
const char* const kColumns[] = {"Estacion", "Banda",   "Modo",   "RSE",    "RSR",        "Fecha",  "Hora",   "MyCall",
                                "Operador", "Obs",     "Frecuencia", "MiGrid", "SuGrid", "Ruk", "Nombre_Sat", "Argento"};
constexpr int kColumnCount = int(std::size(kColumns));
using Row = std::array<QString, kColumnCount>;
enum Col { Estacion, Banda, Modo, RSE, RSR, Fecha, Hora, MyCall, Operador, Obs, Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento };

Row qso(const QString& call, const QString& mode, const QString& remarks) {
  Row r;
  r[Estacion] = call;
  r[Banda] = "40m";
  r[Modo] = mode;
  r[RSE] = "59";
  r[RSR] = "57";
  r[Fecha] = "01/03/2024";
  r[Hora] = "12:34:56";
  r[MyCall] = "LU9ZZ";
  r[Operador] = "LU9ZZ";
  r[Obs] = remarks;
  r[Frecuencia] = "7.050";
  r[MiGrid] = "GF05";
  r[SuGrid] = "FF78";
  r[Ruk] = "1";
  r[Argento] = ProvinceFromCallSign(call);
  return r;
}

QList<Row> originals() {
  QList<Row> rows;
  rows << qso("LU1AA", "SSB", "O'Brien dijo <EOR> fin");
  rows << qso("LU2BB", "CW", "ver <CALL:6>XX1XXX y <EOH>");
  rows << qso("EA1AA", "FM", "multi\r\nline");
  rows << qso("LU3CC", "SSB", QString::fromUtf8("Ñandú año € «bien»"));
  rows << qso("SP1AA", "SSB", QString::fromUtf8("Łódź Москва €5"));  // beyond Windows-1252
  Row blank = qso("LU4DD", "SSB", "   ");
  blank[Operador] = "  ";
  blank[MiGrid] = "";
  blank[SuGrid] = " ";
  blank[RSE] = "";
  blank[Ruk] = "0";
  rows << blank;
  Row longRemark = qso("LU5EE", "SSB", QString());
  for (int i = 0; longRemark[Obs].size() < 530; ++i) longRemark[Obs] += QStringLiteral("palabra%1 ").arg(i);
  longRemark[Obs].truncate(530);
  rows << longRemark;
  Row satellite = qso("LU6FF", "FM", "por satelite");
  satellite[Banda] = "2m";
  satellite[Frecuencia] = "145.900";
  satellite[Nombre_Sat] = "AO-91";
  satellite[Ruk] = "2";
  rows << satellite;
  rows << qso("LU7GG", "Echo", "eco");
  rows << qso("LU8HH", "DV IP", "por internet");
  rows << qso("LU9II", "DVoice", "");
  Row noOwnCall = qso("LU1JJ", "SSB", "sin indicativo propio");
  noOwnCall[MyCall] = "";
  noOwnCall[Operador] = "O'Neil";
  rows << noOwnCall;
  return rows;
}

void store(const QString& log, const QList<Row>& rows) {
  for (const Row& r : rows) {
    QSqlQuery q(db::connection());
    QVariantList values;
    for (const QString& v : r) values << db::textValue(v);
    values << log;
    QVERIFY(db::run(q,
                    "INSERT INTO Tabla1 (Estacion, Banda, Modo, RSE, RSR, Fecha, Hora, MyCall, Operador, Obs, "
                    "Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento, [Nombre Log]) "
                    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    values));
  }
}

QList<Row> stored(const QString& log) {
  QList<Row> rows;
  QSqlQuery q(db::connection());
  db::run(q, "SELECT * FROM Tabla1 WHERE [Nombre Log]=? AND Modo<>'' ORDER BY id", {log});
  while (q.next()) {
    Row r;
    for (int c = 0; c < kColumnCount; ++c) r[c] = db::text(q, kColumns[c]);
    rows << r;
  }
  return rows;
}

// What the import makes of a QSO, by the rules of the import (none of them a loss
// of the writers'):
// - the time keeps hours and minutes; the upload state of a file not written by
//   the national log service is 0;
// - a report is cut to 3 characters and an empty one takes the mode's default
//   ("59" for FM, SSB, DVoice; "599" otherwise); remarks are cut to 100 characters,
//   the operator to 50, the locators to 6 and trimmed;
// - a value made of blanks is not written (operator, remarks, locators), so it
//   comes back empty; a satellite name comes back trimmed;
// - a line break or tab in a value becomes one blank: a value of a row is one line.
// And the search export's mode table: "Echo" is written as FM with PROP_MODE ECH
// and comes back "FM"; "DV IP" as DIGITALVOICE with PROP_MODE INTERNET, and comes
// back "DVoice". The back-up writes modes as stored.
Row expectedBack(Row r, bool searchExport) {
  r[Hora] = r[Hora].left(5);
  r[Ruk] = "0";
  if (searchExport && r[Modo] == "Echo") r[Modo] = "FM";
  if (searchExport && r[Modo] == "DV IP") r[Modo] = "DVoice";
  const QString report = (r[Modo] == "FM" || r[Modo] == "SSB" || r[Modo] == "DVoice") ? "59" : "599";
  for (int c : {RSE, RSR}) r[c] = r[c].isEmpty() ? report : r[c].left(3);
  for (int c : {Operador, Obs, MiGrid, SuGrid})
    if (trimBlanks(r[c]).isEmpty()) r[c].clear();
  r[Obs] = oneLine(r[Obs]).left(100);
  r[Operador].truncate(50);
  r[MiGrid] = trimBlanks(r[MiGrid].left(6));
  r[SuGrid] = trimBlanks(r[SuGrid].left(6));
  r[Nombre_Sat] = trimBlanks(r[Nombre_Sat]);
  return r;
}

AdifQso adifOf(const Row& r) {
  AdifQso q;
  q.ownCall = r[MyCall];
  q.call = r[Estacion];
  q.mode = r[Modo];
  q.band = r[Banda];
  q.frequency = r[Frecuencia];
  q.date = r[Fecha];
  q.time = r[Hora].left(5);  // as the search list shows it
  q.reportSent = r[RSE];
  q.reportReceived = r[RSR];
  q.satellite = trimBlanks(r[Nombre_Sat]);
  q.operatorCall = r[Operador];
  q.remarks = r[Obs];
  q.ownGrid = r[MiGrid];
  q.grid = r[SuGrid];
  return q;
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TstAdifRoundTrip : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<test::ScriptedDialogs> dialogs;

  // Imports a file into the target log through the import window's buttons. A QSO
  // without the own call is no QSO the log can hold: the parse counts it with the
  // records that lack a field, and the rest load.
  void importFile(const QString& path) {
    state().CurrentLogName = kTarget;
    Form12& f = form12();
    f.show();
    dialogs->files.enqueue(path);
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QVERIFY2(dialogs->messages.isEmpty(), qPrintable(dialogs->lastText()));
    QVERIFY(f.Command3->isEnabled());
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    QVERIFY2(dialogs->messages.isEmpty(), qPrintable(dialogs->lastText()));
  }

  void compare(const QList<Row>& expected) {
    const QList<Row> back = stored(kTarget);
    QCOMPARE(back.size(), expected.size());
    for (int i = 0; i < back.size(); ++i)
      for (int c = 0; c < kColumnCount; ++c)
        QVERIFY2(back[i][c] == expected[i][c],
                 qPrintable(QStringLiteral("QSO %1 column %2: \"%3\" instead of \"%4\"")
                                .arg(i + 1)
                                .arg(QLatin1String(kColumns[c]), back[i][c], expected[i][c])));
  }

 private slots:
  void init() {
    folder = std::make_unique<test::TempFolder>();
    dialogs = std::make_unique<test::ScriptedDialogs>();
    state() = ProgramState{};
    test::loadQuietMainWindow();
    store(kSource, originals());
  }
  void cleanup() {
    FormInstance<Form12>::unload();
    FormInstance<Form1>::unload();
    dialogs.reset();
    folder.reset();
  }

  void backupComesBack() {
    const QString path = folder->file("respaldo.adi");
    QVERIFY(WriteAdifBackup(path));
    // A value beyond Windows-1252: the whole file is UTF-8.
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains("<COMMENT:25>\xC5\x81\xC3\xB3" "d\xC5\xBA"));
    QVERIFY(bytes.contains("\xC3\x91" "and\xC3\xBA"));
    importFile(path);
    QList<Row> expected;
    for (const Row& r : originals())
      if (!r[MyCall].isEmpty()) expected << expectedBack(r, false);
    compare(expected);
    QCOMPARE(form12().Label7->text(), QString("LU9ZZ  "));  // and the empty own call
  }

  // Every value fits Windows-1252: the back-up is written byte for byte as it always
  // was, one byte per character.
  void aBackupWithinWindows1252IsWrittenAsBefore() {
    QVERIFY(db::exec("DELETE FROM Tabla1"));
    QList<Row> rows;
    for (const Row& r : originals())
      if (fitsCp1252(r[Obs])) rows << r;
    store(kSource, rows);
    const QString path = folder->file("respaldo.adi");
    QVERIFY(WriteAdifBackup(path));
    const QByteArray bytes = fileBytes(path);
    QVERIFY(bytes.contains("<COMMENT:18>\xD1" "and\xFA" " a\xF1o \x80 \xAB" "bien\xBB"));
    QVERIFY(!bytes.contains("\xC3"));
    importFile(path);
    QList<Row> expected;
    for (const Row& r : rows)
      if (!r[MyCall].isEmpty()) expected << expectedBack(r, false);
    compare(expected);
  }

  void searchExportComesBack() {
    const QString path = folder->file("exportado.adi");
    QList<Row> exported;
    for (const Row& r : originals())
      if (!r[MyCall].isEmpty()) exported << r;  // the file would then ask for the operator's call
    // As the search view decides it: UTF-8 when some value needs it.
    AdifEncoding encoding = AdifEncoding::Windows1252;
    for (const Row& r : exported)
      if (AdifEncodingFor(AdifValues(adifOf(r))) == AdifEncoding::Utf8) encoding = AdifEncoding::Utf8;
    QCOMPARE(encoding, AdifEncoding::Utf8);
    AdifFileWriter writer;
    QVERIFY(writer.create(path, AdifHeader(), encoding));
    QList<Row> expected;
    for (const Row& r : exported) {
      const Result<QString> record = AdifRecord(adifOf(r), true, encoding);
      QVERIFY(record.ok());
      QVERIFY(writer.writeLine(record.value));
      expected << expectedBack(r, true);
    }
    QVERIFY(writer.finish(true));
    importFile(path);
    compare(expected);
  }
};

QTEST_MAIN(TstAdifRoundTrip)
#include "tst_adifroundtrip.moc"
