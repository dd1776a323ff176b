#pragma once
#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/main/cell_colour_rules.h"

class Item;
class VLHoldingItem;
class VLHoldingItemList;

// One list of the main window: the positions of one view of a portfolio as rows, in the order they were
// sorted, plus an empty last column. The model keeps the positions; a row's cell texts, colours and icon
// are computed the first time the row is asked for (when it is shown) and kept until the next refill, so a
// list of 100,000 positions costs what its visible rows cost. Lists of up to kFormatAllRows rows are
// computed whole at the refill.
class PositionListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Role { ItemIdRole = Qt::UserRole + 1, RowIconRole };
  enum RowIcon { kIconNone = 0, kIconUp = 1, kIconDown = 2 };

  static constexpr int kFormatAllRows = 5000;

  explicit PositionListModel(QObject* parent = nullptr);
  ~PositionListModel() override;

  // The columns and their headers without rows (a list with no portfolio).
  void SetColumns(const std::vector<int>& columns);
  // Sorts `positions` by `sortColumn` and shows them: one model reset. The model takes the positions;
  // `positions` is left empty.
  void Refill(VLHoldingItemList& positions, const std::vector<int>& columns, int sortColumn, bool ascending);
  void Clear();

  // Background rules: alternate rows (even rows, first is 0) and the sorted column.
  void SetColours(bool alternateRows, QColor alternateRowColour, QColor sortedColumnColour);

  const std::vector<int>& Columns() const { return columns; }
  int SortColumnIndex() const { return sortIndex; }
  uint32_t ItemIdAt(int row) const;
  // The text of a cell (computed now when its row has not been shown yet); empty outside the list.
  const QString& CellText(int row, int column) const;
  // Whether the row's texts have been computed.
  bool IsRowFormatted(int row) const;
  int RowOfItem(uint32_t id) const;  // -1 when not shown

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  static QIcon IconFor(int rowIcon);

 private:
  struct Row {
    const VLHoldingItem* holding = nullptr;  // owned by `positions`
    uint32_t id = 0;
    int icon = kIconNone;
    bool formatted = false;
    std::vector<QString> cells;
    std::vector<CellTextColour> colours;
  };
  // The row with its texts, colours and icon computed.
  const Row& Formatted(int row) const;

  std::vector<std::unique_ptr<Item>> positions;
  mutable std::vector<Row> rows;
  std::vector<int> columns;
  std::vector<QString> headers;
  int sortIndex = -1;  // column index of the sort column, -1 when it is not shown
  bool alternateRows = false;
  QColor alternateRowColour;
  QColor sortedColumnColour;
};
