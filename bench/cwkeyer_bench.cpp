// The CW keyer's timing against a recording line: the keyer's own thread keys while
// the window thread is idle, runs a 16 ms handler every 100 ms, holds a modal dialog
// open, or while CPU hogs (three per core the bench may use) compete with it. Each
// element (mark: key down; space: key up between two marks) is compared with its
// planned length, at least 1,000 elements per case; the counters give the error's p50,
// p99 and largest value in microseconds, the scheduling the keyer's thread got
// (`sched`: 0 ordinary, 1 SCHED_FIFO, 2 SCHED_RR as RealtimeKit gives it), and what
// the worst element met: how late its latest wait came back, the longest stretch the
// keyer spent outside its waits, whether the thread was preempted or took a page fault
// during it. Run without --vz_smoke for the figures,
// e.g. `taskset -c 0,1 build/bench/cwkeyer_bench`, as the operator's own user too.
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "contest/cwkeyer.h"

using namespace vz;
using Clock = std::chrono::steady_clock;

namespace {

const QString kText = QStringLiteral("CQ TEST LU9ZZ LU9ZZ PARIS 5NN TT5");

// A line that only records when it moved, with the steady clock, on the thread
// that moves it (the keyer's).
class RecordingLine : public SerialLine {
 public:
  struct Change {
    Clock::time_point at;
    bool level;
    long faults;     // the keyer thread's page faults so far
    long preempted;  // its involuntary context switches so far
  };
  RecordingLine() { changes.reserve(4096); }
  Status open(const QString&) override { return Status::success(); }
  void close() override {}
  bool isOpen() const override { return true; }
  QString portName() const override { return QStringLiteral("bench"); }
  std::vector<Change> changes;
  int policy = -1;  // the keyer thread's scheduling policy

 protected:
  Status applySignal(SerialSignal signal, bool on) override {
    const auto at = Clock::now();
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    const std::lock_guard lock(mutex_);
    // RealtimeKit's answer may come after the first element: the policy at the end counts.
    policy = sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
    if (signal == SerialSignal::Dtr) changes.push_back({at, on, ru.ru_minflt + ru.ru_majflt, ru.ru_nivcsw});
    return Status::success();
  }

 private:
  std::mutex mutex_;
};

// The program's clock, noting how late each wait came back.
class WatchedClock : public CwClock {
 public:
  WatchedClock() { returns.reserve(16384); }
  time_point now() override { return inner_.now(); }
  bool waitUntil(time_point deadline, const std::atomic<bool>& interrupted) override {
    const auto entered = inner_.now();
    const bool reached = inner_.waitUntil(deadline, interrupted);
    returns.push_back({deadline, entered, inner_.now()});
    return reached;
  }
  void wake() override { inner_.wake(); }
  struct Return {
    time_point deadline;
    time_point entered;
    time_point at;
  };
  std::vector<Return> returns;  // the keyer's thread only, read once it is idle

 private:
  SteadyCwClock inner_;
};

// Threads that only burn CPU, as other programs of a busy desktop do.
class CpuHogs {
 public:
  explicit CpuHogs(int n) {
    for (int i = 0; i < n; ++i)
      threads_.emplace_back([this] {
        volatile unsigned long x = 0;
        while (!stop_.load(std::memory_order_relaxed)) x = x * 2862933555777941757UL + 3037000493UL;
      });
  }
  ~CpuHogs() {
    stop_ = true;
    for (auto& t : threads_) t.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

int usableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return int(std::thread::hardware_concurrency());
  return CPU_COUNT(&set);
}

// What the window shows of the send, as the contest window does.
class LabelPanel : public CwKeyerPanel {
 public:
  QLabel text;
  QLabel key;
  void showKeyIndicator(bool down) override { key.setVisible(down); }
  void showSentText(const QString& t) override { text.setText(t); }
  void setPortControlsLocked(bool) override {}
  void showLineFailure(const QString&) override {}
  void showTimingWarning(const QString&) override {}
};

// The planned marks and spaces of a text at a speed value, in milliseconds, by the
// keyer's rules: elements, gaps, the letter space, the pause after each character.
void plan(const QString& text, int offset, std::vector<long long>& marks, std::vector<long long>& spaces) {
  const CwTiming t = CwTiming::forSpeedOffset(offset);
  long long pending = -1;  // key-up time since the last mark; -1 before the first
  for (const QChar c : text) {
    if (c == QLatin1Char(' ')) {
      if (pending >= 0) pending += t.letterSpace() + t.unit;
      continue;
    }
    const auto pattern = MorsePattern(c);
    if (!pattern) continue;
    for (const QChar e : *pattern) {
      if (pending >= 0) spaces.push_back(pending);
      marks.push_back(e == QLatin1Char('-') ? t.dash() : t.dot());
      pending = t.gap();
    }
    pending += t.letterSpace() + t.unit;
  }
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, size_t(std::ceil(p * double(v.size()))) - (p > 0 ? 1 : 0));
  return v[i];
}

enum Scenario { Idle = 0, BusyHandler = 1, ModalDialog = 2, Loaded = 3 };

constexpr size_t kElementsPerCase = 1000;

int schedCounter(int policy) { return policy == SCHED_FIFO ? 1 : policy == SCHED_RR ? 2 : 0; }

void BM_CwKeyerElementError(benchmark::State& state) {
  const int wpm = int(state.range(0));
  const auto scenario = Scenario(state.range(1));
  const int offset = CwSpeedOffsetForWpm(wpm);
  // The text repeated until it makes enough elements that p99 is not the largest.
  QString text;
  std::vector<long long> marks, spaces;
  do {
    text += bench::smoke() ? QStringLiteral("TE") : kText + QLatin1Char(' ');
    marks.clear();
    spaces.clear();
    plan(text, offset, marks, spaces);
  } while (!bench::smoke() && marks.size() + spaces.size() < kElementsPerCase);

  std::vector<double> err;
  int policy = -1;
  double worst = -1, worstWakeLate = 0, worstWork = 0;
  long worstFaults = 0, worstPreempted = 0, faults = 0, preempted = 0;
  size_t lateWakes = 0;
  CwScheduling got = CwScheduling::Pending;
  const int hogs = scenario == Loaded ? 3 * usableCores() : 0;
  for (auto _ : state) {
    RecordingLine line;
    LabelPanel panel;
    WatchedClock clock;
    CwKeyer keyer(panel, &clock);
    keyer.setKeyLine(&line, SerialSignal::Dtr);
    keyer.setSpeedOffset(offset);
    // RealtimeKit is asked while the keyer starts; the figures are for what it got.
    QElapsedTimer asked;
    asked.start();
    while (keyer.scheduling() == CwScheduling::Pending && asked.elapsed() < 5000) QThread::msleep(5);
    got = keyer.scheduling();
    QEventLoop loop;
    QTimer busy;
    busy.setInterval(100);
    QObject::connect(&busy, &QTimer::timeout, [] {
      QElapsedTimer spent;
      spent.start();
      while (spent.nsecsElapsed() < 16'000'000) {
      }
    });
    QTimer done;
    done.setInterval(5);
    QDialog dialog;
    QObject::connect(&done, &QTimer::timeout, [&] {
      if (keyer.sending()) return;
      dialog.accept();
      loop.quit();
    });
    std::unique_ptr<CpuHogs> load;
    if (hogs) {
      load = std::make_unique<CpuHogs>(hogs);
      QThread::msleep(200);  // the hogs are running before the first element
    }
    keyer.SendCwBuffer(text);
    done.start();
    if (scenario == BusyHandler) busy.start();
    if (scenario == ModalDialog) {
      QTimer::singleShot(0, &dialog, [&] { dialog.exec(); });
    }
    loop.exec();
    busy.stop();
    done.stop();
    load.reset();

    if (line.changes.size() != 2 * marks.size()) {
      state.SkipWithError("the line did not move as planned");
      return;
    }
    for (const auto& r : clock.returns) {
      if (r.at - r.deadline > std::chrono::microseconds(200)) ++lateWakes;
    }
    faults = line.changes.back().faults - line.changes.front().faults;
    preempted = line.changes.back().preempted - line.changes.front().preempted;
    // Element i runs from change i to change i + 1: even i a mark, odd i a space.
    for (size_t i = 0; i + 1 < line.changes.size(); ++i) {
      const auto& from = line.changes[i];
      const auto& to = line.changes[i + 1];
      const long long planned = i % 2 == 0 ? marks[i / 2] : spaces[i / 2];
      const double e = std::abs(std::chrono::duration<double, std::micro>(to.at - from.at).count() - 1000.0 * double(planned));
      err.push_back(e);
      if (e <= worst) continue;
      worst = e;
      worstFaults = to.faults - from.faults;
      worstPreempted = to.preempted - from.preempted;
      // How late the latest of the element's waits came back, and the longest stretch
      // of the element the keyer spent outside its waits.
      worstWakeLate = 0;
      auto last = from.at;
      worstWork = 0;
      const auto work = [&](Clock::time_point a, Clock::time_point b) {
        worstWork = std::max(worstWork, std::chrono::duration<double, std::micro>(b - a).count());
      };
      for (const auto& r : clock.returns) {
        if (r.at > to.at) break;
        if (r.at < from.at) continue;
        worstWakeLate = std::max(worstWakeLate, std::chrono::duration<double, std::micro>(r.at - r.deadline).count());
        if (r.entered >= last) work(last, r.entered);
        last = r.at;
      }
      work(last, to.at);
    }
    policy = line.policy;
  }
  state.counters["err_p50_us"] = percentile(err, 0.50);
  state.counters["err_p99_us"] = percentile(err, 0.99);
  state.counters["err_max_us"] = percentile(err, 1.0);
  state.counters["elements"] = double(err.size());
  state.counters["sched"] = schedCounter(policy);
  state.counters["late_wakes"] = double(lateWakes);
  state.counters["faults"] = double(faults);
  state.counters["preempted"] = double(preempted);
  state.counters["worst_wake_late_us"] = worstWakeLate;
  state.counters["worst_faults"] = double(worstFaults);
  state.counters["worst_preempted"] = double(worstPreempted);
  state.counters["worst_work_us"] = worstWork;
  const QString what = scenario == Idle          ? QStringLiteral("idle")
                       : scenario == BusyHandler ? QStringLiteral("16ms handler every 100ms")
                       : scenario == ModalDialog ? QStringLiteral("modal dialog")
                                                 : QStringLiteral("loaded: %1 CPU hogs").arg(hogs);
  state.SetLabel((what + QStringLiteral(", ") + CwSchedulingName(got)).toStdString());
}

// wpm, then the window thread's scenario.
BENCHMARK(BM_CwKeyerElementError)
    ->ArgsProduct({{20, 40}, {Idle, BusyHandler, ModalDialog, Loaded}})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

// The shared main's smoke filter picks sizes; here the smoke run keys a short text
// at 40 wpm with the window idle.
int main(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--vz_smoke") == 0) bench::smoke() = true;
    else args.push_back(argv[i]);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int n = int(args.size());
  QApplication app(n, args.data());
  static char filter[] = "--benchmark_filter=/40/0/";
  if (bench::smoke()) args.push_back(filter);
  n = int(args.size());
  benchmark::Initialize(&n, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
