#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_args.h"
#include "cli/json_writer.h"
#include "cli/progress.h"
#include "cli/tsv_writer.h"
#include "cli/value_parsers.h"

TEST(CliOutput, JsonEscapesTextsAndKeepsNumbersBare) {
  EXPECT_EQ(JsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
  EXPECT_EQ(JsonString("Caf\xC3\xA9"), "\"Caf\xC3\xA9\"");  // UTF-8 stays
  EXPECT_EQ(JsonString("Caf\xE9!"), "\"Caf\\u00e9!\"");     // a Latin-1 byte is its character
  EXPECT_EQ(JsonString("\xC3"), "\"\\u00c3\"");             // a cut-off sequence too
  std::ostringstream out;
  OutputRecord r;
  r.Add("name", "X").AddNumber("date", -5);
  WriteJson(out, {r, r});
  EXPECT_EQ(out.str(), "[{\"name\":\"X\",\"date\":-5},\n{\"name\":\"X\",\"date\":-5}]\n");
  std::ostringstream empty;
  WriteJson(empty, {});
  EXPECT_EQ(empty.str(), "[]\n");
}

TEST(CliOutput, TsvKeepsEveryRecordOnOneLine) {
  std::ostringstream out;
  OutputRecord r;
  r.Add("b", "two\tparts").Add("a", "line\nbreak\r").Add("missing", "right\xE2\x80\xAEleft");
  WriteTsv(out, {"a", "b", "missing"}, {r});
  // Escaped, not blanked: a tab in a comment is told from a blank, and the text is not turned around.
  EXPECT_EQ(out.str(), "a\tb\tmissing\nline\\x0Abreak\\x0D\ttwo\\x09parts\tright\\u202Eleft\n");
}

// Names and comments reach the terminal: an escape sequence in one must not clear the screen, retitle the
// window or fake a row, so every control character is written as \xNN (C1 controls as \uNNNN).
TEST(CliOutput, TsvEscapesControlCharactersOfNamesAndComments) {
  std::ostringstream out;
  OutputRecord r;
  r.Add("name", "Evil\x1b]0;owned\x07")
      .Add("comment",
           "\x1b[2J\x7f ok \xc2\x9b"
           "31m caf\xc3\xa9");
  WriteTsv(out, {"name", "comment"}, {r}, {"Na\x1bme", "comment"});
  EXPECT_EQ(out.str(),
            "Na\\x1Bme\tcomment\nEvil\\x1B]0;owned\\x07\t\\x1B[2J\\x7F ok \\u009B31m caf\xc3\xa9\n");
}

TEST(CliOutput, ArgumentsSplitIntoPositionalsOptionsAndFlags) {
  CliArgs args;
  std::string error;
  ASSERT_TRUE(CliArgs::Parse({"MSFT", "--period", "3", "--size=2", "--ma50", "--", "--json"},
                             {"period", "size"}, {"ma50", "json"}, &args, &error));
  EXPECT_EQ(args.positional, (std::vector<std::string>{"MSFT", "--json"}));
  EXPECT_EQ(args.Option("period"), "3");
  EXPECT_EQ(args.Option("size"), "2");
  EXPECT_TRUE(args.Has("ma50"));
  EXPECT_FALSE(args.Has("json"));
  CliArgs bad;
  EXPECT_FALSE(CliArgs::Parse({"--period"}, {"period"}, {}, &bad, &error));
  EXPECT_FALSE(CliArgs::Parse({"--colour"}, {"period"}, {}, &bad, &error));
  EXPECT_EQ(error, "unknown option --colour");
  int v = 0;
  EXPECT_TRUE(ParseIntArg("+8", 0, 8, &v));
  EXPECT_FALSE(ParseIntArg("9", 0, 8, &v));
  EXPECT_FALSE(ParseIntArg("3x", 0, 8, &v));
}

TEST(CliProgress, OneLineOverwrittenAndWipedAtTheEnd) {
  EXPECT_EQ(ProgressText("update", "batch", 2, 5), "update: batch 2 of 5");
  EXPECT_EQ(ProgressText("news", "page", 3, 0, "12 headlines"), "news: page 3, 12 headlines");
  EXPECT_EQ(ProgressText("lookup", "page", 1, 4, "50 results"), "lookup: page 1 of 4, 50 results");
  std::ostringstream terminal;
  {
    ProgressLine line(&terminal);
    line.Show("update: batch 1 of 2");
    line.Show("update: batch 2 of 2");
    // Each text starts at the line's beginning and clears what a longer one left.
    EXPECT_EQ(terminal.str(), "\rupdate: batch 1 of 2\33[K\rupdate: batch 2 of 2\33[K");
  }
  EXPECT_EQ(terminal.str(), "\rupdate: batch 1 of 2\33[K\rupdate: batch 2 of 2\33[K\r\33[K");
  std::ostringstream untouched;
  {
    ProgressLine line(&untouched);
    line.Finish();  // nothing shown, nothing to wipe
  }
  EXPECT_EQ(untouched.str(), "");
  ProgressLine none(nullptr);
  none.Show("no terminal");  // goes nowhere
}
