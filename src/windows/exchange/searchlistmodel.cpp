#include "exchange/searchlistmodel.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTreeView>
#include <algorithm>
#include <cmath>

#include "mainwin/layoutscaler.h"
#include "mainwin/qsolist.h"
#include "platform/database.h"

namespace vz {

SearchListModel::SearchListModel(QObject* parent) : QAbstractTableModel(parent) {}
SearchListModel::~SearchListModel() = default;

void SearchListModel::setListing(SearchListing listing) {
  beginResetModel();
  ids_ = std::move(listing.ids);
  style_ = listing.style;
  rewritten_.clear();
  blocks_.clear();
  endResetModel();
}

void SearchListModel::clear() { setListing({}); }

void SearchListModel::reorder(std::vector<qint64> ids, int firstShown, int lastShown) {
  if (ids.size() != ids_.size()) {
    beginResetModel();
    ids_ = std::move(ids);
    blocks_.clear();
    endResetModel();
    return;
  }
  // Neither a reset nor a change of every row: the tree view would lay out or look up
  // all of them again, which at a million rows holds the window for a long while. The
  // rows keep their positions and heights, so a change of those on show is enough.
  ids_ = std::move(ids);
  blocks_.clear();
  if (ids_.empty()) return;
  const int last = count() - 1;
  const int first = std::clamp(firstShown, 0, last);
  emit dataChanged(index(first, 0), index(std::clamp(lastShown, first, last), QsoListRow::kColumns - 1));
}

const QsoListRow& SearchListModel::rowAt(int row) const {
  if (row < 0 || row >= count()) return empty_;
  const auto rewritten = rewritten_.constFind(ids_[size_t(row)]);
  if (rewritten != rewritten_.constEnd()) return *rewritten;
  const int b = row / kBlockRows;
  auto it = std::find_if(blocks_.begin(), blocks_.end(), [b](const Block& k) { return k.index == b; });
  if (it == blocks_.end()) {
    if (blocks_.size() < size_t(kCachedBlocks)) {
      blocks_.emplace_back();
      it = blocks_.end() - 1;
    } else {
      // The block read longest ago makes room.
      it = std::min_element(blocks_.begin(), blocks_.end(),
                            [](const Block& x, const Block& y) { return x.used < y.used; });
    }
    Block& block = *it;
    block.index = b;
    const int first = b * kBlockRows;
    const int last = std::min(count(), first + kBlockRows);
    // One read transaction for the block: each statement on its own would lock and
    // check the file again, which costs more than reading the row.
    const Status read = db::transaction(
        [&] { return reader_.readBlock(ids_.data() + first, last - first, style_, &block.rows); });
    if (!read) error_ = read.error;
    block.rows.resize(size_t(last - first));
  }
  it->used = ++clock_;
  return it->rows[size_t(row - b * kBlockRows)];
}

const QsoListRow* SearchListModel::rewrittenRow(qint64 id) const {
  const auto it = rewritten_.constFind(id);
  return it == rewritten_.constEnd() ? nullptr : &*it;
}

QString SearchListModel::takeError() const {
  QString e;
  std::swap(e, error_);
  return e;
}

void SearchListModel::rewrite(qint64 id, const QsoListRow& row) {
  const int at = positionOf(id);
  if (at < 0) return;
  rewritten_.insert(id, row);
  emit dataChanged(index(at, 0), index(at, QsoListRow::kColumns - 1));
}

void SearchListModel::remove(qint64 id) {
  const int at = positionOf(id);
  if (at < 0) return;
  beginRemoveRows({}, at, at);
  ids_.erase(ids_.begin() + at);
  rewritten_.remove(id);
  // Rows behind it moved up a place: the cached blocks no longer fit.
  blocks_.clear();
  endRemoveRows();
}

int SearchListModel::positionOf(qint64 id) const {
  const auto it = std::find(ids_.begin(), ids_.end(), id);
  return it == ids_.end() ? -1 : int(it - ids_.begin());
}

int SearchListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

int SearchListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : QsoListRow::kColumns;
}

QVariant SearchListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return rowAt(index.row()).cells[size_t(index.column())];
  // Every sub-item in dark green; the item text keeps the list's colour.
  if (role == Qt::ForegroundRole && index.column() > 0) return QBrush(QColor::fromRgb(kQsoListSubItemColour));
  return {};
}

QVariant SearchListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= QsoListRow::kColumns)
    return QAbstractTableModel::headerData(section, orientation, role);
  if (section == QsoListRow::kColumns - 1) return QStringLiteral("Provincia");
  return QString::fromUtf8(kQsoListColumns[section].heading);
}

SearchListHeader::SearchListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void SearchListHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
  QHeaderView::initStyleOptionForIndex(option, logicalIndex);
  if (option->sortIndicator == QStyleOptionHeader::SortUp) option->sortIndicator = QStyleOptionHeader::SortDown;
  else if (option->sortIndicator == QStyleOptionHeader::SortDown) option->sortIndicator = QStyleOptionHeader::SortUp;
}

void FitSearchListFrequencyColumn(QTreeView* view) {
  const int design = int(std::lround(kQsoListColumns[kQsoListFrec].widthTwips / double(kTwipsPerPixel)));
  // The widest digits' text, with the margins the item view puts on both sides of
  // a cell's text and a pixel to spare.
  const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  const int text = view->fontMetrics().horizontalAdvance(QStringLiteral("0000.00000"));
  view->setColumnWidth(kQsoListFrec, std::max(design, text + 2 * margin + 2));
}

void SetupSearchListView(QTreeView* view, SearchListModel* model) {
  // As the view's own header would be set up.
  auto* header = new SearchListHeader(view);
  header->setSectionsMovable(true);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  view->setHeader(header);
  view->setModel(model);
  for (int c = 0; c < QsoListRow::kColumns; ++c) {
    view->setColumnHidden(c, kQsoListColumns[c].widthTwips == 0);
    if (kQsoListColumns[c].widthTwips > 0)
      view->setColumnWidth(c, int(std::lround(kQsoListColumns[c].widthTwips / double(kTwipsPerPixel))));
  }
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  // Every row the same height: the view never asks for rows it does not show.
  view->setUniformRowHeights(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->header()->setSectionsClickable(true);
  view->header()->setStretchLastSection(false);
  FitSearchListFrequencyColumn(view);
}

}  // namespace vz
