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

int32_t VLHoldingItem::Serialize(Archive* ar) {
  if (int32_t rc = SerializeTypeHeader(ar, *this); rc != kSerializeOk) return rc;
  if (int32_t rc = SerializeItemLevel(ar, true); rc != kSerializeOk) return rc;
  ar->Io(ownerPortfolioId);
  return kSerializeOk;
}
