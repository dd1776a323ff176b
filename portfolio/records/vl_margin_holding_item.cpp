#include "portfolio/records/vl_margin_holding_item.h"

const VLAmountHoldingItem::AmountShape& VLMarginHoldingItem::GetShape() const {
  static const AmountShape shape{"[Margin]", "amountOwed", true};
  return shape;
}

std::unique_ptr<Item> VLMarginHoldingItem::Clone() const {
  auto copy = std::make_unique<VLMarginHoldingItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}
