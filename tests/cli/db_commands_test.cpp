// The database commands of vellumar-cli, run in-process over a database in a temporary folder.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/db_session.h"
#include "cli/value_parsers.h"
#include "framework/file_util.h"
#include "marketdata/stock_info.h"
#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"
#include "tests/support/time_zone.h"

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
  EXPECT_EQ(Run({"check"}).out,
            db + ": 1 portfolio, 1 position (0 held, 0 sold, 1 cash, 0 margin), 0 quotes\n");
}

TEST_F(DbCommands, AmountsAndDatesAreCheckedBeforeTheDatabaseIsTouched) {
  Run({"add-portfolio", "P"});
  // Each number says why it is refused: not a number, negative, too large (with the limit) or too small.
  const std::string notAmount = "\" is not an amount (such as 1,234.56)\n";
  const struct {
    const char* typed;
    std::string err;
  } cases[] = {
      {"12.345", "AMOUNT: \"12.345\" has more decimals than Vellumar keeps: at most 2 decimal places\n"},
      {"10,00", "AMOUNT: \"10,00" + notAmount},
      {"1234,56", "AMOUNT: \"1234,56" + notAmount},
      {"abc", "AMOUNT: \"abc" + notAmount},
      {".", "AMOUNT: \"." + notAmount},
      {"-5", "AMOUNT must not be negative\n"},
      {"-99999999999", "AMOUNT must not be negative\n"},
      {"42949672.96", "AMOUNT is too large: at most 42,949,672.95\n"},
      {"42949673", "AMOUNT is too large: at most 42,949,672.95\n"},
      {"", "AMOUNT must be above 0, such as 2500 or 12.34\n"},
      {"0", "AMOUNT must be above 0, such as 2500 or 12.34\n"},
  };
  for (const auto& c : cases) {
    CliResult r = Run({"add-cash", "P", c.typed, "--comment", "cash"});
    EXPECT_EQ(r.code, 4) << c.typed;
    EXPECT_EQ(r.err, "vellumar-cli add-cash: " + c.err) << c.typed;
  }
  EXPECT_EQ(Run({"add-cash", "P", "42949672.95", "--comment", "cash"}).code, 0);
  const std::vector<std::string> position = {"add-stock", "P", "MSFT", "--qty", "10", "--price", "1"};
  const struct {
    std::vector<std::string> extra;
    std::string err;
  } stockCases[] = {
      {{"--price", "42949672.96"}, "add-stock: --price is too large: at most 42,949,672.95\n"},
      {{"--commission", "50000000"}, "add-stock: --commission is too large: at most 42,949,672.95\n"},
      {{"--buy-target", "-1"}, "add-stock: --buy-target must not be negative\n"},
      {{"--stop-loss", "1.2.3"}, "add-stock: --stop-loss: \"1.2.3\" is not an amount (such as 1,234.56)\n"},
      {{"--qty", "1.123456789"},
       "add-stock: --qty: \"1.123456789\" has more decimals than Vellumar keeps: at most 8 decimal places\n"},
      {{"--qty", "1,5"}, "add-stock: --qty: \"1,5\" is not a number (such as 1,234.5678)\n"},
      {{"--price", "84.2637001"},
       "add-stock: --price: \"84.2637001\" has more decimals than Vellumar keeps: at most 6 decimal "
       "places\n"},
      {{"--commission", "9.995"},
       "add-stock: --commission: \"9.995\" has more decimals than Vellumar keeps: at most 2 decimal "
       "places\n"},
      {{"--qty", "-3"}, "add-stock: --qty must not be negative\n"},
      {{"--marginable", "--equity", "half"}, "add-stock: --equity: \"half\" is not a whole number\n"},
  };
  for (const auto& c : stockCases) {
    std::vector<std::string> words = position;
    words.insert(words.end(), c.extra.begin(), c.extra.end());
    CliResult r = Run(words);
    EXPECT_EQ(r.code, 4) << c.extra[0];
    EXPECT_EQ(r.err, "vellumar-cli " + c.err) << c.extra[0];
  }
  EXPECT_EQ(Run({"check"}).out,
            db + ": 1 portfolio, 1 position (0 held, 0 sold, 1 cash, 0 margin), 0 quotes\n");
  ASSERT_EQ(Run(position).code, 0);
  const std::string stored = Run({"check"}).out;
  EXPECT_EQ(Run({"sell", "2", "--qty", "ten", "--price", "1"}).err,
            "vellumar-cli sell: --qty: \"ten\" is not a number (such as 1,234.5678)\n");
  EXPECT_EQ(Run({"sell", "2", "--qty", "1", "--price", "-1"}).err,
            "vellumar-cli sell: --price must not be negative\n");
  EXPECT_EQ(Run({"sell", "2", "--qty", "1", "--price", "50000000"}).err,
            "vellumar-cli sell: --price is too large: at most 42,949,672.95\n");
  EXPECT_EQ(Run({"check"}).out, stored);
  EXPECT_EQ(Run({"add-stock", "P", "MSFT", "--date", "2023-02-30"}).code, 2);
  EXPECT_EQ(Run({"add-stock", "P", "MSFT", "--equity", "101", "--marginable"}).code, 4);

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
  EXPECT_EQ(Run({"sell", "1", "--qty", "1", "--price", "300"}).code, 5);   // already sold
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
  // The Currency column, newer than the classic 74, is a column like the others; 80 is none.
  EXPECT_EQ(Run({"view", "P", "--sold", "--columns", "0,74", "--sort", "74"}).out,
            "Id\tSymbol\tCurrency  ^\n");
  EXPECT_EQ(Run({"view", "P", "--columns", "0,85"}).code, 2);
}

// A sale without --date is dated today (the clock's day), so the sold views show when it was sold; a named
// date is kept.
TEST_F(DbCommands, ASaleWithoutADateIsDatedToday) {
  Run({"add-portfolio", "P"});
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "10", "--price", "5", "--date", "2024-01-02"}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "IBM", "--qty", "10", "--price", "5", "--date", "2024-01-02"}).code, 0);
  ASSERT_EQ(Run({"sell", "1", "--qty", "4", "--price", "6"}).code, 0);
  ASSERT_EQ(Run({"sell", "2", "--qty", "10", "--price", "6", "--date", "2024-03-05"}).code, 0);

  const nlohmann::json sold = nlohmann::json::parse(Run({"positions", "--sold", "--json"}).out);
  ASSERT_EQ(sold.size(), 2u);
  for (const auto& row : sold) {
    EXPECT_EQ(row.at("sold"), row.at("symbol") == "MSFT" ? "2024-12-04" : "2024-03-05");
  }
  EXPECT_NE(Run({"help", "sell"}).out.find("(default today)"), std::string::npos);
}

// A date typed in one time zone reads as the same day in every other; every day from 1900 on is kept,
// 1970-01-01 (whose midnight is the "no date" value) included.
TEST_F(DbCommands, DatesReadTheSameInEveryTimeZoneAndReachBackTo1900) {
  Run({"add-portfolio", "P"});
  const std::vector<std::string> days = {"2024-03-10", "1970-01-01", "1969-07-20", "1900-01-01"};
  {
    ScopedTimeZone tokyo("Asia/Tokyo");
    for (const std::string& day : days) {
      ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "1", "--price", "1", "--date", day}).code, 0) << day;
    }
    ASSERT_EQ(Run({"sell", "1", "--qty", "1", "--price", "2", "--date", "2024-03-10"}).code, 0);
  }
  for (const char* zone : kTestZones) {
    ScopedTimeZone here(zone);
    const nlohmann::json rows = nlohmann::json::parse(Run({"positions", "--json"}).out);
    ASSERT_EQ(rows.size(), days.size());
    for (size_t i = 0; i < days.size(); ++i) EXPECT_EQ(rows[i].at("bought"), days[i]) << zone;
    EXPECT_EQ(rows[0].at("sold"), "2024-03-10") << zone;
    EXPECT_EQ(Run({"view", "P", "--sold", "--columns", "11,65"}).out,
              "Id\tDate Bought\tDate Sold\n1\t10-Mar-2024\t10-Mar-2024\n")
        << zone;
  }
  const CliResult early =
      Run({"add-stock", "P", "MSFT", "--qty", "1", "--price", "1", "--date", "1899-12-31"});
  EXPECT_EQ(early.code, 4);
  EXPECT_EQ(early.err, "vellumar-cli add-stock: --date must lie between 1900-01-01 and today\n");
  EXPECT_EQ(Run({"sell", "2", "--qty", "1", "--price", "2", "--date", "1969-07-19"}).code, 5);
}

// --currency sets a position's own currency, "-" gives it back its exchange's; a text that is no code is
// refused and changes nothing. The summary says when its totals mix currencies.
TEST_F(DbCommands, CurrencyIsSetChangedClearedAndNamedInTheSummary) {
  Run({"add-portfolio", "P"});
  const std::string before = ReadText(db);
  const CliResult lower =
      Run({"add-stock", "P", "HSBA.L", "--qty", "10", "--price", "600", "--currency", "gbp"});
  EXPECT_EQ(lower.code, 4);
  EXPECT_EQ(
      lower.err,
      "vellumar-cli add-stock: --currency: \"gbp\" is not a currency code: give three capital letters (an "
      "ISO code such as USD), GBp, ZAc or ILA, or - for the currency of the exchange\n");
  EXPECT_EQ(Run({"add-stock", "P", "HSBA.L", "--currency", ""}).code, 2);
  EXPECT_EQ(ReadText(db), before);
  const std::string plain = Run({"positions"}).out;
  EXPECT_EQ(plain.find("Currency"), std::string::npos);

  ASSERT_EQ(Run({"add-stock", "P", "HSBA.L", "--qty", "10", "--price", "600", "--currency", "GBp"}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "VOD.L", "--qty", "10", "--price", "70", "--currency", "GBp"}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "1", "--price", "400"}).code, 0);
  const auto currencies = [&] {
    std::vector<std::string> codes;
    for (const auto& row : nlohmann::json::parse(Run({"positions", "--json"}).out))
      codes.push_back(row.contains("currency") ? row.at("currency").get<std::string>() : "-");
    return codes;
  };
  EXPECT_EQ(currencies(), (std::vector<std::string>{"GBp", "GBp", "-"}));
  const std::vector<std::vector<std::string>> table = TsvRows(Run({"positions"}).out);
  EXPECT_EQ(table[0].back(), "Currency");
  EXPECT_EQ(table[1].back(), "GBp");
  EXPECT_EQ(table[3].back(), "");
  // One currency (MSFT's quote names no exchange here): the summary is as it always was.
  const std::string unmixed = Run({"summary", "P"}).out;
  EXPECT_EQ(unmixed.substr(0, unmixed.find('\n')),
            "currentValue\tchange\tgain\tequity\tmarginableEquity\tmarginOwed\tmarginAvailable");

  ASSERT_EQ(Run({"modify-stock", "3", "--currency", "USD"}).code, 0);
  EXPECT_EQ(currencies(), (std::vector<std::string>{"GBp", "GBp", "USD"}));
  const std::vector<std::vector<std::string>> summary = TsvRows(Run({"summary", "P"}).out);
  ASSERT_EQ(summary.size(), 2u);
  EXPECT_EQ(summary[0].back(), "mixedCurrencies");
  EXPECT_EQ(summary[1].back(), "GBp and USD, not converted");
  EXPECT_EQ(nlohmann::json::parse(Run({"summary", "P", "--ids", "1,3", "--json"}).out).at("mixedCurrencies"),
            "GBp and USD, not converted");
  EXPECT_EQ(Run({"summary", "P", "--ids", "1,2"}).out.find("mixed"), std::string::npos);

  // Other changes keep the currency; "-" clears it, and a refused code leaves it as it was.
  ASSERT_EQ(Run({"modify-stock", "1", "--comment", "bank"}).code, 0);
  ASSERT_EQ(Run({"modify-stock", "2", "--currency", "-"}).code, 0);
  EXPECT_EQ(Run({"modify-stock", "3", "--currency", "US$"}).code, 4);
  EXPECT_EQ(currencies(), (std::vector<std::string>{"GBp", "-", "USD"}));
  // A sale of part of a position leaves both parts in its currency.
  ASSERT_EQ(Run({"sell", "1", "--qty", "4", "--price", "650"}).out, "id\tremainderId\n1\t4\n");
  EXPECT_EQ(currencies(), (std::vector<std::string>{"GBp", "-", "USD", "GBp"}));
  EXPECT_NE(Run({"help", "add-stock"}).out.find("  --currency CODE  "), std::string::npos);
}

TEST_F(DbCommands, ACorruptOrMissingFileIsReportedAndLeftAlone) {
  WriteText(db, "\x04VLDB\x01\x00\x00\x00 not a database");
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

// A file a later version wrote (a newer header, or a newer record inside) is refused as such, naming it, by
// every command that reads it; nothing is written to it or beside it.
TEST_F(DbCommands, AFileOfANewerVersionIsRefusedByNameAndLeftAlone) {
  ASSERT_EQ(Run({"add-portfolio", "P"}).code, 0);
  ASSERT_EQ(Run({"add-stock", "P", "MSFT", "--qty", "1", "--price", "1"}).code, 0);
  const std::string journal = folder.File("t.journal");
  std::filesystem::remove(journal);
  const std::string saved = ReadText(db);
  ASSERT_EQ(saved.compare(0, 9, std::string("\x04VLDB\x01\x00\x00\x00", 9)), 0);
  std::string newerHeader = saved;
  newerHeader[5] = '\x0a';
  // The stock record's three version fields ("SH" and 6 at each level) read 10.
  std::string newerRecord = saved;
  for (size_t at = 0;
       (at = newerRecord.find(std::string("\x02SH\x06\x00\x00\x00", 7), at)) != std::string::npos;)
    newerRecord[at += 3] = '\x0a';
  ASSERT_NE(newerRecord, saved);
  for (const std::string& bytes : {newerHeader, newerRecord}) {
    WriteText(db, bytes);
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"check"}, {"portfolios"}, {"add-cash", "P", "5", "--comment", "c"}}) {
      const CliResult refused = Run(words);
      EXPECT_EQ(refused.code, 1) << words[0];
      EXPECT_EQ(refused.err, "vellumar-cli " + words[0] + ": cannot open " + db +
                                 ": it was written by a newer version of Vellumar, which this version cannot "
                                 "read; nothing was changed\n");
    }
    EXPECT_EQ(ReadText(db), bytes);
    EXPECT_FALSE(std::filesystem::exists(journal));
  }
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

  const std::string later = "2024-12-07";  // three days after the fixed clock's today
  struct Case {
    std::vector<std::string> words;
    int code;
    std::string err;
  };
  const Case cases[] = {
      {{"add-portfolio", "  "}, 4, "add-portfolio: the portfolio name is empty or blank"},
      {{"modify-portfolio", "P", "--name", ""}, 4, "modify-portfolio: the portfolio name is empty or blank"},
      {{"add-stock", "P", " "}, 4, "add-stock: the symbol is empty or blank"},
      {{"add-stock", "P", "MS FT"},
       4,
       "add-stock: the symbol \"MS FT\" holds a blank, comma, quote or control character, which no symbol "
       "has"},
      {{"add-stock", "P", "A,B"},
       4,
       "add-stock: the symbol \"A,B\" holds a blank, comma, quote or control character, which no symbol has"},
      {{"add-stock", "P", "X\"Y"},
       4,
       "add-stock: the symbol \"X\"Y\" holds a blank, comma, quote or control character, which no symbol "
       "has"},
      {{"add-stock", "P", "X\tY"},
       4,
       "add-stock: the symbol \"X\\x09Y\" holds a blank, comma, quote or control character, which no symbol "
       "has"},
      {{"modify-stock", "1", "--symbol", " "}, 4, "modify-stock: --symbol is empty or blank"},
      {{"add-stock", "P", "MSFT", "--qty", "10"},
       4,
       "add-stock: --price: give the price paid per share for these shares"},
      {{"add-stock", "P", "MSFT", "--price", "10"}, 4, "add-stock: --qty: give the number of shares bought"},
      {{"add-stock", "P", "MSFT", "--qty", "1000001", "--price", "1"},
       4,
       "add-stock: --qty: a position holds at most 1000000 shares"},
      {{"add-stock", "P", "MSFT", "--qty", "1", "--price", "-1"},
       4,
       "add-stock: --price must be an amount of 0 or more, such as 12.34"},
      {{"add-stock", "P", "MSFT", "--equity", "50"},
       4,
       "add-stock: --equity is given for a security that is not marginable: add --marginable, or --yes to "
       "keep it "
       "so"},
      {{"add-stock", "P", "MSFT", "--marginable"},
       4,
       "add-stock: --equity: a marginable position needs a margin equity from 1 to 100 percent"},
      {{"add-stock", "P", "MSFT", "--qty", "1", "--price", "1", "--date", later},
       4,
       "add-stock: --date is later than today"},
      {{"add-cash", "P", "10"}, 4, "add-cash: --comment (the description) must not be blank"},
      {{"add-margin", "P", "0", "--comment", "loan"},
       4,
       "add-margin: AMOUNT must be above 0, such as 2500 or 12.34"},
      {{"sell", "1", "--qty", "61", "--price", "300"},
       5,
       "sell: --qty: give a number of shares from 1 to 60; only 60 shares are held"},
      {{"sell", "1", "--qty", "10", "--price", "0"},
       4,
       "sell: --price: give the sale price per share, an amount above 0"},
      {{"sell", "1", "--qty", "10", "--price", "1", "--date", "2022-12-31"},
       5,
       "sell: the sale date is before the purchase date 2023-01-15"},
      {{"sell", "1", "--qty", "10", "--price", "1", "--date", later}, 4, "sell: --date is later than today"},
      {{"sell", "2", "--qty", "1", "--price", "1"},
       5,
       "sell: position 2 is already sold (unsell undoes a sale)"},
      {{"sell", "3", "--qty", "1", "--price", "1"},
       5,
       "sell: position 3 is a cash or margin position; only shares are sold"},
      {{"unsell", "3"},
       5,
       "unsell: position 3 is a cash or margin position; only a sale of shares can be undone"},
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
    ASSERT_EQ(OpenExistingFile(db, kOpenReadWriteExclusive, holder), FileOpenResult::Opened);
    CliResult busy = Run({"add-cash", "P", "10", "--comment", "cash"});
    EXPECT_EQ(busy.code, 1);
    EXPECT_NE(busy.err.find("another program is changing the database"), std::string::npos) << busy.err;
    EXPECT_EQ(busy.err.find("corrupt"), std::string::npos) << busy.err;
  }
  EXPECT_EQ(Run({"add-cash", "P", "10", "--comment", "cash"}).code, 0);
  EXPECT_NE(Run({"view", "P"}).out.find("10.00"), std::string::npos);
}
