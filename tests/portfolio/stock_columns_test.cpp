// Cell texts and sort values of stock positions.
#include "portfolio/columns/stock_columns.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "holding_fixtures.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "tests/support/exact_values.h"

namespace {
// Every column of HeldIbm(); the sold position's differences follow in SoldPositionColumns.
const std::vector<std::string> kHeldTexts{
    "IBM",
    "INTL BUSINESS MACHINES",
    "4:00pm",
    "97.10",
    "+0.32  (+0.33%)",  // 0
    "17.50",
    "1.60",
    "1.20",
    "1,500",
    "145,650.00",  // 5
    "480.00",
    "29-Jan-2006",
    "81.50",
    "15.60",
    "122,259.95",  // 10
    "23,390.05",
    "19.13%",
    "90.00",
    "+7.10",
    "145.2 B",  // 15
    "1.20",
    "1.24",
    "10-Mar-07",
    "5,000,000",
    "72.73 - 100.90",  // 20
    "110.00",
    "4,000,000",
    "96.50",
    "97.05",
    "",  // 25
    "96.10 - 97.50",
    "1 yr, 1 mon",
    "core",
    "1480000000",
    "NYSE",  // 30
    "17.32%",
    "13.29%",
    "95.00",
    "+2.10",
    "70.00",  // 35
    "+27.10",
    "Sell target",
    "15.10",
    "13.90",
    "1.50",  // 40
    "6.40",
    "7.00",
    "96.78",
    "95.10",
    "+2.00",  // 45
    "+2.10%",
    "90.00",
    "+7.10",
    "+7.89%",
    "72.73",  // 50
    "100.90",
    "?",
    "?",
    "+20.00%",
    "+2.10  (+2.21%)",  // 55
    "+7.10  (+7.89%)",
    "1.10",
    "300",
    "",
    "",  // 60
    "",
    "",
    "",
    "9.95",
    "",  // 65
    "",
    "",
    "",
    "",
    "USD",  // 70
};

// Each listed column's text; a mismatch names its column.
void ExpectTexts(const VLHoldingItem& h, std::initializer_list<std::pair<int, const char*>> texts) {
  for (const auto& [column, text] : texts) EXPECT_EQ(Text(h, column), text) << "column " << column;
}
}  // namespace

TEST(StockColumns, EveryColumnOfAHeldPosition) {
  FixedEnvironment env;
  const VLStockHoldingItem h = HeldIbm();
  ASSERT_EQ(kHeldTexts.size(), 75u);
  for (int id = 0; id < 75; ++id) EXPECT_EQ(Text(h, id), kHeldTexts[id]) << "column " << id;
  EXPECT_EQ(Text(h, kColumnCount), "");
}

// The income columns: without income, the gain and Total Paid as they are; with the position's part of its
// portfolio's payments, added to them.
TEST(StockColumns, IncomeColumns) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  ExpectTexts(h, {{kColIncome, ""},
                  {kColTotalReturn, "23,390.05"},
                  {kColPctTotalReturn, "19.13%"},
                  {kColYieldOnCost, ""},
                  {kColCostBasis, "122,259.95"}});
  h.income.net = 45000;
  h.income.netLastYear = 30000;
  h.income.returnOfCapital = 10000;
  ExpectTexts(h, {{kColIncome, "450.00"},
                  {kColTotalReturn, "23,840.05"},
                  {kColPctTotalReturn, "19.50%"},
                  {kColYieldOnCost, "0.25%"},
                  {kColCostBasis, "122,159.95"}});
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColTotalReturn), 23840.05);
  // A return of capital beyond what was paid leaves a cost basis of 0, not below.
  h.income.returnOfCapital = 20000000;
  ExpectTexts(h, {{kColCostBasis, "0.00"}});
  h.income.net = -1000;  // a reversal
  ExpectTexts(h, {{kColIncome, "-10.00"}, {kColTotalReturn, "23,380.05"}});
}

// The currency follows the exchange as the bundled service names it; London quotes in pence.
TEST(StockColumns, CurrencyFromTheExchange) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  const std::pair<const char*, const char*> exchanges[] = {
      {"NASDAQ", "USD"}, {"NasdaqNM", "USD"}, {"lse", "GBp"},  {"XETRA", "EUR"},
      {"ASX", "AUD"},    {"Tokyo", "JPY"},    {"Nowhere", ""},
  };
  for (const auto& [exchange, currency] : exchanges) {
    h.quote.Edit().exchange = exchange;
    EXPECT_EQ(Text(h, kColCurrency), currency) << exchange;
  }
}

TEST(StockColumns, SoldPositionColumns) {
  FixedEnvironment env;
  const VLStockHoldingItem h = SoldIbm();
  // The gain comes from the sale value, not the current value (which is empty).
  ExpectTexts(h, {{kColCurrValue, ""},
                  {kColGain, "13,029.10"},
                  {kColDateSold, "19-Jan-2007"},
                  {kColSalePrice, "90.20"},
                  {kColSaleComm, "10.95"},
                  {kColSaleAge, "1 mon"},
                  {kColSaleAgeYears, "0.12"},
                  {kColPostSalePriceChg, "+6.90"},
                  {kColPostSaleGain, "10,360.95"},
                  {kColSaleValue, "135,289.05"}});
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColGain), 13029.10);
  // Held from purchase to sale, 355 days, in the text as in the sort value; the growth is annualised over
  // that time from the sale value (10.66% = 13,029.10 gained on 122,259.95 paid, under a year).
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), 355.0);
  ExpectTexts(h,
              {{kColHeld, "11 mos"}, {kColHeldYears, "0.97"}, {kColPctGain, "10.66%"}, {kColCagr, "10.66%"}});
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColDateSold), 20070119000000.0);

  VLStockHoldingItem loss = SoldIbm();
  loss.quote.Edit().lastTrade = "80.00";
  ExpectTexts(loss, {{kColPostSalePriceChg, "-10.20"}, {kColPostSaleGain, "-15,289.05"}});
}

TEST(StockColumns, UnknownSymbolShowsOnlyItself) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.quote.Edit().exchange = "N/A";
  ExpectTexts(h, {{kColSymbol, "IBM"}, {kColName, "No such symbol"}});
  for (int id = 2; id < kColumnCount; ++id) EXPECT_EQ(Text(h, id), "") << id;
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColChange), -200.0);
  EXPECT_EQ(h.GetCurrentValue().GetValue(), 0.0);
  EXPECT_EQ(h.GetTotalPaid().GetValue(), 0.0);
  EXPECT_EQ(h.GetLastTradeCents(), 0);
  EXPECT_EQ(h.GetPercentChange(), 33);  // the one figure that ignores the exchange
}

TEST(StockColumns, NegativeZeroLosesItsSign) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.quote.Edit().change = "-0.001";
  EXPECT_EQ(Text(h, kColValueChange), "-1.50");
  h.qty = Shares(1);
  EXPECT_EQ(Text(h, kColValueChange), "0.00");
  h.quote.Edit().percentChange200 = "-0.00%";
  EXPECT_EQ(Text(h, kColPctMAvg200Chg), "0.00%");
  h.quote.Edit().change50 = "-0.00 -0.00";
  EXPECT_EQ(Text(h, kColMAvg50Chg), "0.00 0.00");
  h.quote.Edit().change200 = "-1.00 -0.00";
  EXPECT_EQ(Text(h, kColMAvg200Chg), "-1.00 -0.00");  // only a text that begins with it
}

TEST(StockColumns, PricesBecomeCentsByRounding) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.buyPricePerShare = Cents(1029);
  h.quote.Edit().lastTrade = "10.29";
  EXPECT_EQ(h.GetLastTradeCents(), 1029);
  EXPECT_EQ(Text(h, kColPriceChg), "0.00");
  h.quote.Edit().lastTrade = "9.95";
  h.buyPricePerShare = Cents(1000);
  EXPECT_EQ(Text(h, kColPriceChg), "-0.05");
  h.quote.Edit().change = "0.29";
  h.qty = Shares(100);
  EXPECT_EQ(h.GetValueChange(), 2900);
  h.quote.Edit().percentChange = "1.15%";
  EXPECT_EQ(h.GetPercentChange(), 115);
  h.quote.Edit().changeRealtime = "-0.10";
  h.quote.Edit().percentChangeRealtime = "-1.00%";
  EXPECT_EQ(h.GetValueChange(), -1000);
  EXPECT_EQ(h.GetPercentChange(), -100);
  EXPECT_EQ(Text(h, kColChange), "-0.10  (-1.00%)");
}

TEST(StockColumns, MarketCapSizesAndSortValues) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  struct Case {
    const char* realtime;
    const char* delayed;
    const char* text;
    double value;
  } cases[] = {
      {"N/A", "145.2B", "145.2 B", 145.2e9},
      {"0", "850.5M", "850.5 M", 850.5e6},
      {"12.5K", "1B", "12.5 K", 12500.0},
      {"N/A", "1,234", "1,234", 1234.0},
      {"N/A", "N/A", "N/A", 0.0},
  };
  for (const Case& c : cases) {
    h.quote.Edit().marketCapRealtime = c.realtime;
    h.quote.Edit().marketCap = c.delayed;
    EXPECT_EQ(Text(h, kColMktCap), c.text);
    EXPECT_DOUBLE_EQ(h.GetColumnValue(kColMktCap), c.value) << c.text;
  }
}

TEST(StockColumns, ChangeColumnAndItsSortValue) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColChange), 0.33);
  h.quote.Edit().percentChange = "N/A";
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColChange), -200.0);
  h.quote.Edit().change = "";
  h.quote.Edit().percentChange = "";
  EXPECT_EQ(Text(h, kColChange), "");  // "  ()" is no change
  h.quote.Edit().lastTrade = "";
  ExpectTexts(h, {{kColTrade, ""}, {kColChange, ""}, {kColCurrValue, ""}, {kColGain, ""}});
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColChange), -200.0);
}

TEST(StockColumns, VolumesAgainstTheirAverage) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.quote.Edit().volume = "5000000";
  EXPECT_EQ(Text(h, kColPctAvgVol), "0.00%");
  h.quote.Edit().volume = "6000000";
  EXPECT_EQ(Text(h, kColPctAvgVol), "-20.00%");
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColPctAvgVol), -20.0);
  h.quote.Edit().averageVolume = "N/A";
  ExpectTexts(h, {{kColAvgVolume, ""}, {kColPctAvgVol, ""}});
  h.quote.Edit().volume = "N/A";
  EXPECT_EQ(Text(h, kColVolume), "N/A");
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColVolume), 0.0);
}

TEST(StockColumns, HeldTimeAndCompoundGrowth) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.purchaseDate = kTestNow - 182 * kDay;
  ExpectTexts(h, {{kColHeldYears, "0.50"}, {kColHeld, "5 mos"}});
  // Under a year the growth is not annualised: it equals the percentage gain.
  EXPECT_EQ(Text(h, kColCagr), Text(h, kColPctGain));
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColHeld), 182.0);
  h.purchaseDate = 0;
  ExpectTexts(h, {{kColHeld, ""}, {kColCagr, ""}, {kColDateBought, ""}});
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColDateBought), 0.0);
}

TEST(StockColumns, FiftyTwoWeekRangeAndDistances) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  EXPECT_NEAR(h.GetColumnValue(kColDistLow52Wk), 97.10 - 72.73, 1e-9);
  EXPECT_NEAR(h.GetColumnValue(kColDistHigh52Wk), 97.10 - 100.90, 1e-9);
  h.quote.Edit().low52Week = "0.00";
  h.quote.Edit().high52Week = "0.00";
  ExpectTexts(h, {{kColRange52Wk, "N/A"}, {kColLow52Wk, ""}});
  h.quote.Edit().low52Week = "5";
  h.quote.Edit().lastTrade = "0";
  EXPECT_DOUBLE_EQ(h.GetColumnValue(kColDistLow52Wk), 0.0);
  h.quote.Edit().high52Week = "N/A";
  ExpectTexts(h, {{kColRange52Wk, "N/A"}, {kColHigh52Wk, "N/A"}});
}

TEST(StockColumns, QuantityZeroLeavesThePositionFiguresEmpty) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.qty = Shares(0);
  for (int id : {kColQty, kColCurrValue, kColTotalPaid, kColGain, kColBuyPrice, kColBuyComm})
    EXPECT_EQ(Text(h, id), "") << id;
}

TEST(StockColumns, SizesRatiosAndEstimates) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.quote.Edit().bidSize = "12500";
  h.quote.Edit().shortRatio = "2.5";
  h.quote.Edit().targetPrice1Year = "N/A";
  ExpectTexts(h, {{kColBidSize, "12,500"}, {kColShortRatio, "2.50"}, {kColEst1Yr, ""}, {kColEstGain1Yr, ""}});
  h.quote.Edit().shortRatio = "0";
  EXPECT_EQ(Text(h, kColShortRatio), "");
  h.quote.Edit().symbol = "^DJI";
  EXPECT_EQ(Text(h, kColSharesFloated), "");
  h.quote.Edit().dayRangeRealtime = "0.00 - 0.00";
  EXPECT_EQ(Text(h, kColDayRange), "N/A");
  h.quote.Edit().lastTradeTimeRealtime = "4:01pm";
  EXPECT_EQ(Text(h, kColTime), "4:01pm");
}

TEST(StockAlerts, StopLossWinsOverSellOverBuy) {
  FixedEnvironment env;
  VLStockHoldingItem h = HeldIbm();
  h.perShareBuyTarget = Cents(9800);
  h.perShareSellTarget = Cents(9700);
  h.perShareStopLossTarget = Cents(9710);  // exactly at the trade
  EXPECT_TRUE(HasBuyAlert(h));
  EXPECT_TRUE(HasSellAlert(h));
  EXPECT_TRUE(HasStopLossAlert(h));
  EXPECT_EQ(Text(h, kColAlert), "Stop loss");
  h.perShareStopLossTarget = Cents(0);
  EXPECT_EQ(Text(h, kColAlert), "Sell target");
  h.perShareSellTarget = Cents(9711);
  EXPECT_EQ(Text(h, kColAlert), "Buy target");
  h.perShareBuyTarget = Cents(9709);
  EXPECT_EQ(Text(h, kColAlert), "");
  ExpectTexts(h, {{kColPctBuyDist, "+0.01  (+0.01%)"}, {kColPctSellDist, "-0.01  (-0.01%)"}});
  EXPECT_NEAR(h.GetColumnValue(kColPctSellDist), -100.0 / 9711, 1e-12);
}

TEST(CashAndMarginRows, ShowOnlyTheirAmountWithoutFinish) {
  FixedEnvironment env;
  VLCashHoldingItem cash;
  cash.name = "rainy day";
  cash.amount = 123456;
  VLMarginHoldingItem margin;
  margin.name = "broker loan";
  margin.amountOwed = 5;
  ExpectTexts(cash, {{kColSymbol, "[Cash]"}, {kColName, "rainy day"}, {kColCurrValue, "1,234.56"}});
  EXPECT_DOUBLE_EQ(cash.GetColumnValue(kColCurrValue), 1234.56);
  ExpectTexts(margin, {{kColSymbol, "[Margin]"}, {kColCurrValue, "-0.05"}});
  EXPECT_DOUBLE_EQ(margin.GetColumnValue(kColCurrValue), -0.05);
  for (int id = 2; id < kColumnCount; ++id) {
    if (id == kColCurrValue) continue;
    EXPECT_EQ(Text(cash, id), "") << id;
    EXPECT_EQ(Text(margin, id), "") << id;
    EXPECT_EQ(cash.GetColumnValue(id), 0.0) << id;
  }
  EXPECT_EQ(cash.GetCurrentValue().GetValue(), 1234.56);
  EXPECT_EQ(cash.GetTotalPaid().GetValue(), 0.0);
  EXPECT_EQ(margin.GetTotalPaid().GetValue(), 0.0);
  EXPECT_EQ(margin.GetValueChange(), 0);
}
