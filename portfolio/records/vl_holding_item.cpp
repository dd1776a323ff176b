#include "portfolio/records/vl_holding_item.h"

#include "framework/archive.h"

bool VLHoldingItem::CopyTo(VLHoldingItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->ownerPortfolioId = ownerPortfolioId;
  return true;
}

bool VLHoldingItem::CopyFrom(const VLHoldingItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

SerializeResult VLHoldingItem::Serialize(Archive* ar) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, true); rc != SerializeResult::Ok) return rc;
  ar->Io(ownerPortfolioId);
  return SerializeResult::Ok;
}
