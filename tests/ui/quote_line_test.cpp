#include "ui/main/quote_line.h"

#include <gtest/gtest.h>

#include "marketdata/stock_info.h"
#include "portfolio/columns/number_format.h"

namespace {

StockInfo Quote() {
  StockInfo q;
  q.name = "Intl Business Machines";
  q.exchange = "NYSE";
  q.lastTrade = "181.25";
  q.lastTradeTime = "4:00pm";
  q.change = "+1.25";
  q.percentChange = "+0.69%";
  q.lastTradeRealtime = "181.30";
  q.lastTradeTimeRealtime = "4:01pm";
  q.changeRealtime = "+1.30";
  q.percentChangeRealtime = "+0.72%";
  q.volume = "1234567";
  q.bid = "181.20";
  q.ask = "181.40";
  q.peRatio = "22.10";
  return q;
}

TEST(QuoteLine, StockIndexUnknownAndFailedFetch) {
  ScopedNumberFormat english(NumberFormat::English());
  StockInfo q = Quote();
  EXPECT_EQ(QuoteLineText("IBM", q, true).toStdString(),
            " IBM (Intl Business Machines)  181.30 at 4:01pm  (+1.30, +0.72%)  Vol: 1,234,567  Bid: 181.20  "
            "Ask: 181.40  P/E: 22.10  ");
  // Either real-time text "N/A" falls back to the delayed pair, each pair on its own.
  q.lastTradeTimeRealtime = "N/A";
  q.volume = "N/A";
  EXPECT_EQ(QuoteLineText("IBM", q, true).toStdString(),
            " IBM (Intl Business Machines)  181.25 at 4:00pm  (+1.30, +0.72%)  Vol: N/A  Bid: 181.20  "
            "Ask: 181.40  P/E: 22.10  ");
  q.percentChangeRealtime = "N/A";
  q.name = "Dow Jones Industrial Average";
  EXPECT_EQ(QuoteLineText("^DJI", q, true).toStdString(),
            " ^DJI (Dow Jones Industrial Average)  181.25 at 4:00pm  (+1.25, +0.69%) ");
  q.exchange = "N/A";
  EXPECT_EQ(QuoteLineText("XYZZY", q, true).toStdString(), " No such ticker symbol \"XYZZY\"");
  EXPECT_EQ(QuoteLineText("IBM", q, false).toStdString(),
            " Unable to get quote - please check your internet connection");
}

TEST(QuoteLine, SmallVolumeKeepsItsDigits) {
  ScopedNumberFormat english(NumberFormat::English());
  StockInfo q = Quote();
  q.volume = "0";
  EXPECT_NE(QuoteLineText("IBM", q, true).indexOf(QStringLiteral("Vol: 0  ")), -1);
}

}  // namespace
