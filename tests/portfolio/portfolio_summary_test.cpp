#include "portfolio/views/portfolio_summary.h"

#include <gtest/gtest.h>

#include "portfolio/columns/number_format.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/noon_utc.h"

namespace {

VLStockHoldingItem MakeStock(uint32_t id, uint32_t qty, uint32_t buy, const std::string& last,
                             const std::string& change) {
  VLStockHoldingItem s;
  s.id = id;
  s.name = "S" + std::to_string(id);
  s.qty = Shares(qty);
  s.buyPricePerShare = Cents(buy);
  s.quote.Edit().symbol = s.name;
  s.quote.Edit().exchange = "NYSE";
  s.quote.Edit().lastTrade = last;
  s.quote.Edit().change = change;
  return s;
}

class SummaryTest : public ::testing::Test {
 protected:
  SummaryTest() {
    held = MakeStock(1, 100, 1000, "12.00", "+0.50");
    held.marginable = true;
    held.mgnEquity = 50;
    held.mgnThreshold = 500;
    sold = MakeStock(2, 10, 2000, "30.00", "-1.00");
    sold.salePricePerShare = Cents(2500);
    sold.saleCommission = 1000;
    cash.id = 3;
    cash.amount = 50000;
    margin.id = 4;
    margin.amountOwed = 30000;
  }

  VLPortfolioSummary Run(bool heldView, const std::vector<uint32_t>* ids = nullptr) {
    return ComputePortfolioSummary({&held, &sold, &cash, &margin}, heldView, ids, NumberFormat::English());
  }

  VLStockHoldingItem held, sold;
  VLCashHoldingItem cash;
  VLMarginHoldingItem margin;
};

}  // namespace

// The totals name their currencies; more than one is said to be added up unconverted.
TEST_F(SummaryTest, MixedCurrenciesAreNamedForThePositionsCounted) {
  EXPECT_EQ(Run(true).currencies, std::vector<std::string>{"USD"});
  EXPECT_EQ(MixedCurrenciesText(Run(true)), "");
  sold.quote.Edit().exchange = "LSE";
  EXPECT_EQ(MixedCurrenciesText(Run(true)), "") << "the sold London position is not counted";
  EXPECT_EQ(Run(false).currencies, std::vector<std::string>{"GBp"});
  held.quote.Edit().exchange = "XETRA";
  const std::vector<uint32_t> both{1, 2};
  sold.salePricePerShare = Cents(0);  // held again: both count
  EXPECT_EQ(MixedCurrenciesText(Run(true, &both)), "EUR and GBp, not converted");
  VLPortfolioSummary three;
  three.currencies = {"EUR", "GBp", "USD"};
  EXPECT_EQ(MixedCurrenciesText(three), "EUR, GBp and USD, not converted");
}

TEST_F(SummaryTest, HeldViewTotalsStockCashAndMargin) {
  const VLPortfolioSummary s = Run(true);
  EXPECT_EQ(s.currentValue, "1,700.00");
  EXPECT_EQ(s.change, "50.00  (2.94%)");
  EXPECT_EQ(s.gain, "200.00  (13.33%)");
  EXPECT_EQ(s.equity, "1,400.00(82.35%)");
  EXPECT_EQ(s.marginableEquity, "600.00");
  EXPECT_EQ(s.marginOwed, "300.00");
  EXPECT_EQ(s.marginAvailable, "300.00");
}

TEST_F(SummaryTest, SoldViewCountsOnlySoldPositions) {
  const VLPortfolioSummary s = Run(false);
  EXPECT_EQ(s.netProceeds, "240.00");
  EXPECT_EQ(s.gain, "40.00  (20.00%)");
  EXPECT_EQ(s.postSaleGain, "60.00");
  EXPECT_EQ(s.marginOwed, "0.00");  // margin only counts in the held view
}

TEST_F(SummaryTest, IncomeTotalsAreGivenOnlyForAPortfolioWithIncome) {
  EXPECT_FALSE(Run(true).HasIncome());
  SummaryIncome income;
  income.year = 2026;
  const auto paid = [&](int year, int64_t gross, int64_t withholding) {
    VLIncomeItem& record = income.records.emplace_back();
    record.payDate = NoonUtc(year, 3, 31);
    record.gross = gross;
    record.withholding = withholding;
  };
  paid(2026, 3500, 500);
  paid(2025, 1000, 0);
  paid(2026, -250000, -50000);  // a reversal
  income.positionShares[1].net = 2500;
  income.positionShares[2].net = 1500;
  const auto run = [&](bool heldView, const std::vector<uint32_t>* ids = nullptr) {
    return ComputePortfolioSummary({&held, &sold, &cash, &margin}, heldView, ids, NumberFormat::English(),
                                   &income);
  };
  VLPortfolioSummary s = run(true);
  EXPECT_EQ(s.incomeThisYear, "-1,970.00");
  EXPECT_EQ(s.withholdingThisYear, "-495.00");
  EXPECT_EQ(s.incomeAll, "-1,960.00");
  EXPECT_EQ(s.totalReturn, "225.00");  // the gain 200.00 and the held position's 25.00
  EXPECT_EQ(s.gain, "200.00  (13.33%)");
  EXPECT_EQ(run(false).totalReturn, "55.00");  // the sale's 40.00 and its 15.00
  const std::vector<uint32_t> onlyCash{3};
  EXPECT_EQ(run(true, &onlyCash).totalReturn, "0.00");
  EXPECT_EQ(run(true, &onlyCash).incomeAll, "-1,960.00");  // the portfolio's, whatever is selected
  income.records.clear();
  EXPECT_FALSE(run(true).HasIncome());
}

TEST_F(SummaryTest, ASelectionRestrictsTheTotals) {
  const std::vector<uint32_t> onlyCash{3};
  const VLPortfolioSummary s = Run(true, &onlyCash);
  EXPECT_EQ(s.currentValue, "500.00");
  EXPECT_EQ(s.gain, "0.00");  // paid equals value
  EXPECT_EQ(s.change, "0.00  (0.00%)");
  EXPECT_EQ(s.equity, "500.00(100.00%)");
  const std::vector<uint32_t> none;
  const VLPortfolioSummary empty = Run(true, &none);
  EXPECT_EQ(empty.currentValue, "0.00");
  EXPECT_EQ(empty.change, "0.00");  // no percentage without a value
  EXPECT_EQ(empty.equity, "0.00");
}

TEST_F(SummaryTest, DebtAboveValueLeavesTheCashAsEquityAndNothingAvailable) {
  margin.amountOwed = 500000;
  held.quote.Edit().change = "-2.00";
  const VLPortfolioSummary s = Run(true);
  EXPECT_EQ(s.equity, "500.00(29.41%)");
  EXPECT_EQ(s.marginAvailable, "0.00");
  EXPECT_EQ(s.marginOwed, "5,000.00");
  EXPECT_EQ(s.change, "-200.00  (-11.76%)");
}

TEST_F(SummaryTest, MarginableEquityNeedsThePriceAtTheThreshold) {
  held.mgnThreshold = 1201;  // last trade 12.00 is below
  EXPECT_EQ(Run(true).marginableEquity, "0.00");
  held.mgnThreshold = 1200;
  EXPECT_EQ(Run(true).marginableEquity, "600.00");
  held.marginable = false;
  EXPECT_EQ(Run(true).marginableEquity, "0.00");
}
