#pragma once
#include <string>

#include "marketdata/stock_info.h"

class VLManualPriceItem;

// What the positions of a symbol show when the market-data service has no price for it but the user set one
// by hand: the Name column says so, the Exchange column too, and the last trade is the newest price set.
inline constexpr const char* kManualPriceName = "Price set by hand";
inline constexpr const char* kManualPriceExchange = "Set by hand";

// Whether a price set by hand stands in for the cached quote: the service answered that it does not know
// the symbol, or has not been asked yet (a blank quote). A quote the service knows always wins.
bool QuoteLacksPrice(const StockInfo& cached);

// The quote made from `newest`, the symbol's newest price set by hand: the cached quote's symbol, the name
// and exchange above, the last trade that price (at least 2 decimals) on its day, and no other figure (no
// change of the day, which a single price cannot tell).
StockInfo ManualQuote(const StockInfo& cached, const VLManualPriceItem& newest);
