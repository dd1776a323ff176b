// Parses arbitrary text as the historical price service's CSV answer; every row read must be a real day.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"
#include "tests/support/offline_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OfflineProvider<HistoricalPriceProvider> provider;
  HistoricalPriceProvider::Results results;
  provider.Fetch("IBM", 1, 2007, 12, 2007, &results);
  provider.ParsePage(std::string(reinterpret_cast<const char*>(data), size));
  if (!provider.HasError() && results.empty()) std::abort();  // success means at least one row
  for (const auto& row : results) {
    if (!row || row->symbol != "IBM" || row->dateText.empty()) std::abort();
  }
  return 0;
}
