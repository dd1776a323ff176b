#include "portfolio/exchange/import_plan.h"

#include <algorithm>

#include "portfolio/records/calendar_date.h"

ImportStep ImportStep::Copy() const {
  ImportStep copy;
  copy.kind = kind;
  copy.line = line;
  copy.portfolio = portfolio;
  if (holding) copy.holding.reset(static_cast<VLHoldingItem*>(holding->Clone().release()));
  copy.matchSplitParts = matchSplitParts;
  copy.opening = opening;
  copy.symbol = symbol;
  copy.qty = qty;
  copy.salePrice = salePrice;
  copy.saleCommission = saleCommission;
  copy.saleDate = saleDate;
  copy.splitsAfterSale = splitsAfterSale;
  return copy;
}

ImportPlan ImportPlan::Copy() const {
  ImportPlan copy;
  copy.portfolios = portfolios;
  copy.steps.reserve(steps.size());
  for (const ImportStep& step : steps) copy.steps.push_back(step.Copy());
  copy.prices = prices;
  copy.actions = actions;
  copy.incomes = incomes;
  copy.allowDuplicates = allowDuplicates;
  copy.asTraded = asTraded;
  copy.shortSaleCommandHint = shortSaleCommandHint;
  copy.shortSaleWindowHint = shortSaleWindowHint;
  copy.byName = byName;
  return copy;
}

void MergeTaxRows(ImportPlan& plan) {
  std::vector<ImportIncome> kept, taxes;
  kept.reserve(plan.incomes.size());
  for (ImportIncome& row : plan.incomes) (row.tax ? taxes : kept).push_back(std::move(row));
  for (ImportIncome& row : taxes) {
    const int64_t withheld = -row.income.gross;  // a tax row's gross is the tax, negative
    const auto dividend = std::find_if(kept.begin(), kept.end(), [&](const ImportIncome& d) {
      return !d.tax && d.portfolio == row.portfolio && d.income.name == row.income.name &&
             d.income.kind == IncomeKind::Dividend && d.income.gross > 0 &&
             DayNumberOfStoredDate(d.income.payDate) == DayNumberOfStoredDate(row.income.payDate) &&
             d.income.withholding + d.income.fees + withheld <= d.income.gross;
    });
    if (dividend != kept.end()) {
      dividend->income.withholding += withheld;
    } else {
      kept.push_back(std::move(row));
    }
  }
  plan.incomes = std::move(kept);
}
