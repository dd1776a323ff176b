#include "portfolio/records/vl_item_factory.h"

#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_corporate_action_item.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_manual_price_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {
struct FactoryEntry {
  const char* key;
  unsigned family;
  std::unique_ptr<Item> (*create)();
};

template <typename T>
std::unique_ptr<Item> Make() {
  return std::make_unique<T>();
}

// Checked in this order.
constexpr FactoryEntry kEntries[] = {
    {"P", VLItemFactory::kPortfolios, &Make<VLPortfolioItem>},
    {"SI", VLItemFactory::kQuotes, &Make<VLStockInfoItem>},
    {"SH", VLItemFactory::kPositions, &Make<VLStockHoldingItem>},
    {"CH", VLItemFactory::kPositions, &Make<VLCashHoldingItem>},
    {"MH", VLItemFactory::kPositions, &Make<VLMarginHoldingItem>},
    {"MP", VLItemFactory::kManualPrices, &Make<VLManualPriceItem>},
    {"CA", VLItemFactory::kCorporateActions, &Make<VLCorporateActionItem>},
    {"IN", VLItemFactory::kIncome, &Make<VLIncomeItem>},
};
}  // namespace

std::unique_ptr<Item> VLItemFactory::CreateItem(const std::string& typeKey) const {
  for (const FactoryEntry& e : kEntries) {
    if (typeKey == e.key) return (families & e.family) != 0 ? e.create() : nullptr;
  }
  return nullptr;
}
