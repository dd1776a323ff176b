// Parses arbitrary text as the quote service's CSV answer for one to four symbols.
#include <cstdint>
#include <string>
#include <vector>

#include "marketdata/stock_info.h"
#include "marketdata/stock_info_provider.h"
#include "tests/support/offline_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte says how many symbols were asked for; the rest is the page.
  StockInfo infos[4];
  std::vector<StockInfo*> quotes;
  for (size_t i = 0; i <= data[0] % 4; ++i) {
    infos[i].symbol = "SYM" + std::to_string(i);
    quotes.push_back(&infos[i]);
  }
  OfflineProvider<StockInfoProvider> provider;
  provider.Fetch(quotes);
  provider.ParsePage(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  return 0;
}
