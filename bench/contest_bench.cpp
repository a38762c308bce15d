// The contest window's queries on a contest of the given size beside a second
// contest of the same size: the duplicate check and the last serial (run at every
// call typed and every band change), the last mode and band (every activation),
// loading the contest's list, storing a QSO and the chooser's list.
#include <QSqlQuery>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "bench_support.h"
#include "contest/conteststore.h"
#include "platform/database.h"

namespace {

using namespace vz;
using vz::bench::callOf;

const QString kContest = QStringLiteral("Concurso");

// Each call is worked on three mode and band pairs, so a contest of n QSOs holds
// about n / 3 calls. QSOs go round every mode on the bands but the last, "2m": its
// serials start afresh, the case where no row stops the search early.
constexpr int kQsosPerCall = 3;
const QString kEmptyBand = QStringLiteral("2m");

struct ContestFile {
  QTemporaryDir dir;
  int calls = 0;
};

// One file per size, built once in one transaction.
ContestFile& openContestFile(int size) {
  static std::map<int, std::unique_ptr<ContestFile>> files;
  auto& slot = files[size];
  const bool fresh = !slot;
  if (fresh) slot = std::make_unique<ContestFile>();
  ContestFile& f = *slot;
  if (!db::open(f.dir.path())) qFatal("cannot open the benchmark database");
  if (!fresh) return f;

  f.calls = size / kQsosPerCall;
  const Status s = db::transaction([&] {
    QSqlQuery q(db::connection());
    if (!q.prepare(QStringLiteral("INSERT INTO Tabla2 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, "
                                  "[Nombre Log], Frecuencia, Ruk, Nombre_Sat) "
                                  "VALUES (?,?,'LU9ZZ',?,?,?,?,'001','',?,'14025',?,'Incremental')")))
      return Status::failure(QStringLiteral("prepare"));
    for (const QString& contest : {kContest, QStringLiteral("Otro Concurso")}) {
      const Status h = db::exec(QStringLiteral("INSERT INTO Tabla2 ([Nombre Log], Ruk, Nombre_Sat) VALUES (?,?,?)"),
                                {contest, contest, kSerialIncremental});
      if (!h) return h;
      for (int i = 0; i < size; ++i) {
        const int pair = i % (kContestModes.size() * (kContestBands.size() - 1));
        q.addBindValue(kContestModes[pair % kContestModes.size()]);
        q.addBindValue(kContestBands[pair / kContestModes.size()]);
        q.addBindValue(callOf(i % f.calls));
        q.addBindValue(QStringLiteral("202403%1").arg(15 + i / 1440, 2, 10, QLatin1Char('0')));
        const QChar zero = QLatin1Char('0');
        q.addBindValue(QStringLiteral("%1%2").arg(i / 60 % 24, 2, 10, zero).arg(i % 60, 2, 10, zero));
        q.addBindValue(QString::number(i + 1));
        q.addBindValue(contest);
        q.addBindValue(contest);
        if (!q.exec()) return Status::failure(QStringLiteral("insert"));
      }
    }
    return Status::success();
  });
  if (!s) qFatal("cannot build the benchmark database");
  return f;
}

void BM_CheckContestDupe(benchmark::State& st) {
  const ContestFile& f = openContestFile(int(st.range(0)));
  int k = 0;
  for (auto _ : st) {
    const auto r = CheckContestDupe(kContest, callOf(k++ % f.calls), QStringLiteral("CW"), QStringLiteral("20m"));
    if (!r.ok()) st.SkipWithError("query failed");
    benchmark::DoNotOptimize(r.value.size());
  }
}
BENCHMARK(BM_CheckContestDupe)->Arg(1000)->Arg(10000);

void BM_GetLastSentSerial(benchmark::State& st) {
  openContestFile(int(st.range(0)));
  int k = 0;
  for (auto _ : st) {
    const auto r = GetLastSentSerial(kContest, kContestModes[k % 3], kContestBands[(k / 3) % 7]);
    ++k;
    if (!r.ok()) st.SkipWithError("query failed");
    benchmark::DoNotOptimize(r.value);
  }
}
BENCHMARK(BM_GetLastSentSerial)->Arg(1000)->Arg(10000);

void BM_GetLastSentSerialOnANewBand(benchmark::State& st) {
  openContestFile(int(st.range(0)));
  for (auto _ : st) {
    const auto r = GetLastSentSerial(kContest, QStringLiteral("CW"), kEmptyBand);
    if (!r.ok() || r.value) st.SkipWithError("query failed");
  }
}
BENCHMARK(BM_GetLastSentSerialOnANewBand)->Arg(1000)->Arg(10000);

void BM_GetLastContestModeOrBand(benchmark::State& st) {
  openContestFile(int(st.range(0)));
  for (auto _ : st) {
    const auto r = GetLastContestModeOrBand(kContest, QStringLiteral("M"));
    if (!r.ok()) st.SkipWithError("query failed");
    benchmark::DoNotOptimize(r.value);
  }
}
BENCHMARK(BM_GetLastContestModeOrBand)->Arg(1000)->Arg(10000);

void BM_LoadContestLog(benchmark::State& st) {
  openContestFile(int(st.range(0)));
  for (auto _ : st) {
    const auto r = LoadContestLog(kContest);
    if (!r.ok()) st.SkipWithError("query failed");
    benchmark::DoNotOptimize(r.value.qsos.size());
  }
}
BENCHMARK(BM_LoadContestLog)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ListContestLogs(benchmark::State& st) {
  openContestFile(int(st.range(0)));
  for (auto _ : st) {
    const auto r = ListContestLogs();
    if (!r.ok()) st.SkipWithError("query failed");
    benchmark::DoNotOptimize(r.value.size());
  }
}
BENCHMARK(BM_ListContestLogs)->Arg(1000)->Arg(10000);

void BM_InsertContestQso(benchmark::State& st) {
  const ContestFile& f = openContestFile(int(st.range(0)));
  int k = 0;
  for (auto _ : st) {
    const auto r = InsertContestQso(callOf(k++ % f.calls), QStringLiteral("20m"), QStringLiteral("CW"),
                                    QStringLiteral("1"), QStringLiteral("001"), QStringLiteral("20240320"),
                                    QStringLiteral("1200"), QStringLiteral("LU9ZZ"), kContest, QString(),
                                    QStringLiteral("14025"), kContest, kSerialIncremental);
    if (!r.ok()) st.SkipWithError("insert failed");
  }
}
BENCHMARK(BM_InsertContestQso)->Arg(1000)->Arg(10000);

}  // namespace

VZ_BENCHMARK_MAIN();
