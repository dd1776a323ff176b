#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// Gives every request a total time to arrive on the server's connections, counted from when the
// connection is first seen (shortly after it was accepted) or from the answer to the request before it on
// a kept-alive connection, to when the request reaches its handler. The HTTP library's own read time-out
// restarts with every byte, so a client that sends a header line every few seconds would otherwise hold a
// worker for as long as it likes.
//
// The library does not hand its connections out, so a watch thread finds them among the process's open
// sockets (those whose local port is the server's) a few times a second and shuts down the ones whose
// request is late; the worker then sees its connection end and is free again.
class ArrivalWatchdog {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kScanInterval{200};

  explicit ArrivalWatchdog(std::chrono::milliseconds arrivalLimit) : limit(arrivalLimit) {}
  ~ArrivalWatchdog() { Stop(); }
  ArrivalWatchdog(const ArrivalWatchdog&) = delete;
  ArrivalWatchdog& operator=(const ArrivalWatchdog&) = delete;

  // Watches the connections accepted on `localPort` until Stop.
  void Start(int localPort);
  void Stop();

  // Held by the request handler while it works on a request from the peer `address`:`port` (as the HTTP
  // library names it): the request has arrived, and the next one on the connection gets the whole limit
  // from the end of this one.
  class HandlingScope {
   public:
    HandlingScope(ArrivalWatchdog& watchdog, const std::string& address, int port);
    ~HandlingScope();
    HandlingScope(const HandlingScope&) = delete;
    HandlingScope& operator=(const HandlingScope&) = delete;

   private:
    ArrivalWatchdog& watchdog;
    std::string peer;
  };

 private:
  struct Connection {
    Clock::time_point deadline;
    bool handling = false;
    bool cut = false;
    bool seen = false;  // found in the latest scan
  };
  void Watch();
  void Scan(Clock::time_point now);

  const std::chrono::milliseconds limit;
  int port = 0;
  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;
  std::map<std::string, Connection> connections;  // by peer, "address port"
  std::thread watcher;
};
