#pragma once
#include <QTableView>
#include <cstdint>
#include <utility>
#include <vector>

class PositionListModel;

// A list of positions: grid lines, whole rows, several rows selectable, no sorting of its own (the window
// sorts by header clicks), the extra last column filling the rest of the width.
class PositionListView : public QTableView {
  Q_OBJECT

 public:
  explicit PositionListView(PositionListModel* model, QWidget* parent = nullptr);

  PositionListModel* Model() const { return listModel; }
  // Each column as wide as the widest of its cells, its header and its catalogue width. In a list longer
  // than PositionListModel::kFormatAllRows only the rows in view count (their texts are the only ones
  // computed); scrolling widens a column when a wider text comes into view.
  void ApplyColumnWidths();
  // The item ids of the selected rows in row order.
  std::vector<uint32_t> SelectedIds() const;
  // Selects exactly the rows of `ids` that are shown; `current`, when shown, also gets the focus mark.
  void SelectIds(const std::vector<uint32_t>& ids, uint32_t current = 0);

 private:
  // The rows whose texts the widths are taken from: all of a short list, the rows in view of a long one.
  std::pair<int, int> RowsToMeasure() const;
  void FitColumnWidths(bool growOnly);

  PositionListModel* listModel;
};
