#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/corporate_actions/split_proposals.h"
#include "portfolio/performance/performance_lots.h"

// A split the market-data service knows of a symbol of the lots, which a lot held across (bought before its
// ex-date, not sold before it) without counting it: the figures then value that lot's shares before the
// split at prices of the other shares.
struct UnrecordedSplit {
  std::string symbol;
  KnownSplit split;
};

// Asks `source` once per symbol of the lots, from its first purchase to `to` (a day number); a symbol the
// source cannot answer for is passed over (the warning is an aid, not a condition of the figures). Oldest
// first.
std::vector<UnrecordedSplit> FindUnrecordedSplits(const PerformanceLots& lots, int64_t to,
                                                  ISplitEventSource& source);

// "NVDA 10:1 on 2024-06-10".
std::string UnrecordedSplitText(const UnrecordedSplit& split);
