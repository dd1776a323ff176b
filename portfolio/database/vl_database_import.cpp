// The import of positions from a file: one change of the portfolio database.
#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "framework/text_util.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_resolver.h"
#include "portfolio/exchange/import_splits.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

// What the journal calls an import: "Import 12 positions and 2 sales into Retirement, Savings".
std::string ImportText(const ImportOutcome& outcome, const ImportPlan& plan,
                       const std::vector<bool>& touched) {
  const auto count = [](int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::vector<std::string> parts;
  if (outcome.added) parts.push_back(count(outcome.added, "position", "positions"));
  if (outcome.sold) parts.push_back(count(outcome.sold, "sale", "sales"));
  if (outcome.balances) parts.push_back(count(outcome.balances, "cash balance", "cash balances"));
  if (outcome.prices) parts.push_back(count(outcome.prices, "price set by hand", "prices set by hand"));
  if (outcome.actions) parts.push_back(count(outcome.actions, "corporate action", "corporate actions"));
  if (outcome.income) parts.push_back(count(outcome.income, "income record", "income records"));
  std::string text = "Import";
  for (size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? " " : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  const std::unordered_set<uint32_t> created(outcome.createdPortfolios.begin(),
                                             outcome.createdPortfolios.end());
  std::string names;
  for (size_t p = 0; p < plan.portfolios.size(); ++p) {
    if (touched[p] || created.count(outcome.portfolioIds[p]))
      names += (names.empty() ? "" : ", ") + plan.portfolios[p].name;
  }
  return names.empty() ? text : text + " into " + names;
}

constexpr uint32_t kLastId = std::numeric_limits<uint32_t>::max();

void Report(const ImportResolution& resolution, ImportOutcome& outcome) {
  outcome.added = resolution.counts.added;
  outcome.sold = resolution.counts.sold;
  outcome.balances = resolution.counts.balances;
  outcome.duplicates = resolution.counts.duplicates;
  outcome.outdated = resolution.counts.outdated;
  outcome.portfolioIds = resolution.portfolioIds;
  outcome.stepResults.clear();
  for (const ImportStepAction& action : resolution.actions) outcome.stepResults.push_back(action.result);
  outcome.stepPositions.assign(resolution.actions.size(), 0);
  outcome.createdPortfolios.clear();
}

// Whether the import changes the store at all: a position, sale or balance, a price set by hand, or a new
// portfolio.
bool ImportChanges(const ImportResolution& resolution, bool records) {
  bool changes = resolution.counts.added + resolution.counts.sold + resolution.counts.balances > 0 || records;
  for (uint32_t id : resolution.portfolioIds) changes = changes || id == 0;
  return changes;
}

}  // namespace

std::vector<VLManualPriceItem> VLDatabase::ImportedPrices(const ImportPlan& plan,
                                                          const ManualPriceIndex& index,
                                                          uint64_t& newIds) const {
  // A file's later price of a symbol and day replaces its earlier one, as a second Set Price would.
  std::map<std::pair<std::string, int64_t>, VLManualPriceItem> last;
  for (const ImportPrice& p : plan.prices) {
    VLManualPriceItem fields = ManualPriceFields(p.symbol, p.date, p.price);
    last[{fields.name, DayNumberOfStoredDate(fields.date)}] = std::move(fields);
  }
  std::vector<VLManualPriceItem> changing;
  newIds = 0;
  for (auto& [key, fields] : last) {
    const VLManualPriceItem* stored = FindManualPrice(fields.name, fields.date, &index);
    if (stored && stored->price == fields.price) continue;
    newIds += stored == nullptr;
    changing.push_back(std::move(fields));
  }
  return changing;
}

bool VLDatabase::ImportFits(const ImportPlan& plan, const ImportResolution& resolution, uint64_t newPrices,
                            uint64_t newActions, uint64_t newIncome) const {
  uint64_t newPortfolios = 0;
  for (uint32_t id : resolution.portfolioIds) newPortfolios += id == 0;
  uint64_t newPositions = 0;
  std::set<std::string> symbols;
  for (size_t i = 0; i < plan.steps.size(); ++i) {
    const ImportStepAction& action = resolution.actions[i];
    if (action.result == ImportOutcome::StepResult::Added) {
      ++newPositions;
      const VLHoldingItem& h = *plan.steps[i].holding;
      if (h.GetKind() == kHoldingStock) symbols.insert(AsciiUpper(h.name));
    }
    for (const ImportLotSale& part : action.sales) newPositions += part.remainder != kNoLot;
  }
  for (const auto& quote : quotes) symbols.erase(AsciiUpper(quote->name));
  const uint64_t newQuotes = symbols.size();
  return newPortfolios <= kLastId - lastPortfolioId && newPositions <= kLastId - lastPositionId &&
         newQuotes <= kLastId - lastQuoteId && newPrices <= kLastId - lastManualPriceId &&
         newActions <= kLastId - lastCorporateActionId && newIncome <= kLastId - lastIncomeId;
}

struct VLDatabase::ImportCheck {
  explicit ImportCheck(const ImportPlan& plan) : plan(&plan) {}

  ImportResolution resolution;
  ManualPriceIndex storedPrices;  // made only for a file that holds prices
  std::vector<VLManualPriceItem> prices;
  std::vector<ImportAction> actions;
  std::vector<size_t> income;  // the payments recorded: indexes into the plan's incomes
  // A file of trades as traded that splits concern: the splits, the plan in today's shares, and the store's
  // positions as the splits the file reports leave them (each only when needed).
  ImportSplits splits;
  ImportSplits reported;
  std::optional<ImportPlan> converted;
  VLHoldingItemList splitCopies;
  const ImportPlan* plan;  // what the resolution is of: the file's plan, or `converted`
};

VLResult VLDatabase::CheckImport(const ImportPlan& plan, ImportOutcome& outcome,
                                 std::vector<ImportProblem>& problems, ImportCheck& check) {
  problems.clear();
  check.actions = ImportedActions(plan, problems);
  const VLHoldingItemList* stored = &positions;
  if (plan.asTraded) {
    KnownSplits(check.actions, check.splits, check.reported);
    if (!check.reported.Empty()) {
      SplitStoredCopies(positions, check.reported, check.splitCopies, problems);
      stored = &check.splitCopies;
    }
    if (PlanCrossesSplits(plan, check.splits)) {
      check.converted = plan.Copy();
      ConvertToCurrentShares(*check.converted, check.splits, problems);
      check.plan = &*check.converted;
    }
  }
  if (!problems.empty()) return VLResult::ImportRefused;
  check.resolution = ResolveImport(*check.plan, portfolios, *stored, plan.asTraded ? &check.splits : nullptr);
  problems = check.resolution.problems;
  if (!problems.empty()) return VLResult::ImportRefused;
  uint64_t newPrices = 0;
  if (!plan.prices.empty()) check.storedPrices = IndexManualPrices();
  check.prices = ImportedPrices(plan, check.storedPrices, newPrices);
  check.income = ImportedIncome(plan, check.resolution.portfolioIds);
  if (!ImportFits(plan, check.resolution, newPrices, check.actions.size(), check.income.size()))
    return VLResult::StoreFull;
  Report(check.resolution, outcome);
  outcome.prices = static_cast<int>(check.prices.size());
  outcome.actions = static_cast<int>(check.actions.size());
  outcome.income = static_cast<int>(check.income.size());
  outcome.incomeRecorded.assign(plan.incomes.size(), false);
  for (size_t index : check.income) outcome.incomeRecorded[index] = true;
  outcome.duplicates += static_cast<int>(plan.incomes.size() - check.income.size());
  return VLResult::Ok;
}

VLResult VLDatabase::TryImport(VLDatabaseConn* conn, const ImportPlan& plan, ImportOutcome& outcome,
                               std::vector<ImportProblem>& problems) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  ImportCheck check(plan);
  return CheckImport(plan, outcome, problems, check);
}

// The apply step of one import, inside its change: the portfolios it creates, then step by step the
// positions it adds, the balances it sets and the sales it makes, then the prices set by hand, then what
// the journal and the windows are told.
struct VLDatabase::ImportRun {
  ImportRun(VLDatabase& db, Change& change, const ImportPlan& original, const ImportCheck& check,
            ImportOutcome& outcome)
      : db(db),
        change(change),
        plan(*check.plan),
        original(original),
        splits(check.splits),
        resolution(check.resolution),
        outcome(outcome),
        symbols(db.IndexSymbols()),
        lotStocks(resolution.lots.size(), nullptr),
        lotOfStep(plan.steps.size(), kNoLot),
        firstAdded(plan.portfolios.size(), 0),
        touched(plan.portfolios.size(), false) {
    for (size_t lot = 0; lot < resolution.lots.size(); ++lot) {
      const ImportLot& l = resolution.lots[lot];
      if (l.origin == ImportLot::Origin::Added) lotOfStep[l.from] = lot;
    }
  }

  void CreatePortfolios() {
    std::vector<uint32_t>& portfolioIds = outcome.portfolioIds;
    for (size_t p = 0; p < plan.portfolios.size(); ++p) {
      if (portfolioIds[p] != 0) continue;
      auto portfolio = std::make_unique<VLPortfolioItem>();
      portfolio->name = plan.portfolios[p].name;
      portfolio->comment = plan.portfolios[p].comment;
      portfolio->baseCurrency = plan.portfolios[p].baseCurrency;
      change.record.Portfolio(db.lastPortfolioId + 1);
      portfolio->id = portfolioIds[p] = ++db.lastPortfolioId;
      portfolio->created = db.Now();
      outcome.createdPortfolios.push_back(portfolio->id);
      change.events.emplace_back(portfolio->id, 0, VLDatabaseEvent::kPortfolioAdded);
      db.portfolios.Add(std::move(portfolio));
    }
  }

  void ApplySteps() {
    for (size_t i = 0; i < plan.steps.size(); ++i) {
      const ImportStep& step = plan.steps[i];
      const ImportStepAction& action = resolution.actions[i];
      uint32_t id = 0;
      switch (action.result) {
        case ImportOutcome::StepResult::Duplicate:
        case ImportOutcome::StepResult::Outdated:
          continue;
        case ImportOutcome::StepResult::Added:
          id = Add(i);
          if (!firstAdded[step.portfolio]) firstAdded[step.portfolio] = id;
          break;
        case ImportOutcome::StepResult::BalanceSet:
          id = SetBalance(i);
          break;
        case ImportOutcome::StepResult::Sold:
          Sell(i);
          break;
      }
      outcome.stepPositions[i] = id;
      touched[step.portfolio] = true;
    }
  }

  void StorePrices(const std::vector<VLManualPriceItem>& prices, ManualPriceIndex& storedPrices) {
    for (const VLManualPriceItem& price : prices) {
      bool changed = false;
      // Cannot fail: the ids were counted before.
      (void)db.StoreManualPrice(change.record, price, changed, &storedPrices);
    }
  }

  // The splits a statement reports, applied to the store's positions, oldest first, before the file's
  // trades (which are in today's shares by now).
  void ApplyReportedSplits(const std::vector<ImportAction>& actions) {
    std::vector<const ImportAction*> applied;
    for (const ImportAction& a : actions) {
      if (a.IsReportedSplit()) applied.push_back(&a);
    }
    std::stable_sort(applied.begin(), applied.end(), [](const ImportAction* a, const ImportAction* b) {
      return DayNumberOfStoredDate(a->action.exDate) < DayNumberOfStoredDate(b->action.exDate);
    });
    for (const ImportAction* a : applied) {
      SplitRequest request;
      request.symbol = a->action.name;
      request.ratio = {a->action.newShares, a->action.oldShares};
      request.exDate = a->action.exDate;
      request.comment = a->action.comment;
      // Cannot fail: the check applied it to copies of the same positions, and counted the ids.
      (void)db.ApplySplit(change, request);
    }
  }

  // The other actions recorded as they are: a Vellumar file's positions are in the shares of their day.
  void StoreActions(const std::vector<ImportAction>& actions) {
    // The ids were counted before: ImportFits.
    for (const ImportAction& a : actions) {
      if (!a.IsReportedSplit()) db.StoreCorporateAction(change.record, a.action);
    }
  }

  // The payments, each in its portfolio; a reinvested one names the position its purchase added.
  void StoreIncome(const std::vector<ImportIncome>& incomes, const std::vector<size_t>& kept) {
    for (size_t index : kept) {
      const ImportIncome& row = incomes[index];
      auto income = std::make_unique<VLIncomeItem>();
      (void)income->CopyFrom(&row.income);  // cannot fail: not null
      income->portfolioId = outcome.portfolioIds[row.portfolio];
      income->reinvestPositionId = row.reinvestStep ? outcome.stepPositions[*row.reinvestStep] : 0;
      change.record.Record(JournalRecordKind::Income, db.lastIncomeId + 1);
      change.record.Portfolio(income->portfolioId);
      income->id = ++db.lastIncomeId;  // the ids were counted before: ImportFits
      db.incomes.InsertAt(db.incomes.GetCount(), std::move(income));
      touched[row.portfolio] = true;
    }
  }

  // The journal's text, the touched portfolios' modification times and the events.
  void Finish(bool storedPrices) {
    change.record.SetText(ImportText(outcome, plan, touched));
    std::unordered_map<uint32_t, VLPortfolioItem*> portfolioById;
    for (const auto& item : db.portfolios)
      portfolioById.emplace(item->id, static_cast<VLPortfolioItem*>(item.get()));
    for (size_t p = 0; p < plan.portfolios.size(); ++p) {
      if (!touched[p]) continue;
      const uint32_t portfolioId = outcome.portfolioIds[p];
      if (const auto found = portfolioById.find(portfolioId); found != portfolioById.end())
        found->second->modified = db.Now();
      change.events.emplace_back(
          portfolioId, firstAdded[p],
          firstAdded[p] ? VLDatabaseEvent::kPositionAdded : VLDatabaseEvent::kPositionChanged);
    }
    // New prices change the figures of their symbols' positions in every portfolio.
    if (storedPrices) change.events.emplace_back(0, 0, VLDatabaseEvent::kQuotesRefreshed);
  }

 private:
  // A position the resolution found in the store; the index is made at the first look-up.
  VLHoldingItem* Stored(uint32_t id) {
    if (storedById.empty()) {
      storedById.reserve(static_cast<size_t>(db.positions.GetCount()));
      for (const auto& item : db.positions)
        storedById.emplace(item->id, static_cast<VLHoldingItem*>(item.get()));
    }
    return storedById.at(id);
  }
  // The price the file bought a lot of its own at, when no split came between that purchase and the sale
  // of `sold` (the price is then in the shares of the sale's day); 0 for a lot of the store.
  UnitPrice TradedPrice(size_t lot, const VLStockHoldingItem& sold) const {
    while (resolution.lots[lot].origin == ImportLot::Origin::Remainder) lot = resolution.lots[lot].from;
    if (resolution.lots[lot].origin != ImportLot::Origin::Added) return {};
    const auto& bought =
        static_cast<const VLStockHoldingItem&>(*original.steps[resolution.lots[lot].from].holding);
    const int64_t boughtDay = DayNumberOrZero(bought.purchaseDate);
    const int64_t saleDay = DayNumberOfStoredDate(sold.saleDate);
    if (const std::vector<ImportSplit>* list = splits.Of(sold.name)) {
      for (const ImportSplit& split : *list) {
        if (split.exDay <= saleDay && (boughtDay == 0 || boughtDay < split.exDay)) return {};
      }
    }
    return bought.buyPricePerShare;
  }

  // New positions go to the end of the list.
  VLStockHoldingItem* Last() const {
    return static_cast<VLStockHoldingItem*>(db.positions.GetAt(db.positions.GetCount() - 1));
  }

  uint32_t Add(size_t i) {
    const ImportStep& step = plan.steps[i];
    const uint32_t portfolioId = outcome.portfolioIds[step.portfolio];
    uint32_t id = 0;
    if (step.holding->GetKind() == kHoldingStock) {
      // Cannot fail: the ids were counted before.
      const auto& stock = static_cast<const VLStockHoldingItem&>(*step.holding);
      const Quantity opening = resolution.actions[i].openingShares;
      if (opening.IsZero()) {
        (void)db.InsertStock(change.record, portfolioId, stock, id, &symbols);
      } else {
        // Shares held before a statement, less those the portfolio holds already.
        VLStockHoldingItem rest(stock);
        rest.qty = opening;
        (void)db.InsertStock(change.record, portfolioId, rest, id, &symbols);
      }
      if (lotOfStep[i] != kNoLot) lotStocks[lotOfStep[i]] = Last();
      return id;
    }
    std::unique_ptr<Item> copy = step.holding->Clone();
    auto* holding = static_cast<VLHoldingItem*>(copy.get());
    change.record.Position(db.lastPositionId + 1);
    change.record.Portfolio(portfolioId);
    holding->id = id = ++db.lastPositionId;
    holding->ownerPortfolioId = portfolioId;
    db.positions.InsertAt(db.positions.GetCount(), std::move(copy));  // a new id
    return id;
  }

  uint32_t SetBalance(size_t i) {
    const ImportStep& step = plan.steps[i];
    const uint32_t id = resolution.actions[i].balancePosition;
    auto* amount = static_cast<VLAmountHoldingItem*>(Stored(id));
    change.record.Position(*amount);
    change.record.Portfolio(outcome.portfolioIds[step.portfolio]);
    const auto& balance = static_cast<const VLAmountHoldingItem&>(*step.holding);
    amount->SetAmount(balance.GetAmount());
    amount->balanceDate = balance.balanceDate;  // the statement's day, or none when it gives none
    return id;
  }

  void Sell(size_t i) {
    const ImportStep& step = plan.steps[i];
    for (const ImportLotSale& part : resolution.actions[i].sales) {
      VLStockHoldingItem*& stock = lotStocks[part.lot];
      if (!stock) stock = static_cast<VLStockHoldingItem*>(Stored(resolution.lots[part.lot].positionId));
      uint32_t rest = 0;
      // Cannot fail: the resolution counted the shares held then and the ids left.
      (void)db.SellStored(change.record, *stock, part.qty, step.salePrice, part.saleCommission, step.saleDate,
                          rest);
      if (part.remainder != kNoLot) lotStocks[part.remainder] = Last();
      // `stock` is the part sold now; sold before splits, it stays in the shares of its day, as a split
      // leaves a position sold before it. Cannot fail: the resolution checked each part.
      if (!step.splitsAfterSale.empty())
        (void)SharesOfSaleDay(*stock, step.splitsAfterSale, TradedPrice(part.lot, *stock));
    }
  }

  VLDatabase& db;
  Change& change;
  const ImportPlan& plan;      // in today's shares
  const ImportPlan& original;  // as the file gave it
  const ImportSplits& splits;
  const ImportResolution& resolution;
  ImportOutcome& outcome;
  SymbolIndex symbols;
  std::unordered_map<uint32_t, VLHoldingItem*> storedById;
  // Positions a sale takes shares from, by lot; known once the step that adds a lot has run. The lot each
  // step adds, if any.
  std::vector<VLStockHoldingItem*> lotStocks;
  std::vector<size_t> lotOfStep;
  std::vector<uint32_t> firstAdded;  // per plan portfolio: its first new position
  std::vector<bool> touched;         // per plan portfolio
};

VLResult VLDatabase::ImportPositions(VLDatabaseConn* conn, const ImportPlan& plan, ImportOutcome& outcome,
                                     std::vector<ImportProblem>& problems) {
  const bool createsPortfolios = [&] {
    std::lock_guard guard(lock);
    std::unordered_set<std::string> names;
    for (const auto& item : portfolios) names.insert(AsciiUpper(item->name));
    for (const ImportPortfolio& wanted : plan.portfolios) {
      if (!names.count(AsciiUpper(wanted.name))) return true;
    }
    return false;
  }();
  // Against the store as it is once the file's lock is held (another program may have changed it).
  return RunChange(conn, createsPortfolios ? NoticeKind::Portfolios : NoticeKind::Positions,
                   [&](Change& change) -> VLResult {
                     ImportCheck check(plan);
                     if (const VLResult rc = CheckImport(plan, outcome, problems, check); rc != VLResult::Ok)
                       return rc;
                     if (!ImportChanges(check.resolution, !check.prices.empty() || !check.actions.empty() ||
                                                              !check.income.empty())) {
                       change.unchanged = true;
                       return VLResult::Ok;
                     }
                     ImportRun run(*this, change, plan, check, outcome);
                     run.CreatePortfolios();
                     run.ApplyReportedSplits(check.actions);
                     run.ApplySteps();
                     run.StorePrices(check.prices, check.storedPrices);
                     run.StoreActions(check.actions);
                     run.StoreIncome(plan.incomes, check.income);
                     run.Finish(!check.prices.empty());
                     return VLResult::Ok;
                   });
}
