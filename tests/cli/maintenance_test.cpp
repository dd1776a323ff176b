// init --sample and check: the sample a new user starts from, and what check says about a file.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli/sample_database.h"
#include "framework/memory_budget.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"

namespace {

// The symbols the bundled service knows: the first field of each line of its securities list.
std::set<std::string> ServiceSymbols() {
  std::ifstream in(std::string(VL_FIXTURES_DIR) + "/../../service/data/securities.csv");
  std::set<std::string> symbols;
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) symbols.insert(line.substr(0, line.find(',')));
  return symbols;
}

}  // namespace

TEST(CliSample, TheSampleFillsEveryViewWithSymbolsTheServiceKnows) {
  const TempFolder folder("vl_cli_sample");
  const std::string db = folder.File("sample.db");
  ScopedNumberFormat english{NumberFormat::English()};
  const CliResult init = CallCliOn({"init", "--sample"}, db);
  ASSERT_EQ(init.code, 0) << init.err;
  EXPECT_EQ(CallCliOn({"init", "--sample"}, db).code, 1);  // never over an existing file

  // The file read back on its own, not through the tool.
  VLDatabase file(db);
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  ASSERT_EQ(file.Open(), DbResult::Ok);
  file.CopyAll(quotes, portfolios, positions);
  EXPECT_EQ(portfolios.GetCount(), 2);
  const std::set<std::string> known = ServiceSymbols();
  ASSERT_GT(known.size(), 100u) << "the service's securities list was not found";
  std::map<std::string, int> kinds;
  std::map<std::string, std::set<bool>> soldStates;  // by symbol: held (false), sold (true) or both
  for (const auto& item : positions) {
    const auto& h = static_cast<const VLHoldingItem&>(*item);
    if (h.GetKind() == kHoldingCash) ++kinds["cash"];
    if (h.GetKind() == kHoldingMargin) ++kinds["margin"];
    if (h.GetKind() != kHoldingStock) continue;
    const auto& s = static_cast<const VLStockHoldingItem&>(h);
    ++kinds[s.IsSold() ? "sold" : "held"];
    soldStates[s.name].insert(s.IsSold());
    EXPECT_EQ(known.count(s.name), 1u) << s.name << " is not a symbol the bundled service knows";
    EXPECT_GT(s.purchaseDate, 0) << s.name;
  }
  EXPECT_GE(kinds["held"], 4);
  EXPECT_GE(kinds["sold"], 2);
  EXPECT_GE(kinds["cash"], 1);
  EXPECT_EQ(kinds["margin"], 1);
  int partlySold = 0;
  for (const auto& [symbol, states] : soldStates) partlySold += states.size() == 2 ? 1 : 0;
  EXPECT_GE(partlySold, 1) << "no sale of part of a position";
  // SampleSymbols names what was stored (a partly sold symbol is one entry there, two positions here).
  const std::vector<std::string> sampleSymbols = SampleSymbols();
  EXPECT_EQ(std::set<std::string>(sampleSymbols.begin(), sampleSymbols.end()).size(), soldStates.size());

  // Both views of both portfolios have rows.
  for (const char* portfolio : {"Retirement", "Trading"}) {
    for (const bool sold : {false, true}) {
      std::vector<std::string> words = {"view", portfolio, "--json"};
      if (sold) words.push_back("--sold");
      const CliResult view = CallCliOn(words, db);
      ASSERT_EQ(view.code, 0) << view.err;
      const auto rows = nlohmann::json::parse(view.out);
      EXPECT_GE(rows.size(), 1u) << portfolio << (sold ? " sold" : " held");
    }
  }
}

TEST(CliCheck, BytesAfterTheStoreAreAWarningWithTheirOwnExitCode) {
  const TempFolder folder("vl_cli_check");
  const std::string db = folder.File("c.db");
  ASSERT_EQ(CallCliOn({"init"}, db).code, 0);
  ASSERT_EQ(CallCliOn({"add-portfolio", "P"}, db).code, 0);
  ASSERT_EQ(CallCliOn({"add-margin", "P", "5", "--comment", "loan"}, db).code, 0);
  const std::string summary = db + ": 1 portfolio, 1 position (0 held, 0 sold, 0 cash, 1 margin), 0 quotes\n";
  const CliResult clean = CallCliOn({"check"}, db);
  EXPECT_EQ(clean.code, 0);
  EXPECT_EQ(clean.out, summary);
  EXPECT_EQ(clean.err, "");

  std::ofstream(db, std::ios::binary | std::ios::app) << "0123456789AB";
  const CliResult trailing = CallCliOn({"check"}, db);
  EXPECT_EQ(trailing.code, 3);
  EXPECT_EQ(trailing.out, summary);  // everything before them is there
  EXPECT_EQ(trailing.err,
            "vellumar-cli check: warning: 12 bytes after the end of the store; they are ignored and the next "
            "change drops them\n");
  const auto json = nlohmann::json::parse(CallCliOn({"check", "--json"}, db).out);
  EXPECT_EQ(json["trailingBytes"], 12);
  EXPECT_EQ(json["margin"], 1);

  // The next change writes the store whole, without them.
  ASSERT_EQ(CallCliOn({"add-cash", "P", "1", "--comment", "cash"}, db).code, 0);
  const CliResult after = CallCliOn({"check"}, db);
  EXPECT_EQ(after.code, 0) << after.err;
  EXPECT_EQ(after.out, db + ": 1 portfolio, 2 positions (0 held, 0 sold, 1 cash, 1 margin), 0 quotes\n");
}

// A store the memory cannot hold, and one whose record numbers are used up: each says so, nothing changes.
TEST(CliCheck, AStoreTooLargeOrFullSaysSo) {
  const TempFolder folder("vl_cli_limits");
  const std::string db = folder.File("c.db");
  ASSERT_EQ(CallCliOn({"init"}, db).code, 0);
  ASSERT_EQ(CallCliOn({"add-portfolio", "P"}, db).code, 0);

  SetAvailableMemoryForTesting(16);
  const CliResult large = CallCliOn({"check"}, db);
  SetAvailableMemoryForTesting(0);
  EXPECT_EQ(large.code, 1);
  EXPECT_NE(large.err.find("vellumar-cli check: cannot open " + db +
                           ": the database is too large for the memory available"),
            std::string::npos)
      << large.err;
  EXPECT_EQ(large.out, "");

  // The last position id of the file (after "VLDB", version, market and two empty texts) set to the last
  // number there is.
  {
    std::fstream file(db, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(5 + 4 + 4 + 1 + 1 + 4 + 4);
    const uint32_t last = 0xFFFFFFFF;
    file.write(reinterpret_cast<const char*>(&last), sizeof last);
  }
  const std::string before = ReadText(db);
  const CliResult full = CallCliOn({"add-cash", "P", "1", "--comment", "cash"}, db);
  EXPECT_EQ(full.code, 1);
  EXPECT_NE(full.err.find("as many portfolios, positions and quotes as its file can number"),
            std::string::npos)
      << full.err;
  std::ifstream again(db, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), {}), before);
}
