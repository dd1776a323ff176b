// A peer that answers an HTTP request with bytes that are not HTTP at all: the fetch fails cleanly and no
// part of what was sent is taken for a page.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "marketdata/c_web_grab.h"
#include "tests/support/loopback.h"

namespace {

// Accepts one connection on 127.0.0.1 (ephemeral port), reads the request, writes `reply` and closes.
class RawReplyServer {
 public:
  explicit RawReplyServer(std::string reply) : reply(std::move(reply)) {
    listener = ListenLoopback(port, 1);
    if (listener < 0) return;
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
  for (const std::string& reply :
       {noise, std::string("HTTP/1.1 200 OK\r\nContent-Length: nonsense\r\n\r\nbody"),
        std::string("HTTP/9.9 abc\r\n\r\n")}) {
    RawReplyServer server(reply);
    ASSERT_GT(server.port, 0);
    CWebGrab grab;
    grab.SetReceiveTimeout(2000);
    std::string content = "old";
    EXPECT_FALSE(grab.GetFile("http://127.0.0.1:" + std::to_string(server.port) + "/d/quotes.csv", content,
                              "", nullptr));
    EXPECT_EQ(content, "");
  }
}
