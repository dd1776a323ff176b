#include "portfolio/stock_columns.h"

#include "portfolio/vl_stock_holding_item.h"

// Column texts are being filled in column by column; until then every cell is empty.
std::string StockColumnText(const VLStockHoldingItem&, int) { return {}; }
double StockColumnValue(const VLStockHoldingItem&, int) { return 0.0; }
