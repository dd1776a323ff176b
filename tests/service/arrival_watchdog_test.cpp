#include "service/arrival_watchdog.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/loopback.h"

namespace {

// A loopback listener and connections to it, both ends kept, as a server's workers would hold them.
class Connections {
 public:
  Connections() : listener(ListenLoopback(port)) {}
  ~Connections() {
    for (const Pair& pair : pairs) {
      ::close(pair.client);
      ::close(pair.server);
    }
    ::close(listener);
  }

  struct Pair {
    int client = -1;
    int server = -1;
    int clientPort = 0;  // the peer port the server sees
  };
  // Connects and accepts one more; -1 descriptors when that failed.
  Pair& Add() {
    Pair& pair = pairs.emplace_back();
    pair.client = ConnectLoopback(port);
    if (pair.client < 0) return pair;
    pair.server = ::accept(listener, nullptr, nullptr);
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(pair.client, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      pair.clientPort = ntohs(address.sin_port);
    }
    return pair;
  }

  int port = 0;

 private:
  int listener = -1;
  std::deque<Pair> pairs;  // stable references
};

// Whether the server shut the connection down: the client reads its end.
bool Ended(const Connections::Pair& pair) {
  pollfd entry{pair.client, POLLIN | POLLRDHUP, 0};
  return ::poll(&entry, 1, 0) == 1 && (entry.revents & (POLLIN | POLLRDHUP | POLLHUP)) != 0;
}

// Polls `ended` until it holds or `limit` passes.
template <typename Check>
bool Within(std::chrono::milliseconds limit, Check ended) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!ended()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace

TEST(ArrivalWatchdog, CutsOnlyConnectionsWhoseRequestIsLate) {
  Connections connections;
  ASSERT_GT(connections.port, 0);
  const Connections::Pair& idle = connections.Add();
  const Connections::Pair& busy = connections.Add();
  ASSERT_GE(idle.server, 0);
  ASSERT_GE(busy.server, 0);

  ArrivalWatchdog watchdog(std::chrono::milliseconds(400));
  watchdog.Start(connections.port);
  // The busy connection's request arrived: its handler may take far longer than the limit.
  auto handling = std::make_unique<ArrivalWatchdog::HandlingScope>(watchdog, "127.0.0.1", busy.clientPort);
  EXPECT_TRUE(Within(std::chrono::seconds(10), [&] { return Ended(idle); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  EXPECT_FALSE(Ended(busy)) << "a connection was cut while its request was being handled";

  // Once answered, the next request on it has the limit again, and no more.
  handling.reset();
  EXPECT_FALSE(Ended(busy));
  EXPECT_TRUE(Within(std::chrono::seconds(10), [&] { return Ended(busy); }));
}

TEST(ArrivalWatchdog, LeavesOtherSocketsOfTheProcessAlone) {
  Connections watched, other;
  ASSERT_GT(watched.port, 0);
  ASSERT_GT(other.port, 0);
  const Connections::Pair& elsewhere = other.Add();
  ASSERT_GE(elsewhere.server, 0);
  ArrivalWatchdog watchdog(std::chrono::milliseconds(100));
  watchdog.Start(watched.port);
  const Connections::Pair& late = watched.Add();
  ASSERT_GE(late.server, 0);
  EXPECT_TRUE(Within(std::chrono::seconds(10), [&] { return Ended(late); }));
  watchdog.Stop();
  EXPECT_FALSE(Ended(elsewhere));
}
