// Base currencies: the rates a session converts with, a look in another currency, and each position's
// figures in its portfolio's base currency.
#include "portfolio/columns/clock.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/fx/position_base.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

void VLDatabase::SetFxRates(std::shared_ptr<const FxRateBook> book) {
  std::lock_guard guard(lock);
  fxRates = std::move(book);
}

std::shared_ptr<const FxRateBook> VLDatabase::FxRates() const {
  std::lock_guard guard(lock);
  return fxRates ? fxRates : std::make_shared<const FxRateBook>();
}

void VLDatabase::LookInCurrency(uint32_t portfolioId, const std::string& currency) {
  std::lock_guard guard(lock);
  if (currency.empty())
    lookCurrencies.erase(portfolioId);
  else
    lookCurrencies[portfolioId] = currency;
}

std::string VLDatabase::BaseCurrencyOf(uint32_t portfolioId) const {
  std::lock_guard guard(lock);
  if (const auto look = lookCurrencies.find(portfolioId); look != lookCurrencies.end()) return look->second;
  const VLPortfolioItem* portfolio = FindPortfolio(portfolioId);
  return portfolio ? portfolio->baseCurrency : std::string();
}

VLResult VLDatabase::GetRateNeeds(VLDatabaseConn* conn, uint32_t portfolioId, int64_t today,
                                  std::vector<FxRateRequest>& needs) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  if (portfolioId != 0 && !FindPortfolio(portfolioId)) return VLResult::NotFound;
  needs.clear();
  std::map<uint32_t, std::string> bases;
  for (const auto& item : portfolios) {
    if (portfolioId != 0 && item->id != portfolioId) continue;
    std::string base = BaseCurrencyOf(item->id);
    if (!base.empty()) bases.emplace(item->id, std::move(base));
  }
  if (bases.empty()) return VLResult::Ok;
  for (const auto& item : positions) {
    const VLStockHoldingItem* stock = AsStock(static_cast<const VLHoldingItem*>(item.get()));
    if (!stock) continue;
    const auto base = bases.find(stock->ownerPortfolioId);
    RateNeed need;
    if (base == bases.end() || !PositionRateNeed(*stock, base->second, today, need)) continue;
    AddRateNeed(needs, base->second, need.quote, need.firstDay, today);
  }
  return VLResult::Ok;
}

void VLDatabase::ShareBaseFigures(uint32_t portfolioId,
                                  const std::vector<VLStockHoldingItem*>& handedOut) const {
  const std::string base = BaseCurrencyOf(portfolioId);
  if (base.empty()) return;  // the common case: nothing to convert
  const FxRateBook none;
  const FxRateBook& book = fxRates ? *fxRates : none;
  const int64_t today = TodayDayNumber();
  for (VLStockHoldingItem* stock : handedOut) stock->base = ComputeBaseFigures(*stock, base, book, today);
}
