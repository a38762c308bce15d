#pragma once
// The large log the scale benchmarks share: n QSOs in the log "Mi log" of a
// base0.mdb, shaped like an operator's decades of QSOs (a call for every ~18 QSOs,
// 2005 to 2024 in order of entry, the busiest call with 0.415 % of them, 30 % with a
// province, 60 % with a grid, every tenth confirmed). It is written once per size
// straight through SQLite, with the indexes and the month counts built after the
// rows, and kept under VZ_BENCH_CACHE (default: the temporary folder) for later
// runs; each benchmark works on its own copy.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTime>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include "bench_support.h"
#include "platform/database.h"
#include "platform/programfolder.h"
#include "platform/sqlitestatement.h"
#include "store/programstate.h"

namespace vz::bench {

inline const QString kBenchLog = QStringLiteral("Mi log");
// The busiest station: the duplicate rule's worst case.
inline const QString kBusiestCall = QStringLiteral("LU1AA");

inline int callsFor(int n) { return std::max(50, int(n * 0.054695)); }

// The worked call of a station number: the busiest first, then distinct calls.
inline QString benchCall(int k) { return k == 0 ? kBusiestCall : callOf(k + 1000); }

// Version of the shape above: a changed generator must not reuse an old file.
inline constexpr int kBenchLogVersion = 3;

inline QString benchCacheFolder() {
  const QString env = qEnvironmentVariable("VZ_BENCH_CACHE");
  const QString dir = env.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("vz-bench-logs")) : env;
  QDir().mkpath(dir);
  return dir;
}

// Writes the rows of a fresh database open as the program's (indexes and triggers
// dropped first, rebuilt at the end by the schema code).
inline void writeBenchRows(int n) {
  for (const char* sql : {"DROP TRIGGER IF EXISTS Tabla1_Meses_Alta", "DROP TRIGGER IF EXISTS Tabla1_Meses_Baja",
                          "DROP TRIGGER IF EXISTS Tabla1_Meses_Cambio", "DROP INDEX IF EXISTS Tabla1_Pagina",
                          "DROP INDEX IF EXISTS Tabla1_Duplicado", "DROP INDEX IF EXISTS Tabla1_Estacion",
                          "DROP INDEX IF EXISTS Tabla1_Duplicado_Grid", "DROP INDEX IF EXISTS Tabla1_Provincia",
                          "PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF"})
    if (!db::exec(QLatin1String(sql))) std::abort();
  static const char* const kProvinces[] = {"Buenos Aires", "Córdoba", "Santa Fe", "Mendoza", "Salta",
                                           "Chaco",        "Jujuy",   "Tucumán",  "Neuquén", "Capital"};
  static const char* const kBands[] = {"80m", "40m", "20m", "15m", "10m", "2m"};
  static const char* const kFreqs[] = {"3.650", "7.050", "14.200", "21.300", "28.500", "145.500"};
  static const char* const kModes[] = {"SSB", "CW", "FM", "SSB", "SSB", "FM"};
  const int calls = callsFor(n);
  std::mt19937 random(20240601);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const qint64 firstDay = QDate(2005, 1, 1).toJulianDay();
  const qint64 minutes = (QDate(2024, 12, 31).toJulianDay() - firstDay) * 24 * 60;
  const Status s = db::transaction([&] {
    db::SqliteStatement st;
    Status p = st.prepare(QStringLiteral(
        "INSERT INTO Tabla1 ([Modo],[Banda],[MyCall],[Estacion],[Fecha],[Hora],[RSE],[RSR],[Obs],[Operador],"
        "[Nombre Log],[Frecuencia],[MiGrid],[SuGrid],[Ruk],[Nombre_Sat],[Argento]) "
        "VALUES (?,?,'LU9STA',?,?,?,'59','59',?,'LU9STA',?,?,'GF05',?,?,?,?)"));
    if (!p) return p;
    if (!(p = db::exec(QStringLiteral("INSERT INTO Tabla1 ([Nombre Log]) VALUES (?)"), {kBenchLog}))) return p;
    for (int i = 0; i < n; ++i) {
      const double u = unit(random);
      const int station = u < 0.00415 ? 0 : 1 + int(unit(random) * unit(random) * (calls - 1));
      const int band = int(unit(random) * 6);
      const qint64 at = qint64(double(i) / n * minutes);
      const QDate day = QDate::fromJulianDay(firstDay + at / (24 * 60));
      const int minute = int(at % (24 * 60));
      const double r = unit(random);
      st.bindText(1, QLatin1String(kModes[band]));
      st.bindText(2, QLatin1String(kBands[band]));
      st.bindText(3, benchCall(station));
      st.bindText(4, day.toString(QStringLiteral("dd/MM/yyyy")));
      st.bindText(5, QTime(minute / 60, minute % 60).toString(QStringLiteral("HH:mm:00")));
      st.bindText(6, i % 4 == 0 ? QStringLiteral("Buena señal, antena dipolo") : QString());
      st.bindText(7, kBenchLog);
      st.bindText(8, QLatin1String(kFreqs[band]));
      st.bindText(9, r < 0.6 ? QStringLiteral("FF%1").arg(10 + station % 90) : QString());
      st.bindText(10, i % 10 == 0 ? QStringLiteral("2") : QStringLiteral("1"));
      st.bindText(11, band == 5 && i % 7 == 0 ? QStringLiteral("AO-91") : QString());
      st.bindText(12, r > 0.7 ? QString::fromUtf8(kProvinces[station % 10]) : QString());
      if (!(p = st.exec())) return p;
    }
    return Status::success();
  });
  if (!s) {
    std::fprintf(stderr, "cannot write the benchmark log: %s\n", qPrintable(s.error));
    std::abort();
  }
  if (!db::exec(QStringLiteral("PRAGMA journal_mode=DELETE")) || !db::ensureSchema()) std::abort();
}

// The cached database file of a log of n QSOs, written if missing.
inline QString benchLogFile(int n) {
  const QString file = QDir(benchCacheFolder()).filePath(QStringLiteral("log-v%1-%2.mdb").arg(kBenchLogVersion).arg(n));
  if (QFileInfo::exists(file)) return file;
  QTemporaryDir work(QDir(benchCacheFolder()).filePath(QStringLiteral("work-XXXXXX")));
  if (!db::open(work.path())) std::abort();
  writeBenchRows(n);
  const QString written = db::path();
  db::close();
  // Renamed into place whole: a run stopped half-way leaves no half log behind.
  if (!QFile::rename(written, file) && !QFileInfo::exists(file)) std::abort();
  return file;
}

// Opens a fresh copy of the log of n QSOs as the program's database ("Mi log"
// current). Each call gives a new copy: write benchmarks start from the same log.
inline QString openBenchLog(int n) {
  static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
  const QString source = benchLogFile(n);
  db::close();
  auto& dir = folders[n];
  dir = std::make_unique<QTemporaryDir>();
  const QString target = QDir(dir->path()).filePath(QLatin1String(db::kFileName));
  if (!QFile::copy(source, target)) std::abort();
  setProgramFolder(dir->path());
  if (!db::open(dir->path())) std::abort();
  state().CurrentLogName = kBenchLog;
  return dir->path();
}

}  // namespace vz::bench
