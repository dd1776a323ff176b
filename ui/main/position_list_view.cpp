#include "ui/main/position_list_view.h"

#include <QHeaderView>
#include <QItemSelection>
#include <algorithm>
#include <unordered_set>

#include "portfolio/columns/column_catalog.h"
#include "ui/main/position_list_model.h"

PositionListView::PositionListView(PositionListModel* model, QWidget* parent)
    : QTableView(parent), listModel(model) {
  setModel(listModel);
  setShowGrid(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setIconSize(QSize(20, 16));
  verticalHeader()->setVisible(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setSortIndicatorShown(false);
}

void PositionListView::ApplyColumnWidths() {
  const QFontMetrics cellMetrics(font());
  const QFontMetrics headerMetrics(horizontalHeader()->font());
  const int padding = 14;
  const std::vector<int>& columns = listModel->Columns();
  const int rows = listModel->rowCount();
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    int width = GetColumnWidth(columns[static_cast<size_t>(c)]);
    width = std::max(width, headerMetrics.horizontalAdvance(listModel->headerData(c, Qt::Horizontal).toString()) + padding);
    int content = 0;
    for (int r = 0; r < rows; ++r) {
      content = std::max(content, cellMetrics.horizontalAdvance(listModel->index(r, c).data().toString()));
    }
    if (c == 0) content += iconSize().width() + 4;
    width = std::max(width, content + padding);
    setColumnWidth(c, width);
  }
}

std::vector<uint32_t> PositionListView::SelectedIds() const {
  std::vector<int> rowsSelected;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rowsSelected.push_back(index.row());
  std::sort(rowsSelected.begin(), rowsSelected.end());
  std::vector<uint32_t> ids;
  ids.reserve(rowsSelected.size());
  for (int row : rowsSelected) ids.push_back(listModel->ItemIdAt(row));
  return ids;
}

void PositionListView::SelectIds(const std::vector<uint32_t>& ids, uint32_t current) {
  const std::unordered_set<uint32_t> wanted(ids.begin(), ids.end());
  QItemSelection selection;
  const int last = listModel->columnCount() - 1;
  const int rows = listModel->rowCount();
  for (int row = 0; row < rows;) {  // one range per run of selected rows
    if (!wanted.count(listModel->ItemIdAt(row))) {
      ++row;
      continue;
    }
    int end = row;
    while (end + 1 < rows && wanted.count(listModel->ItemIdAt(end + 1))) ++end;
    selection.select(listModel->index(row, 0), listModel->index(end, last));
    row = end + 1;
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  const int currentRow = current ? listModel->RowOfItem(current) : -1;
  if (currentRow >= 0) {
    selectionModel()->setCurrentIndex(listModel->index(currentRow, 0), QItemSelectionModel::NoUpdate);
    scrollTo(listModel->index(currentRow, 0));
  }
}
