#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/fx/fx_rate_book.h"
#include "portfolio/performance/daily_close_source.h"

#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_corporate_action_item.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_manual_price_item.h"

class VLHoldingItemList;

// One stock position as the performance figures see it: shares and prices exact, money in whole cents,
// calendar days (days since 1970-01-01).
struct PerformanceLot {
  uint32_t positionId = 0;
  std::string symbol;
  Quantity qty;
  UnitPrice buyPrice;
  int64_t buyCommissionCents = 0;
  int64_t purchaseDay = 0;
  bool sold = false;
  int64_t saleDay = 0;  // only when sold
  UnitPrice salePrice;
  int64_t saleCommissionCents = 0;
  std::string currency;  // the position's currency (PositionCurrency), "" when unknown
  // The rates the broker charged, kept against `rateCurrency` (VLStockHoldingItem's); invalid for none.
  std::string rateCurrency;
  FxRate buyRate;
  FxRate saleRate;
  // The recorded splits its shares count: ex-dates after the purchase, up to the sale. On the days before
  // each, the position held its quantity divided by the split's ratio (AddCorporateActions).
  struct Split {
    int64_t day = 0;  // the ex-date
    int64_t newShares = 1;
    int64_t oldShares = 1;
  };
  std::vector<Split> splits;  // by day

  // The quantity in the shares of the close of `day`: divided by the ratio of every split after it,
  // rounded once to 0.00000001 share.
  Quantity QtyOn(int64_t day) const;
  // Whether a split of ex-date `day` changed the lot's shares: bought before the day, not sold before it.
  bool HeldAcross(int64_t day) const { return purchaseDay < day && (!sold || saleDay >= day); }

  // "Total Paid": quantity x buy price + buy commission.
  int64_t TotalPaidCents() const { return ProductCents(qty, buyPrice) + buyCommissionCents; }
  // Quantity x sale price - sale commission.
  int64_t SaleValueCents() const { return ProductCents(qty, salePrice) - saleCommissionCents; }
};

// One payment of income to the portfolio: its pay day and its amounts in cents (VLIncomeItem).
struct PerformanceIncome {
  int64_t payDay = 0;
  int64_t grossCents = 0;
  int64_t withholdingCents = 0;
  int64_t feesCents = 0;
  uint32_t reinvestPositionId = 0;  // the position its cash bought; 0 for none
  std::string currency;             // the record's, else that of a lot of its symbol; "" when unknown

  int64_t NetCents() const { return grossCents - withholdingCents - feesCents; }
};

// The positions of one portfolio that take part, and what was left out.
struct PerformanceLots {
  std::vector<PerformanceLot> lots;
  // Stock positions whose dates cannot be placed on the calendar: no purchase date, or sold without a sale
  // date or with one before the purchase.
  int skipped = 0;
  int cashAndMargin = 0;  // cash positions and margin debts, which never take part
  // The currencies of the lots, sorted, each once: PositionCurrency, else CurrencyOfSymbol.
  std::vector<std::string> currencies;
  // The prices set by hand of the lots' symbols, oldest first, by symbol in upper case: the closes of a
  // symbol the history service has no history for.
  std::map<std::string, std::vector<DailyClose>> manualCloses;
  // The symbols a symbol had before a recorded change, by the symbol in upper case: the closes up to
  // `lastDay` (the day before the change) are asked under `symbol`.
  struct FormerSymbol {
    std::string symbol;
    int64_t lastDay = 0;
  };
  std::map<std::string, std::vector<FormerSymbol>> formerSymbols;
  // The portfolio's income, by pay day.
  std::vector<PerformanceIncome> incomes;
  // The base currency the figures are computed in (empty: the positions' own amounts, not converted) and
  // the rates to convert with.
  std::string baseCurrency;
  std::shared_ptr<const FxRateBook> rates;
};

// Adds the stock positions of `positions` (held and sold alike) to `lots`; cash and margin are counted, not
// taken. Called once for the held and once for the sold positions of a portfolio.
void CollectLots(const VLHoldingItemList& positions, PerformanceLots* lots);
// Adds the prices set by hand of the lots' symbols (`prices` by symbol, then day) as their closes. The
// database reads a portfolio's lots and prices for it (ReadPortfolioLots, vl_database_reads.h).
void AddManualCloses(const std::vector<VLManualPriceItem>& prices, PerformanceLots* lots);

// Gives each lot the recorded splits of its symbol (`actions`) that its shares count: ex-dates after its
// purchase, up to its sale; and notes each symbol change as the former symbol of the new one.
void AddCorporateActions(const std::vector<VLCorporateActionItem>& actions, PerformanceLots* lots);

// Adds the portfolio's income records (`incomes`, of one portfolio) by pay day; after the lots, whose
// currency a record without one takes.
void AddIncome(const std::vector<VLIncomeItem>& incomes, PerformanceLots* lots);

// The currency a symbol is quoted in, from its exchange suffix ("BHP.AX" AUD, "VOD.L" GBp, no suffix USD),
// named as ExchangeCurrency names its exchange's; "" for an index ("^DJI") and for a suffix this table does
// not know.
std::string CurrencyOfSymbol(const std::string& symbol);

// The distinct symbols of the lots, sorted.
std::vector<std::string> SymbolsOf(const std::vector<PerformanceLot>& lots);
