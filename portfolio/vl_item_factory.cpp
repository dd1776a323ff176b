#include "portfolio/vl_item_factory.h"

#include "portfolio/vl_cash_holding_item.h"
#include "portfolio/vl_margin_holding_item.h"
#include "portfolio/vl_portfolio_item.h"
#include "portfolio/vl_stock_holding_item.h"
#include "portfolio/vl_stock_info_item.h"

namespace {
struct FactoryEntry {
  const char* key;
  std::unique_ptr<Item> (*create)();
};

template <typename T>
std::unique_ptr<Item> Make() {
  return std::make_unique<T>();
}

// Checked in this order.
constexpr FactoryEntry kEntries[] = {
    {"P", &Make<VLPortfolioItem>},    {"SI", &Make<VLStockInfoItem>},     {"SH", &Make<VLStockHoldingItem>},
    {"CH", &Make<VLCashHoldingItem>}, {"MH", &Make<VLMarginHoldingItem>},
};
}  // namespace

std::unique_ptr<Item> VLItemFactory::CreateItem(const std::string& typeKey) const {
  for (const FactoryEntry& e : kEntries) {
    if (typeKey == e.key) return e.create();
  }
  return nullptr;
}
