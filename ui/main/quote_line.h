#pragma once
#include <QString>

class StockInfo;

// The text of the window's quote line for `symbol` (as typed) after one quote fetch: the failure text,
// "No such ticker symbol" for a symbol the service does not know, the short form for an index ("^..."),
// else the full form with volume, bid, ask and P/E. Real-time figures are used unless either of a pair
// is "N/A"; the volume is shown in the locale's grouping without decimals.
QString QuoteLineText(const QString& symbol, const StockInfo& quote, bool fetched);
