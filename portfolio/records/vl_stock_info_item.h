#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/item.h"
#include "marketdata/shared_stock_info.h"

// The cached quote of one symbol, shared by every position of that symbol. The Item name is the symbol
// in upper case. Its record is shared with the positions and their clones, not copied: a refresh replaces it
// with a new one, so what a window holds keeps the figures it was given.
class VLStockInfoItem : public Item {
 public:
  SharedStockInfo quote;
  uint32_t refCount = 0;  // grows each time a position is bound to this quote; never decremented

  using Item::CopyFrom;
  using Item::CopyTo;
  [[nodiscard]] bool CopyTo(VLStockInfoItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLStockInfoItem* other);
  std::unique_ptr<Item> Clone() const override;

  std::string GetTypeName() const override { return "SI"; }
  int32_t GetVersion() const override { return 1; }
  // "SI", 1, the Item level with the symbol complemented, the quote record, then refCount.
  SerializeResult Serialize(Archive* ar) override;
};
