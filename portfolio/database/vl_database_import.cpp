// The import of positions from a file: one change of the portfolio database.
#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_resolver.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_amount_holding_item.h"
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
  std::string text = "Import";
  for (size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? " " : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  }
  const auto created = [&outcome](uint32_t id) {
    return std::find(outcome.createdPortfolios.begin(), outcome.createdPortfolios.end(), id) !=
           outcome.createdPortfolios.end();
  };
  std::string names;
  for (size_t p = 0; p < plan.portfolios.size(); ++p) {
    if (touched[p] || created(outcome.portfolioIds[p]))
      names += (names.empty() ? "" : ", ") + plan.portfolios[p].name;
  }
  return names.empty() ? text : text + " into " + names;
}

constexpr uint32_t kLastId = std::numeric_limits<uint32_t>::max();

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void Report(const ImportResolution& resolution, ImportOutcome& outcome) {
  outcome.added = resolution.counts.added;
  outcome.sold = resolution.counts.sold;
  outcome.balances = resolution.counts.balances;
  outcome.duplicates = resolution.counts.duplicates;
  outcome.portfolioIds = resolution.portfolioIds;
  outcome.stepResults.clear();
  for (const ImportStepAction& action : resolution.actions) outcome.stepResults.push_back(action.result);
  outcome.stepPositions.assign(resolution.actions.size(), 0);
  outcome.createdPortfolios.clear();
}

}  // namespace

std::vector<VLManualPriceItem> VLDatabase::ImportedPrices(const ImportPlan& plan, uint64_t& newIds) const {
  // A file's later price of a symbol and day replaces its earlier one, as a second Set Price would.
  std::map<std::pair<std::string, int64_t>, VLManualPriceItem> last;
  for (const ImportPrice& p : plan.prices) {
    VLManualPriceItem fields = ManualPriceFields(p.symbol, p.date, p.price);
    last[{fields.name, DayNumberOfStoredDate(fields.date)}] = std::move(fields);
  }
  std::vector<VLManualPriceItem> changing;
  newIds = 0;
  for (auto& [key, fields] : last) {
    const VLManualPriceItem* stored = FindManualPrice(fields.name, fields.date);
    if (stored && stored->price == fields.price) continue;
    newIds += stored == nullptr;
    changing.push_back(std::move(fields));
  }
  return changing;
}

bool VLDatabase::ImportFits(const ImportPlan& plan, const ImportResolution& resolution,
                            uint64_t newPrices) const {
  uint64_t newPortfolios = 0;
  for (uint32_t id : resolution.portfolioIds) newPortfolios += id == 0;
  uint64_t newPositions = 0;
  std::set<std::string> symbols;
  for (size_t i = 0; i < plan.steps.size(); ++i) {
    const ImportStepAction& action = resolution.actions[i];
    if (action.result == ImportOutcome::StepResult::Added) {
      ++newPositions;
      const VLHoldingItem& h = *plan.steps[i].holding;
      if (h.GetKind() == kHoldingStock) symbols.insert(Upper(h.name));
    }
    for (const ImportLotSale& part : action.sales) newPositions += part.remainder != kNoLot;
  }
  for (const auto& quote : quotes) symbols.erase(Upper(quote->name));
  const uint64_t newQuotes = symbols.size();
  return newPortfolios <= kLastId - lastPortfolioId && newPositions <= kLastId - lastPositionId &&
         newQuotes <= kLastId - lastQuoteId && newPrices <= kLastId - lastManualPriceId;
}

VLResult VLDatabase::TryImport(VLDatabaseConn* conn, const ImportPlan& plan, ImportOutcome& outcome,
                               std::vector<ImportProblem>& problems) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  const ImportResolution resolution = ResolveImport(plan, portfolios, positions);
  problems = resolution.problems;
  if (!problems.empty()) return VLResult::ImportRefused;
  uint64_t newPrices = 0;
  const std::vector<VLManualPriceItem> prices = ImportedPrices(plan, newPrices);
  if (!ImportFits(plan, resolution, newPrices)) return VLResult::StoreFull;
  Report(resolution, outcome);
  outcome.prices = static_cast<int>(prices.size());
  return VLResult::Ok;
}

VLResult VLDatabase::ImportPositions(VLDatabaseConn* conn, const ImportPlan& plan, ImportOutcome& outcome,
                                     std::vector<ImportProblem>& problems) {
  const bool createsPortfolios = [&] {
    std::lock_guard guard(lock);
    for (const ImportPortfolio& wanted : plan.portfolios) {
      bool found = false;
      for (const auto& item : portfolios) found = found || EqualNoCase(item->name, wanted.name);
      if (!found) return true;
    }
    return false;
  }();
  // Against the store as it is once the file's lock is held (another program may have changed it).
  return RunChange(
      conn, createsPortfolios ? NoticeKind::Portfolios : NoticeKind::Positions,
      [&](Change& change) -> VLResult {
        std::vector<VLDatabaseEvent>& events = change.events;
        const ImportResolution resolution = ResolveImport(plan, portfolios, positions);
        problems = resolution.problems;
        if (!problems.empty()) return VLResult::ImportRefused;
        uint64_t newPrices = 0;
        const std::vector<VLManualPriceItem> prices = ImportedPrices(plan, newPrices);
        if (!ImportFits(plan, resolution, newPrices)) return VLResult::StoreFull;
        Report(resolution, outcome);
        outcome.prices = static_cast<int>(prices.size());
        bool changes = resolution.counts.added + resolution.counts.sold + resolution.counts.balances > 0 ||
                       !prices.empty();
        for (uint32_t id : resolution.portfolioIds) changes = changes || id == 0;
        if (!changes) {
          change.unchanged = true;
          return VLResult::Ok;
        }

        std::vector<uint32_t>& portfolioIds = outcome.portfolioIds;
        for (size_t p = 0; p < plan.portfolios.size(); ++p) {
          if (portfolioIds[p] != 0) continue;
          auto portfolio = std::make_unique<VLPortfolioItem>();
          portfolio->name = plan.portfolios[p].name;
          portfolio->comment = plan.portfolios[p].comment;
          change.record.Portfolio(lastPortfolioId + 1);
          portfolio->id = portfolioIds[p] = ++lastPortfolioId;
          portfolio->created = Now();
          outcome.createdPortfolios.push_back(portfolio->id);
          events.emplace_back(portfolio->id, 0, VLDatabaseEvent::kPortfolioAdded);
          portfolios.Add(std::move(portfolio));
        }

        SymbolIndex symbols = IndexSymbols();
        // Positions a sale takes shares from, by lot; known once the step that adds a lot has run.
        std::vector<uint32_t> lotIds(resolution.lots.size(), 0);
        for (size_t lot = 0; lot < resolution.lots.size(); ++lot)
          lotIds[lot] = resolution.lots[lot].positionId;
        std::vector<uint32_t> firstAdded(plan.portfolios.size(), 0);
        std::vector<bool> touched(plan.portfolios.size(), false);
        for (size_t i = 0; i < plan.steps.size(); ++i) {
          const ImportStep& step = plan.steps[i];
          const ImportStepAction& action = resolution.actions[i];
          const uint32_t portfolioId = portfolioIds[step.portfolio];
          uint32_t id = 0;
          switch (action.result) {
            case ImportOutcome::StepResult::Duplicate:
              continue;
            case ImportOutcome::StepResult::Added:
              if (step.holding->GetKind() == kHoldingStock) {
                // Cannot fail: the ids were counted above.
                (void)InsertStock(change.record, portfolioId,
                                  static_cast<const VLStockHoldingItem&>(*step.holding), id, &symbols);
                for (size_t lot = 0; lot < resolution.lots.size(); ++lot) {
                  const ImportLot& l = resolution.lots[lot];
                  if (l.origin == ImportLot::Origin::Added && l.from == i) lotIds[lot] = id;
                }
              } else {
                std::unique_ptr<Item> copy = step.holding->Clone();
                auto* holding = static_cast<VLHoldingItem*>(copy.get());
                change.record.Position(lastPositionId + 1);
                change.record.Portfolio(portfolioId);
                holding->id = id = ++lastPositionId;
                holding->ownerPortfolioId = portfolioId;
                positions.InsertAt(positions.GetCount(), std::move(copy));  // a new id
              }
              if (!firstAdded[step.portfolio]) firstAdded[step.portfolio] = id;
              break;
            case ImportOutcome::StepResult::BalanceSet: {
              id = action.balancePosition;
              auto* stored = static_cast<VLAmountHoldingItem*>(FindPosition(id));
              change.record.Position(*stored);
              change.record.Portfolio(portfolioId);
              stored->SetAmount(static_cast<const VLAmountHoldingItem&>(*step.holding).GetAmount());
              break;
            }
            case ImportOutcome::StepResult::Sold:
              for (const ImportLotSale& part : action.sales) {
                auto* stock = static_cast<VLStockHoldingItem*>(FindPosition(lotIds[part.lot]));
                uint32_t rest = 0;
                // Cannot fail: the resolution counted the shares held then and the ids left.
                (void)SellStored(change.record, *stock, part.qty, step.salePrice, part.saleCommission,
                                 step.saleDate, rest);
                if (part.remainder != kNoLot) lotIds[part.remainder] = rest;
              }
              break;
          }
          outcome.stepPositions[i] = id;
          touched[step.portfolio] = true;
        }
        for (const VLManualPriceItem& price : prices) {
          bool changed = false;
          (void)StoreManualPrice(change.record, price, changed);  // cannot fail: the ids were counted above
        }
        change.record.SetText(ImportText(outcome, plan, touched));
        for (size_t p = 0; p < plan.portfolios.size(); ++p) {
          if (!touched[p]) continue;
          Touch(portfolioIds[p]);
          events.emplace_back(
              portfolioIds[p], firstAdded[p],
              firstAdded[p] ? VLDatabaseEvent::kPositionAdded : VLDatabaseEvent::kPositionChanged);
        }
        // New prices change the figures of their symbols' positions in every portfolio.
        if (!prices.empty()) events.emplace_back(0, 0, VLDatabaseEvent::kQuotesRefreshed);
        return VLResult::Ok;
      });
}
