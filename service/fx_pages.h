#pragma once

#include "service/fx_market.h"
#include "service/quote_figures.h"

#include <string>
#include <string_view>
#include <vector>

struct ServiceResponse;

// The time of day a pair's quote gives its rate: the reference rates are fixed at 14:15 in Frankfurt.
inline constexpr char kRateQuoteTime[] = "2:15pm";
// The exchange a pair's quote names.
inline constexpr char kRateExchange[] = "CCY";

// The quote of a currency pair at `now`: the latest rate fixed by then as the last trade, the one before it
// as the previous close, the range of the year's rates and their moving averages, every rate with its
// kRateDigits significant digits (never cut to cents). A rate has no volume, no day's range, no bid or ask
// and no earnings: those are "N/A".
QuoteFigures MakeRateQuote(const FxMarket& fx, const CurrencyPair& pair, SysSeconds now);

// The daily rates of a pair from fromDay to toDay (those fixed by `now`), in the historical download's form,
// newest first: open, high, low, close and adjusted close are the day's rate, the volume 0.
ServiceResponse RateHistoryCsv(const FxMarket& fx, const std::string& symbol, int fromDay, int toDay,
                               SysSeconds now);

// Pairs whose symbol or name holds `text` (letter case aside), the exact symbol first, then by symbol.
std::vector<CurrencyPair> FindPairs(std::string_view text);
