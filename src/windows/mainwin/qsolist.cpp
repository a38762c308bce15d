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
  LogQso r;
  r.id = vbValInt(item.text(kQsoListId));
  r.Estacion = item.text(kQsoListEstacion);
  r.Banda = item.text(kQsoListBanda);
  r.Frecuencia = item.text(kQsoListFrec);
  r.Modo = item.text(5);
  r.RSE = item.text(6);
  r.RSR = item.text(7);
  r.Fecha = item.text(kQsoListFecha);
  r.Hora = item.text(kQsoListHora);
  r.MyCall = item.text(10);
  r.Operador = item.text(11);
  r.Obs = item.text(12);
  r.MiGrid = item.text(13);
  r.SuGrid = item.text(14);
  r.Ruk = item.text(15);
  r.Nombre_Sat = item.text(16);
  r.Argento = item.text(17);
  return r;
}

}  // namespace vz
