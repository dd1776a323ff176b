#pragma once
#include <cstdint>
#include <string>

#include "portfolio/checks/entry_check.h"
#include "portfolio/corporate_actions/corporate_action_change.h"

// What was typed to record a split.
struct SplitEntry {
  std::string symbol;
  std::string ratio;       // "N:D"
  std::string cashInLieu;  // empty: none
  std::string comment;
  int64_t date = 0;  // the stored form of the ex-date; 0 = none given
};

// The symbol as a position's (CheckSymbolText), the ratio in whole numbers (ParseSplitRatio), the ex-date
// from kEarliestDate to `today` (a day number), a cash-in-lieu price above 0 when one is given, the comment
// within the text limits. The first failure is returned; `request` is only written when every check passes.
EntryCheck CheckSplit(const SplitEntry& entry, int64_t today, SplitRequest& request);

// What was typed to record a symbol change.
struct SymbolChangeEntry {
  std::string oldSymbol;
  std::string newSymbol;
  std::string comment;
  int64_t date = 0;
};

// Both symbols as a position's and different (letter case aside), the day as for a split. `result` gets the
// trimmed symbols when every check passes.
EntryCheck CheckSymbolChange(const SymbolChangeEntry& entry, int64_t today, SymbolChangeEntry& result);
