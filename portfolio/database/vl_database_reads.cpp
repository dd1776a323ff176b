#include "portfolio/database/vl_database_reads.h"

#include <utility>
#include <vector>

#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/performance/performance_lots.h"

VLResult ReadExport(VLDatabase& db, VLDatabaseConn* conn, const ExportChoice& choice, ExportData& data) {
  VLPortfolioItemList portfolios;  // ordered by name, as the window lists them
  if (VLResult code = db.GetPortfolios(conn, portfolios); code != VLResult::Ok) return code;
  std::vector<VLManualPriceItem> prices;
  if (VLResult code = db.GetManualPrices(conn, prices); code != VLResult::Ok) return code;
  VLStockInfoItemList quotes;
  VLPortfolioItemList allPortfolios;
  VLHoldingItemList positions;
  db.CopyAll(quotes, allPortfolios, positions);
  std::vector<VLCorporateActionItem> actions;
  if (VLResult code = db.GetCorporateActions(conn, actions); code != VLResult::Ok) return code;
  std::vector<VLIncomeItem> incomes;
  if (VLResult code = db.GetIncome(conn, 0, incomes); code != VLResult::Ok) return code;
  return CollectExport(portfolios, positions, std::move(prices), choice, data, std::move(actions),
                       std::move(incomes))
             ? VLResult::Ok
             : VLResult::NotFound;
}

VLResult ReadPortfolioLots(VLDatabase& db, VLDatabaseConn* conn, uint32_t portfolioId,
                           PerformanceLots* lots) {
  *lots = {};
  for (const bool held : {true, false}) {
    VLHoldingItemList positions;
    if (const VLResult code = db.GetPositions(conn, portfolioId, held, positions); code != VLResult::Ok)
      return code;
    CollectLots(positions, lots);
  }
  std::vector<VLManualPriceItem> prices;  // by symbol, then day
  if (const VLResult code = db.GetManualPrices(conn, prices); code != VLResult::Ok) return code;
  AddManualCloses(prices, lots);
  std::vector<VLCorporateActionItem> actions;
  if (const VLResult code = db.GetCorporateActions(conn, actions); code != VLResult::Ok) return code;
  AddCorporateActions(actions, lots);
  std::vector<VLIncomeItem> incomes;
  if (const VLResult code = db.GetIncome(conn, portfolioId, incomes); code != VLResult::Ok) return code;
  AddIncome(incomes, lots);
  lots->baseCurrency = db.BaseCurrencyOf(portfolioId);
  if (!lots->baseCurrency.empty()) lots->rates = db.FxRates();
  return VLResult::Ok;
}
