#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "marketdata/big_charts_chart_provider.h"
#include "marketdata/stock_info.h"
#include "marketdata/yahoo_chart_provider.h"
#include "tests/marketdata/test_server.h"
#include "tests/support/temp_folder.h"

// Records for the given symbols, and the pointer list the providers take.
struct Quotes {
  explicit Quotes(std::initializer_list<const char*> symbols) {
    infos.resize(symbols.size());
    size_t i = 0;
    for (const char* s : symbols) {
      infos[i].symbol = s;
      list.push_back(&infos[i++]);
    }
  }
  std::vector<StockInfo> infos;
  std::vector<StockInfo*> list;
};

static ServiceHosts ChartHosts() {
  ServiceHosts hosts;
  hosts.chartImageHost = "img.test";
  hosts.chartHost = "chart.test";
  hosts.altChartHost = "alt.test";
  return hosts;
}

TEST(YahooChart, PeriodsMapToTheImageAndChartHosts) {
  YahooChartProvider p;
  p.SetServiceHosts(ChartHosts());
  Quotes q{"MSFT", "IBM"};
  const char* expected[] = {"http://img.test/b?s=msft",
                            "http://img.test/w?s=msft",
                            "http://chart.test/c/1y/m/msft.gif",
                            "http://chart.test/c/1y/m/msft.gif",
                            nullptr,
                            "http://chart.test/c/1y/m/msft.gif",
                            "http://chart.test/c/5y/m/msft.gif",
                            "http://chart.test/c/5y/m/msft.gif",
                            "http://chart.test/c/my/m/msft.gif",
                            nullptr};
  for (int period = 0; period <= 9; ++period) {
    ChartProviderParams params;
    params.period = period;
    params.compareDJIA = true;  // not used by this provider
    std::string url = "unchanged";
    bool built = p.GetChartUrl(q.list, params, url);
    EXPECT_EQ(built, expected[period] != nullptr) << period;
    if (built) {
      EXPECT_EQ(url, expected[period]) << period;
    }
  }
  Quotes empty{""};
  std::string url;
  EXPECT_FALSE(p.GetChartUrl(empty.list, ChartProviderParams(), url));
}

TEST(BigChartsChart, SuffixesBecomeCountryCodes) {
  struct Case {
    const char* symbol;
    const char* sent;
  };
  const Case cases[] = {
      {"BHP.AX", "AU%3ABHP"}, {"VOD.L", "UK%3AVOD"},    {"RY.TO", "CA%3ARY"},   {"SAP.DE", "DE%3ASAP"},
      {"BMW.F", "DE%3ABMW"},  {"0005.HK", "HK%3A0005"}, {"TEF.MC", "ES%3ATEF"}, {"NOVN.SW", "CH%3ANOVN"},
      {"MSFT", "MSFT"},       {"L.TO", "CA%3AL"},       {"A.LX", "A.LX"},       {"X.L.L", "X.L.L"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BigChartsChartProvider::ConvertExchangeSuffix(c.symbol), c.sent) << c.symbol;
}

TEST(BigChartsChart, BuildsTheQueryFromTheParams) {
  BigChartsChartProvider p;
  p.SetServiceHosts(ChartHosts());
  std::string url;

  Quotes one{"^DJI"};
  ChartProviderParams params;
  ASSERT_TRUE(p.GetChartUrl(one.list, params, url));
  EXPECT_EQ(url, "http://alt.test/charts/big.chart?symb=DJI&size=1&time=1&freq=9&type=64&style=320");

  Quotes two{"A", " ^B "};
  params.compareNASDAQ = true;
  params.sizeOne = false;
  params.period = 8;
  params.movingAverage50 = true;
  params.movingAverage200 = true;
  ASSERT_TRUE(p.GetChartUrl(two.list, params, url));
  EXPECT_EQ(url,
            "http://alt.test/charts/big.chart?symb=A&comp=B+NASDAQ&size=2&time=13&freq=3&ma=4&maval=50"
            "&type=64&style=48");

  Quotes bulletin{"ABCD.OB"};
  ChartProviderParams all;
  all.compareDJIA = all.compareNASDAQ = all.compareSP500 = true;
  all.period = 4;
  all.movingAverage200 = true;
  ASSERT_TRUE(p.GetChartUrl(bulletin.list, all, url));
  EXPECT_EQ(url,
            "http://alt.test/charts/big.chart?symb=ABCD&comp=DJIA+NASDAQ+SP500&size=1&time=7&freq=1"
            "&ma=1&maval=200&type=64&style=320");

  all.period = 11;  // no span arguments at all
  all.movingAverage200 = false;
  all.movingAverage50 = true;
  Quotes three{"BHP.AX", "VOD.L", "MSFT"};
  ASSERT_TRUE(p.GetChartUrl(three.list, all, url));
  EXPECT_EQ(url,
            "http://alt.test/charts/big.chart?symb=AU%3ABHP&comp=UK%3AVOD+MSFT+DJIA+NASDAQ+SP500&size=1"
            "&ma=1&maval=50&type=64&style=48");
}

TEST(ChartDownload, WritesTheImageOrNothing) {
  TestServer server;
  const std::string image("GIF89a\x01\x00\x01\x00\x00\xff\x00,", 14);
  std::vector<std::string> requests;
  server.Routes().Get("/charts/big.chart", [&](const httplib::Request& req, httplib::Response& res) {
    requests.push_back(req.target);
    if (req.get_param_value("symb") == "NONE") {
      res.status = 404;
      res.set_content("no chart", "text/plain");
      return;
    }
    res.set_content(image, "image/gif");
  });
  ASSERT_TRUE(server.Start());
  BigChartsChartProvider p;
  ServiceHosts hosts;
  hosts.altChartHost = server.Host();
  p.SetServiceHosts(hosts);

  const TempFolder dir("vl_chart");
  const std::string file = dir.File("chart.gif");
  Quotes q{"MSFT"};
  ASSERT_TRUE(p.DownloadChart(q.list, ChartProviderParams(), file));
  EXPECT_EQ(ReadText(file), image);

  const std::string missing = dir.File("missing.gif");
  Quotes none{"NONE"};
  EXPECT_FALSE(p.DownloadChart(none.list, ChartProviderParams(), missing));
  EXPECT_FALSE(std::filesystem::exists(missing));

  Quotes blank{"MSFT", ""};
  std::vector<StockInfo*> withNull{q.list[0], nullptr};
  EXPECT_FALSE(p.DownloadChart(blank.list, ChartProviderParams(), missing));
  EXPECT_FALSE(p.DownloadChart(withNull, ChartProviderParams(), missing));
  EXPECT_FALSE(p.DownloadChart({}, ChartProviderParams(), missing));
  EXPECT_EQ(requests.size(), 2u);
}
