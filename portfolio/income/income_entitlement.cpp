#include "portfolio/income/income_entitlement.h"

#include "framework/text_util.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"

int64_t EntitlementDay(const VLIncomeItem& income) {
  return DayNumberOfStoredDate(income.exDate != 0 ? income.exDate : income.payDate);
}

bool IsEntitled(const VLStockHoldingItem& stock, int64_t entitlementDay) {
  return stock.HeldAtStartOf(entitlementDay);
}

Quantity EntitledShares(const VLHoldingItemList& positions, uint32_t portfolioId, const std::string& symbol,
                        int64_t entitlementDay) {
  Quantity shares;
  for (const auto& item : positions) {
    const auto* stock = AsStock(static_cast<const VLHoldingItem*>(item.get()));
    if (!stock || stock->ownerPortfolioId != portfolioId || !EqualNoCase(stock->name, symbol)) continue;
    if (IsEntitled(*stock, entitlementDay)) shares += stock->qty;
  }
  return shares;
}
