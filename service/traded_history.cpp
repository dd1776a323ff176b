#include "service/traded_history.h"

#include <algorithm>
#include <cmath>
#include <limits>

static double Cents(double v) {
  return std::round(v * 100.0) / 100.0;
}

// Prices times numerator / denominator shares' worth, the volume the other way round.
static void Scale(DailyBar& bar, int64_t numerator, int64_t denominator) {
  if (numerator == denominator) return;
  const double f = static_cast<double>(numerator) / static_cast<double>(denominator);
  bar.open = Cents(bar.open * f);
  bar.high = Cents(bar.high * f);
  bar.low = Cents(bar.low * f);
  bar.close = Cents(bar.close * f);
  bar.adjClose = Cents(bar.adjClose * f);
  bar.volume = std::round(bar.volume / f);
}

void ToTradedPrices(const std::vector<StockSplit>& splits, std::vector<DailyBar>& bars) {
  if (splits.empty()) return;
  for (DailyBar& bar : bars) {
    int64_t n = 1, d = 1;
    SplitFactor(splits, bar.day, std::numeric_limits<int>::max(), n, d);
    Scale(bar, n, d);
  }
}

void ToSharesOfLastDay(const std::vector<StockSplit>& splits, std::vector<DailyBar>& bars) {
  if (splits.empty() || bars.empty()) return;
  const int last = bars.back().day;
  for (DailyBar& bar : bars) {
    int64_t n = 1, d = 1;
    SplitFactor(splits, bar.day, last, n, d);
    Scale(bar, d, n);
  }
}

void TodaysSharesToSharesOf(const std::vector<StockSplit>& splits, int lastDay, std::vector<DailyBar>& bars) {
  int64_t n = 1, d = 1;
  SplitFactor(splits, lastDay, std::numeric_limits<int>::max(), n, d);
  if (n == d) return;
  for (DailyBar& bar : bars) Scale(bar, n, d);
}

void SetAdjustedCloses(const std::vector<StockSplit>& splits, const std::vector<DividendPayment>& dividends,
                       std::vector<DailyBar>& bars) {
  if (bars.empty()) return;
  double factor = 1.0;
  bars.back().adjClose = bars.back().close;
  // Dividends are oldest first: walking back from the last bar meets each once.
  size_t j = std::upper_bound(dividends.begin(), dividends.end(), bars.back().day,
                              [](int day, const DividendPayment& p) { return day < p.exDay; }) -
             dividends.begin();
  for (size_t i = bars.size() - 1; i-- > 0;) {
    const int from = bars[i].day, to = bars[i + 1].day;
    for (; j > 0 && dividends[j - 1].exDay > from; --j) {
      const DividendPayment& dividend = dividends[j - 1];
      // The close before the ex-date, in the shares the dividend was paid on.
      int64_t n = 1, d = 1;
      SplitFactor(splits, from, dividend.exDay, n, d);
      const double close = bars[i].close * static_cast<double>(d) / static_cast<double>(n);
      const double amount = static_cast<double>(dividend.amountMicros) / 1e6;
      if (amount < close) factor *= 1.0 - amount / close;  // a larger "dividend" is a fault of the data
    }
    int64_t n = 1, d = 1;
    SplitFactor(splits, from, to, n, d);
    factor *= static_cast<double>(d) / static_cast<double>(n);
    bars[i].adjClose = Cents(bars[i].close * factor);
  }
}
