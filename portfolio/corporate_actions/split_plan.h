#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_stock_holding_item.h"

// How one split changes one position. A split of `oldShares` into `newShares` multiplies the shares by
// newShares / oldShares and divides the prices per share by it; what was paid stays what was paid.

struct SplitRatio {
  uint32_t newShares = 0;
  uint32_t oldShares = 0;
};

// "N:D" (3:1, 1:10) in lowest terms: false for anything else, a count of 0 or above 4,294,967,295, or a
// ratio of 1.
bool ParseSplitRatio(std::string_view text, SplitRatio& ratio);
// The same for two counts: false for a count of 0 or above 4,294,967,295, or a ratio of 1.
bool MakeSplitRatio(int64_t newShares, int64_t oldShares, SplitRatio& ratio);
std::string SplitRatioText(SplitRatio ratio);

// Whether the split of the day `exDay` (a day number) changes the position: bought before the day (or on an
// unknown day) and not sold before it. Its shares and prices are then in the old shares.
bool SplitApplies(const VLStockHoldingItem& stock, int64_t exDay);

enum class SplitFault {
  None,
  // The new quantity needs more than the eight decimals a quantity keeps, and no cash-in-lieu price was
  // given for the fraction.
  Fraction,
  // The new quantity or a price lies beyond what a record holds.
  Limits,
  // A fraction would be paid in cash for a position that keeps no whole share but was sold later.
  SoldWithoutShares,
};

struct SplitOfPosition {
  VLStockHoldingItem after;  // the position in new shares: the whole shares when a fraction is paid in cash
  // The fraction of a new share paid in cash on the day (0: none), and its part of the purchase commission:
  // a piece of its own, sold on the day at the cash-in-lieu price as a partial sale makes it.
  Quantity fraction;
  uint32_t fractionCommission = 0;
  int32_t fractionRemainder = 0;  // its part of the paid remainder
};

// The position after the split: quantity x n/d, prices per share x d/n. What was paid stays what it was to
// the cent: the buy price is the price of 0.000001 nearest to the exact one at which the new quantity costs
// what the old one did; when no such price exists (many shares: each 0.000001 of the price moves the cost by
// more than a cent), the price is the exact one rounded and the cents it misses are the position's paid
// remainder. Targets are rounded to 0.000001 (a target never becomes 0). A sale price is left as it is (a
// sale on or after the day is in new shares). With a cash-in-lieu price (above 0), a new quantity with a
// fraction keeps its whole shares and the fraction is paid out (a held position with no whole share left is
// sold whole).
SplitFault SplitPosition(const VLStockHoldingItem& before, SplitRatio ratio, UnitPrice cashInLieu,
                         SplitOfPosition& out);

// Copies what SplitPosition changes (quantity, buy price, commission, paid remainder, targets) from its
// result into the position.
void TakeSplitFields(const VLStockHoldingItem& from, VLStockHoldingItem& to);

// The price of 0.000001 nearest to `wanted` at which `quantity` costs `cents` (rounded as every product
// is); false when there is none.
bool PriceKeepingCost(Quantity quantity, UnitPrice wanted, int64_t cents, UnitPrice& price);
