#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "portfolio/fx/fx_rate.h"

// One day's fixing of a currency pair.
struct FxFixing {
  int64_t day = 0;  // days since 1970-01-01
  FxRate rate;
};

// The pair as the market-data service quotes it: "EURGBP=X" is what one euro costs in pounds.
std::string FxPairSymbol(const std::string& base, const std::string& quote);
// The pair as messages name it: "EUR/GBP".
std::string FxPairName(const std::string& base, const std::string& quote);

// The rate a figure was converted at and the day of the fixing it came from.
struct FxRateUsed {
  FxRate rate;
  int64_t day = 0;
};

// Exchange rates by day, as fetched for the pairs a conversion needs. The rate of a day is the latest fixing
// on or before it (a weekend or a holiday takes the working day before). A pair with nothing on or before the
// day has no rate: the conversion is refused, never made at 1:1.
class FxRateBook {
 public:
  // The pair's fixings, in any order (one per day; a later one of the same day replaces it).
  void Add(const std::string& base, const std::string& quote, std::vector<FxFixing> fixings);
  bool Has(const std::string& base, const std::string& quote) const;
  bool Empty() const { return pairs.empty(); }

  // The rate of `day` for one `base` in `quote` (both major currencies): exactly 1 on that day for the same
  // currency. False, with `error` naming the pair and the day ("no EUR/GBP rate on or before 2024-03-15"),
  // when the pair's fixings hold none; naming the pair ("no EUR/GBP rates fetched yet") when the book has
  // no fixings of the pair at all (not asked for, or the source could not be reached).
  [[nodiscard]] bool RateOn(const std::string& base, const std::string& quote, int64_t day, FxRateUsed& used,
                            std::string& error) const;

 private:
  std::map<std::string, std::vector<FxFixing>> pairs;  // by FxPairSymbol, ascending days
};

// "no EUR/GBP rate on or before 2024-03-15"
std::string MissingRateText(const std::string& base, const std::string& quote, int64_t day);
