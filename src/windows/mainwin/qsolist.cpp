#include "mainwin/qsolist.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QTreeWidget>
#include <cmath>

#include "platform/textutil.h"
#include "mainwin/layoutscaler.h"

namespace vz {

QsoListItem::QsoListItem(const QsoListRow& row) {
  for (int c = 0; c < QsoListRow::kColumns; ++c) setText(c, row.cells[c]);
}

bool QsoListItem::operator<(const QTreeWidgetItem& other) const {
  const QTreeWidget* list = treeWidget();
  const int column = list ? list->sortColumn() : 0;
  return CompareQsoListCells(column, text(column), other.text(column), text(kQsoListHora),
                             other.text(kQsoListHora)) < 0;
}

void SetupQsoListColumns(QTreeWidget* list, const QString& lastHeading) {
  list->clear();
  list->setColumnCount(QsoListRow::kColumns);
  QStringList headings;
  for (const QsoListColumn& c : kQsoListColumns) headings << QString::fromUtf8(c.heading);
  headings.last() = lastHeading;
  list->setHeaderLabels(headings);
  for (int c = 0; c < QsoListRow::kColumns; ++c) list->setColumnHidden(c, kQsoListColumns[c].widthTwips == 0);
  ScaleQsoListColumns(list, 1.0);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->header()->setSectionsClickable(true);
  list->header()->setStretchLastSection(false);
}

void ScaleQsoListColumns(QTreeWidget* list, double f) {
  for (int c = 0; c < QsoListRow::kColumns && c < list->columnCount(); ++c)
    if (kQsoListColumns[c].widthTwips > 0)
      list->setColumnWidth(c, int(std::lround(kQsoListColumns[c].widthTwips * f / kTwipsPerPixel)));
}

void AddQsoListRow(QTreeWidget* list, const QsoListRow& row) {
  auto* item = new QsoListItem(row);
  const QBrush green{QColor::fromRgb(kQsoListSubItemColour)};
  for (int c = 1; c < QsoListRow::kColumns; ++c) item->setForeground(c, green);
  list->addTopLevelItem(item);
}

void ApplyQsoListSort(QTreeWidget* list, const QsoListSort& sort) {
  if (!sort.on) return;
  list->sortItems(sort.key, sort.order);
  list->header()->setSortIndicatorShown(true);
  list->header()->setSortIndicator(sort.key, sort.order);
}

void SortQsoListByHeading(QTreeWidget* list, QsoListSort& sort, int headingPosition) {
  sort.key = QsoListSortColumnForHeading(headingPosition);
  sort.order = sort.order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  sort.on = true;
  ApplyQsoListSort(list, sort);
}

LogQso QsoFromListItem(const QTreeWidgetItem& item) {
  QsoListRow row;
  for (int c = 0; c < QsoListRow::kColumns; ++c) row.cells[c] = item.text(c);
  return QsoFromListRow(row);
}

LogQso QsoFromListRow(const QsoListRow& row) {
  const auto& c = row.cells;
  LogQso r;
  r.id = vbValInt(c[kQsoListId]);
  r.Estacion = c[kQsoListEstacion];
  r.Banda = c[kQsoListBanda];
  r.Frecuencia = c[kQsoListFrec];
  r.Modo = c[5];
  r.RSE = c[6];
  r.RSR = c[7];
  r.Fecha = c[kQsoListFecha];
  r.Hora = c[kQsoListHora];
  r.MyCall = c[10];
  r.Operador = c[11];
  r.Obs = c[12];
  r.MiGrid = c[13];
  r.SuGrid = c[14];
  r.Ruk = c[15];
  r.Nombre_Sat = c[16];
  r.Argento = c[17];
  return r;
}

}  // namespace vz
