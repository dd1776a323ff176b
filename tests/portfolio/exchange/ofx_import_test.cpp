// Statements in both OFX syntaxes, written by hand: purchases, a sale split across two purchases, the cash
// balance, and the problems that refuse a statement with the line they are on.
#include <gtest/gtest.h>

#include <map>

#include "portfolio/fx/fx_rate.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "tests/portfolio/exchange/exchange_fixture.h"
#include "tests/support/exact_values.h"

namespace {

std::string Fixture(const std::string& name) {
  return ReadText(std::string(VL_FIXTURES_DIR) + "/exchange/" + name);
}

// The 1-based line of the first occurrence of `marker`, from `from` on.
int LineOf(const std::string& text, const std::string& marker, size_t from = 0) {
  const size_t at = text.find(marker, from);
  return at == std::string::npos ? -1
                                 : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class OfxImport : public ExchangeTest, public ::testing::WithParamInterface<const char*> {
 protected:
  std::optional<VLResult> ImportStatement(const std::string& text, bool cash = true, bool opening = false) {
    const std::string file = folder.File(std::string("in_") + GetParam());
    WriteText(file, text);
    ImportOptions options;
    options.targetPortfolio = "Broker";
    options.cash = cash;
    options.openingPositions = opening;
    return ImportFile(file, options);
  }
  std::string Original() { return Fixture(GetParam()); }
  // The statement selling 160 XYZ of the 150 it buys, with a holdings list of 5 XYZ at its end (so 15 were
  // held at its start).
  std::string SellingMoreThanBought() {
    const std::string text = Replaced(Original(), "<UNITS>-120", "<UNITS>-160");
    return Replaced(
        text, "</INVTRANLIST>",
        "</INVTRANLIST>\n<INVPOSLIST>\n<POSSTOCK><INVPOS><SECID><UNIQUEID>123456789</UNIQUEID>"
        "<UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID><HELDINACCT>CASH</HELDINACCT>"
        "<POSTYPE>LONG</POSTYPE><UNITS>5</UNITS><UNITPRICE>24.00</UNITPRICE><MKTVAL>120.00</MKTVAL>"
        "<DTPRICEASOF>20230401</DTPRICEASOF></INVPOS></POSSTOCK>\n</INVPOSLIST>");
  }
};

TEST_P(OfxImport, PurchasesSalesAndTheCashBalanceBecomePositions) {
  ASSERT_EQ(ImportStatement(Original()), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(reading.format, ExchangeFormat::Ofx);
  // The dividend is no position: it is recorded as the portfolio's income.
  EXPECT_TRUE(reading.skipped.empty());
  EXPECT_EQ(outcome.income, 1);
  ASSERT_EQ(reading.plan.incomes.size(), 1u);
  EXPECT_EQ(reading.plan.incomes[0].line, LineOf(Original(), "<INCOME>"));
  EXPECT_EQ(std::make_tuple(reading.plan.incomes[0].income.name, reading.plan.incomes[0].income.gross),
            std::make_tuple(std::string("XYZ"), 1200LL));
  EXPECT_EQ(outcome.added, 4);
  EXPECT_EQ(outcome.sold, 1);
  const auto positions = Positions(PortfolioId("Broker"));
  ASSERT_EQ(positions.size(), 5u);
  // The sale of 120 took the 100 shares bought first, then 20 of the later 50: that position is split, the
  // sold part keeping its id and the 30 left getting a new one. Commissions are shared out by the shares.
  const auto& first = static_cast<const VLStockHoldingItem&>(*positions[0]);
  EXPECT_EQ(first.name, "XYZ");
  EXPECT_EQ(first.comment, "First lot");
  EXPECT_EQ(std::make_tuple(first.qty, first.buyPricePerShare, first.buyCommission, first.purchaseDate),
            std::make_tuple(Shares(100), Cents(2510), 995u, Day(2023, 1, 15)));
  EXPECT_EQ(std::make_tuple(first.salePricePerShare, first.saleCommission, first.saleDate),
            std::make_tuple(Cents(3000), 416u, Day(2023, 3, 10)));
  const auto& fund = static_cast<const VLStockHoldingItem&>(*positions[1]);
  EXPECT_EQ(std::make_tuple(fund.name, fund.qty, fund.buyPricePerShare, fund.purchaseDate, fund.IsSold()),
            std::make_tuple(std::string("FUNDX"), Shares(12), Cents(1050), Day(2023, 1, 16), false));
  const auto& second = static_cast<const VLStockHoldingItem&>(*positions[2]);
  EXPECT_EQ(std::make_tuple(second.qty, second.salePricePerShare, second.saleCommission),
            std::make_tuple(Shares(20), Cents(3000), 84u));
  const auto& cash = static_cast<const VLCashHoldingItem&>(*positions[4]);
  EXPECT_EQ(std::make_tuple(cash.name, cash.amount),
            std::make_tuple(std::string("Cash, account 12345 at broker.example"), 123456u));
  const auto& rest = static_cast<const VLStockHoldingItem&>(*positions[3]);
  EXPECT_EQ(std::make_tuple(rest.qty, rest.buyPricePerShare, rest.purchaseDate, rest.IsSold()),
            std::make_tuple(Shares(30), Cents(2600), Day(2023, 2, 1), false));
  EXPECT_GT(rest.id, second.id);

  // The same statement again adds nothing: the purchases are found in the parts the sale made.
  const std::string before = ReadText(path);
  ASSERT_EQ(ImportStatement(Original()), VLResult::Ok);
  // Five rows, the account's margin side, which the portfolio does not have (0 as the statement says), and
  // the dividend recorded already.
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.sold, outcome.balances, outcome.duplicates),
            std::make_tuple(0, 0, 0, 7));
  EXPECT_EQ(ReadText(path), before);

  // A later statement's balance replaces the one imported before.
  ASSERT_EQ(ImportStatement(Replaced(Original(), "1234.56", "99.00")), VLResult::Ok);
  EXPECT_EQ(outcome.balances, 1);
  EXPECT_EQ(static_cast<const VLCashHoldingItem&>(*Positions(PortfolioId("Broker"))[4]).amount, 9900u);
}

// The cash balance is the statement's as of its day: one from an older statement than the one that set it
// leaves it alone (and says so); the same amount from a later one moves the day on, so that a statement
// between the two cannot set it back. The day is kept in the file, which then needs the later version.
TEST_P(OfxImport, AnOlderStatementLeavesTheCashBalanceAlone) {
  ASSERT_EQ(ImportStatement(Original()), VLResult::Ok);
  const auto cashOf = [this] {
    return *static_cast<const VLCashHoldingItem*>(Positions(PortfolioId("Broker"))[4].get());
  };
  EXPECT_EQ(cashOf().balanceDate, Day(2023, 4, 1));
  EXPECT_EQ(db->GetVersion(), VLDatabase::kIncomeVersion);  // the statement's dividend is recorded
  const std::string march =
      Replaced(Replaced(Original(), "<DTASOF>20230401", "<DTASOF>20230315"), "1234.56", "50.00");
  const std::string before = ReadText(path);
  ASSERT_EQ(ImportStatement(march), VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.outdated, outcome.balances), std::make_tuple(1, 0));
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(cashOf().amount, 123456u);

  // A later statement of the same amount moves the day on; a statement between the two is then older.
  const std::string may = Replaced(Original(), "<DTASOF>20230401", "<DTASOF>20230501");
  ASSERT_EQ(ImportStatement(may), VLResult::Ok);
  EXPECT_EQ(outcome.balances, 1);
  EXPECT_EQ(std::make_tuple(cashOf().amount, cashOf().balanceDate),
            std::make_tuple(123456u, Day(2023, 5, 1)));
  const std::string april =
      Replaced(Replaced(Original(), "<DTASOF>20230401", "<DTASOF>20230420"), "1234.56", "7.00");
  ASSERT_EQ(ImportStatement(april), VLResult::Ok);
  EXPECT_EQ(outcome.outdated, 1);
  EXPECT_EQ(cashOf().amount, 123456u);

  // The day survives a reload and is undone with the change that set it.
  Reopen();
  EXPECT_EQ(cashOf().balanceDate, Day(2023, 5, 1));
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(cashOf().balanceDate, Day(2023, 4, 1));
}

TEST_P(OfxImport, WithoutCashTheBalanceIsLeftOut) {
  ASSERT_EQ(ImportStatement(Original(), false), VLResult::Ok);
  EXPECT_EQ(reading.leftOut, 1);
  EXPECT_EQ(outcome.added, 3);
}

// Fund units in fractions, a price beyond six decimals and costs beyond the cent: the units are kept as
// the statement has them, the price and the commission rounded once (half away from zero) and counted.
TEST_P(OfxImport, FractionsOfAUnitAreKeptAndFinerPricesRounded) {
  std::string text = Replaced(Original(), "<UNITS>12.000", "<UNITS>12.6531");
  text = Replaced(text, "<UNITPRICE>10.50", "<UNITPRICE>10.5012345");
  ASSERT_EQ(ImportStatement(text), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  ASSERT_EQ(reading.roundings.size(), 1u);
  EXPECT_EQ(reading.roundings[0].field, ImportField::Price);
  EXPECT_EQ(reading.roundings[0].from, "10.5012345");
  EXPECT_EQ(reading.roundings[0].to, "10.501235");
  const auto positions = Positions(PortfolioId("Broker"));
  const auto& fund = static_cast<const VLStockHoldingItem&>(*positions[1]);
  EXPECT_EQ(fund.name, "FUNDX");
  EXPECT_EQ(fund.qty, SharesOf("12.6531"));
  EXPECT_EQ(fund.buyPricePerShare, PriceOf("10.501235"));
  // 12.6531 x 10.501235 = 132.87317... paid, to the cent.
  EXPECT_EQ(fund.GetTotalPaid().ToCents(), 13287);
}

TEST_P(OfxImport, EachProblemRefusesTheStatementWithItsLine) {
  struct Case {
    std::string from, to;
    // The problem names the line of the last `opening` before `anchor` (after the change).
    std::string anchor, opening;
    std::string problem;
  };
  const Case cases[] = {
      {"<UNITS>-120", "<UNITS>-151", "<FITID>S-1", "<SELLSTOCK>",
       "the sale of 151 shares of XYZ on 2023-03-10 is more than the 150 shares the portfolio holds then"},
      {"<UNIQUEID>987654321<", "<UNIQUEID>555555555<", "<FITID>B-2", "<BUYMF>",
       "the security '555555555 (CUSIP)' is not in the statement's security list"},
      {"<UNITS>12.000", "<UNITS>12.123456789", "<FITID>B-2", "<BUYMF>",
       "the quantity '12.123456789' has more decimals than Vellumar keeps (at most 8)"},
      {"<UNITPRICE>26.00", "<UNITPRICE>26.0x", "<FITID>B-3", "<BUYSTOCK>",
       "the price '26.0x' is not an amount"},
      {"<DTTRADE>20230201", "<DTTRADE>20230231", "<FITID>B-3", "<BUYSTOCK>",
       "the date '20230231' is not a date of the form YYYYMMDD"},
      {"<DTTRADE>20230201", "<DTTRADE>20991231", "<FITID>B-3", "<BUYSTOCK>",
       "the date '20991231' is later than today"},
      {"<UNITPRICE>30.00", "<UNITPRICE>0", "<FITID>S-1", "<SELLSTOCK>", "the sale price '0' is not above 0"},
      {"<AVAILCASH>1234.56", "<AVAILCASH>12x4", "<AVAILCASH>", "<AVAILCASH>",
       "the amount '12x4' is not an amount"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    const std::string text = Replaced(Original(), c.from, c.to);
    const size_t opening = text.rfind(c.opening, text.find(c.anchor));
    ASSERT_NE(opening, std::string::npos);
    const std::string before = ReadText(path);
    const std::optional<VLResult> code = ImportStatement(text);
    const ImportProblems& found = code == VLResult::ImportRefused ? problems : reading.problems;
    EXPECT_EQ(code, c.problem.find("is more than") != std::string::npos
                        ? std::optional(VLResult::ImportRefused)
                        : std::nullopt);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0].line, LineOf(text, c.opening, opening)) << found[0].Describe();
    EXPECT_NE(found[0].text.find(c.problem), std::string::npos) << found[0].Describe();
    EXPECT_EQ(ReadText(path), before);  // the database file is untouched
  }
  VLPortfolioItemList portfolios;
  ASSERT_EQ(db->GetPortfolios(conn, portfolios), VLResult::Ok);
  EXPECT_EQ(portfolios.GetCount(), 0);  // not even the target portfolio was made
}

TEST_P(OfxImport, ATradeWithoutADateOrWithNegativeUnitsIsRefused) {
  const struct {
    std::string from, to, problem;
  } cases[] = {
      {"<UNITS>50", "<UNITS>-50", "a purchase of negative units ('-50')"},
      {"<DTTRADE>20230201", "<DTTRADE>2023-02-01", "the trade date '2023-02-01' is not an OFX date"},
      {"<DTTRADE>20230201", "<DTTRADE>20230201xx", "the trade date '20230201xx' is not an OFX date"},
      {"<DTTRADE>20230201", "<DTTRADE>202302011", "the trade date '202302011' is not an OFX date"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    EXPECT_EQ(ImportStatement(Replaced(Original(), c.from, c.to)), std::nullopt);
    const std::vector<std::string> found = Described(reading.problems);
    ASSERT_EQ(found.size(), 1u) << testing::PrintToString(found);
    EXPECT_NE(found[0].find(c.problem), std::string::npos) << found[0];
  }
}

TEST_P(OfxImport, TradesOfOneDayFollowTheirTimesNotTheirPlaceInTheFile) {
  // The sale comes first in the file and takes 140 shares: the 100 of January and 40 of the purchase made
  // earlier on its own day.
  std::string text = Replaced(Original(), "<DTTRADE>20230310", "<DTTRADE>20230201150000[-5:EST]");
  text = Replaced(text, "<UNITS>-120", "<UNITS>-140");
  text = Replaced(text, "<DTTRADE>20230201<", "<DTTRADE>20230201100000[-5:EST]<");
  ASSERT_EQ(ImportStatement(text), VLResult::Ok) << testing::PrintToString(Described(problems));
  EXPECT_EQ(outcome.sold, 1);
}

TEST_P(OfxImport, ALaterBalanceOfNothingOrADebtTakesTheEarlierCashBack) {
  ASSERT_EQ(ImportStatement(Original()), VLResult::Ok);
  const auto amounts = [this] {
    std::map<std::string, uint32_t> byName;
    for (const auto& position : Positions(PortfolioId("Broker"))) {
      if (const auto* money = dynamic_cast<const VLAmountHoldingItem*>(position.get()))
        byName[money->name] = money->GetAmount();
    }
    return byName;
  };
  const std::string cash = "Cash, account 12345 at broker.example";
  const std::string margin = "Margin, account 12345 at broker.example";
  EXPECT_EQ(amounts(), (std::map<std::string, uint32_t>{{cash, 123456u}}));

  ASSERT_EQ(ImportStatement(Replaced(Original(), "<AVAILCASH>1234.56", "<AVAILCASH>-300.00")), VLResult::Ok);
  EXPECT_EQ(amounts(), (std::map<std::string, uint32_t>{{cash, 0u}, {margin, 30000u}}));

  ASSERT_EQ(ImportStatement(Replaced(Original(), "<AVAILCASH>1234.56", "<AVAILCASH>0.00")), VLResult::Ok);
  EXPECT_EQ(amounts(), (std::map<std::string, uint32_t>{{cash, 0u}, {margin, 0u}}));
  EXPECT_EQ(outcome.balances, 1);  // the debt; the cash was 0 already

  ASSERT_EQ(ImportStatement(Original()), VLResult::Ok);
  EXPECT_EQ(amounts(), (std::map<std::string, uint32_t>{{cash, 123456u}, {margin, 0u}}));
}

TEST_P(OfxImport, ANulOrElementsLeftOpenByTheThousandAreRefusedBeforeParsing) {
  std::string deep;
  for (int i = 0; i < 8000; ++i) deep += "<A>";
  const struct {
    std::string text, problem;
  } cases[] = {
      {Replaced(Original(), "First lot", std::string("First\0lot", 9)),
       "the statement holds a NUL character"},
      {Replaced(Original(), "First lot", "First lot" + deep), "elements open at once"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.problem);
    EXPECT_EQ(ImportStatement(c.text), std::nullopt);
    ASSERT_EQ(reading.problems.size(), 1u);
    EXPECT_NE(reading.problems[0].text.find(c.problem), std::string::npos) << reading.problems[0].text;
    EXPECT_EQ(reading.problems[0].line, LineOf(c.text, "<MEMO>First"));
  }
}

// Statements break the rules of their document type and still say all they mean: once every transaction
// reads, libofx's complaint is a warning, on the line its parser names.
TEST_P(OfxImport, ComplaintsAboutTheDocumentTypeAreWarningsWhenEveryTransactionReads) {
  const std::string text = Replaced(Original(), "<UNITS>50", "<BOGUS>7</BOGUS>\n<UNITS>50");
  ASSERT_EQ(ImportStatement(text), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(outcome.added, 4);
  ASSERT_EQ(reading.warnings.size(), 1u);
  EXPECT_EQ(reading.warnings[0].Describe(),
            "line " + std::to_string(LineOf(text, "<BOGUS>")) +
                ": the statement breaks the OFX rules: element \"BOGUS\" undefined");
}

// A sale of shares bought before the statement: its holdings list, less its trades, says they were held.
TEST_P(OfxImport, TheHoldingsListGivesWhatWasHeldBeforeTheFirstTrade) {
  const std::string text = SellingMoreThanBought();
  EXPECT_EQ(ImportStatement(text), VLResult::ImportRefused);  // without the option: more sold than bought
  // The refusal says what would take the shares from the holdings list, in each one's words.
  ASSERT_FALSE(problems.empty());
  EXPECT_NE(problems[0].Describe().find(": --opening-positions takes the shares"), std::string::npos);
  EXPECT_NE(problems[0].DescribeInWindow().find("Positions held before the statement"), std::string::npos);
  ASSERT_EQ(ImportStatement(text, true, true), VLResult::Ok) << testing::PrintToString(Described(problems));
  EXPECT_EQ(reading.openingPositions, 1);
  // 5 held at the end, 150 bought and 160 sold in the statement: 15 were held at its start. The fund bought
  // in it and not listed was sold elsewhere or before: nothing is made of it.
  const auto positions = Positions(PortfolioId("Broker"));
  const auto& opening = static_cast<const VLStockHoldingItem&>(*positions[0]);
  EXPECT_EQ(std::make_tuple(opening.name, opening.qty, opening.buyPricePerShare, opening.purchaseDate),
            std::make_tuple(std::string("XYZ"), Shares(15), Cents(2400), Day(2023, 1, 1)));
  EXPECT_EQ(opening.comment, "Held at the start of the statement (from its holdings list)");
  EXPECT_EQ(opening.salePricePerShare, Cents(3000));  // the oldest shares are sold first

  // Imported again, nothing is added: the shares held before are there already.
  ASSERT_EQ(ImportStatement(text, true, true), VLResult::Ok) << testing::PrintToString(Described(problems));
  EXPECT_EQ(outcome.added, 0);
}

// What the portfolio holds of a symbol before the statement already is not added again.
TEST_P(OfxImport, SharesThePortfolioHoldsAlreadyAreNotAddedAsHeldBefore) {
  const std::string text = SellingMoreThanBought();
  ImportOptions csv;
  csv.targetPortfolio = "Broker";
  ASSERT_EQ(Import("Symbol,Quantity,Price,Date\nXYZ,6,20.00,2022-12-01\n", csv), VLResult::Ok);
  ASSERT_EQ(ImportStatement(text, true, true), VLResult::Ok) << testing::PrintToString(Described(problems));
  const auto positions = Positions(PortfolioId("Broker"));
  ASSERT_GE(positions.size(), 2u);
  // 15 were held before the statement, 6 of them already in the portfolio: 9 are added.
  const auto& opening = static_cast<const VLStockHoldingItem&>(*positions[1]);
  EXPECT_EQ(std::make_tuple(opening.name, opening.qty, opening.purchaseDate),
            std::make_tuple(std::string("XYZ"), Shares(9), Day(2023, 1, 1)));
}

// A trade in another currency than the statement's (<CURRENCY>) is a position in that currency, with the
// broker's rate kept against the statement's currency: 1 / CURRATE, to ten significant digits. An
// <ORIGCURRENCY> names what amounts already in the statement's currency were, and changes nothing.
TEST_P(OfxImport, ATradeInAnotherCurrencyKeepsItsCurrencyAndTheBrokersRate) {
  const bool xml = std::string(GetParam()).find("xml") != std::string::npos;
  const auto aggregate = [xml](const char* name) {
    return xml ? std::string("<") + name + "><CURRATE>1.0851</CURRATE><CURSYM>EUR</CURSYM></" + name + ">"
               : std::string("\n<") + name + ">\n<CURRATE>1.0851\n<CURSYM>EUR\n</" + name + ">";
  };
  const std::string total = xml ? "<TOTAL>-126.00</TOTAL>" : "<TOTAL>-126.00";
  ASSERT_EQ(ImportStatement(Replaced(Original(), total, total + aggregate("CURRENCY"))), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  const auto positions = Positions(PortfolioId("Broker"));
  const auto fund =
      std::find_if(positions.begin(), positions.end(), [](const auto& p) { return p->name == "FUNDX"; });
  ASSERT_NE(fund, positions.end());
  const auto& bought = static_cast<const VLStockHoldingItem&>(**fund);
  EXPECT_EQ(bought.currency, "EUR");
  EXPECT_EQ(bought.rateCurrency, "USD");
  EXPECT_EQ(FxRateText(bought.buyRate), "0.9215740485");
  EXPECT_FALSE(bought.saleRate.IsValid());

  path = folder.File("Other.db");
  Reopen(true);
  ASSERT_EQ(ImportStatement(Replaced(Original(), total, total + aggregate("ORIGCURRENCY"))), VLResult::Ok);
  for (const auto& p : Positions(PortfolioId("Broker"))) {
    if (p->GetKind() != kHoldingStock) continue;
    EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*p).currency, "") << p->name;
    EXPECT_FALSE(static_cast<const VLStockHoldingItem&>(*p).HasStoredRates()) << p->name;
  }
}

INSTANTIATE_TEST_SUITE_P(BothSyntaxes, OfxImport,
                         ::testing::Values("statement_sgml.ofx", "statement_xml.ofx"), [](const auto& info) {
                           return std::string(info.param).find("xml") != std::string::npos ? "Xml" : "Sgml";
                         });

}  // namespace
