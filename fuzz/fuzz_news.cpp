// Parses arbitrary text as a headlines page; the list stays ordered newest first and within its limit.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "marketdata/news_item.h"
#include "marketdata/news_item_provider.h"
#include "tests/support/offline_provider.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte gives the limits, small enough that pages reach them.
  const int dayLimit = 1 + data[0] % 8;
  const int itemLimit = 1 + (data[0] >> 3);
  OfflineProvider<NewsItemProvider> provider;
  NewsItemProvider::Results results;
  provider.Fetch({"MSFT"}, &results, dayLimit, itemLimit, nullptr, 0);
  provider.ParsePage(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  if (static_cast<int>(results.size()) > itemLimit) std::abort();
  for (size_t i = 1; i < results.size(); ++i) {
    if (results[i - 1]->date < results[i]->date) std::abort();
  }
  return 0;
}
