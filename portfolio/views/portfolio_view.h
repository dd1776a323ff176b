#pragma once
#include <cstdint>
#include <string>
#include <vector>

class VLHoldingItem;
class VLHoldingItemList;

// One list of a portfolio as the window shows it: the headers (the sort column's with its mark) and, per
// position in display order, its id and its cell texts. Shared by the window, the report and the tools.
struct PortfolioView {
  std::vector<int> columns;
  std::vector<std::string> headers;
  struct Row {
    uint32_t id = 0;
    std::vector<std::string> cells;
  };
  std::vector<Row> rows;
};

// Sorts `positions` in place by `sortColumn` (left as they are when it cannot be sorted) and reads every
// cell text once.
PortfolioView BuildPortfolioView(VLHoldingItemList& positions, const std::vector<int>& columns,
                                 int sortColumn, bool ascending);
// The same in two steps, for lists too long to hold every text at once: the sort and the headers (no rows),
// then one row at a time, in the order `positions` now has.
PortfolioView SortPortfolioView(VLHoldingItemList& positions, const std::vector<int>& columns, int sortColumn,
                                bool ascending);
PortfolioView::Row MakeViewRow(const VLHoldingItem& holding, const std::vector<int>& columns);

// The window's "Updated:" label for the database's market time.
std::string FormatUpdatedText(const std::string& marketTime);
