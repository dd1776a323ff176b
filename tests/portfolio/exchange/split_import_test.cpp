// Splits reported by a statement or a broker's list: recorded and applied once, the file's trades before a
// split (reported, or recorded already) put into today's shares, and the file imported twice changing
// nothing the second time.
#include <gtest/gtest.h>

#include "portfolio/database/vl_database_reads.h"
#include "portfolio/exchange/split_rows.h"
#include "tests/portfolio/exchange/exchange_fixture.h"
#include "tests/support/exact_values.h"

namespace {

std::string Trade(const char* aggregate, const char* fitId, const char* day, const char* units,
                  const char* price, const char* commission) {
  const bool buy = aggregate[0] == 'B';
  return std::string("<") + aggregate + "><" + (buy ? "INVBUY" : "INVSELL") + "><INVTRAN><FITID>" + fitId +
         "</FITID><DTTRADE>" + day + "</DTTRADE></INVTRAN><SECID><UNIQUEID>594918104</UNIQUEID>" +
         "<UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID><UNITS>" + units + "</UNITS><UNITPRICE>" + price +
         "</UNITPRICE><COMMISSION>" + commission + "</COMMISSION><TOTAL>0</TOTAL>" +
         "<SUBACCTSEC>CASH</SUBACCTSEC><SUBACCTFUND>CASH</SUBACCTFUND></" + (buy ? "INVBUY" : "INVSELL") +
         "><" + (buy ? "BUYTYPE>BUY</BUYTYPE" : "SELLTYPE>SELL</SELLTYPE") + "></" + aggregate + ">\n";
}

// An OFX statement of MSFT trades and splits (`body`: the transactions), in the XML syntax.
std::string Statement(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
         "NEWFILEUID=\"NONE\"?>\n"
         "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS>"
         "<DTSERVER>20241001</DTSERVER><LANGUAGE>ENG</LANGUAGE></SONRS></SIGNONMSGSRSV1>\n"
         "<INVSTMTMSGSRSV1><INVSTMTTRNRS><TRNUID>1</TRNUID><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY>"
         "</STATUS><INVSTMTRS><DTASOF>20241001</DTASOF><CURDEF>USD</CURDEF><INVACCTFROM><BROKERID>b.example"
         "</BROKERID><ACCTID>1</ACCTID></INVACCTFROM><INVTRANLIST><DTSTART>20240101</DTSTART>"
         "<DTEND>20241001</DTEND>\n" +
         body +
         "</INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1>\n"
         "<SECLISTMSGSRSV1><SECLIST><STOCKINFO><SECINFO><SECID><UNIQUEID>594918104</UNIQUEID>"
         "<UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID><SECNAME>Microsoft</SECNAME><TICKER>MSFT</TICKER>"
         "</SECINFO></STOCKINFO></SECLIST></SECLISTMSGSRSV1></OFX>\n";
}

std::string SplitBlock(const char* day, const std::string& ratioElements) {
  return std::string("<SPLIT><INVTRAN><FITID>SP-") + day + "</FITID><DTTRADE>" + day +
         "</DTTRADE></INVTRAN><SECID><UNIQUEID>594918104</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID>"
         "<SUBACCTSEC>CASH</SUBACCTSEC>" +
         ratioElements + "</SPLIT>\n";
}

class SplitImport : public ExchangeTest {
 protected:
  // The trades are of 2024 and 2025: today is 2026-01-01.
  ScopedClock later{std::make_shared<FixedClock>(1767225600)};

  std::optional<VLResult> ImportStatement(const std::string& text) {
    const std::string file = folder.File("statement.ofx");
    WriteText(file, text);
    ImportOptions options;
    options.targetPortfolio = "Broker";
    return ImportFile(file, options);
  }
  std::optional<VLResult> ImportList(const std::string& text) {
    ImportOptions options;
    options.targetPortfolio = "Broker";
    std::string error;
    EXPECT_TRUE(
        ParseMappingText("kind=Action,date=Date,symbol=Symbol,quantity=Quantity,price=Price,"
                         "commission=Fees",
                         options.mapping, error))
        << error;
    EXPECT_TRUE(options.mapping.kinds.Add("split=Stock Split|Stock split close|Stock split open", error));
    return Import(text, options);
  }
  std::vector<VLStockHoldingItem> Stocks() {
    std::vector<VLStockHoldingItem> stocks;
    for (const auto& h : Positions(PortfolioId("Broker")))
      stocks.push_back(static_cast<const VLStockHoldingItem&>(*h));
    return stocks;
  }
  std::vector<VLCorporateActionItem> Actions() {
    std::vector<VLCorporateActionItem> actions;
    EXPECT_EQ(db->GetCorporateActions(conn, actions), VLResult::Ok);
    return actions;
  }
  static int64_t Paid(const VLStockHoldingItem& s) { return s.GetTotalPaid().ToCents(); }
  static int64_t Gain(const VLStockHoldingItem& s) {
    return s.GetSaleValue().ToCents() - s.GetTotalPaid().ToCents();
  }
};

const std::string kWorkedExample =
    Trade("BUYSTOCK", "B1", "20240110", "100", "301.00", "9.95") +
    Trade("SELLSTOCK", "S1", "20240301", "-40", "320.00", "4.95") +
    SplitBlock("20240610",
               "<OLDUNITS>60</OLDUNITS><NEWUNITS>180</NEWUNITS><NUMERATOR>3</NUMERATOR>"
               "<DENOMINATOR>1</DENOMINATOR>") +
    Trade("SELLSTOCK", "S2", "20240903", "-100", "140.00", "4.95");

TEST_F(SplitImport, AStatementsSplitIsAppliedBetweenItsTradesAsTheWorkedExampleSays) {
  ASSERT_EQ(ImportStatement(Statement(kWorkedExample)), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems)) << testing::PrintToString(Described(problems));
  EXPECT_EQ(outcome.actions, 1);
  const std::vector<VLCorporateActionItem> actions = Actions();
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(std::make_tuple(actions[0].name, actions[0].newShares, actions[0].oldShares, actions[0].exDate),
            std::make_tuple(std::string("MSFT"), 3u, 1u, Day(2024, 6, 10)));
  std::vector<VLStockHoldingItem> stocks = Stocks();
  ASSERT_EQ(stocks.size(), 3u);
  // Sold before the split: in the shares of its day, at the price the statement bought them at.
  const VLStockHoldingItem& early = stocks[0];
  EXPECT_EQ(std::make_tuple(early.qty, early.buyPricePerShare, early.buyCommission, early.saleDate),
            std::make_tuple(Shares(40), Cents(30100), 398u, Day(2024, 3, 1)));
  EXPECT_EQ(Gain(early), 75107);
  // Held through it: 180 shares at 100.333333, then 100 of them sold in new shares.
  const VLStockHoldingItem& late = stocks[1];
  EXPECT_EQ(std::make_tuple(late.qty, late.buyPricePerShare, late.saleDate),
            std::make_tuple(Shares(100), PriceOf("100.333333"), Day(2024, 9, 3)));
  EXPECT_EQ(Paid(late), 1003665);
  EXPECT_EQ(Gain(late), 395840);
  const VLStockHoldingItem& rest = stocks[2];
  EXPECT_EQ(std::make_tuple(rest.qty, rest.IsSold(), Paid(rest)),
            std::make_tuple(Shares(80), false, 802932LL));

  // The same statement again: every trade is there already, and so is the split.
  const uint64_t before = db->GetFingerprint();
  ASSERT_EQ(ImportStatement(Statement(kWorkedExample)), VLResult::Ok)
      << testing::PrintToString(Described(problems));
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.sold, outcome.duplicates, outcome.actions),
            std::make_tuple(0, 0, 3, 0));
  EXPECT_EQ(db->GetFingerprint(), before);
}

TEST_F(SplitImport, TradesOfAFileBeforeASplitRecordedAlreadyAreInTodaysShares) {
  SplitRequest split;
  split.symbol = "MSFT";
  split.ratio = {3, 1};
  split.exDate = Day(2024, 6, 10);
  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, split, preview), VLResult::Ok);
  // The statement without its split: the one recorded applies to it all the same, once.
  const std::string withoutSplit = Trade("BUYSTOCK", "B1", "20240110", "100", "301.00", "9.95") +
                                   Trade("SELLSTOCK", "S1", "20240301", "-40", "320.00", "4.95") +
                                   Trade("SELLSTOCK", "S2", "20240903", "-100", "140.00", "4.95");
  ASSERT_EQ(ImportStatement(Statement(withoutSplit)), VLResult::Ok)
      << testing::PrintToString(Described(problems));
  std::vector<VLStockHoldingItem> stocks = Stocks();
  ASSERT_EQ(stocks.size(), 3u);
  EXPECT_EQ(std::make_tuple(stocks[0].qty, stocks[0].buyPricePerShare),
            std::make_tuple(Shares(40), Cents(30100)));
  EXPECT_EQ(std::make_tuple(stocks[2].qty, Paid(stocks[2])), std::make_tuple(Shares(80), 802932LL));

  // The statement with the split as recorded: a duplicate of it. With another ratio: refused whole.
  const uint64_t before = db->GetFingerprint();
  ASSERT_EQ(ImportStatement(Statement(kWorkedExample)), VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.sold, outcome.actions), std::make_tuple(0, 0, 0));
  const std::string otherRatio =
      SplitBlock("20240610", "<NUMERATOR>2</NUMERATOR><DENOMINATOR>1</DENOMINATOR>");
  EXPECT_EQ(ImportStatement(Statement(otherRatio)), VLResult::ImportRefused);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].text, "a split of MSFT on 2024-06-10 is recorded already as 3:1, not 2:1");
  EXPECT_EQ(db->GetFingerprint(), before);
}

TEST_F(SplitImport, AReportedSplitChangesTheStoresPositionsHeldThenAndIsUndoneWhole) {
  VLStockHoldingItem fields;
  fields.name = "MSFT";
  fields.qty = Shares(10);
  fields.buyPricePerShare = Cents(25000);
  fields.purchaseDate = Day(2023, 5, 2);
  const uint32_t portfolio = AddPortfolio("Broker");
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, portfolio, fields, id), VLResult::Ok);
  const uint64_t before = db->GetFingerprint();
  // NEWUNITS/OLDUNITS where the statement gives no NUMERATOR.
  ASSERT_EQ(
      ImportStatement(Statement(SplitBlock("20240610", "<OLDUNITS>10</OLDUNITS><NEWUNITS>30</NEWUNITS>"))),
      VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  std::vector<VLStockHoldingItem> stocks = Stocks();
  ASSERT_EQ(stocks.size(), 1u);
  EXPECT_EQ(std::make_tuple(stocks[0].qty, Paid(stocks[0])), std::make_tuple(Shares(30), 250000LL));
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->GetFingerprint(), before);
}

TEST_F(SplitImport, ABrokersListGivesARatioTheSharesAddedOrTheSharesBeforeAndAfter) {
  ASSERT_EQ(ImportList("Date,Action,Symbol,Quantity,Price,Fees\n"
                       "2024-06-13,Buy,AVGO,1,1680.00,\n"
                       "2024-07-15,Stock Split,AVGO,9,,\n"  // adds 9 shares to the 1 held: 10:1
                       "2024-08-01,Sell,AVGO,5,160.00,0.50\n"
                       "2025-01-02,Buy,ISOU,29.80478,2.07,\n"
                       "2025-03-24,Stock split close,ISOU,29.80478,,\n"  // the shares before, then after: 1:4
                       "2025-03-24,Stock split open,ISOU,7.451195,,\n"
                       "2024-01-05,Buy,NVDA,2,480.00,\n"
                       "2024-06-10,Stock Split,NVDA,10:1,,\n"
                       "2024-06-10,Stock Split,TNXP,1,,\n"),  // nothing of it held: listed, not guessed
            VLResult::Ok)
      << testing::PrintToString(Described(reading.problems)) << testing::PrintToString(Described(problems));
  std::vector<std::string> ratios;
  for (const VLCorporateActionItem& a : Actions())
    ratios.push_back(a.name + " " + SplitRatioText({a.newShares, a.oldShares}));
  EXPECT_EQ(ratios, (std::vector<std::string>{"NVDA 10:1", "AVGO 10:1", "ISOU 1:4"}));
  ASSERT_EQ(reading.skipped.size(), 1u);
  EXPECT_EQ(reading.skipped[0].symbol, "TNXP");
  std::map<std::string, Quantity> held;
  for (const VLStockHoldingItem& s : Stocks()) {
    if (!s.IsSold()) held[s.name] = held[s.name] + s.qty;
  }
  EXPECT_EQ(held, (std::map<std::string, Quantity>{
                      {"AVGO", Shares(5)}, {"ISOU", SharesOf("7.451195")}, {"NVDA", Shares(20)}}));
  // A list imported twice changes nothing the second time.
  const uint64_t before = db->GetFingerprint();
  ASSERT_EQ(ImportList("Date,Action,Symbol,Quantity,Price,Fees\n"
                       "2024-06-13,Buy,AVGO,1,1680.00,\n"
                       "2024-07-15,Stock Split,AVGO,9,,\n"
                       "2024-08-01,Sell,AVGO,5,160.00,0.50\n"),
            VLResult::Ok);
  EXPECT_EQ(std::make_tuple(outcome.added, outcome.sold, outcome.actions), std::make_tuple(0, 0, 0));
  EXPECT_EQ(db->GetFingerprint(), before);
}

TEST_F(SplitImport, SharesHeldBeforeTheStatementAreWorkedOutInTheSharesOfItsStart) {
  // 30 held at the end, after a 3:1 split; 3 bought before the split (9 at the end): 7 held at the start.
  std::string text =
      Statement(Trade("BUYSTOCK", "B1", "20240201", "3", "300.00", "0") +
                SplitBlock("20240610", "<NUMERATOR>3</NUMERATOR><DENOMINATOR>1</DENOMINATOR>"));
  const std::string end = "</INVTRANLIST>";
  text.insert(text.find(end) + end.size(),
              "<INVPOSLIST><POSSTOCK><INVPOS><SECID><UNIQUEID>594918104</UNIQUEID><UNIQUEIDTYPE>CUSIP"
              "</UNIQUEIDTYPE></SECID><HELDINACCT>CASH</HELDINACCT><POSTYPE>LONG</POSTYPE><UNITS>30</UNITS>"
              "<UNITPRICE>110.00</UNITPRICE><MKTVAL>3300.00</MKTVAL><DTPRICEASOF>20241001</DTPRICEASOF>"
              "</INVPOS></POSSTOCK></INVPOSLIST><INVBAL><AVAILCASH>0</AVAILCASH><MARGINBALANCE>0"
              "</MARGINBALANCE><SHORTBALANCE>0</SHORTBALANCE></INVBAL>");
  const std::string file = folder.File("holdings.ofx");
  WriteText(file, text);
  ImportOptions options;
  options.targetPortfolio = "Broker";
  options.openingPositions = true;
  ASSERT_EQ(ImportFile(file, options), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  std::map<int64_t, Quantity> byDay;
  for (const VLStockHoldingItem& s : Stocks()) byDay[s.purchaseDate] = byDay[s.purchaseDate] + s.qty;
  EXPECT_EQ(byDay,
            (std::map<int64_t, Quantity>{{Day(2024, 1, 1), Shares(21)}, {Day(2024, 2, 1), Shares(9)}}));
}

TEST(SplitRows, RatiosAreReadAsFilesWriteThem) {
  SplitRatio ratio;
  for (const char* text : {"3:1", "3/1", "3 for 1", "3-for-1", " 6 : 2 "}) {
    ASSERT_TRUE(ReadRatioText(text, ratio)) << text;
    EXPECT_EQ(SplitRatioText(ratio), "3:1") << text;
  }
  for (const char* text : {"3", "1:1", "0:1", "x:1", "3:", "3 for"})
    EXPECT_FALSE(ReadRatioText(text, ratio)) << text;
  ASSERT_TRUE(RatioOfShares(745119500, 2980478000, ratio));
  EXPECT_EQ(SplitRatioText(ratio), "1:4");
}

}  // namespace
