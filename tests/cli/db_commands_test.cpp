// The database commands of vellumar-cli, run in-process over a database in a temporary folder.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/cli/cli_call.h"
#include "cli/db_session.h"
#include "cli/value_parsers.h"
#include "marketdata/stock_info.h"
#include "framework/file_util.h"
#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/support/temp_folder.h"

namespace {

class DbCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init"}).code, 0);
  }
  // add-stock does not ask a market-data service here: whichever answers on this machine would decide.
  CliResult Run(std::vector<std::string> words) {
    if (!words.empty() && words[0] == "add-stock") words.push_back("--no-check");
    return CallCliOn(words, db);
  }

  TempFolder folder{"vl_cli_db"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};
};

}  // namespace

TEST_F(DbCommands, PortfoliosAreNamedByIdOrByNameInAnyCase) {
  EXPECT_EQ(Run({"add-portfolio", "Growth", "--comment", "long"}).out, "id\n1\n");
  EXPECT_EQ(Run({"add-portfolio", "Income"}).out, "id\n2\n");
  CliResult clash = Run({"add-portfolio", "GROWTH"});
  EXPECT_EQ(clash.code, 1);
  EXPECT_NE(clash.err.find("already exists"), std::string::npos);

  EXPECT_EQ(Run({"add-cash", "growth", "12.5", "--comment", "a"}).code, 0);
  EXPECT_EQ(Run({"add-cash", "2", "7", "--comment", "b"}).code, 0);
  CliResult missing = Run({"add-cash", "Nowhere", "1", "--comment", "c"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "vellumar-cli add-cash: no portfolio \"Nowhere\"\n");

  EXPECT_EQ(Run({"modify-portfolio", "Income", "--name", "Dividends"}).code, 0);
  CliResult list = Run({"portfolios"});
  EXPECT_EQ(list.out,
            "id\ttag\tname\tcomment\tcreated\tmodified\n"
            "2\t0\tDividends\t\t2024-12-04\t2024-12-04\n"
            "1\t0\tGrowth\tlong\t2024-12-04\t2024-12-04\n");
  EXPECT_EQ(Run({"delete-portfolio", "dividends"}).code, 0);
  EXPECT_EQ(Run({"check"}).out, db + ": 1 portfolio, 1 position (0 held, 0 sold, 1 cash, 0 margin), 0 quotes\n");
}

TEST_F(DbCommands, AmountsAndDatesAreCheckedBeforeTheDatabaseIsTouched) {
  Run({"add-portfolio", "P"});
  for (const char* bad : {"12.345", "10,00", "-5", "abc", "", "42949672.96", ".", "0"}) {
    CliResult r = Run({"add-cash", "P", bad, "--comment", "cash"});
    EXPECT_EQ(r.code, 4) << bad;
    EXPECT_EQ(r.err, "vellumar-cli add-cash: AMOUNT must be above 0, such as 2500 or 12.34\n") << bad;
  }
  EXPECT_EQ(Run({"add-stock", "P", "MSFT", "--date", "2023-02-30"}).code, 2);
  EXPECT_EQ(Run({"add-stock", "P", "MSFT", "--equity", "101", "--marginable"}).code, 4);
  EXPECT_EQ(Run({"check"}).out, db + ": 1 portfolio, 0 positions (0 held, 0 sold, 0 cash, 0 margin), 0 quotes\n");

  uint32_t cents = 0;
  ASSERT_TRUE(ParseCents("42949672.95", &cents));
  EXPECT_EQ(cents, 4294967295u);
  ASSERT_TRUE(ParseCents("10.29", &cents));
  EXPECT_EQ(cents, 1029u);
  ASSERT_TRUE(ParseCents(".5", &cents));
  EXPECT_EQ(cents, 50u);
}

TEST_F(DbCommands, SellingPartSplitsAndTheViewsShowBothParts) {
  Run({"add-portfolio", "P"});
  ASSERT_EQ(Run({"add-stock", "P", "msft", "--qty", "100", "--price", "250.50", "--date", "2023-01-15"}).out,
            "id\n1\n");
  Run({"add-cash", "P", "1,000", "--comment", "broker account"});
  EXPECT_EQ(Run({"sell", "1", "--qty", "40", "--price", "300", "--date", "2024-06-01"}).out,
            "id\tremainderId\n1\t3\n");
  EXPECT_EQ(Run({"sell", "1", "--qty", "1", "--price", "300"}).code, 5);  // already sold
  EXPECT_EQ(Run({"sell", "3", "--qty", "61", "--price", "300"}).code, 5);  // more than held

  CliResult held = Run({"view", "P", "--columns", "0,1,8,14", "--sort", "8", "--desc"});
  EXPECT_EQ(held.out,
            "Id\tSymbol\tName\tQty  v\tTotal Paid\n"
            "2\t[Cash]\tbroker account\t\t\n"
            "3\tMSFT\t\t60\t15,030.00\n");
  CliResult sold = Run({"view", "P", "--sold", "--columns", "0,8,73"});
  EXPECT_EQ(sold.out.substr(0, sold.out.find('\n')), "Id\tSymbol  ^\tQty\tSale Value");
  EXPECT_EQ(sold.out.substr(sold.out.find('\n') + 1, 7), "1\tMSFT\t");

  EXPECT_EQ(Run({"unsell", "3"}).code, 1);
  EXPECT_EQ(Run({"unsell", "1"}).code, 0);
  EXPECT_EQ(Run({"view", "P", "--sold", "--columns", "0"}).out, "Id\tSymbol  ^\n");
}

// The local date of `t` as the user reads it, written here without the command line's own helpers.
std::string LocalDay(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char text[16];
  std::strftime(text, sizeof(text), "%Y-%m-%d", &local);
  return text;
}

// A sale without --date is dated today, so the sold views show when it was sold; a named date is kept.
TEST_F(DbCommands, ASaleWithoutADateIsDatedToday) {
  Run({"add-portfolio", "P"});
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "10", "--price", "5", "--date", "2024-01-02"}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "IBM", "--qty", "10", "--price", "5", "--date", "2024-01-02"}).code, 0);
  const std::string before = LocalDay(std::time(nullptr));
  ASSERT_EQ(Run({"sell", "1", "--qty", "4", "--price", "6"}).code, 0);
  const std::string after = LocalDay(std::time(nullptr));
  ASSERT_EQ(Run({"sell", "2", "--qty", "10", "--price", "6", "--date", "2024-03-05"}).code, 0);

  const nlohmann::json sold = nlohmann::json::parse(Run({"positions", "--sold", "--json"}).out);
  ASSERT_EQ(sold.size(), 2u);
  for (const auto& row : sold) {
    if (row.at("symbol") == "MSFT") {
      const std::string day = row.at("sold");
      EXPECT_TRUE(day == before || day == after) << day;
    } else {
      EXPECT_EQ(row.at("sold"), "2024-03-05");
    }
  }
  EXPECT_NE(Run({"help", "sell"}).out.find("(default today)"), std::string::npos);
}

TEST_F(DbCommands, ViewOptionsAreValidated) {
  Run({"add-portfolio", "P"});
  EXPECT_EQ(Run({"view", "P", "--columns", "0,75"}).code, 2);
  EXPECT_EQ(Run({"view", "P", "--columns", "0,74", "--sort", "74"}).out, "Id\tSymbol\tCurrency  ^\n");
  EXPECT_EQ(Run({"view", "P", "--columns", "0,8,0"}).code, 2);  // one key twice in JSON
  EXPECT_EQ(Run({"view", "P", "--sort", "2"}).code, 2);  // "Time" cannot be sorted
  EXPECT_EQ(Run({"view", "P", "--asc", "--desc"}).code, 2);
  EXPECT_EQ(Run({"view", "Q"}).code, 1);
}

TEST_F(DbCommands, CopyMoveAndDeleteKeepQuotesOnlyWhileUsed) {
  Run({"add-portfolio", "A"});
  Run({"add-portfolio", "B"});
  Run({"add-stock", "A", "IBM", "--qty", "5", "--price", "100"});
  EXPECT_EQ(Run({"copy", "1", "B"}).code, 0);
  EXPECT_EQ(Run({"move", "1", "B"}).code, 0);
  EXPECT_EQ(Run({"move", "9", "B"}).code, 1);
  EXPECT_EQ(Run({"delete-position", "1"}).code, 0);
  EXPECT_EQ(Run({"check"}).out, db + ": 2 portfolios, 1 position (1 held, 0 sold, 0 cash, 0 margin), 1 quote\n");
  EXPECT_EQ(Run({"delete-position", "2"}).code, 0);
  EXPECT_EQ(Run({"check"}).out, db + ": 2 portfolios, 0 positions (0 held, 0 sold, 0 cash, 0 margin), 0 quotes\n");
}

// Whatever fails (the database, the file, the command's own work), the message names the program and the
// command first, as the refusals and usage errors do.
TEST_F(DbCommands, EveryFailureBeginsWithTheProgramAndTheCommand) {
  ASSERT_EQ(Run({"add-portfolio", "P"}).code, 0);
  ASSERT_EQ(Run({"add-cash", "P", "10", "--comment", "cash"}).code, 0);
  // (--service: nothing is started for it)
  const CliResult noStocks = Run({"fetch", "--service", "127.0.0.1:9"});
  EXPECT_EQ(noStocks.code, 1);
  EXPECT_EQ(noStocks.err, "vellumar-cli fetch: the database has no stock positions\n");
  ASSERT_EQ(Run({"add-stock", "P", "IBM", "--qty", "1", "--price", "1"}).code, 0);
  const std::string missingDb = folder.File("none.db");
  struct Case {
    std::vector<std::string> words;
    std::string err;
  };
  const Case cases[] = {
      {{"delete-position", "9"}, "vellumar-cli delete-position: no such portfolio or position\n"},
      {{"unsell", "2"}, "vellumar-cli unsell: the position is not sold\n"},
      {{"modify-stock", "1"}, "vellumar-cli modify-stock: position 1 is not a stock position\n"},
      {{"view", "Q"}, "vellumar-cli view: no portfolio \"Q\"\n"},
      {{"init"}, "vellumar-cli init: a database already exists at " + db + "\n"},
  };
  for (const Case& c : cases) {
    const CliResult r = Run(c.words);
    EXPECT_EQ(r.code, 1) << c.words[0];
    EXPECT_EQ(r.err, c.err);
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"positions", "--db", missingDb}, out, err), 1);
  EXPECT_EQ(err.str(), "vellumar-cli positions: no database file at " + missingDb +
                           " (create one with: vellumar-cli init --db " + missingDb + ")\n");
}

TEST_F(DbCommands, DumpNamesEveryField) {
  Run({"add-portfolio", "P"});
  Run({"add-stock", "P", "IBM", "--qty", "5", "--price", "1.25", "--sell-target", "2"});
  Run({"add-margin", "P", "3.5", "--comment", "loan"});
  CliResult dump = Run({"dump", "--json"});
  EXPECT_NE(dump.out.find("\"buyPricePerShare\":125"), std::string::npos);
  EXPECT_NE(dump.out.find("\"perShareSellTarget\":200"), std::string::npos);
  EXPECT_NE(dump.out.find("\"amountOwed\":350"), std::string::npos);
  EXPECT_NE(dump.out.find("\"refCount\":1"), std::string::npos);
  EXPECT_NE(dump.out.find("\"quote.lastTradeRealtime\":\"\""), std::string::npos);
  // Every key once: the item's name and the cached quote's own name are two keys.
  const auto parsed = nlohmann::json::parse(dump.out);
  ASSERT_EQ(parsed["quotes"].size(), 1u);
  EXPECT_EQ(parsed["quotes"][0].size(), 4u + StockInfo::kTextFieldCount + 1u);
  EXPECT_EQ(parsed["quotes"][0]["name"], "IBM");
  EXPECT_TRUE(parsed["quotes"][0].contains("quote.name"));
}

TEST_F(DbCommands, ACorruptOrMissingFileIsReportedAndLeftAlone) {
  {
    std::ofstream out(db, std::ios::binary | std::ios::trunc);
    out << "\x04VLDB\x01\x00\x00\x00 not a database";
  }
  CliResult corrupt = Run({"check"});
  EXPECT_EQ(corrupt.code, 1);
  EXPECT_NE(corrupt.err.find("The database file may be corrupt."), std::string::npos);
  std::filesystem::remove(db);
  CliResult missing = Run({"portfolios"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err.rfind("vellumar-cli portfolios: no database file at " + db, 0), 0u) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(db));
  EXPECT_EQ(Run({"init"}).code, 0);
  EXPECT_EQ(Run({"init"}).code, 1);  // never over an existing file
}

// Each check of the position, sell and portfolio dialogs, and the command line's own symbol and date checks,
// refuses with its own reason; nothing is written.
TEST_F(DbCommands, EveryRefusalSaysWhichCheckFailed) {
  Run({"add-portfolio", "P"});
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "60", "--price", "250", "--date", "2023-01-15"}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "IBM", "--qty", "10", "--price", "100"}).code, 0);
  ASSERT_EQ(Run({"sell", "2", "--qty", "10", "--price", "120"}).code, 0);
  ASSERT_EQ(Run({"add-cash", "P", "50", "--comment", "cash"}).code, 0);
  const std::string check = Run({"check"}).out;

  const std::string later = FormatDate(std::time(nullptr) + 3 * 86400);
  struct Case {
    std::vector<std::string> words;
    int code;
    std::string err;
  };
  const Case cases[] = {
      {{"add-portfolio", "  "}, 4, "add-portfolio: the portfolio name is empty or blank"},
      {{"modify-portfolio", "P", "--name", ""}, 4, "modify-portfolio: the portfolio name is empty or blank"},
      {{"add-stock", "P", " "}, 4, "add-stock: the symbol is empty or blank"},
      {{"add-stock", "P", "MS FT"}, 4,
       "add-stock: the symbol \"MS FT\" holds a blank, comma, quote or control character, which no symbol has"},
      {{"add-stock", "P", "A,B"}, 4,
       "add-stock: the symbol \"A,B\" holds a blank, comma, quote or control character, which no symbol has"},
      {{"add-stock", "P", "X\"Y"}, 4,
       "add-stock: the symbol \"X\"Y\" holds a blank, comma, quote or control character, which no symbol has"},
      {{"add-stock", "P", "X\tY"}, 4,
       "add-stock: the symbol \"X\tY\" holds a blank, comma, quote or control character, which no symbol has"},
      {{"modify-stock", "1", "--symbol", " "}, 4, "modify-stock: --symbol is empty or blank"},
      {{"add-stock", "P", "MSFT", "--qty", "10"}, 4,
       "add-stock: --price: give the price paid per share for these shares"},
      {{"add-stock", "P", "MSFT", "--price", "10"}, 4,
       "add-stock: --qty: give the number of shares bought (a whole number)"},
      {{"add-stock", "P", "MSFT", "--qty", "1000001", "--price", "1"}, 4,
       "add-stock: --qty: a position holds at most 1000000 shares"},
      {{"add-stock", "P", "MSFT", "--qty", "1", "--price", "-1"}, 4,
       "add-stock: --price must be an amount of 0 or more, such as 12.34"},
      {{"add-stock", "P", "MSFT", "--equity", "50"}, 4,
       "add-stock: --equity is given for a security that is not marginable: add --marginable, or --yes to keep it "
       "so"},
      {{"add-stock", "P", "MSFT", "--marginable"}, 4,
       "add-stock: --equity: a marginable position needs a margin equity from 1 to 100 percent"},
      {{"add-stock", "P", "MSFT", "--qty", "1", "--price", "1", "--date", later}, 4,
       "add-stock: --date is later than today"},
      {{"add-cash", "P", "10"}, 4, "add-cash: --comment (the description) must not be blank"},
      {{"add-margin", "P", "0", "--comment", "loan"}, 4, "add-margin: AMOUNT must be above 0, such as 2500 or 12.34"},
      {{"sell", "1", "--qty", "61", "--price", "300"}, 5,
       "sell: --qty: give a number of shares from 1 to 60; only 60 shares are held"},
      {{"sell", "1", "--qty", "10", "--price", "0"}, 4, "sell: --price: give the sale price per share, an amount above 0"},
      {{"sell", "1", "--qty", "10", "--price", "1", "--date", "2022-12-31"}, 5,
       "sell: the sale date is before the purchase date 2023-01-15"},
      {{"sell", "1", "--qty", "10", "--price", "1", "--date", later}, 4, "sell: --date is later than today"},
      {{"sell", "2", "--qty", "1", "--price", "1"}, 5, "sell: position 2 is already sold (unsell undoes a sale)"},
      {{"sell", "3", "--qty", "1", "--price", "1"}, 5,
       "sell: position 3 is a cash or margin position; only shares are sold"},
      {{"unsell", "3"}, 5, "unsell: position 3 is a cash or margin position; only a sale of shares can be undone"},
  };
  for (const Case& c : cases) {
    const CliResult r = Run(c.words);
    EXPECT_EQ(r.code, c.code) << c.words[0] << " " << c.words[1];
    EXPECT_EQ(r.err, "vellumar-cli " + c.err + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Run({"check"}).out, check);

  // The dialog's question answered with --yes keeps a margin equity for a security that is not marginable.
  EXPECT_EQ(Run({"add-stock", "P", "T", "--qty", "1", "--price", "1", "--equity", "50", "--yes"}).code, 0);
}

TEST_F(DbCommands, AFileLockedByAnotherProgramIsBusyNotCorrupt) {
  ASSERT_EQ(Run({"add-portfolio", "P"}).code, 0);
  {
    FileHandle holder;  // another program is changing the database and keeps it locked
    ASSERT_EQ(OpenExistingFile(db, kOpenReadWriteExclusive, holder), 0);
    CliResult busy = Run({"add-cash", "P", "10", "--comment", "cash"});
    EXPECT_EQ(busy.code, 1);
    EXPECT_NE(busy.err.find("another program is changing the database"), std::string::npos) << busy.err;
    EXPECT_EQ(busy.err.find("corrupt"), std::string::npos) << busy.err;
  }
  EXPECT_EQ(Run({"add-cash", "P", "10", "--comment", "cash"}).code, 0);
  EXPECT_NE(Run({"view", "P"}).out.find("10.00"), std::string::npos);
}
