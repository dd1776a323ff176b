#include "ui/main/summary_markup.h"

#include <gtest/gtest.h>

#include "portfolio/views/portfolio_summary.h"
#include "summary_markup_fixtures.h"

TEST(SummaryMarkup, BothViewsAreTheFullTemplateWithTheirFiguresAndColours) {
  EXPECT_EQ(BuildSummaryMarkup(HeldFigures(), true), kHeldMarkup);
  EXPECT_EQ(BuildSummaryMarkup(SoldFigures(), false), kSoldMarkup);
}

TEST(SummaryMarkup, MixedCurrenciesShowBesideTheFigures) {
  for (const bool held : {true, false}) {
    VLPortfolioSummary s = held ? HeldFigures() : SoldFigures();
    s.currencies = {"GBp", "USD"};
    const std::string markup = BuildSummaryMarkup(s, held);
    EXPECT_NE(markup.find("Mixed currencies:"), std::string::npos) << held;
    EXPECT_NE(markup.find("color=darkorange>GBp and USD, not converted<"), std::string::npos) << held;
  }
}

TEST(SummaryMarkup, ChangeIsRedOnlyWhenNegative) {
  VLPortfolioSummary s = HeldFigures();
  EXPECT_EQ(ChooseSummaryColors(s, true).change, "red");
  s.change = "50.00  (2.94%)";
  EXPECT_EQ(ChooseSummaryColors(s, true).change, "black");
  s.change = "0.00";
  EXPECT_EQ(ChooseSummaryColors(s, true).change, "black");
}

TEST(SummaryMarkup, GainIsRedWhenNegativeAndDarkGreenOnlyInTheSoldView) {
  VLPortfolioSummary s;
  s.gain = "200.00  (13.33%)";
  EXPECT_EQ(ChooseSummaryColors(s, true).gain, "black");
  EXPECT_EQ(ChooseSummaryColors(s, false).gain, "darkgreen");
  s.gain = "-5.00  (-1.00%)";
  EXPECT_EQ(ChooseSummaryColors(s, true).gain, "red");
  EXPECT_EQ(ChooseSummaryColors(s, false).gain, "red");
  s.gain = "0.00";
  EXPECT_EQ(ChooseSummaryColors(s, false).gain, "black");
}

TEST(SummaryMarkup, MarginOwedRedAndMarginAvailableGreenUnlessZero) {
  VLPortfolioSummary s;
  s.marginOwed = "0.00";
  s.marginAvailable = "0.00";
  SummaryColors c = ChooseSummaryColors(s, true);
  EXPECT_EQ(c.marginOwed, "black");
  EXPECT_EQ(c.marginAvailable, "black");
  s.marginOwed = "0.01";
  s.marginAvailable = "1,000.00";
  c = ChooseSummaryColors(s, true);
  EXPECT_EQ(c.marginOwed, "red");
  EXPECT_EQ(c.marginAvailable, "darkgreen");
}

TEST(SummaryMarkup, PostSaleGainIsRedOnlyWhenPositive) {
  VLPortfolioSummary s;
  for (const char* black : {"", "0.00", "-12.00"}) {
    s.postSaleGain = black;
    EXPECT_EQ(ChooseSummaryColors(s, false).postSaleGain, "black") << black;
  }
  s.postSaleGain = "12.00";
  EXPECT_EQ(ChooseSummaryColors(s, false).postSaleGain, "red");
}

TEST(SummaryMarkup, ZeroReadsAsZeroInEveryGrouping) {
  EXPECT_TRUE(IsZeroAmountText("0.00"));
  EXPECT_TRUE(IsZeroAmountText("0,00"));
  EXPECT_FALSE(IsZeroAmountText("1.000,00"));
  EXPECT_FALSE(IsZeroAmountText("0.01"));
  EXPECT_FALSE(IsZeroAmountText(""));
  VLPortfolioSummary s;
  s.marginOwed = "0,00";
  EXPECT_EQ(ChooseSummaryColors(s, true).marginOwed, "black");
}

TEST(SummaryMarkup, MarkupCharactersInAFigureCannotOpenATag) {
  VLPortfolioSummary s = SoldFigures();
  s.netProceeds = "<b>&";
  const std::string markup = BuildSummaryMarkup(s, false);
  EXPECT_NE(markup.find(">&lt;b&gt;&amp;</font>"), std::string::npos);
}
