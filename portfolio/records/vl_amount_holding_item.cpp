#include "portfolio/records/vl_amount_holding_item.h"

#include <tinyxml2.h>

#include "framework/archive.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/holding_xml.h"

SerializeResult VLAmountHoldingItem::Serialize(Archive* ar) {
  int32_t version = 0;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this, &version); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = VLHoldingItem::Serialize(ar); rc != SerializeResult::Ok) return rc;
  uint32_t amount = GetAmount();
  ar->Io(amount);
  SetAmount(amount);
  if (version >= kDatedVersion) {
    ar->IoTime(balanceDate);
    // A day no position could carry is no statement's day.
    if (ar->IsLoading() && (balanceDate <= 0 || balanceDate > StoredDateOf(kLatestDate))) {
      return SerializeResult::Failed;
    }
  } else if (ar->IsLoading()) {
    balanceDate = 0;
  }
  return SerializeResult::Ok;
}

void VLAmountHoldingItem::GetColumnText(int column, std::string& text) const {
  text.clear();
  if (column == kColSymbol) text = GetShape().symbol;
  if (column == kColName) text = name;
  if (column == kColCurrValue) text = LocaleNumber((GetShape().negative ? "-" : "") + CentsText(GetAmount()));
}

double VLAmountHoldingItem::GetColumnValue(int column) const {
  if (column != kColCurrValue) return 0.0;
  const double value = static_cast<double>(GetAmount()) / 100.0;
  return GetShape().negative ? -value : value;
}

bool VLAmountHoldingItem::CopyAmountTo(VLAmountHoldingItem* other) const {
  if (!other || !VLHoldingItem::CopyTo(static_cast<VLHoldingItem*>(other))) return false;
  other->SetAmount(GetAmount());
  other->balanceDate = balanceDate;
  return true;
}

tinyxml2::XMLElement* VLAmountHoldingItem::ToXml(tinyxml2::XMLDocument& doc) const {
  tinyxml2::XMLElement* e = doc.NewElement(GetKindName(GetKind()).c_str());
  // The element keeps its first form: the day of a statement's balance is the database's bookkeeping for
  // later statements, not part of the position a file carries.
  e->SetAttribute("version", kFirstVersion);
  e->SetAttribute(GetShape().attribute, GetAmount());
  e->SetAttribute("comment", name.c_str());
  return e;
}

bool VLAmountHoldingItem::FromXml(const tinyxml2::XMLElement& element, std::string& message) {
  if (!CheckXmlHeader(element, GetKind(), kFirstVersion, message)) return false;
  const char* attribute = GetShape().attribute;
  const char* raw = element.Attribute(attribute);
  uint32_t amount = GetAmount();
  const bool parsed = ParseXmlCents(raw, amount);
  SetAmount(amount);
  if (!parsed) {
    SetXmlMessage(message, element, "Attribute \"%s\" has invalid value \"%s\".", attribute, raw ? raw : "");
    return false;
  }
  return ReadXmlTrimmedText(element, "comment", name, message);
}
