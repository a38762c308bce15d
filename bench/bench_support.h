#pragma once
// Shared main for the benchmarks: "--vz_smoke" (as ctest passes it) keeps only the
// smallest sizes, so the run stays short and the benchmark keeps building.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/database.h"
#include "platform/programfolder.h"

namespace vz::bench {
inline bool& smoke() {
  static bool s = false;
  return s;
}

// One program folder per benchmark size, kept for the whole run and made the open
// database when that size is measured. True the first time, when the caller fills it.
inline bool useBenchFolder(int size) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
  auto& dir = folders[size];
  const bool fresh = !dir;
  if (fresh) dir = std::make_unique<QTemporaryDir>();
  if (vz::db::path() != QDir(dir->path()).filePath(QLatin1String(vz::db::kFileName))) {
    vz::setProgramFolder(dir->path());
    if (!vz::db::open(dir->path())) std::abort();
  }
  return fresh;
}

// A distinct Argentine call for each k below 67,600: LU, a digit and three letters.
inline QString callOf(int k) {
  const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  return QStringLiteral("LU%1%2%3%4")
      .arg(k % 10)
      .arg(QLatin1Char(letters[(k / 10) % 26]))
      .arg(QLatin1Char(letters[(k / 260) % 26]))
      .arg(QLatin1Char(letters[(k / 6760) % 26]));
}
}  // namespace vz::bench

#define VZ_BENCHMARK_MAIN()                                                      \
  int main(int argc, char** argv) {                                              \
    std::vector<char*> args;                                                     \
    for (int i = 0; i < argc; ++i) {                                             \
      if (std::strcmp(argv[i], "--vz_smoke") == 0)                               \
        vz::bench::smoke() = true;                                               \
      else                                                                       \
        args.push_back(argv[i]);                                                 \
    }                                                                            \
    int n = int(args.size());                                                    \
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                          \
      qputenv("QT_QPA_PLATFORM", "offscreen");                                   \
    QApplication app(n, args.data());                                            \
    if (vz::bench::smoke()) {                                                    \
      static char filter[] = "--benchmark_filter=/1000($|/)";                    \
      args.push_back(filter);                                                    \
      n = int(args.size());                                                      \
    }                                                                            \
    benchmark::Initialize(&n, args.data());                                      \
    benchmark::RunSpecifiedBenchmarks();                                         \
    benchmark::Shutdown();                                                       \
    return 0;                                                                    \
  }
