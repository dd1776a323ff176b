// Export then import into an empty database gives back every field of every kind of position, in both of
// Vellumar's forms.
#include <gtest/gtest.h>

#include "portfolio/database/vl_database_reads.h"
#include "portfolio/exchange/text_encoding.h"
#include "portfolio/fx/fx_rate.h"
#include "tests/portfolio/exchange/exchange_fixture.h"
#include "tests/support/exact_values.h"

namespace {

// Every field a position keeps, as one text: what must come back.
std::string Fields(const VLHoldingItem& h) {
  std::string text = std::to_string(h.GetKind()) + "|" + h.name + "|tag " + std::to_string(h.tag);
  if (h.GetKind() == kHoldingCash)
    return text + "|" + std::to_string(static_cast<const VLCashHoldingItem&>(h).amount);
  if (h.GetKind() == kHoldingMargin) {
    return text + "|" + std::to_string(static_cast<const VLMarginHoldingItem&>(h).amountOwed);
  }
  const auto& s = static_cast<const VLStockHoldingItem&>(h);
  for (int64_t v : {s.qty.Units(), s.buyPricePerShare.Units(), int64_t{s.buyCommission},
                    s.salePricePerShare.Units(), int64_t{s.saleCommission}, s.perShareBuyTarget.Units(),
                    s.perShareSellTarget.Units(), s.perShareStopLossTarget.Units(), int64_t{s.marginable},
                    int64_t{s.mgnEquity}, int64_t{s.mgnThreshold}, s.purchaseDate, s.saleDate}) {
    text += "|" + std::to_string(v);
  }
  return text + "|" + s.comment + "|" + s.currency;
}

class RoundTrip : public ExchangeTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Two portfolios with a position of every kind and every field set, texts with CSV and XML specials,
  // non-ASCII letters, tabs, line breaks, blanks at the ends and texts a spreadsheet would take for
  // formulas; and an empty portfolio.
  void Fill() {
    VLPortfolioItem special;
    special.name = "Rücklage, \"lang\"; 2";
    special.comment = "Kommentar; mit\r\nZeilenumbruch, € & <Zitat>\t";
    ASSERT_EQ(db->AddPortfolio(conn, special), VLResult::Ok);
    VLPortfolioItem empty;
    empty.name = "Leer";
    ASSERT_EQ(db->AddPortfolio(conn, empty), VLResult::Ok);
    const uint32_t plain = AddPortfolio("Plain");

    VLStockHoldingItem held;
    held.name = "MSFT";
    held.qty = Shares(1000000);
    held.buyPricePerShare = Cents(4294967295u);
    held.buyCommission = 995;
    held.perShareBuyTarget = Cents(1500);
    held.perShareSellTarget = Cents(2000);
    held.perShareStopLossTarget = Cents(1000);
    held.marginable = true;
    held.mgnEquity = 50;
    held.mgnThreshold = 500;
    held.purchaseDate = Day(1900, 1, 1);
    held.comment = "  Ölpreis, \"heiß\"\r\nzweite Zeile\t café  ";
    held.tag = 7;
    uint32_t id = 0;
    ASSERT_EQ(db->AddStockPosition(conn, special.id, held, id), VLResult::Ok);

    VLStockHoldingItem sold = held;
    sold.name = "^DJI";
    sold.qty = Shares(40);
    sold.buyPricePerShare = Cents(1);
    sold.salePricePerShare = Cents(2);
    sold.saleCommission = 1;
    sold.purchaseDate = Day(2020, 2, 29);
    sold.saleDate = Day(2023, 11, 14);
    sold.marginable = false;
    sold.mgnEquity = 40;  // accepted once the dialog's question was answered yes
    sold.comment = "";
    sold.tag = 4294967295u;
    ASSERT_EQ(db->AddStockPosition(conn, special.id, sold, id), VLResult::Ok);

    VLStockHoldingItem fraction = held;  // a savings plan: the file takes its later form for it
    fraction.name = "VWRL";
    fraction.qty = SharesOf("0.02905300");
    fraction.buyPricePerShare = PriceOf("84.2637");
    fraction.perShareSellTarget = PriceOf("99.999999");
    fraction.perShareStopLossTarget = PriceOf("0.000001");
    fraction.comment = "plan";
    fraction.currency = "GBp";  // a currency of its own: the CSV takes its Currency column for it
    ASSERT_EQ(db->AddStockPosition(conn, plain, fraction, id), VLResult::Ok);

    VLStockHoldingItem watch;
    watch.name = "brk.b";
    ASSERT_EQ(db->AddStockPosition(conn, special.id, watch, id), VLResult::Ok);
    ASSERT_EQ(db->AddCashPosition(conn, special.id, 250000, "Broker cash, € \"EUR\"", id), VLResult::Ok);
    ASSERT_EQ(db->AddMarginPosition(conn, special.id, 4294967295u, "Margin <loan> & more", id), VLResult::Ok);
    ASSERT_EQ(db->AddCashPosition(conn, plain, 1, "x", id), VLResult::Ok);
    for (const char* formula : {"=HYPERLINK(\"http://x\")", "+1", "-2", "@SUM(A1)", "'=quoted", "''", "'x"})
      ASSERT_EQ(db->AddCashPosition(conn, plain, 1, formula, id), VLResult::Ok);
  }

  std::map<std::string, std::vector<std::string>> Everything() {
    std::map<std::string, std::vector<std::string>> all;
    VLPortfolioItemList list;
    EXPECT_EQ(db->GetPortfolios(conn, list), VLResult::Ok);
    for (const auto& item : list) {
      const auto& p = static_cast<const VLPortfolioItem&>(*item);
      std::vector<std::string>& fields = all[p.name + "|" + p.comment];
      for (const auto& h : Positions(p.id)) fields.push_back(Fields(*h));
    }
    return all;
  }
};

TEST_P(RoundTrip, ExportThenImportIntoAnEmptyDatabaseGivesBackEveryField) {
  const bool xml = GetParam();
  Fill();
  const auto before = Everything();
  const std::string exported = Export(xml);

  path = folder.File("Empty.db");
  Reopen(true);
  ASSERT_EQ(Import(exported, {}, xml ? "all.xml" : "all.csv"), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(reading.format, xml ? ExchangeFormat::VellumarXml : ExchangeFormat::VellumarCsv);
  EXPECT_EQ(outcome.added, 14);
  EXPECT_EQ(outcome.createdPortfolios.size(), 3u);
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(Export(xml), exported);
}

// A position's own currency goes out and comes back in either form; a file without one is written in the
// older form, and a file of the older form (no Currency column, no attribute) reads as the exchanges'.
TEST_P(RoundTrip, AnOwnCurrencyComesBackAndOnlyFilesThatNeedItCarryIt) {
  const bool xml = GetParam();
  const uint32_t p = AddPortfolio("P");
  AddStock(p, "VOD.L");
  const std::string without = Export(xml);
  EXPECT_EQ(without.find("Currency"), std::string::npos);
  EXPECT_EQ(without.find("currency"), std::string::npos);
  if (!xml) {
    EXPECT_EQ(without.substr(0, without.find('\r')).back(), 'g') << "the header ends with Tag";
  }

  VLStockHoldingItem dollars;
  dollars.name = "BP.L";
  dollars.currency = "USD";
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, dollars, id), VLResult::Ok);
  const std::string with = Export(xml);
  EXPECT_NE(with.find(xml ? "currency=\"USD\"" : ",Tag,Currency\r\n"), std::string::npos) << with;

  path = folder.File("Empty.db");
  Reopen(true);
  ASSERT_EQ(Import(with, {}, xml ? "all.xml" : "all.csv"), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  const auto positions = Positions(PortfolioId("P"));
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*positions[0]).currency, "");
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*positions[1]).currency, "USD");
  EXPECT_EQ(reading.preview.fields.back(), ImportField::Currency);
  EXPECT_EQ(Export(xml), with);
}

// Vellumar XML carries a portfolio's base currency and the rates a broker charged; a portfolio the import
// creates takes the base, and a rate that is none refuses the file by its line.
TEST_F(ExchangeTest, XmlCarriesTheBaseCurrencyAndTheBrokersRates) {
  VLPortfolioItem pension;
  pension.name = "Pension";
  pension.baseCurrency = "EUR";
  ASSERT_EQ(db->AddPortfolio(conn, pension), VLResult::Ok);
  VLStockHoldingItem hsba;
  hsba.name = "HSBA.L";
  hsba.qty = Shares(100);
  hsba.buyPricePerShare = Cents(100000);
  hsba.salePricePerShare = Cents(120000);
  hsba.rateCurrency = "EUR";
  ASSERT_TRUE(ParseFxRate("0.8650", hsba.buyRate));
  ASSERT_TRUE(ParseFxRate("0.8402", hsba.saleRate));
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, pension.id, hsba, id), VLResult::Ok);
  const std::string exported = Export(true);
  EXPECT_NE(exported.find("baseCurrency=\"EUR\""), std::string::npos) << exported;
  EXPECT_NE(exported.find("rateCurrency=\"EUR\" buyRate=\"0.865\" saleRate=\"0.8402\""), std::string::npos)
      << exported;

  path = folder.File("Empty.db");
  Reopen(true);
  ASSERT_EQ(Import(exported, {}, "all.xml"), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  VLPortfolioItem created;
  ASSERT_EQ(db->GetPortfolio(conn, PortfolioId("Pension"), created), VLResult::Ok);
  EXPECT_EQ(created.baseCurrency, "EUR");
  const auto positions = Positions(created.id);
  ASSERT_EQ(positions.size(), 1u);
  const auto& back = static_cast<const VLStockHoldingItem&>(*positions[0]);
  EXPECT_EQ(back.rateCurrency, "EUR");
  EXPECT_EQ(FxRateText(back.buyRate), "0.865");
  EXPECT_EQ(FxRateText(back.saleRate), "0.8402");
  EXPECT_EQ(Export(true), exported);

  std::string broken = exported;
  broken.replace(broken.find("0.8402"), 6, "-1");
  path = folder.File("Other.db");
  Reopen(true);
  EXPECT_EQ(Import(broken, {}, "all.xml"), std::nullopt);
  ASSERT_FALSE(reading.problems.empty());
  EXPECT_NE(reading.problems[0].Describe().find("saleRate"), std::string::npos)
      << reading.problems[0].Describe();
}

INSTANTIATE_TEST_SUITE_P(BothForms, RoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Xml" : "Csv"; });

TEST_F(ExchangeTest, ExportLeavesOutWhatIsNotChosen) {
  const uint32_t a = AddPortfolio("A");
  const uint32_t b = AddPortfolio("B");
  AddStock(a, "IBM");
  AddStock(a, "^GSPC");
  uint32_t id = 0;
  ASSERT_EQ(db->AddCashPosition(conn, a, 100, "cash", id), VLResult::Ok);
  ASSERT_EQ(db->AddMarginPosition(conn, a, 100, "debt", id), VLResult::Ok);
  AddStock(b, "AAPL");
  ExportChoice choice;
  choice.portfolioIds = {a};
  choice.cash = false;
  choice.indexes = false;
  const std::string csv = Export(false, choice);
  EXPECT_NE(csv.find("IBM"), std::string::npos);
  EXPECT_NE(csv.find("debt"), std::string::npos);
  for (const char* absent : {"AAPL", "GSPC", "cash,"})
    EXPECT_EQ(csv.find(absent), std::string::npos) << absent;
  choice.portfolioIds = {999};
  ExportData data;
  EXPECT_EQ(ReadExport(*db, conn, choice, data), VLResult::NotFound);
}

}  // namespace

TEST_F(ExchangeTest, ACsvExportNeutralisesFormulasThatItsReaderRestores) {
  const uint32_t p = AddPortfolio("=cmd|' /C calc'!A0");
  uint32_t id = 0;
  ASSERT_EQ(db->AddCashPosition(conn, p, 100, "=HYPERLINK(\"http://evil\",\"click\")", id), VLResult::Ok);
  ASSERT_EQ(db->AddCashPosition(conn, p, 100, "'plain quote", id), VLResult::Ok);
  const std::string csv = Export(false);
  EXPECT_NE(csv.find("\"'=HYPERLINK(\"\"http://evil\"\",\"\"click\"\")\""), std::string::npos) << csv;
  EXPECT_NE(csv.find("'=cmd|' /C calc'!A0,"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",'plain quote,"), std::string::npos) << "a text a reader keeps as it is gets no mark";
  for (const std::string& line :
       {std::string("\n=HYPERLINK"), std::string(",=HYPERLINK"), std::string("\n=cmd")})
    EXPECT_EQ(csv.find(line), std::string::npos) << line;
}

TEST_F(ExchangeTest, TextsThatOlderVersionsLetInAreWrittenAsWellFormedXmlAndRefusedOnImport) {
  // Stored through the database directly, as older versions of the dialogs and the import let them in.
  const uint32_t p = AddPortfolio(std::string("P\0Q", 3));
  uint32_t id = 0;
  ASSERT_EQ(db->AddCashPosition(conn, p, 100, std::string("nul\0inside", 10), id), VLResult::Ok);
  ASSERT_EQ(db->AddCashPosition(conn, p, 100, "bell\x07 and caf\xE9", id), VLResult::Ok);
  const std::string xml = Export(true);
  EXPECT_TRUE(IsValidUtf8(xml));
  for (const char* reference : {"&#0;", "&#7;"})
    EXPECT_EQ(xml.find(reference), std::string::npos) << reference;
  EXPECT_NE(xml.find("name=\"P\xEF\xBF\xBDQ\""), std::string::npos) << "the name was cut at its NUL";
  EXPECT_NE(xml.find("nul\xEF\xBF\xBDinside"), std::string::npos);
  EXPECT_NE(xml.find("bell\xEF\xBF\xBD and caf\xEF\xBF\xBD"), std::string::npos);

  // The CSV form holds every byte, and its reader refuses what cannot be stored any more.
  const std::string csv = Export(false);
  path = folder.File("Other.db");
  Reopen(true);
  EXPECT_EQ(Import(csv), std::nullopt);
  const std::vector<std::string> found = Described(reading.problems);
  ASSERT_GE(found.size(), 2u) << testing::PrintToString(found);
  EXPECT_NE(found[0].find("line 2: the portfolio holds a control character"), std::string::npos) << found[0];
}

// Prices set by hand go out with the whole database (or with the positions of their symbols) and come back
// in both forms; a file without any is written as before.
TEST_P(RoundTrip, PricesSetByHandComeBackAndAFileWithoutThemKeepsItsEarlierForm) {
  const bool xml = GetParam();
  const uint32_t funds = AddPortfolio("Funds");
  const uint32_t other = AddPortfolio("Other");
  AddStock(funds, "FUND1");
  AddStock(other, "MSFT");
  if (xml) {
    EXPECT_NE(Export(true).find("<VellumarPortfolios version=\"1\">"), std::string::npos);
  }
  const std::string withoutPrices = Export(xml);
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2023, 11, 10), PriceOf("84.2637")), VLResult::Ok);
  ASSERT_EQ(db->SetManualPrice(conn, "FUND1", Day(2023, 11, 13), PriceOf("0.000001")), VLResult::Ok);
  ASSERT_EQ(db->SetManualPrice(conn, "GONE", Day(2020, 1, 2), PriceOf("12")), VLResult::Ok);
  const std::string exported = Export(xml);
  EXPECT_NE(exported, withoutPrices);
  if (xml) {
    EXPECT_NE(exported.find("<VellumarPortfolios version=\"2\">"), std::string::npos);
    EXPECT_NE(exported.find("<Price symbol=\"FUND1\" date=\"2023-11-10\" price=\"84.2637\"/>"),
              std::string::npos)
        << exported;
  } else {
    EXPECT_NE(exported.find(",price,FUND1,,84.2637,2023-11-10,"), std::string::npos) << exported;
  }
  // A portfolio's export takes the prices of its own symbols only.
  ExportChoice onlyOther;
  onlyOther.portfolioIds = {other};
  EXPECT_EQ(Export(xml, onlyOther).find("FUND1"), std::string::npos);

  path = folder.File("Empty.db");
  Reopen(true);
  ASSERT_EQ(Import(exported, {}, xml ? "all.xml" : "all.csv"), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(outcome.prices, 3);
  EXPECT_EQ(Export(xml), exported);
  // The same file again stores no price twice.
  ASSERT_EQ(Import(exported, {}, xml ? "all.xml" : "all.csv"), VLResult::Ok);
  EXPECT_EQ(outcome.prices, 0);
  EXPECT_EQ(db->GetManualPriceCount(), 3);
}

TEST_F(ExchangeTest, APriceSetByHandThatCannotBeOneRefusesTheFile) {
  const struct {
    const char* attributes;
    const char* problem;
  } cases[] = {
      {"symbol=\"FUND1\" date=\"2023-11-10\" price=\"0\"",
       "line 2: the price set by hand '0' is not an amount above 0 of at most 6 decimal places and at most "
       "42949672.95"},
      {"symbol=\"FUND1\" date=\"2023-11-10\" price=\"1.0000001\"",
       "line 2: the price set by hand '1.0000001' is not an amount above 0 of at most 6 decimal places and "
       "at "
       "most 42949672.95"},
      {"symbol=\"FUND1\" date=\"10.11.2023\" price=\"1\"",
       "line 2: the day '10.11.2023' of a price set by hand is not a day from 1900-01-01 to today"},
      {"symbol=\"FUND 1\" date=\"2023-11-10\" price=\"1\"",
       "line 2: the symbol 'FUND 1' of a price set by hand is missing or not a symbol"},
      {"date=\"2023-11-10\" price=\"1\"",
       "line 2: the symbol '' of a price set by hand is missing or not a symbol"},
  };
  for (const auto& c : cases) {
    const std::string file = std::string("<VellumarPortfolios version=\"2\">\n  <Price ") + c.attributes +
                             "/>\n</VellumarPortfolios>\n";
    EXPECT_FALSE(Import(file, {}, "p.xml").has_value()) << c.attributes;
    EXPECT_EQ(Described(reading.problems), std::vector<std::string>{c.problem});
  }
  EXPECT_EQ(db->GetManualPriceCount(), 0);
}

// Splits and symbol changes go out in XML with the positions they made and come back recorded, never applied
// again; one that contradicts a recorded one refuses the file.
TEST_F(ExchangeTest, CorporateActionsComeBackInXmlRecordedAndNotAppliedAgain) {
  const uint32_t p = AddPortfolio("P");
  VLStockHoldingItem ge;
  ge.name = "GE";
  ge.qty = Shares(100);
  ge.buyPricePerShare = PriceOf("10");
  ge.purchaseDate = Day(2020, 1, 2);
  uint32_t id = 0;
  ASSERT_EQ(db->AddStockPosition(conn, p, ge, id), VLResult::Ok);
  AddStock(p, "FB");
  EXPECT_EQ(Export(true).find("CorporateAction"), std::string::npos);
  SplitRequest split;
  split.symbol = "GE";
  split.ratio = {2, 1};
  split.exDate = Day(2021, 8, 2);
  split.cashInLieu = PriceOf("90.5");
  split.comment = "two & one";
  SplitPreview preview;
  ASSERT_EQ(db->RecordSplit(conn, split, preview), VLResult::Ok);
  int renamed = 0;
  ASSERT_EQ(db->RecordSymbolChange(conn, "FB", "META", Day(2022, 6, 9), "", renamed), VLResult::Ok);
  const std::string exported = Export(true);
  EXPECT_NE(exported.find("<VellumarPortfolios version=\"3\">"), std::string::npos);
  EXPECT_NE(exported.find("<CorporateAction symbol=\"GE\" date=\"2021-08-02\" action=\"split\" ratio=\"2:1\" "
                          "cashInLieu=\"90.5\" comment=\"two &amp; one\"/>"),
            std::string::npos)
      << exported;
  EXPECT_NE(exported.find("<CorporateAction symbol=\"FB\" date=\"2022-06-09\" action=\"symbol-change\" "
                          "newSymbol=\"META\" comment=\"\"/>"),
            std::string::npos)
      << exported;

  path = folder.File("Empty.db");
  Reopen(true);
  ASSERT_EQ(Import(exported, {}, "all.xml"), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(outcome.actions, 2);
  EXPECT_EQ(db->GetCorporateActionCount(), 2);
  const auto positions = Positions(PortfolioId("P"));
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*positions[0]).qty, Shares(200));  // not split again
  EXPECT_EQ(Export(true), exported);
  ASSERT_EQ(Import(exported, {}, "all.xml"), VLResult::Ok);
  EXPECT_EQ(outcome.actions, 0);  // the same again is recorded already

  const std::string other =
      "<VellumarPortfolios version=\"3\">\n"
      "  <CorporateAction symbol=\"ge\" date=\"2021-08-02\" action=\"split\" ratio=\"6:2\"/>\n"
      "  <CorporateAction symbol=\"GE\" date=\"2021-13-02\" action=\"split\" ratio=\"2:1\"/>\n"
      "  <CorporateAction symbol=\"GE\" date=\"2021-08-03\" action=\"split\" ratio=\"1\"/>\n"
      "  <CorporateAction symbol=\"GE\" date=\"2021-08-03\" action=\"merger\"/>\n"
      "</VellumarPortfolios>\n";
  EXPECT_FALSE(Import(other, {}, "a.xml").has_value());
  EXPECT_EQ(Described(reading.problems),
            (std::vector<std::string>{
                "line 3: the day '2021-13-02' of a corporate action is not a day from 1900-01-01 to today",
                "line 4: the split ratio '1' is not new for old shares in whole numbers, such as 3:1",
                "line 5: the corporate action 'merger' is neither split nor symbol-change"}));
  const std::string contradicting =
      "<VellumarPortfolios version=\"3\">\n"
      "  <CorporateAction symbol=\"ge\" date=\"2021-08-02\" action=\"split\" ratio=\"3:1\"/>\n"
      "</VellumarPortfolios>\n";
  EXPECT_EQ(Import(contradicting, {}, "a.xml"), VLResult::ImportRefused);
  EXPECT_EQ(
      Described(problems),
      std::vector<std::string>{"line 2: a split of GE on 2021-08-02 is recorded already as 2:1, not 3:1"});
  EXPECT_EQ(db->GetCorporateActionCount(), 2);
}
