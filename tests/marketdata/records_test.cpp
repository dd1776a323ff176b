#include <gtest/gtest.h>

#include "framework/archive.h"
#include "marketdata/historical_price.h"
#include "marketdata/market_date.h"
#include "marketdata/news_item.h"
#include "tests/support/hand_bytes.h"
#include "tests/support/record_bytes.h"

TEST(MarketRecords, HistoricalPriceFieldsKeepTheirPlaces) {
  HistoricalPrice p;
  p.symbol = "IBM";
  p.dateText = "5-Mar-2007";
  p.date = 1173070800;
  p.open = "96.01";
  p.high = "97.02";
  p.low = "95.03";
  p.close = "96.04";
  p.volume = "4000005";
  p.adjClose = "90.06";
  const std::vector<uint8_t> expected = HandBytes()
                                            .Key("HP", 2)
                                            .Scrambled("IBM")
                                            .Scrambled("5-Mar-2007")
                                            .Time(1173070800)
                                            .Scrambled("96.01")
                                            .Scrambled("97.02")
                                            .Scrambled("95.03")
                                            .Scrambled("96.04")
                                            .Scrambled("4000005")
                                            .Scrambled("90.06")
                                            .bytes;
  EXPECT_EQ(StoreRecord(p), expected);
  HistoricalPrice q;
  ASSERT_EQ(LoadRecord(q, expected), SerializeResult::Ok);
  EXPECT_EQ(q.symbol, "IBM");
  EXPECT_EQ(q.dateText, "5-Mar-2007");
  EXPECT_EQ(q.date, 1173070800);
  EXPECT_EQ(q.open, "96.01");
  EXPECT_EQ(q.high, "97.02");
  EXPECT_EQ(q.low, "95.03");
  EXPECT_EQ(q.close, "96.04");
  EXPECT_EQ(q.volume, "4000005");
  EXPECT_EQ(q.adjClose, "90.06");

  std::vector<uint8_t> cut = expected;
  cut.resize(cut.size() - 3);  // a cut-off record is a stream error, never a half-filled success
  EXPECT_THROW((void)LoadRecord(q, cut), ArchiveError);
  NewsItem wrongType;
  EXPECT_EQ(LoadRecord(wrongType, expected), SerializeResult::TypeMismatch);
}

TEST(MarketRecords, NewsItemFieldsKeepTheirPlaces) {
  NewsItem n;
  n.symbol = "IBM";
  n.dateText = "Mon, Mar 5, 2007";
  n.title = "Big Blue wins";
  n.url = "http://news.example/2";
  n.source = "Wire";
  n.flags = 3;
  n.date = 1173070800;
  n.flagA = true;  // a display flag, not stored
  const std::vector<uint8_t> expected = HandBytes()
                                            .Key("NI", 1)
                                            .Str("IBM")
                                            .Str("Mon, Mar 5, 2007")
                                            .Str("Big Blue wins")
                                            .Str("http://news.example/2")
                                            .Str("Wire")
                                            .U32(3)
                                            .Time(1173070800)
                                            .bytes;
  EXPECT_EQ(StoreRecord(n), expected);
  NewsItem m;
  ASSERT_EQ(LoadRecord(m, expected), SerializeResult::Ok);
  EXPECT_EQ(m.symbol, "IBM");
  EXPECT_EQ(m.dateText, "Mon, Mar 5, 2007");
  EXPECT_EQ(m.title, "Big Blue wins");
  EXPECT_EQ(m.url, "http://news.example/2");
  EXPECT_EQ(m.source, "Wire");
  EXPECT_EQ(m.flags, 3);
  EXPECT_EQ(m.date, 1173070800);
  EXPECT_FALSE(m.flagA);
}

TEST(MarketDates, DaysInMonthAndDayTexts) {
  EXPECT_EQ(DaysInMonth(2, 2008), 29);
  EXPECT_EQ(DaysInMonth(2, 1900), 28);
  EXPECT_EQ(DaysInMonth(2, 2000), 29);
  EXPECT_EQ(DaysInMonth(4, 2007), 30);
  EXPECT_EQ(DaysInMonth(12, 2007), 31);
  EXPECT_EQ(DaysInMonth(13, 2007), 0);
  int64_t t = 0;
  ASSERT_TRUE(LocalMidnight(2007, 3, 5, &t));
  EXPECT_EQ(FormatDayText(t), "5-Mar-2007");
  EXPECT_FALSE(LocalMidnight(1899, 12, 31, &t));
  EXPECT_FALSE(LocalMidnight(2007, 0, 1, &t));
  EXPECT_FALSE(LocalMidnight(2007, 1, 32, &t));
  EXPECT_EQ(MonthFromAbbreviation("Sep"), 9);
  EXPECT_EQ(MonthFromAbbreviation("sep"), 0);
}
