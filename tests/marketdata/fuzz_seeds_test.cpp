// The fuzzers' own seed pages must parse into results, so that fuzzing starts inside the parsers' row
// handling rather than at their first refusal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"
#include "marketdata/stock_info.h"
#include "marketdata/symbol_finder.h"
#include "tests/support/offline_provider.h"
#include "tests/support/temp_folder.h"

namespace {
// Every seed of one fuzz target: its file name and text.
std::vector<std::pair<std::string, std::string>> Seeds(const std::string& target) {
  std::vector<std::pair<std::string, std::string>> seeds;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(VL_FIXTURES_DIR) + "/fuzz/" + target)) {
    seeds.emplace_back(entry.path().filename().string(), ReadText(entry.path().string()));
  }
  return seeds;
}
}  // namespace

TEST(FuzzSeeds, LookupPagesHaveResultRows) {
  const auto seeds = Seeds("lookup");
  ASSERT_FALSE(seeds.empty());
  for (const auto& [name, text] : seeds) {
    OfflineProvider<SymbolFinder> finder;
    SymbolFinder::Results results;
    finder.Fetch("micro", SymbolFinder::kStocks, false, &results, nullptr, 0);
    finder.ParsePage(text);
    EXPECT_FALSE(finder.HasError()) << name;
    EXPECT_EQ(results.size(), 2u) << name << ": two stocks, the index left out";
  }
}

TEST(FuzzSeeds, HistoryPagesHaveRows) {
  const auto seeds = Seeds("history");
  ASSERT_FALSE(seeds.empty());
  for (const auto& [name, text] : seeds) {
    OfflineProvider<HistoricalPriceProvider> provider;
    HistoricalPriceProvider::Results rows;
    provider.Fetch("IBM", 1, 2007, 12, 2007, &rows);
    provider.ParsePage(text);
    EXPECT_FALSE(provider.HasError()) << name;
    EXPECT_FALSE(rows.empty()) << name;
  }
}

TEST(FuzzSeeds, IndexListsHaveIndexes) {
  const auto seeds = Seeds("index_list");
  ASSERT_FALSE(seeds.empty());
  for (const auto& [name, text] : seeds) {
    OfflineProvider<SymbolFinder> finder;
    SymbolFinder::Results results;
    finder.Fetch({}, SymbolFinder::kIndexes, false, &results, nullptr, 0);
    finder.ParsePage(text);
    EXPECT_FALSE(finder.HasError()) << name;
    EXPECT_EQ(results.size(), 5u) << name;
  }
}
