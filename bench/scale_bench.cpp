// The program on a small log and on a decades-long one (the shared generated log,
// bench_log.h): each step at 1,000 QSOs and at 1,000,000 (the import at 100,000),
// driven through the windows where the operator drives it. Steps that must never
// hold the window also give the longest stretch without the event loop turning
// (hold_*). At the end of the run each figure measured at both sizes prints its ratio.
//
// The 1,000,000-QSO sizes take minutes (the log is written once, then copied for
// each step), so ctest's smoke run keeps only the 1,000 ones; run the program
// itself for the large figures, pinned to two cores:
//   taskset -c 2,3 build/bench/scale_bench --benchmark_filter=/1000000
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <algorithm>
#include <ctime>
#include <utility>
#include <fstream>
#include <vector>

#include "bench_log.h"
#include "exchange/adif.h"
#include "exchange/adifbackup.h"
#include "exchange/form12.h"
#include "exchange/form15.h"
#include "exchange/form6.h"
#include "exchange/searchlistmodel.h"
#include "mainwin/form1.h"
#include "online/form14.h"
#include "platform/dialogs.h"
#include "platform/steprunning.h"
#include "platform/textutil.h"
#include "store/duplicates.h"
#include "store/gridbackfill.h"
#include "store/logcommands.h"
#include "store/logstore.h"
#include "store/programstate.h"

namespace {

using namespace vz;
using vz::bench::benchCall;
using vz::bench::recordFigure;

constexpr int k1M = 1000000;

// Chooses the planned file and answers every message with its default button.
class BenchDialogs : public DialogService {
 public:
  QString file;
  MsgAnswer message(const MessageRequest& r) override { return r.defaultButton; }
  QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
  QString openFile(const FileRequest&) override { return file; }
  QString saveFile(const FileRequest&) override { return file; }
};

// The process's peak resident memory is measured from here on.
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

struct Times {
  std::vector<double> ms;
  double median() {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
  }
  double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
  // The time that the given share of the iterations stays within.
  double percentile(double share) {
    if (ms.empty()) return 0;
    std::sort(ms.begin(), ms.end());
    return ms[std::min(ms.size() - 1, size_t(share * double(ms.size())))];
  }
};

// Median and worst time of the iterations, as counters and as figures for the ratios.
void report(benchmark::State& st, const std::string& name, Times& t) {
  const int n = int(st.range(0));
  st.counters["median_ms"] = t.median();
  st.counters["p90_ms"] = t.percentile(0.9);
  st.counters["p99_ms"] = t.percentile(0.99);
  st.counters["max_ms"] = t.max();
  recordFigure(name + " median ms", n, t.median());
  recordFigure(name + " max ms", n, t.max());
}

// The longest stretch the window thread goes without its event loop turning: an event
// posted to itself again at each delivery marks every turn, as a key press waiting
// would be served. A step that never lets the loop turn holds it from start to end.
// The same stretches are also measured in the thread's own processor time, which
// leaves out the waits a busy machine imposes (other processes, the disk).
class HoldWatch : public QObject {
 public:
  void start() {
    clock_.start();
    last_ = longest_ = 0;
    lastCpu_ = cpuNs();
    longestCpu_ = 0;
    on_ = true;
    post();
  }
  // The longest hold, in milliseconds, the stretch up to now included.
  double stopMs() {
    note();
    on_ = false;
    QCoreApplication::removePostedEvents(this, turn());
    return double(longest_) / 1e6;
  }
  // The longest hold in processor time, once stopped.
  double cpuMs() const { return double(longestCpu_) / 1e6; }

 protected:
  bool event(QEvent* e) override {
    if (e->type() != turn()) return QObject::event(e);
    if (on_) {
      note();
      post();
    }
    return true;
  }

 private:
  static QEvent::Type turn() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
  }
  static qint64 cpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
  }
  void post() { QCoreApplication::postEvent(this, new QEvent(turn())); }
  void note() {
    const qint64 now = clock_.nsecsElapsed();
    const qint64 cpu = cpuNs();
    longest_ = std::max(longest_, now - last_);
    longestCpu_ = std::max(longestCpu_, cpu - lastCpu_);
    last_ = now;
    lastCpu_ = cpu;
  }
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
  qint64 lastCpu_ = 0;
  qint64 longestCpu_ = 0;
  bool on_ = false;
};

// The longest hold of every iteration, as counters and as figures for the ratios.
void reportHolds(benchmark::State& st, const std::string& name, Times& holds, Times& cpuHolds) {
  const int n = int(st.range(0));
  st.counters["hold_median_ms"] = holds.median();
  st.counters["hold_max_ms"] = holds.max();
  st.counters["hold_cpu_max_ms"] = cpuHolds.max();
  recordFigure(name + " longest hold ms", n, holds.max());
  recordFigure(name + " longest hold, processor ms", n, cpuHolds.max());
}

// The main window ready for a QSO, as after start-up, its timers held.
Form1& readyMainWindow() {
  Form1& f = form1();
  state().MainFormReady = true;
  for (QTimer* t : {f.Timer1, f.Timer2, f.Timer7}) t->stop();
  if (f.Combo1->count() == 0) f.Combo1->addItems({"SSB", "CW", "FM"});
  if (f.mhz->count() == 0) f.mhz->addItems({"3", "7", "14"});
  f.Combo1->setCurrentText(QStringLiteral("SSB"));
  f.mhz->setCurrentText(QStringLiteral("7"));
  f.Text1->setText(QStringLiteral("150"));
  f.Label7->setText(QStringLiteral("40m"));
  f.Label2->setText(QStringLiteral("LU9STA"));
  f.Label3->setText(QStringLiteral("LU9STA"));
  f.Label8->setText(QStringLiteral("GF05"));
  f.Fecha->setText(QStringLiteral("12/05/2025"));
  f.Hora->setText(QStringLiteral("21:30"));
  f.RSE->setText(QStringLiteral("59"));
  f.RSR->setText(QStringLiteral("59"));
  f.show();
  QApplication::processEvents();
  LoadLogPage(state().CurrentLogName, 1);
  return f;
}

// "Ingresar QSO" with a worked grid: checks, mem.ini, the insert, the first page read
// again (every fourth QSO with the busiest call). The grid back-fill into the call's
// earlier QSOs that lack one follows from the event loop, a step at a time: each step
// is timed on its own, outside the save's clock, with the page read again after a
// back-fill's last step. With fillFirst the call's earlier QSOs get the grid
// beforehand, outside every clock, as in a log whose saves fill them as they go: the
// back-fill then finds nothing to write. Without it a save's back-fill writes every
// earlier QSO of the call that lacks one, which in the generated log is 40 % of them.
void runSaves(benchmark::State& st, bool fillFirst, const std::string& name) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  Form1& f = readyMainWindow();
  Times t, steps, perSave;
  int i = 0;
  for (auto _ : st) {
    const QString call = i % 4 == 0 ? bench::kBusiestCall : benchCall(1 + (i * 37) % bench::callsFor(n));
    const QString grid = QStringLiteral("FF%1").arg(10 + i % 90);
    if (fillFirst && !FillMissingGridForCall(call, grid)) {
      st.SkipWithError("not filled");
      break;
    }
    f.Corresponsal->setText(call);
    f.Text2->setText(grid);
    f.Obs->setText(QStringLiteral("Buena señal"));
    QElapsedTimer clock;
    clock.start();
    f.Command2_Click();
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    if (!f.Corresponsal->text().isEmpty()) {
      st.SkipWithError("not saved");
      break;
    }
    double fillMs = 0;
    for (bool more = GridBackFillPending(); more;) {
      QElapsedTimer stepClock;
      stepClock.start();
      more = RunGridBackFillStep();
      steps.ms.push_back(stepClock.nsecsElapsed() / 1e6);
      fillMs += steps.ms.back();
    }
    perSave.ms.push_back(fillMs);
    ++i;
  }
  report(st, name, t);
  st.counters["fill_step_median_ms"] = steps.median();
  st.counters["fill_step_max_ms"] = steps.max();
  st.counters["fill_per_save_median_ms"] = perSave.median();
  st.counters["fill_per_save_max_ms"] = perSave.max();
  recordFigure(name + ": back-fill step max ms", n, steps.max());
  recordFigure(name + ": back-fill per save median ms", n, perSave.median());
  FormInstance<Form1>::unload();
}

void BM_SaveQso(benchmark::State& st) { runSaves(st, false, "save"); }
BENCHMARK(BM_SaveQso)->Arg(1000)->Arg(k1M)->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SaveQsoNothingToFill(benchmark::State& st) { runSaves(st, true, "save, nothing to fill"); }
BENCHMARK(BM_SaveQsoNothingToFill)->Arg(1000)->Arg(k1M)->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);

// The duplicate rule for the busiest station, at a time it has no QSO near: every one
// of its QSOs on the band and mode that could lie in the window is looked at.
void BM_DuplicateBusiestCall(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  RecentDuplicateFinder finder;
  Times t;
  int i = 0;
  for (auto _ : st) {
    const QString date = formatDate(QDate(2006 + i % 18, 1 + i % 12, 1 + i % 28));
    QElapsedTimer clock;
    clock.start();
    const auto answer = finder.find(QStringLiteral("LU9STA"), bench::kBusiestCall, date, QStringLiteral("03:17"),
                                    QStringLiteral("40m"), QStringLiteral("CW"));
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    if (!answer.ok()) {
      st.SkipWithError("look-up failed");
      break;
    }
    ++i;
  }
  report(st, "duplicate rule", t);
}
BENCHMARK(BM_DuplicateBusiestCall)->Arg(1000)->Arg(k1M)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);

// The search view as "Buscar/Exportar" opens it without filters: the list filled
// and drawn. Resident memory after the drawing, the window still open.
void BM_SearchViewOpen(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  readyMainWindow();
  Times t;
  double resident = 0;
  for (auto _ : st) {
    FormInstance<Form6>::unload();
    QElapsedTimer clock;
    clock.start();
    Form6& f = form6();
    if (!f.fillWithCurrentLog()) {
      st.SkipWithError("not filled");
      break;
    }
    f.show();
    f.ListView2->repaint();
    QApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    resident = bench::residentMb();
    if (f.ListModel->count() != n) {
      st.SkipWithError("not every QSO listed");
      break;
    }
  }
  FormInstance<Form6>::unload();
  st.counters["resident_MB"] = resident;
  recordFigure("search view resident MB", n, resident);
  report(st, "search view opened", t);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_SearchViewOpen)->Arg(1000)->Arg(k1M)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// "Exportar ADIF" of the opened search view's whole list; the peak memory while
// exporting, above what the open list already holds.
void BM_SearchExport(benchmark::State& st) {
  const int n = int(st.range(0));
  const QString folder = bench::openBenchLog(n);
  readyMainWindow();
  BenchDialogs dialogs;
  dialogs.file = QDir(folder).filePath(QStringLiteral("exportado.adi"));
  setDialogService(&dialogs);
  Times t;
  double growth = 0;
  for (auto _ : st) {
    FormInstance<Form6>::unload();
    QFile::remove(dialogs.file);
    Form6& f = form6();
    f.fillWithCurrentLog();
    f.show();
    QApplication::processEvents();
    const double before = bench::residentMb();
    resetPeakMemory();
    QElapsedTimer clock;
    clock.start();
    f.Command1_Click();
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    growth = std::max(growth, peakMb() - before);
    if (!QFile::exists(dialogs.file)) {
      st.SkipWithError("no file written");
      break;
    }
  }
  setDialogService(nullptr);
  FormInstance<Form6>::unload();
  st.counters["peak_growth_MB"] = growth;
  recordFigure("export peak growth MB", n, growth);
  report(st, "search export", t);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_SearchExport)->Arg(1000)->Arg(k1M)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// 10,000 new QSOs as the program's own export writes them, their stations among the
// log's, two a day from 2025 on.
QByteArray importFile(int records, int calls) {
  return bench::adifImportFile(records, 2025, 37, QStringLiteral("LU9STA"), [calls](int i) {
    return benchCall(i % 7 == 0 ? 0 : 1 + (i * 13) % (calls - 1));
  });
}

qint64 logCount() {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT COUNT(*) FROM Tabla1 WHERE [Nombre Log]=? AND Modo<>''"), {bench::kBenchLog}))
    return -1;
  return q.next() ? q.value(0).toLongLong() : 0;
}

// "Abrir" and "Cargar" of the import window: a file of 10,000 records into the log.
void BM_ImportTenThousand(benchmark::State& st) {
  const int n = int(st.range(0));
  constexpr int kRecords = 10000;
  Times t;
  for (auto _ : st) {
    st.PauseTiming();
    const QString folder = bench::openBenchLog(n);  // every run on the log as generated
    const QString path = QDir(folder).filePath(QStringLiteral("importar.adi"));
    {
      QFile f(path);
      const QByteArray bytes = importFile(kRecords, bench::callsFor(n));
      if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
    }
    BenchDialogs dialogs;
    dialogs.file = path;
    setDialogService(&dialogs);
    for (QTimer* timer : {form1().Timer1, form1().Timer2}) timer->stop();
    st.ResumeTiming();
    QElapsedTimer clock;
    clock.start();
    Form12& w = form12();
    w.show();
    QApplication::processEvents();
    w.Command1_Click();
    w.Command3_Click();
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    st.PauseTiming();
    const qint64 added = logCount() - n;
    FormInstance<Form12>::unload();
    setDialogService(nullptr);
    st.ResumeTiming();
    if (added != kRecords) {
      st.SkipWithError(qPrintable(QStringLiteral("%1 QSOs loaded").arg(added)));
      break;
    }
  }
  report(st, "import 10k", t);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_ImportTenThousand)->Arg(1000)->Arg(100000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// "BackUp ADIF" (Ctrl+F) up to the back-up window on show with the logs and their
// counts; the peak memory above what was resident before.
void BM_BackupWindowOpen(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  BenchDialogs dialogs;  // the warning above 10,000 QSOs answers at once
  setDialogService(&dialogs);
  for (QTimer* timer : {form1().Timer1, form1().Timer2, form1().Timer7}) timer->stop();
  Times t, holds, cpuHolds;
  double growth = 0;
  HoldWatch watch;
  for (auto _ : st) {
    const double before = bench::residentMb();
    resetPeakMemory();
    watch.start();
    QElapsedTimer clock;
    clock.start();
    form1().badif_Click();
    QApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    holds.ms.push_back(watch.stopMs());
    cpuHolds.ms.push_back(watch.cpuMs());
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    growth = std::max(growth, peakMb() - before);
    const bool listed = form15().Label2->text() == QString::number(n);
    FormInstance<Form15>::unload();
    if (!listed) {
      st.SkipWithError("not every QSO counted");
      break;
    }
  }
  setDialogService(nullptr);
  st.counters["peak_growth_MB"] = growth;
  recordFigure("back-up window peak growth MB", n, growth);
  report(st, "back-up window opened", t);
  reportHolds(st, "back-up window opened", holds, cpuHolds);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_BackupWindowOpen)->Arg(1000)->Arg(k1M)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// The start-up's listing of the log names, which checks config.ini's log against
// the database.
void BM_StartupLogNames(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  Times t;
  for (auto _ : st) {
    QElapsedTimer clock;
    clock.start();
    const Result<QStringList> names = ListLogNames();
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    if (!names.ok() || names.value != QStringList{bench::kBenchLog}) {
      st.SkipWithError("not listed");
      break;
    }
  }
  report(st, "start-up log names", t);
}
BENCHMARK(BM_StartupLogNames)->Arg(1000)->Arg(k1M)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The start-up step as a normal start runs it: config.ini read, its log checked
// against the database's logs, the first page shown. The database's pages are warm,
// as they are after the window's own start.
void BM_StartupStep(benchmark::State& st) {
  const int n = int(st.range(0));
  const QString folder = bench::openBenchLog(n);
  {
    QFile config(QDir(folder).filePath(QStringLiteral("config.ini")));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(QStringLiteral("Estacion=LU9STA\r\nLogenUso=%1\r\n").arg(bench::kBenchLog).toUtf8()) < 0)
      std::abort();
  }
  BenchDialogs dialogs;
  setDialogService(&dialogs);
  Times t, holds, cpuHolds;
  HoldWatch watch;
  for (auto _ : st) {
    Form1& f = form1();
    for (QTimer* timer : {f.Timer1, f.Timer2, f.Timer7}) timer->stop();
    watch.start();
    QElapsedTimer clock;
    clock.start();
    f.Timer2_Timer();
    QApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    holds.ms.push_back(watch.stopMs());
    cpuHolds.ms.push_back(watch.cpuMs());
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    const bool listed = f.ListView2->topLevelItemCount() > 0 && state().CurrentLogName == bench::kBenchLog;
    FormInstance<Form1>::unload();
    if (!listed) {
      st.SkipWithError("first page not shown");
      break;
    }
  }
  setDialogService(nullptr);
  report(st, "start-up step", t);
  reportHolds(st, "start-up step", holds, cpuHolds);
}
BENCHMARK(BM_StartupStep)->Arg(1000)->Arg(k1M)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// "BackUp ADIF": the back-up window filled with the logs and their counts, then every
// log written; the peak memory above what was resident before.
void BM_BackupAllLogs(benchmark::State& st) {
  const int n = int(st.range(0));
  const QString folder = bench::openBenchLog(n);
  const QString path = QDir(folder).filePath(QStringLiteral("backup.adi"));
  BenchDialogs dialogs;
  dialogs.file = path;
  setDialogService(&dialogs);
  for (QTimer* timer : {form1().Timer1, form1().Timer2}) timer->stop();
  Times t;
  double growth = 0;
  for (auto _ : st) {
    QFile::remove(path);
    const double before = bench::residentMb();
    resetPeakMemory();
    QElapsedTimer clock;
    clock.start();
    form1().badif_Click();
    form15().Command1_Click();
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    growth = std::max(growth, peakMb() - before);
    FormInstance<Form15>::unload();
    if (!QFile::exists(path)) {
      st.SkipWithError("no back-up written");
      break;
    }
  }
  setDialogService(nullptr);
  st.counters["peak_growth_MB"] = growth;
  recordFigure("back-up peak growth MB", n, growth);
  report(st, "back-up", t);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_BackupAllLogs)->Arg(1000)->Arg(k1M)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// "Provincias Argentinas": the log's QSOs with a province listed for the award
// window and its grid and square lists built from them; the peak memory above what
// was resident before.
void BM_ProvincesAward(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  // The usage report's first run (Timer7) would make the settings window in the
  // middle of a build: a start-up cost, not the award's.
  for (QTimer* timer : {form1().Timer1, form1().Timer2, form1().Timer7}) timer->stop();
  Times t, listings, builds, holds, cpuHolds;
  double growth = 0;
  HoldWatch watch;
  for (auto _ : st) {
    const double before = bench::residentMb();
    resetPeakMemory();
    QElapsedTimer clock;
    clock.start();
    Result<SearchListing> listing = ListProvinceQsos(state().CurrentLogName);
    if (!listing.ok()) {
      st.SkipWithError("not listed");
      break;
    }
    state().ListedQsoCount = int(listing.value.ids.size());
    Form14& award = form14();
    award.InputModel->setListing(std::move(listing.value));
    listings.ms.push_back(clock.nsecsElapsed() / 1e6);
    // From here the window is up: its build is the step that must let the loop turn.
    watch.start();
    QElapsedTimer build;
    build.start();
    award.Form_Activate();
    builds.ms.push_back(build.nsecsElapsed() / 1e6);
    holds.ms.push_back(watch.stopMs());
    cpuHolds.ms.push_back(watch.cpuMs());
    const double ms = clock.nsecsElapsed() / 1e6;
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    growth = std::max(growth, peakMb() - before);
    const bool built = award.ListView2->topLevelItemCount() == 26;
    FormInstance<Form14>::unload();
    if (!built) {
      st.SkipWithError("no grid");
      break;
    }
  }
  st.counters["peak_growth_MB"] = growth;
  st.counters["listing_median_ms"] = listings.median();
  st.counters["build_median_ms"] = builds.median();
  recordFigure("provinces award peak growth MB", n, growth);
  recordFigure("provinces award build median ms", n, builds.median());
  report(st, "provinces award", t);
  reportHolds(st, "provinces award build", holds, cpuHolds);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_ProvincesAward)->Arg(1000)->Arg(k1M)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same as the operator meets it: from Ctrl+P to the grid built in the window
// that came up, the listing before the window included; the longest time the event
// loop was held in all of it.
void BM_ProvincesAwardFromMenu(benchmark::State& st) {
  const int n = int(st.range(0));
  bench::openBenchLog(n);
  Form1& main = form1();
  for (QTimer* timer : {main.Timer1, main.Timer2, main.Timer7}) timer->stop();
  state().LogQsoCount = n;  // as the page load leaves it
  Times t, holds, cpuHolds;
  HoldWatch watch;
  for (auto _ : st) {
    QElapsedTimer clock;
    double ms = 0, hold = 0, cpuHold = 0;
    bool built = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (!FormInstance<Form14>::loaded()) return;
      Form14& f = form14();
      if (!f.isVisible() || stepRunning(&f, "grid") || f.ListView2->topLevelItemCount() != 26) return;
      poll.stop();
      ms = clock.nsecsElapsed() / 1e6;
      hold = watch.stopMs();
      cpuHold = watch.cpuMs();
      built = true;
      f.close();
    });
    poll.start();
    watch.start();
    clock.start();
    main.parg_Click();
    if (!built) {
      st.SkipWithError("no grid");
      break;
    }
    st.SetIterationTime(ms / 1000);
    t.ms.push_back(ms);
    holds.ms.push_back(hold);
    cpuHolds.ms.push_back(cpuHold);
  }
  report(st, "provinces award from Ctrl+P", t);
  reportHolds(st, "provinces award from Ctrl+P", holds, cpuHolds);
  FormInstance<Form1>::unload();
}
BENCHMARK(BM_ProvincesAwardFromMenu)->Arg(1000)->Arg(k1M)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

VZ_BENCHMARK_MAIN();
