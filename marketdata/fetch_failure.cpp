#include "marketdata/fetch_failure.h"

#include "framework/text_util.h"

namespace {

std::string WithoutPort(const std::string& hostAndPort) {
  if (!hostAndPort.empty() && hostAndPort[0] == '[') {
    const size_t close = hostAndPort.find(']');
    return close == std::string::npos ? hostAndPort : hostAndPort.substr(1, close - 1);
  }
  const size_t colon = hostAndPort.find(':');
  if (colon != std::string::npos && hostAndPort.find(':', colon + 1) != std::string::npos) return hostAndPort;
  return hostAndPort.substr(0, colon);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string FetchFailure::Describe() const {
  if (cause.empty()) return {};
  return host.empty() ? cause : host + ": " + cause;
}

bool FetchFailure::IsLocalServiceDown() const {
  return noAnswer && IsLocalHost(host);
}

bool IsLocalHost(const std::string& hostAndPort) {
  const std::string host = AsciiLower(WithoutPort(hostAndPort));
  return host == "localhost" || EndsWith(host, ".localhost") || host.rfind("127.", 0) == 0 || host == "::1";
}
