// Parses arbitrary text as the market clock page of any region.
#include <cstdint>
#include <string>

#include "marketdata/market_time_provider.h"
#include "tests/support/offline_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the region (each has its own markers); the rest is the page.
  OfflineProvider<MarketTimeProvider> provider;
  provider.region = MarketRegions()[data[0] % kMarketRegionCount].code;
  provider.Fetch();
  provider.ParsePage(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  MarketTimeProvider::CleanState(provider.GetContent());
  return 0;
}
