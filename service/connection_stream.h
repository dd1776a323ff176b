#pragma once

#include <httplib.h>

#include <cstddef>
#include <ctime>

// One client connection as the HTTP library reads and writes it, with a read buffer that lives as long as
// the connection. The library's own stream lives for one request and takes its buffer with it, so requests a
// client pipelines (sends before the answer to the one before) were lost with it; here they wait in the
// buffer and are each answered in turn. Reads and writes wait at most their time-outs.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(socket_t sock, time_t readSeconds, time_t writeSeconds);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return sock; }

  // Whether the next request has begun to arrive (bytes already read, or more within `seconds`).
  bool NextRequestWithin(time_t seconds) const;

 private:
  bool WaitFor(short events, time_t seconds) const;

  socket_t sock;
  time_t readSeconds;
  time_t writeSeconds;
  char buffer[4096];
  size_t start = 0;
  size_t end = 0;
};

// The library's server with one ConnectionStream per connection (see above): the keep-alive loop of the
// library, but pipelined requests are each answered, in order.
class PipeliningServer : public httplib::Server {
 private:
  bool process_and_close_socket(socket_t sock) override;
};
