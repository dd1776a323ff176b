#include "service/connection_stream.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

void NameOf(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t sock, time_t readSeconds, time_t writeSeconds)
    : sock(sock), readSeconds(readSeconds), writeSeconds(writeSeconds) {}

bool ConnectionStream::WaitFor(short events, time_t seconds) const {
  pollfd entry{sock, events, 0};
  for (;;) {
    const int ready = ::poll(&entry, 1, static_cast<int>(seconds * 1000));
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

bool ConnectionStream::is_readable() const {
  return start < end || WaitFor(POLLIN, readSeconds);
}

bool ConnectionStream::is_writable() const {
  return WaitFor(POLLOUT, writeSeconds);
}

bool ConnectionStream::NextRequestWithin(time_t seconds) const {
  return start < end || WaitFor(POLLIN, seconds);
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  if (start == end) {
    if (!WaitFor(POLLIN, readSeconds)) return -1;
    ssize_t got = 0;
    do {
      got = ::recv(sock, buffer, sizeof buffer, 0);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return got;
    start = 0;
    end = static_cast<size_t>(got);
  }
  const size_t n = std::min(size, end - start);
  std::memcpy(ptr, buffer + start, n);
  start += n;
  return static_cast<ssize_t>(n);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  if (!is_writable()) return -1;
  ssize_t sent = 0;
  do {
    sent = ::send(sock, ptr, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getpeername(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    NameOf(address, length, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    NameOf(address, length, ip, port);
}

bool PipeliningServer::process_and_close_socket(socket_t sock) {
  ConnectionStream stream(sock, read_timeout_sec_, write_timeout_sec_);
  bool answered = false;
  for (size_t left = keep_alive_max_count_; svr_sock_ != INVALID_SOCKET && left > 0; --left) {
    if (!stream.NextRequestWithin(keep_alive_timeout_sec_)) break;
    bool closed = false;
    answered = process_request(stream, left == 1, closed, nullptr);
    if (!answered || closed) break;
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return answered;
}
