#include "portfolio/records/vl_stock_info_item.h"

#include "framework/archive.h"

bool VLStockInfoItem::CopyTo(VLStockInfoItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->quote = quote;
  other->refCount = refCount;
  return true;
}

bool VLStockInfoItem::CopyFrom(const VLStockInfoItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLStockInfoItem::Clone() const {
  auto copy = std::make_unique<VLStockInfoItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

SerializeResult VLStockInfoItem::Serialize(Archive* ar) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, true); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = quote.Serialize(ar); rc != SerializeResult::Ok) return rc;
  ar->Io(refCount);
  return SerializeResult::Ok;
}
