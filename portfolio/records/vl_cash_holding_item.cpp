#include "portfolio/records/vl_cash_holding_item.h"

#include <tinyxml2.h>

#include "framework/archive.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/holding_xml.h"

int32_t VLCashHoldingItem::Serialize(Archive* ar) {
  if (int32_t rc = SerializeTypeHeader(ar, *this); rc != kSerializeOk) return rc;
  if (int32_t rc = VLHoldingItem::Serialize(ar); rc != kSerializeOk) return rc;
  ar->Io(amount);
  return kSerializeOk;
}

void VLCashHoldingItem::GetColumnText(int column, std::string& text) const {
  text.clear();
  if (column == kColSymbol) text = "[Cash]";
  if (column == kColName) text = name;
  if (column == kColCurrValue) text = LocaleNumber(CentsText(amount));
}

double VLCashHoldingItem::GetColumnValue(int column) const {
  return column == kColCurrValue ? static_cast<double>(amount) / 100.0 : 0.0;
}

bool VLCashHoldingItem::CopyTo(VLCashHoldingItem* other) const {
  if (!other || !VLHoldingItem::CopyTo(static_cast<VLHoldingItem*>(other))) return false;
  other->amount = amount;
  return true;
}

bool VLCashHoldingItem::CopyFrom(const VLCashHoldingItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLCashHoldingItem::Clone() const {
  auto copy = std::make_unique<VLCashHoldingItem>();
  CopyTo(copy.get());
  return copy;
}

tinyxml2::XMLElement* VLCashHoldingItem::ToXml(tinyxml2::XMLDocument& doc) const {
  tinyxml2::XMLElement* e = doc.NewElement(GetKindName(kHoldingCash).c_str());
  e->SetAttribute("version", GetVersion());
  e->SetAttribute("amount", amount);
  e->SetAttribute("comment", name.c_str());
  return e;
}

bool VLCashHoldingItem::FromXml(const tinyxml2::XMLElement& element, std::string& message) {
  if (!CheckXmlHeader(element, kHoldingCash, GetVersion(), message)) return false;
  const char* raw = element.Attribute("amount");
  if (!ParseXmlCents(raw, amount)) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "amount", raw ? raw : "");
    return false;
  }
  return ReadXmlTrimmedText(element, "comment", name, message);
}
