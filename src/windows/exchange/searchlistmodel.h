#pragma once
#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>
#include <QString>
#include <vector>

#include "exchange/searchquery.h"
#include "store/logpage.h"

class QTreeView;

namespace vz {

// The search view's list: the ids of a listing, each row read from the log when it
// is shown and kept in a small cache of blocks, so a list costs what is on screen
// and not what matched.
class SearchListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit SearchListModel(QObject* parent = nullptr);
  ~SearchListModel() override;

  // The list becomes the listing; cached rows and rewritten ones are dropped.
  void setListing(SearchListing listing);
  void clear();
  // The same rows in another order (a heading sort); rows rewritten after an edit
  // keep their cells. Only rows firstShown to lastShown are announced as changed:
  // the view reads every other row when it comes to show it.
  void reorder(std::vector<qint64> ids, int firstShown, int lastShown);

  int count() const { return int(ids_.size()); }
  qint64 idAt(int row) const { return ids_[size_t(row)]; }
  const std::vector<qint64>& ids() const { return ids_; }
  SearchRowStyle style() const { return style_; }
  // The row the list holds for the id since an edit, or nullptr when it shows the log's.
  const QsoListRow* rewrittenRow(qint64 id) const;
  // The row at a position, read when not cached; a failed read is kept as the
  // failure text (see lastError) and gives an empty row.
  const QsoListRow& rowAt(int row) const;
  // The last read failure, empty when none; cleared by taking it.
  QString takeError() const;

  // The QSO with the id shows these cells from now on (after an edit).
  void rewrite(qint64 id, const QsoListRow& row);
  // The QSO with the id leaves the list.
  void remove(qint64 id);
  // Position of the QSO with the id, -1 when not listed.
  int positionOf(qint64 id) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  static constexpr int kBlockRows = 128;
  static constexpr int kCachedBlocks = 32;
  struct Block {
    int index = -1;
    std::vector<QsoListRow> rows;
    quint64 used = 0;
  };
  std::vector<qint64> ids_;
  SearchRowStyle style_ = SearchRowStyle::Opening;
  QHash<qint64, QsoListRow> rewritten_;
  mutable std::vector<Block> blocks_;  // at most kCachedBlocks
  mutable quint64 clock_ = 0;
  mutable QString error_;
  mutable SearchRowReader reader_;
  QsoListRow empty_;
};

// The list's header: its sort arrow points up over a list in ascending order and down
// over one in descending order (the plain header draws them the other way round).
class SearchListHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit SearchListHeader(QWidget* parent = nullptr);

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

// Widens the frequency column, when its design width is too narrow for the font, so
// that frequencies of up to ten characters ("1296.20000", "14.0745000") show whole.
void FitSearchListFrequencyColumn(QTreeView* view);

// The view's columns as the QSO report lists have them (headings and widths, the two
// zero-width ones hidden), the last headed lastHeading.
void SetupSearchListView(QTreeView* view, SearchListModel* model);

}  // namespace vz
