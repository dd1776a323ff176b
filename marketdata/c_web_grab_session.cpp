#include "marketdata/c_web_grab_session.h"

#include <curl/curl.h>

#include <array>
#include <cstdio>

#include "marketdata/status_window.h"

// Every connection attempt gives up after this long, whatever the receive time-out.
static constexpr long kConnectTimeoutMs = 10000;
static constexpr long kMaxRedirects = 5;

CWebGrabSession::CWebGrabSession(const std::string& agent, IStatusWindow* statusWindow)
    : statusWindow(statusWindow) {
  static const bool globalInit = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!globalInit) return;
  handle = curl_easy_init();
  if (!handle) return;
  if (!agent.empty()) curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
  // Only web requests: a link taken from a page must never open a local file or another protocol.
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  // No proxy unless configured: the settings are the only configuration, not the environment.
  curl_easy_setopt(handle, CURLOPT_PROXY, "");
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
}

CWebGrabSession::~CWebGrabSession() {
  if (handle) curl_easy_cleanup(handle);
}

void CWebGrabSession::SetProxy(const std::string& hostAndPort) {
  if (handle) curl_easy_setopt(handle, CURLOPT_PROXY, hostAndPort.c_str());
}

std::optional<std::string> CWebGrabSession::StatusText(int notification, const std::string& info,
                                                       const uint32_t* resultWords) {
  struct Entry {
    int notification;
    const char* text;  // null: nothing is shown
  };
  static const std::array<Entry, 13> kTexts{{
      {kResolvingName, "Resolving name for %s"},
      {kNameResolved, "Resolved name for %s"},
      {kConnectingToServer, "Connecting to socket address "},
      {kConnectedToServer, "Connected to socket address"},
      {kSendingRequest, "Sending request..."},
      {kRequestSent, "Request sent"},
      {kReceivingResponse, nullptr},
      {kResponseReceived, "Response received"},
      {kClosingConnection, "Closing the connection to the server"},
      {kConnectionClosed, "Connection to the server closed"},
      {kHandleCreated, ""},
      {kHandleClosing, nullptr},
      {kRequestComplete, "Request complete"},
  }};
  char buf[64];
  if (notification == kRequestComplete && resultWords) {
    std::snprintf(buf, sizeof buf, "Request complete, dwResult = %8.8X, dwError = %8.8X", resultWords[0],
                  resultWords[1]);
    return std::string(buf);
  }
  for (const Entry& e : kTexts) {
    if (e.notification != notification) continue;
    if (!e.text) return std::nullopt;
    if (notification == kResolvingName || notification == kNameResolved) {
      std::string text = e.text;
      return text.replace(text.find("%s"), 2, info);
    }
    return std::string(e.text);
  }
  std::snprintf(buf, sizeof buf, "Unknown status: %d", notification);
  return std::string(buf);
}

void CWebGrabSession::OnStatus(int notification, const std::string& info, const uint32_t* resultWords) {
  std::optional<std::string> text = StatusText(notification, info, resultWords);
  if (text) ShowStatus(*text);
}

void CWebGrabSession::ShowStatus(const std::string& text) {
  lastStatus = text;
  if (statusWindow) statusWindow->ShowStatusText(text);
}
