#include "marketdata/market_time_provider.h"

#include <gtest/gtest.h>

#include "marketdata/text_helpers.h"
#include "tests/marketdata/test_server.h"

// Serves the clock page on every region site ("<sub>.localhost"), naming the site in the page.
class MarketTime : public ::testing::Test {
 protected:
  void SetUp() override {
    auto serve = [this](const httplib::Request& req, httplib::Response& res) {
      std::string host = req.get_header_value("Host");
      std::string site = host.substr(0, host.find("localhost"));
      lastRequest = site + req.target;
      std::string name = site.empty() ? "main" : site.substr(0, site.size() - 1);
      res.set_content(ReplaceAll(page, "[REGION]", "[" + name + "]"), "text/html");
    };
    server.Routes().Get("/", serve);
    server.Routes().Get("/q", serve);
    ASSERT_TRUE(server.Start());
    page = ReadFixture("market_clock.html");
    hosts.quoteWebHost = "localhost:" + std::to_string(server.Port());
  }

  void FetchRegion(MarketTimeProvider& p, int region) {
    p.SetServiceHosts(hosts);
    p.region = region;
    p.Fetch();
  }

  TestServer server;
  ServiceHosts hosts;
  std::string page;
  std::string lastRequest;
};

TEST_F(MarketTime, EveryRegionReadsItsOwnSiteAndMarkers) {
  const std::string plain[] = {"", "U.S. Markets closed"};
  const std::string clock[] = {"", "Market closed"};
  const std::string french[] = {"", "Bourse ouverte"};
  const std::string centred[] = {"", "+25.04 (-0.2% ) Markets opens in 3 hrs.  5 mins"};
  struct Case {
    int code;
    const char* request;
    const char* time;
    const std::string* state;
  };
  const Case cases[] = {
      {0, "/q?s=^DJI&d=v1", "Sat, Jan 6, 2007, 10:14AM ET [main]", plain},
      {1, "ar./", "Sat, Jan 6, 2007, 10:14AM ET [ar]", plain},
      {3, "au./", "Sat Jan 6 2:14am [au]", clock},
      {4, "br./q?s=^DJI&d=v1", "Jan 6 10:14 [br]", centred},
      {5, "ca./", "Jan 6 10:14 [ca]", centred},
      {9, "fr./", "6 janv. 16:14 [fr]", french},
      {10, "de./q?s=^DJI&d=v1", "Jan 6 10:14 [de]", centred},
      {12, "in./", "Jan 6 10:14 [in]", centred},
      {15, "it./q?s=^DJI&d=v1", "Jan 6 10:14 [it]", centred},
      {18, "mx./", "Jan 6 10:14 [mx]", centred},
      {23, "sg./", "Jan 6 10:14 [sg]", centred},
      {24, "es./q?s=^DJI&d=v1", "Jan 6 10:14 [es]", centred},
      {28, "uk./q?s=^DJI&d=v1", "Jan 6 10:14 [uk]", centred},
      {7, "/q?s=^DJI&d=v1", "Sat, Jan 6, 2007, 10:14AM ET [main]", plain},  // unknown: as 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    MarketTimeProvider p;
    FetchRegion(p, c.code);
    ASSERT_FALSE(p.HasError()) << p.GetErrorText();
    EXPECT_EQ(lastRequest, c.request);
    EXPECT_EQ(p.marketTime, c.time);
    EXPECT_EQ(p.marketState, c.state[1]);
  }
}

TEST_F(MarketTime, ExactlyTheThirteenRegionsAreSupported) {
  int supported = 0;
  for (int code = -5; code < 100; ++code) supported += IsSupportedRegion(code) ? 1 : 0;
  EXPECT_EQ(supported, 13);
  for (int code : {0, 1, 3, 4, 5, 9, 10, 12, 15, 18, 23, 24, 28})
    EXPECT_TRUE(IsSupportedRegion(code)) << code;
  EXPECT_FALSE(IsSupportedRegion(2));
}

TEST_F(MarketTime, BlocksWithoutATimeOrMarkers) {
  MarketTimeProvider p;
  p.marketTime = "earlier";
  page = "<small>Markets closed for the holiday.</small>";
  FetchRegion(p, 0);
  EXPECT_FALSE(p.HasError());
  EXPECT_EQ(p.marketTime, "earlier");
  EXPECT_EQ(p.marketState, "Markets closed for the holiday");

  page = "<small>10:00 - <b> . </b></small>";
  FetchRegion(p, 0);
  EXPECT_EQ(p.marketTime, "10:00");
  EXPECT_EQ(p.marketState, "");

  page = "<html>maintenance</html>";
  p.marketState = "kept";
  FetchRegion(p, 0);
  EXPECT_EQ(p.GetErrorText(), "Error parsing content");
  EXPECT_EQ(p.marketState, "kept");
}

TEST_F(MarketTime, ALineLongerThanTheLineLimitIsLeftOut) {
  MarketTimeProvider p;
  page = "<small>10:00 - <b>Open</b>\n" + std::string(100000, 'z') + "\n</small>";
  FetchRegion(p, 0);
  EXPECT_FALSE(p.HasError());
  EXPECT_EQ(p.GetLinesDropped(), 1u);
  EXPECT_EQ(p.marketTime, "10:00");
  EXPECT_EQ(p.marketState, "Open");

  // A clock that never ends its line: nothing of it is read.
  page = "<small>10:00 - " + std::string(3000000, 'z');
  p.marketState = "kept";
  FetchRegion(p, 0);
  EXPECT_EQ(p.GetErrorText(), "Error parsing content");
  EXPECT_EQ(p.marketState, "kept");
  EXPECT_EQ(p.GetContent(), "");
}

TEST(MarketTimeState, SignedFiguresAndSpacing) {
  EXPECT_EQ(MarketTimeProvider::CleanState(
                "<b style=\"color:#008800;\">1.5</b> <b style=\"color:#cc0000;\">-2</b>"),
            "+1.5 -2");
  EXPECT_EQ(MarketTimeProvider::CleanState("Up  <b style=\"color:#008800;\">+3%</b>.  U.S. open."),
            "Up +3% .  U.S. open");
  EXPECT_EQ(MarketTimeProvider::CleanState("."), "");
}
