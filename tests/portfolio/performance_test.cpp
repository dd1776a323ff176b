// The performance figures on small portfolios worked out by hand from the definitions (README, "Portfolio
// performance"). Amounts are in cents; the expected rates are the hand-computed ratios, written out.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "portfolio/performance/history_close_source.h"
#include "portfolio/performance/irr_solver.h"
#include "portfolio/performance/performance_calculator.h"
#include "portfolio/performance/performance_run.h"
#include "portfolio/performance/performance_texts.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/noon_utc.h"

namespace {

int64_t Day(int year, int month, int day) {
  return NoonUtc(year, month, day) / 86400;
}

PerformanceLot Bought(const std::string& symbol, int64_t qty, int64_t priceCents, int64_t commissionCents,
                      int64_t day) {
  PerformanceLot lot;
  lot.symbol = symbol;
  lot.qty = qty;
  lot.buyPriceCents = priceCents;
  lot.buyCommissionCents = commissionCents;
  lot.purchaseDay = day;
  return lot;
}

PerformanceLot Sold(PerformanceLot lot, int64_t priceCents, int64_t commissionCents, int64_t day) {
  lot.sold = true;
  lot.salePriceCents = priceCents;
  lot.saleCommissionCents = commissionCents;
  lot.saleDay = day;
  return lot;
}

void ExpectRate(const std::optional<double>& actual, double expected) {
  ASSERT_TRUE(actual.has_value());
  EXPECT_NEAR(*actual, expected, 1e-7 * std::max(1.0, std::fabs(expected)));
}

void ExpectSeries(const PerformanceFigures& f, const std::vector<PerformancePoint>& expected) {
  ASSERT_EQ(f.series.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(f.series[i].day, expected[i].day) << "point " << i;
    EXPECT_EQ(f.series[i].valueCents, expected[i].valueCents) << "point " << i;
    EXPECT_EQ(f.series[i].investedCents, expected[i].investedCents) << "point " << i;
  }
}

PerformanceFigures Figures(const std::vector<PerformanceLot>& lots, const PerformanceSpan& span,
                           const CloseTable& closes) {
  const PerformanceOutcome outcome = ComputePerformance(lots, span, closes);
  EXPECT_EQ(outcome.status, PerformanceStatus::Ok) << outcome.symbol;
  return outcome.figures;
}

const int64_t kJan6 = Day(2025, 1, 6), kJul7 = Day(2025, 7, 7), kNextJan6 = Day(2026, 1, 6);

}  // namespace

TEST(Performance, ASingleBuyHeldForAYear) {
  // 10 at 100.00 + 10.00 commission; the close goes from 100.00 to 121.00 in 365 days.
  const auto f = Figures({Bought("AAA", 10, 10000, 1000, kJan6)}, {std::nullopt, kNextJan6},
                         {{"AAA", {{kJan6, 10000}, {kNextJan6, 12100}}}});
  // 1000/1010 on the day of the purchase, then 1210/1000.
  ExpectRate(f.ttwror, 1210.0 / 1010 - 1);  // 19.80%
  ExpectRate(f.ttwrorAnnualized, 0.198019802);
  ExpectRate(f.irr, 0.198019802);  // -1010 now, +1210 a year later
  EXPECT_EQ(f.fromDay, kJan6);
  ExpectSeries(f, {{kJan6, 100000, 101000}, {kNextJan6, 121000, 101000}});
  EXPECT_TRUE(f.realizedGains.empty());
}

TEST(Performance, ABuyAndASaleInTheSpan) {
  // Sold 182 days later at 130.00 - 10.00 commission: 1290.00 out; the close then rises to 150.00 unheld.
  const auto f =
      Figures({Sold(Bought("AAA", 10, 10000, 1000, kJan6), 13000, 1000, kJul7)}, {std::nullopt, kNextJan6},
              {{"AAA", {{kJan6, 10000}, {kJul7, 13000}, {kNextJan6, 15000}}}});
  // 1000/1010, (0 + 1290)/1000, then 0/0 counts as 1.
  ExpectRate(f.ttwror, 0.277227723);
  ExpectRate(f.ttwrorAnnualized, 0.277227723);  // 365 days
  ExpectRate(f.irr, 0.633505364);               // (1290/1010)^(365/182) - 1
  ExpectSeries(f, {{kJan6, 100000, 101000}, {kJul7, 0, 0}, {kNextJan6, 0, 0}});
  ASSERT_EQ(f.realizedGains.size(), 1u);
  EXPECT_EQ(f.realizedGains[0].year, 2025);
  EXPECT_EQ(f.realizedGains[0].gainCents, 28000);  // 1290.00 - 1010.00
}

TEST(Performance, TwoLotsBoughtOnDifferentDays) {
  const auto f =
      Figures({Bought("AAA", 10, 10000, 0, kJan6), Bought("AAA", 5, 12000, 0, kJul7)},
              {std::nullopt, kNextJan6}, {{"AAA", {{kJan6, 10000}, {kJul7, 12000}, {kNextJan6, 13000}}}});
  // 1000/1000; 1800/(1000 + 600); 1950/1800.
  ExpectRate(f.ttwror, 0.21875);
  ExpectRate(f.irr, 0.272851832);  // -1000, -600 at day 182, +1950 at day 365
  ExpectSeries(f, {{kJan6, 100000, 100000}, {kJul7, 180000, 160000}, {kNextJan6, 195000, 160000}});
}

TEST(Performance, APurchaseOnADayWithoutACloseCountsOnTheNextValuationDay) {
  // AAA bought on Saturday 4 January; BBB has no close on Monday 6 January and keeps Friday's.
  const int64_t fri = Day(2025, 1, 3), sat = Day(2025, 1, 4), mon = Day(2025, 1, 6), tue = Day(2025, 1, 7);
  const auto f =
      Figures({Bought("AAA", 10, 10000, 0, sat), Bought("BBB", 1, 5000, 0, fri)}, {std::nullopt, tue},
              {{"AAA", {{fri, 9800}, {mon, 10100}}}, {"BBB", {{fri, 5000}, {tue, 5500}}}});
  // Friday 50/50; Monday (1010 + 50)/(50 + 1000); Tuesday (1010 + 55)/1060.
  ExpectRate(f.ttwror, 1065.0 / 1050 - 1);      // 1.43%
  ExpectRate(f.ttwrorAnnualized, 2.648616093);  // over the 4 days from Friday
  ExpectRate(f.irr, 4.467233694);               // -50 Friday, -1000 Saturday, +1065 Tuesday
  ExpectSeries(f, {{fri, 5000, 5000}, {mon, 106000, 105000}, {tue, 106500, 105000}});
}

TEST(Performance, ASpanStartingAfterTheFirstPurchaseOpensWithTheValueBeforeIt) {
  // From Sunday 12 January: Friday's value of the two lots held then, 15 x 115.00, is the opening flow. The
  // lot bought on the Saturday between is a flow of the span (on Monday), and the second lot is sold on
  // Monday at 125.00.
  const int64_t sat = Day(2025, 1, 11), from = Day(2025, 1, 12), mon = Day(2025, 1, 13),
                tue = Day(2025, 1, 14);
  const auto f = Figures(
      {Bought("AAA", 10, 10000, 0, kJan6), Sold(Bought("AAA", 5, 11000, 0, Day(2025, 1, 8)), 12500, 0, mon),
       Bought("AAA", 2, 11600, 0, sat)},
      {from, tue},
      {{"AAA",
        {{kJan6, 10000},
         {Day(2025, 1, 7), 10500},
         {Day(2025, 1, 8), 11000},
         {Day(2025, 1, 9), 11200},
         {Day(2025, 1, 10), 11500},
         {mon, 12000},
         {tue, 11800}}}});
  EXPECT_EQ(f.fromDay, from);
  EXPECT_EQ(f.openingValueCents, 172500);
  // (1440 + 625)/(1725 + 232), then 1416/1440.
  ExpectRate(f.ttwror, 0.037600068);
  ExpectRate(f.ttwrorAnnualized, 709490.066453958);  // one calendar day from Monday to TO
  ExpectRate(f.irr, 72.067242820);  // -1725 Friday, -232 Saturday, +625 Monday, +1416 Tuesday
  ExpectSeries(f, {{mon, 144000, 123200}, {tue, 141600, 123200}});
  ASSERT_EQ(f.realizedGains.size(), 1u);
  EXPECT_EQ(f.realizedGains[0].gainCents, 7500);  // 625.00 - 550.00
}

// A stock position as the database hands it out; dates are noon UTC of the day, 0 for none.
std::unique_ptr<VLStockHoldingItem> Position(const std::string& symbol, int64_t purchaseDate,
                                             uint32_t salePrice = 0, int64_t saleDate = 0) {
  auto stock = std::make_unique<VLStockHoldingItem>();
  stock->name = symbol;
  stock->qty = 3;
  stock->buyPricePerShare = 4500;
  stock->buyCommission = 995;
  stock->purchaseDate = purchaseDate;
  stock->salePricePerShare = salePrice;
  stock->saleCommission = salePrice ? 500 : 0;
  stock->saleDate = saleDate;
  return stock;
}

TEST(Performance, APortfolioWithoutADatedPositionHasNoFigures) {
  VLHoldingItemList positions;
  positions.InsertAt(0, Position("AAA", 0));
  positions.InsertAt(1, Position("BBB", NoonUtc(2025, 1, 6), 5000));  // sold, but when is not known
  positions.InsertAt(2, std::make_unique<VLCashHoldingItem>());
  positions.InsertAt(3, std::make_unique<VLMarginHoldingItem>());
  PerformanceLots lots;
  CollectLots(positions, &lots);
  EXPECT_TRUE(lots.lots.empty());
  EXPECT_EQ(lots.skipped, 2);
  EXPECT_EQ(lots.cashAndMargin, 2);
  const auto f = Figures(lots.lots, {std::nullopt, kNextJan6}, {});
  EXPECT_FALSE(f.fromDay.has_value());
  EXPECT_FALSE(f.ttwror.has_value());
  EXPECT_FALSE(f.irr.has_value());
  EXPECT_TRUE(f.series.empty());

  // Dated ones become lots by their calendar days, with the currencies of their exchanges.
  positions.InsertAt(4, Position("BHP.AX", NoonUtc(2025, 1, 6), 5000, NoonUtc(2025, 7, 7)));
  positions.InsertAt(5, Position("MSFT", NoonUtc(2025, 1, 6)));
  lots = {};
  CollectLots(positions, &lots);
  ASSERT_EQ(lots.lots.size(), 2u);
  const PerformanceLot& lot = lots.lots[0];
  EXPECT_EQ(lot.purchaseDay, kJan6);
  EXPECT_EQ(lot.saleDay, kJul7);
  EXPECT_TRUE(lot.sold);
  EXPECT_EQ(lot.TotalPaidCents(), 3 * 4500 + 995);
  EXPECT_EQ(lot.SaleValueCents(), 3 * 5000 - 500);
  EXPECT_EQ(lots.currencies, (std::vector<std::string>{"AUD", "USD"}));
}

TEST(Performance, SpansAndGainsFollowTheDatesGiven) {
  // Two sales in two years; a span ending between them counts the first only, and a lot bought after TO
  // takes no part at all.
  const int64_t sale2026 = Day(2026, 3, 2);
  const std::vector<PerformanceLot> lots = {Sold(Bought("AAA", 10, 10000, 0, kJan6), 11000, 0, kJul7),
                                            Sold(Bought("AAA", 10, 10000, 0, kJan6), 9000, 0, sale2026),
                                            Bought("ZZZ", 1, 100, 0, Day(2026, 6, 1))};
  const CloseTable closes = {{"AAA", {{kJan6, 10000}, {kJul7, 11000}, {sale2026, 9000}}}};
  const auto whole = Figures(lots, {std::nullopt, Day(2026, 5, 1)}, closes);
  ASSERT_EQ(whole.realizedGains.size(), 2u);
  EXPECT_EQ(whole.realizedGains[0].year, 2025);
  EXPECT_EQ(whole.realizedGains[0].gainCents, 10000);
  EXPECT_EQ(whole.realizedGains[1].year, 2026);
  EXPECT_EQ(whole.realizedGains[1].gainCents, -10000);
  const auto first = Figures(lots, {std::nullopt, Day(2025, 12, 31)}, closes);
  ASSERT_EQ(first.realizedGains.size(), 1u);
  EXPECT_EQ(first.finalValueCents, 110000);  // the second lot at July's close
  // From after the first sale: only the second sale is realized within the span.
  const auto later = Figures(lots, {Day(2025, 8, 1), Day(2026, 5, 1)}, closes);
  ASSERT_EQ(later.realizedGains.size(), 1u);
  EXPECT_EQ(later.realizedGains[0].year, 2026);
  EXPECT_EQ(later.openingValueCents, 110000);
}

TEST(Performance, AHeldSymbolWithoutAnEarlierCloseIsRefusedByName) {
  const PerformanceOutcome outcome =
      ComputePerformance({Bought("AAA", 10, 10000, 0, kJan6), Bought("NEW", 1, 100, 0, kJan6)},
                         {std::nullopt, kJul7}, {{"AAA", {{kJan6, 10000}}}, {"NEW", {{kJul7, 200}}}});
  EXPECT_EQ(outcome.status, PerformanceStatus::NoClose);
  EXPECT_EQ(outcome.symbol, "NEW");
  EXPECT_EQ(outcome.day, kJan6);
}

TEST(Performance, SumsBeyondSixtyFourBitsAreRefused) {
  const PerformanceOutcome outcome = ComputePerformance({Bought("AAA", 4000000000, 4000000000, 0, kJan6)},
                                                        {std::nullopt, kJul7}, {{"AAA", {{kJan6, 10000}}}});
  EXPECT_EQ(outcome.status, PerformanceStatus::TooLarge);
}

TEST(Performance, RatesBeyondAMillionTimesTheMoneyAreNoneAndOthersArePrintedInFull) {
  // Doubled in three days: (2)^(365/3) - 1 is about 4e36 annualized, which says nothing.
  const int64_t kJan9 = Day(2025, 1, 9);
  const auto f = Figures({Bought("AAA", 10, 10000, 0, kJan6)}, {std::nullopt, kJan9},
                         {{"AAA", {{kJan6, 10000}, {kJan9, 20000}}}});
  ExpectRate(f.ttwror, 1.0);
  EXPECT_FALSE(f.ttwrorAnnualized.has_value());
  EXPECT_FALSE(f.irr.has_value());
  EXPECT_EQ(RateText(f.ttwrorAnnualized), "n/a");
  // Within the range nothing is cut: the longest rate kept has all its digits and its sign.
  EXPECT_EQ(RateText(999999.99), "99999999.00%");
  EXPECT_EQ(RateText(-0.00001), "0.00%");
}
