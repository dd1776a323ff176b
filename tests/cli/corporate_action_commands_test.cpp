// vellumar-cli split, rename-symbol and corporate-actions, run in-process over a database in a temporary
// folder.
#include <gtest/gtest.h>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"

namespace {

class CorporateActionCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init"}).code, 0);
    ASSERT_EQ(Run({"add-portfolio", "Retirement"}).code, 0);
    ASSERT_EQ(Run({"add-stock", "Retirement", "MSFT", "--qty", "100", "--price", "301", "--commission",
                   "9.95", "--date", "2024-01-10", "--no-check"})
                  .code,
              0);
    ASSERT_EQ(
        Run({"sell", "1", "--qty", "40", "--price", "320", "--commission", "4.95", "--date", "2024-03-01"})
            .code,
        0);
  }
  CliResult Run(const std::vector<std::string>& words) { return CallCliOn(words, db); }

  TempFolder folder{"vl_cli_actions"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};  // 2024-12-04
};

const char* const kSplitHeader =
    "portfolio\tposition\tpurchased\tqty-before\tqty-after\tprice-before\tprice-after\tcash-in-lieu-qty\t"
    "total-paid\n";

}  // namespace

TEST_F(CorporateActionCommands, ASplitIsShownFirstThenAppliedOnceAndUndoneLikeAnyChange) {
  const std::string row = "Retirement\t2\t2024-01-10\t60\t180\t301.00\t100.333333\t0\t18065.97\n";
  CliResult r = Run({"split", "msft", "3:1", "--date", "2024-06-10", "--dry-run"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kSplitHeader + row);
  EXPECT_EQ(Run({"corporate-actions"}).out,
            "symbol\tdate\taction\tratio\tnew-symbol\tcash-in-lieu\tcomment\n");

  r = Run({"split", "MSFT", "3:1", "--date", "2024-06-10", "--comment", "three for one"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kSplitHeader + row);
  r = Run({"split", "MSFT", "3:1", "--date", "2024-06-10"});
  EXPECT_EQ(r.code, 5);
  EXPECT_EQ(r.err, "vellumar-cli split: a split of MSFT on 2024-06-10 is recorded already\n");
  EXPECT_EQ(Run({"corporate-actions", "msft"}).out,
            "symbol\tdate\taction\tratio\tnew-symbol\tcash-in-lieu\tcomment\n"
            "MSFT\t2024-06-10\tsplit\t3:1\t\t\tthree for one\n");

  ASSERT_EQ(Run({"undo"}).code, 0);
  EXPECT_EQ(Run({"corporate-actions"}).out,
            "symbol\tdate\taction\tratio\tnew-symbol\tcash-in-lieu\tcomment\n");
  EXPECT_NE(Run({"positions", "Retirement"}).out.find("\tMSFT\theld\t60\t18065.97\t"), std::string::npos);
}

TEST_F(CorporateActionCommands, AReverseSplitNeedsCashInLieuAndWhatMakesNoSenseIsRefused) {
  CliResult r = Run({"split", "MSFT", "1:7", "--date", "2024-06-10"});
  EXPECT_EQ(r.code, 5);
  EXPECT_NE(r.err.find("position 2 in Retirement would hold a fraction of a share"), std::string::npos)
      << r.err;
  r = Run({"split", "MSFT", "1:7", "--date", "2024-06-10", "--cash-in-lieu", "2100", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\"qty-after\":\"8\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"cash-in-lieu-qty\":\"0.57142857\""), std::string::npos) << r.out;

  const struct {
    std::vector<std::string> words;
    int code;
    std::string err;
  } cases[] = {
      {{"split", "MSFT", "3:1"}, 2, "split: give the day it took effect with --date YYYY-MM-DD\n"},
      {{"split", "MSFT", "3-1", "--date", "2024-06-10"},
       4,
       "split: N:D: give the new shares for the old in whole numbers, such as 3:1 or 1:10\n"},
      {{"split", "MSFT", "2:1", "--date", "2030-01-02"}, 4, "split: --date is later than today\n"},
      {{"split", "MSFT", "2:1", "--date", "2024-06-11", "--cash-in-lieu", "-1"},
       4,
       "split: --cash-in-lieu must not be negative\n"},
      {{"rename-symbol", "MSFT", "msft", "--date", "2024-06-10"},
       4,
       "rename-symbol: NEW must differ from OLD\n"},
  };
  for (const auto& c : cases) {
    r = Run(c.words);
    EXPECT_EQ(r.code, c.code) << c.words[0];
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), "vellumar-cli " + c.err);  // then the usage, if any
  }
}

TEST_F(CorporateActionCommands, ASymbolChangeMovesEveryPositionAndIsListedUnderBothSymbols) {
  CliResult r = Run({"rename-symbol", "MSFT", "MSFX", "--date", "2024-08-01"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "symbol\tnew-symbol\tdate\tpositions\nMSFT\tMSFX\t2024-08-01\t2\n");
  EXPECT_EQ(Run({"corporate-actions", "MSFX"}).out,
            "symbol\tdate\taction\tratio\tnew-symbol\tcash-in-lieu\tcomment\n"
            "MSFT\t2024-08-01\tsymbol-change\t\tMSFX\t\t\n");
  EXPECT_EQ(Run({"positions", "Retirement"}).out.find("\tMSFT\t"), std::string::npos);
  r = Run({"rename-symbol", "NONE", "OTHER", "--date", "2024-08-01"});
  ASSERT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "vellumar-cli rename-symbol: warning: no position holds NONE\n");
}
