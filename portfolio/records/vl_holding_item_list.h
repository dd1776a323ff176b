#pragma once
#include <string>

#include "framework/item_list.h"
#include "portfolio/records/vl_item_factory.h"

// The owning list of a database's positions (stock, cash and margin), stored under the type name "HIList".
class VLHoldingItemList : public ItemList {
 public:
  std::string GetTypeName() const override { return "HIList"; }
  // One factory for the whole process, shared by every list of this class.
  IItemFactory* GetItemFactory() const override {
    static VLItemFactory factory(VLItemFactory::kPositions);
    return &factory;
  }
};
