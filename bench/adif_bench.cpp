// The ADIF exchange on files of the given number of records: preparing a file
// (line ends, one record per line, reading the work file), parsing and staging its
// records against a current log that already holds half of them, and writing
// records.
#include <QDateTime>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "bench_support.h"
#include "exchange/adif.h"
#include "exchange/adifimport.h"
#include "exchange/adifimportfile.h"
#include "platform/database.h"
#include "platform/programfolder.h"
#include "platform/textutil.h"
#include "store/programstate.h"

namespace {

using namespace vz;
using vz::bench::callOf;

QDateTime timeOf(int i) { return QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(qint64(i) * 11 * 60); }

AdifQso qsoOf(int i) {
  const QDateTime t = timeOf(i);
  AdifQso q;
  q.ownCall = QStringLiteral("LU9ZZ");
  q.call = callOf(i);
  q.mode = i % 3 ? QStringLiteral("SSB") : QStringLiteral("CW");
  q.band = QStringLiteral("40m");
  q.frequency = QStringLiteral("7.050");
  q.date = formatDate(t.date());
  q.time = formatTime(t.time());
  q.reportSent = QStringLiteral("59");
  q.reportReceived = QStringLiteral("57");
  q.operatorCall = QStringLiteral("LU9ZZ");
  q.remarks = QString::fromUtf8("Señal fuerte <QSB>");
  q.ownGrid = QStringLiteral("GF05");
  q.grid = QStringLiteral("FF78");
  return q;
}

// One folder and database per size: the current log holds every other QSO of the
// file, so half of the records are duplicates.
struct ImportFixture {
  QTemporaryDir dir;
  QStringList recordLines;
  QString chosenFile;  // the records written by the program, with LF line ends
};

ImportFixture& fixture(int size) {
  static std::map<int, std::unique_ptr<ImportFixture>> all;
  auto& slot = all[size];
  const bool fresh = !slot;
  if (fresh) slot = std::make_unique<ImportFixture>();
  ImportFixture& f = *slot;
  setProgramFolder(f.dir.path());
  if (!db::open(f.dir.path())) qFatal("cannot open the benchmark database");
  state().CurrentLogName = QStringLiteral("Mi Log");
  if (!fresh) return f;

  QByteArray file;
  for (const QString& line : AdifHeader(QStringLiteral("2.1.21"), timeOf(0))) file += line.toLatin1() + '\n';
  const Status s = db::transaction([&] {
    QSqlQuery q(db::connection());
    if (!q.prepare(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                                  "Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                                  "VALUES (?,'40m','LU9ZZ',?,?,?,'59','57','','LU9ZZ','Mi Log','7.050','GF05','',"
                                  "'1','','Capital')")))
      return Status::failure(QStringLiteral("prepare"));
    for (int i = 0; i < size; ++i) {
      const AdifQso qso = qsoOf(i);
      const QString line = AdifRecord(qso, false).value;
      f.recordLines << line;
      file += line.toLatin1() + '\n';
      if (i % 2) continue;
      q.addBindValue(qso.mode);
      q.addBindValue(qso.call);
      q.addBindValue(qso.date);
      q.addBindValue(qso.time + QStringLiteral(":00"));
      if (!q.exec()) return Status::failure(QStringLiteral("insert"));
    }
    return Status::success();
  });
  if (!s) qFatal("cannot build the benchmark database");
  file += "<EOF>\n";
  f.chosenFile = f.dir.filePath(QStringLiteral("log.adi"));
  QFile out(f.chosenFile);
  if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size()) qFatal("cannot write the benchmark file");
  return f;
}

void BM_ParseAndStageRecords(benchmark::State& st) {
  ImportFixture& f = fixture(int(st.range(0)));
  for (auto _ : st) {
    st.PauseTiming();
    db::exec(QStringLiteral("DELETE FROM Tabla3"));
    st.ResumeTiming();
    ImportCounts counts;
    const auto r = ParseImportRecords(f.recordLines, QStringLiteral("Van Torel Zezeror"), {}, &counts);
    if (!r.ok() || counts.duplicates != f.recordLines.size() / 2) st.SkipWithError("unexpected parse");
  }
  st.SetItemsProcessed(st.iterations() * st.range(0));
}
BENCHMARK(BM_ParseAndStageRecords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PrepareAndReadFile(benchmark::State& st) {
  ImportFixture& f = fixture(int(st.range(0)));
  for (auto _ : st) {
    const auto read = ReadAdifImportFile(f.chosenFile);
    if (!read.ok() || read.value.tooManyRecords || read.value.recordLines.size() != f.recordLines.size())
      st.SkipWithError("unexpected file");
  }
  st.SetItemsProcessed(st.iterations() * st.range(0));
}
BENCHMARK(BM_PrepareAndReadFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A file of n records on one single line, and a file of one record whose remark
// holds n times 96 characters of tag-like text: reading stays linear in the size.
void BM_ReadOneLine(benchmark::State& st, bool oneRecord) {
  const int n = int(st.range(0));
  QByteArray bytes = "<PROGRAMID:4>Otro<EOH>";
  if (oneRecord) {
    QByteArray remark;
    for (int i = 0; i < n; ++i) remark += "<CALL:5 <QSO_DATE:8 <MODE:2 <EOR <BAND:3 <FREQ:5 <COMMENT:99 x <NAME:3 abc <QTH:4 ---";
    remark.resize(qsizetype(n) * 96);
    bytes += "<CALL:5>LU1AA<QSO_DATE:8>20240301<TIME_ON:4>1200<MODE:3>SSB<BAND:3>40m<COMMENT:" +
             QByteArray::number(remark.size()) + ">" + remark + "<EOR>";
  } else {
    for (int i = 0; i < n; ++i) bytes += AdifRecord(qsoOf(i), false).value.toLatin1();
  }
  for (auto _ : st) {
    const ImportFileContents c = ReadAdifImportBytes(bytes);
    if (c.recordLines.size() != (oneRecord ? 1 : n)) st.SkipWithError("unexpected file");
    for (const QString& line : c.recordLines)
      if (!ParseImportRecord(line, false, {}).ok()) st.SkipWithError("unexpected record");
  }
  st.SetBytesProcessed(st.iterations() * bytes.size());
}
BENCHMARK_CAPTURE(BM_ReadOneLine, records, false)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadOneLine, remark, true)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_WriteRecords(benchmark::State& st) {
  ImportFixture& f = fixture(int(st.range(0)));
  const QString path = f.dir.filePath(QStringLiteral("salida.adi"));
  for (auto _ : st) {
    AdifFileWriter w;
    Status s = w.create(path);
    for (int i = 0; s && i < st.range(0); ++i) s = w.writeLine(AdifRecord(qsoOf(i), true).value);
    if (s) s = w.finish(true);
    if (!s) st.SkipWithError(s.error.toStdString().c_str());
  }
  st.SetItemsProcessed(st.iterations() * st.range(0));
}
BENCHMARK(BM_WriteRecords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

VZ_BENCHMARK_MAIN();
