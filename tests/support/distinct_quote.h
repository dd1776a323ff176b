#pragma once
// A quote whose every stored field differs from every other, and its stored record written by hand in
// the field order of the quote record, so that two fields saved or loaded in each other's places show.
#include <string>
#include <vector>

#include "marketdata/stock_info.h"
#include "tests/support/hand_bytes.h"

constexpr int64_t kDistinctQuoteStamp = 1173096000;  // 2007-03-05 12:00 UTC

// The 47 texts in stored order.
inline const std::vector<std::string>& DistinctQuoteTexts() {
  static const std::vector<std::string> texts = {
      "IBM",                     // 1 symbol
      "INTL BUSINESS MACHINES",  // 2 name
      "NYSE",                    // 3 exchange
      "1480000004",              // 4 floatShares
      "145.5B",                  // 5 marketCap
      "146.6B",                  // 6 marketCapRealtime
      "1.07",                    // 7 pegRatio
      "17.08",                   // 8 peRatio
      "1.09",                    // 9 priceSales
      "1.10",                    // 10 dividendPerShare
      "1.11%",                   // 11 dividendYield
      "Mar 12",                  // 12 dividendPayDate
      "5000013",                 // 13 averageVolume
      "72.14",                   // 14 low52Week
      "100.15",                  // 15 high52Week
      "95.16",                   // 16 movingAverage50
      "+2.17",                   // 17 change50
      "+2.18%",                  // 18 percentChange50
      "90.19",                   // 19 movingAverage200
      "+7.20",                   // 20 change200
      "+7.21%",                  // 21 percentChange200
      "110.22",                  // 22 targetPrice1Year
      "15.23",                   // 23 peEstimateThisYear
      "13.24",                   // 24 peEstimateNextYear
      "1.25",                    // 25 epsEstimateNextQuarter
      "7.26",                    // 26 epsEstimateNextYear
      "6.27",                    // 27 epsEstimateThisYear
      "96.28",                   // 28 previousClose
      "3/5/2007",                // 29 lastTradeDate
      "+-+=30",                  // 30 tickerTrend
      "4000031",                 // 31 volume
      "96.32",                   // 32 open
      "97.33",                   // 33 bid
      "97.34",                   // 34 ask
      "3035",                    // 35 bidSize
      "3036",                    // 36 askSize
      "0.37",                    // 37 shortRatio
      "97.38",                   // 38 lastTrade
      "4:00pm",                  // 39 lastTradeTime
      "+0.40",                   // 40 change
      "+0.41%",                  // 41 percentChange
      "96.42 - 97.42",           // 42 dayRange
      "97.43",                   // 43 lastTradeRealtime
      "3:44pm",                  // 44 lastTradeTimeRealtime
      "+0.45",                   // 45 changeRealtime
      "+0.46%",                  // 46 percentChangeRealtime
      "96.47 - 97.47",           // 47 dayRangeRealtime
  };
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
#define EXPECT_SAME_QUOTE(actual, expected)                                                 \
  do {                                                                                      \
    for (const auto& f : StockInfo::TextFields())                                           \
      EXPECT_EQ((actual).*f.member, (expected).*f.member) << "quote field " << f.fieldName; \
    EXPECT_EQ((actual).stamp, (expected).stamp);                                            \
  } while (false)
