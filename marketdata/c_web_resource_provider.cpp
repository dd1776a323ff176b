#include "marketdata/c_web_resource_provider.h"

#include <memory>

#include "framework/text_util.h"
#include "marketdata/c_web_grab.h"
#include "marketdata/text_helpers.h"

CWebResourceProvider::CWebResourceProvider() {
  SetServiceHosts(GetServiceHosts());
}

void CWebResourceProvider::SetServiceHosts(const ServiceHosts& value) {
  hosts = value;
  useProxy = value.useProxy;
  proxyHost = value.proxyHost;
  proxyPort = value.proxyPort;
  agent = value.agent;
  receiveTimeout = value.receiveTimeoutMs;
  requestTimeout = value.requestTimeoutMs;
}

std::string CWebResourceProvider::HostOfUrl(const std::string& requestUrl) {
  const size_t scheme = requestUrl.find("://");
  const size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  const size_t end = requestUrl.find_first_of("/?#", start);
  return requestUrl.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string CWebResourceProvider::MakeUrl(const std::string& host, const std::string& path) {
  return "http://" + host + path;
}

void CWebResourceProvider::SetContent(std::string text) {
  content = std::move(text);
  lowerContentValid = false;
  position = 0;
}

void CWebResourceProvider::Run() {
  ClearError();
  SetContent({});
  if (!BeginRun()) return;
  do {
    GetUrl(url);
    position = 0;
    Fetch(url);
    ParseContent();
  } while (HasMoreRequests());
}

void CWebResourceProvider::Fetch(const std::string& requestUrl) {
  ClearError();
  linesDropped = 0;
  auto grab = std::make_unique<CWebGrab>();
  if (useProxy) grab->SetProxy(proxyHost, proxyPort);
  grab->SetReceiveTimeout(receiveTimeout);
  grab->SetRequestTimeout(requestTimeout);
  grab->SetMaxLineBytes(kMaxLineBytes);
  if (!grab->Initialize(agent, statusWindow)) {
    SetError(kErrorInitialize);
    return;
  }
  std::string body;
  bool fetched = grab->GetFile(requestUrl, body, agent, statusWindow);
  SetContent(std::move(body));
  linesDropped = grab->GetLinesDropped();
  failure.host = HostOfUrl(requestUrl);
  if (!fetched) {
    SetError(kErrorFetch + requestUrl);
    failure.cause = grab->GetFailureCause();
    failure.noAnswer = true;
  } else if (grab->GetStatusCode() >= 400) {
    failure.cause = "HTTP status " + std::to_string(grab->GetStatusCode());
  } else if (linesDropped > 0) {
    failure.cause = "lines longer than " + std::to_string(kMaxLineBytes >> 10) + " KiB were left out";
  }
  grab->Close();
}

size_t CWebResourceProvider::Find(const std::string& s, bool noCase) const {
  if (position > content.size()) return std::string::npos;
  if (!noCase) return content.find(s, position);
  if (!lowerContentValid) {
    lowerContent = AsciiLower(content);
    lowerContentValid = true;
  }
  return lowerContent.find(AsciiLower(s), position);
}

bool CWebResourceProvider::IsAt(const std::string& s) const {
  return Find(s, false) == position;
}

bool CWebResourceProvider::IsAtNoCase(const std::string& s) const {
  return Find(s, true) == position;
}

bool CWebResourceProvider::SkipPastImpl(const std::string& s, bool noCase) {
  size_t found = Find(s, noCase);
  if (found == std::string::npos) return false;
  position = found + s.size();
  return true;
}

bool CWebResourceProvider::SkipPast(const std::string& s) {
  return SkipPastImpl(s, false);
}

bool CWebResourceProvider::SkipPastNoCase(const std::string& s) {
  return SkipPastImpl(s, true);
}

bool CWebResourceProvider::SkipBackTo(const std::string& s) {
  // Compares in place at each step: the same answer as IsAt, without searching the rest each time.
  for (size_t pos = position + 1; pos-- > 0;) {
    if (pos <= content.size() && content.compare(pos, s.size(), s) == 0) {
      position = pos;
      return true;
    }
  }
  return false;
}

bool CWebResourceProvider::ExtractUntilImpl(const std::string& s, bool noCase, std::string& out) {
  if (position + 1 >= content.size()) return false;
  size_t found = Find(s, noCase);
  if (found == std::string::npos) return false;
  out = content.substr(position, found - position);
  position = found + s.size();
  return true;
}

bool CWebResourceProvider::ExtractUntil(const std::string& s, std::string& out) {
  return ExtractUntilImpl(s, false, out);
}

bool CWebResourceProvider::ExtractUntilNoCase(const std::string& s, std::string& out) {
  return ExtractUntilImpl(s, true, out);
}

bool CWebResourceProvider::ExtractRest(std::string& out) {
  if (position + 1 >= content.size()) return false;
  out = content.substr(position);
  return true;
}
