#pragma once
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/status.h"

namespace vz {

// One row of Tabla2. A contest log is every row with its name in NombreLog: one
// header row, written when the contest is created (only NombreLog, Ruk and
// Nombre_Sat set, Modo empty), and one row per QSO. Every column but id is text; a
// missing value reads as empty text.
struct ContestQso {
  qint64 id = 0;
  QString Modo;        // "SSB", "FM" or "CW"
  QString Banda;       // "160m" ... "2m"
  QString MyCall;      // own call
  QString Estacion;    // worked call
  QString Fecha;       // "yyyymmdd"
  QString Hora;        // "hhmm"
  QString RSE;         // serial or exchange sent
  QString RSR;         // serial or exchange received
  QString Obs;
  QString Operador;
  QString NombreLog;   // [Nombre Log]: the contest's name
  QString Frecuencia;  // MHz and kHz digits, "3650"
  QString Ruk;         // the contest's name again
  QString Nombre_Sat;  // serial type
  QString Argento;

  // A QSO row, not the contest's header row.
  bool isQso() const { return !Modo.isEmpty(); }
};

// The current row of a query over Tabla2 that names the columns (SELECT * will do).
ContestQso readContestQso(const QSqlQuery& q);

// Serial types of a contest, kept in Nombre_Sat of each of its rows.
inline const QString kSerialIncremental = QStringLiteral("Incremental");
inline const QString kSerialFija = QStringLiteral("Fija");

// Contest bands and modes in the order the contest window offers them.
extern const QStringList kContestBands;
extern const QStringList kContestModes;

// Signal reports are not stored: "59" for the phone modes, "599" otherwise.
QString ContestReport(const QString& mode);

// A row of the contest window's QSO list: item text "nombre1", then sub-items 1 to
// 11. Every row carries its own id, which the record editor opens it by.
inline const QString kContestListItemText = QStringLiteral("nombre1");
struct ContestListRow {
  QString id;
  QString Banda;  // under the heading "Frec"
  QString Modo;
  QString Fecha;
  QString Hora;
  QString MyCall;
  QString ReportSent;
  QString RSE;
  QString Estacion;
  QString ReportReceived;
  QString RSR;

  // Sub-items 1 to 11 in column order.
  QStringList subItems() const;
};
ContestListRow contestListRow(const ContestQso& q);

// The list's count caption: "12 QSOs " (with the trailing blank).
QString ContestQsoCountCaption(qsizetype count);

// Stores a contest QSO, or with only the two names and the serial type a new
// contest's header row. Values go in as given (an empty text is stored as empty
// text); Operador and Argento are left without a value. Returns the row as stored,
// with its new id. The main window's last-inserted id is not touched: it keeps
// pointing to a QSO of the main log.
Result<ContestQso> InsertContestQso(const QString& call, const QString& band, const QString& mode,
                                    const QString& sent, const QString& received, const QString& date,
                                    const QString& time, const QString& ownCall, const QString& contestName,
                                    const QString& remarks, const QString& frequency,
                                    const QString& contestNameAgain, const QString& serialType);

// The row to put at the top of the contest window's list for a row just stored:
// only a QSO of the contest the window shows gets one, so a header row, or a row of
// another contest, never shows up in the list.
std::optional<ContestListRow> AddContestQsoToList(const QString& openContest, const ContestQso& stored);

// A contest's QSOs for its list, newest first (highest id first), header row left
// out, and the sent exchange that the window keeps in its hidden Label4: that of
// the contest's oldest QSO (empty when it has none or the contest has no QSO).
struct ContestLogLoad {
  QList<ContestQso> qsos;
  QString lastExchange;
};
Result<ContestLogLoad> LoadContestLog(const QString& contestName);

// A contest's QSOs in time order (Fecha, Hora, then the order they were entered),
// header row left out: the rows of the Cabrillo export.
Result<QList<ContestQso>> ContestQsosByTime(const QString& contestName);

// A contest's QSOs in table order (the order they were entered, by id), header row
// left out: the rows of the ADIF export.
Result<QList<ContestQso>> ContestQsosInTableOrder(const QString& contestName);

// A contest as the contest log chooser lists it.
struct ContestLogSummary {
  QString name;        // as stored, so that opening the contest finds its rows
  QString serialType;  // trimmed
  qsizetype qsoCount = 0;
};
// Every contest of Tabla2, in the order they were created.
Result<QList<ContestLogSummary>> ListContestLogs();

// Removes every row of the contest, its header row included, so its name can be
// used again.
Status DeleteContestLog(const QString& contestName);

// ---- Queries of a running contest. Contest names, calls, modes and bands are
// compared without regard to letter case. A mode "PH" means "SSB".

// True when any row, the header row included, carries the name.
Result<bool> ContestLogExists(const QString& contestName);

// The mode ("M") or, for any other selector, the band of the contest's last QSO
// that has one; empty for a contest without QSOs.
Result<QString> GetLastContestModeOrBand(const QString& openContest, const QString& selector);

// The serial sent with the contest's last QSO on the mode and band whose serial is
// filled; std::nullopt when no QSO is on that mode and band, empty text when some
// are but none has a serial. Each mode and band has its own sequence.
Result<std::optional<QString>> GetLastSentSerial(const QString& openContest, const QString& mode,
                                                 const QString& band);

// The contest's earlier QSOs with the worked call on the mode and band, newest
// first (equal date and time: the later entered first). Any row means a duplicate.
// Each row shows its own values: an empty column stays empty.
Result<QList<ContestQso>> CheckContestDupe(const QString& openContest, const QString& call, const QString& mode,
                                           const QString& band);

}  // namespace vz
