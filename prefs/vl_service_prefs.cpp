#include "prefs/vl_service_prefs.h"

namespace {

constexpr const char* kStartLocalServiceKey = "StartLocalService";
constexpr const char* kReceiveTimeoutKey = "ReceiveTimeoutMs";
constexpr const char* kRequestTimeoutKey = "RequestTimeoutMs";
constexpr const char* kAgentKey = "Agent";
constexpr const char* kUseProxyKey = "UseProxy";
constexpr const char* kProxyHostKey = "ProxyHost";
constexpr const char* kProxyPortKey = "ProxyPort";

std::string TrimBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

VLServicePrefs::VLServicePrefs() : Prefs("Services") {}

void VLServicePrefs::Load() {
  SetDefaults();
  BeginBatch();
  for (const ServiceHosts::HostField& field : ServiceHosts::HostFields()) {
    std::string& host = hosts.*field.member;
    const std::string value = TrimBlanks(ReadString(field.key, host));
    if (!value.empty()) host = value;
  }
  hosts.startLocalService = ReadBool(kStartLocalServiceKey, hosts.startLocalService);
  const int32_t timeout = ReadInt(kReceiveTimeoutKey, static_cast<int32_t>(hosts.receiveTimeoutMs));
  if (timeout >= 0) hosts.receiveTimeoutMs = static_cast<uint32_t>(timeout);
  const int32_t requestTimeout = ReadInt(kRequestTimeoutKey, static_cast<int32_t>(hosts.requestTimeoutMs));
  if (requestTimeout >= 0) hosts.requestTimeoutMs = static_cast<uint32_t>(requestTimeout);
  hosts.agent = ReadString(kAgentKey, hosts.agent);
  hosts.useProxy = ReadBool(kUseProxyKey, hosts.useProxy);
  hosts.proxyHost = TrimBlanks(ReadString(kProxyHostKey, hosts.proxyHost));
  const int32_t port = ReadInt(kProxyPortKey, hosts.proxyPort);
  if (port > 0 && port <= 65535) hosts.proxyPort = static_cast<uint16_t>(port);
  EndBatch(false);
}

bool VLServicePrefs::Save() {
  BeginBatch();
  for (const ServiceHosts::HostField& field : ServiceHosts::HostFields()) {
    WriteString(field.key, hosts.*field.member);
  }
  WriteBool(kStartLocalServiceKey, hosts.startLocalService);
  WriteInt(kReceiveTimeoutKey, static_cast<int32_t>(hosts.receiveTimeoutMs));
  WriteInt(kRequestTimeoutKey, static_cast<int32_t>(hosts.requestTimeoutMs));
  WriteString(kAgentKey, hosts.agent);
  WriteBool(kUseProxyKey, hosts.useProxy);
  WriteString(kProxyHostKey, hosts.proxyHost);
  WriteInt(kProxyPortKey, hosts.proxyPort);
  return EndBatch(true);
}
