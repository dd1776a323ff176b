#include "service/price_model.h"

#include "service/text_format.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include "tests/support/temp_folder.h"

static int Day(int y, int m, int d) {
  int day = 0;
  EXPECT_TRUE(MakeDay(y, m, d, day));
  return day;
}

TEST(PriceModel, SameSeedAndClockGiveTheSameHistoryAndAnotherSeedDoesNot) {
  auto a = FixtureMarket();
  auto b = FixtureMarket();
  auto c = FixtureMarket("2026-12-04T15:30:00-05:00", 2);
  const Security& msft = *a->Securities().Find("MSFT");
  const auto barsA = a->Snapshot(msft, PriceModel::FirstDay(), a->Now()).bars;
  const auto barsB = b->Snapshot(*b->Securities().Find("MSFT"), PriceModel::FirstDay(), b->Now()).bars;
  const auto barsC = c->Snapshot(*c->Securities().Find("MSFT"), PriceModel::FirstDay(), c->Now()).bars;
  ASSERT_EQ(barsA.size(), barsB.size());
  ASSERT_EQ(barsA.size(), barsC.size());
  size_t differentCloses = 0;
  for (size_t i = 0; i < barsA.size(); ++i) {
    EXPECT_EQ(barsA[i].close, barsB[i].close);
    EXPECT_EQ(barsA[i].volume, barsB[i].volume);
    differentCloses += barsA[i].close != barsC[i].close;
  }
  EXPECT_GT(differentCloses, barsA.size() / 2);
}

TEST(PriceModel, EveryDailyBarFrom1990IsATradingDayWithCloseAndOpenInsideItsRange) {
  auto market = FixtureMarket();
  for (const char* symbol : {"MSFT", "VOD.L", "BHP.AX", "SPY", "VFIAX", "ESH27.CME", "^DJI"}) {
    const Security& s = *market->Securities().Find(symbol);
    const auto bars = market->Snapshot(s, PriceModel::FirstDay(), market->Now()).bars;
    ASSERT_GT(bars.size(), 9000u) << symbol;
    EXPECT_EQ(bars.front().day, Day(1990, 1, 2)) << symbol;
    EXPECT_LE(bars.back().day, Day(2026, 12, 4)) << symbol;
    int previousDay = 0;
    for (const DailyBar& bar : bars) {
      ASSERT_TRUE(TradingCalendar::IsTradingDay(bar.day)) << symbol << " " << FormatIsoDay(bar.day);
      ASSERT_GT(bar.day, previousDay);
      ASSERT_LE(bar.low, bar.open) << symbol << " " << FormatIsoDay(bar.day);
      ASSERT_LE(bar.low, bar.close) << symbol << " " << FormatIsoDay(bar.day);
      ASSERT_GE(bar.high, bar.open) << symbol << " " << FormatIsoDay(bar.day);
      ASSERT_GE(bar.high, bar.close) << symbol << " " << FormatIsoDay(bar.day);
      ASSERT_GT(bar.low, 0.0) << symbol;
      ASSERT_GE(bar.volume, 0.0);
      ASSERT_LE(bar.adjClose, bar.close + 0.005);
      previousDay = bar.day;
    }
  }
}

TEST(PriceModel, PastDaysDoNotDependOnTheClock) {
  auto december = FixtureMarket("2026-12-04T15:30:00-05:00");
  auto june = FixtureMarket("2026-06-01T12:00:00-04:00");
  const Security& s = *december->Securities().Find("MSFT");
  const auto late = december->Snapshot(s, Day(2026, 1, 1), december->Now()).bars;
  const auto early = june->Snapshot(*june->Securities().Find("MSFT"), Day(2026, 1, 1), june->Now()).bars;
  ASSERT_GT(early.size(), 90u);
  // The clock's own session is still running in June; every day before it must match.
  for (size_t i = 0; i + 1 < early.size(); ++i) {
    ASSERT_EQ(early[i].day, late[i].day);
    EXPECT_EQ(early[i].open, late[i].open);
    EXPECT_EQ(early[i].high, late[i].high);
    EXPECT_EQ(early[i].low, late[i].low);
    EXPECT_EQ(early[i].close, late[i].close);
  }
}

TEST(PriceModel, IntradayPathRunsFromOpenToCloseAndTouchesTheDayRange) {
  auto market = FixtureMarket();
  const Security& s = *market->Securities().Find("MSFT");
  const auto bars = market->Snapshot(s, Day(2026, 10, 1), market->Now()).bars;
  ASSERT_GT(bars.size(), 40u);
  for (size_t i = 0; i + 1 < bars.size(); ++i) {
    const auto path = market->Model().IntradayPath(s, bars[i], 390);
    ASSERT_EQ(path.size(), 391u);
    EXPECT_EQ(path.front(), bars[i].open);
    EXPECT_EQ(path.back(), bars[i].close);
    EXPECT_EQ(*std::min_element(path.begin(), path.end()), bars[i].low);
    EXPECT_EQ(*std::max_element(path.begin(), path.end()), bars[i].high);
  }
}

TEST(PriceModel, RunningSessionShowsTheDaySoFar) {
  auto market = FixtureMarket("2026-12-04T11:00:00-05:00");
  const Security& s = *market->Securities().Find("MSFT");
  const SecuritySnapshot snap = market->RecentSnapshot(s, 5, market->Now());
  ASSERT_TRUE(snap.session.inSession);
  EXPECT_EQ(snap.session.elapsedMinutes, 90);
  const auto points = market->Intraday(s, snap.session.quoteDay, market->Now());
  ASSERT_EQ(points.size(), 91u);
  const DailyBar& today = snap.bars.back();
  EXPECT_EQ(today.close, points.back().price);
  EXPECT_EQ(today.open, points.front().price);
  for (const IntradayPoint& p : points) {
    EXPECT_GE(p.price, today.low);
    EXPECT_LE(p.price, today.high);
  }
  // The finished day is wider than (or as wide as) its first ninety minutes.
  auto evening = FixtureMarket("2026-12-04T18:00:00-05:00");
  const DailyBar full =
      evening->RecentSnapshot(*evening->Securities().Find("MSFT"), 5, evening->Now()).bars.back();
  EXPECT_LE(full.low, today.low);
  EXPECT_GE(full.high, today.high);
  EXPECT_GT(full.volume, today.volume);
}

TEST(PriceModel, RealHistoryFileReplacesTheSimulationUpToTheClock) {
  auto market = FixtureMarket();
  const Security& s = *market->Securities().Find("REAL");
  const auto bars = market->Snapshot(s, 0, market->Now()).bars;
  ASSERT_EQ(bars.size(), 5u);  // the row dated after the clock stays hidden
  EXPECT_EQ(bars.front().day, Day(2026, 11, 30));
  EXPECT_EQ(bars.back().close, 11.25);
  auto simulated = FixtureMarket("2026-12-04T15:30:00-05:00", 1, false);
  EXPECT_GT(simulated->Snapshot(*simulated->Securities().Find("REAL"), 0, simulated->Now()).bars.size(),
            9000u);
}

TEST(PriceModel, HistoryFolderReportsFilesItCannotUse) {
  const TempFolder folder("vl_service_history");
  const std::filesystem::path dir = folder.Path();
  std::ofstream(dir / "MSFT.csv") << "Date,Open,High,Low,Close,Volume,Adj Close\n2026-12-01,1,0.5,1,1,1,1\n";
  std::ofstream(dir / "NOPE.csv") << "Date,Open,High,Low,Close,Volume,Adj Close\n";
  auto market = FixtureMarket("2026-12-04T15:30:00-05:00", 1, false);
  std::vector<std::string> messages;
  market->LoadHistoryFolder(dir.string(), messages);
  ASSERT_EQ(messages.size(), 2u);
  std::sort(messages.begin(), messages.end());
  EXPECT_NE(messages[0].find("MSFT.csv: line 2: prices outside the day's range"), std::string::npos)
      << messages[0];
  EXPECT_NE(messages[1].find("no security NOPE"), std::string::npos) << messages[1];
  // The broken file left the simulation in charge.
  EXPECT_FALSE(market->Snapshot(*market->Securities().Find("MSFT"), 0, market->Now()).realHistory);
}
