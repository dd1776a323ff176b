#include "service/fetch_guard.h"

#include "service/host_check.h"

bool FetchAllowed(const HostCheck& hosts, std::string_view clientHeader, std::string_view origin,
                  std::string_view fetchSite, std::string& why) {
  if (!fetchSite.empty() && fetchSite != "same-origin" && fetchSite != "none") {
    why = "a fetch from a web page (Sec-Fetch-Site: " + std::string(fetchSite.substr(0, 32)) + ") is refused";
    return false;
  }
  if (!origin.empty()) {
    // "http://localhost:8642": the host part must be one of this machine's names.
    const size_t scheme = origin.find("://");
    const std::string_view host =
        scheme == std::string_view::npos ? std::string_view{} : origin.substr(scheme + 3);
    if (host.empty() || host.find('/') != std::string_view::npos || !hosts.Allows(host)) {
      why = "a fetch from the web page " + std::string(origin.substr(0, 64)) + " is refused";
      return false;
    }
  }
  if (clientHeader.empty()) {
    why = std::string("a fetch needs the header ") + kFetchClientHeader + ", which Vellumar's programs send";
    return false;
  }
  return true;
}
