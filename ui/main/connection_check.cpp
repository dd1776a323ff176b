#include "ui/main/connection_check.h"

#include <QNetworkInterface>
#include <algorithm>
#include <cctype>

#include "marketdata/service_hosts.h"

namespace {

std::string HostName(const std::string& host) {
  if (!host.empty() && host.front() == '[') {  // [::1]:8642
    const size_t close = host.find(']');
    return close == std::string::npos ? host.substr(1) : host.substr(1, close - 1);
  }
  if (std::count(host.begin(), host.end(), ':') > 1) return host;  // a bare IPv6 address
  return host.substr(0, host.find(':'));
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool IsLoopbackHost(const std::string& host) {
  std::string name = HostName(host);
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name == "localhost" || EndsWith(name, ".localhost") || name.rfind("127.", 0) == 0 || name == "::1";
}

bool AllHostsLoopback(const ServiceHosts& hosts) {
  for (const ServiceHosts::HostField& field : ServiceHosts::HostFields()) {
    if (!IsLoopbackHost(hosts.*field.member)) return false;
  }
  return true;
}

bool IsInternetConnected(const ServiceHosts& hosts) {
  if (AllHostsLoopback(hosts)) return true;
  for (const QNetworkInterface& network : QNetworkInterface::allInterfaces()) {
    const auto flags = network.flags();
    if (network.type() == QNetworkInterface::Loopback || flags.testFlag(QNetworkInterface::IsLoopBack))
      continue;
    if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning)) return true;
  }
  return false;
}
