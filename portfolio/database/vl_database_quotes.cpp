// The quote refresh, the market setting and the summary of the portfolio database.
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_quote_source.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

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

int32_t VLDatabase::UpdateQuotes(VLDatabaseConn* conn) {
  Notice notice{NoticeKind::Quotes, {VLDatabaseEvent(0, 0, VLDatabaseEvent::kQuotesRefreshed)}};
  {
    std::lock_guard guard(lock);
    if (int32_t rc = CheckChange(conn); rc != kVLOk) return rc;  // also refuses a second refresh
    if (!quoteSource) return kVLFailed;
    lastRefreshError.clear();
    RefreshScope running(refreshing);

    std::string time, status;
    if (quoteSource->FetchMarketTime(market, time, status)) {
      marketTime = time;
      marketStatus = status;
    }
    // Changes are refused while this runs, so no quote can be removed under the walk.
    const int count = quotes.GetCount();
    for (int start = 0; start < count; start += kQuoteBatchSize) {
      std::vector<StockInfo*> batch;
      for (int i = start; i < count && i < start + kQuoteBatchSize; ++i) {
        auto* quote = static_cast<VLStockInfoItem*>(quotes.GetAt(i));
        quote->quote.symbol = quote->name;
        batch.push_back(&quote->quote);
      }
      if (!quoteSource->FetchQuotes(batch, lastRefreshError)) return kVLFailed;
    }
    if (SaveChange() != kVLOk) return kVLFailed;
  }
  Notify(notice);
  return kVLOk;
}

int32_t VLDatabase::SetMarket(VLDatabaseConn* conn, int32_t index) {
  return RunChange(conn, NoticeKind::Positions, [&](std::vector<VLDatabaseEvent>&) -> int32_t {
    market = quoteSource && quoteSource->IsSupportedMarket(index) ? index : 0;
    return kVLOk;
  });
}

int32_t VLDatabase::GetMarket(VLDatabaseConn* conn, int32_t& index) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return kVLFailed;
  index = market;
  return kVLOk;
}

int32_t VLDatabase::GetMarketTime(VLDatabaseConn* conn, std::string& text) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return kVLFailed;
  text = marketTime;
  return kVLOk;
}

int32_t VLDatabase::GetMarketStatus(VLDatabaseConn* conn, std::string& text) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return kVLFailed;
  text = marketStatus;
  return kVLOk;
}

int32_t VLDatabase::GetPortfolioSummary(VLDatabaseConn* conn, uint32_t portfolioId, bool held,
                                        const std::vector<uint32_t>* ids, VLPortfolioSummary& summary) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return kVLFailed;
  if (!FindPortfolio(portfolioId)) return kVLNotFound;
  // Clones, so the stock positions can carry the cached quote without touching the store.
  VLHoldingItemList own;
  std::vector<const VLHoldingItem*> counted;
  const QuoteIndex index = IndexQuotes();
  for (const auto& item : positions) {
    const auto* holding = static_cast<const VLHoldingItem*>(item.get());
    if (holding->ownerPortfolioId != portfolioId) continue;
    std::unique_ptr<Item> clone = holding->Clone();
    if (holding->GetKind() == kHoldingStock)
      RefreshFromCache(static_cast<VLStockHoldingItem&>(*clone), &index);
    counted.push_back(static_cast<const VLHoldingItem*>(clone.get()));
    own.InsertAt(own.GetCount(), std::move(clone));
  }
  summary = ComputePortfolioSummary(counted, held, ids, GetNumberFormat());
  return kVLOk;
}
