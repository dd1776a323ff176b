#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/fetch_failure.h"
#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/records/vl_corporate_action_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_income_item.h"

// Dividends the market-data service knows, proposed as income records of a portfolio: for each payment, the
// shares its positions were entitled to (income_entitlement.h) times the amount per share.

// A dividend of one symbol: its ex-date and pay date (day numbers; the pay date 0 when not known), the
// amount per share in millionths as paid then (in the shares of the ex-date), and its currency.
struct KnownDividend {
  int64_t exDay = 0;
  int64_t payDay = 0;
  int64_t amountMicros = 0;
  std::string currency;
};

// Where the known dividends come from: the service's events page in the product, a table in tests.
class IDividendSource {
 public:
  virtual ~IDividendSource() = default;
  // The dividends of `symbol` with ex-dates from `firstDay` to `lastDay`; false with `error` (and `failure`
  // when known) when the source could not be asked or answered something else.
  virtual bool GetDividends(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                            std::vector<KnownDividend>& dividends, std::string& error,
                            FetchFailure& failure) = 0;
};

// The service's events page (/vellumar/events.csv), on the calling thread.
class ServiceDividendSource : public IDividendSource {
 public:
  bool GetDividends(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                    std::vector<KnownDividend>& dividends, std::string& error,
                    FetchFailure& failure) override;
};

// A payment to propose: the record (portfolio, symbol, kind dividend, pay and ex-dates, shares entitled,
// gross, currency), the amount per share it was worked out from, and whether the portfolio has it already
// (same symbol, kind and pay date).
struct IncomeProposal {
  VLIncomeItem income;
  int64_t amountMicros = 0;
  bool recorded = false;
};

struct IncomeFetch {
  std::vector<IncomeProposal> proposals;  // oldest payment first
  std::vector<std::string> unasked;       // symbols the source did not answer for, with the reason
  FetchFailure failure;                   // the first of those failures
  int asked = 0;                          // symbols asked

  bool NothingAnswered() const { return asked > 0 && unasked.size() == static_cast<size_t>(asked); }
};

// Shares held on the ex-date as the positions hold them now, put back through the recorded splits after
// it (a position sold before a split keeps the shares of its sale day); rounded once to 0.00000001.
Quantity SharesOnExDate(const VLStockHoldingItem& stock, int64_t exDay,
                        const std::vector<VLCorporateActionItem>& actions);

// The proposals of `portfolioId` among `positions`: every dividend `source` knows of each symbol its stock
// positions held, from `fromDay` (0: the first purchase of the symbol) to `today`, paid by `today` (the pay
// date, else the ex-date), to which some position was entitled; gross = amount x the shares then, rounded
// half away from zero to the cent; no withholding. `incomes` are the portfolio's records.
IncomeFetch ProposeIncome(const VLHoldingItemList& positions, uint32_t portfolioId,
                          const std::vector<VLCorporateActionItem>& actions,
                          const std::vector<VLIncomeItem>& incomes, IDividendSource& source, int64_t fromDay,
                          int64_t today);
