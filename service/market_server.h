#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "service/host_check.h"

class HistoryFetcher;
class HttpServer;
class Market;
struct HttpRequest;
struct HttpResponse;
struct ServiceResponse;

// The HTTP front of the service (see HttpServer for how connections are read and bounded): every request
// goes to HandleServiceRequest on one of a few workers. Bind, then Run on one thread; Stop from any other
// thread makes Run return. Only requests for this machine are answered (see HostCheck; others get 421);
// /vellumar/fetch, which changes files, takes POST only (a GET gets 405), and only from a program (see
// fetch_guard.h; a web page's request gets 403); requests pipelined on one connection are each answered in
// order; the log line of a request escapes what the client sent.
class MarketServer {
 public:
  // A request must arrive whole within kArrivalSeconds (from the connection, or from the answer before it
  // on a kept-alive connection); an idle kept-alive connection is closed after kKeepAliveIdleSeconds.
  static constexpr int kArrivalSeconds = 5;
  static constexpr int kKeepAliveIdleSeconds = 2;
  static constexpr size_t kWorkerThreads = 8;
  // Fetches run one at a time and take up to 15 s each; more than this many waiting get 503 at once, so
  // that they never hold every worker.
  static constexpr int kMaxFetchesWaiting = 2;

  MarketServer(const Market& market, bool logRequests);
  ~MarketServer();
  MarketServer(const MarketServer&) = delete;
  MarketServer& operator=(const MarketServer&) = delete;

  // Turns on /vellumar/fetch (see fetch_page.h); call before Run. The fetcher must outlive the server.
  void SetFetcher(HistoryFetcher* historyFetcher) { fetcher = historyFetcher; }
  // Further names by which clients reach this machine (besides localhost, the loopback addresses, the
  // address bound and the machine's host name); call before Bind.
  void SetHostNames(std::vector<std::string> names) { extraHostNames = std::move(names); }
  // Port 0 picks a free port; Port() tells which. False with `error` when the address cannot be bound.
  [[nodiscard]] bool Bind(const std::string& host, int port, std::string& error);
  int Port() const;
  // Serves until Stop; false when it ended for another reason.
  [[nodiscard]] bool Run();
  void Stop();
  bool IsRunning() const;
  // Connections open right now.
  size_t OpenConnections() const;

 private:
  // Answers one request that has arrived whole, timing and logging it.
  HttpResponse Respond(const HttpRequest& req);
  ServiceResponse Answer(const HttpRequest& req);
  ServiceResponse Fetch(const HttpRequest& req);

  const Market& market;
  bool logRequests;
  std::vector<std::string> extraHostNames;
  HostCheck hosts;
  HistoryFetcher* fetcher = nullptr;
  std::unique_ptr<HttpServer> server;
  std::atomic<int> fetchesWaiting{0};
};
