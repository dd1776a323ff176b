#pragma once
#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <cstdint>
#include <vector>

#include "ui/main/cell_colour_rules.h"

class VLHoldingItemList;

// One list of the main window: the positions of one view of a portfolio as rows of cell texts, in the
// order they were sorted, plus an empty last column. Texts, colours and row icons are computed once per
// refill; the view only reads them.
class PositionListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Role { ItemIdRole = Qt::UserRole + 1, RowIconRole };
  enum RowIcon { kIconNone = 0, kIconUp = 1, kIconDown = 2 };

  explicit PositionListModel(QObject* parent = nullptr);

  // The columns and their headers without rows (a list with no portfolio).
  void SetColumns(const std::vector<int>& columns);
  // Sorts `positions` in place by `sortColumn` and shows them: one model reset.
  void Refill(VLHoldingItemList& positions, const std::vector<int>& columns, int sortColumn, bool ascending);
  void Clear();

  // Background rules: alternate rows (even rows, first is 0) and the sorted column.
  void SetColours(bool alternateRows, QColor alternateRowColour, QColor sortedColumnColour);

  const std::vector<int>& Columns() const { return columns; }
  int SortColumnIndex() const { return sortIndex; }
  uint32_t ItemIdAt(int row) const;
  // The text of a cell; empty outside the rows and columns shown.
  const QString& CellText(int row, int column) const;
  int RowOfItem(uint32_t id) const;  // -1 when not shown

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  static QIcon IconFor(int rowIcon);

 private:
  struct Row {
    uint32_t id = 0;
    int icon = kIconNone;
    std::vector<QString> cells;
    std::vector<CellTextColour> colours;
  };

  std::vector<int> columns;
  std::vector<QString> headers;
  std::vector<Row> rows;
  int sortIndex = -1;  // column index of the sort column, -1 when it is not shown
  bool alternateRows = false;
  QColor alternateRowColour;
  QColor sortedColumnColour;
};
