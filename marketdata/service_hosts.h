#pragma once
#include <array>
#include <cstdint>
#include <string>

// Where the market-data requests go and how they are made. Every host is "name[:port]" without a
// scheme; region sites put their sub-domain in front of the quote web host (see RegionSite).
// The preferences read and write these under the INI section "Services"; HostFields() gives the
// keys so that the INI code stays a loop over a table.
struct ServiceHosts {
  static constexpr const char* kDefaultHost = "localhost:8642";
  static constexpr uint32_t kDefaultReceiveTimeoutMs = 30000;
  static constexpr uint32_t kDefaultRequestTimeoutMs = 60000;

  std::string quoteCsvHost = kDefaultHost;    // quote CSV download
  std::string quoteWebHost = kDefaultHost;    // quote service web pages: headlines, clock, look-up
  std::string historicalHost = kDefaultHost;  // historical price CSV download
  std::string chartImageHost = kDefaultHost;  // quote service image host (chart periods 0 and 1)
  std::string chartHost = kDefaultHost;       // quote service chart host (other periods)
  std::string altChartHost = kDefaultHost;    // alternative chart service
  std::string productHost = kDefaultHost;     // the product's own server (exchange index list)

  bool startLocalService = true;  // start the bundled service when a host is local and nothing answers
  uint32_t receiveTimeoutMs = kDefaultReceiveTimeoutMs;  // 0 = no receive time-out
  uint32_t requestTimeoutMs = kDefaultRequestTimeoutMs;  // a whole request, however it trickles; 0 = none
  std::string agent;                                     // user-agent text; empty sends none
  bool useProxy = false;
  std::string proxyHost;
  uint16_t proxyPort = 0;

  // One host setting: its INI key and where it lives.
  struct HostField {
    const char* key;
    std::string ServiceHosts::*member;
  };
  static constexpr int kHostFieldCount = 7;
  static const std::array<HostField, kHostFieldCount>& HostFields();

  // Points every host at one server (the command line's --service).
  void SetAllHosts(const std::string& host);
};

// "uk" + "localhost:8642" -> "uk.localhost:8642"; an empty sub-domain gives the host itself.
std::string RegionSite(const std::string& subDomain, const std::string& host);

// The settings that newly constructed providers copy. The application sets them once at start-up
// from its preferences; until then they are the defaults above.
const ServiceHosts& GetServiceHosts();
void SetServiceHosts(const ServiceHosts& hosts);
