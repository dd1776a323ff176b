#include "portfolio/records/vl_portfolio_item.h"

#include "framework/archive.h"
#include "portfolio/records/currency_units.h"

bool VLPortfolioItem::CopyTo(VLPortfolioItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->comment = comment;
  other->created = created;
  other->modified = modified;
  other->baseCurrency = baseCurrency;
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
  int32_t version = 0;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this, &version); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, true); rc != SerializeResult::Ok) return rc;
  ar->IoScrambled(comment);
  ar->IoTime(created);
  ar->IoTime(modified);
  if (ar->IsLoading()) baseCurrency.clear();
  if (version >= kBaseCurrencyVersion) {
    ar->Io(baseCurrency);
    // The later form exists only to hold a base currency: three capital letters.
    if (!IsBaseCurrencyForm(baseCurrency)) return SerializeResult::Failed;
  }
  return SerializeResult::Ok;
}
