// The XML exchange form of positions and its messages.
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <string>
#include <utility>

#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/holding_xml.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"

namespace {
// A document whose third line holds `element`, so messages name line 3.
struct Doc {
  tinyxml2::XMLDocument doc;
  explicit Doc(const std::string& element) {
    const std::string text = "<?xml version=\"1.0\"?>\n<Positions>\n" + element + "\n</Positions>\n";
    EXPECT_EQ(doc.Parse(text.c_str()), tinyxml2::XML_SUCCESS);
  }
  const tinyxml2::XMLElement& First() const { return *doc.FirstChildElement()->FirstChildElement(); }
};

const char* kGoodStock =
    "version=\"6\" symbol=\" ibm \" qty=\"100\" buyPricePerShare=\"8150\" salePricePerShare=\"0\" "
    "saleCommision=\"0\" perShareBuyTarget=\"7500\" perShareSellTarget=\"9500\" "
    "perShareStopLossTarget=\"7000\" "
    "marginable=\"1\" mgnEquity=\"50\" mgnThreshold=\"500\" purchaseDate=\"1100000000\" saleDate=\"0\" "
    "comment=\"  core  \"";

std::string StockWith(const std::string& attribute, const std::string& value) {
  std::string attrs = kGoodStock;
  const std::string key = " " + attribute + "=\"";
  size_t at = (" " + attrs).find(key);
  EXPECT_NE(at, std::string::npos) << attribute;
  const size_t start = at + key.size() - 1;
  const size_t end = attrs.find('"', start);
  attrs.replace(start, end - start, value);
  return "<VLStock " + attrs + "/>";
}

std::string StockWithout(const std::string& attribute) {
  std::string attrs = std::string(" ") + kGoodStock;
  const size_t at = attrs.find(" " + attribute + "=\"");
  const size_t end = attrs.find('"', attrs.find('"', at) + 1);
  attrs.erase(at, end + 1 - at);
  return "<VLStock" + attrs + "/>";
}

std::string ReadStock(const std::string& element, VLStockHoldingItem* out = nullptr) {
  Doc d(element);
  VLStockHoldingItem h;
  std::string message;
  const bool ok = h.FromXml(d.First(), message);
  EXPECT_EQ(ok, message.empty()) << message;
  if (out) *out = h;
  return message;
}
}  // namespace

TEST(StockXml, ReadsTrimmedUpperCaseSymbolAndEveryField) {
  VLStockHoldingItem h;
  EXPECT_EQ(ReadStock(std::string("<VLStock ") + kGoodStock + "/>", &h), "");
  EXPECT_EQ(h.name, "IBM");
  EXPECT_EQ(h.qty, Shares(100));
  EXPECT_EQ(h.perShareStopLossTarget, Cents(7000));
  EXPECT_TRUE(h.marginable);
  EXPECT_EQ(h.mgnEquity, 50);
  EXPECT_EQ(h.purchaseDate, 1100001600);  // 1100000000 is 11:33 UTC: read as that day, kept as its noon
  EXPECT_EQ(h.comment, "core");
}

TEST(StockXml, RoundTripsExceptTheBuyCommission) {
  VLStockHoldingItem h;
  h.name = "MSFT";
  h.qty = Shares(10);
  h.buyPricePerShare = Cents(2500);
  h.buyCommission = 995;
  h.salePricePerShare = Cents(3000);
  h.saleCommission = 1095;
  h.perShareBuyTarget = Cents(1);
  h.perShareSellTarget = Cents(2);
  h.perShareStopLossTarget = Cents(3);
  h.mgnEquity = 40;
  h.mgnThreshold = 400;
  h.purchaseDate = 3000024000;  // noon UTC of a day in 2065: needs all 32 bits
  h.saleDate = 3100075200;
  h.comment = "a \"quoted\" <note>";
  tinyxml2::XMLDocument doc;
  doc.InsertEndChild(h.ToXml(doc));
  tinyxml2::XMLPrinter printer;
  doc.Print(&printer);
  const std::string text = printer.CStr();
  // Attributes in their fixed order, the commission spelled as the form spells it.
  EXPECT_NE(text.find("<VLStock version=\"6\" symbol=\"MSFT\" qty=\"10\" buyPricePerShare=\"2500\" "
                      "salePricePerShare=\"3000\" saleCommision=\"1095\" perShareBuyTarget=\"1\""),
            std::string::npos)
      << text;

  VLStockHoldingItem back;
  std::string message;
  ASSERT_TRUE(back.FromXml(*doc.FirstChildElement(), message)) << message;
  EXPECT_EQ(back.buyCommission, 0u);
  EXPECT_EQ(back.saleCommission, 1095u);
  EXPECT_EQ(back.purchaseDate, 3000024000);
  EXPECT_EQ(back.saleDate, 3100075200);
  EXPECT_EQ(back.comment, "a \"quoted\" <note>");
  EXPECT_EQ(back.mgnThreshold, 400u);
}

TEST(StockXml, MessagesNameTheLineAndTheCulprit) {
  const std::pair<std::string, const char*> cases[] = {
      {"<VLStocks version=\"6\"/>", "Line 3: Unknown element \"VLStocks\" encountered."},
      {StockWith("version", "10"), "Line 3: Element VLStock has invalid or missing version attribute."},
      // The exact form reads decimals where the older forms read whole numbers, and nothing else.
      {StockWith("qty", "1.5"), "Line 3: Element qty has invalid or missing value."},
      {StockWith("version", "six"), "Line 3: Element VLStock has invalid or missing version attribute."},
      {StockWithout("symbol"), "Line 3: Element VLStock missing required attribute \"symbol\"."},
      {StockWith("symbol", "   "), "Line 3: Attribute \"symbol\" has invalid value \"   \"."},
      {StockWith("marginable", "2"), "Line 3: Element marginable has invalid or missing value."},
      {StockWith("qty", "-1"), "Line 3: Element qty has invalid or missing value."},
      {StockWith("mgnThreshold", "12x"), "Line 3: Element mgnThreshold has invalid or missing value."},
      {StockWithout("saleDate"), "Line 3: Element saleDate has invalid or missing value."},
      {StockWith("qty", "4294967296"), "Line 3: Element qty has invalid or missing value."},
      {StockWithout("comment"), "Line 3: Element VLStock missing required attribute \"comment\"."},
  };
  for (const auto& [element, message] : cases) EXPECT_EQ(ReadStock(element), message) << element;
}

// Only a position that needs it is written in version 7: shares as a decimal, prices as decimal cents, the
// currency; each reads back exactly, and more decimals than a record keeps are refused.
TEST(StockXml, TheExactFormCarriesFractionsAndTheCurrency) {
  VLStockHoldingItem h;
  h.name = "VWRL.L";
  h.qty = SharesOf("1.6531");
  h.buyPricePerShare = PriceOf("84.2637");
  h.perShareSellTarget = PriceOf("0.000001");
  h.currency = "GBp";
  h.comment = "plan";
  tinyxml2::XMLDocument doc;
  doc.InsertEndChild(h.ToXml(doc));
  const tinyxml2::XMLElement& e = *doc.FirstChildElement();
  EXPECT_STREQ(e.Attribute("version"), "7");
  EXPECT_STREQ(e.Attribute("qty"), "1.6531");
  EXPECT_STREQ(e.Attribute("buyPricePerShare"), "8426.37");
  EXPECT_STREQ(e.Attribute("perShareSellTarget"), "0.0001");
  EXPECT_STREQ(e.Attribute("salePricePerShare"), "0");
  EXPECT_STREQ(e.Attribute("currency"), "GBp");
  VLStockHoldingItem back;
  std::string message;
  ASSERT_TRUE(back.FromXml(e, message)) << message;
  EXPECT_EQ(back.qty, h.qty);
  EXPECT_EQ(back.buyPricePerShare, h.buyPricePerShare);
  EXPECT_EQ(back.perShareSellTarget, h.perShareSellTarget);
  EXPECT_EQ(back.currency, "GBp");

  const auto exact = [](const std::string& attribute, const std::string& value) {
    std::string element = StockWith(attribute, value);
    element.replace(element.find("version=\"6\""), 11, "version=\"7\"");
    return ReadStock(element);
  };
  EXPECT_EQ(exact("qty", "0.00000001"), "");
  EXPECT_EQ(exact("qty", "1.000000001"), "Line 3: Element qty has invalid or missing value.");
  EXPECT_EQ(exact("buyPricePerShare", "0.0001"), "");
  EXPECT_EQ(exact("buyPricePerShare", "0.00001"),
            "Line 3: Element buyPricePerShare has invalid or missing value.");
  EXPECT_EQ(exact("buyPricePerShare", "4294967295.0001"),
            "Line 3: Element buyPricePerShare has invalid or missing value.");
  EXPECT_EQ(exact("saleCommision", "1.5"), "Line 3: Element saleCommision has invalid or missing value.");
  VLStockHoldingItem exactOut;
  std::string element = StockWith("qty", "2.5");
  element.replace(element.find("version=\"6\""), 11, "version=\"7\" currency=\"US$\"");
  EXPECT_EQ(ReadStock(element, &exactOut), "Line 3: Attribute \"currency\" has invalid value \"US$\".");
}

TEST(StockXml, AcceptsEveryVersionUpTo7) {
  for (const char* v : {"0", "1", "3", "5", "6", "7", "-2"})
    EXPECT_EQ(ReadStock(StockWith("version", v)), "") << v;
}

TEST(CashXml, ReadsWholeCentsAndRefusesBadAmounts) {
  auto read = [](const std::string& element, uint32_t* amount, std::string* comment) {
    Doc d(element);
    VLCashHoldingItem c;
    std::string message;
    const bool read = c.FromXml(d.First(), message);
    EXPECT_EQ(read, message.empty()) << message;  // a refusal always says why
    if (amount) *amount = c.amount;
    if (comment) *comment = c.name;
    return message;
  };
  uint32_t amount = 0;
  std::string comment;
  EXPECT_EQ(read("<VLCash version=\"1\" amount=\"12.9\" comment=\" rainy day \"/>", &amount, &comment), "");
  EXPECT_EQ(amount, 12u);
  EXPECT_EQ(comment, "rainy day");
  EXPECT_EQ(read("<VLCash version=\"1\" amount=\"+500\" comment=\"\"/>", &amount, nullptr), "");
  EXPECT_EQ(amount, 500u);
  EXPECT_EQ(read("<VLCash version=\"1\" amount=\"-5\" comment=\"\"/>", nullptr, nullptr),
            "Line 3: Attribute \"amount\" has invalid value \"-5\".");
  EXPECT_EQ(read("<VLCash version=\"1\" amount=\"abc\" comment=\"\"/>", nullptr, nullptr),
            "Line 3: Attribute \"amount\" has invalid value \"abc\".");
  EXPECT_EQ(read("<VLCash version=\"1\" amount=\"1.2.3\" comment=\"\"/>", nullptr, nullptr),
            "Line 3: Attribute \"amount\" has invalid value \"1.2.3\".");
  EXPECT_EQ(read("<VLCash version=\"1\" comment=\"\"/>", nullptr, nullptr),
            "Line 3: Attribute \"amount\" has invalid value \"\".");
  EXPECT_EQ(read("<VLCash version=\"2\" amount=\"1\" comment=\"\"/>", nullptr, nullptr),
            "Line 3: Element VLCash has invalid or missing version attribute.");
  EXPECT_EQ(read("<VLCash version=\"1\" amount=\"1\"/>", nullptr, nullptr),
            "Line 3: Element VLCash missing required attribute \"comment\".");
  EXPECT_EQ(read("<VLMargin version=\"1\" amountOwed=\"1\" comment=\"\"/>", nullptr, nullptr),
            "Line 3: Unknown element \"VLMargin\" encountered.");
}

TEST(MarginXml, RoundTripsTheAmountOwed) {
  VLMarginHoldingItem m;
  m.amountOwed = 123456;
  m.name = "loan";
  tinyxml2::XMLDocument doc;
  doc.InsertEndChild(m.ToXml(doc));
  const tinyxml2::XMLElement* e = doc.FirstChildElement();
  EXPECT_STREQ(e->Name(), "VLMargin");
  EXPECT_STREQ(e->Attribute("amountOwed"), "123456");
  VLMarginHoldingItem back;
  std::string message;
  ASSERT_TRUE(back.FromXml(*e, message)) << message;
  EXPECT_EQ(back.amountOwed, 123456u);
  EXPECT_EQ(back.name, "loan");
  EXPECT_EQ(GetKindName(2), "VLMargin");
  EXPECT_EQ(GetKindName(3), "");
}
