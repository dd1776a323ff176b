#pragma once

#include <string>

class Market;
struct Security;
struct SecuritySnapshot;

// Every figure of one quote, as the texts the quote CSV sends, plus the numbers other pages need.
// A text is "N/A" when the security has no such figure (an index has no earnings, a fund no bid).
struct QuoteFigures {
  std::string symbol, name, exchange;
  std::string marketCap, marketCapRealtime, pegRatio, peRatio, priceSales, dividendPerShare, dividendYield,
      dividendPayDate, averageVolume, low52Week, high52Week, movingAverage50, change50, percentChange50,
      movingAverage200, change200, percentChange200, targetPrice1Year, peEstimateThisYear, peEstimateNextYear,
      epsEstimateNextQuarter, epsEstimateNextYear, epsEstimateThisYear, previousClose, lastTradeDate,
      tickerTrend, volume, open, bid, ask, bidSize, askSize, shortRatio, lastTradeWithTime, changeWithPercent,
      dayRange, lastTradeRealtimeWithTime, changeRealtimeWithPercent, dayRangeRealtime, floatShares;
  // The further codes of the classic quote service (filled by SetClassicFigures).
  std::string lastTradePrice, changeOnly, changeInPercent, lastTradeTime, dayLow, dayHigh, range52Week,
      change52WeekLow, percentChange52WeekLow, change52WeekHigh, percentChange52WeekHigh, earningsPerShare,
      bookValue, priceBook, ebitda, exDividendDate, lastTradeSize, afterHoursChange, dayValueChange,
      errorIndication;
  // Codes about the asker's own holdings, limits and links, which the service does not keep.
  std::string notKept = "N/A";

  bool known = false;     // false: the unknown-symbol line
  bool hasPrice = false;  // at least one bar up to the clock
  double last = 0;
  double change = 0;
  double percentChange = 0;
  int lastTradeDay = 0;     // the exchange's date of the last trade
  int lastTradeMinute = 0;  // the exchange's local minutes after midnight
};

// How many daily bars a quote looks back over (200-day average and the 52-week range).
inline constexpr size_t kQuoteLookbackBars = 262;

// The quote of a symbol that the market does not know: every figure "N/A".
QuoteFigures UnknownQuote(const std::string& symbol);
// The quote of a security from its recent bars (at least kQuoteLookbackBars when the history has them).
QuoteFigures MakeQuote(const Market& market, const SecuritySnapshot& snapshot);
