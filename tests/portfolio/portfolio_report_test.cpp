#include "portfolio/views/portfolio_report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

const std::string kFixtures = std::string(VL_FIXTURES_DIR) + "/report/";

std::tm WrittenAt() {
  std::tm t{};
  t.tm_year = 2007 - 1900;
  t.tm_mon = 2;  // March
  t.tm_mday = 5;
  t.tm_wday = 1;
  t.tm_hour = 14;
  t.tm_min = 7;
  t.tm_sec = 9;
  t.tm_zone = "UTC";
  return t;
}

// Symbol (left), Change (centre), Gain (right), Name (left): one column of each alignment and a red one.
PortfolioReportInput HeldInput() {
  PortfolioReportInput input;
  input.heldView = true;
  input.columns = {{0, "Symbol", 0}, {4, "Change", 2}, {15, "Gain", 1}, {1, "Name", 0}};
  input.sortColumn = 15;
  input.alternateRows = true;
  input.portfolioName = "Retirement";
  input.updatedText = "Updated: 5-Mar 4:00pm ET";
  input.rows = {
      {"IBM", "-0.50", "-12.00", "Intl Business Machines"},
      {"MSFT", "", "5.00", "Microsoft"},
      {"^DJI", "+10.20", "0.00", "Dow Jones <Index>"},
  };
  input.summary.currentValue = "1,234.56";
  input.summary.change = "-7.00  (-0.57%)";
  input.summary.gain = "-7.00  (-0.57%)";
  input.summary.equity = "1,234.56(100.00%)";
  input.summary.marginableEquity = "617.28";
  input.summary.marginOwed = "100.00";
  input.summary.marginAvailable = "517.28";
  input.localTime = WrittenAt();
  return input;
}

PortfolioReportInput SoldInput() {
  PortfolioReportInput input = HeldInput();
  input.heldView = false;
  input.columns = {{0, "Symbol", 0}, {15, "Gain", 1}};
  input.sortColumn = 0;
  input.rows = {{"IBM", "-3.00"}, {"T", "4.00"}};
  input.summary = {};
  input.summary.netProceeds = "900.00";
  input.summary.gain = "1.00  (0.11%)";
  input.summary.postSaleGain = "25.00";
  return input;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

}  // namespace

// The reference texts hold the unchanged inputs' alignment, underlined sort column, shading, red negatives,
// padding and summary colours; the tests below change one input at a time.
TEST(PortfolioReportTest, HeldAndSoldDocumentsMatchTheirReferenceText) {
  EXPECT_EQ(BuildPortfolioReport(HeldInput()), ReadText(kFixtures + "held.htm"));
  EXPECT_EQ(BuildPortfolioReport(SoldInput()), ReadText(kFixtures + "sold.htm"));
}

TEST(PortfolioReportTest, TheSortColumnIsUnderlinedAndAnUnknownAlignmentIsLeft) {
  PortfolioReportInput input = HeldInput();
  input.columns.push_back({99, "Odd", 7});  // an unknown alignment is treated as left
  input.sortColumn = 0;
  const std::string other = BuildPortfolioReport(input);
  EXPECT_NE(other.find("<td align=left><b>&nbsp<u>Symbol</u></b></td>\n"), std::string::npos);
  EXPECT_NE(other.find("<td align=left><b>&nbspOdd</b></td>\n"), std::string::npos);
  EXPECT_EQ(Count(other, "<u>"), 1u);
}

TEST(PortfolioReportTest, RowsAreNotShadedWhenAlternateRowsAreOff) {
  PortfolioReportInput input = HeldInput();
  input.alternateRows = false;
  const std::string doc = BuildPortfolioReport(input);
  const size_t rowsStart = doc.find("<!-- Content -->");
  const std::string rows = doc.substr(rowsStart, doc.find("<!-- Total -->") - rowsStart);
  EXPECT_EQ(Count(rows, "bgcolor="), 1u);  // the heading row's own colour only
  EXPECT_EQ(Count(doc, "bgcolor=#E8F8E8"), 0u);
}

TEST(PortfolioReportTest, OnlyChangeAndGainTurnRedAndMissingCellsPrintEmpty) {
  // Only the change and gain columns turn red; a negative name does not.
  PortfolioReportInput input = HeldInput();
  input.rows = {{"-X", "1", "2", "-Name"}};
  const std::string plain = BuildPortfolioReport(input);
  EXPECT_NE(plain.find("<td bgcolor=#E8F8E8 align=left>&nbsp;-X</td>"), std::string::npos);
  EXPECT_NE(plain.find("&nbsp;-Name</td>"), std::string::npos);

  input.rows = {{"SHORT"}};  // missing cells print empty
  EXPECT_NE(BuildPortfolioReport(input).find("<td bgcolor=#E8F8E8 align=right>&nbsp;</td>"),
            std::string::npos);
}

TEST(PortfolioReportTest, UserTextsCannotBreakOrInjectMarkup) {
  PortfolioReportInput input = HeldInput();
  input.portfolioName = "R&D <test> -->";
  input.updatedText = "Updated: <b>now</b>";
  input.rows = {{"A&B", "", "", "<script>alert(1)</script>"}};
  const std::string doc = BuildPortfolioReport(input);
  EXPECT_EQ(doc.find("<test>"), std::string::npos);
  EXPECT_EQ(doc.find("<script>"), std::string::npos);
  EXPECT_EQ(doc.find("<b>now"), std::string::npos);
  EXPECT_NE(doc.find("       Portfolio: R&amp;D &lt;test&gt; --&gt;\n"), std::string::npos);
  EXPECT_NE(doc.find("<TITLE>R&amp;D &lt;test&gt; --&gt;</TITLE>"), std::string::npos);
  EXPECT_NE(doc.find("<b>R&amp;D &lt;test&gt; --&gt;</b>"), std::string::npos);
  EXPECT_NE(doc.find("Updated: &lt;b&gt;now&lt;/b&gt;&nbsp;</td>"), std::string::npos);
  EXPECT_NE(doc.find("&nbsp;A&amp;B</td>"), std::string::npos);
  // The header comment, the style sheet and the four section markers; the name closed none.
  EXPECT_EQ(Count(doc, "-->"), 6u);

  // Text beyond ASCII survives the page's declared Latin-1 charset as character references.
  EXPECT_EQ(EscapeReportText("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x88"), "Caf&#233; &#8364; &#128200;");
  // Broken UTF-8 is read as Latin-1, byte by byte, never past the end.
  EXPECT_EQ(EscapeReportText("a\xE2\x82"), "a&#226;&#130;");
  EXPECT_EQ(EscapeReportText("\xC0\xAF\xED\xA0\x80"), "&#192;&#175;&#237;&#160;&#128;");
}

TEST(PortfolioReportTest, SummaryColoursFollowTheViewRules) {
  PortfolioReportInput input = HeldInput();
  input.summary.marginOwed = "0.00";
  input.summary.marginAvailable = "0.00";
  input.summary.marginableEquity = "-1.00";
  input.summary.gain = "3.00";
  std::string doc = BuildPortfolioReport(input);
  EXPECT_NE(doc.find("Margin Owed:</td><td>&nbsp;0.00\n"), std::string::npos);
  EXPECT_NE(doc.find("Margin Available:</td><td>&nbsp;0.00\n"), std::string::npos);
  EXPECT_NE(doc.find("Marginable Equity:</td><td>&nbsp;<font color=red>-1.00</font>"), std::string::npos);
  EXPECT_NE(doc.find("Gain:</td><td>&nbsp;3.00\n"), std::string::npos);

  // Sold view: no equity or margin tables, shaded summary, net proceeds never red, post-sale gain red
  // unless negative or zero.
  input = SoldInput();
  input.summary.netProceeds = "-5.00";
  doc = BuildPortfolioReport(input);
  EXPECT_EQ(doc.find("Equity:"), std::string::npos);
  EXPECT_EQ(doc.find("Margin"), std::string::npos);
  EXPECT_NE(doc.find("<!-- Summary -->\n<table cellspacing=0 cellpadding=3 border=1 width=\"95%\">\n<tr "
                     "bgcolor=#E8F8E8>"),
            std::string::npos);
  EXPECT_NE(doc.find("Net Proceeds:</td><td>&nbsp;-5.00\n"), std::string::npos);
  EXPECT_NE(doc.find("Post-Sale Gain:</td><td>&nbsp;<font color=red>25.00</font>"), std::string::npos);
  for (const char* plain : {"0.00", "-2.00"}) {
    input.summary.postSaleGain = plain;
    EXPECT_NE(BuildPortfolioReport(input).find(std::string("Post-Sale Gain:</td><td>&nbsp;") + plain + "\n"),
              std::string::npos);
  }
}

// Totals over several currencies say so, naming them: under the equity, or below the sold view's figures.
TEST(PortfolioReportTest, MixedCurrenciesAreNamedInTheSummary) {
  for (PortfolioReportInput input : {HeldInput(), SoldInput()}) {
    EXPECT_EQ(BuildPortfolioReport(input).find("Mixed currencies"), std::string::npos);
    input.summary.currencies = {"GBp", "USD"};
    EXPECT_NE(BuildPortfolioReport(input).find(
                  "<tr><td align=right>Mixed currencies:</td><td>&nbsp;GBp and USD, not converted"),
              std::string::npos)
        << input.heldView;
  }
}

// A portfolio with income adds a group of its income totals; the tables stay balanced.
TEST(PortfolioReportTest, IncomeTotalsAreAGroupOfTheirOwn) {
  for (PortfolioReportInput input : {HeldInput(), SoldInput()}) {
    const std::string without = BuildPortfolioReport(input);
    EXPECT_EQ(without.find("Income"), std::string::npos);
    input.summary.incomeThisYear = "42.50";
    input.summary.withholdingThisYear = "7.50";
    input.summary.incomeAll = "1,042.50";
    input.summary.totalReturn = "-3.25";
    const std::string doc = BuildPortfolioReport(input);
    EXPECT_NE(doc.find("<tr><td align=right>&nbsp;Income This Year:</td><td>&nbsp;42.50\n</td></tr><tr><td "
                       "align=right>Withholding This Year:</td><td>&nbsp;7.50\n</td></tr><tr><td "
                       "align=right>Income (All):</td><td>&nbsp;1,042.50\n</td></tr><tr><td "
                       "align=right>Total Return:</td><td>&nbsp;<font color=red>-3.25</font>"),
              std::string::npos)
        << input.heldView;
    const auto count = [&](const std::string& text, const char* tag) {
      size_t n = 0;
      for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) ++n;
      return n;
    };
    EXPECT_EQ(count(doc, "<table"), count(doc, "</table>")) << input.heldView;
    EXPECT_EQ(count(doc, "<table") - count(without, "<table"), 1u);
  }
}

TEST(PortfolioReportTest, TotalCountsEveryVisibleRowAndTimesPrintWithoutPadding) {
  PortfolioReportInput input = HeldInput();
  input.skippedRows = 2;
  const std::string doc = BuildPortfolioReport(input);
  EXPECT_NE(doc.find("  <td align=right>Total: 5 position(s)&nbsp;</td>\n"), std::string::npos);
  EXPECT_NE(doc.find("Report created: Mon 5 Mar 2007 2:07:09 UTC\n"), std::string::npos);

  input.localTime.tm_hour = 0;
  input.localTime.tm_zone = nullptr;
  EXPECT_NE(BuildPortfolioReport(input).find("Report created: Mon 5 Mar 2007 12:07:09 \n"),
            std::string::npos);
}

TEST(PortfolioReportTest, FileNameJoinsFolderWindowPortfolioAndTime) {
  EXPECT_EQ(GetPortfolioReportFileName("/opt/vellumar/", 394850, 7, WrittenAt()),
            "/opt/vellumar/394850_0007_20070305140709.htm");
  EXPECT_EQ(GetPortfolioReportFileName("/x/", 1, 123456, WrittenAt()), "/x/1_123456_20070305140709.htm");
}
