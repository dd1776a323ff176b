#include "portfolio/performance/split_warnings.h"

#include <algorithm>
#include <map>

#include "framework/text_util.h"
#include "portfolio/records/calendar_date.h"

std::vector<UnrecordedSplit> FindUnrecordedSplits(const PerformanceLots& lots, int64_t to,
                                                  ISplitEventSource& source) {
  std::map<std::string, std::vector<const PerformanceLot*>> bySymbol;
  for (const PerformanceLot& lot : lots.lots) {
    if (lot.purchaseDay <= to) bySymbol[AsciiUpper(lot.symbol)].push_back(&lot);
  }
  std::vector<UnrecordedSplit> found;
  for (const auto& [symbol, symbolLots] : bySymbol) {
    int64_t first = to;
    for (const PerformanceLot* lot : symbolLots) first = std::min(first, lot->purchaseDay);
    std::vector<KnownSplit> known;
    std::string error;
    FetchFailure failure;
    if (!source.GetSplits(symbol, first, to, known, error, failure)) continue;
    for (const KnownSplit& split : known) {
      const bool missed = std::any_of(symbolLots.begin(), symbolLots.end(), [&](const PerformanceLot* lot) {
        const bool heldAcross = lot->HeldAcross(split.day);
        const bool counted = std::any_of(lot->splits.begin(), lot->splits.end(),
                                         [&](const PerformanceLot::Split& s) { return s.day == split.day; });
        return heldAcross && !counted && split.day <= to;
      });
      if (missed) found.push_back({symbol, split});
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const UnrecordedSplit& a, const UnrecordedSplit& b) {
    return a.split.day < b.split.day;
  });
  return found;
}

std::string UnrecordedSplitText(const UnrecordedSplit& split) {
  return split.symbol + " " + SplitRatioText(split.split.ratio) + " on " +
         IsoDateText(DateOfDayNumber(split.split.day));
}
