// Loading a page of the main list: the store's read alone, and the whole load into
// the window. Logs of n QSOs spread over twenty years, with a second log of the
// same size in the same file.
#include <QDateTime>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <map>
#include <memory>

#include "bench_support.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/programfolder.h"
#include "store/logpage.h"
#include "store/programstate.h"

namespace {

const QString kLog = QStringLiteral("Mi log");

void fill(const QString& log, int n) {
  const vz::Status s = vz::db::transaction([&] {
    QSqlQuery q(vz::db::connection());
    q.prepare(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                             "[Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) VALUES "
                             "('SSB', '40m', 'LU1ABC', ?, ?, ?, '59', '59', 'Buena señal', 'LU1ABC', ?, '7.050', "
                             "'GF05', 'FF78', '1', '', 'Santa Fe')"));
    const QDateTime origin(QDate(2005, 1, 1), QTime(0, 0));
    const qint64 step = qint64(20) * 365 * 24 * 3600 / n;
    for (int i = 0; i < n; ++i) {
      const QDateTime t = origin.addSecs(i * step);
      q.addBindValue(QStringLiteral("LU%1X").arg(i % 9000));
      q.addBindValue(t.toString(QStringLiteral("dd/MM/yyyy")));
      q.addBindValue(t.toString(QStringLiteral("HH:mm:00")));
      q.addBindValue(log);
      if (!q.exec()) return vz::Status::failure(QStringLiteral("insert"));
    }
    return vz::Status::success();
  });
  if (!s) std::abort();
}

// One file per size, filled once and opened when its size is measured.
void useLogOf(int n) {
  if (vz::bench::useBenchFolder(n)) {
    fill(kLog, n);
    fill(QStringLiteral("Otro log"), n);
  }
}

int startOf(int which, int n) {
  const int pages = vz::LogPageCountFor(n);
  const int page = which == 0 ? 1 : which == 1 ? (pages + 1) / 2 : pages;
  return vz::kLogPageSize * (page - 1) + 1;
}

void BM_LogPageStore(benchmark::State& state, int which) {
  const int n = int(state.range(0));
  useLogOf(n);
  const int start = startOf(which, n);
  for (auto _ : state) {
    const vz::Result<vz::LogPage> page = vz::ReadLogPage(kLog, start, (start - 1) / vz::kLogPageSize + 1);
    if (!page.ok() || page.value.rows.isEmpty()) state.SkipWithError("no page");
    benchmark::DoNotOptimize(page.value.rows.size());
  }
}

void BM_LogPageWindow(benchmark::State& state, int which) {
  const int n = int(state.range(0));
  useLogOf(n);
  const int start = startOf(which, n);
  vz::Form1& f = vz::form1();
  vz::state().CurrentLogName = kLog;
  for (auto _ : state) {
    vz::state().LogPageNumber = (start - 1) / vz::kLogPageSize + 1;
    f.ListView2->clear();
    vz::LoadLogPage(kLog, start);
    if (f.ListView2->topLevelItemCount() == 0) state.SkipWithError("no rows");
  }
}

}  // namespace

BENCHMARK_CAPTURE(BM_LogPageStore, first, 0)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogPageStore, middle, 1)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogPageStore, last, 2)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogPageWindow, first, 0)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogPageWindow, middle, 1)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LogPageWindow, last, 2)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

VZ_BENCHMARK_MAIN();
