// A peer that answers an HTTP request with bytes that are not HTTP at all: the fetch fails cleanly and no
// part of what was sent is taken for a page.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "marketdata/c_web_grab.h"

namespace {

// Accepts one connection on 127.0.0.1 (ephemeral port), reads the request, writes `reply` and closes.
class RawReplyServer {
 public:
  explicit RawReplyServer(std::string reply) : reply(std::move(reply)) {
    listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      return;
    }
    port = ntohs(addr.sin_port);
    thread = std::thread([this] {
      const int peer = ::accept(listener, nullptr, nullptr);
      if (peer < 0) return;
      char request[4096];
      (void)::recv(peer, request, sizeof request, 0);
      (void)::send(peer, this->reply.data(), this->reply.size(), MSG_NOSIGNAL);
      ::close(peer);
    });
  }
  ~RawReplyServer() {
    ::shutdown(listener, SHUT_RDWR);
    if (thread.joinable()) thread.join();
    ::close(listener);
  }
  int port = 0;

 private:
  std::string reply;
  int listener = -1;
  std::thread thread;
};

}  // namespace

TEST(GarbageServer, BytesThatAreNotHttpFailTheFetchAndLeaveNoContent) {
  std::mt19937 random(7);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  for (const std::string& reply : {noise, std::string("HTTP/1.1 200 OK\r\nContent-Length: nonsense\r\n\r\nbody"),
                                   std::string("HTTP/9.9 abc\r\n\r\n")}) {
    RawReplyServer server(reply);
    ASSERT_GT(server.port, 0);
    CWebGrab grab;
    grab.SetReceiveTimeout(2000);
    std::string content = "old";
    EXPECT_FALSE(grab.GetFile("http://127.0.0.1:" + std::to_string(server.port) + "/d/quotes.csv", content, "",
                              nullptr));
    EXPECT_EQ(content, "");
  }
}
