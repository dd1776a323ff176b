#include "portfolio/records/vl_stock_holding_item.h"

#include <tinyxml2.h>

#include <cmath>
#include <limits>

#include "framework/archive.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/stock_columns.h"
#include "portfolio/records/holding_xml.h"

namespace {
int32_t RoundToInt32(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::round(v);
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}
}  // namespace

int32_t VLStockHoldingItem::Serialize(Archive* ar) {
  int32_t version = 0;
  if (int32_t rc = SerializeTypeHeader(ar, *this, &version); rc != kSerializeOk) return rc;
  if (int32_t rc = VLHoldingItem::Serialize(ar); rc != kSerializeOk) return rc;
  if (ar->IsLoading()) {
    // Fields an older record lacks stay at their empty values.
    buyCommission = salePricePerShare = saleCommission = 0;
    perShareSellTarget = perShareStopLossTarget = 0;
    saleDate = purchaseDate = 0;
    comment.clear();
  }
  ar->Io(quoteId);
  ar->Io(qty);
  ar->Io(buyPricePerShare);
  if (version >= 6) {
    ar->Io(buyCommission);
    ar->Io(salePricePerShare);
    ar->Io(saleCommission);
    ar->IoTime(saleDate);
  }
  ar->Io(perShareBuyTarget);
  if (version >= 5) {
    ar->Io(perShareSellTarget);
    ar->Io(perShareStopLossTarget);
  }
  ar->Io(marginable);
  ar->Io(mgnEquity);
  ar->Io(mgnThreshold);
  if (version >= 2) ar->IoTime(purchaseDate);
  if (version >= 4) ar->Io(comment);
  return kSerializeOk;
}

const std::string& VLStockHoldingItem::GetTradeText() const {
  return quote->lastTradeRealtime.empty() ? quote->lastTrade : quote->lastTradeRealtime;
}

int32_t VLStockHoldingItem::GetLastTradeCents() const {
  if (!HasKnownSymbol()) return 0;
  return RoundToInt32(ReadLeadingNumber(GetTradeText()) * 100.0);
}

VLCurrency VLStockHoldingItem::GetCurrentValue() const {
  if (!HasKnownSymbol()) return {};
  const double p = ReadLeadingNumber(GetTradeText());
  return VLCurrency(p * 100.0 * static_cast<double>(qty) / 100.0);
}

VLCurrency VLStockHoldingItem::GetTotalPaid() const {
  if (!HasKnownSymbol()) return {};
  // 64-bit: a large quantity times a price in cents overflows 32 bits.
  const int64_t c = static_cast<int64_t>(qty) * buyPricePerShare + buyCommission;
  return VLCurrency::FromCents(c);
}

VLCurrency VLStockHoldingItem::GetSaleValue() const {
  if (!HasKnownSymbol()) return {};
  const int64_t c = static_cast<int64_t>(qty) * salePricePerShare - static_cast<int64_t>(saleCommission);
  return VLCurrency::FromCents(c);
}

int32_t VLStockHoldingItem::GetValueChange() const {
  if (!HasKnownSymbol()) return 0;
  const std::string& ch = quote->changeRealtime.empty() ? quote->change : quote->changeRealtime;
  return RoundToInt32(ReadLeadingNumber(ch) * static_cast<double>(qty) * 100.0);
}

int32_t VLStockHoldingItem::GetPercentChange() const {
  const std::string& q =
      quote->percentChangeRealtime.empty() ? quote->percentChange : quote->percentChangeRealtime;
  return RoundToInt32(ReadLeadingNumber(RemoveChars(q, "%")) * 100.0);
}

bool VLStockHoldingItem::CopyTo(VLStockHoldingItem* other) const {
  if (!other || !VLHoldingItem::CopyTo(static_cast<VLHoldingItem*>(other))) return false;
  other->qty = qty;
  other->buyPricePerShare = buyPricePerShare;
  other->buyCommission = buyCommission;
  other->salePricePerShare = salePricePerShare;
  other->saleCommission = saleCommission;
  other->perShareBuyTarget = perShareBuyTarget;
  other->perShareSellTarget = perShareSellTarget;
  other->perShareStopLossTarget = perShareStopLossTarget;
  other->marginable = marginable;
  other->mgnEquity = mgnEquity;
  other->mgnThreshold = mgnThreshold;
  other->purchaseDate = purchaseDate;
  other->saleDate = saleDate;
  other->comment = comment;
  other->quoteId = quoteId;
  other->quote = quote;
  return true;
}

bool VLStockHoldingItem::CopyFrom(const VLStockHoldingItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLStockHoldingItem::Clone() const {
  auto copy = std::make_unique<VLStockHoldingItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

tinyxml2::XMLElement* VLStockHoldingItem::ToXml(tinyxml2::XMLDocument& doc) const {
  tinyxml2::XMLElement* e = doc.NewElement(GetKindName(kHoldingStock).c_str());
  e->SetAttribute("version", GetVersion());
  e->SetAttribute("symbol", name.c_str());
  e->SetAttribute("qty", qty);
  e->SetAttribute("buyPricePerShare", buyPricePerShare);
  e->SetAttribute("salePricePerShare", salePricePerShare);
  e->SetAttribute("saleCommision", saleCommission);
  e->SetAttribute("perShareBuyTarget", perShareBuyTarget);
  e->SetAttribute("perShareSellTarget", perShareSellTarget);
  e->SetAttribute("perShareStopLossTarget", perShareStopLossTarget);
  e->SetAttribute("marginable", marginable ? 1 : 0);
  e->SetAttribute("mgnEquity", mgnEquity);
  e->SetAttribute("mgnThreshold", mgnThreshold);
  // The exchange form keeps dates as 32 bits.
  e->SetAttribute("purchaseDate", static_cast<uint32_t>(purchaseDate));
  e->SetAttribute("saleDate", static_cast<uint32_t>(saleDate));
  e->SetAttribute("comment", comment.c_str());
  return e;
}

bool VLStockHoldingItem::FromXml(const tinyxml2::XMLElement& element, std::string& message) {
  if (!CheckXmlHeader(element, kHoldingStock, GetVersion(), message)) return false;
  const char* elementName = element.Name();

  const char* symbol = element.Attribute("symbol");
  if (!symbol) {
    SetXmlMessage(message, element, "Element %s missing required attribute \"%s\".", elementName, "symbol");
    return false;
  }
  std::string trimmed = TrimBlanks(symbol);
  if (trimmed.empty()) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "symbol", symbol);
    return false;
  }
  for (char& c : trimmed) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  name = trimmed;

  constexpr int64_t kU32Max = std::numeric_limits<uint32_t>::max();
  constexpr int64_t kI32Max = std::numeric_limits<int32_t>::max();
  struct Field {
    const char* attribute;
    int64_t maxValue;
  };
  static constexpr Field kFields[] = {
      {"qty", kU32Max},
      {"buyPricePerShare", kU32Max},
      {"salePricePerShare", kU32Max},
      {"saleCommision", kU32Max},
      {"perShareBuyTarget", kU32Max},
      {"perShareSellTarget", kU32Max},
      {"perShareStopLossTarget", kU32Max},
      {"marginable", 1},
      {"mgnEquity", kI32Max},
      {"mgnThreshold", kU32Max},
      {"purchaseDate", kU32Max},
      {"saleDate", kU32Max},
  };
  int64_t values[std::size(kFields)] = {};
  for (size_t i = 0; i < std::size(kFields); ++i) {
    if (!ReadXmlInteger(element, kFields[i].attribute, 0, kFields[i].maxValue, values[i])) {
      SetXmlMessage(message, element, "Element %s has invalid or missing value.", kFields[i].attribute);
      return false;
    }
  }
  qty = static_cast<uint32_t>(values[0]);
  buyPricePerShare = static_cast<uint32_t>(values[1]);
  salePricePerShare = static_cast<uint32_t>(values[2]);
  saleCommission = static_cast<uint32_t>(values[3]);
  perShareBuyTarget = static_cast<uint32_t>(values[4]);
  perShareSellTarget = static_cast<uint32_t>(values[5]);
  perShareStopLossTarget = static_cast<uint32_t>(values[6]);
  marginable = values[7] != 0;
  mgnEquity = static_cast<int32_t>(values[8]);
  mgnThreshold = static_cast<uint32_t>(values[9]);
  purchaseDate = values[10];
  saleDate = values[11];

  return ReadXmlTrimmedText(element, "comment", comment, message);
}

void VLStockHoldingItem::GetColumnText(int column, std::string& text) const {
  text = StockColumnText(*this, column);
}

double VLStockHoldingItem::GetColumnValue(int column) const {
  return StockColumnValue(*this, column);
}
