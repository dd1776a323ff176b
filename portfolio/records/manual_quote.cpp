#include "portfolio/records/manual_quote.h"

#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_manual_price_item.h"

bool QuoteLacksPrice(const StockInfo& cached) {
  return !cached.IsKnownSymbol() || (cached.exchange.empty() && cached.lastTrade.empty());
}

StockInfo ManualQuote(const StockInfo& cached, const VLManualPriceItem& newest) {
  // Nothing of the service's answer is kept: it knew nothing of the symbol.
  StockInfo q;
  q.symbol = cached.symbol;
  q.stamp = cached.stamp;
  q.name = kManualPriceName;
  q.exchange = kManualPriceExchange;
  q.lastTrade = PriceText(newest.price);
  const CalendarDate day = DateOfStoredDate(newest.date);
  q.lastTradeDate =
      std::to_string(day.month) + "/" + std::to_string(day.day) + "/" + std::to_string(day.year);
  return q;
}
