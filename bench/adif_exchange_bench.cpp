// The ADIF exchange end to end, as the operator runs it: a file of n records
// imported into a log that already holds 100,000 QSOs through the import window
// (shown off-screen, so its progress is drawn): "Abrir" (open, parse with the
// duplicate rule, stage) and "Cargar" (load); and the back-up of every log of a
// database of n rows.
#include <QDateTime>
#include <QFile>
#include <QSqlQuery>
#include <QTimer>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>

#include "bench_support.h"
#include "exchange/adif.h"
#include "exchange/form12.h"
#include "exchange/form15.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/dialogs.h"
#include "platform/textutil.h"
#include "store/programstate.h"

namespace {

using namespace vz;
using vz::bench::callOf;

const QString kLog = QStringLiteral("Mi Log");
constexpr int kLogQsos = 100000;

// Chooses the planned file and answers every message with its default button.
class BenchDialogs : public DialogService {
 public:
  QString file;
  MsgAnswer message(const MessageRequest& r) override { return r.defaultButton; }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  QString openFile(const FileRequest&) override { return file; }
  QString saveFile(const FileRequest&) override { return file; }
};

// The log's QSOs: 5,000 stations worked 20 times each, a QSO every 7 minutes from
// 2015 on, so every record of the file meets earlier QSOs with its station that the
// duplicate rule has to look at.
void fillLog(int n) {
  const Status s = db::transaction([&] {
    QSqlQuery q(db::connection());
    if (!q.prepare(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                                  "Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                                  "VALUES ('SSB','40m','LU9ZZ',?,?,?,'59','57','Buena señal','LU9ZZ',?,'7.050',"
                                  "'GF05','FF78','1','','Santa Fe')")))
      return Status::failure(QStringLiteral("prepare"));
    const QDateTime origin(QDate(2015, 1, 1), QTime(0, 0));
    for (int i = 0; i < n; ++i) {
      const QDateTime t = origin.addSecs(qint64(i) * 7 * 60);
      q.addBindValue(callOf(i % 5000));
      q.addBindValue(formatDate(t.date()));
      q.addBindValue(t.toString(QStringLiteral("HH:mm:00")));
      q.addBindValue(kLog);
      if (!q.exec()) return Status::failure(q.lastError().text());
    }
    return Status::success();
  });
  if (!s) qFatal("cannot fill the benchmark log: %s", qPrintable(s.error));
}

// n new QSOs as the program's own export writes them, 2024 on, one every 3 minutes.
QByteArray importFile(int n) {
  return bench::adifImportFile(n, 2024, 3, QStringLiteral("LU9ZZ"), [](int i) { return callOf(i % 5000); });
}

qint64 lastId() {
  QSqlQuery q(db::connection());
  q.exec(QStringLiteral("SELECT MAX(id) FROM Tabla1"));
  return q.next() ? q.value(0).toLongLong() : 0;
}

qint64 logCount() {
  QSqlQuery q(db::connection());
  q.exec(QStringLiteral("SELECT COUNT(*) FROM Tabla1 WHERE [Nombre Log]='Mi Log' AND Modo<>''"));
  return q.next() ? q.value(0).toLongLong() : 0;
}

void BM_ImportIntoLargeLog(benchmark::State& st) {
  const int n = int(st.range(0));
  const bool fresh = vz::bench::useBenchFolder(kLogQsos + n);
  const QString path = QDir(QFileInfo(db::path()).path()).filePath(QStringLiteral("importar.adi"));
  if (fresh) {
    fillLog(kLogQsos);
    QFile f(path);
    const QByteArray bytes = importFile(n);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write the file");
  }
  state().CurrentLogName = kLog;
  BenchDialogs dialogs;
  dialogs.file = path;
  // The main window's start-up step and clock are held, as in the window tests.
  for (QTimer* t : {form1().Timer1, form1().Timer2}) t->stop();
  setDialogService(&dialogs);
  const qint64 before = lastId();
  for (auto _ : st) {
    Form12& w = form12();
    w.show();
    QApplication::processEvents();
    w.Command1_Click();
    w.Command3_Click();
    st.PauseTiming();
    const qint64 added = logCount() - kLogQsos;
    db::exec(QStringLiteral("DELETE FROM Tabla1 WHERE id>?"), {before});
    FormInstance<Form12>::unload();
    st.ResumeTiming();
    if (added != n) {
      st.SkipWithError(qPrintable(QStringLiteral("%1 QSOs loaded").arg(added)));
      break;
    }
  }
  setDialogService(nullptr);
  st.SetItemsProcessed(st.iterations() * n);
}
BENCHMARK(BM_ImportIntoLargeLog)->Arg(1000)->Arg(9999)->Arg(10000)->Unit(benchmark::kMillisecond);

// Rows of several logs, each with its placeholder row.
void BM_BackupAllLogs(benchmark::State& st) {
  const int n = int(st.range(0));
  if (vz::bench::useBenchFolder(-n)) fillLog(n);
  const QString path = QDir(QFileInfo(db::path()).path()).filePath(QStringLiteral("respaldo.adi"));
  for (auto _ : st) {
    const Status s = Form15::WriteBackup(path);
    if (!s) st.SkipWithError(qPrintable(s.error));
  }
  st.SetItemsProcessed(st.iterations() * n);
}
BENCHMARK(BM_BackupAllLogs)->Arg(1000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

VZ_BENCHMARK_MAIN();
