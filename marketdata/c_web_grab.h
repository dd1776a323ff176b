#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "marketdata/c_web_grab_session.h"

class IStatusWindow;

// Fetches one URL into a text through a session, pumping messages while it waits, and reports
// the throughput as a status text. Any HTTP status counts as fetched; the caller's parser decides.
class CWebGrab {
 public:
  static constexpr size_t kMaxBodyBytes = 32u << 20;  // a larger body (as received) fails the fetch
  static constexpr size_t kPieceBytes = 4095;         // the body is appended in pieces of this size

  CWebGrab() = default;
  ~CWebGrab() { Close(); }
  CWebGrab(const CWebGrab&) = delete;
  CWebGrab& operator=(const CWebGrab&) = delete;

  // Replaces any previous session; true when the new one could be created.
  [[nodiscard]] bool Initialize(const std::string& agent, IStatusWindow* statusWindow);
  // Empties `content` and fills it with the body. False when the URL could not be opened (the reason
  // is only shown as status text) or the transfer broke off (the reason is also kept in GetErrorText);
  // `content` is then empty.
  [[nodiscard]] bool GetFile(const std::string& url, std::string& content, const std::string& agent,
                             IStatusWindow* statusWindow);
  // The same with a POST of `form` (application/x-www-form-urlencoded, possibly empty), for requests that
  // change something on the server; it carries the header X-Vellumar-Client, by which the market-data service
  // tells a program's request from one a web page had a browser send.
  [[nodiscard]] bool PostForm(const std::string& url, const std::string& form, std::string& content,
                              const std::string& agent, IStatusWindow* statusWindow);
  void Close() { session.reset(); }

  void SetReceiveTimeout(uint32_t milliseconds) { receiveTimeout = milliseconds; }
  // The whole request, from the first byte sent to the last received; 0 = none. A transfer that stays
  // slower than kLowSpeedBytes a second for kLowSpeedSeconds fails as well.
  void SetRequestTimeout(uint32_t milliseconds) { requestTimeout = milliseconds; }
  static constexpr long kLowSpeedBytes = 16;
  static constexpr long kLowSpeedSeconds = 20;
  // Drops every line of the body longer than this many bytes (a line ends at CR or LF) as it arrives, keeping
  // its line end, so that one endless line cannot fill the memory. 0 = keep everything (binary bodies).
  void SetMaxLineBytes(size_t bytes) { maxLineBytes = bytes; }
  void SetReload(bool on) { reload = on; }
  void SetProxy(const std::string& host, uint16_t port) {
    useProxy = true;
    proxyHost = host;
    proxyPort = port;
  }

  uint32_t GetStatusCode() const { return statusCode; }
  // How many lines the last fetch dropped for their length.
  size_t GetLinesDropped() const { return linesDropped; }
  const std::string& GetRawHeaders() const { return rawHeaders; }
  const std::string& GetErrorText() const { return errorText; }
  // Why the last fetch failed, whether or not the server had begun to answer; "" after success.
  const std::string& GetFailureCause() const { return failureCause; }
  double GetRate() const { return rate; }
  // The session's last status text ("" after a completed fetch), for callers and tests.
  std::string GetLastStatus() const { return session ? session->GetLastStatus() : std::string(); }

  // The throughput text after `totalBytes` read in `elapsedSeconds` whole seconds; also the rate
  // (KB/s, or the byte count itself within the first second).
  static std::string ThroughputText(size_t totalBytes, long long elapsedSeconds, double* rate);

  // The state of one running transfer, shared with the transfer callbacks.
  struct Transfer;

 private:
  [[nodiscard]] bool RunTransfer(const std::string& url, Transfer& t);

  std::unique_ptr<CWebGrabSession> session;
  uint32_t receiveTimeout = 0;
  uint32_t requestTimeout = 0;
  size_t maxLineBytes = 0;
  size_t linesDropped = 0;
  bool reload = false;
  double rate = 0;
  bool useProxy = false;
  uint16_t proxyPort = 0;
  std::string proxyHost;
  uint32_t statusCode = 0;
  std::string errorText;
  std::string failureCause;
  std::string rawHeaders;
  const std::string* postForm = nullptr;  // set for the duration of a PostForm
  struct curl_slist* postHeaders = nullptr;
};
