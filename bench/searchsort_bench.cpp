// A heading click in the search view on the shared generated log (bench_log.h), at
// 1,000 and at 1,000,000 QSOs: how long the click and each later piece of the sort
// hold the window (the longest hold is what the operator feels), and how long until
// the list shows its new order. The listing the clicks leave is checked against the
// one the query gives for the same clicks. At the end the ratios of both sizes print.
//
// The 1,000,000-QSO size takes minutes the first time (the log is written once), so
// ctest's smoke run keeps only the 1,000 one; for the large figures, pinned to two
// cores:
//   taskset -c 2,3 build/bench/searchsort_bench --benchmark_filter=/1000000
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "bench_log.h"
#include "exchange/form6.h"
#include "exchange/searchlistmodel.h"
#include "exchange/searchquery.h"
#include "mainwin/form1.h"
#include "store/programstate.h"

namespace {

using namespace vz;
using vz::bench::recordFigure;

void resetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}
double peakMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}

// This thread's processor time, ms: on a shared machine a piece's wall time also
// counts the time other processes had the core.
double threadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void BM_SearchHeadingClick(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  Form1& main = form1();
  for (QTimer* t : {main.Timer1, main.Timer2, main.Timer7}) t->stop();
  Form6& f = form6();
  if (!f.fillWithCurrentLog()) {
    st.SkipWithError("not filled");
    return;
  }
  f.show();
  QApplication::processEvents();
  // Headings as an operator clicks them: the call, the frequency, the date, the band,
  // the time, the remarks; each click sorts the list the one before left.
  const int headings[] = {kQsoListEstacion, kQsoListFrec, kQsoListFecha, kQsoListBanda, kQsoListHora, 12};
  std::vector<SearchSortKey> clicked;  // latest first, as the query takes them
  std::vector<double> clicks, longest, pieces, applies, relayouts, untilShown;
  double peakGrowth = 0, pieceCpu = 0;
  int i = 0;
  for (auto _ : st) {
    const int column = headings[i++ % 6];
    const double before = bench::residentMb();
    resetPeakMemory();
    QElapsedTimer all;
    all.start();
    QElapsedTimer hold;
    hold.start();
    f.ListView2_ColumnClick(column + 1);
    double worst = hold.nsecsElapsed() / 1e6;
    clicks.push_back(worst);
    // The pieces of the sort, then the one that shows the new order, then the view's
    // own work for the new list (laid out and drawn).
    double piece = 0, apply = 0;
    while (f.sorting()) {
      hold.restart();
      const double cpu = threadCpuMs();
      QApplication::processEvents();
      const double held = hold.nsecsElapsed() / 1e6;
      if (f.sorting()) {
        piece = std::max(piece, held);
        pieceCpu = std::max(pieceCpu, threadCpuMs() - cpu);
      } else {
        apply = held;
      }
    }
    hold.restart();
    QApplication::processEvents();
    f.ListView2->repaint();
    const double relayout = hold.nsecsElapsed() / 1e6;
    worst = std::max({worst, piece, apply, relayout});
    pieces.push_back(piece);
    applies.push_back(apply);
    relayouts.push_back(relayout);
    const double ms = all.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    untilShown.push_back(ms);
    longest.push_back(worst);
    peakGrowth = std::max(peakGrowth, peakMb() - before);
    std::erase_if(clicked, [&](const SearchSortKey& k) { return k.column == column; });
    clicked.insert(clicked.begin(), {column, f.ListView2Sort.order == Qt::DescendingOrder});
  }
  const Result<SearchListing> queried = ListSearchViewLog(bench::kBenchLog, clicked);
  if (!queried.ok() || queried.value.ids != f.ListModel->ids()) st.SkipWithError("the order differs from the query's");
  const double worstHold = longest.empty() ? 0 : *std::max_element(longest.begin(), longest.end());
  st.counters["click_median_ms"] = median(clicks);
  st.counters["longest_hold_ms"] = worstHold;
  st.counters["piece_max_ms"] = pieces.empty() ? 0 : *std::max_element(pieces.begin(), pieces.end());
  st.counters["piece_cpu_max_ms"] = pieceCpu;
  st.counters["shown_max_ms"] = applies.empty() ? 0 : *std::max_element(applies.begin(), applies.end());
  st.counters["view_max_ms"] = relayouts.empty() ? 0 : *std::max_element(relayouts.begin(), relayouts.end());
  st.counters["until_shown_median_ms"] = median(untilShown);
  st.counters["peak_growth_MB"] = peakGrowth;
  recordFigure("heading click: longest hold ms", n, worstHold);
  recordFigure("heading click: until shown median ms", n, median(untilShown));
  recordFigure("heading click: longest piece of the sort ms", n, st.counters["piece_max_ms"]);
  recordFigure("heading click: new order shown, view laid out ms", n,
               std::max(double(st.counters["shown_max_ms"]), double(st.counters["view_max_ms"])));
  recordFigure("heading click: peak growth MB", n, peakGrowth);
  FormInstance<Form6>::unload();
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_SearchHeadingClick)->Arg(1000)->Arg(1000000)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

VZ_BENCHMARK_MAIN();
