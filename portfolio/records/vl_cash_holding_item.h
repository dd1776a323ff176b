#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "portfolio/records/vl_holding_item.h"

// A cash position: a balance in cents. The Item name is its comment.
class VLCashHoldingItem : public VLHoldingItem {
 public:
  uint32_t amount = 0;

  std::string GetTypeName() const override { return "CH"; }
  int32_t GetVersion() const override { return 1; }
  int32_t GetKind() const override { return kHoldingCash; }
  // "CH", 1, the holding level, then amount.
  int32_t Serialize(Archive* ar) override;

  // "[Cash]", the comment and the amount; every other cell is empty.
  void GetColumnText(int column, std::string& text) const override;
  // amount / 100 for "Curr Value", 0 otherwise.
  double GetColumnValue(int column) const override;
  VLCurrency GetCurrentValue() const override { return VLCurrency::FromCents(amount); }
  VLCurrency GetTotalPaid() const override { return {}; }
  int32_t GetValueChange() const override { return 0; }
  int32_t GetPercentChange() const override { return 0; }

  tinyxml2::XMLElement* ToXml(tinyxml2::XMLDocument& doc) const override;
  bool FromXml(const tinyxml2::XMLElement& element, std::string& message) override;

  using VLHoldingItem::CopyFrom;
  using VLHoldingItem::CopyTo;
  bool CopyTo(VLCashHoldingItem* other) const;
  bool CopyFrom(const VLCashHoldingItem* other);
  std::unique_ptr<Item> Clone() const override;
};
