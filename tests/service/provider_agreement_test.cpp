// The application's own providers read every page of the running service without error and get the
// figures the model gives. Only loopback: the hosts are localhost and its sub-domains.
#include "marketdata/big_charts_chart_provider.h"
#include "marketdata/chart_provider_params.h"
#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"
#include "marketdata/market_time_provider.h"
#include "marketdata/news_item.h"
#include "marketdata/news_item_provider.h"
#include "marketdata/service_hosts.h"
#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"
#include "marketdata/symbol_finder.h"
#include "marketdata/yahoo_chart_provider.h"
#include "service/headlines_page.h"
#include "service/market_server.h"
#include "service/quote_figures.h"
#include "service/text_format.h"

#include "service_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include "tests/support/temp_folder.h"

class ProviderAgreement : public ::testing::Test {
 protected:
  void SetUp() override {
    market = FixtureMarket();
    server = std::make_unique<ServedMarket>(*market);
    ASSERT_TRUE(server->Ready());
    savedHosts = GetServiceHosts();
    ServiceHosts hosts = savedHosts;
    hosts.SetAllHosts("localhost:" + std::to_string(server->Port()));
    hosts.receiveTimeoutMs = 10000;
    SetServiceHosts(hosts);
  }
  void TearDown() override {
    SetServiceHosts(savedHosts);
    server.reset();
  }

  std::unique_ptr<Market> market;
  std::unique_ptr<ServedMarket> server;
  ServiceHosts savedHosts;
};

TEST_F(ProviderAgreement, QuotesMatchTheModel) {
  std::vector<StockInfo> infos(5);
  const char* symbols[] = {"MSFT", "^DJI", "NOSUCH", "REAL", "VFIAX"};
  std::vector<StockInfo*> pointers;
  for (size_t i = 0; i < infos.size(); ++i) {
    infos[i].symbol = symbols[i];
    pointers.push_back(&infos[i]);
  }
  StockInfoProvider provider;
  provider.Fetch(pointers);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  for (size_t i = 0; i < infos.size(); ++i) {
    const Security* s = market->Securities().Find(symbols[i]);
    if (s == nullptr) {
      EXPECT_EQ(infos[i].exchange, "N/A");
      continue;
    }
    const QuoteFigures q = MakeQuote(*market, market->RecentSnapshot(*s, kQuoteLookbackBars, market->Now()));
    EXPECT_EQ(infos[i].name, s->name);
    EXPECT_EQ(infos[i].exchange, q.exchange);
    EXPECT_EQ(infos[i].lastTrade, FormatFixed(q.last, 2)) << symbols[i];
    EXPECT_EQ(infos[i].previousClose, q.previousClose);
    EXPECT_EQ(infos[i].change, FormatSignedFixed(q.change, 2));
    EXPECT_EQ(infos[i].dayRange, q.dayRange);
    EXPECT_EQ(infos[i].volume, q.volume);
    EXPECT_EQ(infos[i].floatShares, q.floatShares);
  }
  EXPECT_EQ(infos[3].lastTrade, "11.25");
}

TEST_F(ProviderAgreement, HistoryRowsAreTheDownload) {
  HistoricalPriceProvider provider;
  HistoricalPriceProvider::Results rows;
  provider.Fetch("MSFT", 11, 2026, 12, 2026, &rows);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  int from = 0;
  ASSERT_TRUE(MakeDay(2026, 11, 1, from));
  const auto bars = market->Snapshot(*market->Securities().Find("MSFT"), from, market->Now()).bars;
  ASSERT_EQ(rows.size(), bars.size());
  EXPECT_EQ(rows.front()->close, FormatFixed(bars.back().close, 2));  // newest first
  EXPECT_EQ(rows.back()->open, FormatFixed(bars.front().open, 2));
}

TEST_F(ProviderAgreement, LookupAndIndexList) {
  SymbolFinder finder;
  SymbolFinder::Results results;
  finder.Fetch("o", SymbolFinder::kStocks, true, &results, nullptr, 0);
  ASSERT_FALSE(finder.HasError()) << finder.GetErrorText();
  size_t expected = 0;
  for (const Security* s : market->Securities().Search("o", SecurityType::Stock, true))
    expected += s->symbol.find('^') == std::string::npos;  // the finder drops index rows
  EXPECT_EQ(results.size(), expected);
  SymbolFinder indexes;
  SymbolFinder::Results list;
  indexes.Fetch("", SymbolFinder::kIndexes, false, &list, nullptr, 0);
  ASSERT_FALSE(indexes.HasError()) << indexes.GetErrorText();
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[2]->name, "S&P 500");
  EXPECT_EQ(list[3]->exchange, "United Kingdom");
}

TEST_F(ProviderAgreement, MarketTimeOfEveryRegion) {
  for (const MarketRegion& region : MarketRegions()) {
    MarketTimeProvider provider;
    provider.region = region.code;
    provider.Fetch();
    ASSERT_FALSE(provider.HasError()) << region.name << ": " << provider.GetErrorText();
    EXPECT_NE(provider.marketTime.find("2026"), std::string::npos) << region.name;
    EXPECT_NE(provider.marketState.find(" Markets "), std::string::npos)
        << region.name << ": " << provider.marketState;
  }
  MarketTimeProvider us;
  us.Fetch();
  EXPECT_EQ(us.marketTime, "Fri, Dec 4, 2026, 3:30PM EST");
  EXPECT_EQ(us.marketState.substr(0, 30), "U.S. Markets close in 30 mins.");
}

TEST_F(ProviderAgreement, NewsFollowsThePagesNewestFirst) {
  NewsItemProvider provider;
  NewsItemProvider::Results items;
  provider.Fetch({"MSFT", "NOSUCH"}, &items, 10, 60, nullptr, 0);
  ASSERT_FALSE(provider.HasError()) << provider.GetErrorText();
  const auto all = MakeHeadlines(*market, *market->Securities().Find("MSFT"), market->Now());
  EXPECT_EQ(items.size(), std::min<size_t>(60, all.size()));
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.front()->title, all.front().title);
  for (size_t i = 1; i < items.size(); ++i) EXPECT_GE(items[i - 1]->date, items[i]->date);
}

TEST_F(ProviderAgreement, ChartDownloadsAreGifs) {
  StockInfo msft, vod;
  msft.symbol = "MSFT";
  vod.symbol = "VOD.L";
  const TempFolder folder("vl_service_chart");
  const std::filesystem::path file = folder.File("chart.gif");
  ChartProviderParams params;
  params.period = 5;
  params.compareDJIA = true;
  BigChartsChartProvider bigCharts;
  ASSERT_TRUE(bigCharts.DownloadChart({&msft, &vod}, params, file.string()));
  std::ifstream in(file, std::ios::binary);
  std::string head(6, '\0');
  in.read(head.data(), 6);
  EXPECT_EQ(head, "GIF87a");
  YahooChartProvider yahoo;
  params.period = 0;
  ASSERT_TRUE(yahoo.DownloadChart({&msft}, params, file.string()));
  EXPECT_GT(std::filesystem::file_size(file), 200u);
}
