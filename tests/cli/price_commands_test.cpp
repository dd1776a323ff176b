// vellumar-cli set-price, prices and remove-price, run in-process over a database in a temporary folder.
#include <gtest/gtest.h>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"

namespace {

class PriceCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init"}).code, 0);
    ASSERT_EQ(Run({"add-portfolio", "Funds"}).code, 0);
    ASSERT_EQ(Run({"add-stock", "Funds", "FUND1", "--qty", "1.6531", "--price", "80.5", "--no-check"}).code,
              0);
  }
  CliResult Run(const std::vector<std::string>& words) { return CallCliOn(words, db); }

  TempFolder folder{"vl_cli_prices"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};  // 2024-12-04
};

}  // namespace

TEST_F(PriceCommands, APriceSetByHandGivesThePositionItsFiguresAndIsUndoneLikeAnyChange) {
  CliResult r = Run({"set-price", "fund1", "84.263700", "--date", "2024-12-01"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Run({"prices"}).out, "symbol\tdate\tprice\nFUND1\t2024-12-01\t84.2637\n");
  // Name, last trade and value (1.6531 x 84.2637 = 139.29632247) come from it.
  r = Run({"view", "Funds", "--columns", "0,1,3,9"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("FUND1\tPrice set by hand\t84.2637\t139.30"), std::string::npos) << r.out;

  ASSERT_EQ(Run({"set-price", "FUND1", "85"}).code, 0);  // today's, the newest
  EXPECT_EQ(Run({"prices", "fund1"}).out,
            "symbol\tdate\tprice\nFUND1\t2024-12-01\t84.2637\nFUND1\t2024-12-04\t85.00\n");
  r = Run({"remove-price", "FUND1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Run({"prices"}).out, "symbol\tdate\tprice\n");
  ASSERT_EQ(Run({"undo"}).code, 0);
  EXPECT_EQ(Run({"prices"}).out,
            "symbol\tdate\tprice\nFUND1\t2024-12-01\t84.2637\nFUND1\t2024-12-04\t85.00\n");
  EXPECT_NE(Run({"changes", "--limit", "2"}).out.find("Remove the prices of FUND1 set by hand"),
            std::string::npos);
}

TEST_F(PriceCommands, WhatCannotBeAPriceIsRefusedWithItsReasonAndChangesNothing) {
  const struct {
    std::vector<std::string> words;
    int code;
    std::string err;
  } cases[] = {
      {{"set-price", "FUND1", "84.2637001"},
       4,
       "set-price: PRICE: \"84.2637001\" has more decimals than Vellumar keeps: at most 6 decimal places\n"},
      {{"set-price", "FUND1", "0"}, 4, "set-price: PRICE must be an amount above 0, such as 12.34\n"},
      {{"set-price", "FUND1", "-2"}, 4, "set-price: PRICE must not be negative\n"},
      {{"set-price", "FUND1", "42949673"}, 4, "set-price: PRICE is too large: at most 42,949,672.95\n"},
      {{"set-price", "FUND1", "1", "--date", "2024-12-05"}, 4, "set-price: --date is later than today\n"},
      {{"set-price", "FUND1", "1", "--date", "1899-12-31"},
       4,
       "set-price: --date must lie between 1900-01-01 and today\n"},
      {{"set-price", "FUND1", "1", "--date", "12/01/2024"}, 2, ""},
      {{"set-price", "FUND 1", "1"}, 4, ""},
      {{"set-price", "FUND1"}, 2, ""},
      {{"remove-price", "FUND1"}, 5, "remove-price: no price of FUND1 was set by hand\n"},
  };
  for (const auto& c : cases) {
    const CliResult r = Run(c.words);
    SCOPED_TRACE(c.words[1] + " " + (c.words.size() > 2 ? c.words[2] : ""));
    EXPECT_EQ(r.code, c.code);
    if (!c.err.empty()) {
      EXPECT_EQ(r.err, "vellumar-cli " + c.err);
    } else {
      EXPECT_FALSE(r.err.empty());
    }
  }
  EXPECT_EQ(Run({"prices"}).out, "symbol\tdate\tprice\n");
  // The newest change is still the set-up's.
  EXPECT_NE(Run({"changes", "--limit", "1"}).out.find("Add position 1 (FUND1"), std::string::npos);
}
