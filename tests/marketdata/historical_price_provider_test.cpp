#include "marketdata/historical_price_provider.h"

#include <gtest/gtest.h>

#include "marketdata/historical_price.h"
#include "marketdata/market_date.h"
#include "tests/marketdata/test_server.h"

class HistoryProvider : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Routes().Get("/table.csv", [this](const httplib::Request& req, httplib::Response& res) {
      targets.push_back(req.target);
      res.set_content(body, "text/csv");
    });
    ASSERT_TRUE(server.Start());
    ServiceHosts hosts;
    hosts.historicalHost = server.Host();
    provider.SetServiceHosts(hosts);
  }

  TestServer server;
  HistoricalPriceProvider provider;
  HistoricalPriceProvider::Results rows;
  std::string body;
  std::vector<std::string> targets;
};

TEST_F(HistoryProvider, ReadsEveryRowEndedByALineFeed) {
  body = ReadFixture("history.csv");
  provider.Fetch(" MSFT ", 1, 2007, 1, 2007, &rows);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  ASSERT_EQ(targets.size(), 1u);
  EXPECT_EQ(targets[0], "/table.csv?s=MSFT&a=0&b=1&c=2007&d=0&e=31&f=2007&g=d&ignore=.csv");
  // The fourth row has no line feed after it and is not taken.
  ASSERT_EQ(rows.size(), 3u);
  const HistoricalPrice& first = *rows[0];
  EXPECT_EQ(first.symbol, "MSFT");
  EXPECT_EQ(first.dateText, "5-Jan-2007");
  int64_t midnight = 0;
  ASSERT_TRUE(LocalMidnight(2007, 1, 5, &midnight));
  EXPECT_EQ(first.date, midnight);
  EXPECT_EQ(first.open, "29.63");
  EXPECT_EQ(first.high, "29.75");
  EXPECT_EQ(first.low, "29.45");
  EXPECT_EQ(first.close, "29.64");
  EXPECT_EQ(first.volume, "");
  EXPECT_EQ(first.adjClose, "24.93");
  // "/" and "." separate the date as "-" does.
  EXPECT_EQ(rows[1]->dateText, "4-Jan-2007");
  EXPECT_EQ(rows[2]->dateText, "3-Jan-2007");
  EXPECT_EQ(rows[2]->adjClose, "25.12");
}

TEST_F(HistoryProvider, TheSpanEndsOnTheLastDayOfTheEndMonth) {
  body = ReadFixture("history.csv");
  provider.Fetch("IBM", 3, 2007, 2, 2008, &rows);
  provider.Fetch("IBM", 2, 1900, 2, 1900, &rows);
  provider.Fetch("IBM", 1, 2000, 2, 2000, &rows);
  provider.Fetch("IBM", 11, 2006, 4, 2007, &rows);
  ASSERT_EQ(targets.size(), 4u);
  EXPECT_NE(targets[0].find("a=2&b=1&c=2007&d=1&e=29&f=2008&"), std::string::npos) << targets[0];
  EXPECT_NE(targets[1].find("a=1&b=1&c=1900&d=1&e=28&f=1900&"), std::string::npos) << targets[1];
  EXPECT_NE(targets[2].find("d=1&e=29&f=2000&"), std::string::npos) << targets[2];
  EXPECT_NE(targets[3].find("a=10&b=1&c=2006&d=3&e=30&f=2007&"), std::string::npos) << targets[3];
}

TEST_F(HistoryProvider, NothingIsFetchedForAnEmptySymbolOrABackwardSpan) {
  body = ReadFixture("history.csv");
  provider.Fetch("   ", 1, 2007, 1, 2007, &rows);
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
  provider.Fetch("MSFT", 2, 2007, 1, 2007, &rows);
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
  provider.Fetch("MSFT", 1, 2008, 12, 2007, &rows);
  EXPECT_TRUE(provider.HasError());
  EXPECT_TRUE(targets.empty());
  EXPECT_TRUE(rows.empty());
}

TEST_F(HistoryProvider, PagesWithoutRowsAreErrors) {
  for (const std::string& page :
       {ReadFixture("no_such_symbol.html"), std::string("Date,Open,High,Low,Close,Volume,Adj Close\n")}) {
    body = page;
    provider.Fetch("ZZZZ", 1, 2007, 1, 2007, &rows);
    EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
    EXPECT_TRUE(rows.empty());
  }
}

TEST_F(HistoryProvider, AnInvalidDateEndsTheRowsButKeepsThoseBefore) {
  body = ReadFixture("history_bad_date.csv");
  provider.Fetch("ABC", 2, 2007, 2, 2007, &rows);
  EXPECT_FALSE(provider.HasError());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]->dateText, "28-Feb-2007");
  EXPECT_EQ(rows[0]->adjClose, "10.20");  // the carriage return is trimmed

  rows.clear();
  body = "Date,Open,High,Low,Close,Volume,Adj Close\n1899-12-31,1,1,1,1,1,1\n2007-01-02,1,1,1,1,1,1\n";
  provider.Fetch("ABC", 1, 2007, 1, 2007, &rows);
  EXPECT_TRUE(provider.HasError());
  EXPECT_TRUE(rows.empty());
}

TEST_F(HistoryProvider, ARowLongerThanTheLineLimitIsLeftOut) {
  // A row whose volume runs on for 100,000 digits, between two sound rows.
  body =
      "Date,Open,High,Low,Close,Volume,Adj Close\n2007-01-05,29.63,29.75,29.45,29.64,44607200,24.93\n"
      "2007-01-04,29.70,30.00,29.50,29.81," +
      std::string(100000, '4') + ",25.08\n2007-01-03,29.91,30.25,29.40,29.86,76935100,25.12\n";
  provider.Fetch("MSFT", 1, 2007, 1, 2007, &rows);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_EQ(provider.GetLinesDropped(), 1u);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]->dateText, "5-Jan-2007");
  EXPECT_EQ(rows[1]->dateText, "3-Jan-2007");
  EXPECT_EQ(rows[1]->open, "29.91");
  EXPECT_EQ(rows[1]->adjClose, "25.12");
}
