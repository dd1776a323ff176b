#pragma once

#include "service/http_request.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

// One request that has arrived whole: its head, its body and the peer that sent it.
struct HttpRequest {
  HttpRequestHead head;
  std::string body;
  std::string remoteAddress;  // numeric
  int remotePort = 0;
};

struct HttpResponse {
  int status = 200;
  std::string contentType = "text/plain";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // beyond type, length and connection
};

// An HTTP/1.1 server whose connections cost no thread while they wait. One thread reads every connection
// without blocking until a request has arrived whole (or its time is up), and only then hands it to one of a
// few workers; the answer goes back to that thread, which writes it as fast as the client takes it. So a
// client that sends or reads slowly holds a buffer, never a worker, and a healthy request is answered
// however many slow ones are open.
//
// Bounds: a request must arrive whole within `arrival` (from the connection, or from the answer before it
// on a kept-alive connection); an idle kept-alive connection closes after `idle`; an answer the client does
// not read on for `writeStall` is dropped; at most `maxConnections` are open, and when the limit is reached
// the connection that has waited longest for its request makes way. A head the parser refuses is answered
// with its status and the connection closed; so is one that asks to close.
class HttpServer {
 public:
  using Handler = std::function<HttpResponse(const HttpRequest&)>;
  struct Limits {
    size_t workers = 8;
    size_t maxConnections = 4096;
    size_t maxRequestsPerConnection = 100;
    std::chrono::milliseconds arrival{5000};
    std::chrono::milliseconds idle{2000};
    std::chrono::milliseconds writeStall{10000};
  };

  explicit HttpServer(Handler handler) : HttpServer(std::move(handler), Limits{}) {}
  HttpServer(Handler handler, Limits limits);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Port 0 picks a free port. False with `error` when the address cannot be bound.
  [[nodiscard]] bool Bind(const std::string& host, int port, std::string& error);
  int Port() const { return port; }
  // Serves on the calling thread until Stop; false when it could not (not bound, no event queue).
  [[nodiscard]] bool Run();
  // From any thread; Run returns soon after.
  void Stop();
  bool IsRunning() const { return running; }
  // Connections open right now, for tests and benchmarks.
  size_t OpenConnections() const { return openConnections; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Connection;
  struct Job {
    int fd = -1;
    uint64_t serial = 0;
    HttpRequest request;
  };
  struct Done {
    int fd = -1;
    uint64_t serial = 0;
    std::string bytes;
    bool close = false;
  };

  void WorkerLoop();
  void Accept();
  void Evict();
  void OnReadable(Connection& c);
  void OnWritable(Connection& c);
  void Dispatch(Connection& c);
  void Answer(Connection& c, std::string bytes, bool close);
  void Refuse(Connection& c, int status, const std::string& why);
  void TakeFinished();
  void ExpireDeadlines(Clock::time_point now);
  void Watch(Connection& c);
  void Close(int fd);
  void CloseAll();
  int TimeoutMs(Clock::time_point now) const;

  Handler handler;
  Limits limits;
  int listenFd = -1;
  int epollFd = -1;
  int wakeFd = -1;
  int port = 0;
  std::atomic<bool> running{false};
  std::atomic<bool> stopping{false};
  std::atomic<size_t> openConnections{0};
  uint64_t nextSerial = 1;
  std::unordered_map<int, std::unique_ptr<Connection>> connections;

  std::mutex queueMutex;
  std::condition_variable queueReady;
  std::deque<Job> jobs;
  bool workersStop = false;
  std::vector<std::thread> workers;
  std::mutex doneMutex;
  std::vector<Done> finished;
};

// Status line, type, length, connection and the extra headers, then the body (left out for HEAD).
std::string FormatHttpResponse(const HttpResponse& response, bool head, bool close);
