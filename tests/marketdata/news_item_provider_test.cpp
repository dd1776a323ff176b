#include "marketdata/news_item_provider.h"

#include <gtest/gtest.h>

#include <map>

#include "marketdata/market_date.h"
#include "marketdata/news_item.h"
#include "marketdata/text_helpers.h"
#include "tests/marketdata/recording_owner.h"
#include "tests/marketdata/test_server.h"

static constexpr uint32_t kProgressCommand = 32873;

class NewsHeadlines : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Routes().Get("/q/h", [this](const httplib::Request& req, httplib::Response& res) {
      requests.push_back(req.target);
      const std::string symbol = req.get_param_value("s");
      if (symbol == "DOWN") {
        res.set_content_provider(5000, "text/html", [](size_t, size_t, httplib::DataSink&) { return false; });
        return;
      }
      std::string page = symbol == "MSFT"  ? (req.has_param("t") ? "news_msft_2.html" : "news_msft_1.html")
                         : symbol == "IBM" ? "news_ibm.html"
                                           : "news_none.html";
      res.set_content(ReplaceAll(ReadFixture(page), replaceText, replacement), "text/html");
    });
    ASSERT_TRUE(server.Start());
    ServiceHosts hosts;
    hosts.SetAllHosts(server.Host());
    provider.SetServiceHosts(hosts);
  }

  std::vector<std::string> Urls() const {
    std::vector<std::string> urls;
    for (const auto& item : results) urls.push_back(item->url.substr(item->url.rfind('/') + 1));
    return urls;
  }

  TestServer server;
  NewsItemProvider provider;
  NewsItemProvider::Results results;
  RecordingOwner owner;
  std::vector<std::string> requests;
  std::string replaceText = "\x01", replacement = "\x01";  // an edit of every page served
};

TEST_F(NewsHeadlines, MergesEverySymbolsPagesNewestFirst) {
  std::vector<int> progressSeen;
  owner.onCommand = [&] { progressSeen.push_back(provider.progress); };
  bool stopped = provider.Fetch({"MSFT", "IBM"}, &results, 0, 0, &owner, kProgressCommand);
  EXPECT_FALSE(stopped);
  EXPECT_FALSE(provider.HasError());
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], "/q/h?s=MSFT");
  EXPECT_EQ(requests[1], "/q/h?s=MSFT&t=2007-01-05T15:15:00");  // "&amp;" became "&"
  EXPECT_EQ(requests[2], "/q/h?s=IBM");
  // Equal dates put the later insertion first; the headline without a source line is dropped.
  EXPECT_EQ(Urls(), (std::vector<std::string>{"d2", "d1", "a2", "a1", "b2", "c1", "e1"}));
  const NewsItem& a1 = *results[3];
  EXPECT_EQ(a1.symbol, "MSFT");
  EXPECT_EQ(a1.dateText, "Today, Sat, Jan 6, 2007");
  EXPECT_EQ(a1.title, "Software maker beats estimates");
  EXPECT_EQ(a1.url, "http://news.test/msft/a1");
  EXPECT_EQ(a1.source, "Wire One");
  EXPECT_EQ(a1.flags, 0);
  int64_t jan6 = 0;
  ASSERT_TRUE(LocalMidnight(2007, 1, 6, &jan6));
  EXPECT_EQ(a1.date, jan6);
  EXPECT_EQ(results[2]->title, "Analysts weigh in");
  EXPECT_EQ(results[2]->source, "Daily Ledger");
  EXPECT_EQ(results[4]->title, "Shares slip & recover");
  EXPECT_EQ(results[0]->symbol, "IBM");
  EXPECT_EQ(owner.commands.size(), 6u);
  EXPECT_EQ(progressSeen, (std::vector<int>{0, 0, 50, 0, 100, 100}));
}

TEST_F(NewsHeadlines, TheOwnerStopsFromTheProgressCommand) {
  owner.onCommand = [&] { provider.stop = true; };
  EXPECT_TRUE(provider.Fetch({"MSFT", "IBM"}, &results, 10, 100, &owner, kProgressCommand));
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_EQ(Urls(), (std::vector<std::string>{"a2", "a1", "b2"}));
}

TEST_F(NewsHeadlines, DayAndItemLimits) {
  provider.Fetch({"MSFT", "IBM"}, &results, 2, 100, nullptr, 0);
  // One date group per page, and no further page.
  EXPECT_EQ(Urls(), (std::vector<std::string>{"d2", "d1", "a2", "a1"}));
  EXPECT_EQ(requests.size(), 2u);

  results.clear();
  provider.Fetch({"MSFT"}, &results, 1, 100, nullptr, 0);
  EXPECT_TRUE(results.empty());

  // The limit counts the whole fetch; a later symbol still adds its first headline, then stops.
  results.clear();
  requests.clear();
  provider.Fetch({"MSFT", "IBM"}, &results, 10, 2, nullptr, 0);
  EXPECT_EQ(Urls(), (std::vector<std::string>{"d1", "a2", "a1"}));
  EXPECT_EQ(requests.size(), 2u);
}

TEST_F(NewsHeadlines, EmptyPagesAndDeadSymbols) {
  provider.Fetch({"NONE"}, &results, 0, 0, nullptr, 0);
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(requests.size(), 1u);

  // A first page that cannot be fetched is tried three times, then the next symbol follows.
  requests.clear();
  provider.Fetch({"DOWN", "IBM"}, &results, 0, 0, nullptr, 0);
  EXPECT_EQ(requests, (std::vector<std::string>{"/q/h?s=DOWN", "/q/h?s=DOWN", "/q/h?s=DOWN", "/q/h?s=IBM"}));
  EXPECT_EQ(results.size(), 3u);
  EXPECT_FALSE(provider.HasError());
}

TEST(NewsHeadingDates, OnlyShortMonthNamesAndSaneDays) {
  int64_t date = 0, expected = 0;
  ASSERT_TRUE(NewsItemProvider::ParseHeadingDate("Today, Sat, Jan 6, 2007", &date));
  ASSERT_TRUE(LocalMidnight(2007, 1, 6, &expected));
  EXPECT_EQ(date, expected);
  EXPECT_TRUE(NewsItemProvider::ParseHeadingDate("Mon, Dec 31, 2029", &date));
  for (const char* bad : {"Sat, January 6, 2007", "Sat, jan 6, 2007", "Sat, Jan 32, 2007", "Sat, Jan 0, 2007",
                          "Sat, Jan 6, 1899", "Sat, Jan 6", "Today, Jan 6, 2007"}) {
    EXPECT_FALSE(NewsItemProvider::ParseHeadingDate(bad, &date)) << bad;
  }
}

TEST_F(NewsHeadlines, AHeadlineLongerThanTheLineLimitIsLeftOut) {
  replaceText = "Second IBM story";
  replacement = std::string(100000, 'x');
  provider.Fetch({"IBM"}, &results, 0, 0, nullptr, 0);
  EXPECT_FALSE(provider.HasError());
  EXPECT_EQ(provider.GetLinesDropped(), 1u);
  EXPECT_EQ(Urls(), (std::vector<std::string>{"d1", "e1"}));
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0]->title, "Big Blue ships a mainframe");
  EXPECT_EQ(results[0]->source, "Wire Two");
}
