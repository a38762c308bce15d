// Country lookup of the call being typed, against the shipped prefix file: the entry
// strip runs it on every change of the call box from the third character on.
#include <QDir>

#include "bench_support.h"
#include "store/callsign.h"

namespace {

QString shippedFile() { return QDir(qEnvironmentVariable("VZ_SOURCE_DIR")).filePath("data/dxcc.txt"); }

bool loadShippedTable() {
  static const bool loaded = vz::LoadPrefixTable(shippedFile()) && vz::prefixTable().lineCount() > 0;
  return loaded;
}

// Long foreign calls, Argentine calls (province step) and calls no prefix matches.
const QStringList kCalls = {
    QStringLiteral("VK9XABC/P"), QStringLiteral("KH6ABCDEF"), QStringLiteral("EA8ABCDE"),
    QStringLiteral("W1AW"),      QStringLiteral("LU1ABC"),    QStringLiteral("LW9EUE/W"),
    QStringLiteral("AY7FAB"),    QStringLiteral("LU8ABC/MM"), QStringLiteral("0Q0QQQQ"),
    QStringLiteral("QQQ9XYZW"),
};

void BM_LookupCountryOrProvince(benchmark::State& state) {
  if (!loadShippedTable()) {
    state.SkipWithError("data/dxcc.txt not found (set VZ_SOURCE_DIR)");
    return;
  }
  const int lookups = int(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < lookups; ++i) {
      QString call = kCalls[i % kCalls.size()];
      benchmark::DoNotOptimize(vz::LookupCountryOrProvince(call));
    }
  }
  state.SetItemsProcessed(state.iterations() * lookups);
}
BENCHMARK(BM_LookupCountryOrProvince)->Arg(1000);

void BM_LoadPrefixTable(benchmark::State& state) {
  const QString path = shippedFile();
  for (auto _ : state) benchmark::DoNotOptimize(vz::LoadPrefixTable(path));
}
BENCHMARK(BM_LoadPrefixTable);

}  // namespace

VZ_BENCHMARK_MAIN();
