// A broker's list of transactions read through a mapping: kinds by the file's values, sales by kind or by
// sign, rows of other kinds listed as skipped, amounts and dates as brokers write them.
#include <gtest/gtest.h>

#include <set>

#include "portfolio/exchange/csv_form.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/import_fields.h"
#include "portfolio/exchange/import_formats.h"
#include "portfolio/exchange/transaction_kinds.h"
#include "tests/portfolio/exchange/exchange_fixture.h"

namespace {

class TransactionCsv : public ExchangeTest {
 protected:
  ImportOptions Options(const std::string& map, const std::vector<std::string>& kinds = {}) {
    ImportOptions options;
    options.targetPortfolio = "Broker";
    std::string error;
    EXPECT_TRUE(ParseMappingText(map, options.mapping, error)) << error;
    for (const std::string& kind : kinds) EXPECT_TRUE(options.mapping.kinds.Add(kind, error)) << error;
    return options;
  }

  // "SYMBOL QTY @PRICE-CENTS +COMMISSION [sold @PRICE +COMMISSION DATE]" for each position of Broker.
  std::vector<std::string> Held() {
    std::vector<std::string> got;
    for (const auto& h : Positions(PortfolioId("Broker"))) {
      const auto& s = static_cast<const VLStockHoldingItem&>(*h);
      std::string text = s.name + " " + DecimalText(s.qty) + " @" + PriceText(s.buyPricePerShare) + " +" +
                         std::to_string(s.buyCommission);
      if (s.IsSold()) {
        text += " sold @" + PriceText(s.salePricePerShare) + " +" + std::to_string(s.saleCommission) + " " +
                IsoDateText(DateOfStoredDate(s.saleDate));
      }
      got.push_back(text);
    }
    return got;
  }

  std::vector<std::string> Skipped() const {
    std::vector<std::string> texts;
    for (const SkippedRow& row : reading.skipped) texts.push_back(row.Describe());
    return texts;
  }
};

TEST_F(TransactionCsv, EachRowIsWhatItsKindSays) {
  const std::string file =
      "Date,Action,Symbol,Quantity,Price,Fees,Amount\n"
      "2023-01-10,Market buy,MSFT,10,250.00,1.00,\n"
      "2023-02-10,Limit Buy,MSFT,5,260.00,,\n"
      "2023-03-01,Market sell,MSFT,-12,300.00,-2.00,\n"  // a sale written with a minus: its magnitude
      "2023-03-15,Dividend (Ordinary),MSFT,,,,$6.80\n"   // the wildcard
      "2023-03-16,Deposit,,,,,500.00\n"
      "2023-03-17,Currency conversion,,,,,-10.00\n"  // no kind names it
      "2023-03-18,buy,AAPL,1,150.00,,\n"             // a kind's own name needs no mapping
      "2023-03-19,Transfer,AAPL,1,,,\n"              // mapped to skip
      "2023-03-20,Market sell,,-8000,1.1173,,\n";    // a currency exchange
  const ImportOptions options =
      Options("date=Date,kind=Action,symbol=Symbol,quantity=Quantity,price=Price,fees=Fees,amount=Amount",
              {"buy=market buy | LIMIT BUY", "sell=Market sell", "dividend=Dividend*", "deposit=Deposit",
               "skip=Transfer"});
  ASSERT_EQ(Import(file, options), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  // The sale takes the 12 shares from the oldest purchase first, splitting the second; its costs (the
  // fees, written with a minus) are shared by shares, the last part taking what is left.
  EXPECT_EQ(Held(), (std::vector<std::string>{"MSFT 10 @250.00 +100 sold @300.00 +166 2023-03-01",
                                              "MSFT 2 @260.00 +0 sold @300.00 +34 2023-03-01",
                                              "MSFT 3 @260.00 +0", "AAPL 1 @150.00 +0"}));
  EXPECT_EQ(outcome.added, 3);
  EXPECT_EQ(outcome.sold, 1);
  // The dividend is recorded as income of the portfolio.
  EXPECT_EQ(outcome.income, 1);
  std::vector<VLIncomeItem> income;
  ASSERT_EQ(db->GetIncome(conn, 0, income), VLResult::Ok);
  ASSERT_EQ(income.size(), 1u);
  EXPECT_EQ(std::make_tuple(income[0].name, income[0].gross, income[0].payDate),
            std::make_tuple(std::string("MSFT"), 680LL, Day(2023, 3, 15)));
  EXPECT_EQ(
      Skipped(),
      (std::vector<std::string>{
          "line 6: skipped (deposit 2023-03-16 500.00): only purchases and sales become positions",
          "line 7: skipped (Currency conversion 2023-03-17 -10.00): no kind is given for 'Currency "
          "conversion'",
          "line 9: skipped (skip AAPL 2023-03-19): 'Transfer' is to be skipped",
          "line 10: skipped (sell 2023-03-20 1.1173): a trade without a symbol (a currency exchange) is no "
          "position"}));
}

TEST_F(TransactionCsv, WithoutAKindColumnANegativeQuantitySellsOnlyWhenAsked) {
  const std::string file =
      "Datum;Fonds;Volume;Koers\n"
      "26-01-2023 11:48:06;NL0014065450;1,2538;131,6444\n"
      "08-02-2023 11:46:02;NL0014065450;-1,2343;134,776\n";
  ImportOptions options = Options("date=Datum,symbol=Fonds,quantity=Volume,price=Koers");
  options.mapping.delimiter = ';';
  options.mapping.decimalComma = true;
  options.mapping.dateFormat = "DD-MM-YYYY";
  EXPECT_EQ(Import(file, options), std::nullopt);
  EXPECT_EQ(Described(reading.problems),
            std::vector<std::string>{"line 3: the quantity '-1,2343' is negative"});

  options.mapping.sellWhenNegative = true;
  ASSERT_EQ(Import(file, options), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(Held(), (std::vector<std::string>{"NL0014065450 1.2343 @131.6444 +0 sold @134.776 +0 2023-02-08",
                                              "NL0014065450 0.0195 @131.6444 +0"}));
}

TEST_F(TransactionCsv, AmountsAndDatesAsBrokersWriteThem) {
  const std::string file =
      "When,Ticker,Shares,Cost,Comm\n"
      "2023-10-18 14:30:03.613,CSCO,0.029053,$49.96,-$1.00\n"  // a time of day; a cost with a minus
      "11/20/2020 as of 11/19/2020,SPY,1.6531,USD 420.10,0\n"  // Schwab's \"as of\" and an ISO code
      "2023-10-18T09:00:00,VICI,2,31.93 $,\n";                 // a time after a T; a trailing sign
  ImportOptions options = Options("date=When,symbol=Ticker,quantity=Shares,price=Cost,commission=Comm");
  options.mapping.dateFormat = "YYYY-MM-DD";
  // The second row's date is of another form: each file has one, so it is refused with its form named.
  EXPECT_EQ(Import(file, options), std::nullopt);
  EXPECT_EQ(
      Described(reading.problems),
      std::vector<std::string>{"line 3: the date '11/20/2020 as of 11/19/2020' is not a date of the form "
                               "YYYY-MM-DD"});
  options.mapping.dateFormat = "MM/DD/YYYY";
  const std::string us =
      "When,Ticker,Shares,Cost,Comm\n"
      "11/20/2020 as of 11/19/2020,SPY,1.6531,USD 420.10,-$1.00\n"
      "10/18/2023 14:30,VICI,2,31.93 $,\n";
  ASSERT_EQ(Import(us, options), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(Held(), (std::vector<std::string>{"SPY 1.6531 @420.10 +100", "VICI 2 @31.93 +0"}));
  const auto held = Positions(PortfolioId("Broker"));
  EXPECT_EQ(IsoDateText(DateOfStoredDate(static_cast<const VLStockHoldingItem&>(*held[0]).purchaseDate)),
            "2020-11-20");

  // With a decimal comma, a point separates groups of three digits only: "11.82" is no amount, never 1182.
  options = Options("symbol=S,quantity=Q,price=P");
  options.mapping.delimiter = ';';
  options.mapping.decimalComma = true;
  EXPECT_EQ(Import("S;Q;P\nASML;1;11.82\nASML;1;12,50 \xE2\x82\xAC\nASML;1;CHF 5,00 EUR\n", options),
            std::nullopt);
  EXPECT_EQ(
      Described(reading.problems),
      (std::vector<std::string>{"line 2: the price '11.82' is not an amount (such as 1234,56)",
                                "line 4: the price 'CHF 5,00 EUR' is not an amount (such as 1234,56)"}));
}

TEST_F(TransactionCsv, FeesNamesAndCurrenciesGoIntoThePosition) {
  const std::string file =
      "ISIN,Naam,Aantal,Koers,Provisie,Kosten,Valuta\n"
      "NL0014857104,1895 Euro Obligaties,1.8726,84.2637,0.50,0.25,EUR\n";
  const ImportOptions options = Options(
      "symbol=ISIN,name=Naam,quantity=Aantal,price=Koers,commission=Provisie,fees=Kosten,currency=Valuta");
  ASSERT_EQ(Import(file, options), VLResult::Ok) << testing::PrintToString(Described(reading.problems));
  const auto held = Positions(PortfolioId("Broker"));
  ASSERT_EQ(held.size(), 1u);
  const auto& stock = static_cast<const VLStockHoldingItem&>(*held[0]);
  EXPECT_EQ(stock.buyCommission, 75u);
  EXPECT_EQ(stock.comment, "1895 Euro Obligaties");
  EXPECT_EQ(stock.currency, "EUR");
}

TEST_F(TransactionCsv, AMappingWithoutTheSharesOrThePriceOfTradesIsWrong) {
  const ImportOptions options = Options("symbol=Ticker,price=Cost");
  EXPECT_EQ(Import("Ticker,Cost\nMSFT,250\n", options), std::nullopt);
  EXPECT_TRUE(reading.mappingIncomplete);
  EXPECT_EQ(
      Described(reading.problems),
      std::vector<std::string>{"line 1: no column holds the quantity: map one to it (quantity=COLUMN)"});
  // A file whose header names the fields needs no mapping at all.
  EXPECT_EQ(Import("Symbol,Quantity,Price\nMSFT,1,250\n", Options("")), VLResult::Ok);
}

TEST(TransactionKindMap, ExactValuesWinOverPatternsAndLongerPatternsOverShorter) {
  TransactionKindMap kinds;
  std::string error;
  ASSERT_TRUE(kinds.Add("dividend=Dividend*", error));
  ASSERT_TRUE(kinds.Add("buy= Dividend Reinvest* | dividend reinvestment ", error));
  ASSERT_TRUE(kinds.Add("tax=Dividend reinvestment tax", error));
  EXPECT_EQ(kinds.Find("  DIVIDEND (Ordinary)"), TransactionKind::Dividend);
  EXPECT_EQ(kinds.Find("Dividend Reinvested"), TransactionKind::Buy);
  EXPECT_EQ(kinds.Find("Dividend reinvestment tax"), TransactionKind::Tax);
  EXPECT_EQ(kinds.Find("Dividend"), TransactionKind::Dividend);  // "*" stands for nothing too
  EXPECT_EQ(kinds.Find("Interest"), std::nullopt);
  EXPECT_EQ(kinds.ValuesOf(TransactionKind::Buy), "Dividend Reinvest*|dividend reinvestment");

  EXPECT_FALSE(kinds.Add("bonus=Bonus", error));
  EXPECT_EQ(
      error,
      "'bonus' is not a kind; the kinds are buy, sell, dividend, capital-gain, return-of-capital, interest, "
      "tax, fee, deposit, withdrawal, split or skip");
  EXPECT_FALSE(kinds.Add("sell= | ", error));
  EXPECT_EQ(error, "no value of the file is given for sell");
  EXPECT_FALSE(kinds.Add("Market buy", error));
}

}  // namespace

namespace {

// Each field is described once, at its own place: a field added to the enum but not to the table (or in
// another place) would take another field's names in every problem, header and mapping.
TEST(ImportFields, EveryFieldIsDescribedAtItsOwnPlace) {
  const std::vector<ImportFieldInfo>& table = ImportFieldTable();
  ASSERT_EQ(table.size(), static_cast<size_t>(ImportField::Count));
  std::set<std::string> names;
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(static_cast<size_t>(table[i].field), i) << table[i].label;
    if (table[i].mappingName) {
      EXPECT_TRUE(names.insert(table[i].mappingName).second) << table[i].mappingName;
      EXPECT_EQ(MappedFieldByName(table[i].mappingName), table[i].field);
    }
  }
  EXPECT_EQ(names.size(), MappedFields().size());
}

// Each form once, found by its name, its --format values and the number earlier settings kept; the
// detection takes the content before the name, and only what no form claims is a CSV to map.
TEST(ImportFormats, EachFormIsDescribedOnceAndFoundByEveryNameItHas) {
  const std::vector<ImportFormatInfo>& table = ImportFormatTable();
  ASSERT_EQ(table.size(), 5u);
  std::set<std::string> names;
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_TRUE(names.insert(table[i].name).second) << table[i].name;
    EXPECT_EQ(ImportFormatNamed(table[i].name), table[i].format);
    EXPECT_EQ(ImportFormatOfSavedNumber(table[i].savedNumber), table[i].format);
    EXPECT_EQ(table[i].savedNumber, static_cast<int>(i));  // the dialog's order is the old numbering
    EXPECT_EQ(ExchangeFormatName(table[i].format), std::string(table[i].name));
    EXPECT_EQ(table[i].read == nullptr, table[i].format == ExchangeFormat::Detect) << table[i].name;
  }
  EXPECT_EQ(ImportFormatOfCommandName("QFX"), ExchangeFormat::Ofx);
  EXPECT_EQ(ImportFormatOfCommandName("csv"), ExchangeFormat::VellumarCsv);
  EXPECT_EQ(ImportFormatOfCommandName("mapped-csv"), std::nullopt);
  EXPECT_EQ(ImportFormatOfSavedNumber(5), std::nullopt);
  EXPECT_EQ(ImportFormatCommandNames(), "csv, xml or ofx");
  EXPECT_EQ(ImportFileFilter(), "Portfolios and statements (*.csv *.txt *.xml *.ofx *.qfx);;All files (*)");

  EXPECT_EQ(DetectExchangeFormat("OFXHEADER:100\n", "a.csv"), ExchangeFormat::Ofx);
  EXPECT_EQ(DetectExchangeFormat("<?xml?><VellumarPortfolios>", "a.ofx"), ExchangeFormat::VellumarXml);
  EXPECT_EQ(DetectExchangeFormat("Ticker,Shares\n", "a.QFX"), ExchangeFormat::Ofx);
  EXPECT_EQ(DetectExchangeFormat("Ticker,Shares\n", "/x.xml/a"), ExchangeFormat::MappedCsv);
  EXPECT_EQ(DetectExchangeFormat("Ticker,Shares\n", "a.xml"), ExchangeFormat::VellumarXml);
}

}  // namespace

namespace {

// What a file chosen in the window shows of its own form: the delimiter, the decimal comma, and which
// profile reads it.
TEST(CsvForm, TheFileSaysHowItIsWrittenAndWhichProfileReadsIt) {
  const CsvForm dutch =
      DetectCsvForm("Datum;Naam;Koers\n08-02-2024;\"Fonds, A\";84,2637\n26-01-2024;B;1.234,50\n");
  EXPECT_EQ(dutch.delimiter, ';');
  EXPECT_TRUE(dutch.decimalComma);
  const CsvForm english = DetectCsvForm("Date;Name;Price\n2024-02-08;A;84.26\n2024-01-26;B;1234.50\n");
  EXPECT_EQ(english.delimiter, ';');
  EXPECT_FALSE(english.decimalComma);
  EXPECT_EQ(DetectCsvForm("a\tb\tc\n1\t2\t3\n").delimiter, '\t');
  EXPECT_EQ(DetectCsvForm("\"a;b\",c\n1,2\n").delimiter, ',');  // the ";" is inside a quoted field

  CsvMapping profile;
  std::string error;
  ASSERT_TRUE(ParseMappingText("symbol=Ticker,quantity=Shares,price=Cost", profile, error));
  profile.skipRows = 1;
  EXPECT_TRUE(MappingFitsFile(profile, "Exported 2024-01-01\nTicker,Shares,Cost,Note\nIBM,1,2,x\n"));
  EXPECT_FALSE(MappingFitsFile(profile, "Ticker,Shares,Cost\nIBM,1,2\n"));  // the header is not after the row
  profile.skipRows = 0;
  EXPECT_FALSE(MappingFitsFile(profile, "Ticker,Shares,Price\nIBM,1,2\n"));  // no "Cost"
  ASSERT_TRUE(ParseMappingText("symbol=#1,quantity=#2,price=#3", profile, error));
  EXPECT_FALSE(MappingFitsFile(profile, "IBM,1,2\n"));  // columns by place fit any file: never chosen so

  // A statement pads its numbers; they read as the numbers they are.
  EXPECT_EQ(
      ReadFileNumber("+0000000000100.00000", FileNumberFormat(false), FileNumberKind::Quantity).entryText,
      "100");
  EXPECT_EQ(ReadFileNumber("-000.50", FileNumberFormat(false), FileNumberKind::Money).entryText, "-0.50");
}

}  // namespace
