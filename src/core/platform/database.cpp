#include "platform/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringList>

#include "platform/failure.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vz::db {

const char* const kTabla1Columns[18] = {
    "id",       "Modo",       "Banda",  "MyCall", "Estacion", "Fecha", "Hora", "RSE",        "RSR",
    "Obs",      "Operador",   "Nombre Log", "Frecuencia", "MiGrid", "SuGrid", "Ruk", "Nombre_Sat", "Argento"};
const char* const kTabla2Columns[16] = {
    "id",  "Modo",     "Banda",      "MyCall",     "Estacion", "Fecha",      "Hora", "RSE",
    "RSR", "Obs",      "Operador",   "Nombre Log", "Frecuencia", "Ruk",      "Nombre_Sat", "Argento"};
const char* const kTabla3Columns[19] = {
    "id",       "Modo",       "Banda",      "MyCall", "Estacion", "Fecha", "Hora",
    "RSE",      "RSR",        "Obs",        "Operador", "Nombre Log", "Frecuencia", "MiGrid",
    "SuGrid",   "Ruk",        "Nombre_Sat", "Argento", "Dupe"};

namespace {

const QString kConnection = QStringLiteral("vz-base0");

QString& pathSlot() {
  static QString p;
  return p;
}

// The folder whose base0.mdb the program uses; kept while the file is closed so the
// next step can open it again.
QString& folderSlot() {
  static QString f;
  return f;
}

bool& foundLock() {
  static bool l = false;
  return l;
}

bool& reopening() {
  static bool r = false;
  return r;
}

// Which file the connection opened, told apart from whatever later stands at its
// path: the engine keeps writing to the file it opened, so a file removed or
// replaced while the program runs would otherwise swallow every save (or refuse
// them as read-only) until the next start.
struct FileIdentity {
  bool known = false;
  quint64 device = 0, inode = 0;
};

FileIdentity identityOf(const QString& file) {
  FileIdentity id;
#ifdef Q_OS_UNIX
  struct stat st {};
  if (::stat(QFile::encodeName(file).constData(), &st) == 0) {
    id.known = true;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
  }
#else
  Q_UNUSED(file);
#endif
  return id;
}

FileIdentity& openedIdentity() {
  static FileIdentity id;
  return id;
}

// SQLite's "the file was moved or removed under an open connection".
constexpr int kSqliteReadOnlyDbMoved = 1032;

int sqliteCodeOf(const QSqlError& e) {
  bool ok = false;
  const int code = e.nativeErrorCode().toInt(&ok);
  return ok ? code : -1;
}

// The engine's own words (English) without the driver's generic line, which says
// only which call failed.
QString systemWordsOf(const QSqlError& e) {
  QString t = e.databaseText().trimmed();
  return t.isEmpty() ? e.text().trimmed() : t;
}

QString errorOf(const QSqlError& e) {
  return failureMessage(QStringLiteral("Falló la base de datos"), pathSlot().isEmpty() ? folderSlot() : pathSlot(),
                        systemWordsOf(e), sqliteCodeOf(e));
}

void closeConnection() {
  if (!QSqlDatabase::contains(kConnection)) return;
  {
    QSqlDatabase c = QSqlDatabase::database(kConnection, false);
    c.close();
  }
  QSqlDatabase::removeDatabase(kConnection);
  pathSlot().clear();
  openedIdentity() = {};
}

Status openPath(const QString& file) {
  closeConnection();
  foundLock() = false;
  {
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    c.setDatabaseName(file);
    // Short, so a window that touches a locked file answers again quickly; the step
    // then says it gave up and the next one tries again.
    c.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyWaitMs));
    if (!c.open()) {
      const QSqlError e = c.lastError();
      c = QSqlDatabase();
      QSqlDatabase::removeDatabase(kConnection);
      return Status::failure(
          failureMessage(QStringLiteral("No se puede abrir la base de datos"), file, systemWordsOf(e), sqliteCodeOf(e)));
    }
  }
  pathSlot() = file;
  openedIdentity() = file == QLatin1String(":memory:") ? FileIdentity{} : identityOf(file);
  Status s = ensureSchema();
  if (!s) {
    foundLock() = failureKindOf(s.error) == FailureKind::Locked ||
                  s.error.contains(failureKindText(FailureKind::Locked));
    closeConnection();
  }
  return s;
}

Status openFile(const QString& folder) { return openPath(QDir(folder).filePath(QLatin1String(kFileName))); }

template <size_t N>
QString createStatement(const char* table, const char* const (&columns)[N]) {
  QStringList defs;
  defs << QStringLiteral("[id] INTEGER PRIMARY KEY AUTOINCREMENT");
  for (size_t i = 1; i < N; ++i)
    defs << QStringLiteral("[%1] TEXT COLLATE NOCASE").arg(QLatin1String(columns[i]));
  defs << QStringLiteral("[Perfil] TEXT COLLATE NOCASE");
  return QStringLiteral("CREATE TABLE IF NOT EXISTS [%1] (%2)")
      .arg(QLatin1String(table), defs.join(QStringLiteral(", ")));
}

// The month of the date key of the NEW or OLD row inside a trigger.
QString monthOf(const char* row) {
  QString key = QLatin1String(kFechaKey);
  key.replace(QLatin1String("[Fecha]"), QLatin1String(row) + QLatin1String(".[Fecha]"));
  return QStringLiteral("coalesce(substr(%1,1,6),'')").arg(key);
}

const char* const kMonthTriggers[] = {"Tabla1_Meses_Alta", "Tabla1_Meses_Baja", "Tabla1_Meses_Cambio"};

// Creates the month counts with their triggers and fills them from Tabla1, unless
// they are complete already (a dropped trigger means the counts may be stale).
Status ensureMonthCounts() {
  {
    QSqlQuery q(connection());
    Status s = run(q, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE (type='trigger' AND name IN (?,?,?)) "
                                     "OR (type='table' AND name=?)"),
                   {QLatin1String(kMonthTriggers[0]), QLatin1String(kMonthTriggers[1]),
                    QLatin1String(kMonthTriggers[2]), QLatin1String(kMonthCountTable)});
    if (!s) return s;
    if (q.next() && q.value(0).toInt() == 4) return Status::success();
  }
  const QString table = QLatin1String(kMonthCountTable);
  const QString counted = QStringLiteral("%1.[Modo]<>'' AND %1.[Nombre Log] IS NOT NULL");
  const QString add =
      QStringLiteral("INSERT INTO [%1] ([Nombre Log],[Mes],[Cuenta]) SELECT NEW.[Nombre Log], %2, 1 WHERE %3 "
                     "ON CONFLICT ([Nombre Log],[Mes]) DO UPDATE SET [Cuenta]=[Cuenta]+1;")
          .arg(table, monthOf("NEW"), counted.arg(QLatin1String("NEW")));
  const QString take =
      QStringLiteral("UPDATE [%1] SET [Cuenta]=[Cuenta]-1 WHERE %3 AND [Nombre Log]=OLD.[Nombre Log] AND [Mes]=%2; "
                     "DELETE FROM [%1] WHERE [Cuenta]<=0 AND [Nombre Log]=OLD.[Nombre Log] AND [Mes]=%2;")
          .arg(table, monthOf("OLD"), counted.arg(QLatin1String("OLD")));
  const QString statements[] = {
      QStringLiteral("CREATE TABLE IF NOT EXISTS [%1] ([Nombre Log] TEXT COLLATE NOCASE NOT NULL, "
                     "[Mes] TEXT NOT NULL, [Cuenta] INTEGER NOT NULL, PRIMARY KEY ([Nombre Log], [Mes])) WITHOUT ROWID")
          .arg(table),
      QStringLiteral("DELETE FROM [%1]").arg(table),
      QStringLiteral("DROP TRIGGER IF EXISTS [%1]").arg(QLatin1String(kMonthTriggers[0])),
      QStringLiteral("DROP TRIGGER IF EXISTS [%1]").arg(QLatin1String(kMonthTriggers[1])),
      QStringLiteral("DROP TRIGGER IF EXISTS [%1]").arg(QLatin1String(kMonthTriggers[2])),
      QStringLiteral("CREATE TRIGGER [%1] AFTER INSERT ON Tabla1 BEGIN %2 END")
          .arg(QLatin1String(kMonthTriggers[0]), add),
      QStringLiteral("CREATE TRIGGER [%1] AFTER DELETE ON Tabla1 BEGIN %2 END")
          .arg(QLatin1String(kMonthTriggers[1]), take),
      QStringLiteral("CREATE TRIGGER [%1] AFTER UPDATE OF [Modo], [Nombre Log], [Fecha] ON Tabla1 BEGIN %2 %3 END")
          .arg(QLatin1String(kMonthTriggers[2]), take, add),
      QStringLiteral("INSERT INTO [%1] ([Nombre Log],[Mes],[Cuenta]) SELECT [Nombre Log], "
                     "coalesce(substr(%2,1,6),''), count(*) FROM Tabla1 WHERE [Modo]<>'' AND [Nombre Log] IS NOT NULL "
                     "GROUP BY 1, 2")
          .arg(table, QLatin1String(kFechaKey)),
  };
  return transaction([&] {
    for (const QString& sql : statements) {
      Status s = exec(sql);
      if (!s) return s;
    }
    return Status::success();
  });
}

QStringList columnsOf(const QString& table) {
  QStringList cols;
  QSqlQuery q(connection());
  if (q.exec(QStringLiteral("PRAGMA table_info([%1])").arg(table)))
    while (q.next()) cols << q.value(1).toString();
  return cols;
}

}  // namespace

namespace {

// The file at the path is no longer the one open: removed, or another put in its place.
bool fileMovedAway() {
  if (!openedIdentity().known || !isOpen()) return false;
  const FileIdentity now = identityOf(pathSlot());
  return !now.known || now.device != openedIdentity().device || now.inode != openedIdentity().inode;
}

}  // namespace

void closeIfFileMoved() {
  // Inside a transaction the step that began it ends it; the check waits for the next.
  // Removed: the step is told the file is missing (reopen never makes one anew).
  // Replaced: the step opens the file that stands there now.
  if (transactionDepth() == 0 && fileMovedAway()) closeConnection();
}

QSqlDatabase connection() {
  closeIfFileMoved();
  if (!isOpen()) (void)reopen();
  return QSqlDatabase::database(kConnection, false);
}

bool isOpen() { return QSqlDatabase::contains(kConnection) && QSqlDatabase::database(kConnection, false).isOpen(); }

QString path() { return pathSlot(); }

bool lastOpenFoundLock() { return foundLock(); }

QString missingFileNotice(const QString& folder) {
  const QDir dir(folder);
  if (QFileInfo(dir.filePath(QStringLiteral("config.ini"))).size() == 0) return {};  // first run
  if (QFileInfo::exists(dir.filePath(QLatin1String(kFileName)))) return {};
  return QStringLiteral("No se encuentra la base de datos %1 en la carpeta\r\n%2\r\n\r\n"
                        "Se crea una base de datos nueva, vacía. Si su log está en otra carpeta, cierre el "
                        "programa y copie allí su %1 antes de cargar QSOs.")
      .arg(QLatin1String(kFileName), QDir::toNativeSeparators(dir.absolutePath()));
}

QString folder() { return folderSlot(); }

void close() {
  closeConnection();
  folderSlot().clear();
}

Status open(const QString& folder) {
  folderSlot() = folder;
  return openFile(folder);
}

Status openInMemory() {
  folderSlot().clear();
  return openPath(QStringLiteral(":memory:"));
}

Status reopen() {
  if (isOpen()) return Status::success();
  if (folderSlot().isEmpty()) return Status::failure(QStringLiteral("La base de datos no está abierta."));
  // The schema check inside the opening runs statements that would come back here.
  if (reopening()) return Status::failure(QStringLiteral("La base de datos no está abierta."));
  const QString file = QDir(folderSlot()).filePath(QLatin1String(kFileName));
  // A file that vanished while the program ran is not made anew behind the operator's back.
  if (!QFileInfo::exists(file))
    return Status::failure(failureMessage(QStringLiteral("No se encuentra la base de datos"), file, {}));
  reopening() = true;
  Status s = openFile(folderSlot());
  reopening() = false;
  return s;
}

Status ensureSchema() {
  const QString statements[] = {
      // Rollback journal: base0.mdb alone always holds everything committed.
      QStringLiteral("PRAGMA journal_mode=DELETE"),
      // A large log does not fit the default 2 MB page cache: bulk work (an import's
      // look-ups, a list walked again) then reads the same pages from the file over
      // and over. Pages are only kept once read, so a small log costs no more.
      QStringLiteral("PRAGMA cache_size=-32768"),
      createStatement("Tabla1", kTabla1Columns),
      createStatement("Tabla2", kTabla2Columns),
      createStatement("Tabla3", kTabla3Columns),
      QStringLiteral("CREATE TABLE IF NOT EXISTS [%1] ([id] INTEGER PRIMARY KEY AUTOINCREMENT, "
                     "[Nombre Log] TEXT, [Estacion] TEXT, [SuGrid] TEXT)")
          .arg(QLatin1String(kGridBackFillTable)),
  };
  for (const QString& sql : statements) {
    Status s = exec(sql);
    if (!s) return s;
  }
  // A file from an earlier version may lack the optional last column.
  for (const char* t : {"Tabla1", "Tabla2", "Tabla3"}) {
    const QString table = QLatin1String(t);
    if (!columnsOf(table).contains(QStringLiteral("Perfil"), Qt::CaseInsensitive)) {
      Status s = exec(QStringLiteral("ALTER TABLE [%1] ADD [Perfil] TEXT COLLATE NOCASE").arg(table));
      if (!s) return s;
    }
  }
  const QString indexes[] = {
      // Pages of a log, newest first; placeholder rows are never listed.
      QStringLiteral("CREATE INDEX IF NOT EXISTS [Tabla1_Pagina] ON Tabla1 ([Nombre Log], %1, [Hora]) "
                     "WHERE [Modo]<>''")
          .arg(QLatin1String(kFechaKey)),
      // The province award's listing, in its order: a QSO without a province (most
      // of a log abroad) is neither in it nor written to it at a save. The columns its
      // conditions and order read are held too, so the listing never visits the table.
      QStringLiteral("CREATE INDEX IF NOT EXISTS [Tabla1_Provincia] ON Tabla1 "
                     "([Nombre Log], %1, [Hora], [id], [Fecha], [Modo], [Argento]) WHERE %2")
          .arg(QLatin1String(kFechaKey), QLatin1String(kProvinceRows)),
      // Its narrower forerunners: every index is written at every save.
      QStringLiteral("DROP INDEX IF EXISTS [Tabla1_Estacion]"),
      QStringLiteral("DROP INDEX IF EXISTS [Tabla1_Duplicado]"),
      // The duplicate rule reads only these columns of a station's QSOs, so it never
      // visits the table; its first two columns serve the worked-before list and its
      // log names the listing of the logs, a name at a time. The grid, last, lets the
      // back-fill at a save find the station's QSOs lacking one here and read only
      // those rows, however many QSOs a busy station has.
      QStringLiteral("CREATE INDEX IF NOT EXISTS [Tabla1_Duplicado_Grid] ON Tabla1 "
                     "([Nombre Log], [Estacion], [Modo], [Banda], [MyCall], [Fecha], [Hora], [SuGrid])"),
      QStringLiteral("CREATE INDEX IF NOT EXISTS [Tabla2_Log] ON Tabla2 ([Nombre Log])"),
      // The contest window's duplicate check, at every call typed.
      QStringLiteral("CREATE INDEX IF NOT EXISTS [Tabla2_Estacion] ON Tabla2 "
                     "([Nombre Log], [Estacion], [Modo], [Banda])"),
      // The last serial on a mode and band, also when that pair has no QSO yet.
      QStringLiteral("CREATE INDEX IF NOT EXISTS [Tabla2_ModoBanda] ON Tabla2 ([Nombre Log], [Modo], [Banda])"),
  };
  for (const QString& sql : indexes) {
    Status s = exec(sql);
    if (!s) return s;
  }
  return ensureMonthCounts();
}

Status run(QSqlQuery& q, const QString& sql, const QVariantList& values) {
  closeIfFileMoved();
  if (!isOpen()) {
    if (Status s = reopen(); !s) return s;
  }
  // A query made while the file was closed belongs to no connection.
  if (!q.driver() || !q.driver()->isOpen()) q = QSqlQuery(connection());
  if (!q.prepare(sql)) return Status::failure(errorOf(q.lastError()));
  for (const QVariant& v : values) q.addBindValue(v);
  if (!q.exec()) {
    const QSqlError e = q.lastError();
    // Moved away under a transaction, or between the check and the statement: the
    // engine calls that read-only, which the file may well not be. The next step
    // outside a transaction opens it again.
    if (sqliteCodeOf(e) != kSqliteReadOnlyDbMoved && !fileMovedAway()) return Status::failure(errorOf(e));
    const Status s = Status::failure(failureMessage(QStringLiteral("Falló la base de datos"), pathSlot(),
                                                    systemWordsOf(e), kSqliteReadOnlyDbMoved));
    if (transactionDepth() == 0) closeConnection();
    return s;
  }
  return Status::success();
}

Status run(QSqlQuery& q, const QString& sql, std::initializer_list<QVariant> values) {
  return run(q, sql, QVariantList(values));
}

Status exec(const QString& sql, std::initializer_list<QVariant> values) {
  QSqlQuery q(connection());
  return run(q, sql, values);
}

QString text(const QSqlQuery& q, const char* column) {
  const QVariant v = q.value(QLatin1String(column));
  return v.isNull() ? QString() : v.toString();
}

QString text(const QSqlQuery& q, int index) {
  const QVariant v = q.value(index);
  return v.isNull() ? QString() : v.toString();
}

QString errorText(const QSqlError& e) { return errorOf(e); }

QVariant textValue(const QString& s) { return s.isNull() ? emptyText() : QVariant(s); }

}  // namespace vz::db
