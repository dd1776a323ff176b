#include "portfolio/fx/fx_rate_book.h"

#include <algorithm>

#include "portfolio/records/calendar_date.h"

std::string FxPairSymbol(const std::string& base, const std::string& quote) {
  return base + quote + "=X";
}

std::string FxPairName(const std::string& base, const std::string& quote) {
  return base + "/" + quote;
}

std::string MissingRateText(const std::string& base, const std::string& quote, int64_t day) {
  return "no " + FxPairName(base, quote) + " rate on or before " + IsoDateText(DateOfDayNumber(day));
}

void FxRateBook::Add(const std::string& base, const std::string& quote, std::vector<FxFixing> fixings) {
  std::stable_sort(fixings.begin(), fixings.end(),
                   [](const FxFixing& a, const FxFixing& b) { return a.day < b.day; });
  // Of two fixings of one day the later listed stays.
  std::vector<FxFixing> kept;
  kept.reserve(fixings.size());
  for (const FxFixing& fixing : fixings) {
    if (!fixing.rate.IsValid()) continue;
    if (!kept.empty() && kept.back().day == fixing.day)
      kept.back() = fixing;
    else
      kept.push_back(fixing);
  }
  pairs[FxPairSymbol(base, quote)] = std::move(kept);
}

bool FxRateBook::Has(const std::string& base, const std::string& quote) const {
  return pairs.count(FxPairSymbol(base, quote)) != 0;
}

bool FxRateBook::RateOn(const std::string& base, const std::string& quote, int64_t day, FxRateUsed& used,
                        std::string& error) const {
  if (base == quote) {
    used = {FxRate{1, 0}, day};
    return true;
  }
  const auto found = pairs.find(FxPairSymbol(base, quote));
  if (found == pairs.end()) {
    error = "no " + FxPairName(base, quote) + " rates fetched yet";
    return false;
  }
  {
    const std::vector<FxFixing>& fixings = found->second;
    auto after = std::upper_bound(fixings.begin(), fixings.end(), day,
                                  [](int64_t d, const FxFixing& fixing) { return d < fixing.day; });
    if (after != fixings.begin()) {
      const FxFixing& fixing = *(after - 1);
      used = {fixing.rate, fixing.day};
      return true;
    }
  }
  error = MissingRateText(base, quote, day);
  return false;
}
