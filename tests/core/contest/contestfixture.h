#pragma once
// Contest rows for tests, stored through the contest store as the contest window
// and the chooser store them.
#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <stdexcept>

#include "contest/conteststore.h"
#include "platform/database.h"
#include "support/tempfolder.h"

namespace vz::test {

// Columns of a contest QSO a test may want other than the defaults.
struct ContestQsoDetails {
  QString mode = QStringLiteral("CW");
  QString band = QStringLiteral("20m");
  QString sent = QStringLiteral("1");
  QString received = QStringLiteral("001");
  QString date = QStringLiteral("20240315");
  QString time = QStringLiteral("1200");
  QString ownCall = QStringLiteral("LU9ZZ");
  QString frequency = QStringLiteral("14025");
};

// A contest's header row, as the chooser creates it.
inline void addContest(const QString& name, const QString& type = kSerialIncremental) {
  const auto r = InsertContestQso("", "", "", "", "", "", "", "", name, "", "", name, type);
  if (!r.ok()) throw std::runtime_error(r.error().toStdString());
}

// A QSO of the contest as Enter in the contest window stores it; returns its id.
inline qint64 addContestQso(const QString& contest, const QString& call, const ContestQsoDetails& d = {},
                            const QString& type = kSerialIncremental) {
  const auto r = InsertContestQso(call, d.band, d.mode, d.sent, d.received, d.date, d.time, d.ownCall, contest, "",
                                  d.frequency, contest, type);
  if (!r.ok()) throw std::runtime_error(r.error().toStdString());
  return r.value.id;
}

// The raw value of one column of a Tabla2 row (NULL stays a null QVariant).
inline QVariant contestValue(qint64 id, const QString& column) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT [%1] FROM Tabla2 WHERE id=?").arg(column), {id}) || !q.next()) return {};
  return q.value(0);
}

inline ContestQso storedContestQso(qint64 id) {
  QSqlQuery q(db::connection());
  if (!db::run(q, QStringLiteral("SELECT * FROM Tabla2 WHERE id=?"), {id}) || !q.next()) return {};
  return readContestQso(q);
}

// A fresh program folder with a new base0.mdb for each test.
class ContestDb : public ::testing::Test {
 protected:
  TempFolder folder;
};

}  // namespace vz::test
