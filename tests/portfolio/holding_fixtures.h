#pragma once
// Positions and the fixed clock and number format shared by the metric and sorting tests.
#include <memory>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"

// 2007-03-05 12:00:00 UTC.
constexpr int64_t kTestNow = 1173096000;
constexpr int64_t kDay = 86400;

// Every test of texts and values runs at kTestNow, in UTC, with English digit grouping.
class FixedEnvironment {
 public:
  explicit FixedEnvironment(int32_t utcOffset = 0)
      : clock(std::make_shared<FixedClock>(kTestNow, utcOffset)), format(NumberFormat::English()) {}

 private:
  ScopedClock clock;
  ScopedNumberFormat format;
};

// A held position of 1500 IBM bought at 81.50 (+9.95) 400 days ago, trading at 97.10, with every
// quote figure filled.
inline VLStockHoldingItem HeldIbm() {
  VLStockHoldingItem h;
  h.name = "IBM";
  h.qty = Shares(1500);
  h.buyPricePerShare = Cents(8150);
  h.buyCommission = 995;
  h.purchaseDate = kTestNow - 400 * kDay;
  h.comment = "core";
  h.perShareBuyTarget = Cents(9000);
  h.perShareSellTarget = Cents(9500);
  h.perShareStopLossTarget = Cents(7000);
  StockInfo& q = h.quote.Edit();
  q.symbol = "IBM";
  q.name = "INTL BUSINESS MACHINES";
  q.exchange = "NYSE";
  q.floatShares = "1480000000";
  q.marketCap = "145.2B";
  q.marketCapRealtime = "N/A";
  q.pegRatio = "1.20";
  q.peRatio = "17.50";
  q.priceSales = "1.60";
  q.dividendPerShare = "1.20";
  q.dividendYield = "1.24";
  q.dividendPayDate = "10-Mar-07";
  q.averageVolume = "5000000";
  q.low52Week = "72.73";
  q.high52Week = "100.90";
  q.movingAverage50 = "95.10";
  q.change50 = "+2.00";
  q.percentChange50 = "+2.10%";
  q.movingAverage200 = "90.00";
  q.change200 = "+7.10";
  q.percentChange200 = "+7.89%";
  q.targetPrice1Year = "110.00";
  q.peEstimateThisYear = "15.10";
  q.peEstimateNextYear = "13.90";
  q.epsEstimateNextQuarter = "1.50";
  q.epsEstimateThisYear = "6.40";
  q.epsEstimateNextYear = "7.00";
  q.previousClose = "96.78";
  q.volume = "4000000";
  q.open = "96.50";
  q.bid = "97.05";
  q.ask = "0.00";
  q.bidSize = "300";
  q.askSize = "0";
  q.shortRatio = "N/A";
  q.lastTrade = "97.10";
  q.lastTradeTime = "4:00pm";
  q.change = "+0.32";
  q.percentChange = "+0.33%";
  q.dayRange = "96.10 - 97.50";
  q.lastTradeTimeRealtime = "N/A";
  q.dayRangeRealtime = "N/A - N/A";
  return h;
}

// The same position sold 45 days ago at 90.20 (+10.95 commission).
inline VLStockHoldingItem SoldIbm() {
  VLStockHoldingItem h = HeldIbm();
  h.salePricePerShare = Cents(9020);
  h.saleCommission = 1095;
  h.saleDate = kTestNow - 45 * kDay;
  return h;
}

inline std::string Text(const VLHoldingItem& h, int column) {
  std::string text = "unset";
  h.GetColumnText(column, text);
  return text;
}
