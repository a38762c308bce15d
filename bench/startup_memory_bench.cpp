// Peak memory of the program's start-up whatever the lists beside it hold: the real
// program is started on a folder whose master.txt, dxcc.txt and satelites.txt are
// each about the given size (KB), and its peak resident size is read once the
// main window's load has read them. Refused lists (over their limits) and lists read
// a block at a time keep the peak near that of a start without lists.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "bench_support.h"

namespace {

void fill(const QString& path, qint64 bytes, const QByteArray& line) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) std::abort();
  QByteArray block;
  while (block.size() < 64 * 1024) block += line;
  for (qint64 written = 0; written < bytes; written += block.size()) f.write(block);
}

qint64 statusKb(qint64 pid, const char* key) {
  QFile f(QStringLiteral("/proc/%1/status").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(key)) return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
  return -1;
}

void BM_StartupPeakMemory(benchmark::State& state) {
  const qint64 bytes = state.range(0) * 1024;
  QTemporaryDir dir;
  fill(dir.filePath("master.txt"), bytes, "LU1ABC\r\n");
  fill(dir.filePath("dxcc.txt"), bytes, "LU;LU;Argentina\r\n");
  fill(dir.filePath("satelites.txt"), bytes, "AO-91;70cm;2m;FM;67.0\r\n");
  double peakMb = 0;
  for (auto _ : state) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VZ_PROGRAM_PATH), {QStringLiteral("--folder"), dir.path()});
    if (!program.waitForStarted()) {
      state.SkipWithError("the program did not start");
      return;
    }
    // The load has read the lists once the first-run settings dialog is due (900 ms
    // after the window); a margin covers a loaded machine.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 4000) QThread::msleep(100);
    peakMb = double(statusKb(program.processId(), "VmHWM:")) / 1024.0;
    program.kill();
    program.waitForFinished();
  }
  state.counters["peak_rss_mb"] = peakMb;
}
BENCHMARK(BM_StartupPeakMemory)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

VZ_BENCHMARK_MAIN();
