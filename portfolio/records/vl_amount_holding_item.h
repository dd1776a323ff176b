#pragma once
#include <cstdint>
#include <string>

#include "portfolio/records/vl_holding_item.h"

// The shared body of the positions that are one amount in cents and a comment (the Item name): cash and
// margin debt. Each keeps its own class, field name, type name and XML element; the record, the cells and
// the XML are written here once.
class VLAmountHoldingItem : public VLHoldingItem {
 public:
  // The day of the statement that last set the balance (stored as positions store their days,
  // calendar_date.h); 0 when none did, or the balance was typed. An older statement leaves it alone.
  int64_t balanceDate = 0;

  // Version 1 as the first release wrote it; 2 when the balance carries the day of its statement.
  static constexpr int32_t kFirstVersion = 1;
  static constexpr int32_t kDatedVersion = 2;
  int32_t GetVersion() const override { return balanceDate != 0 ? kDatedVersion : kFirstVersion; }
  int32_t GetLatestVersion() const override { return kDatedVersion; }
  bool NeedsLaterForm() const override { return balanceDate != 0; }
  // The type header, the holding level, the amount, then (version 2) the statement's day.
  SerializeResult Serialize(Archive* ar) override;

  // The symbol text, the comment and the amount; every other cell is empty.
  void GetColumnText(int column, std::string& text) const override;
  // The amount / 100 for "Curr Value" (negated where the position shows it negative), 0 otherwise.
  double GetColumnValue(int column) const override;
  VLCurrency GetCurrentValue() const override { return VLCurrency::FromCents(GetAmount()); }
  VLCurrency GetTotalPaid() const override { return {}; }
  int64_t GetValueChange() const override { return 0; }
  int32_t GetPercentChange() const override { return 0; }

  tinyxml2::XMLElement* ToXml(tinyxml2::XMLDocument& doc) const override;
  [[nodiscard]] bool FromXml(const tinyxml2::XMLElement& element, std::string& message) override;

  virtual uint32_t GetAmount() const = 0;
  virtual void SetAmount(uint32_t cents) = 0;

 protected:
  // What tells the kinds apart.
  struct AmountShape {
    const char* symbol;     // the "Symbol" cell: "[Cash]"
    const char* attribute;  // the amount's XML attribute
    bool negative;          // shown and sorted as a negative figure
  };
  virtual const AmountShape& GetShape() const = 0;

  // The holding fields and the amount into `other`, which must be of the same kind.
  [[nodiscard]] bool CopyAmountTo(VLAmountHoldingItem* other) const;
};
