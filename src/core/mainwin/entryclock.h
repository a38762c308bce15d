#pragma once
#include <QDateTime>
#include <QString>

namespace vz {

// What the entry strip's date and time boxes show for a moment.
struct EntryDateTime {
  QString date;  // "dd/mm/yyyy"
  QString time;  // "hh:mm"
};

// UTC for the strip: the local time to the whole minute, moved by minus the UTC
// offset (local time minus UTC, in hours, as the settings hold it: "-3" adds three
// hours). An offset with a fraction ("5.5") moves by that part of an hour too.
EntryDateTime UtcEntryDateTime(const QDateTime& local, const QString& offsetText);

// The local date and time as the strip shows them when manual time is restored.
EntryDateTime LocalEntryDateTime(const QDateTime& local);

}  // namespace vz
