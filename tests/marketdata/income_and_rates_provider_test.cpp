// The readers of the dividend download, the events page and exchange rates, against an in-process server
// with fixture pages: exact figures from the text, and every page that does not read refused whole.
#include <gtest/gtest.h>

#include "marketdata/corporate_events_provider.h"
#include "marketdata/dividend_history_provider.h"
#include "marketdata/exact_decimal.h"
#include "marketdata/exchange_rate_provider.h"
#include "tests/marketdata/test_server.h"

namespace {

MarketDay Day(const char* iso) {
  MarketDay day;
  EXPECT_TRUE(ParseMarketDay(iso, &day)) << iso;
  return day;
}

// A server whose every path answers `body`, recording the targets asked.
class FixtureServer {
 public:
  FixtureServer() {
    server.Routes().Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      targets.push_back(req.target);
      res.status = status;
      res.set_content(body, "text/csv");
    });
    started = server.Start();
    hosts.quoteCsvHost = hosts.historicalHost = server.Host();
  }
  TestServer server;
  ServiceHosts hosts;
  std::string body;
  int status = 200;
  std::vector<std::string> targets;
  bool started = false;
};

}  // namespace

TEST(ExactDecimal, TextsReadExactlyOrNotAtAll) {
  ExactDecimal d;
  for (const char* bad : {"", ".", "1.", ".5", "-1", "+1", "1e3", "1,5", "0", "0.00", " 1", "1 ", "1..2",
                          "N/A", "1234567890123456789"})
    EXPECT_FALSE(ParseExactDecimal(bad, &d)) << bad;
  ASSERT_TRUE(ParseExactDecimal("0.00661234", &d));
  EXPECT_EQ(d.digits, 661234);
  EXPECT_EQ(d.decimals, 8);
  EXPECT_EQ(d.Text(), "0.00661234");
  int64_t units = 0;
  EXPECT_FALSE(d.ToUnits(6, &units)) << "two digits would be dropped";
  ASSERT_TRUE(ParseExactDecimal("0.2725", &d));
  ASSERT_TRUE(d.ToUnits(6, &units));
  EXPECT_EQ(units, 272500);
  ASSERT_TRUE(ParseExactDecimal("151.2340", &d));
  EXPECT_EQ(d.Text(), "151.2340");
  ASSERT_TRUE(d.ToUnits(3, &units));
  EXPECT_EQ(units, 151234);
  ASSERT_TRUE(ParseExactDecimal("922337203685477580", &d));
  EXPECT_FALSE(d.ToUnits(6, &units)) << "overflow";
  MarketDay day;
  for (const char* bad :
       {"2024-02-30", "2023-02-29", "24-06-10", "2024/06/10", "2024-6-10", "1899-12-31", ""})
    EXPECT_FALSE(ParseMarketDay(bad, &day)) << bad;
  EXPECT_EQ(Day("1970-01-01").Number(), 0);
  EXPECT_EQ(Day("2024-02-29").Number(), 19782);
  EXPECT_EQ(Day("1969-12-31").Number(), -1);
}

TEST(DividendHistory, RowsAreReadExactlyFromTheClassicDownload) {
  FixtureServer fixture;
  ASSERT_TRUE(fixture.started);
  fixture.body = ReadFixture("dividends.csv");
  DividendHistoryProvider provider;
  provider.SetServiceHosts(fixture.hosts);
  std::vector<DividendRow> rows(3);
  provider.Fetch(" MSFT ", 1, 2010, 12, 2026, &rows);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  ASSERT_EQ(fixture.targets.size(), 1u);
  EXPECT_EQ(fixture.targets[0], "/table.csv?s=MSFT&a=0&b=1&c=2010&d=11&e=31&f=2026&g=v&ignore=.csv");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].exDate, Day("2026-11-13"));
  EXPECT_EQ(rows[0].amountMicros, 850000);
  EXPECT_EQ(rows[2].amount.Text(), "0.081");
  EXPECT_EQ(rows[3].amountMicros, 1);
  // A payer of nothing in the span is no error.
  fixture.body = "Date,Dividends\n";
  provider.Fetch("AMZN", 1, 2026, 12, 2026, &rows);
  EXPECT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_TRUE(rows.empty());
}

TEST(DividendHistory, APageThatDoesNotReadIsRefusedWhole) {
  FixtureServer fixture;
  ASSERT_TRUE(fixture.started);
  DividendHistoryProvider provider;
  provider.SetServiceHosts(fixture.hosts);
  const std::pair<std::string, std::string> pages[] = {
      {ReadFixture("no_such_symbol.html"), "not the expected page (no header \"Date,Dividends\")"},
      {"Date,Dividends\n2026-11-13,0.85\n2026-08-13,0.8", "line 3: the page ends in the middle of a line"},
      {"Date,Dividends\n2026-11-13,0.85\n2026-02-30,0.85\n", "line 3: bad date"},
      {"Date,Dividends\n2026-11-13,0.1234567\n", "line 2: bad amount"},
      {"Date,Dividends\n2026-11-13,-0.85\n", "line 2: bad amount"},
      {"Date,Dividends\n2026-11-13,\"0.85\"\n", "line 2: a quote or a carriage return inside the line"},
      {"Date,Dividends\n2026-11-13,0.85,USD\n", "line 2: expected 2 fields, found 3"},
      {"", "an empty page"},
  };
  for (const auto& [page, why] : pages) {
    fixture.body = page;
    std::vector<DividendRow> rows(1);
    provider.Fetch("MSFT", 1, 2026, 12, 2026, &rows);
    EXPECT_EQ(provider.GetErrorText(), "Error parsing content: " + why) << page;
    EXPECT_TRUE(rows.empty());
  }
  std::vector<DividendRow> rows;
  const size_t asked = fixture.targets.size();
  provider.Fetch("  ", 1, 2026, 12, 2026, &rows);
  provider.Fetch("MSFT", 2, 2026, 1, 2026, &rows);
  provider.Fetch("MSFT", 13, 2026, 12, 2026, &rows);
  EXPECT_EQ(fixture.targets.size(), asked) << "nothing is fetched for an empty symbol or a bad span";
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
}

TEST(CorporateEvents, DividendsSplitsAndSymbolChangesAreRead) {
  FixtureServer fixture;
  ASSERT_TRUE(fixture.started);
  fixture.body = ReadFixture("events.csv");
  CorporateEventsProvider provider;
  provider.SetServiceHosts(fixture.hosts);
  std::vector<CorporateEvent> events;
  provider.Fetch("NVDA", Day("2020-01-01"), Day("2026-12-04"), &events);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_EQ(fixture.targets[0], "/vellumar/events.csv?s=NVDA&a=0&b=1&c=2020&d=11&e=4&f=2026");
  ASSERT_EQ(events.size(), 5u) << "the spin-off, a kind this reader does not know, is passed over";
  EXPECT_EQ(events[0].kind, CorporateEvent::Kind::Dividend);
  EXPECT_EQ(events[0].date, Day("2026-11-13"));
  EXPECT_EQ(events[0].amountMicros, 272500);
  EXPECT_TRUE(events[0].hasPayDate);
  EXPECT_EQ(events[0].payDate, Day("2026-12-04"));
  EXPECT_EQ(events[0].currency, "USD");
  EXPECT_EQ(events[1].kind, CorporateEvent::Kind::Split);
  EXPECT_EQ(events[1].newShares, 10);
  EXPECT_EQ(events[1].oldShares, 1);
  EXPECT_FALSE(events[2].hasPayDate);
  EXPECT_EQ(events[2].currency, "GBp");
  EXPECT_EQ(events[2].amount.Text(), "5.1");
  EXPECT_EQ(events[3].kind, CorporateEvent::Kind::SymbolChange);
  EXPECT_EQ(events[3].oldSymbol, "FB");
  EXPECT_EQ(events[3].newSymbol, "META");
  EXPECT_EQ(events[4].date, Day("2021-07-20"));
}

TEST(CorporateEvents, ALineThatDoesNotReadRefusesThePage) {
  FixtureServer fixture;
  ASSERT_TRUE(fixture.started);
  CorporateEventsProvider provider;
  provider.SetServiceHosts(fixture.hosts);
  const std::string header = "Date,Event,Value,Pay Date,Currency\n";
  const std::pair<std::string, std::string> lines[] = {
      {"2024-06-10,split,10:10,,", "bad split ratio"},
      {"2024-06-10,split,0:1,,", "bad split ratio"},
      {"2024-06-10,split,+10:1,,", "bad split ratio"},
      {"2024-06-10,split,10,,", "bad split ratio"},
      {"2024-06-10,split,10:1,2024-06-11,", "a pay date or a currency on a split"},
      {"2024-06-10,dividend,0.25,2024-06-09,USD", "bad pay date"},
      {"2024-06-10,dividend,0.25,,US", "bad currency"},
      {"2024-06-10,dividend,0.25,,", "bad currency"},
      {"2024-06-10,dividend,1e-3,,USD", "bad dividend amount"},
      {"2022-06-09,symbol-change,FB,,", "bad symbol change"},
      {"2022-06-09,symbol-change,FB->FB,,", "bad symbol change"},
      {"2022-06-09,symbol-change,F<B->META,,", "bad symbol change"},
      {"2024-13-10,split,10:1,,", "bad date"},
  };
  for (const auto& [line, why] : lines) {
    fixture.body = header + "2026-11-13,dividend,0.25,,USD\n" + line + "\n";
    std::vector<CorporateEvent> events(1);
    provider.Fetch("NVDA", Day("2020-01-01"), Day("2026-12-04"), &events);
    EXPECT_EQ(provider.GetErrorText(), "Error parsing content: line 3: " + why) << line;
    EXPECT_TRUE(events.empty());
  }
  std::vector<CorporateEvent> events;
  provider.Fetch("NVDA", Day("2026-12-04"), Day("2020-01-01"), &events);
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content") << "a backward span is not asked";
}

TEST(ExchangeRates, QuotesKeepEveryDigitAndNameAnUnknownPair) {
  EXPECT_EQ(CurrencyPairSymbol("EUR", "USD"), "EURUSD=X");
  for (const auto& [base, quote] : std::vector<std::pair<const char*, const char*>>{
           {"GBp", "USD"}, {"EUR", "EUR"}, {"EURO", "USD"}, {"", "USD"}, {"eur", "usd"}})
    EXPECT_EQ(CurrencyPairSymbol(base, quote), "") << base << quote;
  FixtureServer fixture;
  ASSERT_TRUE(fixture.started);
  fixture.body = ReadFixture("rate_quotes.csv");
  ExchangeRateQuoteProvider provider;
  provider.SetServiceHosts(fixture.hosts);
  std::vector<ExchangeRateQuote> quotes(4);
  const char* pairs[] = {"EURUSD=X", "USDJPY=X", "jpyusd=x", "EURXYZ=X"};
  std::vector<ExchangeRateQuote*> pointers;
  for (size_t i = 0; i < quotes.size(); ++i) {
    quotes[i].symbol = pairs[i];
    pointers.push_back(&quotes[i]);
  }
  provider.Fetch(pointers);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_EQ(fixture.targets[0], "/d/quotes.csv?s=EURUSD=X+USDJPY=X+jpyusd=x+EURXYZ=X&f=sl1d1t1");
  EXPECT_TRUE(quotes[0].known);
  EXPECT_EQ(quotes[0].rate.Text(), "1.08450");
  EXPECT_EQ(quotes[0].date, Day("2026-12-04"));
  EXPECT_EQ(quotes[0].time, "2:15pm");
  EXPECT_EQ(quotes[2].rate, (ExactDecimal{663504, 8}));
  EXPECT_EQ(quotes[2].date, Day("2026-12-03"));
  EXPECT_FALSE(quotes[3].known);

  // Lines of other pairs, too few or too many lines, or a rate that is no plain decimal leave the records.
  const std::string good = "\"EURUSD=X\",1.08450,\"12/4/2026\",\"2:15pm\"\r\n";
  const std::string pages[] = {good,
                               good + good + good + good + good,
                               "\"USDJPY=X\"" + good.substr(10),
                               "\"EURUSD=X\",1.08e0,\"12/4/2026\",\"2:15pm\"\r\n",
                               "\"EURUSD=X\",1.0845,\"13/4/2026\",\"2:15pm\"\r\n",
                               good.substr(0, 30)};
  for (const std::string& page : pages) {
    fixture.body = page + (page == good ? "" : good + good + good);
    provider.Fetch(pointers);
    EXPECT_EQ(provider.GetErrorText().rfind("Error parsing content: ", 0), 0u) << page;
    EXPECT_EQ(quotes[0].rate.Text(), "1.08450");
    EXPECT_EQ(quotes[1].rate.Text(), "150.715");
  }
}

TEST(ExchangeRates, HistoryGoesThroughThePriceDownloadAndKeepsEveryDigit) {
  FixtureServer fixture;
  ASSERT_TRUE(fixture.started);
  fixture.body = ReadFixture("rate_history.csv");
  ExchangeRateHistoryProvider provider;
  provider.SetServiceHosts(fixture.hosts);
  std::vector<ExchangeRateDay> days;
  provider.FetchRates("EURUSD=X", 12, 2026, 12, 2026, &days);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_EQ(fixture.targets[0], "/table.csv?s=EURUSD=X&a=11&b=1&c=2026&d=11&e=31&f=2026&g=d&ignore=.csv");
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(days[0].date, Day("2026-12-04"));
  EXPECT_EQ(days[0].rate.Text(), "1.08450");
  EXPECT_EQ(days[2].rate, (ExactDecimal{661234, 8}));
  // No rates in the span is no fault; a row that does not read after good ones refuses the page.
  fixture.body = "Date,Open,High,Low,Close,Volume,Adj Close\n";
  provider.FetchRates("EURUSD=X", 1, 1990, 1, 1990, &days);
  EXPECT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_TRUE(days.empty());
  const std::string rows = ReadFixture("rate_history.csv");
  for (const std::string& page :
       {rows + "2026-12-01,1.0,1.0,1.0,1.0,0\n", rows.substr(0, rows.size() - 5),
        rows + "2026-11-30,1,1,1,1.08e0,0,1\n", ReadFixture("no_such_symbol.html")}) {
    fixture.body = page;
    days.assign(1, {});
    provider.FetchRates("EURUSD=X", 11, 2026, 12, 2026, &days);
    EXPECT_EQ(provider.GetErrorText().rfind("Error parsing content", 0), 0u) << page;
    EXPECT_TRUE(days.empty()) << page;
  }
}
