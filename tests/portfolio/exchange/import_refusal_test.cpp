// A file with a bad row is refused whole, with one problem per bad row naming its line; the database file
// stays byte for byte as it was. Rows already in their portfolio are skipped unless duplicates are allowed.
#include <gtest/gtest.h>

#include "portfolio/exchange/csv_text.h"
#include "tests/portfolio/exchange/exchange_fixture.h"

namespace {

// A Vellumar CSV row: a held stock position of portfolio "P" with `changes` laid over it.
std::vector<std::string> Row(std::map<ImportField, std::string> changes) {
  RowTexts texts;
  At(texts, ImportField::Portfolio) = "P";
  At(texts, ImportField::Kind) = "stock";
  At(texts, ImportField::Symbol) = "IBM";
  At(texts, ImportField::Quantity) = "10";
  At(texts, ImportField::Price) = "100.00";
  At(texts, ImportField::Date) = "2023-01-02";
  for (const auto& [field, text] : changes) At(texts, field) = text;
  return {texts.begin() + static_cast<int>(ImportField::Portfolio),
          texts.begin() + static_cast<int>(ImportField::Tag) + 1};
}

std::string Csv(const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  AppendCsvRecord(text, VellumarCsvHeader());
  for (const auto& row : rows) AppendCsvRecord(text, row);
  return text;
}

using F = ImportField;

// A file with the Currency column: each stock row's code is checked as the dialog checks it.
TEST_F(ExchangeTest, ACurrencyColumnIsCheckedRowByRow) {
  AddPortfolio("P");
  const std::string before = ReadText(path);
  std::vector<std::string> header = VellumarCsvHeader();
  header.push_back("currency");  // letter case does not matter in the header
  std::string text;
  AppendCsvRecord(text, header);
  const auto row = [&](const std::string& currency) {
    std::vector<std::string> fields = Row({});
    fields.push_back(currency);
    AppendCsvRecord(text, fields);
  };
  row("ZAc");
  row("gbp");
  row("EURO");
  AppendCsvRecord(text, Row({}));  // one column short
  std::vector<std::string> cash = Row({{F::Kind, "cash"}, {F::Amount, "5"}, {F::Comment, "c"}});
  cash.push_back("EUR");
  AppendCsvRecord(text, cash);
  EXPECT_EQ(Import(text), std::nullopt);
  EXPECT_EQ(Described(reading.problems),
            (std::vector<std::string>{
                "line 3: the currency 'gbp' is not a currency code (three capital letters such as USD, or "
                "GBp, ZAc or ILA)",
                "line 4: the currency 'EURO' is not a currency code (three capital letters such as USD, or "
                "GBp, ZAc or ILA)",
                "line 5: the row has 20 columns instead of 21",
                "line 6: a cash position or margin debt has no currency of its own ('EUR')"}));
  EXPECT_EQ(ReadText(path), before);

  // Without the bad rows it goes in, each position with its code.
  text.clear();
  AppendCsvRecord(text, header);
  row("ZAc");
  row("");
  ASSERT_EQ(Import(text), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  const auto positions = Positions(PortfolioId("P"));
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*positions[0]).currency, "ZAc");
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*positions[1]).currency, "");
}

TEST_F(ExchangeTest, EveryBadRowIsNamedAndNothingIsImported) {
  AddPortfolio("P");
  const std::string before = ReadText(path);
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {Row({}), ""},  // a good row: not imported either
      {Row({{F::Quantity, "zehn"}}), "the quantity 'zehn' is not a number of shares"},
      {Row({{F::Quantity, "1000001"}}),
       "the quantity '1000001' is more than the 1,000,000 shares a position holds"},
      {Row({{F::Price, "-5"}}), "the price '-5' is negative"},
      {Row({{F::Price, "12,3"}}), "the price '12,3' is not an amount (such as 1234.56)"},
      {Row({{F::Price, "99999999999"}}), "the price '99999999999' is too large: at most 42,949,672.95"},
      // Shares must match the broker's: a fraction beyond what a record keeps is refused, not rounded.
      {Row({{F::Quantity, "1.123456789"}}),
       "the quantity '1.123456789' has more decimals than Vellumar keeps (at most 8)"},
      {Row({{F::Commission, "abc"}}), "the commission 'abc' is not an amount (such as 1234.56)"},
      {Row({{F::Symbol, " "}}), "the symbol is missing"},
      {Row({{F::Symbol, "A B"}}), "the symbol 'A B' holds a blank, comma, quote or control character"},
      {Row({{F::Date, "2023-02-30"}}), "the date '2023-02-30' is not a date of the form YYYY-MM-DD"},
      {Row({{F::Date, "2099-01-01"}}), "the date '2099-01-01' is later than today"},
      {Row({{F::Date, "1899-12-31"}}), "the date '1899-12-31' is before 1900-01-01"},
      {Row({{F::SalePrice, "1.00"}, {F::SaleDate, "2023-01-01"}}),
       "the sale date is before the purchase date"},
      {Row({{F::SaleDate, "2023-03-01"}}),
       "a sold position needs its quantity, purchase price and sale price"},
      {Row({{F::Price, ""}}), "shares without the price paid for them"},
      {Row({{F::Quantity, "0"}}), "a price paid without the number of shares"},
      {Row({{F::MarginEquity, "150"}}), "the margin equity '150' is not a whole number from 1 to 100"},
      {Row({{F::Marginable, "yes"}}), "a marginable position needs a margin equity from 1 to 100"},
      {Row({{F::Marginable, "maybe"}}), "marginable 'maybe' is neither yes nor no"},
      {Row({{F::Tag, "-1"}}), "the tag '-1' is not a whole number from 0 to 4294967295"},
      {Row({{F::Kind, "cash"}, {F::Amount, "0"}, {F::Comment, "c"}}), "the amount '0' is not above 0"},
      {Row({{F::Kind, "margin"}, {F::Amount, "5"}}), "the description is missing"},
      {Row({{F::Kind, "bond"}}),
       "the kind 'bond' is not stock, cash, margin, portfolio, price or a kind of income"},
      {Row({{F::Portfolio, ""}}), "the portfolio name is missing"},
      {{"P", "", "stock"}, "the row has 3 columns instead of 20"},
  };
  std::vector<std::vector<std::string>> fileRows;
  std::vector<std::string> expected;
  for (const auto& [row, problem] : rows) {
    fileRows.push_back(row);
    if (!problem.empty()) expected.push_back("line " + std::to_string(fileRows.size() + 1) + ": " + problem);
  }
  EXPECT_EQ(Import(Csv(fileRows)), std::nullopt);
  EXPECT_EQ(Described(reading.problems), expected);
  EXPECT_EQ(ReadText(path), before);
  EXPECT_TRUE(Positions(PortfolioId("P")).empty());
}

TEST_F(ExchangeTest, MalformedFilesAreRefusedWithTheirLine) {
  const struct {
    std::string text;
    std::string name;
    std::string problem;
  } cases[] = {
      {Csv({Row({})}) + "P,,stock,\"IBM,10\n", "a.csv", "line 3: a quoted field is never closed"},
      {Csv({Row({})}) + "P,,stock,\"IBM\"x,10\n", "a.csv",
       "line 3: text follows the closing quote of a field"},
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"1\">\n<Portfolio name=\"P\">\n<VLStock/>\n"
       "</Portfolio>\n</VellumarPortfolios>\n",
       "a.xml", "line 4: the element VLStock has no version this program reads"},
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"1\">\n<Portfolio name=\"P\">\n"
       "<VLCash version=\"1\" amount=\"-5\" comment=\"c\"/>\n</Portfolio>\n</VellumarPortfolios>\n",
       "a.xml", "line 4: the attribute amount holds '-5', a value it may not hold"},
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"1\">\n<Portfolio name=\"P\">\n<VLBond/>\n",
       "a.xml", "line 3: the file is not well-formed XML (XML_ERROR_PARSING)"},
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"0\"/>\n", "a.xml",
       "line 2: the file is not a Vellumar XML file of version 4 or earlier"},
      // What a later Vellumar wrote is said to be so, as a whole file or one element of it.
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"5\"/>\n", "a.xml",
       "the file was written by a newer version of Vellumar (VellumarPortfolios form of version 5; this "
       "version reads up to version 4)"},
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"1\">\n<Portfolio name=\"P\">\n"
       "<VLStock version=\"99\" symbol=\"IBM\"/>\n</Portfolio>\n</VellumarPortfolios>\n",
       "a.xml",
       "line 4: the file was written by a newer version of Vellumar (VLStock element of version 99; this "
       "version reads up to version 9)"},
      {"<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"1\">\n<Portfolio name=\"P\">\n<VLBond/>\n"
       "</Portfolio>\n</VellumarPortfolios>\n",
       "a.xml", "line 4: unknown element \"VLBond\""},
      {"Symbol,Quantity\nIBM,1\n", "plain.csv", "no portfolio was named for the positions of this file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.problem);
    EXPECT_EQ(Import(c.text, {}, c.name), std::nullopt);
    ASSERT_FALSE(reading.problems.empty());
    EXPECT_EQ(reading.problems[0].Describe(), c.problem);
  }
}

TEST_F(ExchangeTest, RowsAlreadyThereAreSkippedUnlessDuplicatesAreAllowed) {
  // Two equal rows: each matches one position, so importing the file twice adds nothing and a database
  // holding one of them takes the other.
  const std::string file =
      Csv({Row({}), Row({}), Row({{F::Kind, "cash"}, {F::Amount, "5"}, {F::Comment, "c"}}),
           Row({{F::Portfolio, "Q"}, {F::Symbol, "T"}})});
  ASSERT_EQ(Import(file), VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.duplicates, outcome.createdPortfolios.size()),
            std::make_tuple(4, 0, size_t{2}));
  // One notice for the change: the new portfolios, then one event per portfolio naming its first position.
  const uint32_t p = PortfolioId("P");
  const uint32_t q = PortfolioId("Q");
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{
                "cmd 32825", "event 0 " + std::to_string(p) + " 0", "event 0 " + std::to_string(q) + " 0",
                "event 3 " + std::to_string(p) + " 1", "event 3 " + std::to_string(q) + " 4"}));
  log.entries.clear();
  const std::string saved = ReadText(path);
  ASSERT_EQ(Import(file), VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.duplicates), std::make_tuple(0, 4));
  EXPECT_EQ(ReadText(path), saved);  // nothing to save
  EXPECT_TRUE(log.entries.empty());

  ASSERT_EQ(db->DeletePosition(conn, 2), VLResult::Ok);
  ASSERT_EQ(Import(file), VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.duplicates), std::make_tuple(1, 3));

  ImportOptions again;
  again.allowDuplicates = true;
  ASSERT_EQ(Import(file, again), VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.duplicates), std::make_tuple(4, 0));
  EXPECT_EQ(Positions(p).size(), 6u);

  // A trial says the same without changing anything.
  const std::string now = ReadText(path);
  ASSERT_EQ(db->TryImport(conn, reading.plan, outcome, problems), VLResult::Ok);
  EXPECT_EQ(outcome.added, 4);
  EXPECT_EQ(ReadText(path), now);
}

TEST_F(ExchangeTest, TheTargetPortfolioTakesEveryRowOfAVellumarFile) {
  AddPortfolio("Target");
  ImportOptions options;
  options.targetPortfolio = "target";  // the existing one, whatever its letter case
  ASSERT_EQ(Import(Csv({Row({}), Row({{F::Portfolio, "Elsewhere"}, {F::Symbol, "X"}})}), options),
            VLResult::Ok);
  EXPECT_TRUE(outcome.createdPortfolios.empty());
  EXPECT_EQ(Positions(PortfolioId("Target")).size(), 2u);
}

TEST_F(ExchangeTest, LeftOutKindsAreCountedNotImported) {
  ImportOptions options;
  options.cash = false;
  options.margin = false;
  options.indexes = false;
  ASSERT_EQ(Import(Csv({Row({}), Row({{F::Kind, "cash"}, {F::Amount, "5"}, {F::Comment, "c"}}),
                        Row({{F::Kind, "margin"}, {F::Amount, "5"}, {F::Comment, "m"}}),
                        Row({{F::Symbol, "^DJI"}})}),
                   options),
            VLResult::Ok);
  EXPECT_EQ(std::make_tuple(reading.leftOut, outcome.added), std::make_tuple(3, 1));
}

}  // namespace
