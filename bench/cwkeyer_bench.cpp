// The CW keyer's timing against a recording line: the keyer's own thread keys while
// the window thread is idle, runs a 16 ms handler every 100 ms, or holds a modal
// dialog open. Each element (mark: key down; space: key up between two marks) is
// compared with its planned length; the counters give the error's p50, p99 and
// largest value in microseconds. Run without --vz_smoke for the figures.
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <sched.h>
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
    const std::lock_guard lock(mutex_);
    if (policy < 0) policy = sched_getscheduler(0);
    if (signal == SerialSignal::Dtr) changes.push_back({at, on});
    return Status::success();
  }

 private:
  std::mutex mutex_;
};

// What the window shows of the send, as the contest window does.
class LabelPanel : public CwKeyerPanel {
 public:
  QLabel text;
  QLabel key;
  void showKeyIndicator(bool down) override { key.setVisible(down); }
  void showSentText(const QString& t) override { text.setText(t); }
  void setPortControlsLocked(bool) override {}
  void showLineFailure(const QString&) override {}
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

enum Scenario { Idle = 0, BusyHandler = 1, ModalDialog = 2 };

void BM_CwKeyerElementError(benchmark::State& state) {
  const int wpm = int(state.range(0));
  const auto scenario = Scenario(state.range(1));
  const QString text = bench::smoke() ? QStringLiteral("TE") : kText;
  const int offset = CwSpeedOffsetForWpm(wpm);
  std::vector<double> markErr, spaceErr;
  int policy = -1;
  for (auto _ : state) {
    RecordingLine line;
    LabelPanel panel;
    CwKeyer keyer(panel);
    keyer.setKeyLine(&line, SerialSignal::Dtr);
    keyer.setSpeedOffset(offset);
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
    keyer.SendCwBuffer(text);
    done.start();
    if (scenario == BusyHandler) busy.start();
    if (scenario == ModalDialog) {
      QTimer::singleShot(0, &dialog, [&] { dialog.exec(); });
    }
    loop.exec();
    busy.stop();
    done.stop();

    std::vector<long long> marks, spaces;
    plan(text, offset, marks, spaces);
    if (line.changes.size() != 2 * marks.size()) {
      state.SkipWithError("the line did not move as planned");
      return;
    }
    for (size_t i = 0; i < marks.size(); ++i) {
      const auto down = line.changes[2 * i].at;
      const auto up = line.changes[2 * i + 1].at;
      markErr.push_back(std::abs(std::chrono::duration<double, std::micro>(up - down).count() - 1000.0 * double(marks[i])));
      if (i + 1 < marks.size()) {
        const auto next = line.changes[2 * i + 2].at;
        spaceErr.push_back(
            std::abs(std::chrono::duration<double, std::micro>(next - up).count() - 1000.0 * double(spaces[i])));
      }
    }
    policy = line.policy;
  }
  state.counters["mark_p50_us"] = percentile(markErr, 0.50);
  state.counters["mark_p99_us"] = percentile(markErr, 0.99);
  state.counters["mark_max_us"] = percentile(markErr, 1.0);
  state.counters["space_p50_us"] = percentile(spaceErr, 0.50);
  state.counters["space_p99_us"] = percentile(spaceErr, 0.99);
  state.counters["space_max_us"] = percentile(spaceErr, 1.0);
  state.counters["elements"] = double(markErr.size() + spaceErr.size());
  state.counters["realtime"] = policy == SCHED_FIFO ? 1 : 0;
  state.SetLabel(scenario == Idle ? "idle" : scenario == BusyHandler ? "16ms handler every 100ms" : "modal dialog");
}

// wpm, then the window thread's scenario.
BENCHMARK(BM_CwKeyerElementError)
    ->ArgsProduct({{20, 40}, {Idle, BusyHandler, ModalDialog}})
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
