#include "portfolio/records/vl_cash_holding_item.h"

const VLAmountHoldingItem::AmountShape& VLCashHoldingItem::GetShape() const {
  static const AmountShape shape{"[Cash]", "amount", false};
  return shape;
}

std::unique_ptr<Item> VLCashHoldingItem::Clone() const {
  auto copy = std::make_unique<VLCashHoldingItem>();
  CopyTo(copy.get());
  return copy;
}
