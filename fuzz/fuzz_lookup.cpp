// Parses arbitrary text as a symbol look-up page; the indexes it lists are always left out.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marketdata/stock_info.h"
#include "marketdata/symbol_finder.h"
#include "tests/support/offline_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OfflineProvider<SymbolFinder> provider;
  SymbolFinder::Results results;
  provider.Fetch("micro", SymbolFinder::kStocks, false, &results, nullptr, 0);
  provider.ParsePage(std::string(reinterpret_cast<const char*>(data), size));
  for (const auto& info : results) {
    if (!info || info->symbol.find('^') != std::string::npos) std::abort();  // indexes are never listed
  }
  return 0;
}
