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

// The closes of `symbol` from `first` to `last`, those up to the day before each recorded change of its
// symbol asked under the symbol it had then (and so on back). A former symbol the source cannot answer for
// leaves the days the current one gave; `depth` stops a chain of changes that comes round to itself.
CloseRequestResult ClosesUnderEverySymbol(IDailyCloseSource& source, const PerformanceLots& lots,
                                          const std::string& symbol, int64_t first, int64_t last,
                                          std::vector<DailyClose>& closes, int depth = 0) {
  const CloseRequestResult result = source.GetCloses(symbol, first, last, closes);
  const auto formers = lots.formerSymbols.find(AsciiUpper(symbol));
  if (formers == lots.formerSymbols.end() || depth > 8) return result;
  for (const PerformanceLots::FormerSymbol& former : formers->second) {
    if (former.lastDay < first) continue;
    std::vector<DailyClose> earlier;
    const int64_t until = std::min(former.lastDay, last);
    if (ClosesUnderEverySymbol(source, lots, former.symbol, first, until, earlier, depth + 1).status !=
        CloseRequestStatus::Ok) {
      continue;
    }
    std::erase_if(closes, [&](const DailyClose& c) { return c.day <= until; });
    std::erase_if(earlier, [&](const DailyClose& c) { return c.day > until; });
    closes.insert(closes.begin(), earlier.begin(), earlier.end());
  }
  std::stable_sort(closes.begin(), closes.end(),
                   [](const DailyClose& a, const DailyClose& b) { return a.day < b.day; });
  // A symbol with no history of its own under its new name takes what its former names gave.
  if (result.status != CloseRequestStatus::Ok && !closes.empty()) return {};
  return result;
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
      const CloseRequestResult result = ClosesUnderEverySymbol(
          source, lots, symbol, std::min(start, span.to) - kCloseLookbackDays, span.to, closes);
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
  return ComputePerformance(taking, span, table, lots.incomes,
                            PerformanceConversion(lots.baseCurrency, lots.rates.get()));
}
