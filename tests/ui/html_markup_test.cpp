#include "ui/widgets/html_markup.h"

#include <gtest/gtest.h>

#include <string>

#include "summary_markup_fixtures.h"

namespace {

constexpr MarkupColor kRed{255, 0, 0};
constexpr MarkupColor kDarkGreen{0, 100, 0};
constexpr MarkupColor kWhiteSmoke{245, 245, 245};
constexpr MarkupColor kHoneydew{240, 255, 240};
constexpr MarkupColor kBlack{0, 0, 0};

// The one text child of a cell's font element.
const MarkupNode& CellFont(const MarkupNode& cell) {
  EXPECT_EQ(cell.children.size(), 1u);
  EXPECT_EQ(cell.children.at(0).kind, MarkupKind::kFont);
  return cell.children.at(0);
}

std::string CellText(const MarkupNode& cell) {
  const MarkupNode& font = CellFont(cell);
  EXPECT_EQ(font.children.size(), 1u);
  EXPECT_EQ(font.children.at(0).kind, MarkupKind::kText);
  return font.children.at(0).text;
}

// The outer band and the inner table of the panel's markup.
const MarkupNode& InnerTable(const MarkupNode& document, MarkupColor background) {
  EXPECT_EQ(document.children.size(), 1u);
  const MarkupNode& band = document.children.at(0);
  EXPECT_EQ(band.kind, MarkupKind::kTable);
  EXPECT_EQ(band.width, 4096);
  EXPECT_EQ(band.align, MarkupAlign::kLeft);
  EXPECT_EQ(band.border, 0);
  EXPECT_EQ(band.cellSpacing, 0);
  EXPECT_EQ(band.cellPadding, 0);
  EXPECT_EQ(band.bgColor, background);
  EXPECT_EQ(band.bgEndColor, background);
  EXPECT_TRUE(band.verticalGradient);
  EXPECT_EQ(band.children.size(), 1u);
  const MarkupNode& row = band.children.at(0);
  EXPECT_EQ(row.kind, MarkupKind::kRow);
  EXPECT_EQ(row.children.size(), 1u);
  const MarkupNode& cell = row.children.at(0);
  EXPECT_EQ(cell.kind, MarkupKind::kCell);
  EXPECT_EQ(cell.align, MarkupAlign::kLeft);
  EXPECT_EQ(cell.width, 0);
  EXPECT_EQ(cell.children.size(), 1u);  // the blanks after the inner table are no content
  const MarkupNode& inner = cell.children.at(0);
  EXPECT_EQ(inner.kind, MarkupKind::kTable);
  EXPECT_EQ(inner.width, 100);
  EXPECT_EQ(inner.align, MarkupAlign::kLeft);
  EXPECT_FALSE(inner.bgColor.has_value());
  EXPECT_FALSE(inner.verticalGradient);
  return inner;
}

int Depth(const MarkupNode& node) {
  int deepest = 0;
  for (const MarkupNode& child : node.children) deepest = std::max(deepest, Depth(child));
  return deepest + 1;
}

}  // namespace

TEST(HtmlMarkup, HeldViewIsABandHoldingThreeRowsOfSixCells) {
  const MarkupNode document = ParseMarkup(kHeldMarkup);
  const MarkupNode& inner = InnerTable(document, kWhiteSmoke);
  ASSERT_EQ(inner.children.size(), 3u);
  for (const MarkupNode& row : inner.children) {
    ASSERT_EQ(row.kind, MarkupKind::kRow);
    ASSERT_EQ(row.children.size(), 6u);
    for (int c : {0, 2, 4}) {
      EXPECT_EQ(row.children[c].width, 50);
      EXPECT_EQ(row.children[c].align, MarkupAlign::kRight);
    }
    for (int c : {1, 3, 5}) {
      EXPECT_EQ(row.children[c].width, 0);
      EXPECT_EQ(row.children[c].align, MarkupAlign::kNone);
    }
  }
  const MarkupNode& first = inner.children[0];
  EXPECT_EQ(CellText(first.children[0]), "  Current Value:  ");
  EXPECT_EQ(CellText(first.children[1]), "1,700.00");
  EXPECT_EQ(CellText(first.children[2]), "           Equity:  ");
  EXPECT_EQ(CellText(first.children[3]), "1,400.00(82.35%)");
  EXPECT_EQ(CellText(first.children[4]), "           Marginable Equity:  ");
  EXPECT_EQ(CellText(first.children[5]), "600.00");
  const MarkupNode& labelFont = CellFont(first.children[0]);
  EXPECT_EQ(labelFont.fontName, "Tahoma");
  EXPECT_EQ(labelFont.fontSize, 13);
  EXPECT_FALSE(labelFont.color.has_value());

  const MarkupNode& change = inner.children[1];
  EXPECT_EQ(CellFont(change.children[1]).color, kRed);
  EXPECT_EQ(CellText(change.children[1]), "-50.00  (-2.94%)");
  EXPECT_TRUE(change.children[2].children.empty());
  EXPECT_TRUE(change.children[3].children.empty());
  EXPECT_EQ(CellFont(change.children[5]).color, kRed);
  const MarkupNode& gain = inner.children[2];
  EXPECT_EQ(CellFont(gain.children[1]).color, kBlack);
  EXPECT_EQ(CellFont(gain.children[5]).color, kDarkGreen);
  EXPECT_EQ(CellText(gain.children[4]), "           Margin Available:  ");

  EXPECT_EQ(MarkupPlainText(document),
            "Current Value: 1,700.00 Equity: 1,400.00(82.35%) Marginable Equity: 600.00\n"
            "Change: -50.00 (-2.94%) Margin Owed: 300.00\n"
            "Gain: 200.00 (13.33%) Margin Available: 300.00");
}

TEST(HtmlMarkup, SoldViewIsAHoneydewBandOfThreeLabelledFigures) {
  const MarkupNode document = ParseMarkup(kSoldMarkup);
  const MarkupNode& inner = InnerTable(document, kHoneydew);
  ASSERT_EQ(inner.children.size(), 3u);
  for (const MarkupNode& row : inner.children) ASSERT_EQ(row.children.size(), 2u);
  EXPECT_EQ(CellText(inner.children[0].children[0]), "  Net Proceeds:  ");
  EXPECT_FALSE(CellFont(inner.children[0].children[1]).color.has_value());
  EXPECT_EQ(CellFont(inner.children[1].children[1]).color, kDarkGreen);
  EXPECT_EQ(CellFont(inner.children[2].children[1]).color, kRed);
  EXPECT_EQ(MarkupPlainText(document), "Net Proceeds: 240.00\nGain: 40.00 (20.00%)\nPost-Sale Gain: 60.00");
}

TEST(HtmlMarkup, ColoursByNameAndByHexCode) {
  EXPECT_EQ(ParseMarkupColor("WhiteSmoke"), kWhiteSmoke);
  EXPECT_EQ(ParseMarkupColor("honeydew"), kHoneydew);
  EXPECT_EQ(ParseMarkupColor("darkgreen"), kDarkGreen);
  EXPECT_EQ(ParseMarkupColor("#FF8000"), (MarkupColor{255, 128, 0}));
  EXPECT_EQ(ParseMarkupColor("#0f0"), (MarkupColor{0, 255, 0}));
  for (const char* bad : {"", "#", "#12345", "#gg0000", "notacolour", "red "}) {
    EXPECT_FALSE(ParseMarkupColor(bad).has_value()) << bad;
  }
}

TEST(HtmlMarkup, UnclosedAndStrayTagsStillGiveTheTable) {
  // Nothing closed, a stray </td> before anything opened, a second <td> closing the first, a <tr> closing
  // the open cell and row.
  const MarkupNode doc =
      ParseMarkup("</td></tr></font><TABLE BGCOLOR=Red><tr><td>a<td><font color=#00f>b<tr><td>c");
  ASSERT_EQ(doc.children.size(), 1u);
  const MarkupNode& table = doc.children[0];
  EXPECT_EQ(table.bgColor, kRed);
  ASSERT_EQ(table.children.size(), 2u);
  ASSERT_EQ(table.children[0].children.size(), 2u);
  EXPECT_EQ(table.children[0].children[0].children.at(0).text, "a");
  EXPECT_EQ(CellFont(table.children[0].children[1]).color, (MarkupColor{0, 0, 255}));
  ASSERT_EQ(table.children[1].children.size(), 1u);
  EXPECT_EQ(MarkupPlainText(doc), "a b\nc");
}

TEST(HtmlMarkup, CellsOutsideRowsAndTextOutsideCellsAreKept) {
  // A cell straight in a table gets a row; a row or cell without a table is dropped with its text kept;
  // text straight in a table gets a cell.
  const MarkupNode doc = ParseMarkup("<td>x</td><table><td>y</td>z</table>");
  ASSERT_EQ(doc.children.size(), 2u);
  EXPECT_EQ(doc.children[0].kind, MarkupKind::kText);
  const MarkupNode& table = doc.children[1];
  ASSERT_EQ(table.children.size(), 1u);
  ASSERT_EQ(table.children[0].children.size(), 2u);
  EXPECT_EQ(MarkupPlainText(doc), "x\ny z");

  // A table or font straight in a row is wrapped in a cell, so rows only ever hold cells.
  const MarkupNode nested = ParseMarkup("<table><tr><font>f</font><table><tr><td>n</table></table>");
  const MarkupNode& row = nested.children.at(0).children.at(0);
  ASSERT_EQ(row.children.size(), 1u);
  const MarkupNode& cell = row.children[0];
  EXPECT_EQ(cell.kind, MarkupKind::kCell);
  ASSERT_EQ(cell.children.size(), 2u);
  EXPECT_EQ(cell.children[0].kind, MarkupKind::kFont);
  EXPECT_EQ(cell.children[1].kind, MarkupKind::kTable);
  EXPECT_EQ(MarkupPlainText(nested), "f\nn");
}

TEST(HtmlMarkup, UnknownThingsAreIgnoredAndEntitiesDecoded) {
  const MarkupNode doc = ParseMarkup(
      "<!-- note <table> --><b>bold</b><table foo=bar width='120' align=\"Center\" bgeffect=hgradient "
      "bgcolor=nocolour><tr valign=top><td nowrap>&lt;1 &amp; 2&gt;&bogus;</td></tr></table>");
  ASSERT_EQ(doc.children.size(), 2u);
  EXPECT_EQ(doc.children[0].text, "bold");
  const MarkupNode& table = doc.children[1];
  EXPECT_EQ(table.width, 120);
  EXPECT_EQ(table.align, MarkupAlign::kCenter);
  EXPECT_FALSE(table.verticalGradient);
  EXPECT_FALSE(table.bgColor.has_value());
  EXPECT_EQ(table.children.at(0).children.at(0).children.at(0).text, "<1 & 2>&bogus;");
}

TEST(HtmlMarkup, NumbersAreClampedAndNonsenseIsZero) {
  const MarkupNode doc = ParseMarkup(
      "<table width=99999999999999999999999 cellpadding=-4 cellspacing=x><tr><td width=2147483648>"
      "<font size=4294967296>a</font><font size=-13>b</font></td></tr></table>");
  const MarkupNode& table = doc.children.at(0);
  EXPECT_EQ(table.width, kMaxMarkupNumber);
  EXPECT_EQ(table.cellPadding, 0);
  EXPECT_EQ(table.cellSpacing, 0);
  const MarkupNode& cell = table.children.at(0).children.at(0);
  EXPECT_EQ(cell.width, kMaxMarkupNumber);
  EXPECT_EQ(cell.children.at(0).fontSize, kMaxMarkupNumber);
  EXPECT_EQ(cell.children.at(1).fontSize, 0);
}

TEST(HtmlMarkup, TruncatedInputNeverReadsPastItsEnd) {
  // Every prefix of the held markup, and endings inside a tag, a quote and a comment.
  for (size_t n = 0; n <= kHeldMarkup.size(); ++n) {
    const std::string prefix = kHeldMarkup.substr(0, n);
    const MarkupNode doc = ParseMarkup(prefix);
    EXPECT_LE(doc.children.size(), 1u) << n;
  }
  EXPECT_TRUE(ParseMarkup("<").children.empty());
  EXPECT_TRUE(ParseMarkup("<table width=\"12").children.empty());
  EXPECT_TRUE(ParseMarkup("<!-- open").children.empty());
  EXPECT_EQ(ParseMarkup("a<table").children.at(0).text, "a");
}

TEST(HtmlMarkup, DeepNestingIsFlattened) {
  std::string markup;
  for (int i = 0; i < 20000; ++i) markup += "<table><tr><td><font>";
  markup += "deep";
  const MarkupNode doc = ParseMarkup(markup);
  EXPECT_LE(Depth(doc), kMaxMarkupDepth + 2);
  EXPECT_NE(MarkupPlainText(doc).find("deep"), std::string::npos);
}
