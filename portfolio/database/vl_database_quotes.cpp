// The quote refresh, the market setting and the summary of the portfolio database.
#include <algorithm>
#include <chrono>
#include <unordered_map>

#include "marketdata/stock_info.h"
#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_quote_source.h"
#include "portfolio/income/income_allocation.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "portfolio/views/portfolio_summary.h"

namespace {

// Marks a refresh as running for as long as it is in scope, even when it leaves early.
class RefreshScope {
 public:
  explicit RefreshScope(bool& flag) : flag(flag) { flag = true; }
  ~RefreshScope() { flag = false; }
  RefreshScope(const RefreshScope&) = delete;
  RefreshScope& operator=(const RefreshScope&) = delete;

 private:
  bool& flag;
};

}  // namespace

VLResult VLDatabase::UpdateQuotes(VLDatabaseConn* conn) {
  return RefreshQuotes(conn, nullptr);
}

VLResult VLDatabase::UpdateQuotesOf(VLDatabaseConn* conn, const std::vector<std::string>& symbols) {
  return RefreshQuotes(conn, &symbols);
}

VLResult VLDatabase::RefreshQuotes(VLDatabaseConn* conn, const std::vector<std::string>* only) {
  Notice notice{NoticeKind::Quotes, {VLDatabaseEvent(0, 0, VLDatabaseEvent::kQuotesRefreshed)}};
  Notice reload;
  {
    std::lock_guard guard(lock);
    if (VLResult rc = CheckChange(conn); rc != VLResult::Ok) return rc;  // also refuses a second refresh
    if (!refresh.source) return VLResult::Failed;
    refresh.lastError.clear();
    refresh.lastFailure = {};
    RefreshScope running(refresh.running);

    // Everything is fetched first, into copies, without the file's lock: other processes keep saving
    // while the network is slow. A failed request, or the deadline passing, ends the refresh with nothing
    // changed.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(refresh.deadlineMs);
    const auto pastDeadline = [&] {
      if (refresh.deadlineMs <= 0 || std::chrono::steady_clock::now() < deadline) return false;
      refresh.lastError = "The quote refresh did not finish within " +
                          std::to_string((refresh.deadlineMs + 999) / 1000) + " s";
      return true;
    };
    std::string time, status;
    const bool haveTime = !only && refresh.source->FetchMarketTime(market, time, status);
    std::vector<StockInfo> fetched;
    fetched.reserve(static_cast<size_t>(quotes.GetCount()));
    for (int i = 0; i < quotes.GetCount(); ++i) {
      const auto* quote = static_cast<const VLStockInfoItem*>(quotes.GetAt(i));
      if (only && std::find(only->begin(), only->end(), quote->name) == only->end()) continue;
      StockInfo& info = fetched.emplace_back(*quote->quote);
      info.symbol = quote->name;
    }
    if (fetched.empty() && only) return VLResult::Ok;  // nothing to ask for, nothing changed
    for (size_t start = 0; start < fetched.size(); start += kQuoteBatchSize) {
      std::vector<StockInfo*> batch;
      for (size_t i = start; i < fetched.size() && i < start + kQuoteBatchSize; ++i)
        batch.push_back(&fetched[i]);
      if (pastDeadline()) return VLResult::Failed;
      if (!refresh.source->FetchQuotes(batch, refresh.lastError)) {
        refresh.lastFailure = refresh.source->GetLastFailure();
        return VLResult::Failed;
      }
    }
    if (pastDeadline()) return VLResult::Failed;

    // Then applied, under the lock, to the store as it is now: quotes of symbols that another process
    // dropped meanwhile are skipped, symbols it added keep their old figures until the next refresh.
    if (VLResult rc = BeginFileChange(reload); rc != VLResult::Ok) return rc;
    // Each quote gets a new record; positions handed out before keep the one they were given.
    std::unordered_map<std::string, const StockInfo*> bySymbol;
    for (const StockInfo& info : fetched) bySymbol.emplace(info.symbol, &info);
    for (const auto& item : quotes) {
      auto* quote = static_cast<VLStockInfoItem*>(item.get());
      if (auto found = bySymbol.find(quote->name); found != bySymbol.end()) {
        quote->quote = SharedStockInfo(*found->second);
      }
    }
    RebindSymbols();
    if (haveTime) {
      marketTime = time;
      marketStatus = status;
    }
    if (VLResult rc = SaveChange(); rc != VLResult::Ok) return rc;
  }
  if (!reload.events.empty()) notifier.Notify(reload);
  notifier.Notify(notice);
  return VLResult::Ok;
}

VLResult VLDatabase::SetMarket(VLDatabaseConn* conn, int32_t index) {
  return RunChange(conn, NoticeKind::Positions, [&](Change&) -> VLResult {
    market = refresh.source && refresh.source->IsSupportedMarket(index) ? index : 0;
    return VLResult::Ok;
  });
}

VLResult VLDatabase::GetMarket(VLDatabaseConn* conn, int32_t& index) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  index = market;
  return VLResult::Ok;
}

VLResult VLDatabase::GetMarketTime(VLDatabaseConn* conn, std::string& text) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  text = marketTime;
  return VLResult::Ok;
}

VLResult VLDatabase::GetMarketStatus(VLDatabaseConn* conn, std::string& text) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  text = marketStatus;
  return VLResult::Ok;
}

VLResult VLDatabase::GetPortfolioSummary(VLDatabaseConn* conn, uint32_t portfolioId, bool held,
                                         const std::vector<uint32_t>* ids, VLPortfolioSummary& summary) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  if (!FindPortfolio(portfolioId)) return VLResult::NotFound;
  // The stored positions themselves, read only: they carry their cached quote.
  std::vector<const VLHoldingItem*> counted;
  for (const auto& item : positions) {
    const auto* holding = static_cast<const VLHoldingItem*>(item.get());
    if (holding->ownerPortfolioId == portfolioId) counted.push_back(holding);
  }
  SummaryIncome income;
  for (const auto& item : incomes) {
    const auto* record = static_cast<const VLIncomeItem*>(item.get());
    if (record->portfolioId == portfolioId) (void)income.records.emplace_back().CopyFrom(record);
  }
  if (!income.records.empty()) {
    std::vector<const VLStockHoldingItem*> stocks;
    for (const VLHoldingItem* holding : counted) {
      if (holding->GetKind() == kHoldingStock)
        stocks.push_back(static_cast<const VLStockHoldingItem*>(holding));
    }
    const int64_t today = TodayDayNumber();
    income.positionShares = AllocateIncome(stocks, income.records, today);
    income.year = DateOfDayNumber(today).year;
  }
  const FxRateBook none;
  const SummaryBase base{BaseCurrencyOf(portfolioId), fxRates ? fxRates.get() : &none, TodayDayNumber()};
  summary = ComputePortfolioSummary(counted, held, ids, GetNumberFormat(), &income, &base);
  return VLResult::Ok;
}
