#include "portfolio/exchange/import_plan.h"

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
  copy.allowDuplicates = allowDuplicates;
  copy.asTraded = asTraded;
  copy.shortSaleCommandHint = shortSaleCommandHint;
  copy.shortSaleWindowHint = shortSaleWindowHint;
  copy.byName = byName;
  return copy;
}
