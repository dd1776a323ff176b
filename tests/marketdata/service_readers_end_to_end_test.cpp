// The readers of the new forms against the real vellumar-marketd with a fixed clock: what the service serves
// reads back exactly.
#include <gtest/gtest.h>

#include <set>

#include "marketdata/corporate_events_provider.h"
#include "marketdata/dividend_history_provider.h"
#include "marketdata/exchange_rate_provider.h"
#include "marketdata/historical_price.h"
#include "tests/cli/running_service.h"

class ServiceReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(service.port, 0) << "vellumar-marketd did not start";
    hosts.SetAllHosts("localhost:" + std::to_string(service.port));
  }
  static MarketDay Day(const char* iso) {
    MarketDay day;
    EXPECT_TRUE(ParseMarketDay(iso, &day)) << iso;
    return day;
  }
  static int Digits(const ExactDecimal& d) { return static_cast<int>(std::to_string(d.digits).size()); }

  RunningService service{{"--now", "2026-12-04T15:30:00-05:00"}};
  ServiceHosts hosts;
};

TEST_F(ServiceReaders, DividendsAndEventsAroundASplit) {
  DividendHistoryProvider dividends;
  dividends.SetServiceHosts(hosts);
  std::vector<DividendRow> rows;
  dividends.Fetch("NVDA", 1, 2024, 12, 2024, &rows);
  ASSERT_FALSE(dividends.HasError()) << dividends.GetErrorText();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_LT(Day("2024-06-10"), rows[1].exDate);
  EXPECT_LT(rows[2].exDate, Day("2024-06-10"));
  EXPECT_EQ(rows[2].amountMicros, rows[1].amountMicros * 10) << "before the 10:1 split, in the old shares";

  CorporateEventsProvider events;
  events.SetServiceHosts(hosts);
  std::vector<CorporateEvent> list;
  events.Fetch("NVDA", Day("2024-01-01"), Day("2024-12-31"), &list);
  ASSERT_FALSE(events.HasError()) << events.GetErrorText();
  std::vector<int64_t> paid;
  bool split = false;
  for (const CorporateEvent& e : list) {
    if (e.kind == CorporateEvent::Kind::Dividend) {
      paid.push_back(e.amountMicros);
      EXPECT_EQ(e.currency, "USD");
      EXPECT_TRUE(e.hasPayDate);
    }
    if (e.kind == CorporateEvent::Kind::Split) {
      split = true;
      EXPECT_EQ(e.date, Day("2024-06-10"));
      EXPECT_EQ(e.newShares, 10);
      EXPECT_EQ(e.oldShares, 1);
    }
  }
  EXPECT_TRUE(split);
  ASSERT_EQ(paid.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(paid[i], rows[i].amountMicros);

  events.Fetch("FB", Day("2022-01-01"), Day("2022-12-31"), &list);
  ASSERT_FALSE(events.HasError()) << events.GetErrorText();
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front().kind, CorporateEvent::Kind::SymbolChange);
  EXPECT_EQ(list.front().oldSymbol, "FB");
  EXPECT_EQ(list.front().newSymbol, "META");
  EXPECT_EQ(list.front().date, Day("2022-06-09"));
  events.Fetch("NOSUCH", Day("2022-01-01"), Day("2022-12-31"), &list);
  EXPECT_TRUE(events.HasError());
}

TEST_F(ServiceReaders, RatesKeepTheirSixDigitsFromQuoteAndHistory) {
  ExchangeRateQuoteProvider quotes;
  quotes.SetServiceHosts(hosts);
  std::vector<ExchangeRateQuote> pairs(3);
  pairs[0].symbol = CurrencyPairSymbol("USD", "JPY");
  pairs[1].symbol = CurrencyPairSymbol("JPY", "USD");
  pairs[2].symbol = "GBpUSD=X";
  quotes.Fetch({&pairs[0], &pairs[1], &pairs[2]});
  ASSERT_FALSE(quotes.HasError()) << quotes.GetErrorText();
  ASSERT_TRUE(pairs[0].known && pairs[1].known);
  EXPECT_FALSE(pairs[2].known) << "pence have no pair of their own";
  EXPECT_EQ(Digits(pairs[0].rate), 6);
  EXPECT_EQ(Digits(pairs[1].rate), 6);
  EXPECT_EQ(pairs[0].date, Day("2026-12-04"));
  // The inverse pair: the product of the two exact rates is 1 within their six digits.
  const double product =
      static_cast<double>(pairs[0].rate.digits) * static_cast<double>(pairs[1].rate.digits);
  double scale = 1;
  for (int i = 0; i < pairs[0].rate.decimals + pairs[1].rate.decimals; ++i) scale *= 10;
  EXPECT_NEAR(product / scale, 1.0, 2e-5);

  ExchangeRateHistoryProvider history;
  history.SetServiceHosts(hosts);
  std::vector<ExchangeRateDay> days;
  history.FetchRates("EURUSD=X", 3, 2024, 4, 2024, &days);
  ASSERT_FALSE(history.HasError()) << history.GetErrorText();
  std::set<int64_t> served;
  for (const ExchangeRateDay& d : days) {
    served.insert(d.date.Number());
    EXPECT_EQ(Digits(d.rate), 6) << d.rate.Text();
  }
  EXPECT_EQ(days.size(), 20u + 21u)
      << "the weekdays of March and April 2024 less Good Friday and Easter Monday";
  EXPECT_FALSE(served.count(Day("2024-03-29").Number())) << "Good Friday";
  EXPECT_FALSE(served.count(Day("2024-04-01").Number())) << "Easter Monday";
  // The latest day of the history is the quote's day and rate.
  history.FetchRates("USDJPY=X", 12, 2026, 12, 2026, &days);
  ASSERT_FALSE(days.empty()) << history.GetErrorText();
  EXPECT_EQ(days.front().date, pairs[0].date);
  EXPECT_EQ(days.front().rate, pairs[0].rate);
}
