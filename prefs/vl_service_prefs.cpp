#include "prefs/vl_service_prefs.h"

#include "framework/text_util.h"

namespace {

constexpr const char* kStartLocalServiceKey = "StartLocalService";
constexpr const char* kReceiveTimeoutKey = "ReceiveTimeoutMs";
constexpr const char* kRequestTimeoutKey = "RequestTimeoutMs";
constexpr const char* kAgentKey = "Agent";
constexpr const char* kUseProxyKey = "UseProxy";
constexpr const char* kProxyHostKey = "ProxyHost";
constexpr const char* kProxyPortKey = "ProxyPort";

}  // namespace

VLServicePrefs::VLServicePrefs() : Prefs("Services") {}

void VLServicePrefs::Load() {
  SetDefaults();
  BeginBatch();
  for (const ServiceHosts::HostField& field : ServiceHosts::HostFields()) {
    std::string& host = hosts.*field.member;
    const std::string value(TrimBlanks(ReadString(field.key, host)));
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
  (void)EndBatch(false);  // read-only: nothing to commit; what could not be read keeps its default
}

bool VLServicePrefs::Save() {
  BeginBatch();
  bool written = true;
  for (const ServiceHosts::HostField& field : ServiceHosts::HostFields()) {
    written = WriteString(field.key, hosts.*field.member) && written;
  }
  written = WriteBool(kStartLocalServiceKey, hosts.startLocalService) && written;
  written = WriteInt(kReceiveTimeoutKey, static_cast<int32_t>(hosts.receiveTimeoutMs)) && written;
  written = WriteInt(kRequestTimeoutKey, static_cast<int32_t>(hosts.requestTimeoutMs)) && written;
  written = WriteString(kAgentKey, hosts.agent) && written;
  written = WriteBool(kUseProxyKey, hosts.useProxy) && written;
  written = WriteString(kProxyHostKey, hosts.proxyHost) && written;
  written = WriteInt(kProxyPortKey, hosts.proxyPort) && written;
  return EndBatch(true) && written;
}
