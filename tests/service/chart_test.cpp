#include "service/chart_builder.h"

#include "marketdata/big_charts_chart_provider.h"
#include "marketdata/stock_info.h"
#include "service_fixture.h"

#include <gd.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

// Width and height from a GIF header; false when the bytes are not a GIF.
static bool GifSize(const std::string& bytes, int& width, int& height) {
  if (bytes.size() < 14 || (bytes.compare(0, 6, "GIF87a") != 0 && bytes.compare(0, 6, "GIF89a") != 0))
    return false;
  auto u16 = [&](size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  width = u16(6);
  height = u16(8);
  return bytes.back() == ';';  // the trailer
}

TEST(Charts, BothUrlFormsGiveGifsOfTheirSize) {
  auto market = FixtureMarket();
  const struct {
    const char* target;
    int width, height;
  } cases[] = {
      {"/charts/big.chart?symb=MSFT&size=1&time=8&freq=1&type=64&style=320", 360, 270},
      {"/charts/big.chart?symb=MSFT&size=2&time=8&freq=1&ma=4&maval=50&type=64&style=320", 580, 400},
      {"/charts/big.chart?symb=AU%3ABHP&comp=MSFT+DJIA+NASDAQ+SP500&size=1&time=1&freq=9&type=64&style=48",
       360, 270},
      {"/charts/big.chart?symb=UK%3AVOD&size=2&time=13&freq=3&ma=1&maval=200", 580, 400},
      {"/b?s=msft", 300, 180},
      {"/w?s=^dji", 300, 180},
      {"/c/1y/m/msft.gif", 512, 288},
      {"/c/5y/v/vod.l.gif", 512, 288},
      {"/c/my/v/vfiax.gif", 512, 288},
  };
  for (const auto& c : cases) {
    const ServiceResponse r = Get(*market, c.target);
    EXPECT_EQ(r.status, 200) << c.target;
    EXPECT_EQ(r.contentType, "image/gif");
    int w = 0, h = 0;
    ASSERT_TRUE(GifSize(r.body, w, h)) << c.target;
    EXPECT_EQ(w, c.width) << c.target;
    EXPECT_EQ(h, c.height) << c.target;
  }
}

TEST(Charts, UnknownSymbolIsAnImageThatSaysSoAndBadQueriesAreRefused) {
  auto market = FixtureMarket();
  const ServiceResponse r = Get(*market, "/charts/big.chart?symb=NOSUCH&size=1&time=8&freq=1");
  EXPECT_EQ(r.status, 404);
  int w = 0, h = 0;
  EXPECT_TRUE(GifSize(r.body, w, h));
  for (const char* bad : {"/charts/big.chart?size=1", "/charts/big.chart?symb=MSFT&time=99",
                          "/charts/big.chart?symb=MSFT&size=9", "/c/2y/m/msft.gif", "/c/1y/msft.gif"})
    EXPECT_EQ(Get(*market, bad).status, 400) << bad;
}

TEST(Charts, SymbolsComeBackFromTheAlternativeServiceForm) {
  auto market = FixtureMarket();
  EXPECT_EQ(ResolveChartSymbol(*market, "AU:BHP"), "BHP.AX");
  EXPECT_EQ(ResolveChartSymbol(*market, "UK:VOD"), "VOD.L");
  EXPECT_EQ(ResolveChartSymbol(*market, "DJI"), "^DJI");
  EXPECT_EQ(ResolveChartSymbol(*market, "msft"), "MSFT");
  ChartQuery q;
  std::string error;
  ASSERT_TRUE(
      ParseBigChartQuery(*market, "symb=DJI&comp=MSFT+NASDAQ&size=2&time=4&freq=1&ma=4&maval=50", q, error));
  EXPECT_EQ(q.symbol, "^DJI");
  EXPECT_EQ(q.compare, (std::vector<std::string>{"MSFT", "^IXIC"}));
  EXPECT_EQ(q.movingAverages, (std::vector<int>{50, 200}));
  EXPECT_EQ(q.calendarDays, 31);
}

TEST(Charts, ComparisonsArePercentChangesAndAveragesFollowTheClose) {
  auto market = FixtureMarket();
  ChartQuery q;
  std::string error;
  ASSERT_TRUE(ParseBigChartQuery(*market, "symb=MSFT&comp=DJIA&time=6&freq=1", q, error));
  ChartPlan plan = BuildChart(*market, q, market->Now());
  ASSERT_TRUE(plan.percent);
  ASSERT_EQ(plan.lines.size(), 2u);
  for (const ChartLine& line : plan.lines) {
    ASSERT_EQ(line.values.size(), plan.pointCount);
    EXPECT_DOUBLE_EQ(line.values.front(), 0.0);
  }
  ASSERT_TRUE(ParseBigChartQuery(*market, "symb=MSFT&time=8&freq=1&ma=1&maval=50", q = {}, error));
  plan = BuildChart(*market, q, market->Now());
  ASSERT_EQ(plan.lines.size(), 2u);
  EXPECT_FALSE(plan.percent);
  // A 50-day average lies within the range of its fifty closes.
  const auto bars = market->RecentSnapshot(*market->Securities().Find("MSFT"), 50, market->Now()).bars;
  double lo = 1e9, hi = 0;
  for (const DailyBar& b : bars) lo = std::min(lo, b.close), hi = std::max(hi, b.close);
  EXPECT_GE(plan.lines[1].values.back(), lo);
  EXPECT_LE(plan.lines[1].values.back(), hi);
  // The running session keeps its full width; the line stops at the clock.
  ASSERT_TRUE(ParseQuoteChartRequest(*market, "/b", "s=msft", q = {}, error));
  plan = BuildChart(*market, q, market->Now());
  EXPECT_EQ(plan.pointCount, 79u);  // every fifth minute of 390, and the close
  EXPECT_TRUE(std::isfinite(plan.lines[0].values[72]));
  EXPECT_FALSE(std::isfinite(plan.lines[0].values.back()));
}

// Pixels of exactly the colour `rgb` in a GIF image; -1 when the bytes do not decode.
static int CountPixels(const std::string& gif, int rgb) {
  std::unique_ptr<gdImage, void (*)(gdImagePtr)> image(
      gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<char*>(gif.data())), gdImageDestroy);
  if (!image) return -1;
  int count = 0;
  for (int y = 0; y < gdImageSY(image.get()); ++y) {
    for (int x = 0; x < gdImageSX(image.get()); ++x) {
      const int c = gdImageGetPixel(image.get(), x, y);
      const int pixel =
          gdImageRed(image.get(), c) << 16 | gdImageGreen(image.get(), c) << 8 | gdImageBlue(image.get(), c);
      if (pixel == rgb) ++count;
    }
  }
  return count;
}

TEST(Charts, AComparisonKeepsTheMovingAverageOfTheSymbol) {
  auto market = FixtureMarket();
  // The request exactly as the chart window sends it: last year, 50-day average, compared with the DJIA.
  ChartProviderParams params;
  params.period = 5;
  params.movingAverage50 = true;
  params.compareDJIA = true;
  StockInfo msft;
  msft.symbol = "MSFT";
  std::string url;
  ASSERT_TRUE(BigChartsChartProvider().GetChartUrl({&msft}, params, url));
  const std::string target = url.substr(url.find("/charts/"));

  ChartQuery q;
  std::string error;
  ASSERT_TRUE(ParseBigChartQuery(*market, target.substr(target.find('?') + 1), q, error)) << error;
  const ChartPlan plan = BuildChart(*market, q, market->Now());
  ASSERT_TRUE(plan.percent);
  ASSERT_EQ(plan.lines.size(), 3u);
  EXPECT_EQ(plan.lines[0].label, "MSFT");
  EXPECT_EQ(plan.lines[1].label, "50-day avg");
  EXPECT_EQ(plan.lines[2].label, "^DJI");
  // Measured from the symbol's first close, the average lies among the percent changes of the last 50
  // closes (measured from its own first value it would start at 0%, whatever the price did before).
  const std::vector<double>& closes = plan.lines[0].values;
  const std::vector<double>& average = plan.lines[1].values;
  ASSERT_EQ(average.size(), closes.size());
  ASSERT_GE(closes.size(), 50u);
  for (size_t at : {size_t{49}, closes.size() / 2, closes.size() - 1}) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (size_t i = at - 49; i <= at; ++i) lo = std::min(lo, closes[i]), hi = std::max(hi, closes[i]);
    ASSERT_TRUE(std::isfinite(average[at])) << at;
    EXPECT_GE(average[at], lo - 1e-9) << at;
    EXPECT_LE(average[at], hi + 1e-9) << at;
  }

  // And it is drawn: the image has a line of the average's colour, orange, beside the symbol's blue.
  const ServiceResponse r = Get(*market, target);
  ASSERT_EQ(r.status, 200) << target;
  EXPECT_GT(CountPixels(r.body, 0xff8800), 200);  // the line crosses the plot, about 290 pixels wide
  EXPECT_GT(CountPixels(r.body, 0x0000cc), 200);
}

TEST(Charts, ALegendTooLongForOneRowWrapsInsideThePicture) {
  ChartPlan plan;
  plan.title = "MSFT";
  plan.pointCount = 3;
  const int colors[] = {0x0000cc, 0xff8800, 0x008800, 0xcc0000, 0x880088, 0x00a0a0};
  for (int c : colors) plan.lines.push_back({"A rather long line name", {1.0, 2.0, 1.5}, c});
  // The last line has no values: its colour can only come from its legend entry.
  plan.lines.back().values = {NAN, NAN, NAN};
  const std::string gif = RenderChartGif(plan);
  EXPECT_GT(CountPixels(gif, 0x00a0a0), 20);
}
