#include "marketdata/stock_info_provider.h"

#include <gtest/gtest.h>

#include <map>

#include "marketdata/stock_info.h"
#include "tests/marketdata/test_server.h"
#include "tests/support/distinct_quote.h"

// One CSV line of the 44 values; `overrides` maps value indexes (field-code order) to texts.
static std::string QuoteLine(const std::string& symbol, const std::map<int, std::string>& overrides) {
  static const std::vector<int> kQuoted = {0, 1, 2, 10, 27, 28, 36, 37, 38, 39, 40, 41, 43};
  std::string line;
  for (int i = 0; i < 44; ++i) {
    std::string value = i == 0 || i == 1 || i == 43 ? symbol : "N/A";
    if (auto it = overrides.find(i); it != overrides.end()) value = it->second;
    bool quoted = std::find(kQuoted.begin(), kQuoted.end(), i) != kQuoted.end();
    line += (i ? "," : "") + (quoted ? "\"" + value + "\"" : value);
  }
  return line + "\r\n";
}

class QuoteProvider : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Routes().Get("/d/quotes.csv", [this](const httplib::Request& req, httplib::Response& res) {
      target = req.target;
      res.status = status;
      res.set_content(body, "text/csv");
    });
    ASSERT_TRUE(server.Start());
    ServiceHosts hosts;
    hosts.SetAllHosts(server.Host());
    provider.SetServiceHosts(hosts);
  }

  // Fetches the symbols into fresh records that already hold an older quote.
  std::vector<StockInfo> FetchSymbols(const std::vector<std::string>& symbols) {
    std::vector<StockInfo> infos(symbols.size());
    std::vector<StockInfo*> pointers;
    for (size_t i = 0; i < symbols.size(); ++i) {
      infos[i].symbol = symbols[i];
      infos[i].lastTrade = "1.00";
      infos[i].lastTradeTime = "earlier";
      infos[i].change = "+0.01";
      infos[i].name = "old name";
      infos[i].stamp = 42;
      pointers.push_back(&infos[i]);
    }
    provider.Fetch(pointers);
    return infos;
  }

  TestServer server;
  StockInfoProvider provider;
  std::string body;
  int status = 200;
  std::string target;
};

TEST_F(QuoteProvider, ReadsSeveralSymbolsFromOneRequest) {
  body = ReadFixture("quotes.csv");
  auto q = FetchSymbols({"MSFT", "^DJI", "XQZZ"});
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  EXPECT_EQ(target, std::string("/d/quotes.csv?s=MSFT+^DJI+XQZZ&f=") + StockInfoProvider::kFieldCodes);

  // Where each plain value lands is the distinct-values test's; here what the fixture's own texts become:
  // further digits cut, entities stripped, a grouped number across several fields, a real-time trade read.
  const StockInfo& m = q[0];
  EXPECT_EQ(m.symbol, "MSFT");
  EXPECT_EQ(m.movingAverage50, "29.58");
  EXPECT_EQ(m.change50, "0.27");
  EXPECT_EQ(m.movingAverage200, "27.89");
  EXPECT_EQ(m.previousClose, "29.54");
  EXPECT_EQ(m.tickerTrend, "+-+-+=");
  EXPECT_EQ(m.open, "29.61");
  EXPECT_EQ(m.bid, "29.85");
  EXPECT_EQ(m.shortRatio, "1.23");
  EXPECT_EQ(m.lastTrade, "29.86");
  EXPECT_EQ(m.lastTradeRealtime, "29.86");
  EXPECT_EQ(m.lastTradeTimeRealtime, "N/A");
  EXPECT_EQ(m.changeRealtime, "+0.32");  // filled in from the real-time last trade
  EXPECT_EQ(m.percentChangeRealtime, "+1.09%");
  EXPECT_EQ(m.dayRangeRealtime, "N/A - N/A");
  EXPECT_EQ(m.floatShares, "9,567,891,234");
  EXPECT_EQ(m.stamp, 42);

  const StockInfo& d = q[1];
  EXPECT_TRUE(d.IsIndex());
  EXPECT_EQ(d.name, "DOW JONES INDUSTRIAL AVERAGE IN");
  EXPECT_EQ(d.high52Week, "12510.57");
  EXPECT_EQ(d.lastTrade, "12398.01");
  EXPECT_EQ(d.lastTradeTime, "Jan 5");
  EXPECT_EQ(d.change, "-82.68");
  EXPECT_EQ(d.percentChange, "-0.66%");
  EXPECT_EQ(d.changeRealtime, "-82.68");
  EXPECT_EQ(d.floatShares, "N/A");

  // An unknown symbol: "N/A" everywhere, and a last trade without "-" keeps the older values.
  const StockInfo& x = q[2];
  EXPECT_EQ(x.exchange, "N/A");
  EXPECT_EQ(x.low52Week, "N/A");
  EXPECT_EQ(x.lastTrade, "1.00");
  EXPECT_EQ(x.lastTradeTime, "earlier");
  EXPECT_EQ(x.change, "+0.01");
  EXPECT_EQ(x.dayRange, "N/A - N/A");
}

TEST_F(QuoteProvider, EveryValueOfTheAnswerLandsInItsOwnField) {
  // 44 values, each different: the 2-decimal fields carry further digits to be cut, the trade and change
  // pairs come as the service sends them. Read, they give DistinctQuote().
  body =
      "\"IBM\",\"INTL BUSINESS MACHINES\",\"NYSE\",145.5B,146.6B,1.07,17.08,1.09,1.10,1.11%,\"Mar "
      "12\",5000013,"
      "72.1499,100.1599,95.1699,+2.1799,+2.18%,90.1999,+7.2099,+7.21%,110.22,15.23,13.24,1.25,7.26,6.27,96."
      "28,"
      "\"3/5/2007\",\"+-+=30\",4000031,96.3299,97.3399,97.3499,3035,3036,0.3799,\"4:00pm - <b>97.38</b>\","
      "\"+0.40 - +0.41%\",\"96.42 - 97.42\",\"3:44pm - <b>97.43</b>\",\"+0.45 - +0.46%\",\"96.47 - 97.47\","
      "1480000004,\"INTL BUSINESS MACHINES\"\r\n";
  auto q = FetchSymbols({"IBM"});
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  StockInfo expected = DistinctQuote();
  expected.stamp = 42;  // the parse leaves the stamp alone
  EXPECT_SAME_QUOTE(q[0], expected);
}

TEST_F(QuoteProvider, FillsInTheRealtimeChangeOnlyWhenItCan) {
  struct Case {
    std::string previousClose, lastRealtime, changeRealtime, percentRealtime, expected;
  };
  const Case cases[] = {
      {"10.25", "10.5", "N/A", "+2.44%", "+0.25"},   {"10.5", "10.25", "N/A", "-2.38%", "-0.25"},
      {"10.25", "10.5", "+0.20", "+1.95%", "+0.20"},  // the service's own value stays
      {"10.25", "10.5", "N/A", "N/A", "N/A"},        {"0.00", "10.5", "N/A", "+2.44%", "N/A"},
      {"N/A", "10.5", "N/A", "+2.44%", "N/A"},
  };
  for (const Case& c : cases) {
    body = QuoteLine("ABC", {{26, c.previousClose},
                             {39, "10:01am - <b>" + c.lastRealtime + "</b>"},
                             {40, c.changeRealtime + " - " + c.percentRealtime}});
    auto q = FetchSymbols({"ABC"});
    ASSERT_FALSE(provider.HasError());
    EXPECT_EQ(q[0].changeRealtime, c.expected) << c.previousClose << " " << c.lastRealtime;
  }
}

TEST_F(QuoteProvider, ShortOrBrokenResponsesFailAndKeepWhatWasRead) {
  body = QuoteLine("AAA", {{13, "12.3456"}});
  auto q = FetchSymbols({"AAA", "BBB"});
  EXPECT_TRUE(provider.HasError());
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
  EXPECT_EQ(q[0].high52Week, "12.34");
  EXPECT_EQ(q[1].name, "old name");

  body = QuoteLine("AAA", {}).substr(0, 120);  // the line breaks off
  FetchSymbols({"AAA"});
  EXPECT_TRUE(provider.HasError());

  status = 404;
  body = "<html><body>Not Found</body></html>";
  FetchSymbols({"AAA"});
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
}

TEST_F(QuoteProvider, AnUnreachableServiceEndsAsAParseError) {
  ServiceHosts hosts;
  TestServer closed;
  ASSERT_TRUE(closed.Start());
  hosts.SetAllHosts(closed.Host());
  closed.Stop();
  provider.SetServiceHosts(hosts);
  FetchSymbols({"MSFT"});
  EXPECT_TRUE(provider.HasError());
  EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
}

TEST_F(QuoteProvider, EveryStoredTextIsBoundedOnACharacterBoundary) {
  // A 40,000-byte company name of two-byte characters (the line stays under the line limit), and a long
  // plain value.
  std::string name, trailing;
  for (int i = 0; i < 20000; ++i) name += "\xC3\xA9";
  for (int i = 0; i < 5000; ++i) trailing += "\xC3\xA9";
  body = QuoteLine("BIG", {{1, name}, {43, trailing}, {3, std::string(1000, '7')}}) + QuoteLine("NEXT", {});
  const std::vector<StockInfo> infos = FetchSymbols({"BIG", "NEXT"});
  ASSERT_FALSE(provider.HasError());
  EXPECT_EQ(provider.GetLinesDropped(), 0u);
  EXPECT_EQ(infos[0].name.size(), 254u);  // 255 would split the last character
  EXPECT_EQ(infos[0].name.substr(0, 4), "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(infos[0].name.substr(252), "\xC3\xA9");
  EXPECT_EQ(infos[0].marketCap, std::string(255, '7'));
  EXPECT_EQ(infos[1].name, "NEXT");  // the next line is read where it starts
  for (const StockInfo::TextField& field : StockInfo::TextFields()) {
    EXPECT_LE((infos[0].*field.member).size(), StockInfoProvider::kMaxFieldBytes) << field.fieldName;
  }
}

TEST_F(QuoteProvider, AnAnswerWithAnOverlongLineChangesNoQuote) {
  // A 5 MB company name: the line is left out while it arrives, and without it the lines no longer match
  // the symbols by order, so no quote is taken from the answer. The same with one endless line of digits.
  std::string huge;
  for (int i = 0; i < 2500000; ++i) huge += "\xC3\xA9";
  for (const std::string& first : {QuoteLine("BIG", {{1, huge}}), std::string(3000000, '7')}) {
    body = first + QuoteLine("NEXT", {});
    const std::vector<StockInfo> infos = FetchSymbols({"BIG", "NEXT"});
    EXPECT_TRUE(provider.HasError());
    EXPECT_EQ(provider.GetErrorText(), "Error parsing content");
    EXPECT_EQ(provider.GetLinesDropped(), 1u);
    EXPECT_NE(provider.GetFailure().Describe().find("lines longer than 64 KiB were left out"),
              std::string::npos)
        << provider.GetFailure().Describe();
    EXPECT_LT(provider.GetContent().size(), 1000u);  // the next line and the line ends only
    EXPECT_EQ(infos[0].name, "old name");
    EXPECT_EQ(infos[1].name, "old name");
  }
}

TEST_F(QuoteProvider, SymbolsWithUrlCharactersAreEscaped) {
  body = QuoteLine("A&B", {}) + QuoteLine("C D", {});
  FetchSymbols({"A&B", "C D"});
  EXPECT_FALSE(provider.HasError());
  EXPECT_EQ(target.substr(0, 32), "/d/quotes.csv?s=A%26B+C%20D&f=sn");
}

TEST(QuoteValues, CutToTwoDecimals) {
  EXPECT_EQ(StockInfoProvider::CutToTwoDecimals("12.3456"), "12.34");
  EXPECT_EQ(StockInfoProvider::CutToTwoDecimals("12.345 "), "12.34");
  EXPECT_EQ(StockInfoProvider::CutToTwoDecimals("1.5"), "1.5");
  EXPECT_EQ(StockInfoProvider::CutToTwoDecimals("N/A"), "N/A");
  EXPECT_EQ(StockInfoProvider::CutToTwoDecimals("1,234"), "1,234");
  EXPECT_EQ(StockInfoProvider::CutToTwoDecimals("1.2.345"), "1.2.34");
}
