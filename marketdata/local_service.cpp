#include "marketdata/local_service.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "framework/text_util.h"
#include "marketdata/service_hosts.h"

namespace {

constexpr int kProbeMs = 300;
constexpr int kStartWaitMs = 5000;
constexpr int kStopWaitMs = 2000;
constexpr int kPollStepMs = 50;

// The name of "name[:port]", "[::1]:port" or a bare IPv6 address, without brackets.
std::string HostName(const std::string& host) {
  if (!host.empty() && host.front() == '[') {
    const size_t close = host.find(']');
    return close == std::string::npos ? host.substr(1) : host.substr(1, close - 1);
  }
  if (std::count(host.begin(), host.end(), ':') > 1) return host;
  return host.substr(0, host.find(':'));
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A socket closed when it goes out of scope.
class Socket {
 public:
  explicit Socket(int family) : fd(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {}
  ~Socket() {
    if (fd >= 0) ::close(fd);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd;
};

bool ConnectsWithin(const sockaddr* address, socklen_t length, int timeoutMs) {
  Socket socket(address->sa_family);
  if (socket.fd < 0) return false;
  if (::connect(socket.fd, address, length) == 0) return true;
  if (errno != EINPROGRESS) return false;
  pollfd waiting{socket.fd, POLLOUT, 0};
  if (::poll(&waiting, 1, timeoutMs) != 1) return false;
  int error = 0;
  socklen_t size = sizeof(error);
  return ::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

// Whether the child has ended; reaps it when it has.
bool HasEnded(pid_t pid) {
  int status = 0;
  const pid_t result = ::waitpid(pid, &status, WNOHANG);
  return result == pid || (result < 0 && errno == ECHILD);
}

void Sleep(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

HostPort SplitHostPort(const std::string& host) {
  HostPort result;
  const size_t colon = host.rfind(':');
  const size_t bracket = host.rfind(']');
  if (colon == std::string::npos || (bracket != std::string::npos && colon < bracket)) {
    result.name = host;
    return result;
  }
  result.name = host.substr(0, colon);
  const std::string digits = host.substr(colon + 1);
  char* end = nullptr;
  const long value = std::strtol(digits.c_str(), &end, 10);
  if (!digits.empty() && *end == '\0' && value >= 1 && value <= 65535)
    result.port = static_cast<uint16_t>(value);
  return result;
}

bool IsLoopbackHost(const std::string& host) {
  std::string name = AsciiLower(HostName(host));
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name == "localhost" || EndsWith(name, ".localhost") || name.rfind("127.", 0) == 0 || name == "::1";
}

bool LoopbackHostAnswers(const std::string& host, int timeoutMs) {
  if (!IsLoopbackHost(host)) return false;
  const HostPort target = SplitHostPort(host);
  const std::string name = AsciiLower(HostName(host));
  if (name == "::1") {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(target.port);
    address.sin6_addr = in6addr_loopback;
    return ConnectsWithin(reinterpret_cast<const sockaddr*>(&address), sizeof(address), timeoutMs);
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(target.port);
  const bool numeric = name.rfind("127.", 0) == 0;
  if (!numeric || ::inet_pton(AF_INET, name.c_str(), &address.sin_addr) != 1) {
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  }
  return ConnectsWithin(reinterpret_cast<const sockaddr*>(&address), sizeof(address), timeoutMs);
}

LocalService::Outcome LocalService::EnsureRunning(const ServiceHosts& hosts,
                                                  const std::string& programFolder) {
  const std::string& host = hosts.quoteCsvHost;
  if (!hosts.startLocalService || !IsLoopbackHost(host)) return Outcome::NotWanted;
  if (LoopbackHostAnswers(host, kProbeMs)) return Outcome::AlreadyRunning;
  Stop();

  const std::string program = programFolder + "vellumar-marketd";
  if (::access(program.c_str(), X_OK) != 0) return Outcome::Missing;
  const std::string port = std::to_string(SplitHostPort(host).port);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child < 0) return Outcome::Failed;
  if (child == 0) {
    // The service ends with its parent even when the parent is killed before it can stop it.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);
    const int nowhere = ::open("/dev/null", O_RDWR);
    if (nowhere >= 0) {
      ::dup2(nowhere, STDIN_FILENO);
      ::dup2(nowhere, STDOUT_FILENO);
      if (quiet) ::dup2(nowhere, STDERR_FILENO);
    }
    ::execl(program.c_str(), program.c_str(), "--port", port.c_str(), "--quiet", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  pid = child;
  for (int waited = 0; waited < kStartWaitMs; waited += kPollStepMs) {
    if (LoopbackHostAnswers(host, kProbeMs)) return Outcome::Started;
    if (HasEnded(pid)) {
      pid = -1;
      return Outcome::Failed;
    }
    Sleep(kPollStepMs);
  }
  Stop();
  return Outcome::Failed;
}

void LocalService::Stop() {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  bool ended = false;
  for (int waited = 0; waited < kStopWaitMs && !ended; waited += kPollStepMs) {
    ended = HasEnded(pid);
    if (!ended) Sleep(kPollStepMs);
  }
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  pid = -1;
}
