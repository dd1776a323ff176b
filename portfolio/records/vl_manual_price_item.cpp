#include "portfolio/records/vl_manual_price_item.h"

#include "framework/archive.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/records/calendar_date.h"

bool VLManualPriceItem::FitsRecord() const {
  if (name.empty() || FindTextFault(name, kMaxSymbolCharacters) != TextFault::None) return false;
  if (date == 0) return false;
  const int64_t day = DayNumberOfStoredDate(date);
  if (day < DayNumberOf(kEarliestDate) || day > DayNumberOf(kLatestDate)) return false;
  return price.Units() > 0 && price <= kMaxStoredPrice;
}

bool VLManualPriceItem::CopyTo(VLManualPriceItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->date = date;
  other->price = price;
  return true;
}

bool VLManualPriceItem::CopyFrom(const VLManualPriceItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLManualPriceItem::Clone() const {
  auto copy = std::make_unique<VLManualPriceItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

SerializeResult VLManualPriceItem::Serialize(Archive* ar) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, false); rc != SerializeResult::Ok) return rc;
  ar->IoTime(date);
  int64_t units = price.Units();
  ar->IoInt64(units);
  price = UnitPrice::FromUnits(units);
  if (ar->IsLoading() && !FitsRecord()) return SerializeResult::Failed;
  return SerializeResult::Ok;
}
