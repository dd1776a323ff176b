// The performance figures in a base currency: every amount at the rate of its day, worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "portfolio/fx/fx_rate.h"
#include "portfolio/fx/fx_rate_book.h"
#include "portfolio/performance/performance_calculator.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"

namespace {

const int64_t kMonday = DayNumberOf({2025, 6, 2});

FxRate Rate(const char* text) {
  FxRate rate;
  EXPECT_TRUE(ParseFxRate(text, rate)) << text;
  return rate;
}

// 100 shares in dollars bought at 10.00 on Monday, without commission.
PerformanceLot DollarLot() {
  PerformanceLot lot;
  lot.positionId = 1;
  lot.symbol = "SPY";
  lot.currency = "USD";
  lot.qty = Shares(100);
  lot.buyPrice = Cents(1000);
  lot.purchaseDay = kMonday;
  return lot;
}

// The price stays at 10.00 for three days.
CloseTable FlatCloses() {
  return {{"SPY", {{kMonday, 1000}, {kMonday + 1, 1000}, {kMonday + 2, 1000}}}};
}

// The euro buys 1.00, then 0.80, then 1.25 dollars.
FxRateBook MovingDollar() {
  FxRateBook book;
  book.Add("EUR", "USD",
           {{kMonday, Rate("1.0000")}, {kMonday + 1, Rate("0.8000")}, {kMonday + 2, Rate("1.2500")}});
  return book;
}

void ExpectRate(const std::optional<double>& actual, double expected) {
  ASSERT_TRUE(actual.has_value());
  EXPECT_NEAR(*actual, expected, 1e-9);
}

}  // namespace

TEST(PerformanceInBase, FlatPricesShowWhatTheCurrencyDid) {
  const FxRateBook book = MovingDollar();
  const PerformanceConversion euro("EUR", &book);
  const PerformanceSpan span{std::nullopt, kMonday + 2};

  // In dollars nothing moved.
  PerformanceOutcome plain = ComputePerformance({DollarLot()}, span, FlatCloses());
  ASSERT_EQ(plain.status, PerformanceStatus::Ok);
  ExpectRate(plain.figures.ttwror, 0.0);

  // In euros: 1,000.00 paid; the same dollars worth 1,250.00, then 800.00.
  PerformanceOutcome inEuro = ComputePerformance({DollarLot()}, span, FlatCloses(), {}, euro);
  ASSERT_EQ(inEuro.status, PerformanceStatus::Ok) << inEuro.symbol;
  const PerformanceFigures& f = inEuro.figures;
  ASSERT_EQ(f.series.size(), 3u);
  EXPECT_EQ(f.series[0].valueCents, 100000);
  EXPECT_EQ(f.series[1].valueCents, 125000);
  EXPECT_EQ(f.series[2].valueCents, 80000);
  EXPECT_EQ(f.finalInvestedCents, 100000);  // at the purchase day's rate, whatever came after
  ExpectRate(f.ttwror, 800.0 / 1000.0 - 1.0);
  ExpectRate(f.ttwrorPrice, 800.0 / 1000.0 - 1.0);

  // Up to Tuesday the dollar had gained a quarter.
  inEuro = ComputePerformance({DollarLot()}, {std::nullopt, kMonday + 1}, FlatCloses(), {}, euro);
  ASSERT_EQ(inEuro.status, PerformanceStatus::Ok);
  ExpectRate(inEuro.figures.ttwror, 0.25);
}

TEST(PerformanceInBase, SalesIncomeAndStoredRatesTakeTheRateOfTheirDay) {
  const FxRateBook book = MovingDollar();
  const PerformanceConversion euro("EUR", &book);
  // Sold on Wednesday at 11.00: 1,100.00 dollars are 880.00 euros; 50.00 dollars paid on Tuesday are 62.50.
  PerformanceLot lot = DollarLot();
  lot.sold = true;
  lot.saleDay = kMonday + 2;
  lot.salePrice = Cents(1100);
  PerformanceIncome dividend;
  dividend.payDay = kMonday + 1;
  dividend.grossCents = 5000;
  dividend.withholdingCents = 750;
  dividend.currency = "USD";
  PerformanceOutcome r =
      ComputePerformance({lot}, {std::nullopt, kMonday + 2}, FlatCloses(), {dividend}, euro);
  ASSERT_EQ(r.status, PerformanceStatus::Ok) << r.symbol;
  ASSERT_EQ(r.figures.realizedGains.size(), 1u);
  EXPECT_EQ(r.figures.realizedGains[0].gainCents, 88000 - 100000);
  ASSERT_EQ(r.figures.income.size(), 1u);
  EXPECT_EQ(r.figures.income[0].grossCents, 6250);
  EXPECT_EQ(r.figures.income[0].withholdingCents, 938);  // 7.50 / 0.8 = 9.375, away from zero
  EXPECT_EQ(r.figures.income[0].netCents, 6250 - 938);
  // Monday 1,000 -> Tuesday 1,250 with 53.12 paid out -> sold on Wednesday for 880.
  ExpectRate(r.figures.ttwror, (125000.0 + 5312.0) / 100000.0 * (88000.0 / 125000.0) - 1.0);

  // The broker's rates, kept against the euro, stand in for the reference rates.
  lot.rateCurrency = "EUR";
  lot.buyRate = Rate("0.9");
  lot.saleRate = Rate("1.1");
  r = ComputePerformance({lot}, {std::nullopt, kMonday + 2}, FlatCloses(), {}, euro);
  ASSERT_EQ(r.status, PerformanceStatus::Ok) << r.symbol;
  ASSERT_EQ(r.figures.realizedGains.size(), 1u);
  EXPECT_EQ(r.figures.realizedGains[0].gainCents, 100000 - 111111);  // 1,100 / 1.1 less 1,000 / 0.9
}

TEST(PerformanceInBase, AMissingRateRefusesTheFiguresByPairAndDay) {
  FxRateBook book;
  book.Add("EUR", "USD", {{kMonday + 1, Rate("0.8")}});
  const PerformanceOutcome r = ComputePerformance({DollarLot()}, {std::nullopt, kMonday + 2}, FlatCloses(),
                                                  {}, PerformanceConversion("EUR", &book));
  EXPECT_EQ(r.status, PerformanceStatus::NoRate);
  EXPECT_EQ(r.symbol, "no EUR/USD rate on or before 2025-06-02");
  // A lot in the base currency itself needs no rate at all.
  PerformanceLot euroLot = DollarLot();
  euroLot.currency = "EUR";
  const PerformanceOutcome own = ComputePerformance({euroLot}, {std::nullopt, kMonday + 2}, FlatCloses(), {},
                                                    PerformanceConversion("EUR", &book));
  ASSERT_EQ(own.status, PerformanceStatus::Ok);
  ExpectRate(own.figures.ttwror, 0.0);
}
