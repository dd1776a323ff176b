#pragma once
#include <cstdint>
#include <string>

#include "portfolio/checks/entry_check.h"
#include "portfolio/records/vl_income_item.h"

// What was typed for a payment of income.
struct IncomeEntry {
  std::string symbol;
  std::string kind;         // empty: dividend
  std::string gross;        // an amount, not 0; negative reverses a payment
  std::string withholding;  // empty: 0; the gross's sign is taken when none is typed
  std::string fees;         // likewise
  std::string shares;       // empty: not known
  std::string currency;     // empty: the position's
  std::string comment;
  int64_t payDate = 0;  // stored form; 0 = none given
  int64_t exDate = 0;   // stored form; 0 = not known
};

// The symbol as a position's, the kind by its name, the gross an amount other than 0 within what a record
// holds, withholding and fees amounts of 0 or more that together are at most the gross (for a negative gross,
// they reverse with it), the shares a quantity of 0 or more, the pay date given and from kEarliestDate to
// `today` (a day number), the ex-date in that range and not after the pay date, the currency a code, the
// comment within the text limits. The first failure is returned; `income` (all but its portfolio) is only
// written when every check passes.
EntryCheck CheckIncome(const IncomeEntry& entry, int64_t today, VLIncomeItem& income);
