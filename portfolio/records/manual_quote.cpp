#include "portfolio/records/manual_quote.h"

#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_manual_price_item.h"

bool QuoteLacksPrice(const StockInfo& cached) {
  return !cached.IsKnownSymbol() || (cached.exchange.empty() && cached.lastTrade.empty());
}

StockInfo ManualQuote(const StockInfo& cached, const VLManualPriceItem& newest) {
  StockInfo q = cached;
  q.name = kManualPriceName;
  q.exchange = kManualPriceExchange;
  q.lastTrade = PriceText(newest.price);
  q.lastTradeRealtime.clear();
  const CalendarDate day = DateOfStoredDate(newest.date);
  q.lastTradeDate =
      std::to_string(day.month) + "/" + std::to_string(day.day) + "/" + std::to_string(day.year);
  // The figures of the day read the realtime texts first, when there are any.
  for (std::string* none : {&q.change, &q.percentChange, &q.lastTradeTime}) *none = "N/A";
  for (std::string* unused : {&q.changeRealtime, &q.percentChangeRealtime, &q.lastTradeTimeRealtime}) {
    unused->clear();
  }
  return q;
}
