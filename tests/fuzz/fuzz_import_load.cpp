// The import's database side on an in-memory database: a file's records staged with
// their duplicate look-ups against a log that already holds QSOs, then loaded, with
// and without replacing the duplicates. Whatever the records hold, the statements
// bind them, the log keeps its earlier QSOs and gains exactly what the load wrote.
#include <QSqlQuery>

#include "exchange/adifimport.h"
#include "exchange/adifimportfile.h"
#include "fuzzinput.h"
#include "platform/database.h"
#include "store/programstate.h"

using namespace vz;

namespace {

int count(const char* sql) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QString::fromLatin1(sql)) || !q.next()) return -1;
  return q.value(0).toInt();
}

int seedQsos() {
  static const int seeded = [] {
    fuzz::check(bool(db::openInMemory()));
    state().CurrentLogName = QStringLiteral("Mi log");
    const char* calls[] = {"LU1ABC", "LU2AAA", "EA4XYZ", "K1A"};
    for (const char* call : calls)
      fuzz::check(bool(db::exec(QStringLiteral("INSERT INTO Tabla1 (Modo, Banda, MyCall, Estacion, Fecha, Hora, "
                                               "[Nombre Log], Frecuencia, Ruk) VALUES ('SSB','40m','LU9ZZZ',?,"
                                               "'01/03/2024','12:00:00','Mi log','7.050','0')"),
                                {QString::fromLatin1(call)})));
    return count("SELECT max(id) FROM Tabla1");
  }();
  return seeded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int seeded = seedQsos();
  if (size < 1) return 0;
  const bool replace = data[0] & 1;
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  const ImportFileContents read = ReadAdifImportBytes(bytes);

  fuzz::check(bool(db::exec(QStringLiteral("DELETE FROM Tabla3"))));
  ImportCounts counts;
  const auto parsed = ParseImportRecords(read.recordLines, read.programId, QString(), &counts);
  if (parsed.ok()) fuzz::check(count("SELECT count(*) FROM Tabla3") == counts.newQsos + counts.duplicates);

  const ImportLoadEnd end = LoadStagedQsos(replace);
  fuzz::check(end.failure.isEmpty());
  const int total = count("SELECT count(*) FROM Tabla1");
  fuzz::check(total >= seeded && total - seeded <= end.written);
  // Back to the seeded log for the next input; the earlier QSOs are still there.
  fuzz::check(bool(db::exec(QStringLiteral("DELETE FROM Tabla1 WHERE id>?"), {seeded})));
  fuzz::check(count("SELECT count(*) FROM Tabla1 WHERE [Nombre Log]='Mi log'") == seeded);
  return 0;
}
