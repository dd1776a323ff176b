// A broker's CSV read through a mapping: delimiters, decimal commas, date patterns, encodings, columns by
// header name or position, quoted fields and preambles.
#include <gtest/gtest.h>

#include "tests/portfolio/exchange/exchange_fixture.h"

namespace {

// A stock position as a test states it.
std::string Summary(const VLHoldingItem& h) {
  const auto& s = static_cast<const VLStockHoldingItem&>(h);
  std::string text =
      s.name + " " + DecimalText(s.qty) + " @" + std::to_string(CentsOfPrice(s.buyPricePerShare)) + " +" +
      std::to_string(s.buyCommission) + " " +
      (s.purchaseDate ? IsoDateText(DateOfStoredDate(s.purchaseDate)) : "-") + " [" + s.comment + "]";
  if (s.IsSold()) {
    text += " sold @" + std::to_string(CentsOfPrice(s.salePricePerShare)) + " +" +
            std::to_string(s.saleCommission) + " " +
            (s.saleDate ? IsoDateText(DateOfStoredDate(s.saleDate)) : "-");
  }
  return text;
}

struct MappedCase {
  const char* name;
  std::string file;
  std::string map;  // --map
  char delimiter = ',';
  bool decimalComma = false;
  std::string dateFormat = "YYYY-MM-DD";
  TextEncoding encoding = TextEncoding::Detect;
  int skipRows = 0;
  std::vector<std::string> expected;
  TextEncoding read = TextEncoding::Utf8;
};

class MappedCsv : public ExchangeTest, public ::testing::WithParamInterface<MappedCase> {};

TEST_P(MappedCsv, ReadsEveryRowAsTheMappingSays) {
  const MappedCase& c = GetParam();
  ImportOptions options;
  options.targetPortfolio = "Broker";
  std::string error;
  ASSERT_TRUE(ParseMappingText(c.map, options.mapping, error)) << error;
  options.mapping.delimiter = c.delimiter;
  options.mapping.decimalComma = c.decimalComma;
  options.mapping.dateFormat = c.dateFormat;
  options.mapping.encoding = c.encoding;
  options.mapping.skipRows = c.skipRows;
  ASSERT_EQ(Import(c.file, options, "broker.csv"), VLResult::Ok)
      << testing::PrintToString(Described(reading.problems));
  EXPECT_EQ(reading.format, ExchangeFormat::MappedCsv);
  EXPECT_EQ(reading.encoding, c.read);
  std::vector<std::string> got;
  for (const auto& h : Positions(PortfolioId("Broker"))) got.push_back(Summary(*h));
  EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MappedCsv,
    ::testing::Values(
        MappedCase{"FieldNamesAsHeaders",
                   "Symbol,Quantity,Price,Date,Commission,Comment\r\nmsft,100,250.5,2023-01-15,9.95,first\r\n"
                   "IBM,10,\"1,234.00\",,,\n",
                   "",
                   ',',
                   false,
                   "YYYY-MM-DD",
                   TextEncoding::Detect,
                   0,
                   {"MSFT 100 @25050 +995 2023-01-15 [first]", "IBM 10 @123400 +0 - []"}},
        MappedCase{"SemicolonsDecimalCommaLatin1",
                   "Wertpapier;St\xFC"
                   "ck;Kurs;Datum;Geb\xFChr;Notiz\n"
                   "SAP;1.000;1.234,5;15.01.2023;4,90;M\xFCnchen \x96 5\x80\n",
                   "symbol=Wertpapier,quantity=St\xC3\xBC"
                   "ck,price=Kurs,date=Datum,commission=Geb\xC3\xBChr,"
                   "comment=Notiz",
                   ';',
                   true,
                   "DD.MM.YYYY",
                   TextEncoding::Detect,
                   0,
                   {"SAP 1000 @123450 +490 2023-01-15 [M\xC3\xBCnchen \xE2\x80\x93 5\xE2\x82\xAC]"},
                   TextEncoding::Latin1},
        MappedCase{"TabsPositionsPreambleAndShortDates",
                   "Statement for account 1\nGenerated 2023-04-01\n"
                   "2/3/2023\tAAPL\t5\t150.25\n12/31/2022\tGOOG\t1\t88\n",
                   "date=#1,symbol=#2,quantity=#3,price=#4",
                   '\t',
                   false,
                   "M/D/YYYY",
                   TextEncoding::Utf8,
                   2,
                   {"AAPL 5 @15025 +0 2023-02-03 []", "GOOG 1 @8800 +0 2022-12-31 []"}},
        MappedCase{
            "BomQuotedFieldsAndSales",
            "\xEF\xBB\xBFTicker,Shares,Cost,Note,Sold at,Sold on,Fee\r\n"
            "\"BRK.B\",\"2\",\"1,000.00\",\"says \"\"hi\"\", then\r\nmore\",\"1,100.10\",2023-05-02,1.00\r\n",
            "symbol=Ticker,quantity=shares,price=COST,comment=Note,sale-price=Sold at,sale-date=Sold on,"
            "sale-commission=Fee",
            ',',
            false,
            "YYYY-MM-DD",
            TextEncoding::Detect,
            0,
            {"BRK.B 2 @100000 +0 - [says \"hi\", then\r\nmore] sold @110010 +100 2023-05-02"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(ExchangeTest, AMappingThatNamesAMissingColumnIsRefusedAtTheHeader) {
  ImportOptions options;
  options.targetPortfolio = "Broker";
  std::string error;
  ASSERT_TRUE(ParseMappingText("price=Kurs", options.mapping, error));
  EXPECT_EQ(Import("\n\nSymbol,Preis\nX,1\n", options), std::nullopt);
  EXPECT_EQ(
      Described(reading.problems),
      (std::vector<std::string>{"line 3: the header has no column 'Kurs' for the price",
                                "line 3: no column holds the quantity: map one to it (quantity=COLUMN)"}));
  EXPECT_EQ(reading.header, (std::vector<std::string>{"Symbol", "Preis"}));
  EXPECT_FALSE(ParseMappingText("prize=Kurs", options.mapping, error));
  EXPECT_FALSE(ParseMappingText("price", options.mapping, error));
}

}  // namespace
