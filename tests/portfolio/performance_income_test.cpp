// Income in the performance figures: net payments flow out on their pay day, a reinvested payment only
// lowers what its purchase puts in, and the price-only rate ignores both. Expected rates are worked by hand
// from the definitions (README, "Portfolio performance").
#include <gtest/gtest.h>

#include <cmath>

#include "portfolio/performance/performance_calculator.h"
#include "portfolio/performance/performance_lots.h"
#include "portfolio/records/vl_income_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/noon_utc.h"

namespace {

int64_t Day(int year, int month, int day) {
  return NoonUtc(year, month, day) / 86400;
}

PerformanceLot Bought(uint32_t id, int64_t qty, int64_t priceCents, int64_t commissionCents, int64_t day) {
  PerformanceLot lot;
  lot.positionId = id;
  lot.symbol = "KO";
  lot.qty = Shares(qty);
  lot.buyPrice = Cents(priceCents);
  lot.buyCommissionCents = commissionCents;
  lot.purchaseDay = day;
  return lot;
}

PerformanceIncome Paid(int64_t day, int64_t gross, int64_t withholding = 0, uint32_t reinvestedIn = 0) {
  PerformanceIncome income;
  income.payDay = day;
  income.grossCents = gross;
  income.withholdingCents = withholding;
  income.reinvestPositionId = reinvestedIn;
  return income;
}

void ExpectRate(const std::optional<double>& actual, double expected, double tolerance = 1e-7) {
  ASSERT_TRUE(actual.has_value());
  EXPECT_NEAR(*actual, expected, tolerance);
}

PerformanceFigures Figures(const std::vector<PerformanceLot>& lots, const PerformanceSpan& span,
                           const CloseTable& closes, const std::vector<PerformanceIncome>& incomes) {
  const PerformanceOutcome outcome = ComputePerformance(lots, span, closes, incomes);
  EXPECT_EQ(outcome.status, PerformanceStatus::Ok) << outcome.symbol;
  return outcome.figures;
}

const int64_t kJan2 = Day(2025, 1, 2), kMar14 = Day(2025, 3, 14), kApr1 = Day(2025, 4, 1),
              kJun30 = Day(2025, 6, 30), kDec31 = Day(2025, 12, 31);
const CloseTable kKoCloses = {
    {"KO", {{kJan2, 6000}, {kMar14, 5800}, {kApr1, 5900}, {kJun30, 6200}, {kDec31, 6400}}}};

}  // namespace

TEST(PerformanceIncome, TheKoDividendCountsInTheTotalReturnAndNotInThePriceReturn) {
  const std::vector<PerformanceLot> lots = {Bought(1, 100, 6000, 500, kJan2)};
  const auto f = Figures(lots, {std::nullopt, kDec31}, kKoCloses, {Paid(kApr1, 5000, 750)});
  // 6000/6005, 5800/6000, (5900 + 42.50)/5800, 6200/5900, 6400/6200.
  ExpectRate(f.ttwror, 0.073456, 5e-7);
  ExpectRate(f.ttwrorAnnualized, 0.0739, 5e-5);  // 363 days
  ExpectRate(f.ttwrorPrice, 6400.0 / 6005 - 1);  // 6.5779%
  ExpectRate(f.irr, 0.07366, 5e-6);              // -6005, +42.50 on 1 April, +6400
  ASSERT_EQ(f.income.size(), 1u);
  EXPECT_EQ(f.income[0].year, 2025);
  EXPECT_EQ(f.income[0].grossCents, 5000);
  EXPECT_EQ(f.income[0].withholdingCents, 750);
  EXPECT_EQ(f.income[0].netCents, 4250);

  const auto without = Figures(lots, {std::nullopt, kDec31}, kKoCloses, {});
  ExpectRate(without.irr, 0.06615, 5e-6);
  ExpectRate(without.ttwror, *f.ttwrorPrice);
  EXPECT_TRUE(without.income.empty());
}

TEST(PerformanceIncome, OnlyPaymentsWithinTheSpanCount) {
  // From 1 May the April dividend lies inside the opening value; a payment after TO is not yet paid.
  const std::vector<PerformanceLot> lots = {Bought(1, 100, 6000, 500, kJan2)};
  const auto f = Figures(lots, {Day(2025, 5, 1), kJun30}, kKoCloses,
                         {Paid(kApr1, 5000, 750), Paid(Day(2025, 7, 1), 5000)});
  EXPECT_EQ(f.openingValueCents, 590000);
  ExpectRate(f.ttwror, 6200.0 / 5900 - 1);
  ExpectRate(f.ttwrorPrice, 6200.0 / 5900 - 1);
  EXPECT_TRUE(f.income.empty());
}

TEST(PerformanceIncome, AReinvestedPaymentIsNotMoneyPutIn) {
  // 100 at 10.00; a year later a dividend of net 20.00 buys 2 more at 10.00, the close still 10.00.
  const int64_t d1 = Day(2024, 1, 2), d2 = Day(2025, 1, 1);
  const CloseTable closes = {{"KO", {{d1, 1000}, {d2, 1000}}}};
  const auto exact = Figures({Bought(1, 100, 1000, 0, d1), Bought(2, 2, 1000, 0, d2)}, {std::nullopt, d2},
                             closes, {Paid(d2, 2000, 0, 2)});
  ExpectRate(exact.ttwror, 0.02);      // 1020/1000: the new shares were paid by the portfolio itself
  ExpectRate(exact.irr, 0.02);         // -1000, +1020 after 365 days
  ExpectRate(exact.ttwrorPrice, 0.0);  // 1020/(1000 + 20): today's figure, the purchase as money put in
  EXPECT_EQ(exact.income.at(0).netCents, 2000);

  // A commission of 1.00 on the purchase is money put in; cash beyond what the shares cost is taken out.
  const auto topped = Figures({Bought(1, 100, 1000, 0, d1), Bought(2, 2, 1000, 100, d2)}, {std::nullopt, d2},
                              closes, {Paid(d2, 2000, 0, 2)});
  ExpectRate(topped.ttwror, 1020.0 / 1001 - 1);
  const auto leftOver = Figures({Bought(1, 100, 1000, 0, d1), Bought(2, 2, 1000, 0, d2)}, {std::nullopt, d2},
                                closes, {Paid(d2, 2500, 0, 2)});
  ExpectRate(leftOver.ttwror, 1025.0 / 1000 - 1);
  ExpectRate(leftOver.irr, 0.025);

  // A payment naming a position that takes no part counts as income taken out.
  const auto unlinked =
      Figures({Bought(1, 100, 1000, 0, d1)}, {std::nullopt, d2}, closes, {Paid(d2, 2000, 0, 9)});
  ExpectRate(unlinked.ttwror, 1020.0 / 1000 - 1);
}

TEST(PerformanceIncome, AReversedPaymentTakesItsIncomeBack) {
  // A dividend of 50.00 paid on 1 April and reversed on 30 June: the income of the year is 0.
  const std::vector<PerformanceLot> lots = {Bought(1, 100, 6000, 500, kJan2)};
  const auto f = Figures(lots, {std::nullopt, kDec31}, kKoCloses, {Paid(kApr1, 5000), Paid(kJun30, -5000)});
  // 6000/6005, 5800/6000, 5950/5800, (6200 - 50)/5900, 6400/6200.
  ExpectRate(f.ttwror, 5950.0 / 6005 * 6150.0 / 5900 * 6400.0 / 6200 - 1);
  ExpectRate(f.ttwrorPrice, 6400.0 / 6005 - 1);
  ASSERT_EQ(f.income.size(), 1u);
  EXPECT_EQ(f.income[0].grossCents, 0);
  EXPECT_EQ(f.income[0].netCents, 0);
}

TEST(PerformanceIncome, StoredRecordsBecomePaymentsByPayDay) {
  VLIncomeItem later, earlier;
  later.payDate = NoonUtc(2025, 6, 30);
  later.gross = 300;
  later.fees = 10;
  later.reinvestPositionId = 4;
  earlier.payDate = NoonUtc(2025, 3, 31);
  earlier.gross = 100;
  earlier.withholding = 15;
  PerformanceLots lots;
  AddIncome({later, earlier}, &lots);
  ASSERT_EQ(lots.incomes.size(), 2u);
  EXPECT_EQ(lots.incomes[0].payDay, Day(2025, 3, 31));
  EXPECT_EQ(lots.incomes[0].NetCents(), 85);
  EXPECT_EQ(lots.incomes[1].NetCents(), 290);
  EXPECT_EQ(lots.incomes[1].reinvestPositionId, 4u);
}
