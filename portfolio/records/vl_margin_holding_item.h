#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "portfolio/records/vl_amount_holding_item.h"

// A margin debt: the amount owed in cents, shown negated. The Item name is its comment. Record, cells and XML
// are those of VLAmountHoldingItem.
class VLMarginHoldingItem : public VLAmountHoldingItem {
 public:
  uint32_t amountOwed = 0;

  std::string GetTypeName() const override { return "MH"; }
  int32_t GetKind() const override { return kHoldingMargin; }
  uint32_t GetAmount() const override { return amountOwed; }
  void SetAmount(uint32_t cents) override { amountOwed = cents; }

  using VLHoldingItem::CopyFrom;
  using VLHoldingItem::CopyTo;
  [[nodiscard]] bool CopyTo(VLMarginHoldingItem* other) const { return CopyAmountTo(other); }
  [[nodiscard]] bool CopyFrom(const VLMarginHoldingItem* other) { return other && other->CopyTo(this); }
  std::unique_ptr<Item> Clone() const override;

 protected:
  const AmountShape& GetShape() const override;
};
