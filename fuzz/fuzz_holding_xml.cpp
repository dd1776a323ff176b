// Feeds an XML document's root element to FromXml of all three position kinds. Each either reads it or
// refuses it with a "Line N: ..." message; a position it reads writes back to XML that reads the same.
#include <tinyxml2.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

static void Check(VLHoldingItem& holding, VLHoldingItem& copy, const tinyxml2::XMLElement& element) {
  std::string message;
  const bool ok = holding.FromXml(element, message);
  if (!ok) {
    if (message.rfind("Line ", 0) != 0) std::abort();  // a refusal always says where and why
    return;
  }
  tinyxml2::XMLDocument out;
  tinyxml2::XMLElement* written = holding.ToXml(out);
  out.InsertEndChild(written);
  if (!copy.FromXml(*written, message)) std::abort();  // what it wrote must read back
  tinyxml2::XMLPrinter first;
  out.Print(&first);
  tinyxml2::XMLDocument again;
  again.InsertEndChild(copy.ToXml(again));
  tinyxml2::XMLPrinter second;
  again.Print(&second);
  if (std::string(first.CStr()) != second.CStr()) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tinyxml2::XMLDocument doc;
  if (doc.Parse(reinterpret_cast<const char*>(data), size) != tinyxml2::XML_SUCCESS) return 0;
  const tinyxml2::XMLElement* root = doc.RootElement();
  if (!root) return 0;
  // Export files hold the positions as children of one element; single positions are tried as well.
  for (const tinyxml2::XMLElement* e = root; e;
       e = e == root ? root->FirstChildElement() : e->NextSiblingElement()) {
    VLStockHoldingItem stock, stockCopy;
    VLCashHoldingItem cash, cashCopy;
    VLMarginHoldingItem margin, marginCopy;
    Check(stock, stockCopy, *e);
    Check(cash, cashCopy, *e);
    Check(margin, marginCopy, *e);
  }
  return 0;
}
