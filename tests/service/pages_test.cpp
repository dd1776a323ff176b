#include "service/headlines_page.h"
#include "service/lookup_page.h"
#include "service/market_clock_page.h"
#include "service/text_format.h"

#include "page_cursor.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

// A look-up page read the way the symbol finder reads it.
struct LookupRead {
  bool found = false;
  int total = 0;
  int shownUpTo = 0;
  std::vector<std::string> symbols, names, exchanges;
};

static bool ReadLookup(const std::string& page, LookupRead& out) {
  PageCursor c(page);
  if (page.find("Click the symbol for a detailed quote.") == std::string::npos) return true;
  out.found = true;
  std::string text;
  if (!c.SkipPast("View supported exchanges") || !c.SkipPast("<td align=\"left\">") ||
      !c.ExtractUntil(" results for <b>", text) || std::sscanf(text.c_str(), "%d", &out.total) != 1)
    return false;
  if (!c.SkipPast("<b>Add to My Portfolio</b>") || !c.SkipPast("Showing ") || !c.SkipPast(" - ") ||
      !c.ExtractUntil(" of ", text) || std::sscanf(text.c_str(), "%d", &out.shownUpTo) != 1)
    return false;
  c.position = 0;
  std::string symbol, name, exchange;
  while (c.SkipPast("<tr bgcolor=\"ffffff\">")) {
    if (!c.SkipPast("\">") || !c.ExtractUntil("</a></td>", symbol) || !c.SkipPast("<td>") ||
        !c.ExtractUntil("</td>", name) || !c.SkipPast("<td>") || !c.ExtractUntil("</td>", exchange))
      break;
    out.symbols.push_back(FlattenLines(symbol));
    out.names.push_back(FlattenLines(StripTags(name)));
    out.exchanges.push_back(FlattenLines(StripTags(exchange)));
  }
  return true;
}

static std::unique_ptr<Market> PagingMarket() {
  std::string csv = "symbol,name,exchange,type,price,shares,eps,dividend,volatility\n";
  for (int i = 0; i < 120; ++i)
    csv += "PG" + std::to_string(1000 + i) + ",Paging Test Company " + std::to_string(i) +
           ",NYSE,S,10,1000000,1,0,0.2\n";
  csv += "PGF.L,Paging Test London plc,LSE,S,10,1000000,1,0,0.2\n";
  SecurityList list;
  std::string error;
  EXPECT_TRUE(list.ParseCsv(csv, "paging", error)) << error;
  return std::make_unique<Market>(std::move(list), 1, ClockAt("2026-12-04T15:30:00Z"));
}

TEST(LookupPage, HundredTwentyMatchesTakeThreePagesOfFifty) {
  auto market = PagingMarket();
  std::set<std::string> seen;
  const int expectedUpTo[] = {50, 100, 120};
  for (int page = 0; page < 3; ++page) {
    LookupRead read;
    const ServiceResponse r = Get(*market, "/lookup?m=US&t=S&s=paging&b=" + std::to_string(page * 50));
    ASSERT_EQ(r.status, 200);
    ASSERT_TRUE(ReadLookup(r.body, read)) << r.body;
    ASSERT_TRUE(read.found);
    EXPECT_EQ(read.total, 120);
    EXPECT_EQ(read.shownUpTo, expectedUpTo[page]);
    EXPECT_EQ(read.symbols.size(), page < 2 ? 50u : 20u);
    EXPECT_NE(r.body.find("Showing " + std::to_string(page * 50 + 1) + " - "), std::string::npos);
    seen.insert(read.symbols.begin(), read.symbols.end());
    for (const std::string& e : read.exchanges) EXPECT_EQ(e, "NYSE");
  }
  EXPECT_EQ(seen.size(), 120u);
  LookupRead all;
  ASSERT_TRUE(ReadLookup(Get(*market, "/lookup?m=ALL&t=S&s=paging").body, all));
  EXPECT_EQ(all.total, 121);
}

TEST(LookupPage, TypesMarketsAndNamesAsTheFinderReadsThem) {
  auto market = FixtureMarket();
  LookupRead read;
  ASSERT_TRUE(ReadLookup(Get(*market, "/lookup?m=US&t=S&s=AT%26T").body, read));
  ASSERT_EQ(read.symbols.size(), 1u);
  EXPECT_EQ(read.names[0], "AT&T Inc.");
  read = {};
  ASSERT_TRUE(ReadLookup(Get(*market, "/lookup?m=US&t=S&s=bhp").body, read));
  EXPECT_FALSE(read.found);  // BHP Group is not a U.S. stock
  read = {};
  ASSERT_TRUE(ReadLookup(Get(*market, "/lookup?m=ALL&t=S&s=bhp").body, read));
  ASSERT_EQ(read.symbols.size(), 1u);
  EXPECT_EQ(read.symbols[0], "BHP.AX");
  EXPECT_EQ(read.exchanges[0], "ASX");
  for (const auto& [type, symbol] :
       {std::pair<const char*, const char*>{"M", "VFIAX"}, {"E", "SPY"}, {"F", "ESH27.CME"}}) {
    read = {};
    ASSERT_TRUE(ReadLookup(Get(*market, std::string("/lookup?m=US&t=") + type + "&s=" + symbol).body, read));
    ASSERT_EQ(read.symbols.size(), 1u) << type;
    EXPECT_EQ(read.symbols[0], symbol);
  }
  // An empty search or an offset past the end is a page without results, not an error.
  EXPECT_EQ(Get(*market, "/lookup?m=US&t=S&s=").body.find("Click the symbol"), std::string::npos);
  EXPECT_EQ(Get(*market, "/lookup?m=US&t=S&s=msft&b=50").body.find("Click the symbol"), std::string::npos);
  EXPECT_EQ(Get(*market, "/lookup?s=msft&b=-1").status, 400);
}

// The clock of a region's page read the way the market time reader reads it.
static bool ReadClock(const std::string& page, const RegionalSite& region, std::string& time,
                      std::string& state) {
  PageCursor c(page);
  std::string block;
  if (!c.SkipPast(region.startMarker) || !c.ExtractUntil(region.endMarker, block, true)) return false;
  PageCursor b(block);
  if (b.ExtractUntil(" - ", time, true)) time = Trim(StripTags(time));
  b.ExtractRest(state);
  return true;
}

TEST(MarketClockPage, EveryRegionAnswersOnItsSubDomainWithItsOwnMarkers) {
  auto market = FixtureMarket();
  const int codes[] = {0, 1, 3, 4, 5, 9, 10, 12, 15, 18, 23, 24, 28};
  for (int code : codes) {
    const RegionalSite* region = FindRegion(code);
    ASSERT_NE(region, nullptr);
    const std::string host =
        *region->subDomain ? std::string(region->subDomain) + ".localhost:8642" : "localhost:8642";
    const ServiceResponse r = Get(*market, region->clockPage, host);
    ASSERT_EQ(r.status, 200) << region->name;
    std::string time, state;
    ASSERT_TRUE(ReadClock(r.body, *region, time, state)) << region->name << "\n" << r.body;
    EXPECT_NE(time.find("2026"), std::string::npos) << region->name << ": " << time;
    EXPECT_NE(state.find(std::string(region->marketsLabel) + " Markets "), std::string::npos) << state;
    EXPECT_EQ(&RegionForHost(host), region);
  }
}

TEST(MarketClockPage, StateTellsOpenClosingAndClosedInLocalTime) {
  auto market = FixtureMarket();  // Friday 15:30 in New York
  std::string time, state;
  ASSERT_TRUE(ReadClock(Get(*market, "/q?s=^DJI&d=v1").body, *FindRegion(0), time, state));
  EXPECT_EQ(time, "Fri, Dec 4, 2026, 3:30PM EST");
  EXPECT_EQ(StripTags(state).substr(0, 31), "U.S. Markets close in 30 mins. ");
  // The Dow's change is a bold green or red figure carrying its own sign.
  EXPECT_TRUE(state.find("Dow <b style=\"color:#008800;\">+") != std::string::npos ||
              state.find("Dow <b style=\"color:#cc0000;\">-") != std::string::npos)
      << state;
  ASSERT_TRUE(ReadClock(Get(*market, "/q?s=^DJI&d=v1", "uk.localhost").body, *FindRegion(28), time, state));
  EXPECT_EQ(time, "Fri, Dec 4, 2026, 8:30PM GMT");
  EXPECT_EQ(state.substr(0, 18), "UK Markets closed.");
  ASSERT_TRUE(ReadClock(Get(*market, "/", "au.localhost").body, *FindRegion(3), time, state));
  EXPECT_EQ(time, "Sat, Dec 5, 2026, 7:30AM AEDT");
  auto morning = FixtureMarket("2026-12-07T07:45:00-05:00");
  ASSERT_TRUE(ReadClock(Get(*morning, "/q?s=^DJI&d=v1").body, *FindRegion(0), time, state));
  EXPECT_EQ(state.substr(0, 38), "U.S. Markets open in 1 hr and 45 mins.");
  EXPECT_EQ(&RegionForHost("zz.localhost"), FindRegion(0));
  EXPECT_EQ(&RegionForHost("localhost"), FindRegion(0));
}

// Headline groups of one page, read the way the news reader reads them.
struct NewsRead {
  std::vector<std::string> headings, urls, titles, sources;
  std::string next;
};

static void ReadNews(const std::string& page, NewsRead& out) {
  PageCursor c(page);
  if (c.SkipPast("No headlines to display.", true) || !c.SkipPast("<td colspan=\"4\"", true)) return;
  std::string heading, block;
  while (c.IsAt("><b>", true)) {
    c.SkipPast("<b>", true);
    if (!c.ExtractUntil("</b></td>", heading, true)) return;
    out.headings.push_back(FlattenLines(heading));
    if (!c.ExtractUntil("<td colspan=\"4\"", block, true)) return;
    PageCursor b(block);
    std::string url, title, source;
    while (b.SkipPast("</td><td></td><td><a href=\"", true)) {
      if (!b.ExtractUntil("\">", url, true) || !b.ExtractUntil("</a>", title, true)) continue;
      if (!b.SkipPast("<font color=\"#666666\"><small>", true) || !b.SkipPast(" - ", true) ||
          !b.ExtractUntil("</small></font></td>", source, true))
        continue;
      out.urls.push_back(url);
      out.titles.push_back(Trim(StripTags(title)));
      out.sources.push_back(source.rfind("at ", 0) == 0 ? source.substr(3) : source);
    }
  }
  std::string link;
  if (c.SkipPast("<b>More Headlines for these symbols...</b>") && c.SkipBackTo("href=\"") &&
      c.SkipPast("\"", true) && c.ExtractUntil("\"", link, true)) {
    for (size_t at; (at = link.find("&amp;")) != std::string::npos;) link.replace(at, 5, "&");
    out.next = link;
  }
}

TEST(HeadlinesPage, PagesOfDateGroupsLinkToOlderHeadlinesAndToArticles) {
  auto market = FixtureMarket();
  std::string target = "/q/h?s=MSFT";
  std::set<std::string> headings;
  size_t items = 0;
  int pages = 0;
  for (; !target.empty() && pages < 40; ++pages) {
    const ServiceResponse r = Get(*market, target);
    ASSERT_EQ(r.status, 200);
    NewsRead read;
    ReadNews(r.body, read);
    ASSERT_FALSE(read.headings.empty()) << target;
    EXPECT_LE(read.headings.size(), static_cast<size_t>(kHeadlineDaysPerPage));
    for (const std::string& h : read.headings)
      EXPECT_TRUE(headings.insert(h).second) << "repeated group " << h;
    ASSERT_EQ(read.urls.size(), read.titles.size());
    for (size_t i = 0; i < read.urls.size(); ++i) {
      ASSERT_EQ(read.urls[i].rfind("http://localhost:8642/n/MSFT/", 0), 0u) << read.urls[i];
      EXPECT_NE(read.titles[i].find("Microsoft Corporation"), std::string::npos);
      EXPECT_EQ(read.sources[i].rfind("Vellumar ", 0), 0u) << read.sources[i];
    }
    if (pages == 0) {
      const ServiceResponse article =
          Get(*market, read.urls[0].substr(std::string("http://localhost:8642").size()));
      EXPECT_EQ(article.status, 200);
      EXPECT_NE(article.body.find(HtmlEscape(read.titles[0])), std::string::npos);
    }
    items += read.urls.size();
    target = read.next;
  }
  EXPECT_GT(pages, 2);
  EXPECT_LT(pages, 40);
  EXPECT_EQ(items, MakeHeadlines(*market, *market->Securities().Find("MSFT"), market->Now()).size());
}

TEST(HeadlinesPage, UnknownSymbolHasNoHeadlines) {
  auto market = FixtureMarket();
  const ServiceResponse r = Get(*market, "/q/h?s=NOSUCH");
  EXPECT_EQ(r.status, 200);
  EXPECT_NE(r.body.find("No headlines to display."), std::string::npos);
  EXPECT_EQ(Get(*market, "/q/h?s=MSFT&t=1900").status, 400);
  EXPECT_EQ(Get(*market, "/n/MSFT/20261204-99.html").status, 404);
}

TEST(IndexXml, ListsEveryIndexWithItsAttributesInReadingOrder) {
  auto market = FixtureMarket();
  const ServiceResponse r = Get(*market, "/vellumar/data/index.xml");
  ASSERT_EQ(r.status, 200);
  PageCursor c(r.body);
  ASSERT_TRUE(c.SkipPast("<indexes>"));
  std::vector<std::string> symbols, names, countries;
  std::string country, exch, symbol, name;
  while (c.SkipPast("<index country=\"")) {
    ASSERT_TRUE(c.ExtractUntil("\"", country));
    ASSERT_TRUE(c.SkipPast("exch=\"", true) && c.ExtractUntil("\"", exch));
    ASSERT_TRUE(c.SkipPast("symbol=\"", true) && c.ExtractUntil("\"", symbol));
    ASSERT_TRUE(c.SkipPast("name=\"", true) && c.ExtractUntil("\"", name));
    symbols.push_back(symbol);
    names.push_back(name);
    countries.push_back(country);
  }
  EXPECT_EQ(symbols, (std::vector<std::string>{"^DJI", "^IXIC", "^GSPC", "^FTSE", "^AXJO"}));
  EXPECT_EQ(names[2], "S&amp;P 500");
  EXPECT_EQ(countries[3], "United Kingdom");
}

TEST(InfoPage, OpensWithTheClockAndShowsTheQuote) {
  auto market = FixtureMarket();
  const ServiceResponse r = Get(*market, "/q?s=msft");
  ASSERT_EQ(r.status, 200);
  std::string time, state;
  ASSERT_TRUE(ReadClock(r.body, *FindRegion(0), time, state));
  EXPECT_NE(r.body.find("Microsoft Corporation (MSFT)"), std::string::npos);
  EXPECT_NE(r.body.find("/c/1y/m/msft.gif"), std::string::npos);
  EXPECT_EQ(Get(*market, "/q?s=NOSUCH").status, 404);
}

TEST(RequestRouter, RefusesWhatItCannotServe) {
  auto market = FixtureMarket();
  EXPECT_EQ(Get(*market, "/nowhere").status, 404);
  EXPECT_EQ(Get(*market, "/healthz").body, "ok\n");
  EXPECT_EQ(Get(*market, "no-slash").status, 400);
  EXPECT_EQ(Get(*market, "/q?s=A\x01").status, 400);
  EXPECT_EQ(Get(*market, "/lookup?s=" + std::string(kMaxTargetLength, 'a')).status, 400);
  ServiceRequest post;
  post.method = "POST";
  post.target = "/d/quotes.csv?s=MSFT";
  EXPECT_EQ(HandleServiceRequest(*market, post).status, 405);
}

TEST(RequestRouter, OddQueriesOnEveryPathGetAnAnswerNotACrash) {
  auto market = FixtureMarket();
  const char* paths[] = {"/d/quotes.csv",
                         "/table.csv",
                         "/q/h",
                         "/q",
                         "/",
                         "/lookup",
                         "/vellumar/data/index.xml",
                         "/charts/big.chart",
                         "/b",
                         "/w",
                         "/c/1y/m/msft.gif",
                         "/c/my/x/.gif",
                         "/n/MSFT/x.html",
                         "/n/",
                         "/c/"};
  const char* queries[] = {"",
                           "?",
                           "?&&&",
                           "?s",
                           "?s=",
                           "?s=%",
                           "?s=%zz%4",
                           "?s=+++",
                           "?s=MSFT&f=",
                           "?s=MSFT&f=%00",
                           "?s=^DJI&a=-1&b=0&c=99999&d=99&e=-5&f=0",
                           "?s=MSFT&b=999999999999999999999",
                           "?symb=%3A&comp=%3A+DJIA+&size=0",
                           "?symb=MSFT&time=1&freq=0&ma=4&maval=1",
                           "?s=MSFT&t=20261399",
                           "?s=MSFT&t=19000101",
                           "?m=ALL&t=Q&s=a&b=49"};
  for (const char* path : paths) {
    for (const char* query : queries) {
      const ServiceResponse r = Get(*market, std::string(path) + query, "\x01weird host");
      EXPECT_TRUE(r.status == 200 || r.status == 400 || r.status == 404)
          << path << query << " -> " << r.status;
      EXPECT_FALSE(r.contentType.empty());
    }
  }
}
