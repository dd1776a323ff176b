// The service as a local server a web page can reach: it answers only requests for this machine, changes
// files only on a POST, answers pipelined requests in order, and escapes what clients send in its log.
#include <gtest/gtest.h>
#include <httplib.h>

#include "service/host_check.h"
#include "service/request_log.h"
#include "service_fixture.h"
#include "tests/support/loopback.h"

namespace {

// Sends `bytes` on one connection and reads until the server closes it (or 10 s pass, when `closed` stays
// false).
std::string ExchangeUntilClosed(int port, const std::string& bytes, bool* closed = nullptr) {
  const int fd = ConnectLoopback(port, 10);
  std::string answer;
  ssize_t n = -1;
  if (fd >= 0 && send(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size())) {
    char buffer[4096];
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<size_t>(n));
  }
  if (closed != nullptr) *closed = n == 0;
  close(fd);
  return answer;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST(HostCheck, AnswersOnlyNamesOfThisMachine) {
  const HostCheck check({"Desk.example", "192.168.1.5", "0.0.0.0", ""});
  for (const char* allowed :
       {"localhost", "localhost:8642", "LOCALHOST:1", "uk.localhost:8642", "localhost.:80", "127.0.0.1:8642",
        "127.3.2.1", "[::1]:8642", "[::1]", "desk.example:8642", "192.168.1.5:8642"}) {
    EXPECT_TRUE(check.Allows(allowed)) << allowed;
  }
  // A page's own name pointed at 127.0.0.1 (DNS rebinding), look-alikes, malformed headers, no header.
  for (const char* refused :
       {"", "evil.example", "evil.example:8642", "localhost.evil.example", "127.0.0.1.nip.io",
        "evillocalhost", "0.0.0.0:8642", "10.0.0.1", "[::1", "localhost:80x", "::1", "desk.example.evil"}) {
    EXPECT_FALSE(check.Allows(refused)) << refused;
  }
}

TEST(RequestLog, ControlCharactersFromTheClientAreEscaped) {
  EXPECT_EQ(RequestLogLine("127.0.0.1", "GET", "/q?s=\x1b[31mRED\n127.0.0.1 GET /forged", 200, 5, 1.25),
            "127.0.0.1 GET /q?s=\\x1B[31mRED\\x0A127.0.0.1 GET /forged -> 200, 5 bytes, 1.2 ms");
  EXPECT_EQ(EscapeForLog("a\\b\x7f\xc3\xa9\t"), "a\\\\b\\x7F\\xC3\\xA9\\x09");
  const std::string line = RequestLogLine("::1", "GET", "/" + std::string(200, 'a') + "\x07", 404, 0, 0.0);
  EXPECT_EQ(line, "::1 GET /" + std::string(159, 'a') + "... -> 404, 0 bytes, 0.0 ms");
}

TEST(MarketServer, RequestsForAnotherHostGet421) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  httplib::Client client("127.0.0.1", running.Port());
  auto rebound = client.Get("/d/quotes.csv?s=MSFT&f=sl1", {{"Host", "attacker.example:8642"}});
  ASSERT_TRUE(rebound);
  EXPECT_EQ(rebound->status, 421);
  EXPECT_EQ(rebound->body.find("MSFT"), std::string::npos);
  auto local = client.Get("/d/quotes.csv?s=MSFT&f=sl1", {{"Host", "localhost:8642"}});
  ASSERT_TRUE(local);
  EXPECT_EQ(local->status, 200);
  EXPECT_EQ(ExchangeUntilClosed(running.Port(), "GET /healthz HTTP/1.0\r\n\r\n").substr(0, 12),
            "HTTP/1.1 421");
}

TEST(MarketServer, AFetchChangesFilesOnlyOnAPost) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  httplib::Client client("127.0.0.1", running.Port());
  auto get = client.Get("/vellumar/fetch?s=MSFT");
  ASSERT_TRUE(get);
  EXPECT_EQ(get->status, 405);
  EXPECT_EQ(get->get_header_value("Allow"), "POST");
  auto post = client.Post("/vellumar/fetch?s=MSFT", {{"X-Vellumar-Client", "test"}}, "",
                          "application/x-www-form-urlencoded");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 503) << "no sources set up here: the fetch itself answers";
  // What a web page can make a browser send is refused before anything is fetched.
  const httplib::Headers fromPages[] = {
      {},
      {{"X-Vellumar-Client", "test"}, {"Origin", "https://evil.example"}},
      {{"X-Vellumar-Client", "test"}, {"Sec-Fetch-Site", "cross-site"}},
      {{"Origin", "http://localhost:8642"}, {"Sec-Fetch-Site", "same-origin"}},
  };
  for (const httplib::Headers& headers : fromPages) {
    auto refused = client.Post("/vellumar/fetch?s=MSFT", headers, "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 403) << refused->body;
  }
  auto posted = client.Post("/healthz", "x=1", "application/x-www-form-urlencoded");
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->status, 405);
  EXPECT_EQ(posted->get_header_value("Allow"), "GET, HEAD");
  auto after = client.Get("/healthz");  // the same kept-alive connection carries on after the POST's body
  ASSERT_TRUE(after);
  EXPECT_EQ(after->status, 200);
}

TEST(MarketServer, PipelinedRequestsAreEachAnsweredInOrder) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  const std::string request = "GET /healthz HTTP/1.1\r\nHost: localhost\r\n\r\n";
  const std::string answer = ExchangeUntilClosed(
      running.Port(),
      request + "GET /d/quotes.csv?s=MSFT&f=s HTTP/1.1\r\nHost: localhost\r\n\r\n" +
          "POST /vellumar/fetch?s=MSFT HTTP/1.1\r\nHost: localhost\r\nX-Vellumar-Client: t\r\n"
          "Content-Length: 0\r\n\r\n" +
          "GET /healthz HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
  std::vector<size_t> starts;
  for (size_t at = answer.find("HTTP/1.1 "); at != std::string::npos; at = answer.find("HTTP/1.1 ", at + 1)) {
    starts.push_back(at);
  }
  ASSERT_EQ(starts.size(), 4u) << answer;
  EXPECT_EQ(answer.substr(starts[0], 12), "HTTP/1.1 200");
  EXPECT_EQ(answer.substr(starts[1], 12), "HTTP/1.1 200");
  EXPECT_NE(answer.find("\"MSFT\"", starts[1]), std::string::npos);
  EXPECT_LT(answer.find("\"MSFT\"", starts[1]), starts[2]);
  EXPECT_EQ(answer.substr(starts[2], 12), "HTTP/1.1 503");
  EXPECT_EQ(answer.substr(starts[3], 12), "HTTP/1.1 200");
}

// A refused request closes its connection: nothing after it is read as a request of its own, whatever a proxy
// in front of the service made of the same bytes. "Connection: close" is honoured the same way.
TEST(MarketServer, AnAmbiguousRequestIsRefusedAndItsConnectionClosed) {
  auto market = FixtureMarket();
  ServedMarket running(*market);
  ASSERT_TRUE(running.Ready());
  const std::string smuggled = "GET /healthz HTTP/1.1\r\nHost: localhost\r\n\r\n";
  const std::string requests[] = {
      "POST /healthz HTTP/1.1\r\nHost: localhost\r\nContent-Length: 3\r\nContent-Length: 40\r\n\r\nabc",
      "POST /healthz HTTP/1.1\r\nHost: localhost\r\nContent-Length: +3\r\n\r\nabc",
      "POST /healthz HTTP/1.1\r\nHost: localhost\r\nContent-Length: 3\r\nTransfer-Encoding: "
      "chunked\r\n\r\n0\r\n\r\n",
      "GET /healthz HTTP/1.1\r\nHost: localhost\r\nHost: evil.example\r\n\r\n",
      std::string("GET /healthz HTTP/1.1\r\nHost: local") + '\0' + "host\r\n\r\n",
      "GARBAGE\r\n\r\n",
  };
  for (const std::string& request : requests) {
    bool closed = false;
    const std::string answer = ExchangeUntilClosed(running.Port(), request + smuggled, &closed);
    EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 400") << request;
    EXPECT_EQ(Count(answer, "HTTP/1.1 "), 1u) << answer;
    EXPECT_NE(answer.find("Connection: close\r\n"), std::string::npos);
    EXPECT_TRUE(closed) << request;
  }
  bool closed = false;
  const std::string answer = ExchangeUntilClosed(
      running.Port(), "GET /healthz HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n" + smuggled,
      &closed);
  EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 200");
  EXPECT_EQ(Count(answer, "HTTP/1.1 "), 1u) << answer;
  EXPECT_TRUE(closed);
  // A sound request asked with HEAD gets the headers alone; the length is the body's it leaves out.
  const std::string head =
      ExchangeUntilClosed(running.Port(), "HEAD /healthz HTTP/1.0\r\nHost: localhost\r\n\r\n");
  EXPECT_EQ(head.substr(0, 12), "HTTP/1.1 200");
  EXPECT_NE(head.find("Content-Length: 3\r\n"), std::string::npos);
  EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}
