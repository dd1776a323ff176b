#pragma once
// Known splits from a table, by symbol: what a source of the market-data service's events would give, each
// limited to the days asked. A symbol in `failing` cannot be asked; every question is noted in `asked`.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "portfolio/corporate_actions/split_proposals.h"

class TableSplitSource : public ISplitEventSource {
 public:
  bool GetSplits(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                 std::vector<KnownSplit>& splits, std::string& error, FetchFailure&) override {
    asked.push_back(symbol + " " + std::to_string(firstDay));
    splits.clear();
    if (failing.count(symbol)) {
      error = "no answer";
      return false;
    }
    for (const KnownSplit& s : table[symbol]) {
      if (s.day >= firstDay && s.day <= lastDay) splits.push_back(s);
    }
    return true;
  }
  std::map<std::string, std::vector<KnownSplit>> table;
  std::set<std::string> failing;
  std::vector<std::string> asked;
};
