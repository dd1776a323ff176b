#include "portfolio/corporate_actions/split_plan.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "portfolio/records/calendar_date.h"

namespace {

constexpr Int128 kProductUnitsPerCent = static_cast<Int128>(Quantity::kScale) * UnitPrice::kScale / 100;

bool ParseCount(std::string_view text, int64_t& count) {
  if (text.empty() || text.size() > 10) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  return error == std::errc() && end == text.data() + text.size();
}

Int128 CeilDiv(Int128 a, Int128 b) {  // b > 0
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// A target per share in new shares; one that was set stays set.
UnitPrice ScaledTarget(UnitPrice target, SplitRatio ratio) {
  if (target.IsZero()) return target;
  UnitPrice scaled;
  if (!target.ScaledRounded(ratio.oldShares, ratio.newShares, scaled)) return target;
  return scaled.IsZero() ? UnitPrice::FromUnits(1) : scaled;
}

}  // namespace

bool ParseSplitRatio(std::string_view text, SplitRatio& ratio) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  int64_t newShares = 0;
  int64_t oldShares = 0;
  return ParseCount(text.substr(0, colon), newShares) && ParseCount(text.substr(colon + 1), oldShares) &&
         MakeSplitRatio(newShares, oldShares, ratio);
}

bool MakeSplitRatio(int64_t newShares, int64_t oldShares, SplitRatio& ratio) {
  if (newShares <= 0 || oldShares <= 0 || newShares > UINT32_MAX || oldShares > UINT32_MAX) return false;
  if (newShares == oldShares) return false;
  const int64_t common = std::gcd(newShares, oldShares);
  ratio = {static_cast<uint32_t>(newShares / common), static_cast<uint32_t>(oldShares / common)};
  return true;
}

std::string SplitRatioText(SplitRatio ratio) {
  return std::to_string(ratio.newShares) + ":" + std::to_string(ratio.oldShares);
}

bool SplitApplies(const VLStockHoldingItem& stock, int64_t exDay) {
  return stock.HeldAtStartOf(exDay);
}

void TakeSplitFields(const VLStockHoldingItem& from, VLStockHoldingItem& to) {
  to.qty = from.qty;
  to.buyPricePerShare = from.buyPricePerShare;
  to.buyCommission = from.buyCommission;
  to.paidRemainder = from.paidRemainder;
  to.perShareBuyTarget = from.perShareBuyTarget;
  to.perShareSellTarget = from.perShareSellTarget;
  to.perShareStopLossTarget = from.perShareStopLossTarget;
}

bool PriceKeepingCost(Quantity quantity, UnitPrice wanted, int64_t cents, UnitPrice& price) {
  const Int128 q = quantity.Units();
  if (q <= 0) {
    price = wanted;
    return cents == 0;
  }
  // A product rounds to `cents` when it lies in [cents - 1/2, cents + 1/2) of a cent (half away from zero,
  // every value here being at least 0).
  const Int128 low = static_cast<Int128>(cents) * kProductUnitsPerCent - kProductUnitsPerCent / 2;
  const Int128 high = static_cast<Int128>(cents) * kProductUnitsPerCent + kProductUnitsPerCent / 2;
  const Int128 lowest = std::max<Int128>(CeilDiv(low, q), 0);
  const Int128 highest = CeilDiv(high, q) - 1;
  if (lowest > highest || lowest > kMaxStoredPrice.Units()) return false;
  const Int128 chosen = std::clamp<Int128>(wanted.Units(), lowest, highest);
  if (chosen > kMaxStoredPrice.Units()) return false;
  price = UnitPrice::FromUnits(static_cast<int64_t>(chosen));
  return true;
}

SplitFault SplitPosition(const VLStockHoldingItem& before, SplitRatio ratio, UnitPrice cashInLieu,
                         SplitOfPosition& out) {
  out = SplitOfPosition{};
  (void)out.after.CopyFrom(&before);  // cannot fail: not null
  const int64_t n = ratio.newShares;
  const int64_t d = ratio.oldShares;
  Quantity qty;
  const bool exact = before.qty.ScaledExactly(n, d, qty);
  if (!exact && (cashInLieu.IsZero() || !before.qty.ScaledRounded(n, d, qty))) {
    return cashInLieu.IsZero() ? SplitFault::Fraction : SplitFault::Limits;
  }
  if (qty > kMaxStoredQuantity) return SplitFault::Limits;
  UnitPrice wanted;
  if (!before.buyPricePerShare.ScaledRounded(d, n, wanted)) return SplitFault::Limits;
  if (wanted > kMaxStoredPrice) return SplitFault::Limits;
  const int64_t paid = ProductCents(before.qty, before.buyPricePerShare) + before.paidRemainder;
  UnitPrice price;
  int64_t remainder = 0;
  if (!PriceKeepingCost(qty, wanted, paid, price)) {
    price = wanted;
    remainder = paid - ProductCents(qty, price);
    if (remainder < -VLStockHoldingItem::kMaxPaidRemainder ||
        remainder > VLStockHoldingItem::kMaxPaidRemainder)
      return SplitFault::Limits;
  }
  out.after.qty = qty;
  out.after.buyPricePerShare = price;
  out.after.paidRemainder = static_cast<int32_t>(remainder);
  out.after.perShareBuyTarget = ScaledTarget(before.perShareBuyTarget, ratio);
  out.after.perShareSellTarget = ScaledTarget(before.perShareSellTarget, ratio);
  out.after.perShareStopLossTarget = ScaledTarget(before.perShareStopLossTarget, ratio);
  if (cashInLieu.IsZero() || qty.IsWhole()) return SplitFault::None;
  const Quantity whole = Quantity::FromWhole(qty.WholePart());
  if (whole.IsZero()) {
    if (before.IsSold()) return SplitFault::SoldWithoutShares;
    // Nothing whole is left: the position itself is the fraction, sold on the day (by the caller).
    out.fraction = qty;
    out.fractionCommission = before.buyCommission;
    out.fractionRemainder = out.after.paidRemainder;
    return SplitFault::None;
  }
  out.fraction = qty - whole;
  out.fractionCommission = static_cast<uint32_t>(ShareOfCents(before.buyCommission, out.fraction, qty));
  out.fractionRemainder = static_cast<int32_t>(ShareOfCents(out.after.paidRemainder, out.fraction, qty));
  out.after.qty = whole;
  out.after.buyCommission = before.buyCommission - out.fractionCommission;
  out.after.paidRemainder -= out.fractionRemainder;
  return SplitFault::None;
}
