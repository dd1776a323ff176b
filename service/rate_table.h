#pragma once

#include "service/decimal_text.h"

#include <string>
#include <string_view>
#include <vector>

// Reference rates by day: how many units of each currency one euro bought, as fixed that day.
struct RateTable {
  std::vector<std::string> currencies;        // the columns, in the table's order
  std::vector<int> days;                      // ascending, days since 1970-01-01
  std::vector<std::vector<Decimal>> perEuro;  // [day][currency]; invalid where that day has no rate

  // The column of a currency; -1 when the table has none.
  int Column(std::string_view code) const;
  bool Empty() const { return days.empty(); }
};

// One rate of one day, as a source gives it.
struct RateObservation {
  int day = 0;
  std::string currency;
  Decimal perEuro;
};

// The stored form, DIR/rates/EUR.csv: the header "Date" and one column per currency (codes of the currency
// table), one row per day, newest first, an empty cell where the day has no rate. Parsing accepts the rows
// in any order; on a fault it returns false with the line in `error` and leaves `table` untouched.
[[nodiscard]] bool ParseRateTableCsv(std::string_view text, RateTable& table, std::string& error);
std::string FormatRateTableCsv(const RateTable& table);

// The observations merged into the table: a new day or currency is added, a stored rate the source gives
// differently is replaced. Counts what changed.
struct RateMerge {
  size_t added = 0;
  size_t replaced = 0;
};
RateMerge MergeRates(RateTable& table, const std::vector<RateObservation>& observations);
