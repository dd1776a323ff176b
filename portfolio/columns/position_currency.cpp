#include "portfolio/columns/position_currency.h"

#include "portfolio/columns/exchange_currency.h"
#include "portfolio/records/vl_stock_holding_item.h"

std::string PositionCurrency(const VLStockHoldingItem& position) {
  if (!position.currency.empty()) return position.currency;
  return ExchangeCurrency(position.quote->exchange);
}
