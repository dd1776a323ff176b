// The request head read strictly: what two readers could read in two ways is refused.
#include "service/fetch_guard.h"
#include "service/host_check.h"
#include "service/http_request.h"

#include <gtest/gtest.h>

TEST(RequestHead, AmbiguousOrMalformedHeadsAreRefusedWithTheirStatus) {
  const std::string line = "GET /healthz HTTP/1.1\r\n";
  const std::pair<std::string, int> cases[] = {
      {line + "Host: localhost\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", 400},
      {line + "Host: localhost\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\n", 400},
      {line + "Host: localhost\r\nContent-Length: +5\r\n\r\n", 400},
      {line + "Host: localhost\r\nContent-Length: 5, 5\r\n\r\n", 400},
      {line + "Host: localhost\r\nContent-Length: -1\r\n\r\n", 400},
      {line + "Host: localhost\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n", 400},
      {line + "Host: localhost\r\nTransfer-Encoding: chunked\r\n\r\n", 411},
      {line + "Host: localhost\r\nHost: evil.example\r\n\r\n", 400},
      {line + "Host: local" + std::string(1, '\0') + "host\r\n\r\n", 400},
      {line + "Host: local host\r\n\r\n", 400},
      {line + "Host: localhost\x1b\r\n\r\n", 400},
      {line + "Host: localhost\r\nX-A: a\rb\r\n\r\n", 400},
      {line + "Host: localhost\r\nX-A: a\x7f\r\n\r\n", 400},
      {line + "Host: localhost\r\n folded\r\n\r\n", 400},
      {line + "Host : localhost\r\n\r\n", 400},
      {line + "no colon\r\n\r\n", 400},
      {line + "\r\n", 400},  // HTTP/1.1 without a Host
      {"GET  /healthz HTTP/1.1\r\nHost: x\r\n\r\n", 400},
      {"GET /healthz HTTP/2.0\r\nHost: x\r\n\r\n", 505},
      {"GET /healthz FTP/1.1\r\nHost: x\r\n\r\n", 400},
      {"G(T /healthz HTTP/1.1\r\nHost: x\r\n\r\n", 400},
      {"GARBAGE\r\n\r\n", 400},
      {line + "Host: localhost\r\nContent-Length: 99999999\r\n\r\n", 413},
      {"GET /" + std::string(20000, 'a') + " HTTP/1.1\r\n", 414},
      {line + "Host: localhost\r\nX-Big: " + std::string(40000, 'a') + "\r\n", 431},
  };
  for (const auto& [bytes, status] : cases) {
    HttpRequestHead head;
    const HeadResult r = ParseRequestHead(bytes, head);
    EXPECT_EQ(r.state, HeadState::Refused) << bytes.substr(0, 120);
    EXPECT_EQ(r.status, status) << bytes.substr(0, 120) << ": " << r.why;
  }
  std::string many = line + "Host: localhost\r\n";
  for (int i = 0; i < 120; ++i) many += "X-" + std::to_string(i) + ": 1\r\n";
  HttpRequestHead head;
  EXPECT_EQ(ParseRequestHead(many + "\r\n", head).status, 431);
}

TEST(RequestHead, SoundHeadsAreReadWhole) {
  HttpRequestHead head;
  EXPECT_EQ(ParseRequestHead("GET /healthz HTTP/1.1\r\nHost: localhost\r\n", head).state,
            HeadState::Incomplete);
  const std::string bytes =
      "\r\nPOST /vellumar/fetch?s=MSFT HTTP/1.1\r\nhost: localhost:8642\r\ncontent-length: 0007\r\n"
      "Connection: Keep-Alive, close\r\nExpect: 100-continue\r\nX-Empty:\r\n\r\nbody...";
  const HeadResult r = ParseRequestHead(bytes, head);
  ASSERT_EQ(r.state, HeadState::Complete) << r.why;
  EXPECT_EQ(bytes.substr(r.length), "body...");
  EXPECT_EQ(head.method, "POST");
  EXPECT_EQ(head.target, "/vellumar/fetch?s=MSFT");
  EXPECT_EQ(head.host, "localhost:8642");
  EXPECT_EQ(head.contentLength, 7u);
  EXPECT_FALSE(head.keepAlive);
  EXPECT_TRUE(head.expectContinue);
  EXPECT_EQ(head.Header("x-empty"), "");
  EXPECT_EQ(head.Header("CONTENT-LENGTH"), "0007");
  // HTTP/1.0 closes unless asked to keep alive, and needs no Host (the host check answers it); bare line
  // feeds.
  ASSERT_EQ(ParseRequestHead("GET / HTTP/1.0\n\n", head).state, HeadState::Complete);
  EXPECT_TRUE(head.http10);
  EXPECT_FALSE(head.keepAlive);
  EXPECT_FALSE(head.hasHost);
  ASSERT_EQ(ParseRequestHead("GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", head).state,
            HeadState::Complete);
  EXPECT_TRUE(head.keepAlive);
}

TEST(FetchGuard, OnlyProgramsOfThisMachineMayFetch) {
  const HostCheck hosts({"desk.example"});
  std::string why;
  EXPECT_TRUE(FetchAllowed(hosts, "vellumar", "", "", why));
  EXPECT_TRUE(FetchAllowed(hosts, "vellumar", "http://localhost:8642", "same-origin", why));
  EXPECT_TRUE(FetchAllowed(hosts, "vellumar", "", "none", why));
  const std::tuple<const char*, const char*, const char*, const char*> refused[] = {
      {"", "", "", "a fetch needs the header X-Vellumar-Client, which Vellumar's programs send"},
      {"vellumar", "https://evil.example", "", "a fetch from the web page https://evil.example is refused"},
      {"vellumar", "null", "", "a fetch from the web page null is refused"},
      {"vellumar", "http://localhost.evil.example", "",
       "a fetch from the web page http://localhost.evil.example is refused"},
      {"", "", "cross-site", "a fetch from a web page (Sec-Fetch-Site: cross-site) is refused"},
      {"vellumar", "", "same-site", "a fetch from a web page (Sec-Fetch-Site: same-site) is refused"},
  };
  for (const auto& [client, origin, site, message] : refused) {
    EXPECT_FALSE(FetchAllowed(hosts, client, origin, site, why)) << origin << site;
    EXPECT_EQ(why, message);
  }
}
