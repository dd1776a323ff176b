#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/database/vl_result.h"

class VLDatabase;
class VLDatabaseConn;
class VLHoldingItemList;

// One stock position as the performance figures see it: whole cents, calendar days (days since 1970-01-01).
struct PerformanceLot {
  std::string symbol;
  int64_t qty = 0;
  int64_t buyPriceCents = 0;
  int64_t buyCommissionCents = 0;
  int64_t purchaseDay = 0;
  bool sold = false;
  int64_t saleDay = 0;  // only when sold
  int64_t salePriceCents = 0;
  int64_t saleCommissionCents = 0;

  // "Total Paid": quantity x buy price + buy commission.
  int64_t TotalPaidCents() const { return qty * buyPriceCents + buyCommissionCents; }
  // Quantity x sale price - sale commission.
  int64_t SaleValueCents() const { return qty * salePriceCents - saleCommissionCents; }
};

// The positions of one portfolio that take part, and what was left out.
struct PerformanceLots {
  std::vector<PerformanceLot> lots;
  // Stock positions whose dates cannot be placed on the calendar: no purchase date, or sold without a sale
  // date or with one before the purchase.
  int skipped = 0;
  int cashAndMargin = 0;  // cash positions and margin debts, which never take part
  // The trading currencies of the lots' symbols, sorted, each once (see CurrencyOfSymbol).
  std::vector<std::string> currencies;
};

// Adds the stock positions of `positions` (held and sold alike) to `lots`; cash and margin are counted, not
// taken. Called once for the held and once for the sold positions of a portfolio.
void CollectLots(const VLHoldingItemList& positions, PerformanceLots* lots);
// The lots of a portfolio's held and sold positions as the database has them now; the database's answer to
// the first read that fails, else Ok.
VLResult ReadPortfolioLots(VLDatabase& db, VLDatabaseConn* conn, uint32_t portfolioId, PerformanceLots* lots);

// The currency a symbol trades in, from its exchange suffix ("BHP.AX" AUD, "VOD.L" GBP, no suffix USD);
// "" for an index ("^DJI") and for a suffix this table does not know.
std::string CurrencyOfSymbol(const std::string& symbol);

// The distinct symbols of the lots, sorted.
std::vector<std::string> SymbolsOf(const std::vector<PerformanceLot>& lots);
