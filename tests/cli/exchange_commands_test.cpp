// vellumar-cli export and import, in-process over databases in a temporary folder.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/temp_folder.h"

namespace {

class ExchangeCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init", "--sample"}).code, 0);
  }
  CliResult Run(std::vector<std::string> words, const std::string& on = {}) {
    return CallCliOn(std::move(words), on.empty() ? db : on);
  }

  TempFolder folder{"vl_cli_exchange"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};
};

TEST_F(ExchangeCommands, ExportedDatabaseImportsWholeIntoAnEmptyOneAndOnlyOnce) {
  const CliResult xml = Run({"export", "--out", "-", "--format", "xml"});
  ASSERT_EQ(xml.code, 0) << xml.err;
  const std::string file = folder.File("all.xml");
  WriteText(file, xml.out);
  const std::string empty = folder.File("empty.db");
  ASSERT_EQ(Run({"init"}, empty).code, 0);

  const std::string before = ReadText(empty);
  const CliResult trial = Run({"import", file, "--dry-run", "--json"}, empty);
  ASSERT_EQ(trial.code, 0) << trial.err;
  const auto said = nlohmann::json::parse(trial.out);
  EXPECT_EQ(said["added"], 14);
  EXPECT_EQ(said["newPortfolios"], 2);
  EXPECT_EQ(said["rows"].size(), 14u);
  EXPECT_EQ(ReadText(empty), before);  // a trial changes nothing

  ASSERT_EQ(Run({"import", file}, empty).code, 0);
  EXPECT_EQ(Run({"export", "--out", "-", "--format", "xml"}, empty).out, xml.out);
  const CliResult again = Run({"import", file, "--json"}, empty);
  EXPECT_EQ(nlohmann::json::parse(again.out)["duplicates"], 14);
  EXPECT_EQ(nlohmann::json::parse(Run({"import", file, "--allow-duplicates", "--json"}, empty).out)["added"],
            14);

  // A written file says what went into it; the extension chooses the form.
  const CliResult written = Run({"export", "Retirement", "--out", folder.File("r.csv"), "--no-cash"});
  ASSERT_EQ(written.code, 0) << written.err;
  EXPECT_EQ(
      written.out.rfind("file\tformat\tportfolios\tpositions\n" + folder.File("r.csv") + "\tcsv\t1\t", 0),
      0u);
  const std::string csv = ReadText(folder.File("r.csv"));
  EXPECT_EQ(csv.rfind("Portfolio,Portfolio Comment,Kind,", 0), 0u);
  EXPECT_EQ(csv.find(",cash,"), std::string::npos);
  EXPECT_NE(csv.find(",stock,"), std::string::npos);
}

TEST_F(ExchangeCommands, ARefusedFileExitsFourWithEveryProblemAndChangesNothing) {
  const std::string file = folder.File("bad.csv");
  WriteText(file, "Symbol;Anzahl;Kurs\nSAP;zehn;1,00\nBMW;5;-1,00\nVOW;1;2,00\n");
  const std::string before = ReadText(db);
  const CliResult result = Run({"import", file, "--portfolio", "Broker", "--delimiter", ";",
                                "--decimal-comma", "--map", "quantity=Anzahl,price=Kurs"});
  EXPECT_EQ(result.code, 4);
  EXPECT_EQ(result.err,
            "vellumar-cli import: line 2: the quantity 'zehn' is not a number of shares\n"
            "vellumar-cli import: line 3: the price '-1,00' is negative\n"
            "vellumar-cli import: " +
                file + " was not imported (2 problems); nothing was changed\n");
  EXPECT_EQ(ReadText(db), before);
  // Wrong usage is said before anything is read.
  EXPECT_EQ(Run({"import", file, "--map", "kurs"}).code, 2);
  EXPECT_EQ(Run({"import", file, "--date-format", "DD.MM"}).code, 2);
  EXPECT_EQ(Run({"import", file, "--map", "price=Kurs"}).code, 2);  // no --portfolio for a mapped file
  // A file that cannot be read is a failure, not a refusal of its rows.
  const CliResult missing = Run({"import", folder.File("gone.csv"), "--portfolio", "Broker"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("gone.csv"), std::string::npos) << missing.err;
  EXPECT_EQ(ReadText(db), before);
}

// An XML file of a later form is refused as the work of a newer version, naming the file; nothing changes.
TEST_F(ExchangeCommands, AnXmlFileOfANewerVersionIsRefusedByName) {
  const std::string file = folder.File("later.xml");
  WriteText(file,
            "<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"5\">\n<Portfolio name=\"P\"/>\n"
            "</VellumarPortfolios>\n");
  const std::string before = ReadText(db);
  const CliResult result = Run({"import", file});
  EXPECT_EQ(result.code, 4);
  EXPECT_EQ(
      result.err,
      "vellumar-cli import: the file was written by a newer version of Vellumar (VellumarPortfolios form "
      "of version 5; this version reads up to version 4)\n"
      "vellumar-cli import: " +
          file + " was not imported (1 problem); nothing was changed\n");
  EXPECT_EQ(ReadText(db), before);
}

TEST_F(ExchangeCommands, ASavedProfileReadsTheNextFileAlike) {
  const std::string profiles = folder.File("profiles.ini");
  const std::string first = folder.File("jan.csv");
  WriteText(first, "Depot export\nWKN\tStk\tKurs\tDatum\n716460\t10\t1.234,50\t02.01.2024\n");
  const CliResult saved = Run({"import",
                               first,
                               "--portfolio",
                               "Depot",
                               "--delimiter",
                               "tab",
                               "--decimal-comma",
                               "--date-format",
                               "DD.MM.YYYY",
                               "--skip-rows",
                               "1",
                               "--encoding",
                               "latin-1",
                               "--map",
                               "symbol=WKN,quantity=Stk,price=Kurs,date=Datum",
                               "--save-profile",
                               "Meine Bank",
                               "--profiles",
                               profiles,
                               "--json"});
  ASSERT_EQ(saved.code, 0) << saved.err;
  const nlohmann::json savedJson = nlohmann::json::parse(saved.out);
  EXPECT_EQ(savedJson["rows"][0]["price"], "1234.50");
  EXPECT_EQ(savedJson["rows"][0]["priceValue"], 1234.5);
  EXPECT_EQ(savedJson["dryRun"], false);
  const std::string second = folder.File("feb.csv");
  WriteText(second, "Depot export\nWKN\tStk\tKurs\tDatum\n519000\t3\t99,10\t01.02.2024\n");
  const CliResult used = Run({"import", second, "--portfolio", "Depot", "--profile", "meine bank",
                              "--profiles", profiles, "--json"});
  ASSERT_EQ(used.code, 0) << used.err;
  const auto row = nlohmann::json::parse(used.out)["rows"][0];
  EXPECT_EQ(row["symbol"], "519000");
  EXPECT_EQ(row["price"], "99.10");
  EXPECT_EQ(
      Run({"import", second, "--portfolio", "Depot", "--profile", "other", "--profiles", profiles}).code, 2);
}

TEST_F(ExchangeCommands, ATransactionListImportsItsTradesAndListsEveryOtherRow) {
  const std::string file = folder.File("history.csv");
  WriteText(file,
            "Date,Action,Symbol,Quantity,Price,Fees & Comm,Amount\n"
            "11/01/2023,Buy,SPY,1.6531,$420.10,,-$694.48\n"
            "10/31/2023,Reinvest Dividend,SPY,,,,$694.48\n"
            "10/30/2023,Sell,SPY,1,$430.00,$0.05,$429.95\n"
            "10/29/2023,Journal,,,,,$5.00\n");
  const std::vector<std::string> base = {
      "import",        file,         "--portfolio", "Broker",
      "--date-format", "MM/DD/YYYY", "--map",       "kind=Action,fees=Fees & Comm",
      "--json"};
  // A sale of shares the portfolio does not hold then is refused, as any other problem.
  std::vector<std::string> words = base;
  words.insert(words.end(), {"--kind", "buy=Buy", "--kind", "sell=Sell", "--kind", "dividend=Reinvest Div*"});
  const CliResult refused = Run(words);
  EXPECT_EQ(refused.code, 4) << refused.out;

  WriteText(file,
            "Date,Action,Symbol,Quantity,Price,Fees & Comm,Amount\n"
            "10/30/2023,Buy,SPY,1.6531,$420.10,,-$694.48\n"
            "10/31/2023,Reinvest Dividend,SPY,,,,$694.48\n"
            "11/01/2023,Sell,SPY,-1,$430.00,$0.05,$429.95\n"
            "11/02/2023,Journal,,,,,$5.00\n");
  const CliResult done = Run(words);
  ASSERT_EQ(done.code, 0) << done.err;
  const auto said = nlohmann::json::parse(done.out);
  EXPECT_EQ(said["added"], 1);
  EXPECT_EQ(said["sold"], 1);
  EXPECT_EQ(said["skipped"], 1);
  EXPECT_EQ(said["income"], 1);
  ASSERT_EQ(said["rows"].size(), 4u);  // in the order of the file
  EXPECT_EQ(said["rows"][1]["action"], "income");
  EXPECT_EQ(said["rows"][1]["kind"], "dividend");
  EXPECT_EQ(said["rows"][1]["price"], "694.48");
  EXPECT_EQ(said["rows"][2]["action"], "sold");
  EXPECT_EQ(said["rows"][3]["kind"], "Journal");
  EXPECT_EQ(said["rows"][3]["reason"], "no kind is given for 'Journal'");

  // A mapping that leaves out the shares of its trades is wrong usage, whatever the rows hold.
  const std::string noShares = folder.File("no-shares.csv");
  WriteText(noShares, "Ticker,Cost\nMSFT,250\n");
  const CliResult wrong =
      Run({"import", noShares, "--portfolio", "Broker", "--map", "symbol=Ticker,price=Cost"});
  EXPECT_EQ(wrong.code, 2);
  EXPECT_NE(wrong.err.find("no column holds the quantity: map one to it (quantity=COLUMN)"),
            std::string::npos)
      << wrong.err;
  EXPECT_EQ(Run({"import", noShares, "--portfolio", "Broker", "--kind", "bonus=B"}).code, 2);
}

}  // namespace

namespace {

// Each shipped profile imports a file in its broker's shape with nothing else said: its trades become
// positions and sales, every other row is listed as skipped.
struct BrokerCase {
  const char* profile;
  const char* file;
  int added;
  int sold;
  int skipped;
  int income;  // payments recorded
  // The first position listed: its symbol, shares and total paid.
  const char* firstSymbol;
  const char* firstQuantity;
  const char* firstPaid;
};

class ShippedProfile : public ExchangeCommands, public ::testing::WithParamInterface<BrokerCase> {};

TEST_P(ShippedProfile, ImportsItsBrokersFileWithNothingElseSaid) {
  const BrokerCase& c = GetParam();
  const std::string file = std::string(VL_FIXTURES_DIR) + "/exchange/brokers/" + c.file;
  const CliResult done = Run({"import", file, "--portfolio", "Broker", "--profile", c.profile, "--profiles",
                              folder.File("none.ini"), "--json"});
  ASSERT_EQ(done.code, 0) << done.err;
  const auto said = nlohmann::json::parse(done.out);
  EXPECT_EQ(said["added"], c.added);
  EXPECT_EQ(said["sold"], c.sold);
  EXPECT_EQ(said.value("skipped", 0), c.skipped);
  EXPECT_EQ(said.value("income", 0), c.income);
  const CliResult listed = Run({"positions", "Broker", "--json"});
  ASSERT_EQ(listed.code, 0) << listed.err;
  const auto positions = nlohmann::json::parse(listed.out);
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions[0]["symbol"], c.firstSymbol) << positions.dump();
  EXPECT_EQ(positions[0]["qty"], c.firstQuantity);
  EXPECT_EQ(positions[0]["amount"], c.firstPaid);
  // A shipped profile cannot be overwritten.
  EXPECT_EQ(Run({"import", file, "--portfolio", "Other", "--profile", c.profile, "--profiles",
                 folder.File("none.ini"), "--save-profile", c.profile, "--dry-run"})
                .code,
            2);
}

INSTANTIATE_TEST_SUITE_P(
    Brokers, ShippedProfile,
    ::testing::Values(BrokerCase{"Interactive Brokers (Flex trades)", "ibkr-flex-trades.csv", 2, 1, 1, 0,
                                 "NESN", "20", "2095.00"},
                      BrokerCase{"trading 212", "trading212-history.csv", 2, 1, 2, 1, "AAPL", "0.2", "33.92"},
                      BrokerCase{"Charles Schwab", "schwab-history.csv", 3, 1, 2, 2, "KO", "10", "613.00"},
                      BrokerCase{"Fidelity", "fidelity-history.csv", 3, 1, 1, 1, "MSFT", "4", "997.68"},
                      BrokerCase{"DEGIRO (Transactions)", "degiro-transactions.csv", 2, 1, 0, 0,
                                 "NL0010273215", "2", "1211.60"}),
    [](const auto& info) {
      std::string name;
      for (const char* p = info.param.file; *p && *p != '-'; ++p) name.push_back(*p);
      return name;
    });

}  // namespace
