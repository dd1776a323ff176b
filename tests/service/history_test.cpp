#include "service/history_csv.h"

#include "service/text_format.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

static std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the last row must end with a line feed";
  return lines;
}

TEST(HistoryCsv, MonthSpanGivesEveryTradingDayNewestFirst) {
  auto market = FixtureMarket();
  // January 2026 as the client asks for it: months 0-based, the end day the month's length.
  const ServiceResponse r = Get(*market, "/table.csv?s=MSFT&a=0&b=1&c=2026&d=0&e=31&f=2026&g=d&ignore=.csv");
  ASSERT_EQ(r.status, 200);
  const auto lines = Lines(r.body);
  ASSERT_EQ(lines.size(), 22u);  // header and 21 weekdays without New Year's Day
  EXPECT_EQ(lines[0], "Date,Open,High,Low,Close,Volume,Adj Close");
  EXPECT_EQ(lines[1].substr(0, 11), "2026-01-30,");
  EXPECT_EQ(lines[21].substr(0, 11), "2026-01-02,");
  std::vector<DailyBar> rows;
  std::string error;
  ASSERT_TRUE(ParseHistoryCsv(r.body, rows, error)) << error;
  EXPECT_EQ(rows.size(), 21u);
}

TEST(HistoryCsv, SpanEndingAfterTheClockStopsAtTheQuoteDay) {
  auto market = FixtureMarket();
  const ServiceResponse r = Get(*market, "/table.csv?s=MSFT&a=10&b=1&c=2026&d=11&e=31&f=2026&g=d");
  const auto lines = Lines(r.body);
  ASSERT_GT(lines.size(), 20u);
  EXPECT_EQ(lines[1].substr(0, 11), "2026-12-04,");
  // The running session's row is the quote: its close is the last trade.
  const std::string quote = Get(*market, "/d/quotes.csv?s=MSFT&f=l").body;
  const std::string close =
      lines[1].substr(lines[1].find(',', lines[1].find(',', lines[1].find(',', 11) + 1) + 1) + 1);
  EXPECT_NE(quote.find("<b>" + close.substr(0, close.find(',')) + "</b>"), std::string::npos)
      << quote << lines[1];
  // Without dates the whole history since 1990 comes back.
  const auto all = Lines(Get(*market, "/table.csv?s=MSFT").body);
  EXPECT_EQ(all.back().substr(0, 11), "1990-01-02,");
}

TEST(HistoryCsv, RealFileIsServedAsItIsUpToTheClock) {
  auto market = FixtureMarket();
  const auto lines = Lines(Get(*market, "/table.csv?s=REAL&a=0&b=1&c=2026&d=11&e=31&f=2026&g=d").body);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[1], "2026-12-04,11.00,11.50,10.80,11.25,150000,11.25");
  EXPECT_EQ(lines[5], "2026-11-30,9.80,10.10,9.70,10.00,80000,10.00");
}

TEST(HistoryCsv, AdjustedCloseTakesOutLaterDividends) {
  auto market = FixtureMarket();
  std::vector<DailyBar> rows;
  std::string error;
  ASSERT_TRUE(ParseHistoryCsv(Get(*market, "/table.csv?s=MSFT&a=0&b=1&c=2024").body, rows, error)) << error;
  ASSERT_GT(rows.size(), 500u);
  EXPECT_LT(rows.front().adjClose / rows.front().close, 0.99);  // two years of a 0.7% yield
  EXPECT_EQ(rows.back().adjClose, rows.back().close);
}

TEST(HistoryCsv, UnknownSymbolsAndBadArgumentsGetNoTable) {
  auto market = FixtureMarket();
  const ServiceResponse unknown = Get(*market, "/table.csv?s=NOSUCH&a=0&b=1&c=2026&d=0&e=31&f=2026&g=d");
  EXPECT_EQ(unknown.status, 404);
  EXPECT_EQ(unknown.body.find("Date,Open"), std::string::npos);
  for (const char* bad :
       {"/table.csv?s=MSFT&a=12", "/table.csv?s=MSFT&c=abc", "/table.csv?s=MSFT&g=w", "/table.csv"})
    EXPECT_EQ(Get(*market, bad).status, 400) << bad;
  // February's end is clamped to the month, so e=31 for February still works.
  EXPECT_EQ(Get(*market, "/table.csv?s=MSFT&a=1&b=1&c=2024&d=1&e=31&f=2024").status, 200);
}

TEST(HistoryCsv, ParserRejectsBrokenFilesWithTheLineAndKeepsWhatItHad) {
  std::vector<DailyBar> rows(1);
  rows[0].close = 42;
  std::string error;
  const std::string header = "Date,Open,High,Low,Close,Volume,Adj Close\n";
  EXPECT_FALSE(ParseHistoryCsv("Date,Close\n2026-01-02,1\n", rows, error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
  EXPECT_FALSE(
      ParseHistoryCsv(header + "2026-01-02,1,2,0.5,1,10,1\n2026-13-01,1,2,0.5,1,10,1\n", rows, error));
  EXPECT_EQ(error, "line 3: bad date \"2026-13-01\"");
  EXPECT_FALSE(ParseHistoryCsv(header + "2026-01-02,1,2,0.5,x,10,1\n", rows, error));
  EXPECT_FALSE(ParseHistoryCsv(header + "2026-01-02,1,2,0.5,3,10,1\n", rows, error));
  EXPECT_EQ(error, "line 2: prices outside the day's range");
  EXPECT_FALSE(
      ParseHistoryCsv(header + "2026-01-02,1,2,0.5,1,10,1\n2026-01-02,1,2,0.5,1,10,1\n", rows, error));
  EXPECT_FALSE(ParseHistoryCsv(header + "2026-01-02,1,2,0.5,1,10\n", rows, error));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].close, 42);
  EXPECT_TRUE(ParseHistoryCsv(header + "2026-01-05,1,2,0.5,1,10,1\r\n2026-01-02,1,2,0.5,1.5,10,1.5\r\n", rows,
                              error));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].close, 1.5);  // oldest first
}
