#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/item.h"
#include "framework/item_list.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_item_factory.h"

// A price per share set by hand for a symbol the market-data service does not know (a fund, an ISIN, a
// delisted share), on one day. The Item name is the symbol in upper case; a symbol has at most one price a
// day. The newest one stands for the symbol's last trade while the service does not know the symbol, and
// every one of them is a close on its day for the returns over time.
class VLManualPriceItem : public Item {
 public:
  int64_t date = 0;  // the day, stored as positions store theirs (calendar_date.h)
  UnitPrice price;   // greater than 0, at most kMaxStoredPrice (as a position's price per share)

  // Whether the record holds what a stored one may: a symbol of 1 to kMaxSymbolCharacters characters, a
  // date and a price within their limits.
  bool FitsRecord() const;

  using Item::CopyFrom;
  using Item::CopyTo;
  [[nodiscard]] bool CopyTo(VLManualPriceItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLManualPriceItem* other);
  std::unique_ptr<Item> Clone() const override;

  std::string GetTypeName() const override { return "MP"; }
  int32_t GetVersion() const override { return 1; }
  // "MP", 1, the Item level (plain name), the date, the price as a count of 1e-6. A loaded record whose
  // symbol, date or price a record cannot hold fails (Failed).
  SerializeResult Serialize(Archive* ar) override;
};

// The owning list of a database's prices set by hand, stored under the type name "MPList".
class VLManualPriceItemList : public ItemList {
 public:
  std::string GetTypeName() const override { return "MPList"; }
  IItemFactory* GetItemFactory() const override {
    static VLItemFactory factory(VLItemFactory::kManualPrices);
    return &factory;
  }
};
