#pragma once
#include <functional>

#include "exchange/adif.h"
#include "exchange/searchquery.h"
#include "platform/status.h"
#include "store/logpage.h"

namespace vz {

// The values a QSO's ADIF record takes from its row in the search list.
AdifQso AdifQsoFromListRow(const QsoListRow& row);

// The row a list shows from its own copy for an id (a QSO edited since it was
// listed), or nullptr for a row read from the log.
using ListOwnRow = std::function<const QsoListRow*(qint64 id)>;

// Writes the records of n listed QSOs (ids in list order, the rows in the listing's
// style) to the writer, each exactly as the list's row would give it, in list order.
// Rows are read a range of ids at a time with only the columns a record writes, so a
// long list costs a constant amount of memory. In Windows-1252, the first row with
// a value the code page lacks stops the writing with *needsUtf8 set and success (the
// file is then written again in UTF-8). A QSO no longer in the log, or a date that
// cannot be read, fails with the record's text, as do read failures.
Status WriteListedAdifRecords(AdifFileWriter& writer, const qint64* ids, int n, SearchRowStyle style,
                              const ListOwnRow& ownRow, bool useCommentAsQslMsg, AdifEncoding encoding,
                              bool* needsUtf8);

}  // namespace vz
