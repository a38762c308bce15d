#pragma once
#include <QString>
#include <QTreeWidgetItem>

#include "store/logpage.h"
#include "store/logstore.h"

class QTreeWidget;

namespace vz {

// A row of a QSO report list; it sorts by the list's sort column as the heading
// sort compares (dates as dates, numbers as numbers, the rest as text).
class QsoListItem : public QTreeWidgetItem {
 public:
  explicit QsoListItem(const QsoListRow& row);
  bool operator<(const QTreeWidgetItem& other) const override;
};

// Text colour of every sub-item a page load adds: dark green.
inline constexpr QRgb kQsoListSubItemColour = 0x004000;

// Empties the list and gives it the 18 report columns (headings and widths), the
// last one headed lastHeading. The two zero-width columns are not shown.
void SetupQsoListColumns(QTreeWidget* list, const QString& lastHeading = QStringLiteral("Argentina"));
// Column widths for a window scaled by f (the font grows with it, so must they).
void ScaleQsoListColumns(QTreeWidget* list, double f);
// Adds a row at the end, its sub-items in dark green.
void AddQsoListRow(QTreeWidget* list, const QsoListRow& row);

// The QSO a list row shows, read by column position, as the edit dialog's openers
// hand it over (the id read as a number, every other cell as shown).
LogQso QsoFromListItem(const QTreeWidgetItem& item);
LogQso QsoFromListRow(const QsoListRow& row);

// Sorting by a click on a heading: the key, the order, and whether it is on. Once
// on it stays on, so later pages are sorted the same way.
struct QsoListSort {
  int key = 0;
  Qt::SortOrder order = Qt::AscendingOrder;
  bool on = false;
};
// A click on the heading at the 1-based position: the order flips on every click,
// whichever heading; the "ID" heading sorts by band.
void SortQsoListByHeading(QTreeWidget* list, QsoListSort& sort, int headingPosition);
// Sorts the rows again under the last heading click, if any.
void ApplyQsoListSort(QTreeWidget* list, const QsoListSort& sort);

}  // namespace vz
