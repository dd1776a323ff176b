#pragma once
#include <memory>
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"

class HistoricalPrice;

// Fetches the daily prices of one symbol over whole months from the historical price service's
// CSV download, one HistoricalPrice per row.
class HistoricalPriceProvider : public CWebResourceProvider {
 public:
  using Results = std::vector<std::unique_ptr<HistoricalPrice>>;

  std::string symbol;
  int startMonth = 1;
  int startYear = 2007;
  int endMonth = 1;
  int endYear = 2007;

  // Appends the rows to `results` (the caller owns it and empties it before a new fetch). An empty
  // symbol or a span that ends before it starts fetches nothing and leaves "Error parsing content";
  // so does a page without the CSV header or without rows.
  void Fetch(const std::string& symbol, int startMonth, int startYear, int endMonth, int endYear,
             Results* results);

 protected:
  void GetUrl(std::string& out) override;
  void ParseContent() override;

 private:
  [[nodiscard]] bool ReadRow();

  Results* results = nullptr;
};
