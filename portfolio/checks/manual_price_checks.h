#pragma once
#include <cstdint>
#include <string>

#include "portfolio/checks/entry_check.h"
#include "portfolio/records/exact_decimal.h"

// What was typed to set a price by hand.
struct ManualPriceEntry {
  std::string symbol;
  std::string price;
  int64_t date = 0;  // the stored form of the day; 0 = none given
};

// The price the database is asked to store once the entry passes.
struct ManualPriceResult {
  std::string symbol;  // trimmed
  UnitPrice price;
  int64_t date = 0;
};

// The symbol as a position's (CheckSymbolText), the price above 0 to 6 decimal places up to what a record
// holds, the day from kEarliestDate to `today` (a day number). The first failure is returned; `result` is
// only written when every check passes.
EntryCheck CheckManualPrice(const ManualPriceEntry& entry, int64_t today, ManualPriceResult& result);
