#pragma once
#include <string>

#include "framework/item_list.h"
#include "portfolio/records/vl_item_factory.h"

// The owning list of a database's portfolios, stored under the type name "PIList".
class VLPortfolioItemList : public ItemList {
 public:
  std::string GetTypeName() const override { return "PIList"; }
  // One factory for the whole process, shared by every list of this class.
  IItemFactory* GetItemFactory() const override {
    static VLItemFactory factory(VLItemFactory::kPortfolios);
    return &factory;
  }
};
