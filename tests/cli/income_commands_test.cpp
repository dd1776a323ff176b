// vellumar-cli add-income, income, modify-income and delete-income, run in-process over a database in a
// temporary folder.
#include <gtest/gtest.h>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"

namespace {

class IncomeCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init"}).code, 0);
    ASSERT_EQ(Run({"add-portfolio", "Dividends"}).code, 0);
    ASSERT_EQ(Run({"add-stock", "Dividends", "KO", "--qty", "100", "--price", "60", "--commission", "5",
                   "--date", "2025-01-02", "--no-check"})
                  .code,
              0);
  }
  CliResult Run(const std::vector<std::string>& words) { return CallCliOn(words, db); }

  TempFolder folder{"vl_cli_income"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1767225600)};  // 2026-01-01
};

const char* const kHeader =
    "id\tportfolio\tsymbol\tkind\tpay-date\tex-"
    "date\tshares\tgross\twithholding\tfees\tnet\tcurrency\tcomment\n";

TEST_F(IncomeCommands, APaymentIsAddedListedChangedAndDeletedEachAnUndoableChange) {
  CliResult r = Run({"add-income", "dividends", "ko", "--gross", "50", "--withholding", "7.50", "--pay-date",
                     "2025-04-01", "--ex-date", "2025-03-14", "--shares", "100", "--comment", "Q1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "id\tnet\n1\t42.50\n");
  EXPECT_EQ(r.err, "");
  // Kept, with a warning, for a symbol the portfolio did not hold then.
  r = Run({"add-income", "Dividends", "PEP", "--gross", "-10", "--pay-date", "2024-12-02", "--kind",
           "Capital-Gain"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("warning: Dividends held no PEP bought before 2024-12-02"), std::string::npos)
      << r.err;
  EXPECT_EQ(Run({"income"}).out,
            std::string(kHeader) +
                "1\tDividends\tKO\tdividend\t2025-04-01\t2025-03-14\t100\t50.00\t7.50\t0.00\t42.50\t\tQ1\n"
                "2\tDividends\tPEP\tcapital-gain\t2024-12-02\t\t\t-10.00\t0.00\t0.00\t-10.00\t\t\n");
  EXPECT_EQ(Run({"income", "Dividends", "--year", "2024"}).out,
            std::string(kHeader) +
                "2\tDividends\tPEP\tcapital-gain\t2024-12-02\t\t\t-10.00\t0.00\t0.00\t-10.00\t\t\n");
  // A change keeps what it does not name; --ex-date - forgets the ex-date.
  ASSERT_EQ(Run({"modify-income", "1", "--fees", "1", "--ex-date", "-"}).code, 0);
  EXPECT_EQ(Run({"income", "--year", "2025"}).out,
            std::string(kHeader) +
                "1\tDividends\tKO\tdividend\t2025-04-01\t\t100\t50.00\t7.50\t1.00\t41.50\t\tQ1\n");
  ASSERT_EQ(Run({"delete-income", "2"}).code, 0);
  ASSERT_EQ(Run({"undo"}).code, 0);
  ASSERT_EQ(Run({"undo"}).code, 0);
  EXPECT_EQ(Run({"income", "--year", "2025"}).out,
            std::string(kHeader) +
                "1\tDividends\tKO\tdividend\t2025-04-01\t2025-03-14\t100\t50.00\t7.50\t0.00\t42.50\t\tQ1\n");
}

TEST_F(IncomeCommands, AReinvestedDividendBuysItsSharesInTheSameChange) {
  CliResult r = Run({"add-income", "Dividends", "KO", "--gross", "50", "--withholding", "7.50", "--pay-date",
                     "2025-04-01", "--reinvest-qty", "0.7203", "--reinvest-price", "59",
                     "--reinvest-commission", "0.01"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "id\tnet\tposition\n1\t42.50\t2\n");
  r = Run({"positions", "Dividends"});
  EXPECT_NE(r.out.find("\n2\tDividends\tstock\tKO\theld\t0.7203\t42.51\t2025-04-01\t"), std::string::npos)
      << r.out;
  EXPECT_NE(Run({"changes", "--limit", "1"}).out.find("reinvested in 0.7203 KO"), std::string::npos);
  // One undo takes the record and the purchase.
  ASSERT_EQ(Run({"undo"}).code, 0);
  EXPECT_EQ(Run({"income"}).out, kHeader);
  EXPECT_EQ(Run({"positions", "Dividends"}).out.find("\n2\t"), std::string::npos);
  // Both amounts of the purchase are asked for, and checked as a purchase is.
  r = Run(
      {"add-income", "Dividends", "KO", "--gross", "50", "--pay-date", "2025-04-01", "--reinvest-qty", "1"});
  EXPECT_EQ(r.code, 2);
  r = Run({"add-income", "Dividends", "KO", "--gross", "50", "--pay-date", "2025-04-01", "--reinvest-qty",
           "-1", "--reinvest-price", "59"});
  EXPECT_EQ(r.code, 4) << r.err;
  EXPECT_EQ(Run({"income"}).out, kHeader);
}

TEST_F(IncomeCommands, TheSummaryAddsIncomeTotalsOnlyOnceThereIsIncome) {
  const std::string before = Run({"summary", "Dividends"}).out;
  EXPECT_EQ(before.find("income"), std::string::npos);
  ASSERT_EQ(Run({"add-income", "Dividends", "KO", "--gross", "50", "--withholding", "7.50", "--pay-date",
                 "2025-04-01"})
                .code,
            0);
  ASSERT_EQ(Run({"add-income", "Dividends", "KO", "--gross", "20", "--withholding", "3", "--pay-date",
                 "2026-01-01"})
                .code,
            0);
  const CliResult r = Run({"summary", "Dividends", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  // Today is 2026-01-01; the position was never quoted, so its gain is -6,005.00 (all it paid).
  for (const char* total : {"\"incomeThisYear\":\"17.00\"", "\"incomeAll\":\"59.50\"",
                            "\"withholdingThisYear\":\"3.00\"", "\"totalReturn\":\"-5,945.50\""}) {
    EXPECT_NE(r.out.find(total), std::string::npos) << total << "\n" << r.out;
  }
}

TEST_F(IncomeCommands, WhatMakesNoSenseIsRefusedAndNothingChanges) {
  struct Case {
    std::vector<std::string> words;
    int code;
    const char* error;
  };
  const Case cases[] = {
      {{"add-income", "Dividends", "KO", "--gross", "10", "--withholding", "8", "--fees", "3", "--pay-date",
        "2025-04-01"},
       4,
       "--withholding and --fees together must not be more than --gross"},
      {{"add-income", "Dividends", "KO", "--gross", "0", "--pay-date", "2025-04-01"},
       4,
       "--gross must be an amount other than 0"},
      {{"add-income", "Dividends", "KO", "--gross", "5", "--pay-date", "2026-02-01"},
       4,
       "--pay-date is later than today"},
      {{"add-income", "Dividends", "KO", "--gross", "5", "--pay-date", "2025-04-01", "--ex-date",
        "2025-04-02"},
       4,
       "--pay-date must not be before --ex-date"},
      {{"add-income", "Dividends", "KO", "--gross", "5", "--pay-date", "2025-04-01", "--kind", "bonus"},
       4,
       "--kind: \"bonus\" is not a kind of income"},
      {{"add-income", "Nowhere", "KO", "--gross", "5", "--pay-date", "2025-04-01"}, 5, "no portfolio"},
      {{"add-income", "Dividends", "KO", "--gross", "5"}, 2, "--pay-date"},
      {{"modify-income", "7", "--gross", "5"}, 5, "there is no income record 7"},
  };
  for (const Case& c : cases) {
    const CliResult r = Run(c.words);
    EXPECT_EQ(r.code, c.code) << c.words[0] << " " << r.err;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
  }
  EXPECT_EQ(Run({"income"}).out, kHeader);
}

}  // namespace
