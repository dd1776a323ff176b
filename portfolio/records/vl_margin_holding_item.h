#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "portfolio/records/vl_holding_item.h"

// A margin debt: the amount owed in cents, shown negated. The Item name is its comment.
class VLMarginHoldingItem : public VLHoldingItem {
 public:
  uint32_t amountOwed = 0;

  std::string GetTypeName() const override { return "MH"; }
  int32_t GetVersion() const override { return 1; }
  int32_t GetKind() const override { return kHoldingMargin; }
  // "MH", 1, the holding level, then amountOwed.
  int32_t Serialize(Archive* ar) override;

  // "[Margin]", the comment and the amount owed as a negative figure; every other cell is empty.
  void GetColumnText(int column, std::string& text) const override;
  // -amountOwed / 100 for "Curr Value" (so it sorts as it reads), 0 otherwise.
  double GetColumnValue(int column) const override;
  VLCurrency GetCurrentValue() const override { return VLCurrency::FromCents(amountOwed); }
  VLCurrency GetTotalPaid() const override { return {}; }
  int32_t GetValueChange() const override { return 0; }
  int32_t GetPercentChange() const override { return 0; }

  tinyxml2::XMLElement* ToXml(tinyxml2::XMLDocument& doc) const override;
  bool FromXml(const tinyxml2::XMLElement& element, std::string& message) override;

  using VLHoldingItem::CopyFrom;
  using VLHoldingItem::CopyTo;
  bool CopyTo(VLMarginHoldingItem* other) const;
  bool CopyFrom(const VLMarginHoldingItem* other);
  std::unique_ptr<Item> Clone() const override;
};
