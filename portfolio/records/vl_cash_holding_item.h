#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "portfolio/records/vl_amount_holding_item.h"

// A cash position: a balance in cents. The Item name is its comment. Record, cells and XML are those of
// VLAmountHoldingItem.
class VLCashHoldingItem : public VLAmountHoldingItem {
 public:
  uint32_t amount = 0;

  std::string GetTypeName() const override { return "CH"; }
  int32_t GetKind() const override { return kHoldingCash; }
  uint32_t GetAmount() const override { return amount; }
  void SetAmount(uint32_t cents) override { amount = cents; }

  using VLHoldingItem::CopyFrom;
  using VLHoldingItem::CopyTo;
  [[nodiscard]] bool CopyTo(VLCashHoldingItem* other) const { return CopyAmountTo(other); }
  [[nodiscard]] bool CopyFrom(const VLCashHoldingItem* other) { return other && other->CopyTo(this); }
  std::unique_ptr<Item> Clone() const override;

 protected:
  const AmountShape& GetShape() const override;
};
