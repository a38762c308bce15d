#pragma once
#include <QString>
#include <memory>
#include <optional>


#include "platform/status.h"

namespace vz {

namespace db {
class SqliteStatement;
}

// The id of a QSO of the current log (state().CurrentLogName) that the given one
// repeats: same own call, worked call, band and mode (letter case aside), less
// than ten whole minutes apart either way (seconds do not count). The first such
// QSO in table order wins, not the nearest. std::nullopt when there is none, when
// the date is empty or the date or time cannot be read. Stored rows whose date or
// time cannot be read are passed over. A database failure is an error, never "none".
//
// Takes the QSO's fourteen values in the order the import stages them; only own
// call, worked call, date ("dd/mm/yyyy"), time ("hh:mm" or "hh:mm:ss"), band and
// mode are read.
Result<std::optional<qint64>> FindRecentDuplicateQso(
    const QString& ownCall, const QString& call, const QString& date, const QString& time,
    const QString& band, const QString& frequency, const QString& mode, const QString& reportSent,
    const QString& reportReceived, const QString& operatorCall, const QString& spare,
    const QString& satellite, const QString& status, const QString& remarks);

// The same rule for many QSOs in a row (the import's parse): the query is prepared
// once, for as long as the finder lives.
class RecentDuplicateFinder {
 public:
  RecentDuplicateFinder();
  ~RecentDuplicateFinder();
  RecentDuplicateFinder(const RecentDuplicateFinder&) = delete;
  RecentDuplicateFinder& operator=(const RecentDuplicateFinder&) = delete;

  Result<std::optional<qint64>> find(const QString& ownCall, const QString& call, const QString& date,
                                     const QString& time, const QString& band, const QString& mode);

 private:
  std::unique_ptr<db::SqliteStatement> query_;
};

}  // namespace vz
