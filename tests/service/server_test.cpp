#include "service/market_server.h"

#include "service_fixture.h"
#include "tests/support/loopback.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <poll.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

// Sends raw bytes and returns one answer (headers and Content-Length body), for requests no HTTP
// client would write. The connection may stay open, so the answer's own length ends the read.
static std::string RawExchange(int port, const std::string& bytes) {
  const int fd = ConnectLoopback(port, 10);
  std::string answer;
  if (fd >= 0 && send(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size())) {
    char buffer[4096];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) {
      answer.append(buffer, static_cast<size_t>(n));
      const size_t headerEnd = answer.find("\r\n\r\n");
      if (headerEnd == std::string::npos) continue;
      const size_t length = answer.find("Content-Length: ");
      const size_t bodyLength = length < headerEnd ? std::stoul(answer.substr(length + 16)) : 0;
      if (answer.size() >= headerEnd + 4 + bodyLength) break;
    }
  }
  close(fd);
  return answer;
}

TEST(MarketServer, AnswersOverLoopbackLikeTheHandlers) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  httplib::Client client("127.0.0.1", running.Port());
  auto health = client.Get("/healthz");
  ASSERT_TRUE(health);
  EXPECT_EQ(health->status, 200);
  EXPECT_EQ(health->body, "ok\n");

  auto quotes = client.Get("/d/quotes.csv?s=MSFT+^DJI+NOSUCH&f=snxlc");
  ASSERT_TRUE(quotes);
  EXPECT_EQ(quotes->status, 200);
  EXPECT_EQ(quotes->body, Get(*market, "/d/quotes.csv?s=MSFT+^DJI+NOSUCH&f=snxlc").body);

  auto clock = client.Get("/", {{"Host", "uk.localhost"}});
  ASSERT_TRUE(clock);
  EXPECT_NE(clock->body.find("UK Markets"), std::string::npos);

  auto chart = client.Get("/c/1y/m/msft.gif");
  ASSERT_TRUE(chart);
  EXPECT_EQ(chart->get_header_value("Content-Type"), "image/gif");
  EXPECT_EQ(chart->body.substr(0, 3), "GIF");
}

TEST(MarketServer, MalformedRequestGets400AndTheServerCarriesOn) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  EXPECT_EQ(RawExchange(running.Port(), "GARBAGE\r\n\r\n").substr(0, 12), "HTTP/1.1 400");
  EXPECT_EQ(RawExchange(running.Port(),
                        "GET /d/quotes.csv?f=s HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n")
                .substr(0, 12),
            "HTTP/1.1 400");
  const std::string ok =
      RawExchange(running.Port(),
                  "GET /d/quotes.csv?s=MSFT&f=sx HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(ok.substr(0, 12), "HTTP/1.1 200");
  EXPECT_NE(ok.find("\"MSFT\",\"NASDAQ\""), std::string::npos);
}

// A connection that has sent part of a request; SendLine adds one more header line.
class SlowClient {
 public:
  explicit SlowClient(int port) : fd(ConnectLoopback(port, 8)) {
    connected = fd >= 0 && Send("GET /healthz HTTP/1.1\r\n");
  }
  ~SlowClient() { close(fd); }
  SlowClient(const SlowClient&) = delete;
  SlowClient& operator=(const SlowClient&) = delete;
  bool Send(const std::string& text) {
    return send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
  }
  // What the server sent before it gave up on the request or closed the connection; "timeout" when it
  // did neither within our own 8 s.
  std::string ServerReaction() {
    char buffer[512];
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0) return "timeout";
    return std::string(buffer, static_cast<size_t>(n));
  }
  int Fd() const { return fd; }
  bool connected = false;

 private:
  int fd;
};

// Fifty clients that each send one more header line every second, each within the pause the server allows
// but never finishing their requests: a healthy client is answered meanwhile, and every trickling one is
// cut off once its request is late as a whole.
TEST(MarketServer, ARequestThatKeepsTricklingIsCutOffAsAWhole) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  std::vector<std::unique_ptr<SlowClient>> slow;
  std::vector<pollfd> watched;
  for (int i = 0; i < 50; ++i) {
    slow.push_back(std::make_unique<SlowClient>(running.Port()));
    ASSERT_TRUE(slow.back()->connected);
    watched.push_back({slow.back()->Fd(), POLLIN | POLLRDHUP, 0});
  }
  std::atomic<bool> done{false};
  std::thread trickle([&] {
    for (int line = 0; !done; ++line) {
      for (auto& client : slow) client->Send("X-Slow: " + std::to_string(line) + "\r\n");
      for (int waited = 0; waited < 1000 && !done; waited += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
  });
  httplib::Client client("127.0.0.1", running.Port());
  client.set_read_timeout(5, 0);
  auto health = client.Get("/healthz");

  // Far longer than the limit, so that a loaded machine cannot fail the test; without the limit the
  // clients would trickle on for ever.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  size_t disconnected = 0, answered = 0;
  while (disconnected < watched.size() && std::chrono::steady_clock::now() < giveUp) {
    if (poll(watched.data(), watched.size(), 100) <= 0) continue;
    for (pollfd& entry : watched) {
      if (entry.fd < 0 || entry.revents == 0) continue;
      char buffer[512];
      const ssize_t n = recv(entry.fd, buffer, sizeof buffer, MSG_DONTWAIT);
      answered += n > 0 ? 1 : 0;  // a refusal of a request whose bytes paused too long
      if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR))) continue;
      entry.fd = -1;  // the server ended the connection
      ++disconnected;
    }
  }
  done = true;
  trickle.join();
  ASSERT_TRUE(health) << "no answer while the trickling clients were connected";
  EXPECT_EQ(health->status, 200);
  EXPECT_EQ(disconnected, watched.size())
      << "trickling connections the server kept; " << answered << " were refused for a pause instead";
}

TEST(MarketServer, ARequestThatStopsArrivingIsDropped) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  SlowClient stalled(running.Port());
  ASSERT_TRUE(stalled.connected);
  const std::string reaction = stalled.ServerReaction();
  EXPECT_NE(reaction, "timeout");
  EXPECT_EQ(reaction.find("200"), std::string::npos) << reaction;
}

TEST(MarketServer, SecondServerCannotTakeABusyPort) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  MarketServer second(*market, false);
  std::string error;
  EXPECT_FALSE(second.Bind("127.0.0.1", running.Port(), error));
  EXPECT_EQ(error, "cannot listen on 127.0.0.1:" + std::to_string(running.Port()));
}

// Five hundred clients that have sent part of a request and go on sending a byte now and then, each held
// within the time a request may take to arrive: a healthy request is answered while every one of them is
// still connected (a server that gave each a worker of its own would answer only once it had cut them off).
TEST(MarketServer, AHealthyRequestIsAnsweredWhileFiveHundredSlowClientsWait) {
  auto market = FixtureMarket();
  MarketServer server(*market, false);
  std::string error;
  ASSERT_TRUE(server.Bind("127.0.0.1", 0, error)) << error;
  std::thread serving([&server] { (void)server.Run(); });
  while (!server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  constexpr size_t kSlow = 500;
  std::vector<std::unique_ptr<SlowClient>> slow;
  for (size_t i = 0; i < kSlow; ++i) {
    slow.push_back(std::make_unique<SlowClient>(server.Port()));
    ASSERT_TRUE(slow.back()->connected) << i;
  }
  for (auto& client : slow) ASSERT_TRUE(client->Send("X"));
  for (int waited = 0; server.OpenConnections() < kSlow && waited < 10000; waited += 5)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GE(server.OpenConnections(), kSlow);

  httplib::Client client("127.0.0.1", server.Port());
  auto health = client.Get("/d/quotes.csv?s=MSFT&f=sl1");
  ASSERT_TRUE(health);
  EXPECT_EQ(health->status, 200);
  EXPECT_EQ(health->body.substr(0, 7), "\"MSFT\",");
  // Not one slow client was cut off or answered to make room.
  size_t stillWaiting = 0;
  for (auto& c : slow) {
    char byte = 0;
    const ssize_t n = recv(c->Fd(), &byte, 1, MSG_DONTWAIT);
    stillWaiting += n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
  EXPECT_EQ(stillWaiting, kSlow);
  EXPECT_GE(server.OpenConnections(), kSlow);
  server.Stop();
  serving.join();
}
