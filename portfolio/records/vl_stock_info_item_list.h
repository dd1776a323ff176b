#pragma once
#include <string>

#include "framework/item_list.h"
#include "portfolio/records/vl_item_factory.h"

// The owning list of a database's cached quotes, stored under the type name "SIIList".
class VLStockInfoItemList : public ItemList {
 public:
  std::string GetTypeName() const override { return "SIIList"; }
  // One factory for the whole process, shared by every list of this class.
  IItemFactory* GetItemFactory() const override {
    static VLItemFactory factory(VLItemFactory::kQuotes);
    return &factory;
  }
};
