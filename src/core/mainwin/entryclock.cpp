#include "mainwin/entryclock.h"

#include <algorithm>
#include <cmath>

#include "platform/textutil.h"

namespace vz {

EntryDateTime UtcEntryDateTime(const QDateTime& local, const QString& offsetText) {
  const QTime t = local.time();
  // Plain arithmetic on the wall-clock reading: no time zone rules may shift it.
  const QDateTime minute(local.date(), QTime(t.hour(), t.minute()), Qt::UTC);
  // A typing slip of many digits must not overflow the arithmetic.
  const double hours = std::clamp(vbVal(offsetText), -1.0e6, 1.0e6);
  const QDateTime utc = minute.addSecs(-std::llround(hours * 3600.0));
  return {formatDate(utc.date()), formatTime(utc.time())};
}

EntryDateTime LocalEntryDateTime(const QDateTime& local) {
  return {formatDate(local.date()), formatTime(local.time())};
}

}  // namespace vz
