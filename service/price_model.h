#pragma once

#include "service/history_csv.h"

#include <cstdint>
#include <vector>

struct Security;

// Closing prices of consecutive trading days, unrounded, oldest first.
struct CloseSeries {
  std::vector<int> days;
  std::vector<double> closes;
};

// The deterministic simulated market. Every figure is a function of the seed, the symbol and the
// day (and minute), never of the clock, so the past stays the same however late the service runs.
// Daily closes follow a trend through the security's price on the anchor day plus a mean-reverting
// random deviation, which keeps 1990 and today in plausible ranges.
class PriceModel {
 public:
  explicit PriceModel(uint64_t seed) : seed(seed) {}

  static int FirstDay();   // 2 January 1990
  static int AnchorDay();  // 2 January 2026, where the trend equals the security's price

  // Appends closes up to lastDay (inclusive) to a series that holds a prefix of them (or nothing).
  void ExtendCloses(const Security& security, int lastDay, CloseSeries& series) const;
  // The full day from its close and the previous close; prices rounded to cents.
  DailyBar MakeBar(const Security& security, int day, double previousClose, double close) const;
  // sessionMinutes + 1 prices, one per minute from the open to the close, inside the bar's range and
  // touching its high and low.
  std::vector<double> IntradayPath(const Security& security, const DailyBar& bar, int sessionMinutes) const;
  // The bar of a session that has run `elapsed` minutes along `path`.
  static DailyBar PartialBar(const DailyBar& full, const std::vector<double>& path, int elapsed);

  // Quarterly ex-dividend and earnings days within [fromDay, toDay], ascending.
  std::vector<int> ExDividendDays(const Security& security, int fromDay, int toDay) const;
  std::vector<int> EarningsDays(const Security& security, int fromDay, int toDay) const;
  // The yearly growth of the security's trend price (0.05 = 5 %).
  double AnnualGrowth(const Security& security) const;

  // Uniform in (0, 1) and standard normal numbers keyed by symbol, day and stream.
  double Uniform(const Security& security, int day, int stream) const;
  double Normal(const Security& security, int day, int stream) const;
  // The same for anything else the market simulates, keyed by a hash of its name.
  double Uniform(uint64_t key, int day, int stream) const;
  double Normal(uint64_t key, int day, int stream) const;
  // Figures of the security that do not change from day to day (growth, margins), in (0, 1).
  double Trait(const Security& security, int which) const { return Uniform(security, 0, 1000 + which); }

 private:
  uint64_t seed;
};

uint64_t HashText(const char* text, size_t size);
