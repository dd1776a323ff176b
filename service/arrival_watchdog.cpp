#include "service/arrival_watchdog.h"

#include <dirent.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

std::string PeerKey(const std::string& address, int port) {
  return address + " " + std::to_string(port);
}

int PortOf(const sockaddr_storage& address) {
  if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  return -1;
}

// The peer of a connected socket whose local port is `localPort`, named as the HTTP library names it
// (numeric host, then the port); "" for any other descriptor.
std::string PeerOfConnection(int fd, int localPort) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) return {};
  sockaddr_storage local{}, peer{};
  socklen_t length = sizeof local;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 || PortOf(local) != localPort)
    return {};
  length = sizeof peer;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0) return {};  // the listening socket
  char host[NI_MAXHOST];
  if (::getnameinfo(reinterpret_cast<sockaddr*>(&peer), length, host, sizeof host, nullptr, 0,
                    NI_NUMERICHOST) != 0) {
    return {};
  }
  return PeerKey(host, PortOf(peer));
}

std::vector<int> OpenDescriptors() {
  std::vector<int> fds;
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return fds;
  const int own = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    const int fd = std::atoi(entry->d_name);
    if (fd != own) fds.push_back(fd);
  }
  ::closedir(dir);
  return fds;
}

}  // namespace

void ArrivalWatchdog::Start(int localPort) {
  Stop();
  port = localPort;
  stopping = false;
  watcher = std::thread([this] { Watch(); });
}

void ArrivalWatchdog::Stop() {
  if (!watcher.joinable()) return;
  {
    std::lock_guard guard(mutex);
    stopping = true;
  }
  wake.notify_all();
  watcher.join();
  connections.clear();
}

ArrivalWatchdog::HandlingScope::HandlingScope(ArrivalWatchdog& watchdog, const std::string& address, int port)
    : watchdog(watchdog), peer(PeerKey(address, port)) {
  std::lock_guard guard(watchdog.mutex);
  watchdog.connections[peer].handling = true;
}

ArrivalWatchdog::HandlingScope::~HandlingScope() {
  std::lock_guard guard(watchdog.mutex);
  Connection& connection = watchdog.connections[peer];
  connection.handling = false;
  connection.deadline = Clock::now() + watchdog.limit;
}

void ArrivalWatchdog::Watch() {
  std::unique_lock lock(mutex);
  while (!stopping) {
    Scan(Clock::now());
    wake.wait_for(lock, kScanInterval, [this] { return stopping; });
  }
}

void ArrivalWatchdog::Scan(Clock::time_point now) {
  for (auto& [peer, connection] : connections) connection.seen = false;
  for (int fd : OpenDescriptors()) {
    // Our own descriptor of the socket: the number `fd` may be closed and reused meanwhile, but what the
    // copy names is checked and shut down as one socket.
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) continue;
    const std::string peer = PeerOfConnection(copy, port);
    if (!peer.empty()) {
      auto [entry, added] = connections.try_emplace(peer);
      Connection& connection = entry->second;
      if (added) connection.deadline = now + limit;
      connection.seen = true;
      if (!connection.handling && !connection.cut && connection.deadline <= now) {
        ::shutdown(copy, SHUT_RDWR);  // the worker's wait for more bytes ends; it closes the connection
        connection.cut = true;
      }
    }
    ::close(copy);
  }
  // Closed connections are forgotten, except those a handler holds right now.
  for (auto entry = connections.begin(); entry != connections.end();) {
    entry = entry->second.seen || entry->second.handling ? std::next(entry) : connections.erase(entry);
  }
}
