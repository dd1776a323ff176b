#pragma once
#include <string>

class VLStockHoldingItem;

// The cell text and the sort value of every list column for a stock position.
std::string StockColumnText(const VLStockHoldingItem& holding, int column);
double StockColumnValue(const VLStockHoldingItem& holding, int column);
