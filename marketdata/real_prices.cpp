#include "marketdata/real_prices.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "framework/file_util.h"
#include "marketdata/c_web_grab.h"
#include "marketdata/service_hosts.h"
#include "marketdata/url_encode.h"

namespace {

constexpr const char* kSourcesFile = "sources.ini";
constexpr const char* kPresetFile = "sources.example.ini";
constexpr size_t kMaxLineChars = 300;  // a wrong server cannot fill a status line

}  // namespace

bool HasRealPriceSources(const std::string& dataFolder) {
  return !dataFolder.empty() && FileExists(dataFolder + kSourcesFile);
}

bool WriteRealPriceSources(const std::string& dataFolder, const std::string& bundledFolder,
                           std::string& error) {
  if (dataFolder.empty()) {
    error = "the market-data service's folder is not known";
    return false;
  }
  if (HasRealPriceSources(dataFolder)) return true;
  const std::string preset = bundledFolder + kPresetFile;
  if (!FileExists(preset)) {
    error = preset + " is missing";
    return false;
  }
  std::error_code ignored;
  std::filesystem::create_directories(dataFolder, ignored);
  if (!CopyFileNoOverwrite(preset, dataFolder + kSourcesFile)) {
    error = "cannot write " + dataFolder + kSourcesFile;
    return false;
  }
  return true;
}

int64_t LastRealPriceFetch(const std::string& dataFolder) {
  int64_t newest = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dataFolder + "history", ec)) {
    if (entry.path().extension() != ".csv") continue;
    struct stat info {};
    if (::stat(entry.path().c_str(), &info) == 0) newest = std::max<int64_t>(newest, info.st_mtime);
  }
  return newest;
}

RealPriceFetch FetchRealPrices(CWebGrab& grab, const std::string& host, const std::string& symbol) {
  std::string body;
  const std::string url = "http://" + host + "/vellumar/fetch?s=" + EncodeUrlValue(symbol);
  const bool answered = grab.PostForm(url, "", body, GetServiceHosts().agent, nullptr);
  if (!answered) {
    return {false, symbol + ": " +
                       (grab.GetErrorText().empty() ? "the service does not answer" : grab.GetErrorText())};
  }
  std::string line = body.substr(0, std::min(body.find_first_of("\r\n"), kMaxLineChars));
  if (line.empty()) line = symbol + ": empty answer (status " + std::to_string(grab.GetStatusCode()) + ")";
  return {grab.GetStatusCode() == 200, line};
}
