#include "service/trading_calendar.h"

#include "service/exchange_info.h"
#include "service/text_format.h"
#include "service_fixture.h"

#include <gtest/gtest.h>

static int Day(int y, int m, int d) {
  int day = 0;
  EXPECT_TRUE(MakeDay(y, m, d, day));
  return day;
}

static std::string Utc(SysSeconds t) {
  return date::format("%Y-%m-%dT%H:%M", t);
}

TEST(TradingCalendar, NewYorkAndLondonOpenAtLocalTimeAcrossDaylightSavingChanges) {
  const TradingCalendar ny(*FindExchange("NYSE"));
  const TradingCalendar london(*FindExchange("LSE"));
  ASSERT_TRUE(ny.Valid());
  ASSERT_TRUE(london.Valid());
  // New York moves its clocks on 8 March 2026, London three weeks later on 29 March.
  EXPECT_EQ(Utc(ny.OpenTime(Day(2026, 3, 6))), "2026-03-06T14:30");
  EXPECT_EQ(Utc(ny.OpenTime(Day(2026, 3, 9))), "2026-03-09T13:30");
  EXPECT_EQ(Utc(ny.CloseTime(Day(2026, 3, 9))), "2026-03-09T20:00");
  EXPECT_EQ(Utc(london.OpenTime(Day(2026, 3, 27))), "2026-03-27T08:00");
  EXPECT_EQ(Utc(london.OpenTime(Day(2026, 3, 30))), "2026-03-30T07:00");
  // And back in autumn: London on 25 October, New York on 1 November.
  EXPECT_EQ(Utc(london.OpenTime(Day(2026, 10, 26))), "2026-10-26T08:00");
  EXPECT_EQ(Utc(ny.OpenTime(Day(2026, 10, 30))), "2026-10-30T13:30");
  EXPECT_EQ(Utc(ny.OpenTime(Day(2026, 11, 2))), "2026-11-02T14:30");
  EXPECT_EQ(ny.ZoneAbbreviation(ny.OpenTime(Day(2026, 3, 6))), "EST");
  EXPECT_EQ(ny.ZoneAbbreviation(ny.OpenTime(Day(2026, 3, 9))), "EDT");
  EXPECT_EQ(london.ZoneAbbreviation(london.OpenTime(Day(2026, 3, 30))), "BST");
}

TEST(TradingCalendar, StateFollowsTheSessionThroughTheDayAndTheWeekend) {
  const TradingCalendar ny(*FindExchange("NYSE"));
  SessionState s = ny.State(ClockAt("2026-12-04T09:00:00-05:00"));  // Friday before the open
  EXPECT_FALSE(s.inSession);
  EXPECT_EQ(s.quoteDay, Day(2026, 12, 3));
  EXPECT_EQ(s.minutesToOpen, 30);
  EXPECT_EQ(ny.State(ClockAt("2026-12-04T09:29:30-05:00")).minutesToOpen, 1);
  s = ny.State(ClockAt("2026-12-04T10:00:00-05:00"));
  EXPECT_TRUE(s.inSession);
  EXPECT_EQ(s.quoteDay, Day(2026, 12, 4));
  EXPECT_EQ(s.elapsedMinutes, 30);
  EXPECT_EQ(s.minutesToClose, 360);
  s = ny.State(ClockAt("2026-12-04T16:30:00-05:00"));
  EXPECT_FALSE(s.inSession);
  EXPECT_EQ(s.quoteDay, Day(2026, 12, 4));
  EXPECT_EQ(s.elapsedMinutes, 390);
  s = ny.State(ClockAt("2026-12-07T08:00:00-05:00"));  // Monday morning: Friday still stands
  EXPECT_EQ(s.quoteDay, Day(2026, 12, 4));
  EXPECT_EQ(s.localDay, Day(2026, 12, 7));
  EXPECT_EQ(s.minutesToOpen, 90);
  // Sydney is already in Saturday when New York trades on Friday afternoon.
  const TradingCalendar sydney(*FindExchange("ASX"));
  s = sydney.State(ClockAt("2026-12-04T15:30:00-05:00"));
  EXPECT_EQ(s.localDay, Day(2026, 12, 5));
  EXPECT_EQ(s.quoteDay, Day(2026, 12, 4));
  EXPECT_FALSE(s.inSession);
}

TEST(TradingCalendar, WeekendsNewYearAndChristmasAreNotTradingDays) {
  EXPECT_FALSE(TradingCalendar::IsTradingDay(Day(2026, 12, 5)));
  EXPECT_FALSE(TradingCalendar::IsTradingDay(Day(2026, 12, 25)));
  EXPECT_FALSE(TradingCalendar::IsTradingDay(Day(2027, 1, 1)));
  EXPECT_TRUE(TradingCalendar::IsTradingDay(Day(2026, 12, 24)));
  EXPECT_EQ(TradingCalendar::NextTradingDay(Day(2026, 12, 24)), Day(2026, 12, 28));
  EXPECT_EQ(TradingCalendar::PreviousTradingDay(Day(2027, 1, 4)), Day(2026, 12, 31));
}

TEST(TradingCalendar, EveryExchangeZoneIsInTheSystemDatabase) {
  auto market = FixtureMarket();
  std::string error;
  EXPECT_TRUE(market->CheckTimeZones(error)) << error;
}
