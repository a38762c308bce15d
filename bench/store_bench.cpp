// The main-log store on a log of the given size beside a second log of the same
// size in the same file: saving a QSO whose call was worked before without a grid
// (so the back-fill has rows to fill), and the duplicate rule.
#include <QSqlQuery>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "bench_support.h"
#include "platform/database.h"
#include "platform/textutil.h"
#include "store/duplicates.h"
#include "store/gridbackfill.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace {

using namespace vz;
using vz::bench::callOf;

constexpr int kQsosPerCall = 5;

// One file per size, built once in one transaction: each log holds `size` QSOs,
// one every seven minutes, each call worked kQsosPerCall times, no worked grids.
struct LogFile {
  QTemporaryDir dir;
  int calls = 0;
};

LogFile& openLogFile(int size) {
  static std::map<int, std::unique_ptr<LogFile>> files;
  auto& slot = files[size];
  const bool fresh = !slot;
  if (fresh) slot = std::make_unique<LogFile>();
  LogFile& f = *slot;
  if (!db::open(f.dir.path())) qFatal("cannot open the benchmark database");
  state().CurrentLogName = QStringLiteral("Mi Log");
  if (!fresh) return f;

  f.calls = size / kQsosPerCall;
  const QDateTime start(QDate(2015, 1, 1), QTime(0, 0));
  const Status s = db::transaction([&] {
    QSqlQuery q(db::connection());
    if (!q.prepare(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                                  "Operador, [Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) "
                                  "VALUES ('SSB','40m','LU9ZZ',?,?,?,'59','59','','LU9ZZ',?,'7.050','GF05','',"
                                  "'1','','Capital')")))
      return Status::failure(QStringLiteral("prepare"));
    for (const char* log : {"Mi Log", "Otro Log"}) {
      for (int i = 0; i < size; ++i) {
        const QDateTime t = start.addSecs(qint64(i) * 7 * 60);
        q.addBindValue(callOf(i % f.calls));
        q.addBindValue(formatDate(t.date()));
        q.addBindValue(formatTimeSeconds(t.time()));
        q.addBindValue(QString::fromLatin1(log));
        if (!q.exec()) return Status::failure(QStringLiteral("insert"));
      }
    }
    return Status::success();
  });
  if (!s) qFatal("cannot build the benchmark database");
  return f;
}

void BM_InsertLogQsoWithBackFill(benchmark::State& st) {
  const LogFile& f = openLogFile(int(st.range(0)));
  int k = 0;
  for (auto _ : st) {
    const QString call = callOf(k++ % f.calls);
    const Status s = InsertLogQso(call, QStringLiteral("40m"), QStringLiteral("SSB"), QStringLiteral("59"),
                                  QStringLiteral("59"), QStringLiteral("01/03/2024"), QStringLiteral("12:00:00"),
                                  QStringLiteral("LU9ZZ"), QStringLiteral("LU9ZZ"), QStringLiteral(""),
                                  QStringLiteral("7.050"), QStringLiteral("GF05"), QStringLiteral("FF78"),
                                  QString());
    if (!s) st.SkipWithError(s.error.toStdString().c_str());
    FinishGridBackFill();  // the earlier QSOs, which the save leaves to the event loop
    // Back to the starting file: the log keeps its size and the call lacks its grid again.
    st.PauseTiming();
    db::exec(QStringLiteral("DELETE FROM Tabla1 WHERE id=?"), {state().LastInsertedQsoId.toLongLong()});
    db::exec(QStringLiteral("UPDATE Tabla1 SET SuGrid='' WHERE [Nombre Log]=? AND Estacion=?"),
             {state().CurrentLogName, call});
    st.ResumeTiming();
  }
}
BENCHMARK(BM_InsertLogQsoWithBackFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindRecentDuplicateQso(benchmark::State& st) {
  const LogFile& f = openLogFile(int(st.range(0)));
  int k = 0;
  for (auto _ : st) {
    // A QSO of a call worked before, at a time matching none of its QSOs: every
    // stored QSO of the call is compared.
    const auto r = FindRecentDuplicateQso(QStringLiteral("LU9ZZ"), callOf(k++ % f.calls),
                                          QStringLiteral("01/03/2024"), QStringLiteral("12:00"),
                                          QStringLiteral("40m"), QString(), QStringLiteral("SSB"), QString(),
                                          QString(), QString(), QString(), QString(), QString(), QString());
    if (!r.ok() || r.value) st.SkipWithError("unexpected answer");
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_FindRecentDuplicateQso)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

VZ_BENCHMARK_MAIN();
