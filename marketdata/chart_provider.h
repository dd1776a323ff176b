#pragma once
#include <string>
#include <vector>

#include "marketdata/chart_provider_params.h"
#include "marketdata/service_hosts.h"

class StockInfo;

// Builds the image URL of a price chart for one or more symbols and downloads the image to a file.
// Only the records' symbols are read; the records are not owned.
class ChartProvider {
 public:
  // Copies the current service settings.
  ChartProvider();
  virtual ~ChartProvider() = default;

  // False when the list is empty, an entry is null or has no symbol, no URL can be built, or the
  // image cannot be fetched (an HTTP error status counts as a failure) or written. A failed download
  // leaves no file behind.
  [[nodiscard]] virtual bool DownloadChart(const std::vector<StockInfo*>& quotes,
                                           const ChartProviderParams& params, const std::string& filePath);
  // False when this provider has no chart for the request.
  [[nodiscard]] virtual bool GetChartUrl(const std::vector<StockInfo*>& quotes,
                                         const ChartProviderParams& params, std::string& url) = 0;

  void SetServiceHosts(const ServiceHosts& value) { hosts = value; }

 protected:
  ServiceHosts hosts;
};
