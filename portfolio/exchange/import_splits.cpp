#include "portfolio/exchange/import_splits.h"

#include <algorithm>

#include "framework/text_util.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

std::string SplitText(const std::string& symbol, const ImportSplit& split) {
  return "the split " + SplitRatioText(split.ratio) + " of " + AsciiUpper(symbol) + " on " +
         IsoDateText(DateOfDayNumber(split.exDay));
}

// Every split of `splits` that changes the position, applied in turn; false with the split that cannot be.
bool ApplySplits(VLStockHoldingItem& stock, const std::vector<ImportSplit>& splits,
                 const ImportSplit*& failed) {
  for (const ImportSplit& split : splits) {
    if (!SplitApplies(stock, split.exDay)) continue;
    SplitOfPosition result;
    if (SplitPosition(stock, split.ratio, UnitPrice(), result) != SplitFault::None) {
      failed = &split;
      return false;
    }
    TakeSplitFields(result.after, stock);
  }
  return true;
}

}  // namespace

void ImportSplits::Add(const std::string& symbol, const ImportSplit& split) {
  std::vector<ImportSplit>& list = bySymbol[AsciiUpper(symbol)];
  const auto at = std::upper_bound(list.begin(), list.end(), split.exDay,
                                   [](int64_t day, const ImportSplit& s) { return day < s.exDay; });
  list.insert(at, split);
}

const std::vector<ImportSplit>* ImportSplits::Of(const std::string& symbol) const {
  const auto found = bySymbol.find(AsciiUpper(symbol));
  return found == bySymbol.end() ? nullptr : &found->second;
}

bool PlanCrossesSplits(const ImportPlan& plan, const ImportSplits& splits) {
  if (splits.Empty()) return false;
  for (const ImportStep& step : plan.steps) {
    const bool stock = step.kind == ImportStepKind::Sell ||
                       (step.kind == ImportStepKind::Add && step.holding->GetKind() == kHoldingStock);
    if (!stock) continue;
    const std::string& symbol = step.kind == ImportStepKind::Sell ? step.symbol : step.holding->name;
    const std::vector<ImportSplit>* list = splits.Of(symbol);
    if (!list) continue;
    const int64_t stored = step.kind == ImportStepKind::Sell
                               ? step.saleDate
                               : static_cast<const VLStockHoldingItem&>(*step.holding).purchaseDate;
    if (stored == 0 || DayNumberOrZero(stored) < list->back().exDay) return true;
  }
  return false;
}

void ConvertToCurrentShares(ImportPlan& plan, const ImportSplits& splits, ImportProblems& problems) {
  for (ImportStep& step : plan.steps) {
    if (step.kind == ImportStepKind::Sell) {
      const std::vector<ImportSplit>* list = splits.Of(step.symbol);
      // A sale without a day is taken to be of today's shares.
      if (!list || step.saleDate == 0) continue;
      const int64_t saleDay = DayNumberOrZero(step.saleDate);
      step.splitsAfterSale.clear();
      for (const ImportSplit& split : *list) {
        if (split.exDay > saleDay) step.splitsAfterSale.push_back(split.ratio);
      }
      Quantity today;
      if (!SharesAfter(step.qty, step.splitsAfterSale, today)) {
        problems.push_back({step.line, ImportField::Quantity,
                            "the sale of " + DecimalText(step.qty) + " shares of " + AsciiUpper(step.symbol) +
                                " cannot be put into the shares of today (after the splits since)"});
      }
      continue;
    }
    if (step.kind != ImportStepKind::Add || step.holding->GetKind() != kHoldingStock) continue;
    auto& stock = static_cast<VLStockHoldingItem&>(*step.holding);
    const std::vector<ImportSplit>* list = splits.Of(stock.name);
    if (!list) continue;
    const ImportSplit* failed = nullptr;
    if (!ApplySplits(stock, *list, failed)) {
      problems.push_back({step.line, ImportField::Quantity,
                          DecimalText(stock.qty) + " shares of " + AsciiUpper(stock.name) + " bought on " +
                              StoredDayText(stock.purchaseDate) + " cannot take " +
                              SplitText(stock.name, *failed) +
                              ": the new quantity needs more decimals than a position keeps"});
    }
  }
}

namespace {

// `qty` times every ratio (new / old), or divided by each, exactly.
bool ScaledByRatios(Quantity qty, const std::vector<SplitRatio>& ratios, bool after, Quantity& out) {
  Quantity value = qty;
  for (const SplitRatio& ratio : ratios) {
    const uint32_t by = after ? ratio.newShares : ratio.oldShares;
    const uint32_t per = after ? ratio.oldShares : ratio.newShares;
    if (!value.ScaledExactly(by, per, value)) return false;
  }
  out = value;
  return true;
}

}  // namespace

bool SharesAfter(Quantity qty, const std::vector<SplitRatio>& ratios, Quantity& out) {
  return ScaledByRatios(qty, ratios, true, out);
}

bool SharesBefore(Quantity qty, const std::vector<SplitRatio>& ratios, Quantity& out) {
  return ScaledByRatios(qty, ratios, false, out);
}

bool SharesOfSaleDay(VLStockHoldingItem& part, const std::vector<SplitRatio>& ratios, UnitPrice tradedPrice) {
  const int64_t paid = ProductCents(part.qty, part.buyPricePerShare) + part.paidRemainder;
  // The latest split first: the reverse of how they were applied.
  for (auto it = ratios.rbegin(); it != ratios.rend(); ++it) {
    SplitOfPosition result;
    if (SplitPosition(part, {it->oldShares, it->newShares}, UnitPrice(), result) != SplitFault::None)
      return false;
    TakeSplitFields(result.after, part);
  }
  // The file's own price, where it keeps the cost: 301.00 rather than 300.999999 (100.333333 x 3).
  if (!tradedPrice.IsZero() && ProductCents(part.qty, tradedPrice) == paid) {
    part.buyPricePerShare = tradedPrice;
    part.paidRemainder = 0;
  }
  return true;
}

bool PurchaseInSharesOfToday(const VLStockHoldingItem& sold, const ImportSplits& splits,
                             VLStockHoldingItem& out) {
  const std::vector<ImportSplit>* list = splits.Of(sold.name);
  if (!list || !sold.IsSold() || sold.saleDate == 0) return false;
  const int64_t saleDay = DayNumberOrZero(sold.saleDate);
  const int64_t boughtDay = DayNumberOrZero(sold.purchaseDate);
  VLStockHoldingItem held(sold);
  bool changed = false;
  for (const ImportSplit& split : *list) {
    if (split.exDay <= saleDay || (boughtDay != 0 && boughtDay >= split.exDay)) continue;
    SplitOfPosition result;
    if (SplitPosition(held, split.ratio, UnitPrice(), result) != SplitFault::None) return false;
    TakeSplitFields(result.after, held);
    changed = true;
  }
  if (changed) out = held;
  return changed;
}

void SplitStoredCopies(const VLHoldingItemList& positions, const ImportSplits& splits,
                       VLHoldingItemList& copies, ImportProblems& problems) {
  for (const auto& item : positions) {
    std::unique_ptr<Item> copy = item->Clone();
    auto& h = static_cast<VLHoldingItem&>(*copy);
    if (h.GetKind() == kHoldingStock) {
      auto& stock = static_cast<VLStockHoldingItem&>(h);
      const ImportSplit* failed = nullptr;
      if (const std::vector<ImportSplit>* list = splits.Of(stock.name);
          list && !ApplySplits(stock, *list, failed)) {
        problems.push_back({failed->line, ImportField::None,
                            SplitText(stock.name, *failed) + " leaves position " + std::to_string(stock.id) +
                                " with a fraction of a share beyond the places a position keeps: record the "
                                "split by hand with a cash-in-lieu price, then import the file"});
      }
    }
    copies.InsertAt(copies.GetCount(), std::move(copy));
  }
}
