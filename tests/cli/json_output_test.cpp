// What --json gives: the shapes, parsed back with a JSON library, the numbers beside their texts, and the
// error object on the error stream.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/displayed_number.h"
#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"

using nlohmann::ordered_json;

namespace {

class JsonOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("j.db");
    ASSERT_EQ(Run({"init"}).code, 0);
    ASSERT_EQ(Run({"add-portfolio", "P"}).code, 0);
    ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "1200", "--price", "10.25", "--date", "2023-01-15",
                   "--comment", "1,000", "--no-check"})
                  .code,
              0);
    ASSERT_EQ(Run({"add-cash", "P", "2500", "--comment", "broker cash"}).code, 0);
    ASSERT_EQ(Run({"add-margin", "P", "700.5", "--comment", "loan"}).code, 0);
    ASSERT_EQ(Run({"sell", "1", "--qty", "200", "--price", "12", "--date", "2024-06-03"}).code, 0);
  }
  CliResult Run(const std::vector<std::string>& words) { return CallCliOn(words, db); }
  // The output parsed; a parse failure fails the test with the text.
  static ordered_json Parse(const std::string& text) {
    ordered_json value = ordered_json::parse(text, nullptr, false);
    EXPECT_FALSE(value.is_discarded()) << text;
    return value;
  }

  TempFolder folder{"vl_cli_json"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};
};

}  // namespace

TEST(DisplayedNumber, OnlyAWholeNumberTextIsANumber) {
  const NumberFormat english = NumberFormat::English();
  struct Case {
    const char* text;
    bool number;
    double value;
  };
  const Case cases[] = {
      {"1,234.50", true, 1234.5},
      {"-1,234,567.05", true, -1234567.05},
      {"60", true, 60},
      {"+2.50%", true, 2.5},
      {"-0.00", true, 0},
      {"0.25", true, 0.25},
      {"", false, 0},
      {"N/A", false, 0},
      {"1,2", false, 0},
      {"12,34.5", false, 0},
      {"1,234,56", false, 0},
      {",123", false, 0},
      {"1.", false, 0},
      {"05-Mar-2007", false, 0},
      {"+0.25  (1.20%)", false, 0},
      {"1.2B", false, 0},
      {" 12", false, 0},
      {"2024-12-04", false, 0},
      {"%", false, 0},
      {"1 yr, 3 mos", false, 0},
      {"[Cash]", false, 0},
  };
  for (const Case& c : cases) {
    double value = -99;
    EXPECT_EQ(ReadDisplayedNumber(c.text, english, &value), c.number) << c.text;
    EXPECT_EQ(value, c.number ? c.value : -99) << c.text;
  }
  // The cells' own format decides: a point groups and a comma marks the decimals.
  NumberFormat german = english;
  german.decimalPoint = ",";
  german.thousandsSeparator = ".";
  double value = 0;
  ASSERT_TRUE(ReadDisplayedNumber("-1.234,5", german, &value));
  EXPECT_EQ(value, -1234.5);
  EXPECT_FALSE(ReadDisplayedNumber("1,234.50", german, &value));
  EXPECT_EQ(JsonNumberText(1234.5), "1234.5");
  EXPECT_EQ(JsonNumberText(60), "60");
}

TEST_F(JsonOutput, ViewRowsAreObjectsKeyedByPlainHeadersWithTheIdFirst) {
  // Qty 8 is sorted on ("Qty  v"); Trade (3) has a trailing blank in its header.
  const CliResult held = Run({"view", "P", "--columns", "0,3,8,14", "--sort", "8", "--desc", "--json"});
  ASSERT_EQ(held.code, 0) << held.err;
  const ordered_json rows = Parse(held.out);
  ASSERT_TRUE(rows.is_array());
  ASSERT_EQ(rows.size(), 3u);  // cash, margin and the 1,000 shares left
  std::vector<std::string> keys;
  for (const auto& item : rows.back().items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"id", "Symbol", "Trade", "Qty", "QtyValue", "Total Paid",
                                            "Total PaidValue"}));
  const ordered_json& msft = rows.back();
  EXPECT_EQ(msft["id"], 4);  // the remainder of the sale
  EXPECT_EQ(msft["Symbol"], "MSFT");
  EXPECT_EQ(msft["Qty"], "1,000");
  EXPECT_EQ(msft["QtyValue"], 1000);
  EXPECT_EQ(msft["Total Paid"], "10,250.00");  // 1,000 of the 1,200 shares at 10.25
  EXPECT_EQ(msft["Total PaidValue"], 10250);
  EXPECT_EQ(msft["Trade"], "");  // no quote yet: a text, no number

  // A comment (or a symbol, a name) that looks like a number stays a text alone.
  const ordered_json commented = Parse(Run({"view", "P", "--columns", "32,8", "--json"}).out);
  ASSERT_EQ(commented.size(), 3u);
  const ordered_json& withComment = commented[0]["Comment"] == "1,000" ? commented[0] : commented.back();
  EXPECT_EQ(withComment["Comment"], "1,000");
  EXPECT_FALSE(withComment.contains("CommentValue")) << withComment.dump();
  EXPECT_EQ(withComment["QtyValue"], 1000);
  for (const auto& row : rows) {
    EXPECT_TRUE(row["id"].is_number_unsigned()) << row.dump();
    EXPECT_FALSE(row.contains("SymbolValue")) << row.dump();
  }
  EXPECT_EQ(rows[0]["Symbol"], "[Cash]");
  EXPECT_EQ(rows[0]["id"], 2);

  const ordered_json sold = Parse(Run({"view", "P", "--sold", "--columns", "0,73", "--json"}).out);
  ASSERT_EQ(sold.size(), 1u);
  EXPECT_EQ(sold[0]["id"], 1);
  EXPECT_EQ(sold[0]["Sale Value"], "2,400.00");  // 200 x 12.00
  EXPECT_EQ(sold[0]["Sale ValueValue"], 2400);
}

TEST_F(JsonOutput, PositionsListEveryKindWithItsId) {
  const CliResult table = Run({"positions"});
  ASSERT_EQ(table.code, 0) << table.err;
  EXPECT_EQ(table.out,
            "Id\tPortfolio\tKind\tSymbol\tState\tQty\tAmount\tBought\tSold\tComment\n"
            "1\tP\tstock\tMSFT\tsold\t200\t2050.00\t2023-01-15\t2024-06-03\t1,000\n"
            "2\tP\tcash\tbroker cash\theld\t\t2500.00\t\t\t\n"
            "3\tP\tmargin\tloan\theld\t\t-700.50\t\t\t\n"
            "4\tP\tstock\tMSFT\theld\t1000\t10250.00\t2023-01-15\t\t1,000\n");  // the rest keeps the comment
  const ordered_json sold = Parse(Run({"positions", "P", "--sold", "--json"}).out);
  ASSERT_EQ(sold.size(), 1u);
  EXPECT_EQ(sold[0]["id"], 1);
  EXPECT_EQ(sold[0]["qtyValue"], 200);
  EXPECT_EQ(sold[0]["amountValue"], 2050);
  EXPECT_FALSE(sold[0].contains("commentValue"));
  const ordered_json held = Parse(Run({"positions", "--held", "--json"}).out);
  ASSERT_EQ(held.size(), 3u);
  EXPECT_EQ(held[1]["kind"], "margin");
  EXPECT_EQ(held[1]["amountValue"], -700.5);
  EXPECT_EQ(Run({"positions", "--held", "--sold"}).code, 2);
  EXPECT_EQ(Run({"positions", "Nowhere"}).code, 1);
}

TEST_F(JsonOutput, SummaryGivesNumbersBesideTheTextsThatAreNumbers) {
  const ordered_json summary = Parse(Run({"summary", "P", "--json"}).out);
  EXPECT_EQ(summary["marginOwed"], "700.50");
  EXPECT_EQ(summary["marginOwedValue"], 700.5);
  // The gain carries its percentage in the same text: no number of its own.
  EXPECT_TRUE(summary.contains("gain"));
  EXPECT_FALSE(summary.contains("gainValue")) << summary.dump();
  const ordered_json check = Parse(Run({"check", "--json"}).out);
  EXPECT_EQ(check["positions"], 4);
  EXPECT_EQ(check["stocksHeld"], 1);
  EXPECT_EQ(check["stocksSold"], 1);
  EXPECT_EQ(check["cash"], 1);
  EXPECT_EQ(check["margin"], 1);
  EXPECT_EQ(check["trailingBytes"], 0);
}

TEST_F(JsonOutput, ErrorsAreOneObjectWithTheExitCode) {
  struct Case {
    std::vector<std::string> words;
    int code;
    std::string start;  // how the message begins
  };
  const Case cases[] = {
      {{"sell", "4", "--qty", "1001", "--price", "1"}, 5, "vellumar-cli sell: --qty: give a number"},
      {{"add-portfolio", " "}, 4, "vellumar-cli add-portfolio: the portfolio name is empty"},
      {{"view", "P", "--colour"}, 2, "vellumar-cli view: unknown option --colour\nusage: vellumar-cli view"},
      {{"view", "Nowhere"}, 1, "vellumar-cli view: no portfolio \"Nowhere\""},
      {{"frobnicate"}, 2, "vellumar-cli: unknown command 'frobnicate'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> words = c.words;
    words.push_back("--json");
    const CliResult r = Run(words);
    EXPECT_EQ(r.code, c.code) << c.words[0];
    EXPECT_EQ(r.out, "") << c.words[0];
    ASSERT_EQ(r.err.back(), '\n');
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    const ordered_json error = Parse(r.err);
    ASSERT_TRUE(error.is_object()) << r.err;
    EXPECT_EQ(error.size(), 2u);
    EXPECT_EQ(error["code"], c.code);
    EXPECT_EQ(error["message"].get<std::string>().rfind(c.start, 0), 0u) << error["message"];
    // Without --json the same failure is plain text.
    EXPECT_EQ(Run(c.words).err.rfind(c.start, 0), 0u);
  }
  // After a lone "--" the word is an argument, not the option: the error stays plain text.
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"add-portfolio", "--db", db, "--", "A", "--json"}, out, err), 2);
  EXPECT_EQ(err.str().rfind("vellumar-cli add-portfolio: give the portfolio's NAME\n", 0), 0u) << err.str();
}
