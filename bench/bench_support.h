#pragma once
// Shared main for the benchmarks: "--vz_smoke" (as ctest passes it) keeps only the
// smallest sizes, so the run stays short and the benchmark keeps building.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <memory>
#include <vector>

#include "exchange/adif.h"
#include "platform/cp1252.h"
#include "platform/database.h"
#include "platform/programfolder.h"
#include "platform/textutil.h"

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
// Figures kept to compare sizes: at the end of the run each figure measured at more
// than one size prints the ratio of its largest size to its smallest.
inline std::map<std::string, std::map<int, double>>& figures() {
  static std::map<std::string, std::map<int, double>> f;
  return f;
}
inline void recordFigure(const std::string& name, int size, double value) { figures()[name][size] = value; }
inline void printRatios() {
  for (const auto& [name, bySize] : figures()) {
    if (bySize.size() < 2) continue;
    const auto& [small, a] = *bySize.begin();
    const auto& [large, b] = *bySize.rbegin();
    std::printf("ratio %s: %d -> %d: %.4g -> %.4g = %.2fx\n", name.c_str(), small, large, a, b, a > 0 ? b / a : 0.0);
  }
  std::ifstream load("/proc/loadavg");
  std::string line;
  if (std::getline(load, line)) std::printf("load average at the end: %s\n", line.c_str());
}

// Resident memory of this process, in MB.
inline double residentMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}
// n QSOs of one station on 40 m as the program's own export writes them, in
// Windows-1252: the i-th worked callFor(i), stepMinutes after the one before from the
// first day of year on.
inline QByteArray adifImportFile(int n, int year, int stepMinutes, const QString& ownCall,
                                 const std::function<QString(int)>& callFor) {
  QByteArray file;
  for (const QString& line : AdifHeader(QStringLiteral("2.1.21"), QDateTime(QDate(year, 6, 1), QTime(12, 0))))
    file += encodeCp1252(line) + "\r\n";
  const QDateTime origin(QDate(year, 1, 1), QTime(0, 0));
  for (int i = 0; i < n; ++i) {
    const QDateTime at = origin.addSecs(qint64(i) * stepMinutes * 60);
    AdifQso q;
    q.ownCall = ownCall;
    q.call = callFor(i);
    q.mode = i % 3 ? QStringLiteral("SSB") : QStringLiteral("CW");
    q.band = QStringLiteral("40m");
    q.frequency = QStringLiteral("7.050");
    q.date = formatDate(at.date());
    q.time = formatTime(at.time());
    q.reportSent = QStringLiteral("59");
    q.reportReceived = QStringLiteral("57");
    q.operatorCall = ownCall;
    q.remarks = QStringLiteral("Buena señal, antena dipolo");
    q.ownGrid = QStringLiteral("GF05");
    q.grid = QStringLiteral("FF78");
    file += encodeCp1252(AdifRecord(q, false).value) + "\r\n";
  }
  return file + "<EOF>\r\n";
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
    vz::bench::printRatios();                                                    \
    benchmark::Shutdown();                                                       \
    return 0;                                                                    \
  }
