#pragma once
#include <cstdint>
#include <string>

#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

// Which positions a payment was for. A stock position is entitled to a payment of its symbol when it was
// bought before the payment's ex-date (else its pay date; a position of no known day counts) and not sold
// before it.

// The day (a day number) that decides entitlement: the ex-date, else the pay date.
int64_t EntitlementDay(const VLIncomeItem& income);

bool IsEntitled(const VLStockHoldingItem& stock, int64_t entitlementDay);

// The shares of `symbol` (any letter case) the portfolio's positions among `positions` held entitled on
// `entitlementDay`.
Quantity EntitledShares(const VLHoldingItemList& positions, uint32_t portfolioId, const std::string& symbol,
                        int64_t entitlementDay);
