#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "service/host_check.h"

class HistoryFetcher;
class Market;
class ArrivalWatchdog;
struct ServiceResponse;
namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

// The HTTP front of the service: every request goes to HandleServiceRequest on cpp-httplib's
// thread pool. Bind, then Run on one thread; Stop from any other thread makes Run return.
// Only requests for this machine are answered (see HostCheck; others get 421); /vellumar/fetch, which
// changes files, takes POST only (a GET gets 405); requests pipelined on one connection are each answered
// in order; the log line of a request escapes what the client sent.
class MarketServer {
 public:
  // Requests are served by this many threads, enough for a desktop's programs plus clients that are slow
  // to send. A request must arrive whole within kArrivalSeconds (from the connection, or from the answer
  // before it on a kept-alive connection), and its bytes may not pause longer than kArrivalPauseSeconds:
  // a slow client holds a thread for a few seconds at most, however it spaces its bytes.
  static constexpr size_t kWorkerThreads = 64;
  static constexpr time_t kArrivalPauseSeconds = 3;
  static constexpr time_t kArrivalSeconds = 5;
  // An idle kept-alive connection is closed after this, well inside the arrival time of its next request.
  static constexpr time_t kKeepAliveIdleSeconds = 2;

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
  int Port() const { return port; }
  // Serves until Stop; false when it ended for another reason.
  [[nodiscard]] bool Run();
  void Stop();
  bool IsRunning() const;

 private:
  // Answers one request that has arrived whole, timing and logging it.
  void Respond(const httplib::Request& req, httplib::Response& res);
  ServiceResponse Answer(const httplib::Request& req) const;

  const Market& market;
  bool logRequests;
  std::vector<std::string> extraHostNames;
  HostCheck hosts;
  HistoryFetcher* fetcher = nullptr;
  int port = 0;
  std::unique_ptr<httplib::Server> server;
  std::unique_ptr<ArrivalWatchdog> watchdog;
};
