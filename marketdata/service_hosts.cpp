#include "marketdata/service_hosts.h"

const std::array<ServiceHosts::HostField, ServiceHosts::kHostFieldCount>& ServiceHosts::HostFields() {
  static const std::array<HostField, kHostFieldCount> fields{{
      {"QuoteCsvHost", &ServiceHosts::quoteCsvHost},
      {"QuoteWebHost", &ServiceHosts::quoteWebHost},
      {"HistoricalHost", &ServiceHosts::historicalHost},
      {"ChartImageHost", &ServiceHosts::chartImageHost},
      {"ChartHost", &ServiceHosts::chartHost},
      {"AltChartHost", &ServiceHosts::altChartHost},
      {"ProductHost", &ServiceHosts::productHost},
  }};
  return fields;
}

void ServiceHosts::SetAllHosts(const std::string& host) {
  for (const HostField& f : HostFields()) this->*f.member = host;
}

std::string RegionSite(const std::string& subDomain, const std::string& host) {
  if (subDomain.empty()) return host;
  return subDomain + "." + host;
}

static ServiceHosts& CurrentHosts() {
  static ServiceHosts hosts;
  return hosts;
}

const ServiceHosts& GetServiceHosts() {
  return CurrentHosts();
}

void SetServiceHosts(const ServiceHosts& hosts) {
  CurrentHosts() = hosts;
}
