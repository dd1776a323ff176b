// Conversion into a base currency: exchange rates as exact decimals, the rate of a day, a position's figures
// in the base currency (the worked example of the README), and the summary's base totals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "holding_fixtures.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/fx/fx_rate.h"
#include "portfolio/fx/fx_rate_book.h"
#include "portfolio/fx/position_base.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/views/portfolio_summary.h"
#include "tests/support/exact_values.h"

namespace {

FxRate Rate(const char* text) {
  FxRate rate;
  EXPECT_TRUE(ParseFxRate(text, rate)) << text;
  return rate;
}

int64_t Day(int year, int month, int day) {
  return DayNumberOf({year, month, day});
}

// 100 HSBA.L bought at 1,000.00 pence with 500 pence commission on 2025-03-14, trading at 1,752.78 pence.
VLStockHoldingItem Hsba() {
  VLStockHoldingItem h = HeldIbm();
  h.name = "HSBA.L";
  h.quote.Edit().symbol = "HSBA.L";
  h.quote.Edit().exchange = "LSE";
  h.quote.Edit().lastTrade = "1752.78";
  h.currency = "GBp";
  h.qty = Shares(100);
  h.buyPricePerShare = Cents(100000);
  h.buyCommission = 50000;
  h.purchaseDate = StoredDateOf({2025, 3, 14});
  return h;
}

// EUR/GBP 0.8650 on the purchase day (a Friday) and 0.8531 on the last working day before today.
FxRateBook HsbaRates(int64_t today) {
  FxRateBook book;
  book.Add(
      "EUR", "GBP",
      {{Day(2025, 3, 13), Rate("0.8600")}, {Day(2025, 3, 14), Rate("0.8650")}, {today - 1, Rate("0.8531")}});
  return book;
}

// Every test of base figures runs on 2026-01-01, in English digit grouping.
class BaseEnvironment {
 private:
  ScopedClock clock{std::make_shared<FixedClock>(1767225600)};
  ScopedNumberFormat format{NumberFormat::English()};
};

}  // namespace

TEST(FxRate, ExactTextsAndConversionRoundedOnceHalfAwayFromZero) {
  EXPECT_EQ(Rate("0.8650"), Rate("0.865"));
  EXPECT_FALSE(Rate("0.8650") == Rate("0.8651"));
  EXPECT_EQ(FxRateText(Rate("0.8650")), "0.865");
  EXPECT_EQ(FxRateText(Rate("160.12")), "160.12");
  EXPECT_EQ(FxRateText(Rate("0.00624521")), "0.00624521");
  EXPECT_EQ(FxRateText(Rate("1")), "1");
  for (const char* refused : {"", "0", "0.000", "-1", "+1", "1e3", "1.2.3", ".", "1,5", " 1",
                              "0.1234567890123", "1000000000000000"}) {
    FxRate rate;
    EXPECT_FALSE(ParseFxRate(refused, rate)) << refused;
  }
  int64_t out = 0;
  // 1,005.00 GBP at 0.8650 GBP per EUR: 1,161.849... EUR.
  ASSERT_TRUE(ConvertCents(100500, 1, Rate("0.8650"), out));
  EXPECT_EQ(out, 116185);
  // The same amount in pence: the divisor is part of the one division.
  ASSERT_TRUE(ConvertCents(10050000, 100, Rate("0.8650"), out));
  EXPECT_EQ(out, 116185);
  // Halves go away from zero either way: 0.05 at 2 is 0.025.
  ASSERT_TRUE(ConvertCents(5, 1, Rate("2"), out));
  EXPECT_EQ(out, 3);
  ASSERT_TRUE(ConvertCents(-5, 1, Rate("2"), out));
  EXPECT_EQ(out, -3);
  // Yen to euro through a rate of many decimals, and a result beyond 64 bits refused.
  ASSERT_TRUE(ConvertCents(1000000, 1, Rate("160.12"), out));  // 10,000 JPY
  EXPECT_EQ(out, 6245);                                        // 62.45 EUR
  EXPECT_FALSE(ConvertCents(INT64_MAX, 1, Rate("0.000001"), out));
  EXPECT_FALSE(ConvertCents(100, 0, Rate("1"), out));
  EXPECT_FALSE(ConvertCents(100, 1, FxRate(), out));
  // The other direction of a rate, to ten significant digits, and none where it would round to nothing.
  FxRate inverse;
  ASSERT_TRUE(InverseRate(Rate("0.8"), inverse));
  EXPECT_EQ(FxRateText(inverse), "1.25");
  ASSERT_TRUE(InverseRate(Rate("3"), inverse));
  EXPECT_EQ(FxRateText(inverse), "0.3333333333");
  ASSERT_TRUE(InverseRate(Rate("160.12"), inverse));
  EXPECT_EQ(FxRateText(inverse), "0.006245316013");
  ASSERT_TRUE(InverseRate(Rate("0.000000000001"), inverse));
  EXPECT_EQ(FxRateText(inverse), "1000000000000");
  EXPECT_FALSE(InverseRate(Rate("100000000000000"), inverse));
  EXPECT_FALSE(InverseRate(FxRate(), inverse));
}

TEST(FxRateBook, TheRateOfADayIsTheLatestFixingOnOrBeforeItAndNeverOneToOne) {
  FxRateBook book;
  book.Add("EUR", "USD",
           {{Day(2024, 3, 28), Rate("1.0811")},
            {Day(2024, 4, 2), Rate("1.0765")},
            {Day(2024, 3, 27), Rate("1.0816")}});
  FxRateUsed used;
  std::string error;
  // Good Friday and Easter Monday have no fixing: the Thursday before stands for both.
  ASSERT_TRUE(book.RateOn("EUR", "USD", Day(2024, 4, 1), used, error));
  EXPECT_EQ(used.rate, Rate("1.0811"));
  EXPECT_EQ(used.day, Day(2024, 3, 28));
  ASSERT_TRUE(book.RateOn("EUR", "USD", Day(2024, 4, 2), used, error));
  EXPECT_EQ(used.rate, Rate("1.0765"));
  // Before the first fixing, and a pair the source has no rates of: refused by name and day. A pair the book
  // was never given is named as not fetched.
  EXPECT_FALSE(book.RateOn("EUR", "USD", Day(2024, 3, 26), used, error));
  EXPECT_EQ(error, "no EUR/USD rate on or before 2024-03-26");
  book.Add("EUR", "ISK", {});
  EXPECT_FALSE(book.RateOn("EUR", "ISK", Day(2024, 4, 2), used, error));
  EXPECT_EQ(error, "no EUR/ISK rate on or before 2024-04-02");
  EXPECT_FALSE(book.RateOn("EUR", "NOK", Day(2024, 4, 2), used, error));
  EXPECT_EQ(error, "no EUR/NOK rates fetched yet");
  // One currency in itself is exactly 1, whatever the book holds.
  ASSERT_TRUE(FxRateBook().RateOn("CHF", "CHF", Day(2024, 4, 2), used, error));
  EXPECT_EQ(used.rate, Rate("1"));
}

TEST(BaseFigures, TheWorkedExampleSplitsTheGainIntoPriceAndCurrency) {
  BaseEnvironment env;
  const int64_t today = TodayDayNumber();
  const VLStockHoldingItem hsba = Hsba();
  const BaseFigures f = ComputeBaseFigures(hsba, "EUR", HsbaRates(today), today);
  ASSERT_TRUE(f.known) << f.error;
  EXPECT_EQ(f.value, 205460);      // 1,752.78 GBP / 0.8531
  EXPECT_EQ(f.totalPaid, 116185);  // 1,005.00 GBP / 0.8650
  EXPECT_EQ(f.gain, 89275);        // 2,054.60 - 1,161.85
  EXPECT_EQ(f.priceGain, 86449);   // 747.78 GBP / 0.8650
  EXPECT_EQ(f.fxGain, 2826);       // what the pound did
  EXPECT_EQ(f.gain, f.priceGain + f.fxGain);
  EXPECT_EQ(f.valueRateDay, today - 1);
  EXPECT_FALSE(f.storedRateUsed);

  // The same holding written in pounds converts to the same cents.
  VLStockHoldingItem pounds = hsba;
  pounds.currency = "GBP";
  pounds.buyPricePerShare = Cents(1000);
  pounds.buyCommission = 500;
  pounds.quote.Edit().lastTrade = "17.5278";
  const BaseFigures p = ComputeBaseFigures(pounds, "EUR", HsbaRates(today), today);
  ASSERT_TRUE(p.known) << p.error;
  EXPECT_EQ(p.value, f.value);
  EXPECT_EQ(p.totalPaid, f.totalPaid);
  EXPECT_EQ(p.priceGain, f.priceGain);

  // In the columns, and empty without a base currency.
  VLStockHoldingItem shown = hsba;
  shown.base = f;
  std::string text;
  shown.GetColumnText(kColValueBase, text);
  EXPECT_EQ(text, "2,054.60");
  shown.GetColumnText(kColFxGainBase, text);
  EXPECT_EQ(text, "28.26");
  hsba.GetColumnText(kColGainBase, text);
  EXPECT_EQ(text, "");
}

TEST(BaseFigures, DaysWithoutAFixingStoredRatesAndMissingRates) {
  BaseEnvironment env;
  const int64_t today = TodayDayNumber();
  // Bought on a Saturday: Friday's fixing.
  VLStockHoldingItem weekend = Hsba();
  weekend.purchaseDate = StoredDateOf({2025, 3, 15});
  BaseFigures f = ComputeBaseFigures(weekend, "EUR", HsbaRates(today), today);
  ASSERT_TRUE(f.known) << f.error;
  EXPECT_EQ(f.totalPaid, 116185);

  // The broker's rate of the purchase, kept against EUR, wins over the reference rate; one kept against
  // another currency does not apply to a EUR base.
  VLStockHoldingItem broker = Hsba();
  broker.rateCurrency = "EUR";
  broker.buyRate = Rate("0.8600");
  f = ComputeBaseFigures(broker, "EUR", HsbaRates(today), today);
  ASSERT_TRUE(f.known) << f.error;
  EXPECT_EQ(f.totalPaid, 116860);  // 1,005.00 / 0.86
  EXPECT_EQ(f.value, 205460);      // the value still at today's reference rate
  EXPECT_TRUE(f.storedRateUsed);
  broker.rateCurrency = "USD";
  f = ComputeBaseFigures(broker, "EUR", HsbaRates(today), today);
  EXPECT_EQ(f.totalPaid, 116185);
  EXPECT_FALSE(f.storedRateUsed);

  // A sale is valued at its sale day's rate, or at the broker's sale rate.
  VLStockHoldingItem sold = Hsba();
  sold.salePricePerShare = Cents(120000);
  sold.saleDate = StoredDateOf({2025, 3, 14});
  f = ComputeBaseFigures(sold, "EUR", HsbaRates(today), today);
  ASSERT_TRUE(f.known) << f.error;
  EXPECT_EQ(f.value, 138728);  // 1,200.00 GBP / 0.8650
  sold.rateCurrency = "EUR";
  sold.saleRate = Rate("0.8");
  f = ComputeBaseFigures(sold, "EUR", HsbaRates(today), today);
  EXPECT_EQ(f.value, 150000);

  // Bought before the first fixing the book holds: refused by pair and day, never 1:1.
  VLStockHoldingItem early = Hsba();
  early.purchaseDate = StoredDateOf({2025, 3, 1});
  f = ComputeBaseFigures(early, "EUR", HsbaRates(today), today);
  EXPECT_FALSE(f.known);
  EXPECT_EQ(f.error, "no EUR/GBP rate on or before 2025-03-01");
  early.base = f;
  std::string text;
  early.GetColumnText(kColValueBase, text);
  EXPECT_EQ(text, "N/A");
  // A base the book has no rates for.
  f = ComputeBaseFigures(Hsba(), "CHF", HsbaRates(today), today);
  EXPECT_EQ(f.error, "no CHF/GBP rates fetched yet");
  // Without a purchase date there is no day to take a rate of; in its own currency nothing is converted.
  VLStockHoldingItem undated = Hsba();
  undated.purchaseDate = 0;
  EXPECT_EQ(ComputeBaseFigures(undated, "EUR", HsbaRates(today), today).error,
            "HSBA.L has no purchase date to take the EUR/GBP rate of");
  f = ComputeBaseFigures(undated, "GBP", FxRateBook(), today);
  ASSERT_TRUE(f.known) << f.error;
  EXPECT_EQ(f.value, 175278);
  EXPECT_EQ(f.fxGain, 0);
}

TEST(BaseFigures, SummaryTotalsInTheBaseCurrencyLeaveTheOtherTotalsAsTheyWere) {
  BaseEnvironment env;
  const int64_t today = TodayDayNumber();
  const VLStockHoldingItem hsba = Hsba();
  VLStockHoldingItem ibm = HeldIbm();  // 1,500 IBM in USD, no stored rates
  ibm.purchaseDate = StoredDateOf({2025, 3, 14});
  VLCashHoldingItem cash;
  cash.amount = 100000;
  const std::vector<const VLHoldingItem*> positions{&hsba, &ibm, &cash};
  const NumberFormat format = NumberFormat::English();
  const VLPortfolioSummary plain = ComputePortfolioSummary(positions, true, nullptr, format);
  EXPECT_FALSE(plain.HasBase());

  FxRateBook book = HsbaRates(today);
  book.Add("EUR", "USD", {{Day(2025, 3, 14), Rate("1.0880")}, {today - 3, Rate("1.1650")}});
  const SummaryBase base{"EUR", &book, today};
  const VLPortfolioSummary converted =
      ComputePortfolioSummary(positions, true, nullptr, format, nullptr, &base);
  // The totals in the positions' own currencies do not move.
  EXPECT_EQ(converted.currentValue, plain.currentValue);
  EXPECT_EQ(converted.gain, plain.gain);
  EXPECT_EQ(converted.currencies, plain.currencies);
  ASSERT_TRUE(converted.HasBase());
  ASSERT_EQ(converted.base.error, "");
  // IBM: 145,650.00 USD / 1.1650 = 125,021.46 EUR; paid 122,259.95 / 1.0880 = 112,371.28 EUR.
  EXPECT_EQ(converted.base.value, "128,076.06");      // 2,054.60 + 125,021.46 + 1,000.00 cash
  EXPECT_EQ(converted.base.totalPaid, "114,533.13");  // 1,161.85 + 112,371.28 + 1,000.00
  EXPECT_EQ(converted.base.gain, "13,542.93");
  // IBM's price gain 23,390.05 / 1.0880 = 21,498.21; its FX gain 12,650.18 - 21,498.21 = -8,848.03.
  EXPECT_EQ(converted.base.priceGain, "22,362.70");
  EXPECT_EQ(converted.base.fxGain, "-8,819.77");
  EXPECT_EQ(converted.base.rates, "at reference rates of " + IsoDateText(DateOfDayNumber(today - 1)));

  // One position without its rate refuses the totals, naming the pair and the day.
  book.Add("EUR", "USD", {{today - 3, Rate("1.1650")}});
  const VLPortfolioSummary refused =
      ComputePortfolioSummary(positions, true, nullptr, format, nullptr, &base);
  EXPECT_EQ(refused.base.error, "no EUR/USD rate on or before 2025-03-14");
  EXPECT_EQ(refused.base.value, "");
}
