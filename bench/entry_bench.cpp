// The entry strip at work on logs of n QSOs (with a second log of the same size in
// the file): a key typed in the call box until its country label is updated, with
// the shipped prefix file; and the whole save of a QSO (checks, insert, grid
// back-fill, first page reloaded).
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <map>
#include <memory>

#include "bench_support.h"
#include "mainwin/form1.h"
#include "platform/database.h"
#include "platform/programfolder.h"
#include "store/callsign.h"
#include "store/programstate.h"

namespace {

const QString kLog = QStringLiteral("Mi log");

QString workedCall(int i) { return QStringLiteral("LU%1X").arg(i % 9000); }

void fill(const QString& log, int n) {
  const vz::Status s = vz::db::transaction([&] {
    QSqlQuery q(vz::db::connection());
    q.prepare(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, RSE, RSR, Obs, Operador, "
                             "[Nombre Log], Frecuencia, MiGrid, SuGrid, Ruk, Nombre_Sat, Argento) VALUES "
                             "('SSB', '40m', 'LU9STA', ?, ?, ?, '59', '59', 'Buena señal', 'LU9OPR', ?, '7.050', "
                             "'GF05', ?, '1', '', 'Santa Fe')"));
    const QDateTime origin(QDate(2005, 1, 1), QTime(0, 0));
    const qint64 step = qint64(18) * 365 * 24 * 3600 / n;
    for (int i = 0; i < n; ++i) {
      const QDateTime t = origin.addSecs(i * step);
      q.addBindValue(workedCall(i));
      q.addBindValue(t.toString(QStringLiteral("dd/MM/yyyy")));
      q.addBindValue(t.toString(QStringLiteral("HH:mm:00")));
      q.addBindValue(log);
      // One QSO in three without a grid, so the back-fill finds some to write.
      q.addBindValue(i % 3 == 0 ? QStringLiteral("") : QStringLiteral("FF78"));
      if (!q.exec()) return vz::Status::failure(QStringLiteral("insert"));
    }
    return vz::Status::success();
  });
  if (!s) std::abort();
}

// One program folder per size, filled once and opened when its size is measured.
void useLogOf(int n) {
  if (vz::bench::useBenchFolder(n)) {
    fill(kLog, n);
    fill(QStringLiteral("Otro log"), n);
  }
  vz::state().CurrentLogName = kLog;
}

bool loadShippedTable() {
  static const bool loaded =
      vz::LoadPrefixTable(QDir(qEnvironmentVariable("VZ_SOURCE_DIR")).filePath("data/dxcc.txt")) &&
      vz::prefixTable().lineCount() > 0;
  return loaded;
}

// The main window shown, active and ready for a QSO, as after start-up.
vz::Form1& readyWindow() {
  vz::Form1& f = vz::form1();
  vz::state().MainFormReady = true;
  // The start-up step, the clock and the usage report stay out of the measurement.
  for (QTimer* t : {f.Timer1, f.Timer2, f.Timer7}) t->stop();
  if (f.Combo1->count() == 0) f.Combo1->addItems({"SSB", "CW", "FM"});
  if (f.mhz->count() == 0) f.mhz->addItems({"3", "7", "14"});
  f.Combo1->setCurrentText(QStringLiteral("SSB"));
  f.mhz->setCurrentText(QStringLiteral("7"));
  f.Text1->setText(QStringLiteral("150"));
  f.Label7->setText(QStringLiteral("40m"));
  f.Label2->setText(QStringLiteral("LU9STA"));
  f.Label3->setText(QStringLiteral("LU9OPR"));
  f.Label8->setText(QStringLiteral("GF05"));
  f.Fecha->setText(QStringLiteral("12/05/2024"));
  f.Hora->setText(QStringLiteral("21:30"));
  f.RSE->setText(QStringLiteral("59"));
  f.RSR->setText(QStringLiteral("59"));
  f.show();
  f.activateWindow();
  QApplication::setActiveWindow(&f);
  QApplication::processEvents();
  f.Corresponsal->setFocus();
  QApplication::processEvents();
  return f;
}

void key(QWidget* w, int code, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}

// One keystroke per iteration, typed in lower case as the operator does: a letter
// at the end of a call, then the Backspace that takes it away, each followed by
// the country lookup of the call in the box.
void BM_CallKeyToCountryLabel(benchmark::State& state) {
  if (!loadShippedTable()) {
    state.SkipWithError("data/dxcc.txt not found (set VZ_SOURCE_DIR)");
    return;
  }
  useLogOf(int(state.range(0)));
  vz::Form1& f = readyWindow();
  const QStringList calls = {"ea8abc", "vk9xab", "lu1aab", "w1aw", "kh6abc", "0q0qqq"};
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool typing = i % 2 == 0;
    if (typing) f.Corresponsal->setText(calls[(i / 2) % calls.size()].toUpper());
    state.ResumeTiming();
    if (typing) key(f.Corresponsal, Qt::Key_Z, QStringLiteral("z"));
    else key(f.Corresponsal, Qt::Key_Backspace, QStringLiteral("\b"));
    benchmark::DoNotOptimize(f.Label18->text());
    ++i;
  }
  if (f.Label18->text().isEmpty()) state.SkipWithError("no country shown");
}
BENCHMARK(BM_CallKeyToCountryLabel)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// "Ingresar QSO" with a worked grid: the checks, mem.ini, the insert, the grid
// written into the call's earlier QSOs without one, the first page read again.
void BM_SaveQso(benchmark::State& state) {
  const int n = int(state.range(0));
  useLogOf(n);
  vz::Form1& f = readyWindow();
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    f.Corresponsal->setText(workedCall(i++ * 7));
    f.Text2->setText(QStringLiteral("FF78"));
    f.Obs->setText(QStringLiteral("Buena señal"));
    state.ResumeTiming();
    f.Command2_Click();
    if (!f.Corresponsal->text().isEmpty()) {
      state.SkipWithError("not saved");
      break;
    }
  }
}
BENCHMARK(BM_SaveQso)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

VZ_BENCHMARK_MAIN();
