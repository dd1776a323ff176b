#include "marketdata/chart_provider.h"

#include <cstdio>
#include <fstream>

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

  std::ofstream out(filePath, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(image.data(), static_cast<std::streamsize>(image.size()));
  out.close();
  if (!out) {
    std::remove(filePath.c_str());
    return false;
  }
  return true;
}
