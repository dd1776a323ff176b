#include "portfolio/records/vl_stock_holding_item.h"

#include <tinyxml2.h>

#include <cmath>
#include <limits>

#include "framework/archive.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/stock_columns.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/holding_xml.h"

namespace {
// Cents from a quote text times a count: rounded, and clamped to what VLCurrency keeps, so that a
// nonsense figure from the network ("9e99") gives a large amount, and sums of them cannot overflow.
int64_t RoundToCents(long double v) {
  if (std::isnan(v)) return 0;
  const long double r = std::round(v);
  constexpr auto kMax = static_cast<long double>(VLCurrency::kMaxCents);
  if (r >= kMax) return VLCurrency::kMaxCents;
  if (r <= -kMax) return -VLCurrency::kMaxCents;
  return static_cast<int64_t>(r);
}

// The stored form of the day a date stands for; 0 (no date) stays 0.
int64_t NormalisedDate(int64_t date) {
  return date == 0 ? 0 : StoredDateOfDay(DayNumberOfStoredDate(date));
}

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

SerializeResult VLStockHoldingItem::Serialize(Archive* ar) {
  int32_t version = 0;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this, &version); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = VLHoldingItem::Serialize(ar); rc != SerializeResult::Ok) return rc;
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
  return SerializeResult::Ok;
}

const std::string& VLStockHoldingItem::GetTradeText() const {
  return quote->lastTradeRealtime.empty() ? quote->lastTrade : quote->lastTradeRealtime;
}

int64_t VLStockHoldingItem::GetLastTradeCents() const {
  if (!HasKnownSymbol()) return 0;
  return RoundToCents(ReadLeadingDecimal(GetTradeText()) * 100.0L);
}

VLCurrency VLStockHoldingItem::GetCurrentValue() const {
  if (!HasKnownSymbol()) return {};
  // P * 100 * qty / 100, rounded to the cent; the trade text may carry more than two decimals.
  const long double p = ReadLeadingDecimal(GetTradeText());
  return VLCurrency::FromCents(RoundToCents(p * 100.0L * static_cast<long double>(qty)));
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

int64_t VLStockHoldingItem::GetValueChange() const {
  if (!HasKnownSymbol()) return 0;
  const std::string& ch = quote->changeRealtime.empty() ? quote->change : quote->changeRealtime;
  return RoundToCents(ReadLeadingDecimal(ch) * static_cast<long double>(qty) * 100.0L);
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
  // A date goes out as the stored form of its day: for days from 1970 to 2106 the same number the 32-bit
  // form of the exchange always had, earlier days as negative numbers.
  e->SetAttribute("purchaseDate", NormalisedDate(purchaseDate));
  e->SetAttribute("saleDate", NormalisedDate(saleDate));
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
  // A date is any number whose day lies in the range positions keep: the stored form of this version, or
  // the local midnight an older one wrote.
  const int64_t kFirstDate = DayNumberOf(kEarliestDate) * 86400 - 43199;
  const int64_t kLastDate = DayNumberOf(kLatestDate) * 86400 + 43200;
  struct Field {
    const char* attribute;
    int64_t minValue;
    int64_t maxValue;
  };
  const Field kFields[] = {
      {"qty", 0, kU32Max},
      {"buyPricePerShare", 0, kU32Max},
      {"salePricePerShare", 0, kU32Max},
      {"saleCommision", 0, kU32Max},
      {"perShareBuyTarget", 0, kU32Max},
      {"perShareSellTarget", 0, kU32Max},
      {"perShareStopLossTarget", 0, kU32Max},
      {"marginable", 0, 1},
      {"mgnEquity", 0, kI32Max},
      {"mgnThreshold", 0, kU32Max},
      {"purchaseDate", kFirstDate, kLastDate},
      {"saleDate", kFirstDate, kLastDate},
  };
  int64_t values[std::size(kFields)] = {};
  for (size_t i = 0; i < std::size(kFields); ++i) {
    if (!ReadXmlInteger(element, kFields[i].attribute, kFields[i].minValue, kFields[i].maxValue, values[i])) {
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
  purchaseDate = NormalisedDate(values[10]);
  saleDate = NormalisedDate(values[11]);

  return ReadXmlTrimmedText(element, "comment", comment, message);
}

void VLStockHoldingItem::GetColumnText(int column, std::string& text) const {
  text = StockColumnText(*this, column);
}

double VLStockHoldingItem::GetColumnValue(int column) const {
  return StockColumnValue(*this, column);
}
