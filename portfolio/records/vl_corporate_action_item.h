#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/item.h"
#include "framework/item_list.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_item_factory.h"

// What a company did to its shares on a day, recorded once and applied to every position of its symbol:
// a split of `oldShares` into `newShares` (3:1 makes three shares of one, 1:10 one of ten), or a change of
// its symbol to `newSymbol`. The Item name is the symbol in upper case as it was before the day. A symbol
// has at most one action of a kind a day.
enum class CorporateActionKind : int32_t { Split = 1, SymbolChange = 2 };

class VLCorporateActionItem : public Item {
 public:
  int64_t exDate = 0;  // the first day of the new shares or symbol, stored as positions store dates
  CorporateActionKind kind = CorporateActionKind::Split;
  uint32_t newShares = 0;  // a split's ratio in lowest terms: both above 0, not equal
  uint32_t oldShares = 0;
  std::string newSymbol;  // a symbol change's new symbol (upper case); empty for a split
  UnitPrice cashInLieu;   // a split's price per new share paid for the fractions it sold; 0 for none
  std::string comment;

  // Whether the record holds what a stored one may: a symbol (and for a change, a different new one) of 1 to
  // kMaxSymbolCharacters characters, a day within the supported dates, a split's ratio in lowest terms, a
  // price within a position's limits and a comment within the text limits.
  bool FitsRecord() const;

  using Item::CopyFrom;
  using Item::CopyTo;
  [[nodiscard]] bool CopyTo(VLCorporateActionItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLCorporateActionItem* other);
  std::unique_ptr<Item> Clone() const override;

  std::string GetTypeName() const override { return "CA"; }
  int32_t GetVersion() const override { return 1; }
  // "CA", 1, the Item level (plain name), the day, the kind, the two share counts, the new symbol, the
  // cash-in-lieu price as a count of 1e-6 and the comment. A loaded record that a record cannot hold fails.
  SerializeResult Serialize(Archive* ar) override;
};

// The owning list of a database's corporate actions, stored under the type name "CAList".
class VLCorporateActionItemList : public ItemList {
 public:
  std::string GetTypeName() const override { return "CAList"; }
  IItemFactory* GetItemFactory() const override {
    static VLItemFactory factory(VLItemFactory::kCorporateActions);
    return &factory;
  }
};
