#include "portfolio/views/portfolio_view.h"

#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/holding_sort.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"

PortfolioView SortPortfolioView(VLHoldingItemList& positions, const std::vector<int>& columns, int sortColumn,
                                bool ascending) {
  const bool sortable = IsSortableColumn(sortColumn);
  if (sortable) SortHoldings(positions, sortColumn, ascending);

  PortfolioView view;
  view.columns = columns;
  for (int column : columns) {
    std::string header = GetColumnHeader(column);
    if (sortable && column == sortColumn) header += SortMarkSuffix(ascending);
    view.headers.push_back(std::move(header));
  }
  return view;
}

PortfolioView::Row MakeViewRow(const VLHoldingItem& holding, const std::vector<int>& columns) {
  PortfolioView::Row row;
  row.id = holding.id;
  row.cells.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) holding.GetColumnText(columns[i], row.cells[i]);
  return row;
}

PortfolioView BuildPortfolioView(VLHoldingItemList& positions, const std::vector<int>& columns,
                                 int sortColumn, bool ascending) {
  PortfolioView view = SortPortfolioView(positions, columns, sortColumn, ascending);
  view.rows.reserve(static_cast<size_t>(positions.GetCount()));
  for (const auto& item : positions) {
    view.rows.push_back(MakeViewRow(static_cast<const VLHoldingItem&>(*item), columns));
  }
  return view;
}

std::string FormatUpdatedText(const std::string& marketTime) {
  return "Updated: " + (marketTime.empty() ? std::string("(Market time not available)") : marketTime);
}
