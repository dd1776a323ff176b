#include "marketdata/text_helpers.h"

#include <gtest/gtest.h>

#include "marketdata/url_encode.h"
#include "tests/marketdata/cursor_provider.h"

TEST(ParsingCursor, IsAtLooksOnlyAtTheCursor) {
  CursorProvider p("abc<TD>def");
  EXPECT_TRUE(p.IsAt("abc"));
  EXPECT_FALSE(p.IsAt("<TD>"));
  p.SetPosition(3);
  EXPECT_TRUE(p.IsAt("<TD>"));
  EXPECT_FALSE(p.IsAt("<td>"));
  EXPECT_TRUE(p.IsAtNoCase("<td>"));
  EXPECT_EQ(p.GetPosition(), 3u);
}

TEST(ParsingCursor, SkipPastMovesOnlyWhenFound) {
  CursorProvider p("one, two, THREE");
  EXPECT_TRUE(p.SkipPast(", "));
  EXPECT_EQ(p.GetPosition(), 5u);
  EXPECT_FALSE(p.SkipPast("three"));
  EXPECT_EQ(p.GetPosition(), 5u);
  EXPECT_TRUE(p.SkipPastNoCase("three"));
  EXPECT_EQ(p.GetPosition(), 15u);
  EXPECT_FALSE(p.SkipPast("one"));  // only at or after the cursor
}

TEST(ParsingCursor, SkipBackToFindsTheNearestEarlierOccurrence) {
  CursorProvider p("<a href=\"x\">1</a> <a href=\"y\"><b>More</b>");
  ASSERT_TRUE(p.SkipPast("<b>More</b>"));
  ASSERT_TRUE(p.SkipBackTo("href=\""));
  EXPECT_TRUE(p.IsAt("href=\"y\""));
  size_t before = p.GetPosition();
  EXPECT_FALSE(p.SkipBackTo("nowhere"));
  EXPECT_EQ(p.GetPosition(), before);
}

TEST(ParsingCursor, ExtractUntilTakesTheTextUpToTheMarker) {
  CursorProvider p("name\",\"NYSE\"\n");
  std::string out;
  ASSERT_TRUE(p.ExtractUntil("\"", out));
  EXPECT_EQ(out, "name");
  EXPECT_FALSE(p.ExtractUntil("missing", out));
  EXPECT_EQ(out, "name");
  EXPECT_EQ(p.GetPosition(), 5u);
  ASSERT_TRUE(p.ExtractUntilNoCase("nyse", out));
  EXPECT_EQ(out, ",\"");
}

TEST(ParsingCursor, ExtractNeedsMoreThanOneCharacterLeft) {
  // The last character alone is never extracted, even when it is the marker itself.
  CursorProvider p("ab,");
  p.SetPosition(2);
  std::string out = "kept";
  EXPECT_FALSE(p.ExtractUntil(",", out));
  EXPECT_FALSE(p.ExtractRest(out));
  EXPECT_EQ(out, "kept");
  p.SetPosition(1);
  EXPECT_TRUE(p.ExtractUntil(",", out));
  EXPECT_EQ(out, "b");
  p.SetPosition(1);
  EXPECT_TRUE(p.ExtractRest(out));
  EXPECT_EQ(out, "b,");
  CursorProvider empty("");
  EXPECT_FALSE(empty.ExtractUntil("", out));
  EXPECT_FALSE(empty.SkipPast("x"));
}

TEST(TextHelpers, StripTagsRemovesTagsAndKnownEntities) {
  EXPECT_EQ(StripTags("<b>Dow</b> <i>up</i>"), "Dow up");
  EXPECT_EQ(StripTags("a < b"), "a  b");  // an unclosed "<" goes, the rest stays
  EXPECT_EQ(StripTags("AT&amp;T&NBSP;Inc"), "AT&T Inc");
  EXPECT_EQ(StripTags("Nestl&eacute; M&Uuml;ller Gro&szlig;"), "Nestl M&Uuml;ller Gro");
  EXPECT_EQ(StripTags("x&amp;nbsp;y"), "x&nbsp;y");  // entities are replaced once, left to right
}

TEST(TextHelpers, QuotesLinesAndCaseInsensitiveReplace) {
  EXPECT_EQ(StripQuotes("\"N/A\""), "N/A");
  EXPECT_EQ(StripQuotes("\"open"), "\"open");
  EXPECT_EQ(StripQuotes("12.5"), "12.5");
  EXPECT_EQ(FlattenLines("\r\n  line one\nline two \n"), "line one line two");
  EXPECT_EQ(ReplaceNoCase("Opens At 9.30, OPENS", "opens", "opens at"), "opens at At 9.30, opens at");
  EXPECT_EQ(ReplaceNoCase("aaaa", "aa", "a"), "aa");  // resumes after the replacement
  EXPECT_EQ(ReplaceNoCase("abc", "", "x"), "abc");
}

TEST(TextHelpers, LeadingNumbersReadLikeTheCFunctions) {
  int v = 0;
  EXPECT_TRUE(ReadLeadingInt(" 1,234 results", &v));
  EXPECT_EQ(v, 1);
  EXPECT_TRUE(ReadLeadingInt("-17x", &v));
  EXPECT_EQ(v, -17);
  EXPECT_FALSE(ReadLeadingInt("x17", &v));
  EXPECT_FALSE(ReadLeadingInt("99999999999", &v));
  EXPECT_DOUBLE_EQ(LeadingNumber("+10.50abc"), 10.5);
  EXPECT_DOUBLE_EQ(LeadingNumber("N/A"), 0);
}

TEST(UrlEncoding, SymbolsStayAndMeaningfulCharactersAreEscaped) {
  for (const char* symbol : {"MSFT", "^DJI", "BHP.AX", "BRK-B", "VOD.L"})
    EXPECT_EQ(EncodeUrlValue(symbol), symbol);
  EXPECT_EQ(EncodeUrlValue("Bank of america"), "Bank%20of%20america");
  EXPECT_EQ(EncodeUrlValue("AT&T #1 +5% ?"), "AT%26T%20%231%20%2B5%25%20%3F");
  EXPECT_EQ(EncodeUrlValue("Caf\xC3\xA9\t"), "Caf%C3%A9%09");
  EXPECT_EQ(EscapeUnsafeUrlBytes("http://h/q/h?s=A&b=1 2"), "http://h/q/h?s=A&b=1%202");
}
