#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"

class ICommandTarget;
class StockInfo;

// Finds ticker symbols by name through the quote service's look-up pages (50 results a page), or
// reads the product's list of exchange indexes. Each result is a StockInfo with only symbol, name
// and exchange filled.
class SymbolFinder : public CWebResourceProvider {
 public:
  using Results = std::vector<std::unique_ptr<StockInfo>>;
  enum SearchType : int { kStocks = 0, kMutualFunds = 1, kEtfs = 2, kFutures = 3, kIndexes = 4 };
  static constexpr int kPageSize = 50;

  bool stop = false;  // the owner sets it (from its progress command) to end the run after this page
  bool allMarkets = false;
  int progress = 0;  // percent
  int pageOffset = 0;
  int total = 0;
  int resultsSoFar = 0;

  // Appends the results to `results` (the caller owns it and its records). Between pages the owner,
  // when given with a non-zero command id, receives that command. An empty text with a type other
  // than kIndexes does nothing. A search without matches is not an error; a page that cannot be
  // read ends the run with the error set, keeping the results of earlier pages.
  void Fetch(const std::string& searchText, int searchType, bool allMarkets, Results* results,
             ICommandTarget* owner, uint32_t commandId);

 protected:
  void GetUrl(std::string& out) override;
  bool HasMoreRequests() override;
  void ParseContent() override;

 private:
  void ParseLookupPage();
  [[nodiscard]] bool ReadTotals();
  void ParseIndexList();

  Results* results = nullptr;
  std::string searchText;
  int searchType = kStocks;
  ICommandTarget* owner = nullptr;
  uint32_t commandId = 0;
  int previousResultsSoFar = 0;
};
