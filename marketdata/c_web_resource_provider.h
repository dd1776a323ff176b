#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "marketdata/fetch_failure.h"
#include "marketdata/service_hosts.h"

class IStatusWindow;

// The base of every market-data provider: runs the request cycle (build URL, fetch, parse, repeat
// while more is wanted), keeps the fetched content with an error flag and text, and offers the
// parsing cursor with which the providers pick values out of the content.
//
// A run never throws; after it the caller reads HasError()/GetErrorText().
class CWebResourceProvider {
 public:
  static constexpr const char* kErrorInitialize = "Unable to initialize resource provider";
  static constexpr const char* kErrorFetch = "Error fetching resource";  // followed directly by the URL
  static constexpr const char* kErrorParse = "Error parsing content";
  // What is kept of one line of a fetched page; the rest of a longer line never reaches the parser.
  static constexpr size_t kMaxLineBytes = 64u << 10;

  // Copies the current service settings (hosts, agent, proxy, receive time-out).
  CWebResourceProvider();
  virtual ~CWebResourceProvider() = default;
  CWebResourceProvider(const CWebResourceProvider&) = delete;
  CWebResourceProvider& operator=(const CWebResourceProvider&) = delete;

  bool HasError() const { return error; }
  const std::string& GetErrorText() const { return errorText; }
  // Why the last request failed in the transfer or with an HTTP error status; kept when the parse then
  // sets the error text.
  const FetchFailure& GetFailure() const { return failure; }
  const std::string& GetContent() const { return content; }
  // Lines of the last fetched page left out for being longer than kMaxLineBytes.
  size_t GetLinesDropped() const { return linesDropped; }
  const std::string& GetCurrentUrl() const { return url; }

  // Request settings; the constructor takes them from GetServiceHosts().
  void SetServiceHosts(const ServiceHosts& value);
  const ServiceHosts& GetHosts() const { return hosts; }
  bool useProxy = false;
  std::string proxyHost;
  uint16_t proxyPort = 0;
  std::string agent;
  uint32_t receiveTimeout = 0;  // milliseconds, 0 = none
  uint32_t requestTimeout = 0;  // milliseconds for a whole request, 0 = none
  IStatusWindow* statusWindow = nullptr;

  // Parsing cursor over the content. Matches are plain substrings; the NoCase forms compare
  // ASCII letters case-insensitively. Positions are byte indexes.
  bool IsAt(const std::string& s) const;
  bool IsAtNoCase(const std::string& s) const;
  [[nodiscard]] bool SkipPast(const std::string& s);
  [[nodiscard]] bool SkipPastNoCase(const std::string& s);
  [[nodiscard]] bool SkipBackTo(const std::string& s);
  [[nodiscard]] bool ExtractUntil(const std::string& s, std::string& out);
  [[nodiscard]] bool ExtractUntilNoCase(const std::string& s, std::string& out);
  [[nodiscard]] bool ExtractRest(std::string& out);
  size_t GetPosition() const { return position; }
  void SetPosition(size_t value) { position = value <= content.size() ? value : content.size(); }
  // Replaces the content (and resets the cursor); providers use it to parse a block on its own.
  void SetContent(std::string text);

 protected:
  // Clears the error, then runs the request cycle to completion.
  void Run();
  // Fetches one URL into the content; sets the error flag and text on failure.
  void Fetch(const std::string& requestUrl);
  void SetError(const std::string& text) {
    error = true;
    errorText = text;
  }
  void ClearError() {
    error = false;
    errorText.clear();
    failure = {};
  }
  // "http://" + host + path.
  static std::string MakeUrl(const std::string& host, const std::string& path);
  // The "name[:port]" part of a URL.
  static std::string HostOfUrl(const std::string& requestUrl);

  // Builds the URL of the next request.
  virtual void GetUrl(std::string& out) = 0;
  virtual bool UsesPost() const { return false; }
  virtual void GetPostData(std::string&) {}
  // A provider resets its per-run state here; false ends the run before any request.
  [[nodiscard]] virtual bool BeginRun() { return true; }
  // True makes the run build and fetch another URL.
  virtual bool HasMoreRequests() { return false; }
  // Reads the content into the provider's results; called after every fetch, failed ones too.
  virtual void ParseContent() {}

  ServiceHosts hosts;

 private:
  size_t Find(const std::string& s, bool noCase) const;
  [[nodiscard]] bool SkipPastImpl(const std::string& s, bool noCase);
  [[nodiscard]] bool ExtractUntilImpl(const std::string& s, bool noCase, std::string& out);

  bool error = false;
  size_t position = 0;
  size_t linesDropped = 0;
  std::string content;
  mutable std::string lowerContent;  // lower-cased copy of content for the NoCase searches, made on demand
  mutable bool lowerContentValid = false;
  FetchFailure failure;
  std::string errorText;
  std::string url;
};
