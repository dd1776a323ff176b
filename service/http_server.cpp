#include "service/http_server.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>

namespace {

constexpr size_t kReadChunk = 16 * 1024;
// Bytes kept from a client beyond the request being answered (pipelined requests); more waits in the socket.
constexpr size_t kMaxBufferedBytes = kMaxRequestHeadBytes + kMaxRequestBodyBytes + kReadChunk;
constexpr int kTickMs = 100;
constexpr size_t kFdReserve = 64;  // descriptors kept for files, the workers and the upstream fetches

const char* Reason(int status) {
  static const struct {
    int status;
    const char* reason;
  } kReasons[] = {{100, "Continue"},
                  {200, "OK"},
                  {400, "Bad Request"},
                  {403, "Forbidden"},
                  {404, "Not Found"},
                  {405, "Method Not Allowed"},
                  {408, "Request Timeout"},
                  {411, "Length Required"},
                  {413, "Content Too Large"},
                  {414, "URI Too Long"},
                  {421, "Misdirected Request"},
                  {431, "Request Header Fields Too Large"},
                  {500, "Internal Server Error"},
                  {502, "Bad Gateway"},
                  {503, "Service Unavailable"},
                  {505, "HTTP Version Not Supported"}};
  for (const auto& r : kReasons) {
    if (r.status == status) return r.reason;
  }
  return "Unknown";
}

void NameOf(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

// As many descriptors as the system lets this process have: every open connection takes one.
size_t RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    (void)::setrlimit(RLIMIT_NOFILE, &limit);
    (void)::getrlimit(RLIMIT_NOFILE, &limit);
  }
  return limit.rlim_cur == RLIM_INFINITY ? size_t{1} << 20 : static_cast<size_t>(limit.rlim_cur);
}

}  // namespace

struct HttpServer::Connection {
  enum class State { Reading, Working, Writing };
  int fd = -1;
  uint64_t serial = 0;  // tells this connection from a later one on the same descriptor
  std::string address;
  int port = 0;
  State state = State::Reading;
  std::string in;
  std::string out;
  size_t sent = 0;
  Clock::time_point since;     // when the connection's current request could begin to arrive
  Clock::time_point deadline;  // of the current state (none while a worker has the request)
  size_t served = 0;
  bool closeAfterWrite = false;
  bool continueSent = false;
  bool readClosed = false;    // the client has shut down its side
  bool discardInput = false;  // refused: nothing more is read
  bool waitingIdle = false;   // kept alive after an answer, and nothing of a next request has come yet
  bool registered = false;
  uint32_t events = 0;
};

std::string FormatHttpResponse(const HttpResponse& response, bool head, bool close) {
  std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
  out += "Content-Type: " + response.contentType + "\r\n";
  out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
  if (close) out += "Connection: close\r\n";
  out += "\r\n";
  if (!head) out += response.body;
  return out;
}

HttpServer::HttpServer(Handler handler, Limits limits) : handler(std::move(handler)), limits(limits) {}

HttpServer::~HttpServer() {
  if (listenFd >= 0) ::close(listenFd);
}

bool HttpServer::Bind(const std::string& host, int requestedPort, std::string& error) {
  error = "cannot listen on " + host + ":" + std::to_string(requestedPort);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(requestedPort).c_str(), &hints, &found) != 0) return false;
  for (addrinfo* a = found; a != nullptr && listenFd < 0; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    // Address reuse only, so that a second service on the port fails here instead of sharing it.
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 1024) == 0) {
      listenFd = fd;
    } else {
      ::close(fd);
    }
  }
  ::freeaddrinfo(found);
  if (listenFd < 0) return false;
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  std::string ip;
  if (::getsockname(listenFd, reinterpret_cast<sockaddr*>(&bound), &length) == 0)
    NameOf(bound, length, ip, port);
  const size_t descriptors = RaiseDescriptorLimit();
  limits.maxConnections = std::max<size_t>(
      16, std::min(limits.maxConnections, descriptors > kFdReserve ? descriptors - kFdReserve : 16));
  error.clear();
  return port > 0;
}

void HttpServer::Stop() {
  stopping = true;
  if (wakeFd >= 0) {
    const uint64_t one = 1;
    (void)!::write(wakeFd, &one, sizeof one);
  }
}

bool HttpServer::Run() {
  if (listenFd < 0) return false;
  epollFd = ::epoll_create1(EPOLL_CLOEXEC);
  wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (epollFd < 0 || wakeFd < 0) return false;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = listenFd;
  ::epoll_ctl(epollFd, EPOLL_CTL_ADD, listenFd, &event);
  event.data.fd = wakeFd;
  ::epoll_ctl(epollFd, EPOLL_CTL_ADD, wakeFd, &event);
  workersStop = false;
  for (size_t i = 0; i < limits.workers; ++i) workers.emplace_back([this] { WorkerLoop(); });
  running = true;
  if (stopping) Stop();  // a Stop that came before the wake descriptor existed
  std::vector<epoll_event> ready(256);
  Clock::time_point lastSweep = Clock::now();
  while (!stopping) {
    const int n = ::epoll_wait(epollFd, ready.data(), static_cast<int>(ready.size()), kTickMs);
    for (int i = 0; i < n; ++i) {
      const int fd = ready[static_cast<size_t>(i)].data.fd;
      const uint32_t events = ready[static_cast<size_t>(i)].events;
      if (fd == listenFd) {
        Accept();
      } else if (fd == wakeFd) {
        uint64_t count = 0;
        (void)!::read(wakeFd, &count, sizeof count);
        TakeFinished();
      } else if (auto it = connections.find(fd); it != connections.end()) {
        Connection& c = *it->second;
        if (events & (EPOLLHUP | EPOLLERR)) {
          Close(fd);  // reset or gone both ways: nothing can be answered any more
          continue;
        }
        if (events & (EPOLLIN | EPOLLRDHUP)) OnReadable(c);
        if (connections.count(fd) && (events & EPOLLOUT)) OnWritable(*connections[fd]);
      }
    }
    const Clock::time_point now = Clock::now();
    if (now - lastSweep >= std::chrono::milliseconds(kTickMs)) {
      ExpireDeadlines(now);
      lastSweep = now;
    }
  }
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    workersStop = true;
    jobs.clear();
  }
  queueReady.notify_all();
  for (std::thread& t : workers) t.join();
  workers.clear();
  CloseAll();
  ::close(epollFd);
  ::close(wakeFd);
  epollFd = wakeFd = -1;
  running = false;
  return true;
}

void HttpServer::WorkerLoop() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(queueMutex);
      queueReady.wait(lock, [this] { return workersStop || !jobs.empty(); });
      if (workersStop) return;
      job = std::move(jobs.front());
      jobs.pop_front();
    }
    HttpResponse response;
    try {
      response = handler(job.request);
    } catch (const std::exception& e) {
      response = {500, "text/plain", std::string("Internal error: ") + e.what() + "\n", {}};
    }
    const bool close = !job.request.head.keepAlive;
    Done done{job.fd, job.serial, FormatHttpResponse(response, job.request.head.method == "HEAD", close),
              close};
    {
      std::lock_guard<std::mutex> lock(doneMutex);
      finished.push_back(std::move(done));
    }
    const uint64_t one = 1;
    (void)!::write(wakeFd, &one, sizeof one);
  }
}

void HttpServer::Accept() {
  for (;;) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const int fd =
        ::accept4(listenFd, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      // Out of descriptors: the longest-waiting request makes way, or the next tick tries again.
      if ((errno == EMFILE || errno == ENFILE) && !connections.empty()) Evict();
      return;
    }
    if (connections.size() >= limits.maxConnections) Evict();
    if (connections.size() >= limits.maxConnections) {
      ::close(fd);
      continue;
    }
    int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto c = std::make_unique<Connection>();
    c->fd = fd;
    c->serial = nextSerial++;
    NameOf(peer, length, c->address, c->port);
    c->since = Clock::now();
    c->deadline = c->since + limits.arrival;
    Connection& added = *c;
    connections[fd] = std::move(c);
    ++openConnections;
    Watch(added);
  }
}

void HttpServer::Evict() {
  Connection* oldest = nullptr;
  for (auto& [fd, c] : connections) {
    if (c->state == Connection::State::Reading && (oldest == nullptr || c->since < oldest->since))
      oldest = c.get();
  }
  if (oldest != nullptr) Close(oldest->fd);
}

void HttpServer::OnReadable(Connection& c) {
  char buffer[kReadChunk];
  while (!c.readClosed && c.in.size() < kMaxBufferedBytes) {
    const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
    if (got > 0) {
      if (!c.discardInput) c.in.append(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    c.readClosed = true;  // the client's end of the stream, or an error
  }
  if (c.state == Connection::State::Reading && c.waitingIdle && !c.in.empty()) {
    c.waitingIdle = false;  // the next request has begun to arrive: it gets the whole arrival time
    c.deadline = c.since + limits.arrival;
  }
  const int fd = c.fd;
  Dispatch(c);
  auto it = connections.find(fd);
  if (it == connections.end()) return;
  Connection& still = *it->second;
  // A client gone with nothing more to answer: the connection ends here.
  if (still.readClosed && still.state == Connection::State::Reading) {
    Close(fd);
    return;
  }
  Watch(still);
}

void HttpServer::Dispatch(Connection& c) {
  if (c.state != Connection::State::Reading || c.in.empty() || c.discardInput) return;
  HttpRequestHead head;
  const HeadResult result = ParseRequestHead(c.in, head);
  if (result.state == HeadState::Refused) return Refuse(c, result.status, result.why);
  if (result.state == HeadState::Incomplete) return;
  const size_t total = result.length + head.contentLength;
  if (c.in.size() < total) {
    if (head.expectContinue && !c.continueSent) {
      static const char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
      (void)!::send(c.fd, kContinue, sizeof kContinue - 1, MSG_NOSIGNAL);
      c.continueSent = true;
    }
    return;
  }
  Job job;
  job.fd = c.fd;
  job.serial = c.serial;
  job.request.head = std::move(head);
  if (c.served + 1 >= limits.maxRequestsPerConnection) job.request.head.keepAlive = false;
  job.request.body = c.in.substr(result.length, total - result.length);
  job.request.remoteAddress = c.address;
  job.request.remotePort = c.port;
  c.in.erase(0, total);
  c.state = Connection::State::Working;
  c.continueSent = false;
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    jobs.push_back(std::move(job));
  }
  queueReady.notify_one();
}

void HttpServer::Refuse(Connection& c, int status, const std::string& why) {
  c.discardInput = true;
  c.in.clear();
  HttpResponse response{status, "text/plain", "Bad request: " + why + "\n", {}};
  Answer(c, FormatHttpResponse(response, false, true), true);
}

void HttpServer::Answer(Connection& c, std::string bytes, bool close) {
  c.state = Connection::State::Writing;
  c.out = std::move(bytes);
  c.sent = 0;
  c.closeAfterWrite = close;
  c.deadline = Clock::now() + limits.writeStall;
  OnWritable(c);
}

void HttpServer::OnWritable(Connection& c) {
  if (c.state != Connection::State::Writing) return;
  while (c.sent < c.out.size()) {
    const ssize_t n = ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
    if (n > 0) {
      c.sent += static_cast<size_t>(n);
      c.deadline = Clock::now() + limits.writeStall;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Watch(c);
    return Close(c.fd);  // the client is gone
  }
  ++c.served;
  if (c.closeAfterWrite || (c.readClosed && c.in.empty())) return Close(c.fd);
  c.state = Connection::State::Reading;
  c.out.clear();
  c.sent = 0;
  c.since = Clock::now();
  c.waitingIdle = c.in.empty();
  c.deadline = c.since + (c.waitingIdle ? limits.idle : limits.arrival);
  const int fd = c.fd;
  Dispatch(c);  // a request the client sent before this answer
  if (auto it = connections.find(fd); it != connections.end()) Watch(*it->second);
}

void HttpServer::TakeFinished() {
  std::vector<Done> done;
  {
    std::lock_guard<std::mutex> lock(doneMutex);
    done.swap(finished);
  }
  for (Done& d : done) {
    auto it = connections.find(d.fd);
    if (it == connections.end() || it->second->serial != d.serial) continue;  // closed meanwhile
    Answer(*it->second, std::move(d.bytes), d.close);
  }
}

void HttpServer::ExpireDeadlines(Clock::time_point now) {
  std::vector<int> late;
  for (const auto& [fd, c] : connections) {
    if (c->state != Connection::State::Working && c->deadline <= now) late.push_back(fd);
  }
  for (int fd : late) {
    Connection& c = *connections[fd];
    // An idle connection, an answer nobody reads, or a request that missed its time after a refusal was sent:
    // closed. A request that is late gets a last word first.
    if (c.state == Connection::State::Reading && !c.in.empty() && !c.discardInput) {
      Refuse(c, 408, "the request did not arrive in time");
      if (auto it = connections.find(fd); it != connections.end())
        it->second->deadline = now + std::chrono::seconds(1);
      continue;
    }
    Close(fd);
  }
}

void HttpServer::Watch(Connection& c) {
  // A stream the client has ended stays readable for ever: it is not watched for reading any more.
  uint32_t wanted = 0;
  if (!c.readClosed) wanted |= EPOLLRDHUP | (c.in.size() < kMaxBufferedBytes ? EPOLLIN : 0u);
  if (c.state == Connection::State::Writing && c.sent < c.out.size()) wanted |= EPOLLOUT;
  if (c.registered && wanted == c.events) return;
  epoll_event event{};
  event.events = wanted;
  event.data.fd = c.fd;
  ::epoll_ctl(epollFd, c.registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, c.fd, &event);
  c.registered = true;
  c.events = wanted;
}

void HttpServer::Close(int fd) {
  auto it = connections.find(fd);
  if (it == connections.end()) return;
  ::epoll_ctl(epollFd, EPOLL_CTL_DEL, fd, nullptr);
  ::close(fd);
  connections.erase(it);
  --openConnections;
}

void HttpServer::CloseAll() {
  std::vector<int> fds;
  for (const auto& [fd, c] : connections) fds.push_back(fd);
  for (int fd : fds) Close(fd);
}
