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

TEST(SummaryMarkup, IncomeTotalsCloseEachRowAndTheTotalReturnTakesTheFreeMiddleCell) {
  for (const bool held : {true, false}) {
    VLPortfolioSummary s = held ? HeldFigures() : SoldFigures();
    s.incomeThisYear = "42.50";
    s.withholdingThisYear = "7.50";
    s.incomeAll = "1,042.50";
    s.totalReturn = "-3.25";
    const std::string markup = BuildSummaryMarkup(s, held);
    size_t at = 0;
    for (const char* label :
         {"Income This Year:", "Withholding This Year:", "Total Return:", "Income (All):"}) {
      EXPECT_NE(markup.find(label), std::string::npos) << label;
    }
    // Row by row: the income group is the last cell pair of each of the three rows.
    for (const char* label : {"Income This Year:", "Withholding This Year:", "Income (All):"}) {
      at = markup.find(label, at);
      ASSERT_NE(at, std::string::npos) << label;
      const size_t rowEnd = markup.find("</tr>", at);
      EXPECT_EQ(markup.find("<td width=50", at), markup.find("<td width=50", rowEnd)) << label << held;
    }
    EXPECT_NE(markup.find("color=red>-3.25<"), std::string::npos);
    EXPECT_EQ(BuildSummaryMarkup(held ? HeldFigures() : SoldFigures(), held).find("Income"),
              std::string::npos);
  }
}

// A base currency adds its two groups at the end of each row, after the income's; a missing rate names itself
// in their place.
TEST(SummaryMarkup, BaseTotalsCloseEachRowOrSayWhyNot) {
  for (const bool held : {true, false}) {
    VLPortfolioSummary s = held ? HeldFigures() : SoldFigures();
    s.base = {"EUR", "2,054.60", "1,161.85", "892.75", "864.49", "-28.26", "at reference rates of 2026-12-08",
              ""};
    const std::string markup = BuildSummaryMarkup(s, held);
    size_t at = 0;
    for (const char* label : {"Value (EUR):", "Price Gain (EUR):", "Total Paid (EUR):", "FX Gain (EUR):",
                              "Gain (EUR):", "Converted:"}) {
      at = markup.find(label, at);
      ASSERT_NE(at, std::string::npos) << label << held;
    }
    // The last pair of the last row, then the end of the row.
    EXPECT_EQ(markup.find("<td width=50", at), markup.find("<td width=50", markup.find("</tr>", at)));
    EXPECT_NE(markup.find(">at reference rates of 2026-12-08<"), std::string::npos);
    EXPECT_NE(markup.find("color=red>-28.26<"), std::string::npos);
    s.base = {"EUR", "", "", "", "", "", "", "no EUR/GBP rate on or before 2024-03-15"};
    const std::string refused = BuildSummaryMarkup(s, held);
    EXPECT_NE(refused.find("EUR totals:"), std::string::npos);
    EXPECT_NE(refused.find("color=red>no EUR/GBP rate on or before 2024-03-15<"), std::string::npos);
    EXPECT_EQ(refused.find("Value (EUR)"), std::string::npos);
  }
}

// Each figure's colour by its text and the view, one rule a row.
TEST(SummaryMarkup, EachFigureIsColouredByItsRule) {
  using S = VLPortfolioSummary;
  using C = SummaryColors;
  struct Case {
    std::string S::*figure;
    std::string C::*colour;
    const char* text;
    bool held;
    const char* expected;
  };
  const Case cases[] = {
      {&S::change, &C::change, "-7.00  (-0.57%)", true, "red"},
      {&S::change, &C::change, "50.00  (2.94%)", true, "black"},
      {&S::change, &C::change, "0.00", true, "black"},
      {&S::gain, &C::gain, "200.00  (13.33%)", true, "black"},
      {&S::gain, &C::gain, "200.00  (13.33%)", false, "darkgreen"},
      {&S::gain, &C::gain, "-5.00  (-1.00%)", true, "red"},
      {&S::gain, &C::gain, "-5.00  (-1.00%)", false, "red"},
      {&S::gain, &C::gain, "0.00", false, "black"},
      {&S::marginOwed, &C::marginOwed, "0.00", true, "black"},
      {&S::marginOwed, &C::marginOwed, "0,00", true, "black"},
      {&S::marginOwed, &C::marginOwed, "0.01", true, "red"},
      {&S::marginAvailable, &C::marginAvailable, "0.00", true, "black"},
      {&S::marginAvailable, &C::marginAvailable, "1,000.00", true, "darkgreen"},
      {&S::postSaleGain, &C::postSaleGain, "", false, "black"},
      {&S::postSaleGain, &C::postSaleGain, "0.00", false, "black"},
      {&S::postSaleGain, &C::postSaleGain, "-12.00", false, "black"},
      {&S::postSaleGain, &C::postSaleGain, "12.00", false, "red"},
  };
  for (const Case& c : cases) {
    S s;
    s.*c.figure = c.text;
    EXPECT_EQ(ChooseSummaryColors(s, c.held).*c.colour, c.expected) << c.text << " held " << c.held;
  }
}

TEST(SummaryMarkup, ZeroReadsAsZeroInEveryGrouping) {
  EXPECT_TRUE(IsZeroAmountText("0.00"));
  EXPECT_TRUE(IsZeroAmountText("0,00"));
  EXPECT_FALSE(IsZeroAmountText("1.000,00"));
  EXPECT_FALSE(IsZeroAmountText("0.01"));
  EXPECT_FALSE(IsZeroAmountText(""));
}

TEST(SummaryMarkup, MarkupCharactersInAFigureCannotOpenATag) {
  VLPortfolioSummary s = SoldFigures();
  s.netProceeds = "<b>&";
  const std::string markup = BuildSummaryMarkup(s, false);
  EXPECT_NE(markup.find(">&lt;b&gt;&amp;</font>"), std::string::npos);
}
