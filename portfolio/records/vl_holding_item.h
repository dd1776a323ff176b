#pragma once
#include <cstdint>
#include <string>

#include "framework/item.h"
#include "portfolio/records/vl_currency.h"

namespace tinyxml2 {
class XMLDocument;
class XMLElement;
}  // namespace tinyxml2

// Position kinds, as GetKind() answers them.
enum HoldingKind : int32_t { kHoldingStock = 0, kHoldingCash = 1, kHoldingMargin = 2 };

// A position of a portfolio: a stock position, a cash position or a margin debt. Amounts are whole cents,
// dates seconds since 1970 UTC (0 = not set). The Item name is the symbol of a stock position and the
// comment of a cash or margin position.
class VLHoldingItem : public Item {
 public:
  uint32_t ownerPortfolioId = 0;

  virtual int32_t GetKind() const = 0;
  // The cell text of a list column (column_catalog.h lists the ids).
  virtual void GetColumnText(int column, std::string& text) const = 0;
  // The number a column sorts by, also used by the alerts.
  virtual double GetColumnValue(int column) const = 0;
  virtual VLCurrency GetCurrentValue() const = 0;
  virtual VLCurrency GetTotalPaid() const = 0;
  virtual int64_t GetValueChange() const = 0;    // cents
  virtual int32_t GetPercentChange() const = 0;  // percent times 100
  // Whether the record holds something the first release's forms cannot, so that the database must be
  // written in a later version (an earlier program then refuses it as newer).
  virtual bool NeedsLaterForm() const { return false; }

  // A new element made by `doc`; the document owns it (tinyxml2 elements always belong to a document)
  // until the caller inserts or deletes it.
  virtual tinyxml2::XMLElement* ToXml(tinyxml2::XMLDocument& doc) const = 0;
  // Reads the element; on failure returns false with a "Line %d: ..." message, the holding partly filled.
  [[nodiscard]] virtual bool FromXml(const tinyxml2::XMLElement& element, std::string& message) = 0;

  using Item::CopyFrom;
  using Item::CopyTo;
  // The Item fields, then ownerPortfolioId; false for null.
  [[nodiscard]] virtual bool CopyTo(VLHoldingItem* other) const;
  [[nodiscard]] virtual bool CopyFrom(const VLHoldingItem* other);

  // The holding level: its own type key and version, the Item level with the name complemented, then
  // ownerPortfolioId. Concrete kinds write their key and version before it and their fields after it.
  SerializeResult Serialize(Archive* ar) override;
};
