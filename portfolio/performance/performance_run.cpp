#include "portfolio/performance/performance_run.h"

#include <algorithm>

#include "framework/text_util.h"
#include "portfolio/performance/daily_close_source.h"

namespace {

PerformanceStatus StatusOf(CloseRequestStatus status) {
  switch (status) {
    case CloseRequestStatus::Ok:
      return PerformanceStatus::Ok;
    case CloseRequestStatus::NoHistory:
      return PerformanceStatus::NoHistory;
    case CloseRequestStatus::Unreachable:
      return PerformanceStatus::Unreachable;
    case CloseRequestStatus::Failed:
      break;
  }
  return PerformanceStatus::Failed;
}

}  // namespace

PerformanceOutcome RunPerformance(const PerformanceLots& lots, const PerformanceSpan& span,
                                  IDailyCloseSource& source, const PerformanceProgress& progress) {
  std::vector<PerformanceLot> taking;
  for (const PerformanceLot& lot : lots.lots) {
    if (lot.purchaseDay <= span.to) taking.push_back(lot);
  }
  CloseTable table;
  if (!taking.empty()) {
    int64_t firstPurchase = taking.front().purchaseDay;
    for (const PerformanceLot& lot : taking) firstPurchase = std::min(firstPurchase, lot.purchaseDay);
    const int64_t start = std::max(firstPurchase, span.from.value_or(firstPurchase));
    const std::vector<std::string> symbols = SymbolsOf(taking);
    const int total = static_cast<int>(symbols.size());
    for (int i = 0; i < total; ++i) {
      const std::string& symbol = symbols[static_cast<size_t>(i)];
      if (progress && !progress(i, total, symbol)) {
        PerformanceOutcome cancelled;
        cancelled.status = PerformanceStatus::Cancelled;
        return cancelled;
      }
      std::vector<DailyClose>& closes = table[symbol];
      const CloseRequestResult result =
          source.GetCloses(symbol, std::min(start, span.to) - kCloseLookbackDays, span.to, closes);
      // A symbol the service has no history for takes its prices set by hand as its closes.
      const auto manual = lots.manualCloses.find(AsciiUpper(symbol));
      if (result.status == CloseRequestStatus::NoHistory && manual != lots.manualCloses.end()) {
        closes = manual->second;
        continue;
      }
      if (result.status != CloseRequestStatus::Ok) {
        PerformanceOutcome refused;
        refused.status = StatusOf(result.status);
        refused.symbol = symbol;
        refused.request = result;
        return refused;
      }
    }
    if (progress) progress(total, total, {});
  }
  return ComputePerformance(taking, span, table);
}
