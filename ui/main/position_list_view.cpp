#include "ui/main/position_list_view.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QScrollBar>
#include <algorithm>
#include <array>
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
  // A long list measured only the rows it showed: rows scrolled into view may widen a column.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { FitColumnWidths(true); });
}

namespace {

// Character advances of one font, for estimating text widths without laying the texts out.
class AdvanceTable {
 public:
  explicit AdvanceTable(const QFontMetrics& metrics) : metrics(metrics) {
    for (int c = 0; c < 128; ++c) ascii[static_cast<size_t>(c)] = metrics.horizontalAdvance(QChar(c));
  }
  int Estimate(const QString& text) const {
    int width = 0;
    for (QChar c : text) {
      const char16_t u = c.unicode();
      width += u < 128 ? ascii[u] : metrics.horizontalAdvance(c);
    }
    return width;
  }

 private:
  const QFontMetrics& metrics;
  std::array<int, 128> ascii{};
};

// The width of the widest text of one column over rows [first, end): the largest sum of character advances,
// and the laid-out width of the text that has it. Kerning only ever takes a pixel or two off a sum, so the
// column is never too narrow, and no other text needs laying out.
int WidestText(const PositionListModel& model, int column, int first, int end, const QFontMetrics& metrics,
               const AdvanceTable& advances) {
  int largest = 0;
  int widestRow = -1;
  for (int r = first; r < end; ++r) {
    const int estimate = advances.Estimate(model.CellText(r, column));
    if (estimate > largest) {
      largest = estimate;
      widestRow = r;
    }
  }
  return widestRow < 0 ? 0 : std::max(largest, metrics.horizontalAdvance(model.CellText(widestRow, column)));
}

}  // namespace

void PositionListView::ApplyColumnWidths() {
  FitColumnWidths(false);
}

std::pair<int, int> PositionListView::RowsToMeasure() const {
  const int rows = listModel->rowCount();
  if (rows <= PositionListModel::kFormatAllRows) return {0, rows};
  const int first = std::max(0, rowAt(0));
  const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
  const int shown = std::max(viewport()->height(), height()) / rowHeight + 2;
  return {first, std::min(rows, first + shown)};
}

void PositionListView::FitColumnWidths(bool growOnly) {
  const auto [first, end] = RowsToMeasure();
  if (growOnly && end - first == listModel->rowCount()) return;  // every row was measured at the refill
  const QFontMetrics cellMetrics(font());
  const QFontMetrics headerMetrics(horizontalHeader()->font());
  const int padding = 14;
  const AdvanceTable advances(cellMetrics);
  const std::vector<int>& columns = listModel->Columns();
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    int width = GetColumnWidth(columns[static_cast<size_t>(c)]);
    const QString header = listModel->headerData(c, Qt::Horizontal).toString();
    width = std::max(width, headerMetrics.horizontalAdvance(header) + padding);
    int content = WidestText(*listModel, c, first, end, cellMetrics, advances);
    if (c == 0) content += iconSize().width() + 4;
    width = std::max(width, content + padding);
    if (growOnly ? columnWidth(c) < width : columnWidth(c) != width) setColumnWidth(c, width);
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
