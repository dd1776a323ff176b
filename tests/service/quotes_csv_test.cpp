#include "service/quotes_csv_page.h"

#include "page_cursor.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

static const std::string kAllCodes = kQuoteFieldCodes;

static std::vector<ReadQuote> ReadLines(const std::string& body, size_t count) {
  PageCursor cursor(body);
  std::vector<ReadQuote> quotes(count);
  for (size_t i = 0; i < count; ++i)
    EXPECT_TRUE(ReadQuoteLine(cursor, quotes[i])) << "line " << i << "\n" << body;
  return quotes;
}

TEST(QuotesCsv, EveryLineReadsWithTheClientRulesInRequestOrder) {
  auto market = FixtureMarket();
  const ServiceResponse r =
      Get(*market, "/d/quotes.csv?s=MSFT+T+^DJI+NOSUCH+VOD.L+SPY+VFIAX+ESH27.CME+BRK-B&f=" + kAllCodes);
  ASSERT_EQ(r.status, 200);
  EXPECT_EQ(r.contentType, "text/csv");
  const auto quotes = ReadLines(r.body, 9);
  ASSERT_EQ(quotes.size(), 9u);
  const char* symbols[] = {"MSFT", "T", "^DJI", "NOSUCH", "VOD.L", "SPY", "VFIAX", "ESH27.CME", "BRK-B"};
  for (size_t i = 0; i < 9; ++i) {
    ASSERT_EQ(quotes[i].values.size(), 44u);
    EXPECT_EQ(quotes[i].values[0], symbols[i]);
  }
  EXPECT_EQ(quotes[0].values[1], "Microsoft Corporation");
  EXPECT_EQ(quotes[0].values[2], "NASDAQ");
  EXPECT_EQ(quotes[1].values[1], "AT&T Inc.");
  EXPECT_EQ(quotes[3].values[2], "N/A");
  EXPECT_EQ(quotes[3].values[1], "N/A");
  for (const ReadQuote& q : quotes) {
    if (q.values[2] == "N/A") continue;
    // Change is last trade minus previous close, and the percentage agrees with both.
    const double last = std::atof(q.lastTrade.c_str());
    const double previous = std::atof(q.values[26].c_str());
    ASSERT_GT(last, 0) << q.values[0];
    EXPECT_NEAR(std::atof(q.change.c_str()), last - previous, 0.006) << q.values[0];
    EXPECT_NEAR(std::atof(q.percentChange.c_str()), (last - previous) / previous * 100.0, 0.006)
        << q.values[0];
    EXPECT_EQ(q.percentChange.back(), '%');
  }
  EXPECT_EQ(quotes[0].lastTradeTime, "3:30pm");
  EXPECT_EQ(quotes[0].values[27], "12/4/2026");
  EXPECT_NE(quotes[0].floatShares.find(','), std::string::npos);  // thousands separators survive
  EXPECT_EQ(quotes[2].values[3], "N/A");                          // an index has no market cap
  EXPECT_EQ(quotes[6].values[31], "N/A");                         // a fund has no bid
  EXPECT_EQ(quotes[6].lastTradeTime, "Dec 3");                    // and is priced after the close
}

TEST(QuotesCsv, FiguresOfOneSecurityHangTogether) {
  auto market = FixtureMarket();
  const auto q = ReadLines(Get(*market, "/d/quotes.csv?s=MSFT&f=" + kAllCodes).body, 1).at(0);
  const double last = std::atof(q.lastTrade.c_str());
  const double low52 = std::atof(q.values[12].c_str()), high52 = std::atof(q.values[13].c_str());
  EXPECT_LE(low52, last);
  EXPECT_GE(high52, last);
  const std::string& range = q.values[38];
  const double dayLow = std::atof(range.c_str()),
               dayHigh = std::atof(range.substr(range.find(" - ") + 3).c_str());
  EXPECT_LE(dayLow, last);
  EXPECT_GE(dayHigh, last);
  EXPECT_GE(dayLow, low52);
  const double ma50 = std::atof(q.values[14].c_str());
  EXPECT_NEAR(std::atof(q.values[15].c_str()), last - ma50, 0.006);
  EXPECT_LT(std::atof(q.values[31].c_str()), std::atof(q.values[32].c_str()));  // bid below ask
  // The ticker trend is the sign of each of the last six daily moves of the history download.
  const std::string csv = Get(*market, "/table.csv?s=MSFT&a=10&b=1&c=2026").body;
  std::vector<double> closes;  // newest first
  for (size_t at = csv.find('\n'); at != std::string::npos && closes.size() < 7;
       at = csv.find('\n', at + 1)) {
    size_t field = at;
    for (int i = 0; i < 4 && field != std::string::npos; ++i) field = csv.find(',', field + 1);
    if (field != std::string::npos) closes.push_back(std::atof(csv.c_str() + field + 1));
  }
  ASSERT_EQ(closes.size(), 7u);
  std::string trend;
  for (size_t i = 6; i-- > 0;)
    trend += closes[i] > closes[i + 1] ? '+' : closes[i] < closes[i + 1] ? '-' : '=';
  EXPECT_EQ(q.values[28], trend);
  EXPECT_EQ(q.values[3].back(), 'B');
}

TEST(QuotesCsv, SameClockAndSeedGiveTheSameBytesAndOtherCluesDoNot) {
  const std::string target = "/d/quotes.csv?s=MSFT+VOD.L+^DJI&f=" + kAllCodes;
  auto a = FixtureMarket(), b = FixtureMarket();
  auto otherSeed = FixtureMarket("2026-12-04T15:30:00-05:00", 7);
  auto later = FixtureMarket("2026-12-04T15:31:00-05:00");
  const std::string body = Get(*a, target).body;
  EXPECT_EQ(body, Get(*b, target).body);
  EXPECT_EQ(body, Get(*a, target).body);  // the cache changes nothing
  EXPECT_NE(body, Get(*otherSeed, target).body);
  EXPECT_NE(body, Get(*later, target).body);
}

TEST(QuotesCsv, WeekendQuoteShowsFridayWithItsDate) {
  auto market = FixtureMarket("2026-12-05T12:00:00-05:00");
  const auto q = ReadLines(Get(*market, "/d/quotes.csv?s=MSFT&f=" + kAllCodes).body, 1).at(0);
  EXPECT_EQ(q.lastTradeTime, "Dec 4");
  EXPECT_EQ(q.values[27], "12/4/2026");
}

TEST(QuotesCsv, RealHistoryGivesTheQuoteItsPrices) {
  auto market = FixtureMarket();
  const auto q = ReadLines(Get(*market, "/d/quotes.csv?s=REAL&f=" + kAllCodes).body, 1).at(0);
  EXPECT_EQ(q.lastTrade, "11.25");
  EXPECT_EQ(q.values[26], "10.90");
  EXPECT_EQ(q.change, "+0.35");
  EXPECT_EQ(q.percentChange, "+3.21%");
  EXPECT_EQ(q.values[38], "10.80 - 11.50");
  EXPECT_EQ(q.values[29], "150000");
}

TEST(QuotesCsv, UnknownSymbolLineAndFieldSubsets) {
  auto market = FixtureMarket();
  const std::string line = Get(*market, "/d/quotes.csv?s=zzz&f=" + kAllCodes).body;
  EXPECT_EQ(line.substr(0, 26), "\"ZZZ\",\"N/A\",\"N/A\",N/A,N/A,");
  // Commas and blanks separate symbols as the plus does, as other programs' clients send them.
  for (const char* list : {"MSFT+T", "MSFT,T", "MSFT%2C%20T", "MSFT%20T"}) {
    EXPECT_EQ(Get(*market, std::string("/d/quotes.csv?s=") + list + "&f=sx").body,
              "\"MSFT\",\"NASDAQ\"\r\n\"T\",\"NYSE\"\r\n")
        << list;
  }
  // A quote in a symbol cannot break the line's quoting.
  const auto echoed = ReadLines(Get(*market, "/d/quotes.csv?s=A%22B&f=" + kAllCodes).body, 1).at(0);
  EXPECT_EQ(echoed.values[0], "AB");
}

TEST(QuotesCsv, MalformedAndOversizedRequestsAreRefused) {
  auto market = FixtureMarket();
  EXPECT_EQ(Get(*market, "/d/quotes.csv?f=sl").status, 400);
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=,+&f=sl").status, 400);
  EXPECT_EQ(Get(*market, "/d/quotes.csv?s=MSFT&f=sl9").status, 400);
  std::string many = "/d/quotes.csv?s=A";
  for (size_t i = 0; i < kMaxQuoteSymbols; ++i) many += "+A";
  EXPECT_EQ(Get(*market, many + "&f=s").status, 400);
  std::string allowed = "/d/quotes.csv?s=A";
  for (size_t i = 1; i < kMaxQuoteSymbols; ++i) allowed += "+A";
  EXPECT_EQ(Get(*market, allowed + "&f=s").status, 200);
}
