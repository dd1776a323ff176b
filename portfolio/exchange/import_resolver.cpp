#include "portfolio/exchange/import_resolver.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <unordered_map>

#include "framework/text_util.h"
#include "portfolio/exchange/import_splits.h"
#include "portfolio/exchange/lot_shares.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

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
  return Join({"0", AsciiUpper(s.name), std::to_string(s.qty.Units()),
               std::to_string(s.buyPricePerShare.Units()), std::to_string(s.salePricePerShare.Units()),
               std::to_string(DayNumberOrZero(s.purchaseDate)), std::to_string(DayNumberOrZero(s.saleDate)),
               std::to_string(s.buyCommission), std::to_string(s.saleCommission), s.currency});
}

// The shares of one purchase, wherever sales put them, and what was paid for them in commission.
std::string PurchaseKey(const VLStockHoldingItem& s) {
  return Join({AsciiUpper(s.name), std::to_string(s.buyPricePerShare.Units()),
               std::to_string(DayNumberOrZero(s.purchaseDate))});
}
std::string SaleKey(const std::string& symbol, UnitPrice price, int64_t date) {
  return Join({AsciiUpper(symbol), std::to_string(price.Units()), std::to_string(DayNumberOrZero(date))});
}

// Shares (as counts of 1e-8 share) and commission.
struct Pool {
  int64_t qty = 0;
  uint64_t commission = 0;
  bool Take(int64_t q, uint64_t c) {
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
  Resolver(const ImportPlan& plan, const VLPortfolioItemList& portfolios, const VLHoldingItemList& positions,
           const ImportSplits* splits)
      : plan(plan), portfolios(portfolios), positions(positions), splits(splits) {}

  ImportResolution Run() {
    // Only sales need the lots in order.
    for (const ImportStep& step : plan.steps) {
      placed = placed || step.kind == ImportStepKind::Sell;
      openings = openings || step.opening;
    }
    MatchPortfolios();
    ReadHoldings();
    PlaceLots();
    r.actions.resize(plan.steps.size());
    for (size_t i = 0; i < plan.steps.size(); ++i) Resolve(i);
    return std::move(r);
  }

 private:
  // The lots of one symbol in one portfolio, in the order a sale takes them: by purchase day (0 for none),
  // then the store's order, then the file's. Each place is that of a held stock position of the store or of
  // a purchase of the file; a remainder takes the place of the lot it was split from.
  struct SymbolLots {
    std::vector<size_t> lotAt;  // the lot at each place (kNoLot until its step adds it)
    std::vector<int64_t> days;  // each place's day, ascending
    LotShares shares;           // what each place holds now
  };
  // Where a lot (or the lot a step adds) sits: its symbol's lots and the place there.
  struct Place {
    size_t symbol = kNoLot;
    size_t place = 0;
  };
  // A place before the places are ordered: its symbol's lots, day and order, and whose it is.
  struct Seat {
    size_t symbol = 0;
    int64_t day = 0;
    size_t order = 0;
    bool stored = false;
    size_t index = 0;  // the stored lot, or the step
  };

  void MatchPortfolios() {
    r.portfolioIds.assign(plan.portfolios.size(), 0);
    holdings.resize(plan.portfolios.size());
    // The first portfolio of a name (any letter case), as a walk of the store's list finds it.
    std::unordered_map<std::string, uint32_t> byName;
    for (const auto& item : portfolios) byName.try_emplace(AsciiUpper(item->name), item->id);
    for (size_t i = 0; i < plan.portfolios.size(); ++i) {
      const auto found = byName.find(AsciiUpper(plan.portfolios[i].name));
      if (found != byName.end()) r.portfolioIds[i] = found->second;
    }
    for (size_t i = 0; i < r.portfolioIds.size(); ++i) {
      if (r.portfolioIds[i] != 0) planPortfolioOf.try_emplace(r.portfolioIds[i], i);
    }
  }

  // The plan's portfolio of a store portfolio (the first, when the plan names one twice); npos for none.
  size_t PlanPortfolioOf(uint32_t id) const {
    const auto found = planPortfolioOf.find(id);
    return found == planPortfolioOf.end() ? static_cast<size_t>(-1) : found->second;
  }

  // The lots of the symbol in the plan's portfolio `p`, made when missing.
  size_t SymbolOf(size_t p, const std::string& name) {
    const auto [it, added] = symbolOf.try_emplace({p, AsciiUpper(name)}, symbols.size());
    if (added) symbols.emplace_back();
    return it->second;
  }

  // Orders the places of every symbol's lots, once every lot the store holds and every purchase the file
  // may add is known.
  void PlaceLots() {
    if (!placed) return;
    std::vector<Seat> seats = std::move(storedSeats);
    size_t order = seats.size();
    stepPlaces.assign(plan.steps.size(), Place{});
    for (size_t i = 0; i < plan.steps.size(); ++i) {
      const ImportStep& step = plan.steps[i];
      if (step.kind != ImportStepKind::Add || step.holding->GetKind() != kHoldingStock) continue;
      const auto& s = static_cast<const VLStockHoldingItem&>(*step.holding);
      if (s.IsSold()) continue;
      seats.push_back({SymbolOf(step.portfolio, s.name), DayNumberOrZero(s.purchaseDate), order++, false, i});
    }
    std::sort(seats.begin(), seats.end(), [](const Seat& a, const Seat& b) {
      if (a.symbol != b.symbol) return a.symbol < b.symbol;
      return a.day != b.day ? a.day < b.day : a.order < b.order;
    });
    lotPlaces.assign(r.lots.size(), Place{});
    for (size_t begin = 0, end = 0; begin < seats.size(); begin = end) {
      SymbolLots& lots = symbols[seats[begin].symbol];
      while (end < seats.size() && seats[end].symbol == seats[begin].symbol) ++end;
      lots.lotAt.assign(end - begin, kNoLot);
      lots.shares = LotShares(end - begin);
      for (size_t k = begin; k < end; ++k) {
        const Seat& seat = seats[k];
        const Place place{seat.symbol, k - begin};
        lots.days.push_back(seat.day);
        if (!seat.stored) {
          stepPlaces[seat.index] = place;
          continue;
        }
        lotPlaces[seat.index] = place;
        lots.lotAt[place.place] = seat.index;
        lots.shares.Set(place.place, storedShares[seat.index]);
      }
    }
    storedShares = {};
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
        storedBalances[h.id] = {money.GetAmount(), money.balanceDate};
        continue;
      }
      const auto& s = static_cast<const VLStockHoldingItem&>(h);
      // A part sold before a split counts in the shares the purchase's other parts are in now.
      VLStockHoldingItem today;
      const VLStockHoldingItem& bought = splits && PurchaseInSharesOfToday(s, *splits, today) ? today : s;
      Pool& purchase = held.purchases[PurchaseKey(bought)];
      purchase.qty += bought.qty.Units();
      purchase.commission += bought.buyCommission;
      if (s.IsSold()) {
        Pool& sale = held.sales[SaleKey(s.name, s.salePricePerShare, s.saleDate)];
        sale.qty += s.qty.Units();
        sale.commission += s.saleCommission;
      } else {
        if (openings)
          heldByDay[{p, AsciiUpper(s.name)}].emplace_back(DayNumberOrZero(s.purchaseDate), s.qty.Units());
        if (placed) {
          storedSeats.push_back(
              {SymbolOf(p, s.name), DayNumberOrZero(s.purchaseDate), r.lots.size(), true, r.lots.size()});
          storedShares.push_back(s.qty.Units());
        }
        r.lots.push_back({ImportLot::Origin::Stored, s.id, 0});
      }
    }
  }

  // A lot the file adds at `place` (when sales need it), holding `qty`.
  size_t AddLot(const ImportLot& lot, Place place, Quantity qty) {
    r.lots.push_back(lot);
    if (!placed) return r.lots.size() - 1;
    lotPlaces.push_back(place);
    SymbolLots& lots = symbols[place.symbol];
    lots.lotAt[place.place] = r.lots.size() - 1;
    lots.shares.Set(place.place, qty.Units());
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
        if (step.holding->GetKind() == kHoldingStock) {
          const auto& s = static_cast<const VLStockHoldingItem&>(*step.holding);
          Quantity added = s.qty;
          if (step.opening) {
            // Only what the portfolio does not hold of the symbol on the day is added.
            const Int128 held = HeldOn(p, s.name, DayNumberOrZero(s.purchaseDate));
            if (held >= s.qty.Units()) {
              action.result = ImportOutcome::StepResult::Duplicate;
              ++r.counts.duplicates;
              return;
            }
            added = Quantity::FromUnits(s.qty.Units() - static_cast<int64_t>(held));
            if (held > 0) action.openingShares = added;
          }
          if (!s.IsSold())
            AddLot({ImportLot::Origin::Added, 0, index}, placed ? stepPlaces[index] : Place{}, added);
        }
        action.result = ImportOutcome::StepResult::Added;
        ++r.counts.added;
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
        StoredBalance& stored = storedBalances[found->second];
        // A statement older than the one that set the balance says nothing about it now.
        if (money.balanceDate != 0 && stored.date != 0 &&
            DayNumberOrZero(money.balanceDate) < DayNumberOrZero(stored.date)) {
          action.result = ImportOutcome::StepResult::Outdated;
          ++r.counts.outdated;
          return;
        }
        // The same amount is already there; only a later statement's day moves on with it, so that a
        // statement between the two cannot set it back.
        const bool later = money.balanceDate != 0 && stored.date != 0 &&
                           DayNumberOrZero(money.balanceDate) > DayNumberOrZero(stored.date);
        if (stored.amount == money.GetAmount() && !later) {
          action.result = ImportOutcome::StepResult::Duplicate;
          ++r.counts.duplicates;
          return;
        }
        action.result = ImportOutcome::StepResult::BalanceSet;
        action.balancePosition = found->second;
        ++r.counts.balances;
        stored = {money.GetAmount(), money.balanceDate};  // what a later step of the plan finds
        return;
      }
      case ImportStepKind::Sell:
        if (!plan.allowDuplicates && held.sales[SaleKey(step.symbol, step.salePrice, step.saleDate)].Take(
                                         step.qty.Units(), step.saleCommission)) {
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
      return held.purchases[PurchaseKey(s)].Take(s.qty.Units(), s.buyCommission);
    }
    auto found = held.same.find(SameKey(h));
    if (found == held.same.end() || found->second == 0) return false;
    --found->second;
    return true;
  }

  // The shares of the symbol the store's held positions in the plan's portfolio `p` bought on or before `day`
  // (those without a day included).
  Int128 HeldOn(size_t p, const std::string& symbol, int64_t day) const {
    const auto found = heldByDay.find({p, AsciiUpper(symbol)});
    Int128 held = 0;
    if (found == heldByDay.end()) return held;
    for (const auto& [bought, units] : found->second) {
      if (bought <= day || bought == 0) held += units;
    }
    return held;
  }

  // Takes the shares from the held lots of the symbol bought on or before the sale day, oldest first. A lot
  // without a day, or a sale without one, is never left out by its day.
  void Sell(const ImportStep& step, size_t p, ImportStepAction& action) {
    const std::string symbol = AsciiUpper(step.symbol);
    // In today's shares, which the held lots are in (ConvertToCurrentShares has checked it can be).
    Quantity qty = step.qty;
    if (!SharesAfter(step.qty, step.splitsAfterSale, qty)) return;
    const int64_t saleDay = DayNumberOrZero(step.saleDate);
    const auto found = symbolOf.find({p, symbol});
    SymbolLots* lots = found == symbolOf.end() ? nullptr : &symbols[found->second];
    // The places the sale may take from, in the order it takes them: days up to the sale's (all of them for
    // a sale without a day), then, for a sale before day 0, the lots of day 0.
    std::pair<size_t, size_t> ranges[2] = {{0, 0}, {0, 0}};
    Int128 available = 0;
    if (lots) {
      const std::vector<int64_t>& days = lots->days;
      const auto upTo = [&days](int64_t day) {
        return static_cast<size_t>(std::upper_bound(days.begin(), days.end(), day) - days.begin());
      };
      ranges[0] = {0, saleDay == 0 ? days.size() : upTo(saleDay)};
      if (saleDay < 0) {
        ranges[1] = {static_cast<size_t>(std::lower_bound(days.begin(), days.end(), 0) - days.begin()),
                     upTo(0)};
      }
      for (const auto& [begin, end] : ranges) available += lots->shares.Sum(begin, end);
    }
    if (available < qty.Units()) {
      std::string when = saleDay ? " on " + IsoDateText(DateOfDayNumber(saleDay)) : std::string();
      // Said in the shares of the sale's day, as the sale is.
      Quantity held = Quantity::FromUnits(static_cast<int64_t>(available));
      for (const SplitRatio& ratio : step.splitsAfterSale)
        (void)held.ScaledRounded(ratio.oldShares, ratio.newShares, held);
      r.problems.push_back({step.line, ImportField::Quantity,
                            "the sale of " + DecimalText(step.qty) + " shares of " + symbol + when +
                                " is more than the " + DecimalText(held) + " shares the portfolio holds then",
                            plan.shortSaleCommandHint, plan.shortSaleWindowHint});
      return;
    }
    Quantity left = qty;
    uint32_t commissionLeft = step.saleCommission;
    for (const auto& [begin, end] : ranges) {
      for (size_t at = lots ? lots->shares.NextHeld(begin, end) : end; at < end && !left.IsZero();
           at = lots->shares.NextHeld(at + 1, end)) {
        const Quantity held = Quantity::FromUnits(lots->shares.At(at));
        ImportLotSale part;
        part.lot = lots->lotAt[at];
        part.qty = std::min(left, held);
        left = left - part.qty;
        // Each part carries its share of the commission; the last one what remains, so they add up.
        part.saleCommission = left.IsZero() ? commissionLeft
                                            : static_cast<uint32_t>(static_cast<Int128>(step.saleCommission) *
                                                                    part.qty.Units() / qty.Units());
        Quantity ofSaleDay;
        if (!SharesBefore(part.qty, step.splitsAfterSale, ofSaleDay)) {
          r.problems.push_back(
              {step.line, ImportField::Quantity,
               "the sale of " + DecimalText(step.qty) + " shares of " + symbol +
                   " takes a part of a position that cannot be put back into the shares before the splits "
                   "since"});
        }
        commissionLeft -= part.saleCommission;
        lots->shares.Set(at, 0);
        if (part.qty < held) {
          part.remainder =
              AddLot({ImportLot::Origin::Remainder, 0, part.lot}, lotPlaces[part.lot], held - part.qty);
        }
        action.sales.push_back(part);
      }
    }
    ++r.counts.sold;
  }

  const ImportPlan& plan;
  const VLPortfolioItemList& portfolios;
  const VLHoldingItemList& positions;
  const ImportSplits* splits;
  ImportResolution r;
  std::vector<Holdings> holdings;
  struct StoredBalance {
    uint32_t amount = 0;
    int64_t date = 0;  // the day of the statement that set it; 0 for none
  };
  std::unordered_map<uint32_t, StoredBalance> storedBalances;
  std::unordered_map<uint32_t, size_t> planPortfolioOf;  // store portfolio id -> plan portfolio
  // The lots by plan portfolio and symbol in upper case.
  std::map<std::pair<size_t, std::string>, size_t> symbolOf;
  std::vector<SymbolLots> symbols;
  std::vector<Seat> storedSeats;      // the store's held lots, until PlaceLots
  std::vector<int64_t> storedShares;  // and their shares
  bool placed = false;                // the plan sells: the lots have places
  bool openings = false;              // the plan adds shares held before a statement
  // The store's held shares by plan portfolio and symbol in upper case, with the day of each purchase:
  // read only when the plan adds shares held before a statement.
  std::map<std::pair<size_t, std::string>, std::vector<std::pair<int64_t, int64_t>>> heldByDay;
  std::vector<Place> lotPlaces;   // per lot
  std::vector<Place> stepPlaces;  // per step: the place of the lot it adds
};

}  // namespace

ImportResolution ResolveImport(const ImportPlan& plan, const VLPortfolioItemList& portfolios,
                               const VLHoldingItemList& positions, const ImportSplits* splits) {
  return Resolver(plan, portfolios, positions, splits).Run();
}
