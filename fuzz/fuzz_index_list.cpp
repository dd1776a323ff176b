// Parses arbitrary text as the product's list of exchange indexes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marketdata/stock_info.h"
#include "marketdata/symbol_finder.h"
#include "tests/support/offline_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OfflineProvider<SymbolFinder> provider;
  SymbolFinder::Results results;
  provider.Fetch({}, SymbolFinder::kIndexes, false, &results, nullptr, 0);
  provider.ParsePage(std::string(reinterpret_cast<const char*>(data), size));
  for (const auto& info : results) {
    if (!info) std::abort();
  }
  return 0;
}
