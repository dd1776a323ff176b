#include "portfolio/records/vl_margin_holding_item.h"

#include <tinyxml2.h>

#include "framework/archive.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/holding_xml.h"

int32_t VLMarginHoldingItem::Serialize(Archive* ar) {
  if (int32_t rc = SerializeTypeHeader(ar, *this); rc != kSerializeOk) return rc;
  if (int32_t rc = VLHoldingItem::Serialize(ar); rc != kSerializeOk) return rc;
  ar->Io(amountOwed);
  return kSerializeOk;
}

void VLMarginHoldingItem::GetColumnText(int column, std::string& text) const {
  text.clear();
  if (column == kColSymbol) text = "[Margin]";
  if (column == kColName) text = name;
  if (column == kColCurrValue) text = LocaleNumber("-" + CentsText(amountOwed));
}

double VLMarginHoldingItem::GetColumnValue(int column) const {
  return column == kColCurrValue ? -static_cast<double>(amountOwed) / 100.0 : 0.0;
}

bool VLMarginHoldingItem::CopyTo(VLMarginHoldingItem* other) const {
  if (!other || !VLHoldingItem::CopyTo(static_cast<VLHoldingItem*>(other))) return false;
  other->amountOwed = amountOwed;
  return true;
}

bool VLMarginHoldingItem::CopyFrom(const VLMarginHoldingItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLMarginHoldingItem::Clone() const {
  auto copy = std::make_unique<VLMarginHoldingItem>();
  CopyTo(copy.get());
  return copy;
}

tinyxml2::XMLElement* VLMarginHoldingItem::ToXml(tinyxml2::XMLDocument& doc) const {
  tinyxml2::XMLElement* e = doc.NewElement(GetKindName(kHoldingMargin).c_str());
  e->SetAttribute("version", GetVersion());
  e->SetAttribute("amountOwed", amountOwed);
  e->SetAttribute("comment", name.c_str());
  return e;
}

bool VLMarginHoldingItem::FromXml(const tinyxml2::XMLElement& element, std::string& message) {
  if (!CheckXmlHeader(element, kHoldingMargin, GetVersion(), message)) return false;
  const char* raw = element.Attribute("amountOwed");
  if (!ParseXmlCents(raw, amountOwed)) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", "amountOwed",
                  raw ? raw : "");
    return false;
  }
  return ReadXmlTrimmedText(element, "comment", name, message);
}
