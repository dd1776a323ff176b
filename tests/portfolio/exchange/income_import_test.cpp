// Income in imported files: a statement's INCOME, REINVEST and RETOFCAP, a broker's list's payment kinds
// (tax rows taken as the withholding of their dividend), each recorded once however often the file comes.
#include <gtest/gtest.h>

#include "tests/portfolio/exchange/exchange_fixture.h"
#include "tests/support/exact_values.h"

namespace {

std::string Block(const char* aggregate, const char* fitId, const char* day, const std::string& elements) {
  return std::string("<") + aggregate + "><INVTRAN><FITID>" + fitId + "</FITID><DTTRADE>" + day +
         "</DTTRADE></INVTRAN><SECID><UNIQUEID>191216100</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></"
         "SECID>" +
         elements + "<SUBACCTSEC>CASH</SUBACCTSEC><SUBACCTFUND>CASH</SUBACCTFUND></" + aggregate + ">\n";
}

std::string Statement(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" "
         "NEWFILEUID=\"NONE\"?>\n"
         "<OFX><SIGNONMSGSRSV1><SONRS><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY></STATUS>"
         "<DTSERVER>20251001</DTSERVER><LANGUAGE>ENG</LANGUAGE></SONRS></SIGNONMSGSRSV1>\n"
         "<INVSTMTMSGSRSV1><INVSTMTTRNRS><TRNUID>1</TRNUID><STATUS><CODE>0</CODE><SEVERITY>INFO</SEVERITY>"
         "</STATUS><INVSTMTRS><DTASOF>20251001</DTASOF><CURDEF>USD</CURDEF><INVACCTFROM><BROKERID>b.example"
         "</BROKERID><ACCTID>1</ACCTID></INVACCTFROM><INVTRANLIST><DTSTART>20250101</DTSTART>"
         "<DTEND>20251001</DTEND>\n" +
         body +
         "</INVTRANLIST></INVSTMTRS></INVSTMTTRNRS></INVSTMTMSGSRSV1>\n"
         "<SECLISTMSGSRSV1><SECLIST><STOCKINFO><SECINFO><SECID><UNIQUEID>191216100</UNIQUEID>"
         "<UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID><SECNAME>Coca-Cola</SECNAME><TICKER>KO</TICKER>"
         "</SECINFO></STOCKINFO></SECLIST></SECLISTMSGSRSV1></OFX>\n";
}

const std::string kBuy =
    "<BUYSTOCK><INVBUY><INVTRAN><FITID>B1</FITID><DTTRADE>20250102</DTTRADE></INVTRAN><SECID><UNIQUEID>"
    "191216100</UNIQUEID><UNIQUEIDTYPE>CUSIP</UNIQUEIDTYPE></SECID><UNITS>100</UNITS><UNITPRICE>60.00"
    "</UNITPRICE><COMMISSION>5.00</COMMISSION><TOTAL>-6005.00</TOTAL><SUBACCTSEC>CASH</SUBACCTSEC>"
    "<SUBACCTFUND>CASH</SUBACCTFUND></INVBUY><BUYTYPE>BUY</BUYTYPE></BUYSTOCK>\n";

class IncomeImport : public ExchangeTest {
 protected:
  // The payments are of 2025: today is 2026-01-01.
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
                         "amount=Amount,withholding=Tax",
                         options.mapping, error))
        << error;
    EXPECT_TRUE(options.mapping.kinds.Add("dividend=Dividend|Cash dividend", error));
    EXPECT_TRUE(options.mapping.kinds.Add("tax=Withholding tax", error));
    EXPECT_TRUE(options.mapping.kinds.Add("interest=Interest", error));
    EXPECT_TRUE(options.mapping.kinds.Add("buy=Market buy", error));
    return Import(text, options);
  }
  std::vector<VLIncomeItem> Income() {
    std::vector<VLIncomeItem> list;
    EXPECT_EQ(db->GetIncome(conn, 0, list), VLResult::Ok);
    // Oldest first, as they were added.
    std::sort(list.begin(), list.end(),
              [](const VLIncomeItem& a, const VLIncomeItem& b) { return a.id < b.id; });
    return list;
  }
  static std::string Row(const VLIncomeItem& i) {
    return i.name + " " + IncomeKindName(i.kind) + " " + StoredDayText(i.payDate) + " " +
           std::to_string(i.gross) + "/" + std::to_string(i.withholding) + "/" + std::to_string(i.fees);
  }
};

}  // namespace

TEST_F(IncomeImport, EveryIncomeFormOfAStatementIsRecordedOnce) {
  const std::string body =
      kBuy +
      Block("INCOME", "D1", "20250314",
            "<INCOMETYPE>DIV</INCOMETYPE><TOTAL>50.00</TOTAL><WITHHOLDING>5.00</WITHHOLDING>"
            "<TAXES>2.50</TAXES><DTSETTLE>20250401</DTSETTLE>") +
      Block("INCOME", "C1", "20250601", "<INCOMETYPE>CGLONG</INCOMETYPE><TOTAL>12.00</TOTAL>") +
      Block("INCOME", "C2", "20250602", "<INCOMETYPE>CGSHORT</INCOMETYPE><TOTAL>3.00</TOTAL>") +
      Block("INCOME", "I1", "20250603", "<INCOMETYPE>INTEREST</INCOMETYPE><TOTAL>1.10</TOTAL>") +
      Block("INCOME", "M1", "20250604", "<INCOMETYPE>MISC</INCOMETYPE><TOTAL>0.90</TOTAL>") +
      Block("RETOFCAP", "R1", "20250605", "<TOTAL>20.00</TOTAL>") +
      Block("REINVEST", "V1", "20250701",
            "<INCOMETYPE>DIV</INCOMETYPE><TOTAL>-42.50</TOTAL><UNITS>0.7083</UNITS><UNITPRICE>60.00"
            "</UNITPRICE><WITHHOLDING>7.50</WITHHOLDING>");
  ASSERT_EQ(ImportStatement(Statement(body)), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems)) << testing::PrintToString(Described(problems));
  EXPECT_EQ(outcome.income, 7);
  const std::vector<VLIncomeItem> income = Income();
  std::vector<std::string> rows;
  for (const VLIncomeItem& i : income) rows.push_back(Row(i));
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "KO dividend 2025-04-01 5000/750/0",  // the settle date; WITHHOLDING and TAXES
                      "KO capital-gain 2025-06-01 1200/0/0", "KO capital-gain 2025-06-02 300/0/0",
                      "KO interest 2025-06-03 110/0/0", "KO other 2025-06-04 90/0/0",
                      "KO return-of-capital 2025-06-05 2000/0/0",
                      "KO dividend 2025-07-01 5000/750/0",  // 42.50 reinvested after 7.50 of tax
                  }));
  // The reinvested payment bought 0.7083 shares, the position it names.
  ASSERT_NE(income.back().reinvestPositionId, 0u);
  std::unique_ptr<VLHoldingItem> bought;
  ASSERT_EQ(db->GetPosition(conn, income.back().reinvestPositionId, bought), VLResult::Ok);
  const auto& stock = static_cast<const VLStockHoldingItem&>(*bought);
  EXPECT_EQ(std::make_tuple(stock.name, stock.qty, stock.buyPricePerShare, stock.purchaseDate),
            std::make_tuple(std::string("KO"), SharesOf("0.7083"), Cents(6000), Day(2025, 7, 1)));
  EXPECT_EQ(Positions(PortfolioId("Broker")).size(), 2u);

  // The same statement again changes nothing: the payments and the purchases are there.
  const uint64_t before = db->GetFingerprint();
  ASSERT_EQ(ImportStatement(Statement(body)), VLResult::Ok);
  EXPECT_EQ(outcome.income, 0);
  EXPECT_GE(outcome.duplicates, 7);
  EXPECT_EQ(db->GetFingerprint(), before);
  // One undo takes the whole first import.
  VLJournalStep step;
  ASSERT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_TRUE(Income().empty());
}

TEST_F(IncomeImport, AListsPaymentsTakeTheirTaxRowsAsWithholding) {
  const std::string list =
      "Action,Date,Symbol,Quantity,Price,Amount,Tax\n"
      "Market buy,2025-01-02,KO,100,60.00,,\n"
      "Cash dividend,2025-04-01,KO,,,50.00,\n"
      "Withholding tax,2025-04-01,KO,,,-7.50,\n"
      "Dividend,2025-07-01,KO,100,,51.00,7.65\n"
      "Withholding tax,2025-09-01,PEP,,,-3.00,\n"
      "Interest,2025-09-30,,,,0.42,\n";
  ASSERT_EQ(ImportList(list), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems)) << testing::PrintToString(Described(problems));
  std::vector<std::string> rows;
  for (const VLIncomeItem& i : Income()) rows.push_back(Row(i));
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "KO dividend 2025-04-01 5000/750/0",  // the tax row of its day is its withholding
                      "KO dividend 2025-07-01 5100/765/0",
                      "PEP other 2025-09-01 -300/0/0",  // tax without its dividend: taken from income
                  }));
  // Interest on the account's cash names no holding: listed as skipped.
  ASSERT_EQ(reading.skipped.size(), 1u);
  EXPECT_EQ(reading.skipped[0].line, 7);
  // Imported twice: nothing new.
  const uint64_t before = db->GetFingerprint();
  ASSERT_EQ(ImportList(list), VLResult::Ok);
  EXPECT_EQ(outcome.income, 0);
  EXPECT_EQ(db->GetFingerprint(), before);
  // A payment more than its tax allows is refused with its line.
  EXPECT_FALSE(ImportList("Action,Date,Symbol,Quantity,Price,Amount,Tax\n"
                          "Dividend,2025-10-01,KO,,,5.00,6.00\n")
                   .has_value());
  ASSERT_FALSE(reading.problems.empty());
  EXPECT_EQ(reading.problems[0].line, 2) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(db->GetFingerprint(), before);
}

class IncomeRoundTrip : public IncomeImport, public ::testing::WithParamInterface<bool> {};

TEST_P(IncomeRoundTrip, AVellumarFileCarriesTheIncomeOfItsPortfolios) {
  const bool xml = GetParam();
  const uint32_t p = AddPortfolio("Dividends");
  AddPortfolio("Other");
  const std::string plain = Export(xml);  // nothing new to say: the older form
  EXPECT_NE(plain.find(xml ? "<VellumarPortfolios version=\"1\">" : ",Tag\r\n"), std::string::npos) << plain;
  VLIncomeItem paid;
  paid.portfolioId = p;
  paid.name = "KO";
  paid.payDate = Day(2025, 4, 1);
  paid.exDate = Day(2025, 3, 14);
  paid.shares = SharesOf("100.5");
  paid.gross = 5025;
  paid.withholding = 754;
  paid.fees = 10;
  paid.currency = "USD";
  paid.comment = "Q1 <&>";
  uint32_t id = 0;
  ASSERT_EQ(db->AddIncome(conn, paid, id), VLResult::Ok);
  VLIncomeItem reversal;
  (void)reversal.CopyFrom(&paid);
  reversal.kind = IncomeKind::ReturnOfCapital;
  reversal.exDate = 0;
  reversal.shares = Quantity();
  reversal.gross = -300;
  reversal.withholding = reversal.fees = 0;
  reversal.currency.clear();
  reversal.comment.clear();
  ASSERT_EQ(db->AddIncome(conn, reversal, id), VLResult::Ok);
  const std::vector<VLIncomeItem> before = Income();
  const std::string file = Export(xml);
  if (xml) {
    EXPECT_NE(file.find("version=\"4\""), std::string::npos);
    EXPECT_NE(
        file.find("<Income portfolio=\"Dividends\" symbol=\"KO\" kind=\"dividend\" payDate=\"2025-04-01\" "
                  "exDate=\"2025-03-14\" shares=\"100.5\" gross=\"50.25\" withholding=\"7.54\" "
                  "fees=\"0.10\" currency=\"USD\" comment=\"Q1 &lt;&amp;&gt;\"/>"),
        std::string::npos)
        << file;
  } else {
    EXPECT_NE(file.find(",Tag,Currency,Fees,Withholding\r\n"), std::string::npos) << file;
    EXPECT_NE(
        file.find(
            "Dividends,,dividend,KO,100.5,,2025-04-01,,,2025-03-14,,,,,,,,50.25,Q1 <&>,,USD,0.10,7.54\r\n"),
        std::string::npos)
        << file;
  }
  // Into an empty database: the same payments, field by field.
  path = folder.File("Empty.db");
  Reopen(true);
  const char* name = xml ? "all.xml" : "all.csv";
  ASSERT_EQ(Import(file, {}, name), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(outcome.income, 2);
  const std::vector<VLIncomeItem> after = Income();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(Row(after[i]), Row(before[i]));
    EXPECT_EQ(std::make_tuple(after[i].exDate, after[i].shares, after[i].currency, after[i].comment),
              std::make_tuple(before[i].exDate, before[i].shares, before[i].currency, before[i].comment));
  }
  EXPECT_EQ(Export(xml), file);
  // Again: each is there already.
  ASSERT_EQ(Import(file, {}, name), VLResult::Ok);
  EXPECT_EQ(outcome.income, 0);
  if (!xml) return;
  // A kind no payment has is a problem of its line.
  EXPECT_FALSE(
      Import("<?xml version=\"1.0\"?>\n<VellumarPortfolios version=\"4\">\n<Income portfolio=\"P\" "
             "symbol=\"KO\" kind=\"bonus\" payDate=\"2025-04-01\" gross=\"1\"/>\n</VellumarPortfolios>\n",
             {}, "bad.xml")
          .has_value());
  ASSERT_EQ(reading.problems.size(), 1u);
  EXPECT_EQ(reading.problems[0].line, 3);
}

INSTANTIATE_TEST_SUITE_P(BothForms, IncomeRoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Xml" : "Csv"; });
