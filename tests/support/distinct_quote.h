#pragma once
// A quote whose every stored field differs from every other, and its stored record written by hand in
// the field order of the quote record, so that two fields saved or loaded in each other's places show.
#include <string>
#include <vector>

#include "marketdata/stock_info.h"
#include "tests/support/hand_bytes.h"

constexpr int64_t kDistinctQuoteStamp = 1173096000;  // 2007-03-05 12:00 UTC

// The 47 texts in stored order: symbol, name, exchange, float, market caps, ratios, dividend, volumes,
// 52-week range, moving averages, target, estimates, previous close, last trade date, trend, volume,
// open, bid, ask, their sizes, short ratio, then the delayed and real-time trade, change and range.
inline const std::vector<std::string>& DistinctQuoteTexts() {
  static const std::vector<std::string> texts = {
      "IBM",        "INTL BUSINESS MACHINES", "NYSE",   "1480000004", "145.5B",  "146.6B",   "1.07",
      "17.08",      "1.09",                   "1.10",   "1.11%",      "Mar 12",  "5000013",  "72.14",
      "100.15",     "95.16",                  "+2.17",  "+2.18%",     "90.19",   "+7.20",    "+7.21%",
      "110.22",     "15.23",                  "13.24",  "1.25",       "7.26",    "6.27",     "96.28",
      "3/5/2007",   "+-+=30",                 "4000031", "96.32",     "97.33",   "97.34",    "3035",
      "3036",       "0.37",                   "97.38",  "4:00pm",     "+0.40",   "+0.41%",   "96.42 - 97.42",
      "97.43",      "3:44pm",                 "+0.45",  "+0.46%",     "96.47 - 97.47"};
  return texts;
}

// The same quote as a record, each field set by its own name.
inline StockInfo DistinctQuote() {
  const std::vector<std::string>& t = DistinctQuoteTexts();
  StockInfo q;
  q.symbol = t[0];
  q.name = t[1];
  q.exchange = t[2];
  q.floatShares = t[3];
  q.marketCap = t[4];
  q.marketCapRealtime = t[5];
  q.pegRatio = t[6];
  q.peRatio = t[7];
  q.priceSales = t[8];
  q.dividendPerShare = t[9];
  q.dividendYield = t[10];
  q.dividendPayDate = t[11];
  q.averageVolume = t[12];
  q.low52Week = t[13];
  q.high52Week = t[14];
  q.movingAverage50 = t[15];
  q.change50 = t[16];
  q.percentChange50 = t[17];
  q.movingAverage200 = t[18];
  q.change200 = t[19];
  q.percentChange200 = t[20];
  q.targetPrice1Year = t[21];
  q.peEstimateThisYear = t[22];
  q.peEstimateNextYear = t[23];
  q.epsEstimateNextQuarter = t[24];
  q.epsEstimateNextYear = t[25];
  q.epsEstimateThisYear = t[26];
  q.previousClose = t[27];
  q.lastTradeDate = t[28];
  q.tickerTrend = t[29];
  q.volume = t[30];
  q.open = t[31];
  q.bid = t[32];
  q.ask = t[33];
  q.bidSize = t[34];
  q.askSize = t[35];
  q.shortRatio = t[36];
  q.lastTrade = t[37];
  q.lastTradeTime = t[38];
  q.change = t[39];
  q.percentChange = t[40];
  q.dayRange = t[41];
  q.lastTradeRealtime = t[42];
  q.lastTradeTimeRealtime = t[43];
  q.changeRealtime = t[44];
  q.percentChangeRealtime = t[45];
  q.dayRangeRealtime = t[46];
  q.stamp = kDistinctQuoteStamp;
  return q;
}

// Key "SI", version 5, the 47 texts complemented, the stamp.
inline void AppendDistinctQuoteRecord(HandBytes& out) {
  out.Key("SI", 5);
  for (const std::string& text : DistinctQuoteTexts()) out.Scrambled(text);
  out.Time(kDistinctQuoteStamp);
}

// Every text field of two quotes, compared by name.
#define EXPECT_SAME_QUOTE(actual, expected)                                                \
  do {                                                                                     \
    for (const auto& f : StockInfo::TextFields())                                          \
      EXPECT_EQ((actual).*f.member, (expected).*f.member) << "quote field " << f.fieldName; \
    EXPECT_EQ((actual).stamp, (expected).stamp);                                           \
  } while (false)
