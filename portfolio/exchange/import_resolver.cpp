#include "portfolio/exchange/import_resolver.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <unordered_map>

#include "framework/text_util.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A day, or 0 for "no date" (day numbers of real dates are never compared with it).
int64_t Day(int64_t stored) {
  return stored ? DayNumberOfStoredDate(stored) : 0;
}

std::string Join(std::initializer_list<std::string> parts) {
  std::string key;
  for (const std::string& part : parts) key.append(part).push_back('\x1f');
  return key;
}

// What makes a row the same position: kind, symbol, quantity, prices, dates and commissions; for cash and
// margin the amount and the description.
std::string SameKey(const VLHoldingItem& h) {
  if (h.GetKind() != kHoldingStock) {
    const auto& money = static_cast<const VLAmountHoldingItem&>(h);
    return Join({std::to_string(h.GetKind()), std::to_string(money.GetAmount()), h.name});
  }
  const auto& s = static_cast<const VLStockHoldingItem&>(h);
  return Join({"0", Upper(s.name), std::to_string(s.qty), std::to_string(s.buyPricePerShare),
               std::to_string(s.salePricePerShare), std::to_string(Day(s.purchaseDate)),
               std::to_string(Day(s.saleDate)), std::to_string(s.buyCommission),
               std::to_string(s.saleCommission)});
}

// The shares of one purchase, wherever sales put them, and what was paid for them in commission.
std::string PurchaseKey(const VLStockHoldingItem& s) {
  return Join({Upper(s.name), std::to_string(s.buyPricePerShare), std::to_string(Day(s.purchaseDate))});
}
std::string SaleKey(const std::string& symbol, uint32_t price, int64_t date) {
  return Join({Upper(symbol), std::to_string(price), std::to_string(Day(date))});
}

struct Pool {
  uint64_t qty = 0;
  uint64_t commission = 0;
  bool Take(uint64_t q, uint64_t c) {
    if (qty < q || commission < c) return false;
    qty -= q;
    commission -= c;
    return true;
  }
};

// What a portfolio of the store already holds, for telling duplicates.
struct Holdings {
  std::unordered_map<std::string, int> same;
  std::unordered_map<std::string, Pool> purchases;
  std::unordered_map<std::string, Pool> sales;
  std::map<std::string, uint32_t> balances;  // cash (0) and margin (1) positions by kind and description
};

class Resolver {
 public:
  Resolver(const ImportPlan& plan, const VLPortfolioItemList& portfolios, const VLHoldingItemList& positions)
      : plan(plan), portfolios(portfolios), positions(positions) {}

  ImportResolution Run() {
    MatchPortfolios();
    ReadHoldings();
    r.actions.resize(plan.steps.size());
    for (size_t i = 0; i < plan.steps.size(); ++i) Resolve(i);
    return std::move(r);
  }

 private:
  struct LotState {
    size_t portfolio = 0;
    std::string symbol;
    int64_t day = 0;
    size_t order = 0;  // among lots of the same day: the store's order, then the file's
    uint32_t qty = 0;
  };

  void MatchPortfolios() {
    r.portfolioIds.assign(plan.portfolios.size(), 0);
    holdings.resize(plan.portfolios.size());
    for (size_t i = 0; i < plan.portfolios.size(); ++i) {
      for (const auto& item : portfolios) {
        if (EqualNoCase(item->name, plan.portfolios[i].name)) {
          r.portfolioIds[i] = item->id;
          break;
        }
      }
    }
  }

  // The plan's portfolio of a store portfolio (the first, when the plan names one twice); npos for none.
  size_t PlanPortfolioOf(uint32_t id) const {
    for (size_t i = 0; i < r.portfolioIds.size(); ++i) {
      if (r.portfolioIds[i] == id && id != 0) return i;
    }
    return static_cast<size_t>(-1);
  }

  void ReadHoldings() {
    for (const auto& item : positions) {
      const auto& h = static_cast<const VLHoldingItem&>(*item);
      const size_t p = PlanPortfolioOf(h.ownerPortfolioId);
      if (p == static_cast<size_t>(-1)) continue;
      Holdings& held = holdings[p];
      ++held.same[SameKey(h)];
      if (h.GetKind() != kHoldingStock) {
        const auto& money = static_cast<const VLAmountHoldingItem&>(h);
        held.balances.emplace(std::to_string(h.GetKind()) + h.name, h.id);
        balanceAmounts[h.id] = money.GetAmount();
        continue;
      }
      const auto& s = static_cast<const VLStockHoldingItem&>(h);
      Pool& purchase = held.purchases[PurchaseKey(s)];
      purchase.qty += s.qty;
      purchase.commission += s.buyCommission;
      if (s.IsSold()) {
        Pool& sale = held.sales[SaleKey(s.name, s.salePricePerShare, s.saleDate)];
        sale.qty += s.qty;
        sale.commission += s.saleCommission;
      } else {
        AddLot({ImportLot::Origin::Stored, s.id, 0},
               {p, Upper(s.name), Day(s.purchaseDate), nextOrder++, s.qty});
      }
    }
  }

  size_t AddLot(const ImportLot& lot, const LotState& state) {
    r.lots.push_back(lot);
    lotStates.push_back(state);
    return r.lots.size() - 1;
  }

  void Resolve(size_t index) {
    const ImportStep& step = plan.steps[index];
    ImportStepAction& action = r.actions[index];
    const size_t p = step.portfolio;
    Holdings& held = holdings[p];
    switch (step.kind) {
      case ImportStepKind::Add:
        if (!plan.allowDuplicates && IsDuplicate(step, held)) {
          action.result = ImportOutcome::StepResult::Duplicate;
          ++r.counts.duplicates;
          return;
        }
        action.result = ImportOutcome::StepResult::Added;
        ++r.counts.added;
        if (step.holding->GetKind() == kHoldingStock) {
          const auto& s = static_cast<const VLStockHoldingItem&>(*step.holding);
          if (!s.IsSold()) {
            AddLot({ImportLot::Origin::Added, 0, index},
                   {p, Upper(s.name), Day(s.purchaseDate), nextOrder++, s.qty});
          }
        }
        return;
      case ImportStepKind::SetBalance: {
        const auto& money = static_cast<const VLAmountHoldingItem&>(*step.holding);
        const auto found = held.balances.find(std::to_string(money.GetKind()) + money.name);
        if (found == held.balances.end()) {
          // A balance of 0 where the portfolio has no such position is what the portfolio shows already.
          const bool nothing = money.GetAmount() == 0;
          action.result = nothing ? ImportOutcome::StepResult::Duplicate : ImportOutcome::StepResult::Added;
          ++(nothing ? r.counts.duplicates : r.counts.added);
          return;
        }
        if (balanceAmounts[found->second] == money.GetAmount()) {
          action.result = ImportOutcome::StepResult::Duplicate;
          ++r.counts.duplicates;
          return;
        }
        action.result = ImportOutcome::StepResult::BalanceSet;
        action.balancePosition = found->second;
        ++r.counts.balances;
        return;
      }
      case ImportStepKind::Sell:
        if (!plan.allowDuplicates && held.sales[SaleKey(step.symbol, step.salePrice, step.saleDate)].Take(
                                         step.qty, step.saleCommission)) {
          action.result = ImportOutcome::StepResult::Duplicate;
          ++r.counts.duplicates;
          return;
        }
        action.result = ImportOutcome::StepResult::Sold;
        Sell(step, p, action);
        return;
    }
  }

  bool IsDuplicate(const ImportStep& step, Holdings& held) {
    const VLHoldingItem& h = *step.holding;
    if (step.matchSplitParts && h.GetKind() == kHoldingStock) {
      const auto& s = static_cast<const VLStockHoldingItem&>(h);
      return held.purchases[PurchaseKey(s)].Take(s.qty, s.buyCommission);
    }
    auto found = held.same.find(SameKey(h));
    if (found == held.same.end() || found->second == 0) return false;
    --found->second;
    return true;
  }

  // Takes the shares from the held lots of the symbol bought on or before the sale day, oldest first.
  void Sell(const ImportStep& step, size_t p, ImportStepAction& action) {
    const std::string symbol = Upper(step.symbol);
    const int64_t saleDay = Day(step.saleDate);
    std::vector<size_t> open;
    uint64_t available = 0;
    for (size_t lot = 0; lot < lotStates.size(); ++lot) {
      const LotState& s = lotStates[lot];
      if (s.qty == 0 || s.portfolio != p || s.symbol != symbol) continue;
      if (saleDay != 0 && s.day != 0 && s.day > saleDay) continue;
      open.push_back(lot);
      available += s.qty;
    }
    if (available < step.qty) {
      std::string when = saleDay ? " on " + IsoDateText(DateOfDayNumber(saleDay)) : std::string();
      r.problems.push_back({step.line, ImportField::Quantity,
                            "the sale of " + std::to_string(step.qty) + " shares of " + symbol + when +
                                " is more than the " + std::to_string(available) +
                                " shares the portfolio holds then"});
      return;
    }
    std::stable_sort(open.begin(), open.end(), [this](size_t a, size_t b) {
      const LotState& x = lotStates[a];
      const LotState& y = lotStates[b];
      return x.day != y.day ? x.day < y.day : x.order < y.order;
    });
    uint32_t left = step.qty;
    uint32_t commissionLeft = step.saleCommission;
    for (size_t lot : open) {
      if (left == 0) break;
      LotState state = lotStates[lot];
      ImportLotSale part;
      part.lot = lot;
      part.qty = std::min(left, state.qty);
      left -= part.qty;
      // Each part carries its share of the commission; the last one what remains, so they add up.
      part.saleCommission = left == 0
                                ? commissionLeft
                                : static_cast<uint32_t>(uint64_t{step.saleCommission} * part.qty / step.qty);
      commissionLeft -= part.saleCommission;
      lotStates[lot].qty = 0;
      if (part.qty < state.qty) {
        state.qty -= part.qty;
        part.remainder = AddLot({ImportLot::Origin::Remainder, 0, lot}, state);
      }
      action.sales.push_back(part);
    }
    ++r.counts.sold;
  }

  const ImportPlan& plan;
  const VLPortfolioItemList& portfolios;
  const VLHoldingItemList& positions;
  ImportResolution r;
  std::vector<Holdings> holdings;
  std::unordered_map<uint32_t, uint32_t> balanceAmounts;
  std::vector<LotState> lotStates;
  size_t nextOrder = 0;
};

}  // namespace

ImportResolution ResolveImport(const ImportPlan& plan, const VLPortfolioItemList& portfolios,
                               const VLHoldingItemList& positions) {
  return Resolver(plan, portfolios, positions).Run();
}
