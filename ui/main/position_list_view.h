#pragma once
#include <QTableView>
#include <cstdint>
#include <vector>

class PositionListModel;

// A list of positions: grid lines, whole rows, several rows selectable, no sorting of its own (the window
// sorts by header clicks), the extra last column filling the rest of the width.
class PositionListView : public QTableView {
  Q_OBJECT

 public:
  explicit PositionListView(PositionListModel* model, QWidget* parent = nullptr);

  PositionListModel* Model() const { return listModel; }
  // Each column as wide as the widest of its cells, its header and its catalogue width.
  void ApplyColumnWidths();
  // The item ids of the selected rows in row order.
  std::vector<uint32_t> SelectedIds() const;
  // Selects exactly the rows of `ids` that are shown; `current`, when shown, also gets the focus mark.
  void SelectIds(const std::vector<uint32_t>& ids, uint32_t current = 0);

 private:
  PositionListModel* listModel;
};
