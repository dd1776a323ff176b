// Answers arbitrary requests with the service's request handler over the fixture market. The input is
// "METHOD\nTARGET\nHOST"; missing lines take GET and localhost. Every answer is a proper HTTP status.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "service/market.h"
#include "service/request_router.h"
#include "service/service_options.h"

static const Market& FixtureMarket() {
  static const std::unique_ptr<Market> market = [] {
    const std::string folder = std::string(VL_FIXTURES_DIR) + "/service";
    SecurityList list;
    std::string error;
    if (!list.LoadFile(folder + "/securities.csv", error)) std::abort();
    SysSeconds now{};
    if (!ParseClockText("2026-12-04T15:30:00-05:00", now)) std::abort();
    auto made = std::make_unique<Market>(std::move(list), 1, now);
    std::vector<std::string> messages;
    made->LoadHistoryFolder(folder + "/history", messages);
    return made;
  }();
  return *market;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ServiceRequest request;
  request.host = "localhost:8642";
  const size_t first = text.find('\n');
  if (first == std::string::npos) {
    request.target = text;
  } else {
    request.method = text.substr(0, first);
    const size_t second = text.find('\n', first + 1);
    request.target =
        text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (second != std::string::npos) request.host = text.substr(second + 1);
  }
  const ServiceResponse response = HandleServiceRequest(FixtureMarket(), request);
  if (response.status < 100 || response.status > 599) std::abort();
  return 0;
}
