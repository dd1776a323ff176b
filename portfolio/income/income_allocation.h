#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

// How a portfolio's payments are shared among its positions: each record among the positions of its symbol
// that were entitled to it (income_entitlement.h), by the shares each held, in whole cents. The cents a
// division leaves go one each to the largest remainders, ties to the older purchase (a purchase of no known
// day counts as the oldest, then the lower id).

using PositionIncome = VLStockHoldingItem::Income;

// `cents` shared by `weights` (not below 0): the parts add up to `cents` exactly (either sign). `order` ranks
// the parts for the remainders' ties, lower first. All 0 when the weights are.
std::vector<int64_t> ShareCents(int64_t cents, const std::vector<int64_t>& weights,
                                const std::vector<size_t>& order);

// Each position's part of `income` (the records of one portfolio, among its stock positions `positions`);
// positions entitled to no payment are left out. `today` is a day number.
std::unordered_map<uint32_t, PositionIncome> AllocateIncome(
    const std::vector<const VLStockHoldingItem*>& positions, const std::vector<VLIncomeItem>& income,
    int64_t today);
