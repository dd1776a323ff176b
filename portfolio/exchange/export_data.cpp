#include "portfolio/exchange/export_data.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "framework/text_util.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"

int ExportData::PositionCount() const {
  int count = 0;
  for (const ExportPortfolio& p : portfolios) count += static_cast<int>(p.positions.size());
  return count;
}

bool ExportKeeps(const ExportChoice& choice, const VLHoldingItem& position) {
  switch (position.GetKind()) {
    case kHoldingCash:
      return choice.cash;
    case kHoldingMargin:
      return choice.margin;
    default:
      return choice.indexes || position.name.empty() || position.name[0] != '^';
  }
}

bool CollectExport(const VLPortfolioItemList& portfolios, VLHoldingItemList& positions,
                   std::vector<VLManualPriceItem> prices, const ExportChoice& choice, ExportData& data,
                   std::vector<VLCorporateActionItem> actions, std::vector<VLIncomeItem> incomes) {
  data.portfolios.clear();
  data.incomes.clear();
  data.positions.RemoveAll();
  data.prices.clear();
  data.actions.clear();
  for (uint32_t id : choice.portfolioIds) {
    if (!portfolios.FindById(id)) return false;
  }
  std::unordered_map<uint32_t, size_t> slot;
  for (const auto& item : portfolios) {
    const bool chosen = choice.portfolioIds.empty() ||
                        std::find(choice.portfolioIds.begin(), choice.portfolioIds.end(), item->id) !=
                            choice.portfolioIds.end();
    if (!chosen) continue;
    const auto& portfolio = static_cast<const VLPortfolioItem&>(*item);
    slot[portfolio.id] = data.portfolios.size();
    data.portfolios.push_back({portfolio.name, portfolio.comment, portfolio.baseCurrency, {}});
  }
  for (std::unique_ptr<Item>& item : positions.ReleaseAll())
    data.positions.InsertAt(data.positions.GetCount(), std::move(item));
  std::unordered_set<std::string> symbols;
  for (const auto& item : data.positions) {
    const auto& position = static_cast<const VLHoldingItem&>(*item);
    const auto found = slot.find(position.ownerPortfolioId);
    if (found == slot.end() || !ExportKeeps(choice, position)) continue;
    data.portfolios[found->second].positions.push_back(&position);
    if (position.GetKind() == kHoldingStock) symbols.insert(AsciiUpper(position.name));
  }
  for (VLManualPriceItem& price : prices) {
    if (choice.portfolioIds.empty() || symbols.count(price.name)) data.prices.push_back(std::move(price));
  }
  for (VLCorporateActionItem& action : actions) {
    if (choice.portfolioIds.empty() || symbols.count(action.name) || symbols.count(action.newSymbol))
      data.actions.push_back(std::move(action));
  }
  for (const VLIncomeItem& income : incomes) {
    const auto found = slot.find(income.portfolioId);
    if (found == slot.end()) continue;
    ExportIncome& taken = data.incomes.emplace_back();
    taken.portfolio = data.portfolios[found->second].name;
    (void)taken.income.CopyFrom(&income);
  }
  std::stable_sort(data.incomes.begin(), data.incomes.end(),
                   [&](const ExportIncome& a, const ExportIncome& b) {
                     const size_t pa = slot[a.income.portfolioId], pb = slot[b.income.portfolioId];
                     if (pa != pb) return pa < pb;
                     const int64_t dayA = DayNumberOfStoredDate(a.income.payDate),
                                   dayB = DayNumberOfStoredDate(b.income.payDate);
                     return dayA != dayB ? dayA < dayB : a.income.id < b.income.id;
                   });
  return true;
}
