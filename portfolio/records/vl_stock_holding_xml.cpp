// The XML exchange form of a stock position. Version 6 writes whole shares and whole cents as integers;
// version 7, written only for a position that needs it, writes the shares as a decimal ("1.6531"), the prices
// per share as decimal cents ("8426.37" for 84.2637) and the position's currency.
#include <tinyxml2.h>

#include <limits>
#include <utility>

#include "framework/text_util.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/holding_xml.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// The stored form of the day a date stands for; 0 (no date) stays 0.
int64_t NormalisedDate(int64_t date) {
  return date == 0 ? 0 : StoredDateOfDay(DayNumberOfStoredDate(date));
}

// Decimal cents of the exact form: a price unit is 1e-4 cent.
constexpr int kCentPlaces = UnitPrice::kPlaces - 2;

std::string PriceAttribute(UnitPrice price, bool exact) {
  return exact ? DecimalUnitsText(price.Units(), kCentPlaces) : std::to_string(CentsOfPrice(price));
}

struct Field {
  const char* attribute;
  int places;  // of the exact form's decimal; -1 for a whole number in either form
  int64_t minValue;
  int64_t maxValue;
};

// The attribute as the field's form has it: a whole number, or in the exact form a decimal of at most
// `places` decimals, as a count of its last place.
bool ReadField(const tinyxml2::XMLElement& element, const Field& field, bool exact, int64_t& value) {
  if (field.places < 0 || !exact) {
    const int64_t scale = field.places < 0 ? 1 : Pow10(field.places);
    if (!ReadXmlInteger(element, field.attribute, field.minValue / scale, field.maxValue / scale, value))
      return false;
    value *= scale;
    return true;
  }
  const char* text = element.Attribute(field.attribute);
  if (!text) return false;
  const DecimalTextRead read = ReadDecimalText(TrimBlanks(text), field.places);
  if (read.status != DecimalTextStatus::Ok || read.units < field.minValue || read.units > field.maxValue)
    return false;
  value = read.units;
  return true;
}

// What a split left of what was paid: an attribute of the latest form only, none meaning 0.
bool ReadPaidRemainder(const tinyxml2::XMLElement& element, int64_t version, int32_t& remainder,
                       std::string& message) {
  remainder = 0;
  const char* text = element.Attribute("paidRemainder");
  if (version < VLStockHoldingItem::kPaidRemainderVersion || !text) return true;
  int64_t value = 0;
  constexpr int64_t kLargest = VLStockHoldingItem::kMaxPaidRemainder;
  if (!ReadXmlInteger(element, "paidRemainder", -kLargest, kLargest, value)) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "paidRemainder", text);
    return false;
  }
  remainder = static_cast<int32_t>(value);
  return true;
}

// The rates the broker charged (the rate form): the base currency they are kept against and each rate
// given, as their texts.
bool ReadStoredRates(const tinyxml2::XMLElement& element, int64_t version, VLStockHoldingItem& position,
                     std::string& message) {
  position.rateCurrency.clear();
  position.buyRate = position.saleRate = FxRate();
  if (version < VLStockHoldingItem::kRateVersion) return true;
  const char* code = element.Attribute("rateCurrency");
  if (!code || !IsBaseCurrencyForm(code)) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "rateCurrency",
                  code ? code : "");
    return false;
  }
  position.rateCurrency = code;
  for (const auto& [attribute, rate] :
       {std::pair<const char*, FxRate*>{"buyRate", &position.buyRate}, {"saleRate", &position.saleRate}}) {
    const char* text = element.Attribute(attribute);
    if (text && !ParseFxRate(text, *rate)) {
      SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", attribute, text);
      return false;
    }
  }
  return true;
}

}  // namespace

tinyxml2::XMLElement* VLStockHoldingItem::ToXml(tinyxml2::XMLDocument& doc) const {
  const bool exact = NeedsExactForm();
  tinyxml2::XMLElement* e = doc.NewElement(GetKindName(kHoldingStock).c_str());
  e->SetAttribute("version", GetVersion());
  e->SetAttribute("symbol", name.c_str());
  e->SetAttribute("qty", exact ? DecimalText(qty).c_str() : std::to_string(qty.WholePart()).c_str());
  e->SetAttribute("buyPricePerShare", PriceAttribute(buyPricePerShare, exact).c_str());
  e->SetAttribute("salePricePerShare", PriceAttribute(salePricePerShare, exact).c_str());
  e->SetAttribute("saleCommision", saleCommission);
  e->SetAttribute("perShareBuyTarget", PriceAttribute(perShareBuyTarget, exact).c_str());
  e->SetAttribute("perShareSellTarget", PriceAttribute(perShareSellTarget, exact).c_str());
  e->SetAttribute("perShareStopLossTarget", PriceAttribute(perShareStopLossTarget, exact).c_str());
  e->SetAttribute("marginable", marginable ? 1 : 0);
  e->SetAttribute("mgnEquity", mgnEquity);
  e->SetAttribute("mgnThreshold", mgnThreshold);
  // A date goes out as the stored form of its day: for days from 1970 to 2106 the same number the 32-bit
  // form of the exchange always had, earlier days as negative numbers.
  e->SetAttribute("purchaseDate", NormalisedDate(purchaseDate));
  e->SetAttribute("saleDate", NormalisedDate(saleDate));
  e->SetAttribute("comment", comment.c_str());
  if (exact) e->SetAttribute("currency", currency.c_str());
  if (paidRemainder != 0) e->SetAttribute("paidRemainder", paidRemainder);
  if (HasStoredRates()) {
    e->SetAttribute("rateCurrency", rateCurrency.c_str());
    if (buyRate.IsValid()) e->SetAttribute("buyRate", FxRateText(buyRate).c_str());
    if (saleRate.IsValid()) e->SetAttribute("saleRate", FxRateText(saleRate).c_str());
  }
  return e;
}

bool VLStockHoldingItem::FromXml(const tinyxml2::XMLElement& element, std::string& message) {
  if (!CheckXmlHeader(element, kHoldingStock, GetLatestVersion(), message)) return false;
  const char* elementName = element.Name();
  int64_t version = 0;
  (void)ReadXmlInteger(element, "version", std::numeric_limits<int32_t>::min(), kRateVersion, version);
  const bool exact = version >= kExactVersion;

  const char* symbol = element.Attribute("symbol");
  if (!symbol) {
    SetXmlMessage(message, element, "Element %s missing required attribute \"%s\".", elementName, "symbol");
    return false;
  }
  std::string trimmed(TrimBlanks(symbol));
  if (trimmed.empty()) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "symbol", symbol);
    return false;
  }
  name = AsciiUpper(trimmed);

  constexpr int64_t kU32Max = std::numeric_limits<uint32_t>::max();
  constexpr int64_t kI32Max = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMaxPrice = kMaxStoredPrice.Units();
  // A date is any number whose day lies in the range positions keep: the stored form of this version, or
  // the local midnight an older one wrote.
  const int64_t kFirstDate = DayNumberOf(kEarliestDate) * 86400 - 43199;
  const int64_t kLastDate = DayNumberOf(kLatestDate) * 86400 + 43200;
  const Field kFields[] = {
      {"qty", Quantity::kPlaces, 0, kMaxStoredQuantity.Units()},
      {"buyPricePerShare", kCentPlaces, 0, kMaxPrice},
      {"salePricePerShare", kCentPlaces, 0, kMaxPrice},
      {"saleCommision", -1, 0, kU32Max},
      {"perShareBuyTarget", kCentPlaces, 0, kMaxPrice},
      {"perShareSellTarget", kCentPlaces, 0, kMaxPrice},
      {"perShareStopLossTarget", kCentPlaces, 0, kMaxPrice},
      {"marginable", -1, 0, 1},
      {"mgnEquity", -1, 0, kI32Max},
      {"mgnThreshold", -1, 0, kU32Max},
      {"purchaseDate", -1, kFirstDate, kLastDate},
      {"saleDate", -1, kFirstDate, kLastDate},
  };
  int64_t values[std::size(kFields)] = {};
  for (size_t i = 0; i < std::size(kFields); ++i) {
    if (!ReadField(element, kFields[i], exact, values[i])) {
      SetXmlMessage(message, element, "Element %s has invalid or missing value.", kFields[i].attribute);
      return false;
    }
  }
  qty = Quantity::FromUnits(values[0]);
  buyPricePerShare = UnitPrice::FromUnits(values[1]);
  salePricePerShare = UnitPrice::FromUnits(values[2]);
  saleCommission = static_cast<uint32_t>(values[3]);
  perShareBuyTarget = UnitPrice::FromUnits(values[4]);
  perShareSellTarget = UnitPrice::FromUnits(values[5]);
  perShareStopLossTarget = UnitPrice::FromUnits(values[6]);
  marginable = values[7] != 0;
  mgnEquity = static_cast<int32_t>(values[8]);
  mgnThreshold = static_cast<uint32_t>(values[9]);
  purchaseDate = NormalisedDate(values[10]);
  saleDate = NormalisedDate(values[11]);

  if (!ReadPaidRemainder(element, version, paidRemainder, message)) return false;
  currency.clear();
  if (const char* code = exact ? element.Attribute("currency") : nullptr) {
    currency = TrimBlanks(code);
    if (!IsCurrencyCodeForm(currency)) {
      SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "currency", code);
      return false;
    }
  }
  if (!ReadStoredRates(element, version, *this, message)) return false;
  return ReadXmlTrimmedText(element, "comment", comment, message);
}
