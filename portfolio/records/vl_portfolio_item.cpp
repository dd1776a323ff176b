#include "portfolio/records/vl_portfolio_item.h"

#include "framework/archive.h"

bool VLPortfolioItem::CopyTo(VLPortfolioItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->comment = comment;
  other->created = created;
  other->modified = modified;
  return true;
}

bool VLPortfolioItem::CopyFrom(const VLPortfolioItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLPortfolioItem::Clone() const {
  auto copy = std::make_unique<VLPortfolioItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

SerializeResult VLPortfolioItem::Serialize(Archive* ar) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, true); rc != SerializeResult::Ok) return rc;
  ar->IoScrambled(comment);
  ar->IoTime(created);
  ar->IoTime(modified);
  return SerializeResult::Ok;
}
