#include "marketdata/chart_provider.h"

#include "framework/replace_file.h"
#include "marketdata/c_web_grab.h"
#include "marketdata/stock_info.h"

ChartProvider::ChartProvider() : hosts(GetServiceHosts()) {}

bool ChartProvider::DownloadChart(const std::vector<StockInfo*>& quotes, const ChartProviderParams& params,
                                  const std::string& filePath) {
  if (quotes.empty()) return false;
  for (const StockInfo* info : quotes) {
    if (!info || info->symbol.empty()) return false;
  }
  std::string url;
  if (!GetChartUrl(quotes, params, url)) return false;

  CWebGrab grab;
  grab.SetReceiveTimeout(hosts.receiveTimeoutMs);
  grab.SetRequestTimeout(hosts.requestTimeoutMs);
  if (hosts.useProxy) grab.SetProxy(hosts.proxyHost, hosts.proxyPort);
  std::string image;
  if (!grab.GetFile(url, image, hosts.agent, nullptr)) return false;
  // An error page is not an image.
  if (grab.GetStatusCode() < 200 || grab.GetStatusCode() >= 300) return false;

  // Whole or not at all, never into a pipe or a device that happens to be at the path.
  FileError error;
  return ReplaceFileContent(filePath, image, error);
}
